// The tutorial scripts: the trigger zones and their lock table, the tutorial sequences played
// through the dialogue box with the shipped prefabs and their key hints, a trigger acting inside
// the collision pass, and the last trigger's hand-over to the chapter card.
#include "DialogueFixture.h"

#include "Components/BoxCollider.h"
#include "Components/Parent.h"
#include "Physics/CollisionSystem.h"
#include "Scene/SplashScreenScene.h"
#include "Scripts/Tutorial/DialogueTriggerScripts.h"
#include "Scripts/Tutorial/TutorialSequenceScripts.h"
#include "Scripts/Tutorial/TutorialTexts.h"

#include <array>

using namespace OrvEngine;
using namespace OrvTest;

namespace {

class TutorialTest : public DialogueTest {
protected:
    using Locks = std::array<bool, 4>; // attack, defence, speed spells; purification

    static Locks LocksOf(const PlayerController& controller)
    {
        return {controller.lock_attack_spell, controller.lock_defence_spell, controller.lock_speed_spell,
                controller.lock_purification};
    }

    static Entity* MakeCam()
    {
        return MakeInScene("Cam", TAG_OTHERS, Vec3(), Vec3(16.0f, 9.0f, 1.0f), "",
                           [](Entity* cam) { cam->AddComponent(PARENT, std::make_shared<Parent>()); });
    }

