// The companion's script and the DOWN key's display in a scene built in code with a fixed frame
// time: the teleport and its cooldown text, the help icon over the target, terrain damage.
#include "GameplayFixture.h"

#include "Components/Child.h"
#include "Components/Parent.h"
#include "Components/Text.h"
#include "CoreEngine/Message.h"
#include "Scripts/Companion/AIScript.h"
#include "Scripts/HUD/ArrowKeysUIScript.h"
#include "Scripts/ScriptHelpers.h"

using namespace OrvEngine;

namespace {

constexpr float kDt = 0.125f;
constexpr uint64_t kDown = 40;

// The static key message as the input translation leaves it after a key-down of `key`.
KeyMessage Press(uint64_t key, uint64_t count = 1)
{
    KeyMessage keys;
    keys.key = key;
    keys.counts[key] = count;
    return keys;
}

class CompanionScriptTest : public OrvTest::GameplayTest {
protected:
    void SetUp() override
    {
        GameplayTest::SetUp();
        SetTime(10.0, kDt);
        player = MakePlayer(4.0f, 0.0f);
        dora = MakeActor("Dora", TAG_AI, 0.0f, 0.0f);
        AddStats(dora, {30, 1.0f, 4.0f, 5.0f});
        dora_sprite = AddSprite(dora, 8);
        dora->AddComponent(AIMOVEMENT, std::make_shared<AIMovement>());
        dora->AddComponent(PARENT, std::make_shared<Parent>());
        Join(dora);
        help = MakeInScene("VavuHelp", TAG_OTHERS, Vec3(0.0f, 1.0f, 150.0f), Vec3(0.5f, 0.5f, 1.0f), "", [](Entity* e) {
            AddSprite(e, 1);
            e->AddComponent(CHILD, std::make_shared<Child>());
        });
        help->GetComponent<Child>(CHILD)->SetParent(dora->GetComponent<Parent>(PARENT));
        ai.Init(dora);
    }

    void Frame()
    {
        SetTime(OrvCoreEngine->total + kDt, kDt);
        ai.Update(dora);
    }

    // Frames until Dora has taken `target` (a few at most: a lost target first stops her walk).
    void FrameUntilTarget(Entity* target)
    {
        for (int frame = 0; frame < 4; ++frame) {
            Frame();
            if (Ai(dora)->GetTarget() == target) return;
        }
    }

    static Entity* MakeHud(const std::string& name)
    {
        return MakeInScene(name, TAG_OTHERS, Vec3(), Vec3(1.0f, 1.0f, 1.0f), "", [&name](Entity* e) {
            if (name == "TP_SkillCD_Timer") e->AddComponent(TEXT, std::make_shared<Text>());
            else AddSprite(e, 1);
        });
    }

