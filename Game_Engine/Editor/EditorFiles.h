// The editor's writes to the data folder ("../Resources/Data/"): each goes through the
// serializer's atomic write once the folder it needs exists; a failed write leaves the old file
// as it was and is reported (a log line and a notice box). Also the rule for scene names.
// Reading files is the scenes' and the factory's business, not this module's.
#pragma once

#include "Scene/IScene.h"

#include <string>

namespace OrvEngine {
namespace EditorFiles {

// A name a scene may take: a safe path component and not one of the reserved "Prefab" (the
// prefab folder) and "Exit game" (the quit request).
bool IsUsableSceneName(const std::string& name);
// Makes a folder under the data folder ("Prefab/", "GameScene_01/") when missing, logging as the
// engine logs folders; false (reported) when it cannot be made.
bool EnsureFolder(const std::string& relative);
// Makes the scene's folder when missing, logging as the engine logs folders; false (reported)
// when it cannot be made or the name is not one a scene may take.
bool EnsureSceneFolder(const std::string& scene_name);
// Writes the entities as an entity document to stem + ".json" (stem relative to the data folder,
// for example "GameScene_01/AutoSave"). The factory's staging map is left as it was.
bool WriteEntityFile(const std::string& stem, const EntityMap& entities);
// The scene's own settings file, "<name>/<name>.json".
bool WriteSceneSettings(IScene& scene);
// "Scenes.json": every scene of the state machine but `leave_out`, name to type.
bool WriteSceneIndex(const std::string& leave_out = "");
// A scene just added: its folder and settings, then the index; stops at the first failure. No
// other scene's file is written: their unsaved edits and files changed by hand stay as they are.
bool SaveNewScene(IScene& scene);
// The scene's "Entities.json": its live entities, or its loaded ones when none are live. An
// entity file that could not be read at start-up is never replaced by an empty scene.
bool SaveSceneEntities(IScene& scene);
// A failure the user must hear of: standard output, the log and a warning box.
void ReportFailure(const std::string& text);
// True, after a box that says why, while a play runs or is paused: the scenes and prefabs then
// hold the played state, which Stop throws away, so `action` ("Save Scene") is refused.
bool RefusedWhilePlaying(const std::string& action);

} // namespace EditorFiles
} // namespace OrvEngine
