// The Logic system: the gameplay creators, contact and collision delivery to both scripts, and the
// editor's picking, dragging and camera keys through the game view.
#include "GameplayFixture.h"

#include "Components/Camera.h"
#include "Scripts/BaseScript.h"

#include <cmath>
#include <functional>

using namespace OrvEngine;

namespace {

// Records each contact and collision call as "self>other:kind" and runs an optional action.
class RecordingScript : public BaseScript {
public:
    RecordingScript(std::vector<std::string>& log, std::function<void()> action = nullptr)
        : log_(log), action_(std::move(action))
    {
    }
    void OnContact(Entity* self, Entity* other) override { Record(self, other, "contact"); }
    void OnCollision(Entity* self, Entity* other) override { Record(self, other, "collision"); }

private:
    void Record(Entity* self, Entity* other, const std::string& kind)
    {
        log_.push_back(self->name + ">" + other->name + ":" + kind);
        if (action_) action_();
    }
    std::vector<std::string>& log_;
    std::function<void()> action_;
};

class LogicTest : public OrvTest::GameplayTest {
protected:
    Entity* Scripted(const std::string& name, std::function<void()> action = nullptr)
    {
        Entity* entity = MakeActor(name, TAG_OTHERS, 0.0f, 0.0f, false);
        ScriptSystem::GetInstance()->scripts[entity->id] = std::make_shared<RecordingScript>(calls, std::move(action));
        return entity;
    }
    void Send(uint32_t id, Entity* a, Entity* b) const
    {
        if (id == MSG_CONTACT) {
            ContactMessage message(a->id, b->id);
            Logic::GetInstance()->HandleMessage(&message);
        } else {
            CollisionMessage message(a->id, b->id);
            Logic::GetInstance()->HandleMessage(&message);
        }
    }
    std::vector<std::string> calls;
};

TEST_F(LogicTest, InitRegistersTheGameplayCreators)
{
    const std::pair<const char*, uint32_t> expected[] = {
        {"PlayerController", 10}, {"EnemyMovement", 8}, {"AIMovement", 9}, {"Spells", 13},
        {"Stats", 3},             {"Parent", 20},       {"Child", 21},     {"BossBehaviour", 23},
    };
    auto& creators = EntityFactory::GetInstance()->GetComponentCreators();
    for (const auto& [name, type] : expected) {
        ASSERT_TRUE(creators.count(name)) << name;
        EXPECT_EQ(creators[name]->GetType(), type) << name;
        EXPECT_EQ(creators[name]->Create()->GetName(), name);
    }
}

// The second 32-bit value of Stats is copied with the component but never written to a file.
TEST(StatsComponent, SavesSevenValuesAndClonesTheUnsavedSecond)
{
    Stats source;
    source.hp = 37;
    source.spare = 7;
    source.speed_attack = 1.25f;
    source.def_modifier = 0.3f;
    const std::string text = OrvTest::SerializeComponent(source);
    EXPECT_EQ(OrvTest::Parse(text).MemberCount(), 7u) << text;
    Stats read;
    OrvTest::RoundTrip(source, read);
    EXPECT_EQ(read.hp, 37);
    EXPECT_EQ(read.spare, 0);
    EXPECT_FLOAT_EQ(read.speed_attack, 1.25f);
    EXPECT_FLOAT_EQ(read.def_modifier, 0.3f);
    auto copy = std::static_pointer_cast<Stats>(source.Clone());
    EXPECT_EQ(copy->spare, 7);
    EXPECT_EQ(copy->hp, 37);
}

TEST_F(LogicTest, ContactsReachBothScriptsInOrderWhileTheGameRuns)
{
    Entity* a = Scripted("A");
    Entity* b = Scripted("B");
    Entity* plain = MakeActor("Plain", TAG_OTHERS, 0.0f, 0.0f, false);
    Send(MSG_CONTACT, a, b);
    Send(MSG_COLLISION, plain, a);
    EXPECT_EQ(calls, (std::vector<std::string>{"A>B:contact", "B>A:contact", "A>Plain:collision"}));

    calls.clear();
    GameIsRunning = false;
    Send(MSG_COLLISION, a, b);
    EXPECT_TRUE(calls.empty()) << "editing: no script hears collisions";

    GameIsRunning = true;
    Entity* outside = EntityFactory::GetInstance()->CreateEntity("Outside");
    Send(MSG_CONTACT, a, outside);
    EXPECT_TRUE(calls.empty()) << "an entity outside the current scene";
    EntityFactory::GetInstance()->DestroyEntity(outside);
}

TEST_F(LogicTest, AnEntityDestroyedByTheFirstHandlerIsNotCalled)
{
    uint64_t victim = 0;
    Entity* a = Scripted("A", [&] { Scene()->RemoveEntity(victim); });
    Entity* b = Scripted("B");
    victim = b->id;
    Send(MSG_CONTACT, a, b);
    EXPECT_EQ(calls, (std::vector<std::string>{"A>B:contact"}));
}

class EditorPickTest : public OrvTest::GameplayTest {
protected:
    void SetUp() override
    {
        GameplayTest::SetUp();
        GameIsRunning = false;
        editor = EditorManager::GetInstance();
        editor->edited_scene = Scene();
        editor->viewport_x = 100.0f;
        editor->viewport_y = 50.0f;
        editor->viewport_width = 640.0f;
        editor->viewport_height = 480.0f;
        cam = MakeActor("Cam", TAG_OTHERS, 0.0f, 0.0f, false);
        TransformOf(cam)->scale = Vec3(4.0f, 4.0f, 1.0f);
        camera = std::make_shared<Camera>();
        cam->AddComponent(CAMERA, camera);
        ActiveCamera = camera.get();
        box = Drawn(MakeActor("Box", TAG_OTHERS, 0.5f, 0.5f, false));
        Cursor(300.0f, 200.0f);
    }
    // Gives the entity a picture at depth z, so that the game view shows it.
    static Entity* Drawn(Entity* entity, float z = 1.0f)
    {
        auto sprite = std::make_shared<Sprite>();
        sprite->tex_identifier = "Picture";
        entity->AddComponent(SPRITE, sprite);
        TransformOf(entity)->position.z = z;
        return entity;
    }
    static void Cursor(float sx, float sy)
    {
        Input::Instance().screen_x = sx;
        Input::Instance().screen_y = sy;
    }
    static void Click(float x, float y, uint64_t left)
    {
        MouseMessage message(x, y, MSG_MOUSE_BUTTON);
        message.buttons[1] = left;
        Logic::GetInstance()->HandleMessage(&message);
    }
    EditorManager* editor = nullptr;
    Entity* cam = nullptr;
    Entity* box = nullptr;
    std::shared_ptr<Camera> camera;
};

TEST_F(EditorPickTest, PressSelectsAndStartsADragTheNextPressEndsIt)
{
    Click(0.6f, 0.7f, 1);
    EXPECT_EQ(editor->selected_entity, box) << "the camera's entity is passed over";
    EXPECT_EQ(editor->selected_id, box->id);
    EXPECT_EQ(editor->entity_picked, 1);
    Logic* logic = Logic::GetInstance();
    ASSERT_EQ(logic->drag_mode, 1);

    Input::Instance().world_x = 3.0f;
    Input::Instance().world_y = -1.0f;
    logic->Update();
    EXPECT_NEAR(TransformOf(box)->position.x, 2.9f, 1e-5f);
    EXPECT_NEAR(TransformOf(box)->position.y, -1.2f, 1e-5f);
    EXPECT_FLOAT_EQ(TransformOf(box)->position.z, 1.0f);

    Click(50.0f, 50.0f, 1);  // hits nothing, but only ends the drag
    EXPECT_EQ(logic->drag_mode, 0);
    EXPECT_EQ(editor->selected_entity, box);
    Click(50.0f, 50.0f, 0);
    EXPECT_EQ(editor->selected_entity, nullptr);
    EXPECT_EQ(editor->selected_id, 0u);
}

TEST_F(EditorPickTest, OnlyActiveDrawnObjectsArePickedTheTopmostFirstAndADragIsAnEdit)
{
    // Everything covers the point (3, 0); only Ilo and the ground below her can be seen there.
    auto place = [](Entity* entity, float z) {
        TransformOf(entity)->position = Vec3(3.0f, 0.0f, z);
        TransformOf(entity)->scale = Vec3(4.0f, 4.0f, 1.0f);
        return entity;
    };
    Entity* ground = place(Drawn(MakeActor("Ground", TAG_BACKGROUND, 0.0f, 0.0f, false)), 5.0f);
    Entity* ilo = place(Drawn(MakeActor("Ilo", TAG_PLAYER, 0.0f, 0.0f, false)), 102.4f);
    place(MakeActor("Bound_Bottom", TAG_OBSTACLE, 0.0f, 0.0f, false), 200.0f);  // a wall: no picture
    Entity* help = place(Drawn(MakeActor("HTPInPauseMenu", TAG_OTHERS, 0.0f, 0.0f, false)), 610.0f);
    help->SetActive(false);
    Entity* fade = place(Drawn(MakeActor("FadeIn", TAG_OTHERS, 0.0f, 0.0f, false)), 900.0f);
    fade->GetComponent<Sprite>(SPRITE)->SetTint(Color(1.0f, 1.0f, 1.0f, 0.0f), true);
    Entity* hidden = place(Drawn(MakeActor("Hidden", TAG_OTHERS, 0.0f, 0.0f, false)), 950.0f);
    hidden->GetComponent<Sprite>(SPRITE)->visible = false;
    Entity* blank = place(Drawn(MakeActor("Blank", TAG_OTHERS, 0.0f, 0.0f, false)), 960.0f);
    blank->GetComponent<Sprite>(SPRITE)->tex_identifier.clear();

    editor->scene_modified = false;
    Click(3.5f, 0.5f, 1);
    ASSERT_EQ(editor->selected_entity, ilo) << "the topmost object the view shows";
    Input::Instance().world_x = 5.0f;
    Input::Instance().world_y = 1.0f;
    Logic::GetInstance()->Update();
    EXPECT_NEAR(TransformOf(ilo)->position.x, 4.5f, 1e-5f) << "the drag moves the picked object";
    EXPECT_NEAR(TransformOf(help)->position.x, 3.0f, 1e-5f);
    EXPECT_TRUE(editor->scene_modified) << "a drag is an unsaved change";
    Click(5.0f, 1.0f, 0);

    ilo->SetActive(false);
    Click(3.5f, -1.5f, 0);
    EXPECT_EQ(editor->selected_entity, ground);
    EXPECT_EQ(Logic::GetInstance()->drag_mode, 0);
    ground->SetActive(false);
    Click(3.5f, -1.5f, 1);
    EXPECT_EQ(editor->selected_entity, nullptr) << "walls and hidden or transparent pictures are not picked";
    EXPECT_EQ(Logic::GetInstance()->drag_mode, 0);
}

TEST_F(EditorPickTest, OnlyClicksOnTheGameImageCount)
{
    Cursor(104.0f, 200.0f);  // 4 pixels in: still the window's border
    Click(0.5f, 0.5f, 1);
    EXPECT_EQ(editor->selected_entity, nullptr);
    Cursor(106.0f, 56.0f);
    Click(0.5f, 0.5f, 0);
    EXPECT_EQ(editor->selected_entity, box);
    EXPECT_EQ(Logic::GetInstance()->drag_mode, 0) << "a release selects without dragging";

    editor->edited_scene.reset();
    editor->SetSelection(nullptr);
    Click(0.5f, 0.5f, 1);
    EXPECT_EQ(editor->selected_entity, nullptr) << "no edited scene";
}

TEST_F(EditorPickTest, DragOfASelectionClearedByASceneChangeDoesNothing)
{
    Click(0.5f, 0.5f, 1);
    ASSERT_EQ(Logic::GetInstance()->drag_mode, 1);
    Scene()->Free();
    EXPECT_EQ(editor->selected_entity, nullptr);
    Logic::GetInstance()->Update();
    EXPECT_EQ(Logic::GetInstance()->drag_mode, 1) << "the next click ends it";
}

class EditorCameraTest : public OrvTest::GameplayTest {
protected:
    static void Type(uint64_t code, bool release = false)
    {
        CharMessage message;
        message.code = code;
        message.from_release = release;
        Logic::GetInstance()->HandleMessage(&message);
    }
};

TEST_F(EditorCameraTest, EachPressScalesTheViewByATenthKeepingItsAspect)
{
    Graphics* graphics = Graphics::GetInstance();
    graphics->camera_width = 16.0f;
    graphics->camera_height = 9.0f;
    for (int i = 0; i < 5; ++i) Type('+');
    EXPECT_NEAR(graphics->camera_height, 9.0f * std::pow(1.1f, 5.0f), 1e-4f) << "'+' grows the view: more shows";
    EXPECT_NEAR(graphics->camera_width, 16.0f * std::pow(1.1f, 5.0f), 1e-4f);
    Type('_');
    EXPECT_NEAR(graphics->camera_height, 9.0f * std::pow(1.1f, 5.0f) * 0.9f, 1e-4f) << "'_' shrinks it";
    Type('=');
    Type('-');
    EXPECT_NEAR(graphics->camera_height, 9.0f * std::pow(1.1f, 6.0f) * 0.81f, 1e-4f) << "'=' and '-' as '+' and '_'";
    EXPECT_NEAR(graphics->camera_width / graphics->camera_height, 16.0f / 9.0f, 1e-5f);

    const float width = graphics->camera_width;
    Type('j');
    Type('j', true);  // the release repeats the character: not a second press
    EXPECT_NEAR(graphics->camera_x, -width * 0.1f, 1e-5f);
    Type(']' + 0x100);  // only the low byte counts
    EXPECT_NEAR(graphics->camera_x, 0.0f, 1e-5f);

    graphics->camera_height = 0.0f;
    Type('=');
    EXPECT_TRUE(std::isfinite(graphics->camera_width));
    EXPECT_FLOAT_EQ(graphics->camera_height, 0.0f);
}

} // namespace
