// BoxCollider: an axis-aligned box that follows the Transform.
#pragma once

#include "Factory/Component.h"

namespace OrvEngine {
class RigidBody2D;

class BoxCollider : public Component {
public:
    BoxCollider() : Component("BoxCollider") {}
    bool Serialize(JsonWriter&) override { return true; }
    void Deserialize(const rapidjson::Value&) override {}
    void Init() override {}
    void HandleMessage(Message*) override {}
    void Update() override {}
    std::shared_ptr<Component> Clone() override { return std::make_shared<BoxCollider>(*this); }
    void SetRigidBody(const std::shared_ptr<RigidBody2D>& body) { rigid_body = body; }
    std::shared_ptr<RigidBody2D> rigid_body;
};

} // namespace OrvEngine
