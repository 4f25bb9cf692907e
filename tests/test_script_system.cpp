// The script system: scripts made as entities enter the systems, run only while the game runs
// (only menu scripts while paused), see OnDestroy on removal, and may spawn and remove entities.
#include "TestSupport.h"

#include "Components/Child.h"
#include "Components/ScriptComponent.h"
#include "CoreEngine/EditorState.h"
#include "Factory/Entity.h"
#include "Scripts/BaseScript.h"
#include "Scripts/ScriptHelpers.h"

#include <functional>

using namespace OrvEngine;
using namespace OrvTest;

namespace {

std::vector<std::string> g_calls;
std::function<void(Entity*)> g_spawner_update;
std::function<void(Entity*)> g_spawner_message;
std::function<void(Entity*)> g_spawner_destroy;

struct Recording : BaseScript {
    explicit Recording(std::string name) : name_(std::move(name)) {}
    void Init(Entity* e) override { g_calls.push_back("init " + e->name); }
    void Update(Entity* e) override { g_calls.push_back("update " + e->name); }
    void OnDestroy(Entity* e) override { g_calls.push_back("destroy " + e->name); }
    void HandleMessage(Entity* e, Message*) override { g_calls.push_back("msg " + e->name); }
    std::string GetName() override { return name_; }

private:
    std::string name_;
};

struct PauseMenuScript : Recording { PauseMenuScript() : Recording("PauseMenuScript") {} };
struct OptionMenuScript : Recording { OptionMenuScript() : Recording("OptionMenuScript") {} };
struct QuitGameMenuScript : Recording { QuitGameMenuScript() : Recording("QuitGameMenuScript") {} };
struct LowerMenuScript : Recording { LowerMenuScript() : Recording("mainmenuScript") {} };
struct PlayerScript : Recording { PlayerScript() : Recording("PlayerScript") {} };
struct OtherPlayerScript : Recording { OtherPlayerScript() : Recording("OtherPlayerScript") {} };
struct SpawnerScript : Recording {
    SpawnerScript() : Recording("SpawnerScript") {}
    void Update(Entity* e) override
    {
        Recording::Update(e);
        if (g_spawner_update) g_spawner_update(e);
    }
    void HandleMessage(Entity* e, Message* m) override
    {
        Recording::HandleMessage(e, m);
        if (g_spawner_message) g_spawner_message(e);
    }
    void OnDestroy(Entity* e) override
    {
        Recording::OnDestroy(e);
        if (g_spawner_destroy) g_spawner_destroy(e);
    }
};

// A one-shot: removes its own entity as soon as it is set up.
struct SelfRemovingScript : Recording {
    SelfRemovingScript() : Recording("SelfRemovingScript") {}
    void Init(Entity* e) override
    {
        Recording::Init(e);
        DestroyEntity(e);
    }
};

// Counts the messages its entity's components receive.
int g_component_messages = 0;
struct Ear : Component {
    Ear() : Component("Ear") {}
    bool Serialize(JsonWriter&) override { return true; }
    void Deserialize(const rapidjson::Value&) override {}
    void Init() override {}
    void HandleMessage(Message*) override { ++g_component_messages; }
    void Update() override {}
    std::shared_ptr<Component> Clone() override { return std::make_shared<Ear>(*this); }
};

template <class T>
void Register(const std::string& name)
{
    ScriptSystem::GetInstance()->RegisterScript(name, std::make_shared<ScriptType<T>>(name));
}

class ScriptSystemTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        g_calls.clear();
        g_spawner_update = nullptr;
        g_spawner_message = nullptr;
        g_spawner_destroy = nullptr;
        g_component_messages = 0;
        RegisterCoreComponents();
        RegisterComponent<Ear>("Ear", 14);
        Register<PauseMenuScript>("PauseMenuScript");
        Register<OptionMenuScript>("OptionMenuScript");
        Register<QuitGameMenuScript>("QuitGameMenuScript");
        Register<LowerMenuScript>("LowerMenuScript");
        Register<PlayerScript>("PlayerScript");
        Register<SpawnerScript>("SpawnerScript");
        Register<SelfRemovingScript>("SelfRemovingScript");
        scripts = ScriptSystem::GetInstance();
        MakeCoreEngine({scripts});
    }
    void TearDown() override
    {
        g_spawner_update = nullptr;
        g_spawner_message = nullptr;
        g_spawner_destroy = nullptr;
        EngineTest::TearDown();
    }

    // Enters a game scene whose entities are named after their scripts, in this order.
    IScene* EnterLevel(const std::vector<std::string>& script_names)
    {
        std::vector<std::string> members;
        for (const std::string& name : script_names) members.push_back(EntityMember(name, name));
        WriteScenes(DataDir(), {{"Level", 2, EntityDocument(members)}});
        new SceneStateMachine();
        OrvStateMachine->ChangeState("Level");
        OrvStateMachine->Update();
        return OrvStateMachine->GetCurrentScene().get();
    }
    std::vector<std::string> Take()
    {
        std::vector<std::string> calls;
        calls.swap(g_calls);
        return calls;
    }
    static void Broadcast()
    {
        KeyMessage key;
        OrvCoreEngine->BroadcastMessage(&key);
    }

    ScriptSystem* scripts = nullptr; // owned by the core engine
};

} // namespace

