#include "Editor/EditorWindows/LEHierarchy.h"

#include "Components/Sprite.h"
#include "Components/Transform.h"
#include "CoreEngine/Globals.h"
#include "Editor/EditorFiles.h"
#include "Editor/EditorLayout.h"
#include "Editor/EditorManager.h"
#include "Editor/EditorWidgets.h"
#include "Editor/EditorWindows/ComponentPanelActions.h"
#include "Editor/EditorWindows/ComponentPanelSections.h"
#include "Factory/Entity.h"
#include "Factory/EntityFactory.h"
#include "Factory/Information.h"
#include "Graphics/DebugDraw.h"
#include "Platform/Platform.h"
#include "Scene/IScene.h"
#include "Scene/SceneStateMachine.h"
#include "Scene/Spawn.h"
#include "Scene/SplashScreenScene.h"

#include <imgui.h>

#include <vector>

namespace OrvEngine {

namespace {
constexpr uint32_t kAskFlags = Platform::MB_YESNO_FLAG | Platform::MB_ICONINFO_FLAG | Platform::MB_DEFBUTTON2_FLAG;
constexpr uint32_t kNoticeFlags = Platform::MB_OK_FLAG | Platform::MB_ICONWARNING_FLAG;
const Vec4 kOutlineColour(1.0f, 1.0f, 1.0f, 0.8f);

EditorManager* Editor() { return EditorManager::GetInstance(); }

// A new live entity of the edited scene: in the scene, the systems and the name index; the
// factory's staging map is left empty.
void PlaceInScene(IScene& scene, Entity* entity) { SpawnIntoScene(&scene, entity, SpawnOrder::SceneFirst, true); }

// Names what else changes: children lose their parent, bars and sliders what they show.
std::string DeletionQuestion(Entity& entity)
{
    std::string text = "Are you sure you want to delete the game object?";
    const std::vector<std::string> dependents = InspectorActions::DependentNames(entity);
    if (dependents.empty()) return text;
    return text + "\n" + std::to_string(dependents.size()) + " other objects depend on " + entity.name + ": " +
           InspectorActions::ShortList(dependents) + ".";
}

void AddCreated(Entity* entity, const std::string& creator_name)
{
    auto& creators = EntityFactory::GetInstance()->GetComponentCreators();
    auto creator = creators.find(creator_name);
    if (creator == creators.end()) return;
    entity->AddComponent(static_cast<int>(creator->second->GetType()), creator->second->Create());
}
} // namespace

bool LEHierarchy::SaveScene()
{
    std::shared_ptr<IScene> scene = Editor()->edited_scene;
    if (!scene || EditorFiles::RefusedWhilePlaying("Save Scene")) return false;
    if (!EditorFiles::EnsureSceneFolder(scene->GetSceneName()) || !EditorFiles::SaveSceneEntities(*scene) ||
        !EditorFiles::WriteSceneSettings(*scene)) {
        return false;
    }
    Editor()->scene_modified = false;
    scene->Unload();
    scene->Load();
    return true;
}

bool LEHierarchy::ReloadScene()
{
    EditorManager* editor = Editor();
    std::shared_ptr<IScene> scene = editor->edited_scene;
    if (!scene) return false;
    const int answer = editor->AskUser("Are you sure you want to load the scene? It will overwrite current progress.",
                                       "Load Scene", kAskFlags);
    if (answer != Platform::ID_YES) return false;
    editor->SetSelection(nullptr);
    // The scene's own settings go back to their file too, so no later save of all scenes writes
    // what was thrown away.
    if (OrvStateMachine) OrvStateMachine->ReadSceneSettings(*scene);
    scene->ReloadEntities();
    scene->Free();
    scene->Init();
    editor->scene_modified = false;
    return true;
}

Entity* LEHierarchy::AddObject()
{
    EditorManager* editor = Editor();
    std::shared_ptr<IScene> scene = editor->edited_scene;
    if (!scene || EditorFiles::RefusedWhilePlaying("Add Object")) return nullptr;
    editor->scene_modified = true;
    Entity* entity = EntityFactory::GetInstance()->CreateEntity("new_obj");
    AddCreated(entity, "Transform");
    AddCreated(entity, "Information");
    if (auto info = entity->GetComponent<Information>(INFORMATION)) {
        info->SetType(TAG_NONE);
        // Saved under this name: the file's key and the Information name agree.
        info->SetName(entity->GetName());
    }
    PlaceInScene(*scene, entity);
    editor->SetSelection(entity);
    return entity;
}

bool LEHierarchy::DeleteSelected()
{
    EditorManager* editor = Editor();
    std::shared_ptr<IScene> scene = editor->edited_scene;
    Entity* entity = editor->SelectedEntity();
    if (!scene || !entity || EditorFiles::RefusedWhilePlaying("Delete Object")) return false;
    if (editor->AskUser(DeletionQuestion(*entity), "Deleting game object", kAskFlags) != Platform::ID_YES) return false;
    editor->scene_modified = true;
    // Destroying takes it out of the systems (its script hears OnDestroy), the name index and the
    // selection; the name index keeps another entity of the same name.
    scene->RemoveEntity(entity->id);
    editor->SetSelection(nullptr);
    return true;
}

Entity* LEHierarchy::CreateFromPrefab(const std::string& prefab_name)
{
    EditorManager* editor = Editor();
    std::shared_ptr<IScene> scene = editor->edited_scene;
    if (!scene || EditorFiles::RefusedWhilePlaying("Add Object by Prefab")) return nullptr;
    if (prefab_name.empty()) {
        editor->AskUser("Please select a prefab to create.", "No prefab selected", kNoticeFlags);
        return nullptr;
    }
    EntityFactory* factory = EntityFactory::GetInstance();
    if (!factory->GetArchetypes().count(prefab_name)) {
        editor->AskUser("Prefab " + prefab_name + "not found, please check.", "No such prefab", kNoticeFlags);
        return nullptr;
    }
    editor->scene_modified = true;
    Entity* entity = factory->CreateFromArchetype(prefab_name);
    if (!entity) return nullptr;
    editor->SetSelection(entity);
    PlaceInScene(*scene, entity);
    return entity;
}

void LEHierarchy::DrawFeedbackMenu()
{
    if (!ImGui::BeginMenuBar()) return;
    if (ImGui::BeginMenu("Feedback")) {
        if (ImGui::MenuItem("Open feedback form to report bugs / give suggestions")) {
            Editor()->OpenAddress(kFeedbackAddress);
        }
        ImGui::EndMenu();
    }
    ImGui::EndMenuBar();
}

void LEHierarchy::DrawSceneButtons()
{
    if (EditorWidgets::ClickButton("Save Scene")) SaveScene();
    ImGui::SameLine();
    if (EditorWidgets::ClickButton("Load Scene")) ReloadScene();
    if (EditorWidgets::ClickButton("Add Object")) AddObject();
    if (Editor()->SelectedEntity()) {
        ImGui::SameLine();
        if (EditorWidgets::ClickButton("Delete Object")) DeleteSelected();
    }
}

void LEHierarchy::DrawPrefabRow()
{
    ImGui::TextUnformatted("Add Object by Prefab: ");
    std::vector<std::string> names;
    for (const auto& [name, prefab] : EntityFactory::GetInstance()->GetArchetypes()) names.push_back(name);
    std::string chosen;
    // Choosing a prefab changes nothing in the scene yet.
    if (EditorWidgets::PickName(nullptr, "##selected_prefab", selected_prefab, names, chosen)) selected_prefab = chosen;
    ImGui::SameLine();
    if (EditorWidgets::ClickButton("Create")) CreateFromPrefab(selected_prefab);
    EditorWidgets::EmptyLine();
}

void LEHierarchy::DrawSplashSettings()
{
    auto* splash = dynamic_cast<SplashScreenScene*>(Editor()->edited_scene.get());
    if (!splash || !ImGui::TreeNodeEx("Splash", ImGuiTreeNodeFlags_DefaultOpen)) return;
    ImGui::PushItemWidth(Editor()->item_width);
    EditorWidgets::FloatField("Onscreen Time(sec): ", "##showtime", splash->show_time, EditorWidgets::kStep, 0.0f,
                              "%.1f", 0.0f);
    ImGui::PopItemWidth();
    EditorWidgets::EmptyLine();
    const std::vector<std::string> names = InspectorSections::SceneNames();
    std::string chosen;
    if (EditorWidgets::NameCombo("Next Scene: ", "##nextscene", splash->next_state, names, chosen)) {
        splash->next_state = chosen;
    }
    ImGui::TreePop();
}

void LEHierarchy::DrawObjectList()
{
    EditorManager* editor = Editor();
    if (!ImGui::TreeNodeEx("Objects", ImGuiTreeNodeFlags_DefaultOpen)) return;
    uint64_t clicked = 0;
    // A click changes only the selection, after the walk.
    for (const auto& [id, entity] : editor->edited_scene->GetEntities()) {
        ImGui::PushID(reinterpret_cast<const void*>(static_cast<uintptr_t>(id)));
        const std::string label = entity->GetName() + "##" + std::to_string(id);
        if (EditorWidgets::SelectableRow(label.c_str(), id == editor->selected_id)) clicked = id;
        ImGui::PopID();
    }
    ImGui::TreePop();
    if (!clicked) return;
    editor->SetSelection(clicked == editor->selected_id ? nullptr : editor->edited_scene->GetEntity(clicked));
}

void LEHierarchy::DrawOutlines()
{
    EditorManager* editor = Editor();
    DebugDraw* lines = DebugDraw::GetInstance();
    for (const auto& [id, entity] : editor->edited_scene->GetEntities()) {
        auto transform = entity->GetComponent<Transform>(TRANSFORM);
        if (!transform) continue;
        auto sprite = entity->GetComponent<Sprite>(SPRITE);
        // Objects with a visible picture are outlined only while selected.
        if (sprite && !sprite->GetTexIdentifier().empty() && id != editor->selected_id) continue;
        const Vec3 scale = transform->scale;
        lines->AddBox(transform->GetPosition2D(), scale.x / 2.0f, scale.y / 2.0f, kOutlineColour);
    }
}

void LEHierarchy::Draw()
{
    EditorManager* editor = Editor();
    EditorLayout::PlaceNextWindow(EditorPane::Hierarchy);
    ImGui::Begin("Hierarchy", nullptr, ImGuiWindowFlags_MenuBar);
    DrawFeedbackMenu();
    const bool editing = editor->edited_scene && !GameIsRunning;
    if (editor->edited_scene) EditorWidgets::ShowText(editor->edited_scene->GetSceneName());
    if (editing) DrawSceneButtons();
    EditorWidgets::EmptyLine();
    if (editing) DrawPrefabRow();
    // The buttons above may have deleted or reloaded the scene's entities: looked up afresh.
    if (editor->edited_scene) {
        DrawSplashSettings();
        DrawObjectList();
        if (!GameIsRunning) DrawOutlines();
    }
    ImGui::End();
}

} // namespace OrvEngine
