// The tutorial, the chapter card and the epilogue played on the real engine and the shipped
// resources (GameRunFixture.h) the way a person plays them: walking with D, reading with Enter,
// casting with Left, purifying with Space and the arrows the controller shows. Every line shown is
// checked to sit inside the dialogue box, at 1280x720 in the tutorial and 1920x1080 in the epilogue.
#include "GameBot.h"

#include "Components/Sprite.h"
#include "Components/Stats.h"
#include "Components/Text.h"
#include "CoreEngine/Globals.h"
#include "Graphics/FreetypeSystem.h"
#include "Logic/EnemyMovement.h"
#include "Logic/PlayerController.h"
#include "Scripts/Dialogue/DialogueTexts.h"
#include "Scripts/Enemies/EnemyScript.h"
#include "Scripts/Tutorial/TutorialTexts.h"

#include <algorithm>
#include <cmath>
#include <memory>

using namespace OrvEngine;
using namespace OrvTest;

namespace {

constexpr uint64_t kKeyD = 'D';

template <class T>
std::shared_ptr<T> Part(const std::string& entity, int type)
{
    Entity* found = LiveEntity(entity);
    return found ? found->GetComponent<T>(type) : nullptr;
}

std::string TextOf(const std::string& entity)
{
    auto text = Part<Text>(entity, TEXT);
    return text ? text->GetText() : std::string();
}

float XOf(const std::string& entity)
{
    auto transform = Part<Transform>(entity, TRANSFORM);
    return transform ? transform->position.x : 0.0f;
}

// A rectangle in window pixels from the bottom-left.
struct Box {
    float left = 0.0f, bottom = 0.0f, right = 0.0f, top = 0.0f;
    bool Holds(const Box& inner) const
    {
        return inner.left >= left && inner.right <= right && inner.bottom >= bottom && inner.top <= top;
    }
};

// Where the glyphs of a Text land in the window, placed as the text drawing places them.
Box TextBox(const std::string& entity)
{
    auto text = Part<Text>(entity, TEXT);
    auto transform = Part<Transform>(entity, TRANSFORM);
    WindowsSystems* window = WindowsSystems::GetInstance();
    if (!text || !transform) return {};
    const TextPlacement at = PlaceText(transform->position.x, transform->position.y, text->GetTextSize(),
                                       static_cast<float>(window->width), static_cast<float>(window->height));
    const auto& glyphs = FreetypeSystem::GetInstance()->characters;
    Box box{at.x, at.y, at.x, at.y};
    float x = at.x;
    for (char byte : text->GetText()) {
        auto glyph = glyphs.find(byte);
        if (glyph == glyphs.end()) continue;
        const Character& c = glyph->second;
        box.right = std::max(box.right, x + static_cast<float>(c.bearing_x + c.size_x) * at.scale);
        box.top = std::max(box.top, at.y + static_cast<float>(c.bearing_y) * at.scale);
        box.bottom = std::min(box.bottom, at.y - static_cast<float>(c.size_y - c.bearing_y) * at.scale);
        x += static_cast<float>(c.advance >> 6) * at.scale;
    }
    return box;
}

// The inside of the open box's frame in window pixels: the sheet draws its band across the middle
// of square 512-pixel frames (rows 192 to 320, columns 8 to 504), less a border of 10. A smaller
// right column stops short of the ornament at the band's right end.
Box BoxInterior(float right_column = 504.0f)
{
    auto transform = Part<Transform>("DialogueBox", TRANSFORM);
    auto cam = Part<Transform>("Cam", TRANSFORM);
    WindowsSystems* window = WindowsSystems::GetInstance();
    if (!transform || !cam) return {};
    const float w = static_cast<float>(window->width), h = static_cast<float>(window->height);
    const float per_x = w / cam->scale.x, per_y = h / cam->scale.y;
    const float cx = w / 2.0f + (transform->position.x - cam->position.x) * per_x;
    const float cy = h / 2.0f + (transform->position.y - cam->position.y) * per_y;
    const float frame = 512.0f, border = 10.0f;
    const float sx = transform->scale.x / frame * per_x, sy = transform->scale.y / frame * per_y;
    return {cx + (8.0f + border - 256.0f) * sx, cy + (256.0f - 320.0f + border) * sy,
            cx + (right_column - border - 256.0f) * sx, cy + (256.0f - 192.0f - border) * sy};
}

// Bright pixels of the last presented frame inside a window rectangle: the lines are cream and
// gold, the box behind them dark blue.
int BrightPixelsIn(const Box& box)
{
    const int x = static_cast<int>(box.left), y = static_cast<int>(box.bottom);
    const int w = static_cast<int>(box.right) - x, h = static_cast<int>(box.top) - y;
    if (w <= 0 || h <= 0) return 0;
    const std::vector<unsigned char> pixels = ReadBackBuffer(x, y, w, h);
    int bright = 0;
    for (size_t i = 0; i < pixels.size(); i += 4) bright += pixels[i] > 180 && pixels[i + 1] > 150 ? 1 : 0;
    return bright;
}

// What a text pair showed: every line and tag in order, those whose glyphs left the box, and, for
// one line, the text pixels where it is drawn and beyond its end.
struct Reading {
    std::vector<std::string> lines;
    std::vector<std::string> speakers;
    std::vector<std::string> outside;
    int bright_in_text = -1;
    int bright_beside_text = -1;

