// The boss script in a scene built in code with a fixed frame time: the state machine and its
// textures, the teleports, both attack tables on both sides, the spell debuffs, the boss's place
// among the purifiable targets, and the end of the fight. The boss and its death animation are the
// shipped prefabs; the enemies, boulders, icons and marker it spawns are small test prefabs.
#include "GameplayFixture.h"

#include "Components/Child.h"
#include "Components/Parent.h"
#include "Components/ScriptComponent.h"
#include "Logic/SpellKind.h"
#include "Logic/Spells.h"
#include "Scripts/Boss/BossScript.h"
#include "Scripts/Level/LevelManagerLink.h"
#include "Scripts/Level/LevelManagerScript.h"
#include "Scripts/ScriptHelpers.h"

#include <rapidjson/document.h>

#include <algorithm>
#include <cctype>
#include <regex>
#include <utility>
#include <vector>

using namespace OrvEngine;
using OrvTest::EntitiesNamed;

namespace {

constexpr float kDt = 0.125f;  // exact in binary, so the timers add up exactly
const Vec2 kHome(10.0f, -1.0f);

// One entity: Information and a Transform at the origin, with a box, or with an icon's Sprite and Child.
std::string TestPrefab(const std::string& name, unsigned type, bool box, bool icon)
{
    std::string text = "{\"" + name + "\": [{\"Information\": [{\"name\": \"" + name + "\", \"type\": " +
                       std::to_string(type) + ", \"active\": true}], \"Transform\": [{\"position\": [{\"x\": 0.0, "
                       "\"y\": 0.0, \"z\": 1.0}], \"rotation\": 0.0, \"scale\": [{\"x\": 1.0, \"y\": 1.0, \"z\": 1.0}]}]";
    if (box) {
        text += ", \"BoxCollider\": [{\"is_trigger\": true, \"position\": [{\"x\": 0.0, \"y\": 0.0}], "
                "\"following_transform\": true, \"size\": [{\"x\": 0.5, \"y\": 0.5}]}]";
    }
    if (icon) text += ", \"Sprite\": [{\"number_of_frames\": 1}], \"Child\": [{\"follows_x\": true, \"follows_y\": true}]";
    return text + "}]}";
}

struct Placed {
    std::string prefab;
    Vec2 at;
    Vec2 box;
};

class BossScriptTest : public OrvTest::GameplayTest {
protected:
    void SetUp() override
    {
        GameplayTest::SetUp();
        RegisterComponent<Audio>("Audio", AUDIO);
        RegisterScripts();
        Platform::SeedRandom(7);
        EntityFactory* factory = EntityFactory::GetInstance();
        const std::pair<const char*, unsigned> spawned[] = {
            {"Atk_Enemy", TAG_ENEMY}, {"Def_Enemy", TAG_ENEMY}, {"Spd_Enemy", TAG_ENEMY}, {"Boulder_Prefab", TAG_OBSTACLE}};
        for (const auto& [name, tag] : spawned) {
            WriteData(std::string("Prefab/") + name + ".json", TestPrefab(name, tag, true, false));
            ASSERT_TRUE(factory->LoadPrefab(name)) << name;
        }
        for (const char* name : {"ATK_Debuff_UI", "DEF_Debuff_UI", "SPD_Debuff_UI", "UI_Enemy_Low_HP"}) {
            WriteData(std::string("Prefab/") + name + ".json", TestPrefab(name, TAG_OTHERS, false, true));
            ASSERT_TRUE(factory->LoadPrefab(name)) << name;
        }
        LoadShippedPrefabs({"Boss", "Boss_Death_UI"});
        SetTime(10.0, kDt);
        // The view is 20 wide around the player, so the boss at home is on screen.
        Entity* cam = OrvTest::MakeTransformEntity("Cam", Vec3(), Vec3(20.0f, 11.0f, 1.0f), 0);
        Scene()->AddEntity(cam->id, cam);
        player = MakePlayer(kHome.x - 3.0f, kHome.y);
        MakeInScene("LevelManager", TAG_GAME_MANAGER, Vec3(), Vec3(1.0f, 1.0f, 1.0f), "LevelManagerScript");
    }

