#include "Scripts/ScriptSystem.h"

#include "Components/ScriptComponent.h"
#include "CoreEngine/EditorState.h"
#include "CoreEngine/Globals.h"
#include "CoreEngine/Message.h"
#include "Factory/ComponentRegistration.h"
#include "Factory/Entity.h"
#include "Scene/IScene.h"
#include "Scene/SceneStateMachine.h"

#include <algorithm>

namespace OrvEngine {

void ScriptSystem::Init()
{
    RegisterComponent<ScriptComponent>("ScriptComponent", SCRIPTCOMPONENT);
    EntityFactory::GetInstance()->SetComponentHooks(
        SCRIPTCOMPONENT,
        [](Entity& entity, const std::shared_ptr<Component>& component) {
            ScriptSystem::GetInstance()->AttachScript(&entity, *std::static_pointer_cast<ScriptComponent>(component));
        },
        // An entity destroyed by its own script meanwhile has nothing left to detach.
        [](Entity* entity, const std::shared_ptr<Component>&) {
            if (entity) ScriptSystem::GetInstance()->DetachScript(entity);
        });
}

bool ScriptSystem::MayRun(BaseScript& script)
{
    if (!OrvStateMachine || !OrvStateMachine->paused) return true;
    return script.GetName().find("Menu") != std::string::npos;
}

Entity* ScriptSystem::LiveEntityFor(uint64_t id, const std::shared_ptr<BaseScript>& script) const
{
    auto stored = scripts.find(id);
    if (stored == scripts.end() || stored->second != script) return nullptr;
    auto scene = CurrentScene();
    return scene ? scene->GetEntity(id) : nullptr;
}

void ScriptSystem::Update()
{
    if (!GameIsRunning) return;
    DropDetached();
    // Scripts may spawn or destroy entities: walk a snapshot; scripts made now run next frame.
    const std::vector<std::pair<uint64_t, std::shared_ptr<BaseScript>>> snapshot(scripts.begin(), scripts.end());
    for (const auto& [id, script] : snapshot) {
        if (!MayRun(*script)) continue;
        if (Entity* entity = LiveEntityFor(id, script)) script->Update(entity);
    }
}

void ScriptSystem::HandleMessage(Message* message)
{
    if (!GameIsRunning || !OrvStateMachine || !OrvStateMachine->GetCurrentScene()) return;
    const std::vector<std::pair<uint64_t, std::shared_ptr<BaseScript>>> snapshot(scripts.begin(), scripts.end());
    for (const auto& [id, script] : snapshot) {
        Entity* entity = LiveEntityFor(id, script);
        if (!entity || !MayRun(*script)) continue;
        const auto components = entity->components;
        for (const auto& [type, component] : components) {
            component->HandleMessage(message);
            if (!LiveEntityFor(id, script)) break;
        }
        if (LiveEntityFor(id, script)) script->HandleMessage(entity, message);
    }
}

void ScriptSystem::RegisterScript(const std::string& name, std::shared_ptr<ScriptCreator> creator)
{
    creators.emplace(name, std::move(creator));
}

std::shared_ptr<BaseScript> ScriptSystem::AddScript(uint64_t id, const std::string& name)
{
    auto creator = creators.find(name);
    if (creator == creators.end()) return nullptr;
    auto script = creator->second->Create();
    scripts.emplace(id, script);
    return script;
}

std::shared_ptr<BaseScript> ScriptSystem::GetScript(uint64_t id) const
{
    auto it = scripts.find(id);
    return it == scripts.end() ? nullptr : it->second;
}

void ScriptSystem::AttachScript(Entity* entity, const ScriptComponent& component)
{
    // Entering the systems again replaces the script, without OnDestroy.
    removal_queue.erase(std::remove(removal_queue.begin(), removal_queue.end(), entity->id), removal_queue.end());
    scripts.erase(entity->id);
    // A scene being edited shows its entities as they were made: their scripts start with a play.
    if (EditorState::Editing()) return;
    auto creator = creators.find(component.file_name);
    if (creator == creators.end()) return;
    auto script = creator->second->Create();
    scripts[entity->id] = script;
    script->Init(entity);
}

void ScriptSystem::DetachScript(Entity* entity)
{
    // Taken first: OnDestroy may destroy the entity itself.
    const uint64_t id = entity->id;
    auto stored = scripts.find(id);
    if (stored != scripts.end()) {
        auto script = stored->second;
        script->OnDestroy(entity);
    }
    removal_queue.push_back(id);
}

void ScriptSystem::DropDetached()
{
    // Swapped out first: a script's destruction may destroy entities and queue their scripts.
    while (!removal_queue.empty()) {
        std::vector<uint64_t> queued;
        queued.swap(removal_queue);
        for (uint64_t id : queued) scripts.erase(id);
    }
}

} // namespace OrvEngine
