// Makes, numbers, copies and deletes entities; keeps component creators by name, prefab entities
// by name and a small name index; routes components to and from their systems through the hooks
// the systems register (it knows no system itself); reads and writes entity files, prefab files
// and the prefab index.
#pragma once

#include "CoreEngine/ISerializable.h"
#include "CoreEngine/ISystem.h"
#include "CoreEngine/Singleton.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace OrvEngine {

class Component;
class ComponentCreator;
class Entity;

class EntityFactory : public ISystem, public Singleton<EntityFactory> {
public:
    EntityFactory() = default;
    ~EntityFactory() override;

    std::string GetName() override { return "Factory"; }
    void Init() override;

    void AddComponentCreator(const std::string& name, std::shared_ptr<ComponentCreator> creator);

    // What the system of one component type does when an entity joins the systems (add) or leaves
    // them (remove). The remove hook gets a null entity when the entity was destroyed meanwhile.
    using AddHook = std::function<void(Entity& entity, const std::shared_ptr<Component>& component)>;
    using RemoveHook = std::function<void(Entity* entity, const std::shared_ptr<Component>& component)>;
    // A system registers these in its Init, beside its creators; either may be empty. A later
    // registration for the type replaces both.
    void SetComponentHooks(int type, AddHook add, RemoveHook remove);
    Entity* CreateEntity(const std::string& name);
    // array: the entity's one-element array of component objects.
    Entity* CreateEntityFromJson(const rapidjson::Value& array, const std::string& name);
    Entity* CloneEntity(const uint64_t& id);
    // Null (with a log line) when the prefab is unknown.
    Entity* CreateFromArchetype(const std::string& prefab_name);
    // Takes the entity out of the systems, deletes it and nulls the caller's pointer.
    void DestroyEntity(Entity*& entity);

    // False when the entity was destroyed while it was being added, for instance by a script that
    // removes its own entity in Init: the add is abandoned there and the pointer must not be used any
    // more. Also false for a null entity. An entity taken out of the systems again stays out.
    bool AddEntityToSystems(Entity* entity);
    // Idempotent: a second call on an entity already out of the systems only clears `active` again.
    // The entity stays active while its script's OnDestroy runs.
    void RemoveEntityFromSystems(Entity* entity);
    // Puts one component into the system that acts on it (a replacement on a live entity).
    void AddComponentToSystem(Entity* entity, int type, const std::shared_ptr<Component>& component);
    // Takes one component out of the system that holds it; a null entity skips only the script step.
    void RemoveComponentFromSystem(Entity* entity, int type, const std::shared_ptr<Component>& component);

    std::map<std::string, std::shared_ptr<ComponentCreator>>& GetComponentCreators() { return creators; }
    std::map<uint64_t, Entity*>& GetEntities() { return entities; }
    std::map<std::string, Entity*>& GetArchetypes() { return archetypes; }
    std::map<std::string, Entity*>& GetEntitiesByName() { return entities_by_name; }
    void SetEntity(const uint64_t& id, Entity* entity);
    void AddEntityName(Entity* entity);
    void RemoveEntityName(Entity* entity);
    // Any numbered entity that has not been destroyed, or null: how ids kept across frames resolve.
    Entity* GetLiveEntity(uint64_t id) const;

    // Entity and prefab files (names relative to "../Resources/Data/", without ".json").
    bool LoadEntities(const std::string& file_name);
    void SaveEntities(const std::string& file_name);
    void SerializeEntities(JsonWriter& writer);
    bool LoadArchetypes();
    // Frees every prefab (shutdown). The index is not written: a prefab change writes it.
    void FreeArchetypes();
    // Writes "Prefab/Archetype.json" (its folder must exist) listing the prefab files the folder
    // holds, in name order; false when the folder cannot be read, the write fails or the index
    // could not be read at start-up (it is never rewritten then).
    bool SaveArchetypeIndex();
    bool ArchetypeIndexUnreadable() const { return index_unreadable_; }
    bool LoadPrefab(const std::string& prefab_name);
    void SavePrefab(const uint64_t& id, const std::string& file_name);
    void DeletePrefab(const std::string& prefab_name);

    uint64_t last_id = 0;
    std::map<std::string, std::shared_ptr<ComponentCreator>> creators;
    std::map<uint64_t, Entity*> entities;
    std::map<std::string, Entity*> archetypes;
    std::map<std::string, Entity*> entities_by_name;

private:
    Entity* NumberEntity(Entity* entity, const std::string& name);
    void AddComponentsFromJson(Entity* entity, const rapidjson::Value& array, bool take_active);
    void SerializeComponents(JsonWriter& writer, Entity* entity);
    bool EnsurePrefabFolder();

    struct ComponentHooks {
        AddHook add;
        RemoveHook remove;
    };
    std::map<int, ComponentHooks> hooks_;
    std::unordered_map<uint64_t, Entity*> live_;
    // The entities whose AddEntityToSystems or RemoveEntityFromSystems is under way (innermost last),
    // each with a flag that DestroyEntity sets: scripts run inside both and may destroy the entity.
    std::vector<std::pair<Entity*, bool>> busy_;
    // The entities DestroyEntity is working on: an OnDestroy destroying its own entity again is a no-op.
    std::vector<Entity*> destroying_;
    // The index existed but could not be read: it is never rewritten this run.
    bool index_unreadable_ = false;
};

// A live entity by id: null for 0, a destroyed entity, or no factory.
Entity* FindLiveEntity(uint64_t id);

} // namespace OrvEngine
