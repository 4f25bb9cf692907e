#include "Scene/GameScene.h"

#include "CoreEngine/Serializer.h"
#include "Factory/EntityFactory.h"
#include "Scene/SceneHooks.h"
#include "Scene/SceneStateMachine.h"
#include "CoreEngine/Globals.h"

namespace OrvEngine {

bool GameScene::Serialize(JsonWriter& writer)
{
    Serializer::WriteString(writer, "scene_name", name_);
    return true;
}

void GameScene::Deserialize(const rapidjson::Value& value) { name_ = Serializer::ReadString(value, "scene_name", name_); }

void GameScene::Init()
{
    if (OrvStateMachine) OrvStateMachine->paused = false;
    EnterEntities(true);
}

void GameScene::Free()
{
    EntityFactory* factory = EntityFactory::GetInstance();
    factory->GetEntities().clear();
    factory->GetEntitiesByName().clear();
    if (GetSceneHooks().clear_button_selection) GetSceneHooks().clear_button_selection();
    DestroyLiveEntities();
}

} // namespace OrvEngine
