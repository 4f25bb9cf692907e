#include "Components/Child.h"

#include "Components/Parent.h"
#include "Components/ParentChildSystem.h"
#include "Components/Transform.h"
#include "CoreEngine/Globals.h"
#include "CoreEngine/Serializer.h"
#include "Factory/Entity.h"
#include "Factory/Information.h"
#include "Logging/Logging.h"
#include "Scene/IScene.h"
#include "Scene/SceneStateMachine.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace OrvEngine {

bool Child::Serialize(JsonWriter& writer)
{
    Serializer::WriteString(writer, "parent_name", parent_name);
    Serializer::WriteInt(writer, "sibling_index", sibling_index);
    Serializer::WriteBool(writer, "follows_x", follows_x);
    Serializer::WriteBool(writer, "follows_y", follows_y);
    Serializer::WriteBool(writer, "follows_scaling_dir", follows_scaling_dir);
    return true;
}

void Child::Deserialize(const rapidjson::Value& value)
{
    const rapidjson::Value* object = Serializer::FirstObject(value);
    if (!object) return;
    parent_name = Serializer::ReadString(*object, "parent_name");
    sibling_index = Serializer::ReadInt(*object, "sibling_index", -1);
    follows_x = Serializer::ReadBool(*object, "follows_x");
    follows_y = Serializer::ReadBool(*object, "follows_y");
    follows_scaling_dir = Serializer::ReadBool(*object, "follows_scaling_dir");
}

std::shared_ptr<Component> Child::Clone()
{
    auto copy = std::make_shared<Child>(*this);
    copy->parent.reset();
    return copy;
}

void Child::SetParent(const std::shared_ptr<Parent>& new_parent)
{
    if (!new_parent) {
        parent.reset();
        return;
    }
    auto previous = parent.lock();
    if (previous == new_parent) return;
    if (previous && previous->num_children > 0) --previous->num_children;
    parent = new_parent;
    parent_name = new_parent->owner ? new_parent->owner->name : std::string();
    // Counts and indices come from files: they saturate rather than overflow.
    if (new_parent->num_children < std::numeric_limits<int>::max()) ++new_parent->num_children;
    // One more than the largest index in use, so a child that left never causes a shared index.
    const int in_use = ParentChildSystem::Exists()
                           ? ParentChildSystem::GetInstance()->LargestSiblingIndex(new_parent, this)
                           : 0;
    const int next_free = in_use < std::numeric_limits<int>::max() ? in_use + 1 : in_use;
    sibling_index = std::max(new_parent->num_children, next_free);
}

void Child::ClearParent()
{
    auto current = parent.lock();
    if (current && current->num_children > 0) --current->num_children;
    parent_name.clear();
    sibling_index = -1;
    // A parent-less child follows its next parent fully.
    follows_x = follows_y = follows_scaling_dir = true;
    parent.reset();
}

void Child::ResolveParent()
{
    if (parent_name.empty() || !OrvStateMachine) return;
    auto scene = OrvStateMachine->GetCurrentScene();
    if (!scene) return;
    Entity* entity = scene->FindEntityByName(parent_name);
    auto found = entity ? entity->GetComponent<Parent>(PARENT) : nullptr;
    if (found) {
        parent = found;
        return;
    }
    // Said again every frame while the parent stays missing.
    if (!entity) {
        LogLine("[Child::Update] Error: could not find parent entity with name ' " + parent_name + "'!");
    } else {
        LogLine("[Child::Update] Error: no parent component on entity with name ' " + parent_name + "'!");
    }
}

void Child::Update()
{
    auto current = parent.lock();
    if (!current) {
        // Nothing moves in the update that finds the parent.
        ResolveParent();
        return;
    }
    if (current->owner && parent_name != current->owner->name) parent_name = current->owner->name;
    if (!current->pos_updated) return;
    auto transform = owner ? owner->GetComponent<Transform>(TRANSFORM) : nullptr;
    if (!transform) return;
    transform->position.x += follows_x ? current->pos_changed.x : 0.0f;
    transform->position.y += follows_y ? current->pos_changed.y : 0.0f;
    if (follows_scaling_dir) {
        const float magnitude = std::fabs(transform->scale.x);
        transform->scale.x = current->dir_positive ? magnitude : -magnitude;
    }
    transform->UpdateMatrix();
}

} // namespace OrvEngine
