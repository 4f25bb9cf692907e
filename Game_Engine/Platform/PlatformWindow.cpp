// SDL2 window, GL context, event translation and message boxes.
#include "Platform/Platform.h"

#include "Logging/Logging.h"

#include <SDL.h>
#include <X11/Xlib.h>
#include <backends/imgui_impl_sdl.h>
#include <dlfcn.h>

#include <cstdlib>
#include <deque>
#include <fstream>
#include <iostream>

#if defined(__SANITIZE_ADDRESS__)
#define ORV_LEAK_CHECKED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ORV_LEAK_CHECKED 1
#endif
#endif
#ifndef ORV_LEAK_CHECKED
#define ORV_LEAK_CHECKED 0
#endif

namespace OrvEngine {
namespace Platform {

namespace {
// The steps that differ between SDL video and the null backend (no window, no GL, no events of its
// own, nobody to ask): UseNullBackend picks one table, and the functions below never ask again.
struct VideoBackend {
    bool (*create_window)(const std::string& title, int width, int height);
    void (*poll_events)();
    bool (*start_interface)();
    bool (*create_gl_context)();
    bool (*can_ask_user)();
};
extern const VideoBackend kSdlVideo;
extern const VideoBackend kNullVideo;

struct WindowState {
    const VideoBackend* backend = &kSdlVideo;
    bool video_up = false;
    SDL_Window* window = nullptr;
    SDL_GLContext gl = nullptr;
    std::deque<WindowMessage> queue;
    EventSource source;
    std::string last_error;
    int wm_checked = -1; // -1 unknown, 0 no window manager, 1 one runs
    std::string title;   // the last title asked for; what the null backend reports
    int focus_override = -1;
    int created_w = 0;   // the size the window was made with
    int created_h = 0;
    bool interface_up = false;
    std::function<void()> before_close;
};
WindowState g;

bool InitVideo()
{
    if (g.video_up) return true;
    // Closing the window is the engine's to decide (the editor may ask first): SDL must not turn it
    // into a quit of its own.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        g.last_error = SDL_GetError();
        return false;
    }
    g.video_up = true;
    return true;
}

const char* VideoDriver()
{
    if (g.video_up) {
        const char* name = SDL_GetCurrentVideoDriver();
        if (name) return name;
    }
    const char* env = std::getenv("SDL_VIDEODRIVER");
    return env ? env : "";
}

bool X11HasWindowManager()
{
    if (g.wm_checked >= 0) return g.wm_checked == 1;
    g.wm_checked = 0;
    Display* display = XOpenDisplay(nullptr);
    if (!display) return false;
    Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", True);
    if (check != None) {
        Atom type = None;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False, AnyPropertyType,
                               &type, &format, &count, &after, &data) == Success && data) {
            g.wm_checked = count > 0 ? 1 : 0;
            XFree(data);
        }
    }
    XCloseDisplay(display);
    return g.wm_checked == 1;
}

void PushChar(uint32_t code) { g.queue.push_back({WM_CHAR_MSG, code, 0}); }

void PushUtf8Text(const char* text)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    while (*p) {
        uint32_t code = 0;
        int extra = 0;
        if (*p < 0x80) { code = *p; }
        else if ((*p & 0xE0) == 0xC0) { code = *p & 0x1F; extra = 1; }
        else if ((*p & 0xF0) == 0xE0) { code = *p & 0x0F; extra = 2; }
        else if ((*p & 0xF8) == 0xF0) { code = *p & 0x07; extra = 3; }
        else { ++p; continue; }
        ++p;
        for (int i = 0; i < extra && *p; ++i, ++p) code = (code << 6) | (*p & 0x3F);
        PushChar(code);
    }
}

