// Chapter 1 (GameScene_01) played on the real engine and the shipped resources (GameRunFixture.h),
// entered directly: the pause menu over the level, the first fight, the story pictures (each stood
// in for a minute), a walking key held through what stops Ilo, and the boss fight through its
// purification to the epilogue. Keys are pushed as the window would; waits are bounded, so a level
// that stops answering fails instead of hanging.
#include "GameRunFixture.h"

#include "Audio/AudioSystem.h"
#include "Components/BoxCollider.h"
#include "Components/Sprite.h"
#include "Components/Stats.h"
#include "CoreEngine/Globals.h"
#include "Factory/Information.h"
#include "Logic/BossBehaviour.h"
#include "Logic/EnemyMovement.h"
#include "Logic/PlayerController.h"
#include "Scripts/Boss/BossScript.h"
#include "Scripts/Dialogue/DialogueScript.h"
#include "Scripts/Enemies/EnemyScript.h"
#include "Scripts/Level/LevelManagerScript.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <set>
#include <sstream>

using namespace OrvEngine;
using namespace OrvTest;

namespace {

constexpr uint64_t kKeyA = 'A', kKeyD = 'D';
const char* const kBoss = "Boss_Warden";
const std::vector<std::string> kPauseButtons = {"ResumeGame", "ToggleMuteBGM", "ToggleMuteSFX", "HowToPlay",
                                                "ExitToMainMenu"};

template <class T>
std::shared_ptr<T> ComponentOf(const std::string& name, int type)
{
    Entity* entity = LiveEntity(name);
    return entity ? entity->GetComponent<T>(type) : nullptr;
}

Vec3 PositionOf(const std::string& name)
{
    auto transform = ComponentOf<Transform>(name, TRANSFORM);
    return transform ? transform->position : Vec3(-999.0f, -999.0f, -999.0f);
}

void MoveTo(const std::string& name, float x, float y)
{
    if (auto transform = ComponentOf<Transform>(name, TRANSFORM)) {
        transform->position.x = x;
        transform->position.y = y;
    }
}

template <class T>
T* ScriptOf(const std::string& name)
{
    return OrvTest::ScriptOf<T>(LiveEntity(name));
}

std::shared_ptr<PlayerController> Controller() { return ComponentOf<PlayerController>("Player", PLAYERCONTROLLER); }

float SpeedOf(const std::string& name)
{
    auto stats = ComponentOf<Stats>(name, STATS);
    return stats ? stats->speed_attack : -1.0f;
}

// Keys held down; RunLevel repeats them every frame, as a keyboard's auto-repeat does.
HeldKeys& Held()
{
    static HeldKeys held;
    return held;
}

class ChapterOneTest : public GameEndToEndTest {
protected:
    void SetUp() override
    {
        GameEndToEndTest::SetUp();
        AddBareSceneWhenMissing("GameScene_24"); // the epilogue
        StartScene = "GameScene_01";
        Held() = HeldKeys();
    }

