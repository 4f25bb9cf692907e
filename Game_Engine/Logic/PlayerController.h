// PlayerController: the player character's movement, spells and purification.
#pragma once

#include "Factory/Component.h"

namespace OrvEngine {
class Stats;

class PlayerController : public Component {
public:
    PlayerController() : Component("PlayerController") {}
    bool Serialize(JsonWriter&) override { return true; }
    void Deserialize(const rapidjson::Value&) override {}
    void Init() override {}
    void HandleMessage(Message*) override {}
    void Update() override {}
    std::shared_ptr<Component> Clone() override { return std::make_shared<PlayerController>(*this); }
    std::shared_ptr<Stats> stats;
};

} // namespace OrvEngine
