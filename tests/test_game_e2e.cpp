// The real engine on the shipped resources, in-process (GameRunFixture.h). This run lets the intro
// play out by its timers into the main menu at a 4:3 window, checks the menu on screen and its
// music, toggles fullscreen, walks the selection and quits through the exit box's Yes. Also: how far
// the loop runs ahead of the driver, and a first run with files missing.
#include "GameRunFixture.h"

#include <algorithm>
#include <deque>
#include <map>

using namespace OrvEngine;
using namespace OrvTest;

namespace {

TEST_F(GameEndToEndTest, IntroPlaysOutByItsTimersIntoTheMenuWhereTheExitBoxsYesEndsTheRun)
{
    // A 4:3 window: the menu still fills it, and its hint text is scaled from 1920x1080.
    WriteData("config.json", R"({"Name": "OrvEngine", "Height": 768, "Width": 1024})");
    ScriptedPlayer player;
    std::vector<Rgb> menu_pixels;
    std::vector<std::string> selections;
    uint64_t fullscreen_width = 0, windowed_width = 0, restored_width = 0;
    int music_loudness = 0;
    size_t box_buttons = 0;

    player.WaitForScene("MainMenuScene", 35); // past the fade-in; the buttons answer by now
    player.Do([&] {
        WindowsSystems* window = WindowsSystems::GetInstance();
        const int w = static_cast<int>(window->width), h = static_cast<int>(window->height);
        // The top row, the logo, the highlighted Play button, a bottom corner.
        menu_pixels = {ReadFramePixel(w / 2, h - 1), ReadFramePixel(10, h - 1), ReadFramePixel(w / 2, h * 3 / 4),
                       ReadFramePixel(w / 2, static_cast<int>(h * 0.467)), ReadFramePixel(20, 20)};
        fullscreen_width = window->width;
        SaveScreenshot("main_menu");
        PressKey(Platform::VK_F11_KEY);
    });
    player.Do([&] {
        windowed_width = WindowsSystems::GetInstance()->width;
        PressKey(Platform::VK_F11_KEY);
    });
    player.Do([&] {
        restored_width = WindowsSystems::GetInstance()->width;
        music_loudness = LoudestOverTheNext(400);
    });
    for (int i = 0; i < 3; ++i) {
        player.Do([&] {
            selections.push_back(SelectedButton());
            PressKey(Platform::VK_DOWN_KEY);
        });
    }
    player.Do([&] {
        selections.push_back(SelectedButton());
        PressKey(Platform::VK_RETURN_KEY);
    });
    player.WaitFrames(2);
    player.Do([&] { box_buttons = NavigableButtons().size(); });
    player.WaitFrames(25); // Yes, the box's first button, answers after its second
    player.Do([] { PressKey(Platform::VK_RETURN_KEY); });

    StdoutCapture console;
    const int result = RunGame(player);
    const std::string printed = console.Take();

    EXPECT_EQ(result, 0);
    EXPECT_TRUE(player.Finished()) << "stopped at step " << player.StepReached();
    EXPECT_EQ(player.scenes, (std::vector<std::string>{"SplashScene_00", "SplashScene_01", "SplashScene_02", "SplashScene_03",
                                                       "SplashScene_04", "SplashScene_05", "MainMenuScene"}));
    EXPECT_EQ(selections, (std::vector<std::string>{"PlayButton", "HowToPlayButton", "OptionsButton", "ExitButton"}));
    EXPECT_EQ(box_buttons, 2u) << "only Yes and No while the box is open";
    ASSERT_EQ(menu_pixels.size(), 5u);
    for (const Rgb& pixel : menu_pixels) {
        EXPECT_FALSE(IsClearColour(pixel)) << "the menu fills the window";
        EXPECT_FALSE(IsWhite(pixel)) << "the menu fills the window";
    }
    EXPECT_GT(menu_pixels[3].r, 200) << "Play is highlighted (yellow)";
    EXPECT_GT(menu_pixels[3].g, 200);
    EXPECT_LT(menu_pixels[3].b, 80);
    EXPECT_EQ(fullscreen_width, 1024u);
    EXPECT_EQ(windowed_width, 1024u) << "F11 leaves fullscreen for the configured size";
    EXPECT_EQ(restored_width, fullscreen_width);
    EXPECT_GT(music_loudness, 1000) << "the menu music reached the sound output";

    const std::string log = LogText();
    for (const char* line : {"Changed scene to SplashScene_00", "Changed scene to SplashScene_05",
                             "Changed scene to MainMenuScene", "Exiting game loop", "Destroyed Windows system",
                             "Destroyed FPS system"}) {
        EXPECT_TRUE(Contains(log, line)) << line;
    }
    EXPECT_TRUE(Contains(printed, "Button Clicked: ExitWarningBoxYes"));
    const std::string config = ReadData("config.json");
    EXPECT_TRUE(Contains(config, "\"Width\": 1024")) << config;
    EXPECT_TRUE(Contains(config, "\"Height\": 768")) << config;
}

// A software driver draws on threads of its own and keeps the memory of each frame queued to it
// until its threads get round to it: a game that queued frames faster than they were drawn held
// more and more of it. At the start of each frame of a busy level, no frame older than the one
// just swapped may still be drawing.
TEST_F(GameEndToEndTest, NoFrameStartsWhileAnOlderOneIsStillBeingDrawn)
{
    StartScene = "GameScene_01";
    std::deque<GLsync> fences;
    size_t most_behind = 0;
    int fenced = 0;
    const int result = RunFrames(
        [&] {
            if (!Graphics::IsGLReady()) return;
            while (!fences.empty() && glClientWaitSync(fences.front(), 0, 0) != GL_TIMEOUT_EXPIRED) {
                glDeleteSync(fences.front());
                fences.pop_front();
            }
            most_behind = std::max(most_behind, fences.size());
            fences.push_back(glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0));
            ++fenced;
        },
        240, 1.0 / 60.0);
    EXPECT_EQ(result, 0);
    EXPECT_GT(fenced, 200);
    EXPECT_LE(most_behind, 1u) << "frames queued while older ones were still being drawn";
}

