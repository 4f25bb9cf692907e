#include "Physics/ForceManager.h"

#include "Factory/Entity.h"
#include "Logging/Logging.h"
#include "Scene/IScene.h"
#include "Scene/SceneStateMachine.h"

#include <iostream>

namespace OrvEngine {

namespace {
Entity* FindInCurrentScene(uint64_t id)
{
    SceneStateMachine* machine = SceneStateMachine::GetInstance();
    if (!machine || !machine->GetCurrentScene()) return nullptr;
    return machine->GetCurrentScene()->GetEntity(id);
}

Vec2 Contribution(const ForceRecord& record, uint64_t id)
{
    switch (record.type) {
    case 0: return {record.factor.x * record.vector.x, record.factor.y * record.vector.y};
    case 1: return record.fixed;
    case 2: return record.part_a + record.part_b;
    case 3: return record.vector;
    default: {
        const std::string note =
            "[Note: force type not found] ForceManager::GetSummedForce() called with param: " + std::to_string(id);
        std::cout << note << std::endl;
        LogLine(note);
        return record.vector;
    }
    }
}
} // namespace

ForceManager* ForceManager::GetInstance()
{
    static ForceManager instance;
    return &instance;
}

Vec2 ForceManager::GetSummedForce(const uint64_t& id) const
{
    Entity* entity = FindInCurrentScene(id);
    if (!entity) {
        LogLine("[Note: entity not found] ForceManager::GetSummedForce() called with param: " + std::to_string(id));
        return {};
    }
    if (!entity->active) return {};
    Vec2 sum;
    for (const auto& [name, record] : forces) {
        if ((sum.x != 0.0f || sum.y != 0.0f) && record.entity_id != id) break;
        if (record.entity_id == id && record.active) sum = sum + Contribution(record, id);
    }
    return sum;
}

void ForceManager::AdvanceTimers(float dt)
{
    for (auto& [name, record] : forces) {
        record.elapsed += dt;
        if (record.keep_active) {
            record.active = 1;
        } else if (record.elapsed > record.duration && record.active) {
            record.active = 0;
        }
    }
}

} // namespace OrvEngine
