// SpriteBatch: sprites drawn many to a call. A frame's quads go into one streaming vertex buffer,
// uploaded once; each run of consecutive quads sharing a texture, a program and a blend state is
// one draw, with no uniform change or binding per quad. What each quad draws follows the frame's
// draw plan (hidden quads skipped, opaque rows unblended, large quads in scissored pieces). Owns its
// four programs and GL buffers; knows no sprites.
#pragma once

#include "Graphics/DrawPlan.h"
#include "Graphics/FrameDamage.h"
#include "Graphics/Shader.h"

#include <glm/glm.hpp>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace OrvEngine {

struct TextureAlpha;

// One unit quad placed in the world: the model matrix T x Rz x S given by the two columns that vary
// (the others are those of every sprite's matrix), a tint and, for a sheet, the frame to show.
struct SpriteQuad {
    uint32_t texture = 0;  // 0: the white texture
    bool sheet = false;
    float axes[4] = {1.0f, 0.0f, 0.0f, 1.0f}; // model columns 0 and 1 (x, y each)
    float origin[2] = {0.0f, 0.0f};            // model column 3 (x, y)
    float tint[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    int32_t frame = 0;                         // 1-based sheet frame
    // The texture's clear and solid rows; null when unknown.
    std::shared_ptr<const TextureAlpha> alpha;
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
    // bound and the blend and scissor state as it found them. Draws into the current viewport,
    // within the scissor box while the scissor test is on. Needs a GL context; without the batch
    // programs nothing is drawn.
    void Flush();
    // Whether the queued quads cover every pixel of `area` (window pixels) with opaque pixels, so a
    // clear of it beforehand would change nothing. Needs a GL context (it reads the viewport).
    bool Covers(const ScreenRect& area);
    // Planned drawing, on by default; off, every quad is drawn whole and blended (the reference
    // picture the plan must match).
    void SetPlanned(bool planned) { planned_ = planned; }
    // The plan the last flush or redraw drew by.
    const DrawPlan& LastPlan() const { return plan_; }
    // Draw calls the last Flush made.
    size_t LastDrawCount() const { return last_draws_; }
    // Where, in a window of this size, the queued quads would draw differently from the last flushed
    // ones (the bounds of each differing quad, old and new, with a margin). False when they cannot be
    // compared: another matrix or count, nothing flushed yet, a corner not finite.
    bool ChangedArea(int width, int height, ScreenRect& area) const;
    // Draws the last flushed quads again.
    void Redraw();

private:
    struct Vertex {
        float corner[4]; // unit-quad corner (x, y), texture coordinate (u, v)
        float axes[4];
        float origin[2];
        float tint[4];
        int32_t frame;
    };
    static_assert(sizeof(Vertex) == 60, "the batch vertex layout is 60 bytes");

    bool EnsureGLObjects();
    bool ProgramsLinked() const;
    void Upload();
    // Plans the quads for the current viewport and scissor box, unless the plan was made for them.
    void PlanFor(const std::vector<PlanQuad>& shapes, const glm::mat4& world_to_ndc);
    void DrawPlanned(const std::vector<uint64_t>& keys);
    // One draw of `count` quads from `first` with the key's texture and program.
    void DrawQuads(uint64_t key, size_t first, size_t count, int& bound);
    void GrowIndices(size_t quads);

    glm::mat4 world_to_ndc_{1.0f};
    std::vector<Vertex> vertices_;
    std::vector<uint64_t> keys_; // per quad: texture and program
    std::vector<PlanQuad> shapes_;
    // The last flush, as drawn.
    std::vector<Vertex> drawn_vertices_;
    std::vector<uint64_t> drawn_keys_;
    std::vector<PlanQuad> drawn_shapes_;
    glm::mat4 drawn_world_to_ndc_{1.0f};
    bool drawn_valid_ = false;
    DrawPlan plan_;
    bool planned_ = true;
    // The plan was made by Covers for the queued quads, over this area of this viewport.
    bool plan_queued_ = false;
    ScreenRect plan_viewport_, plan_area_;
    bool plan_scissored_ = false;
    Shader programs_[4]; // plain, sheet; each tinted and untinted
    uint32_t vertex_array_ = 0;
    uint32_t vertex_buffer_ = 0;
    uint32_t index_buffer_ = 0;
    size_t vertex_capacity_ = 0; // bytes
    size_t index_quads_ = 0;     // quads the index buffer covers
    uint32_t generation_ = 0;
    size_t last_draws_ = 0;
};

} // namespace OrvEngine
