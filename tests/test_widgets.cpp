// Interface widgets: button order, keyboard and mouse selection and activation; the sprite bar
// mode and sliders following a watched entity's hit points; a bar on screen (offscreen GL).
#include "TestSupport.h"
#include "GLTestSupport.h"

#include "Components/Button.h"
#include "Components/Child.h"
#include "Components/Parent.h"
#include "Components/Slider.h"
#include "Components/Sprite.h"
#include "Components/Stats.h"
#include "Components/Transform.h"
#include "Factory/Entity.h"
#include "Factory/Information.h"
#include "Graphics/Framebuffer.h"
#include "Scene/IScene.h"
#include "Scene/KeptEntity.h"

#include <GL/glew.h>

using namespace OrvEngine;

namespace {

class WidgetTest : public OrvTest::EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        OrvTest::RegisterCoreComponents();
        ButtonSystem::GetInstance()->Init();
        SliderSystem::GetInstance()->Init();
        OrvTest::MakeCoreEngine({ButtonSystem::GetInstance(), SliderSystem::GetInstance()});
        new SceneStateMachine();
        OrvStateMachine->scenes["Options"] = SceneStateMachine::MakeGameScene();
        OrvStateMachine->current_scene = SceneStateMachine::MakeGameScene();
        GameIsRunning = true;
        OrvCoreEngine->dt = 0.5f;
    }

    static std::shared_ptr<IScene> Scene() { return OrvStateMachine->current_scene; }

    // A live entity with Information and a Transform at (x, y) with the given scale.
    static Entity* MakeEntity(const std::string& name, float x, float y, Vec3 scale = {0.5f, 0.5f, 1.0f})
    {
        Entity* entity = OrvTest::MakeTransformEntity(name, {x, y, 1.0f}, scale, TAG_NONE);
        Scene()->AddEntity(entity->id, entity);
        return entity;
    }

    static std::shared_ptr<Button> MakeButton(const std::string& name, float x, float y, const std::string& next = "")
    {
        Entity* entity = MakeEntity(name, x, y);
        entity->AddComponent(SPRITE, std::make_shared<Sprite>());
        auto button = std::make_shared<Button>();
        button->next_state = next;
        entity->AddComponent(BUTTON, button);
        EntityFactory::GetInstance()->AddEntityToSystems(entity);
        return button;
    }

    static void Key(uint32_t message, uint64_t key) { Input::Instance().HandleWindowMessage(message, key, 0); }
    static void Press(uint64_t key) { Key(Platform::WM_KEYDOWN_MSG, key); }
    static void Release(uint64_t key) { Key(Platform::WM_KEYUP_MSG, key); }
    static void Tap(uint64_t key)
    {
        Press(key);
        Release(key);
    }

    // Moves the cursor to window pixel (sx, sy) and clicks the left button.
    static void ClickAt(int sx, int sy)
    {
        Input& input = Input::Instance();
        input.HandleWindowMessage(Platform::WM_MOUSEMOVE_MSG, 0, Platform::PackMousePosition(sx, sy));
        input.HandleWindowMessage(Platform::WM_LBUTTONDOWN_MSG, 0, 0);
        input.HandleWindowMessage(Platform::WM_LBUTTONUP_MSG, 0, 0);
    }

    static ButtonSystem* Buttons() { return ButtonSystem::GetInstance(); }
};

TEST_F(WidgetTest, ArrowsAndWasdMoveThroughAColumnAndWrapAround)
{
    auto top = MakeButton("Top", 0.0f, 1.0f);
    auto middle = MakeButton("Middle", 0.0f, 0.0f);
    auto bottom = MakeButton("Bottom", 0.0f, -1.0f);
    Buttons()->Update();
    ASSERT_EQ(Buttons()->selected, top) << "the top-left button is selected first";
    Tap(Platform::VK_DOWN_KEY);
    EXPECT_EQ(Buttons()->selected, middle);
    Tap('S');
    EXPECT_EQ(Buttons()->selected, bottom);
    Tap(Platform::VK_DOWN_KEY);
    EXPECT_EQ(Buttons()->selected, top) << "down from the bottom wraps to the top";
    Tap('W');
    EXPECT_EQ(Buttons()->selected, bottom) << "up from the top wraps to the bottom";
    Tap(Platform::VK_UP_KEY);
    EXPECT_EQ(Buttons()->selected, middle);
}

