#include "Graphics/DrawPlan.h"

#include "Graphics/TextureAlpha.h"

#include <algorithm>
#include <cmath>

namespace OrvEngine {

namespace {
// A quad smaller than this (window pixels) is drawn whole, batched with its neighbours.
constexpr long long kLargeQuad = 128 * 128;
// More pieces than this for one quad (or left of the area) and it is drawn whole instead.
constexpr size_t kMostPieces = 24;
constexpr size_t kMostOccluders = 48;
// Texels kept clear of a band's edge rows, for the rasteriser's interpolation.
constexpr float kTexelMargin = 1.0f / 16.0f;

// The unit quad's corners, in the order of the batch's vertices.
const float kCorners[4][2] = {{-0.5f, -0.5f}, {0.5f, -0.5f}, {-0.5f, 0.5f}, {0.5f, 0.5f}};

ScreenRect Intersect(const ScreenRect& a, const ScreenRect& b)
{
    ScreenRect r{std::max(a.x0, b.x0), std::max(a.y0, b.y0), std::min(a.x1, b.x1), std::min(a.y1, b.y1)};
    return r.Empty() ? ScreenRect{} : r;
}

bool operator==(const ScreenRect& a, const ScreenRect& b)
{
    return a.x0 == b.x0 && a.y0 == b.y0 && a.x1 == b.x1 && a.y1 == b.y1;
}

// Whole pixels, clamped well inside int first.
int Floor(float v) { return static_cast<int>(std::floor(std::clamp(v, -1.0e8f, 1.0e8f))); }
int Ceil(float v) { return static_cast<int>(std::ceil(std::clamp(v, -1.0e8f, 1.0e8f))); }

// The first and one past the last pixel whose centre lies inside [low, high] by `margin`.
void CentresInside(float low, float high, float margin, int& first, int& end)
{
    first = Floor(low + margin - 0.5f) + 1;
    end = Ceil(high - margin - 0.5f);
}

// What is left of each rectangle once `hole` is taken out: strips above and below it the full width,
// beside it the hole's height.
void Subtract(const std::vector<ScreenRect>& from, const ScreenRect& hole, std::vector<ScreenRect>& left)
{
    left.clear();
    for (const ScreenRect& r : from) {
        if (Intersect(r, hole).Empty()) {
            left.push_back(r);
            continue;
        }
        if (hole.y1 < r.y1) left.push_back({r.x0, hole.y1, r.x1, r.y1});
        if (hole.y0 > r.y0) left.push_back({r.x0, r.y0, r.x1, hole.y0});
        const int y0 = std::max(r.y0, hole.y0), y1 = std::min(r.y1, hole.y1);
        if (hole.x0 > r.x0) left.push_back({r.x0, y0, hole.x0, y1});
        if (hole.x1 < r.x1) left.push_back({hole.x1, y0, r.x1, y1});
    }
}

// Only a matrix that scales and moves x and y apart keeps axis-aligned quads axis-aligned.
bool KeepsAxes(const glm::mat4& m)
{
    return m[0][1] == 0.0f && m[1][0] == 0.0f && m[0][3] == 0.0f && m[1][3] == 0.0f && m[3][3] != 0.0f &&
           std::isfinite(m[3][3]);
}
} // namespace

// A quad in window pixels.
struct DrawPlan::Shape {
    bool aligned = false;
    float x0 = 0, x1 = 0; // x at the quad's left and right corners (u = 0 and 1)
    float y0 = 0, y1 = 0; // y at its bottom and top corners (v = 0 and 1)
    float min_x = 0, max_x = 0, min_y = 0, max_y = 0;
    float slack = 0; // how far the rasteriser's corners may lie from these
};

void DrawPlan::Make(const std::vector<PlanQuad>& quads, const glm::mat4& world_to_ndc, const ScreenRect& viewport,
                    const ScreenRect& area, bool plan)
{
    quads_.assign(quads.size(), Quad{});
    pieces_.clear();
    occluders_.clear();
    covers_ = false;
    planned_area_ = whole_area_ = 0;
    viewport_ = viewport;
    area_ = Intersect(area, viewport);
    to_ndc_ = world_to_ndc;
    if (!plan || !KeepsAxes(world_to_ndc)) return;
    // Front to back: a quad is planned knowing every opaque quad drawn after it.
    for (size_t i = quads.size(); i-- > 0;) PlanQuadAt(quads[i], quads_[i]);
    covers_ = Hidden(area_);
}

bool DrawPlan::Place(const PlanQuad& quad, Shape& shape) const
{
    const glm::mat4& m = to_ndc_;
    const float half_w = 0.5f * static_cast<float>(viewport_.x1 - viewport_.x0);
    const float half_h = 0.5f * static_cast<float>(viewport_.y1 - viewport_.y0);
    float xs[4], ys[4];
    for (int i = 0; i < 4; ++i) {
        const float cx = kCorners[i][0], cy = kCorners[i][1];
        const glm::vec4 world(quad.origin[0] + quad.axes[0] * cx + quad.axes[2] * cy,
                              quad.origin[1] + quad.axes[1] * cx + quad.axes[3] * cy, 0.0f, 1.0f);
        const glm::vec4 clip = m * world;
        xs[i] = static_cast<float>(viewport_.x0) + (clip.x / clip.w + 1.0f) * half_w;
        ys[i] = static_cast<float>(viewport_.y0) + (clip.y / clip.w + 1.0f) * half_h;
        if (!std::isfinite(xs[i]) || !std::isfinite(ys[i])) return false;
    }
    shape.min_x = *std::min_element(xs, xs + 4);
    shape.max_x = *std::max_element(xs, xs + 4);
    shape.min_y = *std::min_element(ys, ys + 4);
    shape.max_y = *std::max_element(ys, ys + 4);
    shape.aligned = quad.axes[1] == 0.0f && quad.axes[2] == 0.0f;
    shape.x0 = xs[0];
    shape.x1 = xs[1];
    shape.y0 = ys[0];
    shape.y1 = ys[2];
    // Single-precision rounding grows with the size of the numbers on the way to the window.
    const float world_x = std::fabs(quad.origin[0]) + 0.5f * (std::fabs(quad.axes[0]) + std::fabs(quad.axes[2]));
    const float world_y = std::fabs(quad.origin[1]) + 0.5f * (std::fabs(quad.axes[1]) + std::fabs(quad.axes[3]));
    const float w = std::fabs(m[3][3]);
    const float size_x = (std::fabs(m[0][0]) * world_x + std::fabs(m[3][0]) + w) * half_w / w +
                         std::fabs(static_cast<float>(viewport_.x0)) + 2.0f * half_w;
    const float size_y = (std::fabs(m[1][1]) * world_y + std::fabs(m[3][1]) + w) * half_h / w +
                         std::fabs(static_cast<float>(viewport_.y0)) + 2.0f * half_h;
    shape.slack = 1.0f / 16.0f + 1.0e-6f * std::max(size_x, size_y);
    return std::isfinite(shape.slack) && shape.slack < 0.25f;
}

void DrawPlan::PlanQuadAt(const PlanQuad& quad, Quad& out)
{
    Shape shape;
    if (!Place(quad, shape)) return; // drawn whole, blended, as ever
    const ScreenRect outer{Floor(shape.min_x - shape.slack) - 1, Floor(shape.min_y - shape.slack) - 1,
                           Ceil(shape.max_x + shape.slack) + 1, Ceil(shape.max_y + shape.slack) + 1};
    const ScreenRect visible = Intersect(outer, area_);
    whole_area_ += visible.Area();
    if (visible.Empty() || Hidden(visible)) {
        out.mode = Mode::Skip;
        return;
    }
    if (!shape.aligned || visible.Area() < kLargeQuad) {
        planned_area_ += visible.Area();
        return;
    }
    BandRows(quad, shape, outer, rows_);
    const size_t first = pieces_.size();
    bool too_many = false;
    for (const Rows& rows : rows_) {
        const ScreenRect part = Intersect({outer.x0, rows.y0, outer.x1, rows.y1}, area_);
        if (rows.transparent || part.Empty()) continue;
        left_.assign(1, part);
        for (const ScreenRect& occluder : occluders_) {
            Subtract(left_, occluder, scratch_);
            left_.swap(scratch_);
        }
        too_many |= left_.size() > kMostPieces;
        for (const ScreenRect& piece : left_) pieces_.push_back({piece, !rows.opaque});
    }
    const size_t count = pieces_.size() - first;
    if (too_many || count > kMostPieces) {
        pieces_.resize(first);
        planned_area_ += visible.Area();
    } else if (count == 0) {
        out.mode = Mode::Skip;
    } else if (count == 1 && pieces_[first].rect == visible) {
        out.blend = pieces_[first].blend;
        pieces_.resize(first);
        planned_area_ += visible.Area();
    } else {
        out.mode = Mode::Pieces;
        out.first_piece = static_cast<uint32_t>(first);
        out.pieces = static_cast<uint32_t>(count);
        for (size_t i = first; i < pieces_.size(); ++i) planned_area_ += pieces_[i].rect.Area();
    }
    // Pixels whose centres lie inside the quad are its own wherever its rows are opaque.
    int x0, x1, y0, y1;
    CentresInside(std::min(shape.x0, shape.x1), std::max(shape.x0, shape.x1), shape.slack, x0, x1);
    CentresInside(shape.min_y, shape.max_y, shape.slack, y0, y1);
    for (const Rows& rows : rows_) {
        if (rows.opaque) AddOccluder(Intersect({x0, std::max(y0, rows.y0), x1, std::min(y1, rows.y1)}, area_));
    }
}

void DrawPlan::BandRows(const PlanQuad& quad, const Shape& shape, const ScreenRect& outer,
                        std::vector<Rows>& rows) const
{
    rows.clear();
    const TextureAlpha* alpha = quad.alpha.get();
    // A texel of alpha 0 stays 0 under any finite tint; one of 255 stays 1 only under a tint of 1.
    const bool finite = std::isfinite(quad.opacity);
    const bool solid = quad.opacity == 1.0f;
    const float span = shape.y1 - shape.y0;
    if (alpha && alpha->WhollyOpaque() && solid) {
        rows.push_back({outer.y0, outer.y1, true, false});
        return;
    }
    if (!alpha || alpha->height <= 0 || !finite || span == 0.0f) {
        rows.push_back({outer.y0, outer.y1, false, false});
        return;
    }
    const float height = static_cast<float>(alpha->height);
    std::vector<Rows> safe;
    for (const TextureAlpha::Band& band : alpha->bands) {
        const bool opaque = band.kind == TextureAlpha::kOpaque && solid;
        if (!opaque && band.kind != TextureAlpha::kTransparent) continue;
        // Linear filtering reads rows floor(t) and floor(t) + 1 at texel coordinate t = v * height - 0.5:
        // both lie in the band while t stays within its first and last rows.
        const float t0 = static_cast<float>(band.first) + kTexelMargin;
        const float t1 = static_cast<float>(band.first + band.rows - 1) - kTexelMargin;
        if (t1 < t0) continue;
        const float ya = shape.y0 + (t0 + 0.5f) / height * span;
        const float yb = shape.y0 + (t1 + 0.5f) / height * span;
        int first, end;
        CentresInside(std::min(ya, yb), std::max(ya, yb), 1.0f + shape.slack, first, end);
        first = std::max(first, outer.y0);
        end = std::min(end, outer.y1);
        if (end > first) safe.push_back({first, end, opaque, !opaque});
    }
    std::sort(safe.begin(), safe.end(), [](const Rows& a, const Rows& b) { return a.y0 < b.y0; });
    int cursor = outer.y0;
    for (Rows s : safe) {
        s.y0 = std::max(s.y0, cursor);
        if (s.y1 <= s.y0) continue;
        if (s.y0 > cursor) rows.push_back({cursor, s.y0, false, false});
        rows.push_back(s);
        cursor = s.y1;
    }
    if (cursor < outer.y1) rows.push_back({cursor, outer.y1, false, false});
}

bool DrawPlan::Hidden(const ScreenRect& rect)
{
    if (rect.Empty()) return true;
    left_.assign(1, rect);
    for (const ScreenRect& occluder : occluders_) {
        Subtract(left_, occluder, scratch_);
        left_.swap(scratch_);
        if (left_.empty()) return true;
        if (left_.size() > kMostPieces) return false;
    }
    return left_.empty();
}

void DrawPlan::AddOccluder(const ScreenRect& rect)
{
    if (!rect.Empty() && occluders_.size() < kMostOccluders) occluders_.push_back(rect);
}

} // namespace OrvEngine
