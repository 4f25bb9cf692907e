// Parent: records each frame how far its entity moved and whether it turned round, for its children.
// That record is runtime state, rebuilt by Init and Update: files hold a new Parent's values for it.
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
    // A frame in which the game does not run: nothing moved, so the children stay where they are.
    void Hold();
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
