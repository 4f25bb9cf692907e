// The enemy scripts' per-frame update: registration with the level manager, removal once down or
// collected, the bar and icons beside the enemy, the on-screen purifiable count, depth, movement,
// facing, hurt sound and flash, debuff expiry and the low-health marker.
#include "Scripts/Enemies/EnemyScript.h"

#include "Components/Child.h"
#include "Components/Parent.h"
#include "Components/ParentChildSystem.h"
#include "Components/RigidBody2D.h"
#include "Components/Sprite.h"
#include "Components/Stats.h"
#include "Components/Transform.h"
#include "CoreEngine/Globals.h"
#include "Factory/Entity.h"
#include "Factory/EntityFactory.h"
#include "Factory/EntityNames.h"
#include "Factory/Information.h"
#include "Logic/AIMovement.h"
#include "Logic/EnemyMovement.h"
#include "Logic/GameplayRules.h"
#include "Scene/IScene.h"
#include "Scene/SceneStateMachine.h"
#include "Scripts/Level/LevelManagerScript.h"
#include "Scripts/ScriptHelpers.h"

#include <cmath>

using namespace OrvEngine;

namespace {

// Where the bar and the three icons sit from the enemy's position, by layout and facing.
struct UiOffsets {
    Vec3 bar, attack, defence, speed;
};
const UiOffsets kDefenceFacingRight{{0.0f, 0.1f, 1.0f}, {-0.35f, -0.1f, 1.0f}, {-0.35f, -0.45f, 1.0f}, {-0.35f, -0.8f, 1.0f}};
const UiOffsets kDefenceFacingLeft{{0.0f, 0.1f, 0.0f}, {0.35f, -0.1f, 1.0f}, {0.35f, -0.45f, 1.0f}, {0.35f, -0.8f, 1.0f}};
const UiOffsets kOtherFacingRight{{0.0f, -0.1f, 0.0f}, {-0.35f, -0.3f, 0.0f}, {-0.35f, -0.65f, 0.0f}, {-0.35f, -1.0f, 100.0f}};
const UiOffsets kOtherFacingLeft{{0.0f, -0.1f, 0.0f}, {0.35f, -0.3f, 0.0f}, {0.35f, -0.65f, 0.0f}, {0.35f, -1.0f, 100.0f}};
const Vec3 kHitEffectOffset{0.0f, -1.0f, 0.0f};
constexpr float kUiDepthLift = 1.0f;
// The low-health marker's drop below the enemy by layout letter, and its depth by facing.
constexpr float kMarkerDropD = -1.2f;
constexpr float kMarkerDropS = -1.0f;
constexpr float kMarkerDropA = -0.6f;
constexpr float kMarkerDepthFacingRight = 800.0f;
constexpr float kMarkerDepthFacingLeft = 300.0f;

void PlaceAt(uint64_t id, const Vec3& position)
{
    if (auto entity_transform = ComponentOf<Transform>(id, TRANSFORM)) entity_transform->position = position;
}

void SetShown(uint64_t id, bool shown)
{
    if (Entity* entity = FindLiveEntity(id)) entity->SetActive(shown);
}

void AttachTo(Entity* entity, const std::shared_ptr<Parent>& parent)
{
    auto child = ComponentOf<Child>(entity, CHILD);
    if (child && parent) child->SetParent(parent);
}

} // namespace

void EnemyScript::Update(Entity* entity)
{
    if (!entity) return;
    if (!level_manager.IsLinked() && level_manager.Find()) {
        if (LevelManagerScript* manager = level_manager.Get()) ++manager->enemy_count;
    }
    auto scene = CurrentScene();
    if (scene && IsFinished(entity)) {
        RemoveWithChildren(entity, *scene);
        return;
    }
    auto info = entity->GetComponent<Information>(INFORMATION);
    if (info && !info->IsActive()) return;
    if (!ui_made) MakeUi(entity);
    // Depth first, so the bar and icons take this frame's depth: at an exact tie they stay drawn
    // over the enemy, as the sprite order keeps ties as they were.
    UpdateDepth();
    PlaceUi();
    CountOnScreen();
    LiftUi();
    if (DialogueIsRunning) {
        // Held still during a dialogue: no movement, no debuff time.
        if (auto body = entity->GetComponent<RigidBody2D>(RIGIDBODY2D)) body->SetVelocity(Vec2());
        ApplyFacing();
        return;
    }
    if (enemy_movement) DriveMovement(entity);
    ExpireDebuffs();
    if (enemy_movement) {
        is_purifiable = enemy_movement->purifiable_now;
        last_enemy_state = enemy_movement->state;
    }
    UpdateLowHpMarker();
    FlashWhileHurt();
    if (!IsPurifying && enemy_movement && enemy_movement->state == ENEMY_PURIFIED) {
        enemy_movement->target = enemy_movement->player_target;
    }
    if (last_enemy_state == ENEMY_DOWN || last_enemy_state == ENEMY_PURIFIED) debuffs.DropLowHpMarker();
}

