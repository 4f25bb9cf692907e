#include "Scripts/Level/LevelManagerScript.h"

#include "Components/Transform.h"
#include "Factory/Entity.h"
#include "Scene/IScene.h"
#include "Scene/SceneStateMachine.h"
#include "Scripts/ScriptSystem.h"

using namespace OrvEngine;

namespace {
constexpr float kScreenEdgeMargin = 0.33f;

// A missing entity or Transform leaves the slot empty, to be tried again next frame.
std::shared_ptr<Transform> FindTransform(const std::string& name)
{
    auto scene = CurrentScene();
    Entity* entity = scene ? scene->FindEntityByName(name) : nullptr;
    return entity ? entity->GetComponent<Transform>(TRANSFORM) : nullptr;
}
} // namespace

void LevelManagerScript::Update(Entity* entity)
{
    (void)entity;
    if (!player_transform) player_transform = FindTransform("Player");
    if (!camera_transform) camera_transform = FindTransform("Cam");
}

bool LevelManagerScript::IsOnScreen(float x) const
{
    if (!player_transform || !camera_transform) return false;
    const float half = 0.5f * camera_transform->scale.x;
    const float px = player_transform->position.x;
    return px - half + kScreenEdgeMargin <= x && x <= px + half - kScreenEdgeMargin;
}

LevelManagerScript* FindLevelManager()
{
    auto scene = CurrentScene();
    Entity* entity = scene ? scene->FindEntityByName("LevelManager") : nullptr;
    if (!entity) return nullptr;
    auto script = ScriptSystem::GetInstance()->GetScript(entity->id);
    return dynamic_cast<LevelManagerScript*>(script.get());
}
