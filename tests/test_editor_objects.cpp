// The hierarchy's and the inspector's actions as plain functions on a temporary data tree, with
// the message box and the shell faked: objects added, deleted and made from prefabs; a scene saved
// and loaded again value for value; prefab files and their index; components registered and
// unregistered exactly once; the script combo keeping a running script.
#include "EditorTestSupport.h"

#include "Components/Child.h"
#include "Components/Parent.h"
#include "Components/ScriptComponent.h"
#include "Editor/EditorPrefabs.h"
#include "Editor/EditorWindows/LEMenuBar.h"
#include "Scene/SplashScreenScene.h"

#include <sys/fsuid.h>

#include <algorithm>
#include <set>

using namespace OrvEngine;
using namespace OrvTest;

namespace {

struct ScriptCounts {
    int inits = 0;
    int updates = 0;
    int destroys = 0;
};
ScriptCounts g_first;
ScriptCounts g_second;

template <ScriptCounts& counts>
struct CountingScript : BaseScript {
    void Init(Entity*) override { ++counts.inits; }
    void Update(Entity*) override { ++counts.updates; }
    void OnDestroy(Entity*) override { ++counts.destroys; }
};

// Root may write anywhere: while it lives, file access runs as nobody, to whom the folder and
// the folders above it up to `root` are readable but not writable. Active() is false where that
// cannot be arranged.
class ReadOnlyFolder {
public:
    ReadOnlyFolder(const fs::path& root, const fs::path& folder) : folder_(folder)
    {
        const fs::perms read_only = fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                    fs::perms::others_read | fs::perms::others_exec;
        for (fs::path at = folder_; !at.empty() && at != root.parent_path(); at = at.parent_path()) {
            fs::permissions(at, read_only);
        }
        previous_ = static_cast<uid_t>(setfsuid(65534));
        active_ = !std::ofstream(folder_ / "probe").is_open();
    }
    ~ReadOnlyFolder()
    {
        setfsuid(previous_);
        fs::permissions(folder_, fs::perms::all);
    }
    bool Active() const { return active_; }

private:
    fs::path folder_;
    uid_t previous_ = 0;
    bool active_ = false;
};

class EditorObjectTest : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        Enter("GameScene_01");
    }

    // Every list a system keeps, as the components it holds for the entity.
    static std::map<std::string, size_t> RegistrationsOf(Entity* entity)
    {
        auto count = [&](const auto& list) {
            return static_cast<size_t>(
                std::count_if(list.begin(), list.end(), [&](const auto& c) { return c && c->owner == entity; }));
        };
        size_t buttons = 0;
        for (const auto& [key, button] : ButtonSystem::GetInstance()->buttons) buttons += button->owner == entity;
        return {{"sprites", count(SpriteSystem::GetInstance()->sprites)},
                {"texts", count(FreetypeSystem::GetInstance()->texts)},
                {"sliders", count(SliderSystem::GetInstance()->sliders)},
                {"colliders", count(CollisionSystem::GetInstance()->GetColliders())},
                {"bodies", count(PhysicsSystem::GetInstance()->GetBodies())},
                {"parents", count(ParentChildSystem::GetInstance()->parents)},
                {"children", count(ParentChildSystem::GetInstance()->children)},
                {"buttons", buttons}};
    }

    std::set<std::string> IndexedPrefabs() const
    {
        rapidjson::Document index;
        EXPECT_TRUE(OrvSerializer.ReadFileToDocument("Prefab/Archetype.json", index)) << "the index parses";
        std::set<std::string> names;
        for (auto m = index.MemberBegin(); m != index.MemberEnd(); ++m) names.insert(m->value.GetString());
        return names;
    }

    std::set<std::string> PrefabFiles() const
    {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(DataDir() / "Prefab")) {
            const std::string file = entry.path().filename().string();
            if (entry.path().extension() == ".json" && file != "Archetype.json") names.insert(entry.path().stem().string());
        }
        return names;
    }
};

} // namespace

