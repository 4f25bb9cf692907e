// Graphics: the GL context on the game window, the sprite programs, the editor's off-screen
// framebuffers and the editor camera. Drawing itself belongs to the sprite, text and debug passes;
// presenting the frame belongs to the editor manager.
#pragma once

#include "CoreEngine/ISystem.h"
#include "CoreEngine/Singleton.h"
#include "Graphics/FrameDamage.h"
#include "Graphics/FrameFence.h"
#include "Graphics/Framebuffer.h"
#include "Graphics/Shader.h"

#include <glm/glm.hpp>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace OrvEngine {

class Graphics : public ISystem, public Singleton<Graphics> {
public:
    ~Graphics() override;
    std::string GetName() override { return "Graphics"; }
    // Under the null backend drawing is disabled (one log line) and everything else still runs;
    // with a real backend a failed GL set-up is reported and ends the program.
    void Init() override;
    void Update() override;

    // Creates the 4.3 context and loads GL; false with the reason in GetSetUpError() when no context
    // can be made. Ends the process with code 1 when GLEW fails or GL 4.3 is missing.
    bool InitRenderingEnvironment();
    // Releases the GL context; safe to call more than once.
    void CleanRenderingEnvironment();
    // Binds the default framebuffer and clears it to the clear colour (after the editor's offscreen pass).
    void ClearBackBuffer();
    // Appends a program linked from the vertex file and the texture fragment shader; its index.
    size_t AddShader(const std::string& vertex_path);
    // view_projection = scale(2 / width, 2 / height) x translate(-x, -y).
    void UpdateCameraMatrix();
    // The record the editor's game view shows: 1 while fullscreen, 0 otherwise; null before Init.
    // Its colour storage is made when it is first asked for.
    Framebuffer* GetGameViewFramebuffer();
    // World to normalised device coordinates for this frame: the active camera's matrix while the
    // game runs (identity without one), the editor camera's otherwise.
    glm::mat4 GetWorldToNdc() const;
    const std::string& GetSetUpError() const { return set_up_error_; }

    // True while a context made by Init is current; every GL call in the engine is gated on it.
    static bool IsGLReady();
    // Counts successful context set-ups, so objects made under an older context are not reused.
    static uint32_t GLGeneration();

    float camera_x = 0.0f;
    float camera_y = 0.0f;
    float camera_width = 10.0f;
    float camera_height = 10.0f;
    glm::mat4 view_projection{1.0f};
    std::vector<Framebuffer> framebuffers;
    // Which part of the window this frame repaints.
    FrameDamage damage;
    // Holds the game at most one frame ahead of the driver.
    FrameFence frame_fence;
    // Record 0: the sprite-sheet program, record 1: the plain textured program. Filled once in Init
    // and never grown afterwards, so sprites may keep pointers to the records.
    std::vector<Shader> shaders;

private:
    void ReportFatal(const std::string& reason);
    std::string set_up_error_;
};

} // namespace OrvEngine