TEST_F(WidgetTest, RightMovesAlongARowAndOnlyAKeysOwnPressCounts)
{
    auto left = MakeButton("Left", -1.0f, 0.0f);
    auto right = MakeButton("Right", 1.0f, 0.0f);
    Buttons()->Update();
    ASSERT_EQ(Buttons()->selected, left);
    Press(Platform::VK_RIGHT_KEY);
    EXPECT_EQ(Buttons()->selected, right);
    Press(Platform::VK_RIGHT_KEY); // auto-repeat: held, not pressed again
    EXPECT_EQ(Buttons()->selected, right);
    Tap(Platform::VK_SHIFT_KEY); // another key while Right is still down moves nothing
    EXPECT_EQ(Buttons()->selected, right);
    Release(Platform::VK_RIGHT_KEY);
    // A typed 'd' is a key-down then a character: only the key-down moves.
    Press('D');
    Input::Instance().HandleWindowMessage(Platform::WM_CHAR_MSG, 'd', 0);
    EXPECT_EQ(Buttons()->selected, left) << "one move, wrapping to the left one; the character adds none";
}

TEST_F(WidgetTest, EnterActivatesOnlyAfterASecondAndRequestsTheScene)
{
    auto play = MakeButton("Play", 0.0f, 0.0f, "Options");
    Buttons()->Update(); // ready timer 0.5
    Tap(Platform::VK_RETURN_KEY);
    Buttons()->Update(); // 1.0 now, but the request came before: it waits for the timer
    EXPECT_EQ(OrvStateMachine->next_state, "Options");
    EXPECT_FLOAT_EQ(play->ready_timer, 0.0f);
    EXPECT_FALSE(Buttons()->activate_request);
    OrvStateMachine->next_state.clear();
    Tap(Platform::VK_RETURN_KEY);
    Buttons()->Update();
    EXPECT_TRUE(OrvStateMachine->next_state.empty()) << "the timer starts again after an activation";
}

TEST_F(WidgetTest, DownThenEnterRequestsTheSecondButtonsScene)
{
    MakeButton("Start", 0.0f, 1.0f, "Level");
    MakeButton("Settings", 0.0f, 0.0f, "Options");
    Buttons()->Update();
    Buttons()->Update();
    Tap(Platform::VK_DOWN_KEY);
    Tap(Platform::VK_RETURN_KEY);
    Buttons()->Update();
    EXPECT_EQ(OrvStateMachine->next_state, "Options");
    OrvStateMachine->Update();
    EXPECT_EQ(OrvStateMachine->GetCurrentScene(), OrvStateMachine->scenes["Options"]);
}

TEST_F(WidgetTest, ClicksActAfterTheReadyTimeAndMissOnTheEdge)
{
    // No camera while running: the window maps to -1..1; the button spans -0.25..0.25.
    MakeButton("Quit", 0.0f, 0.0f, "Exit game");
    ClickAt(640, 360);
    EXPECT_TRUE(OrvStateMachine->next_state.empty()) << "not ready in its first second";
    Buttons()->Update();
    Buttons()->Update();
    ClickAt(800, 360); // world x 0.25: on the edge
    EXPECT_TRUE(OrvStateMachine->next_state.empty());
    ClickAt(799, 360);
    EXPECT_EQ(OrvStateMachine->next_state, "Exit game");
    OrvStateMachine->Update();
    EXPECT_FALSE(OrvCoreEngine->running) << "\"Exit game\" quits";
}