// Inactive (collected), or down with its down animation at or past its last frame.
bool EnemyScript::IsFinished(const Entity* entity) const
{
    if (!entity->active) return true;
    return sprite && enemy_movement && enemy_movement->state == ENEMY_DOWN &&
           sprite->current_frame >= sprite->number_of_frames;
}

void EnemyScript::RemoveWithChildren(Entity* entity, IScene& scene)
{
    // The companion may be chasing this enemy: every companion looks for a new target.
    for (Entity* other : scene.EntitiesOfTypes({TAG_AI})) {
        if (auto companion = other->GetComponent<AIMovement>(AIMOVEMENT)) companion->ResetTarget();
    }
    const Kind kind = GetKind();
    auto of = kind.removes_every_child ? entity->GetComponent<Parent>(PARENT) : parent;
    std::vector<uint64_t> doomed;
    for (const auto& child : ChildrenOf(of)) {
        Entity* owner = child->owner;
        if (!owner) continue;
        if (!kind.removes_every_child && owner->name == EntityNames::kVavuHelp) {
            ParentChildSystem::GetInstance()->DetachChild(of, child);
        } else {
            doomed.push_back(owner->id);
        }
    }
    for (uint64_t id : doomed) scene.RemoveEntity(id);
    debuffs.low_hp_marker = 0;
    scene.RemoveEntity(entity->id);
}

void EnemyScript::MakeUi(Entity* entity)
{
    ui_made = true;
    debuffs.MakeIcons(parent);
    Entity* bar = InstantiatePrefab("EnemyHP1_TestPrefab");
    hp_bar = Gameplay::IdOf(bar);
    if (auto bar_sprite = ComponentOf<Sprite>(bar, SPRITE)) {
        // The prefab is a plain picture: it becomes this enemy's bar once it names the enemy, so
        // it is never set up without a target.
        bar_sprite->SetEntName(entity->name);
        bar_sprite->SetIsSlider(true);
        bar_sprite->InitBar();
    }
    AttachTo(bar, parent);
    if (bar) bar->SetActive(true);
    if (!GetKind().has_hit_effect) return;
    Entity* effect = InstantiatePrefab("Debuff_VFX");
    debuff_vfx = Gameplay::IdOf(effect);
    if (!effect) return;
    if (transform) PlaceAt(debuff_vfx, transform->position);
    AttachTo(effect, parent);
    effect->SetActive(false);
}

void EnemyScript::PlaceUi()
{
    const char letter = LayoutLetter();
    // Any other first letter leaves the bar and icons where they were made (the data places them).
    if (!transform || (letter != 'D' && letter != 'A' && letter != 'S')) return;
    const bool facing_right = transform->scale.x >= 0.0f;
    const UiOffsets& offsets = letter == 'D' ? (facing_right ? kDefenceFacingRight : kDefenceFacingLeft)
                                             : (facing_right ? kOtherFacingRight : kOtherFacingLeft);
    const Vec3 at = transform->position;
    PlaceAt(hp_bar, at + offsets.bar);
    PlaceAt(debuffs.attack.icon, at + offsets.attack);
    PlaceAt(debuffs.defence.icon, at + offsets.defence);
    PlaceAt(debuffs.speed.icon, at + offsets.speed);
    if (GetKind().has_hit_effect) PlaceAt(debuff_vfx, at + kHitEffectOffset);
}

// is_purifiable still holds last frame's value here.
void EnemyScript::CountOnScreen()
{
    if (is_purifiable) {
        for (uint64_t id : {debuffs.attack.icon, debuffs.defence.icon, debuffs.speed.icon, hp_bar}) SetShown(id, false);
    }
    LevelManagerScript* manager = level_manager.Get();
    const bool on_screen = manager && transform && manager->IsOnScreen(transform->position.x);
    if (!counted_on_screen) {
        if (is_purifiable && on_screen) {
            ++manager->purifiable_on_screen;
            counted_on_screen = true;
        }
    } else if (!is_purifiable || !on_screen) {
        if (manager) --manager->purifiable_on_screen;
        counted_on_screen = false;
    }
}

// A purification target keeps the depth the purification gave it.
bool EnemyScript::DepthHeld() const
{
    return enemy_movement && enemy_movement->purification_target && enemy_movement->state != ENEMY_PURIFIED;
}

