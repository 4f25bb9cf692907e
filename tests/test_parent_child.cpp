// Parents, children and the hierarchy system; the Transform matrix the children rebuild.
#include "TestSupport.h"

#include "Components/Child.h"
#include "Components/Parent.h"
#include "Components/Transform.h"
#include "Factory/Entity.h"
#include "Factory/Information.h"

#include <cmath>

using namespace OrvEngine;
using namespace OrvTest;

namespace {

class ParentChildTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        RegisterCoreComponents();
        system = ParentChildSystem::GetInstance();
        new SceneStateMachine();
        OrvStateMachine->AddScene("Level", SceneStateMachine::MakeGameScene());
        OrvStateMachine->ChangeState("Level");
        OrvStateMachine->Update();
        scene = OrvStateMachine->GetCurrentScene().get();
    }

    // A live entity of the scene with an Information and a Transform at (x, y).
    Entity* Spawn(const std::string& name, float x = 0.0f, float y = 0.0f)
    {
        Entity* e = OrvTest::MakeTransformEntity(name, Vec3(x, y, 0.0f), Vec3(1.0f, 1.0f, 0.0f), TAG_NONE);
        EntityFactory::GetInstance()->GetEntities().clear();
        scene->AddEntity(e->id, e);
        return e;
    }
    std::shared_ptr<Parent> MakeParent(Entity* e)
    {
        auto parent = std::make_shared<Parent>();
        e->AddComponent(PARENT, parent);
        EntityFactory::GetInstance()->AddEntityToSystems(e);
        return parent;
    }
    std::shared_ptr<Child> MakeChild(Entity* e, const std::string& parent_name)
    {
        auto child = std::make_shared<Child>();
        child->parent_name = parent_name;
        e->AddComponent(CHILD, child);
        EntityFactory::GetInstance()->AddEntityToSystems(e);
        return child;
    }
    static std::shared_ptr<Transform> TransformOf(Entity* e) { return e->GetComponent<Transform>(TRANSFORM); }

    ParentChildSystem* system = nullptr;
    IScene* scene = nullptr;
};

} // namespace

TEST_F(ParentChildTest, ChildrenFindTheirParentByNameThenFollowItsMovesAndFacing)
{
    Entity* boss = Spawn("Boss", 1.0f, 1.0f);
    auto parent = MakeParent(boss);
    Entity* both = Spawn("Both", 5.0f, 5.0f);
    auto follower = MakeChild(both, "Boss");
    Entity* vertical = Spawn("Vertical", 9.0f, 9.0f);
    auto climber = MakeChild(vertical, "Boss");
    climber->SetFollowsX(false);
    climber->SetFollowsScalingDir(false);

    TransformOf(boss)->position = Vec3(3.0f, 4.0f, 0.0f);
    system->Update();
    EXPECT_EQ(follower->GetParent(), parent);
    EXPECT_EQ(TransformOf(both)->position, Vec3(5.0f, 5.0f, 0.0f)) << "nothing moves in the update that finds the parent";

    TransformOf(boss)->position = Vec3(4.0f, 2.0f, 0.0f);
    system->Update();
    EXPECT_EQ(TransformOf(both)->position, Vec3(6.0f, 3.0f, 0.0f)) << "a child follows in the frame its parent moved";
    EXPECT_EQ(TransformOf(vertical)->position, Vec3(9.0f, 7.0f, 0.0f));
    EXPECT_FLOAT_EQ(TransformOf(both)->model_matrix.m[2], 6.0f) << "the matrix is rebuilt";

    // Standing still: nobody moves, even when the parent turns round.
    TransformOf(boss)->scale.x = -1.0f;
    system->Update();
    EXPECT_TRUE(parent->dir_changed);
    EXPECT_EQ(TransformOf(both)->position, Vec3(6.0f, 3.0f, 0.0f));
    EXPECT_EQ(TransformOf(both)->scale.x, 1.0f) << "no flip until the parent next moves";
    TransformOf(boss)->position.x += 1.0f;
    system->Update();
    EXPECT_EQ(TransformOf(both)->scale.x, -1.0f);
    EXPECT_EQ(TransformOf(vertical)->scale.x, 1.0f) << "this one does not follow the facing";
    EXPECT_FALSE(parent->dir_changed);
}

