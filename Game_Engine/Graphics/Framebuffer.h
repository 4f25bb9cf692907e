// Framebuffer: an off-screen colour target that the sprites draw into while the game is edited;
// the editor's game view shows its colour texture.
#pragma once

#include <cstdint>
#include <memory>

namespace OrvEngine {

class Model;
struct Shader;

struct Framebuffer {
    // Makes the framebuffer with an RGB colour texture of the given size (pixels).
    void Init(int width, int height, Shader* shader_record);
    // Remakes the colour storage when the size differs, so the picture always fills the texture.
    void Resize(int width, int height);
    // Deletes the GL objects when a context is current.
    void Release();
    void SetModel(std::shared_ptr<Model> value) { model = std::move(value); }

    uint32_t framebuffer = 0;
    uint32_t colour_texture = 0;
    int width = 0;
    int height = 0;
    std::shared_ptr<Model> model;
    Shader* shader = nullptr;

private:
    void AllocateColour();
};

} // namespace OrvEngine
