// The calls the scenes make into systems above them. A scene knows no system: the program fills
// these hooks (LayerLinks.h), and an empty one does nothing.
#pragma once

#include "Scene/IScene.h"

#include <functional>

namespace OrvEngine {

struct SceneHooks {
    // Pausing, and leaving a game scene, drop the menu buttons' selection (the button system).
    std::function<void()> clear_button_selection;
    // Once a frame before the current scene updates: the scene's music (the audio system).
    std::function<void(IScene& scene)> start_music;
    // On entering a scene: unless a camera of a live entity is active, the first camera among the
    // scene's live entities becomes the active one (the camera component).
    std::function<void(const EntityMap& entities)> claim_camera;
};

SceneHooks& GetSceneHooks();

} // namespace OrvEngine
