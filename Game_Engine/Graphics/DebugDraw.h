// DebugDraw: coloured line segments in world units, queued in batches during a frame and drawn
// on top of the sprites by the sprite pass, then dropped. Holds nothing across frames but the count.
#pragma once

#include "CoreEngine/Math.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace OrvEngine {

class Graphics;

struct DebugLine {
    float x0, y0, x1, y1;
    float r, g, b, a;
};

class DebugDraw {
public:
    static DebugDraw* GetInstance();

    // A line from current_point to (x, y) in the current colour; (x, y) becomes the current point.
    void AddLine(float x, float y);
    // Closes the batch: only closed batches are drawn. Resets the point to (0, 0) and the colour
    // to transparent black.
    void EndBatch();
    // The outline of a rectangle about `centre`, as one closed batch in `line_colour`.
    void AddBox(const Vec2& centre, float half_width, float half_height, const Vec4& line_colour);
    // Draws every closed batch through this frame's world-to-NDC matrix and clears everything.
    void Render(Graphics* graphics);

    Vec2 current_point;
    uint64_t line_count = 0;
    Vec4 colour;
    std::vector<DebugLine> current_lines;
    std::vector<std::vector<DebugLine>> batches;

private:
    DebugDraw() = default;
    void EnsureGLObjects();
    void Clear();

    uint32_t program_ = 0;
    uint32_t vertex_array_ = 0;
    uint32_t vertex_buffer_ = 0;
    size_t buffer_capacity_ = 0; // in bytes
    uint32_t generation_ = 0;
};

} // namespace OrvEngine
