// The resource scan: every file of the art folder with ".png" in its name becomes a texture known by
// the name before it (read on first use), every one of the sound folder with ".ogg" an event of the
// audio system; other files give one warning per kind and run, and nothing else. What a texture
// or a sound becomes is up to the systems that register their hooks here.
#pragma once

#include "CoreEngine/ArtAssets.h"
#include "CoreEngine/ISystem.h"
#include "CoreEngine/Singleton.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace OrvEngine {

class ResourceManager : public ISystem, public Singleton<ResourceManager> {
public:
    std::string GetName() override { return "ResourceManager"; }
    void Init() override;
    void RefreshTextures();
    void RefreshSounds();

    // The file names of a folder in sorted order; empty (with a log line) when it cannot be read.
    static std::vector<std::string> ListFolder(const std::string& folder);

    bool texture_warning_shown = false;
    bool sound_warning_shown = false;
    std::map<std::string, std::string> textures;
    std::string art_folder = kArtFolder;
    std::string sound_folder = "../Resources/Sounds/";
    // Set by the graphics system's Init: makes one texture known by name. Until then a scan only
    // lists them.
    std::function<void(const std::string& path, const std::string& name)> texture_registrar;
    // Set by the audio system's Init: records one sound file under its event name.
    std::function<void(const std::string& event, const std::string& file)> sound_registrar;

private:
    void ReportStrayArt();
    void ReportStraySound();
};

} // namespace OrvEngine
