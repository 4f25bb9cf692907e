// The names of a scene's objects as the editor gives and takes them. Scripts and components find
// objects by name, so a name is never empty and never that of another object of the same scene.
// Renaming itself is the inspector's business (InspectorActions::Rename).
#pragma once

#include <string>

namespace OrvEngine {

class Entity;
class IScene;

namespace EditorNames {

// Why `name` may not name `entity` (null for an object not made yet) among the live objects of
// `scene` (null for none); empty when it may.
std::string Refusal(const IScene* scene, const Entity* entity, const std::string& name);
// `stem` when no live object of the scene has it, else the first of stem + "1", stem + "2", ...
// that none has.
std::string FreeName(const IScene& scene, const std::string& stem);

} // namespace EditorNames
} // namespace OrvEngine
