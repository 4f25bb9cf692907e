// Input translation: window messages to engine key, character and mouse messages, and the
// static key, character and mouse-button messages that hold the keyboard and mouse state.
#pragma once

#include "CoreEngine/Message.h"

#include <cstdint>
#include <map>
#include <set>

namespace OrvEngine {

class Input {
public:
    static Input& Instance();
    static KeyMessage& GetKeyMessage();
    static CharMessage& GetCharMessage();
    static MouseMessage& GetMouseClickMessage();

    // Returns 0 for every message it handles, 1 for the others (which empty the released maps).
    int64_t HandleWindowMessage(uint32_t message, uint64_t wparam, int64_t lparam);
    // Every key and character up, released marks cleared; the screen and world positions kept.
    void Reset();

    // Maps a window point into the world for each mouse move: set by the program (the cameras live
    // above the window layer); without one the world position stays as it was.
    using WorldMapper = void (*)(float screen_x, float screen_y, float& world_x, float& world_y);
    static void SetWorldMapper(WorldMapper mapper);

    float world_x = 0.0f;
    float world_y = 0.0f;
    float screen_x = 0.0f;
    float screen_y = 0.0f;

private:
    void KeyDown(uint64_t key);
    void KeyUp(uint64_t key);
    void Character(uint64_t code);
    void MouseMove(int64_t lparam);
    void MouseButton(uint32_t button, bool down);
    void LoseFocus();
    void UpdateWorldPosition();

    // The characters each held key produced, reset when that key is released.
    std::map<uint64_t, std::set<uint64_t>> produced_;
    uint64_t last_key_down_ = 0;
    static inline WorldMapper world_mapper_ = nullptr;
};

} // namespace OrvEngine
