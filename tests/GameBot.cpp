// The bot of GameBot.h: one decision per frame from what the live scene shows.
#include "GameBot.h"

#include "Components/RigidBody2D.h"
#include "Components/Text.h"
#include "CoreEngine/Globals.h"
#include "Logic/AIMovement.h"
#include "Logic/BossBehaviour.h"
#include "Scene/SplashScreenScene.h"
#include "Scripts/Boss/BossScript.h"
#include "Scripts/Companion/AIScript.h"
#include "Scripts/Dialogue/DialogueScript.h"
#include "Scripts/Dialogue/LineSequenceScript.h"
#include "Scripts/Enemies/EnemyScript.h"
#include "Scripts/Fade/FadeScripts.h"
#include "Scripts/Hazards/HazardZoneScript.h"
#include "Scripts/Level/LevelManagerScript.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <limits>
#include <sstream>

using namespace OrvEngine;

namespace OrvTest {

namespace {

// Ilo's box: 0.6 x 0.5, its centre 0.55 below his origin. A spell leaves 0.6 below it.
constexpr float kIloHalfWidth = 0.3f, kIloBoxDrop = 0.55f, kIloHalfHeight = 0.25f;
constexpr float kSpellDrop = 0.6f;
// A person waits a moment between keys: frames between two menu keys, two arrows, two lines.
constexpr int kMenuPause = 3, kArrowPause = 3, kLinePause = 11, kPicturePause = 12;
// Menus answer once their fade-in is over.
constexpr int kMenuSettle = 35;
constexpr float kFrameTime = 0.05f;

bool IsLevel(const std::string& scene)
{
    return scene == "GameScene_22" || scene == "GameScene_01" || scene == "GameScene_23";
}

bool IsSplash(const std::string& scene) { return scene.rfind("SplashScene_", 0) == 0; }

bool EndsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

WorldBox IloBoxAt(float x, float y)
{
    return {Vec2(x - kIloHalfWidth, y - kIloBoxDrop - kIloHalfHeight), Vec2(x + kIloHalfWidth, y - kIloBoxDrop + kIloHalfHeight),
            true};
}

} // namespace

// ---- Reading the fight (GameBot.h) ----------------------------------------------------------------

Entity* Companion()
{
    auto found = EntitiesWhere([](Entity* e) { return TagOf(e) == TAG_AI; });
    return found.empty() ? nullptr : found.front();
}

Entity* Boss()
{
    auto found = EntitiesWhere([](Entity* e) { return TagOf(e) == TAG_BOSS; });
    return found.empty() ? nullptr : found.front();
}

float HalfView()
{
    auto cam = PartOf<Transform>(LiveEntity("Cam"), TRANSFORM);
    return cam ? cam->scale.x * 0.5f : 8.0f;
}

Walkway WalkwayOfScene()
{
    Walkway way;
    WorldBox top = BoxOf(LiveEntity("Bound_Top")), bottom = BoxOf(LiveEntity("Bound_Bottom"));
    if (bottom.valid) way.low = bottom.max.y + kIloBoxDrop + kIloHalfHeight + 0.05f;
    if (top.valid) way.high = top.min.y + kIloBoxDrop - kIloHalfHeight - 0.05f;
    return way;
}

namespace {

// Hazards a player keeps out of: boulder and spike rings (harmless until they fall, but they will),
// the death wall, and poison floors unless he means to hurry across one.
std::vector<WorldBox> Hazards(bool poison = true)
{
    std::vector<WorldBox> boxes;
    for (Entity* e : EntitiesWhere([poison](Entity* e) {
             return e->name.rfind("Boulder_Prefab", 0) == 0 || e->name.rfind("Spike_Prefab", 0) == 0 ||
                    (poison && TagOf(e) == TAG_TERRAIN_DAMAGE) || e->name == "DeathWall";
         })) {
        WorldBox box = BoxOf(e);
        if (box.valid) boxes.push_back(box.Grown(0.15f));
    }
    return boxes;
}

} // namespace

// A foe spells still weaken: in the fight, out of its appearing animation and not yet beaten.
bool Alive(Entity* foe)
{
    if (!foe || !foe->active) return false;
    if (auto enemy = PartOf<EnemyMovement>(foe, ENEMYMOVEMENT)) {
        return enemy->state != ENEMY_DOWN && enemy->state != ENEMY_PURIFIED && enemy->state != ENEMY_APPEARING &&
               !enemy->purifiable_now && HpOf(foe) > 0;
    }
    auto boss = PartOf<BossBehaviour>(foe, BOSSBEHAVIOUR);
    return boss && boss->state != BOSS_DOWN && HpOf(foe) >= 1;
}

// An enemy or boss still in the fight: not down or purified, whatever its hit points.
bool InFight(Entity* foe)
{
    if (!foe || !foe->active) return false;
    if (auto enemy = PartOf<EnemyMovement>(foe, ENEMYMOVEMENT)) {
        return enemy->state != ENEMY_DOWN && enemy->state != ENEMY_PURIFIED;
    }
    auto boss = PartOf<BossBehaviour>(foe, BOSSBEHAVIOUR);
    return boss && boss->state != BOSS_DOWN;
}

float SpellLine(Entity* foe)
{
    const Walkway way = WalkwayOfScene();
    return std::clamp(BoxOf(foe).Centre().y + kSpellDrop, way.low, way.high);
}

namespace {

// What spells have done to a foe so far; none for anything that is no enemy or boss.
const ::Debuffs& DebuffsOf(Entity* foe)
{
    static const ::Debuffs none{};
    if (auto* boss = ScriptOf<BossScript>(foe)) return boss->debuffs;
    if (auto* enemy = ScriptOf<EnemyScript>(foe)) return enemy->debuffs;
    return none;
}

// The arrow of the spell that helps Dora most against `foe` now, or 0: the attack debuff when it
// hits her harder than her defence, the defence debuff when it shrugs off her blows, else speed.
uint64_t ChooseSpell(Entity* foe, const PlayerController& ilo)
{
    auto foe_stats = PartOf<Stats>(foe, STATS);
    auto dora_stats = PartOf<Stats>(Companion(), STATS);
    if (!foe_stats) return 0;
    const float dora_attack = dora_stats ? dora_stats->attack : 4.0f;
    const float dora_defence = dora_stats ? dora_stats->defense : 3.0f;
    const ::Debuffs& debuffs = DebuffsOf(foe);
    const int32_t attack_level = debuffs.attack.level, defence_level = debuffs.defence.level;
    constexpr int32_t kMax = ::Debuffs::kMaxLevel;
    const bool attack = !ilo.lock_attack_spell, defence = !ilo.lock_defence_spell, speed = !ilo.lock_speed_spell;
    // The boss strikes only with its waves and boulders: what counts is that Dora's blows get through.
    if (TagOf(foe) == TAG_BOSS && defence && defence_level < kMax) return Platform::VK_LEFT_KEY;
    if (attack && attack_level < kMax && foe_stats->attack > dora_defence + 1.0f) return Platform::VK_UP_KEY;
    if (defence && defence_level < kMax && foe_stats->defense > dora_attack - 3.0f) return Platform::VK_LEFT_KEY;
    if (speed && debuffs.speed.level < 1) return Platform::VK_RIGHT_KEY;
    if (attack && attack_level < kMax) return Platform::VK_UP_KEY;
    if (defence && defence_level < kMax) return Platform::VK_LEFT_KEY;
    return 0;
}

void PressEnter()
{
    KeyDown(Platform::VK_RETURN_KEY);
    PushWindowMessage(Platform::WM_CHAR_MSG, Platform::VK_RETURN_KEY);
}

} // namespace

// ---- The frame ----------------------------------------------------------------------------------

void GameBot::Frame()
{
    ++frame;
    if (enter_down_at_ == frame - 1) KeyUp(Platform::VK_RETURN_KEY);
    const std::string now = CurrentSceneName();
    if (now != scene_) {
        if (!scene_.empty() && !now.empty()) CheckExit(scene_, now);
        EnterScene(now);
    }
    ++scene_frames_;
    if (scene_.empty()) return;
    if (IsLevel(scene_)) Level();
    else if (!IsSplash(scene_)) Menu();
    keys_.Repeat();
    last_seen_ = ExitSeen();
    if (trace && frame % 20 == 0) Trace();
}

void GameBot::EnterScene(const std::string& name)
{
    keys_.ReleaseAll();
    scene_ = name;
    scene_frames_ = 0;
    waited_ = 0;
    boss_weakened_ = false;
    dora_far_since_ = -1;
    heading_ = 1.0f;
    if (name.empty()) return;
    scenes.push_back(name);
    if (name == "GameScene_20") levels_done_ = !options_.play_again;
    if (IsLevel(name)) {
        visits.push_back({});
        visits.back().scene = name;
    }
}

// ---- How a scene was left -----------------------------------------------------------------------

// The one way the flow leaves `from` for `to`; None when `to` is not where `from` leads.
GameBot::Exit GameBot::ExpectedExit(const std::string& from, const std::string& to) const
{
    static const std::map<std::pair<std::string, std::string>, Exit> kFlow = {
        {{"SplashScene_00", "SplashScene_01"}, Exit::Timer},    {{"SplashScene_01", "SplashScene_02"}, Exit::Timer},
        {{"SplashScene_02", "SplashScene_03"}, Exit::Timer},    {{"SplashScene_03", "SplashScene_04"}, Exit::Timer},
        {{"SplashScene_04", "SplashScene_05"}, Exit::Timer},    {{"SplashScene_05", "MainMenuScene"}, Exit::Timer},
        {{"MainMenuScene", "GameScene_22"}, Exit::Button},      {{"GameScene_22", "SplashScene_07"}, Exit::Trigger},
        {{"SplashScene_07", "GameScene_01"}, Exit::Timer},      {{"GameScene_01", "GameScene_24"}, Exit::Boss},
        {{"GameScene_24", "GameScene_02"}, Exit::FadeOut},      {{"GameScene_02", "GameScene_23"}, Exit::Button},
        {{"GameScene_23", "GameScene_20"}, Exit::Trigger},      {{"GameScene_20", "MainMenuScene"}, Exit::Button},
        {{"GameScene_03", "GameScene_22"}, Exit::Button},       {{"GameScene_03", "GameScene_01"}, Exit::Button},
        {{"GameScene_03", "GameScene_23"}, Exit::Button},
    };
    if (to == "GameScene_03" && IsLevel(from)) return Exit::Death;
    auto found = kFlow.find({from, to});
    return found == kFlow.end() ? Exit::None : found->second;
}

// What the bot saw in this frame that may end the scene: its timer run out, the button it pressed,
// Ilo at the scene's exit trigger, the boss's death played out, the fade-out, Ilo dying.
std::string GameBot::ExitSeen() const
{
    std::ostringstream seen;
    auto scene = CurrentScene();
    if (auto splash = std::dynamic_pointer_cast<SplashScreenScene>(scene)) {
        if (scene_frames_ * kFrameTime >= splash->show_time - 2 * kFrameTime) seen << "timer ";
    }
    if (frame - pressed_at_ < 60) seen << "button:" << pressed_button_ << ' ';
    const WorldBox ilo = BoxOf(LiveEntity("Player"));
    for (const char* exit : {"TutorialT4", "LevelExit"}) {
        if (ilo.Overlaps(BoxOf(LiveEntity(exit)).Grown(0.3f))) seen << "trigger:" << exit << ' ';
    }
    if (Entity* boss = Boss()) {
        auto* script = ScriptOf<BossScript>(boss);
        auto behaviour = PartOf<BossBehaviour>(boss, BOSSBEHAVIOUR);
        if (script && behaviour && behaviour->state == BOSS_DOWN && script->death_ui_spawned) seen << "boss ";
    }
    if (!EntitiesWhere([](Entity* e) { return ScriptOf<FadeOutScript>(e) != nullptr; }).empty()) seen << "fadeout ";
    if (PlayerController* controller = IloController()) {
        const int hp = HpOf("Player");
        if (hp < 1 || (controller->hit_pending && hp <= 8)) seen << "death ";
    }
    // Dora a blow or two from the end: the scene may change in the frame her hp reaches 0.
    if (Companion() && HpOf(Companion()) <= 4) seen << "dora-death ";
    return seen.str();
}

void GameBot::CheckExit(const std::string& from, const std::string& to)
{
    const Exit expected = ExpectedExit(from, to);
    bool ok = false;
    switch (expected) {
    case Exit::Timer: ok = Contains(last_seen_, "timer"); break;
    case Exit::Button: {
        static const std::map<std::string, std::string> kButtons = {
            {"GameScene_22", "PlayButton"}, {"GameScene_23", "ContinueButton"}, {"MainMenuScene", "MainMenuButton"}};
        auto button = kButtons.find(to);
        const std::string wanted = from == "GameScene_03" ? "RetryButton" : button == kButtons.end() ? "?" : button->second;
        ok = Contains(last_seen_, "button:" + wanted + " ");
        break;
    }
    case Exit::Trigger: ok = Contains(last_seen_, to == "SplashScene_07" ? "trigger:TutorialT4" : "trigger:LevelExit"); break;
    case Exit::Boss: ok = Contains(last_seen_, "boss"); break;
    case Exit::FadeOut: ok = Contains(last_seen_, "fadeout"); break;
    // Ilo cannot be hurt where nothing falls or burns: there Dora is the one who dies.
    case Exit::Death: ok = options_.die_once && Contains(last_seen_, "death "); break;
    case Exit::None: break;
    }
    if (expected == Exit::Death) {
        died_in_.insert(from);
        if (!visits.empty()) visits.back().died = true;
    }
    if (!ok) wrong_exits.push_back(from + " -> " + to + " (saw: " + last_seen_ + ")");
}

// ---- Menus, result screens and the epilogue -------------------------------------------------------

void GameBot::Menu()
{
    if (scene_ == "GameScene_24") {
        ReadDialogue();
    } else if (scene_ == "GameScene_02") {
        PressButton("ContinueButton");
    } else if (scene_ == "GameScene_20") {
        PressButton("MainMenuButton");
    } else if (scene_ == "GameScene_03") {
        PressButton("RetryButton");
    } else if (scene_ == "MainMenuScene" && !levels_done_) {
        PressButton("PlayButton");
    } else if (scene_ == "MainMenuScene" && !quit_pressed_) {
        if (!LiveEntity("ExitWarningBoxYes")) {
            PressButton("ExitButton");
            waited_ = 0;
        } else if (++waited_ > 25) { // the box's Yes answers after its first second
            PressButton("ExitWarningBoxYes");
            quit_pressed_ = pressed_button_ == "ExitWarningBoxYes";
        }
    }
}

// Moves the selection down to `button` and presses Enter, a key every few frames, once the
// scene's buttons answer; presses again should nothing have come of it after two seconds.
void GameBot::PressButton(const std::string& button)
{
    if (scene_frames_ < kMenuSettle || frame - menu_key_at_ < kMenuPause) return;
    if (pressed_button_ == button && frame - pressed_at_ < 40) return;
    menu_key_at_ = frame;
    if (SelectedButton() != button) {
        PressKey(Platform::VK_DOWN_KEY);
        return;
    }
    PressKey(Platform::VK_RETURN_KEY);
    pressed_button_ = button;
    pressed_at_ = frame;
}

// ---- Reading ------------------------------------------------------------------------------------

// The dialogue box: every line is read, then Enter; the line's entity and its speaker's ("_N").
bool GameBot::ReadDialogue()
{
    Entity* line = nullptr;
    Entity* speaker = nullptr;
    for (Entity* e : EntitiesWhere([](Entity* e) { return ScriptOf<LineSequenceScript>(e) != nullptr; })) {
        if (EndsWith(e->name, "_N")) speaker = e;
        else line = e;
    }
    if (!line) {
        line_id_ = 0;
        return DialogueIsRunning;
    }
    keys_.ReleaseAll();
    if (line->id != line_id_) {
        line_id_ = line->id;
        line_seen_at_ = frame;
    }
    auto* script = ScriptOf<LineSequenceScript>(line);
    if (!script->shown || frame - line_seen_at_ < kLinePause || frame - enter_down_at_ < kLinePause) return true;
    auto text = PartOf<Text>(line, TEXT);
    lines[line->name].push_back(text ? text->GetText() : "");
    auto tag = PartOf<Text>(speaker, TEXT);
    speakers[line->name].push_back(tag ? tag->GetText() : "");
    PressEnter();
    enter_down_at_ = frame;
    return true;
}

// A picture dialogue Ilo walked into: each picture is looked at, then Enter.
bool GameBot::ReadPictures()
{
    for (Entity* e : EntitiesWhere([](Entity* e) { return ScriptOf<DialogueScript>(e) != nullptr; })) {
        auto* script = ScriptOf<DialogueScript>(e);
        if (!script->armed) continue;
        keys_.ReleaseAll();
        if (e->id != picture_id_) {
            picture_id_ = e->id;
            picture_seen_at_ = frame;
        }
        if (!script->shown || frame - picture_seen_at_ < kPicturePause || frame - enter_down_at_ < kPicturePause) return true;
        auto sprite = PartOf<Sprite>(e, SPRITE);
        pictures[e->name].push_back(sprite ? sprite->tex_identifier : "");
        PressEnter();
        enter_down_at_ = frame;
        return true;
    }
    return false;
}

// ---- Purification -------------------------------------------------------------------------------

// The arrows shown over Ilo, typed one at a time.
bool GameBot::TypeCombination()
{
    if (!IsPurifying) {
        arrows_typed_ = 0;
        return false;
    }
    keys_.ReleaseAll();
    PlayerController* ilo = IloController();
    if (!ilo || frame - arrow_at_ < kArrowPause) return true;
    if (ilo->purification.combo.size() != 3 || ilo->purification.key_icons.size() != 3) return true;
    const size_t typed = ilo->purification.combo_input.size();
    if (typed >= 3) return true;
    // Fewer arrows taken than typed: the game turned a shown arrow down and drew a new combination.
    if (arrows_typed_ > typed) ++visits.back().wrong_arrows;
    PressKey(static_cast<uint64_t>(ilo->purification.combo[typed]));
    arrow_at_ = frame;
    arrows_typed_ = typed == 2 ? 0 : typed + 1;
    if (typed == 2) ++visits.back().purifications;
    return true;
}

// Space when a weakened enemy or the beaten boss stands within the view's inner part.
bool GameBot::StartPurification()
{
    PlayerController* ilo = IloController();
    if (!ilo || ilo->lock_purification || ilo->purification.cooldown || frame - space_at_ < 10) return false;
    const float x = PositionOf("Player").x, half = HalfView() - 0.4f;
    bool wanted = false;
    for (Entity* enemy : Enemies()) {
        auto movement = PartOf<EnemyMovement>(enemy, ENEMYMOVEMENT);
        const float ex = PositionOf(enemy).x;
        wanted = wanted || (movement->purifiable_now && movement->state != ENEMY_DOWN && movement->state != ENEMY_PURIFIED &&
                            std::fabs(ex - x) < half);
    }
    if (Entity* boss = Boss()) {
        auto behaviour = PartOf<BossBehaviour>(boss, BOSSBEHAVIOUR);
        wanted = wanted || (behaviour && behaviour->state != BOSS_DOWN && HpOf(boss) < 1 &&
                            std::fabs(PositionOf(boss).x - x) < half);
    }
    if (!wanted) return false;
    keys_.ReleaseAll();
    PressKey(Platform::VK_SPACE_KEY);
    space_at_ = frame;
    return true;
}

// ---- Fighting -----------------------------------------------------------------------------------

// Dora's foe first (her help icon hangs over it), else the foe of the frame before while it fights
// on in view: a person does not turn to whichever foe is a step nearer. Null when none is in view.
Entity* GameBot::FoeInView()
{
    const Vec3 at = PositionOf("Player");
    auto in_view = [&](Entity* e) { return InFight(e) && std::fabs(PositionOf(e).x - at.x) <= HalfView() - 0.5f; };
    auto dora = PartOf<AIMovement>(Companion(), AIMOVEMENT);
    Entity* dora_foe = dora ? dora->GetTarget() : nullptr;
    if (dora_foe && in_view(dora_foe) && Alive(dora_foe)) foe_id_ = dora_foe->id;
    Entity* foe = LiveById(foe_id_);
    if (!in_view(foe)) foe = nullptr;
    for (Entity* e : EntitiesWhere([](Entity* e) { return TagOf(e) == TAG_ENEMY || TagOf(e) == TAG_BOSS; })) {
        if (foe_id_ && foe) break;
        if (!in_view(e)) continue;
        if (!foe || std::fabs(PositionOf(e).x - at.x) < std::fabs(PositionOf(foe).x - at.x)) foe = e;
    }
    foe_id_ = foe ? foe->id : 0;
    return foe;
}

// The debug keys of a run with weakened foes: Shift+M on a fight's enemies, Shift+K on a boss
// fighting alone.
void GameBot::WeakenWithDebugKeys(bool boss)
{
    if (!options_.weaken || Dying()) return;
    if (!boss && frame - weakened_at_ > 60) {
        ShiftChord('M');
        weakened_at_ = frame;
        ++visits.back().debug_keys;
    }
    if (boss && !boss_weakened_ && Enemies().empty()) {
        ShiftChord('K');
        boss_weakened_ = true;
        ++visits.back().debug_keys;
    }
}

// The nearest foe on screen: Dora fights it, Ilo weakens it with spells from a few steps away (the
// boss from further, out of reach of the boulders it drops around itself), in line with the
// spell's flight; one beaten or still appearing is waited for nearby.
bool GameBot::Fight()
{
    Entity* foe = FoeInView();
    if (!foe) return false;
    PlayerController* ilo = IloController();
    const Vec3 at = PositionOf("Player");
    heading_ = 1.0f;
    if (!Alive(foe)) {
        const float side = at.x <= PositionOf(foe).x ? -1.0f : 1.0f;
        WalkTo(PositionOf(foe).x + side * 2.5f, at.y, 0.5f);
        return true;
    }
    LevelVisit& visit = visits.back();
    const bool boss = TagOf(foe) == TAG_BOSS;
    WeakenWithDebugKeys(boss);
    if (ilo->state == PS_Cast || frame - cast_at_ < 20) {
        keys_.ReleaseAll();
        return true;
    }
    if (auto behaviour = PartOf<BossBehaviour>(foe, BOSSBEHAVIOUR)) {
        if (behaviour->state == BOSS_TELEPORTING_OUT || behaviour->state == BOSS_TELEPORTING_IN) {
            keys_.ReleaseAll();
            return true;
        }
    }
    const uint64_t spell = ChooseSpell(foe, *ilo);
    const Vec3 target = PositionOf(foe);
    const WorldBox box = BoxOf(foe);
    const Walkway way = WalkwayOfScene();
    const float line = std::clamp(box.Centre().y + kSpellDrop, way.low, way.high);
    const float side = at.x <= target.x ? -1.0f : 1.0f;
    const float dx = std::fabs(target.x - at.x);
    // A foe that goes for Ilo himself (a speed enemy) follows every step he takes away from it:
    // backing off would only lead it along the level, past the spawners and away from Dora. He
    // stands his ground, casting from where he is, and lets her come up and take it on.
    auto movement = PartOf<EnemyMovement>(foe, ENEMYMOVEMENT);
    const bool after_ilo = movement && movement->GetTarget() == LiveEntity("Player");
    const float near = boss ? 3.8f : after_ilo ? 0.0f : 1.5f, keep = boss ? 4.5f : 3.0f;
    if (spell == 0) {
        // Nothing left to weaken: keep out of the fight's way.
        if (after_ilo) keys_.ReleaseAll();
        else WalkTo(target.x + side * keep, at.y, 0.5f);
        return true;
    }
    if (std::fabs(at.y - line) > 0.25f || dx < near || dx > 6.5f) {
        WalkTo(after_ilo && dx <= 6.5f ? at.x : target.x + side * keep, line, 0.2f);
        return true;
    }
    const int32_t facing = side < 0.0f ? 1 : 0;
    if (ilo->facing != facing) {
        // A tap towards the foe turns Ilo round.
        keys_.ReleaseAll();
        PressKey(facing == 1 ? 'D' : 'A');
        return true;
    }
    keys_.ReleaseAll();
    PressKey(spell);
    cast_at_ = frame;
    ++visit.spells_cast;
    return true;
}

// ---- Walking ------------------------------------------------------------------------------------

// Right along the level, in a lane clear of hazards, up to a barrier that is still shut; from
// the level's right wall back left, until something to fight comes into view.
void GameBot::Advance()
{
    const Vec3 at = PositionOf("Player");
    const Walkway way = WalkwayOfScene();
    const WorldBox right_wall = BoxOf(LiveEntity("Bound_Right"));
    if (right_wall.valid && at.x + kIloHalfWidth > right_wall.min.x - 0.3f) heading_ = -1.0f;
    float goal = at.x + 3.0f * heading_;
    for (Entity* barrier : EntitiesNamed("Barrier")) {
        const WorldBox box = BoxOf(barrier);
        if (barrier->active && box.valid && box.min.x > at.x && box.min.x - at.x < 4.0f) goal = std::min(goal, box.min.x - 1.2f);
    }
    const float middle = (way.low + way.high) * 0.5f;
    const float preferred = std::fabs(at.y - middle) < 0.6f ? at.y : middle;
    // A first-time player keeps to the lane he is in.
    float lane = options_.first_time ? at.y : SafeLane(at.x, heading_, preferred);
    if (std::isnan(lane)) lane = at.y;
    WalkTo(goal, lane, 0.15f);
}

// The lane nearest `preferred` in which Ilo can walk from x a few steps in `direction` without
// touching a hazard, looking less far ahead when no lane is clear that far; NaN when none is.
float GameBot::SafeLane(float x, float direction, float preferred) const
{
    const Walkway way = WalkwayOfScene();
    for (float reach : {2.5f, 1.0f, 0.4f}) {
        float best = std::numeric_limits<float>::quiet_NaN();
        for (float y = way.low; y <= way.high + 1e-3f; y += 0.2f) {
            // A lane keeps clear by more than the walk's tolerance above and below.
            WorldBox corridor = IloBoxAt(x, y);
            if (direction > 0.0f) corridor.max.x += reach;
            else corridor.min.x -= reach;
            corridor.min.y -= 0.2f;
            corridor.max.y += 0.2f;
            if (Dangerous(corridor)) continue;
            if (std::isnan(best) || std::fabs(y - preferred) < std::fabs(best - preferred)) best = y;
        }
        if (!std::isnan(best)) return best;
    }
    return std::numeric_limits<float>::quiet_NaN();
}

bool GameBot::Dangerous(const WorldBox& ilo) const
{
    if (options_.first_time || (options_.die_once && !died_in_.count(scene_))) return false;
    for (const WorldBox& hazard : Hazards(frame > cross_poison_until_)) {
        if (hazard.Overlaps(ilo)) return true;
    }
    return false;
}

// Holds the keys towards (x, y); a step that would go into a hazard is not taken, and standing in
// one Ilo steps out the nearest way.
void GameBot::WalkTo(float x, float y, float tolerance)
{
    const Vec3 at = PositionOf("Player");
    const Walkway way = WalkwayOfScene();
    y = std::clamp(y, way.low, way.high);
    float dx = x - at.x, dy = y - at.y;
    if (Dangerous(IloBoxAt(at.x, at.y))) {
        // Out of it: the first clear spot of a short step in each direction.
        static const float kSteps[][2] = {{0, 0.8f}, {0, -0.8f}, {-0.8f, 0}, {0.8f, 0}, {0, 1.4f}, {0, -1.4f}, {-1.5f, 0}};
        for (const auto& step : kSteps) {
            const float nx = at.x + step[0], ny = std::clamp(at.y + step[1], way.low, way.high);
            if (!Dangerous(IloBoxAt(nx, ny))) {
                dx = nx - at.x;
                dy = ny - at.y;
                break;
            }
        }
    } else {
        const float sx = dx > tolerance ? 0.3f : dx < -tolerance ? -0.3f : 0.0f;
        const float sy = dy > tolerance ? 0.3f : dy < -tolerance ? -0.3f : 0.0f;
        if (sx != 0.0f && Dangerous(IloBoxAt(at.x + sx, at.y + sy))) {
            // Round it, up or down first, to the exact lane; or wait for it to pass.
            const float step = dy > 0.02f ? 0.3f : dy < -0.02f ? -0.3f : 0.0f;
            if (step != 0.0f && !Dangerous(IloBoxAt(at.x, at.y + step))) tolerance = 0.02f;
            else dy = 0.0f;
            dx = 0.0f;
            // Hemmed in for a while: a poison floor does not go away, so he hurries across it.
            if (dy == 0.0f && ++blocked_frames_ > 40) {
                cross_poison_until_ = frame + 60;
                blocked_frames_ = 0;
            }
        } else if (sy != 0.0f && Dangerous(IloBoxAt(at.x, at.y + sy))) {
            dy = 0.0f;
        }
    }
    keys_.Hold('D', dx > tolerance);
    keys_.Hold('A', dx < -tolerance);
    keys_.Hold('W', dy > tolerance);
    keys_.Hold('S', dy < -tolerance);
}

// ---- The level ----------------------------------------------------------------------------------

void GameBot::Level()
{
    LevelVisit& visit = visits.back();
    ++visit.frames;
    PlayerController* ilo = IloController();
    if (!ilo) return;
    visit.lowest_hp = std::min(visit.lowest_hp, HpOf("Player"));
    if (visit.full_hp == 0) visit.full_hp = HpOf("Player");
    if (Entity* dora = Companion()) {
        visit.lowest_dora_hp = std::min(visit.lowest_dora_hp, HpOf(dora));
        if (visit.dora_full_hp == 0) visit.dora_full_hp = HpOf(dora);
    }
    if (scene_frames_ < 10) return;
    const bool dying = Dying();
    if (options_.god_mode && !dying && !ilo->GetGodMode() && frame - god_key_at_ > 5) {
        ShiftChord('G');
        god_key_at_ = frame;
        ++visit.debug_keys;
        return;
    }
    if (ReadDialogue() || ReadPictures()) return;
    if (dying && !LevelHasHazards() && SeekFoe()) return;
    if (TypeCombination() || StartPurification()) return;
    if (options_.first_time) {
        CallDoraWhenLow();
        if (!FightAsFirstTimer()) Advance();
        return;
    }
    CallDoraBack();
    if ((dying && SeekHarm()) || Fight()) return;
    Advance();
}

bool GameBot::Dying() const { return options_.die_once && !died_in_.count(scene_); }

bool GameBot::LevelHasHazards() const
{
    return !Hazards().empty() || !EntitiesWhere([](Entity* e) { return ScriptOf<HazardZoneScript>(e) != nullptr; }).empty();
}

// With nothing in the level that falls or burns, only a foe does harm, and only to Dora: each
// purification Ilo begins and breaks off with a second Space sends the weakened foe back at her.
bool GameBot::SeekFoe()
{
    if (IsPurifying) {
        keys_.ReleaseAll();
        if (frame - space_at_ > 5) {
            PressKey(Platform::VK_SPACE_KEY);
            space_at_ = frame;
        }
        return true;
    }
    PlayerController* ilo = IloController();
    const Vec3 at = PositionOf("Player");
    Entity* foe = nullptr;
    for (Entity* e : Enemies()) {
        if (InFight(e) && std::fabs(PositionOf(e).x - at.x) < HalfView() - 0.5f) foe = e;
    }
    if (!ilo || !foe) return false;
    auto movement = PartOf<EnemyMovement>(foe, ENEMYMOVEMENT);
    const Vec3 target = PositionOf(foe);
    if (movement->purifiable_now && !ilo->purification.cooldown && !ilo->lock_purification && frame - space_at_ > 10) {
        PressKey(Platform::VK_SPACE_KEY);
        space_at_ = frame;
        return true;
    }
    const float side = at.x <= target.x ? -1.0f : 1.0f;
    WalkTo(target.x + side * 0.6f, target.y - 0.7f, 0.15f);
    return true;
}

// Ilo walks into harm: onto the near edge of a boulder or spike ring before it comes down, with
// Dora on his other side so that it misses her, or into a rockfall zone to wait for its rings.
bool GameBot::SeekHarm()
{
    const Vec3 at = PositionOf("Player");
    const float reach = HalfView() - 0.5f;
    auto distance = [&](Entity* e) { return std::fabs(BoxOf(e).Centre().x - at.x); };
    Entity* ring = nullptr;
    Entity* zone = nullptr;
    for (Entity* e : EntitiesWhere([](Entity* e) { return BoxOf(e).valid; })) {
        if (distance(e) > reach) continue;
        const bool is_ring = e->name.rfind("Boulder_Prefab", 0) == 0 || e->name.rfind("Spike_Prefab", 0) == 0;
        if (is_ring && (!ring || distance(e) < distance(ring))) ring = e;
        if (ScriptOf<HazardZoneScript>(e) && (!zone || distance(e) < distance(zone))) zone = e;
    }
    if (ring) {
        const WorldBox box = BoxOf(ring);
        const float dora_x = PositionOf(Companion()).x;
        const float side = Companion() && dora_x < box.Centre().x ? -1.0f : 1.0f;
        WalkTo(box.Centre().x + side * 0.6f, box.Centre().y + kIloBoxDrop, 0.08f);
        return true;
    }
    if (!zone) return false;
    WalkTo(BoxOf(zone).Centre().x, BoxOf(zone).Centre().y + kIloBoxDrop, 0.3f);
    return true;
}

// Dora left far behind (stuck at a wall, or fighting alone) is called back with Down.
void GameBot::CallDoraBack()
{
    Entity* dora = Companion();
    auto* script = ScriptOf<AIScript>(dora);
    if (!dora || !script) return;
    const bool far = std::fabs(PositionOf(dora).x - PositionOf("Player").x) > HalfView() + 2.0f;
    if (!far) {
        dora_far_since_ = -1;
        return;
    }
    if (dora_far_since_ < 0) dora_far_since_ = frame;
    if (frame - dora_far_since_ < 60 || script->GetCooldownLeft() > 0.0f || frame - recalled_at_ < 120) return;
    PressKey(Platform::VK_DOWN_KEY);
    recalled_at_ = frame;
}

void GameBot::Trace()
{
    std::ostringstream out;
    const Vec3 at = PositionOf("Player");
    out << frame << ' ' << scene_ << " ilo(" << at.x << ',' << at.y << " hp " << HpOf("Player");
    if (PlayerController* ilo = IloController()) {
        out << " st " << ilo->state << " cd " << ilo->purification.cooldown << " god " << ilo->GetGodMode() << " keys ";
        for (char key : {'W', 'A', 'S', 'D'}) out << (keys_.Holds(static_cast<uint64_t>(key)) ? key : '.');
        if (auto body = PartOf<RigidBody2D>(LiveEntity("Player"), RIGIDBODY2D)) out << " v " << body->velocity.x << ',' << body->velocity.y;
        if (auto sprite = PartOf<Sprite>(LiveEntity("Player"), SPRITE)) {
            out << ' ' << sprite->tex_identifier << ' ' << sprite->current_frame << '/' << sprite->number_of_frames << " sel "
                << ilo->selected_spell << " scd " << ilo->spell_cooldown << " hit " << ilo->hit << " lock " << ilo->hurt_lock;
        }
    }
    out << ")";
    if (Entity* dora = Companion()) {
        const Vec3 d = PositionOf(dora);
        auto movement = PartOf<AIMovement>(dora, AIMOVEMENT);
        out << " dora(" << d.x << ',' << d.y << " hp " << HpOf(dora) << " st " << (movement ? movement->state : -1) << ")";
    }
    for (Entity* e : EntitiesWhere([](Entity* e) { return TagOf(e) == TAG_ENEMY || TagOf(e) == TAG_BOSS; })) {
        const Vec3 p = PositionOf(e);
        auto movement = PartOf<EnemyMovement>(e, ENEMYMOVEMENT);
        auto boss = PartOf<BossBehaviour>(e, BOSSBEHAVIOUR);
        out << ' ' << e->name << '(' << p.x << ',' << p.y << " hp " << HpOf(e) << " st "
            << (movement ? movement->state : boss ? boss->state : -1) << (movement && movement->purifiable_now ? " P" : "")
            << ')';
    }
    if (auto* manager = ScriptOf<LevelManagerScript>(LiveEntity("LevelManager"))) out << " count " << manager->enemy_count;
    for (Entity* e : EntitiesWhere([](Entity* e) { return ScriptOf<DialogueScript>(e) != nullptr; })) {
        auto* pictures = ScriptOf<DialogueScript>(e);
        out << ' ' << e->name << "(armed " << pictures->armed << " shown " << pictures->shown << " pic "
            << pictures->current_picture << ")";
    }
    out << (IsPurifying ? " PURIFYING" : "") << (DialogueIsRunning ? " DIALOGUE" : "");
    std::cerr << out.str() << std::endl;
}

} // namespace OrvTest
