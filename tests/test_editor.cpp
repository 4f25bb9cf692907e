// The editor's actions as plain functions on a temporary data tree, with the message box and the
// folder opener faked: Play's snapshots, Pause and resume, both Stops restoring exactly what Play
// saved, scene switching, generated names, deletion, a data folder that cannot be written, what
// the editor refuses while a play runs or is paused, and a scene being edited running none of the
// game until Play.
#include "EditorTestSupport.h"

#include "Components/Button.h"
#include "Components/Stats.h"
#include "Editor/EditorFiles.h"
#include "Editor/EditorPrefabs.h"
#include "Editor/EditorWindows/LEMenuBar.h"
#include "Editor/EditorWindows/LEScene.h"
#include "Platform/Sound.h"
#include "Scene/SplashScreenScene.h"
#include "Windows/WindowsSystems.h"

#include <sys/fsuid.h>
#include <sys/stat.h>

using namespace OrvEngine;
using namespace OrvTest;

TEST_F(EditorTest, FreshPlaySnapshotsEverySceneAndPauseThenPlayWritesNothing)
{
    ASSERT_FALSE(LEMenuBar::Play()) << "no scene is edited yet";
    EXPECT_EQ(boxes, std::vector<std::string>{"Warning: Please select a scene to play"});
    EXPECT_FALSE(GameIsRunning);
    EXPECT_FALSE(fs::exists(DataDir() / "GameScene_01" / "AutoSave.json"));

    Enter("GameScene_01");
    EditorVisible = true;
    TransformOf("Player")->position.x = 5.0f; // an edit not saved to Entities.json
    ASSERT_TRUE(LEMenuBar::Play());
    EXPECT_TRUE(GameIsRunning);
    EXPECT_FALSE(EditorVisible);
    EXPECT_FALSE(EditorPaused);
    EXPECT_EQ(editor->played_scene, "GameScene_01");
    EXPECT_TRUE(editor->GetSceneFlag("GameScene_01"));
    EXPECT_FALSE(editor->GetSceneFlag("GameScene_02"));
    // One snapshot per scene: the live entities of the edited one, the loaded ones elsewhere.
    EXPECT_EQ(ReadData("GameScene_01/AutoSave.json"), LiveText(*CurrentScene()));
    EXPECT_TRUE(Contains(ReadData("GameScene_01/AutoSave.json"), "\"x\": 5.0"));
    for (const char* scene : {"GameScene_02", "MainMenuScene", "SplashScene_00"}) {
        rapidjson::Document snapshot;
        ASSERT_TRUE(OrvSerializer.ReadFileToDocument(std::string(scene) + "/AutoSave.json", snapshot)) << scene;
        EXPECT_EQ(snapshot.MemberCount(), OrvStateMachine->GetScene(scene)->GetLoadedEntities()->size()) << scene;
    }
    EXPECT_TRUE(Contains(LogText(), "Play button pressed"));

    LEMenuBar::Pause();
    EXPECT_TRUE(EditorPaused);
    EXPECT_FALSE(GameIsRunning);
    EXPECT_TRUE(Platform::SoundSystem::GetGroupPaused(Platform::ChannelGroup::Music));
    EXPECT_TRUE(Platform::SoundSystem::GetGroupPaused(Platform::ChannelGroup::Effects));

    // Resuming saves nothing: a removed snapshot stays removed, a kept one unchanged.
    const std::string kept = ReadData("GameScene_01/AutoSave.json");
    fs::remove(DataDir() / "GameScene_02" / "AutoSave.json");
    TransformOf("Player")->position.x = 7.0f;
    ASSERT_TRUE(LEMenuBar::Play());
    EXPECT_TRUE(GameIsRunning);
    EXPECT_FALSE(EditorPaused);
    EXPECT_FALSE(Platform::SoundSystem::GetGroupPaused(Platform::ChannelGroup::Music));
    EXPECT_EQ(ReadData("GameScene_01/AutoSave.json"), kept);
    EXPECT_FALSE(fs::exists(DataDir() / "GameScene_02" / "AutoSave.json"));
}

