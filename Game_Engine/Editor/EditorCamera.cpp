#include "Editor/EditorCamera.h"

#include "Graphics/Graphics.h"

namespace OrvEngine {
namespace EditorCamera {

void KeepAspect(float aspect)
{
    if (!(aspect > 0.0f)) return;
    Graphics* graphics = Graphics::GetInstance();
    graphics->camera_width = graphics->camera_height * aspect;
}

} // namespace EditorCamera
} // namespace OrvEngine
