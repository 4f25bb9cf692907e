#include "Editor/EditorWindows/LEComponentPanel.h"

#include "CoreEngine/Globals.h"
#include "Editor/EditorLayout.h"
#include "Editor/EditorManager.h"
#include "Editor/EditorPrefabs.h"
#include "Editor/EditorWidgets.h"
#include "Editor/EditorWindows/ComponentPanelActions.h"
#include "Editor/EditorWindows/ComponentPanelSections.h"
#include "Editor/EditorWindows/LEHierarchy.h"
#include "Factory/Entity.h"
#include "Factory/EntityFactory.h"
#include "Factory/Information.h"

#include <imgui.h>

namespace OrvEngine {

using namespace EditorWidgets;

namespace {
constexpr float kSearchWidth = 220.0f;
constexpr float kSearchHeight = 360.0f;
} // namespace

void LEInspector::DrawTag(Entity& entity)
{
    auto info = entity.GetComponent<Information>(INFORMATION);
    // An entity made without an Information has no tag to show.
    if (!info) return;
    const uint32_t tag = info->GetType();
    // A tag read from a file may lie outside the list: shown by number, never indexed with.
    const std::string shown = tag < tags.size() ? tags[tag] : std::to_string(tag);
    std::string chosen;
    if (NameCombo("Tag: ", "##entity_tag", shown, tags, chosen)) {
        for (size_t i = 0; i < tags.size(); ++i) {
            if (tags[i] == chosen) info->SetType(static_cast<uint32_t>(i));
        }
        InspectorActions::Reindex(entity);
    }
}

void LEInspector::DrawHeader(Entity& entity)
{
    std::string name = entity.GetName();
    if (UncheckedTextField("Name:      ", "##entityname", name)) {
        emptied_name_id = name.empty() ? entity.id : 0;
        if (InspectorActions::Rename(entity, name)) MarkModified();
    }
    // Once the field is left it shows the name that stood.
    if (!ImGui::IsItemActive()) emptied_name_id = 0;
    if (emptied_name_id == entity.id) ShowWarning("Name refused: A name cannot be empty.");
    DrawTag(entity);
    auto info = entity.GetComponent<Information>(INFORMATION);
    bool active = info ? info->IsActive() : entity.active;
    if (CheckField("active", active)) {
        entity.SetActive(active);
        if (info) info->SetActive(active);
    }
    EmptyLine();
}

void LEInspector::DrawPrefabButtons(Entity& entity)
{
    const std::string name = entity.GetName();
    if (!EntityFactory::GetInstance()->GetArchetypes().count(name)) {
        if (ClickButton("Save As Prefab")) EditorPrefabs::SaveAsPrefab(entity, false);
    } else {
        if (ClickButton("Overwrite Prefab")) EditorPrefabs::SaveAsPrefab(entity, true);
        ImGui::SameLine();
        if (ClickButton("Remove Prefab")) EditorPrefabs::RemovePrefab(name);
    }
    if (ClickButton("See All Prefabs")) EditorManager::GetInstance()->OpenFolder("../Resources/Data/Prefab");
}

void LEInspector::DrawSearchWindow(Entity& entity)
{
    if (!searchOpen) return;
    ImGui::SetNextWindowSize(ImVec2(kSearchWidth, kSearchHeight), ImGuiCond_FirstUseEver);
    if (ImGui::Begin("Search", &searchOpen, ImGuiWindowFlags_MenuBar)) {
        // The names are copied: adding a component never registers a creator, but the walk is safe.
        std::vector<std::string> names;
        for (const auto& [name, creator] : EntityFactory::GetInstance()->GetComponentCreators()) {
            if (name != "Transform" && name != "Information") names.push_back(name);
        }
        for (const std::string& name : names) {
            if (ClickButton(name.c_str()) && InspectorActions::AddComponent(entity, name)) MarkModified();
        }
    }
    ImGui::End();
}

void LEInspector::DrawSections(Entity& entity)
{
    // A copy: nothing in a section adds or removes components, and removal waits for the end.
    const auto components = entity.components;
    for (const auto& [type, component] : components) {
        if (type == INFORMATION) {
            EmptyLine();
            continue;
        }
        // Sections repeat identities ("##slider_ent" in Sprite and Slider): each has its own id scope.
        ImGui::PushID(type);
        if (ImGui::CollapsingHeader(component->GetName().c_str(), ImGuiTreeNodeFlags_DefaultOpen)) {
            InspectorSections::Draw(entity, type, *component);
            if (type != TRANSFORM) {
                EmptyLine();
                const std::string remove = "Remove Component##RemoveComponent" + std::to_string(type);
                if (ClickButton(remove.c_str())) pendingRemoval = static_cast<uint32_t>(type);
            }
        }
        ImGui::PopID();
        EmptyLine();
    }
}

void LEInspector::Draw()
{
    EditorManager* editor = EditorManager::GetInstance();
    EditorLayout::PlaceNextWindow(EditorPane::Inspector);
    ImGui::Begin("Inspector");
    Entity* entity = editor->SelectedEntity();
    if (entity) {
        DrawHeader(*entity);
        DrawPrefabButtons(*entity);
        if (editor->edited_scene && !GameIsRunning) {
            EmptyLine();
            if (ClickButton("Delete Object")) LEHierarchy::DeleteSelected();
        }
        // Deleting cleared the selection; the entity is gone.
        entity = editor->SelectedEntity();
    }
    if (entity) {
        EmptyLine();
        if (ClickButton("Add Component")) searchOpen = true;
        DrawSearchWindow(*entity);
        DrawSections(*entity);
        if (pendingRemoval != 0 && InspectorActions::RemoveComponent(*entity, static_cast<int>(pendingRemoval))) {
            MarkModified();
        }
    }
    pendingRemoval = 0;
    ImGui::End();
}

} // namespace OrvEngine
