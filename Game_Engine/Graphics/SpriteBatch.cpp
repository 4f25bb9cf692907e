#include "Graphics/SpriteBatch.h"

#include "Graphics/Graphics.h"
#include "Graphics/StreamBuffer.h"
#include "Graphics/TextureAlpha.h"
#include "Graphics/TextureManager.h"
#include "Logging/Logging.h"

#include <GL/glew.h>
#include <glm/gtc/type_ptr.hpp>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace OrvEngine {

namespace {
// Program i: plain (i & 1 == 0) or sheet, tinted (i & 2 == 0) or not; an untinted quad skips the
// multiply by white, which gives the same colour.
const char* const kVertexShaders[2] = {"Shaders/SpriteBatch.vert", "Shaders/SpriteBatchSheet.vert"};
const char* const kFragmentShaders[2] = {"Shaders/SpriteBatch.frag", "Shaders/SpriteBatchUntinted.frag"};
constexpr int kPrograms = 4;

// The unit quad's corners in the order of the single-quad model, each with its texture coordinate.
const float kCorners[4][4] = {
    {-0.5f, -0.5f, 0.0f, 0.0f}, {0.5f, -0.5f, 1.0f, 0.0f}, {-0.5f, 0.5f, 0.0f, 1.0f}, {0.5f, 0.5f, 1.0f, 1.0f}};
// A quad as the two triangles GL makes of that model's 4-vertex strip, vertex for vertex in the same
// order, so each triangle is set up and interpolated exactly as before.
const uint32_t kQuadIndices[6] = {0, 1, 2, 2, 1, 3};
constexpr size_t kMinimumIndexQuads = 256;

// What a quad drawn without a texture samples: the white texture's one opaque row.
const std::shared_ptr<const TextureAlpha>& WhiteAlpha()
{
    static const auto white = std::make_shared<const TextureAlpha>(TextureAlpha::Opaque(1));
    return white;
}

// The viewport and, while the scissor test is on, its box, in window pixels.
void DrawTarget(ScreenRect& viewport, ScreenRect& area, bool& scissored)
{
    GLint box[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, box);
    viewport = {box[0], box[1], box[0] + box[2], box[1] + box[3]};
    scissored = glIsEnabled(GL_SCISSOR_TEST) == GL_TRUE;
    area = viewport;
    if (!scissored) return;
    glGetIntegerv(GL_SCISSOR_BOX, box);
    area = {box[0], box[1], box[0] + box[2], box[1] + box[3]};
}
} // namespace

void SpriteAxes(float x, float y, float rotation_degrees, float scale_x, float scale_y, SpriteQuad& quad)
{
    const float radians = rotation_degrees * 0.017453292f;
    const float c = std::cos(radians);
    const float s = std::sin(radians);
    // Rz's columns (c, s) and (-s, c) scaled by S; glm adds a few exact zeros on the way, which can
    // change only the sign of a zero.
    quad.axes[0] = c * scale_x;
    quad.axes[1] = s * scale_x;
    quad.axes[2] = -s * scale_y;
    quad.axes[3] = c * scale_y;
    quad.origin[0] = x;
    quad.origin[1] = y;
}

SpriteBatch::~SpriteBatch()
{
    if (!Graphics::IsGLReady() || generation_ != Graphics::GLGeneration()) return;
    if (vertex_array_) glDeleteVertexArrays(1, &vertex_array_);
    if (vertex_buffer_) glDeleteBuffers(1, &vertex_buffer_);
    if (index_buffer_) glDeleteBuffers(1, &index_buffer_);
    for (Shader& program : programs_) Shader::Release(program);
}

void SpriteBatch::Begin(const glm::mat4& world_to_ndc)
{
    world_to_ndc_ = world_to_ndc;
    vertices_.clear();
    keys_.clear();
    shapes_.clear();
    plan_queued_ = false;
}

