#include "Components/Stats.h"

#include "CoreEngine/Serializer.h"

namespace OrvEngine {

bool Stats::Serialize(JsonWriter& writer)
{
    Serializer::WriteInt(writer, "hp", hp);
    Serializer::WriteFloat(writer, "speed_attack", speed_attack);
    Serializer::WriteFloat(writer, "attack", attack);
    Serializer::WriteFloat(writer, "defense", defense);
    Serializer::WriteFloat(writer, "spd_modifier", spd_modifier);
    Serializer::WriteFloat(writer, "att_modifier", att_modifier);
    Serializer::WriteFloat(writer, "def_modifier", def_modifier);
    return true;
}

void Stats::Deserialize(const rapidjson::Value& value)
{
    const rapidjson::Value* object = Serializer::FirstObject(value);
    if (!object) return;
    // Read as floats first: an hp past the int range is brought into range, not refused.
    hp = ClampHp(Serializer::ReadFloat(*object, "hp"));
    speed_attack = ClampValue(Serializer::ReadFloat(*object, "speed_attack"));
    attack = ClampValue(Serializer::ReadFloat(*object, "attack"));
    defense = ClampValue(Serializer::ReadFloat(*object, "defense"));
    spd_modifier = ClampValue(Serializer::ReadFloat(*object, "spd_modifier"));
    att_modifier = ClampValue(Serializer::ReadFloat(*object, "att_modifier"));
    def_modifier = ClampValue(Serializer::ReadFloat(*object, "def_modifier"));
}

int32_t Stats::ClampHp(double value)
{
    if (!(value > 0.0)) return 0;
    return value >= kMaxHp ? kMaxHp : static_cast<int32_t>(value);
}

float Stats::ClampValue(double value)
{
    if (!(value > 0.0)) return 0.0f;
    return value >= kMaxValue ? kMaxValue : static_cast<float>(value);
}

} // namespace OrvEngine
