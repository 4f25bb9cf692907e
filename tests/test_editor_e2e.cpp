// The program started with --editor on the shipped resources, in-process: offscreen video, the
// dummy audio driver, scripted keys and a scripted mouse fed to ImGui after its SDL back-end has
// read the (absent) real one. Tab shows the editor, the first scene of the scenes window is
// opened, Play snapshots every scene, Stop brings the played scene back; then the player is
// selected in the hierarchy, moved in the inspector, the scene saved and loaded again, and
// closing exits 0. And every shipped scene, shown and saved untouched, leaves every data file as
// it was, byte for byte.
#include "EditorTestSupport.h"
#include "GameRunFixture.h"

#include "Editor/EditorWidgets.h"

#include <map>

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

// The x the player is moved to through the inspector, as typed.
constexpr const char* kTypedX = "4.5";

// The editor session, one step per frame at the start of the window system's pump.
struct EditorSession {
    enum class Stage {
        Windowed, ShowEditor, OpenScene, WaitForScene, Play, WaitForPlay, ShowAgain, Stop, WaitForStop,
        SelectFade, HideFade, SelectPlayer, WaitForSelection, EditPosition, TypePosition, Save, Reload, Done
    };
    Stage stage = Stage::Windowed;
    int frame = 0;
    int wait_until = 0;
    OrvTest::ScriptedMouse mouse;
    std::string opened;
    size_t entities_before = 0;
    size_t entities_after = 0;
    size_t entries = 0;
    // The widgets the last editor frame drew, and what the frame hook types into ImGui.
    std::vector<EditorWidgets::DrawnItem> items;
    std::string typing;
    bool press_enter = false;
    float wheel = 0.0f;
    float x_before_reload = 0.0f;
    float x_after_reload = 0.0f;

    const EditorWidgets::DrawnItem* Item(const std::string& prefix) const
    {
        for (const auto& item : items) {
            if (item.label.rfind(prefix, 0) == 0) return &item;
        }
        return nullptr;
    }

    static ImVec2 Centre(const EditorWidgets::DrawnItem& item)
    {
        return ImVec2((item.min.x + item.max.x) / 2.0f, (item.min.y + item.max.y) / 2.0f);
    }

    // Runs after the back-ends read the devices: the mouse, then one typed character a frame.
    void FrameInput()
    {
        items.clear();
        mouse.Apply();
        ImGui::GetIO().MouseWheel = wheel;
        wheel = 0.0f;
        ImGuiIO& io = ImGui::GetIO();
        io.KeysDown[io.KeyMap[ImGuiKey_Enter]] = false;
        if (!typing.empty()) {
            io.AddInputCharacter(static_cast<unsigned>(typing.front()));
            typing.erase(0, 1);
        } else if (press_enter) {
            io.KeysDown[io.KeyMap[ImGuiKey_Enter]] = true;
            press_enter = false;
        }
    }

    bool Typing() const { return !typing.empty() || press_enter; }

    // Clicks the hierarchy item whose label starts with `prefix` once it is in view; until then
    // the window scrolls towards it. True when clicked.
    bool ClickRow(const std::string& prefix)
    {
        const EditorWidgets::DrawnItem* row = Item(prefix);
        ImGuiWindow* window = OrvTest::EditorWindow("Hierarchy");
        if (!row || !window) return false;
        const ImRect view = window->InnerClipRect;
        if (row->min.y >= view.Min.y && row->max.y <= view.Max.y) {
            mouse.Click(Centre(*row));
            return true;
        }
        mouse.target = view.GetCenter();
        wheel = row->min.y < view.Min.y ? 3.0f : -3.0f;
        return false;
    }

    static float PlayerX()
    {
        Entity* player = CurrentScene() ? CurrentScene()->FindEntityByName("Player") : nullptr;
        auto transform = player ? player->GetComponent<Transform>(TRANSFORM) : nullptr;
        return transform ? transform->position.x : -1000.0f;
    }

    bool Waiting() const { return frame < wait_until || mouse.Busy() || Typing(); }
    void WaitFrames(int frames) { wait_until = frame + frames; }

    void Step()
    {
        ++frame;
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
            stage = Stage::SelectFade;
            break;
        case Stage::SelectFade:
            // An edit before the one checked: the level's fade-in is switched off.
            if (ClickRow("FadeIn##")) stage = Stage::HideFade;
            break;
        case Stage::HideFade: {
            Entity* selected = EditorManager::GetInstance()->SelectedEntity();
            const EditorWidgets::DrawnItem* active = Item("active");
            if (!selected || selected->GetName() != "FadeIn" || !active) return;
            mouse.Click(Centre(*active));
            stage = Stage::SelectPlayer;
            break;
        }
        case Stage::SelectPlayer:
            if (ClickRow("Player##")) stage = Stage::WaitForSelection;
            break;
        case Stage::WaitForSelection:
            if (!EditorManager::GetInstance()->SelectedEntity() ||
                EditorManager::GetInstance()->SelectedEntity()->GetName() != "Player") {
                return;
            }
            stage = Stage::EditPosition;
            break;
        case Stage::EditPosition: {
            const EditorWidgets::DrawnItem* field = Item("##transform_pos_x");
            if (!field) return;
            // The text part of the input, left of its step buttons; a click selects all of it.
            mouse.Click(ImVec2(field->min.x + 10.0f, Centre(*field).y));
            stage = Stage::TypePosition;
            break;
        }
        case Stage::TypePosition:
            typing = kTypedX;
            press_enter = true;
            WaitFrames(3);
            stage = Stage::Save;
            break;
        case Stage::Save:
            // The inspector editing a level entity.
            OrvTest::SaveScreenshot("editor_component_panel");
            // The list may have scrolled the buttons above it out of view.
            if (!ClickRow("Save Scene")) return;
            WaitFrames(2);
            stage = Stage::Reload;
            break;
        case Stage::Reload:
            x_before_reload = PlayerX();
            if (!ClickRow("Load Scene")) return;
            WaitFrames(2);
            stage = Stage::Done;
            break;
        case Stage::Done:
            x_after_reload = PlayerX();
            Platform::PushMessage({Platform::WM_CLOSE_MSG, 0, 0});
            break;
        }
    }
};

