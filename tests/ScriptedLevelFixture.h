// A level built in code for the game-script tests: the registered scripts, the shipped prefabs on
// request, a level manager, a camera and frames of fixed length run through the script system.
// Collisions are delivered as the Logic system does it, so scripts see the real call order.
#pragma once

#include "GameplayFixture.h"

#include "Components/Audio.h"
#include "CoreEngine/Message.h"
#include "Logic/Logic.h"
#include "Logic/Spells.h"
#include "Scripts/Level/LevelManagerScript.h"
#include "Scripts/ScriptHelpers.h"

#include <string>

namespace OrvTest {

class ScriptedLevelTest : public GameplayTest {
protected:
    static constexpr float kFrame = 0.02f;

    void SetUp() override
    {
        GameplayTest::SetUp();
        OrvEngine::RegisterComponent<OrvEngine::Audio>("Audio", OrvEngine::AUDIO);
        OrvEngine::RegisterScripts();
        SetTime(1.0, kFrame);
    }

    // "LevelManager" and "Cam" (view width 10, as wide as the on-screen examples use).
    LevelManagerScript* MakeLevelManager(float view_width = 10.0f)
    {
        using namespace OrvEngine;
        Entity* cam = MakeTransformEntity("Cam", Vec3(), Vec3(view_width, 9.0f, 1.0f), TAG_NONE);
        Scene()->AddEntity(cam->id, cam);
        return ScriptOf<LevelManagerScript>(
            MakeInScene("LevelManager", TAG_GAME_MANAGER, Vec3(), Vec3(1.0f, 1.0f, 1.0f), "LevelManagerScript"));
    }

    // Frames of fixed length: the clock moves, then every script runs once.
    static void Step(int frames = 1, float dt = kFrame)
    {
        for (int i = 0; i < frames; ++i) {
            SetTime(OrvEngine::OrvCoreEngine->total + dt, dt);
            OrvEngine::ScriptSystem::GetInstance()->Update();
        }
    }

    // A trigger overlap of a and b as the Logic system hands it to both scripts.
    static void Touch(OrvEngine::Entity* a, OrvEngine::Entity* b)
    {
        OrvEngine::CollisionMessage message(a->id, b->id);
        OrvEngine::Logic::GetInstance()->HandleMessage(&message);
    }

    // A spell projectile of the kind, live in the scene, without a box of its own.
    static OrvEngine::Entity* MakeSpell(int32_t kind)
    {
        using namespace OrvEngine;
        Entity* spell = MakeActor("Spell", TAG_RANGE_ATTACK, 0.0f, 0.0f, false);
        auto spells = std::make_shared<Spells>();
        spells->kind = kind;
        spell->AddComponent(SPELLS, spells);
        return spell;
    }

    static bool Live(uint64_t id) { return OrvEngine::FindLiveEntity(id) != nullptr; }
};

} // namespace OrvTest
