#include "Factory/Entity.h"

#include "Factory/EntityFactory.h"

namespace OrvEngine {

namespace {
uint64_t NextComponentsStamp()
{
    static uint64_t stamp = 0;
    return ++stamp;
}
} // namespace

std::shared_ptr<Component> Entity::GetComponent(const int& type) const
{
    auto it = components.find(type);
    return it == components.end() ? nullptr : it->second;
}

void Entity::AddComponent(const int& type, std::shared_ptr<Component> component)
{
    if (!component) return;
    auto old = components.find(type);
    const bool replaces_live = in_systems && old != components.end() && old->second != component;
    if (replaces_live) EntityFactory::GetInstance()->RemoveComponentFromSystem(this, type, old->second);
    component->owner = this;
    components[type] = component;
    components_stamp = NextComponentsStamp();
    components[type]->Init();
    // The replacement takes the old one's place in its system.
    if (replaces_live) EntityFactory::GetInstance()->AddComponentToSystem(this, type, components[type]);
}

void Entity::RemoveComponent(const int& type)
{
    components.erase(type);
    components_stamp = NextComponentsStamp();
}

} // namespace OrvEngine
