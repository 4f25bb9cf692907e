#include "Editor/EditorWindows/LEMenuBar.h"

#include "Audio/AudioSystem.h"
#include "CoreEngine/Globals.h"
#include "Editor/EditorFiles.h"
#include "Editor/EditorLayout.h"
#include "Editor/EditorManager.h"
#include "Factory/EntityFactory.h"
#include "Logging/Logging.h"
#include "Platform/Platform.h"
#include "Scene/IScene.h"
#include "Scene/SceneStateMachine.h"

#include <imgui.h>

namespace OrvEngine {

namespace {
constexpr int kRemovalRounds = 8;

void PauseSound(bool paused)
{
    AudioSystem* audio = AudioSystem::GetInstance();
    audio->SetGroupPaused(audio->sfx_group, paused);
    audio->SetGroupPaused(audio->bgm_group, paused);
}

// What a play leaves behind in the process-wide state once it is stopped.
void EndPlayState()
{
    // A dialogue or purification cut short would hold the next play.
    ResetLevelState();
    // The game's own Escape pause ends with the play it paused.
    if (OrvStateMachine) OrvStateMachine->paused = false;
    EditorManager* editor = EditorManager::GetInstance();
    editor->SetSelection(nullptr);
    EntityFactory::GetInstance()->GetEntities().clear();
    editor->autosaved_scenes.clear();
}

// The played scene comes back from its snapshot when next entered. Its flag may have been used
// up by a re-entry during play (a retry, say), so it is set again.
void FlagPlayedScene(const std::string& unless_named)
{
    EditorManager* editor = EditorManager::GetInstance();
    const std::string& played = editor->played_scene;
    if (played.empty() || played == unless_named || !editor->autosaved_scenes.count(played)) return;
    editor->SetSceneFlag(played, true);
}
} // namespace

bool LEMenuBar::IsPlaying() { return GameIsRunning || EditorPaused; }

void LEMenuBar::RemoveLiveEntities(IScene& scene)
{
    for (int round = 0; round < kRemovalRounds; ++round) {
        const EntityMap live = scene.GetEntities();
        if (live.empty()) return;
        for (const auto& [id, entity] : live) scene.RemoveEntity(id);
    }
}

bool LEMenuBar::WriteSnapshots()
{
    EditorManager* editor = EditorManager::GetInstance();
    editor->autosaved_scenes.clear();
    if (!OrvStateMachine || !EditorFiles::EnsureSceneFolder(editor->edited_scene->GetSceneName())) return false;
    std::set<std::string> written;
    for (const auto& [key, scene] : OrvStateMachine->scenes) {
        const std::string name = scene->GetSceneName();
        // A reserved name ("Prefab") would write into a folder that is not a scene's.
        if (!EditorFiles::IsUsableSceneName(name)) continue;
        // A scene that is not being played has no live entities: its loaded ones stand for it.
        EntityMap entities = scene->GetEntities();
        if (entities.empty() && scene->GetLoadedEntities()) entities = *scene->GetLoadedEntities();
        if (!EditorFiles::EnsureSceneFolder(name) || !EditorFiles::WriteEntityFile(name + "/AutoSave", entities)) {
            return false;
        }
        written.insert(name);
    }
    editor->autosaved_scenes = written;
    return true;
}

bool LEMenuBar::Play()
{
    // A snapshot taken now would hold the played state, not the edited one.
    if (GameIsRunning) return true;
    PauseSound(false);
    EditorManager* editor = EditorManager::GetInstance();
    if (!editor->edited_scene) {
        editor->AskUser("Please select a scene to play", "Warning", Platform::MB_OK_FLAG | Platform::MB_ICONWARNING_FLAG);
        return false;
    }
    PrintAndLog("Play button pressed");
    const std::string name = editor->edited_scene->GetSceneName();
    if (!EditorPaused && !WriteSnapshots()) {
        PrintAndLog("[LEMenuBar::Play] The scenes could not be saved before play; the game does not start");
        return false;
    }
    EditorVisible = false;
    GameIsRunning = true;
    editor->played_scene = name;
    if (!EditorPaused) EnterPlayedScene();
    // A resumed play keeps the snapshots of its fresh start; a scene added since has none.
    if (editor->autosaved_scenes.count(name)) editor->SetSceneFlag(name, true);
    EditorPaused = false;
    return true;
}

void LEMenuBar::EnterPlayedScene()
{
    EditorManager* editor = EditorManager::GetInstance();
    std::shared_ptr<IScene> scene = editor->edited_scene;
    if (!OrvStateMachine || OrvStateMachine->current_scene != scene) {
        if (OrvStateMachine) OrvStateMachine->next_state = editor->played_scene;
        return;
    }
    // In place, as Stop from pause enters it again: the entities go, and come back from the
    // snapshot just written with the game running.
    editor->SetSelection(nullptr);
    scene->Free();
    editor->SetSceneFlag(editor->played_scene, true);
    scene->Init();
}

void LEMenuBar::Pause()
{
    if (!GameIsRunning) return;
    EditorPaused = true;
    GameIsRunning = false;
    PauseSound(true);
}

void LEMenuBar::StopFromRunning()
{
    PauseSound(true);
    PrintAndLog("Stop button pressed when GP true");
    EditorPaused = false;
    GameIsRunning = false;
    EditorManager* editor = EditorManager::GetInstance();
    if (editor->edited_scene) {
        RemoveLiveEntities(*editor->edited_scene);
        FlagPlayedScene("");
        if (OrvStateMachine && OrvStateMachine->GetScene(editor->played_scene)) {
            OrvStateMachine->next_state = editor->played_scene;
        }
    }
    EndPlayState();
}

void LEMenuBar::StopFromPause()
{
    PauseSound(true);
    PrintAndLog("Stop button pressed when GP false");
    EditorPaused = false;
    GameIsRunning = false;
    EditorManager* editor = EditorManager::GetInstance();
    std::shared_ptr<IScene> current = CurrentScene();
    std::string current_name;
    if (current) {
        // Only the current scene has live entities. It is entered again in place: from its own
        // snapshot when Play wrote one, else as freshly opened; entering uses the flag up.
        current_name = current->GetSceneName();
        current->Free();
        editor->SetSceneFlag(current_name, editor->autosaved_scenes.count(current_name) != 0);
        current->Init();
    }
    FlagPlayedScene(current_name);
    EndPlayState();
}

void LEMenuBar::Stop()
{
    if (GameIsRunning) StopFromRunning();
    else if (EditorPaused) StopFromPause();
}

void LEMenuBar::Draw()
{
    EditorLayout::PlaceNextWindow(EditorPane::MenuBar);
    ImGui::Begin("##menubar");
    if (!GameIsRunning) {
        const bool paused = EditorPaused;
        if (ImGui::Button("Play")) {
            Play();
        } else if (paused) {
            ImGui::SameLine();
            if (ImGui::Button("Stop")) StopFromPause();
        }
    } else {
        if (ImGui::Button("Pause")) Pause();
        ImGui::SameLine();
        if (ImGui::Button("Stop")) StopFromRunning();
    }
    ImGui::Checkbox("show debug drawing", &ShowDebugDrawing);
    ImGui::End();
}

} // namespace OrvEngine
