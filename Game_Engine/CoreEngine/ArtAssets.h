// Where the game's pictures are kept: the art folder and the file a texture name stands for. It
// does not list or read the files; the resource scan and the sprite system do.
#pragma once

#include <string>

namespace OrvEngine {

inline const char* const kArtFolder = "../Resources/ArtAssets/";

// The picture file of a texture name; empty for an empty name.
inline std::string ArtPath(const std::string& name)
{
    return name.empty() ? std::string() : kArtFolder + name + ".png";
}

} // namespace OrvEngine
