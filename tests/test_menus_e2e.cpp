// The menus played end to end on the shipped resources (GameRunFixture.h): the intro skipped with
// Escape, the options' music toggle silencing the sound output, how to play and back, and the exit
// box closed by No and by Escape before its Yes ends the run.
#include "GameRunFixture.h"

#include "Audio/AudioSystem.h"
#include "Components/Sprite.h"

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

std::string TextureOf(const std::string& entity)
{
    Entity* found = LiveEntity(entity);
    auto sprite = found ? found->GetComponent<Sprite>(SPRITE) : nullptr;
    return sprite ? sprite->tex_identifier : std::string();
}

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
    player.WaitForScene("MainMenuScene", 25);
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

} // namespace
