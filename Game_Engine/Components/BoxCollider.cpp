#include "Components/BoxCollider.h"

#include "Components/Transform.h"
#include "CoreEngine/Serializer.h"
#include "Factory/Entity.h"

namespace OrvEngine {

BoxCollider::BoxCollider() : Collider(nullptr, false, true, Vec2(), true, false, "BoxCollider") {}

bool BoxCollider::Serialize(JsonWriter& writer)
{
    Serializer::WriteBool(writer, "is_trigger", is_trigger);
    Serializer::WriteBool(writer, "is_enabled", is_enabled);
    Serializer::WriteVec2(writer, "position", position);
    Serializer::WriteBool(writer, "following_transform", following_transform);
    Serializer::WriteBool(writer, "is_unphasable", is_unphasable);
    Serializer::WriteVec2(writer, "size", size);
    Serializer::WriteBool(writer, "use_feet_box", use_feet_box);
    return true;
}

void BoxCollider::Deserialize(const rapidjson::Value& value)
{
    const rapidjson::Value* object = Serializer::FirstObject(value);
    if (!object) return;
    is_trigger = Serializer::ReadBool(*object, "is_trigger", false);
    is_enabled = Serializer::ReadBool(*object, "is_enabled", false);
    position = Serializer::ReadVec2(*object, "position", Vec2());
    following_transform = Serializer::ReadBool(*object, "following_transform", false);
    is_unphasable = Serializer::ReadBool(*object, "is_unphasable", false);
    size = Serializer::ReadVec2(*object, "size", Vec2());
    use_feet_box = Serializer::ReadBool(*object, "use_feet_box", false);
    UpdateBounds();
}

std::shared_ptr<Component> BoxCollider::Clone()
{
    auto copy = std::make_shared<BoxCollider>(*this);
    copy->owner = nullptr;
    return copy;
}

Vec2 BoxCollider::GetCentre() const
{
    if (following_transform && use_feet_box) return {position.x + kFeetOffsetX, position.y + kFeetOffsetY};
    return position;
}

void BoxCollider::UpdateBounds()
{
    const Vec2 centre = GetCentre();
    const Vec2 half(size.x * 0.5f, size.y * 0.5f);
    min = centre - half;
    max = centre + half;
    TouchGeometry();
}

void BoxCollider::SetSize(const Vec2& value)
{
    size = value;
    TouchGeometry();
}

void BoxCollider::SetUseFeetBox(bool on)
{
    if (on) {
        size = Vec2(size.x * 0.8f, size.y * 0.25f);
    } else {
        size = Vec2(size.x * 1.25f, size.y * 4.0f);
    }
    UpdateBounds();
}

void BoxCollider::Update()
{
    auto transform = owner ? owner->GetComponent<Transform>(TRANSFORM) : nullptr;
    if (!transform) return;
    const Vec2 now = transform->GetPosition2D();
    if (!follow_started) last_transform_position = now;
    if (following_transform) {
        if (!(follow_started && last_transform_position == now)) {
            follow_delta = now - last_transform_position;
            follow_started = true;
            position = position + follow_delta;
        }
        UpdateBounds();
    }
    last_transform_position = now;
}

} // namespace OrvEngine
