// The menu bar window: Play, Pause and Stop of the edited scene, and the "show debug drawing"
// checkbox. A fresh Play snapshots every scene into its "AutoSave.json"; Stop brings the scenes
// back from those snapshots. The actions are plain functions so that other windows (and tests)
// can use them; the window only draws the buttons that fit the state.
#pragma once

#include "Editor/EditorWindows/IEditorWindows.h"

namespace OrvEngine {

class IScene;

class LEMenuBar : public IEditorWindows {
public:
    void Draw() override;

    // Starts play of the edited scene, or resumes a paused play (nothing saved then). A fresh play
    // enters the scene again from the snapshot it wrote, as the game enters a scene: the scripts,
    // bars and followers a scene being edited does not run start then. Without an edited scene,
    // or when a snapshot cannot be written, it warns and the game does not start. True when the
    // game runs afterwards.
    static bool Play();
    static void Pause();
    // Throws the played entities away and asks for the played scene, which then enters from the
    // snapshot Play wrote.
    static void StopFromRunning();
    // Brings the current scene back from its own snapshot in place (or as freshly entered when
    // Play wrote none for it).
    static void StopFromPause();
    // Whichever Stop applies; nothing while editing.
    static void Stop();
    // Running, or paused by the editor.
    static bool IsPlaying();
    // Removes every live entity of the scene through the scene, so each script hears OnDestroy;
    // entities spawned meanwhile go too (in bounded rounds).
    static void RemoveLiveEntities(IScene& scene);

private:
    static bool WriteSnapshots();
    static void EnterPlayedScene();
};

} // namespace OrvEngine