void SpriteBatch::Add(const SpriteQuad& quad)
{
    plan_queued_ = false;
    PlanQuad shape;
    std::memcpy(shape.axes, quad.axes, sizeof(shape.axes));
    std::memcpy(shape.origin, quad.origin, sizeof(shape.origin));
    const bool finite = std::all_of(std::begin(quad.tint), std::end(quad.tint), [](float c) { return std::isfinite(c); });
    shape.opacity = finite ? quad.tint[3] : std::numeric_limits<float>::quiet_NaN();
    shape.alpha = quad.texture ? quad.alpha : WhiteAlpha();
    shapes_.push_back(std::move(shape));
    const bool untinted = std::all_of(std::begin(quad.tint), std::end(quad.tint), [](float c) { return c == 1.0f; });
    keys_.push_back(static_cast<uint64_t>(quad.texture) << 2 | static_cast<uint64_t>(untinted) << 1 |
                    static_cast<uint64_t>(quad.sheet));
    const size_t first = vertices_.size();
    vertices_.resize(first + 4);
    for (size_t i = 0; i < 4; ++i) {
        Vertex& v = vertices_[first + i];
        std::memcpy(v.corner, kCorners[i], sizeof(v.corner));
        std::memcpy(v.axes, quad.axes, sizeof(v.axes));
        std::memcpy(v.origin, quad.origin, sizeof(v.origin));
        std::memcpy(v.tint, quad.tint, sizeof(v.tint));
        v.frame = quad.frame;
    }
}

bool SpriteBatch::ProgramsLinked() const
{
    return std::all_of(std::begin(programs_), std::end(programs_),
                       [](const Shader& program) { return program.Location(UNIFORM_WORLD_TO_NDC) >= 0; });
}

bool SpriteBatch::EnsureGLObjects()
{
    // Objects made under an earlier context are gone with it.
    if (generation_ == Graphics::GLGeneration() && vertex_array_) {
        return ProgramsLinked();
    }
    generation_ = Graphics::GLGeneration();
    vertex_capacity_ = 0;
    index_quads_ = 0;
    for (int i = 0; i < kPrograms; ++i) Shader::Load(programs_[i], kVertexShaders[i & 1], kFragmentShaders[i >> 1]);
    glGenVertexArrays(1, &vertex_array_);
    glGenBuffers(1, &vertex_buffer_);
    glGenBuffers(1, &index_buffer_);
    glBindVertexArray(vertex_array_);
    glBindVertexBuffer(0, vertex_buffer_, 0, sizeof(Vertex));
    // Bound while the array is, the element buffer becomes the array's.
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, index_buffer_);
    struct Attribute {
        GLuint index;
        GLint size;
        GLuint offset;
    };
    const Attribute floats[] = {{0, 4, offsetof(Vertex, corner)},
                                {1, 4, offsetof(Vertex, axes)},
                                {2, 2, offsetof(Vertex, origin)},
                                {3, 4, offsetof(Vertex, tint)}};
    for (const Attribute& a : floats) {
        glEnableVertexAttribArray(a.index);
        glVertexAttribFormat(a.index, a.size, GL_FLOAT, GL_FALSE, a.offset);
        glVertexAttribBinding(a.index, 0);
    }
    glEnableVertexAttribArray(4);
    glVertexAttribIFormat(4, 1, GL_INT, offsetof(Vertex, frame));
    glVertexAttribBinding(4, 0);
    glBindVertexArray(0);
    const bool usable = ProgramsLinked();
    if (!usable) PrintAndLog("[SpriteBatch] The batch programs did not link; sprites are not drawn");
    return usable;
}

void SpriteBatch::GrowIndices(size_t quads)
{
    if (quads <= index_quads_) return;
    index_quads_ = std::max({quads, index_quads_ * 2, kMinimumIndexQuads});
    std::vector<uint32_t> indices(index_quads_ * 6);
    for (size_t q = 0; q < index_quads_; ++q) {
        for (size_t i = 0; i < 6; ++i) indices[q * 6 + i] = static_cast<uint32_t>(q * 4 + kQuadIndices[i]);
    }
    // The element buffer is reached through the array that holds it.
    glBindVertexArray(vertex_array_);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indices.size() * sizeof(uint32_t)), indices.data(),
                 GL_STATIC_DRAW);
    glBindVertexArray(0);
}

void SpriteBatch::Upload()
{
    WriteStreamBuffer(vertex_buffer_, vertex_capacity_, vertices_.data(), vertices_.size() * sizeof(Vertex));
    GrowIndices(vertices_.size() / 4);
    for (const Shader& program : programs_) {
        glProgramUniformMatrix4fv(program.program, program.Location(UNIFORM_WORLD_TO_NDC), 1, GL_FALSE,
                                  glm::value_ptr(world_to_ndc_));
    }
}