TEST_F(ScriptSystemTest, ScriptsAreMadeAndInitialisedInIdOrderAndRunInIdOrder)
{
    EnterLevel({"PlayerScript", "PauseMenuScript", "NoSuchScript", ""});
    EXPECT_EQ(Take(), (std::vector<std::string>{"init PlayerScript", "init PauseMenuScript"}));
    EXPECT_EQ(scripts->scripts.size(), 2u) << "unknown and empty names give no script";
    GameIsRunning = true;
    scripts->Update();
    EXPECT_EQ(Take(), (std::vector<std::string>{"update PlayerScript", "update PauseMenuScript"}));
}

TEST_F(ScriptSystemTest, WhilePausedOnlyMenuScriptsUpdateAndHearMessages)
{
    EnterLevel({"PauseMenuScript", "OptionMenuScript", "QuitGameMenuScript", "LowerMenuScript", "PlayerScript"});
    OrvStateMachine->GetCurrentScene()->FindEntityByName("PlayerScript")->AddComponent(14, std::make_shared<Ear>());
    OrvStateMachine->GetCurrentScene()->FindEntityByName("PauseMenuScript")->AddComponent(14, std::make_shared<Ear>());
    Take();
    GameIsRunning = true;
    OrvStateMachine->paused = true;
    scripts->Update();
    Broadcast();
    EXPECT_EQ(Take(), (std::vector<std::string>{"update PauseMenuScript", "update OptionMenuScript",
                                                "update QuitGameMenuScript", "msg PauseMenuScript",
                                                "msg OptionMenuScript", "msg QuitGameMenuScript"}));
    EXPECT_EQ(g_component_messages, 1) << "components hear messages only with their script";
    OrvStateMachine->paused = false;
    Broadcast();
    EXPECT_EQ(Take().size(), 5u);
    EXPECT_EQ(g_component_messages, 3);
}

TEST_F(ScriptSystemTest, NothingRunsWhileTheGameIsNotRunning)
{
    IScene* level = EnterLevel({"PlayerScript"});
    level->FindEntityByName("PlayerScript")->AddComponent(14, std::make_shared<Ear>());
    Take();
    GameIsRunning = false;
    scripts->Update();
    Broadcast();
    EXPECT_TRUE(Take().empty());
    EXPECT_EQ(g_component_messages, 0);
    // A removal while editing waits for the next running update.
    level->RemoveEntityByName("PlayerScript");
    EXPECT_EQ(Take(), std::vector<std::string>{"destroy PlayerScript"});
    scripts->Update();
    EXPECT_EQ(scripts->removal_queue.size(), 1u);
    EXPECT_EQ(scripts->scripts.size(), 1u);
    GameIsRunning = true;
    scripts->Update();
    EXPECT_TRUE(scripts->removal_queue.empty());
    EXPECT_TRUE(scripts->scripts.empty());
}

TEST_F(ScriptSystemTest, OnDestroyComesAtRemovalAndTheScriptIsReleasedNextFrame)
{
    IScene* level = EnterLevel({"PlayerScript", "PauseMenuScript"});
    GameIsRunning = true;
    std::weak_ptr<BaseScript> player = scripts->GetScript(level->FindEntityByName("PlayerScript")->id);
    Take();
    level->RemoveEntityByName("PlayerScript");
    EXPECT_EQ(Take(), std::vector<std::string>{"destroy PlayerScript"});
    EXPECT_FALSE(player.expired());
    scripts->Update();
    EXPECT_TRUE(player.expired());
    EXPECT_EQ(Take(), std::vector<std::string>{"update PauseMenuScript"});

    // Leaving the scene destroys every script's entity.
    OrvStateMachine->ChangeState("Level");
    OrvStateMachine->Update();
    const std::vector<std::string> calls = Take();
    EXPECT_EQ(calls.front(), "destroy PauseMenuScript");
}

