#include "Scripts/HUD/ArrowKeysUIScript.h"

#include "Components/Sprite.h"
#include "Components/Text.h"
#include "CoreEngine/CoreEngine.h"
#include "CoreEngine/Message.h"
#include "Factory/Entity.h"
#include "Factory/EntityNames.h"
#include "Factory/Information.h"
#include "Logic/AIMovement.h"
#include "Logic/GameplayRules.h"
#include "Platform/Platform.h"
#include "Scripts/Level/SceneQueries.h"
#include "Scripts/ScriptHelpers.h"

#include <cstdio>
#include <string>

using namespace OrvEngine;

namespace {
const Color kLit(1.0f, 1.0f, 1.0f, 1.0f);
const Color kDark(0.5f, 0.5f, 0.5f, 1.0f);
} // namespace

void ArrowKeysUIScript::Init(Entity* entity)
{
    sprite = ComponentOf<Sprite>(entity, SPRITE);
    FindCompanion();
}

void ArrowKeysUIScript::FindCompanion() { companion = Gameplay::IdOf(FirstEntityOfType(TAG_AI)); }

std::shared_ptr<AIMovement> ArrowKeysUIScript::CompanionMovement() const
{
    return ComponentOf<AIMovement>(companion, AIMOVEMENT);
}

void ArrowKeysUIScript::Update(Entity* entity)
{
    if (!entity) return;
    if (!sprite) sprite = entity->GetComponent<Sprite>(SPRITE);
    if (!Gameplay::LiveEntity(companion)) FindCompanion();
    if (entity->name == EntityNames::kArrowKeyDown) ShowCooldown();
    if (!sprite) return;
    if (!sprite->is_tinted || TotalTime() < dim_time + kDimTime) return;
    if (entity->name == EntityNames::kArrowKeyDown) {
        // The key lights again only once a companion is there to call and its teleport is ready.
        auto movement = CompanionMovement();
        if (!movement || movement->cooldown_active) return;
    }
    sprite->SetTint(kLit, false);
}

void ArrowKeysUIScript::Dim()
{
    sprite->SetTint(kDark, true);
    dim_time = TotalTime();
}

Entity* ArrowKeysUIScript::CooldownTimer()
{
    if (Entity* kept = Gameplay::LiveEntity(timer)) return kept;
    Entity* found = FindEntityByName(EntityNames::kTeleportCooldownText);
    timer = Gameplay::IdOf(found);
    return found;
}

// The time left as "%f" writes it (six decimals), kept up every frame; hidden once it has run out.
void ArrowKeysUIScript::ShowCooldown()
{
    auto movement = CompanionMovement();
    const bool running = movement && movement->cooldown_active && movement->teleport_cooldown_shown > 0.0f;
    Entity* shown = CooldownTimer();
    if (!shown) return;
    if (!running) {
        if (shown->active) shown->SetActive(false);
        return;
    }
    if (auto text = shown->GetComponent<Text>(TEXT)) {
        char shown_text[64];
        std::snprintf(shown_text, sizeof shown_text, "%f", static_cast<double>(movement->teleport_cooldown_shown));
        text->SetText(shown_text);
    }
    shown->SetActive(true);
}

void ArrowKeysUIScript::HandleMessage(Entity* entity, Message* message)
{
    auto* keys = dynamic_cast<KeyMessage*>(message);
    if (!entity || !keys || keys->id != MSG_KEY) return;
    const std::string& name = entity->name;
    if (keys->IsKeyTriggeredConst(Platform::VK_DOWN_KEY) && name == EntityNames::kArrowKeyDown && sprite) {
        Dim();
        ShowCooldown();
    }
    // Only the first of the other arrows found pressed is looked at (up, then left, then right).
    const char* wanted = nullptr;
    if (keys->IsKeyTriggeredConst(Platform::VK_UP_KEY)) wanted = EntityNames::kArrowKeyUp;
    else if (keys->IsKeyTriggeredConst(Platform::VK_LEFT_KEY)) wanted = EntityNames::kArrowKeyLeft;
    else if (keys->IsKeyTriggeredConst(Platform::VK_RIGHT_KEY)) wanted = EntityNames::kArrowKeyRight;
    if (wanted && name == wanted && sprite) Dim();
}
