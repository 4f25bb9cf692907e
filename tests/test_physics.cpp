// Physics: integration over the fixed step, the system's step rules, the box pair test and its
// rollback, contact resolution, the collision pass with its messages, and receivers that spawn and
// destroy colliders in the middle of a pass.
#include "TestSupport.h"

#include "Components/BoxCollider.h"
#include "Components/RigidBody2D.h"
#include "Components/Transform.h"
#include "CoreEngine/Message.h"
#include "Factory/Entity.h"
#include "Factory/Information.h"
#include "Graphics/DebugDraw.h"
#include "Physics/CollisionCheck.h"
#include "Physics/ForceManager.h"
#include "Scene/IScene.h"

#include <cmath>
#include <functional>
#include <limits>
#include <rapidjson/document.h>

using namespace OrvEngine;

namespace {

enum Parts : unsigned { kInfo = 1, kTransform = 2, kBody = 4, kCollider = 8, kAll = 15 };

struct Received {
    uint32_t id;
    uint64_t a;
    uint64_t b;
};

// Records contact and collision messages and runs an optional action on each.
class Receiver : public ISystem {
public:
    std::string GetName() override { return "Receiver"; }
    void HandleMessage(Message* message) override
    {
        if (message->id == MSG_CONTACT) {
            auto* m = static_cast<ContactMessage*>(message);
            log.push_back({MSG_CONTACT, m->entity_a, m->entity_b});
        } else if (message->id == MSG_COLLISION) {
            auto* m = static_cast<CollisionMessage*>(message);
            log.push_back({MSG_COLLISION, m->entity_a, m->entity_b});
        } else {
            return;
        }
        if (action) action(log.back());
    }
    std::vector<Received> log;
    std::function<void(const Received&)> action;
};

class PhysicsFixture : public OrvTest::EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        PhysicsSystem::GetInstance()->Init();
        CollisionSystem::GetInstance()->Init();
        OrvCoreEngine = new CoreEngine();
        receiver = new Receiver();
        OrvCoreEngine->AddSystem(receiver);
        GameIsRunning = true;
    }

    void TearDown() override
    {
        DestroyAll();
        ForceManager::GetInstance()->forces.clear();
        DebugDraw::GetInstance()->batches.clear();
        EngineTest::TearDown();
    }

    Entity* Make(const std::string& name, Vec2 pos, Vec2 size = {1.0f, 1.0f}, int32_t type = BT_Dynamic,
                 uint32_t tag = 0, unsigned parts = kAll)
    {
        EntityFactory* factory = EntityFactory::GetInstance();
        Entity* e = factory->CreateEntity(name);
        if (parts & kInfo) {
            auto info = std::make_shared<Information>();
            info->SetName(name);
            info->SetType(tag);
            e->AddComponent(INFORMATION, info);
        }
        if (parts & kTransform) {
            auto t = std::make_shared<Transform>();
            t->position = Vec3(pos.x, pos.y, 1.0f);
            e->AddComponent(TRANSFORM, t);
        }
        if (parts & kBody) {
            auto body = std::make_shared<RigidBody2D>();
            body->SetBodyType(type);
            body->SetMass(1.0f);
            e->AddComponent(RIGIDBODY2D, body);
        }
        if (parts & kCollider) {
            auto box = std::make_shared<BoxCollider>();
            box->SetPosition(pos);
            box->SetSize(size);
            box->UpdateBounds();
            e->AddComponent(BOXCOLLIDER, box);
        }
        factory->AddEntityToSystems(e);
        made_.push_back(e->id);
        return e;
    }

    void DestroyAll()
    {
        for (uint64_t id : made_) {
            Entity* e = EntityFactory::GetInstance()->GetLiveEntity(id);
            auto scene = OrvStateMachine ? OrvStateMachine->GetCurrentScene() : nullptr;
            if (scene && scene->GetEntity(id)) {
                scene->RemoveEntity(id);
            } else if (e) {
                EntityFactory::GetInstance()->DestroyEntity(e);
            }
        }
        made_.clear();
    }

    // Runs the physics update with the given profiler step count.
    static void Step(uint64_t steps = 1)
    {
        FPS::GetInstance()->fixed_steps = steps;
        PhysicsSystem::GetInstance()->Update();
    }

    // A current scene holding the entities, named as given.
    std::shared_ptr<IScene> UseScene(const std::string& name, const std::vector<Entity*>& entities)
    {
        if (!OrvStateMachine) new SceneStateMachine();
        auto scene = SceneStateMachine::MakeGameScene();
        scene->SetSceneName(name);
        for (Entity* e : entities) scene->AddEntity(e->id, e);
        OrvStateMachine->current_scene = scene;
        return scene;
    }

    static std::shared_ptr<RigidBody2D> Body(Entity* e) { return e->GetComponent<RigidBody2D>(RIGIDBODY2D); }
    static std::shared_ptr<BoxCollider> Box(Entity* e) { return e->GetComponent<BoxCollider>(BOXCOLLIDER); }
    static std::shared_ptr<Transform> Xf(Entity* e) { return e->GetComponent<Transform>(TRANSFORM); }
    static Vec2 At(Entity* e) { return Xf(e)->GetPosition2D(); }

    // Puts a body where a step would have left it: before the step at `from`, now at `to`, with its
    // box already following.
    static void Moved(Entity* e, Vec2 from, Vec2 to)
    {
        auto body = Body(e);
        body->prev_position = from;
        body->position = to;
        Xf(e)->position = Vec3(to.x, to.y, 1.0f);
        auto box = Box(e);
        box->SetPosition(to);
        box->UpdateBounds();
        box->follow_started = true;
        box->last_transform_position = to;
    }

    // The component's fields written and parsed back, as a file would hold them.
    static void RoundTrip(Component& from, Component& to) { OrvTest::RoundTrip(from, to); }

    Receiver* receiver = nullptr;
    std::vector<uint64_t> made_;
};

