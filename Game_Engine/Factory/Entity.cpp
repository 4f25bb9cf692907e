#include "Factory/Entity.h"

#include "Factory/EntityFactory.h"

namespace OrvEngine {

std::shared_ptr<Component> Entity::GetComponent(const int& type) const
{
    auto it = components.find(type);
    return it == components.end() ? nullptr : it->second;
}

void Entity::AddComponent(const int& type, std::shared_ptr<Component> component)
{
    if (!component) return;
    auto old = components.find(type);
    if (in_systems && old != components.end() && old->second != component) {
        EntityFactory::GetInstance()->RemoveComponentFromSystem(this, type, old->second);
    }
    component->owner = this;
    components[type] = component;
    components[type]->Init();
}

void Entity::RemoveComponent(const int& type) { components.erase(type); }

} // namespace OrvEngine