    void Record(const std::string& line_entity, const std::string& speaker_entity)
    {
        lines.push_back(TextOf(line_entity));
        speakers.push_back(TextOf(speaker_entity));
        const Box interior = BoxInterior();
        for (const std::string& entity : {line_entity, speaker_entity}) {
            if (!interior.Holds(TextBox(entity))) outside.push_back(TextOf(entity));
        }
    }

    void LookAtPixels(const std::string& line_entity)
    {
        const Box text = TextBox(line_entity);
        bright_in_text = BrightPixelsIn(text);
        bright_beside_text = BrightPixelsIn({text.right + 4.0f, text.bottom, BoxInterior(450.0f).right, text.top});
    }
};

class StoryEndToEndTest : public GameEndToEndTest {
protected:
    // Presses Enter through the text pair whose line entity is `line` (the speaker's is line +
    // "_N"), every 11 frames: a line takes Enter after ten. The key goes down in one frame and up
    // in the next, so scripts that read the held key at their update and scripts that read the key
    // message both see one press. The run moves on when the pair is gone.
    static void ReadThrough(ScriptedPlayer& player, Reading& reading, const std::string& line, size_t look_at = 0,
                            const std::string& screenshot = "")
    {
        auto waited = std::make_shared<int>(0);
        player.Then([=, &reading] {
            const bool just_pressed = *waited == 0 && !reading.lines.empty();
            if (just_pressed) PushWindowMessage(Platform::WM_KEYUP_MSG, Platform::VK_RETURN_KEY);
            if (!LiveEntity(line)) return true;
            if (++*waited < 11) return false;
            *waited = 0;
            reading.Record(line, line + "_N");
            if (reading.lines.size() == look_at) {
                reading.LookAtPixels(line);
                if (!screenshot.empty()) SaveScreenshot(screenshot);
            }
            PushWindowMessage(Platform::WM_KEYDOWN_MSG, Platform::VK_RETURN_KEY);
            PushWindowMessage(Platform::WM_CHAR_MSG, Platform::VK_RETURN_KEY);
            return false;
        });
    }

