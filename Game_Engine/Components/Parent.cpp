#include "Components/Parent.h"

#include "Components/Transform.h"
#include "CoreEngine/Serializer.h"
#include "Factory/Entity.h"

#include <algorithm>

namespace OrvEngine {

bool Parent::Serialize(JsonWriter& writer)
{
    // Where the owner was last frame is no part of a level: a saved scene would change whenever
    // it had been shown.
    const Parent fresh;
    Serializer::WriteVec3(writer, "pos_prev", fresh.pos_prev);
    Serializer::WriteVec3(writer, "pos_changed", fresh.pos_changed);
    Serializer::WriteBool(writer, "pos_updated", fresh.pos_updated);
    Serializer::WriteInt(writer, "num_children", num_children);
    Serializer::WriteBool(writer, "dir_changed", fresh.dir_changed);
    Serializer::WriteBool(writer, "dir_positive", fresh.dir_positive);
    return true;
}

void Parent::Deserialize(const rapidjson::Value& value)
{
    const rapidjson::Value* object = Serializer::FirstObject(value);
    if (!object) return;
    pos_prev = Serializer::ReadVec3(*object, "pos_prev");
    pos_changed = Serializer::ReadVec3(*object, "pos_changed");
    pos_updated = Serializer::ReadBool(*object, "pos_updated");
    // A count below 0 reads as none (counting down from the lowest int would overflow).
    num_children = std::max(0, Serializer::ReadInt(*object, "num_children"));
    dir_changed = Serializer::ReadBool(*object, "dir_changed");
    dir_positive = Serializer::ReadBool(*object, "dir_positive");
}

void Parent::Init()
{
    auto transform = owner ? owner->GetComponent<Transform>(TRANSFORM) : nullptr;
    if (!transform) return;
    pos_prev = transform->position;
    dir_positive = transform->scale.x > 0.0f;
}

void Parent::Update()
{
    auto transform = owner ? owner->GetComponent<Transform>(TRANSFORM) : nullptr;
    if (!transform) return;
    const Vec3 p = transform->position;
    if (p == pos_prev) {
        pos_updated = false;
    } else {
        pos_updated = true;
        pos_changed = p - pos_prev;
        pos_prev = p;
    }
    const bool facing_positive = transform->scale.x > 0.0f;
    dir_changed = facing_positive != dir_positive;
    if (dir_changed) dir_positive = facing_positive;
}

void Parent::Hold()
{
    pos_updated = false;
    dir_changed = false;
}

} // namespace OrvEngine