TEST_F(WidgetTest, NothingReactsWhileEditingAndButtonsWithoutInformationNeverUpdate)
{
    auto button = MakeButton("Edit", 0.0f, 0.0f, "Options");
    GameIsRunning = false;
    Buttons()->Update();
    Buttons()->Update();
    EXPECT_FLOAT_EQ(button->ready_timer, 0.0f);
    GameIsRunning = true;
    button->owner->RemoveComponent(INFORMATION);
    Buttons()->Update();
    Buttons()->Update();
    EXPECT_FLOAT_EQ(button->ready_timer, 0.0f);
}

TEST_F(WidgetTest, RemovingTheSelectedButtonDropsTheSelection)
{
    auto first = MakeButton("First", 0.0f, 1.0f);
    MakeButton("Second", 0.0f, 0.0f);
    Buttons()->Update();
    ASSERT_EQ(Buttons()->selected, first);
    Scene()->RemoveEntity(first->owner->id);
    EXPECT_FALSE(Buttons()->selected);
    Tap(Platform::VK_DOWN_KEY); // nothing selected: nothing to move, no crash
    Buttons()->Update();
    EXPECT_TRUE(Buttons()->selected);
}

TEST_F(WidgetTest, AMovedButtonIsFoundByTheKeysOnlyAfterItsKeyIsUpdated)
{
    auto a = MakeButton("A", 0.0f, 1.0f);
    auto b = MakeButton("B", 0.0f, 0.0f);
    b->owner->GetComponent<Transform>(TRANSFORM)->position.y = 2.0f;
    Buttons()->UpdateButtonKey(b);
    Buttons()->Update();
    EXPECT_EQ(Buttons()->buttons.begin()->second, b) << "B now heads the map";
    (void)a;
}

// ---- Bars ------------------------------------------------------------------------------------

class BarTest : public WidgetTest {
protected:
    Entity* MakeWatched(int hp)
    {
        Entity* boss = MakeEntity("Boss", 5.0f, 0.0f);
        auto stats = std::make_shared<Stats>();
        stats->hp = hp;
        boss->AddComponent(STATS, stats);
        return boss;
    }

    static void SetHp(Entity* entity, int hp) { entity->GetComponent<Stats>(STATS)->hp = hp; }

    std::shared_ptr<Sprite> MakeSpriteBar(float offset = 0.0f)
    {
        Entity* bar = MakeEntity("BossBar", 0.0f, 0.0f, {2.0f, 0.2f, 1.0f});
        auto sprite = std::make_shared<Sprite>();
        sprite->is_slider = true;
        sprite->ent_name = "Boss";
        sprite->slider_offset = offset;
        bar->AddComponent(SPRITE, sprite);
        sprite->bar.last_running = GameIsRunning;
        return sprite;
    }

    // A bar that is the child of the watched entity, as a boss's own bar is.
    std::shared_ptr<Sprite> MakeChildSpriteBar(Entity* watched)
    {
        auto parent = std::make_shared<Parent>();
        watched->AddComponent(PARENT, parent);
        auto bar = MakeSpriteBar();
        auto child = std::make_shared<Child>();
        bar->owner->AddComponent(CHILD, child);
        child->SetParent(parent);
        return bar;
    }

    std::shared_ptr<Slider> MakeSlider()
    {
        Entity* bar = MakeEntity("HpSlider", 0.0f, 0.0f, {2.0f, 0.2f, 1.0f});
        auto slider = std::make_shared<Slider>();
        slider->ent_name = "Boss";
        bar->AddComponent(SLIDER, slider);
        SliderSystem::GetInstance()->first_update_done = true;
        slider->last_running = GameIsRunning;
        return slider;
    }

    static float X(const Component& c) { return c.owner->GetComponent<Transform>(TRANSFORM)->position.x; }
};

