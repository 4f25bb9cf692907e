// The core engine: pause filter, Escape and quit, the frame clock, the profiler, the log and the
// assertion report, the exception path and a whole run under the null backend.
#include "TestSupport.h"
#include "GLTestSupport.h"

#include "Components/ScriptComponent.h"
#include "Scripts/BaseScript.h"

#include <SDL_events.h>
#include <SDL_hints.h>
#include <SDL_keycode.h>

#include <fstream>
#include <functional>
#include <map>

#include <malloc.h>
#include <sys/fsuid.h>
#include <time.h>

using namespace OrvEngine;
using namespace OrvTest;

namespace {

const std::vector<std::string> kSystemNames = {
    "Windows",        "Factory",         "ScriptSystem", "Logic",    "ButtonSystem", "Graphics",
    "SpriteSystem",   "PhysicsSystem",   "CollisionSystem", "ParentChildSystem", "SliderSystem", "Freetype",
    "EditorManager",  "AudioSystem",     "ResourceManager", "FPS"};
const std::vector<std::string> kPausable = {"Factory", "Logic", "PhysicsSystem", "CollisionSystem", "AudioSystem",
                                            "ResourceManager"};

double ThreadCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

bool IsPausable(const std::string& name)
{
    return std::find(kPausable.begin(), kPausable.end(), name) != kPausable.end();
}

// A system that counts its updates and records the ids of the messages it receives.
class Recorder : public ISystem {
public:
    explicit Recorder(std::string name) : name_(std::move(name)) {}
    std::string GetName() override { return name_; }
    void Update() override
    {
        ++updates;
        if (on_update) on_update();
    }
    void HandleMessage(Message* message) override { ids.push_back(message->id); }
    int updates = 0;
    std::vector<uint32_t> ids;
    std::function<void()> on_update;

private:
    std::string name_;
};

class CoreEngineTest : public EngineTest {
protected:
    // Boxes answer themselves here: the default button unless a test says otherwise.
    void SetUp() override
    {
        EngineTest::SetUp();
        unsetenv("ORV_MSGBOX_ANSWER");
    }
    void TearDown() override
    {
        unsetenv("ORV_MSGBOX_ANSWER");
        EngineTest::TearDown();
    }

    // Sixteen recorders named as the real systems, and the scenes the Escape rules look at.
    void StartRecordingEngine()
    {
        std::vector<ISystem*> systems;
        for (const std::string& name : kSystemNames) {
            recorders.push_back(new Recorder(name));
            systems.push_back(recorders.back());
        }
        MakeCoreEngine(systems);
        // A level with its pause menu's background, and a lose screen without a pause menu; the
        // factory reads their Information.
        EntityFactory::GetInstance()->Init();
        WriteScenes(DataDir(), {{"GameScene_01", 2, EntityDocument({EntityMember("Pause_bg")})},
                                {"GameScene_03", 2},
                                {"MainMenuScene", 2},
                                {"SplashScene_00", 1}});
        new SceneStateMachine();
    }

    void Enter(const std::string& scene)
    {
        OrvStateMachine->ChangeState(scene);
        OrvStateMachine->Update();
        ASSERT_EQ(OrvStateMachine->GetCurrentScene()->GetSceneName(), scene);
    }

    void ClearRecords()
    {
        for (Recorder* r : recorders) {
            r->updates = 0;
            r->ids.clear();
        }
    }

    static void SendEscape(bool from_release = false)
    {
        CharMessage escape;
        escape.code = 27;
        escape.from_release = from_release;
        OrvCoreEngine->BroadcastMessage(&escape);
    }

    std::vector<Recorder*> recorders; // owned by the core engine
};

} // namespace

TEST_F(CoreEngineTest, WhilePausedOnlyTheTenFilteredSystemsUpdateAndReceive)
{
    StartRecordingEngine();
    auto* near_miss = new Recorder("Graphics ");
    OrvCoreEngine->AddSystem(near_miss);
    OrvStateMachine->paused = true;
    InstallFakeClock();
    OrvCoreEngine->RunFrame();
    KeyMessage key;
    OrvCoreEngine->BroadcastMessage(&key);
    for (Recorder* r : recorders) {
        const bool pausable = IsPausable(r->GetName());
        EXPECT_EQ(r->updates, pausable ? 0 : 1) << r->GetName();
        EXPECT_EQ(r->ids.size(), pausable ? 0u : 1u) << r->GetName();
    }
    EXPECT_EQ(near_miss->updates, 0) << "names match only exactly";

    OrvStateMachine->paused = false;
    ClearRecords();
    OrvCoreEngine->RunFrame();
    OrvCoreEngine->BroadcastMessage(&key);
    for (Recorder* r : recorders) {
        EXPECT_EQ(r->updates, 1) << r->GetName();
        EXPECT_EQ(r->ids, std::vector<uint32_t>{MSG_KEY}) << r->GetName();
    }
}