void SpriteBatch::PlanFor(const std::vector<PlanQuad>& shapes, const glm::mat4& world_to_ndc)
{
    ScreenRect viewport, area;
    DrawTarget(viewport, area, plan_scissored_);
    const bool made = plan_queued_ && &shapes == &shapes_ && viewport == plan_viewport_ && area == plan_area_;
    plan_queued_ = false;
    plan_viewport_ = viewport;
    plan_area_ = area;
    if (!made) plan_.Make(shapes, world_to_ndc, viewport, area, planned_);
}

bool SpriteBatch::Covers(const ScreenRect& area)
{
    if (!planned_ || keys_.empty()) return false;
    ScreenRect viewport, current;
    bool scissored = false;
    DrawTarget(viewport, current, scissored);
    plan_.Make(shapes_, world_to_ndc_, viewport, area, true);
    plan_queued_ = true;
    plan_viewport_ = viewport;
    plan_area_ = area;
    return plan_.Covers();
}

namespace {
// The blend and scissor state the batch's draws switch between, left as found at the end.
class DrawState {
public:
    DrawState(bool scissored, const ScreenRect& frame)
        : blending_(glIsEnabled(GL_BLEND) == GL_TRUE), blend_(blending_), scissored_(scissored), frame_(frame)
    {
    }
    ~DrawState()
    {
        FrameBox();
        Blend(blending_);
    }
    void Blend(bool on)
    {
        if (on == blend_) return;
        if (on) glEnable(GL_BLEND);
        else glDisable(GL_BLEND);
        blend_ = on;
    }
    // While pieces draw, the scissor box is theirs; a whole quad gets the frame's back.
    void PieceBox(const ScreenRect& r)
    {
        if (!piece_box_ && !scissored_) glEnable(GL_SCISSOR_TEST);
        piece_box_ = true;
        glScissor(r.x0, r.y0, r.x1 - r.x0, r.y1 - r.y0);
    }
    void FrameBox()
    {
        if (!piece_box_) return;
        piece_box_ = false;
        if (!scissored_) glDisable(GL_SCISSOR_TEST);
        else glScissor(frame_.x0, frame_.y0, frame_.x1 - frame_.x0, frame_.y1 - frame_.y0);
    }

private:
    const bool blending_;
    bool blend_;
    const bool scissored_;
    const ScreenRect frame_;
    bool piece_box_ = false;
};
} // namespace

void SpriteBatch::DrawQuads(uint64_t key, size_t first, size_t count, int& bound)
{
    const int program = static_cast<int>(key & 3u);
    if (bound != program) {
        bound = program;
        glUseProgram(programs_[program].program);
    }
    const auto texture = static_cast<uint32_t>(key >> 2);
    glBindTexture(GL_TEXTURE_2D, texture ? texture : TextureManager::GetInstance()->GetWhiteTexture()->id);
    const auto offset = static_cast<uintptr_t>(first) * 6 * sizeof(uint32_t);
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(count * 6), GL_UNSIGNED_INT, reinterpret_cast<const void*>(offset));
    ++last_draws_;
}

void SpriteBatch::DrawPlanned(const std::vector<uint64_t>& keys)
{
    glBindVertexArray(vertex_array_);
    glActiveTexture(GL_TEXTURE0);
    int bound = -1;
    {
        DrawState state(plan_scissored_, plan_area_);
        const std::vector<DrawPlan::Quad>& quads = plan_.Quads();
        for (size_t q = 0; q < keys.size();) {
            const DrawPlan::Quad& quad = quads[q];
            if (quad.mode == DrawPlan::Mode::Whole) {
                // A run of whole quads of one texture, program and blend state is one draw.
                size_t end = q + 1;
                while (end < keys.size() && quads[end].mode == DrawPlan::Mode::Whole &&
                       quads[end].blend == quad.blend && keys[end] == keys[q]) {
                    ++end;
                }
                state.FrameBox();
                state.Blend(quad.blend);
                DrawQuads(keys[q], q, end - q, bound);
                q = end;
                continue;
            }
            for (uint32_t i = 0; quad.mode == DrawPlan::Mode::Pieces && i < quad.pieces; ++i) {
                const DrawPlan::Piece& piece = plan_.Pieces()[quad.first_piece + i];
                state.PieceBox(piece.rect);
                state.Blend(piece.blend);
                DrawQuads(keys[q], q, 1, bound);
            }
            ++q;
        }
    }
    glBindVertexArray(0);
    glUseProgram(0);
}

