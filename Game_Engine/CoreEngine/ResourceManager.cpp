#include "CoreEngine/ResourceManager.h"

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

void ResourceManager::ReportStrayArt(const std::string& file)
{
    const std::string path = art_folder + file;
    if (!reported_files_.insert(path).second) return;
    // The box (once a run) names the first such file; each later one gets a log line.
    if (texture_warning_shown) {
        LogLine("[ResourceManager::RefreshTextures()] " + path + " is not a png; it is not read");
        return;
    }
    Platform::ShowMessageBox("A file in ../Resources/ArtAssets/ that is not a png was found,\nit will not be read: " + file,
                             "Warning", Platform::MB_ICONWARNING_FLAG);
    texture_warning_shown = true;
}

void ResourceManager::ReportStraySound(const std::string& file)
{
    const std::string path = sound_folder + file;
    if (!reported_files_.insert(path).second) return;
    // As for art: the warning (once a run) names the first such file, a log line each later one.
    if (sound_warning_shown) {
        LogLine("[ResourceManager::RefreshSounds()] " + path + " is not an ogg; it is not read");
        return;
    }
    Platform::ShowMessageBox("Non-supported audio file detected in Resources folder, only ogg file extension "
                             "is supported for audio files!\n" + file,
                             "Warning", Platform::MB_ICONWARNING_FLAG | Platform::MB_DEFBUTTON2_FLAG);
    LogLine("[ResourceManager::RefreshSounds()] Note: non-ogg audio file detected in sounds resources folder! "
            "Only ogg files supported: " + path);
    sound_warning_shown = true;
}

void ResourceManager::RefreshTextures()
{
    for (const std::string& file : ListFolder(art_folder)) {
        std::string name;
        if (!StripExtension(file, ".png", name)) {
            ReportStrayArt(file);
            continue;
        }
        const std::string path = art_folder + file;
        textures.emplace(name, path);
        // Known by name from now on; the file is read when a sprite first needs it.
        if (texture_registrar) texture_registrar(path, name);
    }
}

void ResourceManager::RefreshSounds()
{
    for (const std::string& file : ListFolder(sound_folder)) {
        std::string event;
        if (!StripExtension(file, ".ogg", event)) {
            ReportStraySound(file);
            continue;
        }
        if (sound_registrar) sound_registrar(event, file);
    }
}

} // namespace OrvEngine
