// The pause menu block (tools/levels/pause_menu.json) inserted by tools/levels/insert_block.py into
// a small level of the test's own, then played on the real engine: hidden until Escape pauses,
// following the camera, a toggle, resume, and the exit box attached to "Pause_bg" whose Yes leads
// to the main menu, where the options show the mute the pause menu set.
#include "GameRunFixture.h"

#include "Audio/AudioSystem.h"
#include "Components/Child.h"
#include "Components/Parent.h"
#include "Components/Sprite.h"

using namespace OrvEngine;
using namespace OrvTest;

namespace {

const std::vector<std::string> kPauseEntities = {"Pause_bg", "ResumeGame", "ToggleMuteBGM", "ToggleMuteSFX",
                                                 "HowToPlay", "ExitToMainMenu"};

const char* const kLevel = R"({
    "Cam": [{"Information": [{"name": "Cam", "type": 11, "active": true}],
             "Transform": [{"position": [{"x": 0.0, "y": 0.0, "z": 0.0}], "rotation": 0.0,
                            "scale": [{"x": 16.0, "y": 9.0, "z": 1.0}]}],
             "Camera": [{}], "Parent": [{}]}],
    "BG": [{"Information": [{"name": "BG", "type": 5, "active": true}],
            "Transform": [{"position": [{"x": 0.0, "y": 0.0, "z": 0.0}], "rotation": 0.0,
                           "scale": [{"x": 16.0, "y": 9.0, "z": 1.0}]}],
            "Sprite": [{"tex_identifier": "BG_Forest"}]}]
})";

struct PauseRecord {
    std::vector<std::string> entity_order;
    std::vector<bool> shown_before_pause;
    float background_x_after_camera_moved = 0.0f;
    std::vector<bool> shown_while_paused;
    bool panel_shown_before_pause = true;
    std::string sfx_tick;
    bool sfx_muted = false;
    std::vector<std::string> box_buttons;
    Vec3 box_main, box_yes, box_no;
    float background_z = 0.0f;
    std::string box_parent;
    std::string yes_leads_to;
    bool box_gone_after_escape = false;
    bool paused_after_escape = true;
    std::vector<std::string> buttons_after_escape;
    bool paused_after_resume = true;
    std::string options_sfx_tick;
};

bool Shown(const std::string& name)
{
    Entity* entity = LiveEntity(name);
    return entity && entity->active;
}

std::vector<bool> ShownPauseEntities()
{
    std::vector<bool> shown;
    for (const std::string& name : kPauseEntities) shown.push_back(Shown(name));
    return shown;
}

Vec3 PositionOf(const std::string& name)
{
    Entity* entity = LiveEntity(name);
    auto transform = entity ? entity->GetComponent<Transform>(TRANSFORM) : nullptr;
    return transform ? transform->position : Vec3(-99.0f, -99.0f, -99.0f);
}

std::string TextureOf(const std::string& name)
{
    Entity* entity = LiveEntity(name);
    auto sprite = entity ? entity->GetComponent<Sprite>(SPRITE) : nullptr;
    return sprite ? sprite->tex_identifier : std::string();
}

bool IsPaused() { return OrvStateMachine && OrvStateMachine->paused; }

class PauseMenuBlockTest : public GameEndToEndTest {
protected:
    // The level: a camera with a Parent and a background, the block inserted after the camera.
    void MakeLevel()
    {
        const fs::path entities = DataDir() / "GameScene_99" / "Entities.json";
        WriteFile(entities, kLevel);
        WriteFile(DataDir() / "GameScene_99" / "GameScene_99.json", R"({"scene_name": "GameScene_99"})");
        std::string index = ReadData("Scenes.json");
        index.insert(index.find('{') + 1, "\n    \"GameScene_99\": 2,");
        WriteData("Scenes.json", index);
        const std::string command = "python3 '" + (SourceDir() / "tools" / "levels" / "insert_block.py").string() + "' '" +
                                    (SourceDir() / "tools" / "levels" / "pause_menu.json").string() + "' '" +
                                    entities.string() + "' --after Cam --relative-to Cam";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        StartScene = "GameScene_99";
    }

    void PauseAndPlay(ScriptedPlayer& player, PauseRecord& record);
    void ExitBox(ScriptedPlayer& player, PauseRecord& record);
};

void PauseMenuBlockTest::PauseAndPlay(ScriptedPlayer& player, PauseRecord& record)
{
    player.WaitForScene("GameScene_99", 3);
    player.Do([&] {
        for (const auto& entry : CurrentScene()->GetEntities()) record.entity_order.push_back(entry.second->name);
        record.shown_before_pause = ShownPauseEntities();
        record.panel_shown_before_pause = Shown("HTPInPauseMenu");
        LiveEntity("Cam")->GetComponent<Transform>(TRANSFORM)->position.x = 2.0f;
    });
    player.WaitFrames(2);
    player.Do([&] {
        record.background_x_after_camera_moved = PositionOf("Pause_bg").x;
        PressKey(Platform::VK_ESCAPE_KEY);
    });
    player.WaitFrames(2);
    player.Do([&] {
        record.shown_while_paused = ShownPauseEntities();
        SaveScreenshot("pause_menu");
        ClickWorld(2.0f, -0.4f); // the effects toggle
    });
    player.Do([&] {
        record.sfx_tick = TextureOf("ToggleMuteSFX");
        record.sfx_muted = AudioSystem::GetInstance()->GetGroupMute(AudioSystem::GetInstance()->sfx_group);
    });
}

