// Editor frames driven headless: the manager's ImGui context with the window's display size,
// frames run through its Update without GL, clicks through io.MousePos and the left button. The
// menu bar's buttons in each play state, the scenes window's list and buttons, the game view's
// fit and rectangle, the tiled first layout, and the Tab toggle.
#include "EditorTestSupport.h"

#include "Editor/EditorLayout.h"
#include "Editor/EditorWindows/LEMenuBar.h"
#include "Graphics/Graphics.h"
#include "Windows/Input.h"
#include "Windows/WindowsSystems.h"

using namespace OrvEngine;
using namespace OrvTest;

namespace {

class EditorFrameTest : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        EditorVisible = true;
        Frame();
        Frame();
    }

    // One editor frame with the mouse at `at`, the left button as given.
    void Frame(ImVec2 at = ImVec2(-1.0f, -1.0f), bool down = false)
    {
        ImGuiIO& io = ImGui::GetIO();
        io.MousePos = at;
        io.MouseDown[0] = down;
        editor->Update();
    }

    // What the mouse at `at` is over, after a frame there.
    ImGuiID HoverAt(ImVec2 at)
    {
        Frame(at);
        return HoveredId();
    }

    void Click(ImVec2 at)
    {
        Frame(at);
        Frame(at, true);
        Frame(at);
    }

    ImGuiID MenuId(const char* label) const { return WidgetId("##menubar", label); }
    static ImVec2 MenuButton(std::vector<std::string> row, size_t index) { return RowButtonCentre("##menubar", row, index); }
};

} // namespace

TEST_F(EditorFrameTest, TheMenuBarOffersTheButtonsOfEachPlayStateAndTheCheckboxInAll)
{
    Enter("GameScene_01");
    Frame();
    const ImVec2 checkbox = SecondRowCheckboxCentre("##menubar");
    const ImGuiID checkbox_id = MenuId("show debug drawing");

    // Editing: "Play" alone.
    EXPECT_EQ(HoverAt(MenuButton({"Play"}, 0)), MenuId("Play"));
    EXPECT_NE(HoverAt(MenuButton({"Play", "Stop"}, 1)), MenuId("Stop"));
    EXPECT_EQ(HoverAt(checkbox), checkbox_id);
    Click(checkbox);
    EXPECT_TRUE(ShowDebugDrawing);
    Click(MenuButton({"Play"}, 0));
    EXPECT_TRUE(GameIsRunning);
    EXPECT_FALSE(EditorVisible) << "Play hides the editor";

    // Running: "Pause" and "Stop".
    EditorVisible = true;
    Frame();
    EXPECT_EQ(HoverAt(MenuButton({"Pause", "Stop"}, 0)), MenuId("Pause"));
    EXPECT_EQ(HoverAt(MenuButton({"Pause", "Stop"}, 1)), MenuId("Stop"));
    EXPECT_EQ(HoverAt(checkbox), checkbox_id);
    Click(MenuButton({"Pause", "Stop"}, 0));
    EXPECT_TRUE(EditorPaused);
    EXPECT_FALSE(GameIsRunning);

    // Paused: "Play" and "Stop"; this Stop restores in place.
    EXPECT_EQ(HoverAt(MenuButton({"Play", "Stop"}, 0)), MenuId("Play"));
    EXPECT_EQ(HoverAt(MenuButton({"Play", "Stop"}, 1)), MenuId("Stop"));
    EXPECT_EQ(HoverAt(checkbox), checkbox_id);
    Click(MenuButton({"Play", "Stop"}, 1));
    EXPECT_FALSE(EditorPaused);
    EXPECT_FALSE(GameIsRunning);
    EXPECT_TRUE(OrvStateMachine->next_state.empty());

    // Running again, stopped from running: the played scene is asked for.
    Click(MenuButton({"Play"}, 0));
    ASSERT_TRUE(GameIsRunning);
    EditorVisible = true;
    Frame();
    Click(MenuButton({"Pause", "Stop"}, 1));
    EXPECT_FALSE(GameIsRunning);
    EXPECT_EQ(OrvStateMachine->next_state, "GameScene_01");
    Click(checkbox);
    EXPECT_FALSE(ShowDebugDrawing);
}