TEST_F(CoreEngineTest, EscapeWhileNotRunningAsksAndQuitsOnYes)
{
    StartRecordingEngine();
    GameIsRunning = false;
    setenv("ORV_MSGBOX_ANSWER", "yes", 1);
    StdoutCapture out;
    SendEscape();
    const std::string printed = out.Take();
    EXPECT_FALSE(OrvCoreEngine->running);
    EXPECT_TRUE(Contains(printed, "Are you sure you want to exit?"));
    EXPECT_TRUE(Contains(printed, "Exiting game loop"));
    EXPECT_TRUE(Contains(LogText(), "Exiting game loop\n"));
    for (Recorder* r : recorders) EXPECT_EQ(r->ids, (std::vector<uint32_t>{MSG_QUIT, MSG_CHAR})) << r->GetName();
}

// Nobody there to answer: the question's default, No, keeps the program running.
TEST_F(CoreEngineTest, EscapeWhileNotRunningUnansweredTakesNoAndChangesNothing)
{
    StartRecordingEngine();
    StdoutCapture out;
    SendEscape();
    EXPECT_TRUE(Contains(out.Take(), "[MessageBox] Exiting: Are you sure you want to exit? -> No"));
    EXPECT_TRUE(OrvCoreEngine->running);
    EXPECT_FALSE(OrvStateMachine->paused);
    for (Recorder* r : recorders) EXPECT_EQ(r->ids, std::vector<uint32_t>{MSG_CHAR}) << r->GetName();
}

TEST_F(CoreEngineTest, EscapePausesAGameSceneUnderTheFilterAndResumesForEveryone)
{
    StartRecordingEngine();
    GameIsRunning = true;
    Enter("GameScene_01");
    StdoutCapture out;
    SendEscape();
    EXPECT_TRUE(OrvStateMachine->paused);
    EXPECT_TRUE(Contains(out.Take(), "GamePaused"));
    for (Recorder* r : recorders) EXPECT_EQ(r->ids.size(), IsPausable(r->GetName()) ? 0u : 1u) << r->GetName();

    ClearRecords();
    StdoutCapture again;
    SendEscape();
    EXPECT_FALSE(OrvStateMachine->paused);
    EXPECT_FALSE(Contains(again.Take(), "GamePaused"));
    for (Recorder* r : recorders) EXPECT_EQ(r->ids.size(), 1u) << r->GetName();
    EXPECT_TRUE(OrvCoreEngine->running);
}

TEST_F(CoreEngineTest, EscapeDoesNotPauseTheMainMenuASplashNoSceneOrAKeyRelease)
{
    StartRecordingEngine();
    GameIsRunning = true;
    SendEscape();
    EXPECT_FALSE(OrvStateMachine->paused) << "no current scene";
    for (const char* scene : {"MainMenuScene", "SplashScene_00", "GameScene_03"}) {
        Enter(scene);
        SendEscape();
        EXPECT_FALSE(OrvStateMachine->paused) << scene;
    }
    Enter("GameScene_01");
    SendEscape(true);
    EXPECT_FALSE(OrvStateMachine->paused) << "the character re-sent by a key release is not typed";
    CharMessage wide;
    wide.code = 27 + 256;
    OrvCoreEngine->BroadcastMessage(&wide);
    EXPECT_FALSE(OrvStateMachine->paused) << "the whole code is compared";
    GameIsRunning = false;
    SendEscape(true);
    EXPECT_TRUE(OrvCoreEngine->running);
}

TEST_F(CoreEngineTest, QuitWhilePausedEndsTheLoopAndReachesOnlyTheFilteredSystems)
{
    StartRecordingEngine();
    GameIsRunning = true;
    Enter("GameScene_01");
    OrvStateMachine->paused = true;
    QuitMessage quit;
    OrvCoreEngine->BroadcastMessage(&quit);
    EXPECT_FALSE(OrvCoreEngine->running);
    for (Recorder* r : recorders) EXPECT_EQ(r->ids.size(), IsPausable(r->GetName()) ? 0u : 1u) << r->GetName();
    // The frame in which quit arrives is finished, then the loop ends.
    ClearRecords();
    int frames = 0;
    recorders[0]->on_update = [&] { ++frames; };
    OrvCoreEngine->GameLoop();
    EXPECT_EQ(frames, 0);
}

