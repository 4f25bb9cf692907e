// Camera and sprite-sheet arithmetic without GL (null backend): matrices, aspect fixing, rotation,
// shake, following the player, which camera is active, and the animation frame sequence.
#include "TestSupport.h"

#include "Components/Camera.h"
#include "Components/Sprite.h"
#include "Components/Transform.h"
#include "Factory/Entity.h"
#include "Factory/Information.h"
#include "Scene/IScene.h"

#include <glm/glm.hpp>

#include <cmath>
#include <vector>

namespace {

using namespace OrvEngine;

class CameraTest : public OrvTest::EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        Graphics::GetInstance()->Init();
        SpriteSystem::GetInstance()->Init();
    }

    void TearDown() override
    {
        if (OrvStateMachine && OrvStateMachine->current_scene) OrvStateMachine->current_scene->Free();
        for (Entity* entity : loose_) EntityFactory::GetInstance()->DestroyEntity(entity);
        EngineTest::TearDown();
    }

    // A scene that is current, with the game running, so the camera finds its player there.
    std::shared_ptr<IScene> StartScene()
    {
        new SceneStateMachine();
        OrvStateMachine->current_scene = SceneStateMachine::MakeGameScene();
        GameIsRunning = true;
        return OrvStateMachine->current_scene;
    }

    Entity* MakeEntity(const std::string& name, Vec3 position, Vec3 scale)
    {
        return OrvTest::MakeTransformEntity(name, position, scale);
    }

    // A live entity of the current scene (in the systems).
    Entity* AddLive(Entity* entity)
    {
        OrvStateMachine->current_scene->AddEntity(entity->id, entity);
        EntityFactory::GetInstance()->AddEntityToSystems(entity);
        return entity;
    }

    Entity* MakePlayer(float x, float y)
    {
        Entity* player = MakeEntity("Player", Vec3(x, y, 1.0f), Vec3(1.0f, 1.0f, 1.0f));
        auto info = std::make_shared<Information>();
        info->SetType(TAG_PLAYER);
        player->AddComponent(INFORMATION, info);
        return AddLive(player);
    }

    Entity* MakeCameraEntity(Vec3 position, Vec3 scale)
    {
        Entity* entity = MakeEntity("Cam", position, scale);
        entity->AddComponent(CAMERA, std::make_shared<Camera>());
        return entity;
    }

    static std::shared_ptr<Camera> CameraOf(Entity* entity) { return entity->GetComponent<Camera>(CAMERA); }
    static std::shared_ptr<Transform> TransformOf(Entity* entity) { return entity->GetComponent<Transform>(TRANSFORM); }

    std::vector<Entity*> loose_; // entities in no scene, destroyed at the end
};

glm::vec4 Apply(const glm::mat4& m, float x, float y) { return m * glm::vec4(x, y, 0.0f, 1.0f); }

TEST_F(CameraTest, WorldToScreenPutsTheViewRectangleOnTheUnitSquare)
{
    Entity* cam = MakeCameraEntity(Vec3(3.0f, 2.0f, 0.0f), Vec3(16.0f, 12.0f, 1.0f));
    loose_.push_back(cam);
    auto camera = CameraOf(cam);
    camera->Update();
    const glm::vec4 corner = Apply(camera->world_to_screen, 11.0f, 8.0f);
    EXPECT_FLOAT_EQ(corner.x, 1.0f);
    EXPECT_FLOAT_EQ(corner.y, 1.0f);
    const glm::vec4 centre = Apply(camera->world_to_screen, 3.0f, 2.0f);
    EXPECT_FLOAT_EQ(centre.x, 0.0f);
    EXPECT_FLOAT_EQ(centre.y, 0.0f);
    EXPECT_EQ(camera->view_width, 16u);
    EXPECT_EQ(camera->view_height, 12u);

    // The editor camera: (5, 5) is the top-right corner of the default 10 by 10 view; a wider view
    // stretches only x.
    Graphics* graphics = Graphics::GetInstance();
    graphics->UpdateCameraMatrix();
    EXPECT_FLOAT_EQ(Apply(graphics->view_projection, 5.0f, 5.0f).x, 1.0f);
    EXPECT_FLOAT_EQ(Apply(graphics->view_projection, 5.0f, 5.0f).y, 1.0f);
    graphics->camera_width = 20.0f;
    graphics->UpdateCameraMatrix();
    EXPECT_FLOAT_EQ(Apply(graphics->view_projection, 5.0f, 5.0f).x, 0.5f);
    EXPECT_FLOAT_EQ(Apply(graphics->view_projection, 5.0f, 5.0f).y, 1.0f);
    // A zero extent keeps the last finite matrix.
    graphics->camera_height = 0.0f;
    graphics->UpdateCameraMatrix();
    EXPECT_TRUE(std::isfinite(graphics->view_projection[1][1]));
}