TEST_F(EditorFrameTest, TheScenesWindowListsTheScenesAndItsButtonsActOnlyWhileEditing)
{
    const std::vector<std::string> buttons = {"Add Game Scene", "Add Splash Scene", "Delete Scene"};
    auto row_id = [](const std::string& name) { return TreeWidgetId("Scenes", "Scenes", name + "##"); };
    const std::vector<std::string> names = {"GameScene_01", "GameScene_02", "MainMenuScene", "SplashScene_00"};
    for (size_t i = 0; i < names.size(); ++i) EXPECT_EQ(HoverAt(SceneRowCentre(true, i)), row_id(names[i])) << names[i];
    EXPECT_NE(HoverAt(RowButtonCentre("Scenes", buttons, 2)), WidgetId("Scenes", "Delete Scene")) << "nothing to delete";

    Click(SceneRowCentre(true, 1));
    EXPECT_EQ(OrvStateMachine->next_state, "GameScene_02");
    FrameEnd();
    Frame();
    EXPECT_EQ(editor->edited_scene->GetSceneName(), "GameScene_02");
    EXPECT_EQ(HoverAt(RowButtonCentre("Scenes", buttons, 2)), WidgetId("Scenes", "Delete Scene"));

    Click(RowButtonCentre("Scenes", buttons, 0));
    ASSERT_NE(OrvStateMachine->GetScene("GameScene_03"), nullptr);
    EXPECT_EQ(HoverAt(SceneRowCentre(true, 2)), row_id("GameScene_03")) << "the new scene is listed in order";
    Click(RowButtonCentre("Scenes", buttons, 1));
    EXPECT_NE(OrvStateMachine->GetScene("SplashScene_01"), nullptr);

    // While running the buttons are gone and the tree moves up; a click still switches and stops.
    ASSERT_TRUE(LEMenuBar::Play());
    EditorVisible = true;
    Frame();
    EXPECT_EQ(HoverAt(RowButtonCentre("Scenes", buttons, 0)), WidgetId("Scenes", "Scenes"));
    Click(SceneRowCentre(false, 0));
    EXPECT_FALSE(GameIsRunning);
    EXPECT_EQ(OrvStateMachine->next_state, "GameScene_01");
    EXPECT_TRUE(editor->GetSceneFlag("GameScene_02")) << "the played scene keeps its snapshot for later";
}

TEST_F(EditorFrameTest, TheGameViewKeepsTheWindowAspectAndItsRectangleIsTheImage)
{
    const Vec2 wide = EditorLayout::FitToAspect(800.0f, 300.0f, 16.0f / 9.0f);
    EXPECT_FLOAT_EQ(wide.y, 300.0f) << "a wide area limits the height";
    EXPECT_NEAR(wide.x, 533.333f, 0.01f);
    const Vec2 tall = EditorLayout::FitToAspect(400.0f, 600.0f, 16.0f / 9.0f);
    EXPECT_FLOAT_EQ(tall.x, 400.0f) << "a narrow area limits the width";
    EXPECT_FLOAT_EQ(tall.y, 225.0f);
    EXPECT_FLOAT_EQ(EditorLayout::FitToAspect(400.0f, 600.0f, 0.0f).x, 0.0f);

    ImGuiWindow* view = EditorWindow("##viewport");
    ASSERT_NE(view, nullptr);
    EXPECT_NEAR(editor->viewport_width / editor->viewport_height, 1280.0f / 720.0f, 0.01f);
    EXPECT_LE(editor->viewport_width, view->ContentRegionRect.GetWidth() + 0.5f);
    // Picking looks 5 pixels inside (x, y): that corner is the image's own.
    const ImVec2 image(editor->viewport_x + 5.0f, editor->viewport_y + 5.0f);
    EXPECT_FLOAT_EQ(image.x, view->DC.CursorStartPos.x);
    EXPECT_FLOAT_EQ(image.y, view->DC.CursorStartPos.y);

    // Hovered, the view is active and holds still; elsewhere it may be moved again.
    Frame(ImVec2(image.x + 20.0f, image.y + 20.0f));
    Frame(ImVec2(image.x + 20.0f, image.y + 20.0f));
    EXPECT_TRUE(editor->viewport_active);
    EXPECT_TRUE(editor->viewport_window_flags & ImGuiWindowFlags_NoMove);
    Frame(SceneRowCentre(true, 0));
    EXPECT_FALSE(editor->viewport_active);
    EXPECT_EQ(editor->viewport_window_flags, 0);

    // First use tiles the windows over the display.
    for (auto [name, pane] : {std::pair{"##menubar", EditorPane::MenuBar}, {"##viewport", EditorPane::GameView},
                              {"Scenes", EditorPane::Scenes}}) {
        const PaneRect rect = EditorLayout::TiledRect(pane, 1280.0f, 720.0f);
        ImGuiWindow* window = EditorWindow(name);
        ASSERT_NE(window, nullptr) << name;
        // ImGui keeps whole pixels.
        EXPECT_NEAR(window->Pos.x, rect.x, 1.0f) << name;
        EXPECT_NEAR(window->Pos.y, rect.y, 1.0f) << name;
        EXPECT_NEAR(window->Size.x, rect.width, 1.0f) << name;
        EXPECT_NEAR(window->Size.y, rect.height, 1.0f) << name;
    }
}

