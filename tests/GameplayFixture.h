// A running game scene with a hand-moved clock, and builders for the actors the gameplay
// components act on (player, companion, enemies, boss), for scripted entities and the shipped
// prefabs. Tests drive the components as the game scripts do: one call per frame. The script
// fixtures build on it.
#pragma once

#include "TestSupport.h"

#include "Audio/AudioSystem.h"
#include "Components/Audio.h"
#include "Components/BoxCollider.h"
#include "Components/RigidBody2D.h"
#include "Components/ScriptComponent.h"
#include "Components/Sprite.h"
#include "Components/Stats.h"
#include "Components/Transform.h"
#include "Factory/Entity.h"
#include "Factory/Information.h"
#include "Logic/AIMovement.h"
#include "Logic/BossBehaviour.h"
#include "Logic/EnemyMovement.h"
#include "Logic/PlayerController.h"
#include "Scripts/ScriptSystem.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace OrvTest {

struct StatsValues {
    int32_t hp = 10;
    float speed_attack = 1.0f;
    float attack = 5.0f;
    float defense = 1.0f;
    float att_modifier = 0.0f;
    float def_modifier = 0.0f;
};

class GameplayTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        using namespace OrvEngine;
        Graphics::GetInstance()->Init();
        SpriteSystem::GetInstance()->Init();
        RegisterCoreComponents();
        Logic::GetInstance()->Init();
        PhysicsSystem::GetInstance()->Init();
        CollisionSystem::GetInstance()->Init();
        OrvCoreEngine = new CoreEngine();
        new SceneStateMachine();
        OrvStateMachine->current_scene = SceneStateMachine::MakeGameScene();
        GameIsRunning = true;
    }

    void TearDown() override
    {
        if (OrvEngine::OrvStateMachine && OrvEngine::OrvStateMachine->current_scene) {
            OrvEngine::OrvStateMachine->current_scene->Free();
        }
        EngineTest::TearDown();
    }

    // Moves the clock to `total` seconds with the given frame time.
    static void SetTime(double total, float dt = 0.016f)
    {
        OrvEngine::OrvCoreEngine->total = total;
        OrvEngine::OrvCoreEngine->dt = dt;
    }

    static std::shared_ptr<OrvEngine::IScene> Scene() { return OrvEngine::OrvStateMachine->current_scene; }

    // An entity with Information (tag), Transform, a dynamic body and a 1 x 1 box at (x, y), live in
    // the current scene but not yet in the systems.
    static OrvEngine::Entity* MakeActor(const std::string& name, uint32_t tag, float x, float y, bool box = true)
    {
        using namespace OrvEngine;
        Entity* entity = MakeTransformEntity(name, Vec3(x, y, 1.0f), Vec3(1.0f, 1.0f, 1.0f), tag);
        auto body = std::make_shared<RigidBody2D>();
        body->SetMass(1.0f);
        entity->AddComponent(RIGIDBODY2D, body);
        if (box) {
            auto collider = std::make_shared<BoxCollider>();
            collider->SetPosition(Vec2(x, y));
            collider->SetSize(Vec2(1.0f, 1.0f));
            collider->UpdateBounds();
            entity->AddComponent(BOXCOLLIDER, collider);
        }
        Scene()->AddEntity(entity->id, entity);
        return entity;
    }

    static std::shared_ptr<OrvEngine::Stats> AddStats(OrvEngine::Entity* entity, const StatsValues& values = {})
    {
        auto stats = std::make_shared<OrvEngine::Stats>();
        stats->hp = values.hp;
        stats->speed_attack = values.speed_attack;
        stats->attack = values.attack;
        stats->defense = values.defense;
        stats->att_modifier = values.att_modifier;
        stats->def_modifier = values.def_modifier;
        entity->AddComponent(OrvEngine::STATS, stats);
        return stats;
    }

    static std::shared_ptr<OrvEngine::Sprite> AddSprite(OrvEngine::Entity* entity, int32_t frames = 16)
    {
        auto sprite = std::make_shared<OrvEngine::Sprite>();
        sprite->number_of_frames = frames;
        sprite->spritesheet_speed = 0.08f;
        entity->AddComponent(OrvEngine::SPRITE, sprite);
        return sprite;
    }

    static void Join(OrvEngine::Entity* entity) { OrvEngine::EntityFactory::GetInstance()->AddEntityToSystems(entity); }

    // Moves the entity and its box together (boxes otherwise follow only in a collision pass).
    static void Place(OrvEngine::Entity* entity, float x, float y)
    {
        using namespace OrvEngine;
        entity->GetComponent<Transform>(TRANSFORM)->position = Vec3(x, y, 1.0f);
        if (auto collider = entity->GetComponent<BoxCollider>(BOXCOLLIDER)) {
            collider->SetPosition(Vec2(x, y));
            collider->UpdateBounds();
        }
    }

    static OrvEngine::Entity* MakePlayer(float x, float y, const StatsValues& values = {})
    {
        using namespace OrvEngine;
        Entity* player = MakeActor("Player", TAG_PLAYER, x, y);
        AddStats(player, values);
        AddController(player);
        Join(player);
        return player;
    }

    static std::shared_ptr<OrvEngine::PlayerController> AddController(OrvEngine::Entity* player)
    {
        auto controller = std::make_shared<OrvEngine::PlayerController>();
        player->AddComponent(OrvEngine::PLAYERCONTROLLER, controller);
        controller->reach = OrvEngine::Vec2(0.4f, 0.6f);
        return controller;
    }

    static OrvEngine::Entity* MakeCompanion(float x, float y, const StatsValues& values = {})
    {
        using namespace OrvEngine;
        Entity* dora = MakeActor("Dora", TAG_AI, x, y);
        AddStats(dora, values);
        dora->AddComponent(AIMOVEMENT, std::make_shared<AIMovement>());
        Join(dora);
        return dora;
    }

    static OrvEngine::Entity* MakeEnemy(float x, float y, const StatsValues& values = {}, const std::string& name = "Enemy")
    {
        using namespace OrvEngine;
        Entity* enemy = MakeActor(name, TAG_ENEMY, x, y);
        AddStats(enemy, values);
        auto movement = std::make_shared<EnemyMovement>();
        movement->state = ENEMY_IDLE;
        enemy->AddComponent(ENEMYMOVEMENT, movement);
        Join(enemy);
        return enemy;
    }

    static OrvEngine::Entity* MakeBoss(float x, float y, const StatsValues& values = {})
    {
        using namespace OrvEngine;
        Entity* boss = MakeActor("Boss", TAG_BOSS, x, y);
        AddStats(boss, values);
        boss->AddComponent(BOSSBEHAVIOUR, std::make_shared<BossBehaviour>());
        Join(boss);
        return boss;
    }

    template <class T>
    static std::shared_ptr<T> Get(OrvEngine::Entity* entity, int type)
    {
        return entity->GetComponent<T>(type);
    }
    static std::shared_ptr<OrvEngine::EnemyMovement> Enemy(OrvEngine::Entity* e) { return Get<OrvEngine::EnemyMovement>(e, OrvEngine::ENEMYMOVEMENT); }
    static std::shared_ptr<OrvEngine::AIMovement> Ai(OrvEngine::Entity* e) { return Get<OrvEngine::AIMovement>(e, OrvEngine::AIMOVEMENT); }
    static std::shared_ptr<OrvEngine::BossBehaviour> Boss(OrvEngine::Entity* e) { return Get<OrvEngine::BossBehaviour>(e, OrvEngine::BOSSBEHAVIOUR); }
    static std::shared_ptr<OrvEngine::Stats> StatsOf(OrvEngine::Entity* e) { return Get<OrvEngine::Stats>(e, OrvEngine::STATS); }
    static std::shared_ptr<OrvEngine::RigidBody2D> Body(OrvEngine::Entity* e) { return Get<OrvEngine::RigidBody2D>(e, OrvEngine::RIGIDBODY2D); }
    static std::shared_ptr<OrvEngine::Transform> TransformOf(OrvEngine::Entity* e) { return Get<OrvEngine::Transform>(e, OrvEngine::TRANSFORM); }
    static std::shared_ptr<OrvEngine::PlayerController> Controller(OrvEngine::Entity* e) { return Get<OrvEngine::PlayerController>(e, OrvEngine::PLAYERCONTROLLER); }

    // Copies the shipped prefabs into the test's data folder and loads them.
    void LoadShippedPrefabs(const std::vector<std::string>& names) const
    {
        for (const std::string& name : names) {
            const std::string file = "Prefab/" + name + ".json";
            WriteData(file, ReadFile(SourceDir() / "Resources" / "Data" / file));
            ASSERT_TRUE(OrvEngine::EntityFactory::GetInstance()->LoadPrefab(name)) << name;
        }
    }

    // Makes the shipped sound file `file` playable as `event` from the test's run folder.
    void ShipSound(const std::string& event, const std::string& file) const
    {
        WriteFile(Root() / "Resources" / "Sounds" / file, ReadFile(SourceDir() / "Resources" / "Sounds" / file));
        OrvEngine::AudioSystem::GetInstance()->AddSoundFile(event, file);
    }

    // Gives an entity of the current scene (not yet in the systems) the named script and joins it.
    static void Script(OrvEngine::Entity* entity, const std::string& script)
    {
        auto component = std::make_shared<OrvEngine::ScriptComponent>();
        component->file_name = script;
        entity->AddComponent(OrvEngine::SCRIPTCOMPONENT, component);
        Join(entity);
    }

    // An entity with an Information (name, tag), a Transform and what `extras` adds, live in the
    // current scene and in the systems with the named script (none when empty).
    static OrvEngine::Entity* MakeInScene(const std::string& name, uint32_t tag, OrvEngine::Vec3 at,
                                          OrvEngine::Vec3 scale, const std::string& script = "",
                                          const std::function<void(OrvEngine::Entity*)>& extras = nullptr)
    {
        OrvEngine::Entity* entity = MakeTransformEntity(name, at, scale, tag);
        if (extras) extras(entity);
        Scene()->AddEntity(entity->id, entity);
        if (script.empty()) Join(entity);
        else Script(entity, script);
        return entity;
    }

    // The damage-number prefab's instances.
    static std::vector<OrvEngine::Entity*> DigitEntities() { return EntitiesNamed("NumberPrefab"); }
};

} // namespace OrvTest
