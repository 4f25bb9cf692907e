// Sections of the engine core's components and of the widgets without pictures: Transform, Stats,
// Camera, Text, Button, ScriptComponent, Parent and Child; and the dispatch to every section.
#include "Editor/EditorWindows/ComponentPanelSections.h"

#include "Components/Button.h"
#include "Components/Camera.h"
#include "Components/Child.h"
#include "Components/Parent.h"
#include "Components/ParentChildSystem.h"
#include "Components/ScriptComponent.h"
#include "Components/Stats.h"
#include "Components/Text.h"
#include "Components/Transform.h"
#include "CoreEngine/Globals.h"
#include "Editor/EditorManager.h"
#include "Editor/EditorWidgets.h"
#include "Editor/EditorWindows/ComponentPanelActions.h"
#include "Factory/Entity.h"
#include "Scene/IScene.h"
#include "Scene/SceneStateMachine.h"
#include "Scripts/ScriptSystem.h"

#include <imgui.h>

#include <map>

namespace OrvEngine {
namespace InspectorSections {

using namespace EditorWidgets;

namespace {
using Drawer = void (*)(Entity&, Component&);

const std::map<int, Drawer>& Drawers()
{
    static const std::map<int, Drawer> drawers = {
        {TRANSFORM, DrawTransform},         {STATS, DrawStats},
        {CAMERA, DrawCamera},               {SPRITE, DrawSprite},
        {BOXCOLLIDER, DrawBoxCollider},     {RIGIDBODY2D, DrawRigidBody},
        {ENEMYMOVEMENT, DrawEnemyMovement}, {AIMOVEMENT, DrawAIMovement},
        {PLAYERCONTROLLER, DrawPlayerController}, {TEXT, DrawText},
        {AUDIO, DrawAudio},                 {BUTTON, DrawButton},
        {SCRIPTCOMPONENT, DrawScript},      {SLIDER, DrawSlider},
        {PARENT, DrawParent},               {CHILD, DrawChild},
        {BOSSBEHAVIOUR, DrawBossBehaviour},
    };
    return drawers;
}

// The locked axis follows the edited one in proportion; from a zero axis there is no proportion,
// so the other axis takes the edited value. Only the edited axis leads: letting the follower lead
// back would undo an edit from zero (0 times anything stays 0).
void KeepAspect(const Vec3& old_scale, Vec3& scale, bool x_edited)
{
    if (x_edited) scale.y = old_scale.x != 0.0f ? old_scale.y * (scale.x / old_scale.x) : scale.x;
    else scale.x = old_scale.y != 0.0f ? old_scale.x * (scale.y / old_scale.y) : scale.y;
}
} // namespace

Options& GetOptions()
{
    static Options options;
    return options;
}

NarrowWidth::NarrowWidth() { ImGui::PushItemWidth(EditorManager::GetInstance()->item_width); }
NarrowWidth::~NarrowWidth() { ImGui::PopItemWidth(); }

std::vector<std::string> LiveEntityNames()
{
    std::vector<std::string> names;
    if (auto scene = EditorManager::GetInstance()->edited_scene) {
        for (const auto& [id, entity] : scene->GetEntities()) names.push_back(entity->GetName());
    }
    return names;
}

std::vector<std::string> SceneNames()
{
    std::vector<std::string> names;
    if (OrvStateMachine) {
        for (const auto& [name, scene] : OrvStateMachine->scenes) names.push_back(name);
    }
    return names;
}

void Draw(Entity& entity, int type, Component& component)
{
    auto drawer = Drawers().find(type);
    if (drawer != Drawers().end()) drawer->second(entity, component);
}

void DrawTransform(Entity&, Component& component)
{
    auto* transform = As<Transform>(component);
    if (!transform) return;
    {
        NarrowWidth narrow;
        ImGui::TextUnformatted("Position:");
        bool edited = FloatField("x:         ", "##transform_pos_x", transform->position.x, kStep, 0.0f, "%.5f");
        edited |= FloatField("y:         ", "##transform_pos_y", transform->position.y, kStep, 0.0f, "%.5f");
        edited |= FloatField("z:         ", "##transform_pos_z", transform->position.z, kStep, 0.0f, "%.5f");
        EmptyLine();
        edited |= FloatField("Rotation:  ", "##transform_rot", transform->rotation, 0.5f, 0.0f, "%.1f");
        EmptyLine();
        ImGui::TextUnformatted("Scale:");
        const Vec3 old_scale = transform->scale;
        const bool x_edited = FloatField("x:         ", "##transform_scale_x", transform->scale.x, kStep, 0.0f, "%.5f");
        const bool y_edited = FloatField("y:         ", "##transform_scale_y", transform->scale.y, kStep, 0.0f, "%.5f");
        if (GetOptions().keep_scale_aspect && (x_edited || y_edited)) KeepAspect(old_scale, transform->scale, x_edited);
        // An edited Transform is written back whole, and its scale as (x, y, 0).
        if (edited || x_edited || y_edited) transform->scale.z = 0.0f;
    }
    ImGui::Checkbox("aspect ratio for scaling", &GetOptions().keep_scale_aspect);
}

void DrawStats(Entity&, Component& component)
{
    auto* stats = As<Stats>(component);
    if (!stats) return;
    NarrowWidth narrow;
    // Clamped where it is typed to the range a file read gives.
    const float most = Stats::kMaxValue;
    IntField("HP:        ", "##hp", stats->hp, 1, 0, Stats::kMaxHp);
    FloatField("Attack:            ", "##attack", stats->attack, kStep, 0.0f, "%.5f", 0.0f, most);
    FloatField("Defense:           ", "##defense", stats->defense, kStep, 0.0f, "%.5f", 0.0f, most);
    FloatField("Speed:             ", "##speed", stats->speed_attack, kStep, 0.0f, "%.5f", 0.0f, most);
    FloatField("Attack Modifier:   ", "##attack_mod", stats->att_modifier, kStep, 0.0f, "%.5f", 0.0f, most);
    FloatField("Defence Modifier:  ", "##defend_mod", stats->def_modifier, kStep, 0.0f, "%.5f", 0.0f, most);
    FloatField("Speed Modifier:    ", "##speed_mod", stats->spd_modifier, kStep, 0.0f, "%.5f", 0.0f, most);
}

void DrawCamera(Entity&, Component& component)
{
    auto* camera = As<Camera>(component);
    if (!camera) return;
    const Vec3 scale = camera->GetScale();
    int32_t width = static_cast<int32_t>(scale.x);
    int32_t height = static_cast<int32_t>(scale.y);
    ImGui::TextUnformatted("Note: Camera always scales to 4:3");
    NarrowWidth narrow;
    ImGui::TextUnformatted("Camera Size:");
    // A view of no size cannot be drawn: the smallest is 1, which the 4:3 rule makes 4 by 3.
    const bool width_edited = IntField("x:         ", "##camera_size_x", width, 4, 1);
    const bool height_edited = IntField("y:         ", "##camera_size_y", height, 4, 1);
    ImGui::TextUnformatted("Note: Smaller camera size means");
    ImGui::TextUnformatted("      camera is closer to scene.");
    if (width_edited) Camera::FixAspectFromWidth(width, height);
    else if (height_edited) Camera::FixAspectFromHeight(width, height);
    if (width_edited || height_edited) {
        camera->SetScale(static_cast<float>(width), static_cast<float>(height), scale.z);
    }
}

void DrawText(Entity&, Component& component)
{
    auto* text = As<Text>(component);
    if (!text) return;
    NarrowWidth narrow;
    std::string shown = text->GetText();
    if (TextField("Text:      ", "##buffer_text", shown)) text->SetText(shown);
    ImGui::TextUnformatted("Note: Suggested size = 0.001");
    float size = text->GetTextSize();
    if (FloatField("Size:      ", "##text_size", size, 0.0005f, 0.0f, "%.5f")) text->SetTextSize(size);
    ImGui::TextUnformatted("Note: Colour not working atm.");
    ImGui::TextUnformatted("All text will be default black.");
    Vec3 colour = text->GetColor();
    bool edited = FloatField("r:         ", "##text_colour_r", colour.x, 0.02f, 0.0f, "%.2f");
    edited |= FloatField("g:         ", "##text_colour_g", colour.y, 0.02f, 0.0f, "%.2f");
    edited |= FloatField("b:         ", "##text_colour_b", colour.z, 0.02f, 0.0f, "%.2f");
    if (edited) text->SetColor(colour);
}

void DrawButton(Entity&, Component& component)
{
    auto* button = As<Button>(component);
    if (!button) return;
    // The first item, an empty name, is "no next scene".
    std::vector<std::string> names = SceneNames();
    names.insert(names.begin(), std::string());
    std::string chosen;
    if (NameCombo("Next Scene:    ", "##button_next_scene", button->GetNextState(), names, chosen)) {
        button->SetNextState(chosen);
    }
}

void DrawScript(Entity& entity, Component& component)
{
    auto* script = As<ScriptComponent>(component);
    if (!script) return;
    std::vector<std::string> names;
    for (const auto& [name, creator] : *ScriptSystem::GetInstance()->GetScriptCreators()) names.push_back(name);
    std::string chosen;
    if (NameCombo("Script file:    ", "##script_name", script->file_name, names, chosen)) {
        InspectorActions::AttachScript(entity, chosen);
    }
}

void DrawParent(Entity& entity, Component& component)
{
    auto* parent = As<Parent>(component);
    if (!parent) return;
    Label("Name: ");
    ShowText(entity.GetName());
    Label("No. of Children: ");
    // The stored count says only how many attached themselves this run: a loaded level's children
    // find their parent by name and leave it at 0.
    ShowText(std::to_string(InspectorActions::ChildNames(entity).size()));
}

void DrawChild(Entity& entity, Component& component)
{
    auto* child = As<Child>(component);
    if (!child) return;
    const auto parent = child->GetParent();
    const std::string parent_name = parent ? child->GetParentName() : std::string();
    // The parents to choose from, by their entities' names; an entity is never its own parent.
    std::vector<std::string> names;
    std::vector<std::shared_ptr<Parent>> parents;
    for (const auto& candidate : ParentChildSystem::GetInstance()->GetParents()) {
        if (!candidate || !candidate->owner || candidate->owner == &entity) continue;
        names.push_back(candidate->owner->GetName());
        parents.push_back(candidate);
    }
    std::string chosen;
    if (NameCombo("Parent: ", "##parent", parent_name, names, chosen)) {
        for (size_t i = 0; i < names.size(); ++i) {
            if (names[i] == chosen) {
                child->SetParent(parents[i]);
                break;
            }
        }
    }
    Label("Has Parent: ");
    ShowText(child->GetParent() ? "true" : "false");
    Label("Parent Name: ");
    ShowText(child->GetParentName());
    Label("Silbing Index: ");
    ShowText(std::to_string(child->GetParent() ? child->GetSiblingIndex() : -1));
    ImGui::TextUnformatted("Note: Index default value is -1.");
    ImGui::TextUnformatted("Sibling index generated in order of addition.");
    Label("Follows x: ");
    CheckField("##folows_parent_x", child->follows_x);
    Label("Follows y: ");
    CheckField("##folows_parent_y", child->follows_y);
    Label("Follows scaling direction: ");
    CheckField("##folows_parent_dir", child->follows_scaling_dir);
}

} // namespace InspectorSections
} // namespace OrvEngine
