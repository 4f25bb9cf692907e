#include "Scripts/Companion/AIScript.h"

#include "Components/Child.h"
#include "Components/Parent.h"
#include "Components/ParentChildSystem.h"
#include "Components/RigidBody2D.h"
#include "Components/Sprite.h"
#include "Components/Stats.h"
#include "Components/Transform.h"
#include "CoreEngine/Globals.h"
#include "CoreEngine/Message.h"
#include "Factory/Entity.h"
#include "Factory/EntityNames.h"
#include "Factory/Information.h"
#include "Logic/AIMovement.h"
#include "Logic/GameplayRules.h"
#include "Platform/Platform.h"
#include "Scripts/Level/SceneQueries.h"
#include "Scripts/ScriptHelpers.h"

#include <iostream>

using namespace OrvEngine;

namespace {
// The teleport sheets play a little faster than the companion's other sheets.
constexpr float kTeleportSpeedUp = 0.02f;

Vec2 PositionOf(Entity* entity)
{
    auto transform = ComponentOf<Transform>(entity, TRANSFORM);
    return transform ? transform->GetPosition2D() : Vec2();
}

void ShowSheet(Sprite& sprite, const std::string& texture)
{
    sprite.SetTexture(texture);
    sprite.current_frame = 1;
}
} // namespace

void AIScript::Init(Entity* entity)
{
    stats = ComponentOf<Stats>(entity, STATS);
    movement = ComponentOf<AIMovement>(entity, AIMOVEMENT);
    transform = ComponentOf<Transform>(entity, TRANSFORM);
    parent = ComponentOf<Parent>(entity, PARENT);
    sprite = ComponentOf<Sprite>(entity, SPRITE);
    facing = 1;
    FindHelp();
    teleport_texture = "Anim_Vavu_Teleport";
    arrive_texture = "Anim_Vavu_Idle";
    teleported = false;
    teleport_cooldown = kTeleportCooldown;
    cooldown_left = 0.0f;
    if (transform) base_scale = transform->scale;
    if (movement) {
        movement->Init();
        if (sprite) {
            const int32_t frames = sprite->number_of_frames - kAttackFrameFromEnd;
            movement->SetAttackFrame(frames > 0 ? static_cast<uint64_t>(frames) : 0);
            teleport_frame_time = sprite->spritesheet_speed - kTeleportSpeedUp;
        }
    }
}

void AIScript::FindHelp()
{
    if (!parent) return;
    auto child = ParentChildSystem::GetInstance()->GetChildByName(parent, EntityNames::kVavuHelp);
    if (!child || !child->owner) return;
    help = child->owner->id;
    if (parent->owner) help_offset = PositionOf(child->owner) - PositionOf(parent->owner);
}

void AIScript::Update(Entity* entity)
{
    if (!entity) return;
    if (!sprite) sprite = ComponentOf<Sprite>(entity, SPRITE);
    if (!parent) parent = ComponentOf<Parent>(entity, PARENT);
    if (!Gameplay::LiveEntity(help)) FindHelp();
    if (transform) transform->position.z = kDepthBase - transform->position.y;
    if (DialogueIsRunning) {
        if (auto body = ComponentOf<RigidBody2D>(entity, RIGIDBODY2D)) body->SetVelocity(Vec2());
        ApplyFacing();
        return;
    }
    if (!movement) return;
    movement->Update();
    Entity* target = movement->GetTarget();
    UpdateFacing(entity, target);
    ApplyFacing();
    if (target) UpdateHelpIcon(entity, target);
    UpdateHurtFlash();
    if (movement->state == COMPANION_RECALLED) UpdateTeleport();
    UpdateCooldown();
    if (stats && stats->hp < 1) {
        RequestLoseScene(movement->owner, "SFX_D_Death", !death_announced);
        death_announced = true;
    }
}

void AIScript::UpdateFacing(Entity* entity, Entity* target)
{
    auto body = ComponentOf<RigidBody2D>(entity, RIGIDBODY2D);
    if (!body) return;
    const float vx = body->GetVelocity().x;
    if (vx > 0.0f) {
        facing = 1;
    } else if (vx < 0.0f) {
        facing = 0;
    } else if (target && stats && stats->hp > 0 && transform) {
        // Standing still, the companion looks at its target; straight above or below changes nothing.
        const float tx = PositionOf(target).x;
        if (transform->position.x < tx) facing = 1;
        else if (transform->position.x > tx) facing = 0;
    }
}

void AIScript::ApplyFacing()
{
    if (!transform) return;
    Vec3 scale = base_scale;
    if (facing == 0) scale.x = -scale.x;
    transform->scale = scale;
}

