#include "Editor/EditorWindows/LEScene.h"

#include "Components/Button.h"
#include "CoreEngine/Globals.h"
#include "CoreEngine/Serializer.h"
#include "Editor/EditorFiles.h"
#include "Editor/EditorLayout.h"
#include "Editor/EditorManager.h"
#include "Editor/EditorWindows/LEHierarchy.h"
#include "Editor/EditorWindows/LEMenuBar.h"
#include "Factory/Entity.h"
#include "Logging/Logging.h"
#include "Platform/Platform.h"
#include "Scene/IScene.h"
#include "Scene/SceneStateMachine.h"
#include "Scene/SplashScreenScene.h"

#include <imgui.h>

#include <filesystem>

namespace OrvEngine {

namespace {
// Far more names than any project has scenes; only a data folder full of left-behind folders
// could use them up.
constexpr int kMaxNameTries = 10000;

bool FolderExists(const std::string& name)
{
    std::error_code ignored;
    return std::filesystem::exists(std::string(kDataFolder) + name, ignored);
}

bool NameIsFree(const std::string& name)
{
    return EditorFiles::IsUsableSceneName(name) && !OrvStateMachine->scenes.count(name) && !FolderExists(name);
}

// Each failure is one log line and the deletion goes on.
void RemoveSceneFiles(const std::string& name)
{
    if (!EditorFiles::IsUsableSceneName(name)) {
        // "Prefab" names the prefab folder: its files are never a scene's to remove.
        LogLine("Fail to remove directory: " + name);
        return;
    }
    const std::string folder = std::string(kDataFolder) + name;
    if (!Platform::RemoveFile(folder + "/" + name + ".json")) LogLine("Fail to remove file: " + name + ".json");
    if (!Platform::RemoveFile(folder + "/Entities.json")) LogLine("Fail to remove file: Entities.json");
    if (!Platform::RemoveFile(folder + "/AutoSave.json")) LogLine("Fail to remove file: AutoSave.json");
    std::error_code error;
    if (!std::filesystem::remove(folder, error)) LogLine("Fail to remove directory: " + name);
}

bool HasButtonTo(const EntityMap& entities, const std::string& name)
{
    for (const auto& [id, entity] : entities) {
        auto button = entity ? entity->GetComponent<Button>(BUTTON) : nullptr;
        if (button && button->GetNextState() == name) return true;
    }
    return false;
}

bool SplashLeadsTo(const IScene& scene, const std::string& name)
{
    const auto* splash = dynamic_cast<const SplashScreenScene*>(&scene);
    return splash && splash->next_state == name;
}

bool ButtonLeadsTo(IScene& scene, const std::string& name)
{
    const EntityMap* loaded = scene.GetLoadedEntities();
    return HasButtonTo(scene.GetEntities(), name) || (loaded && HasButtonTo(*loaded, name));
}

// Names the other scenes that change to `name` (splash scenes by their next scene, scenes by a
// button), and what becomes of a splash scene among them.
std::string DeletionQuestion(const std::string& name)
{
    std::string text = "Are you sure you want to delete the scene?";
    std::string leading;
    bool splash = false;
    for (const auto& [key, scene] : OrvStateMachine->scenes) {
        if (!scene || scene->GetSceneName() == name) continue;
        const bool by_splash = SplashLeadsTo(*scene, name);
        if (!by_splash && !ButtonLeadsTo(*scene, name)) continue;
        leading += (leading.empty() ? "" : ", ") + scene->GetSceneName();
        splash = splash || by_splash;
    }
    if (leading.empty()) return text;
    text += "\nThese scenes lead to " + name + ": " + leading + ".";
    return splash ? text + " A splash scene among them goes on to the main menu instead." : text;
}

// Splash scenes that led to the deleted scene now lead nowhere; their settings are saved so.
void ForgetNextState(const std::string& name)
{
    for (const auto& [key, scene] : OrvStateMachine->scenes) {
        auto* splash = dynamic_cast<SplashScreenScene*>(scene.get());
        if (!splash || splash->next_state != name || splash->GetSceneName() == name) continue;
        splash->next_state.clear();
        EditorFiles::WriteSceneSettings(*splash);
    }
}
} // namespace

std::string LEScene::GeneratedName(const std::string& stem, uint64_t number)
{
    return stem + (number < 10 ? "_0" : "_") + std::to_string(number);
}

void LEScene::FollowCurrentScene()
{
    if (auto current = CurrentScene()) EditorManager::GetInstance()->edited_scene = current;
}

std::string LEScene::AddGameScene() { return AddScene(SceneStateMachine::MakeGameScene(), "GameScene", gameSceneCounter); }

std::string LEScene::AddSplashScene()
{
    return AddScene(SceneStateMachine::MakeSplashScreenScene(), "SplashScene", splashSceneCounter);
}

std::string LEScene::AddScene(const std::shared_ptr<IScene>& scene, const std::string& stem, uint64_t& counter)
{
    if (!OrvStateMachine || EditorFiles::RefusedWhilePlaying("Adding a scene")) return "";
    std::string name;
    for (int tries = 0; tries < kMaxNameTries && name.empty(); ++tries) {
        const std::string candidate = GeneratedName(stem, ++counter);
        if (NameIsFree(candidate)) name = candidate;
    }
    if (name.empty()) {
        EditorFiles::ReportFailure("[LEScene] No free name for a new " + stem + " was found");
        return "";
    }
    OrvStateMachine->AddScene(name, scene);
    if (!EditorFiles::SaveNewScene(*scene)) {
        // The list stays what the index on disk says.
        OrvStateMachine->RemoveScene(name);
        return "";
    }
    return name;
}

bool LEScene::DeleteCurrentScene()
{
    EditorManager* editor = EditorManager::GetInstance();
    std::shared_ptr<IScene> scene = editor->edited_scene;
    if (!scene || !OrvStateMachine || EditorFiles::RefusedWhilePlaying("Delete Scene")) return false;
    const int answer = editor->AskUser(DeletionQuestion(scene->GetSceneName()), "Deleting Scene",
                                       Platform::MB_YESNO_FLAG | Platform::MB_ICONINFO_FLAG | Platform::MB_DEFBUTTON2_FLAG);
    if (answer != Platform::ID_YES) return false;
    const std::string name = scene->GetSceneName();
    // The index goes first: when it cannot be written, nothing is deleted.
    if (!EditorFiles::WriteSceneIndex(name)) return false;
    ForgetNextState(name);
    LEMenuBar::RemoveLiveEntities(*scene);
    editor->SetSelection(nullptr);
    RemoveSceneFiles(name);
    OrvStateMachine->RemoveScene(name);
    if (OrvStateMachine->next_state == name) OrvStateMachine->next_state.clear();
    editor->edited_scene.reset();
    editor->scene_flags.erase(name);
    if (editor->played_scene == name) editor->played_scene.clear();
    return true;
}

void LEScene::CloseEditedScene()
{
    EditorManager* editor = EditorManager::GetInstance();
    std::shared_ptr<IScene> scene = editor->edited_scene;
    scene->Free();
    editor->edited_scene.reset();
    editor->SetSelection(nullptr);
    if (OrvStateMachine->current_scene == scene) OrvStateMachine->current_scene.reset();
    // A change a Stop asked for would open a scene again; the user closed it.
    OrvStateMachine->next_state.clear();
}

void LEScene::SelectScene(const std::string& name)
{
    EditorManager* editor = EditorManager::GetInstance();
    if (!OrvStateMachine || !OrvStateMachine->GetScene(name)) return;
    if (LEMenuBar::IsPlaying()) {
        // The played entities are not the user's work: they are thrown away, and the played
        // scene comes back from its snapshot when it is next entered.
        LEMenuBar::Stop();
    } else if (editor->scene_modified && editor->edited_scene) {
        editor->scene_modified = false;
        const int answer = editor->AskUser("Do you want to save this scene before proceeding? Data will be lost if "
                                           "scene is changed without saving.",
                                           "Changing Scene", Platform::MB_YESNO_FLAG | Platform::MB_ICONINFO_FLAG);
        // Saved as "Save Scene" saves it: a splash scene's settings are the user's work too.
        if (answer == Platform::ID_YES && !LEHierarchy::SaveScene()) {
            // Nothing is lost: the scene stays open with its changes.
            editor->scene_modified = true;
            return;
        }
        // Thrown away, settings as well as entities: no later save of all scenes writes them.
        if (answer != Platform::ID_YES) OrvStateMachine->ReadSceneSettings(*editor->edited_scene);
    }
    GameIsRunning = false;
    if (editor->edited_scene && editor->edited_scene->GetSceneName() == name) {
        CloseEditedScene();
        return;
    }
    OrvStateMachine->next_state = name;
}

void LEScene::OpenScenesFolder() { EditorManager::GetInstance()->OpenFolder("../Resources/Data"); }

void LEScene::DrawButtons()
{
    if (ImGui::Button("Add Game Scene")) AddGameScene();
    ImGui::SameLine();
    if (ImGui::Button("Add Splash Scene")) AddSplashScene();
    if (!EditorManager::GetInstance()->edited_scene) return;
    ImGui::SameLine();
    if (ImGui::Button("Delete Scene")) DeleteCurrentScene();
}

void LEScene::DrawSceneList()
{
    if (!OrvStateMachine || !ImGui::TreeNodeEx("Scenes", ImGuiTreeNodeFlags_DefaultOpen)) return;
    EditorManager* editor = EditorManager::GetInstance();
    const std::string edited = editor->edited_scene ? editor->edited_scene->GetSceneName() : std::string();
    // A click may close or remove scenes: it is acted on after the walk over a copy of the map.
    const auto scenes = OrvStateMachine->scenes;
    std::string clicked;
    for (const auto& [key, scene] : scenes) {
        const std::string name = scene->GetSceneName();
        if (ImGui::Selectable((name + "##").c_str(), !edited.empty() && name == edited)) clicked = key;
    }
    ImGui::TreePop();
    if (!clicked.empty()) SelectScene(clicked);
}

void LEScene::Draw()
{
    FollowCurrentScene();
    EditorLayout::PlaceNextWindow(EditorPane::Scenes);
    if (ImGui::Begin("Scenes", nullptr, ImGuiWindowFlags_MenuBar)) {
        if (ImGui::BeginMenuBar()) {
            if (ImGui::BeginMenu("Open In Explorer", true)) {
                if (ImGui::MenuItem("Open Scenes Folder")) OpenScenesFolder();
                ImGui::EndMenu();
            }
            ImGui::EndMenuBar();
        }
        if (!GameIsRunning) DrawButtons();
        DrawSceneList();
    }
    ImGui::End();
}

} // namespace OrvEngine
