// The game object: an id, a name, an active flag and at most one component per type id.
// Entities are made and deleted only by the entity factory.
#pragma once

#include "Factory/Component.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>

namespace OrvEngine {

class Entity {
public:
    std::shared_ptr<Component> GetComponent(const int& type) const;
    // Empty when nothing is stored under the id or it is not a T.
    template <class T>
    std::shared_ptr<T> GetComponent(const int& type) const
    {
        return std::dynamic_pointer_cast<T>(GetComponent(type));
    }
    // Sets the owner, stores (replacing an old one, which first leaves its system when the
    // entity is in the systems), then calls Init. An empty pointer is ignored.
    void AddComponent(const int& type, std::shared_ptr<Component> component);
    // Erases the entry; callers take the component out of its system themselves.
    void RemoveComponent(const int& type);
    std::string GetName() const { return name; }
    void SetActive(bool value) { active = value; }

    uint64_t id = 0;
    std::string name;
    bool active = true;
    std::map<int, std::shared_ptr<Component>> components;
    // Set while the entity's components are registered with the systems.
    bool in_systems = false;
    // Taken afresh from a program-wide counter whenever a component is added or removed: a pointer to
    // a component cached along with this value stays valid while the value does.
    uint64_t components_stamp = 0;
};

} // namespace OrvEngine