class PhysicsBody : public PhysicsFixture {};
class PhysicsStep : public PhysicsFixture {};
class CollisionPairTest : public PhysicsFixture {};
class CollisionPass : public PhysicsFixture {};
class CollisionResolve : public PhysicsFixture {};
class CollisionBox : public PhysicsFixture {};

constexpr float kDt = 1.0f / 60.0f;

// ---- Bodies and forces ----

TEST_F(PhysicsBody, IntegrationExampleAndClampEdges)
{
    Entity* e = Make("Falling", {2.0f, 3.0f});
    auto body = Body(e);
    body->SetMass(0.0f);
    body->gravity_scale = 1.0f;
    body->Integrate(kDt, ForceManager::GetInstance()->gravity);
    EXPECT_EQ(body->position, Vec2(2.0f, 3.0f));
    EXPECT_EQ(body->acceleration, Vec2(0.0f, -0.9f));
    EXPECT_FLOAT_EQ(body->velocity.y, -0.015f);
    EXPECT_EQ(body->force, Vec2());

    EXPECT_EQ(RigidBody2D::ClampAcceleration(1.0f), 1.0f);
    EXPECT_EQ(RigidBody2D::ClampAcceleration(-1.0f), -1.0f);
    EXPECT_EQ(RigidBody2D::ClampAcceleration(0.95f), 0.95f);
    EXPECT_EQ(RigidBody2D::ClampAcceleration(1.01f), 0.9f);
    EXPECT_EQ(RigidBody2D::ClampAcceleration(-1.5f), -0.9f);

    auto rock = Body(Make("Rock", {0.0f, 0.0f}, {1.0f, 1.0f}, BT_Static));
    rock->gravity_scale = 1.0f;
    rock->velocity = Vec2(1.0f, 0.0f);
    rock->position = Vec2(5.0f, 5.0f);
    rock->Integrate(kDt, ForceManager::GetInstance()->gravity);
    EXPECT_EQ(rock->position, Vec2(5.0f, 5.0f));
    EXPECT_EQ(rock->velocity, Vec2(1.0f, 0.0f));
}

TEST_F(PhysicsBody, MassAndFileValues)
{
    RigidBody2D body;
    body.SetMass(4.0f);
    EXPECT_EQ(body.inv_mass, 0.25f);
    body.SetMass(0.0f);
    EXPECT_EQ(body.inv_mass, 0.0f);

    rapidjson::Document doc;
    doc.Parse(R"([{"body_type": 2, "mass": 2.0, "gravity_scale": 0.5}])");
    body.Deserialize(doc);
    EXPECT_EQ(body.body_type, BT_Static);
    EXPECT_EQ(body.inv_mass, 0.5f);
    EXPECT_EQ(body.gravity_scale, 0.5f);

    RigidBody2D back;
    RoundTrip(body, back);
    EXPECT_EQ(back.body_type, body.body_type);
    EXPECT_EQ(back.mass, body.mass);
    EXPECT_EQ(back.gravity_scale, body.gravity_scale);

    // Missing or mistyped members read as 0, never assert.
    doc.Parse(R"([{"body_type": "static", "mass": "heavy"}])");
    back.Deserialize(doc);
    EXPECT_EQ(back.body_type, 0);
    EXPECT_EQ(back.mass, 0.0f);
    EXPECT_EQ(back.inv_mass, 0.0f);
    EXPECT_EQ(back.gravity_scale, 0.0f);
}

