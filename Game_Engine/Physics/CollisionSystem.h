// CollisionSystem: keeps the box colliders of the live entities and runs the collision pass (update
// every collider, test every pair in list order, broadcast contact/collision messages, record the
// overlapping pairs). Resolution of the recorded contacts belongs to the physics system.
#pragma once

#include "CoreEngine/ISystem.h"
#include "CoreEngine/Singleton.h"
#include "Physics/CollisionCheck.h"
#include "Physics/Manifold.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace OrvEngine {

// Where the other box of a contact lies, as the collision side queries answer.
enum CollisionSide : int { SIDE_NONE = 0, SIDE_ABOVE = 1, SIDE_BELOW = 2, SIDE_RIGHT = 3, SIDE_LEFT = 4 };

class BoxCollider;
class Entity;

class CollisionSystem : public ISystem, public Singleton<CollisionSystem> {
public:
    std::string GetName() override { return "CollisionSystem"; }
    // Registers the BoxCollider creator.
    void Init() override;

    // One pass. Message receivers may add or remove colliders and entities meanwhile: a removed
    // collider is skipped from then on, an added one joins the next pass.
    void CheckCollisions();
    // Appends, without a duplicate check.
    void AddCollider(const std::shared_ptr<BoxCollider>& collider);
    // Removes the first entry holding the collider; nothing for an empty or unlisted one.
    void RemoveCollider(const std::shared_ptr<BoxCollider>& collider);

    // For an enemy touching the companion or terrain damage in the last pass: where the other
    // lies; SIDE_NONE for no such contact.
    CollisionSide GetCollisionSide(const Entity* entity) const;
    // The same for the entity's first contact of the last pass, as A or B, whatever the tags.
    CollisionSide GetAnyCollisionSide(const Entity* entity) const;
    // The same, for `first`, of the contact between two entities: the one whose A is `second`
    // and B `first`, or with first_is_a the one whose A is `first` and B `second`.
    CollisionSide GetPairCollisionSide(const Entity* first, const Entity* second, bool first_is_a) const;

    const std::vector<std::shared_ptr<BoxCollider>>& GetColliders() const { return colliders_; }
    // The overlapping pairs of the last pass, in the order found.
    const std::vector<Manifold>& GetContacts() const { return contacts_; }

private:
    // One collider as the pass sees it; `side` is gathered when the pass starts.
    struct PassEntry {
        std::shared_ptr<BoxCollider> collider;  // keeps the collider alive through the pass
        PairSide side;
        uint64_t id = 0;
        bool live = false;           // cleared when the collider is removed or its entity is gone
        bool has_transform = false;
        uint64_t checked_at = 0;     // the message count at which `live` was last confirmed
    };

    // The side of one contact for its A (self_is_a) or its B; SIDE_NONE when the contact tells none.
    CollisionSide SideIn(const Manifold& contact, bool self_is_a) const;
    void BeginPass();
    void EndPass();
    bool Usable(size_t k);
    void RefreshBox(size_t k);
    void SetBox(size_t k, float lo_x, float lo_y, float hi_x, float hi_y);
    void RefreshBoxesFrom(size_t first);
    // Bit b set when entry first + b may overlap entry i; entries past the end never do.
    uint64_t CandidateMask(size_t i, size_t first) const;
    void TestLaterColliders(size_t i, bool corner_scene);
    bool TestPair(size_t i, size_t j, bool corner_scene);
    void Report(const Manifold& contact, bool trigger);
    void DrawContactsOf(size_t i);

    std::vector<std::shared_ptr<BoxCollider>> colliders_;
    std::vector<Manifold> contacts_;
    std::vector<PassEntry> pass_;
    // Per entry, a box around everything the pair test may find, for cheap rejection in list order.
    std::vector<float> lo_x_, lo_y_, hi_x_, hi_y_;
    bool in_pass_ = false;
    uint64_t messages_sent_ = 0;
    uint64_t seen_geometry_ = 0;

    static constexpr size_t kBlock = 64;
};

} // namespace OrvEngine