    // Steps the sequence whose line entity has this id to its end, pressing Enter once the wait
    // is over each time; returns the number of presses it took.
    static int ReadThrough(uint64_t line)
    {
        int presses = 0;
        for (int guard = 0; IsLive(line) && guard < 40; ++guard) {
            Frame(10);
            SetEnter(0);
            SetEnter(1);
            ++presses;
            Frame();
        }
        SetEnter(0);
        return presses;
    }
};

TEST_F(TutorialTest, TriggersFireOnceOnThePlayerChangingTheLocksTheirTableNamesAndOpenTheBox)
{
    Entity* box = MakeBox();
    Entity* player = MakePlayer(0.0f, 0.0f);
    Entity* dora = MakeActor("Dora", TAG_AI, 1.0f, 0.0f, false);
    auto controller = Controller(player);
    DialogueBoxScript* box_script = BoxScript(box);
    auto touch = [&](const std::string& script, Entity* who) {
        Entity* trigger = Named(script);
        if (!trigger) trigger = MakeScripted(script, TAG_OTHERS, script);
        Frame();
        box_script->pending = false;
        ScriptOf<DialogueTriggerScript>(trigger)->OnCollision(trigger, who);
    };

    touch("TutorialT1Script", dora);
    EXPECT_EQ(LocksOf(*controller), (Locks{false, false, false, false}));
    EXPECT_FALSE(IsPurifying);
    EXPECT_FALSE(box_script->pending);
    touch("TutorialT1Script", player);
    EXPECT_EQ(LocksOf(*controller), (Locks{true, true, true, true}));
    EXPECT_TRUE(IsPurifying);
    EXPECT_TRUE(box_script->pending);
    EXPECT_EQ(SpriteOf(box)->GetTexIdentifier(), "UIAnim_Dialog_Box");
    // The second step frees only the defence spell: attack and speed stay as the first left them.
    touch("TutorialT2Script", player);
    EXPECT_EQ(LocksOf(*controller), (Locks{true, false, true, true}));
    touch("TutorialT3Script", player);
    EXPECT_EQ(LocksOf(*controller), (Locks{true, false, true, false}));
    // Fired once: a second touch neither locks again nor opens the box.
    touch("TutorialT1Script", player);
    EXPECT_EQ(LocksOf(*controller), (Locks{true, false, true, false}));
    EXPECT_FALSE(box_script->pending);

    touch("DialogueT2Script", player);
    EXPECT_EQ(LocksOf(*controller), (Locks{false, false, false, false}));
    touch("DialogueT1Script", player);
    EXPECT_EQ(LocksOf(*controller), (Locks{true, true, true, true}));
    touch("DialogueT3Script", player);
    EXPECT_EQ(LocksOf(*controller), (Locks{true, true, true, true}));
    EXPECT_TRUE(box_script->pending);
    EXPECT_EQ(ScriptOf<DialogueTriggerScript>(Named("DialogueT3Script"))->GetName(), "DialogueT2Scripts");
    EXPECT_EQ(ScriptOf<DialogueTriggerScript>(Named("TutorialT1Script"))->GetName(), "TutorialT1Script01");
}

TEST_F(TutorialTest, TheThreeSequencesHoldThePlayerAndLeaveHintsThatTheNextTriggerTakesAway)
{
    LoadShippedPrefabs({"dialogue_01", "dialogue_01_N", "dialogue_02", "dialogue_02_N", "dialogue_03",
                        "dialogue_03_N", "Enemy_T1", "Vavu_T1", "UI_Vavu_T1", "UI_Vavu_Backing_T1",
                        "UI_Vavu_Healthbar_T1", "WASDKey", "LeftKey", "SpaceKey"});
    MakeCam();
    Entity* player = MakePlayer(0.0f, -1.5f);
    auto controller = Controller(player);
    Entity* box = MakeBox();
    DialogueBoxScript* box_script = BoxScript(box);
    auto sprite = SpriteOf(box);
    for (const char* trigger : {"TutorialT1Script", "TutorialT2Script", "TutorialT3Script"}) {
        MakeScripted(trigger, TAG_OTHERS, trigger);
    }
    Frame();
    auto touch = [&](const char* trigger) {
        ScriptOf<DialogueTriggerScript>(Named(trigger))->OnCollision(Named(trigger), player);
        sprite->current_frame = kDialogueBoxReadyFrame; // the opening animation has played
        Frame();
    };

    // Sequence 1: the player stands in the purification pose while Ilo looks for his parents.
    touch("TutorialT1Script");
    const uint64_t line1 = Named("dialogue_01")->id;
    EXPECT_TRUE(DialogueIsRunning);
    EXPECT_TRUE(IsPurifying);
    EXPECT_EQ(controller->state, PS_Purifying);
    Frame();
    EXPECT_EQ(TextOf(Named("dialogue_01")), "Where is everyone?");
    EXPECT_EQ(TextOf(Named("dialogue_01_N")), "[Ilo]");
    // Pressed and held within the first ten frames: no step, and the wait is not restarted.
    auto* lines = ScriptOf<TutorialScript01>(Named("dialogue_01"));
    SetEnter(1);
    SetEnter(2);
    Frame(8);
    SetEnter(0);
    SetEnter(1);
    EXPECT_EQ(lines->current_line, 1) << "a press while the wait is still 1";
    Frame();
    SetEnter(2);
    SetEnter(0);
    EXPECT_EQ(lines->current_line, 1);
    SetEnter(1);
    EXPECT_EQ(lines->current_line, 2);
    EXPECT_EQ(1 + ReadThrough(line1), 2);
    EXPECT_FALSE(DialogueIsRunning);
    EXPECT_FALSE(IsPurifying);
    EXPECT_EQ(controller->state, PS_Idle);
    EXPECT_EQ(sprite->GetTexIdentifier(), "UISprAnim_DialogBox_Drop");
    Entity* wasd = Named("WASDKey");
    ASSERT_NE(wasd, nullptr);
    EXPECT_EQ(box_script->key_hint, wasd->id);
    EXPECT_FLOAT_EQ(TransformOf(wasd)->position.y, 3.0f);
    EXPECT_EQ(LocksOf(*controller), (Locks{true, true, true, true}));

    // Sequence 2: the next trigger takes the hint away; the stranger and the enemy arrive.
    Body(player)->SetVelocity(Vec2(3.0f, 0.0f));
    touch("TutorialT2Script");
    EXPECT_EQ(Named("WASDKey"), nullptr);
    EXPECT_NE(Named("Enemy_T1"), nullptr);
    EXPECT_NE(Named("Vavu_T1"), nullptr);
    EXPECT_FLOAT_EQ(Body(player)->GetVelocity().x, 0.0f);
    EXPECT_EQ(ReadThrough(Named("dialogue_02")->id), 4);
    ASSERT_NE(Named("LeftKey"), nullptr);

    // Sequence 3: twenty lines with the fight held, then the Space it teaches is free to start a
    // purification: no leftover one times out with a wrong-buzz and a cooldown.
    touch("TutorialT3Script");
    EXPECT_EQ(Named("LeftKey"), nullptr);
    EXPECT_NE(Named("UI_Vavu_Healthbar_T1"), nullptr);
    EXPECT_TRUE(IsPurifying);
    EXPECT_EQ(ReadThrough(Named("dialogue_03")->id), 20);
    EXPECT_NE(Named("SpaceKey"), nullptr);
    EXPECT_FALSE(IsPurifying);
    controller->Update();
    EXPECT_FALSE(controller->purification.cooldown);
    EXPECT_FALSE(DialogueIsRunning);
    EXPECT_EQ(LocksOf(*controller), (Locks{true, false, true, false}));
    EXPECT_EQ(TutorialLines(3).size(), TutorialSpeakers(3).size());
}

TEST_F(TutorialTest, ATriggerRemovingTheHintInsideTheCollisionPassLeavesThePassSound)
{
    OrvCoreEngine->AddSystem(Logic::GetInstance());
    Entity* box = MakeBox();
    // Registered first, so its trigger flag chooses the collision message for its pairs.
    Entity* trigger = MakeActor("T2", TAG_OTHERS, 0.0f, 0.0f);
    Get<BoxCollider>(trigger, BOXCOLLIDER)->is_trigger = true;
    auto component = std::make_shared<ScriptComponent>();
    component->file_name = "TutorialT2Script";
    trigger->AddComponent(SCRIPTCOMPONENT, component);
    Join(trigger);
    Entity* player = MakePlayer(0.2f, 0.0f);
    Entity* hint = MakeActor("WASDKey", TAG_OTHERS, 0.1f, 0.0f);
    Join(hint);
    const uint64_t hint_id = hint->id;
    BoxScript(box)->key_hint = hint_id;
    Frame();

    CollisionSystem::GetInstance()->CheckCollisions();
    EXPECT_FALSE(IsLive(hint_id));
    EXPECT_EQ(BoxScript(box)->key_hint, 0u);
    EXPECT_TRUE(BoxScript(box)->pending);
    EXPECT_FALSE(Controller(player)->lock_defence_spell);
    EXPECT_TRUE(Controller(player)->lock_purification);
    // The next pass runs on what is left.
    CollisionSystem::GetInstance()->CheckCollisions();
    EXPECT_TRUE(IsLive(player->id));
}

TEST_F(TutorialTest, TheLastTriggerSendsThePlayerToTheChapterCardAndOnToTheFirstLevel)
{
    auto splash = std::make_shared<SplashScreenScene>();
    splash->next_state = "MainMenuScene";
    OrvStateMachine->scenes["SplashScene_07"] = splash;
    Entity* t4 = MakeScripted("T4", TAG_OTHERS, "TutorialT4Script");
    auto* script = ScriptSystem::GetInstance()->GetScript(t4->id).get();
    ASSERT_NE(script, nullptr);
    EXPECT_EQ(script->GetName(), "TutorialT4Script");

    script->OnCollision(t4, MakeActor("Dora", TAG_AI, 0.0f, 0.0f, false));
    EXPECT_EQ(OrvStateMachine->next_state, "");
    EXPECT_EQ(splash->next_state, "MainMenuScene");
    Entity* player = MakePlayer(0.0f, 0.0f);
    for (int touch = 0; touch < 2; ++touch) {
        script->OnCollision(t4, player);
        EXPECT_EQ(OrvStateMachine->next_state, "SplashScene_07");
        EXPECT_EQ(splash->next_state, "GameScene_01");
    }
    // Not a splash scene: the change is still asked for, and nothing else is touched.
    OrvStateMachine->scenes["SplashScene_07"] = SceneStateMachine::MakeGameScene();
    OrvStateMachine->next_state.clear();
    script->OnCollision(t4, player);
    EXPECT_EQ(OrvStateMachine->next_state, "SplashScene_07");
}

} // namespace
