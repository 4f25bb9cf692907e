// Framebuffer: an off-screen colour target that the sprites draw into while the game is edited;
// the editor's game view shows its colour texture.
#pragma once

#include <cstdint>
#include <memory>

namespace OrvEngine {

class Model;
struct Shader;

struct Framebuffer {
    // Makes the framebuffer and its RGB colour texture, of the given size (pixels) once allocated.
    void Init(int width, int height, Shader* shader_record);
    // Gives the colour texture its storage on first use, and remakes it when the size differs, so
    // the picture always fills the texture.
    void Resize(int width, int height);
    // Gives the colour texture its storage at the current size when it has none yet.
    void Allocate() { Resize(width, height); }
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
    void Attach();

    bool allocated_ = false;
};

} // namespace OrvEngine
