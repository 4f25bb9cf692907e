// Level triggers: enemy spawners, the level exit and the hazard zones' waves of rings.
#include "ScriptedLevelFixture.h"

#include "Components/Child.h"
#include "Components/Parent.h"
#include "Scripts/Enemies/EnemyScript.h"
#include "Scripts/Hazards/HazardZoneScript.h"
#include "Scripts/Level/SpawnerScript.h"

#include <algorithm>

using namespace OrvEngine;
using OrvTest::EntitiesNamed;
using OrvTest::ScriptOf;

namespace {

class LevelScriptTest : public OrvTest::ScriptedLevelTest {
protected:
    // A trigger zone with a static body, w x h, centred at (x, y).
    static Entity* MakeZone(const std::string& script, float x, float y, float w = 4.0f, float h = 2.0f)
    {
        Entity* zone = MakeActor("Zone_" + script, TAG_OTHERS, x, y);
        TransformOf(zone)->scale = Vec3(w, h, 1.0f);
        Body(zone)->SetBodyType(BT_Static);
        zone->GetComponent<BoxCollider>(BOXCOLLIDER)->is_trigger = true;
        Script(zone, script);
        return zone;
    }

    // Moves the entity; its box follows in the next collision pass.
    static void MoveTo(Entity* entity, float x, float y) { TransformOf(entity)->position = Vec3(x, y, 1.0f); }

