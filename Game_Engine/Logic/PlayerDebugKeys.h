// The Shift debug keys for trying out levels: god mode, healing, killing, aggro, weakening enemies.
// Each action writes one line to the log when it is open. The player controller hands every key
// message here after its own handling.
#pragma once

namespace OrvEngine {

class PlayerController;
struct KeyMessage;

void HandlePlayerDebugKeys(PlayerController& player, const KeyMessage& keys);

} // namespace OrvEngine
