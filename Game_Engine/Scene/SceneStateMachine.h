// Owns every scene, knows the current one and carries out scene changes once per frame.
// Reached through OrvStateMachine; created once by the engine run.
#pragma once

#include "CoreEngine/SceneDriver.h"

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>

namespace OrvEngine {

class IScene;

// The state machine's current scene; empty before start-up or when no scene is current.
std::shared_ptr<IScene> CurrentScene();

class SceneStateMachine : public SceneDriver {
public:
    SceneStateMachine();
    ~SceneStateMachine() override;

    // The global instance, or null before start-up has made it; never creates.
    static SceneStateMachine* GetInstance();

    void Update() override;
    bool IsPaused() const override { return paused; }
    // Escape while the game runs: resumes a paused scene, or pauses a game scene other than the
    // main menu that has a pause menu (its entity "Pause_bg"), dropping the buttons' selection.
    void TogglePause() override;
    void AddScene(const std::string& name, std::shared_ptr<IScene> scene);
    void RemoveScene(const std::string& name);
    // Requests a change at the next Update; returns the named scene or null.
    std::shared_ptr<IScene> ChangeState(const std::string& name);
    std::shared_ptr<IScene> GetCurrentScene() const { return current_scene; }
    std::shared_ptr<IScene> GetScene(const std::string& name) const;
    // Both return whether every file was written; a failed file is logged and the rest still saved.
    bool SaveScene(const std::string& name);
    bool SaveAllScenes();
    // Reads the scene's own settings file again over whatever was changed since; the scene keeps
    // its name. False (logged, the defaults taken) when the file cannot be read.
    bool ReadSceneSettings(IScene& scene);
    void LoadScenes();
    void LoadScene(const std::string& name, uint32_t type);
    static std::shared_ptr<IScene> MakeGameScene();
    static std::shared_ptr<IScene> MakeSplashScreenScene();

    std::shared_ptr<IScene> current_scene;
    std::map<std::string, std::shared_ptr<IScene>> scenes;
    std::string next_state;
    std::string previous_scene;
    bool paused = false;

private:
    void ChangeScene();
    bool WriteSceneSettings(IScene& scene);
    // Unknown names already reported, so each is logged once.
    std::set<std::string> reported_unknown_;
};

} // namespace OrvEngine