TEST_F(ParentChildTest, SiblingIndicesAreNeverShared)
{
    auto parent = MakeParent(Spawn("Boss"));
    std::vector<std::shared_ptr<Child>> kids;
    for (const char* name : {"A", "B", "C"}) {
        kids.push_back(MakeChild(Spawn(name), ""));
        kids.back()->SetParent(parent);
    }
    EXPECT_EQ(kids[0]->GetSiblingIndex(), 1);
    EXPECT_EQ(kids[1]->GetSiblingIndex(), 2);
    EXPECT_EQ(kids[2]->GetSiblingIndex(), 3);
    EXPECT_EQ(kids[2]->GetParentName(), "Boss");
    kids[1]->SetFollowsX(false);
    kids[1]->SetFollowsScalingDir(false);
    kids[1]->ClearParent();
    EXPECT_TRUE(kids[1]->GetFollowsX() && kids[1]->GetFollowsY() && kids[1]->GetFollowsScalingDir())
        << "a cleared child follows fully again";
    EXPECT_EQ(parent->GetNumChildren(), 2);
    EXPECT_EQ(kids[0]->GetSiblingIndex(), 1);
    EXPECT_EQ(kids[2]->GetSiblingIndex(), 3);
    EXPECT_EQ(kids[1]->GetSiblingIndex(), -1);
    EXPECT_EQ(kids[1]->GetParentName(), "");
    kids[1]->SetParent(parent);
    EXPECT_EQ(kids[1]->GetSiblingIndex(), 4) << "one more than the largest in use";
    EXPECT_EQ(parent->GetNumChildren(), 3);

    EXPECT_EQ(system->GetChildByIndex(parent, 3), kids[2]);
    EXPECT_EQ(system->GetChildByIndex(parent, 2), nullptr);
    EXPECT_EQ(system->GetChildByName(parent, "A"), kids[0]);
    EXPECT_TRUE(system->HasChildren(parent));
    system->DetachChild(parent, kids[0]);
    EXPECT_FALSE(kids[0]->GetParent());
    EXPECT_EQ(parent->GetNumChildren(), 2);
    system->RemoveChild(kids[2]);
    EXPECT_EQ(parent->GetNumChildren(), 1);
    system->RemoveChild(kids[2]);
    EXPECT_EQ(parent->GetNumChildren(), 1) << "an unknown child changes nothing";
    system->RemoveParent(parent);
    EXPECT_FALSE(kids[1]->GetParent());
    EXPECT_FALSE(system->HasChildren(parent));
    system->RemoveParent(nullptr);
    system->RemoveChild(nullptr);
}

TEST_F(ParentChildTest, AMissingParentIsLoggedEveryFrameAndAnEmptyNameIsNotLookedUp)
{
    auto orphan = MakeChild(Spawn("Orphan"), "Nobody");
    auto plain = MakeChild(Spawn("Plain"), "");
    Entity* statue = Spawn("Statue");
    for (int i = 0; i < 5; ++i) system->Update();
    orphan->parent_name = "Statue";
    for (int i = 0; i < 4; ++i) system->Update();
    const std::string log = LogText();
    EXPECT_EQ(CountLines(log, "[Child::Update] Error: could not find parent entity with name ' Nobody'!"), 5u) << log;
    EXPECT_EQ(CountLines(log, "[Child::Update] Error: no parent component on entity with name ' Statue'!"), 4u);
    EXPECT_FALSE(Contains(log, "name ' '")) << "an empty name is never looked up";
    EXPECT_FALSE(plain->GetParent());
    // Found at last: the lines stop and nothing moves in that frame.
    MakeParent(statue);
    system->Update();
    system->Update();
    EXPECT_TRUE(orphan->GetParent());
    EXPECT_EQ(CountLines(LogText(), "[Child::Update] Error: no parent component on entity with name ' Statue'!"), 4u);
}

