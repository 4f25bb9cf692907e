// What GL tests share: keeping the driver's modules mapped, so leak reports can name them (the
// suppressions for those modules are defined once, in test_graphics.cpp), and the window set-up.
#pragma once

#include "TestSupport.h"

#include <dlfcn.h>

#include <fstream>
#include <string>

namespace OrvTest {

// Keeps every loaded library mapped until exit, so a leak report can name the driver module.
inline void PinLoadedLibraries()
{
    std::ifstream maps("/proc/self/maps");
    std::string line;
    while (std::getline(maps, line)) {
        const auto slash = line.find('/');
        if (slash == std::string::npos || line.find(".so", slash) == std::string::npos) continue;
        dlopen(line.substr(slash).c_str(), RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
    }
}

// Opens a real window with a GL context under the offscreen video driver, with the repository's
// shaders and fonts; the caller's fixture has already made the temporary data tree at root.
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
}

} // namespace OrvTest
