// Checks the sound layer makes on a file before the mixer sees it.
#pragma once

#include <string>

namespace OrvEngine {
namespace Platform {

// The file opens and holds at least one byte.
bool SoundFileReadable(const std::string& path);
// The file opens but is something else than Ogg. The mixer picks its decoder by the content, and a
// small WAV whose header claims gigabytes would make it allocate them; the game ships Ogg only.
bool OpensButIsNotOgg(const std::string& path);

} // namespace Platform
} // namespace OrvEngine
