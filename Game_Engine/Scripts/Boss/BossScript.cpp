#include "Scripts/Boss/BossScript.h"

#include "Components/Child.h"
#include "Components/Parent.h"
#include "Components/Sprite.h"
#include "Components/Stats.h"
#include "Components/Transform.h"
#include "CoreEngine/CoreEngine.h"
#include "CoreEngine/Globals.h"
#include "Factory/Entity.h"
#include "Factory/EntityFactory.h"
#include "Factory/Information.h"
#include "Logging/Logging.h"
#include "Logic/AIMovement.h"
#include "Logic/BossBehaviour.h"
#include "Logic/EnemyMovement.h"
#include "Logic/GameplayRules.h"
#include "Logic/SpellKind.h"
#include "Logic/Spells.h"
#include "Platform/Platform.h"
#include "Scene/IScene.h"
#include "Scene/SceneStateMachine.h"
#include "Scripts/Level/LevelManagerScript.h"
#include "Scripts/Level/SceneQueries.h"
#include "Scripts/ScriptHelpers.h"

#include <algorithm>
#include <initializer_list>

using namespace OrvEngine;

namespace {
constexpr float kIconSideOffset = 0.35f;  // icons sit on the side the boss faces away from
constexpr float kIconInFront = 1.0f;
// How far below the boss the attack, defence and speed icons hang.
constexpr float kIconDrops[] = {0.1f, 0.45f, 0.8f};
const char* const kNextScene = "GameScene_24";
} // namespace

// ---- Set-up -------------------------------------------------------------------------------------

void BossScript::Init(Entity* entity) { CacheComponents(entity, kTeleportDistance); }

// Takes the components still missing; the teleport points (the far one teleport_distance to the
// left) and base values come with the Transform and Stats when they are first found.
void BossScript::CacheComponents(Entity* entity, float teleport_distance)
{
    if (!entity) return;
    if (!boss_behaviour) boss_behaviour = entity->GetComponent<BossBehaviour>(BOSSBEHAVIOUR);
    if (!sprite) sprite = entity->GetComponent<Sprite>(SPRITE);
    if (!transform) {
        transform = entity->GetComponent<Transform>(TRANSFORM);
        if (transform) SetTeleportPoints(teleport_distance);
    }
    if (!stats) {
        stats = entity->GetComponent<Stats>(STATS);
        if (stats) debuffs.TakeBaseValues(*stats);
    }
    if (!parent) parent = entity->GetComponent<Parent>(PARENT);
    if (boss_behaviour && !cooldowns_checked) CheckCooldowns();
}

void BossScript::SetTeleportPoints(float teleport_distance)
{
    home_point = transform->GetPosition2D();
    far_point = Vec2(home_point.x - teleport_distance, home_point.y);
    current_point = home_point;
}

void BossScript::CheckCooldowns()
{
    cooldowns_checked = true;
    std::string low;
    if (boss_behaviour->cooldown_spawning_enemy < kMinCooldown) low += " cooldown_spawning_enemy";
    if (boss_behaviour->cooldown_spawning_terrain < kMinCooldown) low += " cooldown_spawning_terrain";
    if (!low.empty()) LogLine("[BossScript::CheckCooldowns] Raised to 0.1 s, the least an attack may wait:" + low);
}

float BossScript::Cooldown(float value) const { return std::max(value, kMinCooldown); }

// ---- The frame ----------------------------------------------------------------------------------

void BossScript::Update(Entity* entity)
{
    if (!entity) return;
    if (transform) transform->position.z = kDepthBase - transform->position.y;
    FindCompanion();
    level_manager.Find();
    CacheComponents(entity, kLateTeleportDistance);
    if (!icons_made) {
        icons_made = true;
        debuffs.MakeIcons(parent);
    }
    PlaceDebuffIcons(entity);
    debuffs.Expire(stats.get());
    UpdateScreenCount();
    UpdateLowHpMarker();
    if (!boss_behaviour) return;
    if (boss_behaviour->state == BOSS_DOWN) {
        // The marker made above this frame must not show on a boss that is down.
        debuffs.DropLowHpMarker();
        if (!enemies_downed) DownOrdinaryEnemies();
    }
    boss_behaviour->Update();
    if (boss_behaviour->state != shown_state) boss_behaviour->UpdateTexture();
    UpdateState();
    boss_behaviour->UpdateTexture();
    shown_state = boss_behaviour->state;
}

