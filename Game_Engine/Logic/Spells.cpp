#include "Logic/Spells.h"

#include "Audio/AudioSystem.h"
#include "Components/Audio.h"
#include "Components/Camera.h"
#include "Components/RigidBody2D.h"
#include "Components/Sprite.h"
#include "Components/Transform.h"
#include "CoreEngine/Globals.h"
#include "Factory/Entity.h"
#include "Factory/EntityFactory.h"
#include "Factory/Information.h"
#include "Logic/PlayerController.h"
#include "Logic/SpellKind.h"

#include <algorithm>

namespace OrvEngine {

namespace {
// Flight speed per unit of the caster's spell_speed.
constexpr float kFlightSpeed = 0.5f;
constexpr int32_t kBlastFrames = 8;
// The blast speeds up by this many seconds per frame on every update.
constexpr float kBlastSpeedUp = 0.02f;
} // namespace

void Spells::SetCaster(const Entity* entity) { caster = entity ? entity->id : 0; }

Entity* Spells::GetCaster() const
{
    return caster && EntityFactory::Exists() ? EntityFactory::GetInstance()->GetLiveEntity(caster) : nullptr;
}

void Spells::RegisterWithPlayer()
{
    Entity* player = GetCaster();
    auto controller = player ? player->GetComponent<PlayerController>(PLAYERCONTROLLER) : nullptr;
    if (!owner || !controller) return;
    auto& queue = controller->spell_removals;
    if (std::find(queue.begin(), queue.end(), owner->id) == queue.end()) queue.push_back(owner->id);
}

void Spells::Update()
{
    if (!owner) return;
    if (state == SPELL_FLYING) Fly();
    else if (state == SPELL_HIT) Blast();
}

void Spells::Fly()
{
    auto info = owner->GetComponent<Information>(INFORMATION);
    Entity* player = GetCaster();
    if (!owner->active || (info && !info->IsActive()) || !player) return;

    auto transform = owner->GetComponent<Transform>(TRANSFORM);
    auto camera_transform = ActiveCamera ? ActiveCamera->transform : nullptr;
    if (transform && camera_transform) {
        const float centre = camera_transform->position.x;
        const float half = static_cast<float>(ActiveCamera->view_width / 2);
        const float x = transform->position.x;
        if (x > centre + half || x < centre - half) RegisterWithPlayer();
    }

    float sign = 0.0f;
    if (direction == "Left") sign = -kFlightSpeed;
    else if (direction == "Right") sign = kFlightSpeed;
    auto controller = player->GetComponent<PlayerController>(PLAYERCONTROLLER);
    auto body = owner->GetComponent<RigidBody2D>(RIGIDBODY2D);
    if (controller && body) body->SetVelocity(Vec2(controller->spell_speed * sign, 0.0f));
}

void Spells::Blast()
{
    auto audio = owner->GetComponent<Audio>(AUDIO);
    if (audio && !blast_sound_played) {
        AudioSystem::GetInstance()->PlayEvent(*audio, "SFX_Debuffed");
        blast_sound_played = true;
    }
    if (auto body = owner->GetComponent<RigidBody2D>(RIGIDBODY2D)) body->SetVelocity(Vec2());

    auto sprite = owner->GetComponent<Sprite>(SPRITE);
    if (!sprite) return;
    sprite->number_of_frames = kBlastFrames;
    sprite->spritesheet_speed -= kBlastSpeedUp;
    // An unknown kind keeps its picture and still ends after the blast's frames.
    const SpellData* data = GetSpellData(kind);
    int32_t frame = sprite->current_frame;
    if (data && sprite->tex_identifier != data->blast_texture) {
        sprite->SetTexture(data->blast_texture);
        sprite->current_frame = 1;
        frame = 1;
    }
    if (frame >= kBlastFrames) RegisterWithPlayer();
}

} // namespace OrvEngine