TEST_F(EditorFrameTest, TabTogglesOnlyOnItsOwnPressAndNeverInGameModeAndAHiddenEditorDrawsNothing)
{
    Input& input = Input::Instance();
    auto key = [&](uint32_t message, uint64_t code) { input.HandleWindowMessage(message, code, 0); };
    EditorVisible = false;
    key(Platform::WM_KEYDOWN_MSG, Platform::VK_TAB_KEY);
    EXPECT_TRUE(EditorVisible);
    key(Platform::WM_KEYDOWN_MSG, Platform::VK_TAB_KEY); // held: the count goes to 2
    EXPECT_TRUE(EditorVisible);
    key(Platform::WM_KEYUP_MSG, Platform::VK_TAB_KEY);
    key(Platform::WM_KEYDOWN_MSG, Platform::VK_TAB_KEY);
    EXPECT_FALSE(EditorVisible);
    key(Platform::WM_KEYDOWN_MSG, 'A'); // Tab's count is still 1 in this message
    EXPECT_FALSE(EditorVisible);
    key(Platform::WM_KEYUP_MSG, 'A');
    key(Platform::WM_KEYUP_MSG, Platform::VK_TAB_KEY);

    const int frames = ImGui::GetFrameCount();
    ImGui::GetIO().AddInputCharacter('q'); // typed in the game
    editor->Update();
    EXPECT_EQ(ImGui::GetFrameCount(), frames) << "hidden, the editor only presents";
    EXPECT_TRUE(ImGui::GetIO().InputQueueCharacters.empty()) << "and what the game was typed is not kept for later";

    GameMode = true;
    key(Platform::WM_KEYDOWN_MSG, Platform::VK_TAB_KEY);
    EXPECT_FALSE(EditorVisible);
    key(Platform::WM_KEYUP_MSG, Platform::VK_TAB_KEY);
    GameMode = false;

    // The player the camera follows: the edited scene's while editing, the running scene's in play.
    EditorVisible = true;
    EXPECT_EQ(editor->FindPlayerEntity(), nullptr) << "no edited scene";
    Enter("GameScene_01");
    ASSERT_NE(editor->FindPlayerEntity(), nullptr);
    EXPECT_EQ(editor->FindPlayerEntity()->GetName(), "Player");
    EditorVisible = false;
    EXPECT_EQ(editor->FindPlayerEntity(), nullptr) << "not running";
    GameIsRunning = true;
    Enter("GameScene_02");
    EXPECT_EQ(editor->FindPlayerEntity(), nullptr) << "no player in this scene";
    GameIsRunning = false;

    editor->SetSelection(CurrentScene()->FindEntityByName("Sign"));
    QuitMessage quit;
    editor->HandleMessage(&quit);
    EXPECT_EQ(editor->selected_entity, nullptr);
    EXPECT_EQ(editor->edited_scene, nullptr);
    EXPECT_FALSE(editor->GetSceneFlag("NeverSeen"));
    EXPECT_EQ(editor->scene_flags.count("NeverSeen"), 0u);
}

// The editor camera starts at the origin, 10 high, and only its keys move it: opening scenes,
// whatever their cameras, leaves it where it is; its width follows the game image's aspect.
TEST_F(EditorFrameTest, OpeningScenesLeavesTheViewWhereItIsUnstretchedAndOnlyItsKeysMoveIt)
{
    Graphics* graphics = Graphics::GetInstance();
    WindowsSystems* window = WindowsSystems::GetInstance();
    auto view_aspect = [&] { return graphics->camera_width / graphics->camera_height; };
    auto expect_view = [&](float x, float height, const char* when) {
        EXPECT_FLOAT_EQ(graphics->camera_x, x) << when;
        EXPECT_FLOAT_EQ(graphics->camera_y, 0.0f) << when;
        EXPECT_NEAR(graphics->camera_height, height, 1e-4f) << when;
    };
    expect_view(0.0f, 10.0f, "after Init");
    EXPECT_NEAR(view_aspect(), 1280.0f / 720.0f, 1e-5f) << "as wide as the 16:9 image";

    Enter("GameScene_01");
    TransformOf("Cam")->position = Vec3(-2.0f, 0.5f, 0.0f);
    TransformOf("Cam")->scale = Vec3(16.0f, 9.0f, 1.0f);
    Frame();
    Frame();
    expect_view(0.0f, 10.0f, "a scene with a camera elsewhere opened");

    // '+' grows the view by a tenth keeping its aspect, 'l' pans right by a tenth of the width.
    Input::Instance().HandleWindowMessage(Platform::WM_CHAR_MSG, '+', 0);
    Input::Instance().HandleWindowMessage(Platform::WM_CHAR_MSG, 'l', 0);
    Frame();
    const float panned = graphics->camera_x;
    EXPECT_NEAR(panned, 11.0f * 1280.0f / 720.0f * 0.1f, 1e-4f);
    expect_view(panned, 11.0f, "after the keys");
    EXPECT_NEAR(view_aspect(), 1280.0f / 720.0f, 1e-5f);

    // A 4:3 window, another scene, the first closed and opened again: the view stays, now 4:3.
    const uint64_t width = window->width;
    const uint64_t height = window->height;
    window->width = 1024;
    window->height = 768;
    Enter("GameScene_02");
    Frame();
    expect_view(panned, 11.0f, "another scene opened");
    EXPECT_NEAR(view_aspect(), 4.0f / 3.0f, 1e-5f);
    Enter("GameScene_01");
    LEScene scenes;
    scenes.SelectScene("GameScene_01");
    Frame();
    Enter("GameScene_01");
    Frame();
    window->width = width;
    window->height = height;
    expect_view(panned, 11.0f, "closed and opened again");
}
