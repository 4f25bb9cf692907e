// Look-ups the scripts share: entities of the current scene by name or type (from the scene's
// index, no walk), and the lose-scene request that a character's death makes. Holds no state.
#pragma once

#include <cstdint>
#include <string>

namespace OrvEngine {
class Entity;
}

// The entity of the current scene with the lowest id whose Information name is `name`; null when
// none (or no current scene).
OrvEngine::Entity* FindEntityByName(const std::string& name);
// The same for the Information type.
OrvEngine::Entity* FirstEntityOfType(uint32_t type);
// The same, with the highest id.
OrvEngine::Entity* LastEntityOfType(uint32_t type);
// The lose scene every death leads to.
inline const char* const kLoseScene = "GameScene_03";
// Asks for the lose scene; plays death_sound on sound_owner's Audio when play_sound is set.
void RequestLoseScene(OrvEngine::Entity* sound_owner, const std::string& death_sound, bool play_sound);
