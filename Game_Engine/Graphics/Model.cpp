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
    GLuint vbo = 0;
    glCreateBuffers(1, &vbo);
    glNamedBufferStorage(vbo, static_cast<GLsizeiptr>(sizeof(Vertex) * vertices.size()), nullptr,
                         GL_DYNAMIC_STORAGE_BIT);
    glNamedBufferSubData(vbo, 0, static_cast<GLsizeiptr>(sizeof(Vertex) * vertices.size()), vertices.data());

    GLuint vao = 0;
    glCreateVertexArrays(1, &vao);
    struct Attribute {
        GLuint index;
        GLint size;
        GLintptr offset;
    };
    // Each attribute reads through the binding of its own number.
    const Attribute attributes[] = {{0, 2, 0}, {1, 3, 8}, {2, 2, 24}};
    for (const Attribute& a : attributes) {
        glEnableVertexArrayAttrib(vao, a.index);
        glVertexArrayVertexBuffer(vao, a.index, vbo, a.offset, sizeof(Vertex));
        glVertexArrayAttribFormat(vao, a.index, a.size, GL_FLOAT, GL_FALSE, 0);
        glVertexArrayAttribBinding(vao, a.index, a.index);
    }

    GLuint ibo = 0;
    glCreateBuffers(1, &ibo);
    glNamedBufferStorage(ibo, static_cast<GLsizeiptr>(sizeof(uint16_t) * indices.size()), indices.data(),
                         GL_DYNAMIC_STORAGE_BIT);
    glVertexArrayElementBuffer(vao, ibo);
    glBindVertexArray(0);
    if (vertex_buffer) *vertex_buffer = vbo;
    if (index_buffer) *index_buffer = ibo;
    return vao;
}

} // namespace OrvEngine
