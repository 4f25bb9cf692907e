// Stats: hit points and the other numbers of an actor.
#pragma once

#include "Factory/Component.h"

namespace OrvEngine {

class Stats : public Component {
public:
    Stats() : Component("Stats") {}
    bool Serialize(JsonWriter&) override { return true; }
    void Deserialize(const rapidjson::Value&) override {}
    void Init() override {}
    void HandleMessage(Message*) override {}
    void Update() override {}
    std::shared_ptr<Component> Clone() override { return std::make_shared<Stats>(*this); }
};

} // namespace OrvEngine