// The game as a newcomer first runs it: a picture missing, another one broken, a stray file among
// the pictures and no sound folder at all. Every problem is told, never per frame: a picture once
// by name, a sound by each call that meets it, the stray file by one warning.
class FirstRunTest : public GameEndToEndTest {
protected:
    FirstRunTest() : GameEndToEndTest(false) {}

    void SetUp() override
    {
        GameEndToEndTest::SetUp();
        const fs::path art = Root() / "Resources" / "ArtAssets";
        fs::remove(Root() / "Resources" / "Sounds");
        fs::remove(art);
        fs::create_directories(art);
        for (const auto& entry : fs::directory_iterator(SourceDir() / "Resources" / "ArtAssets")) {
            const std::string name = entry.path().filename().string();
            if (name != "UI_Title_Logo.png" && name != "UI_Btn_Quit.png") fs::create_symlink(entry.path(), art / name);
        }
        WriteFile(art / "UI_Btn_Quit.png", std::string("\x89PNG\r\n\x1a\n", 8) + std::string(64, 'x'));
        WriteFile(art / "notes.txt", "not a picture");
    }
};

TEST_F(FirstRunTest, EveryMissingOrBrokenFileIsNamedAndNothingRepeatsEveryFrame)
{
    int frame = 0;
    StartScene = "MainMenuScene";

    StdoutCapture console;
    EXPECT_EQ(RunFrames([&] { ++frame; }, 199), 0);
    const std::string printed = console.Take();
    EXPECT_EQ(frame, 200);

    const std::string log = LogText();
    EXPECT_EQ(Occurrences(log, "No texture 'UI_Title_Logo': ../Resources/ArtAssets/UI_Title_Logo.png not found"), 1u);
    const std::string broken = "Image failed to load! \n[TextureManager::LoadTexture] "
                               "../Resources/ArtAssets/UI_Btn_Quit.png could not be read\n";
    EXPECT_EQ(Occurrences(log, broken), 1u);
    EXPECT_EQ(Occurrences(printed, broken), 1u);
    EXPECT_EQ(Occurrences(log, "Image failed to load! "), 1u);
    EXPECT_EQ(Occurrences(printed, "that is not a png was found"), 1u) << "one warning for the stray file";
    EXPECT_EQ(Occurrences(log, "notes.txt"), 0u) << "and nothing else";
    // The missing music is named in the audio lines' own words by each call that meets it: adding
    // it to the scene's entity, and the menu script's look-up.
    EXPECT_EQ(Occurrences(log, "BGM_Main"), 6u) << "no line for the missing music repeats";
    EXPECT_EQ(Occurrences(log, "[AudioSystem::GetFilenameFromEvent] Error: event 'BGM_Main' not found in EventsFilenameMap!\n"), 3u);
    EXPECT_EQ(Occurrences(log, "[AudioSystem::LoadSound] event 'BGM_Main' could not be found!\n"), 1u);
    EXPECT_EQ(Occurrences(log, "[AudioSystem::GetSoundPtr] event 'BGM_Main' could not be found!\n"), 1u);
    EXPECT_EQ(Occurrences(log, "[Audio::GetSoundFromFilename] Error: could not find sound with filename ' BGM_Main.ogg'!\n"), 1u);
    // A line written every frame would be there 200 times; the audio lines come once per call,
    // three for each entity that adds a missing sound.
    std::map<std::string, int> repeats;
    for (const std::string& line : Lines(log)) ++repeats[line];
    for (const auto& [line, times] : repeats) EXPECT_LT(times, 100) << "repeated: " << line;
}

} // namespace
