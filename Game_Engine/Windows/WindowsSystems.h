// The window system: the one window, "config.json", borderless fullscreen and F11, the per-frame
// pump, the title, focus loss, size changes made from outside, and the close path.
#pragma once

#include "CoreEngine/ISerializable.h"
#include "CoreEngine/ISystem.h"
#include "CoreEngine/Singleton.h"

#include <cstdint>
#include <string>

namespace OrvEngine {

namespace Platform {
struct WindowMessage;
}

class WindowsSystems : public ISystem, public ISerializable, public Singleton<WindowsSystems> {
public:
    WindowsSystems();
    ~WindowsSystems() override;
    void HandleMessage(Message* message) override;
    void Update() override;
    std::string GetName() override { return "Windows"; }
    void Init() override;

    // The current client size is written: the screen's while fullscreen.
    bool Serialize(JsonWriter& writer) override;
    // Missing or invalid members keep their values; a zero size is refused.
    void Deserialize(const rapidjson::Value& value) override;

    // Reads name + ".json" from the data folder; false (defaults kept, logged) when unreadable.
    bool LoadConfig(const std::string& name);
    bool SaveConfig();
    void EnterFullscreen();
    void LeaveFullscreen();
    void ToggleFullscreen();
    // The window procedure: everything reaches the input translation.
    int64_t WndProc(const Platform::WindowMessage& message);

    // The window's client area now has this size (a window manager or a tool changed it): the size
    // every frame is laid out for follows. A zero side (minimised) is ignored.
    void Resize(int new_width, int new_height);

    // Set by the program, as the systems they reach sit above the window: what closing the window
    // releases (rendering), how focus mutes the music, and what a size change makes stale (the
    // pixels a partial repaint would build on). Empty ones do nothing.
    using CloseHook = void (*)();
    using FocusMuteHook = void (*)(bool muted);
    using ResizeHook = void (*)();
    static void SetCloseHook(CloseHook hook) { close_hook_ = hook; }
    static void SetFocusMuteHook(FocusMuteHook hook) { focus_mute_hook_ = hook; }
    static void SetResizeHook(ResizeHook hook) { resize_hook_ = hook; }

    int show_command = 0;
    static constexpr uint64_t kDefaultWidth = 1280, kDefaultHeight = 720; // until config.json gives a size
    uint64_t width = kDefaultWidth;   // current client width
    uint64_t height = kDefaultHeight; // current client height
    std::string title = "OrvEngine";
    bool fullscreen = false;
    // The windowed client size and position, restored when leaving fullscreen.
    uint64_t windowed_width = kDefaultWidth;
    uint64_t windowed_height = kDefaultHeight;
    int saved_x = 0;
    int saved_y = 0;

private:
    void HandleFocus();
    void UpdateTitle();
    // A close of the window goes ahead, or the user kept the editor open.
    bool CloseConfirmed();
    void Close();
    std::string shown_title_;
    static inline CloseHook close_hook_ = nullptr;
    static inline FocusMuteHook focus_mute_hook_ = nullptr;
    static inline ResizeHook resize_hook_ = nullptr;
};

} // namespace OrvEngine
