// The calls the scenes make into systems above them. A scene knows no system: a system fills its
// hook while it exists (set by its constructor, cleared by its destructor), and an empty hook does
// what that system would have done had it just been made: nothing.
#pragma once

#include <functional>

namespace OrvEngine {

class IScene;

struct SceneHooks {
    // Pausing, and leaving a game scene, drop the menu buttons' selection (the button system).
    std::function<void()> clear_button_selection;
    // Once a frame before the current scene updates: the scene's music (the audio system).
    std::function<void(IScene& scene)> start_music;
};

SceneHooks& GetSceneHooks();

} // namespace OrvEngine