TEST_F(EditorTest, StopFromRunningBringsBackThePlayedSceneExactlyEvenAfterItWasReEntered)
{
    Enter("GameScene_01");
    TransformOf("Tree")->position.y = -4.0f; // unsaved edit: only the snapshot holds it
    const std::string before = LiveText(*CurrentScene());
    const size_t count = CurrentScene()->GetEntities().size();
    ASSERT_TRUE(LEMenuBar::Play());
    PlaySomething();
    // A retry: the played scene is left and entered again, which uses its auto-save flag up.
    Enter("GameScene_02");
    Enter("GameScene_01");
    EXPECT_EQ(LiveText(*CurrentScene()), before) << "re-entry during play starts from the snapshot too";
    EXPECT_FALSE(editor->GetSceneFlag("GameScene_01"));
    PlaySomething();
    editor->SetSelection(CurrentScene()->FindEntityByName("Player"));

    LEMenuBar::StopFromRunning();
    EXPECT_FALSE(GameIsRunning);
    EXPECT_FALSE(EditorPaused);
    EXPECT_FALSE(DialogueIsRunning);
    EXPECT_EQ(editor->selected_entity, nullptr);
    EXPECT_TRUE(CurrentScene()->GetEntities().empty()) << "the played entities are gone at once";
    EXPECT_EQ(OrvStateMachine->next_state, "GameScene_01");
    FrameEnd();
    ASSERT_EQ(CurrentScene()->GetSceneName(), "GameScene_01");
    EXPECT_EQ(CurrentScene()->GetEntities().size(), count);
    EXPECT_EQ(LiveText(*CurrentScene()), before);
    EXPECT_FALSE(editor->GetSceneFlag("GameScene_01"));
    EXPECT_TRUE(Contains(LogText(), "Stop button pressed when GP true"));
}

TEST_F(EditorTest, StopFromPauseRestoresEachSceneFromItsOwnSnapshotWithoutDuplicates)
{
    Enter("GameScene_01");
    TransformOf("Player")->position.x = -6.0f;
    const std::string before = LiveText(*CurrentScene());
    const size_t count = CurrentScene()->GetEntities().size();

    // Paused and stopped where it was played: that scene comes back in place.
    ASSERT_TRUE(LEMenuBar::Play());
    PlaySomething();
    LEMenuBar::Pause();
    LEMenuBar::StopFromPause();
    EXPECT_FALSE(GameIsRunning);
    EXPECT_FALSE(EditorPaused);
    EXPECT_FALSE(DialogueIsRunning);
    ASSERT_EQ(CurrentScene()->GetSceneName(), "GameScene_01");
    EXPECT_EQ(CurrentScene()->GetEntities().size(), count);
    EXPECT_EQ(LiveText(*CurrentScene()), before);
    EXPECT_TRUE(OrvStateMachine->next_state.empty());
    for (const auto& [name, scene] : OrvStateMachine->scenes) {
        EXPECT_FALSE(editor->GetSceneFlag(name)) << name;
        if (name != "GameScene_01") {
            EXPECT_TRUE(scene->GetEntities().empty()) << name << " gained live entities";
        }
    }
    EXPECT_TRUE(Contains(LogText(), "Stop button pressed when GP false"));

    // Paused after the game moved on: the scene it reached comes back from its own snapshot, and
    // the played scene from its own when it is next entered.
    ASSERT_TRUE(LEMenuBar::Play());
    Enter("GameScene_02");
    const std::string second = LiveText(*CurrentScene());
    TransformOf("Sign")->position.x = 40.0f;
    LEMenuBar::Pause();
    LEMenuBar::StopFromPause();
    ASSERT_EQ(CurrentScene()->GetSceneName(), "GameScene_02");
    EXPECT_EQ(LiveText(*CurrentScene()), second);
    EXPECT_TRUE(editor->GetSceneFlag("GameScene_01"));
    Enter("GameScene_01");
    EXPECT_EQ(LiveText(*CurrentScene()), before);
    EXPECT_FALSE(editor->GetSceneFlag("GameScene_01"));
}