TEST_F(PhysicsBody, SummedForceWalksOneEntitysRecords)
{
    Entity* e = Make("Pushed", {0.0f, 0.0f});
    Entity* other = Make("Other", {5.0f, 0.0f});
    EXPECT_EQ(ForceManager::GetInstance()->GetSummedForce(e->id), Vec2());
    EXPECT_NE(LogText().find("[Note: entity not found] ForceManager::GetSummedForce() called with param: " +
                             std::to_string(e->id)),
              std::string::npos);

    UseScene("Level", {e, other});
    auto& forces = ForceManager::GetInstance()->forces;
    // Types 0 to 3 in one record: factor * vector, fixed, part_a + part_b, vector.
    ForceRecord r{{2.0f, 3.0f}, {1.0f, 1.0f}, {1.0f, 0.0f}, {0.5f, 0.0f}, {0.0f, 0.5f}, 0, 0.0f, 0.0f, 1, 0, e->id};
    for (int type = 0; type < 4; ++type) {
        r.type = type;
        forces["a" + std::to_string(type)] = r;
    }
    forces["b0"] = ForceRecord{r};
    forces["b0"].entity_id = other->id;
    forces["c0"] = r;  // after another entity's record: not reached
    EXPECT_EQ(ForceManager::GetInstance()->GetSummedForce(e->id), Vec2(4.5f, 4.5f));

    forces.clear();
    r.type = 3;
    r.duration = 0.5f;
    forces["timed"] = r;
    r.keep_active = 1;
    r.active = 0;
    forces["kept"] = r;
    ForceManager::GetInstance()->AdvanceTimers(1.0f);
    EXPECT_EQ(forces["timed"].active, 0);
    EXPECT_EQ(forces["kept"].active, 1);
}

// ---- The system's step ----

TEST_F(PhysicsStep, EachStepIntegratesOverTheFixedStepNotTheFrame)
{
    OrvCoreEngine->dt = 0.25f;
    Entity* e = Make("Runner", {0.0f, 0.0f});
    Body(e)->velocity = Vec2(3.0f, 0.0f);
    Step(3);
    // Each step moves the Transform by the old and the new velocity: 2 * 3 * (1/60).
    EXPECT_NEAR(At(e).x, 0.3f, 1e-5f);

    Step(0);
    EXPECT_NEAR(At(e).x, 0.3f, 1e-5f);
}

TEST_F(PhysicsStep, BodyAtRestKeepsItsTransformOnItsFirstStep)
{
    Entity* e = Make("Resting", {1.0f, 2.0f});
    Body(e)->gravity_scale = 1.0f;
    Body(e)->SetMass(0.0f);
    Step(1);
    EXPECT_EQ(At(e), Vec2(1.0f, 2.0f));
    EXPECT_FLOAT_EQ(Body(e)->velocity.y, -0.015f);
    Step(1);
    EXPECT_FLOAT_EQ(At(e).y, 2.0f - 0.015f * kDt - 0.03f * kDt);

    Entity* rock = Make("Rock", {5.0f, 5.0f}, {1.0f, 1.0f}, BT_Static);
    Body(rock)->velocity = Vec2(4.0f, 4.0f);
    Step(5);
    EXPECT_EQ(At(rock), Vec2(5.0f, 5.0f));
}

TEST_F(PhysicsStep, NoStepsOrNoBodiesMeansNoPass)
{
    Entity* a = Make("A", {0.0f, 0.0f});
    Make("B", {0.5f, 0.0f});
    Body(a)->velocity = Vec2(1.0f, 0.0f);
    Step(0);
    EXPECT_EQ(At(a), Vec2(0.0f, 0.0f));
    EXPECT_FALSE(Box(a)->follow_started);
    EXPECT_TRUE(receiver->log.empty());
    DestroyAll();

    // Running with an empty body list returns before the collision pass.
    Entity* ghost = Make("Ghost", {0.0f, 0.0f}, {1.0f, 1.0f}, BT_Dynamic, 0, kInfo | kTransform | kCollider);
    Step(1);
    EXPECT_FALSE(Box(ghost)->follow_started);
    GameIsRunning = false;
    Step(1);
    EXPECT_TRUE(Box(ghost)->follow_started);
}

TEST_F(PhysicsStep, NotRunningMeansCollisionPassOnly)
{
    GameIsRunning = false;
    Entity* a = Make("A", {0.0f, 0.0f});
    Entity* b = Make("B", {0.5f, 0.0f});
    Body(a)->velocity = Vec2(1.0f, 0.0f);
    Body(b)->velocity = Vec2(-1.0f, 0.0f);
    Step(2);
    // No integration, no rollback to stale body positions, no resolution.
    EXPECT_EQ(At(a), Vec2(0.0f, 0.0f));
    EXPECT_EQ(At(b), Vec2(0.5f, 0.0f));
    EXPECT_EQ(Body(a)->velocity, Vec2(1.0f, 0.0f));
    EXPECT_EQ(Body(b)->velocity, Vec2(-1.0f, 0.0f));
    ASSERT_EQ(receiver->log.size(), 2u);
    EXPECT_EQ(receiver->log[0].a, a->id);
    EXPECT_EQ(receiver->log[0].b, b->id);
    EXPECT_EQ(CollisionSystem::GetInstance()->GetContacts().size(), 1u);
}

