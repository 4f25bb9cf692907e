// What the game scripts share and the small scripts built on it: damage digits and their rise,
// the bobbing counter, the fades, the title-screen walkers, and the registry's names.
#include "ScriptFixture.h"

#include "Components/Sprite.h"
#include "Scripts/Fade/FadeScripts.h"
#include "Scripts/Menus/MainMenuWalking.h"
#include "Scripts/NumberVelocity.h"
#include "Scripts/ScriptHelpers.h"

#include <cmath>
#include <limits>
#include <utility>
#include <vector>

using namespace OrvEngine;
using namespace OrvTest;

namespace {

class ScriptHelpersTest : public ScriptTest {
protected:
    struct Digit {
        std::string texture;
        Vec3 at;
    };

    // The digits shown for value on a target named `name` at (2, 1, 3), in the order made.
    std::vector<Digit> DigitsFor(const std::string& name, float value, bool as_float)
    {
        for (Entity* old : DigitEntities()) DestroyEntity(old);
        Entity* target = MakeTransformEntity(name, Vec3(2.0f, 1.0f, 3.0f), Vec3(1.0f, 1.0f, 1.0f), TAG_ENEMY);
        Scene()->AddEntity(target->id, target);
        if (as_float) SpawnDamageNumber(value, target);
        else SpawnDamageNumber(static_cast<int>(value), target);
        std::vector<Digit> digits;
        for (Entity* digit : DigitEntities()) digits.push_back({Texture(digit), TransformOf(digit)->position});
        return digits;
    }

