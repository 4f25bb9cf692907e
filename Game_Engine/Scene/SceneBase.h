// What game scenes and splash scenes share: the two entity maps, loading, entering, leaving and saving.
#pragma once

#include "Scene/IScene.h"

#include <map>
#include <set>
#include <string>

namespace OrvEngine {

class SceneBase : public IScene {
public:
    SceneBase(uint32_t type, const char* source) : type_(type), source_(source) {}

    void Load() override;
    void Unload() override;
    void Update() override {}
    void Draw() override {}
    std::string GetSceneName() const override { return name_; }
    void SetSceneName(const std::string& name) override { name_ = name; }
    uint32_t GetSceneType() const override { return type_; }
    void Save() override;
    void ReloadEntities() override;
    EntityMap GetEntities() const override { return entities_; }
    Entity* FindEntityByName(const std::string& name) const override;
    std::vector<Entity*> EntitiesOfTypes(const std::vector<uint32_t>& types) const override;
    Entity* FirstEntityOfType(uint32_t type) const override;
    Entity* LastEntityOfType(uint32_t type) const override;
    void Reindex(uint64_t id) override;
    Entity* GetEntity(const uint64_t& id) const override;
    void AddEntity(const uint64_t& id, Entity* entity) override;
    void RemoveEntityByName(const std::string& name) override;
    void RemoveEntity(const uint64_t& id) override;
    EntityMap* GetLoadedEntities() override { return &loaded_entities_; }

    // True when "Entities.json" exists but could not be read: it is then never overwritten.
    bool EntityFileUnreadable() const { return entity_file_unreadable_; }

protected:
    // Makes the live entities: copies of the loaded ones, or "AutoSave.json" when the editor flagged it.
    // record_names: put each live entity in the factory's name index.
    void EnterEntities(bool record_names);
    // Destroys every live entity, each taken out of the map first.
    void DestroyLiveEntities();

    std::string name_;
    uint32_t type_;
    const char* source_;
    EntityMap loaded_entities_;
    bool entity_file_unreadable_ = false;

private:
    // The live entities by id, and indexed by Information name and tag (each with the ids in
    // ascending order) so that look-ups need no walk; every change to the map goes through
    // Track and Untrack, which keep the indexes with it.
    void Track(uint64_t id, Entity* entity);
    void Untrack(uint64_t id);
    EntityMap entities_;
    std::map<std::string, std::set<uint64_t>> by_name_;
    std::map<uint32_t, std::set<uint64_t>> by_type_;
    struct IndexEntry { bool named; std::string name; uint32_t type; };
    std::map<uint64_t, IndexEntry> indexed_as_;  // what each live entity is filed under

    // The first entity from the ids in [begin, end) that is live and still tagged `type`; null for none.
    template <class IdIterator>
    Entity* FirstTagged(IdIterator begin, IdIterator end, uint32_t type) const;
    bool EnterFromAutoSave(bool record_names);
    void EnterFromLoaded(bool record_names);
    // Makes the first camera of the live entities the active one, when none is.
    void ClaimCamera();
    void LoadEntityFile();
};

} // namespace OrvEngine
