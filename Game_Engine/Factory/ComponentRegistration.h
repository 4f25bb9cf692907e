// How a system makes its component classes known to the entity factory: the creator that builds
// a class by its component name, and the hooks by which the class's components join the system.
#pragma once

#include "Factory/Component.h"
#include "Factory/EntityFactory.h"

#include <memory>
#include <string>

namespace OrvEngine {

// Registers T's creator with the entity factory under its component name.
template <class T>
void RegisterComponent(const std::string& name, int type_id)
{
    EntityFactory::GetInstance()->AddComponentCreator(name, std::make_shared<ComponentType<T>>(type_id));
}

// Hooks that hand each component of class T to one method of System on joining and to another on
// leaving. The system is reached through its accessor at that moment, so it is made on first use.
template <class T, class System>
void RouteComponent(int type, void (System::*add)(const std::shared_ptr<T>&),
                    void (System::*remove)(const std::shared_ptr<T>&))
{
    EntityFactory::GetInstance()->SetComponentHooks(
        type,
        [add](Entity&, const std::shared_ptr<Component>& component) {
            (System::GetInstance()->*add)(std::static_pointer_cast<T>(component));
        },
        [remove](Entity*, const std::shared_ptr<Component>& component) {
            (System::GetInstance()->*remove)(std::static_pointer_cast<T>(component));
        });
}

} // namespace OrvEngine
