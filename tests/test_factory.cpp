// The entity factory: ids, clones, prefab instances and their names, typed lookups, and entities
// entering and leaving the systems.
#include "TestSupport.h"

#include "Components/Child.h"
#include "Components/Parent.h"
#include "Components/ScriptComponent.h"
#include "Components/Transform.h"
#include "Factory/Entity.h"
#include "Factory/Information.h"
#include "Scripts/BaseScript.h"

using namespace OrvEngine;
using namespace OrvTest;

namespace {

// A component that records its Init calls and the owner's id at that moment.
struct Probe : Component {
    Probe() : Component("Probe") {}
    bool Serialize(JsonWriter& writer) override
    {
        Serializer::WriteInt(writer, "value", value);
        return true;
    }
    void Deserialize(const rapidjson::Value& v) override
    {
        if (auto* o = Serializer::FirstObject(v)) value = Serializer::ReadInt(*o, "value");
    }
    void Init() override
    {
        ++inits;
        id_at_init = owner ? owner->id : 999;
    }
    void HandleMessage(Message*) override {}
    void Update() override {}
    std::shared_ptr<Component> Clone() override { return std::make_shared<Probe>(*this); }
    int value = 0;
    int inits = 0;
    uint64_t id_at_init = 999;
};
constexpr int kProbeType = 14;

struct Counts {
    int inits = 0;
    int destroys = 0;
};
Counts g_counts;

struct CountingScript : BaseScript {
    void Init(Entity*) override { ++g_counts.inits; }
    void OnDestroy(Entity*) override { ++g_counts.destroys; }
};

class FactoryTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        RegisterCoreComponents();
        RegisterComponent<Probe>("Probe", kProbeType);
        ScriptSystem::GetInstance()->RegisterScript("CountingScript", std::make_shared<ScriptType<CountingScript>>());
        g_counts = {};
        factory = EntityFactory::GetInstance();
    }
    void TearDown() override
    {
        // Whatever a test left numbered is destroyed here, so nothing leaks.
        auto left = factory->GetEntities();
        for (auto& [id, entity] : left) factory->DestroyEntity(entity);
        EngineTest::TearDown();
    }

    Entity* FromJson(const std::string& name, const std::string& components)
    {
        rapidjson::Document doc;
        doc.Parse(components.c_str());
        return factory->CreateEntityFromJson(doc, name);
    }

    EntityFactory* factory = nullptr;
};

} // namespace

TEST_F(FactoryTest, IdsStartAtOneAndAreNeverReused)
{
    Entity* a = factory->CreateEntity("a");
    Entity* b = factory->CreateEntity("b");
    EXPECT_EQ(a->id, 1u);
    EXPECT_EQ(b->id, 2u);
    EXPECT_TRUE(a->active);
    EXPECT_EQ(factory->GetEntities().size(), 2u);
    factory->DestroyEntity(b);
    EXPECT_EQ(b, nullptr);
    EXPECT_EQ(factory->CreateEntity("c")->id, 3u);
    EXPECT_EQ(factory->GetLiveEntity(2), nullptr);
    EXPECT_EQ(factory->GetLiveEntity(1), a);
    EXPECT_FALSE(Contains(LogText(), "'a'")) << "plain creation logs nothing";
}

TEST_F(FactoryTest, EntitiesFromJsonSkipUnknownComponentsAndInitBeforeNumbering)
{
    Entity* e = FromJson("Bat", R"([{"Information": [{"name": "Bat", "type": 3, "active": false}],
                                     "Mystery": [{"x": 1}], "Probe": [{"value": 7}]}])");
    EXPECT_EQ(e->id, 1u);
    EXPECT_EQ(e->components.size(), 2u);
    EXPECT_FALSE(e->active) << "taken from the Information";
    auto probe = e->GetComponent<Probe>(kProbeType);
    ASSERT_TRUE(probe);
    EXPECT_EQ(probe->value, 7);
    EXPECT_EQ(probe->inits, 1);
    EXPECT_EQ(probe->id_at_init, 0u);
    EXPECT_TRUE(Contains(LogText(), "The entity 'Bat' is created\n"));

    // Shapes that are not component lists make an entity without components, never a crash.
    for (const char* odd : {"5", "[]", "[5, \"x\"]", "[{\"Information\": 5, \"Probe\": {}}]", "{}"}) {
        Entity* o = FromJson("Odd", odd);
        ASSERT_NE(o, nullptr) << odd;
    }
}

