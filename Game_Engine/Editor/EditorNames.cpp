#include "Editor/EditorNames.h"

#include "Factory/Entity.h"
#include "Factory/Information.h"
#include "Scene/IScene.h"

namespace OrvEngine {
namespace EditorNames {

namespace {
// Both names count: the file's key and the Information name the scene's lookups read.
bool Named(const Entity& entity, const std::string& name)
{
    if (entity.GetName() == name) return true;
    auto info = entity.GetComponent<Information>(INFORMATION);
    return info && info->name == name;
}

bool Taken(const IScene& scene, const Entity* entity, const std::string& name)
{
    for (const auto& [id, other] : scene.GetEntities()) {
        if (other && other != entity && Named(*other, name)) return true;
    }
    return false;
}
} // namespace

std::string Refusal(const IScene* scene, const Entity* entity, const std::string& name)
{
    if (name.empty()) return "A name cannot be empty.";
    if (scene && Taken(*scene, entity, name)) return "Another object of this scene is named '" + name + "'.";
    return std::string();
}

std::string FreeName(const IScene& scene, const std::string& stem)
{
    std::string name = stem;
    // Each try rules out one live object at most, so the loop ends.
    for (size_t number = 1; Taken(scene, nullptr, name); ++number) name = stem + std::to_string(number);
    return name;
}

} // namespace EditorNames
} // namespace OrvEngine
