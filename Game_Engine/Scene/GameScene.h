// The scene of type 2: menus, levels, win and lose screens.
#pragma once

#include "Scene/SceneBase.h"

namespace OrvEngine {

class GameScene : public SceneBase {
public:
    GameScene() : SceneBase(SCENE_GAME, "Game_Engine/Scene/GameScene") {}
    bool Serialize(JsonWriter& writer) override;
    void Deserialize(const rapidjson::Value& value) override;
    void Init() override;
    void Free() override;
};

} // namespace OrvEngine
