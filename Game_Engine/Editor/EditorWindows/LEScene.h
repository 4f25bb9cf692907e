// The scenes window: lists the scenes and switches the edited one (asking to save unsaved
// changes first), adds game and splash scenes under generated names, deletes the edited scene
// with its files, and opens the data folder. It keeps the editor's edited scene in step with the
// current scene. The actions are plain functions; the window only draws and calls them.
#pragma once

#include "Editor/EditorWindows/IEditorWindows.h"

#include <cstdint>
#include <memory>
#include <string>

namespace OrvEngine {

class IScene;

class LEScene : public IEditorWindows {
public:
    void Draw() override;

    // The state machine's current scene, when there is one, becomes the edited scene.
    static void FollowCurrentScene();
    // A new scene under the next generated name that is free in the scene list and on disk: its own
    // files and the index are written, no other scene's. The name, or empty when it could not be
    // saved (the scene is not kept then).
    std::string AddGameScene();
    std::string AddSplashScene();
    // Asks (naming the scenes that lead to it), then deletes the edited scene: the index first,
    // then its entities and files. True when it was deleted. Adding and deleting scenes are
    // refused while a play runs or is paused.
    bool DeleteCurrentScene();
    // A click on a scene in the list: stops a play, or offers to save unsaved changes; then closes
    // the scene when it is the edited one, or asks for it (the change happens at the frame end).
    void SelectScene(const std::string& name);
    void OpenScenesFolder();
    // "GameScene_0" + n below 10, else "GameScene_" + n (likewise for any prefix stem).
    static std::string GeneratedName(const std::string& stem, uint64_t number);

    // The numbers of the last generated names; not stored, so a restart begins at 1 again and
    // the names already taken are skipped.
    uint64_t gameSceneCounter = 0;
    uint64_t splashSceneCounter = 0;

private:
    std::string AddScene(const std::shared_ptr<IScene>& scene, const std::string& stem, uint64_t& counter);
    void CloseEditedScene();
    void DrawButtons();
    void DrawSceneList();
};

} // namespace OrvEngine
