// Scenes and the scene state machine: loading, entering and leaving, changes by name, splash
// timing, the editor's auto-save, saving, and every kind of bad scene file.
#include "TestSupport.h"

#include "Components/Camera.h"
#include "CoreEngine/SharedValues.h"
#include "Factory/Entity.h"
#include "Factory/Information.h"
#include "Scene/SplashScreenScene.h"

using namespace OrvEngine;
using namespace OrvTest;

namespace {

class SceneTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        RegisterCoreComponents();
        MakeCoreEngine();
        InstallFakeClock();
    }

    // The standard tree: a splash scene that hands over to a game scene with two entities.
    void WriteStandardTree(float show_time = 0.5f)
    {
        WriteScenes(DataDir(),
                    {{"SplashScene_00", 1, EntityDocument({EntityMember("Logo")}),
                      "{\"show_time\": " + std::to_string(show_time) +
                          ", \"scene_name\": \"SplashScene_00\", \"next_state\": \"GameScene_01\"}"},
                     {"GameScene_01", 2, EntityDocument({EntityMember("Player", "", 1), EntityMember("Rock")})}});
    }
    SceneStateMachine* Machine() { return OrvStateMachine ? OrvStateMachine : new SceneStateMachine(); }
    std::string Current() const
    {
        auto scene = OrvStateMachine->GetCurrentScene();
        return scene ? scene->GetSceneName() : "";
    }
    void Enter(const std::string& name)
    {
        OrvStateMachine->ChangeState(name);
        OrvStateMachine->Update();
    }
    // One frame of 0.125 s.
    void Frame()
    {
        FakeNow() += 0.125;
        OrvCoreEngine->RunFrame();
    }
    static std::vector<uint64_t> Ids(const EntityMap& map)
    {
        std::vector<uint64_t> ids;
        for (const auto& [id, entity] : map) ids.push_back(id);
        return ids;
    }
};

} // namespace

TEST_F(SceneTest, StartUpLoadsEveryScenesEntitiesButPlaysNone)
{
    WriteStandardTree();
    SceneStateMachine* machine = Machine();
    ASSERT_EQ(machine->scenes.size(), 2u);
    EXPECT_FALSE(machine->GetCurrentScene());
    auto game = machine->GetScene("GameScene_01");
    EXPECT_EQ(game->GetSceneType(), 2u);
    EXPECT_EQ(game->GetLoadedEntities()->size(), 2u);
    EXPECT_TRUE(game->GetEntities().empty());
    auto splash = std::dynamic_pointer_cast<SplashScreenScene>(machine->GetScene("SplashScene_00"));
    ASSERT_TRUE(splash);
    EXPECT_FLOAT_EQ(splash->show_time, 0.5f);
    EXPECT_EQ(splash->next_state, "GameScene_01");
    EXPECT_TRUE(EntityFactory::GetInstance()->GetEntities().empty()) << "the factory's scratch map is left empty";

    // The splash settings round trip.
    splash->show_time = 0.1f;
    machine->SaveScene("SplashScene_00");
    rapidjson::Document doc;
    ASSERT_TRUE(OrvSerializer.ReadFileToDocument("SplashScene_00/SplashScene_00.json", doc));
    SplashScreenScene reread;
    reread.Deserialize(doc);
    EXPECT_EQ(reread.show_time, 0.1f);
    EXPECT_EQ(reread.GetSceneName(), "SplashScene_00");
    EXPECT_EQ(reread.next_state, "GameScene_01");
}

