// Engine messages: small records whose first field is the id, broadcast by the core engine.
#pragma once

#include <cstdint>
#include <map>

namespace OrvEngine {

enum MessageId : uint32_t {
    MSG_QUIT = 1,
    MSG_MOUSE_MOVE = 3,
    MSG_MOUSE_BUTTON = 4,
    MSG_CHAR = 5,
    MSG_KEY = 6,
    MSG_CONTACT = 9,
    MSG_COLLISION = 12,
};

struct Message {
    explicit Message(uint32_t message_id) : id(message_id) {}
    virtual ~Message() = default;
    uint32_t id;
};

struct QuitMessage : Message {
    QuitMessage() : Message(MSG_QUIT) {}
};

// Mouse move (id 3) or mouse button (id 4); position in world coordinates; button 1 left, 2 right.
struct MouseMessage : Message {
    MouseMessage(float px, float py, uint32_t message_id) : Message(message_id), x(px), y(py)
    {
        buttons[1] = 0;
        buttons[2] = 0;
    }
    float x = 0.0f;
    float y = 0.0f;
    std::map<uint32_t, uint64_t> buttons;
};

// Press counts: 0 up, 1 just pressed, more while held. Released marks last until the next
// window message the translation does not handle.
struct KeyStateMessage : Message {
    using Message::Message;
    // True when the count is non-zero; adds no entry.
    bool IsKeyDown(uint64_t code) const
    {
        auto it = counts.find(code);
        return it != counts.end() && it->second != 0;
    }
    // True when the count is exactly 1; a missing key gets an entry with count 0.
    bool IsKeyTriggered(uint64_t code) { return counts[code] == 1; }
    // The same, adding no entry.
    bool IsKeyTriggeredConst(uint64_t code) const
    {
        auto it = counts.find(code);
        return it != counts.end() && it->second == 1;
    }
    std::map<uint64_t, uint64_t> counts;
    std::map<uint64_t, bool> released;
};

struct CharMessage : KeyStateMessage {
    CharMessage() : KeyStateMessage(MSG_CHAR) {}
    uint64_t code = 0;
    // Set while the message reports a key's release: code then still holds the last typed
    // character, which is not typed again.
    bool from_release = false;
};

struct KeyMessage : KeyStateMessage {
    KeyMessage() : KeyStateMessage(MSG_KEY) {}
    // True only for this message's own key when its count is 1: the key-down that began a press.
    bool IsOwnPress(uint64_t code) const { return key == code && IsKeyTriggeredConst(code); }
    uint64_t key = 0;
};

struct ContactMessage : Message {
    ContactMessage(uint64_t a, uint64_t b) : Message(MSG_CONTACT), entity_a(a), entity_b(b) {}
    uint64_t entity_a;
    uint64_t entity_b;
};

struct CollisionMessage : Message {
    CollisionMessage(uint64_t a, uint64_t b) : Message(MSG_COLLISION), entity_a(a), entity_b(b) {}
    uint64_t entity_a;
    uint64_t entity_b;
};

} // namespace OrvEngine