TEST_F(ScriptSystemTest, ScriptsMaySpawnAndRemoveEntitiesWhileTheyRun)
{
    IScene* level = EnterLevel({"SpawnerScript", "PlayerScript", "PauseMenuScript"});
    GameIsRunning = true;
    EntityFactory* factory = EntityFactory::GetInstance();
    auto spawn = [factory, level](const std::string& script) {
        Entity* e = factory->CreateEntity("Spawned" + script);
        auto component = std::make_shared<ScriptComponent>();
        component->file_name = script;
        e->AddComponent(SCRIPTCOMPONENT, component);
        factory->GetEntities().clear();
        level->AddEntity(e->id, e);
        factory->AddEntityToSystems(e);
    };
    // During its update the spawner removes a later entity and spawns one.
    g_spawner_update = [&](Entity*) {
        level->RemoveEntityByName("PlayerScript");
        spawn("PlayerScript");
    };
    Take();
    scripts->Update();
    EXPECT_EQ(Take(), (std::vector<std::string>{"update SpawnerScript", "destroy PlayerScript", "init SpawnedPlayerScript",
                                                "update PauseMenuScript"}));
    g_spawner_update = nullptr;
    scripts->Update();
    EXPECT_EQ(Take(), (std::vector<std::string>{"update SpawnerScript", "update PauseMenuScript",
                                                "update SpawnedPlayerScript"}));

    // While handling a message it removes a later entity, spawns one and removes itself.
    g_spawner_message = [&](Entity* self) {
        level->RemoveEntityByName("PauseMenuScript");
        spawn("SpawnerScript");
        level->RemoveEntity(self->id);
    };
    Broadcast();
    EXPECT_EQ(Take(), (std::vector<std::string>{"msg SpawnerScript", "destroy PauseMenuScript", "init SpawnedSpawnerScript",
                                                "destroy SpawnerScript", "msg SpawnedPlayerScript"}));
    g_spawner_message = nullptr;
    Broadcast();
    EXPECT_EQ(Take(), (std::vector<std::string>{"msg SpawnedPlayerScript", "msg SpawnedSpawnerScript"}));
    EXPECT_EQ(level->GetEntities().size(), 2u);
}

TEST_F(ScriptSystemTest, LeavingASceneDestroysWhatOnDestroySpawnsIntoIt)
{
    IScene* level = EnterLevel({"SpawnerScript", "PlayerScript"});
    uint64_t spawned = 0;
    bool self_still_listed = true;
    g_spawner_destroy = [&](Entity* self) {
        self_still_listed = level->GetEntity(self->id) != nullptr;
        Entity* e = EntityFactory::GetInstance()->CreateEntity("Loot");
        spawned = e->id;
        level->AddEntity(e->id, e);
    };
    level->Free();
    EXPECT_FALSE(self_still_listed) << "an entity leaves the map before it is destroyed";
    EXPECT_TRUE(level->GetEntities().empty());
    ASSERT_NE(spawned, 0u);
    EXPECT_EQ(EntityFactory::GetInstance()->GetLiveEntity(spawned), nullptr);
}

TEST_F(ScriptSystemTest, ComingBackReplacesTheScriptAndScriptsOfOtherScenesAreSkipped)
{
    IScene* level = EnterLevel({"PlayerScript"});
    Entity* player = level->FindEntityByName("PlayerScript");
    auto first = scripts->GetScript(player->id);
    EntityFactory::GetInstance()->AddEntityToSystems(player);
    EXPECT_NE(scripts->GetScript(player->id), first) << "registering again replaces the script";
    EXPECT_EQ(Take(), (std::vector<std::string>{"init PlayerScript", "init PlayerScript"}));
    // Under a name nobody registered, or in a scene being edited, the old script goes all the same.
    auto component = player->GetComponent<ScriptComponent>(SCRIPTCOMPONENT);
    component->file_name = "Nope";
    EntityFactory::GetInstance()->AddEntityToSystems(player);
    EXPECT_EQ(scripts->GetScript(player->id), nullptr);
    component->file_name = "PlayerScript";
    EntityFactory::GetInstance()->AddEntityToSystems(player);
    scripts->AddScript(player->id, "PlayerScript");
    {
        struct Editing : EditorState {
            void SetSelection(Entity*) override {}
        } editing;
        EntityFactory::GetInstance()->AddEntityToSystems(player);
    }
    EXPECT_EQ(scripts->GetScript(player->id), nullptr);
    EXPECT_EQ(Take(), (std::vector<std::string>{"init PlayerScript"})) << "a dropped script hears no OnDestroy";
    EntityFactory::GetInstance()->AddEntityToSystems(player);
    Take();

    // A script stored for an id the current scene does not know is never called.
    scripts->AddScript(987654, "PlayerScript");
    GameIsRunning = true;
    scripts->Update();
    Broadcast();
    EXPECT_EQ(Take(), (std::vector<std::string>{"update PlayerScript", "msg PlayerScript"}));
}

