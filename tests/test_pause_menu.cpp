// The pause menu block (tools/levels/pause_menu.json) inserted by tools/levels/insert_block.py into
// a small level of the test's own, then played on the real engine: hidden until Escape pauses,
// following the camera, a toggle, resume, and the exit box attached to "Pause_bg" whose Yes leads
// to the main menu, where the options show the mute the pause menu set; the help panel closed by a
// click back to the menu or by Escape into play, the exit box's No back to the menu, which stays in
// front of everything. Then a pause in chapter 1
// in the middle of a purification, which stands still with every other timer of play.
#include "GameRunFixture.h"

#include "Audio/AudioSystem.h"
#include "Components/Child.h"
#include "Components/Parent.h"
#include "Components/Sprite.h"
#include "CoreEngine/CoreEngine.h"
#include "CoreEngine/Globals.h"
#include "Graphics/SpriteSystem.h"
#include "Logic/EnemyMovement.h"
#include "Logic/PlayerController.h"
#include "Scripts/Companion/AIScript.h"

#include <algorithm>

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

// A sprite deeper than any depth the menu's data has, as a low-health marker climbs to.
const char* const kDeepMarker = R"(,
    "Marker": [{"Information": [{"name": "Marker", "type": 11, "active": true}],
                "Transform": [{"position": [{"x": 0.0, "y": 0.0, "z": 50000.0}], "rotation": 0.0,
                               "scale": [{"x": 1.0, "y": 1.0, "z": 1.0}]}],
                "Sprite": [{"tex_identifier": "UI_Enemy_Low_HP"}]}]
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

bool IsPaused() { return OrvStateMachine && OrvStateMachine->paused; }

