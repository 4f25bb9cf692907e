// The ruins (GameScene_23) played on the real engine and the shipped resources, entered directly
// (GameRunFixture.h: offscreen video, disk audio, scripted input, 0.05 s frames). Keys are what a
// player would press; what a player would see (where Ilo, Dora, the enemies and the rings are, the
// arrows shown while purifying) is read from the live scene. The window is small unless
// ORV_SCREENSHOT_DIR asks for the documentation's pictures.
#include "GameBot.h"

#include "Components/Audio.h"
#include "Components/BoxCollider.h"
#include "Components/Sprite.h"
#include "Components/Stats.h"
#include "Components/Transform.h"
#include "CoreEngine/CoreEngine.h"
#include "Logic/EnemyMovement.h"
#include "Logic/PlayerController.h"
#include "Scripts/Dialogue/DialogueScript.h"
#include "Scripts/Enemies/EnemyScript.h"
#include "Scripts/Level/LevelManagerScript.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <set>
#include <string>
#include <vector>

using namespace OrvEngine;
using namespace OrvTest;

namespace {

// ---- What a player sees and the keys they press ---------------------------------------------

LevelManagerScript* LevelManager()
{
    return ScriptOf<LevelManagerScript>(LiveEntity("LevelManager"));
}

Vec2 BoxCentre(Entity* entity)
{
    auto box = PartOf<BoxCollider>(entity, BOXCOLLIDER);
    return box ? (box->GetMin() + box->GetMax()) * 0.5f : Vec2();
}

bool BoxesOverlap(Entity* a, Entity* b)
{
    auto ba = PartOf<BoxCollider>(a, BOXCOLLIDER);
    auto bb = PartOf<BoxCollider>(b, BOXCOLLIDER);
    if (!ba || !bb) return false;
    return !(bb->GetMin().x > ba->GetMax().x || ba->GetMin().x > bb->GetMax().x || bb->GetMin().y > ba->GetMax().y ||
             ba->GetMin().y > bb->GetMax().y);
}

// Walks Ilo with W A S D towards `goal` (his own position); true once within `tolerance` on both
// axes, when every movement key is let go.
bool WalkTowards(HeldKeys& keys, Vec2 goal, float tolerance = 0.12f)
{
    const Vec3 at = PositionOf("Player");
    const float dx = goal.x - at.x, dy = goal.y - at.y;
    keys.Hold('D', dx > tolerance);
    keys.Hold('A', dx < -tolerance);
    keys.Hold('W', dy > tolerance);
    keys.Hold('S', dy < -tolerance);
    return std::fabs(dx) <= tolerance && std::fabs(dy) <= tolerance;
}

// ---- The run ----------------------------------------------------------------------------------

constexpr float kFrameTime = 0.05f;
constexpr float kWallSpeed = 0.1f;
const char* const kPictures = "Ruins2NPics_Cut";

// Ilo's box and where his feet are for a box centre: the box sits 0.55 below his origin.
constexpr float kFeet = 0.55f;

float WallReach()
{
    auto box = PartOf<BoxCollider>(LiveEntity("DeathWall"), BOXCOLLIDER);
    return box ? box->GetMax().x : 0.0f;
}

float IloLeftEdge()
{
    auto box = PartOf<BoxCollider>(LiveEntity("Player"), BOXCOLLIDER);
    return box ? box->GetMin().x : 0.0f;
}

int32_t DebuffLevels(Debuff Debuffs::*debuff)
{
    int32_t sum = 0;
    for (Entity* enemy : Enemies()) {
        if (EnemyScript* script = ScriptOf<EnemyScript>(enemy)) sum += (script->debuffs.*debuff).level;
    }
    return sum;
}

size_t ShownDebuffIcons()
{
    size_t shown = 0;
    for (const char* prefix : {"ATK_Debuff_UI", "DEF_Debuff_UI", "SPD_Debuff_UI"}) {
        for (Entity* icon : EntitiesNamed(prefix)) shown += icon->active ? 1 : 0;
    }
    return shown;
}

// A harmful boulder: its animation is on the frames that hurt.
bool Falling(Entity* boulder)
{
    auto sprite = PartOf<Sprite>(boulder, SPRITE);
    return sprite && sprite->tex_identifier == "Boulder" && sprite->current_frame >= 8 && sprite->current_frame <= 11;
}

// What the run saw, checked once the engine has stopped.
struct RuinsRun {
    HeldKeys keys;
    // Start and the death wall.
    float wall_start = 0.0f, wall_gap_start = 0.0f, closest_wall_gap = 1e9f;
    int frame_entered = -1, frame_left = -1;
    float wall_end = 0.0f;
    bool god_mode = false;
    std::string music;
    bool music_playing = false;
    // The picture dialogue.
    std::vector<std::string> pictures;
    float speed_while_shown = -1.0f, speed_after = -1.0f, dora_speed_after = -1.0f;
    bool pictures_gone = false;
    // Spawners and the first fight.
    std::vector<int32_t> enemy_counts; // before and after each spawner
    std::vector<std::string> spells_landed;
    size_t icons_shown = 0;
    bool barrier_closed_in_fight = false, barrier_open_after = false;
    // The rockfall without god mode.
    int boulder_attempts = 0;
    int32_t hp_before_boulder = -1, hp_after_boulder = -1;
    bool boulder_god_mode = true;
    // Purification.
    int32_t hp_before_heal = -1, hp_after_heal = -1, dora_before_heal = -1, dora_after_heal = -1;
    std::set<uint64_t> purified;
    bool second_barrier_open = false;
};

// Walks right along Ilo's row until `done`; steps out of the way of rings and boulders ahead.
bool WalkRightUntil(RuinsRun& run, const std::function<bool()>& done)
{
    if (done()) {
        run.keys.ReleaseAll();
        return true;
    }
    const Vec3 at = PositionOf("Player");
    float lane = -2.95f;
    for (Entity* ring : EntitiesNamed("Boulder_Prefab")) {
        const Vec2 c = BoxCentre(ring);
        if (c.x - at.x > -1.2f && c.x - at.x < 2.0f) lane = c.y > -2.7f ? -3.9f : -1.5f;
    }
    const float dy = lane - (at.y - kFeet);
    run.keys.Hold('A', false);
    run.keys.Hold('D', true);
    run.keys.Hold('W', dy > 0.1f);
    run.keys.Hold('S', dy < -0.1f);
    run.keys.Repeat();
    return false;
}

// Lines Ilo up left of the nearest enemy, facing it, and casts the spell of `arrow` once ready;
// done when that spell's debuff has risen on some enemy.
class CastAtAnEnemy {
public:
    CastAtAnEnemy(RuinsRun& run, uint64_t arrow, Debuff Debuffs::*level, std::string name)
        : run_(run), arrow_(arrow), level_(level), name_(std::move(name))
    {
    }

