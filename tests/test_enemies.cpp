// Enemy movement: target choice, knock-back, purifiable thresholds, damage, the shared debuff
// timer, the state machine, textures, and targets that vanish mid-fight.
#include "GameplayFixture.h"

#include "Physics/CollisionSystem.h"
#include "Scripts/ScriptHelpers.h"

#include <cmath>
#include <tuple>

using namespace OrvEngine;
using OrvTest::StatsValues;

namespace {

class EnemyTest : public OrvTest::GameplayTest {};

TEST_F(EnemyTest, ChoosesThePlayerOnlyWhenInReachWhileThePlayerCannotPurify)
{
    Entity* player = MakePlayer(0.0f, 0.0f);
    Entity* dora = MakeCompanion(5.0f, 0.0f);
    Entity* enemy = MakeEnemy(0.3f, 0.7f);  // within the player's reach (0.4, 0.6) above its origin
    auto movement = Enemy(enemy);
    ASSERT_EQ(movement->GetPlayerTarget(), player);
    ASSERT_EQ(movement->GetCompanionTarget(), dora);

    movement->ChooseTarget();
    EXPECT_EQ(movement->target, dora->id) << "the player can purify: the living companion is preferred";
    Controller(player)->purification.cooldown = true;
    movement->ChooseTarget();
    EXPECT_EQ(movement->target, player->id);

    Controller(player)->purification.cooldown = false;
    StatsOf(dora)->hp = 0;
    movement->ChooseTarget();
    EXPECT_EQ(movement->target, player->id) << "a dead companion is not chosen";

    StatsOf(dora)->hp = 10;
    Controller(player)->purification.cooldown = true;
    Place(enemy, 1.0f, 0.7f);
    movement->ChooseTarget();
    EXPECT_EQ(movement->target, dora->id) << "out of the player's reach";
}

TEST_F(EnemyTest, KnockBackPushDependsOnTheDebuffLevel)
{
    MakeCompanion(0.0f, 0.0f);
    Entity* enemy = MakeEnemy(0.8f, 0.0f);  // the companion touches it from the left
    CollisionSystem::GetInstance()->CheckCollisions();
    ASSERT_EQ(CollisionSystem::GetInstance()->GetCollisionSide(enemy), 4);
    auto movement = Enemy(enemy);
    const struct { float multiplier; float push; bool knocked; } cases[] = {
        {1.9f, 0.0f, false}, {2.0f, 2.25f, true}, {2.99f, 2.25f, true},
        {3.0f, 3.0f, true},  {3.99f, 3.0f, true}, {4.0f, 0.0f, true},
    };
    SetTime(10.0);
    for (const auto& c : cases) {
        movement->knocked_back = false;
        movement->can_turn = true;
        movement->state = ENEMY_WALKING;
        movement->hit_time = 10.0f;
        movement->debuff_multiplier = c.multiplier;
        Body(enemy)->velocity = Vec2();
        movement->Update();
        EXPECT_FLOAT_EQ(Body(enemy)->velocity.x, c.push) << c.multiplier;
        EXPECT_EQ(movement->knocked_back, c.knocked) << c.multiplier;
        if (c.knocked) {
            EXPECT_EQ(movement->state, ENEMY_IDLE) << c.multiplier;
            EXPECT_FALSE(movement->can_turn) << c.multiplier;
        }
    }
    // Still locked: a second hard hit does not push again.
    Body(enemy)->velocity = Vec2();
    movement->debuff_multiplier = 2.0f;
    movement->Update();
    EXPECT_FLOAT_EQ(Body(enemy)->velocity.x, 0.0f);
    // From the other side the push is the other way; a purifiable enemy is never pushed.
    movement->knocked_back = false;
    TransformOf(enemy)->position.x = -0.8f;  // the box follows in the collision pass
    CollisionSystem::GetInstance()->CheckCollisions();
    ASSERT_EQ(CollisionSystem::GetInstance()->GetCollisionSide(enemy), 3);
    movement->Update();
    EXPECT_FLOAT_EQ(Body(enemy)->velocity.x, -2.25f);
    movement->knocked_back = false;
    movement->is_purifiable = true;
    Body(enemy)->velocity = Vec2();
    movement->Update();
    EXPECT_FALSE(movement->knocked_back);
}

TEST_F(EnemyTest, BecomesPurifiableAtThirtyPercentOfItsMaximum)
{
    for (const auto& [max, above, at] : {std::tuple{10, 4, 3}, std::tuple{7, 3, 2}}) {
        StatsValues values;
        values.hp = max;
        Entity* enemy = MakeEnemy(0.0f, 0.0f, values);
        auto movement = Enemy(enemy);
        movement->state = ENEMY_DOWN;
        StatsOf(enemy)->hp = above;
        movement->Update();
        EXPECT_FALSE(movement->purifiable_now) << max;
        StatsOf(enemy)->hp = at;
        movement->Update();
        EXPECT_TRUE(movement->purifiable_now) << max;
    }
}

// An enemy already in contact and attacking the companion; no Sprite, so its animation counts as done.
class EnemyAttackTest : public OrvTest::GameplayTest {
protected:
    void Arrange(const StatsValues& enemy_values, const StatsValues& dora_values)
    {
        dora = MakeCompanion(0.0f, 0.0f, dora_values);
        enemy = MakeEnemy(0.8f, 0.0f, enemy_values);
        movement = Enemy(enemy);
        Attack(5.0);
    }
    void Attack(double at)
    {
        movement->target = dora->id;
        movement->state = ENEMY_ATTACKING;
        SetTime(at);
        movement->Update();
    }
    Entity* dora = nullptr;
    Entity* enemy = nullptr;
    std::shared_ptr<EnemyMovement> movement;
};

TEST_F(EnemyAttackTest, DamageIsAtLeastOneAndHitPointsStopAtZero)
{
    LoadShippedPrefabs({"NumberPrefab"});
    StatsValues weak;
    weak.attack = 1.0f;
    StatsValues sturdy;
    sturdy.hp = 2;
    sturdy.defense = 5.0f;
    Arrange(weak, sturdy);
    EXPECT_EQ(StatsOf(dora)->hp, 1);
    EXPECT_TRUE(Ai(dora)->was_hit);
    EXPECT_FLOAT_EQ(Ai(dora)->hit_time, 5.0f);
    ASSERT_EQ(DigitEntities().size(), 1u);
    EXPECT_EQ(DigitEntities()[0]->GetComponent<Sprite>(SPRITE)->tex_identifier, "UI_Num_1");

    Attack(8.0);
    EXPECT_EQ(StatsOf(dora)->hp, 0);
    EXPECT_EQ(movement->target, 0u) << "a killed target is dropped";
    EXPECT_FALSE(movement->engaged);
    EXPECT_EQ(movement->state, ENEMY_IDLE);
}

TEST_F(EnemyAttackTest, ModifiersCountOnlyAtFullHealth)
{
    StatsValues strong;
    strong.attack = 5.0f;
    strong.att_modifier = 10.0f;
    StatsValues dora_values;
    dora_values.hp = 100;
    dora_values.defense = 0.0f;
    Arrange(strong, dora_values);
    EXPECT_EQ(StatsOf(dora)->hp, 85) << "full health: 5 + 1 x 10";
    StatsOf(enemy)->hp = 9;
    Attack(8.0);
    EXPECT_EQ(StatsOf(dora)->hp, 80) << "9 of 10: the modifier is ignored";
    StatsOf(enemy)->hp = -5;
    Attack(11.0);
    EXPECT_EQ(StatsOf(dora)->hp, 75) << "negative hit points give no bonus";
}

TEST_F(EnemyTest, ZeroMaximumWalksAtBaseSpeed)
{
    Entity* player = MakePlayer(4.0f, 0.0f);
    StatsValues values;
    values.hp = 0;  // cached as the maximum
    values.speed_attack = 2.0f;
    values.def_modifier = 100.0f;
    Entity* enemy = MakeEnemy(0.0f, 0.0f, values);
    auto movement = Enemy(enemy);
    ASSERT_EQ(movement->max_hp, 0u);
    StatsOf(enemy)->hp = 10;
    movement->target = player->id;
    movement->state = ENEMY_WALKING;
    movement->Update();
    EXPECT_NEAR(Body(enemy)->velocity.x, 2.0f, 0.01f) << "the modifier term is 0, not a division by zero";
    EXPECT_NEAR(Body(enemy)->velocity.y, 0.0f, 1e-6f);
}

// Feet boxes sit at different depths below their Transforms: aimed Transform to Transform, an
// enemy beside Ilo's box walked into the bottom wall both boxes stood on, and stuck there.
TEST_F(EnemyTest, WalksFromItsBoxTowardsTheTargetsBoxNotBetweenTransforms)
{
    Entity* player = MakePlayer(4.0f, 0.6f);
    auto player_box = player->GetComponent<BoxCollider>(BOXCOLLIDER);
    player_box->SetPosition(Vec2(4.0f, 0.0f));
    player_box->UpdateBounds();
    StatsValues values;
    values.speed_attack = 2.0f;
    Entity* enemy = MakeEnemy(0.0f, 0.0f, values);
    auto movement = Enemy(enemy);
    movement->target = player->id;
    movement->state = ENEMY_WALKING;
    movement->Update();
    EXPECT_NEAR(Body(enemy)->velocity.x, 2.0f, 0.01f);
    EXPECT_NEAR(Body(enemy)->velocity.y, 0.0f, 1e-6f) << "boxes level: the walk is level";

    // Dora's box 1.0 below her Transform, the enemy's at its Transform.
    Entity* dora = MakeCompanion(-4.0f, -3.0f, values);
    Place(dora, -4.0f, -2.0f);
    auto dora_box = dora->GetComponent<BoxCollider>(BOXCOLLIDER);
    dora_box->SetPosition(Vec2(-4.0f, -3.0f));
    dora_box->UpdateBounds();
    auto ai = Ai(dora);
    ai->Update();
    ai->Update();
    ASSERT_EQ(ai->state, COMPANION_WALKING);
    const Vec2 v = Body(dora)->velocity;
    EXPECT_NEAR(v.y / v.x, 3.0f / 4.0f, 1e-4f) << "Dora aims box to box too";
}

TEST_F(EnemyTest, DebuffPeriodIsSharedByAllEnemies)
{
    Entity* a = MakeEnemy(0.0f, 0.0f);
    Entity* b = MakeEnemy(3.0f, 0.0f);
    for (Entity* e : {a, b}) {
        Enemy(e)->debuff_timer = 1.0f;
        Enemy(e)->current_debuff = DEBUFF_ATTACK;
        Enemy(e)->state = ENEMY_DOWN;
    }
    SetTime(0.0);
    Enemy(a)->Update();
    SetTime(1.5);
    Enemy(a)->Update();
    Enemy(b)->Update();
    EXPECT_EQ(Enemy(a)->current_debuff, DEBUFF_NONE);
    EXPECT_EQ(Enemy(b)->current_debuff, DEBUFF_ATTACK) << "the period restarted for everyone at 1.5";
    SetTime(2.6);
    Enemy(b)->Update();
    EXPECT_EQ(Enemy(b)->current_debuff, DEBUFF_NONE);
}

TEST_F(EnemyTest, StateTable)
{
    Entity* player = MakePlayer(5.0f, 0.0f);
    Entity* enemy = MakeEnemy(0.0f, 0.0f);
    auto movement = Enemy(enemy);
    auto sprite = AddSprite(enemy, 12);

    movement->state = ENEMY_APPEARING;
    sprite->current_frame = 5;
    movement->Update();
    EXPECT_EQ(movement->state, ENEMY_APPEARING);
    sprite->current_frame = 12;
    movement->Update();
    EXPECT_EQ(movement->state, ENEMY_IDLE) << "appear animation finished";

    movement->target = player->id;
    SetTime(10.0);
    movement->Update();
    EXPECT_EQ(movement->state, ENEMY_WALKING);
    movement->Update();
    EXPECT_GT(Body(enemy)->velocity.x, 0.0f) << "walks toward the player";

    Place(enemy, 4.2f, 0.0f);
    movement->Update();
    EXPECT_EQ(movement->state, ENEMY_ATTACKING);
    EXPECT_TRUE(movement->engaged);
    EXPECT_TRUE(movement->reached_target);
    EXPECT_EQ(Body(enemy)->velocity, Vec2());

    // Engaged and knocked back: no new attack from Idle, the contact is given up.
    movement->state = ENEMY_IDLE;
    movement->knocked_back = true;
    movement->Update();
    EXPECT_EQ(movement->state, ENEMY_IDLE);
    EXPECT_FALSE(movement->engaged);
    // Not engaged, still knocked back: an Idle enemy in contact attacks once the cooldown has passed.
    movement->Update();
    EXPECT_EQ(movement->state, ENEMY_ATTACKING);

    // The purification freezes everything but Down and Purified.
    movement->purifiable_now = true;
    IsPurifying = true;
    movement->state = ENEMY_WALKING;
    Body(enemy)->velocity = Vec2(1.0f, 1.0f);
    movement->Update();
    EXPECT_EQ(movement->state, ENEMY_IDLE);
    EXPECT_EQ(Body(enemy)->velocity, Vec2());
    movement->state = ENEMY_DOWN;
    movement->Update();
    EXPECT_EQ(movement->state, ENEMY_DOWN);
    IsPurifying = false;

    // The game stops: a walking enemy drops its target.
    movement->state = ENEMY_WALKING;
    movement->target = player->id;
    GameIsRunning = false;
    movement->Update();
    EXPECT_EQ(movement->target, 0u);
    EXPECT_EQ(movement->state, ENEMY_IDLE);
}

TEST_F(EnemyTest, HitsThePlayerOnlyOutsideTheHurtLock)
{
    Entity* player = MakePlayer(0.0f, 0.0f);
    Entity* enemy = MakeEnemy(0.8f, 0.0f);
    auto movement = Enemy(enemy);
    auto controller = Controller(player);
    controller->hurt_lock = true;
    movement->target = player->id;
    movement->state = ENEMY_ATTACKING;
    SetTime(5.0);
    movement->Update();
    EXPECT_FALSE(controller->hit);
    EXPECT_FLOAT_EQ(movement->last_attack_time, 5.0f) << "the cooldown restarts all the same";

    controller->hurt_lock = false;
    movement->state = ENEMY_ATTACKING;
    SetTime(8.0);
    movement->Update();
    EXPECT_TRUE(controller->hit);
    EXPECT_EQ(controller->attacker, enemy->id);
    EXPECT_FLOAT_EQ(controller->hurt_time, 8.0f);

    StatsOf(player)->hp = 0;
    movement->state = ENEMY_ATTACKING;
    SetTime(11.0);
    movement->Update();
    EXPECT_EQ(movement->target, 0u);
}

TEST_F(EnemyTest, TexturesFollowTheState)
{
    Entity* enemy = MakeEnemy(0.0f, 0.0f);
    auto movement = Enemy(enemy);
    auto sprite = AddSprite(enemy);
    movement->base_anim_speed = 0.1f;
    movement->attack_texture = "Anim_Melee_Enemy_Atk_Attack";
    movement->state = ENEMY_ATTACKING;
    sprite->current_frame = 7;
    movement->UpdateTexture();
    EXPECT_EQ(sprite->tex_identifier, "Anim_Melee_Enemy_Atk_Attack");
    EXPECT_EQ(sprite->current_frame, 1) << "a new texture restarts the animation";
    EXPECT_NEAR(sprite->spritesheet_speed, 0.05f, 1e-6f);
    EXPECT_TRUE(sprite->is_spritesheet);

    movement->state = ENEMY_DEBUFFED;
    movement->current_debuff = DEBUFF_DEFENCE;
    movement->UpdateTexture();
    EXPECT_EQ(sprite->tex_identifier, "Anim_Melee_Enemy_Defence_D_Damage");
    EXPECT_EQ(sprite->number_of_frames, 3);
    EXPECT_TRUE(sprite->play_once);

    sprite->current_frame = 2;
    movement->state = ENEMY_IDLE;  // no idle texture configured: the Sprite keeps its own
    movement->UpdateTexture();
    EXPECT_EQ(sprite->tex_identifier, "Anim_Melee_Enemy_Defence_D_Damage");
    EXPECT_EQ(sprite->current_frame, 2);

    for (int32_t bad : {7, -1}) {
        movement->state = bad;
        sprite->number_of_frames = 5;
        movement->UpdateTexture();
        EXPECT_EQ(sprite->number_of_frames, 5) << bad;
    }
}

TEST_F(EnemyTest, DamageNumbersShowEachDigitBesideTheTarget)
{
    LoadShippedPrefabs({"NumberPrefab"});
    Entity* target = MakeCompanion(2.0f, 1.0f);
    SpawnDamageNumber(0, target);
    EXPECT_TRUE(DigitEntities().empty());
    SpawnDamageNumber(47, target);
    auto digits = DigitEntities();
    ASSERT_EQ(digits.size(), 2u);
    EXPECT_EQ(digits[0]->GetComponent<Sprite>(SPRITE)->tex_identifier, "UI_Num_4");
    EXPECT_EQ(digits[1]->GetComponent<Sprite>(SPRITE)->tex_identifier, "UI_Num_7");
    EXPECT_NEAR(TransformOf(digits[1])->position.x - TransformOf(digits[0])->position.x, 0.1f, 1e-6f);
    EXPECT_FLOAT_EQ(TransformOf(digits[0])->position.x, 2.0f);
    EXPECT_TRUE(digits[0]->in_systems);
}

TEST_F(EnemyTest, TargetsDestroyedMidFightAreForgotten)
{
    Entity* player = MakePlayer(-3.0f, 0.0f);
    Entity* dora = MakeCompanion(0.0f, 0.0f);
    Entity* enemy = MakeEnemy(0.8f, 0.0f);
    auto movement = Enemy(enemy);
    movement->target = dora->id;
    movement->state = ENEMY_ATTACKING;
    const uint64_t player_id = player->id;
    Scene()->RemoveEntity(dora->id);
    movement->Update();
    EXPECT_EQ(movement->target, 0u);
    EXPECT_EQ(movement->state, ENEMY_IDLE);
    EXPECT_EQ(movement->GetCompanionTarget(), nullptr);

    Scene()->RemoveEntity(player_id);
    movement->ChooseTarget();
    movement->Update();
    EXPECT_EQ(movement->target, 0u);
    EXPECT_EQ(movement->GetPlayerTarget(), nullptr);
}

TEST_F(EnemyTest, CloneStartsWithoutTargetsAndCachesItsOwnStats)
{
    Entity* dora = MakeCompanion(0.0f, 0.0f);
    Entity* enemy = MakeEnemy(1.0f, 0.0f);
    Enemy(enemy)->target = dora->id;
    Entity* copy = EntityFactory::GetInstance()->CreateEntity("Copy");
    StatsValues values;
    values.hp = 40;
    AddStats(copy, values);
    auto cloned = std::static_pointer_cast<EnemyMovement>(Enemy(enemy)->Clone());
    EXPECT_EQ(cloned->target, 0u);
    EXPECT_EQ(cloned->stats, nullptr);
    EXPECT_EQ(cloned->companion_target, dora->id) << "the copy finds its own targets";
    copy->AddComponent(ENEMYMOVEMENT, cloned);
    EXPECT_EQ(cloned->max_hp, 40u);
    EntityFactory::GetInstance()->DestroyEntity(copy);
}

TEST_F(EnemyTest, SavedFieldsRoundTrip)
{
    EnemyMovement source;
    source.range = 1.5f;
    source.cooldown = 3.0f;
    source.idle_texture = "Anim_Melee_Enemy_Atk_Idle";
    source.appear_texture = "Anim_Melee_Enemy_Atk_Appear";
    source.is_purifiable = true;
    source.debuff_timer = 4.0f;
    source.debuff_multiplier = 2.5f;
    EnemyMovement read;
    OrvTest::RoundTrip(source, read);
    EXPECT_FLOAT_EQ(read.range, 1.5f);
    EXPECT_FLOAT_EQ(read.cooldown, 3.0f);
    EXPECT_EQ(read.idle_texture, source.idle_texture);
    EXPECT_EQ(read.appear_texture, source.appear_texture);
    EXPECT_TRUE(read.is_purifiable);
    EXPECT_FLOAT_EQ(read.debuff_timer, 4.0f);
    EXPECT_FLOAT_EQ(read.debuff_multiplier, 2.5f);
    EXPECT_EQ(read.state, ENEMY_APPEARING);
}

} // namespace
