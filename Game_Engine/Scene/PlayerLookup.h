// The entity the camera follows: the first player-tagged entity, in ascending id order, of the
// scene being edited while the editor shows, else of the running scene. Holds no state.
#pragma once

namespace OrvEngine {

class Entity;
class IScene;

// The first entity of the scene whose Information tag is the player's; null when there is none.
Entity* FirstPlayerIn(const IScene& scene);
// Null while the game neither runs nor is shown in the editor, or when the scene has no player.
Entity* FindPlayerEntity();

} // namespace OrvEngine
