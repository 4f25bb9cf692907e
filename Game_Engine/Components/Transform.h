// Transform: position (z orders drawing), rotation in degrees, scale, and the 3x3 model matrix.
#pragma once

#include "CoreEngine/Math.h"
#include "Factory/Component.h"

namespace OrvEngine {

class Transform : public Component {
public:
    Transform() : Component("Transform") {}
    bool Serialize(JsonWriter& writer) override;
    void Deserialize(const rapidjson::Value& value) override;
    void Update() override {}
    std::shared_ptr<Component> Clone() override { return std::make_shared<Transform>(*this); }

    Vec3 GetPosition() const { return position; }
    Vec2 GetPosition2D() const { return {position.x, position.y}; }
    Vec3 GetScale() const { return scale; }
    void SetPosition(const Vec3& value) { position = value; }
    void SetScale(const Vec3& value) { scale = value; }
    // model_matrix = (S x R) x T; the rotation is in degrees (model_matrix is not saved).
    void UpdateMatrix();

    Vec3 position{0.0f, 0.0f, 1.0f};
    float rotation = 0.0f;
    Vec3 scale{0.5f, 0.5f, 0.0f};
    Mat3 model_matrix;
};

// True when (x, y) lies in the entity's Transform rectangle, edges included; rotation ignored.
bool IsPointInEntity(float x, float y, Entity* entity);

} // namespace OrvEngine
