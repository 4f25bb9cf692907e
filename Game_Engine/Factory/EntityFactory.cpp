#include "Factory/EntityFactory.h"

#include "Components/BoxCollider.h"
#include "Components/Button.h"
#include "Components/Child.h"
#include "Components/Information.h"
#include "Components/Parent.h"
#include "Components/ParentChildSystem.h"
#include "Components/RigidBody2D.h"
#include "Components/ScriptComponent.h"
#include "Components/Slider.h"
#include "Components/Sprite.h"
#include "Components/Stats.h"
#include "Components/Text.h"
#include "Components/Transform.h"
#include "Editor/EditorManager.h"
#include "CoreEngine/SharedValues.h"
#include "Factory/ComponentRegistration.h"
#include "Factory/Entity.h"
#include "Graphics/ButtonSystem.h"
#include "Graphics/FreetypeSystem.h"
#include "Graphics/SliderSystem.h"
#include "Graphics/SpriteSystem.h"
#include "Logging/Logging.h"
#include "Logic/AIMovement.h"
#include "Logic/EnemyMovement.h"
#include "Logic/PlayerController.h"
#include "Physics/CollisionSystem.h"
#include "Physics/PhysicsSystem.h"
#include "Scripts/ScriptSystem.h"

#include <algorithm>

namespace OrvEngine {

Entity* FindLiveEntity(uint64_t id)
{
    return id && EntityFactory::Exists() ? EntityFactory::GetInstance()->GetLiveEntity(id) : nullptr;
}

EntityFactory::~EntityFactory()
{
    SaveArchetypes();
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
    EditorManager::GetInstance()->ClearSelectionIf(entity);
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
    static const int kAddOrder[] = {PLAYERCONTROLLER, RIGIDBODY2D, SCRIPTCOMPONENT, AIMOVEMENT, ENEMYMOVEMENT,
                                    BOXCOLLIDER, SPRITE, SLIDER, TEXT, BUTTON, PARENT, CHILD};
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
    auto body = entity->GetComponent<RigidBody2D>(RIGIDBODY2D);
    auto transform = entity->GetComponent<Transform>(TRANSFORM);
    switch (type) {
    case PLAYERCONTROLLER:
    case STATS: {
        auto player = entity->GetComponent<PlayerController>(PLAYERCONTROLLER);
        auto stats = entity->GetComponent<Stats>(STATS);
        if (player && stats) player->stats = stats;
        break;
    }
    case RIGIDBODY2D: PhysicsSystem::GetInstance()->AddRigidBody(body); break;
    case SCRIPTCOMPONENT:
        ScriptSystem::GetInstance()->AttachScript(entity, *std::static_pointer_cast<ScriptComponent>(component));
        break;
    case AIMOVEMENT: {
        auto ai = std::static_pointer_cast<AIMovement>(component);
        if (body) ai->SetRigidBody(body);
        if (transform) ai->SetTransform(transform);
        break;
    }
    case ENEMYMOVEMENT: {
        auto enemy = std::static_pointer_cast<EnemyMovement>(component);
        if (body) enemy->SetRigidBody(body);
        if (transform) enemy->SetTransform(transform);
        break;
    }
    case BOXCOLLIDER: {
        auto collider = std::static_pointer_cast<BoxCollider>(component);
        if (body) collider->SetRigidBody(body);
        CollisionSystem::GetInstance()->AddCollider(collider);
        break;
    }
    case SPRITE: SpriteSystem::GetInstance()->AddSprite(std::static_pointer_cast<Sprite>(component)); break;
    case SLIDER: SliderSystem::GetInstance()->AddSlider(std::static_pointer_cast<Slider>(component)); break;
    case TEXT: FreetypeSystem::GetInstance()->AddText(std::static_pointer_cast<Text>(component)); break;
    case BUTTON: ButtonSystem::GetInstance()->AddButton(std::static_pointer_cast<Button>(component)); break;
    case PARENT: ParentChildSystem::GetInstance()->AddParent(std::static_pointer_cast<Parent>(component)); break;
    case CHILD: ParentChildSystem::GetInstance()->AddChild(std::static_pointer_cast<Child>(component)); break;
    default: break;
    }
}

void EntityFactory::RemoveComponentFromSystem(Entity* entity, int type, const std::shared_ptr<Component>& component)
{
    if (!component) return;
    switch (type) {
    case SCRIPTCOMPONENT:
        if (entity) ScriptSystem::GetInstance()->DetachScript(entity);
        break;
    case AIMOVEMENT: std::static_pointer_cast<AIMovement>(component)->Disconnect(); break;
    case ENEMYMOVEMENT: std::static_pointer_cast<EnemyMovement>(component)->Disconnect(); break;
    case BOXCOLLIDER: {
        auto collider = std::static_pointer_cast<BoxCollider>(component);
        collider->SetRigidBody(nullptr);
        CollisionSystem::GetInstance()->RemoveCollider(collider);
        break;
    }
    case RIGIDBODY2D: PhysicsSystem::GetInstance()->RemoveRigidBody(std::static_pointer_cast<RigidBody2D>(component)); break;
    case SPRITE: SpriteSystem::GetInstance()->RemoveSprite(std::static_pointer_cast<Sprite>(component)); break;
    case SLIDER: SliderSystem::GetInstance()->RemoveSlider(std::static_pointer_cast<Slider>(component)); break;
    case TEXT: FreetypeSystem::GetInstance()->RemoveText(std::static_pointer_cast<Text>(component)); break;
    case BUTTON: ButtonSystem::GetInstance()->RemoveButton(std::static_pointer_cast<Button>(component)); break;
    case PARENT: ParentChildSystem::GetInstance()->RemoveParent(std::static_pointer_cast<Parent>(component)); break;
    case CHILD: ParentChildSystem::GetInstance()->RemoveChild(std::static_pointer_cast<Child>(component)); break;
    default: break;
    }
}

void EntityFactory::RemoveEntityFromSystems(Entity* entity)
{
    if (!entity) return;
    // Removing twice would run OnDestroy twice and queue the id twice, and the second queue entry
    // would later drop the script of the entity once it is added again.
    if (entity->in_systems) {
        entity->in_systems = false;
        static const int kRemovalOrder[] = {SCRIPTCOMPONENT, AIMOVEMENT, ENEMYMOVEMENT, BOXCOLLIDER, RIGIDBODY2D,
                                            SPRITE, SLIDER, TEXT, BUTTON, PARENT, CHILD};
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
