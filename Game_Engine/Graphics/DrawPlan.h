// DrawPlan: what each of a frame's sprite quads must draw for the picture that drawing every quad
// whole, blended, back to front gives, pixel for pixel, with less filling. A quad hidden behind
// opaque quads in front of it is skipped; a large quad leaves out its wholly transparent rows, draws
// its wholly opaque rows without blending and leaves out what opaque quads in front cover, as
// scissored pieces. Works in window pixels from the quads' corners, with margins that cover the
// rasteriser's rounding; knows no GL.
#pragma once

#include "Graphics/FrameDamage.h"

#include <glm/glm.hpp>

#include <cstdint>
#include <memory>
#include <vector>

namespace OrvEngine {

struct TextureAlpha;

// What the plan reads of a quad: its place (as SpriteQuad gives it), the alpha its tint multiplies
// by, and its texture's clear and solid rows (null when unknown: every row counts as mixed).
struct PlanQuad {
    float axes[4] = {1.0f, 0.0f, 0.0f, 1.0f};
    float origin[2] = {0.0f, 0.0f};
    float opacity = 1.0f;
    std::shared_ptr<const TextureAlpha> alpha;
};

class DrawPlan {
public:
    enum class Mode : uint8_t { Skip, Whole, Pieces };
    struct Quad {
        Mode mode = Mode::Whole;
        bool blend = true;        // Whole
        uint32_t first_piece = 0; // Pieces
        uint32_t pieces = 0;
    };
    struct Piece {
        ScreenRect rect; // the scissor box
        bool blend = true;
    };

    // viewport: where normalised device coordinates land (window pixels); area: the part of it the
    // frame repaints (the viewport, or the scissor box that clips the frame). `plan` false: every
    // quad whole and blended, as a reference picture.
    void Make(const std::vector<PlanQuad>& quads, const glm::mat4& world_to_ndc, const ScreenRect& viewport,
              const ScreenRect& area, bool plan);
    const std::vector<Quad>& Quads() const { return quads_; }
    const std::vector<Piece>& Pieces() const { return pieces_; }
    // Opaque quads cover every pixel of the area: clearing it first changes nothing.
    bool Covers() const { return covers_; }
    // Window pixels the quads cover, as planned and as they would be drawn whole (over the area).
    long long PlannedArea() const { return planned_area_; }
    long long WholeArea() const { return whole_area_; }

private:
    struct Shape;
    // Rows [y0, y1) of a quad in window pixels whose texels are all of one kind.
    struct Cut {
        int y0, y1;
        uint8_t kind;
    };

    bool Place(const PlanQuad& quad, Shape& shape) const;
    void PlanQuadAt(const PlanQuad& quad, Quad& out);
    void CutQuad(const PlanQuad& quad, const Shape& shape, const ScreenRect& outer);
    void MakePieces(const ScreenRect& outer);
    void Occlude(std::vector<Piece>& pieces);
    bool Hidden(const ScreenRect& rect);
    void AddOccluders(const Shape& shape);
    void AddOccluder(const ScreenRect& rect);

    std::vector<Quad> quads_;
    std::vector<Piece> pieces_;
    std::vector<ScreenRect> occluders_;
    std::vector<Cut> cuts_, found_;
    std::vector<Piece> made_, left_, scratch_;
    glm::mat4 to_ndc_{1.0f};
    ScreenRect viewport_, area_;
    bool covers_ = false;
    long long planned_area_ = 0, whole_area_ = 0;
};

} // namespace OrvEngine
