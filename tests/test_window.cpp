// The window system under the null backend: "config.json", F11, the title, focus loss and closing.
#include "TestSupport.h"

using namespace OrvEngine;
using namespace OrvTest;

namespace {

class WindowTest : public EngineTest {
protected:
    WindowsSystems* StartWindow()
    {
        WindowsSystems* window = WindowsSystems::GetInstance();
        MakeCoreEngine({window});
        window->Init();
        return window;
    }
    static void Key(uint32_t message, uint64_t key) { Input::Instance().HandleWindowMessage(message, key, 0); }
};

} // namespace

TEST_F(WindowTest, ConfigGivesTitleAndWindowedSizeAndStartsFullscreen)
{
    WriteData("config.json", R"({"Name": "Ilo", "Height": 600, "Width": 1000})");
    WindowsSystems* window = StartWindow();
    EXPECT_EQ(window->title, "Ilo");
    EXPECT_EQ(window->windowed_width, 1000u);
    EXPECT_EQ(window->windowed_height, 600u);
    EXPECT_TRUE(window->fullscreen);
    EXPECT_EQ(Platform::GetWindowTitle(), "Ilo");
    EXPECT_TRUE(Contains(LogText(), "Window created successfully\n"));
}

TEST_F(WindowTest, MissingOrBrokenConfigKeepsTheDefaultsWithALogLine)
{
    struct Case {
        const char* text; // null: no file
        bool read;
        const char* title;
        uint64_t width, height;
        const char* logged;
    } cases[] = {
        {nullptr, false, "OrvEngine", 1280, 720, "Error opening file config.json"},
        {"{\"Name\": \"Ilo\", \"Height\": 6", false, "OrvEngine", 1280, 720, "parse error"},
        {"[1, 2, 3]", false, "OrvEngine", 1280, 720, "not an object"},
        {R"({"Name": 5, "Height": "tall", "Width": 1000})", true, "OrvEngine", 1000, 720, nullptr},
        {R"({"Name": "Ilo", "Height": -600, "Width": 1e12})", true, "Ilo", 1280, 720, nullptr},
        {R"({"Name": "Ilo", "Height": 0, "Width": 640})", true, "Ilo", 1280, 720, "zero window size"},
        {R"({"Width": 640})", true, "OrvEngine", 640, 720, nullptr},
    };
    for (const Case& c : cases) {
        fs::remove(DataDir() / "config.json");
        if (c.text) WriteData("config.json", c.text);
        WindowsSystems::DestroyInstance();
        WindowsSystems* window = WindowsSystems::GetInstance();
        EXPECT_EQ(window->LoadConfig("config"), c.read) << (c.text ? c.text : "no file");
        EXPECT_EQ(window->title, c.title) << (c.text ? c.text : "no file");
        EXPECT_EQ(window->windowed_width, c.width) << (c.text ? c.text : "no file");
        EXPECT_EQ(window->windowed_height, c.height) << (c.text ? c.text : "no file");
        EXPECT_EQ(window->width, c.width);
        if (c.logged) {
            EXPECT_TRUE(Contains(LogText(), c.logged)) << c.logged;
        }
    }
}

TEST_F(WindowTest, ConfigMembersOfTheWrongTypeAreIgnoredWithOneLineEach)
{
    WriteData("config.json", R"({"Name": 42, "Width": "abc", "Height": -5})");
    WindowsSystems* window = WindowsSystems::GetInstance();
    EXPECT_TRUE(window->LoadConfig("config"));
    EXPECT_EQ(window->title, "OrvEngine");
    EXPECT_EQ(window->windowed_width, 1280u);
    EXPECT_EQ(window->windowed_height, 720u);
    std::string log = LogText();
    EXPECT_EQ(Occurrences(log, "config.json: \"Name\" is not a string; it is ignored"), 1u) << log;
    EXPECT_EQ(Occurrences(log, "config.json: \"Width\" is not a whole number of pixels; it is ignored"), 1u);
    EXPECT_EQ(Occurrences(log, "config.json: \"Height\" is not a whole number of pixels; it is ignored"), 1u);

    WriteData("config.json", R"({"Name": "Ilo", "Width": 1280.5, "Height": 600})");
    EXPECT_TRUE(window->LoadConfig("config"));
    EXPECT_EQ(window->windowed_width, 1280u);
    EXPECT_EQ(window->windowed_height, 600u) << "the good members still count";
    log = LogText();
    EXPECT_EQ(Occurrences(log, "is ignored"), 4u) << log;
}

TEST_F(WindowTest, ClosingWritesTheCurrentSizeTheScreensWhileFullscreen)
{
    WriteData("config.json", R"({"Name": "Ilo", "Height": 600, "Width": 800})");
    WindowsSystems* window = StartWindow();
    ASSERT_TRUE(window->fullscreen);
    // As on a real screen: fullscreen at the display's size.
    window->width = 1920;
    window->height = 1080;
    auto close = [window] {
        Platform::PushMessage({Platform::WM_CLOSE_MSG, 0, 0});
        StdoutCapture out;
        window->Update();
    };
    close();
    EXPECT_EQ(ReadData("config.json"), "{\n    \"Name\": \"Ilo\",\n    \"Height\": 1080,\n    \"Width\": 1920\n}");
    // Windowed again at the size read at start-up, which the next close writes.
    Key(Platform::WM_KEYDOWN_MSG, Platform::VK_F11_KEY);
    ASSERT_FALSE(window->fullscreen);
    close();
    EXPECT_EQ(ReadData("config.json"), "{\n    \"Name\": \"Ilo\",\n    \"Height\": 600,\n    \"Width\": 800\n}");
}