    // Holds D, the key repeating every frame, until `arrived`; then lets go.
    static void WalkRightUntil(ScriptedPlayer& player, std::function<bool()> arrived)
    {
        player.Then([arrived] {
            if (arrived()) {
                PushWindowMessage(Platform::WM_KEYUP_MSG, kKeyD);
                return true;
            }
            PushWindowMessage(Platform::WM_KEYDOWN_MSG, kKeyD);
            return false;
        });
    }
};

struct TutorialRecord {
    uint64_t window_width = 0;
    float start_x = 0.0f, t1_x = 0.0f;
    std::string pose_while_calling;
    Reading first, second, third;
    bool wasd_after_first = false, wasd_after_t2 = true;
    bool left_after_second = false, left_after_t3 = true;
    bool space_after_third = false;
    std::vector<bool> locks_after_second; // attack, defence, speed spells, purification
    bool enemy_and_dora_came = false;
    int32_t enemy_frame_while_speaking = -1, enemy_frames = -2;
    float enemy_defence_before = 0.0f, enemy_defence_after = 0.0f;
    bool defence_icon_shown = false;
    int32_t enemy_hp_after_watching = -1, enemy_floor = -2;
    bool enemy_purifiable_after_watching = false;
    std::vector<int32_t> combo;
    int enemy_state_after_combo = -1;
    bool barrier_open = false;
};

bool DialogueShown() { return DialogueIsRunning; }

EnemyScript* EnemyScriptOf(const std::string& name)
{
    return ScriptOf<EnemyScript>(LiveEntity(name));
}

TEST_F(StoryEndToEndTest, TheTutorialTeachesWalkingTheDefenceSpellAndPurificationThenLeadsToChapterOne)
{
    StartScene = "GameScene_22";
    ScriptedPlayer player;
    TutorialRecord record;
    auto controller = [] { return Part<PlayerController>("Player", PLAYERCONTROLLER); };
    auto enemy = [] { return Part<EnemyMovement>("Enemy_T1", ENEMYMOVEMENT); };
    auto enemy_defence = [] {
        auto stats = Part<Stats>("Enemy_T1", STATS);
        return stats ? stats->defense : 0.0f;
    };

    player.WaitForScene("GameScene_22", 10);
    player.Do([&] { PressKey(Platform::VK_F11_KEY); }); // the configured 1280 x 720 window
    player.Do([&] {
        record.window_width = WindowsSystems::GetInstance()->width;
        record.start_x = XOf("Player");
    });
    // 1: a few steps into the first trigger; Ilo calls for his parents in the purification pose.
    WalkRightUntil(player, DialogueShown);
    player.Do([&] {
        record.t1_x = XOf("Player");
        auto sprite = Part<Sprite>("Player", SPRITE);
        record.pose_while_calling = sprite ? sprite->tex_identifier : std::string();
    });
    ReadThrough(player, record.first, "dialogue_01");
    player.WaitFrames(2);
    player.Do([&] { record.wasd_after_first = LiveEntity("WASDKey") != nullptr; });
    // 2: on to the stranger fighting an armoured monster; the orb asks for a defence debuff.
    WalkRightUntil(player, DialogueShown);
    player.Do([&] { record.wasd_after_t2 = LiveEntity("WASDKey") != nullptr; });
    // The stranger is fighting the monster: it stands there whole while they speak.
    player.WaitFrames(3);
    player.Do([&] {
        auto sprite = Part<Sprite>("Enemy_T1", SPRITE);
        record.enemy_frame_while_speaking = sprite ? sprite->drawn_frame : -1;
        record.enemy_frames = sprite ? sprite->number_of_frames : -2;
    });
    ReadThrough(player, record.second, "dialogue_02");
    player.WaitFrames(2);
    player.Do([&] {
        record.left_after_second = LiveEntity("LeftKey") != nullptr;
        record.enemy_and_dora_came = LiveEntity("Enemy_T1") && LiveEntity("Vavu_T1");
        if (auto c = controller()) {
            record.locks_after_second = {c->lock_attack_spell, c->lock_defence_spell, c->lock_speed_spell,
                                         c->lock_purification};
        }
        record.enemy_defence_before = enemy_defence();
        PressKey(Platform::VK_LEFT_KEY);
    });
    // The spell flies into the monster.
    player.Then([&] { return enemy_defence() < record.enemy_defence_before; });
    player.Do([&] {
        record.enemy_defence_after = enemy_defence();
        EnemyScript* script = EnemyScriptOf("Enemy_T1");
        Entity* icon = script ? FindLiveEntity(script->debuffs.defence.icon) : nullptr;
        record.defence_icon_shown = icon && icon->active;
    });
    // Two more, each once the last cast is over, as an eager player does.
    for (int cast = 0; cast < 2; ++cast) {
        player.Then([&] {
            auto c = controller();
            return c && c->state != PS_Cast && !c->spell_cooldown;
        });
        player.Do([] { PressKey(Platform::VK_LEFT_KEY); });
        player.WaitFrames(1);
    }
    // A player who stands and watches: Dora wears the monster down, but only to where it can be
    // purified; the lesson still has its enemy.
    player.WaitFrames(150);
    player.Do([&] {
        auto stats = Part<Stats>("Enemy_T1", STATS);
        auto e = enemy();
        record.enemy_hp_after_watching = stats ? stats->hp : -1;
        record.enemy_purifiable_after_watching = e && e->purifiable_now;
        record.enemy_floor = e ? e->PurifiableThreshold() : -1;
    });
    // 3: Dora thanks Ilo, and the orb teaches purification.
    WalkRightUntil(player, DialogueShown);
    player.Do([&] { record.left_after_t3 = LiveEntity("LeftKey") != nullptr; });
    ReadThrough(player, record.third, "dialogue_03", 1, "tutorial_dialogue");
    player.WaitFrames(2);
    player.Do([&] { record.space_after_third = LiveEntity("SpaceKey") != nullptr; });
    // Space once Dora has worn the monster down and purification is ready again, then the arrows.
    player.Then([&] {
        auto c = controller();
        auto e = enemy();
        return c && e && e->purifiable_now && !c->purification.cooldown;
    });
    player.Do([] { PressKey(Platform::VK_SPACE_KEY); });
    player.Do([&] { record.combo = controller()->purification.combo; });
    for (size_t i = 0; i < 3; ++i) {
        player.Do([&, i] {
            if (i < record.combo.size()) PressKey(static_cast<uint64_t>(record.combo[i]));
        });
    }
    player.WaitFrames(1);
    player.Do([&] {
        auto e = enemy();
        record.enemy_state_after_combo = e ? e->state : -1;
    });
    // The purified monster comes to Ilo and is collected; the way opens.
    player.Then([] { return !LiveEntity("Enemy_T1"); });
    player.WaitFrames(1);
    player.Do([&] {
        Entity* barrier = LiveEntity("Barrier_T1");
        record.barrier_open = barrier && !barrier->active;
    });
    // 4: out of the town, to the chapter card and chapter 1.
    WalkRightUntil(player, [] { return CurrentSceneName() != "GameScene_22"; });
    player.WaitForScene("SplashScene_07", 5);
    player.Do([] { SaveScreenshot("chapter_card"); });
    player.WaitForScene("GameScene_01", 1);
    player.Do([] { PushWindowMessage(Platform::WM_CLOSE_MSG, 0); });

    StdoutCapture console;
    // A tenth of a second a frame: the fight runs its course in fewer frames.
    const int result = RunGame(player, 1600, 0.1);
    console.Take();

    EXPECT_EQ(result, 0);
    EXPECT_TRUE(player.Finished()) << "stopped at step " << player.StepReached();
    EXPECT_EQ(player.scenes, (std::vector<std::string>{"GameScene_22", "SplashScene_07", "GameScene_01"}));
    EXPECT_EQ(record.window_width, 1280u);
    EXPECT_GT(record.t1_x, record.start_x + 0.5f) << "Ilo walked into the first trigger";
    EXPECT_EQ(record.pose_while_calling, "Anim_Ilo_Purify");

    EXPECT_EQ(record.first.lines, TutorialLines(1));
    EXPECT_EQ(record.first.speakers, TutorialSpeakers(1));
    EXPECT_EQ(record.second.lines, TutorialLines(2));
    EXPECT_EQ(record.second.speakers, TutorialSpeakers(2));
    EXPECT_EQ(record.third.lines, TutorialLines(3));
    EXPECT_EQ(record.third.speakers, TutorialSpeakers(3));
    for (const Reading* reading : {&record.first, &record.second, &record.third}) {
        for (const std::string& text : reading->outside) ADD_FAILURE() << "outside the box at 1280x720: " << text;
    }
    EXPECT_GT(record.third.bright_in_text, 200) << "the line is drawn where it is placed";
    EXPECT_EQ(record.third.bright_beside_text, 0) << "and nothing is drawn beyond it in the box";

    EXPECT_TRUE(record.wasd_after_first);
    EXPECT_FALSE(record.wasd_after_t2) << "the next trigger takes the hint away";
    EXPECT_TRUE(record.left_after_second);
    EXPECT_FALSE(record.left_after_t3);
    EXPECT_TRUE(record.space_after_third);
    EXPECT_EQ(record.locks_after_second, (std::vector<bool>{true, false, true, true}));
    EXPECT_TRUE(record.enemy_and_dora_came);
    EXPECT_EQ(record.enemy_frame_while_speaking, record.enemy_frames) << "the last frame of its arrival: all of it";
    EXPECT_LT(record.enemy_defence_after, record.enemy_defence_before);
    EXPECT_TRUE(record.defence_icon_shown);
    EXPECT_EQ(record.enemy_hp_after_watching, record.enemy_floor) << "Dora cannot kill the lesson's enemy";
    EXPECT_EQ(record.enemy_floor, 13) << "30 % of 44";
    EXPECT_TRUE(record.enemy_purifiable_after_watching);
    EXPECT_EQ(record.combo.size(), 3u);
    EXPECT_EQ(record.enemy_state_after_combo, ENEMY_PURIFIED);
    EXPECT_TRUE(record.barrier_open);
}

// Where the armoured monster's bar and icons stood from it, as they followed it through a fight:
// the icons' centres and the bar's left end (the bar shortens towards it as the monster is hurt).
struct MonsterUi {
    std::vector<Vec3> first;    // bar, attack, defence, speed icons less the monster's position
    Vec3 arrival;               // where the monster was then
    float drift = 0.0f;         // farthest any of them moved from that offset, across and up
    float nearest_depth = 1e9f; // least depth in front of the monster
    float walked = 0.0f;        // farthest the monster went from its arrival, across and up
    int frames = 0;

