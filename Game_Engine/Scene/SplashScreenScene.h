// The scene of type 1: shown for show_time seconds while the game runs, then hands over to next_state.
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

    float show_time = 3.0f;
    float timer = 0.0f;
    std::string next_state;
};

} // namespace OrvEngine
