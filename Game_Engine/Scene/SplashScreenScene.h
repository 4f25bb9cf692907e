// The scene of type 1: shown for show_time seconds while the game runs, then hands over to
// next_state, or to the main menu (said once) when next_state names no scene.
#pragma once

#include "Scene/SceneBase.h"

namespace OrvEngine {

class SplashScreenScene : public SceneBase {
public:
    SplashScreenScene() : SceneBase(SCENE_SPLASH, "Game_Engine/Scene/SplashScreenScene") {}
    bool Serialize(JsonWriter& writer) override;
    void Deserialize(const rapidjson::Value& value) override;
    void Init() override;
    void Free() override;
    void Update() override;

    static constexpr const char* kMainMenuScene = "MainMenuScene";

    static constexpr float kDefaultShowTime = 3.0f;

    float show_time = kDefaultShowTime;
    float timer = 0.0f;
    std::string next_state;

private:
    // next_state when it names a scene (or the quit request), else the main menu.
    std::string SceneAfter();

    // A next_state that names no scene was reported since this entry.
    bool missing_reported_ = false;
};

} // namespace OrvEngine