TEST_F(CoreEngineTest, FrameTimeComesFromTheClockClampedAndTheSceneActsAfterTheSystems)
{
    StartRecordingEngine();
    InstallFakeClock(10.0);
    OrvCoreEngine->RunFrame();
    EXPECT_FLOAT_EQ(OrvCoreEngine->dt, CoreEngine::kMaxFrameTime) << "the first frame includes start-up";
    FakeNow() = 10.1;
    OrvCoreEngine->RunFrame();
    EXPECT_NEAR(OrvCoreEngine->dt, 0.1f, 1e-6);
    FakeNow() = 9.0;
    OrvCoreEngine->RunFrame();
    EXPECT_EQ(OrvCoreEngine->dt, 0.0f) << "a clock that steps back gives no time";
    EXPECT_NEAR(OrvCoreEngine->total, 0.35, 1e-6);

    // A request made by a system during the frame is carried out at its end.
    recorders[2]->on_update = [] { OrvStateMachine->ChangeState("MainMenuScene"); };
    OrvCoreEngine->RunFrame();
    ASSERT_TRUE(OrvStateMachine->GetCurrentScene());
    EXPECT_EQ(OrvStateMachine->GetCurrentScene()->GetSceneName(), "MainMenuScene");

    // A quit during a frame lets the frame finish, then the loop stops.
    recorders[2]->on_update = nullptr;
    recorders[1]->on_update = [] {
        QuitMessage quit;
        OrvCoreEngine->BroadcastMessage(&quit);
    };
    ClearRecords();
    OrvCoreEngine->GameLoop();
    EXPECT_EQ(recorders.back()->updates, 1);
}

// Under the offscreen driver the swap never waits and the display does not tell its rate: the loop
// holds each frame to the assumed refresh period and sleeps meanwhile instead of spinning.
TEST_F(CoreEngineTest, AnIdleLoopWithAWindowWaitsOutTheRefreshPeriodInsteadOfSpinning)
{
    Platform::UseNullBackend(false);
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    ASSERT_TRUE(Platform::CreateMainWindow("idle", 320, 240)) << Platform::GetLastError();
    PinLoadedLibraries(); // so a leak report can name the video driver's modules
    StartRecordingEngine();
    const double period = 1.0 / CoreEngine::kDefaultRefreshRate;
    // A frame within a millisecond of the period is not held: a sleep that short is not worth it.
    const double shortest = period - 0.0011;
    OrvCoreEngine->RunFrame(); // its frame time includes the start-up
    const int frames = 30;
    const double wall_start = Platform::Now();
    const double cpu_start = ThreadCpuSeconds();
    for (int i = 0; i < frames; ++i) {
        OrvCoreEngine->RunFrame();
        EXPECT_GE(OrvCoreEngine->dt, shortest) << "frame " << i;
    }
    const double wall = Platform::Now() - wall_start;
    const double cpu = ThreadCpuSeconds() - cpu_start;
    EXPECT_GE(wall, frames * shortest);
    EXPECT_LT(cpu, wall * 0.25) << "the loop sleeps rather than spins";
    EXPECT_EQ(recorders.back()->updates, frames + 1) << "every frame still runs every system";
    Platform::DestroyMainWindow();
    unsetenv("SDL_VIDEODRIVER");
}

// The window's close may be asked about; a quit request (SIGTERM) may not: they stay two messages,
// and SDL makes no quit of its own out of the last window's close.
TEST_F(CoreEngineTest, TheWindowsCloseAndAQuitRequestArriveAsDifferentMessages)
{
    Platform::UseNullBackend(false);
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    ASSERT_TRUE(Platform::CreateMainWindow("close", 320, 240)) << Platform::GetLastError();
    PinLoadedLibraries();
    EXPECT_FALSE(SDL_GetHintBoolean(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, SDL_TRUE));
    SDL_Event close{};
    close.type = SDL_WINDOWEVENT;
    close.window.event = SDL_WINDOWEVENT_CLOSE;
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&close);
    SDL_PushEvent(&quit);
    Platform::PumpEvents();
    std::vector<uint32_t> got;
    Platform::WindowMessage message;
    while (Platform::PopMessage(message)) {
        // The window's own start-up (shown, focused, sized) is not what is looked at.
        if (message.message == Platform::WM_CLOSE_MSG || message.message == Platform::WM_QUIT_MSG) {
            got.push_back(message.message);
        }
    }
    EXPECT_EQ(got, (std::vector<uint32_t>{Platform::WM_CLOSE_MSG, Platform::WM_QUIT_MSG}));
    Platform::DestroyMainWindow();
    unsetenv("SDL_VIDEODRIVER");
}

