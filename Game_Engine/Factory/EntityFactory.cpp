#include "Factory/EntityFactory.h"

#include "CoreEngine/EditorState.h"
#include "CoreEngine/Serializer.h"
#include "CoreEngine/SharedValues.h"
#include "Factory/ComponentRegistration.h"
#include "Factory/Entity.h"
#include "Factory/Information.h"
#include "Logging/Logging.h"

#include <algorithm>

namespace OrvEngine {

namespace {
// The order in which an entity's components join their systems and leave them again. The player's
// Stats are joined with the controller; Information, Transform, Camera, Audio, Spells and
// BossBehaviour have no system to join.
const int kAddOrder[] = {PLAYERCONTROLLER, RIGIDBODY2D, SCRIPTCOMPONENT, AIMOVEMENT, ENEMYMOVEMENT, BOXCOLLIDER,
                         SPRITE, SLIDER, TEXT, BUTTON, PARENT, CHILD};
const int kRemovalOrder[] = {SCRIPTCOMPONENT, AIMOVEMENT, ENEMYMOVEMENT, BOXCOLLIDER, RIGIDBODY2D, SPRITE,
                             SLIDER, TEXT, BUTTON, PARENT, CHILD};
} // namespace

Entity* FindLiveEntity(uint64_t id)
{
    return id && EntityFactory::Exists() ? EntityFactory::GetInstance()->GetLiveEntity(id) : nullptr;
}

EntityFactory::~EntityFactory()
{
    FreeArchetypes();
    entities_by_name.clear();
    creators.clear();
    archetypes.clear();
    entities.clear();
}

void EntityFactory::Init() { RegisterComponent<Information>("Information", INFORMATION); }

void EntityFactory::AddComponentCreator(const std::string& name, std::shared_ptr<ComponentCreator> creator)
{
    creators[name] = std::move(creator);
}

void EntityFactory::SetComponentHooks(int type, AddHook add, RemoveHook remove)
{
    hooks_[type] = ComponentHooks{std::move(add), std::move(remove)};
}

Entity* EntityFactory::NumberEntity(Entity* entity, const std::string& name)
{
    entity->id = ++last_id;
    entity->name = name;
    entities[entity->id] = entity;
    live_[entity->id] = entity;
    return entity;
}

Entity* EntityFactory::CreateEntity(const std::string& name) { return NumberEntity(new Entity(), name); }

void EntityFactory::AddComponentsFromJson(Entity* entity, const rapidjson::Value& array, bool take_active)
{
    if (!array.IsArray()) return;
    for (const auto& element : array.GetArray()) {
        if (!element.IsObject()) continue;
        for (auto member = element.MemberBegin(); member != element.MemberEnd(); ++member) {
            auto creator = creators.find(std::string(member->name.GetString(), member->name.GetStringLength()));
            if (creator == creators.end()) continue;
            std::shared_ptr<Component> component = creator->second->Create();
            component->Deserialize(member->value);
            if (take_active && component->component_name == "Information") {
                entity->active = std::static_pointer_cast<Information>(component)->IsActive();
            }
            entity->AddComponent(static_cast<int>(creator->second->GetType()), component);
        }
    }
}

Entity* EntityFactory::CreateEntityFromJson(const rapidjson::Value& array, const std::string& name)
{
    Entity* entity = new Entity();
    AddComponentsFromJson(entity, array, true);
    NumberEntity(entity, name);
    LogLine("The entity '" + name + "' is created");
    return entity;
}

Entity* EntityFactory::CloneEntity(const uint64_t& id)
{
    auto found = entities.find(id);
    ORV_ASSERT_AT(found != entities.end(), "Game_Engine/Factory/EntityFactory", "Entity ID not found");
    if (found == entities.end()) return nullptr;
    Entity* source = found->second;
    Entity* copy = CreateEntity(source->name);
    for (const auto& [type, component] : source->components) {
        copy->AddComponent(type, component->Clone());
        if (component->component_name == "Information") {
            copy->active = std::static_pointer_cast<Information>(component)->IsActive();
        }
    }
    return copy;
}

Entity* EntityFactory::CreateFromArchetype(const std::string& prefab_name)
{
    auto found = archetypes.find(prefab_name);
    if (found == archetypes.end()) {
        PrintAndLog("[EntityFactory::CreateFromArchetype] Entity not found in archetype: " + prefab_name);
        return nullptr;
    }
    Entity* prefab = found->second;
    std::string candidate = prefab->name;
    while (entities_by_name.count(candidate)) {
        candidate = prefab->name + std::to_string(Shared().archetype_name_counter);
        ++Shared().archetype_name_counter;
    }
    Entity* entity = CreateEntity(candidate);
    for (const auto& [type, component] : prefab->components) {
        entity->AddComponent(type, component->Clone());
        if (type == INFORMATION) entity->GetComponent<Information>(INFORMATION)->SetName(candidate);
    }
    return entity;
}

void EntityFactory::DestroyEntity(Entity*& entity)
{
    if (!entity) return;
    if (std::find(destroying_.begin(), destroying_.end(), entity) != destroying_.end()) {
        entity = nullptr;
        return;
    }
    const std::string name = entity->name;
    destroying_.push_back(entity);
    RemoveEntityFromSystems(entity);
    destroying_.erase(std::find(destroying_.begin(), destroying_.end(), entity));
    if (EditorState* editor = EditorState::Current()) editor->ClearSelectionIf(entity);
    if (entity->id != 0) {
        auto it = entities.find(entity->id);
        if (it != entities.end() && it->second == entity) entities.erase(it);
        live_.erase(entity->id);
    }
    auto by_name = entities_by_name.find(name);
    if (by_name != entities_by_name.end() && by_name->second == entity) entities_by_name.erase(by_name);
    for (auto& [busy, destroyed] : busy_) {
        if (busy == entity) destroyed = true;
    }
    delete entity;
    entity = nullptr;
    LogLine("The entity '" + name + "' is deleted");
}

bool EntityFactory::AddEntityToSystems(Entity* entity)
{
    if (!entity) return false;
    entity->in_systems = true;
    // A script's Init may destroy its own entity (a one-shot trigger) or take it out of the systems:
    // the rest of the add is abandoned, as the removal already undid what was added so far.
    busy_.emplace_back(entity, false);
    const size_t frame = busy_.size() - 1;
    bool destroyed = false;
    for (int type : kAddOrder) {
        auto component = entity->GetComponent(type);
        if (component) AddComponentToSystem(entity, type, component);
        destroyed = busy_[frame].second;
        if (destroyed || !entity->in_systems) break;
    }
    busy_.pop_back();
    return !destroyed;
}

void EntityFactory::AddComponentToSystem(Entity* entity, int type, const std::shared_ptr<Component>& component)
{
    if (!entity || !component) return;
    auto hooks = hooks_.find(type);
    if (hooks != hooks_.end() && hooks->second.add) hooks->second.add(*entity, component);
}

void EntityFactory::RemoveComponentFromSystem(Entity* entity, int type, const std::shared_ptr<Component>& component)
{
    if (!component) return;
    auto hooks = hooks_.find(type);
    if (hooks != hooks_.end() && hooks->second.remove) hooks->second.remove(entity, component);
}

void EntityFactory::RemoveEntityFromSystems(Entity* entity)
{
    if (!entity) return;
    // Removing twice would run OnDestroy twice and queue the id twice, and the second queue entry
    // would later drop the script of the entity once it is added again.
    if (entity->in_systems) {
        entity->in_systems = false;
        // Held here: an OnDestroy that destroys its own entity frees the entity's map, and the rest
        // of its components must still leave their systems.
        std::vector<std::pair<int, std::shared_ptr<Component>>> parts;
        for (int type : kRemovalOrder) {
            if (auto component = entity->GetComponent(type)) parts.emplace_back(type, component);
        }
        busy_.emplace_back(entity, false);
        const size_t frame = busy_.size() - 1;
        for (const auto& [type, component] : parts) {
            RemoveComponentFromSystem(busy_[frame].second ? nullptr : entity, type, component);
        }
        const bool destroyed = busy_[frame].second;
        busy_.pop_back();
        if (destroyed) return;
    }
    // Last, so OnDestroy still sees its entity active.
    entity->active = false;
}

void EntityFactory::SetEntity(const uint64_t& id, Entity* entity) { entities[id] = entity; }

void EntityFactory::AddEntityName(Entity* entity)
{
    if (entity) entities_by_name[entity->name] = entity;
}

void EntityFactory::RemoveEntityName(Entity* entity)
{
    if (entity) entities_by_name.erase(entity->name);
}

Entity* EntityFactory::GetLiveEntity(uint64_t id) const
{
    auto it = live_.find(id);
    return it == live_.end() ? nullptr : it->second;
}

} // namespace OrvEngine
