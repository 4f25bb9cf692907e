// What the main loop needs of the scenes without knowing them: whether play is paused, what Escape
// does while the game runs, and the once-a-frame step. The scene state machine is this driver and
// registers itself while it exists; without one nothing is paused and no scene steps.
#pragma once

namespace OrvEngine {

class SceneDriver {
public:
    // The scene state machine of this run, or null.
    static SceneDriver* Current();

    virtual bool IsPaused() const = 0;
    // Escape while the game runs: resumes a paused scene, or pauses a game scene that allows it.
    virtual void TogglePause() = 0;
    // Carries out a pending scene change, or else updates the current scene.
    virtual void Update() = 0;

protected:
    SceneDriver();
    virtual ~SceneDriver();
};

} // namespace OrvEngine
