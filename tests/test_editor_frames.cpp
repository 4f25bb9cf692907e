// Editor frames driven headless: the manager's ImGui context with the window's display size,
// frames run through its Update without GL, clicks through io.MousePos and the left button. The
// menu bar's buttons in each play state, the scenes window's list and buttons, the game view's
// fit and rectangle, the tiled first layout, and the Tab toggle.
#include "EditorTestSupport.h"

#include "Editor/EditorLayout.h"
#include "Editor/EditorWidgets.h"
#include "Editor/EditorWindows/LEMenuBar.h"
#include "Graphics/Graphics.h"
#include "Logic/Logic.h"
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

    // Hovered, the view is active and its stored flags hold it still; elsewhere they are cleared.
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

// A drag that starts in the game view while another window has the focus moves the picked object
// with the mouse and never the view's window: pressed on the frame the mouse arrives (ImGui saw the
// view neither focused nor hovered the frame before), or after a frame over it with a list open
// (which keeps ImGui from reporting the view hovered).
TEST_F(EditorFrameTest, ADragStartedInTheGameViewWhileAnotherWindowHasTheFocusMovesTheObjectNotTheView)
{
    std::vector<EditorWidgets::DrawnItem> items;
    EditorWidgets::SetItemHook([&](const EditorWidgets::DrawnItem& item) { items.push_back(item); });
    Enter("GameScene_01");
    Entity* player = CurrentScene()->FindEntityByName("Player");
    auto picture = std::make_shared<Sprite>();
    picture->tex_identifier = "Picture";
    player->AddComponent(SPRITE, picture);
    Graphics* graphics = Graphics::GetInstance();
    Input& input = Input::Instance();
    // One frame as the loop runs it: the window's mouse messages, the drag, then the editor.
    auto frame = [&](ImVec2 at, bool down, uint32_t message = Platform::WM_MOUSEMOVE_MSG) {
        const int64_t packed = Platform::PackMousePosition(static_cast<int>(at.x), static_cast<int>(at.y));
        input.HandleWindowMessage(Platform::WM_MOUSEMOVE_MSG, 0, packed);
        if (message != Platform::WM_MOUSEMOVE_MSG) input.HandleWindowMessage(message, 0, packed);
        Logic::GetInstance()->Update();
        items.clear();
        Frame(at, down);
    };
    auto field = [&](const std::string& label) {
        for (const auto& item : items) {
            if (item.label == label) return ImVec2(item.min.x + 10.0f, (item.min.y + item.max.y) / 2.0f);
        }
        return ImVec2(-1.0f, -1.0f);
    };
    auto on_screen = [&](const Vec3& p) {
        const float inset = EditorState::kViewportInset;
        return ImVec2(editor->viewport_x + inset + editor->viewport_width / 2.0f +
                          (p.x - graphics->camera_x) * editor->viewport_width / graphics->camera_width,
                      editor->viewport_y + inset + editor->viewport_height / 2.0f -
                          (p.y - graphics->camera_y) * editor->viewport_height / graphics->camera_height);
    };

    auto click_inspector = [&](const char* label) {
        editor->SetSelection(player);
        frame(ImVec2(-1.0f, -1.0f), false);
        Click(field(label));
    };
    struct Case {
        const char* what;
        std::function<void()> focus_elsewhere;
        bool hover_first; // a frame over the view before the press
    };
    const Case cases[] = {
        {"an inspector field being edited",
         [&] {
             click_inspector("##transform_pos_x");
             ASSERT_NE(ImGui::GetActiveID(), 0u);
         },
         false},
        {"the tag list open",
         [&] {
             click_inspector("##entity_tag");
             ASSERT_EQ(ImGui::GetCurrentContext()->OpenPopupStack.Size, 1);
         },
         true},
        {"the scenes window focused",
         [&] {
             ImGuiWindow* scenes = EditorWindow("Scenes");
             Click(ImVec2(scenes->Pos.x + scenes->Size.x - 20.0f, scenes->Pos.y + scenes->Size.y - 20.0f));
         },
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.focus_elsewhere();
        ASSERT_NE(ImGui::GetCurrentContext()->NavWindow, EditorWindow("##viewport"));
        const ImVec2 window_at = EditorWindow("##viewport")->Pos;
        const Vec3 from = TransformOf("Player")->position;
        const ImVec2 grab = on_screen(from);
        if (c.hover_first) frame(grab, false);
        frame(grab, true, Platform::WM_LBUTTONDOWN_MSG);
        for (int step = 1; step <= 6; ++step) frame(ImVec2(grab.x + 10.0f * step, grab.y), true);
        frame(ImVec2(grab.x + 60.0f, grab.y), false, Platform::WM_LBUTTONUP_MSG);
        frame(ImVec2(grab.x + 60.0f, grab.y), false);

        EXPECT_EQ(editor->selected_entity, player);
        EXPECT_FLOAT_EQ(EditorWindow("##viewport")->Pos.x, window_at.x) << "the view's window stays";
        EXPECT_FLOAT_EQ(EditorWindow("##viewport")->Pos.y, window_at.y);
        const float due = 60.0f * graphics->camera_width / editor->viewport_width;
        EXPECT_NEAR(TransformOf("Player")->position.x - from.x, due, due * 0.05f) << "the object follows the mouse";
        EXPECT_NEAR(TransformOf("Player")->position.y, from.y, 0.05f);
    }
    EditorWidgets::SetItemHook(nullptr);
}