TEST_F(EditorObjectTest, TheHierarchyAddsDeletesAndCreatesObjectsFromPrefabs)
{
    Entity* first = LEHierarchy::AddObject();
    Entity* second = LEHierarchy::AddObject();
    ASSERT_NE(first, nullptr);
    EXPECT_NE(first->id, second->id) << "two objects of one name are two entries";
    EXPECT_EQ(editor->SelectedEntity(), second);
    EXPECT_TRUE(editor->scene_modified);
    EXPECT_EQ(CurrentScene()->GetEntity(first->id), first);
    auto info = first->GetComponent<Information>(INFORMATION);
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->name, "new_obj");
    EXPECT_EQ(info->GetType(), 0u);
    EXPECT_EQ(second->GetName(), "new_obj");
    auto transform = first->GetComponent<Transform>(TRANSFORM);
    ASSERT_NE(transform, nullptr);
    const Transform made_by_creator;
    EXPECT_EQ(transform->position, made_by_creator.position) << "placed where the creator places it";
    EXPECT_EQ(transform->scale, made_by_creator.scale);
    EXPECT_TRUE(EntityFactory::GetInstance()->GetEntities().empty());

    answer = Platform::ID_NO;
    EXPECT_FALSE(LEHierarchy::DeleteSelected());
    EXPECT_EQ(CurrentScene()->GetEntity(second->id), second);
    answer = Platform::ID_YES;
    const uint64_t gone = second->id;
    EXPECT_TRUE(LEHierarchy::DeleteSelected());
    EXPECT_EQ(CurrentScene()->GetEntity(gone), nullptr);
    EXPECT_EQ(editor->SelectedEntity(), nullptr);
    EXPECT_EQ(editor->selected_entity, nullptr);

    boxes.clear();
    EXPECT_EQ(LEHierarchy::CreateFromPrefab(""), nullptr);
    EXPECT_EQ(LEHierarchy::CreateFromPrefab("Ghost"), nullptr);
    EXPECT_EQ(boxes, (std::vector<std::string>{"No prefab selected: Please select a prefab to create.",
                                               "No such prefab: Prefab Ghostnot found, please check."}));
    Entity* rock = CurrentScene()->FindEntityByName("Rock");
    ASSERT_TRUE(EditorPrefabs::SaveAsPrefab(*rock, false));
    const size_t before = CurrentScene()->GetEntities().size();
    Entity* made = LEHierarchy::CreateFromPrefab("Rock");
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(CurrentScene()->GetEntities().size(), before + 1);
    EXPECT_EQ(editor->SelectedEntity(), made);
    EXPECT_EQ(made->GetName().rfind("Rock", 0), 0u) << "named after its prefab by the factory";
    EXPECT_EQ(RegistrationsOf(made)["colliders"], 1u);
    EXPECT_EQ(RegistrationsOf(made)["bodies"], 1u);
}