TEST_F(CameraTest, FixAspectRoundsToFourThirds)
{
    struct Case {
        int32_t width, height, want_width, want_height;
    };
    for (const Case& c : {Case{1280, 0, 1280, 960}, Case{1281, 0, 1284, 963}, Case{0, 0, 4, 3}}) {
        int32_t w = c.width, h = c.height;
        Camera::FixAspectFromWidth(w, h);
        EXPECT_EQ(w, c.want_width) << c.width;
        EXPECT_EQ(h, c.want_height) << c.width;
    }
    for (const Case& c : {Case{0, 720, 960, 720}, Case{0, 721, 964, 724}}) {
        int32_t w = c.width, h = c.height;
        Camera::FixAspectFromHeight(w, h);
        EXPECT_EQ(w, c.want_width) << c.height;
        EXPECT_EQ(h, c.want_height) << c.height;
    }
}

TEST_F(CameraTest, RotationIsBroughtBackByOneTurnPerUpdate)
{
    Entity* cam = MakeCameraEntity(Vec3(), Vec3(10.0f, 10.0f, 1.0f));
    loose_.push_back(cam);
    auto camera = CameraOf(cam);
    TransformOf(cam)->rotation = 370.0f;
    camera->Update();
    EXPECT_FLOAT_EQ(TransformOf(cam)->rotation, 10.0f);
    TransformOf(cam)->rotation = 730.0f;
    camera->Update();
    EXPECT_FLOAT_EQ(TransformOf(cam)->rotation, 370.0f);
    TransformOf(cam)->rotation = -90.0f;
    camera->Update();
    EXPECT_FLOAT_EQ(TransformOf(cam)->rotation, 270.0f);
    EXPECT_NEAR(camera->rotation[1], -1.0f, 1e-6f);
}

TEST_F(CameraTest, ShakeKeepsTheOffsetOnOddFramesAndSnapsBackOnEvenOnes)
{
    StartScene();
    MakePlayer(4.0f, -1.0f);
    Entity* cam = AddLive(MakeCameraEntity(Vec3(0.0f, 2.0f, 0.0f), Vec3(16.0f, 12.0f, 1.0f)));
    SpriteSystem::GetInstance()->Update(); // claims the camera and runs its first update
    ASSERT_EQ(ActiveCamera, CameraOf(cam).get());
    auto t = TransformOf(cam);
    EXPECT_FLOAT_EQ(t->position.x, 4.0f); // follows the player on x only
    EXPECT_FLOAT_EQ(t->position.y, 2.0f);

    Camera::Shake();
    const float d = t->position.x - 4.0f;
    EXPECT_NEAR(std::fabs(d), 0.05f, 1e-6f);
    EXPECT_FLOAT_EQ(t->position.y - 2.0f, d); // the same step on both axes
    ActiveCamera->Update(); // odd frame: the offset stays
    EXPECT_EQ(Shared().camera_shake_counter, 1u);
    EXPECT_FLOAT_EQ(t->position.x, 4.0f + d);

    Camera::Shake();
    ActiveCamera->Update(); // even frame: back to the player's x and the rest height
    EXPECT_EQ(Shared().camera_shake_counter, 2u);
    EXPECT_FLOAT_EQ(t->position.x, 4.0f);
    EXPECT_FLOAT_EQ(t->position.y, 2.0f);

    ActiveCamera->shaking = false;
    ActiveCamera->Update();
    EXPECT_EQ(Shared().camera_shake_counter, 0u);

    // A shake that ends on an odd frame keeps its height until the next shake's even frame; the
    // next shake's first frame adds its step to it.
    Camera::Shake();
    ActiveCamera->Update();
    ASSERT_EQ(Shared().camera_shake_counter, 1u);
    const float left = t->position.y - 2.0f;
    ActiveCamera->shaking = false;
    ActiveCamera->Update();
    EXPECT_FLOAT_EQ(t->position.x, 4.0f);
    EXPECT_FLOAT_EQ(t->position.y, 2.0f + left);
    EXPECT_EQ(Shared().camera_shake_counter, 0u);
    Camera::Shake();
    ActiveCamera->Update();
    EXPECT_NEAR(std::fabs(t->position.y - 2.0f - left), 0.05f, 1e-6f);
    Camera::Shake();
    ActiveCamera->Update();
    EXPECT_FLOAT_EQ(t->position.y, 2.0f);
}