TEST_F(SceneTest, TheGameStartsAtTheFirstSplashAndMovesOnAfterItsShowTime)
{
    WriteStandardTree();
    Machine()->next_state = "SplashScene_00";
    GameIsRunning = true;
    OrvCoreEngine->RunFrame();
    ASSERT_EQ(Current(), "SplashScene_00");
    auto splash = std::static_pointer_cast<SplashScreenScene>(OrvStateMachine->GetCurrentScene());
    EXPECT_EQ(splash->timer, 0.0f) << "not updated in the frame it was entered";
    for (int frame = 0; frame < 4; ++frame) Frame();
    EXPECT_EQ(Current(), "SplashScene_00");
    EXPECT_EQ(OrvStateMachine->next_state, "GameScene_01") << "0.5 s reached: requested, not yet done";
    Frame();
    EXPECT_EQ(Current(), "GameScene_01");
    EXPECT_EQ(OrvStateMachine->previous_scene, "SplashScene_00");
    EXPECT_EQ(OrvStateMachine->GetCurrentScene()->GetEntities().size(), 2u);

    // Re-entering the splash shows it for the whole time again.
    Enter("SplashScene_00");
    EXPECT_EQ(splash->timer, 0.0f);
    Frame();
    EXPECT_EQ(splash->timer, 0.125f);
    // While editing the timer stays at 0.
    GameIsRunning = false;
    for (int frame = 0; frame < 10; ++frame) Frame();
    EXPECT_EQ(splash->timer, 0.0f);
    EXPECT_EQ(Current(), "SplashScene_00");

    // With no show time the change is asked for in the first running frame and done in the next.
    GameIsRunning = true;
    splash->show_time = 0.0f;
    Frame();
    EXPECT_EQ(OrvStateMachine->next_state, "GameScene_01");
    Frame();
    EXPECT_EQ(Current(), "GameScene_01");
}

TEST_F(SceneTest, ChangesHappenAtTheFrameEndAndTheLastRequestWins)
{
    WriteStandardTree();
    Machine();
    EXPECT_EQ(OrvStateMachine->ChangeState("Nowhere"), nullptr);
    EXPECT_EQ(OrvStateMachine->ChangeState("GameScene_01"), OrvStateMachine->GetScene("GameScene_01"));
    OrvStateMachine->ChangeState("SplashScene_00");
    EXPECT_EQ(Current(), "");
    OrvStateMachine->Update();
    EXPECT_EQ(Current(), "SplashScene_00");
    EXPECT_EQ(OrvStateMachine->previous_scene, "");
    EXPECT_TRUE(OrvStateMachine->next_state.empty());

    // A name that is no scene is logged once and dropped each time; the scene stays.
    for (int i = 0; i < 3; ++i) Enter("GameScene_99");
    EXPECT_EQ(Current(), "SplashScene_00");
    const std::string log = LogText();
    EXPECT_NE(log.find("No scene named 'GameScene_99'"), std::string::npos);
    EXPECT_EQ(log.find("No scene named 'GameScene_99'"), log.rfind("No scene named 'GameScene_99'"));
}

TEST_F(SceneTest, ReEnteringGivesFreshEntitiesAndDiscardsPlayChanges)
{
    WriteStandardTree();
    Machine();
    GameIsRunning = true;
    Enter("GameScene_01");
    IScene* scene = OrvStateMachine->GetCurrentScene().get();
    const std::vector<uint64_t> first = Ids(scene->GetEntities());
    EXPECT_EQ(EntityFactory::GetInstance()->GetEntitiesByName()["Player"], scene->FindEntityByName("Player"))
        << "the name index holds the live copy";
    scene->RemoveEntityByName("Rock");
    Entity* extra = EntityFactory::GetInstance()->CreateEntity("Extra");
    const uint64_t extra_id = extra->id;
    EntityFactory::GetInstance()->GetEntities().clear();
    scene->AddEntity(extra_id, extra);
    EditorManager::GetInstance()->SetSelection(scene->FindEntityByName("Player"));

    Enter("GameScene_01");
    EXPECT_EQ(OrvStateMachine->previous_scene, "GameScene_01");
    EXPECT_EQ(EditorManager::GetInstance()->selected_entity, nullptr) << "leaving clears the editor's selection";
    const std::vector<uint64_t> second = Ids(scene->GetEntities());
    ASSERT_EQ(second.size(), 2u);
    EXPECT_GT(second.front(), extra_id) << "ids are never reused";
    EXPECT_EQ(scene->GetEntity(extra_id), nullptr);
    EXPECT_EQ(first.size(), 2u);
    EXPECT_NE(scene->FindEntityByName("Rock"), nullptr);
    EXPECT_EQ(scene->GetLoadedEntities()->size(), 2u);
}

