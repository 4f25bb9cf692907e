// BossBehaviour: the boss's tuning, count-down timer, state and state textures. The boss script
// drives the fight through these fields; the companion hurts the boss; Update only counts down and
// takes the maximum hit points and base animation speed.
#pragma once

#include "Factory/Component.h"

#include <cstdint>
#include <memory>
#include <string>

namespace OrvEngine {

class Stats;
class Transform;

enum BossState : int32_t {
    BOSS_IDLE = 0,
    BOSS_TELEPORTING_OUT = 1,
    BOSS_TELEPORTING_IN = 2,
    BOSS_SPAWNING_ENEMIES = 3,
    BOSS_SPAWNING_TERRAIN = 4,
    BOSS_DOWN = 5,
    BOSS_HURT = 6,
};

class BossBehaviour : public Component {
public:
    BossBehaviour() : Component("BossBehaviour") {}

    bool Serialize(JsonWriter& writer) override;
    // Missing keys read as 0 or an empty name.
    void Deserialize(const rapidjson::Value& value) override;
    // Counts the timer down (not while a purification runs), takes max_hp from the owner's Stats
    // once, keeps the owner's Transform, and takes the Sprite's speed as base_anim_speed.
    void Update() override;
    // A copy that takes max_hp and the Transform from its own entity on its first Update.
    std::shared_ptr<Component> Clone() override;

    void UpdateTexture();

    // The owner's Stats, looked up on each call; empty without them.
    std::shared_ptr<Stats> GetStats() const;

    void SetCooldownSpawningEnemy(const float& value) { cooldown_spawning_enemy = value; }
    float GetCooldownSpawningEnemy() const { return cooldown_spawning_enemy; }
    void SetCooldownSpawningTerrain(const float& value) { cooldown_spawning_terrain = value; }
    float GetCooldownSpawningTerrain() const { return cooldown_spawning_terrain; }
    void SetRatioToSpawnEnemy(const int32_t& value) { ratio_to_spawn_enemy = value; }
    int32_t GetRatioToSpawnEnemy() const { return ratio_to_spawn_enemy; }
    void SetRatioToSpawnTerrain(const int32_t& value) { ratio_to_spawn_terrain = value; }
    int32_t GetRatioToSpawnTerrain() const { return ratio_to_spawn_terrain; }
    void SetMaxNumOfEnemy(const int32_t& value) { max_num_of_enemy = value; }
    int32_t GetMaxNumOfEnemy() const { return max_num_of_enemy; }
    void SetIdleTex(const std::string& value) { if (&value != &idle_tex) idle_tex = value; }
    std::string GetIdleTex() const { return idle_tex; }
    void SetTeleInTex(const std::string& value) { if (&value != &tele_in_tex) tele_in_tex = value; }
    std::string GetTeleInTex() const { return tele_in_tex; }
    void SetTeleOutTex(const std::string& value) { if (&value != &tele_out_tex) tele_out_tex = value; }
    std::string GetTeleOutTex() const { return tele_out_tex; }
    void SetSpawningEnemyTex(const std::string& value) { if (&value != &spawning_enemy_tex) spawning_enemy_tex = value; }
    std::string GetSpawningEnemyTex() const { return spawning_enemy_tex; }
    void SetSpawningTerrainTex(const std::string& value)
    {
        if (&value != &spawning_terrain_tex) spawning_terrain_tex = value;
    }
    std::string GetSpawningTerrainTex() const { return spawning_terrain_tex; }
    void SetDownTex(const std::string& value) { if (&value != &down_tex) down_tex = value; }
    std::string GetDownTex() const { return down_tex; }
    void SetHurtTex(const std::string& value) { if (&value != &hurt_tex) hurt_tex = value; }
    std::string GetHurtTex() const { return hurt_tex; }

    float timer = 0.0f;
    float cooldown_spawning_enemy = 0.0f;
    float cooldown_spawning_terrain = 0.0f;
    int32_t ratio_to_spawn_enemy = 0;
    int32_t ratio_to_spawn_terrain = 0;
    int32_t max_hp = 0;  // the Stats hp when first seen by Update; 0 before
    int32_t max_num_of_enemy = 0;
    bool defeated = false;
    int32_t state = BOSS_IDLE;
    float base_anim_speed = 0.0f;
    // The owner's Stats have given max_hp. The Stats themselves are looked up on the owner when
    // used (GetStats), never kept.
    bool stats_cached = false;
    // The owner's Transform, kept by the first Update that finds one (not saved).
    std::shared_ptr<Transform> transform;
    std::string idle_tex;
    std::string tele_in_tex;
    std::string tele_out_tex;
    std::string spawning_enemy_tex;
    std::string spawning_terrain_tex;
    std::string down_tex;
    std::string hurt_tex;
};

} // namespace OrvEngine