TEST_F(EditorTest, SwitchingScenesAsksToSaveStopsAPlayFirstAndClosesTheEditedScene)
{
    LEScene scenes;
    Enter("GameScene_01");
    TransformOf("Player")->position.x = 11.0f;
    editor->scene_modified = true;
    answer = Platform::ID_NO;
    scenes.SelectScene("GameScene_02");
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(Contains(boxes[0], "Changing Scene: Do you want to save this scene before proceeding?"));
    EXPECT_FALSE(editor->scene_modified);
    EXPECT_FALSE(Contains(ReadData("GameScene_01/Entities.json"), "11.0")) << "No does not save";
    EXPECT_EQ(OrvStateMachine->next_state, "GameScene_02");
    OrvStateMachine->next_state.clear();

    editor->scene_modified = true;
    answer = Platform::ID_YES;
    scenes.SelectScene("GameScene_02");
    EXPECT_TRUE(Contains(ReadData("GameScene_01/Entities.json"), "\"x\": 11.0"));
    FrameEnd();
    EXPECT_EQ(editor->edited_scene->GetSceneName(), "GameScene_02");

    // While playing, the play is stopped first: the played scene keeps its snapshot for later.
    ASSERT_TRUE(LEMenuBar::Play());
    TransformOf("Sign")->position.x = 50.0f;
    scenes.SelectScene("MainMenuScene");
    EXPECT_FALSE(GameIsRunning);
    EXPECT_TRUE(editor->GetSceneFlag("GameScene_02"));
    EXPECT_EQ(OrvStateMachine->next_state, "MainMenuScene");
    FrameEnd();
    EXPECT_EQ(editor->edited_scene->GetSceneName(), "MainMenuScene");
    Enter("GameScene_02");
    EXPECT_FLOAT_EQ(TransformOf("Sign")->position.x, 4.0f);

    // The edited scene clicked again is closed: no scene is current or edited.
    scenes.SelectScene("GameScene_02");
    EXPECT_EQ(CurrentScene(), nullptr);
    EXPECT_EQ(editor->edited_scene, nullptr);
    EXPECT_TRUE(OrvStateMachine->GetScene("GameScene_02")->GetEntities().empty());
    scenes.OpenScenesFolder();
    EXPECT_EQ(folders, std::vector<std::string>{"../Resources/Data"});
}

// A splash scene's settings thrown away (Load Scene, or No to saving before a change) come back
// from its file, a missing one as its default: the next save of every scene writes none of them.
TEST_F(EditorTest, DiscardedSplashSettingsComeBackFromTheFileAndNoLaterSaveWritesThem)
{
    LEScene scenes;
    Enter("SplashScene_00");
    auto splash = std::dynamic_pointer_cast<SplashScreenScene>(CurrentScene());
    ASSERT_NE(splash, nullptr);
    splash->show_time = 9.0f;
    splash->next_state = "MainMenuScene";
    editor->scene_modified = true;
    answer = Platform::ID_YES;
    ASSERT_TRUE(LEHierarchy::ReloadScene());
    EXPECT_FLOAT_EQ(splash->show_time, 1.0f);
    EXPECT_EQ(splash->next_state, "GameScene_02");
    EXPECT_EQ(splash->GetSceneName(), "SplashScene_00");
    EXPECT_EQ(OrvStateMachine->GetScene("SplashScene_00"), splash);

    splash->show_time = 7.0f;
    editor->scene_modified = true;
    answer = Platform::ID_NO;
    scenes.SelectScene("GameScene_01");
    FrameEnd();
    EXPECT_FLOAT_EQ(splash->show_time, 1.0f) << "No to saving throws the settings away too";
    ASSERT_EQ(scenes.AddSplashScene(), "SplashScene_01");
    const std::string written = ReadData("SplashScene_00/SplashScene_00.json");
    EXPECT_TRUE(Contains(written, "\"show_time\": 1.0,")) << written;
    EXPECT_TRUE(Contains(written, "\"next_state\": \"GameScene_02\"")) << written;

    WriteData("SplashScene_00/SplashScene_00.json", R"({"scene_name": "SplashScene_00"})");
    Enter("SplashScene_00");
    splash->show_time = 9.0f;
    answer = Platform::ID_YES;
    ASSERT_TRUE(LEHierarchy::ReloadScene());
    EXPECT_FLOAT_EQ(splash->show_time, SplashScreenScene::kDefaultShowTime);
    EXPECT_EQ(splash->next_state, "");
}