TEST_F(BarTest, SpriteBarFollowsHitPointsAndShiftsByHalfTheMissingLength)
{
    Entity* boss = MakeWatched(100);
    auto bar = MakeSpriteBar();
    OrvTest::StdoutCapture out;
    SetHp(boss, 50);
    bar->Update();
    EXPECT_FLOAT_EQ(bar->scale.x, 1.0f);
    EXPECT_FLOAT_EQ(X(*bar), 0.0f) << "a fall moves only a child of a parent";
    SetHp(boss, 75);
    bar->Update();
    EXPECT_FLOAT_EQ(bar->scale.x, 1.5f);
    EXPECT_FLOAT_EQ(X(*bar), 0.25f);
    SetHp(boss, 80);
    bar->Update();
    EXPECT_FLOAT_EQ(X(*bar), 0.3f) << "each change moves the bar by half its own length";
    EXPECT_EQ(OrvTest::Lines(out.Take()), (std::vector<std::string>{"_xPosToMove: 0.25", "_xPosToMove: 0.05"}))
        << "one line per rise";
    SetHp(boss, 0);
    bar->Update();
    EXPECT_FLOAT_EQ(bar->scale.x, 0.0f) << "an empty bar shows empty";
}

TEST_F(BarTest, SpriteBarFallMovesAChildOfAParent)
{
    Entity* boss = MakeWatched(100);
    auto bar = MakeChildSpriteBar(boss);
    OrvTest::StdoutCapture out;
    SetHp(boss, 50);
    bar->Update();
    EXPECT_FLOAT_EQ(X(*bar), -0.5f);
    EXPECT_EQ(out.Take(), "") << "a fall writes no line";
}

TEST_F(BarTest, AHudBarBackAtFullHealthAfterManyHitsAndHealsIsBackWhereItStarted)
{
    Entity* boss = MakeWatched(100);
    auto bar = MakeChildSpriteBar(boss);
    int hp = 100;
    for (int round = 0; round < 20; ++round) {
        for (int change : {-7, -3, 4, -12, 9}) {
            hp += change;
            SetHp(boss, hp);
            bar->Update();
            // The left end stays where the full bar's was.
            EXPECT_NEAR(X(*bar) - bar->scale.x * 0.5f, -1.0f, 1e-4f) << "round " << round << " hp " << hp;
        }
        hp = 100;
        SetHp(boss, hp);
        bar->Update();
    }
    EXPECT_NEAR(X(*bar), 0.0f, 1e-4f);
    EXPECT_FLOAT_EQ(bar->scale.x, 2.0f);
}

TEST_F(BarTest, BarsWithoutAPositiveMaximumSetThemselvesUpAgain)
{
    for (int hp : {0, -5}) {
        Entity* boss = MakeWatched(hp);
        auto bar = MakeSpriteBar();
        auto slider = MakeSlider();
        SetHp(boss, 10);
        bar->Update();
        slider->Update();
        EXPECT_FLOAT_EQ(bar->scale.x, 2.0f) << hp;
        EXPECT_FLOAT_EQ(slider->size.x, 2.0f) << hp;
        EXPECT_FLOAT_EQ(slider->maximum_value, 10.0f) << hp;
        EXPECT_FLOAT_EQ(X(*slider), 0.0f) << hp;
        SetHp(boss, 5);
        slider->Update();
        EXPECT_FLOAT_EQ(slider->size.x, 1.0f) << hp;
        for (Entity* e : {boss, bar->owner, slider->owner}) Scene()->RemoveEntity(e->id);
    }
}

// A bar made before the entity it watches (a scene's entities are cloned in file order) is set up
// on its update once the entity is there; the set-up line about a missing entity is not repeated.
TEST_F(BarTest, ASliderMadeBeforeItsEntitySetsItselfUpOnItsUpdate)
{
    OrvTest::StdoutCapture out;
    auto slider = MakeSlider();
    Entity* boss = MakeWatched(100);
    slider->Update();
    EXPECT_FLOAT_EQ(slider->maximum_value, 100.0f);
    EXPECT_FLOAT_EQ(slider->full_length, 2.0f);
    EXPECT_FLOAT_EQ(slider->size.x, 2.0f);
    SetHp(boss, 50);
    slider->Update();
    EXPECT_FLOAT_EQ(slider->size.x, 1.0f);
    EXPECT_EQ(OrvTest::Lines(out.Take()),
              (std::vector<std::string>{"Slider Init(): Invalid entity pointer!", "Slider::Init() stats set"}));
}