    bool operator()()
    {
        if (before_ < 0) before_ = DebuffLevels(level_);
        if (DebuffLevels(level_) > before_) {
            run_.spells_landed.push_back(name_);
            run_.keys.ReleaseAll();
            return true;
        }
        PlayerController* ilo = IloController();
        std::vector<Entity*> enemies = Enemies();
        if (!ilo || enemies.empty()) return false;
        const Vec3 at = PositionOf("Player");
        Entity* target = enemies.front();
        for (Entity* enemy : enemies) {
            if (std::fabs(PartOf<Transform>(enemy, TRANSFORM)->position.x - at.x) <
                std::fabs(PartOf<Transform>(target, TRANSFORM)->position.x - at.x)) {
                target = enemy;
            }
        }
        const Vec3 t = PartOf<Transform>(target, TRANSFORM)->position;
        // The spell leaves 0.6 below Ilo's origin; the enemy's box is 1.0 below its own.
        const bool placed = WalkTowards(run_.keys, Vec2(t.x - 3.0f, t.y - 0.4f), 0.25f);
        if (placed && ilo->facing != 1) run_.keys.Hold('D', true);
        if (placed && ilo->facing == 1 && !ilo->spell_cooldown && ilo->state != PS_Cast && --wait_ < 0) {
            run_.keys.ReleaseAll();
            PressKey(arrow_);
            wait_ = 40; // the flight and the blast, before another try
        }
        run_.keys.Repeat();
        return false;
    }

private:
    RuinsRun& run_;
    uint64_t arrow_;
    Debuff Debuffs::*level_;
    std::string name_;
    int32_t before_ = -1;
    int wait_ = 0;
};

// Without god mode, Ilo stands on the first ring a rockfall zone drops and takes its boulder.
// A try in which another boulder also falls on him is not counted; the next ring is taken.
class StandUnderABoulder {
public:
    explicit StandUnderABoulder(RuinsRun& run) : run_(run) {}