// Closing the editor's window (its button, Alt+F4) with unsaved changes asks the exit question;
// nobody there to answer keeps the editor open. A quit request, the game, or nothing unsaved end
// at once.
TEST_F(EditorTest, ClosingTheWindowWithUnsavedChangesAsksFirstAndNoKeepsTheEditorOpen)
{
    WindowsSystems* window = WindowsSystems::GetInstance();
    Enter("GameScene_01");
    ASSERT_NE(LEHierarchy::AddObject(), nullptr);
    // A quit lets go of the edited scene; each close starts from it open again.
    auto close = [window](uint32_t message) {
        LEScene::FollowCurrentScene();
        OrvCoreEngine->running = true;
        Platform::PushMessage({message, 0, 0});
        StdoutCapture out;
        window->Update();
        return out.Take();
    };
    std::string printed = close(Platform::WM_CLOSE_MSG);
    EXPECT_TRUE(OrvCoreEngine->running);
    EXPECT_TRUE(Contains(printed, "[MessageBox] Exiting: Are you sure you want to exit?\nThe scene GameScene_01 has "
                                  "unsaved changes: they are lost on exit. -> No")) << printed;
    setenv("ORV_MSGBOX_ANSWER", "yes", 1);
    printed = close(Platform::WM_CLOSE_MSG);
    unsetenv("ORV_MSGBOX_ANSWER");
    EXPECT_FALSE(OrvCoreEngine->running);
    EXPECT_TRUE(Contains(printed, "-> Yes")) << printed;

    printed = close(Platform::WM_QUIT_MSG);
    EXPECT_FALSE(OrvCoreEngine->running) << "SIGTERM";
    GameMode = true;
    printed += close(Platform::WM_CLOSE_MSG);
    EXPECT_FALSE(OrvCoreEngine->running) << "the game";
    GameMode = false;
    LEScene::FollowCurrentScene();
    ASSERT_TRUE(LEHierarchy::SaveScene());
    printed += close(Platform::WM_CLOSE_MSG);
    EXPECT_FALSE(OrvCoreEngine->running) << "nothing unsaved";
    EXPECT_FALSE(Contains(printed, "[MessageBox]")) << printed;
}

TEST_F(EditorTest, GeneratedNamesSkipTakenOnesOnDiskAndTheCountersAreSeparate)
{
    EXPECT_EQ(LEScene::GeneratedName("GameScene", 9), "GameScene_09");
    EXPECT_EQ(LEScene::GeneratedName("GameScene", 10), "GameScene_10");
    for (const char* refused : {"Prefab", "Exit game", "", ".", "..", "a/b", "a\\b", "tab\there"}) {
        EXPECT_FALSE(EditorFiles::IsUsableSceneName(refused)) << refused;
    }
    EXPECT_TRUE(EditorFiles::IsUsableSceneName("GameScene_05"));

    // GameScene_03's folder was left behind with no index entry.
    fs::create_directories(DataDir() / "GameScene_03");
    LEScene scenes;
    EXPECT_EQ(scenes.AddGameScene(), "GameScene_04");
    EXPECT_EQ(scenes.gameSceneCounter, 4u);
    EXPECT_EQ(scenes.AddSplashScene(), "SplashScene_01");
    EXPECT_EQ(scenes.splashSceneCounter, 1u);
    EXPECT_EQ(scenes.AddGameScene(), "GameScene_05");
    scenes.gameSceneCounter = 9;
    EXPECT_EQ(scenes.AddGameScene(), "GameScene_10");

    rapidjson::Document index;
    ASSERT_TRUE(OrvSerializer.ReadFileToDocument("Scenes.json", index));
    for (const char* name : {"GameScene_01", "GameScene_04", "GameScene_05", "GameScene_10", "SplashScene_01"}) {
        EXPECT_TRUE(index.HasMember(name)) << name;
        EXPECT_TRUE(fs::exists(DataDir() / name / (std::string(name) + ".json"))) << name;
    }
    EXPECT_EQ(index["SplashScene_01"].GetUint(), 1u);
    EXPECT_FALSE(index.HasMember("GameScene_03"));
    EXPECT_TRUE(OrvStateMachine->GetScene("GameScene_04")->GetEntities().empty());
}