void TranslateEvent(const SDL_Event& e)
{
    switch (e.type) {
    case SDL_QUIT:
        // A request to end the program (SIGTERM, SIGINT), not the window's close.
        g.queue.push_back({WM_QUIT_MSG, 0, 0});
        break;
    case SDL_KEYDOWN: {
        uint32_t vk = TranslateSdlKey(e.key.keysym.sym);
        if (!vk) break;
        g.queue.push_back({WM_KEYDOWN_MSG, vk, 0});
        // SDL gives no text for these keys; the engine expects their characters.
        if (vk == VK_ESCAPE_KEY || vk == VK_RETURN_KEY || vk == VK_BACK_KEY || vk == VK_TAB_KEY) PushChar(vk);
        break;
    }
    case SDL_KEYUP: {
        uint32_t vk = TranslateSdlKey(e.key.keysym.sym);
        if (vk) g.queue.push_back({WM_KEYUP_MSG, vk, 0});
        break;
    }
    case SDL_TEXTINPUT:
        PushUtf8Text(e.text.text);
        break;
    case SDL_MOUSEMOTION:
        g.queue.push_back({WM_MOUSEMOVE_MSG, 0, PackMousePosition(e.motion.x, e.motion.y)});
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        bool down = e.type == SDL_MOUSEBUTTONDOWN;
        uint32_t msg = 0;
        if (e.button.button == SDL_BUTTON_LEFT) msg = down ? WM_LBUTTONDOWN_MSG : WM_LBUTTONUP_MSG;
        if (e.button.button == SDL_BUTTON_RIGHT) msg = down ? WM_RBUTTONDOWN_MSG : WM_RBUTTONUP_MSG;
        if (msg) g.queue.push_back({msg, 0, PackMousePosition(e.button.x, e.button.y)});
        break;
    }
    case SDL_WINDOWEVENT:
        if (e.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) g.queue.push_back({WM_SETFOCUS_MSG, 0, 0});
        if (e.window.event == SDL_WINDOWEVENT_FOCUS_LOST) g.queue.push_back({WM_KILLFOCUS_MSG, 0, 0});
        if (e.window.event == SDL_WINDOWEVENT_CLOSE) g.queue.push_back({WM_CLOSE_MSG, 0, 0});
        if (e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
            g.queue.push_back({WM_SIZE_MSG, 0, PackMousePosition(e.window.data1, e.window.data2)});
        }
        break;
    default:
        break;
    }
}

// The context the next SDL_GL_CreateContext asks for (profile 0: any).
void RequestGLContext(int major, int minor, int profile)
{
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, major);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, minor);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, profile);
}

// 4.3 is what drawing needs; compatibility keeps the legacy calls open to the editor's back-end.
void RequestDrawingContext() { RequestGLContext(4, 3, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY); }

bool SdlCreateWindow(const std::string& title, int width, int height)
{
    if (g.window) return true;
    if (!InitVideo()) return false;
    RequestDrawingContext();
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    // Nothing draws with depth, but without a depth buffer llvmpipe fills rectangles by a path that
    // filters and blends with other rounding: the sprite plan's pieces would no longer match.
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    const Uint32 flags = SDL_WINDOW_SHOWN;
    g.window = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_UNDEFINED, 0, width, height, flags | SDL_WINDOW_OPENGL);
    if (!g.window) {
        // Drivers without GL (dummy) still give a window; GL set-up reports the lack later.
        g.window = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_UNDEFINED, 0, width, height, flags);
    }
    if (!g.window) {
        g.last_error = SDL_GetError();
        return false;
    }
    g.created_w = width;
    g.created_h = height;
    SDL_StartTextInput();
    return true;
}

void SdlPollEvents()
{
    if (!g.video_up) return;
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        if (g.interface_up) ImGui_ImplSDL2_ProcessEvent(&e);
        TranslateEvent(e);
    }
}

// Under LeakSanitizer only, the libraries loaded with the GL driver stay mapped until exit: unloaded
// at shutdown, what they still refer to would be reported as leaked from a module the report cannot
// name, and no suppression could match it.
void KeepDriverLibrariesMapped()
{
#if ORV_LEAK_CHECKED
    PinLoadedLibraries();
#endif
}

bool SdlCreateGLContext()
{
    if (!g.window) {
        g.last_error = "no window";
        return false;
    }
    g.gl = SDL_GL_CreateContext(g.window);
    if (!g.gl) {
        g.last_error = SDL_GetError();
        // A driver short of 4.3 still gets the context it can give, so that the version check
        // after loading GL says what is missing.
        RequestGLContext(2, 1, 0);
        g.gl = SDL_GL_CreateContext(g.window);
        RequestDrawingContext();
    }
    if (!g.gl) return false;
    SDL_GL_MakeCurrent(g.window, g.gl);
    SDL_GL_SetSwapInterval(1);
    KeepDriverLibrariesMapped();
    return true;
}

bool SdlCanAskUser()
{
    if (std::getenv("CI")) return false;
    std::string driver = VideoDriver();
    if (driver == "offscreen" || driver == "dummy") return false;
    if (driver == "wayland") return true;
    if (!std::getenv("DISPLAY")) return false;
    return X11HasWindowManager();
}

bool SdlStartInterface() { return ImGui_ImplSDL2_InitForOpenGL(g.window, g.gl); }

bool NullCreateGLContext()
{
    g.last_error = "no GL under the null backend";
    return false;
}