TEST_F(EditorObjectTest, ASavedSceneLoadsBackValueForValueAndAFailedSaveKeepsTheOldFile)
{
    // Its hp of -3 would read back as 0: a file holds no negative stats.
    MakeEverything()->GetComponent<Stats>(STATS)->hp = 3;
    editor->scene_modified = true;
    const std::string before = LiveText(*CurrentScene());
    ASSERT_TRUE(LEHierarchy::SaveScene());
    EXPECT_FALSE(editor->scene_modified);
    EXPECT_TRUE(Contains(ReadData("GameScene_01/Entities.json"), "\"Everything\""));
    EXPECT_EQ(CurrentScene()->GetLoadedEntities()->size(), CurrentScene()->GetEntities().size())
        << "the loaded entities are those just written";

    answer = Platform::ID_NO;
    const auto ids = CurrentScene()->GetEntities();
    EXPECT_FALSE(LEHierarchy::ReloadScene());
    EXPECT_EQ(CurrentScene()->GetEntities(), ids);
    answer = Platform::ID_YES;
    ASSERT_TRUE(LEHierarchy::ReloadScene());
    EXPECT_EQ(LiveText(*CurrentScene()), before) << "every component value comes back";

    Enter("SplashScene_00");
    auto* splash = dynamic_cast<SplashScreenScene*>(CurrentScene().get());
    ASSERT_NE(splash, nullptr);
    splash->show_time = 2.5f;
    splash->next_state = "MainMenuScene";
    ASSERT_TRUE(LEHierarchy::SaveScene());
    EXPECT_TRUE(Contains(ReadData("SplashScene_00/SplashScene_00.json"), "\"next_state\": \"MainMenuScene\""));

    Enter("GameScene_01");
    const std::string file = ReadData("GameScene_01/Entities.json");
    TransformOf("Tree")->position.x = 40.0f;
    editor->scene_modified = true;
    boxes.clear();
    {
        ReadOnlyFolder locked(Root(), DataDir() / "GameScene_01");
        if (!locked.Active()) GTEST_SKIP() << "the folder stays writable here";
        EXPECT_FALSE(LEHierarchy::SaveScene());
    }
    EXPECT_EQ(ReadData("GameScene_01/Entities.json"), file);
    EXPECT_TRUE(editor->scene_modified) << "the changes are still unsaved";
    ASSERT_FALSE(boxes.empty());
    EXPECT_TRUE(Contains(boxes.back(), "Entities.json; the old file is kept")) << boxes.back();
}

TEST_F(EditorObjectTest, PrefabFilesAreWrittenBeforeThePrefabChangesAndTheIndexListsExactlyThem)
{
    Entity* rock = CurrentScene()->FindEntityByName("Rock");
    const std::string rock_before = LiveText(*CurrentScene());
    ASSERT_TRUE(EditorPrefabs::SaveAsPrefab(*rock, false));
    EXPECT_EQ(LiveText(*CurrentScene()), rock_before) << "the entity itself is untouched";
    EXPECT_TRUE(EntityFactory::GetInstance()->GetEntities().empty());
    ASSERT_EQ(EntityFactory::GetInstance()->GetArchetypes().count("Rock"), 1u);
    EXPECT_EQ(IndexedPrefabs(), PrefabFiles());
    EXPECT_EQ(PrefabFiles(), std::set<std::string>{"Rock"});

    boxes.clear();
    EXPECT_FALSE(EditorPrefabs::SaveAsPrefab(*rock, false)) << "a taken name needs Overwrite";
    EXPECT_EQ(boxes.size(), 1u);
    Entity* old_prefab = EntityFactory::GetInstance()->GetArchetypes()["Rock"];
    TransformOf("Rock")->position.x = 8.5f;
    ASSERT_TRUE(EditorPrefabs::SaveAsPrefab(*rock, true));
    EXPECT_NE(EntityFactory::GetInstance()->GetArchetypes()["Rock"], old_prefab);
    EXPECT_TRUE(Contains(ReadData("Prefab/Rock.json"), "\"x\": 8.5"));
    EXPECT_EQ(IndexedPrefabs(), PrefabFiles());

    for (const char* bad : {"Archetype", "..", "a/b"}) {
        InspectorActions::Rename(*rock, bad);
        EXPECT_FALSE(EditorPrefabs::SaveAsPrefab(*rock, true)) << bad;
    }
    EXPECT_EQ(IndexedPrefabs(), PrefabFiles()) << "refused names write nothing";
    InspectorActions::Rename(*rock, "Rock");

    const std::string kept = ReadData("Prefab/Rock.json");
    TransformOf("Rock")->position.x = -1.0f;
    {
        ReadOnlyFolder locked(Root(), DataDir() / "Prefab");
        // Where the folder stays writable the failures cannot be staged; the rest still runs.
        if (locked.Active()) {
            EXPECT_FALSE(EditorPrefabs::SaveAsPrefab(*rock, true));
            EXPECT_FALSE(EditorPrefabs::RemovePrefab("Rock")) << "a file that cannot go keeps its prefab";
        }
    }
    EXPECT_EQ(ReadData("Prefab/Rock.json"), kept) << "a failed overwrite keeps the old prefab";
    ASSERT_EQ(EntityFactory::GetInstance()->GetArchetypes().count("Rock"), 1u);

    ASSERT_TRUE(EditorPrefabs::SaveAsPrefab(*CurrentScene()->FindEntityByName("Tree"), false));
    ASSERT_TRUE(EditorPrefabs::RemovePrefab("Rock"));
    EXPECT_EQ(EntityFactory::GetInstance()->GetArchetypes().count("Rock"), 0u);
    EXPECT_EQ(PrefabFiles(), std::set<std::string>{"Tree"});
    EXPECT_EQ(IndexedPrefabs(), PrefabFiles());

    // An index that could not be read is never rewritten, so no prefab changes either.
    WriteData("Prefab/Archetype.json", "{ broken");
    EntityFactory::GetInstance()->LoadArchetypes();
    EXPECT_FALSE(EditorPrefabs::SaveAsPrefab(*rock, false));
    EXPECT_FALSE(EditorPrefabs::RemovePrefab("Tree"));
    EXPECT_EQ(ReadData("Prefab/Archetype.json"), "{ broken");
    EXPECT_EQ(PrefabFiles(), std::set<std::string>{"Tree"});
}