TEST_F(PhysicsStep, SameSceneSteppedTwiceGivesIdenticalResults)
{
    // A floor, a wall and six movers, some falling, run with an uneven step count per frame.
    auto run = [this] {
        std::vector<Entity*> movers;
        Make("Floor", {0.0f, -2.0f}, {20.0f, 1.0f}, BT_Static);
        Make("Wall", {3.0f, 0.0f}, {1.0f, 5.0f}, BT_Static);
        for (int k = 0; k < 6; ++k) {
            Entity* e = Make("Mover", {-2.0f + 0.7f * k, -1.0f + 0.3f * (k % 3)}, {0.6f, 0.6f});
            Body(e)->velocity = Vec2(1.5f - 0.4f * k, -0.5f + 0.2f * k);
            Body(e)->gravity_scale = (k % 2) ? 1.0f : 0.0f;
            movers.push_back(e);
        }
        const uint64_t pattern[] = {1, 0, 2, 1, 5, 3};
        for (int frame = 0; frame < 120; ++frame) Step(pattern[frame % 6]);
        std::vector<float> out;
        for (Entity* e : movers) out.insert(out.end(), {At(e).x, At(e).y, Body(e)->velocity.x, Body(e)->velocity.y});
        return out;
    };
    const std::vector<float> first = run();
    const size_t contacts_seen = receiver->log.size();
    DestroyAll();
    PhysicsSystem::DestroyInstance();
    CollisionSystem::DestroyInstance();
    receiver->log.clear();
    const std::vector<float> second = run();
    EXPECT_GT(contacts_seen, 0u);
    EXPECT_EQ(receiver->log.size(), contacts_seen);
    EXPECT_EQ(first, second);
}

// ---- The pair test ----

TEST_F(CollisionPairTest, ExclusionsWriteNothing)
{
    Entity* spell = Make("Spell", {0.0f, 0.0f}, {1.0f, 1.0f}, BT_Dynamic, TAG_RANGE_ATTACK);
    Entity* bound = Make("LeftBound_2", {0.2f, 0.0f}, {1.0f, 1.0f}, BT_Static);
    Entity* barrier = Make("OldBarrierGate", {0.2f, 0.0f}, {1.0f, 1.0f}, BT_Static);
    Entity* spell2 = Make("Spell2", {0.2f, 0.0f}, {1.0f, 1.0f}, BT_Dynamic, TAG_RANGE_ATTACK);
    Moved(spell, {-3.0f, 0.0f}, {0.0f, 0.0f});
    for (Entity* other : {bound, barrier, spell2}) {
        for (bool spell_first : {true, false}) {
            Manifold m = spell_first ? Manifold(spell, other) : Manifold(other, spell);
            m.penetration = 7.0f;
            EXPECT_FALSE(CheckAABBCollision(m)) << other->name;
            EXPECT_EQ(m.penetration, 7.0f);
            EXPECT_EQ(m.normal, Vec2());
        }
    }
    EXPECT_EQ(At(spell), Vec2(0.0f, 0.0f));
}

TEST_F(CollisionPairTest, TwoByTwoExampleTakesTheLargerOverlap)
{
    Entity* a = Make("A", {0.0f, 0.0f}, {2.0f, 2.0f}, BT_Static);
    Entity* b = Make("B", {1.5f, 0.5f}, {2.0f, 2.0f}, BT_Static);
    Entity* c = Make("C", {-0.5f, -1.5f}, {2.0f, 2.0f}, BT_Static);
    Manifold m(a, b);
    ASSERT_TRUE(OverlapAABB(m));
    EXPECT_EQ(m.normal, Vec2(0.0f, 1.0f));
    EXPECT_FLOAT_EQ(m.penetration, 1.5f);
    Manifold n(a, c);
    ASSERT_TRUE(OverlapAABB(n));
    EXPECT_EQ(n.normal, Vec2(-1.0f, 0.0f));
    EXPECT_FLOAT_EQ(n.penetration, 1.5f);
}

TEST_F(CollisionPairTest, TouchingBoxesOnlyCountUnderTheCornerRule)
{
    Entity* player = Make("Player", {0.0f, 0.0f}, {2.0f, 2.0f}, BT_Static, TAG_PLAYER);
    Entity* enemy = Make("Enemy", {2.0f, 2.0f}, {2.0f, 2.0f}, BT_Static, TAG_ENEMY);
    Manifold m(player, enemy);
    EXPECT_FALSE(OverlapAABB(m));

    UseScene("GameScene_01", {player, enemy});
    m.normal = Vec2(0.6f, 0.8f);
    EXPECT_TRUE(OverlapAABB(m));
    EXPECT_EQ(m.normal, Vec2(0.6f, 0.8f));  // left as it was
    Manifold reversed(enemy, player);
    EXPECT_FALSE(OverlapAABB(reversed));
    Xf(enemy)->position.x = 2.01f;
    Box(enemy)->SetPosition({2.01f, 2.0f});
    Box(enemy)->UpdateBounds();
    EXPECT_FALSE(OverlapAABB(m));
}