TEST_F(WindowTest, ClosingBroadcastsQuitWritesTheConfigAndReleasesRendering)
{
    WindowsSystems* window = StartWindow();
    Platform::PushMessage({Platform::WM_CLOSE_MSG, 0, 0});
    StdoutCapture out;
    window->Update();
    const std::string printed = out.Take();
    EXPECT_FALSE(OrvCoreEngine->running);
    EXPECT_TRUE(Contains(printed, "Exiting game loop"));
    EXPECT_TRUE(Contains(printed, "Graphics::CleanRenderingEnvironment()"));
    EXPECT_EQ(ReadData("config.json"), "{\n    \"Name\": \"OrvEngine\",\n    \"Height\": 720,\n    \"Width\": 1280\n}");
}

TEST_F(WindowTest, F11TogglesOnlyOnItsOwnKeyDown)
{
    WriteData("config.json", R"({"Name": "Ilo", "Height": 600, "Width": 800})");
    WindowsSystems* window = StartWindow();
    ASSERT_TRUE(window->fullscreen);
    Key(Platform::WM_KEYDOWN_MSG, Platform::VK_F11_KEY);
    EXPECT_FALSE(window->fullscreen);
    EXPECT_EQ(window->width, 800u);
    EXPECT_EQ(window->height, 600u);
    Key(Platform::WM_KEYDOWN_MSG, Platform::VK_F11_KEY); // auto-repeat
    EXPECT_FALSE(window->fullscreen);
    Key(Platform::WM_KEYUP_MSG, Platform::VK_F11_KEY);
    Key(Platform::WM_KEYDOWN_MSG, Platform::VK_F11_KEY);
    EXPECT_TRUE(window->fullscreen);
    // Another key pressed while F11 is held sees F11's count of 1 but is not F11's own press.
    Key(Platform::WM_KEYUP_MSG, Platform::VK_F11_KEY);
    Key(Platform::WM_KEYDOWN_MSG, Platform::VK_F11_KEY);
    ASSERT_FALSE(window->fullscreen);
    Key(Platform::WM_KEYDOWN_MSG, 'A');
    Key(Platform::WM_CHAR_MSG, 'a');
    EXPECT_FALSE(window->fullscreen);
    Key(Platform::WM_KEYUP_MSG, 'A');
    EXPECT_FALSE(window->fullscreen);
}

TEST_F(WindowTest, TitleShowsTheFrameRateOnlyWithDebugDrawing)
{
    WriteData("config.json", R"({"Name": "Ilo", "Height": 600, "Width": 800})");
    WindowsSystems* window = StartWindow();
    FPS::GetInstance()->frames_per_second = 60;
    window->Update();
    EXPECT_EQ(Platform::GetWindowTitle(), "Ilo");
    ShowDebugDrawing = true;
    window->Update();
    EXPECT_EQ(Platform::GetWindowTitle(), "Ilo           FPS: 60");
    FPS::GetInstance()->frames_per_second = 59;
    window->Update();
    EXPECT_EQ(Platform::GetWindowTitle(), "Ilo           FPS: 59");
    ShowDebugDrawing = false;
    window->Update();
    EXPECT_EQ(Platform::GetWindowTitle(), "Ilo");
}

TEST_F(WindowTest, LosingFocusPausesOnlyTheThreeLevelsWhileTheGameRuns)
{
    WindowsSystems* window = StartWindow();
    WriteScenes(DataDir(), {{"GameScene_01", 2}, {"GameScene_22", 2}, {"GameScene_23", 1}, {"GameScene_05", 2}});
    new SceneStateMachine();
    auto enter = [](const std::string& name) {
        OrvStateMachine->ChangeState(name);
        OrvStateMachine->Update();
    };
    GameIsRunning = true;
    enter("GameScene_22");
    Platform::SetFocusOverride(0);
    window->Update();
    EXPECT_TRUE(OrvStateMachine->paused);
    Platform::SetFocusOverride(1);
    window->Update();
    EXPECT_TRUE(OrvStateMachine->paused) << "regaining focus does not resume";

    enter("GameScene_01");
    ASSERT_FALSE(OrvStateMachine->paused);
    Platform::SetFocusOverride(0);
    window->Update();
    EXPECT_TRUE(OrvStateMachine->paused);

    for (const char* other : {"GameScene_05", "GameScene_23"}) {
        Platform::SetFocusOverride(1);
        enter(other);
        Platform::SetFocusOverride(0);
        window->Update();
        EXPECT_FALSE(OrvStateMachine->paused) << other;
    }
    GameIsRunning = false;
    enter("GameScene_22");
    window->Update();
    EXPECT_FALSE(OrvStateMachine->paused) << "not while editing";
}
