#include "Scripts/Level/LevelManagerScript.h"

#include "Components/Transform.h"
#include "Factory/Entity.h"
#include "Factory/EntityNames.h"
#include "Scripts/Level/SceneQueries.h"
#include "Scripts/ScriptHelpers.h"

using namespace OrvEngine;

namespace {
constexpr float kScreenEdgeMargin = 0.33f;
} // namespace

void LevelManagerScript::Update(Entity* entity)
{
    (void)entity;
    // A missing entity or Transform leaves the slot empty, to be tried again next frame.
    if (!player_transform) player_transform = ComponentOf<Transform>(FindEntityByName(EntityNames::kPlayer), TRANSFORM);
    if (!camera_transform) camera_transform = ComponentOf<Transform>(FindEntityByName(EntityNames::kCamera), TRANSFORM);
}

bool LevelManagerScript::IsOnScreen(float x) const
{
    if (!player_transform || !camera_transform) return false;
    const float half = 0.5f * camera_transform->scale.x;
    const float px = player_transform->position.x;
    return px - half + kScreenEdgeMargin <= x && x <= px + half - kScreenEdgeMargin;
}