TEST_F(CollisionPairTest, RollbackRules)
{
    Entity* mover = Make("Mover", {0.0f, 0.0f});
    Entity* wall = Make("Wall", {0.8f, 0.0f}, {1.0f, 1.0f}, BT_Static);
    Moved(mover, {-1.0f, 0.0f}, {0.0f, 0.0f});
    Body(mover)->velocity = Vec2(2.0f, 0.0f);
    Manifold m(mover, wall);
    ASSERT_TRUE(CheckAABBCollision(m));
    EXPECT_EQ(Body(mover)->position, Vec2(-1.0f, 0.0f));
    EXPECT_EQ(At(mover), Vec2(-1.0f, 0.0f));
    EXPECT_EQ(Body(mover)->velocity, Vec2());
    EXPECT_EQ(At(wall), Vec2(0.8f, 0.0f));

    // The movement-code variant never moves anything.
    Moved(mover, {-1.0f, 0.0f}, {0.0f, 0.0f});
    Body(mover)->velocity = Vec2(2.0f, 0.0f);
    ASSERT_TRUE(OverlapAABB(m));
    EXPECT_EQ(At(mover), Vec2(0.0f, 0.0f));
    EXPECT_EQ(Body(mover)->velocity, Vec2(2.0f, 0.0f));

    // A trigger passes a solid collider but not an unphasable one.
    Box(mover)->is_trigger = true;
    ASSERT_TRUE(CheckAABBCollision(m));
    EXPECT_EQ(At(mover), Vec2(0.0f, 0.0f));
    Box(wall)->is_unphasable = true;
    ASSERT_TRUE(CheckAABBCollision(m));
    EXPECT_EQ(At(mover), Vec2(-1.0f, 0.0f));
}

TEST_F(CollisionPairTest, OverlappingTwoThingsInOneStepStaysRolledBack)
{
    Entity* mover = Make("Mover", {0.0f, 0.0f});
    Entity* left = Make("Left", {-0.8f, 0.0f}, {1.0f, 1.0f}, BT_Static);
    Entity* below = Make("Below", {0.0f, -0.8f}, {1.0f, 1.0f}, BT_Static);
    Moved(mover, {0.0f, 1.0f}, {0.0f, 0.0f});
    Manifold first(mover, left);
    Manifold second(mover, below);
    ASSERT_TRUE(CheckAABBCollision(first));
    ASSERT_TRUE(CheckAABBCollision(second));
    EXPECT_EQ(Body(mover)->position, Vec2(0.0f, 1.0f));
    EXPECT_EQ(Body(mover)->prev_position, Vec2(0.0f, 1.0f));
    EXPECT_EQ(At(mover), Vec2(0.0f, 1.0f));
}

TEST_F(CollisionPairTest, AStepThatDoesNotDeepenIsNotRolledBack)
{
    // Starts inside a static block and walks along it: it must get out rather than freeze.
    Entity* mover = Make("Stuck", {-0.8f, 0.0f});
    Make("Block", {0.0f, 0.0f}, {1.0f, 1.0f}, BT_Static);
    Body(mover)->velocity = Vec2(0.0f, 3.0f);
    Step(1);
    Step(20);
    EXPECT_GT(At(mover).y, 1.0f);
    EXPECT_GT(Body(mover)->velocity.y, 1.0f);

    // Walking into it is still undone.
    Xf(mover)->position.y = 0.0f;
    Body(mover)->velocity = Vec2(3.0f, 0.0f);
    Step(3);
    EXPECT_NEAR(At(mover).x, -0.8f, 1e-5f);
    EXPECT_EQ(Body(mover)->velocity, Vec2());
}

TEST_F(CollisionPairTest, MissingComponentsAreNeverDereferenced)
{
    Entity* anon = Make("Anon", {0.0f, 0.0f}, {1.0f, 1.0f}, BT_Dynamic, 0, kTransform | kBody | kCollider);
    Entity* floating = Make("Floating", {0.3f, 0.0f}, {1.0f, 1.0f}, BT_Dynamic, 0, kInfo | kBody | kCollider);
    Entity* solid = Make("Solid", {0.3f, 0.0f}, {1.0f, 1.0f}, BT_Static);
    Step(2);
    // No Information: tag 0 and tested as usual. No Transform: its pairs are skipped.
    ASSERT_EQ(receiver->log.size(), 2u);
    EXPECT_EQ(receiver->log[0].a, anon->id);
    EXPECT_EQ(receiver->log[0].b, solid->id);

    Manifold m(floating, solid);
    EXPECT_TRUE(CheckAABBCollision(m));
    Manifold gone(anon->id, 999999u);
    EXPECT_FALSE(CheckAABBCollision(gone));
    EXPECT_FALSE(OverlapAABB(gone));
}

