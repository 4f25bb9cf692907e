#include "Scene/SplashScreenScene.h"

#include "CoreEngine/CoreEngine.h"
#include "CoreEngine/Globals.h"
#include "CoreEngine/Serializer.h"
#include "Logging/Logging.h"
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
    // A missing setting takes its default, also when the settings are read again over edited ones.
    show_time = Serializer::ReadFloat(value, "show_time", kDefaultShowTime);
    name_ = Serializer::ReadString(value, "scene_name", name_);
    next_state = Serializer::ReadString(value, "next_state", "");
}

void SplashScreenScene::Init()
{
    EnterEntities(false);
    timer = 0.0f;
    missing_reported_ = false;
}

void SplashScreenScene::Free() { DestroyLiveEntities(); }

void SplashScreenScene::Update()
{
    if (!GameIsRunning) {
        timer = 0.0f;
        return;
    }
    if (OrvCoreEngine) timer += OrvCoreEngine->dt;
    if (timer >= show_time && OrvStateMachine) OrvStateMachine->next_state = SceneAfter();
}

std::string SplashScreenScene::SceneAfter()
{
    if (next_state == "Exit game" || OrvStateMachine->GetScene(next_state)) return next_state;
    // A splash that leads nowhere (its scene deleted, or never chosen) would show for ever.
    if (!missing_reported_) {
        PrintAndLog("[SplashScreenScene] " + name_ + " leads to '" + next_state +
                    "', which is no scene: going on to " + kMainMenuScene);
    }
    missing_reported_ = true;
    return kMainMenuScene;
}

} // namespace OrvEngine
