// Input translation: key, character and mouse messages from window messages, pressed versus held,
// world positions through the camera and the editor's view, releases and focus loss.
#include "TestSupport.h"

#include "Components/Camera.h"
#include "Components/Transform.h"
#include "Factory/Entity.h"

using namespace OrvEngine;
using namespace OrvTest;
using Platform::WindowMessage;

namespace {

// Writes each delivered message as text: "key 65=1", "char 97=0 released", "move 1.5,2", "button 1,0".
class Listener : public ISystem {
public:
    std::string GetName() override { return "Windows"; }
    void HandleMessage(Message* message) override
    {
        std::ostringstream out;
        if (message->id == MSG_KEY || message->id == MSG_CHAR) {
            auto* keys = static_cast<KeyStateMessage*>(message);
            uint64_t code = 0;
            if (message->id == MSG_KEY) {
                code = static_cast<KeyMessage*>(message)->key;
            } else {
                // A release's character message is about the released character, not the stored code.
                auto* chars = static_cast<CharMessage*>(message);
                code = chars->from_release ? watched : chars->code;
            }
            auto count = keys->counts.find(code);
            out << (message->id == MSG_KEY ? "key " : "char ") << code << "="
                << (count == keys->counts.end() ? 0 : count->second);
            auto released = keys->released.find(code);
            if (released != keys->released.end() && released->second) out << " released";
        } else if (message->id != MSG_MOUSE_MOVE && message->id != MSG_MOUSE_BUTTON) {
            out << "id " << message->id;
        } else {
            auto* mouse = static_cast<MouseMessage*>(message);
            out << (message->id == MSG_MOUSE_MOVE ? "move " : "button ") << mouse->x << "," << mouse->y << " "
                << mouse->buttons.at(1) << mouse->buttons.at(2);
        }
        seen.push_back(out.str());
    }
    std::vector<std::string> seen;
    uint64_t watched = 0;
};

class InputTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        listener = new Listener();
        MakeCoreEngine({listener});
        GameIsRunning = true; // Escape then only pauses, and there is no scene to pause
    }

    int64_t Send(uint32_t message, uint64_t wparam = 0, int64_t lparam = 0)
    {
        return Input::Instance().HandleWindowMessage(message, wparam, lparam);
    }
    void MoveMouse(int x, int y) { Send(Platform::WM_MOUSEMOVE_MSG, 0, Platform::PackMousePosition(x, y)); }
    std::vector<std::string> Take()
    {
        std::vector<std::string> s;
        s.swap(listener->seen);
        return s;
    }
    using Texts = std::vector<std::string>;

    Listener* listener = nullptr; // owned by the core engine
};

} // namespace

TEST_F(InputTest, TypingALetterIsPressedOnceThenHeld)
{
    EXPECT_EQ(Send(Platform::WM_KEYDOWN_MSG, 'A'), 0);
    EXPECT_EQ(Send(Platform::WM_CHAR_MSG, 'a'), 0);
    EXPECT_EQ(Take(), (Texts{"key 65=1", "key 65=2", "char 97=1"}));
    EXPECT_TRUE(Input::GetKeyMessage().IsKeyDown('A'));
    EXPECT_FALSE(Input::GetKeyMessage().IsKeyTriggered('A'));

    listener->watched = 'a';
    EXPECT_EQ(Send(Platform::WM_KEYUP_MSG, 'A'), 0);
    // The character message keeps the last typed code; the count and mark are about 'a'.
    EXPECT_EQ(Take(), (Texts{"char 97=0 released", "key 65=0 released"}));
    EXPECT_FALSE(Input::GetCharMessage().from_release) << "only during the broadcast";
    EXPECT_FALSE(Input::GetKeyMessage().IsKeyDown('A'));
}

TEST_F(InputTest, ADigitGivesNoKeyMessageFromItsCharacterButOneOfEachOnRelease)
{
    Send(Platform::WM_KEYDOWN_MSG, '7');
    Send(Platform::WM_CHAR_MSG, '7');
    EXPECT_EQ(Take(), (Texts{"key 55=1", "char 55=1"}));
    listener->watched = '7';
    Send(Platform::WM_KEYUP_MSG, '7');
    EXPECT_EQ(Take(), (Texts{"char 55=0 released", "key 55=0 released"}));
}