// ---- The pass and its messages ----

TEST_F(CollisionPass, EarlierColliderChoosesTheMessage)
{
    GameIsRunning = false;
    Entity* a = Make("A", {0.0f, 0.0f});
    Entity* b = Make("B", {0.5f, 0.0f});
    Step(1);
    ASSERT_EQ(receiver->log.size(), 1u);
    EXPECT_EQ(receiver->log[0].id, MSG_CONTACT);
    EXPECT_EQ(receiver->log[0].a, a->id);
    EXPECT_EQ(receiver->log[0].b, b->id);

    Box(b)->is_trigger = true;
    Step(1);
    EXPECT_EQ(receiver->log.back().id, MSG_CONTACT);
    Box(a)->is_trigger = true;
    Step(1);
    EXPECT_EQ(receiver->log.back().id, MSG_COLLISION);
    EXPECT_EQ(receiver->log.back().a, a->id);
}

TEST_F(CollisionPass, PairsThatAreNeverReported)
{
    GameIsRunning = false;
    Make("Player", {0.0f, 0.0f}, {1.0f, 1.0f}, BT_Dynamic, TAG_PLAYER);
    Make("Shot", {0.1f, 0.0f}, {1.0f, 1.0f}, BT_Dynamic, TAG_RANGE_ATTACK);
    Step(1);
    EXPECT_TRUE(receiver->log.empty());
    DestroyAll();

    Make("Rock1", {10.0f, 0.0f}, {1.0f, 1.0f}, BT_Static);
    Make("Rock2", {10.1f, 0.0f}, {1.0f, 1.0f}, BT_Static);
    Make("NoBody", {10.2f, 0.0f}, {1.0f, 1.0f}, BT_Dynamic, 0, kInfo | kTransform | kCollider);
    Entity* off = Make("Off", {10.2f, 0.0f});
    off->active = false;
    Step(1);
    EXPECT_TRUE(receiver->log.empty());
    EXPECT_FALSE(Box(off)->follow_started);
    EXPECT_TRUE(CollisionSystem::GetInstance()->GetContacts().empty());
}

TEST_F(CollisionPass, ReceiversSpawnAndDestroyCollidersMidPass)
{
    Entity* hub = Make("Hub", {0.0f, 0.0f}, {4.0f, 4.0f}, BT_Static);
    Entity* victim = Make("Victim", {0.5f, 0.0f});
    Entity* later = Make("Later", {1.0f, 0.0f});
    const uint64_t victim_id = victim->id;
    const uint64_t later_id = later->id;
    std::vector<uint64_t> spawned;
    receiver->action = [&](const Received& r) {
        if (r.b != victim_id) return;
        // Destroys both the pair's own entity and one the pass has not reached, then spawns two.
        for (uint64_t id : {victim_id, later_id}) {
            Entity* e = EntityFactory::GetInstance()->GetLiveEntity(id);
            EntityFactory::GetInstance()->DestroyEntity(e);
        }
        for (int k = 0; k < 2; ++k) spawned.push_back(Make("Spawn", {0.2f * k, 0.0f})->id);
    };
    Step(1);
    ASSERT_EQ(receiver->log.size(), 1u);
    EXPECT_EQ(receiver->log[0].b, victim_id);
    ASSERT_EQ(CollisionSystem::GetInstance()->GetContacts().size(), 1u);  // resolved as skipped

    receiver->log.clear();
    Step(1);
    ASSERT_EQ(spawned.size(), 2u);
    std::vector<std::pair<uint64_t, uint64_t>> pairs;
    for (const Received& r : receiver->log) pairs.emplace_back(r.a, r.b);
    const std::vector<std::pair<uint64_t, uint64_t>> expected = {
        {hub->id, spawned[0]}, {hub->id, spawned[1]}, {spawned[0], spawned[1]}};
    EXPECT_EQ(pairs, expected);

    // The collider under test removed by its own receiver: its later pairs are skipped.
    receiver->log.clear();
    const uint64_t hub_id = hub->id;
    receiver->action = [&](const Received& r) {
        Entity* e = EntityFactory::GetInstance()->GetLiveEntity(r.a);
        if (r.a == hub_id) EntityFactory::GetInstance()->DestroyEntity(e);
    };
    Step(1);
    ASSERT_EQ(receiver->log.size(), 2u);
    EXPECT_EQ(receiver->log[1].a, spawned[0]);
}