// Each missing piece says so in every frame it is missing, and leaves the bar as it was.
TEST_F(BarTest, MissingWatchedEntitiesAreReportedEveryFrame)
{
    const std::string no_entity = "Slider Update(): No attached ent!";
    const std::string no_stats = "Slider Update(): No stats component for attached ent!";
    auto bar = MakeSpriteBar();
    auto slider = MakeSlider();
    auto frames = [&](int n) {
        OrvTest::StdoutCapture out;
        for (int i = 0; i < n; ++i) {
            bar->Update();
            slider->Update();
        }
        return out.Take();
    };
    std::string printed = frames(3);
    EXPECT_EQ(OrvTest::CountLines(printed, no_entity), 6u) << printed;

    Entity* boss = MakeEntity("Boss", 5.0f, 0.0f); // no Stats yet
    printed = frames(3);
    EXPECT_EQ(OrvTest::CountLines(printed, no_stats), 6u) << printed;

    boss->AddComponent(STATS, std::make_shared<Stats>());
    SetHp(boss, 100);
    frames(1);
    SetHp(boss, 50);
    frames(1);
    ASSERT_FLOAT_EQ(bar->scale.x, 1.0f);
    Scene()->RemoveEntity(boss->id);
    printed = frames(3);
    EXPECT_EQ(OrvTest::CountLines(printed, no_stats), 3u) << "the bar's entity is gone: " << printed;
    EXPECT_EQ(OrvTest::CountLines(printed, no_entity), 3u) << "the slider looks for its entity again";
    EXPECT_FLOAT_EQ(bar->scale.x, 1.0f) << "the bar stays as it was";
}

TEST_F(BarTest, ASpriteBarNamedAfterItsSetUpFollowsItsEntityFromThen)
{
    Entity* boss = MakeWatched(100);
    auto bar = MakeSpriteBar();
    bar->ent_name.clear();
    bar->bar = SpriteBarState{};
    bar->bar.last_running = GameIsRunning;
    bar->InitBar();
    bar->ent_name = "Boss";
    SetHp(boss, 50);
    bar->Update();
    bar->Update();
    EXPECT_FLOAT_EQ(bar->bar.maximum_value, 50.0f) << "set up on its first update with a name";
    SetHp(boss, 25);
    bar->Update();
    EXPECT_FLOAT_EQ(bar->scale.x, 1.0f);
}

TEST_F(BarTest, SliderFollowsHitPointsAndShiftsByATenthOfTheMissingLength)
{
    Entity* boss = MakeWatched(100);
    auto slider = MakeSlider();
    SetHp(boss, 50);
    slider->Update();
    EXPECT_FLOAT_EQ(slider->size.x, 1.0f);
    SetHp(boss, 75);
    slider->Update();
    EXPECT_NEAR(X(*slider), 0.05f, 1e-6f);
    SetHp(boss, 80);
    slider->Update();
    EXPECT_NEAR(X(*slider), 0.10f, 1e-6f);
    SetHp(boss, 0);
    slider->Update();
    EXPECT_FLOAT_EQ(slider->current_length, 0.0f);
    EXPECT_FLOAT_EQ(slider->size.x, 1.6f) << "the drawn width keeps its last value";
    EXPECT_FLOAT_EQ(slider->previous_value, 80.0f);
}

TEST_F(BarTest, ADestroyedWatchedEntityIsLookedUpByNameNotDereferenced)
{
    Entity* boss = MakeWatched(100);
    auto bar = MakeSpriteBar();
    auto slider = MakeSlider();
    Scene()->RemoveEntity(boss->id);
    bar->Update();
    slider->Update();
    EXPECT_FLOAT_EQ(bar->scale.x, 2.0f);
    // A new entity under the same name is watched from then on.
    Entity* successor = MakeWatched(100);
    SetHp(successor, 25);
    slider->Update();
    EXPECT_FLOAT_EQ(slider->size.x, 0.5f);
}

