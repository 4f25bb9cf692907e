// PhysicsSystem: the rigid bodies of the live entities. Each frame it runs the profiler's count of
// fixed 1/60 s steps: integrate and write Transforms, run the collision pass, resolve its contacts.
// While the game is not running only the collision pass runs. The pair test lives in CollisionCheck.
#pragma once

#include "CoreEngine/FPS.h"
#include "CoreEngine/ISystem.h"
#include "CoreEngine/Singleton.h"
#include "Physics/Manifold.h"

#include <memory>
#include <string>
#include <vector>

namespace OrvEngine {

class RigidBody2D;

class PhysicsSystem : public ISystem, public Singleton<PhysicsSystem> {
public:
    std::string GetName() override { return "PhysicsSystem"; }
    // Registers the Transform and RigidBody2D creators.
    void Init() override;
    void Update() override;

    // Appends, without a duplicate check.
    void AddRigidBody(const std::shared_ptr<RigidBody2D>& body);
    // Removes the first entry holding the same body; nothing for an empty or unlisted one.
    void RemoveRigidBody(const std::shared_ptr<RigidBody2D>& body);

    // One fixed step. Returns false when the game runs with no bodies (nothing else is done then).
    bool Step();
    // Resolves the contacts of the collision system's last pass; contacts whose entities are gone
    // are skipped.
    void ResolveCollisions();
    // Impulse along the normal, then a small separation when both bodies are movable.
    static void ResolveCollision(const Manifold& contact);

    const std::vector<std::shared_ptr<RigidBody2D>>& GetBodies() const { return bodies_; }

    // Every step integrates over this many seconds, whatever the frame time.
    static constexpr float kStepTime = FPS::kFixedStep;

private:
    void IntegrateBodies(float dt);

    std::vector<std::shared_ptr<RigidBody2D>> bodies_;
};

} // namespace OrvEngine