const VideoBackend kSdlVideo{SdlCreateWindow, SdlPollEvents, SdlStartInterface, SdlCreateGLContext, SdlCanAskUser};
const VideoBackend kNullVideo{[](const std::string&, int, int) { return true; }, [] {}, [] { return false; },
                              NullCreateGLContext, [] { return false; }};
} // namespace

void UseNullBackend(bool enabled) { g.backend = enabled ? &kNullVideo : &kSdlVideo; }
bool IsNullBackend() { return g.backend == &kNullVideo; }

bool CreateMainWindow(const std::string& title, int width, int height)
{
    g.title = title;
    return g.backend->create_window(title, width, height);
}

void DestroyMainWindow()
{
    if (g.before_close) {
        auto before_close = std::move(g.before_close);
        g.before_close = nullptr;
        before_close();
    }
    StopInterfaceBackend();
    ReleaseGLContext();
    if (g.window) SDL_DestroyWindow(g.window);
    g.window = nullptr;
}

bool HasWindow() { return g.window != nullptr; }

void SetWindowTitle(const std::string& title)
{
    g.title = title;
    if (g.window) SDL_SetWindowTitle(g.window, title.c_str());
}

std::string GetWindowTitle() { return g.window ? SDL_GetWindowTitle(g.window) : g.title; }

void GetDisplaySize(int& width, int& height)
{
    width = 1280;
    height = 720;
    if (!g.window) return;
    if (IsOffscreenVideo()) {
        // The offscreen driver never resizes a window's surface: its screen is the window as made.
        width = g.created_w;
        height = g.created_h;
        return;
    }
    SDL_DisplayMode mode;
    int display = SDL_GetWindowDisplayIndex(g.window);
    if (SDL_GetDesktopDisplayMode(display < 0 ? 0 : display, &mode) == 0) {
        width = mode.w;
        height = mode.h;
    }
}

void GetWindowPosition(int& x, int& y)
{
    x = y = 0;
    if (g.window) SDL_GetWindowPosition(g.window, &x, &y);
}

void PlaceWindow(int x, int y, int width, int height, bool borderless)
{
    if (!g.window) return;
    SDL_SetWindowBordered(g.window, borderless ? SDL_FALSE : SDL_TRUE);
    SDL_SetWindowSize(g.window, width, height);
    SDL_SetWindowPosition(g.window, x, y);
    SDL_ShowWindow(g.window);
}

void SetFocusOverride(int focused) { g.focus_override = focused; }

bool HasFocus()
{
    if (g.focus_override >= 0) return g.focus_override == 1;
    if (!g.window || IsOffscreenVideo()) return true;
    return (SDL_GetWindowFlags(g.window) & SDL_WINDOW_INPUT_FOCUS) != 0;
}

bool IsMinimized()
{
    return g.window && (SDL_GetWindowFlags(g.window) & SDL_WINDOW_MINIMIZED) != 0;
}

void PumpEvents()
{
    if (g.source) g.source();
    g.backend->poll_events();
}

bool PopMessage(WindowMessage& out)
{
    if (g.queue.empty()) return false;
    out = g.queue.front();
    g.queue.pop_front();
    return true;
}

void PushMessage(const WindowMessage& msg) { g.queue.push_back(msg); }
void ClearMessages() { g.queue.clear(); }
void SetEventSource(EventSource source) { g.source = std::move(source); }

bool StartInterfaceBackend(std::function<void()> before_close)
{
    if (g.interface_up) return true;
    if (!g.window || !g.backend->start_interface()) return false;
    g.interface_up = true;
    g.before_close = std::move(before_close);
    return true;
}

bool HasInterfaceBackend() { return g.interface_up; }

void InterfaceNewFrame()
{
    if (g.interface_up) ImGui_ImplSDL2_NewFrame();
}

void StopInterfaceBackend()
{
    if (!g.interface_up) return;
    g.interface_up = false;
    // The back-end's state lives in the context: without one there is nothing left to release.
    if (ImGui::GetCurrentContext()) ImGui_ImplSDL2_Shutdown();
}

bool CreateGLContext()
{
    if (g.gl) return true;
    return g.backend->create_gl_context();
}

bool HasGLContext() { return g.gl != nullptr; }

void SwapBuffers()
{
    if (g.window && g.gl) SDL_GL_SwapWindow(g.window);
}

bool SetSwapInterval(int interval) { return g.gl && SDL_GL_SetSwapInterval(interval) == 0; }

int GetRefreshRate()
{
    if (!g.window) return 0;
    SDL_DisplayMode mode;
    if (SDL_GetWindowDisplayMode(g.window, &mode) != 0) return 0;
    return mode.refresh_rate > 0 ? mode.refresh_rate : 0;
}