    // RunGame with the held keys repeating.
    static int RunLevel(ScriptedPlayer& player, int frame_limit, double frame_time = 0.05)
    {
        return RunFrames(
            [&] {
                Held().Repeat();
                player.Frame();
            },
            frame_limit, frame_time);
    }
};

// ---- The pause menu ------------------------------------------------------------------------

struct PauseRecord {
    std::vector<bool> shown_before, shown_while_paused, shown_after_resume;
    bool paused = false, paused_after_resume = true;
    float menu_depth = 0.0f, deepest_level_sprite = 0.0f;
    int music_before = -1, music_muted = -1, music_back = -1;
    std::string bgm_tick_muted, bgm_tick_back, sfx_tick_muted;
    bool sfx_muted = false;
    float walked = 0.0f;
};

std::vector<bool> ShownButtons()
{
    std::vector<bool> shown;
    for (const std::string& name : kPauseButtons) shown.push_back(Shown(name));
    shown.push_back(Shown("Pause_bg"));
    return shown;
}

void ClickOn(const std::string& name)
{
    const Vec3 at = PositionOf(name);
    ClickWorld(at.x, at.y);
}

TEST_F(ChapterOneTest, EscapePausesTheLevelUnderItsMenuWhoseMutesActAndResumeGivesPlayBack)
{
    PlayInASmallWindow();
    ScriptedPlayer player;
    PauseRecord record;
    EnterLevel(player);
    player.Do([&] {
        record.shown_before = ShownButtons();
        record.music_before = LoudestOverTheNext(400);
        PressKey(Platform::VK_ESCAPE_KEY);
    });
    player.WaitFrames(2);
    player.Do([&] {
        record.paused = OrvStateMachine->paused;
        record.shown_while_paused = ShownButtons();
        record.menu_depth = PositionOf("Pause_bg").z;
        // Every sprite of the level but the fade and the pause menu itself lies under the menu.
        for (const auto& [id, entity] : CurrentScene()->GetEntities()) {
            auto transform = entity->GetComponent<Transform>(TRANSFORM);
            const bool own = entity->name == "Pause_bg" || entity->name == "HTPInPauseMenu" || entity->name == "FadeIn" ||
                             std::find(kPauseButtons.begin(), kPauseButtons.end(), entity->name) != kPauseButtons.end();
            if (transform && entity->GetComponent<Sprite>(SPRITE) && !own) {
                record.deepest_level_sprite = std::max(record.deepest_level_sprite, transform->position.z);
            }
        }
        SaveScreenshot("level_pause_menu");
        ClickOn("ToggleMuteBGM");
    });
    player.Do([&] {
        record.bgm_tick_muted = TextureOf("ToggleMuteBGM");
        record.music_muted = LoudestOverTheNext(400);
        ClickOn("ToggleMuteSFX");
    });
    player.Do([&] {
        record.sfx_tick_muted = TextureOf("ToggleMuteSFX");
        record.sfx_muted = AudioSystem::GetInstance()->GetGroupMute(AudioSystem::GetInstance()->sfx_group);
        ClickOn("ToggleMuteBGM");
    });
    player.Do([&] {
        record.bgm_tick_back = TextureOf("ToggleMuteBGM");
        record.music_back = LoudestOverTheNext(400);
        ClickOn("ResumeGame");
    });
    player.WaitFrames(2);
    player.Do([&] {
        record.paused_after_resume = OrvStateMachine->paused;
        record.shown_after_resume = ShownButtons();
        record.walked = PositionOf("Player").x;
        Held().Hold(kKeyD, true);
    });
    player.WaitFrames(10);
    player.Do([&] {
        Held().Hold(kKeyD, false);
        record.walked = PositionOf("Player").x - record.walked;
        Platform::PushMessage({Platform::WM_CLOSE_MSG, 0, 0});
    });

    StdoutCapture console;
    EXPECT_EQ(RunLevel(player, 600), 0);
    const std::string printed = console.Take();

    EXPECT_TRUE(player.Finished()) << "stopped at step " << player.StepReached();
    EXPECT_EQ(record.shown_before, std::vector<bool>(kPauseButtons.size() + 1, false));
    EXPECT_TRUE(record.paused);
    EXPECT_EQ(record.shown_while_paused, std::vector<bool>(kPauseButtons.size() + 1, true));
    EXPECT_GT(record.menu_depth, record.deepest_level_sprite) << "the menu is drawn over the level and its HUD";
    EXPECT_GT(record.music_before, 1000) << "the level's music plays";
    EXPECT_EQ(record.bgm_tick_muted, "BGMUntick");
    EXPECT_LT(record.music_muted, 50) << "muted music is silent";
    EXPECT_EQ(record.sfx_tick_muted, "SFXUntick");
    EXPECT_TRUE(record.sfx_muted);
    EXPECT_EQ(record.bgm_tick_back, "BGMTick");
    EXPECT_GT(record.music_back, 1000) << "unmuted, the music is back";
    EXPECT_FALSE(record.paused_after_resume);
    EXPECT_TRUE(Contains(printed, "Unpaused game"));
    EXPECT_EQ(record.shown_after_resume, std::vector<bool>(kPauseButtons.size() + 1, false));
    EXPECT_GT(record.walked, 1.0f) << "Ilo walks again";
}

// ---- The first fight ---------------------------------------------------------------------------

struct FightRecord {
    float enemy_gap = 0.0f;
    std::vector<int32_t> enemy_debuffs;
    std::vector<bool> enemy_icons;
    bool enemy_bar = false;
};

EnemyScript* Grunt() { return ScriptOf<EnemyScript>("Atk_Grunt"); }

bool ShownById(uint64_t id)
{
    Entity* entity = id ? CurrentScene()->GetEntity(id) : nullptr;
    return entity && entity->active;
}

TEST_F(ChapterOneTest, IloWalksOnToTheFirstEnemyAndWeakensItWithEachSpell)
{
    ScriptedPlayer player;
    FightRecord record;
    EnterLevel(player);
    player.Do([] { Held().Hold(kKeyD, true); });
    // On to the first enemy, who comes to meet Ilo.
    player.WaitUntil([] { return PositionOf("Atk_Grunt").x - PositionOf("Player").x < 5.0f; }, 300);
    player.Do([&] {
        Held().Hold(kKeyD, false);
        record.enemy_gap = PositionOf("Atk_Grunt").x - PositionOf("Player").x;
    });
    for (uint64_t spell : {Platform::VK_UP_KEY, Platform::VK_LEFT_KEY, Platform::VK_RIGHT_KEY}) {
        player.Do([spell] { PressKey(spell); });
        player.WaitFrames(24); // past the one-second cast cooldown
    }
    player.Do([&] {
        if (EnemyScript* grunt = Grunt()) {
            record.enemy_debuffs = {grunt->debuffs.attack.level, grunt->debuffs.defence.level, grunt->debuffs.speed.level};
            record.enemy_icons = {ShownById(grunt->debuffs.attack.icon), ShownById(grunt->debuffs.defence.icon),
                                  ShownById(grunt->debuffs.speed.icon)};
            record.enemy_bar = ShownById(grunt->hp_bar);
        }
    });
    // The picture waits for a moment when no hit flash darkens the enemy.
    player.WaitUntil([] {
        auto sprite = ComponentOf<Sprite>("Atk_Grunt", SPRITE);
        return !sprite || !sprite->is_tinted || sprite->GetTintColor().y > 0.9f;
    }, 60);
    player.Do([] {
        SaveScreenshot("level_fight");
        Platform::PushMessage({Platform::WM_CLOSE_MSG, 0, 0});
    });

    EXPECT_EQ(RunLevel(player, 900), 0);

    EXPECT_TRUE(player.Finished()) << "stopped at step " << player.StepReached();
    EXPECT_GT(record.enemy_gap, 2.0f) << "the enemy was met ahead, not on top of Ilo";
    EXPECT_EQ(record.enemy_debuffs, (std::vector<int32_t>{1, 1, 1})) << "each spell landed once";
    EXPECT_EQ(record.enemy_icons, (std::vector<bool>{true, true, true}));
    EXPECT_TRUE(record.enemy_bar);
}

// Each frame, every shown enemy bar against its enemy in the order the last frame drew them.
struct BarOrderRecord {
    std::set<std::string> enemies_seen;
    std::vector<std::string> under; // "enemy@frame" for each bar drawn under its enemy
    int frame = 0;