    Entity* player = nullptr;
    Entity* dora = nullptr;
    Entity* help = nullptr;
    std::shared_ptr<Sprite> dora_sprite;
    AIScript ai;
};

TEST_F(CompanionScriptTest, DownTeleportsOncePerCooldownAndTheDownKeyShowsTheTimeLeft)
{
    Entity* down_key = MakeHud("ArrowKeysUI_Down");
    Entity* timer = MakeHud("TP_SkillCD_Timer");
    timer->SetActive(false);
    ArrowKeysUIScript arrows;
    arrows.Init(down_key);
    auto movement = Ai(dora);
    auto key_sprite = down_key->GetComponent<Sprite>(SPRITE);
    // The script system hands a message to scripts in id order: Dora's first, then the key's.
    auto deliver = [&](KeyMessage keys) {
        ai.HandleMessage(dora, &keys);
        arrows.HandleMessage(down_key, &keys);
    };

    IsPurifying = true;
    deliver(Press(kDown));
    IsPurifying = false;
    deliver(Press(kDown, 2));
    EXPECT_EQ(movement->state, COMPANION_IDLE) << "during a purification, or held: nothing";
    EXPECT_FALSE(movement->cooldown_active);

    OrvTest::StdoutCapture console;
    deliver(Press(kDown));
    EXPECT_EQ(console.Take(), "DOWN KEY PRESSED\n");
    EXPECT_EQ(movement->state, COMPANION_RECALLED);
    EXPECT_TRUE(movement->cooldown_active);
    EXPECT_TRUE(timer->active);
    EXPECT_EQ(timer->GetComponent<Text>(TEXT)->GetText(), "5.000000") << "as %f writes it";
    EXPECT_TRUE(key_sprite->is_tinted);

    // The teleport sheet plays once, Dora lands on Ilo, the arrival sheet plays, then she is back.
    Frame();
    EXPECT_EQ(dora_sprite->tex_identifier, "Anim_Vavu_Teleport");
    dora_sprite->current_frame = 8;
    Frame();
    EXPECT_EQ(TransformOf(dora)->position.x, 4.0f);
    EXPECT_EQ(dora_sprite->tex_identifier, "Anim_Vavu_Idle");
    dora_sprite->current_frame = 8;
    Frame();
    EXPECT_EQ(movement->state, COMPANION_IDLE);

    for (int frame = 0; frame < 5; ++frame) Frame(); // one second in all
    OrvTest::StdoutCapture again;
    deliver(Press(kDown));
    EXPECT_EQ(again.Take(), "") << "the second press within five seconds is ignored";
    EXPECT_NE(movement->state, COMPANION_RECALLED);
    EXPECT_EQ(timer->GetComponent<Text>(TEXT)->GetText(), "4.000000");

    arrows.Update(down_key);
    EXPECT_TRUE(key_sprite->is_tinted) << "dark while the cooldown runs";
    // The count goes on by itself, without a press.
    for (int frame = 0; frame < 25; ++frame) Frame();
    arrows.Update(down_key);
    EXPECT_EQ(timer->GetComponent<Text>(TEXT)->GetText(), "0.875000");
    EXPECT_TRUE(timer->active);
    for (int frame = 0; frame < 8; ++frame) Frame();
    EXPECT_FALSE(movement->cooldown_active);
    arrows.Update(down_key);
    EXPECT_FALSE(key_sprite->is_tinted);
    EXPECT_FALSE(timer->active) << "hidden once the cooldown is over";
}

TEST_F(CompanionScriptTest, HelpIconRidesTheTargetAndShowsWhatBeatsDora)
{
    auto help_child = help->GetComponent<Child>(CHILD);
    Entity* enemy = MakeEnemy(2.0f, 0.0f, {10, 1.0f, 6.0f, 9.0f}, "Atk_Enemy");
    enemy->AddComponent(PARENT, std::make_shared<Parent>());
    FrameUntilTarget(enemy);
    ASSERT_EQ(Ai(dora)->GetTarget(), enemy);
    EXPECT_EQ(help_child->GetParent(), enemy->GetComponent<Parent>(PARENT));
    EXPECT_EQ(TransformOf(help)->position.x, 2.0f) << "moved over the enemy, same offset";
    EXPECT_TRUE(help->active);
    EXPECT_EQ(help->GetComponent<Sprite>(SPRITE)->tex_identifier, "HelpAttack") << "attack 6 beats defence 5 first";

    StatsOf(enemy)->attack = 2.0f;
    Frame();
    EXPECT_EQ(help->GetComponent<Sprite>(SPRITE)->tex_identifier, "HelpDefense");
    StatsOf(enemy)->defense = 2.0f;
    Frame();
    EXPECT_FALSE(help->active) << "nothing beats Dora";

    // The enemy goes (its parent lets the icon go); the next target gets the icon at its usual offset.
    DestroyEntity(enemy);
    Entity* next = MakeEnemy(3.0f, -1.0f, {10, 1.0f, 9.0f, 0.0f}, "Spd_Enemy");
    next->AddComponent(PARENT, std::make_shared<Parent>());
    FrameUntilTarget(next);
    EXPECT_EQ(help_child->GetParent(), next->GetComponent<Parent>(PARENT));
    EXPECT_EQ(TransformOf(help)->position.x, 3.0f);
    EXPECT_EQ(TransformOf(help)->position.y, 0.0f);

    DestroyEntity(next);
    FrameUntilTarget(player);
    ASSERT_EQ(Ai(dora)->GetTarget(), player);
    EXPECT_FALSE(help->active) << "hidden over the player";
    EXPECT_EQ(help_child->GetParent(), dora->GetComponent<Parent>(PARENT));
}

TEST_F(CompanionScriptTest, TerrainTakesTwoUnlessStillHurtAndZeroHpLosesTheRun)
{
    LoadShippedPrefabs({"NumberPrefab"});
    Entity* spikes = OrvTest::MakeTransformEntity("Spikes", Vec3(), Vec3(1.0f, 1.0f, 1.0f), TAG_TERRAIN_DAMAGE);
    Scene()->AddEntity(spikes->id, spikes);
    ai.OnCollision(dora, spikes);
    EXPECT_EQ(StatsOf(dora)->hp, 28);
    EXPECT_EQ(DigitEntities().size(), 1u);
    Frame();
    EXPECT_TRUE(dora_sprite->is_tinted) << "the hurt flash";
    ai.OnCollision(dora, spikes);
    EXPECT_EQ(StatsOf(dora)->hp, 28) << "still hurt";
    for (int frame = 0; frame < 10; ++frame) Frame();
    EXPECT_FALSE(dora_sprite->is_tinted);

    StatsOf(dora)->hp = 0;
    Frame();
    EXPECT_EQ(OrvStateMachine->next_state, "GameScene_03");
}

TEST_F(CompanionScriptTest, DownKeyStaysDarkUntilACompanionIsThereToCall)
{
    DestroyEntity(dora);
    Entity* down_key = MakeHud("ArrowKeysUI_Down");
    ArrowKeysUIScript arrows;
    arrows.Init(down_key);
    KeyMessage keys = Press(kDown);
    arrows.HandleMessage(down_key, &keys);
    EXPECT_TRUE(down_key->GetComponent<Sprite>(SPRITE)->is_tinted);
    SetTime(OrvCoreEngine->total + 0.25, kDt);
    arrows.Update(down_key);
    EXPECT_TRUE(down_key->GetComponent<Sprite>(SPRITE)->is_tinted) << "no companion: nothing to call";

    // Dora arrives (as in the tutorial) with her teleport ready: the key lights.
    Entity* arrived = MakeActor("Vavu_T1", TAG_AI, 0.0f, 0.0f);
    arrived->AddComponent(AIMOVEMENT, std::make_shared<AIMovement>());
    Join(arrived);
    arrows.Update(down_key);
    EXPECT_FALSE(down_key->GetComponent<Sprite>(SPRITE)->is_tinted);
}

} // namespace
