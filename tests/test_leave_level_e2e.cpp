// Leaving a level at any moment, by any way, and playing again: nothing the level had under way (a
// dialogue line, a story picture, a purification, the boss fight, the pause) may hold the next
// game. Each run is the real engine on the shipped data (GameRunFixture.h).
#include "GameBot.h"

#include "CoreEngine/Globals.h"
#include "Scripts/Boss/BossScript.h"

#include <functional>

using namespace OrvEngine;
using namespace OrvTest;

namespace {

void ClickOn(const std::string& name)
{
    const Vec3 at = PositionOf(name);
    ClickWorld(at.x, at.y);
}

HeldKeys& Held()
{
    static HeldKeys held;
    return held;
}

enum class Way { PauseMenu, Death, Retry };

struct Case {
    const char* name;
    const char* level;
    // Brings the level to its moment; done once `reached` holds.
    std::function<void(ScriptedPlayer&)> reach;
    Way way;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

bool PictureUp()
{
    Entity* picture = LiveEntity("Story3NPics_Cut");
    auto sprite = picture ? picture->GetComponent<Sprite>(SPRITE) : nullptr;
    return sprite && sprite->GetTintColor().w > 0.99f;
}

void WalkUntil(ScriptedPlayer& player, std::function<bool()> moment)
{
    player.Do([] { Held().Hold('D', true); });
    player.WaitUntil(moment, 400);
    player.Do([] { Held().Hold('D', false); });
}

// Past the barrier, a few steps before the story's trigger.
void BeforeThePictures(ScriptedPlayer& player)
{
    player.Do([] {
        MoveTo("Player", 95.5f, -2.4f);
        MoveTo("Dora", 94.8f, -2.9f);
    });
}

void IntoTheArena(ScriptedPlayer& player)
{
    player.Do([] {
        MoveTo("Player", 105.0f, -2.4f);
        MoveTo("Dora", 104.0f, -2.9f);
        ShiftChord('G');
    });
}

const Case kCases[] = {
    {"TutorialDialogueLine", "GameScene_22", [](ScriptedPlayer& p) { WalkUntil(p, [] { return DialogueIsRunning; }); },
     Way::PauseMenu},
    {"TutorialDialogueLineThenRetry", "GameScene_22",
     [](ScriptedPlayer& p) { WalkUntil(p, [] { return DialogueIsRunning; }); }, Way::Retry},
    {"ChapterOneStoryPicture", "GameScene_01",
     [](ScriptedPlayer& p) {
         BeforeThePictures(p);
         WalkUntil(p, PictureUp);
     },
     Way::PauseMenu},
    {"ChapterOnePurification", "GameScene_01",
     [](ScriptedPlayer& p) {
         IntoTheArena(p);
         p.Do([] { ShiftChord('K'); });
         auto tries = std::make_shared<int>(0);
         p.Then([tries] {
             if (IsPurifying) return true;
             if (++*tries % 10 == 1) PressKey(Platform::VK_SPACE_KEY);
             return *tries > 100;
         });
     },
     Way::Death},
    {"ChapterOneBossFight", "GameScene_01",
     [](ScriptedPlayer& p) {
         IntoTheArena(p);
         p.WaitFrames(120);
     },
     Way::PauseMenu},
};

class LeaveLevelTest : public GameEndToEndTest, public ::testing::WithParamInterface<Case> {
protected:
    LeaveLevelTest() : GameEndToEndTest(false) {}

    void SetUp() override
    {
        GameEndToEndTest::SetUp();
        PlayInASmallWindow();
        Held() = HeldKeys();
    }
};

// Escape, Main Menu, Yes: the main menu.
void LeaveThroughThePauseMenu(ScriptedPlayer& player)
{
    player.Do([] { PressKey(Platform::VK_ESCAPE_KEY); });
    player.WaitFrames(2);
    player.Do([] { ClickOn("ExitToMainMenu"); });
    player.WaitFrames(25); // the box's buttons answer after a second
    player.Do([] { ClickOn("ExitWarningBoxYes"); });
}

// Ilo or Dora dies: the lose screen, then Retry or the main menu once it has faded in.
void LeaveByDying(ScriptedPlayer& player, const char* button)
{
    player.Do([] { OrvStateMachine->next_state = "GameScene_03"; });
    player.WaitForScene("GameScene_03", 35);
    player.Do([button] { ClickOn(button); });
}

TEST_P(LeaveLevelTest, TheNextGamePlays)
{
    const Case& c = GetParam();
    StartScene = c.level;
    ScriptedPlayer player;
    bool reached_dialogue = false, reached_purifying = false, reached_picture = false;
    std::string replayed;
    float walked = 0.0f;
    bool dialogue_after = true, purifying_after = true, paused_after = true;

    EnterLevel(player, c.level);
    c.reach(player);
    player.Do([&] {
        reached_dialogue = DialogueIsRunning;
        reached_purifying = IsPurifying;
        reached_picture = PictureUp();
    });
    if (c.way == Way::PauseMenu) LeaveThroughThePauseMenu(player);
    if (c.way == Way::Death) LeaveByDying(player, "MainMenuButton");
    if (c.way == Way::Retry) LeaveByDying(player, "RetryButton");
    if (c.way != Way::Retry) {
        player.WaitForScene("MainMenuScene", 35);
        player.Do([] { ClickOn("PlayButton"); });
    }
    const std::string next = c.way == Way::Retry ? c.level : "GameScene_22";
    EnterLevel(player, next);
    player.Do([&] {
        replayed = CurrentSceneName();
        dialogue_after = DialogueIsRunning;
        purifying_after = IsPurifying;
        paused_after = OrvStateMachine->paused;
        walked = PositionOf("Player").x;
        Held().Hold('D', true);
    });
    player.WaitFrames(15);
    player.Do([&] {
        walked = PositionOf("Player").x - walked;
        Held().Hold('D', false);
        Platform::PushMessage({Platform::WM_CLOSE_MSG, 0, 0});
    });

    StdoutCapture console;
    EXPECT_EQ(RunFrames(
                  [&] {
                      Held().Repeat();
                      player.Frame();
                  },
                  2500),
              0);

    const std::string printed = console.Take();
    EXPECT_TRUE(player.Finished()) << "stopped at step " << player.StepReached();
    EXPECT_FALSE(Contains(printed, "Invalid entity pointer")) << "every bar found the entity it names";
    const std::string name = c.name;
    EXPECT_TRUE(reached_dialogue || name.find("Dialogue") == std::string::npos) << "a line was up";
    EXPECT_TRUE(reached_purifying || name.find("Purification") == std::string::npos) << "a purification ran";
    EXPECT_TRUE(reached_picture || name.find("Picture") == std::string::npos) << "a picture was up";
    EXPECT_EQ(replayed, next);
    EXPECT_FALSE(dialogue_after);
    EXPECT_FALSE(purifying_after);
    EXPECT_FALSE(paused_after);
    EXPECT_GT(walked, 1.0f) << "Ilo walks in the game played next";
}

INSTANTIATE_TEST_SUITE_P(Moments, LeaveLevelTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

} // namespace
