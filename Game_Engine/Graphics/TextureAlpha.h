// TextureAlpha: which rows of a picture are wholly transparent (every alpha 0) and which wholly
// opaque (every alpha 255), worked out once from the decoded pixels. The sprite pass skips the first
// and draws the second without blending; it keeps no pixels.
#pragma once

#include <cstdint>
#include <vector>

namespace OrvEngine {

struct TextureAlpha {
    enum Kind : uint8_t { kTransparent, kMixed, kOpaque };
    // Rows counted from the bottom (texture coordinate v = 0), in order, covering every row.
    struct Band {
        int first;
        int rows;
        Kind kind;
    };

    // 32-bit pixels, `pitch` bytes a row, the alpha at byte `alpha_offset` of each pixel. Runs of
    // transparent or opaque rows shorter than a few rows count as mixed.
    static TextureAlpha Of(const unsigned char* pixels, int width, int height, int pitch, int alpha_offset);
    // Every row opaque, as the white texture.
    static TextureAlpha Opaque(int height);

    // One opaque band: drawn anywhere with any filtering and wrap, every pixel is opaque.
    bool WhollyOpaque() const { return bands.size() == 1 && bands.front().kind == kOpaque; }

    int height = 0;
    // Empty when unknown: then every row counts as mixed.
    std::vector<Band> bands;
};

} // namespace OrvEngine
