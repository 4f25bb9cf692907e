// Companion movement and boss behaviour: target preference, following and teleporting, hits on
// enemies and the boss, footsteps, the boss timer and textures, and targets that vanish mid-fight.
#include "GameplayFixture.h"

#include "Components/Camera.h"

using namespace OrvEngine;
using OrvTest::StatsValues;

namespace {

class CompanionTest : public OrvTest::GameplayTest {
protected:
    Entity* MakePurifiableEnemy(float x, float y)
    {
        Entity* enemy = MakeEnemy(x, y);
        Enemy(enemy)->purifiable_now = true;
        return enemy;
    }
};

TEST_F(CompanionTest, PrefersEnemiesThatCannotBePurifiedYet)
{
    Entity* player = MakePlayer(-2.0f, 0.0f);
    Entity* dora = MakeCompanion(0.0f, 0.0f);
    auto ai = Ai(dora);
    ai->FindTarget();
    EXPECT_EQ(ai->target, player->id) << "nothing to fight: follow the player";

    Entity* weak = MakePurifiableEnemy(1.0f, 0.0f);
    ai->FindTarget();
    EXPECT_EQ(ai->target, weak->id) << "a purifiable enemy when nothing else is there";

    Entity* far = MakeEnemy(6.0f, 0.0f);
    ai->FindTarget();
    EXPECT_EQ(ai->target, far->id) << "farther, but not purifiable yet";
    EXPECT_EQ(ai->target_tag, static_cast<int32_t>(TAG_ENEMY));

    Enemy(far)->state = ENEMY_DOWN;
    Entity* listed = MakeEnemy(0.5f, 0.0f);
    Enemy(listed)->purification_target = true;
    ai->FindTarget();
    EXPECT_EQ(ai->target, weak->id) << "down enemies and purification candidates are left alone";
}

TEST_F(CompanionTest, SearchUsesCityBlockDistanceInViewAndKeepsTies)
{
    Entity* dora = MakeCompanion(0.0f, 0.0f);
    Entity* straight = MakeEnemy(3.0f, 0.0f);  // city-block 3
    MakeEnemy(2.0f, 2.0f);                      // city-block 4, though nearer in a straight line
    MakeEnemy(0.0f, -3.0f);                     // city-block 3, a later id
    auto ai = Ai(dora);
    ai->FindTarget();
    EXPECT_EQ(ai->target, straight->id);
    EXPECT_FLOAT_EQ(ai->best_distance, 3.0f);

    Camera camera;
    camera.transform = std::make_shared<Transform>();
    camera.transform->position = Vec3(-10.0f, 0.0f, 1.0f);
    camera.view_width = 17;  // half width 8: x from -18 to -2
    ActiveCamera = &camera;
    ai->FindTarget();
    EXPECT_EQ(ai->target, 0u) << "no enemy in view and no player";
    ActiveCamera = nullptr;

    GameIsRunning = false;
    ai->target = straight->id;
    ai->FindTarget();
    EXPECT_EQ(ai->target, straight->id) << "no search while the game is not running";
}

TEST_F(CompanionTest, FollowsThePlayerAndStaysBesideIt)
{
    Entity* player = MakePlayer(3.0f, 0.0f);
    Entity* dora = MakeCompanion(0.0f, 0.0f);
    auto ai = Ai(dora);
    ai->Update();
    EXPECT_EQ(ai->state, COMPANION_WALKING);
    ai->Update();
    EXPECT_GT(Body(dora)->velocity.x, 0.0f);

    Place(dora, 2.5f, 0.0f);
    ai->Update();
    EXPECT_EQ(ai->state, COMPANION_IDLE);
    EXPECT_TRUE(ai->near_player);
    EXPECT_EQ(Body(dora)->velocity, Vec2());
    ai->Update();
    EXPECT_EQ(ai->state, COMPANION_IDLE) << "touching the player it stays";

    Place(player, 6.0f, 0.0f);
    ai->Update();
    EXPECT_EQ(ai->state, COMPANION_WALKING);
    EXPECT_FALSE(ai->near_player);
}

TEST_F(CompanionTest, AnEnemyComingIntoViewIsWalkedToInTheSameFrame)
{
    MakePlayer(-3.0f, 0.0f);
    Entity* dora = MakeCompanion(0.0f, 0.0f);
    auto ai = Ai(dora);
    ai->Update();
    ASSERT_EQ(ai->state, COMPANION_WALKING);
    Entity* enemy = MakeEnemy(4.0f, 1.0f);
    ai->Update();
    EXPECT_EQ(ai->target, enemy->id);
    const Vec2 velocity = Body(dora)->velocity;
    EXPECT_GT(velocity.x, 0.0f) << "towards the enemy, not the player it was following";
    EXPECT_NEAR(velocity.y / velocity.x, 0.25f, 1e-4f) << "straight at the new target";
}

TEST_F(CompanionTest, TeleportsOntoThePlayer)
{
    Entity* player = MakePlayer(3.0f, 4.0f);
    TransformOf(player)->position.z = 7.0f;
    Entity* dora = MakeCompanion(0.0f, 0.0f);
    auto ai = Ai(dora);
    ai->engaged = true;
    ai->TeleportToPlayer();
    EXPECT_EQ(TransformOf(dora)->position, Vec3(3.0f, 4.0f, 7.0f));
    EXPECT_FALSE(ai->engaged);
    EXPECT_EQ(ai->target, player->id);
}

// The companion in contact with its target, attacking; no Sprite, so its animation counts as done.
class CompanionHitTest : public OrvTest::GameplayTest {
protected:
    void SetUp() override
    {
        GameplayTest::SetUp();
        dora = MakeCompanion(0.0f, 0.0f);
    }
    void Strike(Entity* target, double at)
    {
        auto ai = Ai(dora);
        ai->target = target->id;
        ai->state = COMPANION_ATTACKING;
        SetTime(at);
        ai->Update();
    }
    Entity* dora = nullptr;
};

TEST_F(CompanionHitTest, HittingAnEnemyClearsItsKnockBackAndRecordsTheDamage)
{
    Entity* enemy = MakeEnemy(0.8f, 0.0f);
    auto movement = Enemy(enemy);
    movement->knocked_back = true;
    Strike(enemy, 5.0);
    EXPECT_FALSE(movement->knocked_back);
    EXPECT_EQ(movement->last_damage_taken, 4u) << "attack 5 against defence 1";
    EXPECT_EQ(StatsOf(enemy)->hp, 6);
    EXPECT_TRUE(movement->was_hit);
    EXPECT_FLOAT_EQ(movement->hit_time, 5.0f);

    StatsOf(enemy)->hp = 3;
    Strike(enemy, 8.0);
    EXPECT_EQ(StatsOf(enemy)->hp, 0);
    EXPECT_EQ(Ai(dora)->target, 0u);
    EXPECT_EQ(Ai(dora)->state, COMPANION_IDLE);
}

TEST_F(CompanionHitTest, BossEntersHurtOnlyFromIdle)
{
    StatsValues tough;
    tough.hp = 50;
    tough.defense = 20.0f;
    Entity* boss = MakeBoss(0.8f, 0.0f, tough);
    ASSERT_EQ(Boss(boss)->max_hp, 0) << "hit before its first update";
    Boss(boss)->state = BOSS_TELEPORTING_OUT;
    Strike(boss, 5.0);
    EXPECT_EQ(StatsOf(boss)->hp, 49) << "damage below 1 deals 1";
    EXPECT_EQ(Boss(boss)->state, BOSS_TELEPORTING_OUT);
    Boss(boss)->state = BOSS_IDLE;
    Strike(boss, 8.0);
    EXPECT_EQ(Boss(boss)->state, BOSS_HURT);
}

TEST_F(CompanionTest, FootstepsNeverRepeatAndKeepHalfASecondApart)
{
    MakePlayer(100.0f, 0.0f);
    Entity* dora = MakeCompanion(0.0f, 0.0f);
    dora->AddComponent(AUDIO, std::make_shared<Audio>());
    auto ai = Ai(dora);
    ai->state = COMPANION_WALKING;
    uint64_t last = 0;
    int last_frame = -100;
    int plays = 0;
    for (int frame = 0; frame < 40; ++frame) {
        SetTime(frame * 0.1, 0.1f);
        ai->Update();
        if (ai->last_footstep == last) continue;
        EXPECT_GE(frame - last_frame, 5) << "at frame " << frame;
        last = ai->last_footstep;
        last_frame = frame;
        ++plays;
    }
    EXPECT_GE(plays, 6);
}

TEST_F(CompanionTest, TargetsDestroyedMidFightAreForgotten)
{
    Entity* player = MakePlayer(-5.0f, 0.0f);
    Entity* dora = MakeCompanion(0.0f, 0.0f);
    Entity* enemy = MakeEnemy(0.8f, 0.0f);
    Entity* boss = MakeBoss(-0.8f, 0.0f);
    auto ai = Ai(dora);
    for (Entity* target : {enemy, boss}) {
        ai->target = target->id;
        ai->state = COMPANION_ATTACKING;
        Scene()->RemoveEntity(target->id);
        ai->Update();
        EXPECT_EQ(ai->state, COMPANION_IDLE);
    }
    Scene()->RemoveEntity(player->id);
    ai->Update();
    EXPECT_EQ(ai->target, 0u);
    EXPECT_EQ(ai->GetPlayerTarget(), nullptr);

    StatsOf(dora)->hp = 0;
    ai->Update();
    EXPECT_EQ(ai->state, COMPANION_DOWN);
}

// ---- Boss ------------------------------------------------------------------------------------

class BossTest : public OrvTest::GameplayTest {};

TEST_F(BossTest, TimerCountsDownExceptDuringAPurification)
{
    Entity* boss = MakeBoss(0.0f, 0.0f);
    auto behaviour = Boss(boss);
    behaviour->timer = 0.1f;
    SetTime(1.0, 0.25f);
    behaviour->Update();
    EXPECT_FLOAT_EQ(behaviour->timer, -0.15f);
    behaviour->Update();
    EXPECT_FLOAT_EQ(behaviour->timer, -0.15f);

    behaviour->timer = 3.0f;
    IsPurifying = true;
    behaviour->Update();
    EXPECT_FLOAT_EQ(behaviour->timer, 3.0f);
}

TEST_F(BossTest, CloneTakesItsOwnMaximumAndTransform)
{
    StatsValues values;
    values.hp = 50;
    Entity* boss = MakeBoss(0.0f, 0.0f, values);
    Boss(boss)->Update();
    EXPECT_EQ(Boss(boss)->max_hp, 50);
    EXPECT_EQ(Boss(boss)->transform, TransformOf(boss));
    Entity* copy = EntityFactory::GetInstance()->CloneEntity(boss->id);
    StatsOf(copy)->hp = 30;
    Boss(copy)->Update();
    EXPECT_EQ(Boss(copy)->max_hp, 30);
    EXPECT_EQ(Boss(copy)->transform, TransformOf(copy)) << "its own entity's Transform";
    Scene()->RemoveEntity(boss->id);
    Boss(copy)->Update();  // nothing of the original is kept
    EntityFactory::GetInstance()->DestroyEntity(copy);
}

TEST_F(BossTest, TextureFollowsTheState)
{
    Entity* boss = MakeBoss(0.0f, 0.0f);
    auto behaviour = Boss(boss);
    auto sprite = AddSprite(boss, 4);
    behaviour->base_anim_speed = 0.07f;
    const std::string names[] = {"Anim_Boss_Idle", "Anim_Boss_TeleOut", "Anim_Boss_TeleIn", "Anim_Boss_SpawnEnemy",
                                 "Anim_Boss_SpawnTerrain", "Anim_Boss_Down", "Anim_Boss_Hurt"};
    behaviour->SetIdleTex(names[0]);
    behaviour->SetTeleOutTex(names[1]);
    behaviour->SetTeleInTex(names[2]);
    behaviour->SetSpawningEnemyTex(names[3]);
    behaviour->SetSpawningTerrainTex(names[4]);
    behaviour->SetDownTex(names[5]);
    behaviour->SetHurtTex(names[6]);
    for (int32_t state = BOSS_IDLE; state <= BOSS_HURT; ++state) {
        behaviour->state = state;
        behaviour->UpdateTexture();
        EXPECT_EQ(sprite->tex_identifier, names[state]) << state;
        EXPECT_EQ(sprite->play_once, state >= BOSS_DOWN) << state;
        EXPECT_EQ(sprite->number_of_frames, 16);
        EXPECT_FLOAT_EQ(sprite->spritesheet_speed, 0.07f);
    }
    for (int32_t bad : {7, -1}) {
        behaviour->state = bad;
        behaviour->UpdateTexture();
        EXPECT_EQ(sprite->tex_identifier, names[BOSS_HURT]) << bad;
    }
}

TEST_F(BossTest, SavedFieldsRoundTrip)
{
    BossBehaviour source;
    source.cooldown_spawning_enemy = 4.5f;
    source.ratio_to_spawn_terrain = 3;
    source.max_num_of_enemy = 6;
    source.hurt_tex = "Anim_Boss_Hurt";
    const std::string text = OrvTest::SerializeComponent(source);
    BossBehaviour read;
    read.Deserialize(OrvTest::Parse(text));
    EXPECT_FLOAT_EQ(read.cooldown_spawning_enemy, 4.5f);
    EXPECT_EQ(read.ratio_to_spawn_terrain, 3);
    EXPECT_EQ(read.max_num_of_enemy, 6);
    EXPECT_EQ(read.hurt_tex, "Anim_Boss_Hurt");
    EXPECT_TRUE(OrvTest::Contains(text, "\"ratio_to_spawn_terrain\": 3"));
}

} // namespace
