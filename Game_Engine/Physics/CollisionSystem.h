// CollisionSystem: tests collider pairs and records contacts.
#pragma once

#include "CoreEngine/ISystem.h"
#include "CoreEngine/Singleton.h"

#include <memory>
#include <string>

namespace OrvEngine {
class BoxCollider;

class CollisionSystem : public ISystem, public Singleton<CollisionSystem> {
public:
    std::string GetName() override { return "CollisionSystem"; }
    void Init() override;
    void AddCollider(const std::shared_ptr<BoxCollider>&) {}
    void RemoveCollider(const std::shared_ptr<BoxCollider>&) {}
};

} // namespace OrvEngine