    bool operator()()
    {
        Entity* ring = ring_ ? LiveById(ring_) : nullptr;
        if (!ring_) return PickRing();
        Entity* player = LiveEntity("Player");
        if (!ring) {
            // The boulder has fallen and gone.
            run_.keys.ReleaseAll();
            ring_ = 0;
            if (!touched_ || others_fell_) return run_.boulder_attempts >= 5;
            run_.hp_before_boulder = hp_before_;
            run_.hp_after_boulder = HpOf("Player");
            return true;
        }
        const Vec2 c = BoxCentre(ring);
        WalkTowards(run_.keys, Vec2(c.x, c.y + kFeet), 0.08f);
        run_.keys.Repeat();
        const bool hit_by_ring = Falling(ring) && BoxesOverlap(ring, player);
        if (hit_by_ring) touched_ = true;
        recent_ = hit_by_ring ? 2 : std::max(0, recent_ - 1);
        for (Entity* other : EntitiesNamed("Boulder_Prefab")) {
            if (other != ring && Falling(other) && BoxesOverlap(other, player)) others_fell_ = true;
        }
        // Hp lost while this boulder was not (or a frame ago) on him came from something else: the
        // try does not count.
        const int32_t hp = HpOf("Player");
        if (hp < hp_last_ && recent_ == 0) others_fell_ = true;
        hp_last_ = hp;
        return false;
    }

private:
    static Entity* LiveById(uint64_t id)
    {
        auto scene = OrvStateMachine ? OrvStateMachine->GetCurrentScene() : nullptr;
        return scene ? scene->GetEntity(id) : nullptr;
    }

    bool PickRing()
    {
        for (Entity* candidate : EntitiesNamed("Boulder_Prefab")) {
            auto sprite = PartOf<Sprite>(candidate, SPRITE);
            if (!sprite || sprite->tex_identifier != "Boulder_Ring") continue;
            ring_ = candidate->id;
            hp_before_ = hp_last_ = HpOf("Player");
            recent_ = 0;
            touched_ = others_fell_ = false;
            ++run_.boulder_attempts;
            return false;
        }
        run_.keys.ReleaseAll();
        return false;
    }

