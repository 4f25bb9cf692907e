#include "Scripts/HUD/PuriIconAppear.h"

#include "Components/Sprite.h"
#include "Factory/Entity.h"
#include "Factory/EntityNames.h"
#include "Logic/GameplayRules.h"
#include "Logic/PlayerController.h"
#include "Scripts/Level/LevelManagerScript.h"
#include "Scripts/Level/SceneQueries.h"
#include "Scripts/ScriptHelpers.h"

using namespace OrvEngine;

namespace {
const Color kShown(1.0f, 1.0f, 1.0f, 1.0f);
const Color kHidden(1.0f, 1.0f, 1.0f, 0.0f);

void ShowIcon(Sprite& sprite, const std::string& texture)
{
    sprite.tint_color = kShown;
    if (sprite.tex_identifier != texture) sprite.SetTexture(texture);
}
} // namespace

void PuriIconAppear::Init(Entity* entity)
{
    (void)entity;
    FindPlayer();
}

void PuriIconAppear::FindPlayer() { player = Gameplay::IdOf(FindEntityByName(EntityNames::kPlayer)); }

void PuriIconAppear::Update(Entity* entity)
{
    if (!Gameplay::LiveEntity(player)) FindPlayer();
    level_manager.Find();
    LevelManagerScript* manager = level_manager.Get();
    auto controller = ComponentOf<PlayerController>(player, PLAYERCONTROLLER);
    auto sprite = ComponentOf<Sprite>(entity, SPRITE);
    if (!controller || !sprite) return;
    if (controller->purification.cooldown) {
        ShowIcon(*sprite, cooldown_texture);
    } else if (manager) {
        // Hidden, not removed: it keeps its last picture for when it shows again.
        if (manager->purifiable_on_screen < 1) sprite->tint_color = kHidden;
        else ShowIcon(*sprite, ready_texture);
    }
}