    void Check()
    {
        ++frame;
        for (Entity* enemy : EntitiesWhere([](Entity* e) { return OrvTest::ScriptOf<EnemyScript>(e) != nullptr; })) {
            const long bar = DrawPlace(FindLiveEntity(OrvTest::ScriptOf<EnemyScript>(enemy)->hp_bar));
            const long own = DrawPlace(enemy);
            if (bar < 0 || own < 0) continue;
            enemies_seen.insert(enemy->name);
            if (bar < own) under.push_back(enemy->name + "@" + std::to_string(frame));
        }
    }
};

TEST_F(ChapterOneTest, WalkedToTheFirstSpawnersEveryShownEnemyBarIsDrawnOverItsEnemy)
{
    PlayInASmallWindow();
    ScriptedPlayer player;
    BarOrderRecord record;
    float reached = 0.0f;
    EnterLevel(player);
    player.Do([] {
        ShiftChord('G');
        Held().Hold(kKeyD, true);
    });
    // Through both spawners, the enemies they bring coming after Ilo, then standing among them.
    player.WaitUntil([] { return PositionOf("Player").x > 58.0f; }, 900);
    player.Do([&] {
        Held().Hold(kKeyD, false);
        reached = PositionOf("Player").x;
    });
    player.WaitFrames(120);
    player.Do([] { Platform::PushMessage({Platform::WM_CLOSE_MSG, 0, 0}); });

    EXPECT_EQ(RunFrames(
                  [&] {
                      Held().Repeat();
                      player.Frame();
                      record.Check();
                  },
                  1200),
              0);

    EXPECT_TRUE(player.Finished()) << "stopped at step " << player.StepReached() << ", Ilo at x " << reached;
    const auto spawned = std::count_if(record.enemies_seen.begin(), record.enemies_seen.end(),
                                       [](const std::string& name) { return name.rfind("Atk_Enemy", 0) == 0; });
    EXPECT_GE(spawned, 3) << "both spawners' attack enemies were shown";
    EXPECT_TRUE(record.enemies_seen.count("Def_Enemy"));
    std::string seen;
    for (const std::string& name : record.enemies_seen) seen += name + " ";
    EXPECT_TRUE(record.under.empty()) << record.under.size() << " bar-frames drawn under their enemy, the first "
                                      << (record.under.empty() ? "" : record.under.front()) << "; shown: " << seen;
}

// ---- The story pictures ----------------------------------------------------------------------

// What one picture dialogue did while Ilo stood in it a minute, and as Enter turned through it.
struct PictureRecord {
    std::string name;
    std::vector<std::string> pictures;
    float alpha_before = -1.0f, picture_alpha = 0.0f;
    float ilo_speed_held = -1.0f, dora_speed_held = -1.0f, ilo_speed_after = -1.0f, dora_speed_after = -1.0f;
    float x_at_pictures = 0.0f, x_drift_held = 0.0f, x_walked_on = 0.0f;
    int32_t ilo_before = -1, dora_before = -1, ilo_after = -1, dora_after = -1;
    float nearest_foe = 1e9f; // the least gap between a foe's box and Ilo's or Dora's while held
    bool god_mode_while_held = true, up_all_along = true, gone = false;
};

std::vector<Entity*> PictureDialogues()
{
    auto found = EntitiesWhere([](Entity* e) { return OrvTest::ScriptOf<DialogueScript>(e) != nullptr; });
    std::sort(found.begin(), found.end(), [](Entity* a, Entity* b) { return PositionOf(a->name).x < PositionOf(b->name).x; });
    return found;
}

// The gap between two entities' boxes: 0 when they touch.
float BoxGap(Entity* a, Entity* b)
{
    auto ba = a ? a->GetComponent<BoxCollider>(BOXCOLLIDER) : nullptr;
    auto bb = b ? b->GetComponent<BoxCollider>(BOXCOLLIDER) : nullptr;
    if (!ba || !bb) return 1e9f;
    const float gap_x = std::max(bb->GetMin().x - ba->GetMax().x, ba->GetMin().x - bb->GetMax().x);
    const float gap_y = std::max(bb->GetMin().y - ba->GetMax().y, ba->GetMin().y - bb->GetMax().y);
    return std::max({gap_x, gap_y, 0.0f});
}

float NearestFoe()
{
    float nearest = 1e9f;
    for (Entity* foe : EntitiesWhere([](Entity* e) {
             auto info = e->GetComponent<Information>(INFORMATION);
             return info && (info->GetType() == TAG_ENEMY || info->GetType() == TAG_BOSS);
         })) {
        nearest = std::min({nearest, BoxGap(foe, LiveEntity("Player")), BoxGap(foe, LiveEntity("Dora"))});
    }
    return nearest;
}

int32_t HpOf(const std::string& name)
{
    auto stats = ComponentOf<Stats>(name, STATS);
    return stats ? stats->hp : -1;
}

// Ilo walks right into each story picture in turn, the way there cleared (god mode, and Shift+K
// on each fight), and stands in it a minute of play with D held and without pressing Enter, god
// mode off: Ilo and Dora are held still and nothing reaches them. Then Enter turns through the
// pictures and play goes on.
TEST_F(ChapterOneTest, HeldByEachStoryPictureForAMinuteIloAndDoraLoseNoHealthThenReadOn)
{
    constexpr int kMinute = 600; // 0.1 s frames
    ScriptedPlayer player;
    std::vector<PictureRecord> records;
    EnterLevel(player);
    player.Do([&] {
        for (Entity* pictures : PictureDialogues()) {
            records.push_back({});
            records.back().name = pictures->name;
            records.back().alpha_before = ComponentOf<Sprite>(pictures->name, SPRITE)->GetTintColor().w;
        }
        ShiftChord('G');
    });
    struct Progress {
        size_t index = 0;
        int phase = 0, frames = 0, kill_wait = 0;
    };
    auto at = std::make_shared<Progress>();
    player.Then([&, at] {
        if (at->index >= records.size()) return true;
        PictureRecord& record = records[at->index];
        auto script = ScriptOf<DialogueScript>(record.name);
        auto controller = Controller();
        if (!controller) return false;
        if (at->phase == 0) {
            // The way there.
            if (script && script->shown) {
                // D stays held, as a player leaning on it while reading.
                ShiftChord('G');
                record.x_at_pictures = PositionOf("Player").x;
                record.ilo_before = HpOf("Player");
                record.dora_before = HpOf("Dora");
                at->phase = 1;
                at->frames = 0;
                return false;
            }
            auto manager = LiveEntity("LevelManager");
            auto* level = manager ? OrvTest::ScriptOf<LevelManagerScript>(manager) : nullptr;
            const bool fight = level && level->enemy_count > 0 && NearestFoe() < 8.0f;
            Held().Hold(kKeyD, !fight);
            if (fight && --at->kill_wait < 0) {
                ShiftChord('K');
                at->kill_wait = 20;
            }
            return false;
        }
        if (at->phase == 1) {
            // A minute with the first picture up.
            if (at->frames == 1) {
                record.god_mode_while_held = controller->GetGodMode();
                record.picture_alpha = ComponentOf<Sprite>(record.name, SPRITE)->GetTintColor().w;
                record.ilo_speed_held = SpeedOf("Player");
                record.dora_speed_held = SpeedOf("Dora");
                record.pictures.push_back(TextureOf(record.name));
                if (at->index == 0) SaveScreenshot("level_picture_dialogue");
            }
            record.nearest_foe = std::min(record.nearest_foe, NearestFoe());
            record.up_all_along = record.up_all_along && script && script->shown && script->current_picture == 1;
            record.x_drift_held = std::max(record.x_drift_held, std::fabs(PositionOf("Player").x - record.x_at_pictures));
            if (++at->frames < kMinute) return false;
            record.ilo_after = HpOf("Player");
            record.dora_after = HpOf("Dora");
            at->phase = 2;
            at->frames = 0;
            return false;
        }
        if (at->phase == 2) {
            // Enter through the rest, a picture taking it after its tenth frame.
            if (script) {
                if (++at->frames % 12 == 0) PressKey(Platform::VK_RETURN_KEY);
                if (at->frames % 12 == 2 && at->frames > 2 && script->shown) record.pictures.push_back(TextureOf(record.name));
                return false;
            }
            record.gone = true;
            record.ilo_speed_after = SpeedOf("Player");
            record.dora_speed_after = SpeedOf("Dora");
            at->phase = 3;
            at->frames = 0;
            return false;
        }
        if (++at->frames < 5) return false;
        record.x_walked_on = PositionOf("Player").x - record.x_at_pictures;
        ShiftChord('G');
        ++at->index;
        at->phase = 0;
        return false;
    });
    player.Do([] { Platform::PushMessage({Platform::WM_CLOSE_MSG, 0, 0}); });

    EXPECT_EQ(RunLevel(player, 4000 + kMinute * 2, 0.1), 0);

    EXPECT_TRUE(player.Finished()) << "stopped at step " << player.StepReached();
    ASSERT_FALSE(records.empty());
    EXPECT_EQ(records.front().pictures, (std::vector<std::string>{"Story_Cut1", "Story_Cut2", "Story_Cut3"}));
    for (const PictureRecord& record : records) {
        SCOPED_TRACE(record.name);
        EXPECT_EQ(record.alpha_before, 0.0f) << "nothing shows until Ilo walks in";
        EXPECT_FLOAT_EQ(record.picture_alpha, 1.0f);
        EXPECT_FALSE(record.god_mode_while_held);
        EXPECT_TRUE(record.up_all_along) << "the first picture, all the minute";
        EXPECT_EQ(record.ilo_speed_held, 0.0f);
        EXPECT_EQ(record.dora_speed_held, 0.0f);
        EXPECT_LT(record.x_drift_held, 1e-4f) << "held D does not walk Ilo out of the story";
        EXPECT_GT(record.ilo_before, 0);
        EXPECT_GT(record.dora_before, 0);
        EXPECT_EQ(record.ilo_after, record.ilo_before) << "no health lost while held";
        EXPECT_EQ(record.dora_after, record.dora_before) << "no health lost while held";
        EXPECT_GT(record.nearest_foe, 2.0f) << "no foe came near Ilo or Dora";
        EXPECT_TRUE(record.gone) << "read to the end";
        EXPECT_FLOAT_EQ(record.ilo_speed_after, 2.0f);
        EXPECT_FLOAT_EQ(record.dora_speed_after, 1.8f);
        EXPECT_GT(record.x_walked_on, 0.5f) << "play resumes";
    }
}

// ---- Walking on with a key held -------------------------------------------------------------

// A keyboard as the window reports it: a key held down repeats, after a delay, only while it is
// the last key pressed; pressing another key (a spell's arrow, Enter) ends the repeat of the key
// held before, though it stays down. The game must walk Ilo on all the same.
class Keyboard {
public:
    void Press(uint64_t key)
    {
        KeyDown(key);
        if (key == Platform::VK_RETURN_KEY) PushWindowMessage(Platform::WM_CHAR_MSG, key);
        repeating_ = key;
        since_ = 0;
    }
    void Release(uint64_t key)
    {
        KeyUp(key);
        if (repeating_ == key) repeating_ = 0;
    }
    // Down now, up in the next frame.
    void Tap(uint64_t key)
    {
        Press(key);
        tapped_ = key;
    }
    void Frame()
    {
        if (tapped_) {
            Release(tapped_);
            tapped_ = 0;
        }
        if (repeating_ && ++since_ > kRepeatDelay) KeyDown(repeating_);
    }

private:
    static constexpr int kRepeatDelay = 10; // half a second of 0.05 s frames
    uint64_t repeating_ = 0, tapped_ = 0;
    int since_ = 0;
};

// Frames in a row in which D was down and Ilo stood still with nothing on screen to hold him: no
// cast, hurt, purification or dialogue, no picture up and no shut barrier before him.
struct StallWatch {
    bool d_down = false;
    Vec3 last;
    int run = 0, longest = 0;
    std::string longest_at;

