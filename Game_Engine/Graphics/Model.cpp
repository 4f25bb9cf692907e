#include "Graphics/Model.h"

#include "Graphics/Graphics.h"

#include <GL/glew.h>

namespace OrvEngine {

Model::~Model()
{
    if (!Graphics::IsGLReady() || generation_ != Graphics::GLGeneration()) return;
    if (vertex_array) glDeleteVertexArrays(1, &vertex_array);
    if (vertex_buffer_) glDeleteBuffers(1, &vertex_buffer_);
    if (index_buffer_) glDeleteBuffers(1, &index_buffer_);
}

std::shared_ptr<Model> Model::CreateQuad()
{
    const std::vector<Vertex> vertices = {
        {{-0.5f, -0.5f}, {0.0f, 0.0f, 0.0f, 1.0f}, {0.0f, 0.0f}},
        {{0.5f, -0.5f}, {0.0f, 0.0f, 0.0f, 1.0f}, {1.0f, 0.0f}},
        {{-0.5f, 0.5f}, {0.0f, 0.0f, 0.0f, 1.0f}, {0.0f, 1.0f}},
        {{0.5f, 0.5f}, {0.0f, 0.0f, 0.0f, 1.0f}, {1.0f, 1.0f}},
    };
    const std::vector<uint16_t> indices = {0, 1, 2, 3};
    auto model = std::make_shared<Model>();
    model->primitive_type = GL_TRIANGLE_STRIP;
    model->index_count = static_cast<uint32_t>(indices.size());
    model->vertex_count = static_cast<uint32_t>(vertices.size());
    if (Graphics::IsGLReady()) {
        model->vertex_array = CreateBuffers(vertices, indices, &model->vertex_buffer_, &model->index_buffer_);
        model->generation_ = Graphics::GLGeneration();
    }
    return model;
}

uint32_t Model::CreateBuffers(const std::vector<Vertex>& vertices, const std::vector<uint16_t>& indices,
                              uint32_t* vertex_buffer, uint32_t* index_buffer)
{
    if (!Graphics::IsGLReady()) return 0;
    GLuint vao = 0;
    glGenVertexArrays(1, &vao);
    glBindVertexArray(vao);

    GLuint vbo = 0;
    glGenBuffers(1, &vbo);
    glBindBuffer(GL_ARRAY_BUFFER, vbo);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(sizeof(Vertex) * vertices.size()), vertices.data(),
                 GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);

    struct Attribute {
        GLuint index;
        GLint size;
        GLintptr offset;
    };
    // Each attribute reads through the binding of its own number.
    const Attribute attributes[] = {{0, 2, 0}, {1, 3, 8}, {2, 2, 24}};
    for (const Attribute& a : attributes) {
        glEnableVertexAttribArray(a.index);
        glBindVertexBuffer(a.index, vbo, a.offset, sizeof(Vertex));
        glVertexAttribFormat(a.index, a.size, GL_FLOAT, GL_FALSE, 0);
        glVertexAttribBinding(a.index, a.index);
    }

    // The element buffer bound while the array is bound becomes the array's.
    GLuint ibo = 0;
    glGenBuffers(1, &ibo);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, ibo);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(sizeof(uint16_t) * indices.size()), indices.data(),
                 GL_STATIC_DRAW);
    glBindVertexArray(0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    if (vertex_buffer) *vertex_buffer = vbo;
    if (index_buffer) *index_buffer = ibo;
    return vao;
}

} // namespace OrvEngine
