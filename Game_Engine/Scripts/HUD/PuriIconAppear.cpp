#include "Scripts/HUD/PuriIconAppear.h"

#include "Components/Sprite.h"
#include "Factory/Entity.h"
#include "Logic/GameplayRules.h"
#include "Logic/PlayerController.h"
#include "Scene/IScene.h"
#include "Scene/SceneStateMachine.h"
#include "Scripts/Level/LevelManagerScript.h"

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

void PuriIconAppear::FindPlayer()
{
    auto scene = CurrentScene();
    Entity* found = scene ? scene->FindEntityByName("Player") : nullptr;
    player = found ? found->id : 0;
}

void PuriIconAppear::Update(Entity* entity)
{
    if (!Gameplay::LiveEntity(player)) FindPlayer();
    LevelManagerScript* level_manager = FindLevelManager();
    Entity* player_entity = Gameplay::LiveEntity(player);
    auto controller = player_entity ? player_entity->GetComponent<PlayerController>(PLAYERCONTROLLER) : nullptr;
    auto sprite = entity ? entity->GetComponent<Sprite>(SPRITE) : nullptr;
    if (!controller || !sprite) return;
    if (controller->purification.cooldown) {
        ShowIcon(*sprite, cooldown_texture);
    } else if (level_manager) {
        // Hidden, not removed: it keeps its last picture for when it shows again.
        if (level_manager->purifiable_on_screen < 1) sprite->tint_color = kHidden;
        else ShowIcon(*sprite, ready_texture);
    }
}
