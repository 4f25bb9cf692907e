// Where the editor's windows start out: tiled over the display on first use (a menu strip on top,
// the hierarchy left, the game view in the middle, the inspector right, scenes, assets and debug
// info along the bottom). After that the user's arrangement stands (ImGui keeps it).
#pragma once

#include "CoreEngine/Math.h"

namespace OrvEngine {

enum class EditorPane { MenuBar, Hierarchy, GameView, Inspector, Scenes, Assets, DebugInfo };

struct PaneRect {
    float x = 0.0f;
    float y = 0.0f;
    float width = 0.0f;
    float height = 0.0f;
};

namespace EditorLayout {

// Room for the title bar, a row of buttons and the checkbox below them.
constexpr float kMenuStripHeight = 80.0f;

// The pane's tiled rectangle in a display of the given size (pixels, origin top-left).
PaneRect TiledRect(EditorPane pane, float display_width, float display_height);
// Gives the next ImGui window its tiled place and size, on first use only.
void PlaceNextWindow(EditorPane pane);
// The largest size of the given aspect (width / height) that fits the area: limited by the
// width when aspect x height is at least the width, by the height otherwise. Zero for a bad aspect.
Vec2 FitToAspect(float width, float height, float aspect);

} // namespace EditorLayout
} // namespace OrvEngine
