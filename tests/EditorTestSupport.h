// What the editor tests share: finding the editor's widgets on screen from ImGui's own window
// records (ImGui 1.86 has no test engine), the ids ImGui gives them, and a scripted mouse that
// clicks through io.MousePos and the left button over three frames (hover, press, release).
#pragma once

#include <imgui.h>
#include <imgui_internal.h>

#include <string>
#include <vector>

namespace OrvTest {

inline ImGuiWindow* EditorWindow(const char* name) { return ImGui::FindWindowByName(name); }

// The id ImGui gives a widget labelled `label` at the top of a window's id stack.
inline ImGuiID WidgetId(const char* window_name, const std::string& label)
{
    ImGuiWindow* window = EditorWindow(window_name);
    return window ? ImHashStr(label.c_str(), 0, window->ID) : 0;
}

// The id of a widget under an open tree node of the window.
inline ImGuiID TreeWidgetId(const char* window_name, const std::string& tree_label, const std::string& label)
{
    return ImHashStr(label.c_str(), 0, WidgetId(window_name, tree_label));
}

// What the mouse hovered in the last frame.
inline ImGuiID HoveredId() { return ImGui::GetCurrentContext()->HoveredId; }

inline float ButtonWidth(const std::string& label)
{
    return ImGui::CalcTextSize(label.c_str(), nullptr, true).x + ImGui::GetStyle().FramePadding.x * 2.0f;
}

// The centre of button `index` of the buttons laid out with SameLine on the window's first row.
inline ImVec2 RowButtonCentre(const char* window_name, const std::vector<std::string>& row, size_t index)
{
    ImGuiWindow* window = EditorWindow(window_name);
    if (!window || index >= row.size()) return ImVec2(-1.0f, -1.0f);
    const ImGuiStyle& style = ImGui::GetStyle();
    float x = window->DC.CursorStartPos.x;
    for (size_t i = 0; i < index; ++i) x += ButtonWidth(row[i]) + style.ItemSpacing.x;
    return ImVec2(x + ButtonWidth(row[index]) / 2.0f, window->DC.CursorStartPos.y + ImGui::GetFrameHeight() / 2.0f);
}

// The centre of the square of a checkbox on the window's second row (after a row of buttons).
inline ImVec2 SecondRowCheckboxCentre(const char* window_name)
{
    ImGuiWindow* window = EditorWindow(window_name);
    if (!window) return ImVec2(-1.0f, -1.0f);
    const float frame = ImGui::GetFrameHeight();
    return ImVec2(window->DC.CursorStartPos.x + frame / 2.0f,
                  window->DC.CursorStartPos.y + frame + ImGui::GetStyle().ItemSpacing.y + frame / 2.0f);
}

// The centre of row `row` under the open tree node "Scenes" of the scenes window; the tree sits
// below a row of buttons while they are shown.
inline ImVec2 SceneRowCentre(bool buttons_shown, size_t row)
{
    ImGuiWindow* window = EditorWindow("Scenes");
    if (!window) return ImVec2(-1.0f, -1.0f);
    const ImGuiStyle& style = ImGui::GetStyle();
    const float line = ImGui::GetFontSize() + style.ItemSpacing.y;
    float y = window->DC.CursorStartPos.y;
    if (buttons_shown) y += ImGui::GetFrameHeight() + style.ItemSpacing.y;
    y += line * static_cast<float>(row + 1) + ImGui::GetFontSize() / 2.0f;
    return ImVec2(window->DC.CursorStartPos.x + style.IndentSpacing + 20.0f, y);
}

// A left click spread over three editor frames: hover, press, release. Call Apply once per frame
// after the back-ends have read the devices; it reports when the click is complete.
struct ScriptedMouse {
    ImVec2 target{-1.0f, -1.0f};
    int phase = -1; // -1 idle, 0 hover, 1 pressed, 2 released

    void Click(ImVec2 at)
    {
        target = at;
        phase = 0;
    }
    bool Busy() const { return phase >= 0; }

    void Apply()
    {
        ImGuiIO& io = ImGui::GetIO();
        io.MousePos = target;
        io.MouseDown[0] = phase == 1;
        if (phase >= 0) phase = phase == 2 ? -1 : phase + 1;
    }
};

} // namespace OrvTest