TEST_F(SceneTest, LiveEntityOperations)
{
    WriteScenes(DataDir(), {{"GameScene_01", 2, EntityDocument({EntityMember("Twin"), EntityMember("Twin")})}});
    Machine();
    Enter("GameScene_01");
    IScene* scene = OrvStateMachine->GetCurrentScene().get();
    const std::vector<uint64_t> ids = Ids(scene->GetEntities());
    EXPECT_EQ(scene->FindEntityByName("Twin")->id, ids[0]);
    scene->RemoveEntity(123456);
    EXPECT_EQ(scene->GetEntities().size(), 2u);
    scene->RemoveEntityByName("Twin");
    EXPECT_EQ(Ids(scene->GetEntities()), std::vector<uint64_t>{ids[1]});
    EXPECT_EQ(scene->GetEntity(ids[0]), nullptr);
    Entity* twin = scene->GetEntity(ids[1]);
    try {
        scene->AddEntity(ids[1], twin);
        ADD_FAILURE() << "no report";
    } catch (const AssertionFailure& e) {
        EXPECT_EQ(e.report.message, "Not unique ID");
    }
    scene->RemoveEntityByName("Nobody");
    EXPECT_EQ(scene->GetEntities().size(), 1u);
}

TEST_F(SceneTest, LookUpsByNameAndTagFollowAddsRemovesAndEntitiesFiledAgain)
{
    WriteScenes(DataDir(), {{"GameScene_01", 2,
                             EntityDocument({EntityMember("Ilo", "", TAG_PLAYER), EntityMember("Rock"),
                                             EntityMember("Ilo", "", TAG_PLAYER)})}});
    Machine();
    Enter("GameScene_01");
    IScene* scene = OrvStateMachine->GetCurrentScene().get();
    const std::vector<uint64_t> ids = Ids(scene->GetEntities());
    ASSERT_EQ(ids.size(), 3u);
    EXPECT_EQ(scene->FirstEntityOfType(TAG_PLAYER)->id, ids[0]);
    EXPECT_EQ(scene->LastEntityOfType(TAG_PLAYER)->id, ids[2]);
    EXPECT_EQ(scene->FirstEntityOfType(TAG_ENEMY), nullptr);

    // Renamed and retagged in place, the rock is found as what it has become once filed again.
    Entity* rock = scene->GetEntity(ids[1]);
    rock->GetComponent<Information>(INFORMATION)->SetName("Ilo");
    rock->GetComponent<Information>(INFORMATION)->SetType(TAG_PLAYER);
    scene->Reindex(rock->id);
    EXPECT_EQ(scene->FindEntityByName("Rock"), nullptr);
    EXPECT_EQ(scene->EntitiesOfTypes({TAG_PLAYER, TAG_ENEMY}).size(), 3u);
    scene->RemoveEntity(ids[0]);
    EXPECT_EQ(scene->FindEntityByName("Ilo"), rock) << "the lowest id left wins";
    EXPECT_EQ(scene->FirstEntityOfType(TAG_PLAYER), rock);
    scene->RemoveEntityByName("Ilo");
    EXPECT_EQ(scene->FindEntityByName("Ilo")->id, ids[2]);
}

TEST_F(SceneTest, ExitGameQuitsAndNeverReachesTheSceneMap)
{
    WriteStandardTree();
    Machine()->AddScene("Exit game", SceneStateMachine::MakeGameScene());
    Enter("GameScene_01");
    OrvStateMachine->ChangeState("Exit game");
    int frames = 0;
    while (OrvCoreEngine->running && frames < 10) {
        Frame();
        ++frames;
    }
    EXPECT_EQ(frames, 1);
    EXPECT_EQ(Current(), "GameScene_01");
    EXPECT_TRUE(OrvStateMachine->next_state.empty());
    EXPECT_TRUE(Contains(LogText(), "Exiting game loop"));
}

TEST_F(SceneTest, RemovingTheCurrentSceneFreesItFirst)
{
    WriteStandardTree();
    Machine();
    Enter("GameScene_01");
    const uint64_t live = OrvStateMachine->GetCurrentScene()->GetEntities().begin()->first;
    OrvStateMachine->RemoveScene("GameScene_01");
    EXPECT_FALSE(OrvStateMachine->GetCurrentScene());
    EXPECT_EQ(EntityFactory::GetInstance()->GetLiveEntity(live), nullptr);
    EXPECT_EQ(OrvStateMachine->scenes.count("GameScene_01"), 0u);
    OrvStateMachine->Update();
    OrvStateMachine->RemoveScene("Unknown");
    EXPECT_EQ(OrvStateMachine->scenes.size(), 1u);
}