void SpriteBatch::Flush()
{
    last_draws_ = 0;
    drawn_valid_ = keys_.empty();
    if (!keys_.empty() && EnsureGLObjects()) {
        Upload();
        PlanFor(shapes_, world_to_ndc_);
        DrawPlanned(keys_);
        drawn_valid_ = true;
    }
    drawn_vertices_.swap(vertices_);
    drawn_keys_.swap(keys_);
    drawn_shapes_.swap(shapes_);
    drawn_world_to_ndc_ = world_to_ndc_;
    vertices_.clear();
    keys_.clear();
    shapes_.clear();
    plan_queued_ = false;
}

void SpriteBatch::Redraw()
{
    // The vertex buffer and the matrix uniform still hold the last flush.
    if (!drawn_valid_ || drawn_keys_.empty() || generation_ != Graphics::GLGeneration()) return;
    const size_t draws = last_draws_;
    PlanFor(drawn_shapes_, drawn_world_to_ndc_);
    DrawPlanned(drawn_keys_);
    last_draws_ = draws;
}

namespace {
// A quad's window-pixel bounds with a two-pixel margin; false when a corner is not finite.
bool QuadBounds(const float* axes, const float* origin, const glm::mat4& to_ndc, int width, int height,
                ScreenRect& out)
{
    float min_x = 0.0f, min_y = 0.0f, max_x = 0.0f, max_y = 0.0f;
    for (int i = 0; i < 4; ++i) {
        const float cx = kCorners[i][0], cy = kCorners[i][1];
        const glm::vec4 world(origin[0] + axes[0] * cx + axes[2] * cy, origin[1] + axes[1] * cx + axes[3] * cy, 0.0f,
                              1.0f);
        const glm::vec4 clip = to_ndc * world;
        if (!std::isfinite(clip.x) || !std::isfinite(clip.y) || !std::isfinite(clip.w) || clip.w == 0.0f) return false;
        const float x = (clip.x / clip.w * 0.5f + 0.5f) * static_cast<float>(width);
        const float y = (clip.y / clip.w * 0.5f + 0.5f) * static_cast<float>(height);
        if (!std::isfinite(x) || !std::isfinite(y)) return false;
        min_x = i == 0 ? x : std::min(min_x, x);
        max_x = i == 0 ? x : std::max(max_x, x);
        min_y = i == 0 ? y : std::min(min_y, y);
        max_y = i == 0 ? y : std::max(max_y, y);
    }
    // Clamped well inside int before the conversion; the caller clips to the window.
    const float limit = 1.0e8f;
    out.x0 = static_cast<int>(std::floor(std::clamp(min_x, -limit, limit))) - 2;
    out.y0 = static_cast<int>(std::floor(std::clamp(min_y, -limit, limit))) - 2;
    out.x1 = static_cast<int>(std::ceil(std::clamp(max_x, -limit, limit))) + 2;
    out.y1 = static_cast<int>(std::ceil(std::clamp(max_y, -limit, limit))) + 2;
    return true;
}
} // namespace

bool SpriteBatch::ChangedArea(int width, int height, ScreenRect& area) const
{
    area = ScreenRect{};
    if (!drawn_valid_ || keys_.size() != drawn_keys_.size() || world_to_ndc_ != drawn_world_to_ndc_) return false;
    for (size_t q = 0; q < keys_.size(); ++q) {
        const Vertex& now = vertices_[q * 4];
        const Vertex& before = drawn_vertices_[q * 4];
        if (keys_[q] == drawn_keys_[q] && std::memcmp(&now, &before, sizeof(Vertex)) == 0) continue;
        ScreenRect bounds;
        if (!QuadBounds(before.axes, before.origin, world_to_ndc_, width, height, bounds)) return false;
        area.Include(bounds);
        if (!QuadBounds(now.axes, now.origin, world_to_ndc_, width, height, bounds)) return false;
        area.Include(bounds);
    }
    return true;
}

} // namespace OrvEngine
