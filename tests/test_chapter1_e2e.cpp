// Chapter 1 (GameScene_01) played on the real engine and the shipped resources (GameRunFixture.h),
// entered directly: the pause menu over the level, the story pictures and the first fight, and the
// boss fight through its purification to the epilogue. Keys are pushed as the window would; waits
// are bounded, so a level that stops answering fails instead of hanging.
#include "GameRunFixture.h"

#include "Audio/AudioSystem.h"
#include "Components/Sprite.h"
#include "Components/Stats.h"
#include "Logic/BossBehaviour.h"
#include "Logic/PlayerController.h"
#include "Scripts/Boss/BossScript.h"
#include "Scripts/Enemies/EnemyScript.h"

#include <algorithm>
#include <functional>
#include <memory>

using namespace OrvEngine;
using namespace OrvTest;

namespace {

constexpr uint64_t kKeyA = 'A', kKeyD = 'D';
const char* const kBoss = "Boss_Warden";
const char* const kPictures = "Story3NPics_Cut";
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
    static int RunLevel(ScriptedPlayer& player, int frame_limit)
    {
        return RunFrames(
            [&] {
                Held().Repeat();
                player.Frame();
            },
            frame_limit);
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

// ---- The story pictures and the first fight --------------------------------------------------

struct StoryRecord {
    std::vector<std::string> pictures;
    float alpha_before = -1.0f, picture_alpha = 0.0f;
    float ilo_speed_held = -1.0f, dora_speed_held = -1.0f, ilo_speed_after = -1.0f, dora_speed_after = -1.0f;
    float x_at_pictures = 0.0f, x_while_held = 0.0f, x_walked_on = 0.0f;
    bool pictures_gone = false;
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

void RecordPicture(StoryRecord& record)
{
    if (!LiveEntity(kPictures)) return;
    record.pictures.push_back(TextureOf(kPictures));
}

// Enter, and the picture it brings up two frames later.
void NextPicture(ScriptedPlayer& player, StoryRecord& record)
{
    player.WaitFrames(12); // a picture answers Enter after its tenth frame
    player.Do([] { PressKey(Platform::VK_RETURN_KEY); });
    player.WaitFrames(2);
    player.Do([&] { RecordPicture(record); });
}

TEST_F(ChapterOneTest, WalkingIntoTheStoryShowsItsPicturesThenIloFightsTheFirstEnemyWithEachSpell)
{
    ScriptedPlayer player;
    StoryRecord record;
    EnterLevel(player);
    player.Do([&] {
        record.alpha_before = ComponentOf<Sprite>(kPictures, SPRITE)->GetTintColor().w;
        Held().Hold(kKeyD, true);
    });
    player.WaitUntil([] {
        auto sprite = ComponentOf<Sprite>(kPictures, SPRITE);
        return sprite && sprite->GetTintColor().w > 0.99f;
    });
    player.Do([&] {
        RecordPicture(record);
        record.picture_alpha = ComponentOf<Sprite>(kPictures, SPRITE)->GetTintColor().w;
        record.ilo_speed_held = SpeedOf("Player");
        record.dora_speed_held = SpeedOf("Dora");
        record.x_at_pictures = PositionOf("Player").x;
        SaveScreenshot("level_picture_dialogue");
    });
    for (int i = 0; i < 3; ++i) {
        if (i == 1) player.Do([&] { record.x_while_held = PositionOf("Player").x; });
        NextPicture(player, record);
    }
    player.Do([&] {
        record.pictures_gone = !LiveEntity(kPictures);
        record.ilo_speed_after = SpeedOf("Player");
        record.dora_speed_after = SpeedOf("Dora");
    });
    player.WaitFrames(5);
    player.Do([&] { record.x_walked_on = PositionOf("Player").x - record.x_at_pictures; });
    // D is still held: on to the first enemy, who comes to meet Ilo.
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
    EXPECT_EQ(record.alpha_before, 0.0f) << "nothing shows until Ilo walks in";
    EXPECT_EQ(record.pictures, (std::vector<std::string>{"Story_Cut1", "Story_Cut2", "Story_Cut3"}));
    EXPECT_FLOAT_EQ(record.picture_alpha, 1.0f);
    EXPECT_EQ(record.ilo_speed_held, 0.0f);
    EXPECT_EQ(record.dora_speed_held, 0.0f);
    EXPECT_NEAR(record.x_while_held, record.x_at_pictures, 1e-4f) << "held D does not walk Ilo out of the story";
    EXPECT_TRUE(record.pictures_gone);
    EXPECT_FLOAT_EQ(record.ilo_speed_after, 2.0f);
    EXPECT_FLOAT_EQ(record.dora_speed_after, 1.8f);
    EXPECT_GT(record.x_walked_on, 0.5f) << "play resumes";
    EXPECT_GT(record.enemy_gap, 2.0f) << "the enemy was met ahead, not on top of Ilo";
    EXPECT_EQ(record.enemy_debuffs, (std::vector<int32_t>{1, 1, 1})) << "each spell landed once";
    EXPECT_EQ(record.enemy_icons, (std::vector<bool>{true, true, true}));
    EXPECT_TRUE(record.enemy_bar);
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