void EnemyScript::UpdateDepth()
{
    if (transform && !DepthHeld()) transform->position.z = kDepthBase - transform->position.y;
}

void EnemyScript::LiftUi()
{
    if (!transform || DepthHeld() || !GetKind().raises_ui) return;
    const float depth = kDepthBase - transform->position.y;
    for (uint64_t id : {debuffs.attack.icon, debuffs.defence.icon, debuffs.speed.icon, hp_bar, debuff_vfx}) {
        if (auto made_transform = ComponentOf<Transform>(id, TRANSFORM)) made_transform->position.z = depth + kUiDepthLift;
    }
}

void EnemyScript::DriveMovement(Entity* entity)
{
    EnemyMovement& movement = *enemy_movement;
    if (!GetKind().keeps_player_target) movement.ChooseTarget();
    movement.Update();
    if (stats && stats->hp < 1) movement.state = ENEMY_DOWN;
    TurnToMovement(entity);
    PlayHurtSound(entity);
    if (!movement.knocked_back && stats) stats->speed_attack = debuffs.Value(DEBUFF_SPEED);
    ApplyFacing();
}

// Faces where it walks; standing still, faces its target. Never while a push-back holds it.
void EnemyScript::TurnToMovement(Entity* entity)
{
    auto body = entity->GetComponent<RigidBody2D>(RIGIDBODY2D);
    if (!body || !enemy_movement->can_turn) return;
    const float vx = body->GetVelocity().x;
    if (vx < 0.0f) {
        facing = 0;
    } else if (vx > 0.0f) {
        facing = 1;
    } else {
        Entity* target = enemy_movement->GetTarget();
        auto target_transform = ComponentOf<Transform>(target, TRANSFORM);
        if (!target_transform || !stats || stats->hp <= 0 || !transform) return;
        const float own_x = transform->position.x;
        const float target_x = target_transform->position.x;
        if (own_x > target_x) facing = 0;
        else if (target_x > own_x) facing = 1;
    }
}

// Once per hurt period: re-armed only after a frame with the hurt flag clear.
void EnemyScript::PlayHurtSound(Entity*)
{
    if (!hurt_sound_played && enemy_movement->was_hit) {
        hurt_sound_played = true;
        Gameplay::PlayEvent(enemy_movement->owner, HurtSound());
    } else if (!enemy_movement->was_hit && hurt_sound_played) {
        hurt_sound_played = false;
    }
}

void EnemyScript::ApplyFacing()
{
    if (!transform) return;
    Vec3 scale = base_scale;
    scale.x = facing == 1 ? std::fabs(scale.x) : -std::fabs(scale.x);
    transform->SetScale(scale);
}

void EnemyScript::ExpireDebuffs()
{
    const uint32_t ended = debuffs.Expire(stats.get());
    if (!enemy_movement) return;
    for (int32_t kind : {DEBUFF_SPEED, DEBUFF_ATTACK, DEBUFF_DEFENCE}) {
        if (ended & (1u << kind)) enemy_movement->debuff_flags.reset(static_cast<size_t>(kind - DEBUFF_SPEED));
    }
    if (ended & (1u << DEBUFF_DEFENCE)) enemy_movement->debuff_multiplier = 0.0f;
}

void EnemyScript::UpdateLowHpMarker()
{
    if (!is_purifiable || !enemy_movement || enemy_movement->state == ENEMY_DOWN) {
        debuffs.DropLowHpMarker();
        return;
    }
    if (debuffs.LiftLowHpMarker() || !parent) return;
    Entity* marker = InstantiatePrefab("UI_Enemy_Low_HP");
    debuffs.low_hp_marker = Gameplay::IdOf(marker);
    if (!marker) return;
    auto marker_transform = marker->GetComponent<Transform>(TRANSFORM);
    if (marker->GetComponent<Child>(CHILD) && transform && marker_transform) {
        // Any other letter drops as 'A' does: left unplaced, the marker would stand where its
        // prefab puts it, away from the enemy.
        const char letter = LayoutLetter();
        const float dy = letter == 'D' ? kMarkerDropD : letter == 'S' ? kMarkerDropS : kMarkerDropA;
        const float dz = transform->scale.x >= 0.0f ? kMarkerDepthFacingRight : kMarkerDepthFacingLeft;
        marker_transform->position = transform->position + Vec3(0.0f, dy, dz);
    }
    AttachTo(marker, parent);
}

void EnemyScript::FlashWhileHurt()
{
    if (!enemy_movement) return;
    ShowHurtFlash(sprite.get(), enemy_movement->was_hit);
}
