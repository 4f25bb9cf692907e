// The real engine on the shipped resources, in-process: offscreen video, the disk audio driver and
// a scripted event source. It plays the splash chain into the main menu, checks the menu on screen
// and its music, toggles fullscreen, moves the selection and quits with Enter.
#include "TestSupport.h"
#include "GLTestSupport.h"

#include "Components/Button.h"
#include "CoreEngine/Engine.h"
#include "Factory/Entity.h"
#include "Scene/IScene.h"

#include <GL/glew.h>

#include <array>
#include <map>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

using namespace OrvEngine;

namespace {

namespace fs = OrvTest::fs;

struct Rgb {
    int r = 0, g = 0, b = 0;
};

// The colour of the last presented frame at window pixel (x, y) from the bottom-left.
Rgb ReadFramePixel(int x, int y)
{
    unsigned char p[4] = {0, 0, 0, 0};
    glReadBuffer(GL_BACK);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    return {p[0], p[1], p[2]};
}

bool IsClearColour(const Rgb& c) { return c.r < 8 && std::abs(c.g - 128) < 8 && std::abs(c.b - 128) < 8; }

std::string CurrentScene()
{
    auto scene = OrvStateMachine ? OrvStateMachine->GetCurrentScene() : nullptr;
    return scene ? scene->GetSceneName() : std::string();
}

std::string SelectedButton()
{
    auto selected = ButtonSystem::GetInstance()->selected;
    return selected && selected->owner ? selected->owner->GetName() : std::string();
}

void Key(uint32_t message, uint64_t key) { Platform::PushMessage({message, key, 0}); }

// What the scripted player saw and did, frame by frame.
struct Script {
    int frame = 0;
    int menu_frames = 0;
    std::vector<std::string> scenes;
    std::vector<std::string> selections;
    std::array<Rgb, 3> menu_pixels{};
    uint64_t fullscreen_width = 0;
    uint64_t windowed_width = 0;
    uint64_t restored_width = 0;

    void RecordScene()
    {
        const std::string scene = CurrentScene();
        if (!scene.empty() && (scenes.empty() || scenes.back() != scene)) scenes.push_back(scene);
    }

    // Called once per frame, at the start of the window system's pump.
    void Step()
    {
        // Driver modules stay mapped, so leak reports can name (and suppress) them.
        if (++frame == 1) OrvTest::PinLoadedLibraries();
        RecordScene();
        if (CurrentScene() != "MainMenuScene") return;
        WindowsSystems* window = WindowsSystems::GetInstance();
        switch (menu_frames++) {
        case 2:
            // Logo, the highlighted Play button, background.
            OrvTest::SaveScreenshot("main_menu");
            menu_pixels = {ReadFramePixel(static_cast<int>(window->width / 2), static_cast<int>(window->height * 3 / 4)),
                           ReadFramePixel(static_cast<int>(window->width / 2), static_cast<int>(window->height * 0.43)),
                           ReadFramePixel(20, 20)};
            fullscreen_width = window->width;
            Key(Platform::WM_KEYDOWN_MSG, Platform::VK_F11_KEY);
            Key(Platform::WM_KEYUP_MSG, Platform::VK_F11_KEY);
            break;
        case 3:
            windowed_width = window->width;
            Key(Platform::WM_KEYDOWN_MSG, Platform::VK_F11_KEY);
            Key(Platform::WM_KEYUP_MSG, Platform::VK_F11_KEY);
            break;
        case 4:
            restored_width = window->width;
            // Let the music reach the disk driver in real time.
            std::this_thread::sleep_for(std::chrono::milliseconds(600));
            break;
        case 30: // the buttons are ready after a second of game time
        case 31:
            selections.push_back(SelectedButton());
            Key(Platform::WM_KEYDOWN_MSG, Platform::VK_DOWN_KEY);
            Key(Platform::WM_KEYUP_MSG, Platform::VK_DOWN_KEY);
            break;
        case 32:
            selections.push_back(SelectedButton());
            Key(Platform::WM_KEYDOWN_MSG, Platform::VK_RETURN_KEY);
            Key(Platform::WM_CHAR_MSG, 13);
            Key(Platform::WM_KEYUP_MSG, Platform::VK_RETURN_KEY);
            break;
        default:
            break;
        }
    }
};

class GameEndToEndTest : public OrvTest::EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        for (const char* folder : {"ArtAssets", "Sounds", "Shaders", "fonts"}) {
            fs::create_directory_symlink(OrvTest::SourceDir() / "Resources" / folder, Root() / "Resources" / folder);
        }
        fs::remove_all(DataDir());
        fs::copy(OrvTest::SourceDir() / "Resources" / "Data", DataDir(), fs::copy_options::recursive);
        audio_file_ = (Root() / "audio.raw").string();
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", audio_file_.c_str(), 1);
        Platform::UseNullBackend(false);
        SetAssertHandler(nullptr);
    }

    void TearDown() override
    {
        EngineTest::TearDown();
        unsetenv("SDL_VIDEODRIVER");
        unsetenv("SDL_DISKAUDIOFILE");
        setenv("SDL_AUDIODRIVER", "dummy", 1);
    }

    // The largest sample magnitude the disk driver wrote (signed 16-bit stereo).
    int LoudestSample() const
    {
        const std::string raw = OrvTest::ReadFile(audio_file_);
        int loudest = 0;
        for (size_t i = 0; i + 1 < raw.size(); i += 2) {
            const int16_t sample = static_cast<int16_t>(static_cast<uint8_t>(raw[i]) | (static_cast<uint8_t>(raw[i + 1]) << 8));
            loudest = std::max(loudest, std::abs(static_cast<int>(sample)));
        }
        return loudest;
    }

    std::string audio_file_;
};

