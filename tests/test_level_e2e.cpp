// Chapter 1's level on the real engine and the shipped resources, entered directly: offscreen video,
// the disk audio driver, a scripted event source and a fixed frame time. Ilo walks right with the
// camera on him, casts an attack spell that flies out of view, calls Dora back with DOWN (the
// cooldown text shows), and the kill-player debug key leads to the lose scene.
#include "TestSupport.h"
#include "GLTestSupport.h"

#include "Components/Sprite.h"
#include "Components/Text.h"
#include "Components/Transform.h"
#include "Engine.h"
#include "Factory/Entity.h"
#include "Logic/AIMovement.h"
#include "Scene/IScene.h"

#include <algorithm>
#include <cstdlib>

using namespace OrvEngine;

namespace {

namespace fs = OrvTest::fs;

constexpr double kFrameTime = 1.0 / 30.0;
constexpr uint64_t kKeyD = 'D', kKeyL = 'L';

std::shared_ptr<IScene> Current() { return OrvStateMachine ? OrvStateMachine->GetCurrentScene() : nullptr; }

std::string CurrentName()
{
    auto scene = Current();
    return scene ? scene->GetSceneName() : std::string();
}

Entity* Find(const std::string& name)
{
    auto scene = Current();
    return scene ? scene->FindEntityByName(name) : nullptr;
}

Vec3 PositionOf(const std::string& name)
{
    Entity* entity = Find(name);
    auto transform = entity ? entity->GetComponent<Transform>(TRANSFORM) : nullptr;
    return transform ? transform->position : Vec3();
}

void Key(uint32_t message, uint64_t key) { Platform::PushMessage({message, key, 0}); }
void Tap(uint64_t key)
{
    Key(Platform::WM_KEYDOWN_MSG, key);
    Key(Platform::WM_KEYUP_MSG, key);
}

// Every live attack spell of the scene.
std::vector<Entity*> Spells()
{
    std::vector<Entity*> spells;
    if (auto scene = Current()) {
        for (const auto& [id, entity] : scene->GetEntities()) {
            if (entity->name.rfind("IloAttackSpell", 0) == 0) spells.push_back(entity);
        }
    }
    return spells;
}

// What the scripted player did and saw, by frame of the level.
struct LevelRun {
    int frame = 0;
    int level_frame = 0;
    std::vector<std::string> scenes;
    Vec3 player_start, player_walked, cam_walked;
    float dora_gap_before_recall = 0.0f, dora_gap_after_recall = 0.0f;
    int dora_state_after_press = -1;
    bool down_key_dimmed = false;
    bool timer_shown = false;
    std::string timer_text;
    int spells_seen = 0;
    float spell_start_x = 0.0f, spell_furthest_x = 0.0f;
    bool spell_gone = false;

    void RecordScene()
    {
        const std::string name = CurrentName();
        if (!name.empty() && (scenes.empty() || scenes.back() != name)) scenes.push_back(name);
    }

    void WatchSpell()
    {
        const auto spells = Spells();
        if (!spells.empty()) {
            const float x = spells.front()->GetComponent<Transform>(TRANSFORM)->position.x;
            if (spells_seen == 0) spell_start_x = x;
            spells_seen = std::max<int>(spells_seen, static_cast<int>(spells.size()));
            spell_furthest_x = std::max(spell_furthest_x, x);
        } else if (spells_seen > 0) {
            spell_gone = true;
        }
    }

    void Step()
    {
        if (++frame == 1) OrvTest::PinLoadedLibraries();
        RecordScene();
        if (CurrentName() != "GameScene_01") return;
        const int f = level_frame++;
        if (f == 1) Tap(Platform::VK_F11_KEY); // the configured 1280 x 720 window, for the pictures
        if (f >= 70) WatchSpell();
        if (f == 5) player_start = PositionOf("Player");
        if (f >= 5 && f < 65) Key(Platform::WM_KEYDOWN_MSG, kKeyD); // held: the key repeats
        if (f == 65) Key(Platform::WM_KEYUP_MSG, kKeyD);
        if (f == 68) {
            player_walked = PositionOf("Player");
            cam_walked = PositionOf("Cam");
            Tap(Platform::VK_UP_KEY);
        }
        if (f == 80) OrvTest::SaveScreenshot("level_ilo_and_dora"); // Ilo casting, Dora beside him, the HUD
        if (f == 150) {
            dora_gap_before_recall = PositionOf("Dora").x - PositionOf("Player").x;
            Find("Dora")->GetComponent<Transform>(TRANSFORM)->position.x -= 4.0f; // left well behind
            dora_gap_before_recall -= 4.0f;
        }
        if (f == 151) Tap(Platform::VK_DOWN_KEY);
        if (f == 152) RecordRecall();
        if (f == 200) dora_gap_after_recall = PositionOf("Dora").x - PositionOf("Player").x;
        if (f == 205) {
            Key(Platform::WM_KEYDOWN_MSG, Platform::VK_SHIFT_KEY);
            Tap(kKeyL);
            Key(Platform::WM_KEYUP_MSG, Platform::VK_SHIFT_KEY);
        }
    }

