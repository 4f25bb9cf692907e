#include "Scene/SplashScreenScene.h"

#include "CoreEngine/CoreEngine.h"
#include "CoreEngine/Globals.h"
#include "Scene/SceneStateMachine.h"

namespace OrvEngine {

bool SplashScreenScene::Serialize(JsonWriter& writer)
{
    Serializer::WriteFloat(writer, "show_time", show_time);
    Serializer::WriteString(writer, "scene_name", name_);
    Serializer::WriteString(writer, "next_state", next_state);
    return true;
}

void SplashScreenScene::Deserialize(const rapidjson::Value& value)
{
    show_time = Serializer::ReadFloat(value, "show_time", show_time);
    name_ = Serializer::ReadString(value, "scene_name", name_);
    next_state = Serializer::ReadString(value, "next_state", next_state);
}

void SplashScreenScene::Init()
{
    EnterEntities(false);
    timer = 0.0f;
}

void SplashScreenScene::Free() { DestroyLiveEntities(); }

void SplashScreenScene::Update()
{
    if (!GameIsRunning) {
        timer = 0.0f;
        return;
    }
    if (OrvCoreEngine) timer += OrvCoreEngine->dt;
    if (timer >= show_time && OrvStateMachine) OrvStateMachine->next_state = next_state;
}

} // namespace OrvEngine
