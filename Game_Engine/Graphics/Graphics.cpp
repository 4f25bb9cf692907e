#include "Graphics/Graphics.h"

#include "Logging/Logging.h"
#include "Platform/Platform.h"

#include "Components/Camera.h"

namespace OrvEngine {

void Graphics::Init()
{
    RegisterComponent<Camera>("Camera", CAMERA);
}

void Graphics::CleanRenderingEnvironment()
{
    PrintLine("Graphics::CleanRenderingEnvironment()");
    Platform::ReleaseGLContext();
}

} // namespace OrvEngine