TEST_F(SceneTest, TheAutoSaveFlagIsUsedOnceAndAMissingFileFallsBack)
{
    WriteStandardTree();
    WriteData("GameScene_01/AutoSave.json", EntityDocument({EntityMember("Snapshot")}));
    Machine();
    EditorManager* editor = EditorManager::GetInstance();
    editor->SetSceneFlag("GameScene_01", true);
    Enter("GameScene_01");
    IScene* scene = OrvStateMachine->GetCurrentScene().get();
    EXPECT_NE(scene->FindEntityByName("Snapshot"), nullptr);
    EXPECT_EQ(scene->GetEntities().size(), 1u);
    EXPECT_FALSE(editor->GetSceneFlag("GameScene_01"));
    EXPECT_EQ(EntityFactory::GetInstance()->GetEntitiesByName()["Snapshot"], scene->FindEntityByName("Snapshot"));
    Enter("GameScene_01");
    EXPECT_EQ(scene->FindEntityByName("Snapshot"), nullptr);
    EXPECT_EQ(scene->GetEntities().size(), 2u);

    fs::remove(DataDir() / "GameScene_01/AutoSave.json");
    editor->SetSceneFlag("GameScene_01", true);
    Enter("GameScene_01");
    EXPECT_EQ(scene->GetEntities().size(), 2u);
    EXPECT_FALSE(editor->GetSceneFlag("GameScene_01"));
    EXPECT_TRUE(Contains(LogText(), "GameScene_01/AutoSave.json could not be read; entering from the loaded entities"));
}

TEST_F(SceneTest, SaveWritesLiveEntitiesWhilePlayedAndLoadedOnesOtherwise)
{
    WriteStandardTree();
    Machine();
    auto game = OrvStateMachine->GetScene("GameScene_01");
    game->Save();
    const std::string stored = ReadData("GameScene_01/Entities.json");
    EXPECT_TRUE(Contains(stored, "\"Rock\""));
    EXPECT_TRUE(Contains(LogText(), "Saving GameScene_01\n"));

    Enter("GameScene_01");
    game->RemoveEntityByName("Rock");
    game->Save();
    EXPECT_FALSE(Contains(ReadData("GameScene_01/Entities.json"), "\"Rock\""));

    // A splash scene that is not being played saves what it loaded.
    OrvStateMachine->GetScene("SplashScene_00")->Save();
    EXPECT_TRUE(Contains(ReadData("SplashScene_00/Entities.json"), "\"Logo\""));
    EXPECT_TRUE(EntityFactory::GetInstance()->GetEntities().empty());
}

TEST_F(SceneTest, AnUnreadableEntityFileIsNeverOverwrittenWithAnEmptyScene)
{
    const std::string broken = "{\"Player\": [{\"Information\": ";
    WriteScenes(DataDir(), {{"GameScene_01", 2, broken}, {"SplashScene_00", 1, broken}});
    Machine();
    for (const char* name : {"GameScene_01", "SplashScene_00"}) {
        auto scene = OrvStateMachine->GetScene(name);
        ASSERT_TRUE(scene) << name;
        EXPECT_TRUE(scene->GetLoadedEntities()->empty());
        scene->Save();
        EXPECT_EQ(ReadData(std::string(name) + "/Entities.json"), broken) << name;
    }
    EXPECT_TRUE(Contains(LogText(), "it is not overwritten with an empty scene"));

    // Entities made while playing are the user's content: they are written.
    Enter("GameScene_01");
    IScene* scene = OrvStateMachine->GetCurrentScene().get();
    Entity* made = EntityFactory::GetInstance()->CreateEntity("Made");
    EntityFactory::GetInstance()->GetEntities().clear();
    scene->AddEntity(made->id, made);
    scene->Save();
    EXPECT_TRUE(Contains(ReadData("GameScene_01/Entities.json"), "\"Made\""));
}

