// Platform layer: window, event pump, GL context, message boxes, clock, random numbers and files.
// The only module that talks to SDL; no SDL type appears here. Sound lives in Platform/Sound.h.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace OrvEngine {
namespace Platform {

// Window messages in the numbering the input translation expects.
enum WindowMessageId : uint32_t {
    WM_CLOSE_MSG = 16, // the window's close (its button, Alt+F4)
    WM_QUIT_MSG = 18,  // a request to end the program (SIGTERM, SIGINT)
    WM_KEYDOWN_MSG = 256,
    WM_KEYUP_MSG = 257,
    WM_CHAR_MSG = 258,
    WM_MOUSEMOVE_MSG = 512,
    WM_LBUTTONDOWN_MSG = 513,
    WM_LBUTTONUP_MSG = 514,
    WM_RBUTTONDOWN_MSG = 516,
    WM_RBUTTONUP_MSG = 517,
    WM_SETFOCUS_MSG = 7,
    WM_KILLFOCUS_MSG = 8,
    WM_SIZE_MSG = 5,
};

struct WindowMessage {
    uint32_t message = 0;
    uint64_t wParam = 0;
    int64_t lParam = 0;
};

// Packs a client position the way a mouse message carries it (signed 16-bit x low, y high).
int64_t PackMousePosition(int x, int y);

// Virtual-key codes used by the engine.
enum KeyCode : uint32_t {
    VK_BACK_KEY = 8, VK_TAB_KEY = 9, VK_RETURN_KEY = 13, VK_SHIFT_KEY = 16, VK_CONTROL_KEY = 17,
    VK_MENU_KEY = 18, VK_ESCAPE_KEY = 27, VK_SPACE_KEY = 32, VK_LEFT_KEY = 37, VK_UP_KEY = 38,
    VK_RIGHT_KEY = 39, VK_DOWN_KEY = 40, VK_DELETE_KEY = 46, VK_F1_KEY = 112, VK_F11_KEY = 122,
};

// Translates an SDL key code to a virtual-key code; 0 when the key has no counterpart.
uint32_t TranslateSdlKey(int32_t sdl_keycode);

// ---- Backend selection -------------------------------------------------------------------
// The null backend has no window, no GL and no SDL video: messages come only from
// PushMessage or an event source, focus is always held. Tests and tools use it.
void UseNullBackend(bool enabled);
bool IsNullBackend();

// ---- Window ------------------------------------------------------------------------------
bool CreateMainWindow(const std::string& title, int width, int height);
void DestroyMainWindow();
bool HasWindow();
void SetWindowTitle(const std::string& title);
// The window's title; under the null backend the last one set.
std::string GetWindowTitle();
void GetDisplaySize(int& width, int& height);
void GetWindowPosition(int& x, int& y);
// Borderless at (x, y) with the given client size, or with a frame at a saved position.
void PlaceWindow(int x, int y, int width, int height, bool borderless);
bool HasFocus();
// Tests pin the focus: 1 focused, 0 unfocused, -1 back to the real window's state.
void SetFocusOverride(int focused);
bool IsMinimized();

// ---- Events ------------------------------------------------------------------------------
// Collects pending SDL events into the message queue (does nothing under the null backend).
void PumpEvents();
bool PopMessage(WindowMessage& out);
void PushMessage(const WindowMessage& msg);
void ClearMessages();
// A source called once per PumpEvents that may push messages; tests and demos script input this way.
using EventSource = std::function<void()>;
void SetEventSource(EventSource source);

// ---- Editor interface back-end (Dear ImGui over SDL2) ------------------------------------
// Starts ImGui's SDL2 back-end on the main window for the current ImGui context; from then on
// every SDL event reaches ImGui before the engine's own translation (the engine still gets all
// of them). False without a window. before_close runs once when the window is about to go,
// while its GL context still exists, so the interface can release its own objects first.
bool StartInterfaceBackend(std::function<void()> before_close);
bool HasInterfaceBackend();
// Reads the window size, time, mouse and keyboard into the current ImGui context.
void InterfaceNewFrame();
// Idempotent.
void StopInterfaceBackend();

// ---- GL ----------------------------------------------------------------------------------
// Requests a 4.3 compatibility context; false (with the reason in GetLastError) when unavailable.
bool CreateGLContext();
bool HasGLContext();
void SwapBuffers();
// 1 makes each swap wait for the display's refresh, 0 lets it return at once; false when the
// driver refuses or there is no context.
bool SetSwapInterval(int interval);
// The refresh rate of the window's display in hertz; 0 when unknown (no window, or the driver
// does not say).
int GetRefreshRate();
// Idempotent.
void ReleaseGLContext();
bool IsOffscreenVideo();
std::string GetLastError();

// ---- Message boxes -----------------------------------------------------------------------
enum MessageBoxFlags : uint32_t {
    MB_OK_FLAG = 0x0, MB_OKCANCEL_FLAG = 0x1, MB_YESNO_FLAG = 0x4, MB_ICONERROR_FLAG = 0x10, MB_ICONWARNING_FLAG = 0x30,
    MB_ICONINFO_FLAG = 0x40, MB_DEFBUTTON2_FLAG = 0x100,
};
enum MessageBoxResult : int { ID_OK = 1, ID_CANCEL = 2, ID_YES = 6, ID_NO = 7 };
// Shows a box. When none can answer it (see CanAskUser) it writes its line to standard output and
// the log and takes its default button (the second with MB_DEFBUTTON2_FLAG), unless the variable
// ORV_MSGBOX_ANSWER says "yes" (Yes, OK) or "no" (No, Cancel).
int ShowMessageBox(const std::string& text, const std::string& caption, uint32_t flags);
// False under the offscreen/dummy/null drivers, on X11 without a window manager, or with CI set.
bool CanAskUser();

// ---- Clock and random numbers ------------------------------------------------------------
// Monotonic seconds since the process started.
double Now();
using ClockSource = std::function<double()>;
void SetClockSource(ClockSource source);
// Sleeps the calling thread for about that long; returns at once while a clock source is
// installed, whose time sleeping would not move.
void SleepFor(double seconds);
void SeedRandom(uint32_t seed);
// 0..32767.
int Random15();

// ---- Files and folders -------------------------------------------------------------------
// Keeps every library loaded now mapped until exit, so a leak report can name its modules.
void PinLoadedLibraries();
enum class MakeDirResult { Created, Existed, Error };
MakeDirResult MakeDirectory(const std::string& path);
bool RemoveFile(const std::string& path);
// Opens a folder in the desktop's file manager through xdg-open, detached.
bool OpenFolder(const std::string& path);
// Opens a web address in the desktop's browser, the same way.
bool OpenAddress(const std::string& address);

// Shuts SDL video down and resets the layer to its starting state.
void Shutdown();

} // namespace Platform
} // namespace OrvEngine