TEST_F(CollisionPass, NonFiniteBoxesDoNotBreakThePass)
{
    GameIsRunning = false;
    const float inf = std::numeric_limits<float>::infinity();
    Entity* huge = Make("Huge", {0.0f, 0.0f}, {inf, inf});
    Make("Lost", {std::nanf(""), 0.0f});
    Entity* near = Make("Near", {50.0f, 50.0f});
    Step(1);
    ASSERT_EQ(receiver->log.size(), 1u);
    EXPECT_EQ(receiver->log[0].a, huge->id);
    EXPECT_EQ(receiver->log[0].b, near->id);
}

TEST_F(CollisionPass, DebugOutlinesGreenEachUpdateRedPerContact)
{
    GameIsRunning = false;
    ShowDebugDrawing = true;
    DebugDraw::GetInstance()->batches.clear();
    Entity* a = Make("A", {0.0f, 0.0f});
    Make("B", {0.5f, 0.0f});
    Box(a)->is_trigger = false;
    Step(1);
    auto& batches = DebugDraw::GetInstance()->batches;
    ASSERT_EQ(batches.size(), 4u);  // A green, A red, B green, B red
    EXPECT_EQ(batches[0][0].g, 1.0f);
    EXPECT_EQ(batches[1][0].r, 1.0f);
    EXPECT_EQ(batches[1].size(), 4u);
    EXPECT_FLOAT_EQ(batches[1][0].x0, -0.5f);
    EXPECT_FLOAT_EQ(batches[1][0].y1, 0.5f);

    batches.clear();
    Box(a)->is_trigger = true;
    Step(1);
    ASSERT_EQ(batches.size(), 4u);
    EXPECT_EQ(batches[1][0].g, 1.0f);  // a trigger stays green
    EXPECT_EQ(batches[3][0].r, 1.0f);
}

TEST_F(CollisionPass, CollisionSideOfAnEnemy)
{
    GameIsRunning = false;
    Entity* enemy = Make("E", {0.0f, 0.0f}, {1.0f, 1.0f}, BT_Dynamic, TAG_ENEMY);
    Entity* dora = Make("Dora", {0.9f, 0.0f}, {1.0f, 1.0f}, BT_Dynamic, TAG_AI);
    Step(1);
    EXPECT_EQ(CollisionSystem::GetInstance()->GetCollisionSide(enemy), 3);
    EXPECT_EQ(CollisionSystem::GetInstance()->GetCollisionSide(dora), 0);
    Xf(dora)->position.x = -0.9f;
    Step(2);  // the later box follows its Transform only when the pass reaches it
    EXPECT_EQ(CollisionSystem::GetInstance()->GetCollisionSide(enemy), 4);
}

TEST_F(CollisionPass, SideQueriesForAnyContactAndForAnOrderedPair)
{
    GameIsRunning = false;
    CollisionSystem* collisions = CollisionSystem::GetInstance();
    Entity* a = Make("A", {0.0f, 0.0f});
    Entity* b = Make("B", {0.9f, 0.0f});  // later collider, to the right of A
    Entity* far = Make("Far", {9.0f, 0.0f});
    Step(1);
    EXPECT_EQ(collisions->GetCollisionSide(a), 0) << "the enemy query keeps its tag filter";
    EXPECT_EQ(collisions->GetAnyCollisionSide(a), 3);
    EXPECT_EQ(collisions->GetAnyCollisionSide(b), 4);
    EXPECT_EQ(collisions->GetAnyCollisionSide(far), 0);
    EXPECT_EQ(collisions->GetPairCollisionSide(a, b, true), 3) << "A is a, B is b";
    EXPECT_EQ(collisions->GetPairCollisionSide(b, a, false), 4) << "A is a, B is b; the code is b's";
    EXPECT_EQ(collisions->GetPairCollisionSide(a, b, false), 0) << "no contact has b as A";
    EXPECT_EQ(collisions->GetPairCollisionSide(a, far, true), 0);

    Xf(b)->position = Vec3(0.0f, 0.9f, 1.0f);  // now above A
    Step(2);
    EXPECT_EQ(collisions->GetAnyCollisionSide(a), 1);
    EXPECT_EQ(collisions->GetPairCollisionSide(b, a, false), 2);
    EXPECT_EQ(collisions->GetAnyCollisionSide(nullptr), 0);
}

// ---- Resolution ----

