// Parent: records each frame how far its entity moved and whether it turned round, for its children.
#pragma once

#include "CoreEngine/Math.h"
#include "Factory/Component.h"

namespace OrvEngine {

class Parent : public Component {
public:
    Parent() : Component("Parent") {}
    bool Serialize(JsonWriter& writer) override;
    void Deserialize(const rapidjson::Value& value) override;
    void Init() override;
    void Update() override;
    std::shared_ptr<Component> Clone() override { return std::make_shared<Parent>(*this); }

    int GetNumChildren() const { return num_children; }

    Vec3 pos_prev;
    Vec3 pos_changed;
    bool pos_updated = false;
    int num_children = 0;
    bool dir_changed = false;
    bool dir_positive = true;
};

} // namespace OrvEngine
