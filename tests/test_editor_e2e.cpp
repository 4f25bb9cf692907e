// The program started with --editor on the shipped resources, in-process: offscreen video, the
// dummy audio driver, scripted keys and a scripted mouse fed to ImGui after its SDL back-end has
// read the (absent) real one. Tab shows the editor, the first scene of the scenes window is
// opened, Play snapshots every scene, Stop brings the played scene back, and closing exits 0.
#include "EditorTestSupport.h"
#include "GLTestSupport.h"

#include "CoreEngine/CommandLine.h"

#include <cstdlib>

using namespace OrvEngine;

namespace {

namespace fs = OrvTest::fs;

std::string CurrentName()
{
    auto scene = CurrentScene();
    return scene ? scene->GetSceneName() : std::string();
}

void Press(uint64_t key)
{
    Platform::PushMessage({Platform::WM_KEYDOWN_MSG, key, 0});
    Platform::PushMessage({Platform::WM_KEYUP_MSG, key, 0});
}

// The editor session, one step per frame at the start of the window system's pump.
struct EditorSession {
    enum class Stage { Windowed, ShowEditor, OpenScene, WaitForScene, Play, WaitForPlay, ShowAgain, Stop, WaitForStop, Done };
    Stage stage = Stage::Windowed;
    int frame = 0;
    int wait_until = 0;
    OrvTest::ScriptedMouse mouse;
    std::string opened;
    size_t entities_before = 0;
    size_t entities_after = 0;
    size_t entries = 0;

    bool Waiting() const { return frame < wait_until || mouse.Busy(); }
    void WaitFrames(int frames) { wait_until = frame + frames; }

    void Step()
    {
        // Driver modules stay mapped, so leak reports can name (and suppress) them.
        if (++frame == 1) OrvTest::PinLoadedLibraries();
        if (Waiting()) return;
        switch (stage) {
        case Stage::Windowed:
            // The configured window size, which the offscreen surface keeps, for the picture.
            Press(Platform::VK_F11_KEY);
            WaitFrames(2);
            stage = Stage::ShowEditor;
            break;
        case Stage::ShowEditor:
            Press(Platform::VK_TAB_KEY);
            WaitFrames(3);
            stage = Stage::OpenScene;
            break;
        case Stage::OpenScene:
            if (!OrvTest::EditorWindow("Scenes") || OrvStateMachine->scenes.empty()) return;
            opened = OrvStateMachine->scenes.begin()->first;
            mouse.Click(OrvTest::SceneRowCentre(true, 0));
            stage = Stage::WaitForScene;
            break;
        case Stage::WaitForScene:
            if (CurrentName() != opened) return;
            WaitFrames(4);
            stage = Stage::Play;
            break;
        case Stage::Play:
            // The editor with the opened scene in its game view.
            OrvTest::SaveScreenshot("editor");
            entities_before = CurrentScene()->GetEntities().size();
            mouse.Click(OrvTest::RowButtonCentre("##menubar", {"Play"}, 0));
            stage = Stage::WaitForPlay;
            break;
        case Stage::WaitForPlay:
            if (!GameIsRunning) return;
            WaitFrames(10);
            stage = Stage::ShowAgain;
            break;
        case Stage::ShowAgain:
            Press(Platform::VK_TAB_KEY);
            WaitFrames(3);
            stage = Stage::Stop;
            break;
        case Stage::Stop:
            mouse.Click(OrvTest::RowButtonCentre("##menubar", {"Pause", "Stop"}, 1));
            stage = Stage::WaitForStop;
            break;
        case Stage::WaitForStop:
            if (GameIsRunning || CurrentName() != opened || !OrvStateMachine->next_state.empty()) return;
            entities_after = CurrentScene()->GetEntities().size();
            Platform::PushMessage({Platform::WM_CLOSE_MSG, 0, 0});
            stage = Stage::Done;
            break;
        case Stage::Done:
            break;
        }
    }
};

class EditorEndToEndTest : public OrvTest::EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        for (const char* folder : {"ArtAssets", "Sounds", "Shaders", "fonts"}) {
            fs::create_directory_symlink(OrvTest::SourceDir() / "Resources" / folder, Root() / "Resources" / folder);
        }
        fs::remove_all(DataDir());
        fs::copy(OrvTest::SourceDir() / "Resources" / "Data", DataDir(), fs::copy_options::recursive);
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        Platform::UseNullBackend(false);
        SetAssertHandler(nullptr);
    }

    void TearDown() override
    {
        EngineTest::TearDown();
        unsetenv("SDL_VIDEODRIVER");
    }
};

} // namespace

TEST_F(EditorEndToEndTest, EditorOptionOpensASceneFromTheScenesWindowPlaysStopsAndExitsCleanly)
{
    double now = 0.0;
    EditorSession session;
    Platform::SetClockSource([&] { return now; });
    Platform::SetEventSource([&] {
        now += 0.05;
        session.Step();
        // Bounded: a session that never gets through ends here with a failure.
        if (session.frame > 1500) Platform::PushMessage({Platform::WM_CLOSE_MSG, 0, 0});
    });
    EditorManager::GetInstance()->SetFrameInputHook([&] { session.mouse.Apply(); });

    char program[] = "OrvEngine";
    char option[] = "--editor";
    char* argv[] = {program, option};
    OrvTest::StdoutCapture console;
    const int result = ProgramMain(2, argv);
    const std::string printed = console.Take();

    EXPECT_EQ(result, 0);
    EXPECT_FALSE(GameMode);
    EXPECT_EQ(session.stage, EditorSession::Stage::Done) << "stopped at frame " << session.frame;
    EXPECT_FALSE(session.opened.empty());
    EXPECT_GT(session.entities_before, 0u);
    EXPECT_EQ(session.entities_after, session.entities_before) << "Stop brought the played scene back";

    const std::string log = LogText();
    for (const std::string& line : {std::string("Play button pressed"), std::string("Stop button pressed when GP true"),
                                    "Changed scene to " + session.opened, std::string("Exiting game loop")}) {
        EXPECT_TRUE(OrvTest::Contains(log, line)) << line;
    }
    EXPECT_LT(log.find("Changed scene to " + session.opened), log.rfind("Changed scene to " + session.opened))
        << "entered once to edit, once more on Stop";
    rapidjson::Document index;
    ASSERT_TRUE(OrvSerializer.ReadFileToDocument("Scenes.json", index));
    for (auto member = index.MemberBegin(); member != index.MemberEnd(); ++member) {
        EXPECT_TRUE(fs::exists(DataDir() / member->name.GetString() / "AutoSave.json")) << member->name.GetString();
    }
}