void BossScript::FindCompanion()
{
    if (!FindLiveEntity(companion)) companion = Gameplay::IdOf(FirstEntityOfType(TAG_AI));
}

void BossScript::PlaceDebuffIcons(Entity* entity)
{
    auto info = entity->GetComponent<Information>(INFORMATION);
    // Only a boss named with a 'B' lays its icons out; others leave them where the prefab put them.
    if (!info || info->name.empty() || info->name[0] != 'B' || !transform) return;
    const Vec3 at = transform->position;
    const float x = transform->scale.x >= 0.0f ? at.x - kIconSideOffset : at.x + kIconSideOffset;
    const uint64_t icons[] = {debuffs.attack.icon, debuffs.defence.icon, debuffs.speed.icon};
    for (int k = 0; k < 3; ++k) {
        if (auto icon_transform = ComponentOf<Transform>(icons[k], TRANSFORM)) {
            icon_transform->position = Vec3(x, at.y - kIconDrops[k], at.z + kIconInFront);
        }
    }
}

void BossScript::UpdateScreenCount()
{
    LevelManagerScript* level = level_manager.Get();
    const bool down_to_zero = stats && stats->hp <= 0;
    if (!counted_on_screen) {
        if (down_to_zero && level && transform && level->IsOnScreen(transform->position.x)) {
            ++level->purifiable_on_screen;
            counted_on_screen = true;
        }
        return;
    }
    const bool off_screen = level && (!transform || !level->IsOnScreen(transform->position.x));
    if (!down_to_zero || off_screen) {
        if (level) --level->purifiable_on_screen;
        counted_on_screen = false;
    }
}

void BossScript::UpdateLowHpMarker()
{
    if (!stats || stats->hp > 0) {
        debuffs.DropLowHpMarker();
        return;
    }
    if (debuffs.LiftLowHpMarker() || !parent || marker_prefab_missing) return;
    Entity* marker = InstantiatePrefab("UI_Enemy_Low_HP");
    if (!marker) {
        marker_prefab_missing = true;
        return;
    }
    debuffs.low_hp_marker = marker->id;
    auto child = marker->GetComponent<Child>(CHILD);
    auto marker_transform = marker->GetComponent<Transform>(TRANSFORM);
    if (!child || !marker->GetComponent<Information>(INFORMATION) || !transform) return;
    if (marker_transform) {
        marker_transform->position = transform->position;
        marker_transform->position.z = transform->position.z + kIconInFront;
    }
    child->SetParent(parent);
}

void BossScript::DownOrdinaryEnemies()
{
    enemies_downed = true;
    auto scene = CurrentScene();
    if (!scene) return;
    // A copy is walked, so enemies reacting to the change cannot disturb the walk.
    for (Entity* other : scene->EntitiesOfTypes({TAG_ENEMY})) {
        if (auto enemy = other->GetComponent<EnemyMovement>(ENEMYMOVEMENT)) enemy->state = ENEMY_DOWN;
    }
}

// ---- Spells and removal -------------------------------------------------------------------------

void BossScript::OnCollision(Entity* self, Entity* other)
{
    if (!self || Gameplay::TagOf(other) != TAG_RANGE_ATTACK) return;
    auto spell = other->GetComponent<Spells>(SPELLS);
    int32_t kind = SPELL_NONE;
    if (boss_behaviour && stats && spell && Gameplay::TagOf(self) == TAG_BOSS && boss_behaviour->state != BOSS_DOWN) {
        kind = spell->kind;
    }
    debuffs.Hit(kind, stats.get(), false);
    // The projectile is spent on its first touch, also when the boss is down.
    other->SetActive(false);
    if (spell) spell->RegisterWithPlayer();
}

void BossScript::OnDestroy(Entity*)
{
    // The boss never raised the enemy count, so only its place among the targets is given back.
    LevelManagerScript* level = level_manager.Get();
    if (level && counted_on_screen) --level->purifiable_on_screen;
    counted_on_screen = false;
}

// ---- The state machine --------------------------------------------------------------------------

bool BossScript::AnimationPlayedOut() const { return sprite && sprite->current_frame >= sprite->number_of_frames; }