TEST_F(GameEndToEndTest, SplashChainLeadsToTheMenuWhereEnterOnQuitEndsTheRun)
{
    double now = 0.0;
    Script script;
    Platform::SetClockSource([&] { return now; });
    Platform::SetEventSource([&] {
        now += 0.05;
        script.Step();
        // Bounded: a run that never reaches the quit ends here with a failure.
        if (script.frame > 2000) Platform::PushMessage({Platform::WM_CLOSE_MSG, 0, 0});
    });

    OrvTest::StdoutCapture console;
    const int result = EngineMain(1);
    const std::string printed = console.Take();

    EXPECT_EQ(result, 0);
    EXPECT_LT(script.frame, 2000) << "the run ended by itself";
    EXPECT_EQ(script.scenes,
              (std::vector<std::string>{"SplashScene_00", "SplashScene_01", "SplashScene_05", "MainMenuScene"}));
    EXPECT_EQ(script.selections, (std::vector<std::string>{"PlayButton", "OptionsButton", "QuitButton"}));
    for (const Rgb& pixel : script.menu_pixels) EXPECT_FALSE(IsClearColour(pixel)) << "the menu is drawn";
    EXPECT_GT(script.menu_pixels[1].r, 200) << "Play is highlighted (yellow)";
    EXPECT_GT(script.menu_pixels[1].g, 200);
    EXPECT_LT(script.menu_pixels[1].b, 80);
    EXPECT_EQ(script.windowed_width, 1280u) << "F11 leaves fullscreen for the configured size";
    EXPECT_EQ(script.restored_width, script.fullscreen_width);
    EXPECT_GT(LoudestSample(), 1000) << "the scene music reached the sound output";

    const std::string log = LogText();
    for (const char* line : {"Changed scene to SplashScene_00", "Changed scene to MainMenuScene", "Exiting game loop",
                             "Destroyed Windows system", "Destroyed FPS system"}) {
        EXPECT_TRUE(OrvTest::Contains(log, line)) << line;
    }
    EXPECT_TRUE(OrvTest::Contains(printed, "Button Clicked: QuitButton"));
    const std::string config = ReadData("config.json");
    EXPECT_TRUE(OrvTest::Contains(config, "\"Width\": 1280")) << config;
    EXPECT_TRUE(OrvTest::Contains(config, "\"Height\": 720")) << config;
}

} // namespace

namespace {

// The game as a newcomer first runs it: a picture missing, another one broken, a stray file among
// the pictures and no sound folder at all. Every problem is named once in the log, never per frame.
class FirstRunTest : public OrvTest::EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        const fs::path art = Root() / "Resources" / "ArtAssets";
        fs::create_directories(art);
        for (const auto& entry : fs::directory_iterator(OrvTest::SourceDir() / "Resources" / "ArtAssets")) {
            const std::string name = entry.path().filename().string();
            if (name != "UI_Title_Logo.png" && name != "UI_Btn_Quit.png") fs::create_symlink(entry.path(), art / name);
        }
        OrvTest::WriteFile(art / "UI_Btn_Quit.png", std::string("\x89PNG\r\n\x1a\n", 8) + std::string(64, 'x'));
        OrvTest::WriteFile(art / "notes.txt", "not a picture");
        for (const char* folder : {"Shaders", "fonts"}) {
            fs::create_directory_symlink(OrvTest::SourceDir() / "Resources" / folder, Root() / "Resources" / folder);
        }
        fs::remove_all(DataDir());
        fs::copy(OrvTest::SourceDir() / "Resources" / "Data", DataDir(), fs::copy_options::recursive);
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        Platform::UseNullBackend(false);
        SetAssertHandler(nullptr);
    }

    void TearDown() override
    {
        EngineTest::TearDown();
        unsetenv("SDL_VIDEODRIVER");
    }

    static size_t Count(const std::string& text, const std::string& part)
    {
        size_t n = 0;
        for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
        return n;
    }
};

TEST_F(FirstRunTest, EveryMissingOrBrokenFileIsNamedOnceAndNothingRepeatsEveryFrame)
{
    double now = 0.0;
    int frame = 0;
    Platform::SetClockSource([&] { return now; });
    Platform::SetEventSource([&] {
        now += 0.05;
        if (++frame == 1) OrvTest::PinLoadedLibraries();
        if (frame == 200) Platform::PushMessage({Platform::WM_CLOSE_MSG, 0, 0});
    });
    StartScene = "MainMenuScene";

    OrvTest::StdoutCapture console;
    EXPECT_EQ(EngineMain(1), 0);
    const std::string printed = console.Take();
    EXPECT_EQ(frame, 200);

    const std::string log = LogText();
    EXPECT_EQ(Count(log, "No texture 'UI_Title_Logo': ../Resources/ArtAssets/UI_Title_Logo.png not found"), 1u);
    EXPECT_EQ(Count(log, "Image failed to load! ../Resources/ArtAssets/UI_Btn_Quit.png"), 1u);
    EXPECT_EQ(Count(printed, "Image failed to load! ../Resources/ArtAssets/UI_Btn_Quit.png"), 1u);
    EXPECT_EQ(Count(log, "notes.txt"), 1u) << "the warning about the stray file names it";
    EXPECT_EQ(Count(log, "BGM_Main"), 1u) << "one line for the missing music";
    EXPECT_EQ(Count(log, "filename ' "), 0u) << "no name with a stray leading blank";
    std::map<std::string, int> repeats;
    for (const std::string& line : OrvTest::Lines(log)) ++repeats[line];
    for (const auto& [line, times] : repeats) EXPECT_LT(times, 20) << "repeated: " << line;
}

} // namespace
