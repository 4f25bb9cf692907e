// The widgets the editor's windows build their rows from: a label drawn as its own text with the
// input beside it, written back only when the input reports a change (a value the engine cannot
// take is refused or clamped right there), combos over names, and a hook through which tests
// learn where each widget was drawn and which ImGui id it carries. Owns no editor state.
#pragma once

#include <imgui.h>

#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace OrvEngine {
namespace EditorWidgets {

// A widget as drawn in the last frame: its label or identity, id and screen rectangle.
struct DrawnItem {
    std::string label;
    ImGuiID id = 0;
    ImVec2 min;
    ImVec2 max;
};
using ItemHook = std::function<void(const DrawnItem&)>;
// Tests install a hook; the editor itself never does.
void SetItemHook(ItemHook hook);

// The edited scene now differs from its files (not while a play runs: that state is thrown away).
void MarkModified();

// The label of a row, with the row's widget to follow on the same line.
void Label(const char* text);
// Text that is never read as a format string.
void ShowText(const std::string& text);
void EmptyLine();

constexpr float kNoLimit = std::numeric_limits<float>::max();
// The +/- step of most number rows; colours and speeds step finer, by kStep with Ctrl held.
constexpr float kStep = 0.05f;
constexpr float kFineStep = 0.01f;

// Each returns true when the user changed the value this frame and `value` now holds the new
// one; the scene is then marked modified. A label of null draws the widget alone.
bool FloatField(const char* label, const char* id, float& value, float step, float fast, const char* format,
                float min = -kNoLimit, float max = kNoLimit);
bool IntField(const char* label, const char* id, int32_t& value, int step, int32_t min = INT32_MIN,
              int32_t max = INT32_MAX);
bool CheckField(const char* label, bool& value);
bool TextField(const char* label, const char* id, std::string& value);
// A text field that hands over each change as it is typed, for the caller to judge: true when a
// changed text is in `value`; marks nothing modified.
bool UncheckedTextField(const char* label, const char* id, std::string& value);
// A line in the warning colour under the widget it is about.
void ShowWarning(const std::string& text);
// A button that reports itself to the hook; true when pressed (nothing is marked modified).
bool ClickButton(const char* label);
// A selectable row that reports itself to the hook; true when clicked.
bool SelectableRow(const char* label, bool selected);
// A combo showing `current`; true when another item was picked, its name then in `chosen`.
// PickName leaves the scene's modified flag alone (a choice that edits nothing yet).
bool PickName(const char* label, const char* id, const std::string& current, const std::vector<std::string>& names,
              std::string& chosen);
bool NameCombo(const char* label, const char* id, const std::string& current, const std::vector<std::string>& names,
               std::string& chosen);
// A combo over the editor's texture names.
bool TextureCombo(const char* label, const char* id, const std::string& current, std::string& chosen);

} // namespace EditorWidgets
} // namespace OrvEngine