// Adding a scene writes the new scene's files and the index, and no other scene's file: the open
// splash scene's unsaved time stays unsaved (Load Scene still throws it away) and a settings file
// edited by hand while the editor runs stays as it was written.
TEST_F(EditorTest, AddingASceneWritesOnlyItsOwnFilesAndTheIndexLeavingOtherScenesByteForByte)
{
    auto files = [this] {
        std::map<std::string, std::string> found;
        for (const auto& entry : fs::recursive_directory_iterator(DataDir())) {
            if (entry.is_regular_file()) found[fs::relative(entry.path(), DataDir()).string()] = ReadFile(entry.path());
        }
        return found;
    };
    LEScene scenes;
    Enter("SplashScene_00");
    auto splash = std::dynamic_pointer_cast<SplashScreenScene>(CurrentScene());
    ASSERT_NE(splash, nullptr);
    splash->show_time = 9.0f;
    editor->scene_modified = true;
    WriteData("GameScene_02/GameScene_02.json", "{ \"scene_name\":\"GameScene_02\",\n  \"note\": \"by hand\" }");
    std::map<std::string, std::string> before = files();

    ASSERT_EQ(scenes.AddSplashScene(), "SplashScene_01");
    ASSERT_EQ(scenes.AddGameScene(), "GameScene_03");
    std::map<std::string, std::string> after = files();
    const rapidjson::Document index = Parse(after["Scenes.json"]);
    for (const char* name : {"GameScene_01", "GameScene_02", "GameScene_03", "MainMenuScene", "SplashScene_00",
                             "SplashScene_01"}) {
        EXPECT_TRUE(index.HasMember(name)) << name;
    }
    for (const char* added : {"SplashScene_01/SplashScene_01.json", "GameScene_03/GameScene_03.json"}) {
        EXPECT_EQ(after.erase(added), 1u) << added;
    }
    before.erase("Scenes.json");
    after.erase("Scenes.json");
    EXPECT_EQ(after, before) << "no other file changed, appeared or went";

    answer = Platform::ID_YES;
    ASSERT_TRUE(LEHierarchy::ReloadScene());
    EXPECT_FLOAT_EQ(splash->show_time, 1.0f) << "the unsaved time was never written";
}

TEST_F(EditorTest, DeleteRewritesTheIndexFirstThenRemovesFilesLoggingWhatCouldNotGo)
{
    LEScene scenes;
    EXPECT_FALSE(scenes.DeleteCurrentScene()) << "nothing is edited";
    Enter("GameScene_02");
    answer = Platform::ID_NO;
    EXPECT_FALSE(scenes.DeleteCurrentScene());
    EXPECT_TRUE(Contains(boxes.back(), "Deleting Scene: Are you sure you want to delete the scene?"));
    EXPECT_TRUE(fs::exists(DataDir() / "GameScene_02" / "Entities.json"));
    EXPECT_FALSE(CurrentScene()->GetEntities().empty());

    answer = Platform::ID_YES;
    WriteData("GameScene_02/notes.txt", "kept by the user"); // the folder cannot go
    ASSERT_TRUE(scenes.DeleteCurrentScene());
    EXPECT_EQ(CurrentScene(), nullptr);
    EXPECT_EQ(editor->edited_scene, nullptr);
    EXPECT_EQ(OrvStateMachine->GetScene("GameScene_02"), nullptr);
    EXPECT_FALSE(Contains(ReadData("Scenes.json"), "GameScene_02"));
    EXPECT_TRUE(Contains(ReadData("Scenes.json"), "GameScene_01"));
    EXPECT_FALSE(fs::exists(DataDir() / "GameScene_02" / "GameScene_02.json"));
    EXPECT_FALSE(fs::exists(DataDir() / "GameScene_02" / "Entities.json"));
    const std::string log = LogText();
    EXPECT_TRUE(Contains(log, "Fail to remove file: AutoSave.json")) << "never played: no snapshot";
    EXPECT_TRUE(Contains(log, "Fail to remove directory: GameScene_02"));
    EXPECT_FALSE(Contains(log, "Fail to remove file: Entities.json"));
    // The splash that led to the scene leads nowhere now, in memory and in its file.
    auto splash = std::dynamic_pointer_cast<SplashScreenScene>(OrvStateMachine->GetScene("SplashScene_00"));
    EXPECT_EQ(splash->next_state, "");
    EXPECT_TRUE(Contains(ReadData("SplashScene_00/SplashScene_00.json"), "\"next_state\": \"\""));
}