    // The shipped boss prefab instanced at `at` with the given Stats, as a scene would make it.
    void SpawnBoss(Vec2 at = kHome, const OrvTest::StatsValues& values = {})
    {
        Entity* prefab = EntityFactory::GetInstance()->GetArchetypes().at("Boss");
        prefab->GetComponent<Transform>(TRANSFORM)->position = Vec3(at.x, at.y, 100.0f);
        auto prefab_stats = prefab->GetComponent<Stats>(STATS);
        prefab_stats->hp = values.hp;
        prefab_stats->attack = values.attack;
        prefab_stats->defense = values.defense;
        prefab_stats->speed_attack = values.speed_attack;
        boss = InstantiatePrefab("Boss");
        ASSERT_NE(boss, nullptr);
        script = std::dynamic_pointer_cast<BossScript>(ScriptSystem::GetInstance()->GetScript(boss->id)).get();
        ASSERT_NE(script, nullptr);
        behaviour = Boss(boss);
        sprite = Get<Sprite>(boss, SPRITE);
    }

    void Frame()
    {
        OrvCoreEngine->total += kDt;
        ScriptSystem::GetInstance()->Update();
    }
    // The boss's current animation reaches its last frame.
    void PlayOut() { sprite->current_frame = sprite->number_of_frames; }
    void PlayOutAndFrame()
    {
        PlayOut();
        Frame();
    }
    // Puts the boss into teleport-in, lets it play out, and returns the attack it chooses.
    int32_t Choice()
    {
        behaviour->state = BOSS_TELEPORTING_IN;
        Frame();
        PlayOutAndFrame();
        const int32_t chosen = behaviour->state;
        behaviour->state = BOSS_IDLE;
        behaviour->timer = 100.0f;
        return chosen;
    }

    Entity* MakeSpell(int32_t kind)
    {
        Entity* spell = OrvTest::MakeTransformEntity("Spell", Vec3(kHome.x, kHome.y, 1.0f), Vec3(1.0f, 1.0f, 1.0f),
                                                     TAG_RANGE_ATTACK);
        auto spells = std::make_shared<Spells>();
        spells->kind = kind;
        spells->SetCaster(player);
        spell->AddComponent(SPELLS, spells);
        Scene()->AddEntity(spell->id, spell);
        return spell;
    }
    void Hit(int32_t kind) { script->OnCollision(boss, MakeSpell(kind)); }

    // What an attack spawned, in spawn order; the spawned entities are removed again.
    template <class Attack>
    std::vector<Placed> SpawnedBy(Attack attack)
    {
        const uint64_t before = EntityFactory::GetInstance()->last_id;
        attack();
        std::vector<Placed> placed;
        for (const auto& [id, entity] : Scene()->GetEntities()) {
            if (id <= before) continue;
            std::string prefab = entity->name;
            while (!prefab.empty() && std::isdigit(static_cast<unsigned char>(prefab.back()))) prefab.pop_back();
            const Vec3 at = TransformOf(entity)->position;
            placed.push_back({prefab, Vec2(at.x, at.y), Get<BoxCollider>(entity, BOXCOLLIDER)->GetPosition()});
            DestroyEntity(entity);
        }
        return placed;
    }

    // Stands the boss at `point` (one of the teleport points, or anywhere else).
    void StandAt(Vec2 point)
    {
        TransformOf(boss)->position = Vec3(point.x, point.y, 101.0f);
        script->current_point = point;
    }

    size_t Enemies() const
    {
        size_t count = 0;
        for (const char* prefix : {"Atk_Enemy", "Spd_Enemy", "Def_Enemy"}) count += EntitiesNamed(prefix).size();
        return count;
    }
    static LevelManagerScript* Level() { LevelManagerLink link; return link.Find() ? link.Get() : nullptr; }

