#include "Scene/SceneBase.h"

#include "CoreEngine/EditorState.h"
#include "CoreEngine/Serializer.h"
#include "Factory/Entity.h"
#include "Factory/EntityFactory.h"
#include "Factory/Information.h"
#include "Logging/Logging.h"
#include "Scene/SceneHooks.h"
#include "Scene/Spawn.h"

#include <algorithm>
#include <fstream>

namespace OrvEngine {

namespace {
bool FileExists(const std::string& path) { return std::ifstream(path).is_open(); }

template <class Index, class Key>
void EraseId(Index& index, const Key& key, uint64_t id)
{
    auto found = index.find(key);
    if (found == index.end()) return;
    found->second.erase(id);
    if (found->second.empty()) index.erase(found);
}

// Moves whatever the factory's scratch map holds into `into` and empties it.
void TakeFactoryEntities(EntityMap& into)
{
    auto& scratch = EntityFactory::GetInstance()->GetEntities();
    for (const auto& [id, entity] : scratch) into[id] = entity;
    scratch.clear();
}
} // namespace

void SceneBase::LoadEntityFile()
{
    EntityFactory* factory = EntityFactory::GetInstance();
    factory->GetEntities().clear();
    const std::string file = name_ + "/Entities";
    const bool exists = FileExists(std::string(kDataFolder) + file + ".json");
    entity_file_unreadable_ = exists && !factory->LoadEntities(file);
    TakeFactoryEntities(loaded_entities_);
}

void SceneBase::Load() { LoadEntityFile(); }

void SceneBase::Unload()
{
    EntityMap loaded;
    loaded.swap(loaded_entities_);
    for (auto& [id, entity] : loaded) EntityFactory::GetInstance()->DestroyEntity(entity);
}

void SceneBase::ReloadEntities()
{
    EntityFactory::GetInstance()->GetEntities().clear();
    Unload();
    LoadEntityFile();
}

void SceneBase::EnterFromLoaded(bool record_names)
{
    EntityFactory* factory = EntityFactory::GetInstance();
    auto& scratch = factory->GetEntities();
    scratch.clear();
    for (const auto& [id, loaded] : loaded_entities_) {
        scratch[id] = loaded;
        Entity* copy = factory->CloneEntity(id);
        scratch.clear();
        if (!copy) continue;
        const uint64_t copy_id = copy->id;
        // The index maps each name to the live copy, as the auto-save path does.
        if (!SpawnIntoScene(this, copy, SpawnOrder::SceneFirst, record_names)) {
            // Its script destroyed it in Init; ids are never reused, so the id names only that entity.
            Untrack(copy_id);
        }
    }
    scratch.clear();
}

bool SceneBase::EnterFromAutoSave(bool record_names)
{
    EntityFactory* factory = EntityFactory::GetInstance();
    if (EditorState* editor = EditorState::Current()) editor->SetSceneFlag(name_, false);
    factory->GetEntities().clear();
    if (!factory->LoadEntities(name_ + "/AutoSave")) {
        PrintAndLog("[" + std::string(source_) + "::Init] " + name_ +
                    "/AutoSave.json could not be read; entering from the loaded entities");
        factory->GetEntities().clear();
        return false;
    }
    EntityMap fresh;
    TakeFactoryEntities(fresh);
    for (const auto& [id, entity] : fresh) {
        if (!SpawnIntoScene(this, entity, SpawnOrder::SceneFirst, record_names)) {
            Untrack(id);  // destroyed by its own script's Init
        }
    }
    return true;
}

void SceneBase::EnterEntities(bool record_names)
{
    const EditorState* editor = EditorState::Current();
    if (!(editor && editor->GetSceneFlag(name_) && EnterFromAutoSave(record_names))) {
        EnterFromLoaded(record_names);
    }
    ClaimCamera();
}

// The scripts of a scene's first frame run before the sprite pass, which would claim the camera
// only then; the companion's first target search reads the view and, with no camera, takes an
// enemy anywhere in the level.
void SceneBase::ClaimCamera()
{
    if (GetSceneHooks().claim_camera) GetSceneHooks().claim_camera(entities_);
}

void SceneBase::DestroyLiveEntities()
{
    EntityFactory* factory = EntityFactory::GetInstance();
    // An OnDestroy may look the scene up or spawn entities: each entity leaves the map before it is
    // destroyed, and whatever is spawned meanwhile is destroyed too.
    // Bounded, so an OnDestroy that always spawns a replacement cannot keep the scene alive forever.
    size_t budget = entities_.size() * 64 + 4096;
    while (!entities_.empty()) {
        if (budget-- == 0) {
            PrintAndLog("[" + std::string(source_) + "::Free] Entities keep spawning while the scene is freed; " +
                        std::to_string(entities_.size()) + " left behind");
            while (!entities_.empty()) Untrack(entities_.begin()->first);
            break;
        }
        Entity* entity = entities_.begin()->second;
        Untrack(entities_.begin()->first);
        if (EditorState* editor = EditorState::Current()) editor->ClearSelectionIf(entity);
        factory->DestroyEntity(entity);
        factory->GetEntities().clear();
    }
    factory->GetEntities().clear();
}

void SceneBase::Save()
{
    PrintAndLog("Saving " + name_);
    if (!IsSafePathComponent(name_)) {
        PrintAndLog("[" + std::string(source_) + "::Save] Refused scene name '" + name_ + "'");
        return;
    }
    const std::string folder = std::string(kDataFolder) + name_ + "/";
    if (!MakeDataFolder(folder, source_)) return;
    const EntityMap& source = entities_.empty() ? loaded_entities_ : entities_;
    if (source.empty() && entity_file_unreadable_) {
        PrintAndLog("[" + std::string(source_) + "::Save] " + name_ +
                    "/Entities.json could not be read at start-up; it is not overwritten with an empty scene");
        return;
    }
    EntityFactory* factory = EntityFactory::GetInstance();
    auto& scratch = factory->GetEntities();
    scratch.clear();
    for (const auto& [id, entity] : source) scratch[id] = entity;
    factory->SaveEntities(name_ + "/Entities");
    scratch.clear();
}

Entity* SceneBase::FindEntityByName(const std::string& name) const
{
    auto found = by_name_.find(name);
    if (found == by_name_.end()) return nullptr;
    for (uint64_t id : found->second) {
        Entity* entity = GetEntity(id);
        auto info = entity ? entity->GetComponent<Information>(INFORMATION) : nullptr;
        // An entry left by a rename that was not reported is passed over.
        if (info && info->name == name) return entity;
    }
    return nullptr;
}

std::vector<Entity*> SceneBase::EntitiesOfTypes(const std::vector<uint32_t>& types) const
{
    std::set<uint64_t> ids;
    for (uint32_t type : types) {
        auto found = by_type_.find(type);
        if (found != by_type_.end()) ids.insert(found->second.begin(), found->second.end());
    }
    std::vector<Entity*> entities;
    for (uint64_t id : ids) {
        Entity* entity = GetEntity(id);
        if (entity && std::find(types.begin(), types.end(), TagOf(entity)) != types.end()) entities.push_back(entity);
    }
    return entities;
}

template <class IdIterator>
Entity* SceneBase::FirstTagged(IdIterator begin, IdIterator end, uint32_t type) const
{
    for (; begin != end; ++begin) {
        Entity* entity = GetEntity(*begin);
        if (entity && TagOf(entity) == type) return entity;
    }
    return nullptr;
}

// Both walk the tag's index in place, as EntitiesOfTypes would list it, without copying it.
Entity* SceneBase::FirstEntityOfType(uint32_t type) const
{
    auto found = by_type_.find(type);
    return found == by_type_.end() ? nullptr : FirstTagged(found->second.begin(), found->second.end(), type);
}

Entity* SceneBase::LastEntityOfType(uint32_t type) const
{
    auto found = by_type_.find(type);
    return found == by_type_.end() ? nullptr : FirstTagged(found->second.rbegin(), found->second.rend(), type);
}

void SceneBase::Reindex(uint64_t id)
{
    if (Entity* entity = GetEntity(id)) {
        Untrack(id);
        Track(id, entity);
    }
}

void SceneBase::Track(uint64_t id, Entity* entity)
{
    entities_[id] = entity;
    if (!entity) return;
    auto info = entity->GetComponent<Information>(INFORMATION);
    IndexEntry entry{info != nullptr, info ? info->name : std::string(), TagOf(entity)};
    if (entry.named) by_name_[entry.name].insert(id);
    by_type_[entry.type].insert(id);
    indexed_as_[id] = std::move(entry);
}

void SceneBase::Untrack(uint64_t id)
{
    entities_.erase(id);
    auto found = indexed_as_.find(id);
    if (found == indexed_as_.end()) return;
    if (found->second.named) EraseId(by_name_, found->second.name, id);
    EraseId(by_type_, found->second.type, id);
    indexed_as_.erase(found);
}

Entity* SceneBase::GetEntity(const uint64_t& id) const
{
    auto it = entities_.find(id);
    return it == entities_.end() ? nullptr : it->second;
}

void SceneBase::AddEntity(const uint64_t& id, Entity* entity)
{
    const bool unique = entities_.find(id) == entities_.end();
    ORV_ASSERT_AT(unique, source_, "Not unique ID");
    if (unique) Track(id, entity);
}

void SceneBase::RemoveEntityByName(const std::string& name)
{
    Entity* entity = FindEntityByName(name);
    if (entity) RemoveEntity(entity->id);
}

void SceneBase::RemoveEntity(const uint64_t& id)
{
    auto it = entities_.find(id);
    if (it == entities_.end()) return;
    Entity* entity = it->second;
    Untrack(id);
    EntityFactory::GetInstance()->DestroyEntity(entity);
}

} // namespace OrvEngine
