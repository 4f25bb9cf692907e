// BossBehaviour: the boss's states and timer.
#pragma once

#include "Factory/Component.h"

namespace OrvEngine {

class BossBehaviour : public Component {
public:
    BossBehaviour() : Component("BossBehaviour") {}
    bool Serialize(JsonWriter&) override { return true; }
    void Deserialize(const rapidjson::Value&) override {}
    void Init() override {}
    void HandleMessage(Message*) override {}
    void Update() override {}
    std::shared_ptr<Component> Clone() override { return std::make_shared<BossBehaviour>(*this); }
};

} // namespace OrvEngine