    void Frame()
    {
        auto controller = Controller();
        const Vec3 at = PositionOf("Player");
        const bool moved = std::fabs(at.x - last.x) + std::fabs(at.y - last.y) > 1e-4f;
        last = at;
        Entity* barrier = LiveEntity("Barrier_Arena");
        const bool at_barrier = barrier && barrier->active && PositionOf("Barrier_Arena").x - at.x < 1.5f;
        bool picture_up = false;
        for (Entity* pictures : PictureDialogues()) {
            auto* script = OrvTest::ScriptOf<DialogueScript>(pictures);
            picture_up = picture_up || (script && script->armed && script->current_picture <= script->last_picture);
        }
        const bool held_by_the_game = !controller || controller->state == PS_Cast || controller->state == PS_Hurt ||
                                      IsPurifying || DialogueIsRunning || picture_up || at_barrier;
        if (!d_down || moved || held_by_the_game) {
            run = 0;
            return;
        }
        if (++run > longest) {
            longest = run;
            std::ostringstream seen;
            seen << "x " << at.x << " state " << controller->state << " DialogueIsRunning " << DialogueIsRunning
                 << " IsPurifying " << IsPurifying << " speed " << SpeedOf("Player");
            longest_at = seen.str();
        }
    }
};

// D held from before the barrier to past the pictures: a cast while the barrier still holds Ilo
// back, the barrier opening when the last enemies fall (no key touched), then the pictures read
// with Enter. After each, the held key walks him on, though the keyboard no longer repeats it.
TEST_F(ChapterOneTest, AWalkingKeyHeldThroughACastTheBarrierAndThePicturesWalksIloOnAfterEach)
{
    PlayInASmallWindow();
    ScriptedPlayer player;
    Keyboard keyboard;
    StallWatch watch;
    float x_at_barrier = 0.0f, x_barrier_open = 0.0f, x_at_pictures = 0.0f, x_pictures_read = 0.0f, x_after = 0.0f;
    bool pictures_reached = false;
    EnterLevel(player);
    player.Do([] {
        ShiftChord('G');
        MoveTo("Player", 89.0f, -2.4f);
        MoveTo("Dora", 88.0f, -2.9f);
    });
    player.WaitFrames(5);
    player.Do([&] {
        keyboard.Press(kKeyD);
        watch.d_down = true;
    });
    auto last_x = std::make_shared<float>(0.0f);
    player.WaitUntil([last_x] {
        const float x = PositionOf("Player").x;
        const bool stopped = x > 91.0f && std::fabs(x - *last_x) < 1e-4f;
        *last_x = x;
        return stopped;
    });
    player.Do([&] {
        x_at_barrier = PositionOf("Player").x;
        keyboard.Tap(Platform::VK_UP_KEY);
    });
    player.WaitFrames(3);
    // The forest's enemies fall, as under Dora's blows: the barrier opens with no key touched.
    player.WaitUntil([&] {
        for (Entity* enemy : EntitiesWhere([](Entity* e) { return e->GetComponent<EnemyMovement>(ENEMYMOVEMENT) != nullptr; })) {
            if (auto stats = enemy->GetComponent<Stats>(STATS)) stats->hp = 0;
        }
        Entity* barrier = LiveEntity("Barrier_Arena");
        x_barrier_open = PositionOf("Player").x;
        return barrier && !barrier->active;
    }, 400);
    player.WaitUntil([&] {
        auto* pictures = ScriptOf<DialogueScript>("Story3NPics_Cut");
        pictures_reached = pictures && pictures->shown;
        return pictures_reached;
    }, 100);
    player.Do([&] { x_at_pictures = PositionOf("Player").x; });
    for (int picture = 0; picture < 3; ++picture) {
        player.WaitFrames(12);
        player.Do([&] { keyboard.Tap(Platform::VK_RETURN_KEY); });
    }
    player.WaitUntil([] { return !LiveEntity("Story3NPics_Cut"); }, 20);
    player.Do([&] { x_pictures_read = PositionOf("Player").x; });
    player.WaitFrames(20);
    player.Do([&] {
        x_after = PositionOf("Player").x;
        keyboard.Release(kKeyD);
        watch.d_down = false;
        Platform::PushMessage({Platform::WM_CLOSE_MSG, 0, 0});
    });

    EXPECT_EQ(RunFrames(
                  [&] {
                      keyboard.Frame();
                      player.Frame();
                      watch.Frame();
                  },
                  1500),
              0);

    EXPECT_TRUE(player.Finished()) << "stopped at step " << player.StepReached();
    EXPECT_GT(x_at_barrier, 92.0f);
    EXPECT_LT(x_at_barrier, 93.0f) << "held back by the shut barrier";
    EXPECT_TRUE(pictures_reached) << "Ilo walked on through the opened barrier, from " << x_barrier_open;
    EXPECT_NEAR(x_at_pictures, 96.5f, 0.3f);
    EXPECT_GT(x_after - x_pictures_read, 1.0f) << "and on from the pictures once they were read";
    EXPECT_LT(watch.longest, 3) << "D down and Ilo standing at " << watch.longest_at;
}

// ---- The boss --------------------------------------------------------------------------------

struct BossRecord {
    Vec3 boss_unseen;
    int32_t state_unseen = -1;
    float stopped_at = 0.0f, barrier_alpha = 0.0f;
    std::vector<int32_t> debuffs;
    std::vector<bool> icons;
    float attack = 0.0f, defense = 0.0f, speed = 0.0f;
    int32_t hp_after_kill_key = -1;
    float bar_after_kill_key = -1.0f;
    bool counted = false, marker = false;
    bool purifying = false, down = false;
    int arrows_typed = 0;
    int death_frames_seen = 0, death_last_frame = 0;
};

BossScript* Boss() { return ScriptOf<BossScript>(kBoss); }

std::shared_ptr<BossBehaviour> BossState() { return ComponentOf<BossBehaviour>(kBoss, BOSSBEHAVIOUR); }

// Casts `spell` at the boss until `landed` says it did: waits while the boss teleports, turns
// Ilo to face it, casts and gives the spell 30 frames to arrive before trying again.
void CastAtBoss(ScriptedPlayer& player, uint64_t spell, std::function<bool()> landed)
{
    struct Progress {
        int phase = 0, frames = 0, total = 0;
    };
    auto p = std::make_shared<Progress>();
    player.Then([spell, landed, p] {
        KeyUp(kKeyA);
        KeyUp(kKeyD);
        if (landed() || ++p->total > 400) return true;
        auto boss = BossState();
        auto controller = Controller();
        if (!boss || !controller) return false;
        if (p->phase == 0) {
            if (boss->state == BOSS_TELEPORTING_OUT || boss->state == BOSS_TELEPORTING_IN) return false;
            const bool boss_left = PositionOf(kBoss).x < PositionOf("Player").x;
            if (boss_left && controller->facing == 1) KeyDown(kKeyA);
            if (!boss_left && controller->facing == 0) KeyDown(kKeyD);
            p->phase = 1;
        } else if (p->phase == 1) {
            PressKey(spell);
            p->phase = 2;
            p->frames = 0;
        } else if (++p->frames > 30) {
            p->phase = 0;
        }
        return false;
    });
}

// Types the combination the controller shows, one arrow a frame, until the boss is down; Space
// again should a purification not be running.
void PurifyTheBoss(ScriptedPlayer& player, BossRecord& record)
{
    auto idle_frames = std::make_shared<int>(0);
    auto total = std::make_shared<int>(0);
    player.Then([&record, idle_frames, total] {
        auto boss = BossState();
        if ((boss && boss->state == BOSS_DOWN) || ++*total > 300) return true;
        auto controller = Controller();
        if (!controller) return false;
        if (!IsPurifying) {
            if (++*idle_frames % 20 == 0) PressKey(Platform::VK_SPACE_KEY);
            return false;
        }
        record.purifying = true;
        const size_t typed = controller->purification.combo_input.size();
        if (controller->purification.combo.size() == 3 && typed < 3) {
            PressKey(static_cast<uint64_t>(controller->purification.combo[typed]));
            ++record.arrows_typed;
        }
        return false;
    });
}

TEST_F(ChapterOneTest, InTheArenaSpellsDebuffTheBossWhichPurifiedPlaysItsDeathAndLeadsToTheEpilogue)
{
    PlayInASmallWindow();
    ScriptedPlayer player;
    BossRecord record;
    EnterLevel(player);
    player.Do([&] {
        record.boss_unseen = PositionOf(kBoss);
        record.state_unseen = BossState()->state;
        // The forest's enemies live: the barrier holds Ilo back.
        MoveTo("Player", 90.0f, -2.4f);
        MoveTo("Dora", 89.0f, -2.9f);
        Held().Hold(kKeyD, true);
    });
    player.WaitFrames(30);
    player.Do([&] {
        Held().Hold(kKeyD, false);
        record.stopped_at = PositionOf("Player").x;
        record.barrier_alpha = ComponentOf<Sprite>("Barrier_Arena", SPRITE)->GetTintColor().w;
        // Between the boss's two points, so both lie within a spell's flight.
        MoveTo("Player", 105.0f, -2.4f);
        MoveTo("Dora", 104.0f, -2.9f);
        ShiftChord('G');
    });
    CastAtBoss(player, Platform::VK_UP_KEY, [] { return Boss() && Boss()->debuffs.attack.level > 0; });
    CastAtBoss(player, Platform::VK_LEFT_KEY, [] { return Boss() && Boss()->debuffs.defence.level > 0; });
    CastAtBoss(player, Platform::VK_RIGHT_KEY, [] { return Boss() && Boss()->debuffs.speed.level > 0; });
    player.Do([&] {
        BossScript* boss = Boss();
        auto stats = ComponentOf<Stats>(kBoss, STATS);
        if (!boss || !stats) return;
        record.debuffs = {boss->debuffs.attack.level, boss->debuffs.defence.level, boss->debuffs.speed.level};
        const Debuffs& shown = boss->debuffs;
        record.icons = {ShownById(shown.attack.icon), ShownById(shown.defence.icon), ShownById(shown.speed.icon)};
        record.attack = stats->attack;
        record.defense = stats->defense;
        record.speed = stats->speed_attack;
        SaveScreenshot("level_boss_fight");
        ShiftChord('K');
    });
    player.WaitUntil([] { return Boss() && Boss()->counted_on_screen; }, 60);
    player.Do([&] {
        record.hp_after_kill_key = ComponentOf<Stats>(kBoss, STATS)->hp;
        record.bar_after_kill_key = ComponentOf<Sprite>("Boss_Healthbar", SPRITE)->scale.x;
        record.counted = Boss()->counted_on_screen;
        record.marker = Boss()->debuffs.low_hp_marker != 0;
        PressKey(Platform::VK_SPACE_KEY);
    });
    PurifyTheBoss(player, record);
    player.Do([&] { record.down = BossState() && BossState()->state == BOSS_DOWN; });
    player.WaitUntil([&] {
        if (CurrentSceneName() != "GameScene_01") return true;
        if (auto death = ComponentOf<Sprite>("Boss_Death_UI", SPRITE)) {
            ++record.death_frames_seen;
            record.death_last_frame = death->current_frame;
        }
        return false;
    }, 200);
    player.WaitForScene("GameScene_24", 2);
    player.Do([] { Platform::PushMessage({Platform::WM_CLOSE_MSG, 0, 0}); });

    EXPECT_EQ(RunLevel(player, 1500), 0);

    EXPECT_TRUE(player.Finished()) << "stopped at step " << player.StepReached();
    EXPECT_EQ(record.state_unseen, BOSS_IDLE) << "the boss waits for Ilo";
    EXPECT_FLOAT_EQ(record.boss_unseen.x, 108.5f);
    EXPECT_LT(record.stopped_at, 93.0f) << "the barrier holds while enemies live";
    EXPECT_GT(record.stopped_at, 92.0f);
    EXPECT_GT(record.barrier_alpha, 0.9f) << "and has faded in as Ilo came near";
    EXPECT_EQ(record.debuffs, (std::vector<int32_t>{1, 1, 1})) << "attack, defence and speed spells hit the boss";
    EXPECT_EQ(record.icons, (std::vector<bool>{true, true, true}));
    EXPECT_FLOAT_EQ(record.attack, 6.0f) << "ceiling of 8 x 0.7";
    EXPECT_FLOAT_EQ(record.defense, 3.0f) << "ceiling of 3 x 0.7";
    EXPECT_FLOAT_EQ(record.speed, 0.7f);
    EXPECT_EQ(record.hp_after_kill_key, 0);
    EXPECT_EQ(record.bar_after_kill_key, 0.0f) << "the bar watching the boss is empty";
    EXPECT_TRUE(record.counted) << "the beaten boss counts among the targets on screen";
    EXPECT_TRUE(record.marker);
    EXPECT_TRUE(record.purifying);
    EXPECT_EQ(record.arrows_typed, 3) << "one combination, typed right";
    EXPECT_TRUE(record.down);
    EXPECT_GT(record.death_frames_seen, 10) << "Boss_Death_UI plays";
    EXPECT_EQ(record.death_last_frame, 16) << "to its last frame before the scene changes";
    EXPECT_EQ(player.scenes, (std::vector<std::string>{"GameScene_01", "GameScene_24"}));
    EXPECT_TRUE(Contains(LogText(), "Changed scene to GameScene_24"));
}

// The arrow icons live outside the scene: leaving the level, or closing the game, while purifying
// must take them (and the purifying state) away all the same.
TEST_F(ChapterOneTest, LeavingTheLevelOrClosingTheGameWhilePurifyingReleasesWhatThePurificationMade)
{
    PlayInASmallWindow();
    struct Seen {
        std::vector<std::weak_ptr<Sprite>> icons;
        bool purifying = false;
    };
    auto purify = [](ScriptedPlayer& player, Seen& seen) {
        player.Do([] {
            MoveTo("Player", 105.0f, -2.4f);
            MoveTo("Dora", 104.0f, -2.9f);
            ShiftChord('G');
            ShiftChord('K');
        });
        player.WaitUntil([] { return Boss() && Boss()->counted_on_screen; }, 60);
        auto tries = std::make_shared<int>(0);
        player.Then([tries] {
            if (IsPurifying) return true;
            if (++*tries % 10 == 1) PressKey(Platform::VK_SPACE_KEY);
            return *tries > 100;
        });
        player.Do([&seen] {
            seen.purifying = IsPurifying;
            auto controller = Controller();
            if (!controller) return;
            for (uint64_t id : controller->purification.key_icons) {
                Entity* icon = EntityFactory::GetInstance()->GetLiveEntity(id);
                if (icon) seen.icons.push_back(icon->GetComponent<Sprite>(SPRITE));
            }
        });
    };
    auto released = [](const Seen& seen) {
        return std::all_of(seen.icons.begin(), seen.icons.end(), [](const auto& icon) { return icon.expired(); });
    };
    ScriptedPlayer player;
    Seen left, closed;
    bool released_on_leaving = false, purifying_after_leaving = true;
    EnterLevel(player);
    purify(player, left);
    player.Do([] { OrvStateMachine->next_state = "GameScene_03"; });
    player.WaitForScene("GameScene_03", 2);
    player.Do([&] {
        released_on_leaving = released(left);
        purifying_after_leaving = IsPurifying;
        OrvStateMachine->next_state = "GameScene_01";
    });
    EnterLevel(player);
    purify(player, closed);
    player.Do([] { Platform::PushMessage({Platform::WM_CLOSE_MSG, 0, 0}); });

    EXPECT_EQ(RunLevel(player, 1500), 0);

    EXPECT_TRUE(player.Finished()) << "stopped at step " << player.StepReached();
    EXPECT_TRUE(left.purifying);
    EXPECT_EQ(left.icons.size(), 3u);
    EXPECT_TRUE(released_on_leaving) << "the icons went with the level";
    EXPECT_FALSE(purifying_after_leaving);
    EXPECT_TRUE(closed.purifying);
    EXPECT_EQ(closed.icons.size(), 3u);
    EXPECT_TRUE(released(closed)) << "the icons went with the game";
    EXPECT_FALSE(IsPurifying);
}

} // namespace
