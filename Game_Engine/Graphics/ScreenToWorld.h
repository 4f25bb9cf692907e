// Where a point of the window lies in the world: through the active camera while the game runs
// (the window's own -1..1 square without one), through the editor's view inside its game image
// while editing. The input translation calls it for every mouse move.
#pragma once

namespace OrvEngine {

// Leaves world_x and world_y as they were for a point outside the editor's game image.
void ScreenToWorld(float screen_x, float screen_y, float& world_x, float& world_y);

} // namespace OrvEngine
