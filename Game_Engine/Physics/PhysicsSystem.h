// PhysicsSystem: integrates bodies once per fixed step.
#pragma once

#include "CoreEngine/ISystem.h"
#include "CoreEngine/Singleton.h"

#include <memory>
#include <string>

namespace OrvEngine {
class RigidBody2D;

class PhysicsSystem : public ISystem, public Singleton<PhysicsSystem> {
public:
    std::string GetName() override { return "PhysicsSystem"; }
    void Init() override;
    void AddRigidBody(const std::shared_ptr<RigidBody2D>&) {}
    void RemoveRigidBody(const std::shared_ptr<RigidBody2D>&) {}
};

} // namespace OrvEngine
