// ScriptComponent: names the registered script class that drives its entity.
#pragma once

#include "Factory/Component.h"

#include <string>

namespace OrvEngine {

class ScriptComponent : public Component {
public:
    ScriptComponent() : Component("ScriptComponent") {}
    bool Serialize(JsonWriter& writer) override;
    void Deserialize(const rapidjson::Value& value) override;
    void Update() override {}
    std::shared_ptr<Component> Clone() override { return std::make_shared<ScriptComponent>(*this); }

    std::string file_name;
};

} // namespace OrvEngine