TEST_F(FactoryTest, TypedLookupWithTheWrongClassIsEmptyAndReplacementInitsOnlyTheNewOne)
{
    Entity* e = factory->CreateEntity("e");
    auto first = std::make_shared<Probe>();
    e->AddComponent(TRANSFORM, first); // a Probe stored under the Transform's id
    EXPECT_FALSE(e->GetComponent<Transform>(TRANSFORM));
    EXPECT_TRUE(e->GetComponent<Probe>(TRANSFORM));
    EXPECT_FALSE(e->GetComponent<Probe>(INFORMATION));
    EXPECT_EQ(first->owner, e);

    auto second = std::make_shared<Probe>();
    e->AddComponent(TRANSFORM, second);
    EXPECT_EQ(first->inits, 1);
    EXPECT_EQ(second->inits, 1);
    EXPECT_EQ(e->GetComponent(TRANSFORM), second);
    e->AddComponent(TRANSFORM, nullptr);
    EXPECT_EQ(e->GetComponent(TRANSFORM), second) << "an empty pointer changes nothing";
}

TEST_F(FactoryTest, ClonesAreIndependentCopiesUnderNewIds)
{
    Entity* source = FromJson("Rock", R"([{"Information": [{"name": "Rock", "active": true}],
        "Transform": [{"position": [{"x": 1, "y": 2, "z": 3}], "rotation": 0, "scale": [{"x": 1, "y": 1, "z": 0}]}],
        "Probe": [{"value": 4}]}])");
    source->GetComponent<Information>(INFORMATION)->SetActive(false);
    Entity* copy = factory->CloneEntity(source->id);
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy->id, source->id);
    EXPECT_EQ(copy->name, "Rock");
    EXPECT_FALSE(copy->active) << "the copy takes the source Information's flag";
    auto source_transform = source->GetComponent<Transform>(TRANSFORM);
    auto copy_transform = copy->GetComponent<Transform>(TRANSFORM);
    ASSERT_TRUE(copy_transform);
    EXPECT_NE(copy_transform, source_transform);
    EXPECT_EQ(copy_transform->owner, copy);
    copy_transform->position.x = 50.0f;
    EXPECT_EQ(source_transform->position.x, 1.0f);
    EXPECT_EQ(copy->GetComponent<Probe>(kProbeType)->value, 4);

    // A clone of a component keeps the source's owner until it is added.
    EXPECT_EQ(source_transform->Clone()->owner, source);
    EXPECT_THROW(factory->CloneEntity(12345), AssertionFailure);
}

TEST_F(FactoryTest, PrefabInstancesNameClashesWithOneSharedCounter)
{
    for (const char* name : {"Bat", "Rat"}) {
        Entity* prefab = FromJson(name, std::string(R"([{"Information": [{"name": ")") + name +
                                            R"(", "active": false}], "Probe": [{"value": 2}]}])");
        factory->GetEntities().erase(prefab->id);
        prefab->id = 0;
        factory->GetArchetypes()[name] = prefab;
    }
    Entity* plain = factory->CreateFromArchetype("Bat");
    EXPECT_EQ(plain->name, "Bat") << "no clash while the name is not in the index";
    EXPECT_TRUE(plain->active) << "instances start active whatever the prefab says";
    EXPECT_EQ(factory->GetEntitiesByName().count("Bat"), 0u) << "instances are not indexed by name";

    factory->AddEntityName(plain);
    Entity* rat = factory->CreateEntity("Rat");
    factory->AddEntityName(rat);
    const uint64_t counter = Shared().archetype_name_counter;
    Entity* bat2 = factory->CreateFromArchetype("Bat");
    Entity* rat2 = factory->CreateFromArchetype("Rat");
    EXPECT_EQ(bat2->name, "Bat" + std::to_string(counter));
    EXPECT_EQ(rat2->name, "Rat" + std::to_string(counter + 1));
    EXPECT_EQ(rat2->GetComponent<Information>(INFORMATION)->name, rat2->name);
    EXPECT_EQ(rat2->GetComponent<Probe>(kProbeType)->value, 2);
    EXPECT_NE(rat2->GetComponent(kProbeType), factory->GetArchetypes()["Rat"]->GetComponent(kProbeType));

    EXPECT_EQ(factory->CreateFromArchetype("Nope"), nullptr);
    EXPECT_TRUE(Contains(LogText(), "Entity not found in archetype"));
    EXPECT_EQ(Shared().archetype_name_counter, counter + 2);
}

