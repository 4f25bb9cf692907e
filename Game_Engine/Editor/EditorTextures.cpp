#include "Editor/EditorTextures.h"

#include "CoreEngine/ResourceManager.h"
#include "Graphics/TextureManager.h"

#include <set>

namespace OrvEngine {

void EditorTextures::Refresh()
{
    ResourceManager::GetInstance()->RefreshTextures();
    Rebuild();
}

const std::vector<std::string>& EditorTextures::Names()
{
    const size_t scanned = ResourceManager::GetInstance()->textures.size();
    const size_t loaded = TextureManager::GetInstance()->textures.size();
    if (scanned != scanned_ || loaded != loaded_) Rebuild();
    return names_;
}

void EditorTextures::Rebuild()
{
    const auto& scanned = ResourceManager::GetInstance()->textures;
    const auto& loaded = TextureManager::GetInstance()->textures;
    // The texture manager's own table has no order; a set gives the combos a stable one.
    std::set<std::string> names;
    for (const auto& [name, path] : scanned) names.insert(name);
    for (const auto& [name, texture] : loaded) {
        if (texture) names.insert(name);
    }
    names_.assign(names.begin(), names.end());
    scanned_ = scanned.size();
    loaded_ = loaded.size();
}

std::shared_ptr<Texture> EditorTextures::Picture(const std::string& name) const
{
    return TextureManager::GetInstance()->GetTexture(name);
}

} // namespace OrvEngine
