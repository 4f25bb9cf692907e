#include "Graphics/TextureAlpha.h"

namespace OrvEngine {

namespace {
// A shorter run of clear or solid rows saves too little to be drawn apart.
constexpr int kShortestBand = 8;

TextureAlpha::Kind RowKind(const unsigned char* row, int width, int alpha_offset)
{
    bool any_clear = false, any_solid = false;
    for (int x = 0; x < width; ++x) {
        const unsigned char alpha = row[x * 4 + alpha_offset];
        any_clear |= alpha == 0;
        any_solid |= alpha == 255;
        if (alpha != 0 && alpha != 255) return TextureAlpha::kMixed;
        if (any_clear && any_solid) return TextureAlpha::kMixed;
    }
    return any_solid ? TextureAlpha::kOpaque : TextureAlpha::kTransparent;
}

void Append(std::vector<TextureAlpha::Band>& bands, int first, int rows, TextureAlpha::Kind kind)
{
    if (!bands.empty() && bands.back().kind == kind) bands.back().rows += rows;
    else bands.push_back({first, rows, kind});
}
} // namespace

TextureAlpha TextureAlpha::Of(const unsigned char* pixels, int width, int height, int pitch, int alpha_offset)
{
    TextureAlpha result;
    if (!pixels || width <= 0 || height <= 0) return result;
    result.height = height;
    std::vector<Band> runs;
    for (int y = 0; y < height; ++y) {
        const Kind kind = RowKind(pixels + static_cast<long long>(y) * pitch, width, alpha_offset);
        if (!runs.empty() && runs.back().kind == kind) ++runs.back().rows;
        else runs.push_back({y, 1, kind});
    }
    // A picture of one kind throughout keeps it whatever its height.
    const bool uniform = runs.size() == 1;
    for (const Band& run : runs) {
        const bool short_run = !uniform && run.rows < kShortestBand;
        Append(result.bands, run.first, run.rows, short_run ? kMixed : run.kind);
    }
    return result;
}

TextureAlpha TextureAlpha::Opaque(int height)
{
    TextureAlpha result;
    result.height = height;
    result.bands.push_back({0, height, kOpaque});
    return result;
}

} // namespace OrvEngine
