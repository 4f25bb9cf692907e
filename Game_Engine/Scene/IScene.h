// The scene interface: a named set of entities with its own settings file. Scenes keep two maps,
// the entities loaded at start-up (never played) and the live copies made on each entry.
#pragma once

#include "CoreEngine/ISerializable.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace OrvEngine {

class Entity;

using EntityMap = std::map<uint64_t, Entity*>;

// The numbers "Scenes.json" gives each scene.
enum SceneType : uint32_t { SCENE_SPLASH = 1, SCENE_GAME = 2 };

class IScene : public ISerializable {
public:
    bool Serialize(JsonWriter& writer) override = 0;
    void Deserialize(const rapidjson::Value& value) override = 0;
    virtual void Load() = 0;
    virtual void Unload() = 0;
    virtual void Init() = 0;
    virtual void Free() = 0;
    virtual void Update() = 0;
    virtual void Draw() = 0;
    virtual std::string GetSceneName() const = 0;
    virtual void SetSceneName(const std::string& name) = 0;
    virtual uint32_t GetSceneType() const = 0;
    virtual void Save() = 0;
    virtual void ReloadEntities() = 0;
    virtual EntityMap GetEntities() const = 0;
    // The live entity of the lowest id whose Information has the name; null for none.
    virtual Entity* FindEntityByName(const std::string& name) const = 0;
    // The live entities whose Information tag is any of the types, in ascending id order; entities
    // without an Information count as type 0.
    virtual std::vector<Entity*> EntitiesOfTypes(const std::vector<uint32_t>& types) const = 0;
    // The first (or last) of them for one type; null for none.
    virtual Entity* FirstEntityOfType(uint32_t type) const = 0;
    virtual Entity* LastEntityOfType(uint32_t type) const = 0;
    // Files a live entity again under its Information's current name and tag: whoever renames or
    // retags an entity already in the scene calls it.
    virtual void Reindex(uint64_t id) = 0;
    virtual Entity* GetEntity(const uint64_t& id) const = 0;
    virtual void AddEntity(const uint64_t& id, Entity* entity) = 0;
    virtual void RemoveEntityByName(const std::string& name) = 0;
    virtual void RemoveEntity(const uint64_t& id) = 0;
    virtual EntityMap* GetLoadedEntities() = 0;
    ~IScene() override = default;
};

} // namespace OrvEngine
