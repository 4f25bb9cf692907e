#include "Scripts/Tutorial/TutorialSequenceScripts.h"

#include "Components/RigidBody2D.h"
#include "Components/Sprite.h"
#include "CoreEngine/Globals.h"
#include "CoreEngine/Message.h"
#include "Factory/Entity.h"
#include "Factory/EntityFactory.h"
#include "Factory/Information.h"
#include "Logic/PlayerController.h"
#include "Scene/IScene.h"
#include "Scene/SceneStateMachine.h"
#include "Scripts/Dialogue/DialogueBoxScript.h"
#include "Scripts/ScriptHelpers.h"
#include "Scripts/Tutorial/TutorialTexts.h"

using namespace OrvEngine;

// Sequence, name, IsPurifying at the start, the player's pose, stop the player, IsPurifying cleared
// at the end. The third clears it too: left set, the player's next update took it for a purification
// long timed out (a wrong-buzz and a 5 s cooldown just as the sequence asks for Space).
TutorialScript01::TutorialScript01() : TutorialLineScript({1, "TutorialScript01", true, PS_Purifying, false, true}) {}
TutorialScript02::TutorialScript02() : TutorialLineScript({2, "TutorialScript02", false, PS_Idle, true, false}) {}
TutorialScript03::TutorialScript03() : TutorialLineScript({3, "TutorialScript03", true, PS_Idle, true, true}) {}

void TutorialSequenceScript::HandleMessage(Entity* entity, Message* message)
{
    (void)entity;
    if (!message || message->id != MSG_KEY || ended) return;
    // Key repeats carry a count above 1: holding Enter steps once.
    if (!EnterJustPressed() || enter_counter >= 1) return;
    ++current_line;
    enter_counter = enter_reload;
    shown = false;
}

void TutorialLineScript::Init(Entity* entity)
{
    Begin(entity, TutorialLines(settings_.sequence));
    if (settings_.starts_purifying) IsPurifying = true;
    if (!box) TakeHold();
}

void TutorialLineScript::TakeHold()
{
    auto scene = CurrentScene();
    if (!scene) return;
    for (const auto& [id, other] : scene->GetEntities()) {
        auto info = ComponentOf<Information>(other, INFORMATION);
        if (!info) continue;
        if (info->GetType() == TAG_DIALOGUE) {
            box = other->GetComponent<Sprite>(SPRITE) ? id : 0;
        } else if (info->GetType() == TAG_PLAYER) {
            auto controller = other->GetComponent<PlayerController>(PLAYERCONTROLLER);
            player = controller ? id : 0;
            if (controller) {
                controller->state = settings_.pose;
                controller->UpdateAnimation();
            }
            auto body = other->GetComponent<RigidBody2D>(RIGIDBODY2D);
            if (settings_.stops_player && body) body->SetVelocity(Vec2());
        }
        if (box && player) break;
    }
}

void TutorialLineScript::Update(Entity* entity)
{
    if (ended) return;
    if (Finished()) {
        ended = true;
        if (auto sprite = ComponentOf<Sprite>(box, SPRITE)) ResetBoxSprite(*sprite);
        DialogueIsRunning = false;
        RemoveSelf(entity);
        if (settings_.ends_purifying) IsPurifying = false;
        if (auto controller = ComponentOf<PlayerController>(player, PLAYERCONTROLLER)) controller->state = PS_Idle;
        return;
    }
    ShowLine();
    --enter_counter;
}

void TutorialSpeakerScript::Init(Entity* entity)
{
    Begin(entity, TutorialSpeakers(sequence_));
    if (!box) FindBoxWithScript();
}

void TutorialSpeakerScript::Update(Entity* entity)
{
    if (ended) return;
    if (Finished()) {
        ended = true;
        DialogueIsRunning = false;
        if (DialogueBoxScript* box_script = BoxScriptOf(box)) box_script->PlayDropAnimation();
        RemoveSelf(entity);
        Entity* hint = InstantiateBoxPiece(hint_prefab_);
        // Looked up again: instancing runs the new entity's script.
        DialogueBoxScript* box_script = BoxScriptOf(box);
        if (box_script && hint) box_script->key_hint = hint->id;
        return;
    }
    ShowLine();
    --enter_counter;
}
