// The resource scan: every ".png" of the art folder becomes a texture known by its file name (read
// on first use), every ".ogg" of the sound folder an event of the audio system; other files give one
// warning per kind.
#pragma once

#include "CoreEngine/ISystem.h"
#include "CoreEngine/Singleton.h"

#include <map>
#include <set>
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
    std::string art_folder = "../Resources/ArtAssets/";
    std::string sound_folder = "../Resources/Sounds/";

private:
    void ReportStrayArt(const std::string& file);
    void ReportStraySound(const std::string& file);

    // Files of the wrong kind already named in a warning, so a rescan does not repeat them.
    std::set<std::string> reported_files_;
};

} // namespace OrvEngine