TEST_F(CoreEngineTest, DestroySystemsTakesEachSystemOutBeforeDeletingIt)
{
    // A system whose destructor broadcasts: the systems already deleted must not receive it.
    struct Noisy : Recorder {
        using Recorder::Recorder;
        ~Noisy() override
        {
            for (ISystem* s : OrvCoreEngine->systems) EXPECT_NE(s, this);
            QuitMessage quit;
            OrvCoreEngine->BroadcastMessage(&quit);
        }
    };
    MakeCoreEngine({new Noisy("One"), new Noisy("Two"), new Noisy("Three")});
    OrvCoreEngine->DestroySystems();
    EXPECT_TRUE(OrvCoreEngine->systems.empty());
    const std::string log = LogText();
    EXPECT_LT(log.find("Destroyed One system"), log.find("Destroyed Two system"));
    EXPECT_LT(log.find("Destroyed Two system"), log.find("Destroyed Three system"));
}

TEST_F(CoreEngineTest, ProfilerTimesEverySystemButItselfAndTheEditorAndReportsOnceASecond)
{
    StartRecordingEngine();
    // The real profiler in place of its recorder.
    delete OrvCoreEngine->systems.back();
    OrvCoreEngine->systems.back() = FPS::GetInstance();
    recorders.pop_back();
    InstallFakeClock();
    recorders[5]->on_update = [] { FakeNow() += 0.375; }; // Graphics
    recorders[3]->on_update = [] { FakeNow() += 0.125; }; // Logic
    FPS* fps = FPS::GetInstance();

    StdoutCapture out;
    int frames = 0;
    while (!fps->frames_per_second && frames < 20) {
        OrvCoreEngine->RunFrame();
        ++frames;
        if (!fps->frames_per_second) {
            EXPECT_EQ(fps->system_times.count("FPS"), 0u);
            EXPECT_EQ(fps->system_times.count("EditorManager"), 0u);
            EXPECT_EQ(fps->system_times.size(), 14u);
        }
    }
    const std::string printed = out.Take();
    // Every frame is 0.5 s long but counts as at most 0.25 s: the total reaches 1 s in frame 6.
    EXPECT_EQ(frames, 6);
    EXPECT_EQ(fps->frames_per_second, 6u);
    EXPECT_TRUE(fps->system_times.empty()) << "times are cleared after each report";
    EXPECT_EQ(fps->measured_total, 0.0f);
    const std::string rule(51, '=');
    EXPECT_TRUE(Contains(printed, "FPS: 6\n" + rule + "\nAudioSystem: 0%\nButtonSystem: 0%\n"));
    EXPECT_TRUE(Contains(printed, "Graphics: 75%\nLogic: 25%\nParentChildSystem: 0%\n"));
    EXPECT_TRUE(Contains(printed, "Windows: 0%\n" + rule + "\n"));
    EXPECT_FALSE(Contains(printed, "FPS: 0%"));
    EXPECT_FALSE(Contains(printed, "EditorManager:"));

    // A paused frame still times the systems it skips.
    OrvStateMachine->paused = true;
    OrvCoreEngine->RunFrame();
    EXPECT_EQ(fps->system_times.count("PhysicsSystem"), 1u);
    EXPECT_EQ(recorders[7]->updates, 6);
}

TEST_F(CoreEngineTest, ProfilerReportTextForTheEditor)
{
    FPS fps;
    fps.system_times = {{"Logic", 0.125f}, {"Graphics", 0.375f}};
    EXPECT_EQ(fps.GetReport(), "") << "nothing before the first second";
    fps.clock = 2.0;
    fps.last_report_time = 0.5;
    fps.frames_per_second = 60;
    const std::string rule(51, '=');
    EXPECT_EQ(fps.GetReport(), "FPS: 60\n" + rule + "\nGraphics: 0%%\nLogic: 0%%\n" + rule + "\n");
    fps.measured_total = 0.5f;
    EXPECT_EQ(fps.GetReport(), "FPS: 60\n" + rule + "\nGraphics: 75%%\nLogic: 25%%\n" + rule + "\n");
    fps.clock = 0.6;
    fps.system_times.clear();
    EXPECT_EQ(fps.GetReport(), "FPS: 60\n" + rule + "\nGraphics: 75%%\nLogic: 25%%\n" + rule + "\n")
        << "within a second the stored text stands";
}

