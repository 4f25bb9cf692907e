// Physics step cost: N entities with a Transform, a RigidBody2D and a BoxCollider spread over a level,
// a fifth of them static, stepped with the game running. Prints milliseconds per physics step
// (integration, collision pass with its messages, resolution). Runs in a temporary folder so the
// log lands there.
#include "Components/BoxCollider.h"
#include "Components/RigidBody2D.h"
#include "Components/Transform.h"
#include "CoreEngine/CoreEngine.h"
#include "CoreEngine/FPS.h"
#include "CoreEngine/Globals.h"
#include "CoreEngine/ISystem.h"
#include "CoreEngine/Message.h"
#include "Factory/Entity.h"
#include "Factory/EntityFactory.h"
#include "Factory/Information.h"
#include "Physics/CollisionSystem.h"
#include "Physics/PhysicsSystem.h"
#include "Scene/IScene.h"
#include "Scene/SceneStateMachine.h"

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

using namespace OrvEngine;

namespace {

class MessageCounter : public ISystem {
public:
    std::string GetName() override { return "MessageCounter"; }
    void HandleMessage(Message* message) override
    {
        if (message->id == MSG_CONTACT || message->id == MSG_COLLISION) ++count;
    }
    uint64_t count = 0;
};

// A fixed sequence, so every run measures the same scene.
struct Lcg {
    uint32_t state = 12345u;
    float Next()
    {
        state = state * 1664525u + 1013904223u;
        return static_cast<float>(state >> 8) / 16777216.0f;
    }
};

void Populate(IScene& scene, int n)
{
    EntityFactory* factory = EntityFactory::GetInstance();
    Lcg rng;
    // About one box per 2.5 square units: a crowded level, with some boxes touching.
    const float side = std::sqrt(static_cast<float>(n) * 2.5f);
    for (int k = 0; k < n; ++k) {
        Entity* e = factory->CreateEntity("Body" + std::to_string(k));
        const float x = rng.Next() * side;
        const float y = rng.Next() * side;
        auto info = std::make_shared<Information>();
        info->SetType(k % 7 == 0 ? 3u : 0u);
        e->AddComponent(INFORMATION, info);
        auto transform = std::make_shared<Transform>();
        transform->position = Vec3(x, y, 1.0f);
        e->AddComponent(TRANSFORM, transform);
        auto body = std::make_shared<RigidBody2D>();
        body->SetBodyType(k % 5 == 0 ? BT_Static : BT_Dynamic);
        body->SetMass(1.0f);
        body->velocity = Vec2(rng.Next() * 2.0f - 1.0f, rng.Next() * 2.0f - 1.0f);
        e->AddComponent(RIGIDBODY2D, body);
        auto box = std::make_shared<BoxCollider>();
        box->SetPosition(Vec2(x, y));
        box->SetSize(Vec2(0.5f + rng.Next() * 0.5f, 0.5f + rng.Next() * 0.5f));
        box->UpdateBounds();
        e->AddComponent(BOXCOLLIDER, box);
        scene.AddEntity(e->id, e);
        factory->AddEntityToSystems(e);
    }
    factory->GetEntities().clear();
}

void Measure(int n, MessageCounter& counter)
{
    auto scene = SceneStateMachine::MakeGameScene();
    scene->SetSceneName("BenchScene");
    OrvStateMachine->current_scene = scene;
    Populate(*scene, n);

    FPS::GetInstance()->fixed_steps = 1;
    PhysicsSystem* physics = PhysicsSystem::GetInstance();
    for (int k = 0; k < 10; ++k) physics->Update();

    const int steps = n <= 500 ? 400 : 100;
    counter.count = 0;
    uint64_t contacts = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int k = 0; k < steps; ++k) {
        physics->Update();
        contacts += CollisionSystem::GetInstance()->GetContacts().size();
    }
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    std::printf("N = %5d: %8.4f ms per physics step  (%d steps, %.1f contacts and %.1f messages per step)\n", n,
                ms / steps, steps, static_cast<double>(contacts) / steps, static_cast<double>(counter.count) / steps);

    scene->Free();
    OrvStateMachine->current_scene.reset();
}

} // namespace

int main()
{
    namespace fs = std::filesystem;
    char pattern[] = "/tmp/orvbench-XXXXXX";
    const fs::path root = mkdtemp(pattern);
    fs::create_directories(root / "work");
    const fs::path old_cwd = fs::current_path();
    fs::current_path(root / "work");

    OrvCoreEngine = new CoreEngine();
    auto* counter = new MessageCounter();
    OrvCoreEngine->AddSystem(counter);
    new SceneStateMachine();
    // As at the engine's start: the systems register the hooks by which bodies and colliders join them.
    PhysicsSystem::GetInstance()->Init();
    CollisionSystem::GetInstance()->Init();
    GameIsRunning = true;

    for (int n : {100, 500, 2000}) Measure(n, *counter);

    delete OrvStateMachine;
    delete OrvCoreEngine;
    OrvCoreEngine = nullptr;
    PhysicsSystem::DestroyInstance();
    CollisionSystem::DestroyInstance();
    fs::current_path(old_cwd);
    std::error_code ignored;
    fs::remove_all(root, ignored);
    return 0;
}
