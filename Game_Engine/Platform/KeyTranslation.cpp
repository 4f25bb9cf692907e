// SDL key codes to the virtual-key codes the engine uses.
#include "Platform/Platform.h"

#include <SDL_keycode.h>

namespace OrvEngine {
namespace Platform {

uint32_t TranslateSdlKey(int32_t key)
{
    if (key >= SDLK_a && key <= SDLK_z) return static_cast<uint32_t>('A' + (key - SDLK_a));
    if (key >= SDLK_0 && key <= SDLK_9) return static_cast<uint32_t>('0' + (key - SDLK_0));
    if (key >= SDLK_F1 && key <= SDLK_F12) return VK_F1_KEY + static_cast<uint32_t>(key - SDLK_F1);
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9) return 97 + static_cast<uint32_t>(key - SDLK_KP_1);
    switch (key) {
    case SDLK_BACKSPACE: return VK_BACK_KEY;
    case SDLK_TAB: return VK_TAB_KEY;
    case SDLK_RETURN: case SDLK_KP_ENTER: return VK_RETURN_KEY;
    case SDLK_LSHIFT: case SDLK_RSHIFT: return VK_SHIFT_KEY;
    case SDLK_LCTRL: case SDLK_RCTRL: return VK_CONTROL_KEY;
    case SDLK_LALT: case SDLK_RALT: return VK_MENU_KEY;
    case SDLK_PAUSE: return 19;
    case SDLK_CAPSLOCK: return 20;
    case SDLK_ESCAPE: return VK_ESCAPE_KEY;
    case SDLK_SPACE: return VK_SPACE_KEY;
    case SDLK_PAGEUP: return 33;
    case SDLK_PAGEDOWN: return 34;
    case SDLK_END: return 35;
    case SDLK_HOME: return 36;
    case SDLK_LEFT: return VK_LEFT_KEY;
    case SDLK_UP: return VK_UP_KEY;
    case SDLK_RIGHT: return VK_RIGHT_KEY;
    case SDLK_DOWN: return VK_DOWN_KEY;
    case SDLK_INSERT: return 45;
    case SDLK_DELETE: return VK_DELETE_KEY;
    case SDLK_KP_0: return 96;
    case SDLK_KP_MULTIPLY: return 106;
    case SDLK_KP_PLUS: return 107;
    case SDLK_KP_MINUS: return 109;
    case SDLK_KP_PERIOD: return 110;
    case SDLK_KP_DIVIDE: return 111;
    case SDLK_SEMICOLON: return 186;
    case SDLK_EQUALS: return 187;
    case SDLK_COMMA: return 188;
    case SDLK_MINUS: return 189;
    case SDLK_PERIOD: return 190;
    case SDLK_SLASH: return 191;
    case SDLK_BACKQUOTE: return 192;
    case SDLK_LEFTBRACKET: return 219;
    case SDLK_BACKSLASH: return 220;
    case SDLK_RIGHTBRACKET: return 221;
    case SDLK_QUOTE: return 222;
    default: return 0;
    }
}

} // namespace Platform
} // namespace OrvEngine