TEST_F(FactoryTest, LeavingTheSystemsIsIdempotentAndComingBackMakesAFreshScript)
{
    Entity* e = FromJson("Hero", R"([{"Information": [{"name": "Hero", "active": true}],
                                      "ScriptComponent": [{"file_name": "CountingScript"}]}])");
    ScriptSystem* scripts = ScriptSystem::GetInstance();
    factory->AddEntityToSystems(e);
    auto first = scripts->GetScript(e->id);
    ASSERT_TRUE(first);
    EXPECT_EQ(g_counts.inits, 1);

    factory->RemoveEntityFromSystems(e);
    factory->RemoveEntityFromSystems(e);
    EXPECT_EQ(g_counts.destroys, 1);
    EXPECT_EQ(scripts->removal_queue, std::vector<uint64_t>{e->id});
    EXPECT_FALSE(e->active);

    factory->AddEntityToSystems(e);
    EXPECT_EQ(g_counts.inits, 2);
    EXPECT_TRUE(scripts->removal_queue.empty());
    EXPECT_NE(scripts->GetScript(e->id), first);
    EXPECT_FALSE(e->active) << "coming back leaves the flag alone";

    // A script-less entity is queued all the same when it has a ScriptComponent.
    Entity* quiet = FromJson("Quiet", R"([{"ScriptComponent": [{"file_name": "NoSuchScript"}]}])");
    factory->AddEntityToSystems(quiet);
    EXPECT_FALSE(scripts->GetScript(quiet->id));
    factory->RemoveEntityFromSystems(quiet);
    EXPECT_EQ(scripts->removal_queue, std::vector<uint64_t>{quiet->id});
    factory->RemoveEntityFromSystems(nullptr);
    factory->AddEntityToSystems(nullptr);
}

TEST_F(FactoryTest, DestroyingForgetsTheIdTheNameEntryAndTheSelection)
{
    Entity* e = factory->CreateEntity("Cam");
    Entity* other = factory->CreateEntity("Cam");
    factory->AddEntityName(other);
    EditorManager::GetInstance()->SetSelection(e);
    const uint64_t id = e->id;
    factory->DestroyEntity(e);
    EXPECT_EQ(factory->GetEntities().count(id), 0u);
    EXPECT_EQ(factory->GetEntitiesByName()["Cam"], other) << "an entry pointing elsewhere stays";
    EXPECT_EQ(EditorManager::GetInstance()->selected_entity, nullptr);
    EXPECT_EQ(EditorManager::GetInstance()->selected_id, 0u);
    EXPECT_TRUE(Contains(LogText(), "The entity 'Cam' is deleted\n"));
    factory->DestroyEntity(other);
    EXPECT_EQ(factory->GetEntitiesByName().count("Cam"), 0u);
    Entity* none = nullptr;
    factory->DestroyEntity(none);
}

TEST_F(FactoryTest, ReplacingAComponentOfALiveEntitySwapsItInItsSystem)
{
    ParentChildSystem* hierarchy = ParentChildSystem::GetInstance();
    Entity* parent_entity = factory->CreateEntity("Boss");
    auto parent = std::make_shared<Parent>();
    parent_entity->AddComponent(PARENT, parent);
    factory->AddEntityToSystems(parent_entity);

    Entity* e = factory->CreateEntity("Minion");
    auto child = std::make_shared<Child>();
    e->AddComponent(CHILD, child);
    auto script = std::make_shared<ScriptComponent>();
    script->file_name = "CountingScript";
    e->AddComponent(SCRIPTCOMPONENT, script);
    factory->AddEntityToSystems(e);
    child->SetParent(parent);
    ASSERT_EQ(parent->num_children, 1);

    auto replacement = std::make_shared<Child>();
    e->AddComponent(CHILD, replacement);
    ASSERT_EQ(hierarchy->children.size(), 1u);
    EXPECT_EQ(hierarchy->children[0], replacement);
    EXPECT_EQ(parent->num_children, 0);
    e->AddComponent(SCRIPTCOMPONENT, std::make_shared<ScriptComponent>());
    EXPECT_EQ(g_counts.destroys, 1);

    // A replaced Parent lets go of its children.
    auto loyal = std::make_shared<Child>();
    Entity* follower = factory->CreateEntity("Follower");
    follower->AddComponent(CHILD, loyal);
    factory->AddEntityToSystems(follower);
    loyal->SetParent(parent);
    auto new_parent = std::make_shared<Parent>();
    parent_entity->AddComponent(PARENT, new_parent);
    EXPECT_FALSE(loyal->GetParent());
    ASSERT_EQ(hierarchy->parents.size(), 1u);
    EXPECT_EQ(hierarchy->parents[0], new_parent);

    // Entities outside the systems just swap the component.
    Entity* loose = factory->CreateEntity("Loose");
    auto kept = std::make_shared<Child>();
    hierarchy->AddChild(kept);
    loose->AddComponent(CHILD, kept);
    loose->AddComponent(CHILD, std::make_shared<Child>());
    EXPECT_EQ(hierarchy->children.size(), 3u);
}
