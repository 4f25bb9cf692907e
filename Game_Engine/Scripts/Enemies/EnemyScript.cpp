// The enemy scripts' set-up, spell contacts, debuffs, collection by the player and removal count.
// The per-frame update is in EnemyUpdate.cpp.
#include "Scripts/Enemies/EnemyScript.h"

#include "Components/Child.h"
#include "Components/Parent.h"
#include "Components/ParentChildSystem.h"
#include "Components/Sprite.h"
#include "Components/Stats.h"
#include "Components/Transform.h"
#include "Factory/Entity.h"
#include "Factory/EntityFactory.h"
#include "Factory/Information.h"
#include "Logic/EnemyMovement.h"
#include "Logic/SpellKind.h"
#include "Logic/Spells.h"
#include "Scripts/Level/LevelManagerScript.h"
#include "Scripts/ScriptHelpers.h"

using namespace OrvEngine;

void EnemyScript::Init(Entity* entity)
{
    if (!entity) return;
    stats = entity->GetComponent<Stats>(STATS);
    enemy_movement = entity->GetComponent<EnemyMovement>(ENEMYMOVEMENT);
    transform = entity->GetComponent<Transform>(TRANSFORM);
    parent = entity->GetComponent<Parent>(PARENT);
    sprite = entity->GetComponent<Sprite>(SPRITE);
    if (stats) debuffs.TakeBaseValues(*stats);
    auto info = entity->GetComponent<Information>(INFORMATION);
    entity_name = info ? info->name : std::string();
    if (transform) base_scale = transform->scale;
    if (!enemy_movement) return;
    enemy_movement->Init();
    // A negative count wraps to a large frame, which the movement clamps to the last one.
    if (sprite) {
        const int64_t frame = static_cast<int64_t>(sprite->number_of_frames) - kAttackFrameFromEnd;
        enemy_movement->SetAttackFrame(static_cast<uint64_t>(frame));
    }
    if (GetKind().keeps_player_target) enemy_movement->target = enemy_movement->player_target;
}

void EnemyScript::OnCollision(Entity* self, Entity* other)
{
    if (!self || !other) return;
    auto info = other->GetComponent<Information>(INFORMATION);
    if (!info) return;
    if (info->GetType() == TAG_RANGE_ATTACK) {
        TakeSpell(self, other);
        return;
    }
    if (info->GetType() == TAG_PLAYER && enemy_movement && enemy_movement->state == ENEMY_PURIFIED && sprite &&
        sprite->current_frame >= sprite->number_of_frames) {
        Collect(self);
    }
}

// The hit effect and the icons may not exist yet (a contact before the first update): each is
// looked up by id and skipped when missing.
void EnemyScript::TakeSpell(Entity* self, Entity* other)
{
    if (!enemy_movement || enemy_movement->state == ENEMY_PURIFIED) return;
    if (GetKind().has_hit_effect) {
        if (Entity* effect = FindLiveEntity(debuff_vfx)) {
            effect->SetActive(true);
            if (auto effect_sprite = effect->GetComponent<Sprite>(SPRITE)) effect_sprite->current_frame = 0;
        }
    }
    auto spell = other->GetComponent<Spells>(SPELLS);
    if (!spell || spell->consumed) return;
    if (enemy_movement->current_debuff == DEBUFF_NONE) {
        auto own_info = self->GetComponent<Information>(INFORMATION);
        if (stats && own_info && own_info->GetType() == TAG_ENEMY && enemy_movement->state != ENEMY_DOWN) {
            enemy_movement->current_debuff = spell->kind;
            enemy_movement->state = ENEMY_DEBUFFED;
        }
    }
    ApplyDebuff(enemy_movement->current_debuff);
    // Consumed at its first contact, whether or not it debuffed.
    spell->state = SPELL_HIT;
    spell->consumed = true;
    enemy_movement->current_debuff = DEBUFF_NONE;
}

std::string EnemyScript::HurtSound() const
{
    return GetKind().hurt_sound + std::to_string(RandomRange(1, kHurtSounds));
}

void EnemyScript::ApplyDebuff(int32_t kind)
{
    if (!debuffs.Hit(kind, stats.get(), true)) return;
    // Flag bits 0 to 2: speed, attack, defence.
    enemy_movement->debuff_flags.set(static_cast<size_t>(kind - DEBUFF_SPEED));
    if (kind == DEBUFF_DEFENCE) enemy_movement->debuff_multiplier = static_cast<float>(debuffs.defence.level);
}

// The player picks the purified enemy up: it and everything attached to it disappear now and are
// removed by the next update.
void EnemyScript::Collect(Entity* self)
{
    self->SetActive(false);
    if (auto info = self->GetComponent<Information>(INFORMATION)) info->SetActive(false);
    for (const auto& child : ChildrenOf(self->GetComponent<Parent>(PARENT))) {
        Entity* owner = child->owner;
        if (!owner) continue;
        owner->SetActive(false);
        if (auto info = owner->GetComponent<Information>(INFORMATION)) info->SetActive(false);
    }
}

void EnemyScript::OnDestroy(Entity*)
{
    LevelManagerScript* manager = level_manager.Get();
    if (!manager) return;
    if (counted_on_screen) --manager->purifiable_on_screen;
    --manager->enemy_count;
}

std::vector<std::shared_ptr<Child>> EnemyScript::ChildrenOf(const std::shared_ptr<Parent>& of)
{
    std::vector<std::shared_ptr<Child>> found;
    if (!of || !ParentChildSystem::Exists()) return found;
    // Walking the children themselves: sibling indices may have gaps after a child left.
    for (const auto& child : ParentChildSystem::GetInstance()->GetChildren()) {
        if (child && child->GetParent() == of) found.push_back(child);
    }
    return found;
}

char EnemyScript::LayoutLetter() const
{
    return entity_name.empty() ? '\0' : entity_name[0];
}
