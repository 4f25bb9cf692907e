// RigidBody2D: a body moved by forces.
#pragma once

#include "Factory/Component.h"

namespace OrvEngine {

class RigidBody2D : public Component {
public:
    RigidBody2D() : Component("RigidBody2D") {}
    bool Serialize(JsonWriter&) override { return true; }
    void Deserialize(const rapidjson::Value&) override {}
    void Init() override {}
    void HandleMessage(Message*) override {}
    void Update() override {}
    std::shared_ptr<Component> Clone() override { return std::make_shared<RigidBody2D>(*this); }
};

} // namespace OrvEngine