TEST_F(CoreEngineTest, FixedStepsFiftyMillisecondsGiveTwoFiftyOneGiveThreeAndTheCapHolds)
{
    FPS fps;
    fps.CountFixedSteps(0.05f);
    EXPECT_EQ(fps.fixed_steps, 2u);
    fps = FPS();
    fps.CountFixedSteps(0.051f);
    EXPECT_EQ(fps.fixed_steps, 3u);

    // The remainder of the 50 ms frame carries over to the next one.
    fps = FPS();
    fps.CountFixedSteps(0.05f);
    fps.fixed_steps = 0;
    fps.CountFixedSteps(0.001f);
    EXPECT_EQ(fps.fixed_steps, 1u);

    fps = FPS();
    fps.CountFixedSteps(CoreEngine::kMaxFrameTime);
    EXPECT_EQ(fps.fixed_steps, FPS::kMaxStepsPerFrame);
    EXPECT_LT(fps.accumulator, FPS::kFixedStep);

    // Through the profiler's update, which runs only while the loop measures it.
    MakeCoreEngine();
    FPS* live = FPS::GetInstance();
    OrvCoreEngine->dt = 0.051f;
    live->Update();
    EXPECT_EQ(live->fixed_steps, 0u);
    live->measuring = true;
    live->Update();
    EXPECT_EQ(live->fixed_steps, 3u);
    OrvCoreEngine->dt = 0.0f;
    live->Update();
    EXPECT_EQ(live->fixed_steps, 0u);
}

TEST_F(CoreEngineTest, TheLogStartsWithItsHeaderAndIsNeverTruncatedTwiceInARun)
{
    LogLine("first");
    Logging::Destroy();
    LogLine("second");
    EXPECT_EQ(LogText(), "--------------- Information ----------------\nfirst\nsecond\n");
    Logging::Destroy();
    Logging::BeginRun();
    LogLine("next run");
    EXPECT_EQ(LogText(), "--------------- Information ----------------\nnext run\n");
}

TEST_F(CoreEngineTest, AssertionReportTextsOnTheConsoleAndInTheLog)
{
    LogLine("before");
    const bool failed = true;
    StdoutCapture out;
    EXPECT_THROW(AssertReport(&failed, "x > 0", "Game_Engine/Some/File", 42, "Something broke"), AssertionFailure);
    const std::string text = "File: Game_Engine/Some/File\nLine: 42\nMessage: Something broke\nTrigger: x > 0";
    EXPECT_EQ(out.Take(), "\n---------------- Error! -----------------\n" + text + "\n");
    EXPECT_EQ(LogText(), "--------------- Information ----------------\nbefore\n\n---------------- Error!-----------------\n" +
                             text + "\n");
    LogLine("after");
    EXPECT_FALSE(Contains(LogText(), "after")) << "the report closes the log";

    const bool passed = false;
    EXPECT_FALSE(AssertReport(&passed, "t", "f", 1, "m"));
    try {
        AssertReport(&failed, "hidden", "Game_Engine/Other", 7, "");
        ADD_FAILURE() << "no report";
    } catch (const AssertionFailure& e) {
        EXPECT_EQ(e.report.text, "File: Game_Engine/Other\nLine: 7");
    }
}

TEST_F(CoreEngineTest, AnAssertionWithoutALogCreatesNoneAndExitsWithSeventyByDefault)
{
    const bool failed = true;
    EXPECT_THROW(AssertReport(&failed, "t", "f", 1, "m"), AssertionFailure);
    EXPECT_FALSE(Logging::Exists());
    EXPECT_FALSE(fs::exists(LogPath()));
    EXPECT_EXIT(
        {
            SetAssertHandler(nullptr);
            AssertReport(&failed, "t", "f", 1, "m");
        },
        ::testing::ExitedWithCode(kAssertExitCode), "");
}

TEST_F(CoreEngineTest, ASecondCoreEngineIsAnAssertion)
{
    MakeCoreEngine();
    EXPECT_TRUE(Contains(LogText(), "Created Core Engine\n"));
    try {
        CoreEngine second;
        ADD_FAILURE() << "no report";
    } catch (const AssertionFailure& e) {
        EXPECT_EQ(e.report.message, "Core Engine is already created!");
        EXPECT_EQ(e.report.trigger, "!OrvCoreEngine");
    }
}