void ReleaseGLContext()
{
    if (!g.gl) return;
    SDL_GL_MakeCurrent(g.window, nullptr);
    SDL_GL_DeleteContext(g.gl);
    g.gl = nullptr;
}

bool IsOffscreenVideo()
{
    std::string driver = VideoDriver();
    return driver == "offscreen" || driver == "dummy";
}

std::string GetLastError() { return g.last_error; }

bool CanAskUser() { return g.backend->can_ask_user(); }

namespace {
// The button Enter would press: the second one when the box says so, else the first.
int DefaultButton(bool yes_no, bool ok_cancel, uint32_t flags)
{
    const bool second = (flags & MB_DEFBUTTON2_FLAG) != 0;
    if (yes_no) return second ? ID_NO : ID_YES;
    if (ok_cancel) return second ? ID_CANCEL : ID_OK;
    return ID_OK;
}

// The answer ORV_MSGBOX_ANSWER gives ("yes" the first button, "no" the second), or the default.
int UnattendedAnswer(bool yes_no, bool ok_cancel, uint32_t flags)
{
    const char* answer = std::getenv("ORV_MSGBOX_ANSWER");
    const std::string said = answer ? answer : "";
    if (yes_no || ok_cancel) {
        if (said == "yes" || said == "Yes") return yes_no ? ID_YES : ID_OK;
        if (said == "no" || said == "No") return yes_no ? ID_NO : ID_CANCEL;
    }
    return DefaultButton(yes_no, ok_cancel, flags);
}

const char* AnswerName(int answer)
{
    switch (answer) {
    case ID_YES: return "Yes";
    case ID_NO: return "No";
    case ID_CANCEL: return "Cancel";
    default: return "OK";
    }
}
} // namespace

int ShowMessageBox(const std::string& text, const std::string& caption, uint32_t flags)
{
    const bool yes_no = (flags & 0xF) == MB_YESNO_FLAG;
    const bool ok_cancel = (flags & 0xF) == MB_OKCANCEL_FLAG;
    if (!CanAskUser()) {
        // Nobody is there to answer: Yes is never given for a person who is not there unless asked for.
        const int result = UnattendedAnswer(yes_no, ok_cancel, flags);
        const std::string line = "[MessageBox] " + caption + ": " + text + " -> " + AnswerName(result);
        std::cout << line << std::endl;
        LogIfOpen(line);
        return result;
    }
    InitVideo();
    SDL_MessageBoxButtonData buttons[2];
    int count = 0;
    if (yes_no || ok_cancel) {
        bool second_default = (flags & MB_DEFBUTTON2_FLAG) != 0;
        const Uint32 return_default = SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
        buttons[0] = {second_default ? 0u : return_default, yes_no ? ID_YES : ID_OK, yes_no ? "Yes" : "OK"};
        buttons[1] = {second_default ? return_default : 0u, yes_no ? ID_NO : ID_CANCEL, yes_no ? "No" : "Cancel"};
        buttons[1].flags |= SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
        count = 2;
    } else {
        buttons[0] = {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, ID_OK, "OK"};
        count = 1;
    }
    Uint32 icon = SDL_MESSAGEBOX_INFORMATION;
    if ((flags & 0xF0) == MB_ICONERROR_FLAG) icon = SDL_MESSAGEBOX_ERROR;
    if ((flags & 0xF0) == MB_ICONWARNING_FLAG) icon = SDL_MESSAGEBOX_WARNING;
    SDL_MessageBoxData data{icon, g.window, caption.c_str(), text.c_str(), count, buttons, nullptr};
    int pressed = 0;
    // A box that cannot be shown was answered by nobody; one closed without a button, as Escape would.
    if (SDL_ShowMessageBox(&data, &pressed) != 0) return DefaultButton(yes_no, ok_cancel, flags);
    if (pressed < 0) return yes_no ? ID_NO : ok_cancel ? ID_CANCEL : ID_OK;
    return pressed;
}

void Shutdown()
{
    DestroyMainWindow();
    if (g.video_up) SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
    g.video_up = false;
    g.queue.clear();
    g.source = nullptr;
    g.before_close = nullptr;
    g.title.clear();
    g.focus_override = -1;
}

void PinLoadedLibraries()
{
    std::ifstream maps("/proc/self/maps");
    std::string line;
    while (std::getline(maps, line)) {
        const auto slash = line.find('/');
        if (slash == std::string::npos || line.find(".so", slash) == std::string::npos) continue;
        dlopen(line.substr(slash).c_str(), RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
    }
}

} // namespace Platform
} // namespace OrvEngine
