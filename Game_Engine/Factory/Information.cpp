#include "Factory/Information.h"

#include "CoreEngine/Serializer.h"
#include "Factory/Entity.h"

namespace OrvEngine {

const char* const* GetTagNames()
{
    static const char* const kNames[kTagCount] = {"None", "Player", "AI", "Enemy", "Obstacle", "Background",
                                                  "RangeAttack", "TerrainDamage", "Dialogue", "GameManager",
                                                  "Boss", "Others"};
    return kNames;
}

uint32_t TagOf(const Entity* entity)
{
    auto info = entity ? entity->GetComponent<Information>(INFORMATION) : nullptr;
    return info ? info->GetType() : TAG_NONE;
}

bool Information::Serialize(JsonWriter& writer)
{
    Serializer::WriteString(writer, "name", name);
    Serializer::WriteUint(writer, "type", type);
    // An entity taken out of the systems is written inactive.
    Serializer::WriteBool(writer, "active", owner ? owner->active : active);
    return true;
}

void Information::Deserialize(const rapidjson::Value& value)
{
    const rapidjson::Value* object = Serializer::FirstObject(value);
    if (!object) return;
    name = Serializer::ReadString(*object, "name");
    type = Serializer::ReadUint(*object, "type");
    active = Serializer::ReadBool(*object, "active");
}

} // namespace OrvEngine