// A box nobody can answer takes the button Enter would press; ORV_MSGBOX_ANSWER overrides it.
TEST_F(CoreEngineTest, AnUnansweredBoxTakesItsDefaultButtonUnlessTheVariableSaysOtherwise)
{
    using namespace Platform;
    const uint32_t yes_no = MB_YESNO_FLAG | MB_ICONINFO_FLAG;
    const uint32_t ok_cancel = MB_OKCANCEL_FLAG | MB_ICONWARNING_FLAG;
    struct Case {
        uint32_t flags;
        const char* variable; // null: unset
        int expected;
    };
    const Case cases[] = {
        {yes_no | MB_DEFBUTTON2_FLAG, nullptr, ID_NO},      {yes_no, nullptr, ID_YES},
        {ok_cancel | MB_DEFBUTTON2_FLAG, nullptr, ID_CANCEL}, {ok_cancel, nullptr, ID_OK},
        {MB_OK_FLAG | MB_ICONWARNING_FLAG | MB_DEFBUTTON2_FLAG, nullptr, ID_OK},
        {yes_no | MB_DEFBUTTON2_FLAG, "yes", ID_YES},       {ok_cancel | MB_DEFBUTTON2_FLAG, "yes", ID_OK},
        {yes_no, "no", ID_NO},                              {ok_cancel, "No", ID_CANCEL},
        {MB_OK_FLAG, "no", ID_OK},                          {yes_no | MB_DEFBUTTON2_FLAG, "maybe", ID_NO},
    };
    const std::map<int, std::string> names{{ID_YES, "Yes"}, {ID_NO, "No"}, {ID_OK, "OK"}, {ID_CANCEL, "Cancel"}};
    for (const Case& c : cases) {
        if (c.variable) setenv("ORV_MSGBOX_ANSWER", c.variable, 1);
        else unsetenv("ORV_MSGBOX_ANSWER");
        StdoutCapture out;
        EXPECT_EQ(ShowMessageBox("Delete it?", "Deleting", c.flags), c.expected)
            << c.flags << " " << (c.variable ? c.variable : "(unset)");
        EXPECT_EQ(out.Take(), "[MessageBox] Deleting: Delete it? -> " + names.at(c.expected) + "\n");
    }
}

TEST(KeyTranslation, SdlKeysBecomeVirtualKeyCodes)
{
    const std::pair<int32_t, uint32_t> table[] = {
        {SDLK_a, 'A'},          {SDLK_z, 'Z'},           {SDLK_0, '0'},         {SDLK_9, '9'},
        {SDLK_F1, 112},         {SDLK_F11, 122},         {SDLK_F12, 123},       {SDLK_BACKSPACE, 8},
        {SDLK_TAB, 9},          {SDLK_RETURN, 13},       {SDLK_KP_ENTER, 13},   {SDLK_LSHIFT, 16},
        {SDLK_RSHIFT, 16},      {SDLK_LCTRL, 17},        {SDLK_RALT, 18},       {SDLK_ESCAPE, 27},
        {SDLK_SPACE, 32},       {SDLK_PAGEUP, 33},       {SDLK_HOME, 36},       {SDLK_LEFT, 37},
        {SDLK_UP, 38},          {SDLK_RIGHT, 39},        {SDLK_DOWN, 40},       {SDLK_DELETE, 46},
        {SDLK_KP_0, 96},        {SDLK_KP_1, 97},         {SDLK_KP_9, 105},      {SDLK_KP_PLUS, 107},
        {SDLK_SEMICOLON, 186},  {SDLK_MINUS, 189},       {SDLK_SLASH, 191},     {SDLK_QUOTE, 222},
        {SDLK_F13, 0},          {SDLK_PRINTSCREEN, 0},   {SDLK_UNKNOWN, 0},
    };
    for (const auto& [sdl, vk] : table) EXPECT_EQ(Platform::TranslateSdlKey(sdl), vk) << sdl;
}

// ---- Whole runs under the null backend ----------------------------------------------------------

namespace {

int g_destroyed_scripts = 0;

struct ThrowingScript : BaseScript {
    void Update(Entity*) override { throw std::runtime_error("script failed on purpose"); }
    void OnDestroy(Entity*) override { ++g_destroyed_scripts; }
    std::string GetName() override { return "ThrowingScript"; }
};

struct OddThrowScript : BaseScript {
    void Update(Entity*) override { throw 42; }
};

// Advances the clock 0.1 s a frame and closes the window after `close_after` frames.
void ScriptFrames(int close_after, int* frames)
{
    InstallFakeClock();
    Platform::SetEventSource([close_after, frames] {
        FakeNow() += 0.1;
        if (++*frames == close_after) Platform::PushMessage({Platform::WM_CLOSE_MSG, 0, 0});
    });
}

std::vector<std::string> LinesStartingWith(const std::string& text, const std::string& prefix)
{
    std::vector<std::string> found;
    for (const std::string& line : Lines(text)) {
        if (line.rfind(prefix, 0) == 0) found.push_back(line.substr(prefix.size()));
    }
    return found;
}

class EngineRunTest : public CoreEngineTest {
protected:
    void WriteTree(const std::string& splash_entities)
    {
        MakeAssetFolders(Root());
        WriteScenes(DataDir(), {{"SplashScene_00", 1, splash_entities,
                                 R"({"show_time": 0.5, "scene_name": "SplashScene_00", "next_state": "GameScene_01"})"},
                                {"GameScene_01", 2, EntityDocument({EntityMember("Player", "", 1)})}});
        WriteData("config.json", R"({"Name": "Run", "Height": 600, "Width": 800})");
    }
};

} // namespace

