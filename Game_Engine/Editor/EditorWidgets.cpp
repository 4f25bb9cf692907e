#include "Editor/EditorWidgets.h"

#include "Editor/EditorManager.h"
#include "Editor/EditorWindows/LEMenuBar.h"

#include <imgui_stdlib.h>

#include <algorithm>
#include <cmath>

namespace OrvEngine {
namespace EditorWidgets {

namespace {
const ImVec4 kWarningColour(1.0f, 0.45f, 0.35f, 1.0f);

ItemHook& Hook()
{
    static ItemHook hook;
    return hook;
}

// Tells the hook about the widget just drawn; id is the one `label` has in the current id stack.
void NoteItem(const char* label)
{
    if (!Hook()) return;
    Hook()({label, ImGui::GetID(label), ImGui::GetItemRectMin(), ImGui::GetItemRectMax()});
}

void StartRow(const char* label)
{
    if (!label) return;
    ImGui::TextUnformatted(label);
    ImGui::SameLine();
}

bool Changed(bool edited)
{
    if (edited) MarkModified();
    return edited;
}
} // namespace

void SetItemHook(ItemHook hook) { Hook() = std::move(hook); }

void MarkModified()
{
    if (!LEMenuBar::IsPlaying()) EditorManager::GetInstance()->scene_modified = true;
}

void Label(const char* text) { StartRow(text); }

void ShowText(const std::string& text) { ImGui::TextUnformatted(text.c_str(), text.c_str() + text.size()); }

void EmptyLine() { ImGui::TextUnformatted(""); }

bool FloatField(const char* label, const char* id, float& value, float step, float fast, const char* format, float min,
                float max)
{
    StartRow(label);
    float typed = value;
    const bool edited = ImGui::InputFloat(id, &typed, step, fast, format);
    NoteItem(id);
    // "nan" and "inf" parse as numbers; nothing downstream can take them.
    if (!edited || !std::isfinite(typed)) return false;
    typed = std::clamp(typed, min, max);
    if (typed == value) return false;
    value = typed;
    return Changed(true);
}

bool IntField(const char* label, const char* id, int32_t& value, int step, int32_t min, int32_t max)
{
    StartRow(label);
    // Read wider than the field, so a number past its range is clamped instead of wrapped.
    int64_t typed = value;
    const int64_t small_step = step, fast_step = 100;
    const bool edited = ImGui::InputScalar(id, ImGuiDataType_S64, &typed, step > 0 ? &small_step : nullptr,
                                           step > 0 ? &fast_step : nullptr);
    NoteItem(id);
    typed = std::clamp<int64_t>(typed, min, max);
    if (!edited || typed == value) return false;
    value = static_cast<int32_t>(typed);
    return Changed(true);
}

bool CheckField(const char* label, bool& value)
{
    bool ticked = value;
    const bool edited = ImGui::Checkbox(label, &ticked);
    NoteItem(label);
    if (!edited || ticked == value) return false;
    value = ticked;
    return Changed(true);
}

// A string of any length: nothing is cut to a buffer.
bool UncheckedTextField(const char* label, const char* id, std::string& value)
{
    StartRow(label);
    std::string typed = value;
    const bool edited = ImGui::InputText(id, &typed);
    NoteItem(id);
    if (!edited || typed == value) return false;
    value = typed;
    return true;
}

bool TextField(const char* label, const char* id, std::string& value)
{
    return Changed(UncheckedTextField(label, id, value));
}

void ShowWarning(const std::string& text)
{
    ImGui::PushStyleColor(ImGuiCol_Text, kWarningColour);
    ShowText(text);
    ImGui::PopStyleColor();
    NoteItem(text.c_str());
}

bool ClickButton(const char* label)
{
    const bool pressed = ImGui::Button(label);
    NoteItem(label);
    return pressed;
}

bool SelectableRow(const char* label, bool selected)
{
    const bool clicked = ImGui::Selectable(label, selected);
    NoteItem(label);
    return clicked;
}

bool PickName(const char* label, const char* id, const std::string& current, const std::vector<std::string>& names,
              std::string& chosen)
{
    StartRow(label);
    bool picked = false;
    if (ImGui::BeginCombo(id, current.c_str())) {
        for (size_t i = 0; i < names.size(); ++i) {
            // Names may repeat (two entities called "new_obj"): the row number keeps ids apart.
            ImGui::PushID(static_cast<int>(i));
            const bool marked = names[i] == current;
            if (ImGui::Selectable(names[i].c_str(), marked)) {
                chosen = names[i];
                picked = true;
            }
            if (marked) ImGui::SetItemDefaultFocus();
            ImGui::PopID();
        }
        ImGui::EndCombo();
    }
    NoteItem(id);
    return picked && chosen != current;
}

bool NameCombo(const char* label, const char* id, const std::string& current, const std::vector<std::string>& names,
               std::string& chosen)
{
    return Changed(PickName(label, id, current, names, chosen));
}

bool TextureCombo(const char* label, const char* id, const std::string& current, std::string& chosen)
{
    return NameCombo(label, id, current, EditorManager::GetInstance()->textures.Names(), chosen);
}

} // namespace EditorWidgets
} // namespace OrvEngine
