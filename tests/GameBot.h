// A bot that plays the real game (GameRunFixture.h) the way a person does: it reads what the screen
// shows from the live scene (where Ilo, Dora, the enemies and the hazards are, the arrows a
// purification asks for, the line in the dialogue box, the selected button) and answers with keys
// pushed as the window pushes them. Also the scene queries the level tests share.
#pragma once

#include "GameRunFixture.h"

#include "Components/BoxCollider.h"
#include "Components/Sprite.h"
#include "Components/Stats.h"
#include "Components/Transform.h"
#include "Factory/Information.h"
#include "Logic/EnemyMovement.h"
#include "Logic/PlayerController.h"
#include "Scripts/ScriptSystem.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace OrvTest {

// ---- Reading the live scene -------------------------------------------------------------------

template <class T>
std::shared_ptr<T> PartOf(OrvEngine::Entity* entity, int type)
{
    return entity ? entity->GetComponent<T>(type) : nullptr;
}

inline OrvEngine::Entity* LiveById(uint64_t id)
{
    auto scene = OrvEngine::OrvStateMachine ? OrvEngine::OrvStateMachine->GetCurrentScene() : nullptr;
    return scene && id ? scene->GetEntity(id) : nullptr;
}

inline uint32_t TagOf(OrvEngine::Entity* entity)
{
    auto info = PartOf<OrvEngine::Information>(entity, OrvEngine::INFORMATION);
    return info ? info->GetType() : OrvEngine::TAG_NONE;
}

inline OrvEngine::Vec3 PositionOf(OrvEngine::Entity* entity)
{
    auto transform = PartOf<OrvEngine::Transform>(entity, OrvEngine::TRANSFORM);
    return transform ? transform->position : OrvEngine::Vec3();
}

inline OrvEngine::Vec3 PositionOf(const std::string& name) { return PositionOf(LiveEntity(name)); }

// Puts the named entity at x, y (its depth stays); nothing when it is not there.
inline void MoveTo(const std::string& name, float x, float y)
{
    if (auto transform = PartOf<OrvEngine::Transform>(LiveEntity(name), OrvEngine::TRANSFORM)) {
        transform->position.x = x;
        transform->position.y = y;
    }
}

inline int32_t HpOf(OrvEngine::Entity* entity)
{
    auto stats = PartOf<OrvEngine::Stats>(entity, OrvEngine::STATS);
    return stats ? stats->hp : -1;
}

inline int32_t HpOf(const std::string& name) { return HpOf(LiveEntity(name)); }

inline OrvEngine::PlayerController* IloController()
{
    return PartOf<OrvEngine::PlayerController>(LiveEntity("Player"), OrvEngine::PLAYERCONTROLLER).get();
}

// The scene's enemies: tag 3 with an EnemyMovement.
inline std::vector<OrvEngine::Entity*> Enemies()
{
    return EntitiesWhere([](OrvEngine::Entity* e) {
        return TagOf(e) == OrvEngine::TAG_ENEMY && PartOf<OrvEngine::EnemyMovement>(e, OrvEngine::ENEMYMOVEMENT);
    });
}

// An axis-aligned box in world units.
struct WorldBox {
    OrvEngine::Vec2 min, max;
    bool valid = false;
    bool Overlaps(const WorldBox& o) const
    {
        return valid && o.valid && !(o.min.x > max.x || min.x > o.max.x || o.min.y > max.y || min.y > o.max.y);
    }
    WorldBox Grown(float by) const
    {
        return {OrvEngine::Vec2(min.x - by, min.y - by), OrvEngine::Vec2(max.x + by, max.y + by), valid};
    }
    OrvEngine::Vec2 Centre() const { return (min + max) * 0.5f; }
};

inline WorldBox BoxOf(OrvEngine::Entity* entity)
{
    auto box = PartOf<OrvEngine::BoxCollider>(entity, OrvEngine::BOXCOLLIDER);
    if (!box) return {};
    return {box->GetMin(), box->GetMax(), true};
}

// Dora (the scene's companion) and the boss, or null.
OrvEngine::Entity* Companion();
OrvEngine::Entity* Boss();
// Half the camera's view width.
float HalfView();

// The heights Ilo's origin can take between the level's top and bottom walls.
struct Walkway {
    float low = -10.0f, high = 10.0f;
};
Walkway WalkwayOfScene();

// A foe spells still weaken: in the fight, out of its appearing animation and not yet beaten.
bool Alive(OrvEngine::Entity* foe);
// An enemy or boss still in the fight: not down or purified, whatever its hit points.
bool InFight(OrvEngine::Entity* foe);
// The height Ilo stands at for his spells to fly through `foe`.
float SpellLine(OrvEngine::Entity* foe);