TEST_F(CollisionResolve, ImpulseShareAndSlop)
{
    Entity* a = Make("A", {0.0f, 0.0f});
    Entity* b = Make("B", {0.9f, 0.0f});
    Body(b)->position = Vec2(0.9f, 0.0f);
    Manifold m(a, b);
    m.normal = Vec2(1.0f, 0.0f);
    m.penetration = 0.05f;
    Body(a)->velocity = Vec2(1.0f, 0.0f);
    Body(b)->velocity = Vec2(-1.0f, 0.0f);
    PhysicsSystem::ResolveCollision(m);
    EXPECT_FLOAT_EQ(Body(a)->velocity.x, 0.25f);
    EXPECT_FLOAT_EQ(Body(b)->velocity.x, -0.25f);
    EXPECT_EQ(At(a), Vec2(0.0f, 0.0f));  // within the slop: no correction

    m.penetration = 0.45f;
    Body(a)->velocity = Vec2(1.0f, 0.0f);
    Body(b)->velocity = Vec2(-1.0f, 0.0f);
    Body(a)->position = Vec2(0.0f, 0.0f);
    Body(b)->position = Vec2(0.9f, 0.0f);
    PhysicsSystem::ResolveCollision(m);
    EXPECT_FLOAT_EQ(At(a).x, -0.06f);
    EXPECT_FLOAT_EQ(At(b).x, 0.96f);
    EXPECT_EQ(Body(a)->prev_position, Vec2(0.0f, 0.0f));

    // Separating bodies, a trigger and a disabled collider are all left alone.
    Body(a)->velocity = Vec2(-1.0f, 0.0f);
    PhysicsSystem::ResolveCollision(m);
    EXPECT_EQ(Body(a)->velocity.x, -1.0f);
    Body(a)->velocity = Vec2(1.0f, 0.0f);
    Box(b)->is_enabled = false;
    PhysicsSystem::ResolveCollision(m);
    EXPECT_EQ(Body(a)->velocity.x, 1.0f);
    Box(b)->is_enabled = true;
    Box(a)->is_trigger = true;
    PhysicsSystem::ResolveCollision(m);
    EXPECT_EQ(Body(a)->velocity.x, 1.0f);

    // Against a static body: only the movable one changes, without correction.
    Box(a)->is_trigger = false;
    Body(b)->SetBodyType(BT_Static);
    Body(b)->velocity = Vec2();
    const Vec2 where = At(a);
    PhysicsSystem::ResolveCollision(m);
    EXPECT_FLOAT_EQ(Body(a)->velocity.x, 0.625f);
    EXPECT_EQ(Body(b)->velocity, Vec2());
    EXPECT_EQ(At(a), where);
}

// ---- The box itself ----

TEST_F(CollisionBox, FollowsItsTransformAndTheFeetBoxDoesNotDrift)
{
    Entity* e = Make("Walker", {1.0f, 1.0f});
    auto box = Box(e);
    box->Update();
    EXPECT_EQ(box->GetPosition(), Vec2(1.0f, 1.0f));
    Xf(e)->position = Vec3(2.0f, 3.0f, 1.0f);
    box->Update();
    EXPECT_EQ(box->GetPosition(), Vec2(2.0f, 3.0f));

    box->use_feet_box = true;
    box->SetUseFeetBox(true);
    EXPECT_FLOAT_EQ(box->GetSize().x, 0.8f);
    EXPECT_FLOAT_EQ(box->GetSize().y, 0.25f);
    for (int k = 0; k < 50; ++k) box->Update();
    EXPECT_EQ(box->GetPosition(), Vec2(2.0f, 3.0f));
    EXPECT_FLOAT_EQ(box->GetMin().x, 2.0f - 0.01f - 0.4f);
    EXPECT_FLOAT_EQ(box->GetMax().y, 3.0f - 0.075f + 0.125f);
    box->use_feet_box = false;
    box->SetUseFeetBox(false);
    EXPECT_EQ(box->GetSize(), Vec2(1.0f, 1.0f));

    box->following_transform = false;
    Xf(e)->position = Vec3(9.0f, 9.0f, 1.0f);
    box->Update();
    EXPECT_EQ(box->GetPosition(), Vec2(2.0f, 3.0f));
}

TEST_F(CollisionBox, FileRoundTripKeepsTheBaseCentre)
{
    rapidjson::Document doc;
    doc.Parse(R"([{"is_trigger": true, "position": [{"x": 1.0, "y": 2.0}], "following_transform": true,
                   "size": [{"x": 0.8, "y": 0.25}], "use_feet_box": true}])");
    BoxCollider box;
    box.Deserialize(doc);
    EXPECT_TRUE(box.is_trigger);
    EXPECT_FALSE(box.is_enabled);
    EXPECT_FALSE(box.is_unphasable);
    EXPECT_FLOAT_EQ(box.GetMin().x, 1.0f - 0.01f - 0.4f);

    BoxCollider back;
    RoundTrip(box, back);
    EXPECT_EQ(back.GetPosition(), Vec2(1.0f, 2.0f));
    EXPECT_EQ(back.GetMin(), box.GetMin());
    EXPECT_TRUE(back.use_feet_box);

    doc.Parse(R"([{"position": "here", "size": 3, "is_enabled": 1}])");
    back.Deserialize(doc);
    EXPECT_EQ(back.GetPosition(), Vec2());
    EXPECT_FALSE(back.is_enabled);

    auto copy = std::static_pointer_cast<BoxCollider>(box.Clone());
    EXPECT_EQ(copy->GetOwner(), nullptr);
    EXPECT_EQ(copy->GetMax(), box.GetMax());
}

} // namespace