TEST_F(BarTest, AWatchedEntityIsSearchedForByNameOnlyWhenItMayHaveChanged)
{
    int searches = 0;
    auto by_name = [&searches](const std::string& name) {
        return [&searches, name](const IScene& scene) {
            ++searches;
            return scene.FindEntityByName(name);
        };
    };
    KeptEntity kept;
    Entity* boss = MakeWatched(100);
    for (int frame = 0; frame < 3; ++frame) EXPECT_EQ(kept.Find(Scene().get(), "Boss", by_name("Boss")), boss);
    EXPECT_EQ(searches, 1) << "found once, then resolved by id";
    Scene()->RemoveEntity(boss->id);
    for (int frame = 0; frame < 3; ++frame) EXPECT_EQ(kept.Find(Scene().get(), "Boss", by_name("Boss")), nullptr);
    EXPECT_EQ(searches, 2) << "a lost entity is searched for once, then not while nothing new is made";
    Entity* successor = MakeWatched(100);
    EXPECT_EQ(kept.Find(Scene().get(), "Boss", by_name("Boss")), successor) << "an entity made later is found";
    EXPECT_EQ(kept.Find(Scene().get(), "HpSlider", by_name("HpSlider")), nullptr) << "another name searches again";
    auto other = SceneStateMachine::MakeGameScene();
    EXPECT_EQ(kept.Find(other.get(), "Boss", by_name("Boss")), nullptr) << "another scene holds no Boss";
    EXPECT_EQ(searches, 5);
    EXPECT_EQ(kept.Find(nullptr, "Boss", by_name("Boss")), nullptr);
    EXPECT_EQ(searches, 5) << "no scene, no search";
}

TEST_F(BarTest, SliderClonesKeepTheWatchedName)
{
    MakeWatched(100);
    auto slider = MakeSlider();
    auto copy = std::static_pointer_cast<Slider>(slider->Clone());
    EXPECT_EQ(copy->ent_name, "Boss");
    Scene()->RemoveEntity(Scene()->FindEntityByName("Boss")->id);
    auto orphan = std::static_pointer_cast<Slider>(slider->Clone());
    EXPECT_EQ(orphan->ent_name, "Boss") << "the watched entity may enter the scene later";
}

// ---- On screen -----------------------------------------------------------------------------

class BarOnScreenTest : public BarTest {
protected:
    void SetUp() override
    {
        BarTest::SetUp();
        OrvTest::StartOffscreenGL(Root());
        GameIsRunning = false; // the editor's framebuffer, through the editor camera (10 x 10 units)
    }

    // Whether the pixel at world x (row y = 0) shows the white bar rather than the clear colour.
    static bool Lit(float world_x)
    {
        Graphics::GetInstance()->Update();
        SpriteSystem::GetInstance()->Update();
        Framebuffer* view = Graphics::GetInstance()->GetGameViewFramebuffer();
        const int px = static_cast<int>((world_x / 10.0f + 0.5f) * static_cast<float>(view->width));
        glBindFramebuffer(GL_READ_FRAMEBUFFER, view->framebuffer);
        unsigned char p[4] = {0, 0, 0, 0};
        glReadPixels(px, view->height / 2, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
        return p[0] > 200;
    }
};

TEST_F(BarOnScreenTest, ABarOverAnEntityShrinksWhenItsHitPointsDrop)
{
    Entity* boss = MakeWatched(100);
    auto bar = MakeSpriteBar();
    EntityFactory::GetInstance()->AddEntityToSystems(bar->owner);
    EXPECT_TRUE(Lit(0.8f)) << "full: the bar spans -1..1";
    SetHp(boss, 50);
    EXPECT_FALSE(Lit(0.8f)) << "half: the bar spans -0.5..0.5";
    EXPECT_TRUE(Lit(0.3f));
}

} // namespace
