#include "Editor/EditorPrefabs.h"

#include "CoreEngine/Serializer.h"
#include "Editor/EditorFiles.h"
#include "Factory/Entity.h"
#include "Factory/EntityFactory.h"
#include "Platform/Platform.h"

#include <filesystem>

namespace OrvEngine {
namespace EditorPrefabs {

namespace {
const char* const kPrefabFolder = "Prefab/";

std::string PrefabFile(const std::string& name) { return std::string(kDataFolder) + kPrefabFolder + name + ".json"; }

bool FileExists(const std::string& path)
{
    std::error_code ignored;
    return std::filesystem::exists(path, ignored);
}

// The checks every prefab change passes first; each refusal is reported.
bool MayChange(const std::string& name)
{
    if (!IsUsablePrefabName(name)) {
        EditorFiles::ReportFailure("[Editor] Refused prefab name '" + name + "'");
        return false;
    }
    if (EntityFactory::GetInstance()->ArchetypeIndexUnreadable()) {
        EditorFiles::ReportFailure("[Editor] Prefab/Archetype.json could not be read at start-up; prefabs are not "
                                   "changed");
        return false;
    }
    return EditorFiles::EnsureFolder(kPrefabFolder);
}

bool WriteIndex()
{
    if (EntityFactory::GetInstance()->SaveArchetypeIndex()) return true;
    EditorFiles::ReportFailure("[Editor] Failed to write to file Prefab/Archetype.json; the old file is kept");
    return false;
}

// A copy of the entity, made through the factory's staging map, which is left as it was.
Entity* CopyOf(Entity& entity)
{
    EntityFactory* factory = EntityFactory::GetInstance();
    std::map<uint64_t, Entity*> kept;
    kept.swap(factory->GetEntities());
    factory->SetEntity(entity.id, &entity);
    Entity* copy = factory->CloneEntity(entity.id);
    factory->GetEntities().swap(kept);
    return copy;
}
} // namespace

bool IsUsablePrefabName(const std::string& name) { return IsSafePathComponent(name) && name != "Archetype"; }

bool Exists(const std::string& name)
{
    return EntityFactory::GetInstance()->GetArchetypes().count(name) != 0 ||
           (IsSafePathComponent(name) && FileExists(PrefabFile(name)));
}

bool SaveAsPrefab(Entity& entity, bool overwrite)
{
    const std::string name = entity.GetName();
    if (EditorFiles::RefusedWhilePlaying(overwrite ? "Overwrite Prefab" : "Save As Prefab")) return false;
    if (!overwrite && Exists(name)) {
        EditorFiles::ReportFailure("[Editor] A prefab named '" + name + "' exists already");
        return false;
    }
    if (!MayChange(name)) return false;
    EntityFactory* factory = EntityFactory::GetInstance();
    Entity* copy = CopyOf(entity);
    if (!copy) return false;
    if (!EditorFiles::WriteEntityFile(kPrefabFolder + name, EntityMap{{copy->id, copy}})) {
        factory->DestroyEntity(copy);
        return false;
    }
    auto& prefabs = factory->GetArchetypes();
    auto old = prefabs.find(name);
    Entity* previous = old == prefabs.end() ? nullptr : old->second;
    prefabs[name] = copy;
    if (previous && previous != copy) factory->DestroyEntity(previous);
    return WriteIndex();
}

bool RemovePrefab(const std::string& name)
{
    if (EditorFiles::RefusedWhilePlaying("Remove Prefab") || !MayChange(name)) return false;
    const std::string file = PrefabFile(name);
    if (FileExists(file) && !Platform::RemoveFile(file)) {
        EditorFiles::ReportFailure("[Editor] Could not remove Prefab/" + name + ".json; the prefab is kept");
        return false;
    }
    EntityFactory::GetInstance()->DeletePrefab(name);
    return WriteIndex();
}

} // namespace EditorPrefabs
} // namespace OrvEngine
