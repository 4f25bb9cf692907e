// Chapter 1's level on the real engine and the shipped resources, entered directly: offscreen video,
// the disk audio driver, a scripted event source and a fixed frame time. Ilo walks right with the
// camera on him, casts an attack spell that flies out of view, calls Dora back with DOWN (the
// cooldown text shows), and the kill-player debug key leads to the lose scene.
#include "GameBot.h"

#include "Components/Sprite.h"
#include "Components/Text.h"
#include "Components/Transform.h"
#include "Factory/Entity.h"
#include "Logic/AIMovement.h"

#include <algorithm>

using namespace OrvEngine;
using namespace OrvTest;

namespace {

constexpr double kFrameTime = 1.0 / 30.0;
constexpr uint64_t kKeyD = 'D';

// What the scripted player did and saw, by frame of the level.
struct LevelRun {
    int level_frame = 0;
    std::vector<std::string> scenes;
    Vec3 player_start, player_walked, cam_walked;
    float dora_gap_before_recall = 0.0f, dora_gap_after_recall = 0.0f;
    int dora_state_after_press = -1;
    bool down_key_dimmed = false;
    bool timer_shown = false;
    std::string timer_text;
    int spells_seen = 0;
    float spell_start_x = 0.0f, spell_furthest_x = 0.0f;
    bool spell_gone = false;

    void RecordScene()
    {
        const std::string name = CurrentSceneName();
        if (!name.empty() && (scenes.empty() || scenes.back() != name)) scenes.push_back(name);
    }

    void WatchSpell()
    {
        const auto spells = EntitiesNamed("IloAttackSpell");
        if (!spells.empty()) {
            const float x = spells.front()->GetComponent<Transform>(TRANSFORM)->position.x;
            if (spells_seen == 0) spell_start_x = x;
            spells_seen = std::max<int>(spells_seen, static_cast<int>(spells.size()));
            spell_furthest_x = std::max(spell_furthest_x, x);
        } else if (spells_seen > 0) {
            spell_gone = true;
        }
    }

    void Step()
    {
        RecordScene();
        if (CurrentSceneName() != "GameScene_01") return;
        const int f = level_frame++;
        if (f == 1) PressKey(Platform::VK_F11_KEY); // the configured 1280 x 720 window, for the pictures
        if (f >= 70) WatchSpell();
        if (f == 5) player_start = PositionOf("Player");
        if (f >= 5 && f < 65) KeyDown(kKeyD); // held: the key repeats
        if (f == 65) KeyUp(kKeyD);
        if (f == 68) {
            player_walked = PositionOf("Player");
            cam_walked = PositionOf("Cam");
            PressKey(Platform::VK_UP_KEY);
        }
        if (f == 80) SaveScreenshot("level_ilo_and_dora"); // Ilo casting, Dora beside him, the HUD
        if (f == 150) {
            dora_gap_before_recall = PositionOf("Dora").x - PositionOf("Player").x;
            LiveEntity("Dora")->GetComponent<Transform>(TRANSFORM)->position.x -= 4.0f; // left well behind
            dora_gap_before_recall -= 4.0f;
        }
        if (f == 151) PressKey(Platform::VK_DOWN_KEY);
        if (f == 152) RecordRecall();
        if (f == 200) dora_gap_after_recall = PositionOf("Dora").x - PositionOf("Player").x;
        if (f == 205) ShiftChord('L');
    }

    void RecordRecall()
    {
        dora_state_after_press = LiveEntity("Dora")->GetComponent<AIMovement>(AIMOVEMENT)->state;
        down_key_dimmed = LiveEntity("ArrowKeysUI_Down")->GetComponent<Sprite>(SPRITE)->is_tinted;
        Entity* timer = LiveEntity("TP_SkillCD_Timer");
        timer_shown = timer->active;
        timer_text = timer->GetComponent<Text>(TEXT)->GetText();
    }
};

class LevelEndToEndTest : public GameEndToEndTest {
protected:
    void SetUp() override
    {
        GameEndToEndTest::SetUp();
        AddBareSceneWhenMissing("GameScene_03"); // the lose scene
        PlayInASmallWindow();
    }
};

TEST_F(LevelEndToEndTest, IloWalksCastsCallsDoraBackAndTheKillKeyLeadsToTheLoseScene)
{
    StartScene = "GameScene_01";
    LevelRun run;
    StdoutCapture console;
    // Bounded: the lose scene ends the run; a run that never gets there stops here and fails.
    EXPECT_EQ(RunFrames(
                  [&] {
                      run.Step();
                      if (run.scenes.size() > 1) Platform::PushMessage({Platform::WM_CLOSE_MSG, 0, 0});
                  },
                  600, kFrameTime),
              0);
    const std::string printed = console.Take();

    EXPECT_EQ(run.scenes, (std::vector<std::string>{"GameScene_01", "GameScene_03"}));
    // Two seconds of D.
    EXPECT_GT(run.player_walked.x - run.player_start.x, 5.0f);
    EXPECT_NEAR(run.player_walked.y, run.player_start.y, 1e-3f);
    EXPECT_NEAR(run.cam_walked.x, run.player_walked.x, 1e-3f) << "the camera follows Ilo";

    EXPECT_EQ(run.spells_seen, 1) << "one attack spell per cast";
    EXPECT_GT(run.spell_start_x, run.player_walked.x);
    EXPECT_GT(run.spell_furthest_x, run.player_walked.x + 7.0f) << "it flew to the edge of the view";
    EXPECT_TRUE(run.spell_gone) << "and was removed once out of view";

    EXPECT_TRUE(Contains(printed, "DOWN KEY PRESSED"));
    EXPECT_EQ(run.dora_state_after_press, COMPANION_RECALLED);
    EXPECT_LT(run.dora_gap_before_recall, -4.0f);
    EXPECT_NEAR(run.dora_gap_after_recall, 0.0f, 0.6f) << "Dora stands beside Ilo again";
    EXPECT_TRUE(run.down_key_dimmed);
    EXPECT_TRUE(run.timer_shown);
    // The seconds left as %f writes them, counting down from 5 since the press.
    ASSERT_EQ(run.timer_text.size(), 8u) << run.timer_text;
    EXPECT_EQ(run.timer_text.find('.'), 1u) << run.timer_text;
    EXPECT_GE(std::stof(run.timer_text), 4.9f);
    EXPECT_LE(std::stof(run.timer_text), 5.0f);

    EXPECT_TRUE(Contains(LogText(), "Kill player cheat"));
    EXPECT_TRUE(Contains(LogText(), "Changed scene to GameScene_03"));
}

} // namespace
