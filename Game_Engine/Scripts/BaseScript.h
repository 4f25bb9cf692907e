// The base of every game script and the creators that make scripts by class name.
#pragma once

#include <memory>
#include <string>

namespace OrvEngine {

class Entity;
struct Message;

class BaseScript {
public:
    virtual void Init(Entity* entity) { (void)entity; }
    virtual void Update(Entity* entity) { (void)entity; }
    // The entity is being taken out of the systems, just before it is destroyed.
    virtual void OnDestroy(Entity* entity) { (void)entity; }
    virtual void OnContact(Entity* self, Entity* other) { (void)self; (void)other; }
    virtual void OnCollision(Entity* self, Entity* other) { (void)self; (void)other; }
    virtual void HandleMessage(Entity* entity, Message* message) { (void)entity; (void)message; }
    virtual std::string GetName() { return "BaseScript"; }
    virtual ~BaseScript() = default;
};

class ScriptCreator {
public:
    explicit ScriptCreator(std::string registered_name = "") : name(std::move(registered_name)) {}
    virtual std::shared_ptr<BaseScript> Create() = 0;
    virtual ~ScriptCreator() = default;
    std::string name;
};

template <class T>
class ScriptType : public ScriptCreator {
public:
    using ScriptCreator::ScriptCreator;
    std::shared_ptr<BaseScript> Create() override { return std::make_shared<T>(); }
};

} // namespace OrvEngine
