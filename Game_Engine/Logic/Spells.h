// Spells: a cast spell's flight and blast.
#pragma once

#include "Factory/Component.h"

namespace OrvEngine {

class Spells : public Component {
public:
    Spells() : Component("Spells") {}
    bool Serialize(JsonWriter&) override { return true; }
    void Deserialize(const rapidjson::Value&) override {}
    void Init() override {}
    void HandleMessage(Message*) override {}
    void Update() override {}
    std::shared_ptr<Component> Clone() override { return std::make_shared<Spells>(*this); }
};

} // namespace OrvEngine