// The game's shipped resources, with the dummy sound driver.
class EditorEndToEndTest : public OrvTest::GameEndToEndTest {
protected:
    EditorEndToEndTest() : GameEndToEndTest(false) {}
};

} // namespace

TEST_F(EditorEndToEndTest, EditorOptionOpensASceneFromTheScenesWindowPlaysStopsAndExitsCleanly)
{
    EditorSession session;
    EditorManager::GetInstance()->SetFrameInputHook([&] { session.FrameInput(); });
    EditorWidgets::SetItemHook([&](const EditorWidgets::DrawnItem& item) { session.items.push_back(item); });
    OrvTest::StdoutCapture console;
    // Load Scene's question is answered Yes; nobody being there would answer it No.
    setenv("ORV_MSGBOX_ANSWER", "yes", 1);
    // Bounded: a session that never gets through ends with a failure.
    const int result = RunFrames([&] { session.Step(); }, 1500, 0.05, /*editor=*/true);
    unsetenv("ORV_MSGBOX_ANSWER");
    const std::string printed = console.Take();
    EditorWidgets::SetItemHook(nullptr);

    EXPECT_EQ(result, 0);
    EXPECT_FALSE(GameMode);
    EXPECT_EQ(session.stage, EditorSession::Stage::Done) << "stopped at frame " << session.frame;
    EXPECT_FALSE(session.opened.empty());
    EXPECT_GT(session.entities_before, 0u);
    EXPECT_EQ(session.entities_after, session.entities_before) << "Stop brought the played scene back";
    EXPECT_FLOAT_EQ(session.x_before_reload, std::stof(kTypedX)) << "typed into the inspector";
    EXPECT_FLOAT_EQ(session.x_after_reload, std::stof(kTypedX)) << "saved and loaded again";
    EXPECT_TRUE(OrvTest::Contains(printed, "[MessageBox] Load Scene: Are you sure you want to load the scene? It will "
                                           "overwrite current progress. -> Yes"));
    rapidjson::Document saved;
    ASSERT_TRUE(OrvSerializer.ReadFileToDocument(session.opened + "/Entities.json", saved));
    ASSERT_TRUE(saved.HasMember("Player"));
    EXPECT_FLOAT_EQ(saved["Player"][0]["Transform"][0]["position"][0]["x"].GetFloat(), std::stof(kTypedX));

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

namespace {

// Every scene of the index in turn: chosen in the scenes window, shown for 60 editor frames, saved
// with "Save Scene"; then the window gets its first size back and the program closes.
struct UntouchedSession {
    std::vector<std::string> scenes;
    size_t next = 0;
    int frame = 0;
    int shown_for = -1;
    int saved = 0;
    int first_width = 0;
    int first_height = 0;
    bool size_restored = false;

    void Step()
    {
        // A small window draws fast; the scene files checked are the same at any size, and
        // config.json, which gets the size at close, is checked after the size has come back.
        if (++frame == 1) {
            first_width = static_cast<int>(WindowsSystems::GetInstance()->width);
            first_height = static_cast<int>(WindowsSystems::GetInstance()->height);
            Platform::PlaceWindow(0, 0, 320, 180, false);
        }
        if (frame == 2) Press(Platform::VK_TAB_KEY);
        if (frame < 5) return;
        if (scenes.empty()) {
            for (const auto& [name, scene] : OrvStateMachine->scenes) scenes.push_back(name);
        }
        if (shown_for < 0) {
            if (next == scenes.size()) {
                if (!size_restored) Platform::PlaceWindow(0, 0, first_width, first_height, true);
                else Platform::PushMessage({Platform::WM_CLOSE_MSG, 0, 0});
                size_restored = true;
                return;
            }
            EditorManager::GetInstance()->FindWindow<LEScene>()->SelectScene(scenes[next]);
            shown_for = 0;
            return;
        }
        if (CurrentName() != scenes[next] || ++shown_for < 60) return;
        if (LEHierarchy::SaveScene()) ++saved;
        shown_for = -1;
        ++next;
    }
};

// Every regular file under `root`, by its path below it.
std::map<std::string, std::string> FilesUnder(const fs::path& root)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (entry.is_regular_file()) files[fs::relative(entry.path(), root).string()] = OrvTest::ReadFile(entry.path());
    }
    return files;
}

} // namespace

TEST_F(EditorEndToEndTest, EveryShippedSceneShownForSixtyFramesAndSavedLeavesEveryDataFileByteIdentical)
{
    UntouchedSession session;
    OrvTest::StdoutCapture console;
    EXPECT_EQ(RunFrames([&] { session.Step(); }, 4000, 1.0 / 60.0, /*editor=*/true), 0);
    console.Take();

    ASSERT_GT(session.scenes.size(), 10u);
    EXPECT_EQ(session.saved, static_cast<int>(session.scenes.size()));
    const auto shipped = FilesUnder(OrvTest::SourceDir() / "Resources" / "Data");
    const auto after = FilesUnder(DataDir());
    for (const auto& [name, text] : shipped) {
        auto found = after.find(name);
        ASSERT_NE(found, after.end()) << name << " is gone";
        EXPECT_TRUE(found->second == text) << name << " changed";
    }
    for (const auto& [name, text] : after) EXPECT_TRUE(shipped.count(name)) << name << " was written";
}
