#include "Graphics/GlyphAtlas.h"

#include <algorithm>
#include <cstdlib>

namespace OrvEngine {

size_t GlyphAtlas::Add(int width, int rows, const unsigned char* pixels, int pitch)
{
    Box box;
    box.width = std::max(width, 0);
    box.rows = std::max(rows, 0);
    std::vector<uint8_t> copy(static_cast<size_t>(box.width) * static_cast<size_t>(box.rows));
    for (int r = 0; r < box.rows && pixels; ++r) {
        std::copy(pixels + static_cast<ptrdiff_t>(r) * std::abs(pitch),
                  pixels + static_cast<ptrdiff_t>(r) * std::abs(pitch) + box.width,
                  copy.begin() + static_cast<ptrdiff_t>(r) * box.width);
    }
    boxes_.push_back(box);
    bitmaps_.push_back(std::move(copy));
    return boxes_.size() - 1;
}

void GlyphAtlas::Pack()
{
    // Shelves left to right, top to bottom; a glyph takes its size plus a border on every side.
    int x = 0;
    int y = 0;
    int shelf = 0;
    for (Box& box : boxes_) {
        if (box.width == 0 || box.rows == 0) continue;
        const int w = box.width + 2;
        const int h = box.rows + 2;
        if (x + w > kWidth) {
            x = 0;
            y += shelf;
            shelf = 0;
        }
        box.x = x + 1;
        box.y = y + 1;
        x += w;
        shelf = std::max(shelf, h);
    }
    width_ = kWidth;
    height_ = std::max(y + shelf, 1);
    image_.assign(static_cast<size_t>(width_) * static_cast<size_t>(height_), 0);
    for (size_t i = 0; i < boxes_.size(); ++i) {
        if (boxes_[i].width > 0 && boxes_[i].rows > 0) Blit(boxes_[i], bitmaps_[i]);
    }
    bitmaps_.clear();
}

void GlyphAtlas::Blit(const Box& box, const std::vector<uint8_t>& pixels)
{
    // Rows and columns -1 and size repeat the edge, as a clamped texture would.
    for (int r = -1; r <= box.rows; ++r) {
        const int source_row = std::clamp(r, 0, box.rows - 1);
        uint8_t* target = &image_[static_cast<size_t>(box.y + r) * static_cast<size_t>(width_)];
        for (int c = -1; c <= box.width; ++c) {
            const int source_column = std::clamp(c, 0, box.width - 1);
            target[box.x + c] = pixels[static_cast<size_t>(source_row) * static_cast<size_t>(box.width) +
                                       static_cast<size_t>(source_column)];
        }
    }
}

} // namespace OrvEngine
