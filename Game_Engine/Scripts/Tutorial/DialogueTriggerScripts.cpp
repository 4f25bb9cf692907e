#include "Scripts/Tutorial/DialogueTriggerScripts.h"

#include "CoreEngine/Globals.h"
#include "Factory/Entity.h"
#include "Factory/EntityFactory.h"
#include "Factory/EntityNames.h"
#include "Logic/PlayerController.h"
#include "Scripts/Dialogue/DialogueBoxScript.h"
#include "Scripts/ScriptHelpers.h"

using namespace OrvEngine;

namespace {
constexpr LockChange K = LockChange::Keep;
constexpr LockChange L = LockChange::Lock;
constexpr LockChange U = LockChange::Unlock;

void Change(bool& lock, LockChange change)
{
    if (change != LockChange::Keep) lock = change == LockChange::Lock;
}
} // namespace

// Attack, defence and speed spells, then purification.
DialogueT1Script::DialogueT1Script() : DialogueTriggerScript({"DialogueT1Script", {L, L, L, L}, false, false}) {}
DialogueT2Script::DialogueT2Script() : DialogueTriggerScript({"DialogueT2Scripts", {U, U, U, U}, false, false}) {}
DialogueT3Script::DialogueT3Script() : DialogueTriggerScript({"DialogueT2Scripts", {K, K, K, K}, false, false}) {}
TutorialT1Script::TutorialT1Script() : DialogueTriggerScript({"TutorialT1Script01", {L, L, L, L}, true, true}) {}
TutorialT2Script::TutorialT2Script() : DialogueTriggerScript({"TutorialT2Script", {K, U, K, L}, true, false}) {}
TutorialT3Script::TutorialT3Script() : DialogueTriggerScript({"TutorialT3Script", {K, K, K, U}, true, false}) {}

void DialogueTriggerScript::Init(Entity* entity)
{
    (void)entity;
    triggered = false;
}

void DialogueTriggerScript::FindBox() { box = FindScriptedBox(); }

void DialogueTriggerScript::Update(Entity* entity)
{
    (void)entity;
    if (!BoxScriptOf(box)) FindBox();
}

void DialogueTriggerScript::ApplyLocks(PlayerController& player, const TriggerLocks& locks)
{
    Change(player.lock_attack_spell, locks.attack_spell);
    Change(player.lock_defence_spell, locks.defence_spell);
    Change(player.lock_speed_spell, locks.speed_spell);
    Change(player.lock_purification, locks.purification);
}

void DialogueTriggerScript::OnCollision(Entity* self, Entity* other)
{
    (void)self;
    if (triggered || !other || other->GetName() != EntityNames::kPlayer) return;
    if (settings_.starts_purifying) IsPurifying = true;
    auto controller = other->GetComponent<PlayerController>(PLAYERCONTROLLER);
    if (controller) ApplyLocks(*controller, settings_.locks);
    // A trigger touched before its first update still finds the box.
    if (!BoxScriptOf(box)) FindBox();
    if (DialogueBoxScript* box_script = BoxScriptOf(box)) {
        if (settings_.tutorial) {
            // Inside the collision pass: the collision system passes over colliders removed here.
            const uint64_t hint = box_script->key_hint;
            box_script->key_hint = 0;
            DestroyEntity(hint ? FindLiveEntity(hint) : nullptr);
        }
        box_script->PlayIdleAnimation();
    }
    triggered = true;
}