void AIScript::UpdateHelpIcon(Entity* self, Entity* target)
{
    Entity* help_entity = Gameplay::LiveEntity(help);
    if (!help_entity) return;
    auto child = ComponentOf<Child>(help_entity, CHILD);
    auto holder_parent = child ? child->GetParent() : nullptr;
    Entity* holder = holder_parent ? holder_parent->owner : nullptr;
    if (child && holder != target) {
        auto target_parent = ComponentOf<Parent>(target, PARENT);
        if (target_parent) {
            MoveHelp(help_entity, holder, target);
            child->SetParent(target_parent);
        } else if (parent) {
            // A target that cannot carry the icon (the player): it goes back to the companion, hidden.
            MoveHelp(help_entity, holder, self);
            help_entity->SetActive(false);
            child->SetParent(parent);
        }
    }
    ShowHelpIcon(help_entity, target);
}

void AIScript::MoveHelp(Entity* help_entity, Entity* from, Entity* to)
{
    auto help_transform = ComponentOf<Transform>(help_entity, TRANSFORM);
    if (!help_transform) return;
    // An icon left without a holder (its enemy was destroyed) takes its usual place over the new one.
    const Vec2 shift = from ? PositionOf(to) - PositionOf(from)
                            : PositionOf(to) + help_offset - help_transform->GetPosition2D();
    help_transform->position.x += shift.x;
    help_transform->position.y += shift.y;
}

void AIScript::ShowHelpIcon(Entity* help_entity, Entity* target)
{
    auto target_stats = ComponentOf<Stats>(target, STATS);
    std::string icon;
    if (target->name != EntityNames::kPlayer && target_stats && stats) {
        if (target_stats->attack > stats->defense) icon = "HelpAttack";
        else if (target_stats->defense > stats->attack) icon = "HelpDefense";
    }
    help_entity->SetActive(!icon.empty());
    auto help_sprite = ComponentOf<Sprite>(help_entity, SPRITE);
    if (!icon.empty() && help_sprite && help_sprite->tex_identifier != icon) help_sprite->SetTexture(icon);
}

void AIScript::UpdateHurtFlash()
{
    if (!sprite) return;
    if (movement->hurt_flash) {
        sprite->SetTint(HurtFlash(), true);
    } else if (sprite->is_tinted) {
        sprite->is_tinted = false;
    }
}

void AIScript::UpdateTeleport()
{
    if (!sprite) {
        // Nothing to animate: the jump is made at once.
        movement->TeleportToPlayer();
        movement->state = COMPANION_IDLE;
        teleported = false;
        return;
    }
    sprite->SetIsSpritesheet(true);
    sprite->play_once = true;
    sprite->is_tinted = false;
    sprite->spritesheet_speed = teleport_frame_time;
    const auto finished = [this](const std::string& texture) {
        return sprite->current_frame >= sprite->number_of_frames && sprite->tex_identifier == texture;
    };
    if (!teleported && sprite->tex_identifier != teleport_texture) ShowSheet(*sprite, teleport_texture);
    if (finished(teleport_texture)) {
        movement->TeleportToPlayer();
        teleported = true;
    }
    if (teleported && sprite->tex_identifier != arrive_texture) ShowSheet(*sprite, arrive_texture);
    if (finished(arrive_texture)) {
        movement->state = COMPANION_IDLE;
        teleported = false;
    }
}

void AIScript::UpdateCooldown()
{
    if (cooldown_left <= 0.0f) {
        movement->cooldown_active = false;
        return;
    }
    cooldown_left -= FrameTime();
    movement->teleport_cooldown_shown = cooldown_left;
}

void AIScript::OnCollision(Entity* self, Entity* other)
{
    auto info = ComponentOf<Information>(other, INFORMATION);
    if (!info || info->GetType() != TAG_TERRAIN_DAMAGE) return;
    if (!movement || movement->hurt_flash || !stats) return;
    movement->was_hit = true;
    movement->hit_time = TotalTime();
    stats->hp -= kTerrainDamage;
    SpawnDamageNumber(kTerrainDamage, self);
}

void AIScript::HandleMessage(Entity* entity, Message* message)
{
    (void)entity;
    auto* keys = dynamic_cast<KeyMessage*>(message);
    if (!keys || keys->id != MSG_KEY || IsPurifying) return;
    auto down = keys->counts.find(Platform::VK_DOWN_KEY);
    const bool just_pressed = down != keys->counts.end() && down->second == 1;
    if (!just_pressed || cooldown_left > 0.0f || !movement) return;
    movement->state = COMPANION_RECALLED;
    std::cout << "DOWN KEY PRESSED" << std::endl;
    cooldown_left = teleport_cooldown;
    movement->teleport_cooldown_shown = cooldown_left;
    movement->cooldown_active = true;
}