void BossScript::UpdateState()
{
    if (!boss_behaviour) return;
    BossBehaviour& boss = *boss_behaviour;
    switch (boss.state) {
    case BOSS_IDLE:
        if (boss.timer <= 0.0f && InPlayersView()) boss.state = BOSS_TELEPORTING_OUT;
        break;
    case BOSS_TELEPORTING_OUT:
        if (AnimationPlayedOut()) Teleport();
        break;
    case BOSS_TELEPORTING_IN:
        if (AnimationPlayedOut()) boss.state = ChooseAttack();
        break;
    case BOSS_SPAWNING_ENEMIES:
        if (boss.timer <= 0.0f) {
            boss.timer = Cooldown(boss.cooldown_spawning_enemy);
            SpawnEnemyWave(Platform::Random15() % kEnemyWaves);
        }
        if (AnimationPlayedOut()) boss.state = BOSS_IDLE;
        // The companion picks its next target among the new enemies.
        if (auto ai = ComponentOf<AIMovement>(companion, AIMOVEMENT)) ai->FindTarget();
        break;
    case BOSS_SPAWNING_TERRAIN:
        if (boss.timer <= 0.0f) {
            boss.timer = Cooldown(boss.cooldown_spawning_terrain);
            SpawnBoulderPattern(Platform::Random15() % kBoulderPatterns);
        }
        if (AnimationPlayedOut()) boss.state = BOSS_IDLE;
        break;
    case BOSS_DOWN:
        UpdateDown();
        break;
    case BOSS_HURT:
        if (AnimationPlayedOut()) boss.state = BOSS_IDLE;
        break;
    default:
        break;
    }
}

// An attack begun unseen would wall its enemies into the arena before Ilo gets in: the barrier
// stays shut while they live. Without a level manager to ask, the boss does not wait.
bool BossScript::InPlayersView() const
{
    LevelManagerScript* level = level_manager.Get();
    return !level || !transform || level->IsOnScreen(transform->position.x);
}

void BossScript::Teleport()
{
    boss_behaviour->state = BOSS_TELEPORTING_IN;
    Vec2 destination;
    bool moves = true;
    if (current_point == home_point) destination = far_point;
    else if (current_point == far_point) destination = home_point;
    else moves = false;
    if (moves && transform) {
        transform->position.x = destination.x;
        transform->position.y = destination.y;
        transform->scale.x = -transform->scale.x;
        const Vec2 shift = destination - current_point;
        for (uint64_t id : {debuffs.attack.icon, debuffs.defence.icon, debuffs.speed.icon}) {
            if (auto icon_transform = ComponentOf<Transform>(id, TRANSFORM)) {
                icon_transform->position.x += shift.x;
                icon_transform->position.y += shift.y;
            }
        }
        current_point = destination;
    }
    debuffs.DropLowHpMarker();
}

// An enemy wave with chance E / (E + T) while the enemies are below the cap, else boulders. A
// negative ratio in the data counts as 0, so the draw never divides by zero or a negative.
int32_t BossScript::ChooseAttack() const
{
    const int32_t enemy_ratio = std::max(0, boss_behaviour->ratio_to_spawn_enemy);
    const int32_t terrain_ratio = std::max(0, boss_behaviour->ratio_to_spawn_terrain);
    LevelManagerScript* level = level_manager.Get();
    const bool below_cap = !level || level->enemy_count < boss_behaviour->max_num_of_enemy;
    if (!below_cap || enemy_ratio == 0) return BOSS_SPAWNING_TERRAIN;
    if (terrain_ratio == 0) return BOSS_SPAWNING_ENEMIES;
    const int draw = Platform::Random15();
    return draw % (enemy_ratio + terrain_ratio) < enemy_ratio ? BOSS_SPAWNING_ENEMIES : BOSS_SPAWNING_TERRAIN;
}

void BossScript::UpdateDown()
{
    if (!death_ui_spawned && AnimationPlayedOut()) {
        death_ui_spawned = true;
        Entity* death = InstantiatePrefab("Boss_Death_UI");
        death_ui = death ? death->id : 0;
        auto death_transform = ComponentOf<Transform>(death, TRANSFORM);
        if (death_transform && transform) {
            death_transform->position.x = transform->position.x;
            death_transform->position.y = transform->position.y;
        }
    }
    if (!death_ui_spawned) return;
    // Without a death animation to wait for (a content error) the chapter still ends.
    auto death_sprite = ComponentOf<Sprite>(death_ui, SPRITE);
    const bool played_out = !death_sprite || death_sprite->current_frame >= death_sprite->number_of_frames;
    if (played_out && OrvStateMachine) OrvStateMachine->ChangeState(kNextScene);
}
