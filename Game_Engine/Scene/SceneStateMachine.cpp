#include "Scene/SceneStateMachine.h"

#include "CoreEngine/CoreEngine.h"
#include "CoreEngine/Globals.h"
#include "CoreEngine/Message.h"
#include "CoreEngine/Serializer.h"
#include "Factory/Entity.h"
#include "Factory/EntityNames.h"
#include "Logging/Logging.h"
#include "Scene/GameScene.h"
#include "Scene/SceneHooks.h"
#include "Scene/SplashScreenScene.h"

namespace OrvEngine {

namespace {
// A scene's own settings file, under the data folder.
std::string SettingsFile(const std::string& scene_name) { return scene_name + "/" + scene_name + ".json"; }
} // namespace

std::shared_ptr<IScene> CurrentScene() { return OrvStateMachine ? OrvStateMachine->current_scene : nullptr; }

SceneStateMachine::SceneStateMachine()
{
    ORV_ASSERT_AT(!OrvStateMachine, "Game_Engine/Scene/SceneStateMachine", "Scene state machine is already created!");
    OrvStateMachine = this;
    LoadScenes();
}

SceneStateMachine::~SceneStateMachine()
{
    if (OrvStateMachine == this) OrvStateMachine = nullptr;
}

SceneStateMachine* SceneStateMachine::GetInstance() { return OrvStateMachine; }

std::shared_ptr<IScene> SceneStateMachine::MakeGameScene() { return std::make_shared<GameScene>(); }
std::shared_ptr<IScene> SceneStateMachine::MakeSplashScreenScene() { return std::make_shared<SplashScreenScene>(); }

void SceneStateMachine::Update()
{
    if (next_state.empty()) {
        if (!current_scene) return;
        if (GetSceneHooks().start_music) GetSceneHooks().start_music(*current_scene);
        current_scene->Update();
        return;
    }
    ChangeScene();
}

void SceneStateMachine::ChangeScene()
{
    const std::string requested = next_state;
    next_state.clear();
    if (requested == "Exit game") {
        QuitMessage quit;
        if (OrvCoreEngine) OrvCoreEngine->BroadcastMessage(&quit);
        return;
    }
    auto found = scenes.find(requested);
    if (found == scenes.end()) {
        if (reported_unknown_.insert(requested).second) {
            PrintAndLog("[SceneStateMachine::Update] No scene named '" + requested + "'; the change is dropped");
        }
        return;
    }
    if (current_scene) {
        previous_scene = current_scene->GetSceneName();
        current_scene->Free();
    }
    // Nothing the scene left may hold the next one: a dialogue cut short froze every later game.
    // (A game scene's Init ends the pause; a splash scene keeps it.)
    ResetLevelState();
    current_scene = found->second;
    PrintAndLog("Changed scene to " + requested);
    current_scene->Init();
}

void SceneStateMachine::TogglePause()
{
    if (paused) {
        paused = false;
        return;
    }
    auto scene = GetCurrentScene();
    // Only a scene with a pause menu pauses: paused, a menu of its own (a lose screen's Retry)
    // would stop answering, with nothing on screen to say why.
    if (scene && scene->GetSceneType() == SCENE_GAME && scene->GetSceneName() != "MainMenuScene" &&
        scene->FindEntityByName(EntityNames::kPauseBackground)) {
        PrintLine("GamePaused");
        if (GetSceneHooks().clear_button_selection) GetSceneHooks().clear_button_selection();
        paused = true;
    }
}

std::shared_ptr<IScene> SceneStateMachine::GetScene(const std::string& name) const
{
    auto found = scenes.find(name);
    return found == scenes.end() ? nullptr : found->second;
}

std::shared_ptr<IScene> SceneStateMachine::ChangeState(const std::string& name)
{
    next_state = name;
    return GetScene(name);
}

void SceneStateMachine::AddScene(const std::string& name, std::shared_ptr<IScene> scene)
{
    if (!scene) return;
    if (scenes.count(name)) {
        PrintAndLog("[SceneStateMachine::AddScene] A scene named '" + name + "' already exists; the new one is refused");
        return;
    }
    scenes[name] = scene;
    scene->SetSceneName(name);
    scene->Load();
}

void SceneStateMachine::RemoveScene(const std::string& name)
{
    auto found = scenes.find(name);
    if (found == scenes.end()) return;
    if (current_scene == found->second) {
        current_scene->Free();
        current_scene.reset();
    }
    found->second->Unload();
    scenes.erase(found);
}

void SceneStateMachine::LoadScenes()
{
    PrintLine("SceneStateMachine Loading Scenes");
    rapidjson::Document document;
    if (!OrvSerializer.ReadFileToDocument("Scenes.json", document)) {
        PrintAndLog("[SceneStateMachine::LoadScenes] Scenes.json could not be read; no scene is loaded");
        return;
    }
    for (auto member = document.MemberBegin(); member != document.MemberEnd(); ++member) {
        const std::string name(member->name.GetString(), member->name.GetStringLength());
        if (!member->value.IsUint()) {
            PrintAndLog("[SceneStateMachine::LoadScenes] Scene '" + name + "' has no valid type; skipped");
            continue;
        }
        LoadScene(name, member->value.GetUint());
    }
}

void SceneStateMachine::LoadScene(const std::string& name, uint32_t type)
{
    if (type != SCENE_SPLASH && type != SCENE_GAME) {
        PrintAndLog("[SceneStateMachine::LoadScene] Scene '" + name + "' has unknown type " + std::to_string(type) +
                    "; skipped");
        return;
    }
    if (!IsSafePathComponent(name)) {
        PrintAndLog("[SceneStateMachine::LoadScene] Refused scene name '" + name + "'");
        return;
    }
    rapidjson::Document document;
    if (!OrvSerializer.ReadFileToDocument(SettingsFile(name), document)) {
        PrintAndLog("[SceneStateMachine::LoadScene] Settings of scene '" + name + "' could not be read; skipped");
        return;
    }
    std::shared_ptr<IScene> scene = type == SCENE_GAME ? MakeGameScene() : MakeSplashScreenScene();
    // The listed name stands unless the settings file names the scene itself.
    scene->SetSceneName(name);
    if (document.MemberCount() > 0) scene->Deserialize(document);
    const std::string scene_name = scene->GetSceneName();
    if (!IsSafePathComponent(scene_name)) {
        PrintAndLog("[SceneStateMachine::LoadScene] Refused scene name '" + scene_name + "'");
        return;
    }
    AddScene(scene_name, scene);
}

bool SceneStateMachine::ReadSceneSettings(IScene& scene)
{
    const std::string name = scene.GetSceneName();
    rapidjson::Document document;
    const bool read = OrvSerializer.ReadFileToDocument(SettingsFile(name), document);
    if (!read) {
        PrintAndLog("[SceneStateMachine::ReadSceneSettings] Settings of scene '" + name +
                    "' could not be read; the defaults are taken");
        document.SetObject();
    }
    scene.Deserialize(document);
    scene.SetSceneName(name);
    return read;
}

bool SceneStateMachine::WriteSceneSettings(IScene& scene)
{
    const std::string text = Serializer::ObjectText([&scene](JsonWriter& writer) { scene.Serialize(writer); });
    const std::string n = scene.GetSceneName();
    const bool written = OrvSerializer.WriteStringToFile(text, SettingsFile(n));
    // Logged, not asserted: a save of many files must not end the program after some of them.
    if (!written) PrintAndLog("[SceneStateMachine::WriteSceneSettings] Failed to write to file " + n + ".json");
    return written;
}

bool SceneStateMachine::SaveScene(const std::string& name)
{
    auto found = scenes.find(name);
    if (found == scenes.end()) return false;
    return WriteSceneSettings(*found->second);
}

bool SceneStateMachine::SaveAllScenes()
{
    bool all_written = true;
    const std::string text = Serializer::ObjectText([&](JsonWriter& writer) {
        for (const auto& [key, scene] : scenes) {
            const std::string n = scene->GetSceneName();
            if (!IsSafePathComponent(n)) continue;
            if (!MakeDataFolder(std::string(kDataFolder) + n + "/", "SceneStateMachine::SaveAllScenes", false)) {
                all_written = false;
                continue;
            }
            Serializer::WriteUint(writer, key.c_str(), scene->GetSceneType());
            all_written = WriteSceneSettings(*scene) && all_written;
        }
    });
    const bool written = OrvSerializer.WriteStringToFile(text, "Scenes.json");
    if (!written) PrintAndLog("[SceneStateMachine::SaveAllScenes] Failed to write to file Scenes.json");
    return written && all_written;
}

} // namespace OrvEngine
