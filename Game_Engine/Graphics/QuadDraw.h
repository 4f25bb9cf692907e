// One textured unit quad on screen, drawn on its own through the single-quad programs and their
// uniforms: slider bars. Sprites go through the sprite batch.
#pragma once

#include "CoreEngine/Math.h"

#include <glm/glm.hpp>

#include <cstdint>

namespace OrvEngine {

class Model;
struct Shader;

struct QuadDraw {
    const Model* model = nullptr;
    const Shader* shader = nullptr;
    uint32_t texture_id = 0;
    glm::mat4 world_to_ndc{1.0f};
    glm::mat4 model_matrix{1.0f};
    Vec4 tint{1.0f, 1.0f, 1.0f, 1.0f};
    // The 1-based sheet frame, or 0 for a plain texture.
    int32_t frame = 0;
};

// An orthographic projection over the window in pixels (near -1, far 1).
glm::mat4 WindowProjection();

// Draws the quad and unbinds the vertex array and the program again; needs a GL context.
void DrawQuad(const QuadDraw& quad);

} // namespace OrvEngine
