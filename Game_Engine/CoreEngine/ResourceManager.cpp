#include "CoreEngine/ResourceManager.h"

#include "Audio/AudioSystem.h"
#include "Graphics/TextureManager.h"
#include "Logging/Logging.h"
#include "Platform/Platform.h"

#include <algorithm>
#include <filesystem>

namespace OrvEngine {

namespace {
// The name before the extension when the file name ends in it (and has a name before it).
bool StripExtension(const std::string& file, const std::string& extension, std::string& name)
{
    if (file.size() <= extension.size()) return false;
    if (file.compare(file.size() - extension.size(), extension.size(), extension) != 0) return false;
    name = file.substr(0, file.size() - extension.size());
    return true;
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

void ResourceManager::RefreshTextures()
{
    for (const std::string& file : ListFolder(art_folder)) {
        std::string name;
        if (!StripExtension(file, ".png", name)) {
            if (!texture_warning_shown) {
                Platform::ShowMessageBox("A file in ../Resources/ArtAssets/ that is not a png was found,\nit will not be read.",
                                         "Warning", 48);
                texture_warning_shown = true;
            }
            continue;
        }
        const std::string path = art_folder + file;
        textures.emplace(name, path);
        TextureManager::GetInstance()->LoadTexture(path, name);
    }
}

void ResourceManager::RefreshSounds()
{
    AudioSystem* audio = AudioSystem::GetInstance();
    for (const std::string& file : ListFolder(sound_folder)) {
        std::string event;
        if (!StripExtension(file, ".ogg", event)) {
            if (!sound_warning_shown) {
                Platform::ShowMessageBox("Non-supported audio file detected in Resources folder, only ogg file extension "
                                         "is supported for audio files!\n",
                                         "Warning", 304);
                LogLine("[ResourceManager::RefreshSounds()] Note: non-ogg audio file detected in sounds resources folder! "
                        "Only ogg files supported.");
                sound_warning_shown = true;
            }
            continue;
        }
        if (audio->EventsFilenameMap.count(event)) continue;
        audio->AddedSounds.push_back(event);
        audio->EventsFilenameMap[event] = file;
    }
}

} // namespace OrvEngine
