// Sprite: a textured quad placed by the Transform.
#pragma once

#include "Factory/Component.h"

namespace OrvEngine {

class Sprite : public Component {
public:
    Sprite() : Component("Sprite") {}
    bool Serialize(JsonWriter&) override { return true; }
    void Deserialize(const rapidjson::Value&) override {}
    void Init() override {}
    void HandleMessage(Message*) override {}
    void Update() override {}
    std::shared_ptr<Component> Clone() override { return std::make_shared<Sprite>(*this); }
};

} // namespace OrvEngine
