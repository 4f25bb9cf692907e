// How a system makes its component classes known to the entity factory: the creator that builds
// a class by its component name.
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

} // namespace OrvEngine
