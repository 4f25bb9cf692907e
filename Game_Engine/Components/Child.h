// Child: follows its parent entity's movement and facing; finds the parent again by name after loading.
// The parent is held weakly, so a destroyed parent reads as none.
#pragma once

#include "Factory/Component.h"

#include <memory>
#include <string>

namespace OrvEngine {

class Parent;

class Child : public Component {
public:
    Child() : Component("Child") {}
    bool Serialize(JsonWriter& writer) override;
    void Deserialize(const rapidjson::Value& value) override;
    void Update() override;
    std::shared_ptr<Component> Clone() override;

    std::shared_ptr<Parent> GetParent() const { return parent.lock(); }
    std::string GetParentName() const { return parent_name; }
    int GetSiblingIndex() const { return sibling_index; }
    bool GetFollowsX() const { return follows_x; }
    bool GetFollowsY() const { return follows_y; }
    bool GetFollowsScalingDir() const { return follows_scaling_dir; }
    void SetFollowsX(bool value) { follows_x = value; }
    void SetFollowsY(bool value) { follows_y = value; }
    void SetFollowsScalingDir(bool value) { follows_scaling_dir = value; }
    // Attaches with the next free sibling index; null only forgets the parent.
    void SetParent(const std::shared_ptr<Parent>& new_parent);
    // Forgets the parent, its name and the sibling index; the three follow flags become true.
    void ClearParent();

    std::weak_ptr<Parent> parent;
    std::string parent_name;
    int sibling_index = -1;
    bool follows_x = true;
    bool follows_y = true;
    bool follows_scaling_dir = true;

private:
    // Finds the parent by name; a child without a parent name has none to find.
    void ResolveParent();
};

} // namespace OrvEngine