    RuinsRun& run_;
    uint64_t ring_ = 0;
    int32_t hp_before_ = -1, hp_last_ = -1;
    int recent_ = 0;
    bool touched_ = false, others_fell_ = false;
};

class RuinsEndToEndTest : public GameEndToEndTest {
protected:
    void SetUp() override
    {
        GameEndToEndTest::SetUp();
        PlayInASmallWindow();
        StartScene = "GameScene_23";
    }
};

TEST_F(RuinsEndToEndTest, IloRunsTheRuinsAheadOfTheWallThroughBothFightsToTheEnd)
{
    RuinsRun run;
    ScriptedPlayer player;
    player.WaitForScene("GameScene_23", 40); // the fade-in
    player.Do([&] {
        run.frame_entered = player.frame;
        run.wall_start = PositionOf("DeathWall").x;
        run.wall_gap_start = IloLeftEdge() - WallReach();
        if (auto music = PartOf<Audio>(LiveEntity("BGM"), AUDIO); music && !music->sounds.empty()) {
            run.music = music->sounds.front().eventname;
            run.music_playing = music->sounds.front().is_playing;
        }
        SaveScreenshot("ruins_death_wall");
        ShiftChord('G');
    });
    player.Do([&] {
        run.god_mode = IloController()->GetGodMode();
        run.enemy_counts.push_back(LevelManager()->enemy_count);
    });

    // The first spawner, then one spell of each kind on its enemies.
    player.Then([&] { return WalkRightUntil(run, [] { return Enemies().size() == 2; }); });
    player.WaitFrames(14); // they appear
    player.Do([&] {
        run.enemy_counts.push_back(LevelManager()->enemy_count);
        run.barrier_closed_in_fight = LiveEntity("Barrier_1")->active;
    });
    player.Then(CastAtAnEnemy(run, Platform::VK_UP_KEY, &Debuffs::attack, "attack"));
    player.Then(CastAtAnEnemy(run, Platform::VK_LEFT_KEY, &Debuffs::defence, "defence"));
    player.Then(CastAtAnEnemy(run, Platform::VK_RIGHT_KEY, &Debuffs::speed, "speed"));
    player.WaitFrames(3);
    player.Do([&] {
        run.icons_shown = ShownDebuffIcons();
        SaveScreenshot("ruins_fight");
        ShiftChord('K'); // the rest of this fight is Dora's; the second is purified
    });
    player.Then([&] { return LevelManager()->enemy_count == 0 && !LiveEntity("Barrier_1")->active; });
    player.Do([&] { run.barrier_open_after = true; });

    // The first rockfall without god mode: one boulder costs 2 hp.
    player.Then([&] { return WalkRightUntil(run, [] { return PositionOf("Player").x > 20.5f; }); });
    player.Do([&] { ShiftChord('G'); });
    player.Do([&] { run.boulder_god_mode = IloController()->GetGodMode(); });
    player.Then(StandUnderABoulder(run));
    player.Do([&] { ShiftChord('G'); });

    // The second spawner; its enemies are weakened and purified, and the first one collected heals.
    player.Then([&] {
        run.closest_wall_gap = std::min(run.closest_wall_gap, IloLeftEdge() - WallReach());
        return WalkRightUntil(run, [] { return Enemies().size() == 3; });
    });
    player.WaitFrames(14);
    player.Do([&] {
        run.enemy_counts.push_back(LevelManager()->enemy_count);
        run.hp_before_heal = HpOf("Player");
        run.dora_before_heal = HpOf("Dora");
        ShiftChord('M');
    });
    player.WaitFrames(2);
    player.Do([] { PressKey(Platform::VK_SPACE_KEY); });
    player.WaitFrames(2);
    player.Then([&] {
        // One arrow every other frame, as shown, until no weakened enemy is left to purify.
        if (!IsPurifying) return true;
        if (player.frame % 2 == 0) {
            const PlayerController* ilo = IloController();
            if (ilo->purification.combo_input.size() < ilo->purification.combo.size()) {
                PressKey(static_cast<uint64_t>(ilo->purification.combo[ilo->purification.combo_input.size()]));
            }
        }
        return false;
    });
    player.Then([&] {
        // The purified walk to Ilo and are collected.
        for (Entity* enemy : Enemies()) {
            if (PartOf<EnemyMovement>(enemy, ENEMYMOVEMENT)->state == ENEMY_PURIFIED) run.purified.insert(enemy->id);
        }
        if (HpOf("Player") > run.hp_before_heal && run.hp_after_heal < 0) {
            run.hp_after_heal = HpOf("Player");
            run.dora_after_heal = HpOf("Dora");
        }
        return LevelManager()->enemy_count == 0;
    });
    player.Do([&] { run.second_barrier_open = !LiveEntity("Barrier_2")->active; });

    // The pictures show as Ilo walks on; Enter moves through them.
    player.Then([&] {
        auto sprite = PartOf<Sprite>(LiveEntity(kPictures), SPRITE);
        return WalkRightUntil(run, [&] { return sprite && sprite->tex_identifier == "Ruins_Cut1"; });
    });
    for (int press = 0; press < 2; ++press) {
        player.WaitFrames(12); // a picture takes Enter from its eleventh frame on
        player.Do([&, press] {
            run.pictures.push_back(TextureOf(kPictures));
            if (press == 1) SaveScreenshot("ruins_picture_dialogue");
            run.speed_while_shown = PartOf<Stats>(LiveEntity("Player"), STATS)->speed_attack;
            PressKey(Platform::VK_RETURN_KEY);
        });
    }
    player.WaitFrames(2);
    player.Do([&] {
        run.pictures_gone = LiveEntity(kPictures) == nullptr;
        run.speed_after = PartOf<Stats>(LiveEntity("Player"), STATS)->speed_attack;
        run.dora_speed_after = PartOf<Stats>(LiveEntity("Dora"), STATS)->speed_attack;
    });

    // On to the exit.
    player.Then([&] {
        if (CurrentSceneName() != "GameScene_23") return WalkRightUntil(run, [] { return true; });
        run.closest_wall_gap = std::min(run.closest_wall_gap, IloLeftEdge() - WallReach());
        run.frame_left = player.frame;
        run.wall_end = PositionOf("DeathWall").x;
        return WalkRightUntil(run, [] { return false; });
    });
    player.WaitForScene("GameScene_20", 30); // past the screen's fade-in, for the picture
    player.Do([] { SaveScreenshot("end_screen"); });
    player.Do([] { PushWindowMessage(Platform::WM_CLOSE_MSG, 0); });

    StdoutCapture console;
    EXPECT_EQ(RunGame(player, 4000), 0);
    const std::string printed = console.Take();

    ASSERT_TRUE(player.Finished()) << "stopped at step " << player.StepReached();
    EXPECT_EQ(player.scenes, (std::vector<std::string>{"GameScene_23", "GameScene_20"}));

    EXPECT_EQ(run.music, "BGM_Level1");
    EXPECT_TRUE(run.music_playing);

    // The wall starts behind Ilo and only creeps: he never comes within its reach.
    EXPECT_TRUE(run.god_mode);
    EXPECT_GT(run.wall_gap_start, 3.0f);
    EXPECT_GT(run.closest_wall_gap, 0.0f);
    const float seconds = static_cast<float>(run.frame_left - run.frame_entered) * kFrameTime;
    EXPECT_NEAR(run.wall_end - run.wall_start, kWallSpeed * seconds, 0.02f * seconds);

    EXPECT_EQ(run.pictures, (std::vector<std::string>{"Ruins_Cut1", "Ruins_Cut2"}));
    EXPECT_EQ(run.speed_while_shown, 0.0f) << "Ilo is held while the pictures show";
    EXPECT_EQ(run.speed_after, 2.0f);
    EXPECT_EQ(run.dora_speed_after, 1.8f);
    EXPECT_TRUE(run.pictures_gone);

    EXPECT_EQ(run.enemy_counts, (std::vector<int32_t>{0, 2, 3})) << "each spawner adds its group";
    EXPECT_EQ(run.spells_landed, (std::vector<std::string>{"attack", "defence", "speed"}));
    EXPECT_GE(run.icons_shown, 3u);
    EXPECT_TRUE(run.barrier_closed_in_fight);
    EXPECT_TRUE(run.barrier_open_after);

    EXPECT_FALSE(run.boulder_god_mode);
    EXPECT_LE(run.boulder_attempts, 5);
    EXPECT_EQ(run.hp_before_boulder - run.hp_after_boulder, 2) << "one boulder, once";
    EXPECT_TRUE(Contains(printed, "Player got hit"));

    EXPECT_LT(run.hp_before_heal, 30);
    EXPECT_EQ(run.hp_after_heal, 30) << "healed, up to the hp Ilo started with";
    EXPECT_GE(run.dora_after_heal, run.dora_before_heal);
    EXPECT_EQ(run.purified.size(), 3u);
    EXPECT_TRUE(run.second_barrier_open);
    EXPECT_TRUE(Contains(LogText(), "Make all enemy hp 30%"));
}

// However long a player reads the ruins' pictures, nothing reaches Ilo or Dora while the pictures
// hold them still: here ten minutes of game time (in 0.1 s frames) after a brisk way there (god mode
// and Shift+K clear it; god mode is off once the first picture is up).
TEST_F(RuinsEndToEndTest, IloAndDoraHeldByThePicturesForTenMinutesLoseNoHealth)
{
    constexpr double kLongFrame = 0.1;
    constexpr int kTenMinutes = 6000;
    RuinsRun run;
    ScriptedPlayer player;
    int kill_wait = 0;
    float arrived_at = -1.0f;
    bool god_mode_while_reading = true, still_held = false;
    int32_t ilo_before = -1, dora_before = -1, ilo_after = -1, dora_after = -1;
    player.WaitForScene("GameScene_23", 20);
    player.Do([] { ShiftChord('G'); });
    player.Then([&] {
        auto pictures = ScriptOf<DialogueScript>(LiveEntity(kPictures));
        if (pictures && pictures->shown) {
            run.keys.ReleaseAll();
            return true;
        }
        if (LevelManager()->enemy_count > 0) {
            // A fight: every enemy to 0 health, again until none is left.
            run.keys.ReleaseAll();
            if (--kill_wait < 0) {
                ShiftChord('K');
                kill_wait = 20;
            }
            return false;
        }
        return WalkRightUntil(run, [] { return false; });
    });
    player.Do([] { ShiftChord('G'); });
    player.Do([&] {
        arrived_at = static_cast<float>(OrvCoreEngine->GetTotalTime());
        god_mode_while_reading = IloController()->GetGodMode();
        ilo_before = HpOf("Player");
        dora_before = HpOf("Dora");
    });
    player.WaitFrames(kTenMinutes);
    player.Do([&] {
        ilo_after = HpOf("Player");
        dora_after = HpOf("Dora");
        auto pictures = ScriptOf<DialogueScript>(LiveEntity(kPictures));
        still_held = pictures && pictures->shown && PartOf<Stats>(LiveEntity("Player"), STATS)->speed_attack == 0.0f;
        PushWindowMessage(Platform::WM_CLOSE_MSG, 0);
    });

    EXPECT_EQ(RunGame(player, kTenMinutes + 3000, kLongFrame), 0);
    ASSERT_TRUE(player.Finished()) << "stopped at step " << player.StepReached();
    EXPECT_FALSE(god_mode_while_reading);
    EXPECT_TRUE(still_held) << "the first picture was up all along";
    EXPECT_GT(ilo_before, 0);
    EXPECT_GT(dora_before, 0);
    EXPECT_EQ(ilo_after, ilo_before) << "reading from " << arrived_at << " s";
    EXPECT_EQ(dora_after, dora_before) << "reading from " << arrived_at << " s";
}

} // namespace
