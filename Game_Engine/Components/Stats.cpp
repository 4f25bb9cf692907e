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
    hp = Serializer::ReadInt(*object, "hp");
    speed_attack = Serializer::ReadFloat(*object, "speed_attack");
    attack = Serializer::ReadFloat(*object, "attack");
    defense = Serializer::ReadFloat(*object, "defense");
    spd_modifier = Serializer::ReadFloat(*object, "spd_modifier");
    att_modifier = Serializer::ReadFloat(*object, "att_modifier");
    def_modifier = Serializer::ReadFloat(*object, "def_modifier");
}

} // namespace OrvEngine
