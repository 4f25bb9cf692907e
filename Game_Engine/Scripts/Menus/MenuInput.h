// What the menu scripts share about their buttons and input: a button counts as pressed when the
// button system has it selected and Enter has asked for activation; mouse and key tests read the
// engine message at hand.
#pragma once

#include <cstdint>
#include <memory>

namespace OrvEngine {
class Button;
struct Message;
} // namespace OrvEngine

namespace MenuInput {

// The button is the button system's selection and its activation is pending.
bool IsPressed(const std::shared_ptr<OrvEngine::Button>& button);
// Drops the selection and the pending activation, as a script does once it has acted.
void ClearPress();
// Drops only the pending activation (the selection stays).
void ClearActivation();
// A mouse-button message in which the given button (1 left, 2 right) has just gone down.
bool IsButtonJustDown(OrvEngine::Message* message, uint32_t mouse_button);
// A key message in which the key's press count is exactly 1 (held keys do not repeat).
bool IsKeyJustDown(OrvEngine::Message* message, uint64_t key);
bool IsMouseButtonMessage(OrvEngine::Message* message);

} // namespace MenuInput