class PauseMenuBlockTest : public GameEndToEndTest {
protected:
    // The level: a camera with a Parent and a background, the block inserted after the camera.
    void MakeLevel(bool with_deep_marker = false)
    {
        const fs::path entities = DataDir() / "GameScene_99" / "Entities.json";
        std::string level = kLevel;
        if (with_deep_marker) level.replace(level.rfind('}'), 1, kDeepMarker);
        WriteFile(entities, level);
        WriteFile(DataDir() / "GameScene_99" / "GameScene_99.json", R"({"scene_name": "GameScene_99"})");
        std::string index = ReadData("Scenes.json");
        index.insert(index.find('{') + 1, "\n    \"GameScene_99\": 2,");
        WriteData("Scenes.json", index);
        const std::string command = "python3 '" + (SourceDir() / "tools" / "levels" / "insert_block.py").string() + "' '" +
                                    (SourceDir() / "tools" / "levels" / "pause_menu.json").string() + "' '" +
                                    entities.string() + "' --after Cam --relative-to Cam";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        StartScene = "GameScene_99";
        PlayInASmallWindow();
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
    player.Do([] { PressKey(Platform::VK_RETURN_KEY); }); // Yes, the box's first button, is selected
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

// ---- The help panel, the exit box and the depth ------------------------------------------------

struct MenuLayerRecord {
    float marker_z = 0.0f, background_z = 0.0f, button_z = 0.0f, panel_z = 0.0f;
    bool panel_open = false, paused_after_click = false, panel_closed_by_click = false;
    std::string bgm_tick_after_click;
    bool paused_after_escape = true, panel_closed_by_escape = false;
    std::string box_picture, box_selected;
    float box_z = 0.0f, box_choice_z = 0.0f;
    bool box_gone_after_enter = false, paused_after_no = false;
    std::vector<std::string> scenes_seen;
};

void PressTimes(ScriptedPlayer& player, uint64_t key, int times)
{
    for (int i = 0; i < times; ++i) player.Do([key] { PressKey(key); });
}

float DepthOf(const std::string& name) { return PositionOf(name).z; }

// A click on the help panel where Music lies under it closes it back to the menu; Escape on it
// closes it and resumes; the exit box opened from the menu again shows the one picture the main
// menu's shows, with no choice made for the player, and its No leads back to the menu. The menu
// and its box are drawn in front of a sprite deeper than any of the menu's own depths.
TEST_F(PauseMenuBlockTest, TheHelpPanelClosesByClickOrEscapeAndTheExitBoxLeadsBackToTheMenuInFront)
{
    MakeLevel(true);
    ScriptedPlayer player;
    MenuLayerRecord r;
    player.WaitForScene("GameScene_99", 3);
    player.Do([] { PressKey(Platform::VK_ESCAPE_KEY); });
    player.WaitFrames(25); // the buttons answer after their second
    player.Do([&] {
        r.marker_z = DepthOf("Marker");
        r.background_z = DepthOf("Pause_bg");
        r.button_z = DepthOf("ToggleMuteBGM");
        r.panel_z = DepthOf("HTPInPauseMenu");
        ClickWorld(0.0f, -1.1f); // How to play
    });
    player.WaitFrames(25); // a click closes the panel once it has been open a second
    player.Do([&] {
        r.panel_open = Shown("HTPInPauseMenu");
        ClickWorld(0.0f, 0.3f);
    });
    player.WaitFrames(2);
    player.Do([&] {
        r.paused_after_click = IsPaused();
        r.panel_closed_by_click = !Shown("HTPInPauseMenu");
        r.bgm_tick_after_click = TextureOf("ToggleMuteBGM");
    });
    player.Do([] { ClickWorld(0.0f, -1.1f); }); // How to play again
    player.WaitFrames(3);
    player.Do([] { PressKey(Platform::VK_ESCAPE_KEY); });
    player.WaitFrames(2);
    player.Do([&] {
        r.paused_after_escape = IsPaused();
        r.panel_closed_by_escape = !Shown("HTPInPauseMenu");
        PressKey(Platform::VK_ESCAPE_KEY); // paused again
    });
    player.WaitFrames(2);
    player.Do([] { ClickWorld(0.0f, -1.8f); }); // Main Menu opens the box
    player.WaitFrames(2);
    player.Do([&] {
        r.box_picture = TextureOf("ExitWarningBoxMain");
        r.box_selected = SelectedButton();
        r.box_z = DepthOf("ExitWarningBoxMain");
        r.box_choice_z = DepthOf("ExitWarningBoxNo");
    });
    player.WaitFrames(25);
    PressTimes(player, Platform::VK_RIGHT_KEY, 1); // from Yes to No
    PressTimes(player, Platform::VK_RETURN_KEY, 1);
    player.WaitFrames(2);
    player.Do([&] {
        r.box_gone_after_enter = !LiveEntity("ExitWarningBoxMain");
        r.paused_after_no = IsPaused();
        Platform::PushMessage({Platform::WM_CLOSE_MSG, 0, 0});
    });

    EXPECT_EQ(RunGame(player, 600), 0);

    EXPECT_TRUE(player.Finished()) << "stopped at step " << player.StepReached();
    EXPECT_EQ(player.scenes, (std::vector<std::string>{"GameScene_99"}));
    EXPECT_GT(r.background_z, r.marker_z) << "the menu is lifted in front of the deepest sprite";
    EXPECT_GT(r.button_z, r.background_z);
    EXPECT_GT(r.panel_z, r.button_z);
    EXPECT_TRUE(r.panel_open);
    EXPECT_TRUE(r.paused_after_click);
    EXPECT_TRUE(r.panel_closed_by_click);
    EXPECT_EQ(r.bgm_tick_after_click, "BGMTick") << "the click on the panel does not reach the button under it";
    EXPECT_TRUE(r.panel_closed_by_escape);
    EXPECT_FALSE(r.paused_after_escape) << "the Escape that closes the panel resumes the game";
    EXPECT_EQ(r.box_picture, "UI_ExitWarningBox") << "one box for the main menu and the pause menu";
    EXPECT_EQ(r.box_selected, "ExitWarningBoxYes") << "the script selects nothing: the first button is taken";
    EXPECT_GT(r.box_z, r.panel_z);
    EXPECT_GT(r.box_choice_z, r.box_z);
    EXPECT_TRUE(r.box_gone_after_enter);
    EXPECT_TRUE(r.paused_after_no);
}

// ---- A pause in chapter 1 ----------------------------------------------------------------------

// The timers a pause must hold, and the engine's own clock, which runs on.
struct Timers {
    bool purifying = false;
    float remaining = 0.0f, dora_cooldown = 0.0f, clock = 0.0f, engine = 0.0f;
};

struct TimerRecord {
    Timers before, after;
    bool purified = false;
    float arrows_z = 0.0f, menu_z = 0.0f;
    int arrows_typed = 0;
};

PlayerController* Controller()
{
    Entity* player = LiveEntity("Player");
    return player ? player->GetComponent<PlayerController>(PLAYERCONTROLLER).get() : nullptr;
}

float PurificationLeft()
{
    PlayerController* controller = Controller();
    return controller ? controller->purification.timer - (TotalTime() - controller->purification.start_time) : -1.0f;
}

float DoraCooldown()
{
    auto* script = ScriptOf<AIScript>(LiveEntity("Dora"));
    return script ? script->GetCooldownLeft() : -1.0f;
}

Timers TimersNow()
{
    return {IsPurifying, PurificationLeft(), DoraCooldown(), TotalTime(), OrvCoreEngine->GetTotalTime()};
}

class PausedLevelTest : public GameEndToEndTest {};

// Dora called back (her cooldown starts) and a purification begun, then ten seconds paused: when
// play goes on the purification has the time it had, Dora the cooldown she had, and the arrows
// typed then still purify the enemy.
TEST_F(PausedLevelTest, APauseMidPurificationStopsItsTimerDorasCooldownAndTheGameClock)
{
    PlayInASmallWindow();
    StartScene = "GameScene_01";
    ScriptedPlayer player;
    TimerRecord r;
    player.WaitForScene("GameScene_01", 35);
    player.Do([] {
        ShiftChord('G');
        const Vec3 ilo = PositionOf("Player");
        if (auto transform = LiveEntity("Atk_Grunt")->GetComponent<Transform>(TRANSFORM)) {
            transform->position.x = ilo.x + 3.0f;
            transform->position.y = ilo.y;
        }
    });
    player.WaitFrames(2);
    player.Do([] { ShiftChord('M'); }); // every enemy to 30 %: purifiable
    player.WaitFrames(3);
    player.Do([] { PressKey(Platform::VK_DOWN_KEY); });
    player.WaitFrames(2);
    player.Do([] { PressKey(Platform::VK_SPACE_KEY); });
    player.WaitFrames(5);
    player.Do([&] {
        r.before = TimersNow();
        PressKey(Platform::VK_ESCAPE_KEY);
    });
    player.WaitFrames(200); // ten seconds, twice the purification's
    player.Do([&] {
        // The arrow icons are drawn without being in the scene: found through the draw list.
        const auto& icons = Controller()->purification.key_icons;
        for (const auto& sprite : SpriteSystem::GetInstance()->sprites) {
            if (sprite->owner && std::count(icons.begin(), icons.end(), sprite->owner->id)) {
                r.arrows_z = std::max(r.arrows_z, sprite->position.z);
            }
        }
        r.menu_z = DepthOf("Pause_bg");
        PressKey(Platform::VK_ESCAPE_KEY);
    });
    player.Do([&] { r.after = TimersNow(); });
    auto frames = std::make_shared<int>(0);
    player.Then([&r, frames] {
        PlayerController* controller = Controller();
        if (!controller || !IsPurifying || ++*frames > 60) return true;
        const size_t typed = controller->purification.combo_input.size();
        if (*frames % 3 == 0 && controller->purification.combo.size() == 3 && typed < 3) {
            PressKey(static_cast<uint64_t>(controller->purification.combo[typed]));
            ++r.arrows_typed;
        }
        return false;
    });
    player.Do([&] {
        Entity* grunt = LiveEntity("Atk_Grunt");
        auto movement = grunt ? grunt->GetComponent<EnemyMovement>(ENEMYMOVEMENT) : nullptr;
        r.purified = movement && movement->state == ENEMY_PURIFIED;
        Platform::PushMessage({Platform::WM_CLOSE_MSG, 0, 0});
    });

    EXPECT_EQ(RunGame(player, 800), 0);

    EXPECT_TRUE(player.Finished()) << "stopped at step " << player.StepReached();
    EXPECT_TRUE(r.before.purifying);
    EXPECT_GT(r.before.remaining, 4.0f);
    EXPECT_GT(r.before.dora_cooldown, 4.0f);
    EXPECT_GT(r.after.engine - r.before.engine, 9.9f) << "ten seconds went by";
    EXPECT_LT(r.after.clock - r.before.clock, 0.2f) << "the game's clock stood still";
    EXPECT_TRUE(r.after.purifying) << "the purification did not run out while paused";
    EXPECT_NEAR(r.after.remaining, r.before.remaining, 0.2f);
    EXPECT_NEAR(r.after.dora_cooldown, r.before.dora_cooldown, 0.2f);
    EXPECT_GT(r.arrows_z, 0.0f);
    EXPECT_GT(r.menu_z, r.arrows_z) << "the purification's arrows are not drawn over the menu";
    EXPECT_EQ(r.arrows_typed, 3);
    EXPECT_TRUE(r.purified) << "the arrows typed after the pause still purify";
}

} // namespace
