// Runs the scripts of entities: creates them when entities enter the systems, updates them and hands
// them messages while the game runs (only "Menu" scripts while paused), drops them after removal.
// A scene being edited runs no script at all.
#pragma once

#include "CoreEngine/ISystem.h"
#include "CoreEngine/Singleton.h"
#include "Scripts/BaseScript.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace OrvEngine {

class Entity;
class ScriptComponent;

class ScriptSystem : public ISystem, public Singleton<ScriptSystem> {
public:
    std::string GetName() override { return "ScriptSystem"; }
    void Init() override;
    void Update() override;
    void HandleMessage(Message* message) override;

    // Keeps the first creator registered under a name.
    void RegisterScript(const std::string& name, std::shared_ptr<ScriptCreator> creator);
    // Creates and stores (unless the id has one) a script without calling Init; empty when unknown.
    std::shared_ptr<BaseScript> AddScript(uint64_t id, const std::string& name);
    std::map<std::string, std::shared_ptr<ScriptCreator>>* GetScriptCreators() { return &creators; }
    std::shared_ptr<BaseScript> GetScript(uint64_t id) const;

    // The entity factory's side: an entity entering or leaving the systems. An entity entering a
    // scene being edited gets no script.
    void AttachScript(Entity* entity, const ScriptComponent& component);
    void DetachScript(Entity* entity);
    // Lets go of the scripts of entities that left the systems: each frame, and at shutdown while
    // the entity factory still exists (a script may hold components that destroy entities as they go).
    void DropDetached();

    // Ordered by entity id, so update order is deterministic.
    std::map<uint64_t, std::shared_ptr<BaseScript>> scripts;
    std::map<std::string, std::shared_ptr<ScriptCreator>> creators;
    std::vector<uint64_t> removal_queue;

private:
    // The script may run now: paused games run only "Menu" scripts.
    static bool MayRun(BaseScript& script);
    // The entity of id in the current scene when it still holds this script; null otherwise.
    Entity* LiveEntityFor(uint64_t id, const std::shared_ptr<BaseScript>& script) const;
};

// Registers every game script class with the script system; the entry point's first call.
void RegisterScripts();

} // namespace OrvEngine