TEST_F(InputTest, EscapeTypedIsACharacterAndItsReleaseOnlyAKeyMessage)
{
    Send(Platform::WM_KEYDOWN_MSG, 27);
    Send(Platform::WM_CHAR_MSG, 27);
    EXPECT_EQ(Take(), (Texts{"key 27=1", "char 27=1"}));
    Send(Platform::WM_KEYUP_MSG, 27);
    EXPECT_EQ(Take(), Texts{"key 27=0 released"});
    EXPECT_EQ(Input::GetCharMessage().counts[27], 0u) << "the key-up resets the character it typed";

    // A later letter release re-sends the stored code 27, marked as a release: no second Escape.
    GameIsRunning = false;
    Send(Platform::WM_KEYDOWN_MSG, 'Q');
    Send(Platform::WM_KEYUP_MSG, 'Q');
    EXPECT_TRUE(OrvCoreEngine->running);
    EXPECT_EQ(Input::GetCharMessage().code, 27u);
}

TEST_F(InputTest, AKeyUpResetsEveryCharacterThatKeyTyped)
{
    Send(Platform::WM_KEYDOWN_MSG, Platform::VK_SHIFT_KEY);
    Send(Platform::WM_KEYDOWN_MSG, 'A');
    Send(Platform::WM_CHAR_MSG, 'A');
    Send(Platform::WM_CHAR_MSG, 'A'); // auto-repeat
    Send(Platform::WM_KEYDOWN_MSG, Platform::VK_SPACE_KEY);
    Send(Platform::WM_CHAR_MSG, ' ');
    CharMessage& chars = Input::GetCharMessage();
    EXPECT_EQ(chars.counts['A'], 2u);
    EXPECT_EQ(chars.counts[' '], 1u);
    Send(Platform::WM_KEYUP_MSG, 'A');
    EXPECT_EQ(chars.counts['A'], 0u);
    EXPECT_TRUE(chars.released['A']);
    EXPECT_EQ(chars.counts[' '], 1u) << "another key's character stays";
    Send(Platform::WM_KEYUP_MSG, Platform::VK_SPACE_KEY);
    EXPECT_EQ(chars.counts[' '], 0u);
    EXPECT_TRUE(Input::GetKeyMessage().IsKeyDown(Platform::VK_SHIFT_KEY));
}

TEST_F(InputTest, LosingFocusLetsGoOfEveryHeldKey)
{
    Send(Platform::WM_KEYDOWN_MSG, Platform::VK_LEFT_KEY);
    Send(Platform::WM_KEYDOWN_MSG, 'D');
    Send(Platform::WM_CHAR_MSG, 'd');
    EXPECT_EQ(Send(Platform::WM_KILLFOCUS_MSG), 1);
    KeyMessage& keys = Input::GetKeyMessage();
    EXPECT_FALSE(keys.IsKeyDown(Platform::VK_LEFT_KEY));
    EXPECT_FALSE(keys.IsKeyDown('D'));
    EXPECT_EQ(Input::GetCharMessage().counts['d'], 0u);
    // The key-up never arrives; the next press is a fresh one.
    Send(Platform::WM_SETFOCUS_MSG);
    Send(Platform::WM_KEYDOWN_MSG, Platform::VK_LEFT_KEY);
    EXPECT_TRUE(keys.IsKeyTriggered(Platform::VK_LEFT_KEY));
}

TEST_F(InputTest, KeyQueriesAndReleasedMarks)
{
    KeyMessage& keys = Input::GetKeyMessage();
    EXPECT_FALSE(keys.IsKeyDown(200));
    EXPECT_EQ(keys.counts.count(200), 0u) << "IsKeyDown adds no entry";
    EXPECT_FALSE(keys.IsKeyTriggered(201));
    EXPECT_EQ(keys.counts.count(201), 1u) << "IsKeyTriggered adds an entry";
    EXPECT_EQ(keys.counts[201], 0u);

    Send(Platform::WM_KEYDOWN_MSG, 'W');
    Send(Platform::WM_KEYUP_MSG, 'W');
    EXPECT_TRUE(keys.released['W']);
    EXPECT_TRUE(Input::GetCharMessage().released['w']);
    EXPECT_EQ(Send(Platform::WM_SIZE_MSG), 1) << "a message the translation does not handle";
    EXPECT_TRUE(keys.released.empty());
    EXPECT_TRUE(Input::GetCharMessage().released.empty());

    // The window pump clears them once a frame as well.
    Send(Platform::WM_KEYDOWN_MSG, 'W');
    Send(Platform::WM_KEYUP_MSG, 'W');
    WindowsSystems::GetInstance()->Update();
    EXPECT_TRUE(keys.released.empty());
}