TEST_F(EditorObjectTest, ComponentsAreRegisteredAndUnregisteredOnceHoweverOftenTheyAreAddedOrRemoved)
{
    Entity* entity = LEHierarchy::AddObject();
    boxes.clear();
    for (int round = 0; round < 2; ++round) {
        for (const auto& [name, creator] : EntityFactory::GetInstance()->GetComponentCreators()) {
            InspectorActions::AddComponent(*entity, name);
        }
    }
    for (const auto& [list, count] : RegistrationsOf(entity)) EXPECT_EQ(count, 1u) << list;
    EXPECT_EQ(boxes.size(), 1u) << "the body a collider needs was added once, with one notice";
    EXPECT_EQ(entity->GetComponent<Information>(INFORMATION)->GetType(), TAG_AI) << "the first gameplay tag wins";
    auto collider = entity->GetComponent<BoxCollider>(BOXCOLLIDER);
    EXPECT_EQ(collider->body, entity->GetComponent<RigidBody2D>(RIGIDBODY2D));
    EXPECT_FLOAT_EQ(collider->GetSize().x, entity->GetComponent<Transform>(TRANSFORM)->scale.x);

    EXPECT_FALSE(InspectorActions::RemoveComponent(*entity, TRANSFORM));
    EXPECT_FALSE(InspectorActions::RemoveComponent(*entity, INFORMATION));
    answer = Platform::ID_CANCEL;
    EXPECT_FALSE(InspectorActions::RemoveComponent(*entity, RIGIDBODY2D));
    EXPECT_NE(entity->GetComponent(BOXCOLLIDER), nullptr);
    EXPECT_EQ(RegistrationsOf(entity)["bodies"], 1u);
    EXPECT_TRUE(Contains(boxes.back(), "Removing Rigidbody will also remove any Colliders. Proceed?"));
    answer = Platform::ID_OK;
    EXPECT_TRUE(InspectorActions::RemoveComponent(*entity, RIGIDBODY2D));
    EXPECT_EQ(entity->GetComponent(BOXCOLLIDER), nullptr);
    EXPECT_EQ(entity->GetComponent(RIGIDBODY2D), nullptr);
    EXPECT_EQ(entity->GetComponent<AIMovement>(AIMOVEMENT)->rigid_body, nullptr) << "no one steers a removed body";

    for (int type : {STATS, SPRITE, TEXT, SLIDER, BUTTON, PARENT, CHILD, AUDIO, SCRIPTCOMPONENT}) {
        EXPECT_TRUE(InspectorActions::RemoveComponent(*entity, type)) << type;
        EXPECT_FALSE(InspectorActions::RemoveComponent(*entity, type)) << type << " removed twice";
    }
    for (const auto& [list, count] : RegistrationsOf(entity)) EXPECT_EQ(count, 0u) << list;

    // A parent with children asks before it orphans them.
    Entity* child = LEHierarchy::AddObject();
    InspectorActions::AddComponent(*entity, "Parent");
    InspectorActions::AddComponent(*child, "Child");
    child->GetComponent<Child>(CHILD)->SetParent(entity->GetComponent<Parent>(PARENT));
    answer = Platform::ID_CANCEL;
    EXPECT_FALSE(InspectorActions::RemoveComponent(*entity, PARENT));
    answer = Platform::ID_OK;
    EXPECT_TRUE(InspectorActions::RemoveComponent(*entity, PARENT));
    EXPECT_EQ(child->GetComponent<Child>(CHILD)->GetParent(), nullptr);
}

