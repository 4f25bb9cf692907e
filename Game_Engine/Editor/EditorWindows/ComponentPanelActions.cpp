#include "Editor/EditorWindows/ComponentPanelActions.h"

#include "Components/Audio.h"
#include "Components/BoxCollider.h"
#include "Components/Child.h"
#include "Components/Parent.h"
#include "Components/ParentChildSystem.h"
#include "Components/RigidBody2D.h"
#include "Components/ScriptComponent.h"
#include "Components/Slider.h"
#include "Components/Sprite.h"
#include "Components/Transform.h"
#include "Editor/EditorManager.h"
#include "Factory/Entity.h"
#include "Factory/EntityFactory.h"
#include "Factory/Information.h"
#include "Logic/AIMovement.h"
#include "Logic/EnemyMovement.h"
#include "Logic/GameplayRouting.h"
#include "Platform/Platform.h"
#include "Scene/IScene.h"
#include "Scripts/ScriptSystem.h"

#include <algorithm>
#include <set>

namespace OrvEngine {
namespace InspectorActions {

namespace {
constexpr uint32_t kConfirmFlags =
    Platform::MB_OKCANCEL_FLAG | Platform::MB_ICONWARNING_FLAG | Platform::MB_DEFBUTTON2_FLAG;

// Components an entity holds afresh when added again; every other kind is added only when absent.
const std::set<std::string> kReplacedWhenAddedAgain = {"Stats", "Audio", "Spells", "ScriptComponent", "Parent", "Child"};

// Stores the component and, on a live entity, registers it once: a replacement is re-registered
// by the entity itself, a first one here.
void Attach(Entity& entity, int type, const std::shared_ptr<Component>& component)
{
    const bool replaces = entity.GetComponent(type) != nullptr;
    entity.AddComponent(type, component);
    if (!replaces && entity.in_systems) EntityFactory::GetInstance()->AddComponentToSystem(&entity, type, component);
}

// A fresh component as the editor adds it: the creator's, a sprite or slider with a picture to show.
std::shared_ptr<Component> Create(const std::string& name, int& type)
{
    auto& creators = EntityFactory::GetInstance()->GetComponentCreators();
    auto creator = creators.find(name);
    if (creator == creators.end()) return nullptr;
    type = static_cast<int>(creator->second->GetType());
    auto component = creator->second->Create();
    if (type == SPRITE) std::static_pointer_cast<Sprite>(component)->SetTexture("default");
    if (type == SLIDER) std::static_pointer_cast<Slider>(component)->SetTexture("default");
    return component;
}

// A plain entity takes the tag that the component stands for.
void TagIfNone(Entity& entity, uint32_t tag)
{
    auto info = entity.GetComponent<Information>(INFORMATION);
    if (!info || info->GetType() != TAG_NONE) return;
    info->SetType(tag);
    Reindex(entity);
}

// The collider starts on the Transform's box and needs a body to push back.
void PrepareCollider(Entity& entity, BoxCollider& collider)
{
    if (auto transform = entity.GetComponent<Transform>(TRANSFORM)) {
        collider.SetPosition(transform->GetPosition2D());
        collider.SetSize(Vec2(transform->scale.x, transform->scale.y));
        collider.UpdateBounds();
    }
    if (entity.GetComponent(RIGIDBODY2D)) return;
    int type = 0;
    auto body = Create("RigidBody2D", type);
    if (!body) return;
    Attach(entity, type, body);
    EditorManager::GetInstance()->AskUser(
        "Required Rigidbody for Collider not found, a Rigidbody has been automatically added.", "Warning",
        Platform::MB_OK_FLAG | Platform::MB_ICONWARNING_FLAG);
}

void AfterAdding(Entity& entity, int type, const std::shared_ptr<Component>& component)
{
    auto body = entity.GetComponent<RigidBody2D>(RIGIDBODY2D);
    switch (type) {
    case AIMOVEMENT:
    case ENEMYMOVEMENT:
        // On a live entity Attach's registration has connected it already.
        if (!entity.in_systems) ConnectMovement(entity, type, component);
        TagIfNone(entity, type == AIMOVEMENT ? TAG_AI : TAG_ENEMY);
        break;
    case BOSSBEHAVIOUR: TagIfNone(entity, TAG_BOSS); break;
    case PLAYERCONTROLLER: TagIfNone(entity, TAG_PLAYER); break;
    case BOXCOLLIDER:
        if (body) std::static_pointer_cast<BoxCollider>(component)->SetRigidBody(body);
        break;
    default: break;
    }
}

bool Confirmed(const std::string& text)
{
    return EditorManager::GetInstance()->AskUser(text, "Warning", kConfirmFlags) == Platform::ID_OK;
}

// Bars and sliders find what they show by its name.
bool ShowsStatsOf(const Entity& other, const std::string& name)
{
    if (name.empty()) return false;
    auto sprite = other.GetComponent<Sprite>(SPRITE);
    if (sprite && sprite->GetIsSlider() && sprite->GetEntName() == name) return true;
    auto slider = other.GetComponent<Slider>(SLIDER);
    return slider && slider->ent_name == name;
}

std::vector<std::pair<uint64_t, std::string>> ChildEntries(Entity& entity)
{
    std::vector<std::pair<uint64_t, std::string>> found;
    auto parent = entity.GetComponent<Parent>(PARENT);
    if (!parent) return found;
    for (const auto& child : ParentChildSystem::GetInstance()->ChildrenOf(parent)) {
        if (child->owner && child->owner != &entity) found.emplace_back(child->owner->id, child->owner->name);
    }
    std::sort(found.begin(), found.end());
    return found;
}

// Takes the component out of its system (while the entity is live) and off the entity.
void Detach(Entity& entity, int type)
{
    auto component = entity.GetComponent(type);
    if (!component) return;
    if (entity.in_systems) EntityFactory::GetInstance()->RemoveComponentFromSystem(&entity, type, component);
    entity.RemoveComponent(type);
}

// Movement components hold the body they steer; a removed body is dropped from them.
void ForgetBody(Entity& entity)
{
    if (auto ai = entity.GetComponent<AIMovement>(AIMOVEMENT)) ai->SetRigidBody(nullptr);
    if (auto enemy = entity.GetComponent<EnemyMovement>(ENEMYMOVEMENT)) enemy->SetRigidBody(nullptr);
    if (auto collider = entity.GetComponent<BoxCollider>(BOXCOLLIDER)) collider->SetRigidBody(nullptr);
}
} // namespace

bool Rename(Entity& entity, const std::string& name)
{
    // An object saved under "" could be neither selected by name nor deleted.
    if (name.empty()) return false;
    auto& by_name = EntityFactory::GetInstance()->GetEntitiesByName();
    auto old = by_name.find(entity.name);
    const bool indexed = old != by_name.end() && old->second == &entity;
    if (indexed) by_name.erase(old);
    entity.name = name;
    if (auto info = entity.GetComponent<Information>(INFORMATION)) info->SetName(name);
    if (indexed) by_name[name] = &entity;
    Reindex(entity);
    return true;
}

void Reindex(Entity& entity)
{
    if (auto scene = EditorManager::GetInstance()->edited_scene) scene->Reindex(entity.id);
}

bool AddComponent(Entity& entity, const std::string& name)
{
    if (name == "Information" || name == "Transform") return false;
    int type = 0;
    auto component = Create(name, type);
    if (!component) return false;
    if (entity.GetComponent(type) && !kReplacedWhenAddedAgain.count(name)) return false;
    // The body comes first, so that registering the collider links it.
    if (type == BOXCOLLIDER) PrepareCollider(entity, *std::static_pointer_cast<BoxCollider>(component));
    Attach(entity, type, component);
    AfterAdding(entity, type, component);
    return true;
}

bool RemoveComponent(Entity& entity, int type)
{
    if (type == INFORMATION || type == TRANSFORM || !entity.GetComponent(type)) return false;
    if (type == RIGIDBODY2D && entity.GetComponent(BOXCOLLIDER)) {
        if (!Confirmed("Removing Rigidbody will also remove any Colliders. Proceed?")) return false;
        Detach(entity, BOXCOLLIDER);
    }
    const std::vector<std::string> children = type == PARENT ? ChildNames(entity) : std::vector<std::string>();
    if (!children.empty()) {
        const std::string text = "Removing Parent will cause any attached Children to be parent-less. Proceed?\n" +
                                 std::to_string(children.size()) + " objects follow " + entity.name + ": " +
                                 ShortList(children) + ".";
        if (!Confirmed(text)) return false;
    }
    if (type == AUDIO) {
        auto audio = entity.GetComponent<Audio>(AUDIO);
        if (audio && !audio->SoundsEmpty()) audio->StopAndClearSounds();
    }
    Detach(entity, type);
    if (type == RIGIDBODY2D) ForgetBody(entity);
    return true;
}

std::vector<std::string> ChildNames(Entity& entity)
{
    std::vector<std::string> names;
    for (const auto& [id, name] : ChildEntries(entity)) names.push_back(name);
    return names;
}

std::vector<std::string> DependentNames(Entity& entity)
{
    std::vector<std::string> names = ChildNames(entity);
    auto scene = EditorManager::GetInstance()->edited_scene;
    if (!scene) return names;
    for (const auto& [id, other] : scene->GetEntities()) {
        if (other && other != &entity && ShowsStatsOf(*other, entity.name)) names.push_back(other->name);
    }
    return names;
}

std::string ShortList(const std::vector<std::string>& names)
{
    constexpr size_t kShown = 5;
    std::string text;
    for (size_t i = 0; i < names.size() && i < kShown; ++i) {
        if (i > 0) text += i + 1 == names.size() ? " and " : ", ";
        text += names[i];
    }
    if (names.size() > kShown) text += " and " + std::to_string(names.size() - kShown) + " more";
    return text;
}

void AttachScript(Entity& entity, const std::string& class_name)
{
    auto component = entity.GetComponent<ScriptComponent>(SCRIPTCOMPONENT);
    if (!component) return;
    component->file_name = class_name;
    // An entity outside the systems has no script to hold; one that has a script keeps it running.
    if (entity.in_systems) ScriptSystem::GetInstance()->AddScript(entity.id, class_name);
}

} // namespace InspectorActions
} // namespace OrvEngine
