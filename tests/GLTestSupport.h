// What GL tests share: keeping the driver's modules mapped, so leak reports can name them (the
// suppressions for those modules are defined once, in RunFolder.cpp), the window set-up, and
// reading and redrawing the presented frame.
#pragma once

#include "TestSupport.h"

#include "Components/Text.h"
#include "Graphics/FreetypeSystem.h"
#include "Graphics/Graphics.h"
#include "Graphics/SpriteSystem.h"

#include <FreeImage.h>
#include <GL/glew.h>

#include <cstdlib>
#include <functional>
#include <vector>

#include <fstream>
#include <string>

namespace OrvTest {

// Keeps every loaded library mapped until exit, so a leak report can name the driver module.
inline void PinLoadedLibraries() { OrvEngine::Platform::PinLoadedLibraries(); }

// Opens a real window with a GL context under the offscreen video driver, with the repository's
// shaders and fonts; the caller's fixture has already made the temporary data tree at root. A GL
// that does not start fails the test.
inline void StartOffscreenGL(const fs::path& root)
{
    using namespace OrvEngine;
    fs::create_directories(root / "Resources" / "ArtAssets");
    for (const char* folder : {"Shaders", "fonts"}) {
        if (!fs::exists(root / "Resources" / folder)) {
            fs::create_directory_symlink(SourceDir() / "Resources" / folder, root / "Resources" / folder);
        }
    }
    Platform::UseNullBackend(false);
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    WindowsSystems::GetInstance()->Init();
    Graphics::GetInstance()->Init();
    PinLoadedLibraries();
    SpriteSystem::GetInstance()->Init();
    ASSERT_TRUE(Graphics::IsGLReady()) << Graphics::GetInstance()->GetSetUpError();
}

// The RGBA pixels of the window rectangle (x, y, w, h) of the last presented frame, rows from the
// bottom.
inline std::vector<unsigned char> ReadBackBuffer(int x, int y, int w, int h)
{
    std::vector<unsigned char> pixels(static_cast<size_t>(w) * h * 4);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, w, h, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

// The last presented frame drawn again whole: the clear, its sprites, its texts. before_sprites and
// after_sprites, when given, run right around the sprites' redraw.
inline void RedrawLastFrameWhole(const std::function<void()>& before_sprites = {},
                                 const std::function<void()>& after_sprites = {})
{
    using namespace OrvEngine;
    Graphics::GetInstance()->ClearBackBuffer();
    if (before_sprites) before_sprites();
    SpriteSystem::GetInstance()->batch.Redraw();
    if (after_sprites) after_sprites();
    for (const std::shared_ptr<Text>& text : FreetypeSystem::GetInstance()->texts) {
        if (text->owner && text->owner->active) FreetypeSystem::GetInstance()->Draw(*text);
    }
}

// Saves the back buffer (what the last frame presented) as <ORV_SCREENSHOT_DIR>/<name>.png when that
// variable is set; the documentation's pictures come from such runs. Nothing otherwise.
inline void SaveScreenshot(const std::string& name)
{
    const char* folder = std::getenv("ORV_SCREENSHOT_DIR");
    if (!folder || !*folder) return;
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    const int width = viewport[2], height = viewport[3];
    if (width <= 0 || height <= 0) return;
    std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * 4);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_BGRA, GL_UNSIGNED_BYTE, pixels.data());
    FIBITMAP* image = FreeImage_ConvertFromRawBits(pixels.data(), width, height, width * 4, 32, FI_RGBA_RED_MASK,
                                                   FI_RGBA_GREEN_MASK, FI_RGBA_BLUE_MASK, false);
    if (!image) return;
    FreeImage_Save(FIF_PNG, image, (fs::path(folder) / (name + ".png")).c_str(), 0);
    FreeImage_Unload(image);
}

} // namespace OrvTest
