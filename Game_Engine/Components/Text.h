// Text: a line of text drawn in window pixels.
#pragma once

#include "Factory/Component.h"

namespace OrvEngine {

class Text : public Component {
public:
    Text() : Component("Text") {}
    bool Serialize(JsonWriter&) override { return true; }
    void Deserialize(const rapidjson::Value&) override {}
    void Init() override {}
    void HandleMessage(Message*) override {}
    void Update() override {}
    std::shared_ptr<Component> Clone() override { return std::make_shared<Text>(*this); }
};

} // namespace OrvEngine