// Choosing a class in the script combo names it in the ScriptComponent; an entity that has a
// script keeps that very script, one without gets a script of the class, not initialised.
TEST_F(EditorObjectTest, TheScriptComboNamesTheClassKeepsARunningScriptAndMakesOneWithoutInitWhenNone)
{
    ScriptSystem* scripts = ScriptSystem::GetInstance();
    scripts->RegisterScript("FirstScript", std::make_shared<ScriptType<CountingScript<g_first>>>());
    scripts->RegisterScript("SecondScript", std::make_shared<ScriptType<CountingScript<g_second>>>());
    g_first = {};
    g_second = {};
    auto is_first = [](const std::shared_ptr<BaseScript>& script) {
        return std::dynamic_pointer_cast<CountingScript<g_first>>(script) != nullptr;
    };
    Entity* entity = LEHierarchy::AddObject();
    InspectorActions::Rename(*entity, "Scripted");
    ASSERT_TRUE(InspectorActions::AddComponent(*entity, "ScriptComponent"));
    InspectorActions::AttachScript(*entity, "FirstScript");
    EXPECT_EQ(entity->GetComponent<ScriptComponent>(SCRIPTCOMPONENT)->file_name, "FirstScript");
    EXPECT_TRUE(is_first(scripts->GetScript(entity->id))) << "made for an entity without one";
    EXPECT_EQ(g_first.inits, 0);

    // Play starts the scene as the game does: the script of the named class, initialised once.
    ASSERT_TRUE(LEMenuBar::Play());
    Entity* played = CurrentScene()->FindEntityByName("Scripted");
    ASSERT_NE(played, nullptr);
    const std::shared_ptr<BaseScript> running = scripts->GetScript(played->id);
    ASSERT_TRUE(is_first(running));
    EXPECT_EQ(g_first.inits, 1);
    const int destroys = g_first.destroys;

    // Paused, another class is chosen: the running script stays, neither told to go nor restarted.
    LEMenuBar::Pause();
    InspectorActions::AttachScript(*played, "SecondScript");
    EXPECT_EQ(played->GetComponent<ScriptComponent>(SCRIPTCOMPONENT)->file_name, "SecondScript");
    EXPECT_EQ(scripts->GetScript(played->id), running);
    // An entity without a script gets one of the class, which runs without Init on resuming.
    Entity* player = CurrentScene()->FindEntityByName("Player");
    ASSERT_TRUE(InspectorActions::AddComponent(*player, "ScriptComponent"));
    InspectorActions::AttachScript(*player, "SecondScript");
    ASSERT_NE(std::dynamic_pointer_cast<CountingScript<g_second>>(scripts->GetScript(player->id)), nullptr);
    ASSERT_TRUE(LEMenuBar::Play());
    scripts->Update();
    EXPECT_EQ(scripts->GetScript(played->id), running);
    EXPECT_EQ(g_first.inits, 1);
    EXPECT_EQ(g_first.destroys, destroys);
    EXPECT_EQ(g_first.updates, 1);
    EXPECT_EQ(g_second.inits, 0);
    EXPECT_EQ(g_second.updates, 1);
    LEMenuBar::Stop();
}

