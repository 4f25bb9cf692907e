// Hazards: the falling boulder and spikes, the death wall, the barrier and the poison floor's loop.
#include "ScriptedLevelFixture.h"

#include "Audio/AudioSystem.h"
#include "Scripts/Hazards/BarrierScript.h"
#include "Scripts/Hazards/BoulderScript.h"
#include "Scripts/Hazards/PoisonFloorScript.h"

using namespace OrvEngine;
using OrvTest::ScriptOf;

namespace {

class HazardTest : public OrvTest::ScriptedLevelTest {
protected:
    static int Count(const std::string& text, const std::string& line)
    {
        int n = 0;
        for (const std::string& l : OrvTest::Lines(text)) n += l == line;
        return n;
    }

    static Entity* MakeScripted(const std::string& name, const std::string& script, float x, float y)
    {
        Entity* entity = MakeActor(name, TAG_OBSTACLE, x, y);
        Script(entity, script);
        return entity;
    }
};

TEST_F(HazardTest, FallingHazardsShowTheRingThenHurtOncePerContactWindow)
{
    LoadShippedPrefabs({"Boulder_Prefab", "Spike_Prefab"});
    Entity* player = MakePlayer(0.0f, 0.0f);
    Entity* dora = MakeCompanion(0.0f, 0.0f);
    Entity* enemy = MakeEnemy(0.0f, 0.0f, {}, "Atk_Enemy");
    AddSprite(enemy);  // the enemy's hurt period ends only for an enemy with a Sprite
    Entity* boulder = InstantiatePrefab("Boulder_Prefab");
    auto* script = ScriptOf<BoulderScript>(boulder);
    auto sprite = boulder->GetComponent<Sprite>(SPRITE);

    Step(95);
    EXPECT_EQ(sprite->GetTexIdentifier(), "Boulder_Ring");
    Step(6);
    EXPECT_EQ(sprite->GetTexIdentifier(), "Boulder");
    EXPECT_TRUE(sprite->GetIsSpritesheet());
    EXPECT_EQ(sprite->number_of_frames, 16);
    EXPECT_FLOAT_EQ(sprite->spritesheet_speed, 0.01f);
    EXPECT_TRUE(sprite->play_once);
    EXPECT_EQ(sprite->current_frame, 1);

    OrvTest::StdoutCapture out;
    for (int frame = 5; frame <= 14; ++frame) {
        sprite->current_frame = frame;
        if (frame < 8) {
            EXPECT_FALSE(script->sound_played) << "no thud before frame 8";
        }
        for (Entity* victim : {player, dora, enemy}) Touch(boulder, victim);
    }
    // Frames 12 to 14 closed the window; a new one hurts the player and the companion again.
    sprite->current_frame = 8;
    Touch(boulder, player);
    EXPECT_EQ(StatsOf(player)->hp, 6);
    EXPECT_EQ(StatsOf(dora)->hp, 8);
    EXPECT_EQ(StatsOf(enemy)->hp, 8) << "an enemy is hurt again only after its hurt period";
    EXPECT_TRUE(Controller(player)->hit);
    EXPECT_TRUE(Ai(dora)->was_hit);
    EXPECT_TRUE(script->sound_played);
    // One second on the enemy's hurt period is over and the window is still open.
    SetTime(OrvCoreEngine->total + 1.05, kFrame);
    Enemy(enemy)->Update();
    Touch(boulder, enemy);
    EXPECT_EQ(StatsOf(enemy)->hp, 6);
    const std::string printed = out.Take();
    EXPECT_EQ(Count(printed, "Player got hit"), 2);
    EXPECT_EQ(Count(printed, "Dora took dmg"), 1);
    EXPECT_EQ(Count(printed, "Enemy took dmg"), 2);

    const uint64_t boulder_id = boulder->id;
    sprite->current_frame = 16;
    Step();
    EXPECT_FALSE(Live(boulder_id)) << "gone on frame 16";

    // Spikes: their own animation and speed, and silent.
    Entity* spikes = InstantiatePrefab("Spike_Prefab");
    Step(101);
    auto spike_sprite = spikes->GetComponent<Sprite>(SPRITE);
    EXPECT_EQ(spike_sprite->GetTexIdentifier(), "Anim_Spikes");
    EXPECT_FLOAT_EQ(spike_sprite->spritesheet_speed, 0.02f);
    spike_sprite->current_frame = 9;
    Touch(spikes, dora);
    EXPECT_EQ(StatsOf(dora)->hp, 6);
    EXPECT_FALSE(ScriptOf<BoulderScript>(spikes)->sound_played);
    EXPECT_EQ(ScriptOf<BoulderScript>(spikes)->GetName(), "BoulderScript");
}

TEST_F(HazardTest, TheDeathWallAdvancesAndHurtsOncePerHurtPeriod)
{
    Entity* wall = MakeScripted("DeathWall", "DeathWallScript", 0.0f, 0.0f);
    Step(500);
    EXPECT_NEAR(TransformOf(wall)->position.x, 1.0f, 1e-3f) << "0.1 units a second";

    Entity* player = MakePlayer(1.0f, 0.0f);
    AddSprite(player);
    Touch(wall, player);
    EXPECT_EQ(StatsOf(player)->hp, 9);
    EXPECT_FLOAT_EQ(TransformOf(player)->position.x, 1.25f);
    EXPECT_TRUE(Controller(player)->hit);
    Controller(player)->Update();  // the controller starts its hurt period
    Touch(wall, player);
    EXPECT_EQ(StatsOf(player)->hp, 9);
    Controller(player)->hurt_lock = false;
    Controller(player)->god_mode = true;
    Touch(wall, player);
    EXPECT_EQ(StatsOf(player)->hp, 9) << "god mode";

    Entity* dora = MakeCompanion(1.0f, 0.0f);
    Touch(dora, wall);
    Touch(dora, wall);
    EXPECT_EQ(StatsOf(dora)->hp, 9);
    EXPECT_FLOAT_EQ(TransformOf(dora)->position.x, 1.25f);

    // Enemies are not pushed, and lose hit points only while they have some.
    OrvTest::StatsValues low;
    low.hp = 2;
    Entity* enemy = MakeEnemy(1.0f, 0.0f, low, "Spd_Enemy7");
    for (int i = 0; i < 4; ++i) Touch(wall, enemy);
    EXPECT_EQ(StatsOf(enemy)->hp, 0);
    EXPECT_TRUE(Enemy(enemy)->was_hit);
    StatsOf(enemy)->hp = -3;
    Touch(wall, enemy);
    EXPECT_EQ(StatsOf(enemy)->hp, -3);
    EXPECT_FLOAT_EQ(TransformOf(enemy)->position.x, 1.0f);
}

TEST_F(HazardTest, TheBarrierFadesInNearTheViewEdgeAndStandsWhileEnemiesRemain)
{
    LevelManagerScript* manager = MakeLevelManager(10.0f);
    Entity* player = MakePlayer(13.0f, 0.0f);
    Entity* barrier = MakeActor("Barrier_1", TAG_OBSTACLE, 20.0f, 0.0f);
    auto sprite = AddSprite(barrier, 1);
    Script(barrier, "BarrierScript");
    auto* script = ScriptOf<BarrierScript>(barrier);
    EXPECT_TRUE(sprite->GetIsTinted());
    EXPECT_FLOAT_EQ(sprite->GetTintColor().GetA(), 0.0f) << "invisible at first";

    Step();  // finds the manager, the view and the player: nothing else this frame
    EXPECT_TRUE(barrier->active);
    Step();
    EXPECT_FALSE(script->triggered) << "19 - 15 = 4 is not below 0.01";
    EXPECT_FALSE(barrier->active) << "no enemies: the way is open";

    Place(player, 17.0f, 0.0f);
    Step();
    ASSERT_TRUE(script->triggered) << "19 - 19 = 0";
    EXPECT_FLOAT_EQ(sprite->GetTintColor().GetA(), 0.03f);
    ++manager->enemy_count;
    Step(40);
    EXPECT_TRUE(barrier->active) << "an enemy registered later closes the way again";
    EXPECT_NEAR(script->alpha, 1.02f, 1e-4f) << "34 steps, ending just above 1";
    EXPECT_FLOAT_EQ(sprite->GetTintColor().GetA(), script->alpha);
}

TEST_F(HazardTest, ThePoisonLoopPlaysWhileTheFloorIsInViewAndRestartsOnReentry)
{
    const OrvTest::fs::path sounds = Root() / "Resources" / "Sounds";
    OrvTest::WriteFile(sounds / "SFX_EO_Poison.ogg",
                       OrvTest::ReadFile(OrvTest::SourceDir() / "Resources" / "Sounds" / "SFX_EO_Poison.ogg"));
    AudioSystem::GetInstance()->EventsFilenameMap["SFX_EO_Poison"] = "SFX_EO_Poison.ogg";
    AudioSystem::GetInstance()->AddedSounds.push_back("SFX_EO_Poison");

    MakeLevelManager(10.0f);
    Entity* player = MakePlayer(0.0f, 0.0f);
    Entity* floor = MakeActor("PoisonFloor_1", TAG_TERRAIN_DAMAGE, 20.0f, 0.0f);
    auto audio = std::make_shared<Audio>();
    AudioSystem::GetInstance()->AddSound(*audio, "SFX_EO_Poison", true, true);
    floor->AddComponent(AUDIO, audio);
    Script(floor, "PoisonFloorScript");
    auto* script = ScriptOf<PoisonFloorScript>(floor);
    SoundEntry& loop = audio->sounds.front();

    Step(3);
    EXPECT_FALSE(script->playing);
    std::vector<Platform::ChannelHandle> channels;
    for (int visit = 0; visit < 2; ++visit) {
        Place(player, 18.0f, 0.0f);
        Step(2);
        EXPECT_TRUE(script->playing) << visit;
        EXPECT_TRUE(loop.is_playing) << visit;
        channels.push_back(loop.channel);
        Place(player, 0.0f, 0.0f);
        Step();
        EXPECT_FALSE(script->playing) << visit;
        EXPECT_FALSE(loop.is_playing) << visit;
    }
    EXPECT_TRUE(channels[0].IsValid() && channels[1].IsValid());
    EXPECT_FALSE(channels[0].slot == channels[1].slot && channels[0].generation == channels[1].generation)
        << "the second entry starts the loop anew";
}

TEST_F(HazardTest, ALevelManagerEntityWithAnotherScriptIsIgnored)
{
    Entity* impostor = OrvTest::MakeTransformEntity("LevelManager", Vec3(), Vec3(1.0f, 1.0f, 1.0f), TAG_GAME_MANAGER);
    Scene()->AddEntity(impostor->id, impostor);
    Script(impostor, "SpawnerScript");
    Entity* cam = OrvTest::MakeTransformEntity("Cam", Vec3(), Vec3(10.0f, 9.0f, 1.0f), TAG_NONE);
    Scene()->AddEntity(cam->id, cam);
    MakePlayer(20.0f, 0.0f);
    Entity* barrier = MakeScripted("Barrier_1", "BarrierScript", 20.0f, 0.0f);
    Entity* floor = MakeScripted("PoisonFloor_1", "PoisonFloorScript", 20.0f, 0.0f);
    Step(5);
    EXPECT_TRUE(barrier->active) << "no manager, no enemy count to follow";
    EXPECT_FALSE(ScriptOf<BarrierScript>(barrier)->level_manager.IsLinked());
    EXPECT_FALSE(ScriptOf<PoisonFloorScript>(floor)->playing);
}

} // namespace
