#include "Scripts/Level/LevelManagerScript.h"

#include "Components/Transform.h"
#include "Factory/Entity.h"
#include "Factory/EntityNames.h"
#include "Scene/IScene.h"
#include "Scene/SceneStateMachine.h"
#include "Scripts/ScriptHelpers.h"

using namespace OrvEngine;

namespace {
constexpr float kScreenEdgeMargin = 0.33f;

// A missing entity or Transform leaves the slot empty, to be tried again next frame.
std::shared_ptr<Transform> FindTransform(const std::string& name)
{
    auto scene = CurrentScene();
    Entity* entity = scene ? scene->FindEntityByName(name) : nullptr;
    return ComponentOf<Transform>(entity, TRANSFORM);
}
} // namespace

void LevelManagerScript::Update(Entity* entity)
{
    (void)entity;
    if (!player_transform) player_transform = FindTransform(EntityNames::kPlayer);
    if (!camera_transform) camera_transform = FindTransform(EntityNames::kCamera);
}

bool LevelManagerScript::IsOnScreen(float x) const
{
    if (!player_transform || !camera_transform) return false;
    const float half = 0.5f * camera_transform->scale.x;
    const float px = player_transform->position.x;
    return px - half + kScreenEdgeMargin <= x && x <= px + half - kScreenEdgeMargin;
}