TEST_F(EditorObjectTest, ChildrenLeftWithoutAParentFollowFullyAgainAndTheBoxesSayWhatChanges)
{
    auto make = [](const std::string& name, std::initializer_list<const char*> components) {
        Entity* entity = LEHierarchy::AddObject();
        InspectorActions::Rename(*entity, name);
        for (const char* component : components) InspectorActions::AddComponent(*entity, component);
        return entity;
    };
    // As a loaded level holds them: two children only name their parent, one attached itself.
    Entity* cam = make("Keeper", {"Parent"});
    std::vector<std::shared_ptr<Child>> kids;
    for (const char* name : {"HUD_A", "HUD_B", "HUD_C"}) {
        kids.push_back(make(name, {"Child"})->GetComponent<Child>(CHILD));
        kids.back()->parent_name = "Keeper";
        kids.back()->follows_scaling_dir = false;
    }
    kids[0]->follows_x = kids[0]->follows_y = false;
    kids[2]->SetParent(cam->GetComponent<Parent>(PARENT));
    EXPECT_EQ(InspectorActions::ChildNames(*cam), (std::vector<std::string>{"HUD_A", "HUD_B", "HUD_C"}))
        << "the inspector counts every child, not only those that attached themselves";

    boxes.clear();
    answer = Platform::ID_CANCEL;
    EXPECT_FALSE(InspectorActions::RemoveComponent(*cam, PARENT));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(Contains(boxes[0], "3 objects follow Keeper: HUD_A, HUD_B and HUD_C")) << boxes[0];
    answer = Platform::ID_OK;
    ASSERT_TRUE(InspectorActions::RemoveComponent(*cam, PARENT));
    for (const auto& kid : kids) {
        EXPECT_EQ(kid->GetParentName(), "");
        EXPECT_EQ(kid->GetParent(), nullptr);
        EXPECT_TRUE(kid->follows_x && kid->follows_y && kid->follows_scaling_dir) << "the follow flags are reset";
    }

    // Deleting a parent whose stats a bar shows: the box names both, the bar says so every frame.
    Entity* dora = make("Dora", {"Stats", "Parent"});
    auto help = make("VavuHelp", {"Child"})->GetComponent<Child>(CHILD);
    help->parent_name = "Dora";
    help->follows_scaling_dir = false;
    Entity* bar = make("UI_Vavu_Healthbar", {"Sprite"});
    auto bar_sprite = bar->GetComponent<Sprite>(SPRITE);
    bar_sprite->SetIsSlider(true);
    bar_sprite->SetEntName("Dora");
    // A bar follows its entity in play only: its updates run with the game running.
    GameIsRunning = true;
    bar_sprite->Update();
    GameIsRunning = false;
    editor->SetSelection(dora);
    boxes.clear();
    answer = Platform::ID_YES;
    ASSERT_TRUE(LEHierarchy::DeleteSelected());
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(Contains(boxes[0], "Are you sure you want to delete the game object?")) << boxes[0];
    EXPECT_TRUE(Contains(boxes[0], "2 other objects depend on Dora: VavuHelp and UI_Vavu_Healthbar")) << boxes[0];
    EXPECT_EQ(help->GetParentName(), "");
    EXPECT_TRUE(help->follows_scaling_dir);
    StdoutCapture out;
    GameIsRunning = true;
    for (int frame = 0; frame < 5; ++frame) bar_sprite->Update();
    GameIsRunning = false;
    const std::string printed = out.Take();
    const std::string line = "Slider Update(): No stats component for attached ent!";
    EXPECT_EQ(CountLines(printed, line), 5u) << printed;
}