TEST_F(EngineRunTest, AGameRunStartsAllSystemsPlaysTheSplashAndShutsDownOnClose)
{
    WriteTree(EntityDocument({EntityMember("Logo")}));
    GameMode = true;
    int frames = 0;
    ScriptFrames(20, &frames);
    StdoutCapture out;
    const int result = RunEngine();
    const std::string printed = out.Take();
    ASSERT_EQ(result, 0) << printed;
    EXPECT_EQ(frames, 20);

    const std::string log = LogText();
    const std::vector<std::string> lines = Lines(log);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0], "--------------- Information ----------------");
    EXPECT_EQ(lines[1], "Created Core Engine");
    std::vector<std::string> added;
    for (const std::string& name : kSystemNames) added.push_back(name + " system");
    EXPECT_EQ(LinesStartingWith(log, "Added "), added);
    EXPECT_EQ(LinesStartingWith(log, "Completed initializing "), added);
    EXPECT_EQ(LinesStartingWith(log, "Destroyed "), added);
    EXPECT_EQ(LinesStartingWith(log, "Changed scene to "), (std::vector<std::string>{"SplashScene_00", "GameScene_01"}));
    EXPECT_LT(log.find("Completed initializing FPS system"), log.find("Changed scene to SplashScene_00"));
    EXPECT_LT(log.find("Exiting game loop"), log.find("Destroyed Windows system"));
    EXPECT_TRUE(Contains(printed, "SceneStateMachine Init()"));
    EXPECT_FALSE(Contains(log, "SceneStateMachine Init()")) << "that line is for the console only";
    EXPECT_TRUE(GameIsRunning);

    // The close wrote the size back: without a screen, fullscreen keeps the configured size.
    rapidjson::Document config;
    ASSERT_TRUE(OrvSerializer.ReadFileToDocument("config.json", config));
    EXPECT_EQ(Serializer::ReadUint(config, "Width"), 800u);
    EXPECT_EQ(Serializer::ReadString(config, "Name"), "Run");
}

// Blocks of a mebibyte and more are mapped on their own whatever was freed before them; cut from
// the heap, as glibc does by default once a larger block has been freed, they leave holes there
// as scenes trade textures, and the process keeps them.
TEST_F(EngineRunTest, AfterStartUpLargeBlocksAreMappedOnTheirOwn)
{
    if (BuiltWithAddressSanitizer()) GTEST_SKIP() << "the sanitizer's allocator keeps blocks its own way";
    WriteTree(EntityDocument({EntityMember("Logo")}));
    GameMode = true;
    int frames = 0;
    ScriptFrames(2, &frames);
    ASSERT_EQ(RunEngine(), 0);
    constexpr size_t kMiB = 1 << 20;
    auto keep = [](void* block) { asm volatile("" : : "r"(block) : "memory"); };
    for (size_t size : {24 * kMiB, 2 * kMiB}) {
        void* earlier = std::malloc(24 * kMiB);
        keep(earlier);
        std::free(earlier);
        const size_t mapped = mallinfo2().hblkhd;
        void* block = std::malloc(size);
        keep(block);
        const size_t mapped_with_it = mallinfo2().hblkhd;
        std::free(block);
        EXPECT_GE(mapped_with_it, mapped + size) << size / kMiB << " MiB taken from the heap";
    }
}

