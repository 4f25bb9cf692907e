// The component base and the creators that build components by name. A component is shared
// between its entity's map and its system's list; it never owns its entity. Registering a creator
// with the factory is in ComponentRegistration.h.
#pragma once

#include "CoreEngine/ISerializable.h"
#include "Factory/ComponentTypes.h"

#include <cstdint>
#include <memory>
#include <string>

namespace OrvEngine {

class Entity;
struct Message;

class Component : public ISerializable {
public:
    explicit Component(std::string name) : component_name(std::move(name)) {}
    ~Component() override = default;

    bool Serialize(JsonWriter& writer) override = 0;
    // value is the component's one-element array from a file.
    void Deserialize(const rapidjson::Value& value) override = 0;
    // Runs each time the component is added to an entity, after owner is set. Most components
    // need no set-up and ignore messages, hence the empty defaults.
    virtual void Init() {}
    virtual void HandleMessage(Message*) {}
    virtual void Update() = 0;
    // A copy of every field, owner included (re-owned when added to an entity).
    virtual std::shared_ptr<Component> Clone() = 0;

    Entity* GetOwner() const { return owner; }
    std::string GetName() const { return component_name; }

    Entity* owner = nullptr;
    std::string component_name;
};

class ComponentCreator {
public:
    explicit ComponentCreator(uint32_t type = 0) : type_id(type) {}
    virtual std::shared_ptr<Component> Create() = 0;
    virtual uint32_t GetType() const { return type_id; }
    virtual ~ComponentCreator() = default;
    uint32_t type_id;
};

template <class T>
class ComponentType : public ComponentCreator {
public:
    explicit ComponentType(uint32_t type = 0) : ComponentCreator(type) {}
    std::shared_ptr<Component> Create() override { return std::make_shared<T>(); }
};

} // namespace OrvEngine