    void RecordRecall()
    {
        dora_state_after_press = Find("Dora")->GetComponent<AIMovement>(AIMOVEMENT)->state;
        down_key_dimmed = Find("ArrowKeysUI_Down")->GetComponent<Sprite>(SPRITE)->is_tinted;
        Entity* timer = Find("TP_SkillCD_Timer");
        timer_shown = timer->active;
        timer_text = timer->GetComponent<Text>(TEXT)->GetText();
    }
};

class LevelEndToEndTest : public OrvTest::EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        for (const char* folder : {"ArtAssets", "Sounds", "Shaders", "fonts"}) {
            fs::create_directory_symlink(OrvTest::SourceDir() / "Resources" / folder, Root() / "Resources" / folder);
        }
        fs::remove_all(DataDir());
        fs::copy(OrvTest::SourceDir() / "Resources" / "Data", DataDir(), fs::copy_options::recursive);
        AddLoseSceneWhenMissing();
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", (Root() / "audio.raw").c_str(), 1);
        Platform::UseNullBackend(false);
        SetAssertHandler(nullptr);
    }

    void TearDown() override
    {
        EngineTest::TearDown();
        unsetenv("SDL_VIDEODRIVER");
        unsetenv("SDL_DISKAUDIOFILE");
        setenv("SDL_AUDIODRIVER", "dummy", 1);
    }

    // The lose scene is the menus' work; a bare one stands in while the shipped data has none.
    void AddLoseSceneWhenMissing() const
    {
        std::string index = ReadData("Scenes.json");
        if (OrvTest::Contains(index, "\"GameScene_03\"")) return;
        index.insert(index.find('{') + 1, "\n    \"GameScene_03\": 2,");
        WriteData("Scenes.json", index);
        WriteData("GameScene_03/GameScene_03.json", "{\"scene_name\": \"GameScene_03\"}");
        WriteData("GameScene_03/Entities.json", OrvTest::EntityDocument({OrvTest::EntityMember("Bg_1")}));
    }
};

TEST_F(LevelEndToEndTest, IloWalksCastsCallsDoraBackAndTheKillKeyLeadsToTheLoseScene)
{
    StartScene = "GameScene_01";
    double now = 0.0;
    LevelRun run;
    Platform::SetClockSource([&] { return now; });
    Platform::SetEventSource([&] {
        now += kFrameTime;
        run.Step();
        // Bounded: the lose scene ends the run; a run that never gets there stops here and fails.
        if (run.frame > 600 || run.scenes.size() > 1) Platform::PushMessage({Platform::WM_CLOSE_MSG, 0, 0});
    });

    OrvTest::StdoutCapture console;
    EXPECT_EQ(EngineMain(1), 0);
    const std::string printed = console.Take();

    EXPECT_EQ(run.scenes, (std::vector<std::string>{"GameScene_01", "GameScene_03"}));
    // Two seconds of D.
    EXPECT_GT(run.player_walked.x - run.player_start.x, 5.0f);
    EXPECT_NEAR(run.player_walked.y, run.player_start.y, 1e-3f);
    EXPECT_NEAR(run.cam_walked.x, run.player_walked.x, 1e-3f) << "the camera follows Ilo";

    EXPECT_EQ(run.spells_seen, 1) << "one attack spell per cast";
    EXPECT_GT(run.spell_start_x, run.player_walked.x);
    EXPECT_GT(run.spell_furthest_x, run.player_walked.x + 7.0f) << "it flew to the edge of the view";
    EXPECT_TRUE(run.spell_gone) << "and was removed once out of view";

    EXPECT_TRUE(OrvTest::Contains(printed, "DOWN KEY PRESSED"));
    EXPECT_EQ(run.dora_state_after_press, COMPANION_RECALLED);
    EXPECT_LT(run.dora_gap_before_recall, -4.0f);
    EXPECT_NEAR(run.dora_gap_after_recall, 0.0f, 0.6f) << "Dora stands beside Ilo again";
    EXPECT_TRUE(run.down_key_dimmed);
    EXPECT_TRUE(run.timer_shown);
    EXPECT_EQ(run.timer_text, "5");

    EXPECT_TRUE(OrvTest::Contains(LogText(), "Kill player cheat"));
    EXPECT_TRUE(OrvTest::Contains(LogText(), "Changed scene to GameScene_03"));
}

} // namespace