TEST_F(SceneTest, BadSceneEntriesAreSkippedWithALogLine)
{
    WriteData("Scenes.json", R"({"Good": 2, "Text": "2", "Negative": -1, "Fraction": 1.5, "Weird": 7,
        "../Escape": 2, "NoSettings": 2, "BrokenSettings": 2, "ArraySettings": 1, "Renamed": 2,
        "Unnamed": 1, "Good": 1, "Taken": 2})");
    WriteData("Good/Good.json", R"({"scene_name": "Good"})");
    WriteData("BrokenSettings/BrokenSettings.json", "{\"scene_name\": ");
    WriteData("ArraySettings/ArraySettings.json", "[\"ArraySettings\"]");
    WriteData("Renamed/Renamed.json", R"({"scene_name": "Other"})");
    WriteData("Unnamed/Unnamed.json", R"({"show_time": 2.0, "scene_name": 12})");
    WriteData("Taken/Taken.json", R"({"scene_name": "Good"})");
    Machine();
    std::vector<std::string> names;
    for (const auto& [name, scene] : OrvStateMachine->scenes) names.push_back(name);
    EXPECT_EQ(names, (std::vector<std::string>{"Good", "Other", "Unnamed"}));
    EXPECT_EQ(OrvStateMachine->GetScene("Good")->GetSceneType(), 2u) << "a duplicate is refused";
    EXPECT_EQ(OrvStateMachine->GetScene("Unnamed")->GetSceneName(), "Unnamed");
    const std::string log = LogText();
    for (const char* part : {"'Text' has no valid type", "'Negative' has no valid type", "'Fraction' has no valid type",
                             "'Weird' has unknown type 7", "Refused scene name '../Escape'",
                             "Settings of scene 'NoSettings' could not be read",
                             "Settings of scene 'BrokenSettings' could not be read",
                             "Settings of scene 'ArraySettings' could not be read",
                             "A scene named 'Good' already exists"}) {
        EXPECT_TRUE(Contains(log, part)) << part;
    }
}

TEST_F(SceneTest, AMissingOrBrokenSceneListLoadsNothingWithALogLine)
{
    Machine();
    EXPECT_TRUE(OrvStateMachine->scenes.empty());
    EXPECT_TRUE(Contains(LogText(), "Scenes.json could not be read"));
    OrvStateMachine->next_state = "SplashScene_00";
    OrvStateMachine->Update();
    EXPECT_TRUE(OrvStateMachine->next_state.empty());
    ReleaseEngineObjects();
    MakeCoreEngine();
    WriteData("Scenes.json", "[\"GameScene_01\"]");
    Machine();
    EXPECT_TRUE(OrvStateMachine->scenes.empty());
    EXPECT_THROW(new SceneStateMachine(), AssertionFailure) << "a second state machine";
}

TEST_F(SceneTest, SaveAllScenesListsThemInByteOrder)
{
    WriteStandardTree();
    Machine()->AddScene("MainMenuScene", SceneStateMachine::MakeGameScene());
    OrvStateMachine->SaveAllScenes();
    EXPECT_EQ(ReadData("Scenes.json"),
              "{\n    \"GameScene_01\": 2,\n    \"MainMenuScene\": 2,\n    \"SplashScene_00\": 1\n}");
    EXPECT_EQ(ReadData("MainMenuScene/MainMenuScene.json"), "{\n    \"scene_name\": \"MainMenuScene\"\n}");
    EXPECT_TRUE(Contains(LogText(), "MainMenuScene/ created"));
}

