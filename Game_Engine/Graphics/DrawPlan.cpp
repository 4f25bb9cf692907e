#include "Graphics/DrawPlan.h"

#include "Graphics/TextureAlpha.h"

#include <algorithm>
#include <cmath>

namespace OrvEngine {

namespace {
// A quad smaller than this (window pixels) is drawn whole, batched with its neighbours.
constexpr long long kLargeQuad = 128 * 128;
// A quad is drawn in at most this many pieces: an occluder that would cut it into more is passed
// over, and a quad whose texture alone would is drawn whole.
constexpr size_t kMostPieces = 24;
constexpr size_t kMostOccluders = 64;
// Texels kept clear of a part's edge, for the rasteriser's interpolation.
constexpr float kTexelMargin = 1.0f / 16.0f;

constexpr uint8_t kClear = TextureAlpha::kTransparent;
constexpr uint8_t kMixed = TextureAlpha::kMixed;
constexpr uint8_t kSolid = TextureAlpha::kOpaque;

// The unit quad's corners, in the order of the batch's vertices.
const float kCorners[4][2] = {{-0.5f, -0.5f}, {0.5f, -0.5f}, {-0.5f, 0.5f}, {0.5f, 0.5f}};

// Whole pixels, clamped well inside int first.
int Floor(float v) { return static_cast<int>(std::floor(std::clamp(v, -1.0e8f, 1.0e8f))); }
int Ceil(float v) { return static_cast<int>(std::ceil(std::clamp(v, -1.0e8f, 1.0e8f))); }

// The first and one past the last pixel whose centre lies inside [low, high] by `margin`.
void CentresInside(float low, float high, float margin, int& first, int& end)
{
    first = Floor(low + margin - 0.5f) + 1;
    end = Ceil(high - margin - 0.5f);
}

// The pixels, along one axis, that read texels [first, last] alone: linear filtering at texel
// coordinate t = u * texels - 0.5 reads texels floor(t) and floor(t) + 1, and u runs from 0 at
// window position `at0` to 1 at at0 + span. A pixel's margin keeps clear of the edges.
bool SafePixels(int first, int last, float texels, float at0, float span, float slack, int& begin, int& end)
{
    const float t0 = static_cast<float>(first) + kTexelMargin;
    const float t1 = static_cast<float>(last) - kTexelMargin;
    if (t1 < t0) return false;
    const float a = at0 + (t0 + 0.5f) / texels * span;
    const float b = at0 + (t1 + 0.5f) / texels * span;
    CentresInside(std::min(a, b), std::max(a, b), 1.0f + slack, begin, end);
    return end > begin;
}

// What is left of each piece once `hole` is taken out: strips above and below it the full width,
// beside it the hole's height.
void Subtract(const std::vector<DrawPlan::Piece>& from, const ScreenRect& hole, std::vector<DrawPlan::Piece>& left)
{
    left.clear();
    for (const DrawPlan::Piece& piece : from) {
        const ScreenRect& r = piece.rect;
        if (r.Intersect(hole).Empty()) {
            left.push_back(piece);
            continue;
        }
        const int y0 = std::max(r.y0, hole.y0), y1 = std::min(r.y1, hole.y1);
        if (hole.y1 < r.y1) left.push_back({{r.x0, hole.y1, r.x1, r.y1}, piece.blend});
        if (hole.y0 > r.y0) left.push_back({{r.x0, r.y0, r.x1, hole.y0}, piece.blend});
        if (hole.x0 > r.x0) left.push_back({{r.x0, y0, hole.x0, y1}, piece.blend});
        if (hole.x1 < r.x1) left.push_back({{hole.x1, y0, r.x1, y1}, piece.blend});
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
    area_ = area.Intersect(viewport);
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
    const ScreenRect visible = outer.Intersect(area_);
    whole_area_ += visible.Area();
    if (visible.Empty() || Hidden(visible)) {
        out.mode = Mode::Skip;
        return;
    }
    if (!shape.aligned || visible.Area() < kLargeQuad) {
        planned_area_ += visible.Area();
        return;
    }
    CutQuad(quad, shape, outer);
    MakePieces(outer);
    if (made_.size() > kMostPieces) made_.assign(1, {visible, true});
    Occlude(made_);
    if (made_.empty()) {
        out.mode = Mode::Skip;
    } else if (made_.size() == 1 && made_.front().rect == visible) {
        out.blend = made_.front().blend;
        planned_area_ += visible.Area();
    } else {
        out.mode = Mode::Pieces;
        out.first_piece = static_cast<uint32_t>(pieces_.size());
        out.pieces = static_cast<uint32_t>(made_.size());
        for (const Piece& piece : made_) planned_area_ += piece.rect.Area();
        pieces_.insert(pieces_.end(), made_.begin(), made_.end());
    }
    AddOccluders(shape);
}

// Rows of the quad, bottom to top, each of one kind of texel: the rows of clear and solid bands
// keep a pixel clear of the bands' edges, the rest is mixed.
void DrawPlan::CutQuad(const PlanQuad& quad, const Shape& shape, const ScreenRect& outer)
{
    cuts_.clear();
    found_.clear();
    const TextureAlpha* alpha = quad.alpha.get();
    // A texel of alpha 0 stays 0 under any finite tint; one of 255 stays 1 only under a tint of 1.
    const bool solid = quad.opacity == 1.0f;
    const float span = shape.y1 - shape.y0;
    if (alpha && alpha->WhollyOpaque() && solid) {
        cuts_.push_back({outer.y0, outer.y1, kSolid});
        return;
    }
    const bool known = alpha && alpha->height > 0 && std::isfinite(quad.opacity) && span != 0.0f;
    for (size_t i = 0; known && i < alpha->bands.size(); ++i) {
        const TextureAlpha::Band& band = alpha->bands[i];
        const bool opaque = band.kind == kSolid && solid;
        if (!opaque && band.kind != kClear) continue;
        int y0, y1;
        const float rows = static_cast<float>(alpha->height);
        if (!SafePixels(band.first, band.first + band.rows - 1, rows, shape.y0, span, shape.slack, y0, y1)) continue;
        const Cut cut{std::max(y0, outer.y0), std::min(y1, outer.y1), opaque ? kSolid : kClear};
        if (cut.y1 > cut.y0) found_.push_back(cut);
    }
    std::sort(found_.begin(), found_.end(), [](const Cut& a, const Cut& b) { return a.y0 < b.y0; });
    int cursor = outer.y0;
    for (Cut cut : found_) {
        cut.y0 = std::max(cut.y0, cursor);
        if (cut.y1 <= cut.y0) continue;
        if (cut.y0 > cursor) cuts_.push_back({cursor, cut.y0, kMixed});
        cuts_.push_back(cut);
        cursor = cut.y1;
    }
    if (cursor < outer.y1) cuts_.push_back({cursor, outer.y1, kMixed});
}

// The cuts as pieces within the area, clear ones left out.
void DrawPlan::MakePieces(const ScreenRect& outer)
{
    made_.clear();
    for (const Cut& cut : cuts_) {
        const ScreenRect rect = ScreenRect{outer.x0, cut.y0, outer.x1, cut.y1}.Intersect(area_);
        if (cut.kind != kClear && !rect.Empty()) made_.push_back({rect, cut.kind != kSolid});
    }
}

// Takes what the occluders cover out of the pieces, largest occluder first; one that would leave
// more than kMostPieces pieces is passed over.
void DrawPlan::Occlude(std::vector<Piece>& pieces)
{
    for (const ScreenRect& occluder : occluders_) {
        if (pieces.empty()) return;
        Subtract(pieces, occluder, scratch_);
        if (scratch_.size() <= kMostPieces) pieces.swap(scratch_);
    }
}

bool DrawPlan::Hidden(const ScreenRect& rect)
{
    if (rect.Empty()) return true;
    left_.assign(1, {rect, true});
    Occlude(left_);
    return left_.empty();
}

// Pixels whose centres lie inside the quad are its own wherever its rows are solid.
void DrawPlan::AddOccluders(const Shape& shape)
{
    int x0, x1, y0, y1;
    CentresInside(std::min(shape.x0, shape.x1), std::max(shape.x0, shape.x1), shape.slack, x0, x1);
    CentresInside(shape.min_y, shape.max_y, shape.slack, y0, y1);
    for (const Cut& cut : cuts_) {
        if (cut.kind != kSolid) continue;
        AddOccluder(ScreenRect{x0, std::max(y0, cut.y0), x1, std::min(y1, cut.y1)}.Intersect(area_));
    }
}

// Kept largest first; when full, a larger one takes the smallest one's place.
void DrawPlan::AddOccluder(const ScreenRect& rect)
{
    if (rect.Empty()) return;
    if (occluders_.size() >= kMostOccluders) {
        if (occluders_.back().Area() >= rect.Area()) return;
        occluders_.pop_back();
    }
    const auto at = std::find_if(occluders_.begin(), occluders_.end(),
                                 [&rect](const ScreenRect& o) { return o.Area() < rect.Area(); });
    occluders_.insert(at, rect);
}

} // namespace OrvEngine
