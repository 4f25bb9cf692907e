#include "Graphics/Graphics.h"

#include "Components/Camera.h"
#include "CoreEngine/Globals.h"
#include "CoreEngine/ResourceManager.h"
#include "Factory/ComponentRegistration.h"
#include "Graphics/TextureManager.h"
#include "Logging/Logging.h"
#include "Platform/Platform.h"
#include "Windows/WindowsSystems.h"

#include <GL/glew.h>
#include <glm/gtc/matrix_transform.hpp>

#include <cstdlib>
#include <iostream>

namespace OrvEngine {

namespace {
bool g_gl_ready = false;
uint32_t g_gl_generation = 0;

const char* const kSheetVertexShader = "../Resources/Shaders/VertexShader_TextureSS16.vert";
const char* const kPlainVertexShader = "../Resources/Shaders/VertexShader_Texture.vert";
const char* const kFragmentShader = "../Resources/Shaders/FragmentShader_Texture.frag";
} // namespace

bool Graphics::IsGLReady() { return g_gl_ready && Platform::HasGLContext(); }

uint32_t Graphics::GLGeneration() { return g_gl_generation; }

Graphics::~Graphics()
{
    if (IsGLReady()) glUseProgram(0);
    frame_fence.Release();
    for (Shader& shader : shaders) Shader::Release(shader);
    for (Framebuffer& framebuffer : framebuffers) framebuffer.Release();
    PrintLine("Graphics Destructor Called");
}

void Graphics::Init()
{
    RegisterComponent<Camera>("Camera", CAMERA);
    ResourceManager::GetInstance()->texture_registrar = [](const std::string& path, const std::string& name) {
        TextureManager::GetInstance()->AddKnown(path, name);
    };
    if (Platform::IsNullBackend()) {
        PrintAndLog("[Graphics::Init] No GL context under the null backend: drawing is disabled");
    } else if (!InitRenderingEnvironment()) {
        ReportFatal(set_up_error_);
        return;
    }
    shaders.reserve(2);
    AddShader(kSheetVertexShader);
    AddShader(kPlainVertexShader);
    WindowsSystems* window = WindowsSystems::GetInstance();
    int screen_w = 0;
    int screen_h = 0;
    Platform::GetDisplaySize(screen_w, screen_h);
    framebuffers.resize(2);
    framebuffers[0].Init(static_cast<int>(window->width), static_cast<int>(window->height), &shaders[1]);
    framebuffers[1].Init(screen_w, screen_h, &shaders[1]);
    camera_x = 0.0f;
    camera_y = 0.0f;
    camera_width = 10.0f;
    camera_height = 10.0f;
    UpdateCameraMatrix();
    PrintLine("Graphics::Init()");
}

void Graphics::ReportFatal(const std::string& reason)
{
    const std::string text = "[Graphics::Init] " + reason + "; the game cannot draw and stops";
    PrintAndLog(text);
    // The report shows the box ("Error!!", answered by itself when nobody can) and exits non-zero.
    ORV_ASSERT_AT(false, "Game_Engine/Graphics/Graphics", text);
}

bool Graphics::InitRenderingEnvironment()
{
    set_up_error_.clear();
    g_gl_ready = false;
    if (!Platform::CreateGLContext()) {
        set_up_error_ = "Unable to create an OpenGL 4.3 compatibility context: " + Platform::GetLastError();
        return false;
    }
    glewExperimental = GL_TRUE;
    const GLenum status = glewInit();
    // Debian's GLEW is built for GLX: with an EGL context it reports no GLX display after every
    // GL entry point has been loaded.
    if (status != GLEW_OK && status != GLEW_ERROR_NO_GLX_DISPLAY) {
        std::cerr << "Error: Unable to initialize GLEW " << glewGetErrorString(status) << std::endl;
        std::exit(1);
    }
    if (!GLEW_VERSION_4_3) {
        std::cout << "Error: Cannot access GL 4.3 API" << std::endl;
        std::exit(1);
    }
    g_gl_ready = true;
    ++g_gl_generation;
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    PrintLine("Rendering Environment Success");
    return true;
}

void Graphics::CleanRenderingEnvironment()
{
    PrintLine("Graphics::CleanRenderingEnvironment()");
    frame_fence.Release();
    g_gl_ready = false;
    Platform::ReleaseGLContext();
}

size_t Graphics::AddShader(const std::string& vertex_path)
{
    shaders.emplace_back();
    Shader::Load(shaders.back(), vertex_path, kFragmentShader);
    return shaders.size() - 1;
}

void Graphics::Update()
{
    UpdateCameraMatrix();
    if (!IsGLReady()) return;
    WindowsSystems* window = WindowsSystems::GetInstance();
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    // In the game's own view the sprite pass clears, once it knows what changed.
    if (!damage.BeginFrame(window->width, window->height, GameIsRunning && !EditorVisible)) {
        glClearColor(0.0f, 0.5f, 0.5f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    glFrontFace(GL_CCW);
    glViewport(0, 0, static_cast<GLsizei>(window->width), static_cast<GLsizei>(window->height));
}

void Graphics::ClearBackBuffer()
{
    if (!IsGLReady()) return;
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glClearColor(0.0f, 0.5f, 0.5f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
}

void Graphics::UpdateCameraMatrix()
{
    // A zero extent would make the matrix infinite; the last good one is kept.
    if (camera_width == 0.0f || camera_height == 0.0f) return;
    const glm::mat4 scale =
        glm::scale(glm::mat4(1.0f), glm::vec3(2.0f / camera_width, 2.0f / camera_height, 1.0f));
    const glm::mat4 translate = glm::translate(glm::mat4(1.0f), glm::vec3(-camera_x, -camera_y, 0.0f));
    view_projection = scale * translate;
}

Framebuffer* Graphics::GetGameViewFramebuffer()
{
    if (framebuffers.size() < 2) return nullptr;
    Framebuffer* target = WindowsSystems::GetInstance()->fullscreen ? &framebuffers[1] : &framebuffers[0];
    target->Allocate();
    return target;
}

glm::mat4 Graphics::GetWorldToNdc() const
{
    if (!GameIsRunning) return view_projection;
    return ActiveCamera ? ActiveCamera->world_to_screen : glm::mat4(1.0f);
}

} // namespace OrvEngine
