// Graphics: the GL context, shaders, framebuffers and the editor camera.
#pragma once

#include "CoreEngine/ISystem.h"
#include "CoreEngine/Singleton.h"

#include <memory>
#include <string>

namespace OrvEngine {

class Graphics : public ISystem, public Singleton<Graphics> {
public:
    std::string GetName() override { return "Graphics"; }
    void Init() override;
    // Releases the GL context; safe to call more than once.
    void CleanRenderingEnvironment();
    float camera_x = 0.0f;
    float camera_y = 0.0f;
    float camera_width = 10.0f;
    float camera_height = 10.0f;
};

} // namespace OrvEngine