TEST_F(CameraTest, ADeletedPlayerIsNotFollowed)
{
    auto scene = StartScene();
    Entity* player = MakePlayer(7.0f, 0.0f);
    Entity* cam = AddLive(MakeCameraEntity(Vec3(), Vec3(16.0f, 12.0f, 1.0f)));
    SpriteSystem::GetInstance()->Update();
    EXPECT_FLOAT_EQ(TransformOf(cam)->position.x, 7.0f);
    EXPECT_EQ(CameraOf(cam)->followed_id, player->id);

    scene->RemoveEntity(player->id); // deletes the player
    CameraOf(cam)->Update();         // must not read the deleted player
    EXPECT_FLOAT_EQ(TransformOf(cam)->position.x, 7.0f);
    EXPECT_EQ(CameraOf(cam)->followed_id, 0u);
    Camera::Shake(); // nothing to shake around
    EXPECT_FLOAT_EQ(TransformOf(cam)->position.x, 7.0f);
}

TEST_F(CameraTest, OnlyALiveCameraBecomesActiveAndTemplatesStayPut)
{
    auto scene = StartScene();
    MakePlayer(5.0f, 0.0f);
    // A loaded template (never in the systems), as every scene's entities are at start-up.
    Entity* loaded = MakeCameraEntity(Vec3(1.0f, 1.0f, 0.0f), Vec3(16.0f, 12.0f, 1.0f));
    EXPECT_EQ(ActiveCamera, nullptr);

    Entity* live = EntityFactory::GetInstance()->CreateEntity("Cam");
    for (const auto& [type, component] : loaded->components) live->AddComponent(type, component->Clone());
    AddLive(live);
    EXPECT_EQ(ActiveCamera, nullptr); // claimed by the sprite pass, not on construction
    SpriteSystem::GetInstance()->Update();
    ASSERT_EQ(ActiveCamera, CameraOf(live).get());
    EXPECT_FLOAT_EQ(TransformOf(live)->position.x, 5.0f);
    EXPECT_FLOAT_EQ(TransformOf(loaded)->position.x, 1.0f); // the template did not move

    // Destroying another camera leaves the active one alone.
    EntityFactory::GetInstance()->DestroyEntity(loaded);
    EXPECT_EQ(ActiveCamera, CameraOf(live).get());

    // A camera added to an entity that is already live takes over only when none is active.
    Entity* second = AddLive(MakeEntity("Cam2", Vec3(), Vec3(10.0f, 10.0f, 1.0f)));
    second->AddComponent(CAMERA, std::make_shared<Camera>());
    EXPECT_EQ(ActiveCamera, CameraOf(live).get());

    // Leaving the scene clears it; the next live camera is claimed on the next frame.
    scene->RemoveEntity(live->id);
    EXPECT_EQ(ActiveCamera, nullptr);
    SpriteSystem::GetInstance()->Update();
    EXPECT_EQ(ActiveCamera, CameraOf(second).get());
    EntityFactory::GetInstance()->RemoveEntityFromSystems(second);
    SpriteSystem::GetInstance()->Update();
    EXPECT_EQ(ActiveCamera, nullptr);
}

// ---- Sprite-sheet arithmetic ---------------------------------------------------------------

