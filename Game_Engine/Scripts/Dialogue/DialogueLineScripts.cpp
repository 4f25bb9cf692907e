#include "Scripts/Dialogue/DialogueLineScripts.h"

#include "Components/Sprite.h"
#include "CoreEngine/Globals.h"
#include "Scripts/Dialogue/DialogueBoxScript.h"
#include "Scripts/ScriptHelpers.h"

using namespace OrvEngine;

void DialogueTextScript::Init(Entity* entity)
{
    Begin(entity, speaker_ ? DialogueSpeakers(dialogue_) : DialogueLines(dialogue_));
    if (box) return;
    if (speaker_) FindBoxWithScript();
    else FindBoxWithSprite();
}

void DialogueTextScript::Update(Entity* entity)
{
    if (ended) return;
    if (Finished()) {
        End(entity);
        return;
    }
    ShowLine();
    if (!EnterJustPressed()) {
        --enter_counter;
        return;
    }
    // A press in the first ten frames after the last step is not taken, and does not reload.
    if (enter_counter < 1) {
        shown = false;
        ++current_line;
        enter_counter = enter_reload;
    }
    --enter_counter;
}

void DialogueTextScript::End(Entity* entity)
{
    ended = true;
    if (!speaker_) {
        if (auto sprite = ComponentOf<Sprite>(box, SPRITE)) ResetBoxSprite(*sprite);
    }
    DialogueIsRunning = false;
    if (speaker_) {
        if (DialogueBoxScript* box_script = BoxScriptOf(box)) box_script->PlayDropAnimation();
        AfterEnd();
    }
    RemoveSelf(entity);
}

void DialogueScript04_N::AfterEnd() { InstantiatePrefab("T_FadeOut"); }
