#include "Logic/BossBehaviour.h"

#include "Components/Sprite.h"
#include "Components/Stats.h"
#include "Components/Transform.h"
#include "CoreEngine/Globals.h"
#include "CoreEngine/Serializer.h"
#include "Factory/Entity.h"
#include "Logic/GameplayRules.h"

namespace OrvEngine {

bool BossBehaviour::Serialize(JsonWriter& writer)
{
    Serializer::WriteFloat(writer, "cooldown_spawning_enemy", cooldown_spawning_enemy);
    Serializer::WriteFloat(writer, "cooldown_spawning_terrain", cooldown_spawning_terrain);
    Serializer::WriteInt(writer, "ratio_to_spawn_enemy", ratio_to_spawn_enemy);
    Serializer::WriteInt(writer, "ratio_to_spawn_terrain", ratio_to_spawn_terrain);
    Serializer::WriteInt(writer, "max_num_of_enemy", max_num_of_enemy);
    Serializer::WriteString(writer, "idle_tex", idle_tex);
    Serializer::WriteString(writer, "tele_in_tex", tele_in_tex);
    Serializer::WriteString(writer, "tele_out_tex", tele_out_tex);
    Serializer::WriteString(writer, "spawning_enemy_tex", spawning_enemy_tex);
    Serializer::WriteString(writer, "spawning_terrain_tex", spawning_terrain_tex);
    Serializer::WriteString(writer, "down_tex", down_tex);
    Serializer::WriteString(writer, "hurt_tex", hurt_tex);
    return true;
}

void BossBehaviour::Deserialize(const rapidjson::Value& value)
{
    const rapidjson::Value* object = Serializer::FirstObject(value);
    if (!object) return;
    cooldown_spawning_enemy = Serializer::ReadFloat(*object, "cooldown_spawning_enemy");
    cooldown_spawning_terrain = Serializer::ReadFloat(*object, "cooldown_spawning_terrain");
    ratio_to_spawn_enemy = Serializer::ReadInt(*object, "ratio_to_spawn_enemy");
    ratio_to_spawn_terrain = Serializer::ReadInt(*object, "ratio_to_spawn_terrain");
    max_num_of_enemy = Serializer::ReadInt(*object, "max_num_of_enemy");
    idle_tex = Serializer::ReadString(*object, "idle_tex");
    tele_in_tex = Serializer::ReadString(*object, "tele_in_tex");
    tele_out_tex = Serializer::ReadString(*object, "tele_out_tex");
    spawning_enemy_tex = Serializer::ReadString(*object, "spawning_enemy_tex");
    spawning_terrain_tex = Serializer::ReadString(*object, "spawning_terrain_tex");
    down_tex = Serializer::ReadString(*object, "down_tex");
    hurt_tex = Serializer::ReadString(*object, "hurt_tex");
}

std::shared_ptr<Component> BossBehaviour::Clone()
{
    auto copy = std::make_shared<BossBehaviour>(*this);
    copy->stats_cached = false;
    // The original's Transform belongs to another entity.
    copy->transform.reset();
    return copy;
}

std::shared_ptr<Stats> BossBehaviour::GetStats() const
{
    return owner ? owner->GetComponent<Stats>(STATS) : nullptr;
}

void BossBehaviour::Update()
{
    if (timer > 0.0f && !IsPurifying) timer -= Gameplay::FrameTime();
    if (!stats_cached) {
        if (auto own_stats = GetStats()) {
            max_hp = own_stats->hp;
            stats_cached = true;
        }
    }
    if (!transform && owner) transform = owner->GetComponent<Transform>(TRANSFORM);
    if (base_anim_speed == 0.0f) {
        if (auto sprite = owner ? owner->GetComponent<Sprite>(SPRITE) : nullptr) base_anim_speed = sprite->spritesheet_speed;
    }
}

void BossBehaviour::UpdateTexture()
{
    auto sprite = owner ? owner->GetComponent<Sprite>(SPRITE) : nullptr;
    if (!sprite || state < BOSS_IDLE || state > BOSS_HURT) return;
    static const bool kPlayOnce[] = {false, false, false, false, false, true, true};
    const std::string* names[] = {&idle_tex, &tele_out_tex, &tele_in_tex, &spawning_enemy_tex,
                                  &spawning_terrain_tex, &down_tex, &hurt_tex};
    Gameplay::ShowStateSheet(*sprite, *names[state], base_anim_speed, kPlayOnce[state], 16);
}

} // namespace OrvEngine