class SpriteSheetTest : public CameraTest {
protected:
    std::shared_ptr<Sprite> MakeSheet(bool play_once, float speed = 0.1f)
    {
        Entity* entity = MakeEntity("Sheet", Vec3(), Vec3(1.0f, 1.0f, 1.0f));
        loose_.push_back(entity);
        auto sprite = std::make_shared<Sprite>();
        sprite->is_spritesheet = true;
        sprite->number_of_frames = 4;
        sprite->start_frame = 1;
        sprite->spritesheet_speed = speed;
        sprite->play_once = play_once;
        entity->AddComponent(SPRITE, sprite);
        return sprite;
    }

    std::vector<int32_t> Draws(Sprite& sprite, int count)
    {
        std::vector<int32_t> shown;
        for (int i = 0; i < count; ++i) {
            SpriteSystem::GetInstance()->DrawSprite(sprite);
            shown.push_back(sprite.drawn_frame);
        }
        return shown;
    }

    void SetFrameTime(float dt)
    {
        if (!OrvCoreEngine) OrvCoreEngine = new CoreEngine();
        OrvCoreEngine->dt = dt;
    }
};

TEST_F(SpriteSheetTest, LoopingAndPlayOnceSheetsStepThroughTheirFrames)
{
    SetFrameTime(0.07f);
    auto looping = MakeSheet(false);
    EXPECT_EQ(looping->current_frame, 1); // Init starts on start_frame
    EXPECT_EQ(Draws(*looping, 8), (std::vector<int32_t>{2, 3, 4, 1, 2, 3, 3, 4}));
    auto once = MakeSheet(true);
    EXPECT_EQ(Draws(*once, 6), (std::vector<int32_t>{2, 3, 4, 4, 4, 4}));
    auto fast = MakeSheet(false, 0.0f);
    EXPECT_EQ(Draws(*fast, 5), (std::vector<int32_t>{2, 3, 4, 1, 2}));
}

TEST_F(SpriteSheetTest, PauseAndDialogueHoldALoopingSheetOnItsStartFrameUnlessPreviewing)
{
    SetFrameTime(0.07f);
    StartScene();
    auto looping = MakeSheet(false);
    auto once = MakeSheet(true);
    Draws(*looping, 2);
    Draws(*once, 2);
    OrvStateMachine->paused = true;
    EXPECT_EQ(Draws(*looping, 2), (std::vector<int32_t>{1, 1}));
    EXPECT_EQ(Draws(*once, 2), (std::vector<int32_t>{3, 3})); // play-once keeps its frame
    OrvStateMachine->paused = false;
    DialogueIsRunning = true;
    EXPECT_EQ(Draws(*looping, 1), (std::vector<int32_t>{1}));
    SpriteSystem::GetInstance()->SetPreviewAnimation(true);
    EXPECT_EQ(Draws(*looping, 2), (std::vector<int32_t>{2, 3}));
}

TEST_F(SpriteSheetTest, DrawsSkipHiddenSpritesInactiveEntitiesAndSpritesWithoutTransform)
{
    SetFrameTime(0.07f);
    auto shown = MakeSheet(false);
    auto hidden = MakeSheet(false);
    hidden->visible = false;
    auto inactive = MakeSheet(false);
    inactive->owner->active = false;
    Entity* bare = EntityFactory::GetInstance()->CreateEntity("NoTransform");
    loose_.push_back(bare);
    auto orphan = std::make_shared<Sprite>();
    orphan->is_spritesheet = true;
    orphan->number_of_frames = 4;
    bare->AddComponent(SPRITE, orphan);
    EXPECT_FLOAT_EQ(orphan->position.x, 0.5f); // the default placement without a Transform

    SpriteSystem* system = SpriteSystem::GetInstance();
    for (const auto& sprite : {shown, hidden, inactive, orphan}) system->AddSprite(sprite);
    system->Update();
    system->Update();
    EXPECT_EQ(shown->current_frame, 3);
    EXPECT_EQ(hidden->current_frame, 1);
    EXPECT_EQ(inactive->current_frame, 1);
    EXPECT_EQ(orphan->current_frame, 0); // skipped, not dereferenced
    // Untinted sprites report white after their first draw.
    EXPECT_EQ(shown->GetTintColor(), Vec4(1.0f, 1.0f, 1.0f, 1.0f));
}

} // namespace
