#include "Scripts/Dialogue/DialogueScript.h"

#include "Components/Sprite.h"
#include "Components/Stats.h"
#include "CoreEngine/Message.h"
#include "Factory/Entity.h"
#include "Factory/EntityFactory.h"
#include "Factory/EntityNames.h"
#include "Platform/Platform.h"
#include "Scene/IScene.h"
#include "Scene/SceneStateMachine.h"
#include "Scripts/ScriptHelpers.h"
#include "Windows/Input.h"

using namespace OrvEngine;

namespace {
constexpr size_t kCountAt = 5;
// The count's 'N' and the four characters after it.
constexpr size_t kCharsAfterCount = 5;

// The entity's id and attack speed when the scene has it with Stats; id 0 otherwise.
uint64_t FindCharacter(const IScene& scene, const std::string& who, float& speed_attack)
{
    Entity* entity = scene.FindEntityByName(who);
    auto stats = ComponentOf<Stats>(entity, STATS);
    if (!stats) return 0;
    speed_attack = stats->speed_attack;
    return entity->id;
}
} // namespace

bool ReadPictureCount(const std::string& name, int32_t& count, std::string& base_name)
{
    // Names too short for the count part simply hold none.
    if (name.size() < kCountAt + 2) return false;
    size_t digits = 0;
    if (name[kCountAt + 1] == 'N') {
        digits = 1;
    } else if (name.size() >= kCountAt + 3 && name[kCountAt + 2] == 'N') {
        digits = 2;
    } else {
        return false;
    }
    // Digits are read as they stand, unchecked.
    count = name[kCountAt] - '0';
    if (digits == 2) count = 10 * count + (name[kCountAt + 1] - '0');
    base_name = name;
    base_name.erase(kCountAt, digits + kCharsAfterCount);
    return true;
}

void DialogueScript::Init(Entity* entity)
{
    enter_counter = enter_reload;
    armed = false;
    shown = false;
    SetUp(entity);
}

void DialogueScript::SetUp(Entity* entity)
{
    if (!entity) return;
    name = entity->GetName();
    if (auto scene = CurrentScene()) {
        player = FindCharacter(*scene, EntityNames::kPlayer, player_speed_attack);
        companion = FindCharacter(*scene, EntityNames::kDora, companion_speed_attack);
    }
    ReadPictureCount(name, last_picture, base_name);
}

void DialogueScript::HoldSpeeds() const
{
    if (auto stats = ComponentOf<Stats>(player, STATS)) stats->speed_attack = 0.0f;
    if (auto stats = ComponentOf<Stats>(companion, STATS)) stats->speed_attack = 0.0f;
}

void DialogueScript::RestoreSpeeds() const
{
    if (auto stats = ComponentOf<Stats>(player, STATS)) stats->speed_attack = player_speed_attack;
    if (auto stats = ComponentOf<Stats>(companion, STATS)) stats->speed_attack = companion_speed_attack;
}

void DialogueScript::Update(Entity* entity)
{
    if (last_picture == -1) SetUp(entity);
    if (!armed || !entity) return;
    auto sprite = entity->GetComponent<Sprite>(SPRITE);
    if (sprite) sprite->SetTintColor(Color(1.0f, 1.0f, 1.0f, 1.0f));
    if (current_picture > last_picture) {
        RestoreSpeeds();
        --enter_counter;
        DestroyEntity(entity);
        return;
    }
    HoldSpeeds();
    if (!shown) {
        if (sprite) sprite->SetTexture(base_name + std::to_string(current_picture));
        // Also without a Sprite, so the pictures can still be stepped through and the speeds freed.
        shown = true;
    }
    --enter_counter;
}

void DialogueScript::OnCollision(Entity*, Entity* other)
{
    if (other && other->GetName() == EntityNames::kPlayer) armed = true;
}

void DialogueScript::HandleMessage(Entity*, Message* message)
{
    if (!message || message->id != MSG_KEY || !shown || enter_counter >= 0) return;
    if (!Input::GetKeyMessage().IsKeyTriggeredConst(Platform::VK_RETURN_KEY)) return;
    ++current_picture;
    enter_counter = enter_reload;
    shown = false;
}
