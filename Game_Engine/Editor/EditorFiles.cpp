#include "Editor/EditorFiles.h"

#include "CoreEngine/Globals.h"
#include "CoreEngine/Serializer.h"
#include "Editor/EditorManager.h"
#include "Factory/EntityFactory.h"
#include "Logging/Logging.h"
#include "Platform/Platform.h"
#include "Scene/SceneBase.h"
#include "Scene/SceneStateMachine.h"

#include <filesystem>

namespace OrvEngine {
namespace EditorFiles {

namespace {
bool WriteDataFile(const std::string& text, const std::string& name)
{
    if (OrvSerializer.WriteStringToFile(text, name)) return true;
    ReportFailure("[Editor] Failed to write to file " + name + "; the old file is kept");
    return false;
}
} // namespace

bool IsUsableSceneName(const std::string& name)
{
    return IsSafePathComponent(name) && name != "Prefab" && name != "Exit game";
}

void ReportFailure(const std::string& text)
{
    PrintAndLog(text);
    EditorManager::GetInstance()->AskUser(text, "Warning", Platform::MB_OK_FLAG | Platform::MB_ICONWARNING_FLAG);
}

bool RefusedWhilePlaying(const std::string& action)
{
    if (!GameIsRunning && !EditorPaused) return false;
    ReportFailure("[Editor] " + action + " is refused while the game is played or paused: it would keep the "
                  "played state. Press Stop first.");
    return true;
}

bool EnsureFolder(const std::string& relative)
{
    const std::string path = std::string(kDataFolder) + relative;
    Platform::MakeDirResult made = Platform::MakeDirectory(path);
    // A folder that cannot be written in refuses even an existing name: it is there all the same.
    std::error_code ignored;
    if (made == Platform::MakeDirResult::Error && std::filesystem::is_directory(path, ignored)) {
        made = Platform::MakeDirResult::Existed;
    }
    if (LogFolderMade(path, made)) return true;
    ReportFailure("Unexpected error occur while creating directory " + path);
    return false;
}

bool EnsureSceneFolder(const std::string& scene_name)
{
    if (!IsUsableSceneName(scene_name)) {
        ReportFailure("[Editor] Refused scene name '" + scene_name + "'");
        return false;
    }
    return EnsureFolder(scene_name + "/");
}

bool WriteEntityFile(const std::string& stem, const EntityMap& entities)
{
    EntityFactory* factory = EntityFactory::GetInstance();
    // The factory writes its staging map; whatever it held before is put back afterwards.
    std::map<uint64_t, Entity*> kept;
    kept.swap(factory->GetEntities());
    factory->GetEntities() = entities;
    const std::string text = Serializer::ObjectText([factory](JsonWriter& w) { factory->SerializeEntities(w); });
    factory->GetEntities().swap(kept);
    return WriteDataFile(text, stem + ".json");
}

bool WriteSceneSettings(IScene& scene)
{
    const std::string name = scene.GetSceneName();
    const std::string text = Serializer::ObjectText([&scene](JsonWriter& writer) { scene.Serialize(writer); });
    return WriteDataFile(text, name + "/" + name + ".json");
}

bool WriteSceneIndex(const std::string& leave_out)
{
    if (!OrvStateMachine) return false;
    const std::string text = Serializer::ObjectText([&leave_out](JsonWriter& writer) {
        for (const auto& [name, scene] : OrvStateMachine->scenes) {
            if (name == leave_out || !IsSafePathComponent(name)) continue;
            Serializer::WriteUint(writer, name.c_str(), scene->GetSceneType());
        }
    });
    return WriteDataFile(text, "Scenes.json");
}

bool SaveNewScene(IScene& scene)
{
    return EnsureSceneFolder(scene.GetSceneName()) && WriteSceneSettings(scene) && WriteSceneIndex();
}

bool SaveSceneEntities(IScene& scene)
{
    const std::string name = scene.GetSceneName();
    PrintAndLog("Saving " + name);
    if (!EnsureSceneFolder(name)) return false;
    const EntityMap live = scene.GetEntities();
    const EntityMap* loaded = scene.GetLoadedEntities();
    const EntityMap& source = live.empty() && loaded ? *loaded : live;
    const auto* base = dynamic_cast<const SceneBase*>(&scene);
    if (source.empty() && base && base->EntityFileUnreadable()) {
        ReportFailure("[Editor] " + name + "/Entities.json could not be read at start-up; it is not overwritten "
                      "with an empty scene");
        return false;
    }
    return WriteEntityFile(name + "/Entities", source);
}

} // namespace EditorFiles
} // namespace OrvEngine
