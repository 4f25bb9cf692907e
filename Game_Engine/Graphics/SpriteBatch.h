// SpriteBatch: sprites drawn many to a call. A frame's quads go into one streaming vertex buffer,
// uploaded once; each run of consecutive quads sharing a texture and a program is one draw, with no
// uniform change or binding per quad. Owns its two programs and GL buffers; knows no sprites.
#pragma once

#include "Graphics/FrameDamage.h"
#include "Graphics/Shader.h"

#include <glm/glm.hpp>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace OrvEngine {

// One unit quad placed in the world: the model matrix T x Rz x S given by the two columns that vary
// (the others are those of every sprite's matrix), a tint and, for a sheet, the frame to show.
struct SpriteQuad {
    uint32_t texture = 0;  // 0: the white texture
    bool sheet = false;
    float axes[4] = {1.0f, 0.0f, 0.0f, 1.0f}; // model columns 0 and 1 (x, y each)
    float origin[2] = {0.0f, 0.0f};            // model column 3 (x, y)
    float tint[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    int32_t frame = 0;                         // 1-based sheet frame
};

// The columns of T(x, y) x Rz(degrees) x S(sx, sy) worked out with the very operations glm's
// translate, rotate and scale use, so batched corners land where the single-quad path puts them.
void SpriteAxes(float x, float y, float rotation_degrees, float scale_x, float scale_y, SpriteQuad& quad);

class SpriteBatch {
public:
    SpriteBatch() = default;
    SpriteBatch(const SpriteBatch&) = delete;
    SpriteBatch& operator=(const SpriteBatch&) = delete;
    // Deletes the GL objects when the context that made them is still current.
    ~SpriteBatch();

    // Starts a list drawn through this world-to-NDC matrix; quads queued before are dropped.
    void Begin(const glm::mat4& world_to_ndc);
    void Add(const SpriteQuad& quad);
    // Draws the queued quads in order and empties the list; leaves no program or vertex array
    // bound. Needs a GL context; without the batch programs nothing is drawn.
    void Flush();
    // Draw calls the last Flush made.
    size_t LastDrawCount() const { return last_draws_; }
    // Where, in a window of this size, the queued quads would draw differently from the last flushed
    // ones (the bounds of each differing quad, old and new, with a margin). False when they cannot be
    // compared: another matrix or count, nothing flushed yet, a corner not finite.
    bool ChangedArea(int width, int height, ScreenRect& area) const;
    // Draws the last flushed quads again.
    void Redraw();

private:
    struct Run {
        uint32_t texture;
        bool sheet;
        uint32_t first; // first quad
        uint32_t count;
    };
    struct Vertex {
        float corner[4]; // unit-quad corner (x, y), texture coordinate (u, v)
        float axes[4];
        float origin[2];
        float tint[4];
        int32_t frame;
    };
    static_assert(sizeof(Vertex) == 60, "the batch vertex layout is 60 bytes");

    bool EnsureGLObjects();
    void Upload();
    void DrawRuns(const std::vector<Run>& runs);
    void GrowIndices(size_t quads);

    glm::mat4 world_to_ndc_{1.0f};
    std::vector<Vertex> vertices_;
    std::vector<Run> runs_;
    std::vector<uint64_t> keys_; // per quad: texture and program
    // The last flush, as drawn.
    std::vector<Vertex> drawn_vertices_;
    std::vector<Run> drawn_runs_;
    std::vector<uint64_t> drawn_keys_;
    glm::mat4 drawn_world_to_ndc_{1.0f};
    bool drawn_valid_ = false;
    Shader programs_[2]; // plain, sheet
    uint32_t vertex_array_ = 0;
    uint32_t vertex_buffer_ = 0;
    uint32_t index_buffer_ = 0;
    size_t vertex_capacity_ = 0; // bytes
    size_t index_quads_ = 0;     // quads the index buffer covers
    uint32_t generation_ = 0;
    size_t last_draws_ = 0;
};

} // namespace OrvEngine