    static void ExpectDigit(const Digit& digit, const std::string& texture, float x, float y, const std::string& what)
    {
        EXPECT_EQ(digit.texture, texture) << what;
        EXPECT_NEAR(digit.at.x, x, 1e-5f) << what;
        EXPECT_NEAR(digit.at.y, y, 1e-5f) << what;
        EXPECT_FLOAT_EQ(digit.at.z, 8.0f) << what << ": in front of the target";
    }
};

TEST_F(ScriptHelpersTest, DamageDigitsRiseDiagonallyBesideTheTargetAndEnemiesShowThemLower)
{
    LoadShippedPrefabs({"NumberPrefab"});
    auto seven = DigitsFor("Dora", 7.0f, false);
    ASSERT_EQ(seven.size(), 1u);
    ExpectDigit(seven[0], "UI_Num_7", 2.0f, 1.0f, "7 on Dora");

    auto enemy = DigitsFor("Atk_Enemy", 42.0f, false);
    ASSERT_EQ(enemy.size(), 2u);
    ExpectDigit(enemy[0], "UI_Num_4", 2.0f, 0.0f, "42 on Atk_Enemy, first");
    ExpectDigit(enemy[1], "UI_Num_2", 2.1f, 0.1f, "42 on Atk_Enemy, second");

    auto dora = DigitsFor("Dora", 42.0f, false);
    ASSERT_EQ(dora.size(), 2u);
    ExpectDigit(dora[0], "UI_Num_4", 2.0f, 1.0f, "42 on Dora, first");
    ExpectDigit(dora[1], "UI_Num_2", 2.1f, 1.1f, "42 on Dora, second");

    auto hundred = DigitsFor("Player", 105.0f, false);
    ASSERT_EQ(hundred.size(), 3u);
    ExpectDigit(hundred[0], "UI_Num_1", 2.0f, 1.0f, "105");
    ExpectDigit(hundred[1], "UI_Num_0", 2.1f, 1.1f, "105");
    ExpectDigit(hundred[2], "UI_Num_5", 2.2f, 1.2f, "105");

    auto truncated = DigitsFor("Spd_Enemy", 12.99f, true);
    ASSERT_EQ(truncated.size(), 2u);
    ExpectDigit(truncated[0], "UI_Num_1", 2.0f, 0.0f, "12.99");
    ExpectDigit(truncated[1], "UI_Num_2", 2.1f, 0.1f, "12.99");

    EXPECT_FLOAT_EQ(DigitsFor("Def_Enemy", 3.0f, false).at(0).at.y, 0.0f) << "'De' sits low";
    EXPECT_FLOAT_EQ(DigitsFor("D", 3.0f, false).at(0).at.y, 1.0f) << "a lone 'D' is not 'De'";
    EXPECT_FLOAT_EQ(DigitsFor("", 3.0f, false).at(0).at.y, 1.0f) << "no name";

    for (float nothing : {0.0f, 0.7f, -5.0f, std::numeric_limits<float>::quiet_NaN()}) {
        EXPECT_TRUE(DigitsFor("Dora", nothing, true).empty()) << nothing;
    }
    for (int nothing : {0, -12}) EXPECT_TRUE(DigitsFor("Dora", static_cast<float>(nothing), false).empty()) << nothing;
    EXPECT_EQ(DigitsFor("Dora", 1e12f, true).size(), 10u) << "a huge value shows the largest int, not garbage";
}

TEST_F(ScriptHelpersTest, ADigitRisesPerFrameWhateverTheFrameRateAndGoesOneFrameAfterItsLifetimeIsExactlySpent)
{
    LoadShippedPrefabs({"NumberPrefab"});
    Entity* target = MakeTransformEntity("Player", Vec3(0.0f, 0.0f, 1.0f), Vec3(1.0f, 1.0f, 1.0f), TAG_PLAYER);
    Scene()->AddEntity(target->id, target);
    SpawnDamageNumber(5, target);
    ASSERT_EQ(DigitEntities().size(), 1u);
    Entity* digit = DigitEntities()[0];
    const uint64_t id = digit->id;
    auto* script = ScriptOf<NumberVelocity>(digit);
    ASSERT_NE(script, nullptr);
    EXPECT_FLOAT_EQ(script->lifetime, 2.0f);

    // 0.5 s frames reach exactly 0 on the fourth; the rise ignores the frame time.
    for (float dt : {0.5f, 0.5f, 0.5f, 0.5f}) Frame(dt);
    ASSERT_NE(Scene()->GetEntity(id), nullptr) << "a lifetime of exactly 0 is still shown";
    EXPECT_FLOAT_EQ(script->lifetime, 0.0f);
    EXPECT_NEAR(TransformOf(digit)->position.y, 0.002f * 3.0f, 1e-6f) << "rose on the three frames with time left";
    Frame(0.001f);
    EXPECT_EQ(Scene()->GetEntity(id), nullptr) << "gone the frame after";
    Frame(0.001f);
    EXPECT_EQ(ScriptSystem::GetInstance()->GetScript(id), nullptr);
}

TEST_F(ScriptHelpersTest, BobFactorTurnsOnceEveryTwentyFourCallsWhoeverCalls)
{
    // The counter is process-wide: find where the turn is, then every 24th call is 0 again.
    int calls = 0;
    while (BobFactor(0.01f, 1.0f) != 0.0f) ASSERT_LT(++calls, 24);
    for (int turn = 0; turn < 3; ++turn) {
        for (int step = 1; step < 24; ++step) {
            const float expected = std::fabs(std::sin(static_cast<float>(15 * step) * 0.01f)) * 2.0f;
            EXPECT_FLOAT_EQ(BobFactor(0.01f, 2.0f), expected) << "step " << step;
        }
        EXPECT_EQ(BobFactor(0.01f, 2.0f), 0.0f) << "the 24th call";
    }
}

TEST_F(ScriptHelpersTest, FadesMoveTheirAlphaByFrameTimeClampTheTintAndTheFadeOutLeavesAtOneAndAHalf)
{
    auto with_sprite = [](Entity* entity) { entity->AddComponent(SPRITE, std::make_shared<Sprite>()); };
    Entity* in = MakeScripted("FadeIn", "FadeInScript", Vec3(), Vec3(16.0f, 9.0f, 1.0f), with_sprite);
    Entity* out = MakeScripted("FadeOut", "FadeOutScript", Vec3(), Vec3(16.0f, 9.0f, 1.0f), with_sprite);
    MakeScripted("Bare", "FadeOutScript");
    auto in_sprite = in->GetComponent<Sprite>(SPRITE);
    auto out_sprite = out->GetComponent<Sprite>(SPRITE);
    EXPECT_TRUE(in_sprite->is_tinted);
    EXPECT_FLOAT_EQ(in_sprite->tint_color.w, 1.0f);
    EXPECT_FLOAT_EQ(out_sprite->tint_color.w, 0.0f);

    // 0.7 per second: after 1 s the fade-out is at 0.7, at 1.5 s past 1.0 but not leaving.
    for (int i = 0; i < 10; ++i) Frame(0.1f);
    EXPECT_NEAR(in_sprite->tint_color.w, 0.3f, 1e-5f);
    EXPECT_NEAR(out_sprite->tint_color.w, 0.7f, 1e-5f);
    for (int i = 0; i < 5; ++i) Frame(0.1f);
    EXPECT_FLOAT_EQ(in_sprite->tint_color.w, 0.0f) << "clamped, though the alpha goes on";
    EXPECT_LT(ScriptOf<FadeInScript>(in)->alpha, 0.0f);
    EXPECT_FLOAT_EQ(out_sprite->tint_color.w, 1.0f) << "clamped at opaque";
    EXPECT_NEAR(ScriptOf<FadeOutScript>(out)->alpha, 1.05f, 1e-4f);
    EXPECT_EQ(OrvStateMachine->next_state, "") << "1.0 is not yet the end";
    for (int i = 0; i < 6; ++i) Frame(0.1f);
    EXPECT_EQ(OrvStateMachine->next_state, "") << "alpha 1.47";
    Frame(0.1f);
    EXPECT_EQ(OrvStateMachine->next_state, "GameScene_02") << "alpha 1.54";
    // The bare fade-out (no sprite) never asked: clear the request and run on.
    OrvStateMachine->next_state.clear();
    DestroyEntity(out);
    for (int i = 0; i < 30; ++i) Frame(0.1f);
    EXPECT_EQ(OrvStateMachine->next_state, "");
}

TEST_F(ScriptHelpersTest, WalkersStepPerFrameTurnEveryTenSecondsAndNeedANameAndATransform)
{
    Entity* right = MakeScripted("R_Ilo", "MainMenuWalking", Vec3(0.0f, 0.0f, 1.0f));
    Entity* left = MakeScripted("L_Dora", "MainMenuWalking", Vec3(0.0f, 0.0f, 1.0f));
    Entity* nameless = MakeScripted("", "MainMenuWalking", Vec3(0.0f, 0.0f, 1.0f));
    Entity* bodiless = MakeScripted("Ghost", "", Vec3());
    bodiless->RemoveComponent(TRANSFORM);
    auto ghost = std::make_shared<ScriptComponent>();
    ghost->file_name = "MainMenuWalking";
    bodiless->AddComponent(SCRIPTCOMPONENT, ghost);
    Join(bodiless);

    EXPECT_GT(TransformOf(right)->scale.x, 0.0f);
    EXPECT_LT(TransformOf(left)->scale.x, 0.0f) << "an L walker starts facing left";
    // Frames of different lengths move the same 0.002 each.
    for (float dt : {0.25f, 0.5f, 0.25f}) Frame(dt);
    EXPECT_NEAR(TransformOf(right)->position.x, 0.006f, 1e-6f);
    EXPECT_NEAR(TransformOf(left)->position.x, -0.006f, 1e-6f);
    EXPECT_FLOAT_EQ(TransformOf(nameless)->position.x, 0.0f) << "no name, no direction";
    EXPECT_EQ(ScriptOf<MainMenuWalking>(bodiless)->direction, "") << "no Transform, no walking";

    // One second of the leg is gone; nine more bring the timer to exactly 0.
    for (int i = 0; i < 9; ++i) Frame(1.0f);
    EXPECT_FLOAT_EQ(ScriptOf<MainMenuWalking>(right)->timer, 0.0f);
    EXPECT_GT(TransformOf(right)->scale.x, 0.0f) << "exactly 0 turns on the next frame";
    Frame(0.1f);
    EXPECT_LT(TransformOf(right)->scale.x, 0.0f);
    EXPECT_EQ(ScriptOf<MainMenuWalking>(right)->direction, "L");
    EXPECT_GT(TransformOf(left)->scale.x, 0.0f);
    const float turned_at = TransformOf(right)->position.x;
    Frame(0.1f);
    EXPECT_NEAR(TransformOf(right)->position.x, turned_at - 0.002f, 1e-6f) << "now walking back";
}

TEST_F(ScriptHelpersTest, ScriptsAreRegisteredUnderTheirClassNamesAndAGetNameValueIsNoFileName)
{
    // Every game class in registration order, with what its GetName answers.
    const std::vector<std::pair<std::string, std::string>> table = {
        {"AIScript", "AIScript"}, {"NumberVelocity", "NumberVelocity"}, {"DialogueScript", "DialogueScript"},
        {"MainMenuWalking", "MainMenuWalking"}, {"DialogueScript01", "DialogueScript01"},
        {"DialogueScript01_N", "DialogueScript01_N"}, {"DialogueScript02", "DialogueScript02"},
        {"DialogueScript02_N", "DialogueScript02_N"}, {"DialogueScript03", "DialogueScript03"},
        {"DialogueScript03_N", "DialogueScript03_N"}, {"DialogueScript04", "DialogueScript04"},
        {"DialogueScript04_N", "DialogueScript04_N"}, {"EnemyScript", "EnemyScript"},
        {"DefenseEnemyScript", "EnemyScript"}, {"PlayerScript", "PlayerScript"}, {"SpellsScript", "SpellsScript"},
        {"TestMainMenuScript", "TestMainMenuScript"}, {"PauseMenuScript", "PauseMenuScript"},
        {"SpawnerScript", "SpawnerScript"}, {"WinOnCollisionScript", "WinOnCollisionScript"},
        {"DeathWallScript", "DeathWallScript"}, {"DialogueT1Script", "DialogueT1Script"},
        {"DialogueT2Script", "DialogueT2Scripts"}, {"DialogueT3Script", "DialogueT2Scripts"},
        {"GameManagerScript", "GameManagerScript"}, {"DialogueBoxScript", "GameManagerScript"},
        {"BarrierScript", "BarrierScript"}, {"Boulder1D3SScript", "BoulderLevelScript"},
        {"Boulder2D3SScript", "BoulderLevelScript"}, {"Boulder5D5SScript", "BoulderLevelScript"},
        {"BoulderLevelScript", "BoulderLevelScript"}, {"BoulderScript", "BoulderScript"},
        {"Spikes1D4SScript", "BoulderLevelScript"}, {"SpikesLevelScript", "SpikesLevelScript"},
        {"SpikesScript", "BoulderScript"}, {"OptionMenuScript", "OptionMenuScript"},
        {"FadeInScript", "FadeInScript"}, {"FadeOutScript", "FadeOutScript"},
        {"TutorialScript01", "TutorialScript01"}, {"TutorialScript01_N", "DialogueScript01_N"},
        {"TutorialT1Script", "TutorialT1Script01"}, {"TutorialScript02", "TutorialScript02"},
        {"TutorialScript02_N", "TutorialScript02_N"}, {"TutorialT2Script", "TutorialT2Script"},
        {"TutorialScript03", "TutorialScript03"}, {"TutorialScript03_N", "TutorialScript03_N"},
        {"TutorialT3Script", "TutorialT3Script"}, {"TutorialT4Script", "TutorialT4Script"},
        {"IloHealthUIScript", "IloHealthUIScript"}, {"VavuHealthUIScript", "IloHealthUIScript"},
        {"LevelManagerScript", "LevelManagerScript"}, {"BossScript", "BossScript"},
        {"ArrowKeysUIScript", "ArrowKeysUIScript"}, {"QuitGameMenuScript", "QuitGameMenuScript"},
        {"SpeedEnemyScript", "SpeedEnemyScript"}, {"RetryScript", "RetryScript"},
        {"PuriIconAppear", "PuriIconAppear"}, {"PoisonFloorScript", "PoisonFloorScript"},
        {"BypassIntroScript", "BypassIntroScript"}};
    auto* creators = ScriptSystem::GetInstance()->GetScriptCreators();
    ASSERT_EQ(table.size(), 59u);
    EXPECT_EQ(creators->size(), table.size()) << "no other names are registered";
    for (const auto& [name, answer] : table) {
        auto creator = creators->find(name);
        ASSERT_NE(creator, creators->end()) << name;
        EXPECT_EQ(creator->second->name, name);
        EXPECT_EQ(creator->second->Create()->GetName(), answer) << name;
    }
    EXPECT_EQ(creators->begin()->first, "AIScript");
    EXPECT_EQ(creators->rbegin()->first, "WinOnCollisionScript");
    // "DialogueT2Scripts" is what two classes' GetName says; as a file name it makes no script.
    Entity* misnamed = MakeScripted("Trigger", "DialogueT2Scripts");
    EXPECT_EQ(ScriptSystem::GetInstance()->GetScript(misnamed->id), nullptr);
    EXPECT_TRUE(misnamed->in_systems) << "the entity itself loads";
}

// The inspector's script combo stores a script without Init; a play then runs it as it is, and the
// scene's end destroys it. No class may fall over a member Init would have set.
TEST_F(ScriptHelpersTest, EveryClassRunsAndIsDestroyedSafelyWithoutItsInit)
{
    ScriptSystem* scripts = ScriptSystem::GetInstance();
    std::vector<std::string> names;
    for (const auto& [name, creator] : *scripts->GetScriptCreators()) names.push_back(name);
    Entity* other = MakeInScene("Player", TAG_PLAYER, Vec3(), Vec3(1.0f, 1.0f, 1.0f));
    for (const std::string& name : names) {
        // A script may remove its own entity: it is looked up again after every step.
        const uint64_t id = MakeScripted("Uninitialised_" + name, "")->id;
        ASSERT_TRUE(scripts->AddScript(id, name)) << name;
        Frame();
        KeyDown(13);
        auto script = scripts->GetScript(id);
        if (Entity* entity = FindLiveEntity(id); entity && script) script->OnCollision(entity, other);
        Frame();
        DestroyEntity(FindLiveEntity(id));
        Frame();
    }
    SUCCEED() << names.size() << " classes";
}

TEST_F(ScriptHelpersTest, APausedSceneRunsOnlyTheMenuClasses)
{
    auto with_sprite = [](Entity* entity) { entity->AddComponent(SPRITE, std::make_shared<Sprite>()); };
    Entity* walker = MakeScripted("R_Walker", "MainMenuWalking");
    Entity* fade = MakeScripted("FadeIn", "FadeInScript", Vec3(), Vec3(1.0f, 1.0f, 1.0f), with_sprite);
    Entity* pause = MakeScripted("Pause_bg", "PauseMenuScript");
    Entity* intro = MakeScripted("BG", "BypassIntroScript");
    OrvStateMachine->paused = true;
    Frame(0.1f);
    EXPECT_NEAR(TransformOf(walker)->position.x, 0.002f, 1e-6f) << "the walker walks";
    EXPECT_FLOAT_EQ(ScriptOf<FadeInScript>(fade)->alpha, 1.0f) << "the fade waits";
    EXPECT_TRUE(pause->active) << "the pause menu shows";
    KeyDown(27);
    EXPECT_EQ(OrvStateMachine->next_state, "") << "the intro skip hears nothing";
    OrvStateMachine->paused = false;
    Frame(0.1f);
    EXPECT_FALSE(pause->active);
    EXPECT_LT(ScriptOf<FadeInScript>(fade)->alpha, 1.0f);
    KeyDown(27);
    EXPECT_EQ(OrvStateMachine->next_state, "MainMenuScene");
    (void)intro;
}

} // namespace