TEST_F(EditorTest, ASceneOthersLeadToIsNamedBeforeDeletionAndASplashLeadingNowhereGoesOnToTheMainMenu)
{
    Entity* title = OrvStateMachine->GetScene("MainMenuScene")->GetLoadedEntities()->begin()->second;
    auto button = std::make_shared<Button>();
    button->SetNextState("GameScene_02");
    title->AddComponent(BUTTON, button);
    LEScene scenes;
    Enter("GameScene_02");
    answer = Platform::ID_NO;
    EXPECT_FALSE(scenes.DeleteCurrentScene());
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(Contains(boxes[0], "Are you sure you want to delete the scene?")) << boxes[0];
    EXPECT_TRUE(Contains(boxes[0], "These scenes lead to GameScene_02: MainMenuScene, SplashScene_00.")) << boxes[0];
    answer = Platform::ID_YES;
    ASSERT_TRUE(scenes.DeleteCurrentScene());

    // The splash that led there waits its time, says once where it goes instead, and goes.
    GameIsRunning = true;
    Enter("SplashScene_00");
    auto splash = std::dynamic_pointer_cast<SplashScreenScene>(CurrentScene());
    splash->show_time = 0.0f;
    for (int frame = 0; frame < 3; ++frame) splash->Update();
    EXPECT_EQ(OrvStateMachine->next_state, "MainMenuScene");
    const std::string log = LogText();
    const std::string line =
        "[SplashScreenScene] SplashScene_00 leads to '', which is no scene: going on to MainMenuScene";
    EXPECT_TRUE(Contains(log, line)) << log;
    EXPECT_EQ(log.find(line), log.rfind(line)) << "said once";
    FrameEnd();
    EXPECT_EQ(CurrentScene()->GetSceneName(), "MainMenuScene");

    // A next scene that exists (or the quit request) is followed as it is.
    splash->next_state = "Exit game";
    Enter("SplashScene_00");
    splash->Update();
    EXPECT_EQ(OrvStateMachine->next_state, "Exit game");
    OrvStateMachine->next_state.clear();
    GameIsRunning = false;
}

TEST_F(EditorTest, AReadOnlyDataFolderLeavesEveryFileIntactAndReportsEachFailure)
{
    LEScene scenes;
    Enter("GameScene_01");
    TransformOf("Player")->position.x = 12.0f;
    std::map<fs::path, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(DataDir())) {
        if (entry.is_regular_file()) files[entry.path()] = ReadFile(entry.path());
    }
    // Root may write anywhere: the checks run as nobody, with the tree readable but not writable.
    const fs::perms read_only = fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                fs::perms::others_read | fs::perms::others_exec;
    for (const fs::path& folder : {Root(), Root() / "work", Root() / "Resources", DataDir()}) fs::permissions(folder, read_only);
    for (const auto& entry : fs::recursive_directory_iterator(DataDir())) {
        fs::permissions(entry.path(), entry.is_directory() ? read_only : fs::perms(0644));
    }
    const uid_t previous = static_cast<uid_t>(setfsuid(65534));
    struct Restore {
        uid_t uid;
        ~Restore() { setfsuid(uid); }
    } restore{previous};
    if (std::ofstream(DataDir() / "probe").is_open()) GTEST_SKIP() << "the data folder stays writable here";

    EXPECT_FALSE(LEMenuBar::Play());
    EXPECT_FALSE(GameIsRunning);
    EXPECT_FALSE(editor->GetSceneFlag("GameScene_01"));
    ASSERT_FALSE(boxes.empty());
    EXPECT_TRUE(Contains(boxes.back(), "Failed to write to file ")) << boxes.back();
    EXPECT_TRUE(Contains(boxes.back(), "AutoSave.json; the old file is kept"));

    boxes.clear();
    EXPECT_EQ(scenes.AddGameScene(), "");
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_EQ(OrvStateMachine->scenes.size(), 4u) << "a scene that could not be saved is not kept";

    editor->scene_modified = true;
    scenes.SelectScene("GameScene_02");
    EXPECT_TRUE(editor->scene_modified) << "a failed save keeps the changes and the scene";
    EXPECT_TRUE(OrvStateMachine->next_state.empty());
    EXPECT_TRUE(Contains(boxes.back(), "Entities.json; the old file is kept"));

    EXPECT_FALSE(scenes.DeleteCurrentScene());
    EXPECT_NE(OrvStateMachine->GetScene("GameScene_01"), nullptr);
    EXPECT_FALSE(CurrentScene()->GetEntities().empty());
    EXPECT_TRUE(Contains(boxes.back(), "Scenes.json; the old file is kept"));
    setfsuid(previous);

    std::map<fs::path, std::string> after;
    for (const auto& entry : fs::recursive_directory_iterator(DataDir())) {
        if (entry.is_regular_file()) after[entry.path()] = ReadFile(entry.path());
    }
    EXPECT_EQ(after, files) << "no file changed, none appeared, none went";
    EXPECT_TRUE(Contains(LogText(), "[Editor] Failed to write to file GameScene_01/Entities.json"));
}