    Entity* player = nullptr;
    Entity* boss = nullptr;
    BossScript* script = nullptr;
    std::shared_ptr<BossBehaviour> behaviour;
    std::shared_ptr<Sprite> sprite;
};

// The far point lies 7 to the left of home when Init finds the Transform, 5 when an update does.
TEST_F(BossScriptTest, TheFarPointLiesFurtherWhenInitFindsTheTransformThanWhenAnUpdateDoes)
{
    SpawnBoss();
    EXPECT_EQ(script->far_point, Vec2(kHome.x - 7.0f, kHome.y));

    Entity* late = EntityFactory::GetInstance()->CreateEntity("Boss_Late");
    BossScript late_script;
    late_script.Init(late);
    auto transform = std::make_shared<Transform>();
    transform->position = Vec3(4.0f, 2.0f, 0.0f);
    late->AddComponent(TRANSFORM, transform);
    late_script.Update(late);
    EXPECT_EQ(late_script.home_point, Vec2(4.0f, 2.0f));
    EXPECT_EQ(late_script.far_point, Vec2(-1.0f, 2.0f));
    EXPECT_EQ(late_script.current_point, late_script.home_point);
    EntityFactory::GetInstance()->DestroyEntity(late);
}

TEST_F(BossScriptTest, CycleShowsEachStateTextureAndTeleportsBetweenHomeAndTheFarPoint)
{
    SpawnBoss();
    behaviour->ratio_to_spawn_enemy = 1;
    behaviour->ratio_to_spawn_terrain = 0;
    behaviour->max_num_of_enemy = 5;
    auto transform = TransformOf(boss);

    Frame();  // the timer starts at 0: the boss leaves idle at once
    EXPECT_EQ(behaviour->state, BOSS_TELEPORTING_OUT);
    EXPECT_EQ(sprite->tex_identifier, "Anim_Boss_TeleOut");
    EXPECT_EQ(sprite->current_frame, 1);
    EXPECT_FLOAT_EQ(transform->position.z, 101.0f);
    Entity* icon = FindLiveEntity(script->debuffs.attack.icon);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(TransformOf(icon)->position, Vec3(kHome.x - 0.35f, kHome.y - 0.1f, 102.0f));
    Frame();
    EXPECT_EQ(behaviour->state, BOSS_TELEPORTING_OUT) << "still playing";

    PlayOutAndFrame();
    EXPECT_EQ(behaviour->state, BOSS_TELEPORTING_IN);
    EXPECT_EQ(sprite->tex_identifier, "Anim_Boss_TeleIn");
    EXPECT_EQ(transform->GetPosition2D(), Vec2(kHome.x - 7.0f, kHome.y));
    EXPECT_EQ(script->current_point, script->far_point);
    EXPECT_FLOAT_EQ(transform->scale.x, -2.0f);
    EXPECT_FLOAT_EQ(TransformOf(icon)->position.x, kHome.x - 0.35f - 7.0f) << "icons follow by the same displacement";

    PlayOutAndFrame();
    EXPECT_EQ(behaviour->state, BOSS_SPAWNING_ENEMIES);
    EXPECT_EQ(sprite->tex_identifier, "Anim_Boss_SpawnEnemy");
    EXPECT_EQ(Enemies(), 0u) << "the wave comes on the next frame";
    Frame();
    const size_t wave = Enemies();
    EXPECT_GE(wave, 1u);
    EXPECT_FLOAT_EQ(behaviour->timer, behaviour->cooldown_spawning_enemy);
    Frame();
    EXPECT_EQ(Enemies(), wave) << "one wave per visit";
    PlayOutAndFrame();
    EXPECT_EQ(behaviour->state, BOSS_IDLE);
    EXPECT_EQ(sprite->tex_identifier, "Anim_Boss_Idle");

    int idle_frames = 0;
    while (behaviour->state == BOSS_IDLE && idle_frames < 100) {
        Frame();
        ++idle_frames;
    }
    EXPECT_GE(idle_frames, static_cast<int>(behaviour->cooldown_spawning_enemy / kDt) - 4) << "idle until the cooldown ran out";
    PlayOutAndFrame();
    EXPECT_EQ(transform->GetPosition2D(), kHome) << "the second teleport brings it home";
    EXPECT_FLOAT_EQ(transform->scale.x, 2.0f) << "facing the way it started";

    behaviour->ratio_to_spawn_enemy = 0;
    PlayOutAndFrame();
    EXPECT_EQ(behaviour->state, BOSS_SPAWNING_TERRAIN);
    EXPECT_EQ(sprite->tex_identifier, "Anim_Boss_SpawnTerrain");
    Frame();
    EXPECT_FALSE(EntitiesNamed("Boulder_Prefab").empty());
    EXPECT_FLOAT_EQ(behaviour->timer, behaviour->cooldown_spawning_terrain);
    PlayOutAndFrame();
    EXPECT_EQ(behaviour->state, BOSS_IDLE);

    // Hurt comes from the companion: its animation starts afresh even when the idle loop stood on
    // its last frame, and it returns to idle once played out.
    behaviour->state = BOSS_HURT;
    PlayOutAndFrame();
    EXPECT_EQ(behaviour->state, BOSS_HURT);
    EXPECT_EQ(sprite->tex_identifier, "Anim_Boss_Hurt");
    EXPECT_TRUE(sprite->play_once);
    PlayOutAndFrame();
    EXPECT_EQ(behaviour->state, BOSS_IDLE);
}

// A wave begun before Ilo reaches the arena would be walled in behind its barrier for good.
TEST_F(BossScriptTest, AnIdleBossOffIlosScreenWaitsAndStartsItsCycleOnceSeen)
{
    SpawnBoss();
    behaviour->ratio_to_spawn_terrain = 0;
    behaviour->max_num_of_enemy = 5;
    TransformOf(player)->position.x = kHome.x - 30.0f;
    for (int i = 0; i < 20; ++i) PlayOutAndFrame();
    EXPECT_EQ(behaviour->state, BOSS_IDLE);
    EXPECT_EQ(TransformOf(boss)->GetPosition2D(), kHome);
    EXPECT_EQ(Enemies(), 0u);

    TransformOf(player)->position.x = kHome.x - 3.0f;
    Frame();
    EXPECT_EQ(behaviour->state, BOSS_TELEPORTING_OUT);
}

TEST_F(BossScriptTest, AttackTablesOnBothSidesAndNothingSideBoundWhenElsewhere)
{
    SpawnBoss();
    const Vec2 far = script->far_point;
    ASSERT_EQ(far, Vec2(kHome.x - 7.0f, kHome.y));
    // Boulder offsets per pattern, along d (-1 at home, +1 at far).
    const std::vector<std::vector<Vec2>> patterns = {
        {{0.0f, 1.0f}, {0.5f, 1.0f}, {1.0f, 1.0f}, {1.5f, 1.0f}},
        {{0.0f, 0.0f}, {0.5f, 0.0f}, {1.0f, 0.0f}, {1.5f, 0.0f}},
        {{0.0f, -1.0f}, {0.5f, -1.0f}, {1.0f, -1.0f}, {1.5f, -1.0f}},
        {{0.0f, 1.0f}, {0.5f, -1.0f}, {1.0f, 1.0f}, {1.5f, -1.0f}, {2.0f, 1.0f}},
        {{3.0f, 1.0f}}};
    int boulders = 0;
    for (const auto& [point, d] : {std::pair{kHome, -1.0f}, std::pair{far, 1.0f}}) {
        StandAt(point);
        for (int pattern = 0; pattern < 5; ++pattern) {
            const std::vector<Placed> placed = SpawnedBy([&] { script->SpawnBoulderPattern(pattern); });
            ASSERT_EQ(placed.size(), patterns[pattern].size()) << "pattern " << pattern;
            for (size_t k = 0; k < placed.size(); ++k, ++boulders) {
                const Vec2 expected(point.x + patterns[pattern][k].x * d, point.y + patterns[pattern][k].y);
                EXPECT_EQ(placed[k].prefab, "Boulder_Prefab");
                EXPECT_EQ(placed[k].at, expected) << "pattern " << pattern << " boulder " << k << " d " << d;
                EXPECT_EQ(placed[k].box, Vec2(expected.x, expected.y - 1.0f)) << "the box sits 1.0 below";
            }
        }
        const std::vector<Placed> wave0 = SpawnedBy([&] { script->SpawnEnemyWave(0); });
        ASSERT_EQ(wave0.size(), 1u);
        EXPECT_EQ(wave0[0].prefab, "Atk_Enemy");
        EXPECT_EQ(wave0[0].at, Vec2(point.x + d, point.y)) << "one unit towards the other point";
        const std::vector<Placed> wave3 = SpawnedBy([&] { script->SpawnEnemyWave(3); });
        ASSERT_EQ(wave3.size(), 1u);
        EXPECT_EQ(wave3[0].prefab, "Def_Enemy");
        EXPECT_EQ(wave3[0].at, Vec2(point.x + 3.0f * d, point.y - d)) << "above at home, below at far";
        EXPECT_EQ(wave3[0].box, Vec2(point.x + 3.0f * d, point.y - d - 1.0f));
    }
    EXPECT_EQ(boulders, 36);

    // Waves 1 and 2 do not look at the side; the rest spawn nothing away from both points.
    for (Vec2 point : {kHome, far, Vec2(0.0f, 0.0f)}) {
        StandAt(point);
        const std::vector<Placed> wave1 = SpawnedBy([&] { script->SpawnEnemyWave(1); });
        ASSERT_EQ(wave1.size(), 2u);
        EXPECT_EQ(wave1[0].prefab, "Spd_Enemy");
        EXPECT_EQ(wave1[0].at, Vec2(point.x, point.y + 1.0f));
        EXPECT_EQ(wave1[1].prefab, "Atk_Enemy");
        EXPECT_EQ(wave1[1].at, Vec2(point.x, point.y - 1.0f));
        const std::vector<Placed> wave2 = SpawnedBy([&] { script->SpawnEnemyWave(2); });
        ASSERT_EQ(wave2.size(), 2u);
        EXPECT_EQ(wave2[0].prefab + wave2[1].prefab, "Spd_EnemySpd_Enemy");
    }
    for (int wave : {0, 3, 4, -1}) EXPECT_TRUE(SpawnedBy([&] { script->SpawnEnemyWave(wave); }).empty()) << wave;
    for (int pattern : {0, 1, 2, 3, 4, 5}) {
        EXPECT_TRUE(SpawnedBy([&] { script->SpawnBoulderPattern(pattern); }).empty()) << pattern;
    }
}

TEST_F(BossScriptTest, AttackChoiceFollowsTheRatiosAndTheCapAndReadsNegativeRatiosAsZero)
{
    SpawnBoss();
    behaviour->max_num_of_enemy = 2;
    struct Case {
        int32_t enemy_ratio, terrain_ratio, expected;
    };
    // Negative ratios would divide by zero (1, -1) or by a negative; they count as 0.
    for (const Case& c : {Case{0, 3, BOSS_SPAWNING_TERRAIN}, Case{2, 0, BOSS_SPAWNING_ENEMIES},
                          Case{-1, 0, BOSS_SPAWNING_TERRAIN}, Case{1, -1, BOSS_SPAWNING_ENEMIES},
                          Case{-2, 1, BOSS_SPAWNING_TERRAIN}}) {
        behaviour->ratio_to_spawn_enemy = c.enemy_ratio;
        behaviour->ratio_to_spawn_terrain = c.terrain_ratio;
        EXPECT_EQ(Choice(), c.expected) << c.enemy_ratio << ":" << c.terrain_ratio;
    }
    behaviour->ratio_to_spawn_enemy = 5;
    behaviour->ratio_to_spawn_terrain = 0;
    Level()->enemy_count = 2;
    EXPECT_EQ(Choice(), BOSS_SPAWNING_TERRAIN) << "at the enemy cap";

    Level()->enemy_count = 0;
    behaviour->ratio_to_spawn_enemy = 1;
    behaviour->ratio_to_spawn_terrain = 3;
    int waves = 0;
    for (int draw = 0; draw < 200; ++draw) waves += Choice() == BOSS_SPAWNING_ENEMIES;
    EXPECT_GT(waves, 25);
    EXPECT_LT(waves, 80);
}

TEST_F(BossScriptTest, SpellsDebuffByLevelShowTheIconsAndWearOffTenSecondsAfterTheLastHit)
{
    ShipSound("SFX_E_Hurt", "SFX_E_Hurt.ogg");
    SpawnBoss(kHome, {20, 3.0f, 7.0f, 6.0f});
    Frame();
    auto stats = StatsOf(boss);
    SoundEntry* hurt = nullptr;
    for (SoundEntry& entry : Get<Audio>(boss, AUDIO)->sounds) {
        if (entry.eventname == "SFX_E_Hurt") hurt = &entry;
    }
    ASSERT_NE(hurt, nullptr);
    hurt->file_name = "SFX_E_Hurt.ogg"; // the prefab was read before the sound was known
    EXPECT_FALSE(hurt->is_playing);
    Entity* atk_icon = FindLiveEntity(script->debuffs.attack.icon);
    ASSERT_NE(atk_icon, nullptr);
    EXPECT_FALSE(atk_icon->active);
    EXPECT_EQ(Get<Child>(atk_icon, CHILD)->GetParent(), Get<Parent>(boss, PARENT));

    Entity* spell = MakeSpell(SPELL_ATTACK);
    script->OnCollision(boss, spell);
    EXPECT_FLOAT_EQ(stats->attack, 5.0f) << "ceiling of 4.9";
    EXPECT_TRUE(atk_icon->active);
    EXPECT_EQ(Get<Sprite>(atk_icon, SPRITE)->tex_identifier, "ATK_Debuff_Lv1");
    EXPECT_FALSE(spell->active) << "used up";
    EXPECT_FALSE(hurt->is_playing) << "a spell deals no blow: no hurt sound";
    EXPECT_NE(behaviour->state, BOSS_HURT) << "nor the hurt state";
    const auto& removals = Controller(player)->spell_removals;
    EXPECT_NE(std::find(removals.begin(), removals.end(), spell->id), removals.end()) << "handed back to its caster";
    Hit(SPELL_ATTACK);
    EXPECT_FLOAT_EQ(stats->attack, 4.0f) << "ceiling of 3.5";
    Hit(SPELL_ATTACK);
    EXPECT_FLOAT_EQ(stats->attack, 1.0f);
    EXPECT_EQ(Get<Sprite>(atk_icon, SPRITE)->tex_identifier, "ATK_Debuff_Lv3");
    for (int k = 0; k < 3; ++k) Hit(SPELL_SPEED);
    EXPECT_FLOAT_EQ(stats->speed_attack, 3.0f * 0.1f) << "no ceiling for speed";
    Hit(SPELL_DEFENCE);
    EXPECT_FLOAT_EQ(stats->defense, 5.0f) << "ceiling of 4.2";

    for (int frame = 0; frame < 40; ++frame) Frame();
    Hit(SPELL_ATTACK);  // a fourth hit keeps level 3 and restarts its ten seconds
    EXPECT_FLOAT_EQ(stats->attack, 1.0f);
    EXPECT_EQ(script->debuffs.attack.level, 4);
    for (int frame = 0; frame < 40; ++frame) Frame();
    EXPECT_FLOAT_EQ(stats->speed_attack, 3.0f) << "speed and defence wore off";
    EXPECT_FLOAT_EQ(stats->defense, 6.0f);
    EXPECT_FLOAT_EQ(stats->attack, 1.0f);
    for (int frame = 0; frame < 39; ++frame) Frame();
    EXPECT_FLOAT_EQ(stats->attack, 1.0f);
    Frame();
    EXPECT_FLOAT_EQ(stats->attack, 7.0f);
    EXPECT_EQ(script->debuffs.attack.level, 0);
    EXPECT_FALSE(atk_icon->active);

    behaviour->state = BOSS_DOWN;
    spell = MakeSpell(SPELL_ATTACK);
    script->OnCollision(boss, spell);
    EXPECT_FLOAT_EQ(stats->attack, 7.0f) << "no debuff while down";
    EXPECT_FALSE(spell->active) << "but the spell is used up";
    Entity* bare = OrvTest::MakeTransformEntity("Bare", Vec3(), Vec3(1.0f, 1.0f, 1.0f), TAG_RANGE_ATTACK);
    Scene()->AddEntity(bare->id, bare);
    script->OnCollision(boss, bare);
    EXPECT_FALSE(bare->active) << "a range attack without Spells is used up too";
}

TEST_F(BossScriptTest, CountsAmongPurifiableTargetsOnceWhileOnScreenAndGivesOnlyThatBack)
{
    SpawnBoss();
    auto stats = StatsOf(boss);
    Frame();
    EXPECT_EQ(Level()->purifiable_on_screen, 0);
    EXPECT_EQ(script->debuffs.low_hp_marker, 0u);

    stats->hp = 0;
    Frame();
    Frame();
    EXPECT_EQ(Level()->purifiable_on_screen, 1) << "counted once";
    Entity* marker = FindLiveEntity(script->debuffs.low_hp_marker);
    ASSERT_NE(marker, nullptr);
    EXPECT_EQ(Get<Child>(marker, CHILD)->GetParent(), Get<Parent>(boss, PARENT));
    EXPECT_FLOAT_EQ(TransformOf(marker)->position.x, kHome.x);
    const float z = TransformOf(marker)->position.z;
    Frame();
    EXPECT_FLOAT_EQ(TransformOf(marker)->position.z, z + 300.0f);

    const uint64_t marker_id = marker->id;
    stats->hp = 3;
    Frame();
    EXPECT_EQ(Level()->purifiable_on_screen, 0);
    EXPECT_EQ(FindLiveEntity(marker_id), nullptr) << "the marker goes with the low health";

    stats->hp = -2;
    Frame();
    EXPECT_EQ(Level()->purifiable_on_screen, 1);
    TransformOf(player)->position.x = 100.0f;
    Frame();
    EXPECT_EQ(Level()->purifiable_on_screen, 0) << "off screen";
    TransformOf(player)->position.x = kHome.x;
    Frame();
    EXPECT_EQ(Level()->purifiable_on_screen, 1);

    Level()->enemy_count = 4;
    DestroyEntity(boss);
    EXPECT_EQ(Level()->purifiable_on_screen, 0);
    EXPECT_EQ(Level()->enemy_count, 4) << "the boss never raised the enemy count";
}

TEST_F(BossScriptTest, DownDownsTheEnemiesOnceAndEndsTheChapterOnlyAfterBothAnimations)
{
    SpawnBoss();
    Entity* first = MakeEnemy(kHome.x - 2.0f, kHome.y, {}, "Atk_One");
    Entity* second = MakeEnemy(kHome.x - 4.0f, kHome.y, {}, "Spd_Two");
    StatsOf(boss)->hp = 0;
    Frame();
    ASSERT_NE(script->debuffs.low_hp_marker, 0u);

    // The purification sets state 5 while the idle loop may stand on its last frame: the down
    // animation still plays from its start.
    behaviour->state = BOSS_DOWN;
    PlayOutAndFrame();
    EXPECT_EQ(Enemy(first)->state, ENEMY_DOWN);
    EXPECT_EQ(Enemy(second)->state, ENEMY_DOWN);
    EXPECT_EQ(script->debuffs.low_hp_marker, 0u);
    EXPECT_EQ(sprite->tex_identifier, "Anim_Boss_Down");
    EXPECT_TRUE(sprite->play_once);
    EXPECT_TRUE(EntitiesNamed("Boss_Death_UI").empty());

    Enemy(first)->state = ENEMY_IDLE;
    Frame();
    EXPECT_EQ(Enemy(first)->state, ENEMY_IDLE) << "downed once only";
    EXPECT_TRUE(OrvStateMachine->next_state.empty());

    PlayOutAndFrame();
    ASSERT_EQ(EntitiesNamed("Boss_Death_UI").size(), 1u);
    Entity* death = EntitiesNamed("Boss_Death_UI")[0];
    EXPECT_EQ(TransformOf(death)->GetPosition2D(), kHome);
    auto death_sprite = Get<Sprite>(death, SPRITE);
    EXPECT_EQ(death_sprite->tex_identifier, "Anim_Boss_Death");
    EXPECT_TRUE(death_sprite->play_once);
    for (int frame = 0; frame < 3; ++frame) Frame();
    EXPECT_EQ(EntitiesNamed("Boss_Death_UI").size(), 1u);
    EXPECT_TRUE(OrvStateMachine->next_state.empty()) << "the death animation is still playing";

    death_sprite->current_frame = death_sprite->number_of_frames;
    Frame();
    EXPECT_EQ(OrvStateMachine->next_state, "GameScene_24");
}

TEST_F(BossScriptTest, LowCooldownsAreRaisedOnceAndMissingOrRemovedPiecesAreSkipped)
{
    Entity* prefab = EntityFactory::GetInstance()->GetArchetypes().at("Boss");
    Boss(prefab)->cooldown_spawning_terrain = 0.0f;
    SpawnBoss();
    behaviour->ratio_to_spawn_enemy = 0;
    behaviour->state = BOSS_TELEPORTING_IN;
    Frame();
    PlayOutAndFrame();
    ASSERT_EQ(behaviour->state, BOSS_SPAWNING_TERRAIN);
    Frame();
    EXPECT_FLOAT_EQ(behaviour->timer, BossScript::kMinCooldown);
    int lines = 0;
    for (const std::string& line : OrvTest::Lines(LogText())) lines += OrvTest::Contains(line, "cooldown_spawning_terrain");
    EXPECT_EQ(lines, 1);

    // Icons and marker removed behind the boss's back read as gone.
    StatsOf(boss)->hp = 0;
    Frame();
    DestroyEntity(FindLiveEntity(script->debuffs.attack.icon));
    DestroyEntity(FindLiveEntity(script->debuffs.low_hp_marker));
    Hit(SPELL_ATTACK);
    behaviour->state = BOSS_TELEPORTING_OUT;
    Frame();
    PlayOutAndFrame();
    EXPECT_EQ(behaviour->state, BOSS_TELEPORTING_IN);
    EXPECT_NE(FindLiveEntity(script->debuffs.defence.icon), nullptr);

    // A bare boss (BossBehaviour and Transform only, no level manager needed) leaves idle and waits.
    Entity* bare = OrvTest::MakeTransformEntity("Bare", Vec3(), Vec3(1.0f, 1.0f, 1.0f), TAG_BOSS);
    bare->AddComponent(BOSSBEHAVIOUR, std::make_shared<BossBehaviour>());
    auto script_component = std::make_shared<ScriptComponent>();
    script_component->file_name = "BossScript";
    bare->AddComponent(SCRIPTCOMPONENT, script_component);
    Scene()->AddEntity(bare->id, bare);
    Join(bare);
    for (int frame = 0; frame < 3; ++frame) Frame();
    EXPECT_EQ(Boss(bare)->state, BOSS_TELEPORTING_OUT);
    ScriptSystem::GetInstance()->GetScript(bare->id)->OnCollision(bare, MakeSpell(SPELL_SPEED));
}

// A level's file may hold any number: each Stats value is read into the game's range (an hp past
// the int range too, JSON's 1e300 arriving as infinity), and the boss's whole-number base values
// are taken from that.
TEST_F(BossScriptTest, StatsBeyondTheGamesRangeInTheFileAreBroughtIntoItAndTheBaseValuesFollow)
{
    const std::string file = "Prefab/Boss.json";
    const std::string shipped = OrvTest::ReadFile(OrvTest::SourceDir() / "Resources" / "Data" / file);
    const std::regex stats("\"Stats\": \\[[^\\]]*\\]");
    ASSERT_TRUE(std::regex_search(shipped, stats));
    const char* hostile = R"("Stats": [{"hp": 99999999999, "speed_attack": -1e30, "attack": 1e30, "defense": 1e300,
                                         "spd_modifier": 1e39, "att_modifier": -0.5, "def_modifier": 2.5}])";
    WriteData(file, std::regex_replace(shipped, stats, hostile));
    ASSERT_TRUE(EntityFactory::GetInstance()->LoadPrefab("Boss"));
    EntityFactory::GetInstance()->GetArchetypes().at("Boss")->GetComponent<Transform>(TRANSFORM)->position =
        Vec3(kHome.x, kHome.y, 100.0f);
    boss = InstantiatePrefab("Boss");
    ASSERT_NE(boss, nullptr);
    script = std::dynamic_pointer_cast<BossScript>(ScriptSystem::GetInstance()->GetScript(boss->id)).get();
    ASSERT_NE(script, nullptr);

    auto read = Get<Stats>(boss, STATS);
    EXPECT_EQ(read->hp, Stats::kMaxHp);
    EXPECT_EQ(read->speed_attack, 0.0f);
    EXPECT_EQ(read->attack, Stats::kMaxValue);
    EXPECT_EQ(read->defense, Stats::kMaxValue) << "infinity";
    EXPECT_EQ(read->spd_modifier, Stats::kMaxValue) << "past the float range";
    EXPECT_EQ(read->att_modifier, 0.0f);
    EXPECT_EQ(read->def_modifier, 2.5f) << "a value in range is kept";
    EXPECT_EQ(script->debuffs.attack.base, static_cast<int32_t>(Stats::kMaxValue));
    EXPECT_EQ(script->debuffs.defence.base, static_cast<int32_t>(Stats::kMaxValue));
    EXPECT_EQ(script->debuffs.speed.base, 0);

    // A negative hp reads as 0; a mistyped one as a missing one.
    for (const auto& [text, hp] : std::vector<std::pair<const char*, int32_t>>{
             {R"([{"hp": -40}])", 0}, {R"([{"hp": 30.7}])", 30}, {R"([{"hp": "many"}])", 0}, {R"([{"hp": 2147483648}])", Stats::kMaxHp}}) {
        rapidjson::Document document;
        document.Parse(text);
        Stats parsed;
        parsed.Deserialize(document);
        EXPECT_EQ(parsed.hp, hp) << text;
    }
}

} // namespace
