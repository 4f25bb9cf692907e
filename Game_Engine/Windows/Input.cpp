#include "Windows/Input.h"

#include "CoreEngine/CoreEngine.h"
#include "CoreEngine/EditorState.h"
#include "CoreEngine/Globals.h"
#include "Platform/Platform.h"

namespace OrvEngine {

namespace {
void Broadcast(Message* message)
{
    if (OrvCoreEngine) OrvCoreEngine->BroadcastMessage(message);
}

// What is typed into an editor field is not a game key, a camera key, Tab or Escape. Releases
// still pass, so nothing stays held.
bool TypedIntoEditor()
{
    const EditorState* editor = EditorState::Current();
    return editor && editor->keyboard_taken;
}
} // namespace

Input& Input::Instance()
{
    static Input input;
    return input;
}

KeyMessage& Input::GetKeyMessage()
{
    static KeyMessage message;
    return message;
}

CharMessage& Input::GetCharMessage()
{
    static CharMessage message;
    return message;
}

MouseMessage& Input::GetMouseClickMessage()
{
    static MouseMessage message(0.0f, 0.0f, MSG_MOUSE_BUTTON);
    return message;
}

int64_t Input::HandleWindowMessage(uint32_t message, uint64_t wparam, int64_t lparam)
{
    switch (message) {
    case Platform::WM_KEYDOWN_MSG: KeyDown(wparam); return 0;
    case Platform::WM_KEYUP_MSG: KeyUp(wparam); return 0;
    case Platform::WM_CHAR_MSG: Character(wparam); return 0;
    case Platform::WM_MOUSEMOVE_MSG: MouseMove(lparam); return 0;
    case Platform::WM_LBUTTONDOWN_MSG: MouseButton(1, true); return 0;
    case Platform::WM_RBUTTONDOWN_MSG: MouseButton(2, true); return 0;
    case Platform::WM_LBUTTONUP_MSG: MouseButton(1, false); return 0;
    case Platform::WM_RBUTTONUP_MSG: MouseButton(2, false); return 0;
    case Platform::WM_KILLFOCUS_MSG: LoseFocus(); break;
    default: break;
    }
    GetCharMessage().released.clear();
    GetKeyMessage().released.clear();
    return 1;
}

void Input::Reset()
{
    for (KeyStateMessage* m : {static_cast<KeyStateMessage*>(&GetKeyMessage()),
                               static_cast<KeyStateMessage*>(&GetCharMessage())}) {
        m->counts.clear();
        m->released.clear();
    }
    GetKeyMessage().key = 0;
    GetCharMessage().code = 0;
    GetMouseClickMessage().buttons[1] = 0;
    GetMouseClickMessage().buttons[2] = 0;
    produced_.clear();
    last_key_down_ = 0;
}

void Input::KeyDown(uint64_t key)
{
    if (TypedIntoEditor()) return;
    KeyMessage& keys = GetKeyMessage();
    keys.key = key;
    ++keys.counts[key];
    last_key_down_ = key;
    Broadcast(&keys);
}

void Input::KeyUp(uint64_t key)
{
    CharMessage& chars = GetCharMessage();
    std::set<uint64_t> reset;
    if (key >= 'A' && key <= 'Z') reset.insert(key + ('a' - 'A'));
    if (key >= '0' && key <= '9') reset.insert(key);
    const bool broadcast_chars = !reset.empty();
    // Whatever else the key typed (capitals, space, punctuation, Escape) is released silently.
    auto produced = produced_.find(key);
    if (produced != produced_.end()) {
        reset.insert(produced->second.begin(), produced->second.end());
        produced_.erase(produced);
    }
    for (uint64_t code : reset) {
        chars.counts[code] = 0;
        chars.released[code] = true;
    }
    if (broadcast_chars) {
        chars.from_release = true;
        Broadcast(&chars);
        chars.from_release = false;
    }
    KeyMessage& keys = GetKeyMessage();
    keys.key = key;
    keys.counts[key] = 0;
    keys.released[key] = true;
    if (last_key_down_ == key) last_key_down_ = 0;
    Broadcast(&keys);
}

void Input::Character(uint64_t code)
{
    if (TypedIntoEditor()) return;
    if (last_key_down_ != 0) produced_[last_key_down_].insert(code);
    if (code >= 'a' && code <= 'z') {
        KeyMessage& keys = GetKeyMessage();
        keys.key = code - ('a' - 'A');
        ++keys.counts[code - ('a' - 'A')];
        Broadcast(&keys);
    }
    CharMessage& chars = GetCharMessage();
    chars.code = code;
    ++chars.counts[code];
    Broadcast(&chars);
}

void Input::MouseMove(int64_t lparam)
{
    screen_x = static_cast<float>(static_cast<int16_t>(lparam & 0xFFFF));
    screen_y = static_cast<float>(static_cast<int16_t>((lparam >> 16) & 0xFFFF));
    UpdateWorldPosition();
    MouseMessage move(world_x, world_y, MSG_MOUSE_MOVE);
    Broadcast(&move);
}

void Input::MouseButton(uint32_t button, bool down)
{
    MouseMessage& click = GetMouseClickMessage();
    click.x = world_x;
    click.y = world_y;
    if (down) ++click.buttons[button];
    else click.buttons[button] = 0;
    Broadcast(&click);
}

void Input::LoseFocus()
{
    // Key-ups that happen while another window has focus never arrive.
    for (auto& [key, count] : GetKeyMessage().counts) count = 0;
    for (auto& [code, count] : GetCharMessage().counts) count = 0;
    produced_.clear();
    last_key_down_ = 0;
}

void Input::SetWorldMapper(WorldMapper mapper) { world_mapper_ = mapper; }

void Input::UpdateWorldPosition()
{
    if (world_mapper_) world_mapper_(screen_x, screen_y, world_x, world_y);
}

} // namespace OrvEngine
