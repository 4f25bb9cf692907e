#include "Editor/EditorLayout.h"

#include <imgui.h>

#include <algorithm>

namespace OrvEngine {
namespace EditorLayout {

namespace {
constexpr float kSideShare = 0.2f;      // hierarchy and inspector, each, of the display width
constexpr float kBottomShare = 0.3f;    // the bottom row, of the display height
constexpr float kMinBottomHeight = 150.0f;
} // namespace

PaneRect TiledRect(EditorPane pane, float display_width, float display_height)
{
    const float w = std::max(display_width, 1.0f);
    const float h = std::max(display_height, 1.0f);
    const float bottom_h = std::min(std::max(h * kBottomShare, kMinBottomHeight), h * 0.5f);
    const float top = std::min(kMenuStripHeight, h * 0.25f);
    const float middle_h = std::max(h - top - bottom_h, 1.0f);
    const float side_w = w * kSideShare;
    const float third = w / 3.0f;
    switch (pane) {
    case EditorPane::MenuBar: return {0.0f, 0.0f, w, top};
    case EditorPane::Hierarchy: return {0.0f, top, side_w, middle_h};
    case EditorPane::GameView: return {side_w, top, w - 2.0f * side_w, middle_h};
    case EditorPane::Inspector: return {w - side_w, top, side_w, middle_h};
    case EditorPane::Scenes: return {0.0f, h - bottom_h, third, bottom_h};
    case EditorPane::Assets: return {third, h - bottom_h, third, bottom_h};
    case EditorPane::DebugInfo: return {2.0f * third, h - bottom_h, w - 2.0f * third, bottom_h};
    }
    return {};
}

void PlaceNextWindow(EditorPane pane)
{
    const ImVec2 display = ImGui::GetIO().DisplaySize;
    const PaneRect rect = TiledRect(pane, display.x, display.y);
    ImGui::SetNextWindowPos(ImVec2(rect.x, rect.y), ImGuiCond_FirstUseEver);
    ImGui::SetNextWindowSize(ImVec2(rect.width, rect.height), ImGuiCond_FirstUseEver);
}

Vec2 FitToAspect(float width, float height, float aspect)
{
    if (!(aspect > 0.0f) || width <= 0.0f || height <= 0.0f) return Vec2(0.0f, 0.0f);
    if (aspect * height >= width) return Vec2(width, width / aspect);
    return Vec2(aspect * height, height);
}

} // namespace EditorLayout
} // namespace OrvEngine
