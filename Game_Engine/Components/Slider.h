// Slider: a bar showing a watched value.
#pragma once

#include "Factory/Component.h"

namespace OrvEngine {

class Slider : public Component {
public:
    Slider() : Component("Slider") {}
    bool Serialize(JsonWriter&) override { return true; }
    void Deserialize(const rapidjson::Value&) override {}
    void Init() override {}
    void HandleMessage(Message*) override {}
    void Update() override {}
    std::shared_ptr<Component> Clone() override { return std::make_shared<Slider>(*this); }
};

} // namespace OrvEngine
