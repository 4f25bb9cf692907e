#include "Windows/WindowsSystems.h"

#include "CoreEngine/CoreEngine.h"
#include "CoreEngine/EditorState.h"
#include "CoreEngine/FPS.h"
#include "CoreEngine/Globals.h"
#include "CoreEngine/Message.h"
#include "CoreEngine/Serializer.h"
#include "Logging/Logging.h"
#include "Platform/Platform.h"
#include "Scene/IScene.h"
#include "Scene/SceneStateMachine.h"
#include "Windows/Input.h"

namespace OrvEngine {

namespace {
constexpr uint32_t kMaxWindowSide = 16384;

// A member that is there but of the wrong kind is ignored with a log line, so a typo in the file
// does not silently leave the default in place.
void ReportIgnored(const char* key, const char* wanted)
{
    PrintAndLog(std::string("[WindowsSystems::Deserialize] config.json: \"") + key + "\" is not " + wanted +
                "; it is ignored");
}

uint32_t ReadSide(const rapidjson::Value& config, const char* key, uint32_t fallback)
{
    auto member = config.FindMember(key);
    if (member == config.MemberEnd()) return fallback;
    if (member->value.IsUint()) return member->value.GetUint();
    ReportIgnored(key, "a whole number of pixels");
    return fallback;
}
} // namespace

WindowsSystems::WindowsSystems() : show_command(ShowCommand) {}

WindowsSystems::~WindowsSystems() { Platform::DestroyMainWindow(); }

bool WindowsSystems::Serialize(JsonWriter& writer)
{
    Serializer::WriteString(writer, "Name", title);
    Serializer::WriteUint(writer, "Height", static_cast<uint32_t>(height));
    Serializer::WriteUint(writer, "Width", static_cast<uint32_t>(width));
    return true;
}

void WindowsSystems::Deserialize(const rapidjson::Value& value)
{
    if (!value.IsObject()) {
        PrintAndLog("[WindowsSystems::Deserialize] config.json does not hold an object; the defaults are kept");
        return;
    }
    auto name = value.FindMember("Name");
    if (name != value.MemberEnd() && !name->value.IsString()) ReportIgnored("Name", "a string");
    title = Serializer::ReadString(value, "Name", title);
    const uint32_t h = ReadSide(value, "Height", static_cast<uint32_t>(height));
    const uint32_t w = ReadSide(value, "Width", static_cast<uint32_t>(width));
    if (h == 0 || w == 0) {
        PrintAndLog("[WindowsSystems::Deserialize] config.json asks for a zero window size; the default is kept");
        return;
    }
    if (h > kMaxWindowSide || w > kMaxWindowSide) {
        PrintAndLog("[WindowsSystems::Deserialize] config.json asks for a window larger than " +
                    std::to_string(kMaxWindowSide) + " pixels a side; the default is kept");
        return;
    }
    height = windowed_height = h;
    width = windowed_width = w;
}

bool WindowsSystems::LoadConfig(const std::string& name)
{
    rapidjson::Document document;
    if (!OrvSerializer.ReadFileToDocument(name + ".json", document)) {
        PrintAndLog("Error opening file " + name + ".json; the default window settings are used");
        return false;
    }
    Deserialize(document);
    return true;
}

bool WindowsSystems::SaveConfig()
{
    const std::string text = Serializer::ObjectText([this](JsonWriter& writer) { Serialize(writer); });
    return OrvSerializer.WriteStringToFile(text, "config.json");
}

void WindowsSystems::Init()
{
    LoadConfig("config");
    const bool created = Platform::CreateMainWindow(title, static_cast<int>(width), static_cast<int>(height));
    if (!created) PrintAndLog("[WindowsSystems::Init] " + Platform::GetLastError());
    ORV_ASSERT_AT(created, "Game_Engine/Windows/Windows", "Error creating window!!");
    PrintLine("Window created successfully!!");
    EnterFullscreen();
    LogLine("Window created successfully");
}

void WindowsSystems::EnterFullscreen()
{
    if (fullscreen) return;
    Platform::GetWindowPosition(saved_x, saved_y);
    int display_w = 0;
    int display_h = 0;
    Platform::GetDisplaySize(display_w, display_h);
    if (!Platform::HasWindow()) {
        // Without a window the configured size stands in for the screen.
        display_w = static_cast<int>(windowed_width);
        display_h = static_cast<int>(windowed_height);
    }
    Platform::PlaceWindow(0, 0, display_w, display_h, true);
    width = static_cast<uint64_t>(display_w);
    height = static_cast<uint64_t>(display_h);
    fullscreen = true;
}

void WindowsSystems::LeaveFullscreen()
{
    if (!fullscreen) return;
    Platform::PlaceWindow(saved_x, saved_y, static_cast<int>(windowed_width), static_cast<int>(windowed_height), false);
    width = windowed_width;
    height = windowed_height;
    fullscreen = false;
}

void WindowsSystems::ToggleFullscreen()
{
    if (fullscreen) LeaveFullscreen();
    else EnterFullscreen();
}

void WindowsSystems::HandleMessage(Message* message)
{
    if (message->id != MSG_KEY) return;
    // Only F11's own key-down toggles, not another key pressed while F11 is held.
    if (static_cast<KeyMessage*>(message)->IsOwnPress(Platform::VK_F11_KEY)) ToggleFullscreen();
}

void WindowsSystems::Update()
{
    HandleFocus();
    UpdateTitle();
    Platform::PumpEvents();
    // Released marks last one frame: the pump stands for the window message that clears them.
    Input::GetCharMessage().released.clear();
    Input::GetKeyMessage().released.clear();
    Platform::WindowMessage message;
    while (Platform::PopMessage(message)) {
        if (message.message == Platform::WM_QUIT_MSG) Close();
        if (message.message == Platform::WM_CLOSE_MSG && CloseConfirmed()) Close();
        if (message.message == Platform::WM_SIZE_MSG) {
            // The size travels packed as a position is: width in the low 16 bits, height above.
            Resize(static_cast<uint16_t>(message.lParam & 0xFFFF), static_cast<uint16_t>((message.lParam >> 16) & 0xFFFF));
        }
        WndProc(message);
    }
}

void WindowsSystems::Resize(int new_width, int new_height)
{
    if (new_width <= 0 || new_height <= 0) return;
    width = static_cast<uint64_t>(new_width);
    height = static_cast<uint64_t>(new_height);
    // Also when the size came back to what it was: the window's pixels may not have survived.
    if (resize_hook_) resize_hook_();
}

void WindowsSystems::HandleFocus()
{
    if (Platform::HasFocus() && !Platform::IsMinimized()) {
        if (focus_mute_hook_) focus_mute_hook_(false);
        return;
    }
    auto scene = CurrentScene();
    if (scene && scene->GetSceneType() == SCENE_GAME && !OrvStateMachine->paused && GameIsRunning) {
        const std::string name = scene->GetSceneName();
        if (name == "GameScene_01" || name == "GameScene_22" || name == "GameScene_23") OrvStateMachine->paused = true;
    }
    if (focus_mute_hook_) focus_mute_hook_(true);
}

void WindowsSystems::UpdateTitle()
{
    std::string text = title;
    if (ShowDebugDrawing) text += "           FPS: " + std::to_string(FPS::GetInstance()->frames_per_second);
    if (text == shown_title_) return;
    shown_title_ = text;
    Platform::SetWindowTitle(text);
}

bool WindowsSystems::CloseConfirmed()
{
    // The game, and an editor with nothing unsaved, end at once; unsaved work is asked about, as
    // Escape asks.
    const EditorState* editor = EditorState::Current();
    if (GameMode || !editor || editor->UnsavedSceneName().empty()) return true;
    return CoreEngine::AskToExit();
}

void WindowsSystems::Close()
{
    QuitMessage quit;
    if (OrvCoreEngine) OrvCoreEngine->BroadcastMessage(&quit);
    // The old file stays and serves the next run: a read-only or full data folder is no reason to
    // end the run as a crash.
    if (!SaveConfig()) PrintAndLog("[WindowsSystems::Close] Failed to write to file config.json; the old file is kept");
    if (close_hook_) close_hook_();
}

int64_t WindowsSystems::WndProc(const Platform::WindowMessage& message)
{
    return Input::Instance().HandleWindowMessage(message.message, message.wParam, message.lParam);
}

} // namespace OrvEngine