TEST_F(EditorTest, WhileAPlayRunsOrIsPausedNothingIsSavedAddedOrDeletedAndABoxSaysWhy)
{
    LEScene scenes;
    Enter("GameScene_01");
    ASSERT_TRUE(EditorPrefabs::SaveAsPrefab(*CurrentScene()->FindEntityByName("Tree"), false));
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(DataDir())) {
        if (entry.is_regular_file()) files[entry.path().string()] = ReadFile(entry.path());
    }
    ASSERT_TRUE(LEMenuBar::Play());
    PlaySomething();
    for (bool paused : {false, true}) {
        if (paused) LEMenuBar::Pause();
        const std::string played = LiveText(*CurrentScene());
        Entity* player = CurrentScene()->FindEntityByName("Player");
        editor->SetSelection(player);
        answer = Platform::ID_YES;
        boxes.clear();
        EXPECT_FALSE(LEHierarchy::SaveScene());
        EXPECT_EQ(LEHierarchy::AddObject(), nullptr);
        EXPECT_FALSE(LEHierarchy::DeleteSelected());
        EXPECT_EQ(LEHierarchy::CreateFromPrefab("Tree"), nullptr);
        EXPECT_FALSE(EditorPrefabs::SaveAsPrefab(*player, false));
        EXPECT_FALSE(EditorPrefabs::SaveAsPrefab(*player, true));
        EXPECT_FALSE(EditorPrefabs::RemovePrefab("Tree"));
        EXPECT_EQ(scenes.AddGameScene(), "");
        EXPECT_EQ(scenes.AddSplashScene(), "");
        EXPECT_FALSE(scenes.DeleteCurrentScene());
        ASSERT_EQ(boxes.size(), 10u) << (paused ? "paused" : "running");
        for (const std::string& box : boxes) {
            EXPECT_TRUE(Contains(box, "is refused while the game is played or paused")) << box;
        }
        EXPECT_TRUE(Contains(boxes[0], "Save Scene is refused"));
        EXPECT_EQ(LiveText(*CurrentScene()), played) << "the played scene is as it was";
        EXPECT_EQ(OrvStateMachine->scenes.size(), 4u);
        EXPECT_EQ(EntityFactory::GetInstance()->GetArchetypes().count("Tree"), 1u);
        EXPECT_TRUE(LEMenuBar::IsPlaying());
    }
    std::map<std::string, std::string> after;
    for (const auto& entry : fs::recursive_directory_iterator(DataDir())) {
        const std::string name = entry.path().filename().string();
        if (entry.is_regular_file() && name != "AutoSave.json") after[entry.path().string()] = ReadFile(entry.path());
    }
    EXPECT_EQ(after, files) << "no file changed, none appeared, none went";

    // Stopped, the scene is the edited one again and may be saved.
    LEMenuBar::StopFromPause();
    boxes.clear();
    EXPECT_TRUE(LEHierarchy::SaveScene());
    EXPECT_NE(LEHierarchy::AddObject(), nullptr);
    EXPECT_TRUE(boxes.empty());
    EXPECT_FALSE(Contains(ReadData("GameScene_01/Entities.json"), "Spark")) << "nothing of the play was kept";
}