TEST_F(SceneTest, SaveAllScenesSavesLongNamesAndLogsWhatTheFileSystemRefuses)
{
    WriteStandardTree();
    const std::string longest(245, 'L');   // its settings file name is 250 bytes: legal
    const std::string too_long(251, 'T');  // 256 bytes with ".json"
    const std::string no_folder(256, 'F'); // not even a folder of that name
    for (const std::string& name : {longest, too_long, no_folder}) {
        Machine()->AddScene(name, SceneStateMachine::MakeGameScene());
    }
    bool saved = true;
    EXPECT_NO_THROW(saved = OrvStateMachine->SaveAllScenes()) << "no assertion part-way through the save";
    EXPECT_FALSE(saved) << "the caller learns that not everything was written";
    EXPECT_EQ(ReadData(longest + "/" + longest + ".json"), "{\n    \"scene_name\": \"" + longest + "\"\n}");
    OrvStateMachine->GetScene(longest)->Save();
    EXPECT_TRUE(fs::exists(DataDir() / longest / "Entities.json"));
    const std::string index = ReadData("Scenes.json");
    EXPECT_TRUE(Contains(index, "\"" + longest + "\": 2"));
    EXPECT_TRUE(Contains(index, "\"SplashScene_00\": 1")) << "scenes after a failed one are still saved";
    EXPECT_TRUE(Contains(LogText(), "Failed to write to file " + too_long + ".json"));
    EXPECT_TRUE(Contains(LogText(), "Unexpected error occur while creating directory ../Resources/Data/" + no_folder));
    for (const auto& entry : fs::recursive_directory_iterator(DataDir())) {
        EXPECT_FALSE(Contains(entry.path().filename().string(), ".tmp.")) << "left behind: " << entry.path();
    }
}

TEST_F(SceneTest, EnteringAGameSceneResumesAndEveryEntryEndsADialogueOrPurificationButKeepsTheSharedStamps)
{
    WriteStandardTree();
    Machine()->paused = true;
    Enter("SplashScene_00");
    EXPECT_TRUE(OrvStateMachine->paused);
    // A dialogue or purification under way ends with the scene; the rules' shared stamps run on.
    DialogueIsRunning = IsPurifying = true;
    Shared().camera_rest_height = 0.5f;
    Shared().camera_rest_height_taken = true;
    Shared().debuff_reset_time = 12.0f;
    Shared().debuff_reset_time_set = true;
    Shared().last_hurt_frame = 3.0f;
    Shared().number_bob_counter = 45;
    Enter("GameScene_01");
    EXPECT_FALSE(OrvStateMachine->paused);
    EXPECT_FALSE(DialogueIsRunning);
    EXPECT_FALSE(IsPurifying);
    EXPECT_TRUE(Shared().camera_rest_height_taken);
    EXPECT_EQ(Shared().camera_rest_height, 0.5f);
    EXPECT_TRUE(Shared().debuff_reset_time_set);
    EXPECT_EQ(Shared().debuff_reset_time, 12.0f);
    EXPECT_EQ(Shared().last_hurt_frame, 3.0f);
    EXPECT_EQ(Shared().number_bob_counter, 45);
    EXPECT_TRUE(EntityFactory::GetInstance()->GetEntitiesByName().count("Player"));
    Enter("SplashScene_00");
    EXPECT_TRUE(EntityFactory::GetInstance()->GetEntitiesByName().empty()) << "a game scene's Free empties the index";
}

// A scene's scripts run before the sprite pass on its first frame; what they read of the view
// (the companion's target search) must already be the scene's own camera.
TEST_F(SceneTest, EnteringASceneMakesItsCameraTheActiveOneBeforeAnyFrame)
{
    RegisterComponent<Camera>("Camera", CAMERA);
    const std::string cam = "\"Cam\": [{\"Information\": [{\"name\": \"Cam\", \"type\": 11, \"active\": true}], "
                            "\"Transform\": [{\"position\": [{\"x\": 4.0, \"y\": 0.0, \"z\": 0.0}]}], \"Camera\": [{}]}]";
    WriteScenes(DataDir(), {{"GameScene_01", 2, EntityDocument({cam, EntityMember("Player", "", 1)})},
                            {"GameScene_02", 2, EntityDocument({EntityMember("Rock"), cam})}});
    Machine();
    EXPECT_EQ(ActiveCamera, nullptr) << "loaded templates never become active";

    Enter("GameScene_01");
    ASSERT_NE(ActiveCamera, nullptr);
    EXPECT_EQ(ActiveCamera->owner, OrvStateMachine->GetCurrentScene()->FindEntityByName("Cam"));
    EXPECT_FLOAT_EQ(ActiveCamera->transform->position.x, 4.0f);

    Enter("GameScene_02");
    ASSERT_NE(ActiveCamera, nullptr);
    EXPECT_EQ(ActiveCamera->owner, OrvStateMachine->GetCurrentScene()->FindEntityByName("Cam")) << "the new scene's own";
}