void PauseMenuBlockTest::ExitBox(ScriptedPlayer& player, PauseRecord& record)
{
    player.Do([] { ClickWorld(2.0f, -1.8f); }); // the exit button opens the box
    player.WaitFrames(2);
    player.Do([&] {
        record.box_buttons = NavigableButtons();
        record.box_main = PositionOf("ExitWarningBoxMain");
        record.background_z = PositionOf("Pause_bg").z;
        record.box_yes = PositionOf("ExitWarningBoxYes");
        record.box_no = PositionOf("ExitWarningBoxNo");
        auto child = LiveEntity("ExitWarningBoxMain")->GetComponent<Child>(CHILD);
        record.box_parent = child->GetParent() ? child->GetParent()->owner->name : "";
        record.yes_leads_to = LiveEntity("ExitWarningBoxYes")->GetComponent<Button>(BUTTON)->GetNextState();
        PressKey(Platform::VK_ESCAPE_KEY); // closes the box (and, as Escape does, resumes)
    });
    player.WaitFrames(2);
    player.Do([&] {
        record.box_gone_after_escape = !LiveEntity("ExitWarningBoxMain");
        record.paused_after_escape = IsPaused();
        record.buttons_after_escape = NavigableButtons();
        PressKey(Platform::VK_ESCAPE_KEY);
    });
    player.WaitFrames(2);
    player.Do([] { PressKey(Platform::VK_RETURN_KEY); }); // Resume is selected first
    player.Do([&] {
        record.paused_after_resume = IsPaused();
        PressKey(Platform::VK_ESCAPE_KEY);
    });
    player.WaitFrames(2);
    player.Do([] { ClickWorld(2.0f, -1.8f); });
    player.WaitFrames(25); // Yes answers after its second
    player.Do([] { PressKey(Platform::VK_RETURN_KEY); });
    player.WaitForScene("MainMenuScene", 35);
    for (int i = 0; i < 2; ++i) player.Do([] { PressKey(Platform::VK_DOWN_KEY); });
    player.Do([] { PressKey(Platform::VK_RETURN_KEY); });
    player.WaitForScene("GameScene_04", 2);
    player.Do([&] {
        record.options_sfx_tick = TextureOf("ToggleMuteSFX");
        Platform::PushMessage({Platform::WM_CLOSE_MSG, 0, 0});
    });
}

TEST_F(PauseMenuBlockTest, TheInsertedBlockPausesTogglesResumesAndLeavesForTheMenuThroughItsBox)
{
    MakeLevel();
    ScriptedPlayer player;
    PauseRecord record;
    PauseAndPlay(player, record);
    ExitBox(player, record);

    StdoutCapture console;
    const int result = RunGame(player);
    const std::string printed = console.Take();

    EXPECT_EQ(result, 0);
    EXPECT_TRUE(player.Finished()) << "stopped at step " << player.StepReached();
    EXPECT_EQ(player.scenes, (std::vector<std::string>{"GameScene_99", "MainMenuScene", "GameScene_04"}));
    EXPECT_EQ(record.entity_order, (std::vector<std::string>{"Cam", "Pause_bg", "ResumeGame", "ToggleMuteBGM", "ToggleMuteSFX",
                                                             "HowToPlay", "ExitToMainMenu", "HTPInPauseMenu", "BG"}))
        << "made in file order, the block after the camera";
    EXPECT_EQ(record.shown_before_pause, std::vector<bool>(kPauseEntities.size(), false));
    EXPECT_FALSE(record.panel_shown_before_pause);
    EXPECT_FLOAT_EQ(record.background_x_after_camera_moved, 2.0f) << "the block follows the camera";
    EXPECT_EQ(record.shown_while_paused, std::vector<bool>(kPauseEntities.size(), true));
    EXPECT_EQ(record.sfx_tick, "SFXUntick");
    EXPECT_TRUE(record.sfx_muted);
    EXPECT_EQ(record.box_buttons, (std::vector<std::string>{"ExitWarningBoxYes", "ExitWarningBoxNo"}));
    EXPECT_EQ(record.box_parent, "Pause_bg");
    EXPECT_FLOAT_EQ(record.box_main.x, 2.0f);
    EXPECT_FLOAT_EQ(record.box_main.y, 0.0f);
    EXPECT_FLOAT_EQ(record.box_yes.x, 2.0f - 0.80000013f);
    EXPECT_FLOAT_EQ(record.box_yes.y, -0.7f);
    EXPECT_FLOAT_EQ(record.box_no.x, 2.0f + 0.80000013f);
    EXPECT_GT(record.box_main.z, record.background_z) << "the box is drawn over the menu";
    EXPECT_EQ(record.yes_leads_to, "MainMenuScene");
    EXPECT_TRUE(record.box_gone_after_escape);
    EXPECT_FALSE(record.paused_after_escape);
    EXPECT_EQ(record.buttons_after_escape.size(), 5u) << "the pause buttons are navigable again";
    EXPECT_FALSE(record.paused_after_resume);
    EXPECT_TRUE(Contains(printed, "Unpaused game"));
    EXPECT_EQ(record.options_sfx_tick, "SFXUntick") << "the options show the mute the pause menu set";
}

} // namespace
