// GlyphAtlas: glyph bitmaps packed in rows into one single-channel image, so a whole string draws
// from one texture. Each glyph has a one-texel border repeating its edge texels: linear filtering at
// a glyph's edge then reads what clamping a texture of its own would, never a neighbour.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace OrvEngine {

class GlyphAtlas {
public:
    // A bitmap's place in the image: its top-left texel, width and rows.
    struct Box {
        int x = 0;
        int y = 0;
        int width = 0;
        int rows = 0;
    };

    // Keeps a copy of a bitmap (rows top first, `pitch` bytes apart); returns its index.
    size_t Add(int width, int rows, const unsigned char* pixels, int pitch);
    // Lays every bitmap out and fills the image; the boxes and the image are valid afterwards.
    void Pack();

    int Width() const { return width_; }
    int Height() const { return height_; }
    // Width x Height bytes, the top row first.
    const std::vector<uint8_t>& Pixels() const { return image_; }
    const Box& BoxOf(size_t index) const { return boxes_[index]; }

private:
    void Blit(const Box& box, const std::vector<uint8_t>& pixels);

    static constexpr int kWidth = 1024;
    std::vector<std::vector<uint8_t>> bitmaps_;
    std::vector<Box> boxes_;
    std::vector<uint8_t> image_;
    int width_ = 0;
    int height_ = 0;
};

} // namespace OrvEngine
