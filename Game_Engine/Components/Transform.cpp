#include "Components/Transform.h"

#include "CoreEngine/Serializer.h"
#include "Factory/Entity.h"

#include <cmath>

namespace OrvEngine {

bool Transform::Serialize(JsonWriter& writer)
{
    Serializer::WriteVec3(writer, "position", position);
    Serializer::WriteFloat(writer, "rotation", rotation);
    Serializer::WriteVec3(writer, "scale", scale);
    return true;
}

void Transform::Deserialize(const rapidjson::Value& value)
{
    const rapidjson::Value* object = Serializer::FirstObject(value);
    if (!object) return;
    position = Serializer::ReadVec3(*object, "position", Vec3());
    rotation = Serializer::ReadFloat(*object, "rotation");
    scale = Serializer::ReadVec3(*object, "scale", Vec3());
}

void Transform::UpdateMatrix()
{
    // Whole degrees come from the tables; fractional angles from the library.
    float c;
    float s;
    const float whole = std::trunc(rotation);
    if (rotation - whole == 0.0f && std::fabs(rotation) < 2.0e9f) {
        Mat3 r = Mat3::RotateDeg(static_cast<int32_t>(whole));
        c = r.m[0];
        s = r.m[3];
    } else {
        const float radians = rotation * 0.017453292f;
        c = std::cos(radians);
        s = std::sin(radians);
    }
    Mat3 scale_m;
    scale_m.m[0] = scale.x;
    scale_m.m[4] = scale.y;
    scale_m.m[8] = 1.0f;
    Mat3 rotate_m;
    rotate_m.m[0] = c;
    rotate_m.m[1] = -s;
    rotate_m.m[3] = s;
    rotate_m.m[4] = c;
    rotate_m.m[8] = 1.0f;
    Mat3 translate_m;
    translate_m.m[0] = translate_m.m[4] = translate_m.m[8] = 1.0f;
    translate_m.m[2] = position.x;
    translate_m.m[5] = position.y;
    model_matrix = (scale_m * rotate_m) * translate_m;
}

bool IsPointInEntity(float x, float y, Entity* entity)
{
    if (!entity) return false;
    auto transform = entity->GetComponent<Transform>(TRANSFORM);
    if (!transform) return false;
    const float hx = std::fabs(transform->scale.x * 0.5f);
    const float hy = std::fabs(transform->scale.y * 0.5f);
    const float px = transform->position.x;
    const float py = transform->position.y;
    return px - hx <= x && x <= px + hx && py - hy <= y && y <= py + hy;
}

} // namespace OrvEngine