namespace {
// A script that moves its entity as soon as it starts and every frame after.
struct MoverScript : BaseScript {
    void Init(Entity* entity) override { entity->GetComponent<Transform>(TRANSFORM)->position.x = 100.0f; }
    void Update(Entity* entity) override { entity->GetComponent<Transform>(TRANSFORM)->position.x += 1.0f; }
};
} // namespace

TEST_F(EditorTest, ASceneBeingEditedRunsNoGameBehaviourAndPlayStartsItAsTheGameWould)
{
    ScriptSystem::GetInstance()->RegisterScript("MoverScript", std::make_shared<ScriptType<MoverScript>>());
    const std::string bar = ", \"Sprite\": [{\"is_slider\": true, \"ent_name\": \"Player\"}]";
    WriteData("GameScene_01/Entities.json",
              EntityDocument({Actor("Cam", 11, 0, 0, ", \"Camera\": [{}], \"Parent\": [{}]"),
                              Actor("Player", 1, 1, 2, ", \"Stats\": [{\"hp\": 30}]"),
                              Actor("Hud", 0, 3, 3, ", \"Child\": [{\"parent_name\": \"Cam\", \"follows_x\": true}]"),
                              Actor("Bar", 0, 0, 4, bar), Actor("Mover", 0, 5, 5, ", \"ScriptComponent\": [{\"file_name\": "
                                                                                 "\"MoverScript\"}]")}));
    OrvStateMachine->GetScene("GameScene_01")->ReloadEntities();
    EditorVisible = true;
    Enter("GameScene_01");
    const std::string entered = LiveText(*CurrentScene());
    auto frames = [](int count) {
        for (int i = 0; i < count; ++i) OrvCoreEngine->RunFrame();
    };
    frames(30);
    EXPECT_EQ(LiveText(*CurrentScene()), entered) << "shown for 30 frames, nothing changed";

    // The designer moves Ilo and raises her hit points: that is all that changes.
    TransformOf("Player")->position.x = 7.0f;
    CurrentScene()->FindEntityByName("Player")->GetComponent<Stats>(STATS)->hp = 45;
    frames(30);
    EXPECT_FLOAT_EQ(TransformOf("Cam")->position.x, 0.0f) << "the camera does not follow";
    EXPECT_FLOAT_EQ(TransformOf("Hud")->position.x, 3.0f) << "children do not move";
    EXPECT_FLOAT_EQ(TransformOf("Bar")->scale.x, 1.0f) << "the bar keeps its size";
    EXPECT_FLOAT_EQ(TransformOf("Bar")->position.x, 0.0f);
    EXPECT_FLOAT_EQ(TransformOf("Mover")->position.x, 5.0f) << "no script ran";
    ASSERT_TRUE(LEHierarchy::SaveScene());
    const rapidjson::Document saved = Parse(ReadData("GameScene_01/Entities.json"));
    std::vector<std::string> changed = Differences(Parse(entered), saved);
    EXPECT_EQ(changed, (std::vector<std::string>{"Player/Transform/position/x", "Player/Stats/hp"}));

    // Play enters the scene as the game does: the script starts, the camera follows, the bar is
    // set up against the hit points there are.
    ASSERT_TRUE(LEMenuBar::Play());
    EXPECT_FLOAT_EQ(TransformOf("Mover")->position.x, 100.0f);
    frames(2);
    EXPECT_FLOAT_EQ(TransformOf("Cam")->position.x, 7.0f);
    TransformOf("Player")->position.x = 9.0f;
    CurrentScene()->FindEntityByName("Player")->GetComponent<Stats>(STATS)->hp = 90;
    frames(1);
    EXPECT_FLOAT_EQ(TransformOf("Hud")->position.x, 5.0f) << "the child follows its parent's move";
    EXPECT_FLOAT_EQ(TransformOf("Bar")->scale.x, 2.0f) << "full at 45, twice as long at 90";
    LEMenuBar::Pause();
    LEMenuBar::StopFromPause();
    EXPECT_EQ(Differences(saved, Parse(LiveText(*CurrentScene()))), std::vector<std::string>{}) << "as saved";
}
