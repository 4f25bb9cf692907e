#include "Graphics/DebugDraw.h"

#include "Graphics/Graphics.h"
#include "Graphics/Shader.h"
#include "Graphics/StreamBuffer.h"

#include <GL/glew.h>
#include <glm/glm.hpp>

namespace OrvEngine {

namespace {
// Per vertex: x, y in normalised device coordinates, then r, g, b, a.
struct LineVertex {
    float x, y, r, g, b, a;
};
} // namespace

DebugDraw* DebugDraw::GetInstance()
{
    static DebugDraw instance;
    return &instance;
}

void DebugDraw::AddLine(float x, float y)
{
    current_lines.push_back({current_point.x, current_point.y, x, y, colour.x, colour.y, colour.z, colour.w});
    ++line_count;
    current_point = Vec2(x, y);
}

void DebugDraw::EndBatch()
{
    batches.push_back(current_lines);
    current_lines.clear();
    current_point = Vec2(0.0f, 0.0f);
    colour = Vec4(0.0f, 0.0f, 0.0f, 0.0f);
}

void DebugDraw::AddBox(const Vec2& centre, float half_width, float half_height, const Vec4& line_colour)
{
    colour = line_colour;
    current_point = Vec2(centre.x - half_width, centre.y - half_height);
    AddLine(centre.x - half_width, centre.y + half_height);
    AddLine(centre.x + half_width, centre.y + half_height);
    AddLine(centre.x + half_width, centre.y - half_height);
    AddLine(centre.x - half_width, centre.y - half_height);
    EndBatch();
}

void DebugDraw::Clear()
{
    current_point = Vec2(0.0f, 0.0f);
    current_lines.clear();
    colour = Vec4(0.0f, 0.0f, 0.0f, 0.0f);
    batches.clear();
}

void DebugDraw::EnsureGLObjects()
{
    // Objects made under an earlier context are gone with it.
    if (generation_ == Graphics::GLGeneration() && program_) return;
    Shader shader;
    Shader::Load(shader, "Shaders/DebugLine.vert", "Shaders/DebugLine.frag");
    program_ = shader.program;
    glGenVertexArrays(1, &vertex_array_);
    glGenBuffers(1, &vertex_buffer_);
    buffer_capacity_ = 0;
    glBindVertexArray(vertex_array_);
    glBindVertexBuffer(0, vertex_buffer_, 0, sizeof(LineVertex));
    glEnableVertexAttribArray(0);
    glVertexAttribFormat(0, 2, GL_FLOAT, GL_FALSE, 0);
    glVertexAttribBinding(0, 0);
    glEnableVertexAttribArray(1);
    glVertexAttribFormat(1, 4, GL_FLOAT, GL_FALSE, 2 * sizeof(float));
    glVertexAttribBinding(1, 0);
    glBindVertexArray(0);
    generation_ = Graphics::GLGeneration();
}

void DebugDraw::Render(Graphics* graphics)
{
    if (Graphics::IsGLReady() && graphics && !batches.empty()) graphics->damage.UntrackedDraw();
    if (!Graphics::IsGLReady() || !graphics || batches.empty()) {
        Clear();
        return;
    }
    // Transformed on the CPU without division by w, as the lines always were.
    const glm::mat4 matrix = graphics->GetWorldToNdc();
    std::vector<LineVertex> vertices;
    for (const auto& batch : batches) {
        for (const DebugLine& line : batch) {
            const glm::vec4 start = matrix * glm::vec4(line.x0, line.y0, 0.0f, 1.0f);
            const glm::vec4 end = matrix * glm::vec4(line.x1, line.y1, 0.0f, 1.0f);
            vertices.push_back({start.x, start.y, line.r, line.g, line.b, line.a});
            vertices.push_back({end.x, end.y, line.r, line.g, line.b, line.a});
        }
    }
    Clear();
    if (vertices.empty()) return;
    EnsureGLObjects();
    WriteStreamBuffer(vertex_buffer_, buffer_capacity_, vertices.data(), vertices.size() * sizeof(LineVertex));
    glUseProgram(program_);
    glBindVertexArray(vertex_array_);
    glDrawArrays(GL_LINES, 0, static_cast<GLsizei>(vertices.size()));
    glBindVertexArray(0);
    glUseProgram(0);
}

} // namespace OrvEngine