    void Record()
    {
        Entity* monster = LiveEntity("Enemy_T1");
        EnemyScript* script = EnemyScriptOf("Enemy_T1");
        if (!monster || !script) return;
        const Vec3 at = PositionOf(monster);
        std::vector<Vec3> offsets;
        for (uint64_t id : {script->hp_bar, script->debuffs.attack.icon, script->debuffs.defence.icon,
                            script->debuffs.speed.icon}) {
            auto transform = PartOf<Transform>(LiveById(id), TRANSFORM);
            if (!transform) return;
            Vec3 anchor = transform->position;
            if (id == script->hp_bar) anchor.x -= std::fabs(transform->scale.x) * 0.5f;
            offsets.push_back(anchor - at);
        }
        if (first.empty()) {
            first = offsets;
            arrival = at;
        }
        walked = std::max({walked, std::fabs(at.x - arrival.x), std::fabs(at.y - arrival.y)});
        for (size_t i = 0; i < offsets.size(); ++i) {
            drift = std::max({drift, std::fabs(offsets[i].x - first[i].x), std::fabs(offsets[i].y - first[i].y)});
            nearest_depth = std::min(nearest_depth, offsets[i].z);
        }
        ++frames;
    }
};

// A player who casts the defence spell and then stands and watches, for five minutes of play: Dora
// wears the monster down to where it can be purified and it fights on against her, but neither she
// nor Ilo falls. Its bar and icons stay beside it all along, in front of it. Then on to the end.
TEST_F(StoryEndToEndTest, APlayerWaitingAtTheArmouredMonsterIsNotDefeatedAndTheTutorialStillEnds)
{
    constexpr int kFiveMinutes = 3000; // 0.1 s frames
    PlayInASmallWindow();
    StartScene = "GameScene_22";
    ScriptedPlayer player;
    Reading first, second, third;
    MonsterUi ui;
    int32_t lowest_ilo = 1000, lowest_dora = 1000, monster_hp = -1, floor = -2;
    bool lost = false;
    std::vector<int32_t> combo;
    auto controller = [] { return Part<PlayerController>("Player", PLAYERCONTROLLER); };
    auto monster = [] { return Part<EnemyMovement>("Enemy_T1", ENEMYMOVEMENT); };

    player.WaitForScene("GameScene_22", 10);
    WalkRightUntil(player, DialogueShown);
    ReadThrough(player, first, "dialogue_01");
    WalkRightUntil(player, DialogueShown);
    ReadThrough(player, second, "dialogue_02");
    player.WaitFrames(2);
    player.Do([] { PressKey(Platform::VK_LEFT_KEY); });
    auto waited = std::make_shared<int>(0);
    player.Then([&, waited] {
        lost = CurrentSceneName() != "GameScene_22";
        if (lost) return true;
        lowest_ilo = std::min(lowest_ilo, HpOf("Player"));
        lowest_dora = std::min(lowest_dora, HpOf("Vavu_T1"));
        return ++*waited > kFiveMinutes;
    });
    player.Do([&] {
        auto stats = Part<Stats>("Enemy_T1", STATS);
        monster_hp = stats ? stats->hp : -1;
        floor = monster() ? monster()->PurifiableThreshold() : -1;
    });
    WalkRightUntil(player, DialogueShown);
    ReadThrough(player, third, "dialogue_03");
    player.Then([&] {
        auto c = controller();
        auto e = monster();
        return c && e && e->purifiable_now && !c->purification.cooldown;
    });
    player.Do([] { PressKey(Platform::VK_SPACE_KEY); });
    player.Do([&] { combo = controller()->purification.combo; });
    for (size_t i = 0; i < 3; ++i) {
        player.Do([&, i] {
            if (i < combo.size()) PressKey(static_cast<uint64_t>(combo[i]));
        });
    }
    player.Then([] { return !LiveEntity("Enemy_T1"); });
    WalkRightUntil(player, [] { return CurrentSceneName() != "GameScene_22"; });
    player.WaitForScene("SplashScene_07", 1);
    player.Do([] { PushWindowMessage(Platform::WM_CLOSE_MSG, 0); });

    StdoutCapture console;
    // The monster's bar and icons are looked at in every frame it is there, to its collection.
    const int result = RunFrames(
        [&] {
            ui.Record();
            player.Frame();
        },
        kFiveMinutes + 1500, 0.1);
    console.Take();

    EXPECT_EQ(result, 0);
    EXPECT_FALSE(lost) << "the lose scene came";
    EXPECT_TRUE(player.Finished()) << "stopped at step " << player.StepReached();
    EXPECT_EQ(player.scenes, (std::vector<std::string>{"GameScene_22", "SplashScene_07"}));
    EXPECT_GT(lowest_ilo, 0);
    EXPECT_GT(lowest_dora, 0);
    EXPECT_LT(lowest_dora, 40) << "the monster fought her";
    EXPECT_EQ(monster_hp, floor) << "worn down to where it can be purified, and no further";
    EXPECT_EQ(ui.first.size(), 4u);
    EXPECT_GT(ui.walked, 0.5f) << "the monster moved (into the fight, and to Ilo once purified)";
    EXPECT_LT(ui.drift, 0.01f) << "its bar and icons went with it, over " << ui.frames << " frames";
    EXPECT_GT(ui.nearest_depth, 0.0f) << "in front of it";
    for (size_t i = 0; i < ui.first.size(); ++i) {
        EXPECT_LT(std::fabs(ui.first[i].x), 0.6f) << "part " << i << " beside the monster";
        EXPECT_LT(std::fabs(ui.first[i].y), 1.2f) << "part " << i << " beside the monster";
    }
}

TEST_F(StoryEndToEndTest, TheEpilogueReadsDialogueFourInTheBoxAndFadesIntoTheVictoryScreen)
{
    WriteData("config.json", R"({"Name": "OrvEngine", "Height": 1080, "Width": 1920})");
    StartScene = "GameScene_24";
    ScriptedPlayer player;
    Reading reading;
    uint64_t window_width = 0;
    bool box_open = false;

    player.WaitForScene("GameScene_24", 1);
    player.Do([&] {
        window_width = WindowsSystems::GetInstance()->width;
        auto box = Part<Sprite>("DialogueBox", SPRITE);
        box_open = box && box->tex_identifier == "UIAnim_Dialog_Box" && box->current_frame == 16;
    });
    ReadThrough(player, reading, "DialogueScript04", 2, "epilogue");
    player.WaitForScene("GameScene_02", 30); // past the screen's fade-in, for the picture
    player.Do([] { SaveScreenshot("victory"); });
    player.Do([] { PushWindowMessage(Platform::WM_CLOSE_MSG, 0); });

    StdoutCapture console;
    const int result = RunGame(player, 400);
    console.Take();

    EXPECT_EQ(result, 0);
    EXPECT_TRUE(player.Finished()) << "stopped at step " << player.StepReached();
    EXPECT_EQ(player.scenes, (std::vector<std::string>{"GameScene_24", "GameScene_02"}));
    EXPECT_EQ(window_width, 1920u);
    EXPECT_TRUE(box_open) << "the box is open from the start";
    EXPECT_EQ(reading.lines, DialogueLines(4));
    EXPECT_EQ(reading.speakers, DialogueSpeakers(4));
    for (const std::string& text : reading.outside) ADD_FAILURE() << "outside the box at 1920x1080: " << text;
    EXPECT_GT(reading.bright_in_text, 200);
    EXPECT_EQ(reading.bright_beside_text, 0);
}

} // namespace
