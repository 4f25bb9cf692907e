// Model: a GL mesh held by shared reference. The only one made is the unit quad that every sprite
// and both framebuffers draw with.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace OrvEngine {

// 32 bytes, tightly packed: position, colour, texture coordinate.
struct Vertex {
    float position[2];
    float colour[4];
    float tex_coord[2];
};
static_assert(sizeof(Vertex) == 32, "the quad's vertex layout is 32 bytes");

class Model {
public:
    Model() = default;
    Model(const Model&) = delete;
    Model& operator=(const Model&) = delete;
    // Deletes the buffers when the context that made them is still current.
    ~Model();

    // Corners at +-0.5 with texture coordinates 0..1, drawn as one triangle strip of 4 indices.
    // Under the null backend the model has no vertex array (0).
    static std::shared_ptr<Model> CreateQuad();
    // Makes the buffers and the vertex array; returns the array id.
    static uint32_t CreateBuffers(const std::vector<Vertex>& vertices, const std::vector<uint16_t>& indices,
                                  uint32_t* vertex_buffer = nullptr, uint32_t* index_buffer = nullptr);

    uint32_t primitive_type = 0;
    uint32_t index_count = 0;
    uint32_t vertex_array = 0;
    uint32_t vertex_count = 0;

private:
    uint32_t vertex_buffer_ = 0;
    uint32_t index_buffer_ = 0;
    uint32_t generation_ = 0;
};

} // namespace OrvEngine
