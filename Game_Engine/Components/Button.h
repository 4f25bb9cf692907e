// Button: a menu button that changes the scene.
#pragma once

#include "Factory/Component.h"

namespace OrvEngine {

class Button : public Component {
public:
    Button() : Component("Button") {}
    bool Serialize(JsonWriter&) override { return true; }
    void Deserialize(const rapidjson::Value&) override {}
    void Init() override {}
    void HandleMessage(Message*) override {}
    void Update() override {}
    std::shared_ptr<Component> Clone() override { return std::make_shared<Button>(*this); }
};

} // namespace OrvEngine
