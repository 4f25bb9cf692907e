// EnemyMovement: how an enemy chooses a target, chases and attacks.
#pragma once

#include "Factory/Component.h"

namespace OrvEngine {
class RigidBody2D;
class Transform;

class EnemyMovement : public Component {
public:
    EnemyMovement() : Component("EnemyMovement") {}
    bool Serialize(JsonWriter&) override { return true; }
    void Deserialize(const rapidjson::Value&) override {}
    void Init() override {}
    void HandleMessage(Message*) override {}
    void Update() override {}
    std::shared_ptr<Component> Clone() override { return std::make_shared<EnemyMovement>(*this); }
    void SetRigidBody(const std::shared_ptr<RigidBody2D>& body) { rigid_body = body; }
    void SetTransform(const std::shared_ptr<Transform>& value) { transform = value; }
    void Disconnect() { rigid_body.reset(); transform.reset(); }
    std::shared_ptr<RigidBody2D> rigid_body;
    std::shared_ptr<Transform> transform;
};

} // namespace OrvEngine