// ---- The bot ----------------------------------------------------------------------------------

struct BotOptions {
    bool god_mode = false;  // Shift+G as each level starts
    bool weaken = false;    // Shift+M on a fight's enemies, Shift+K on a boss fighting alone
    bool die_once = false;  // in each level Ilo first walks into harm until he dies, then plays on
    // Plays as a first-time player (GameBotFirstPlay.cpp): walks on in his own lane without minding
    // hazards, casts the spells in turn at the nearest foe, calls Dora back at half her health.
    bool first_time = false;
    // From the main menu after the end screen, Play again instead of Quit.
    bool play_again = false;
};

// What the bot saw of one visit to a level.
struct LevelVisit {
    std::string scene;
    int frames = 0;
    int lowest_hp = 1000, lowest_dora_hp = 1000;
    // Ilo's and Dora's hp as the level began.
    int full_hp = 0, dora_full_hp = 0;
    int spells_cast = 0, purifications = 0, wrong_arrows = 0;
    int debug_keys = 0;
    bool died = false;
};

class GameBot {
public:
    explicit GameBot(BotOptions options) : options_(options) {}

    // One frame: reads the scene and pushes this frame's keys. Call from the event source.
    void Frame();
    // The end screen has been left for the main menu and the exit box's Yes pressed.
    bool QuitPressed() const { return quit_pressed_; }

    // Scenes entered, in order.
    std::vector<std::string> scenes;
    // Scene changes that did not happen the way the flow intends, with what the bot saw last.
    std::vector<std::string> wrong_exits;
    // Every line and speaker tag read in the box, by the line's entity; every picture shown.
    std::map<std::string, std::vector<std::string>> lines, speakers;
    std::map<std::string, std::vector<std::string>> pictures;
    std::vector<LevelVisit> visits;
    // Set by a test to stop at a scene (the run then closes itself).
    std::string stop_at;
    int frame = 0;
    // One line per second of play on standard error when ORV_BOT_TRACE is set.
    bool trace = false;

private:
    enum class Exit { None, Timer, Button, Trigger, Boss, FadeOut, Death };

    void EnterScene(const std::string& name);
    void CheckExit(const std::string& from, const std::string& to);
    Exit ExpectedExit(const std::string& from, const std::string& to) const;
    std::string ExitSeen() const;

    void Menu();
    void PressButton(const std::string& button);
    void Level();
    bool ReadDialogue();
    bool ReadPictures();
    bool TypeCombination();
    bool StartPurification();
    OrvEngine::Entity* FoeInView();
    void WeakenWithDebugKeys(bool boss);
    bool Fight();
    void Advance();
    bool Dying() const;
    bool LevelHasHazards() const;
    bool SeekHarm();
    bool SeekFoe();
    void WalkTo(float x, float y, float tolerance);
    float SafeLane(float x, float direction, float preferred) const;
    bool Dangerous(const WorldBox& ilo) const;
    void CallDoraBack();
    bool FightAsFirstTimer();
    void CallDoraWhenLow();
    void Trace();

    BotOptions options_;
    HeldKeys keys_;
    std::string scene_;
    int scene_frames_ = 0;
    int waited_ = 0;
    bool quit_pressed_ = false;
    bool levels_done_ = false;
    std::set<std::string> died_in_;
    // The last button pressed and when; the last Enter for a dialogue.
    std::string pressed_button_;
    int pressed_at_ = -1000;
    int enter_down_at_ = -1000;
    int arrow_at_ = -1000;
    size_t arrows_typed_ = 0;
    int weakened_at_ = -1000;
    int recalled_at_ = -1000;
    int menu_key_at_ = -1000;
    int space_at_ = -1000;
    int cast_at_ = -1000;
    int god_key_at_ = -1000;
    uint64_t foe_id_ = 0;
    uint64_t line_id_ = 0;
    int line_seen_at_ = -1000;
    uint64_t picture_id_ = 0;
    int picture_seen_at_ = -1000;
    int dora_far_since_ = -1;
    int blocked_frames_ = 0;
    int cross_poison_until_ = -1000;
    bool boss_weakened_ = false;
    // The first-time player's spells, cast in turn.
    size_t next_spell_ = 0;
    // The way Ilo walks when nothing needs him: right, or left back from the level's right wall.
    float heading_ = 1.0f;
    // What the bot saw in the frame before, to judge how the scene was left.
    Exit exit_seen_ = Exit::None;
    std::string last_seen_;
};

} // namespace OrvTest