    // One frame as the engine orders it: scripts, then the collision pass and its messages.
    static void Frame(float dt = kFrame)
    {
        Step(1, dt);
        CollisionSystem::GetInstance()->CheckCollisions();
        const std::vector<Manifold> pairs = CollisionSystem::GetInstance()->GetContacts();
        for (const Manifold& pair : pairs) {
            CollisionMessage message(pair.entity_a, pair.entity_b);
            Logic::GetInstance()->HandleMessage(&message);
        }
    }
};

TEST_F(LevelScriptTest, SpawnersSpawnTheirGroupOncePerVisitWithBoxesAtTheFeet)
{
    LoadShippedPrefabs({"Atk_Enemy", "Def_Enemy", "Spd_Enemy", "ATK_Debuff_UI", "DEF_Debuff_UI", "SPD_Debuff_UI",
                 "EnemyHP1_TestPrefab", "Debuff_VFX"});
    Entity* player = MakePlayer(0.0f, 0.0f);
    Entity* impostor = MakeActor("Player2", TAG_PLAYER, 0.0f, 0.0f);
    Entity* e3 = MakeActor("Spawner_E3", TAG_OTHERS, 10.0f, 2.0f);
    Script(e3, "SpawnerScript");
    Entity* e2 = MakeActor("Spawner_E2", TAG_OTHERS, 20.0f, -1.0f);
    Script(e2, "SpawnerScript");
    Entity* other = MakeActor("Spawner_E2_Old", TAG_OTHERS, 30.0f, 0.0f);
    Script(other, "SpawnerScript");

    Touch(e3, impostor);
    Touch(other, player);
    EXPECT_TRUE(EntitiesNamed("Atk_Enemy").empty() && EntitiesNamed("Def_Enemy").empty()) << "whole names only";

    Touch(player, e3);
    Touch(e3, player);
    struct Spawned {
        const char* prefab;
        float x, y;
    };
    const Spawned e3_group[] = {{"Def_Enemy", 13.0f, 4.0f}, {"Atk_Enemy", 15.0f, 3.5f}, {"Spd_Enemy", 5.0f, 3.5f}};
    for (const Spawned& s : e3_group) {
        const std::vector<Entity*> found = EntitiesNamed(s.prefab);
        ASSERT_EQ(found.size(), 1u) << s.prefab << ": once, however often the player touches";
        EXPECT_FLOAT_EQ(TransformOf(found[0])->position.x, s.x) << s.prefab;
        EXPECT_FLOAT_EQ(TransformOf(found[0])->position.y, s.y) << s.prefab;
        const Vec2 box = found[0]->GetComponent<BoxCollider>(BOXCOLLIDER)->GetPosition();
        EXPECT_FLOAT_EQ(box.x, s.x);
        EXPECT_FLOAT_EQ(box.y, s.y - 1.0f);
    }
    Touch(e2, player);
    const std::vector<Entity*> attackers = EntitiesNamed("Atk_Enemy");
    ASSERT_EQ(attackers.size(), 3u);
    EXPECT_FLOAT_EQ(TransformOf(attackers[1])->position.x, 25.0f);
    EXPECT_FLOAT_EQ(TransformOf(attackers[1])->position.y, 1.0f);
    EXPECT_FLOAT_EQ(TransformOf(attackers[2])->position.x, 26.0f);
    EXPECT_FLOAT_EQ(TransformOf(attackers[2])->position.y, 0.0f);

    // The shipped enemies come to life: each gets its bar, attached to it and watching it.
    Step();
    for (Entity* enemy : EntitiesNamed("Atk_Enemy")) {
        auto bar = FindLiveEntity(ScriptOf<EnemyScript>(enemy)->hp_bar);
        ASSERT_TRUE(bar) << enemy->name;
        EXPECT_EQ(bar->GetComponent<Sprite>(SPRITE)->GetEntName(), enemy->name);
        EXPECT_EQ(bar->GetComponent<Child>(CHILD)->GetParent(), enemy->GetComponent<Parent>(PARENT));
    }

    // Entering the scene again makes the script anew: it fires again.
    ScriptOf<SpawnerScript>(e3)->Init(e3);
    Touch(player, e3);
    EXPECT_EQ(EntitiesNamed("Def_Enemy").size(), 2u);
}

TEST_F(LevelScriptTest, TheExitLeadsOnByTheCurrentSceneName)
{
    Entity* player = MakePlayer(0.0f, 0.0f);
    Entity* stranger = MakeActor("Player_Shadow", TAG_PLAYER, 0.0f, 0.0f);
    Entity* exit = MakeActor("LevelExit", TAG_OTHERS, 0.0f, 0.0f);
    Script(exit, "WinOnCollisionScript");
    const std::pair<const char*, const char*> cases[] = {
        {"GameScene_23", "GameScene_20"}, {"GameScene_01", "GameScene_02"}, {"GameScene_22", ""}};
    for (const auto& [scene, next] : cases) {
        Scene()->SetSceneName(scene);
        OrvStateMachine->next_state.clear();
        Touch(stranger, exit);
        EXPECT_EQ(OrvStateMachine->next_state, "") << scene;
        Touch(exit, player);
        EXPECT_EQ(OrvStateMachine->next_state, next) << scene;
    }
}

TEST_F(LevelScriptTest, AZoneDropsItsWaveInsideItsBoxAfterTheDrawnDelaysAndRearms)
{
    LoadShippedPrefabs({"Boulder_Prefab"});
    MakePlayer(0.0f, 0.0f);
    Entity* zone = MakeZone("Boulder5D5SScript", 0.5f, 0.0f);
    auto* script = ScriptOf<HazardZoneScript>(zone);
    EXPECT_EQ(script->GetName(), "BoulderLevelScript");
    Frame();
    ASSERT_TRUE(script->armed) << "the player's own overlap arms the wave";
    const std::vector<float> drawn = script->delays;
    ASSERT_EQ(drawn.size(), 3u);
    for (float delay : drawn) {
        EXPECT_GE(delay, 0.1f);
        EXPECT_LE(delay, 10.0f);
    }
    const float last = *std::max_element(drawn.begin(), drawn.end());
    size_t rings = 0;
    while (rings < 3 && OrvCoreEngine->total < 12.0) {
        Frame();
        const std::vector<Entity*> now = EntitiesNamed("Boulder_Prefab");
        if (now.size() > rings) {
            // A new ring shows the warning texture, unanimated (for 2 s, then the boulder falls).
            auto sprite = now.back()->GetComponent<Sprite>(SPRITE);
            EXPECT_EQ(sprite->GetTexIdentifier(), "Boulder_Ring");
            EXPECT_FALSE(sprite->GetIsSpritesheet());
        }
        rings = now.size();
        if (rings < 3) {
            const float inside = script->timer;
            EXPECT_EQ(rings, static_cast<size_t>(std::count_if(drawn.begin(), drawn.end(), [&](float d) { return d <= inside; })));
        }
    }
    ASSERT_EQ(rings, 3u);
    EXPECT_NEAR(OrvCoreEngine->total - 1.0 - kFrame, last, 2.0 * kFrame) << "the last ring falls at the longest delay";
    // The wave is over and the same frame's overlap armed the next one with fresh delays.
    EXPECT_TRUE(script->armed);
    EXPECT_FLOAT_EQ(script->timer, 0.0f);
    EXPECT_EQ(script->rings_left, 3);
    EXPECT_NE(script->delays, drawn);

    const Vec2 lo = zone->GetComponent<BoxCollider>(BOXCOLLIDER)->GetMin();
    const Vec2 hi = zone->GetComponent<BoxCollider>(BOXCOLLIDER)->GetMax();
    EXPECT_FLOAT_EQ(lo.x, -1.5f);
    EXPECT_FLOAT_EQ(hi.y, 1.0f);
    for (Entity* ring : EntitiesNamed("Boulder_Prefab")) {
        const Vec3 p = TransformOf(ring)->position;
        const float h = TransformOf(ring)->scale.y;
        EXPECT_GE(p.x, lo.x);
        EXPECT_LE(p.x, hi.x);
        EXPECT_GE(p.y - 0.5f * h, lo.y - 1e-4f);
        EXPECT_LE(p.y - 0.5f * h, hi.y + 1e-4f);
        EXPECT_FLOAT_EQ(ring->GetComponent<BoxCollider>(BOXCOLLIDER)->GetPosition().y, p.y - 0.25f * h);
    }
}

TEST_F(LevelScriptTest, AZoneCountsTimeOnlyWhileThePlayerIsInside)
{
    LoadShippedPrefabs({"Boulder_Prefab", "Spike_Prefab"});
    Entity* player = MakePlayer(20.0f, 0.0f);
    Entity* enemy = MakeActor("Atk_Enemy", TAG_ENEMY, 40.0f, 0.0f);
    Join(enemy);
    Entity* boulders = MakeZone("BoulderLevelScript", 0.0f, 0.0f);
    Entity* spikes = MakeZone("SpikesLevelScript", 40.0f, 0.0f);
    auto* zone = ScriptOf<HazardZoneScript>(boulders);
    auto* spike_zone = ScriptOf<HazardZoneScript>(spikes);

    // An enemy arms a zone, but nothing falls and no time passes without the player.
    Frame();
    EXPECT_TRUE(spike_zone->armed);
    EXPECT_FALSE(zone->armed);
    for (int i = 0; i < 100; ++i) Frame();
    EXPECT_FLOAT_EQ(spike_zone->timer, 0.0f);
    EXPECT_TRUE(EntitiesNamed("Spike_Prefab").empty());

    // Two delays already passed fall in one frame, in ring order.
    MoveTo(player, 0.0f, 0.0f);
    Frame();
    ASSERT_TRUE(zone->armed);
    zone->delays = {0.3f, 0.4f};
    Frame(0.5f);

    std::vector<Entity*> rings = EntitiesNamed("Boulder_Prefab");
    ASSERT_EQ(rings.size(), 2u);
    EXPECT_EQ(zone->spawned, rings[1]->id);

    // Leaving half-way: the pending ring waits for the time inside to reach its delay.
    ASSERT_TRUE(zone->armed) << "the overlap after the wave armed the next one";
    zone->delays = {0.1f, 1.0f};
    Frame(0.2f);
    ASSERT_EQ(EntitiesNamed("Boulder_Prefab").size(), 3u);
    MoveTo(player, 20.0f, 0.0f);
    for (int i = 0; i < 100; ++i) Frame();
    EXPECT_EQ(EntitiesNamed("Boulder_Prefab").size(), 3u);
    EXPECT_NEAR(zone->timer, 0.2f, 0.03f);
    MoveTo(player, 0.0f, 0.0f);
    int frames = 0;
    while (EntitiesNamed("Boulder_Prefab").size() == 3u && frames < 100) {
        Frame();
        ++frames;
    }
    EXPECT_NEAR(frames * kFrame, 0.8f, 2.5f * kFrame);

    // With the player inside, the spike zone drops spike rings.
    MoveTo(player, 40.0f, 0.0f);
    Frame();
    spike_zone->delays = {0.05f, 0.05f};
    Frame(0.1f);
    ASSERT_EQ(EntitiesNamed("Spike_Prefab").size(), 2u);
    EXPECT_EQ(EntitiesNamed("Spike_Prefab")[0]->GetComponent<Sprite>(SPRITE)->GetTexIdentifier(), "Spike_Ring");
}

TEST_F(LevelScriptTest, ARingWhosePrefabIsMissingStillEndsTheWave)
{
    MakePlayer(0.0f, 0.0f);
    auto* zone = ScriptOf<HazardZoneScript>(MakeZone("Spikes1D4SScript", 0.0f, 0.0f));
    Frame();
    ASSERT_TRUE(zone->armed);
    zone->delays = {0.1f};
    Frame(0.2f);
    EXPECT_EQ(zone->rings_left, 1) << "reset for the next wave";
    EXPECT_EQ(zone->spawned, 0u);
    EXPECT_TRUE(OrvTest::Contains(LogText(), "Entity not found in archetype: Boulder_Prefab"));
}

} // namespace