TEST_F(InputTest, MouseWorldPositionThroughTheCamera)
{
    WindowsSystems* window = WindowsSystems::GetInstance();
    window->width = 800;
    window->height = 600;
    Entity holder;
    auto transform = std::make_shared<Transform>();
    transform->position = Vec3(10.0f, -4.0f, 0.0f);
    holder.AddComponent(TRANSFORM, transform);
    auto camera = std::make_shared<Camera>();
    camera->owner = &holder;
    camera->view_width = 16;
    camera->view_height = 12;
    ActiveCamera = camera.get();

    MoveMouse(600, 150);
    EXPECT_FLOAT_EQ(Input::Instance().screen_x, 600.0f);
    EXPECT_EQ(Take(), Texts{"move 14,-1 00"}) << "x: 10 + 200 * 16 / 800, y: -4 + 150 * 12 / 600";

    // A camera whose entity has no Transform counts as none.
    holder.RemoveComponent(TRANSFORM);
    window->width = 801;
    window->height = 601;
    MoveMouse(500, 100);
    ActiveCamera = nullptr;
    MoveMouse(0, 0);
    // Device coordinates with the halves in whole pixels: (500 - 400) / 400, (300 - 100) / 300.
    EXPECT_EQ(Take(), (Texts{"move 0.25,0.666667 00", "move -1,1 00"}));
}

TEST_F(InputTest, MouseWorldPositionWhileEditingCountsOnlyInsideTheGameView)
{
    GameIsRunning = false;
    WindowsSystems::GetInstance()->width = 1280;
    WindowsSystems::GetInstance()->height = 720;
    Graphics* graphics = Graphics::GetInstance();
    graphics->camera_x = 3.0f;
    graphics->camera_y = 1.0f;
    graphics->camera_width = 20.0f;
    graphics->camera_height = 10.0f;
    EditorManager* editor = EditorManager::GetInstance();
    Input::Instance().world_x = 7.0f;
    Input::Instance().world_y = 8.0f;
    MoveMouse(300, 200);
    EXPECT_EQ(Take(), Texts{"move 7,8 00"}) << "no view laid out yet";

    editor->viewport_x = 100.0f;
    editor->viewport_y = 50.0f;
    editor->viewport_width = 400.0f;
    editor->viewport_height = 200.0f;
    // The view starts 5 pixels in: (105, 55) to (505, 255).
    MoveMouse(105 + 300, 55 + 50);
    EXPECT_EQ(Take(), Texts{"move 8,3.5 00"}) << "x: 3 + (300 - 200) * 20 / 400, y: 1 + (100 - 50) * 10 / 200";
    for (auto [x, y] : {std::pair{105, 100}, std::pair{505, 100}, std::pair{300, 55}, std::pair{300, 255},
                        std::pair{50, 20}}) {
        MoveMouse(x, y);
        EXPECT_EQ(Take(), Texts{"move 8,3.5 00"}) << x << "," << y << " is outside: the last position is sent again";
    }
}

TEST_F(InputTest, ButtonsCarryTheLastMovePositionAndMovesNeverReportButtons)
{
    WindowsSystems::GetInstance()->width = 200;
    WindowsSystems::GetInstance()->height = 100;
    MoveMouse(150, 25);
    Send(Platform::WM_LBUTTONDOWN_MSG, 0, Platform::PackMousePosition(0, 0));
    Send(Platform::WM_RBUTTONDOWN_MSG);
    MoveMouse(-50, 200); // signed 16-bit coordinates
    Send(Platform::WM_LBUTTONUP_MSG);
    EXPECT_EQ(Take(), (Texts{"move 0.5,0.5 00", "button 0.5,0.5 10", "button 0.5,0.5 11", "move -1.5,-3 00",
                             "button -1.5,-3 01"}));
}
