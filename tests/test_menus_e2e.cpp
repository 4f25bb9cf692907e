// The menus played end to end on the shipped resources (GameRunFixture.h): the intro skipped with
// Escape, the options' music toggle silencing the sound output, how to play and back, and the exit
// box closed by No and by Escape before its Yes ends the run; the lose and victory screens, which
// answer only once they have faded in, only to keys pressed after that, and never pause.
#include "GameBot.h"

#include "Audio/AudioSystem.h"

#include <functional>
#include <memory>
#include <set>

using namespace OrvEngine;
using namespace OrvTest;

namespace {

struct TourRecord {
    int menu_loudness = 0;
    int muted_loudness = -1;
    std::string bgm_tick_after_toggle;
    float stored_music_volume = -1.0f;
    std::vector<std::string> box_buttons;
    std::vector<std::string> buttons_after_no;
    std::string selection_moved_to;
    std::vector<std::string> buttons_after_escape;
    bool box_gone_after_no = false;
    bool box_gone_after_escape = false;
};

bool BoxIsShown() { return LiveEntity("ExitWarningBoxMain") || LiveEntity("ExitWarningBoxNo"); }

// Moves the selection down from the top `steps` times, then presses Enter.
void ChooseFromTop(ScriptedPlayer& player, int steps)
{
    for (int i = 0; i < steps; ++i) player.Do([] { PressKey(Platform::VK_DOWN_KEY); });
    player.Do([] { PressKey(Platform::VK_RETURN_KEY); });
}

class MenuTourTest : public GameEndToEndTest {
protected:
    void OptionsAndBack(ScriptedPlayer& player, TourRecord& record);
    void HowToPlayAndBack(ScriptedPlayer& player, TourRecord& record);
    void QuitNoEscapeYes(ScriptedPlayer& player, TourRecord& record);
};

void MenuTourTest::OptionsAndBack(ScriptedPlayer& player, TourRecord& record)
{
    player.WaitForScene("MainMenuScene", 35);
    player.Do([&, this] { record.menu_loudness = LoudestOverTheNext(400); });
    ChooseFromTop(player, 2);
    player.WaitForScene("GameScene_04", 25);
    player.Do([] { PressKey(Platform::VK_RETURN_KEY); }); // the music toggle is selected first
    player.WaitFrames(2);
    player.Do([&] {
        record.bgm_tick_after_toggle = TextureOf("ToggleMuteBGM");
        record.stored_music_volume = AudioSystem::GetInstance()->GetBGMVolume();
        SaveScreenshot("options_menu");
    });
    ChooseFromTop(player, 2); // Back
}

void MenuTourTest::HowToPlayAndBack(ScriptedPlayer& player, TourRecord& record)
{
    player.WaitForScene("MainMenuScene", 35);
    player.Do([&, this] { record.muted_loudness = LoudestOverTheNext(400); });
    ChooseFromTop(player, 1);
    player.WaitForScene("HowToPlayScene", 25);
    player.Do([] { PressKey(Platform::VK_RETURN_KEY); }); // Back, the only button
}

void MenuTourTest::QuitNoEscapeYes(ScriptedPlayer& player, TourRecord& record)
{
    player.WaitForScene("MainMenuScene", 35);
    ChooseFromTop(player, 3);
    player.WaitFrames(2);
    player.Do([&] {
        record.box_buttons = NavigableButtons();
        SaveScreenshot("main_menu_exit_box");
        PressKey(Platform::VK_RIGHT_KEY);
    });
    player.Do([] { PressKey(Platform::VK_RETURN_KEY); }); // No
    player.WaitFrames(2);
    player.Do([&] {
        record.box_gone_after_no = !BoxIsShown();
        record.buttons_after_no = NavigableButtons();
        PressKey(Platform::VK_DOWN_KEY);
    });
    player.Do([&] { record.selection_moved_to = SelectedButton(); });
    ChooseFromTop(player, 2); // from How to play down to Quit
    player.WaitFrames(2);
    player.Do([] { PressKey(Platform::VK_ESCAPE_KEY); });
    player.WaitFrames(2);
    player.Do([&] {
        record.box_gone_after_escape = !BoxIsShown();
        record.buttons_after_escape = NavigableButtons();
    });
    ChooseFromTop(player, 3);
    player.WaitFrames(25); // Yes answers after its second
    player.Do([] { PressKey(Platform::VK_RETURN_KEY); });
}

TEST_F(MenuTourTest, EscapeSkipsTheIntroAndEveryMenuOfTheTitleScreenWorks)
{
    PlayInASmallWindow();
    ScriptedPlayer player;
    TourRecord record;
    player.WaitForScene("SplashScene_01", 3);
    player.Do([] { PressKey(Platform::VK_ESCAPE_KEY); });
    OptionsAndBack(player, record);
    HowToPlayAndBack(player, record);
    QuitNoEscapeYes(player, record);

    StdoutCapture console;
    const int result = RunGame(player);
    const std::string printed = console.Take();

    EXPECT_EQ(result, 0);
    EXPECT_TRUE(player.Finished()) << "stopped at step " << player.StepReached();
    EXPECT_EQ(player.scenes, (std::vector<std::string>{"SplashScene_00", "SplashScene_01", "MainMenuScene", "GameScene_04",
                                                       "MainMenuScene", "HowToPlayScene", "MainMenuScene"}));
    EXPECT_GT(record.menu_loudness, 1000) << "the menu music plays";
    EXPECT_EQ(record.bgm_tick_after_toggle, "BGMUntick");
    EXPECT_EQ(record.stored_music_volume, 0.0f);
    EXPECT_LT(record.muted_loudness, 50) << "muted music is silent back in the menu";
    EXPECT_EQ(record.box_buttons, (std::vector<std::string>{"ExitWarningBoxYes", "ExitWarningBoxNo"}));
    const std::vector<std::string> menu = {"PlayButton", "HowToPlayButton", "OptionsButton", "ExitButton"};
    EXPECT_TRUE(record.box_gone_after_no);
    EXPECT_EQ(record.buttons_after_no, menu);
    EXPECT_EQ(record.selection_moved_to, "HowToPlayButton") << "the menu is navigable again";
    EXPECT_TRUE(record.box_gone_after_escape);
    EXPECT_EQ(record.buttons_after_escape, menu);
    EXPECT_TRUE(Contains(printed, "Button Clicked: ExitWarningBoxYes"));
    EXPECT_TRUE(Contains(LogText(), "Exiting game loop"));
}

// ---- The result screens ------------------------------------------------------------------------

// Runs `each` once a frame for `frames` frames.
void EveryFrame(ScriptedPlayer& player, int frames, std::function<void(int)> each)
{
    auto frame = std::make_shared<int>(0);
    player.Then([frames, each, frame] {
        each(*frame);
        return ++*frame >= frames;
    });
}

struct LoseRecord {
    std::set<std::string> selected_while_fading, scenes_while_fading;
    bool paused_while_fading = false, faded_in = false;
    std::string selected_after_fade;
    bool paused_after_escape = true;
    std::string selected_after_down, selected_after_up;
};

class ResultScreenTest : public GameEndToEndTest {};

// Ilo dies walking right (D held, its key-down repeating) in chapter 1. While the lose screen fades
// in, D is let go and pressed again, Right is tapped, Enter pressed, Main Menu clicked, and Escape
// pressed (in its first frame too): none of it may act. Once it has faded in, the held D still does
// nothing, Escape does not pause it, and the menu answers keys pressed then: Retry replays the level.
TEST_F(ResultScreenTest, TheLoseScreenIgnoresEscapeAndEveryKeyFromBeforeItShowedThenRetries)
{
    PlayInASmallWindow();
    StartScene = "GameScene_01";
    ScriptedPlayer player;
    LoseRecord record;
    player.WaitForScene("GameScene_01", 35);
    EveryFrame(player, 10, [](int frame) {
        KeyDown('D');
        if (frame == 9) ShiftChord('L');
    });
    player.Then([] {
        KeyDown('D');
        return CurrentSceneName() == "GameScene_03";
    });
    // The fade takes about 29 frames; the buttons' own one-second wait is over from frame 20.
    EveryFrame(player, 40, [&record](int frame) {
        KeyDown('D');
        if (frame == 0) PressKey(Platform::VK_ESCAPE_KEY);
        if (frame == 4) PressKey(Platform::VK_RIGHT_KEY);
        if (frame == 6) KeyUp('D'); // and down again on the next frame
        if (frame == 15) PressKey(Platform::VK_ESCAPE_KEY);
        if (frame == 22) PressKey(Platform::VK_RETURN_KEY);
        if (frame == 24) ClickWorld(2.0f, 1.6f); // Main Menu
        if (frame < 27) {
            record.selected_while_fading.insert(SelectedButton());
            record.scenes_while_fading.insert(CurrentSceneName());
            record.paused_while_fading = record.paused_while_fading || OrvStateMachine->paused;
        }
    });
    player.Do([&] {
        record.faded_in = FadedIn();
        record.selected_after_fade = SelectedButton();
        PressKey(Platform::VK_ESCAPE_KEY);
        KeyUp('D');
    });
    player.Do([&] {
        record.paused_after_escape = OrvStateMachine->paused;
        PressKey(Platform::VK_DOWN_KEY);
    });
    player.Do([&] {
        record.selected_after_down = SelectedButton();
        PressKey(Platform::VK_UP_KEY);
    });
    player.Do([&] {
        record.selected_after_up = SelectedButton();
        PressKey(Platform::VK_RETURN_KEY);
    });
    player.WaitForScene("GameScene_01", 2);
    player.Do([] { Platform::PushMessage({Platform::WM_CLOSE_MSG, 0, 0}); });

    EXPECT_EQ(RunGame(player, 600), 0);

    EXPECT_TRUE(player.Finished()) << "stopped at step " << player.StepReached();
    EXPECT_EQ(player.scenes, (std::vector<std::string>{"GameScene_01", "GameScene_03", "GameScene_01"}));
    EXPECT_EQ(record.selected_while_fading, (std::set<std::string>{"RetryButton"}));
    EXPECT_EQ(record.scenes_while_fading, (std::set<std::string>{"GameScene_03"}));
    EXPECT_FALSE(record.paused_while_fading) << "a screen without a pause menu is not paused";
    EXPECT_TRUE(record.faded_in);
    EXPECT_EQ(record.selected_after_fade, "RetryButton") << "D, held from the level, moves nothing";
    EXPECT_FALSE(record.paused_after_escape);
    EXPECT_EQ(record.selected_after_down, "MainMenuButton");
    EXPECT_EQ(record.selected_after_up, "RetryButton");
}

// Enter pressed every frame from the epilogue's last line on: the victory screen takes none of
// it while it fades in, and the first press after that continues.
TEST_F(ResultScreenTest, MashingEnterLeavesTheVictoryScreenOnlyOnceItHasFadedIn)
{
    PlayInASmallWindow();
    StartScene = "GameScene_02";
    ScriptedPlayer player;
    bool faded_when_left = false;
    int frames_shown = 0;
    player.WaitForScene("GameScene_02", 0);
    player.Then([&] {
        if (CurrentSceneName() != "GameScene_02") return true;
        faded_when_left = FadedIn();
        ++frames_shown;
        PressKey(Platform::VK_RETURN_KEY);
        return frames_shown > 200;
    });
    player.Do([] { Platform::PushMessage({Platform::WM_CLOSE_MSG, 0, 0}); });

    EXPECT_EQ(RunGame(player, 400), 0);

    EXPECT_EQ(player.scenes, (std::vector<std::string>{"GameScene_02", "GameScene_23"}));
    EXPECT_TRUE(faded_when_left) << "left after " << frames_shown << " frames";
    EXPECT_LT(frames_shown, 35) << "the first press once it shows is taken";
}

} // namespace
