#include "CoreEngine/ResourceManager.h"

#include "Logging/Logging.h"
#include "Platform/Platform.h"

#include <algorithm>
#include <filesystem>

namespace OrvEngine {

namespace {
// The name before the first occurrence of the extension, so Tree.png and Tree.png.old are both
// Tree; false when the extension is not there or nothing stands before it.
bool NameBefore(const std::string& file, const std::string& extension, std::string& name)
{
    const size_t at = file.find(extension);
    if (at == std::string::npos || at == 0) return false;
    name = file.substr(0, at);
    return true;
}

bool HasExtension(const std::string& file, const std::string& extension)
{
    return file.find(extension) != std::string::npos;
}
} // namespace

std::vector<std::string> ResourceManager::ListFolder(const std::string& folder)
{
    std::vector<std::string> names;
    std::error_code error;
    std::filesystem::directory_iterator it(folder, error);
    if (error) {
        PrintAndLog("[ResourceManager] Cannot read the folder " + folder + ": " + error.message());
        return names;
    }
    for (const auto& entry : it) {
        if (entry.is_regular_file(error)) names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

void ResourceManager::Init()
{
    PrintLine("ResourceManager::Init()");
    RefreshTextures();
    RefreshSounds();
}

// One box a run for all stray art; nothing more.
void ResourceManager::ReportStrayArt()
{
    if (texture_warning_shown) return;
    Platform::ShowMessageBox("A file in ../Resources/ArtAssets/ that is not a png was found,\nit will not be read.",
                             "Warning", Platform::MB_ICONWARNING_FLAG);
    texture_warning_shown = true;
}

// One box and one log line a run for all stray sounds; nothing more.
void ResourceManager::ReportStraySound()
{
    if (sound_warning_shown) return;
    Platform::ShowMessageBox("Non-supported audio file detected in Resources folder, only ogg file extension "
                             "is supported for audio files!\n",
                             "Warning", Platform::MB_ICONWARNING_FLAG | Platform::MB_DEFBUTTON2_FLAG);
    LogLine("[ResourceManager::RefreshSounds()] Note: non-ogg audio file detected in sounds resources folder! "
            "Only ogg files supported.");
    sound_warning_shown = true;
}

void ResourceManager::RefreshTextures()
{
    for (const std::string& file : ListFolder(art_folder)) {
        std::string name;
        if (!NameBefore(file, ".png", name)) {
            // A file named just ".png" is a picture without a name to be known by.
            if (!HasExtension(file, ".png")) ReportStrayArt();
            continue;
        }
        const std::string path = art_folder + file;
        // The first file found under a name keeps the path; the texture manager keeps the first too.
        textures.emplace(name, path);
        // Known by name from now on; the file is read when a sprite first needs it.
        if (texture_registrar) texture_registrar(path, name);
    }
}

void ResourceManager::RefreshSounds()
{
    for (const std::string& file : ListFolder(sound_folder)) {
        std::string event;
        if (!NameBefore(file, ".ogg", event)) {
            if (!HasExtension(file, ".ogg")) ReportStraySound();
            continue;
        }
        if (sound_registrar) sound_registrar(event, file);
    }
}

} // namespace OrvEngine
