// Logic: registers the gameplay components' creators, hands contact and collision messages to the
// scripts of both entities, and gives the editor's game view its picking, dragging and camera keys.
// It updates no gameplay component: the game scripts drive those.
#pragma once

#include "CoreEngine/ISystem.h"
#include "CoreEngine/Math.h"
#include "CoreEngine/Singleton.h"

#include <cstdint>
#include <functional>
#include <string>

namespace OrvEngine {

class Entity;
struct CharMessage;
struct MouseMessage;

class Logic : public ISystem, public Singleton<Logic> {
public:
    std::string GetName() override { return "Logic"; }
    void Init() override;
    void HandleMessage(Message* message) override;
    // Moves the dragged entity with the mouse while the game is not running; outside a paused play
    // that is an edit, and the editor's scene is marked modified.
    void Update() override;

    // Hands one contact or collision (by message id) to the script of `self`, with the other entity.
    // Set by the program, as the scripts sit above; without it nothing is delivered.
    using ContactReceiver = std::function<void(uint32_t message_id, Entity& self, Entity& other)>;
    static void SetContactReceiver(ContactReceiver receiver);

    // 1 while an entity is being dragged with the mouse, else 0. Kept across scene changes.
    int32_t drag_mode = 0;
    // The dragged entity's position minus the mouse world position when it was picked.
    Vec2 grab_offset;

private:
    void DeliverContact(uint32_t message_id, uint64_t a, uint64_t b);
    void Pick(const MouseMessage& message);
    void CameraKey(const CharMessage& message);
};

} // namespace OrvEngine