TEST_F(ParentChildTest, AChildHoldsItsParentWeakly)
{
    Entity* boss = Spawn("Boss");
    auto parent = std::make_shared<Parent>();
    boss->AddComponent(PARENT, parent); // not in the system: only the entity holds it
    auto child = MakeChild(Spawn("Minion"), "");
    child->SetParent(parent);
    parent.reset();
    ASSERT_TRUE(child->GetParent());
    scene->RemoveEntity(boss->id);
    EXPECT_FALSE(child->GetParent());
    system->Update(); // looks the name up again, finds nothing, logs
    EXPECT_TRUE(Contains(LogText(), "could not find parent entity with name ' Boss'"));
}

TEST_F(ParentChildTest, SavingAndLoadingKeepsTheLinkByName)
{
    Entity* boss = Spawn("Boss", 0.0f, 0.0f);
    auto parent = MakeParent(boss);
    Entity* minion = Spawn("Minion", 2.0f, 0.0f);
    auto child = MakeChild(minion, "");
    child->SetParent(parent);
    child->SetFollowsY(false);
    scene->Save();
    ASSERT_TRUE(Contains(ReadData("Level/Entities.json"), "\"parent_name\": \"Boss\""));

    // Load into a second scene and enter it: the child finds the parent on its first update.
    fs::create_directories(DataDir() / "Copy");
    fs::copy_file(DataDir() / "Level/Entities.json", DataDir() / "Copy/Entities.json");
    OrvStateMachine->AddScene("Copy", SceneStateMachine::MakeGameScene());
    OrvStateMachine->ChangeState("Copy");
    OrvStateMachine->Update();
    IScene* copy = OrvStateMachine->GetCurrentScene().get();
    Entity* loaded_minion = copy->FindEntityByName("Minion");
    ASSERT_NE(loaded_minion, nullptr);
    auto loaded_child = loaded_minion->GetComponent<Child>(CHILD);
    EXPECT_EQ(loaded_child->GetParentName(), "Boss");
    EXPECT_EQ(loaded_child->GetSiblingIndex(), 1);
    EXPECT_FALSE(loaded_child->GetFollowsY());
    EXPECT_FALSE(loaded_child->GetParent());
    system->Update();
    Entity* loaded_boss = copy->FindEntityByName("Boss");
    EXPECT_EQ(loaded_child->GetParent(), loaded_boss->GetComponent<Parent>(PARENT));
    EXPECT_EQ(loaded_boss->GetComponent<Parent>(PARENT)->GetNumChildren(), 1) << "resolving counts nothing twice";
    TransformOf(loaded_boss)->position = Vec3(1.0f, 1.0f, 0.0f);
    system->Update();
    EXPECT_EQ(TransformOf(loaded_minion)->position, Vec3(3.0f, 0.0f, 0.0f));
}

TEST(TransformMatrix, ScaleRotationAndTranslationInDegrees)
{
    Transform t;
    EXPECT_EQ(t.position, Vec3(0.0f, 0.0f, 1.0f));
    EXPECT_EQ(t.scale, Vec3(0.5f, 0.5f, 0.0f));
    t.position = Vec3(2.0f, 3.0f, 9.0f);
    t.scale = Vec3(4.0f, 5.0f, 9.0f);
    t.UpdateMatrix();
    const float expected[9] = {4, 0, 2, 0, 5, 3, 0, 0, 1};
    for (int i = 0; i < 9; ++i) EXPECT_FLOAT_EQ(t.model_matrix.m[i], expected[i]) << i;

    t.scale = Vec3(1.0f, 1.0f, 0.0f);
    for (float degrees : {90.0f, -90.0f, 30.0f, 45.5f, -12.25f, 720.0f}) {
        t.rotation = degrees;
        t.UpdateMatrix();
        const double r = degrees * 3.14159265358979323846 / 180.0;
        EXPECT_NEAR(t.model_matrix.m[0], std::cos(r), 1e-5) << degrees;
        EXPECT_NEAR(t.model_matrix.m[1], -std::sin(r), 1e-5) << degrees;
        EXPECT_NEAR(t.model_matrix.m[3], std::sin(r), 1e-5) << degrees;
        EXPECT_NEAR(t.model_matrix.m[4], std::cos(r), 1e-5) << degrees;
    }
}
