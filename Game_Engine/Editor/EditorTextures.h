// The editor manager's own texture table: the names the inspector's texture combos and the assets
// window list (every texture the resource scan found or the texture manager holds, in name order)
// and the pictures of the sprite preview. It keeps names only; the textures stay the texture
// manager's.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace OrvEngine {

struct Texture;

class EditorTextures {
public:
    // Rescans the art folder (the "Refresh Sprites" button), then rebuilds the names.
    void Refresh();
    // The names, rebuilt whenever the scan or the texture manager has gained or lost textures.
    const std::vector<std::string>& Names();
    // The loaded texture of that name, or empty.
    std::shared_ptr<Texture> Picture(const std::string& name) const;

private:
    void Rebuild();

    std::vector<std::string> names_;
    size_t scanned_ = static_cast<size_t>(-1);
    size_t loaded_ = static_cast<size_t>(-1);
};

} // namespace OrvEngine