TEST_F(ScriptSystemTest, RegistrationKeepsTheFirstCreatorAndAddScriptDoesNotInit)
{
    Register<OtherPlayerScript>("PlayerScript");
    EXPECT_EQ(scripts->GetScriptCreators()->at("PlayerScript")->Create()->GetName(), "PlayerScript");
    EXPECT_FALSE(scripts->AddScript(5, "Nope"));
    auto added = scripts->AddScript(5, "PlayerScript");
    ASSERT_TRUE(added);
    EXPECT_EQ(scripts->GetScript(5), added);
    auto again = scripts->AddScript(5, "PauseMenuScript");
    EXPECT_EQ(again->GetName(), "PauseMenuScript");
    EXPECT_EQ(scripts->GetScript(5), added) << "the stored script stays";
    EXPECT_TRUE(Take().empty()) << "AddScript calls no Init";
}

// The entity "Trigger": a script that removes its entity in Init, and a Child added after the script.
const char* const kTrigger = R"("Trigger": [{"Information": [{"name": "Trigger", "type": 0, "active": true}],
    "ScriptComponent": [{"file_name": "SelfRemovingScript"}], "Child": [{"parent_name": "PlayerScript"}]}])";

TEST_F(ScriptSystemTest, AnEntityRemovedByItsOwnScriptWhileBeingAddedLeavesNothingBehind)
{
    // As a scene entry.
    WriteScenes(DataDir(), {{"Level", 2, EntityDocument({EntityMember("PlayerScript", "PlayerScript"), kTrigger})}});
    WriteData("Prefab/Archetype.json", R"({"Archetype": "Trigger"})");
    WriteData("Prefab/Trigger.json", std::string("{") + kTrigger + "}");
    EntityFactory* factory = EntityFactory::GetInstance();
    ASSERT_TRUE(factory->LoadArchetypes());
    new SceneStateMachine();
    OrvStateMachine->ChangeState("Level");
    OrvStateMachine->Update();
    IScene* level = OrvStateMachine->GetCurrentScene().get();
    EXPECT_EQ(Take(), (std::vector<std::string>{"init PlayerScript", "init Trigger", "destroy Trigger"}));
    EXPECT_EQ(level->GetEntities().size(), 1u);
    EXPECT_EQ(factory->GetEntitiesByName().count("Trigger"), 0u) << "no name entry for a freed entity";
    EXPECT_TRUE(ParentChildSystem::GetInstance()->GetChildren().empty()) << "the add stopped at the script";

    // As a prefab instance: the caller is told it is gone.
    EXPECT_EQ(InstantiatePrefab("Trigger"), nullptr);
    EXPECT_EQ(level->GetEntities().size(), 1u);
    EXPECT_EQ(factory->GetEntitiesByName().count("Trigger"), 0u);
    EXPECT_TRUE(ParentChildSystem::GetInstance()->GetChildren().empty());

    // Leaving the systems: OnDestroy still sees its entity active, and may remove it; the rest of
    // its components leave their systems all the same.
    Entity* player = level->FindEntityByName("PlayerScript");
    auto child = std::make_shared<Child>();
    player->AddComponent(CHILD, child);
    ParentChildSystem::GetInstance()->AddChild(child);
    Entity* spawner = factory->CreateEntity("Spawner");
    auto script = std::make_shared<ScriptComponent>();
    script->file_name = "SpawnerScript";
    spawner->AddComponent(SCRIPTCOMPONENT, script);
    auto spawner_child = std::make_shared<Child>();
    spawner->AddComponent(CHILD, spawner_child);
    factory->GetEntities().clear();
    level->AddEntity(spawner->id, spawner);
    ASSERT_TRUE(factory->AddEntityToSystems(spawner));
    std::vector<bool> active_at_destroy;
    g_spawner_destroy = [&](Entity* self) {
        active_at_destroy.push_back(self->active);
        DestroyEntity(self);
    };
    factory->RemoveEntityFromSystems(spawner);
    EXPECT_EQ(active_at_destroy, std::vector<bool>{true});
    EXPECT_EQ(level->GetEntities().size(), 1u);
    EXPECT_EQ(ParentChildSystem::GetInstance()->GetChildren(), std::vector<std::shared_ptr<Child>>{child});

    factory->RemoveEntityFromSystems(player);
    EXPECT_FALSE(player->active) << "inactive once out of the systems";
}