// Closing the game or the editor (the window, or SIGTERM through the quit message) with a data
// folder that cannot be written ends the run as usual: one log line, the old config.json kept,
// exit status 0.
TEST_F(EngineRunTest, AConfigThatCannotBeWrittenAtCloseIsOneLogLineAndANormalEnd)
{
    const fs::perms read_only = fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                fs::perms::others_read | fs::perms::others_exec;
    const std::pair<uint32_t, bool> runs[] = {{Platform::WM_CLOSE_MSG, true}, {Platform::WM_QUIT_MSG, false}};
    for (const auto& run : runs) {
        // Plain copies: a lambda may not capture a structured binding before C++20.
        const uint32_t close = run.first;
        const bool game = run.second;
        WriteTree(EntityDocument({EntityMember("Logo")}));
        // The editor keeps its prefab index as it is at exit too.
        WriteData("Prefab/Archetype.json", "{}");
        const std::string config = ReadData("config.json");
        GameMode = game;
        int frames = 0;
        uid_t previous = 0;
        bool arranged = false;
        // Root may write anywhere: the data folder goes read-only to nobody, who closes the run.
        InstallFakeClock();
        Platform::SetEventSource([&] {
            FakeNow() += 0.1;
            if (++frames != 5) return;
            for (const fs::path& folder : {Root(), Root() / "Resources", DataDir(), DataDir() / "Prefab"}) {
                fs::permissions(folder, read_only);
            }
            previous = static_cast<uid_t>(setfsuid(65534));
            arranged = !std::ofstream(DataDir() / "probe").is_open();
            Platform::PushMessage({close, 0, 0});
        });
        StdoutCapture out;
        const int result = RunEngine();
        setfsuid(previous);
        out.Take();
        fs::permissions(DataDir(), fs::perms::all);
        fs::permissions(DataDir() / "Prefab", fs::perms::all);
        if (!arranged) GTEST_SKIP() << "the data folder stays writable here";
        EXPECT_EQ(result, 0) << close;
        EXPECT_EQ(ReadData("config.json"), config) << "the old file is kept";
        EXPECT_EQ(ReadData("Prefab/Archetype.json"), "{}");
        const std::vector<std::string> failed = LinesStartingWith(LogText(), "[WindowsSystems::Close] ");
        EXPECT_EQ(failed, std::vector<std::string>{"Failed to write to file config.json; the old file is kept"});
        EXPECT_FALSE(Contains(LogText(), "Error!")) << "no assertion report";
        EXPECT_EQ(LinesStartingWith(LogText(), "Destroyed ").size(), kSystemNames.size());
        ResetEngineState();
        Platform::UseNullBackend(true);
    }
}

TEST_F(EngineRunTest, InEditorModeNoSceneIsQueuedAndTheGameIsNotRunning)
{
    WriteTree("");
    GameMode = false;
    int frames = 0;
    ScriptFrames(3, &frames);
    ASSERT_EQ(RunEngine(), 0);
    EXPECT_FALSE(GameIsRunning);
    EXPECT_TRUE(LinesStartingWith(LogText(), "Changed scene to ").empty());
}

TEST_F(EngineRunTest, AnExceptionEndsTheRunThroughTheHandlerWithAFailureCode)
{
    WriteTree(EntityDocument({EntityMember("Thrower", "ThrowingScript")}));
    ScriptSystem::GetInstance()->RegisterScript("ThrowingScript", std::make_shared<ScriptType<ThrowingScript>>());
    g_destroyed_scripts = 0;
    int frames = 0;
    ScriptFrames(50, &frames);
    StdoutCapture out;
    const int result = EngineMain(1);
    out.Take();
    EXPECT_NE(result, 0);
    EXPECT_LT(frames, 50);
    EXPECT_EQ(g_destroyed_scripts, 1) << "the live entity was destroyed, calling OnDestroy";
    EXPECT_EQ(OrvCoreEngine, nullptr);
    const std::string log = LogText();
    const size_t thrown = log.find("------------ Exception Thrown -------------\nException: script failed on purpose\n"
                                   "------------ Destroying All Entities -------------\n");
    ASSERT_NE(thrown, std::string::npos) << log;
    const size_t entity = log.find("The entity 'Thrower' is deleted", thrown);
    const size_t systems = log.find("------------ Destroying All Systems -------------", thrown);
    EXPECT_LT(entity, systems);
    EXPECT_EQ(LinesStartingWith(log.substr(systems), "Destroyed ").size(), kSystemNames.size());
    EXPECT_EQ(Lines(log)[1], "Created Core Engine") << "the log was not truncated again";
}

TEST_F(EngineRunTest, AnExceptionOfAnotherKindIsReportedAsUnhandled)
{
    WriteTree(EntityDocument({EntityMember("Thrower", "OddThrowScript")}));
    ScriptSystem::GetInstance()->RegisterScript("OddThrowScript", std::make_shared<ScriptType<OddThrowScript>>());
    GameMode = true;
    int frames = 0;
    ScriptFrames(50, &frames);
    EXPECT_NE(RunEngine(), 0);
    EXPECT_TRUE(Contains(LogText(), "------------ Exception Thrown -------------\nUnhandled exception!\n"));
}
