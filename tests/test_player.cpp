// The player controller, its spells, the purification mini-game and the debug keys, in a scene
// built in code with a fixed frame time. Frames run as the player script runs them (Update,
// CastSpell, facing and depth, UpdateAnimation), then each spell's Update.
#include "TestSupport.h"

#include "Components/Audio.h"
#include "Components/BoxCollider.h"
#include "Components/Camera.h"
#include "Components/Child.h"
#include "Components/Parent.h"
#include "Components/RigidBody2D.h"
#include "Components/Sprite.h"
#include "Components/Stats.h"
#include "Components/Text.h"
#include "Factory/Entity.h"
#include "Factory/Information.h"
#include "Logic/AIMovement.h"
#include "Logic/BossBehaviour.h"
#include "Logic/EnemyMovement.h"
#include "Logic/GameplayRules.h"
#include "Logic/PlayerController.h"
#include "Logic/Spells.h"

#include <rapidjson/document.h>

#include <cstdlib>
#include <limits>

using namespace OrvEngine;

namespace {

constexpr float kDt = 0.125f;  // exact in binary, so times add up exactly
constexpr uint64_t kShift = 16, kSpace = 32, kLeft = 37, kUp = 38, kRight = 39, kDown = 40;

int destroyed_spells = 0;
struct CountingSpellScript : BaseScript {
    void OnDestroy(Entity*) override { ++destroyed_spells; }
};

class PlayerTest : public OrvTest::EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        OrvTest::RegisterCoreComponents();
        RegisterComponent<PlayerController>("PlayerController", PLAYERCONTROLLER);
        RegisterComponent<Spells>("Spells", SPELLS);
        RegisterComponent<Stats>("Stats", STATS);
        RegisterComponent<Sprite>("Sprite", SPRITE);
        RegisterComponent<RigidBody2D>("RigidBody2D", RIGIDBODY2D);
        RegisterComponent<BoxCollider>("BoxCollider", BOXCOLLIDER);
        RegisterComponent<Audio>("Audio", AUDIO);
        RegisterComponent<Text>("Text", TEXT);
        OrvTest::MakeCoreEngine();
        OrvCoreEngine->dt = kDt;
        OrvCoreEngine->total = 10.0;
        new SceneStateMachine();
        scene = OrvStateMachine->current_scene = SceneStateMachine::MakeGameScene();
        Logging::GetInstance();
        destroyed_spells = 0;
        for (std::string prefab : {"IloSpeedSpell", "IloAttackSpell", "IloDefenceSpell", "Puri_BlackBg"}) {
            const std::string file = "Prefab/" + prefab + ".json";
            WriteData(file, OrvTest::ReadFile(OrvTest::SourceDir() / "Resources/Data" / file));
            EXPECT_TRUE(EntityFactory::GetInstance()->LoadPrefab(prefab)) << prefab;
        }
        player = Live("Player", Vec3(0.0f, 0.0f, 100.0f), TAG_PLAYER);
        player->AddComponent(RIGIDBODY2D, std::make_shared<RigidBody2D>());
        auto stats = std::make_shared<Stats>();
        stats->hp = 50;
        stats->speed_attack = 2.0f;
        player->AddComponent(STATS, stats);
        player->AddComponent(SPRITE, std::make_shared<Sprite>());
        auto audio = std::make_shared<Audio>();
        AudioSystem* sounds = AudioSystem::GetInstance();
        for (std::string event : {"SFX_Puri_RightKey", "SFX_Puri_RightCombi", "SFX_Puri_Wrong"}) sounds->AddSound(*audio, event, false, true);
        for (int n = 1; n <= 6; ++n) sounds->AddSound(*audio, "SFX_I_Footstep" + std::to_string(n), false, true);
        player->AddComponent(AUDIO, audio);
        pc = std::make_shared<PlayerController>();
        pc->up_key = 'w';
        pc->down_key = 'S';
        pc->left_key = 'a';
        pc->right_key = 'D';
        pc->idle_texture = "Anim_Ilo_Idle";
        pc->walking_texture = "Anim_Ilo_Walk";
        pc->hurt_texture = "Anim_Ilo_Hurt";
        pc->puri_texture = "Anim_Ilo_Purify";
        pc->reach = Vec2(0.4f, 0.6f);
        player->AddComponent(PLAYERCONTROLLER, pc);
        Enter(player);
    }

    // The controller goes with its entity, while the factory still exists.
    void TearDown() override
    {
        pc.reset();
        EngineTest::TearDown();
    }

    Entity* Live(const std::string& name, Vec3 position, uint32_t tag, int32_t hp = -1)
    {
        Entity* entity = OrvTest::MakeTransformEntity(name, position, Vec3(1.0f, 1.0f, 1.0f), tag);
        if (hp >= 0) {
            entity->AddComponent(STATS, std::make_shared<Stats>());
            entity->GetComponent<Stats>(STATS)->hp = hp;
        }
        return entity;
    }

    Entity* Enter(Entity* entity)
    {
        scene->AddEntity(entity->id, entity);
        EntityFactory::GetInstance()->AddEntityToSystems(entity);
        return entity;
    }

    // An enemy ready to be purified: a quarter of its max_hp left.
    Entity* MakeEnemy(Vec3 position, int32_t max_hp = 20)
    {
        Entity* entity = Live("Enemy", position, TAG_ENEMY, max_hp / 4);
        auto enemy = std::make_shared<EnemyMovement>();
        entity->AddComponent(ENEMYMOVEMENT, enemy);
        enemy->max_hp = static_cast<uint64_t>(max_hp);
        enemy->state = ENEMY_IDLE;
        enemy->purifiable_now = true;
        return Enter(entity);
    }

    Entity* MakeCam(float width = 8.0f)
    {
        Entity* entity = Live("Cam", Vec3(), TAG_NONE);
        entity->GetComponent<Transform>(TRANSFORM)->scale = Vec3(width, 6.0f, 1.0f);
        entity->AddComponent(CAMERA, std::make_shared<Camera>());
        auto camera = Enter(entity)->GetComponent<Camera>(CAMERA);
        camera->view_width = static_cast<uint64_t>(width);
        ActiveCamera = camera.get();
        return entity;
    }

    // Key messages as the input translation builds them: the key, its count, 0 on release.
    void Down(uint64_t code)
    {
        keys.key = code;
        ++keys.counts[code];
        pc->HandleMessage(&keys);
    }
    void Up(uint64_t code)
    {
        keys.key = code;
        keys.counts[code] = 0;
        pc->HandleMessage(&keys);
    }
    void Tap(uint64_t code)
    {
        Down(code);
        Up(code);
    }

    void Frame(int count = 1)
    {
        for (int i = 0; i < count; ++i) {
            pc->Update();
            pc->CastSpell();
            auto transform = Xf(player);
            transform->scale = pc->base_scale;
            if (pc->facing == 0) transform->scale.x = -transform->scale.x;
            transform->position.z = 100.0f - transform->position.y;
            pc->UpdateAnimation();
            for (uint64_t id : std::set<uint64_t>(pc->spells)) {
                if (Entity* spell = EntityFactory::GetInstance()->GetLiveEntity(id)) spell->GetComponent<Spells>(SPELLS)->Update();
            }
            OrvCoreEngine->total += kDt;
        }
    }

    // Selects a kind and plays the cast up to the frame that releases the spell.
    Entity* Cast(uint64_t arrow)
    {
        Tap(arrow);
        Frame();
        PlayerSprite()->current_frame = 9;
        Frame();
        return pc->spells.empty() ? nullptr : EntityFactory::GetInstance()->GetLiveEntity(*pc->spells.rbegin());
    }

    static std::shared_ptr<Transform> Xf(Entity* e) { return e->GetComponent<Transform>(TRANSFORM); }
    static int32_t Hp(Entity* e) { return e->GetComponent<Stats>(STATS)->hp; }
    float Now() const { return OrvCoreEngine->GetTotalTime(); }
    std::shared_ptr<Sprite> PlayerSprite() const { return player->GetComponent<Sprite>(SPRITE); }
    Vec2 Velocity(Entity* e) const { return e->GetComponent<RigidBody2D>(RIGIDBODY2D)->velocity; }

    int Count(const std::string& part) const { return static_cast<int>(OrvTest::Occurrences(LogText(), part)); }
    // Each play of an event without a sound file leaves this line.
    int Plays(const std::string& event) const { return Count("[AudioSystem::Play] event '" + event + "' could not"); }

    // Seeds the generator so that the next combination dealt is `wanted`.
    static void SeedForCombo(const std::vector<int32_t>& wanted)
    {
        static const int32_t arrows[4] = {37, 39, 38, 40};
        for (uint32_t seed = 1;; ++seed) {
            Platform::SeedRandom(seed);
            std::vector<int32_t> drawn;
            for (int i = 0; i < 3; ++i) drawn.push_back(arrows[Platform::Random15() % 4]);
            if (drawn == wanted) return Platform::SeedRandom(seed);
        }
    }

    void TypeCombo()
    {
        for (int32_t key : std::vector<int32_t>(pc->purification.combo)) Tap(static_cast<uint64_t>(key));
    }

    std::shared_ptr<Sprite> IconSprite(size_t i) const
    {
        Entity* icon = EntityFactory::GetInstance()->GetLiveEntity(pc->purification.key_icons.at(i));
        return icon->GetComponent<Sprite>(SPRITE);
    }

    std::shared_ptr<IScene> scene;
    Entity* player = nullptr;
    std::shared_ptr<PlayerController> pc;
    KeyMessage keys;
};

// ---- Movement, selection, casting, hurt, animation ---------------------------------------------

TEST_F(PlayerTest, HeldKeysMoveUnnormalisedAndLeftMirrorsEvenWithRight)
{
    EXPECT_EQ(pc->up_key, 'W') << "lower-case bindings become upper case";
    auto arrows = std::make_shared<PlayerController>();
    arrows->left_key = 37;
    arrows->Init();
    EXPECT_EQ(arrows->left_key, 37);

    Down('A');
    Down('D');
    EXPECT_EQ(pc->state, PS_Walking);
    EXPECT_EQ(pc->facing, 1);
    EXPECT_EQ(Velocity(player), Vec2(0.0f, 0.0f));
    EXPECT_LT(Xf(player)->scale.x, 0.0f) << "left is held";
    Up('A');
    Down('W');
    EXPECT_EQ(Velocity(player), Vec2(2.0f, 2.0f));
    Up('W');
    Up('D');
    EXPECT_EQ(pc->state, PS_Idle);
    EXPECT_EQ(Velocity(player), Vec2());

    Down('D');
    DialogueIsRunning = true;
    Up('D');
    EXPECT_EQ(pc->state, PS_Walking) << "messages during a dialogue change nothing";
    EXPECT_EQ(Velocity(player), Vec2(2.0f, 0.0f));
}

TEST_F(PlayerTest, FootstepsNeverRepeatAndWaitForTheirTimer)
{
    Platform::SeedRandom(7);
    uint64_t previous = 0;
    for (int i = 0; i < 40; ++i) {
        pc->footstep_timer = 0.0f;
        Down('D');
        ASSERT_TRUE(pc->last_footstep >= 1 && pc->last_footstep <= 6);
        ASSERT_NE(pc->last_footstep, previous) << "step " << i;
        previous = pc->last_footstep;
    }
    int played = 0;
    for (int n = 1; n <= 6; ++n) played += Plays("SFX_I_Footstep" + std::to_string(n));
    EXPECT_EQ(played, 40);
    Down('D');
    EXPECT_EQ(pc->last_footstep, previous) << "the 0.5 s pause holds the next step back";
}

TEST_F(PlayerTest, ArrowSelectsOnItsOwnPressAndTheCastReleasesOneSpell)
{
    Down(kUp);
    Down(kLeft);  // up is still held: only this message's own key selects
    Up(kLeft);    // a release selects nothing
    EXPECT_EQ(pc->selected_spell, 3);
    Up(kUp);
    Tap(kUp);
    const float start = Now();
    Frame();
    EXPECT_EQ(pc->state, PS_Cast);
    auto sprite = PlayerSprite();
    EXPECT_EQ(sprite->tex_identifier, "Anim_Ilo_Attacking_Attack");
    EXPECT_EQ(sprite->current_frame, 1);
    EXPECT_EQ(sprite->number_of_frames, 16);
    EXPECT_TRUE(sprite->play_once);
    Tap(kRight);
    EXPECT_EQ(pc->selected_spell, 2) << "no selection during a cast";

    sprite->current_frame = 8;
    Frame();
    EXPECT_TRUE(pc->spells.empty());
    sprite->current_frame = 9;
    Frame();
    sprite->current_frame = 12;
    Frame();
    EXPECT_EQ(pc->spells.size(), 1u) << "one spell per cast, released at 16 - 7";
    sprite->current_frame = 16;
    Frame();
    EXPECT_EQ(pc->state, PS_Idle);
    Tap(kUp);
    EXPECT_EQ(pc->selected_spell, 0) << "the cooldown blocks selection";
    while (Now() < start + 1.0f) Frame();
    Frame();
    EXPECT_FALSE(pc->spell_cooldown);
}

TEST_F(PlayerTest, HurtPoseLastsHalfASecondThenInvulnerabilityTwo)
{
    pc->hurt_time = Now();
    pc->SetHit(true);
    player->GetComponent<RigidBody2D>(RIGIDBODY2D)->velocity = Vec2(1.0f, 1.0f);
    Frame();
    EXPECT_EQ(pc->state, PS_Hurt);
    EXPECT_TRUE(pc->hurt_lock);
    EXPECT_EQ(Velocity(player), Vec2());
    EXPECT_EQ(PlayerSprite()->tex_identifier, "Anim_Ilo_Hurt");
    Down('D');
    Frame(3);  // to 0.375 s after the attack
    EXPECT_EQ(pc->state, PS_Hurt) << "no movement while hurt";
    Frame();   // 0.5 s
    EXPECT_FALSE(pc->hit);
    EXPECT_EQ(pc->state, PS_Idle);
    const float ended = Now() - kDt;
    while (Now() < ended + 2.0f) {
        Frame();
        ASSERT_TRUE(pc->hurt_lock) << "at " << Now() - ended;
    }
    EXPECT_FALSE(pc->hit_pending);
    Frame();
    EXPECT_FALSE(pc->hurt_lock);
}

TEST_F(PlayerTest, AnimationTablePicksTextureAndPlayMode)
{
    auto sprite = PlayerSprite();
    pc->state = PS_Walking;
    pc->UpdateAnimation();
    EXPECT_EQ(sprite->tex_identifier, "Anim_Ilo_Walk");
    EXPECT_TRUE(sprite->is_spritesheet);
    EXPECT_FALSE(sprite->play_once);
    sprite->current_frame = 5;
    pc->UpdateAnimation();
    EXPECT_EQ(sprite->current_frame, 5) << "the same texture keeps its frame";

    sprite->is_spritesheet = false;
    pc->state = PS_Purifying;
    pc->UpdateAnimation();
    EXPECT_EQ(sprite->tex_identifier, "Anim_Ilo_Purify");
    EXPECT_EQ(sprite->current_frame, 1);
    EXPECT_FALSE(sprite->is_spritesheet) << "purifying leaves the sheet mode alone";
    pc->state = PS_Attack;  // no attack texture: the current one stays
    pc->UpdateAnimation();
    EXPECT_EQ(sprite->tex_identifier, "Anim_Ilo_Purify");
    EXPECT_TRUE(sprite->is_spritesheet);
}

TEST_F(PlayerTest, RangeIsMeasuredFromAboveThePlayer)
{
    Xf(player)->position = Vec3(1.0f, 2.0f, 98.0f);
    EXPECT_TRUE(pc->IsInRange(Vec2(1.39f, 2.7f)));
    EXPECT_FALSE(pc->IsInRange(Vec2(1.41f, 2.7f)));
    EXPECT_TRUE(pc->IsInRange(Vec2(0.61f, 3.29f)));
    EXPECT_FALSE(pc->IsInRange(Vec2(1.0f, 3.31f)));
    EXPECT_FALSE(pc->IsInRange(Vec2(1.0f, 2.0f))) << "0.7 below the reference height";
}

// ---- Spells ------------------------------------------------------------------------------------

TEST_F(PlayerTest, SpellCastLeftStartsBesideThePlayerMirroredAndFliesLeft)
{
    MakeCam(16.0f);
    Xf(player)->position = Vec3(1.0f, 1.0f, 99.0f);
    Tap('A');
    Entity* spell = Cast(kLeft);
    ASSERT_NE(spell, nullptr);
    EXPECT_EQ(scene->GetEntity(spell->id), spell);
    auto spells = spell->GetComponent<Spells>(SPELLS);
    EXPECT_EQ(spells->kind, 3);
    EXPECT_EQ(spells->GetCaster(), player);
    EXPECT_FLOAT_EQ(Xf(spell)->position.x, 0.8f);
    EXPECT_FLOAT_EQ(Xf(spell)->position.y, 0.4f);
    EXPECT_LT(Xf(spell)->scale.x, 0.0f);
    EXPECT_EQ(spell->GetComponent<BoxCollider>(BOXCOLLIDER)->GetPosition(), Xf(spell)->GetPosition2D())
        << "the box moves with the sprite";
    EXPECT_EQ(Velocity(spell), Vec2(-0.5f, 0.0f));
    EXPECT_EQ(Count("[AudioSystem::Play] event 'SFX_Spell_Def'"), 1);

    pc->spell_speed = 3.0f;
    Frame();
    EXPECT_EQ(Velocity(spell), Vec2(-1.5f, 0.0f)) << "spells in flight follow spell_speed";
    spells->direction = "Up";
    Frame();
    EXPECT_EQ(Velocity(spell), Vec2()) << "no known direction: stands still";
}

TEST_F(PlayerTest, SpellLeavesTheViewPastItsEdgeAndIsRemovedOnceById)
{
    ScriptSystem::GetInstance()->RegisterScript("SpellsScript", std::make_shared<ScriptType<CountingSpellScript>>("SpellsScript"));
    Entity* namesake = Enter(Live("IloSpeedSpell", Vec3(), TAG_RANGE_ATTACK));  // older, same name
    Entity* spell = Cast(kRight);
    ASSERT_NE(spell, nullptr);
    const uint64_t id = spell->id;
    auto spells = spell->GetComponent<Spells>(SPELLS);
    Xf(spell)->position.x = 50.0f;
    spells->Update();
    EXPECT_TRUE(pc->spell_removals.empty()) << "without an active camera there is no view test";

    Xf(MakeCam(8.0f))->position.x = 1.0f;
    Xf(spell)->position.x = 5.0f;  // exactly at the edge: c + 8 / 2
    spells->Update();
    EXPECT_TRUE(pc->spell_removals.empty());
    Xf(spell)->position.x = 5.01f;
    spells->Update();
    spells->Update();
    EXPECT_EQ(pc->spell_removals, std::vector<uint64_t>{id});
    pc->spell_removals.push_back(id);  // asked twice
    Frame();
    EXPECT_EQ(EntityFactory::GetInstance()->GetLiveEntity(id), nullptr);
    EXPECT_TRUE(pc->spells.empty());
    EXPECT_EQ(destroyed_spells, 1) << "OnDestroy runs once";
    EXPECT_EQ(scene->GetEntity(namesake->id), namesake);
    EXPECT_EQ(EntityFactory::GetInstance()->GetEntitiesByName().count("IloSpeedSpell"), 0u);
}

TEST_F(PlayerTest, HitSpellBlastsOnceAndAsksForRemovalAtFrameEight)
{
    Entity* spell = Cast(kUp);
    ASSERT_NE(spell, nullptr);
    const uint64_t id = spell->id;
    auto sprite = spell->GetComponent<Sprite>(SPRITE);
    const float speed = sprite->spritesheet_speed;
    spell->GetComponent<Spells>(SPELLS)->state = SPELL_HIT;
    Frame();
    EXPECT_EQ(sprite->tex_identifier, "Anim_ATK_Bullet_Blast");
    EXPECT_EQ(sprite->current_frame, 1);
    EXPECT_EQ(sprite->number_of_frames, 8);
    EXPECT_FLOAT_EQ(sprite->spritesheet_speed, speed - 0.02f);
    EXPECT_EQ(Velocity(spell), Vec2());
    sprite->current_frame = 7;
    Frame();
    EXPECT_TRUE(pc->spell_removals.empty());
    sprite->current_frame = 8;
    Frame();  // the controller runs first: this frame's request is served next frame
    EXPECT_NE(EntityFactory::GetInstance()->GetLiveEntity(id), nullptr);
    Frame();
    EXPECT_EQ(EntityFactory::GetInstance()->GetLiveEntity(id), nullptr);
    EXPECT_EQ(Plays("SFX_Debuffed"), 1) << "the blast sound plays once";
}

// ---- Purification -------------------------------------------------------------------------------

TEST_F(PlayerTest, TypingTheCombinationPurifiesWithItsSoundsEvenAtTheDeadline)
{
    MakeCam();
    Entity* enemy = MakeEnemy(Vec3(1.0f, 0.0f, 50.0f));
    auto movement = enemy->GetComponent<EnemyMovement>(ENEMYMOVEMENT);
    SeedForCombo({38, 40, 37});
    Tap(kSpace);
    ASSERT_TRUE(IsPurifying);
    EXPECT_EQ(pc->state, PS_Cast);
    EXPECT_TRUE(movement->purification_target);
    ASSERT_EQ(pc->purification.key_icons.size(), 3u);
    const char* dark[3] = {"UI_1", "UI_4", "UI_3"};
    for (size_t i = 0; i < 3; ++i) {
        const Vec3 at = Xf(EntityFactory::GetInstance()->GetLiveEntity(pc->purification.key_icons[i]))->position;
        EXPECT_EQ(Vec3(at.x, at.y, at.z), Vec3(-0.7f + 0.7f * static_cast<float>(i), 1.5f, 1000.0f));
        EXPECT_EQ(IconSprite(i)->tex_identifier, dark[i]);
    }
    Frame();
    EXPECT_EQ(pc->state, PS_Purifying);
    Entity* text = scene->FindEntityByName("PurificationTimerText");
    Entity* shade = scene->FindEntityByName("Puri_BlackBg");
    ASSERT_TRUE(text && shade);
    EXPECT_EQ(text->GetComponent<Text>(TEXT)->GetText(), "5.00s");
    EXPECT_FLOAT_EQ(Xf(enemy)->position.z, 50.0f + Xf(shade)->position.z) << "the target is lifted in front";

    Tap(kUp);
    Frame();
    EXPECT_EQ(IconSprite(0)->tex_identifier, "UI_Up_Arrow");
    Tap(kDown);
    Frame();
    EXPECT_EQ(IconSprite(1)->tex_identifier, "UI_Down_Arrow");
    EXPECT_EQ(Plays("SFX_Puri_RightKey"), 2);
    while (Now() < pc->purification.start_time + pc->purification.timer) Frame();
    Tap(kLeft);
    Frame();  // the last key arrives in the update that would time out
    EXPECT_EQ(Plays("SFX_Puri_RightCombi"), 1);
    EXPECT_EQ(Plays("SFX_Puri_Wrong"), 0);
    EXPECT_EQ(movement->state, ENEMY_PURIFIED);
    EXPECT_EQ(movement->purification_delay, 10);
    EXPECT_FALSE(IsPurifying);
    EXPECT_TRUE(pc->purification.cooldown);
    EXPECT_EQ(pc->state, PS_Idle);
    EXPECT_TRUE(pc->purification.key_icons.empty());
    EXPECT_FALSE(shade->active);
    EXPECT_FALSE(text->active);
    EXPECT_FLOAT_EQ(Xf(enemy)->position.z, 50.0f) << "the lift is undone exactly";
}

TEST_F(PlayerTest, OverlappingAndQueuedArrowsCountOncePerPress)
{
    MakeCam();
    MakeEnemy(Vec3(1.0f, 0.0f, 50.0f));
    SeedForCombo({38, 40, 37});
    Down(kSpace);  // Space stays held while the arrows are typed
    Down(kUp);
    Down(kDown);   // up still held
    Up(kUp);       // down still held
    EXPECT_TRUE(IsPurifying) << "a held Space does not cancel";
    EXPECT_EQ(pc->purification.combo_input, (std::vector<int32_t>{38, 40}));
    Up(kDown);
    Tap(kLeft);
    Frame();       // three keys before one update
    EXPECT_EQ(Plays("SFX_Puri_RightCombi"), 1);
}

TEST_F(PlayerTest, WrongArrowDealsANewCombinationWithoutResettingTheClock)
{
    MakeCam();
    MakeEnemy(Vec3(1.0f, 0.0f, 50.0f));
    SeedForCombo({38, 40, 37});
    Tap(kSpace);
    const float start = pc->purification.start_time;
    Frame();
    Tap(kUp);
    Tap(kRight);
    Frame();
    EXPECT_EQ(Plays("SFX_Puri_Wrong"), 1);
    ASSERT_EQ(pc->purification.key_icons.size(), 3u);
    for (size_t i = 0; i < 3; ++i) EXPECT_FALSE(IconSprite(i)->is_spritesheet) << "none of the new icons is lit";
    EXPECT_TRUE(pc->purification.combo_matched.empty());
    EXPECT_EQ(pc->purification.start_time, start);
}

TEST_F(PlayerTest, ChainPurifiesNearestFirstWithGrowingDelays)
{
    MakeCam();
    Entity* far = MakeEnemy(Vec3(2.0f, 0.5f, 50.0f));   // city-block 2.5
    Entity* near = MakeEnemy(Vec3(-1.0f, 0.0f, 50.0f)); // 1.0
    Down('D');
    Tap(kSpace);
    EXPECT_EQ(pc->purification.target, near->id);
    EXPECT_EQ(Velocity(player), Vec2()) << "a walking player stops for the purification";
    Frame();
    TypeCombo();
    Frame();
    EXPECT_EQ(near->GetComponent<EnemyMovement>(ENEMYMOVEMENT)->purification_delay, 10);
    EXPECT_EQ(pc->purification.target, far->id);
    TypeCombo();
    Frame();
    EXPECT_EQ(far->GetComponent<EnemyMovement>(ENEMYMOVEMENT)->purification_delay, 22);
    EXPECT_FALSE(IsPurifying);
    EXPECT_TRUE(pc->purification.cooldown);
}

TEST_F(PlayerTest, TimeOutRecoversLeftoversAndShowsNoNegativeTime)
{
    MakeCam();
    Entity* enemy = MakeEnemy(Vec3(1.0f, 0.0f, 50.0f));
    auto counted = std::make_shared<Parent>();
    counted->num_children = 2;  // counts a child that is not there: the mark is passed over
    enemy->AddComponent(PARENT, counted);
    Entity* boss = Live("Boss", Vec3(2.0f, 0.0f, 50.0f), TAG_BOSS, 0);
    auto behaviour = std::make_shared<BossBehaviour>();
    boss->AddComponent(BOSSBEHAVIOUR, behaviour);
    behaviour->state = BOSS_SPAWNING_ENEMIES;
    Enter(boss);
    pc->purification.timer = 4.9f;  // the time-out update comes 0.1 s late
    Tap(kSpace);
    EXPECT_TRUE(behaviour->defeated);
    EXPECT_EQ(behaviour->state, BOSS_IDLE);
    Entity* text = nullptr;
    while (IsPurifying) {
        Frame();
        if (!text) text = scene->FindEntityByName("PurificationTimerText");
    }
    EXPECT_EQ(text->GetComponent<Text>(TEXT)->GetText(), "0.00s");
    EXPECT_EQ(Plays("SFX_Puri_Wrong"), 1);
    EXPECT_TRUE(pc->purification.key_icons.empty());
    EXPECT_TRUE(pc->purification.targets.empty()) << "leftovers recover in the ending update";
    auto movement = enemy->GetComponent<EnemyMovement>(ENEMYMOVEMENT);
    EXPECT_EQ(Hp(enemy), 7) << "20 x 0.31 truncated, plus 1";
    EXPECT_EQ(movement->state, ENEMY_IDLE);
    EXPECT_FALSE(movement->purification_target || movement->purifiable_now);
    EXPECT_EQ(Hp(boss), 20);
    EXPECT_FALSE(behaviour->defeated);

    // Abandoning with Space marks the target's child at the parent's child count.
    Entity* next = MakeEnemy(Vec3(1.0f, 0.0f, 50.0f));
    auto parent = std::make_shared<Parent>();
    next->AddComponent(PARENT, parent);
    Entity* mark = Live("Mark", Vec3(), TAG_NONE);
    mark->AddComponent(SPRITE, std::make_shared<Sprite>());
    mark->AddComponent(CHILD, std::make_shared<Child>());
    Enter(mark)->GetComponent<Child>(CHILD)->SetParent(parent);
    while (pc->purification.cooldown) Frame();
    Tap(kSpace);
    ASSERT_EQ(pc->purification.target, next->id);
    Tap(kSpace);
    EXPECT_FALSE(IsPurifying);
    EXPECT_EQ(mark->GetComponent<Sprite>(SPRITE)->tex_identifier, "UIAnim_Purify_Enemy");
}

TEST_F(PlayerTest, SpaceAfterTheBossIsPurifiedLeavesItDown)
{
    MakeCam();
    Entity* boss = Live("Boss", Vec3(2.0f, 0.0f, 50.0f), TAG_BOSS, 0);
    auto behaviour = std::make_shared<BossBehaviour>();
    boss->AddComponent(BOSSBEHAVIOUR, behaviour);
    Enter(boss);
    Tap(kSpace);
    ASSERT_EQ(pc->purification.target, boss->id);
    Frame();
    TypeCombo();
    Frame();
    ASSERT_EQ(behaviour->state, BOSS_DOWN);
    ASSERT_FALSE(IsPurifying);
    // Its hp still reads 0 while its death plays: Space again, cooldown over or not.
    for (int i = 0; i < 200; ++i) {
        Frame();
        Tap(kSpace);
        EXPECT_FALSE(IsPurifying);
        EXPECT_EQ(behaviour->state, BOSS_DOWN);
    }
    EXPECT_EQ(Hp(boss), 0);
}

TEST_F(PlayerTest, CooldownAndWindowDecideWhetherSpaceStarts)
{
    Tap(kSpace);
    EXPECT_FALSE(IsPurifying) << "no Cam: nothing is collected";
    MakeCam(8.0f);
    const float edge = 8.0f * 0.5f - 0.33f;
    MakeEnemy(Vec3(edge + 0.01f, 0.0f, 50.0f));
    MakeEnemy(Vec3(1.0f, 0.0f, 50.0f))->GetComponent<EnemyMovement>(ENEMYMOVEMENT)->state = ENEMY_DOWN;
    pc->state = PS_Cast;
    Tap(kSpace);
    EXPECT_FALSE(IsPurifying);
    EXPECT_EQ(pc->state, PS_Idle);

    Entity* at_edge = MakeEnemy(Vec3(edge, 0.0f, 50.0f));
    Tap(kSpace);
    ASSERT_TRUE(IsPurifying);
    EXPECT_EQ(pc->purification.targets.size(), 1u);
    Frame();
    Tap(kSpace);  // abandon
    const float ended = Now();
    Frame();
    EXPECT_EQ(Hp(at_edge), 7) << "the abandoned target recovers";
    at_edge->GetComponent<EnemyMovement>(ENEMYMOVEMENT)->purifiable_now = true;
    while (Now() < ended + 5.0f) {
        Frame();
        Tap(kSpace);
        ASSERT_FALSE(IsPurifying) << "cooling down at " << Now() - ended;
    }
    Frame();
    Tap(kSpace);
    EXPECT_TRUE(IsPurifying);
}

TEST_F(PlayerTest, CloneStartsWithoutTheOriginalsIconsAndSceneFreeLeavesNoSprites)
{
    MakeCam();
    MakeEnemy(Vec3(1.0f, 0.0f, 50.0f));
    Cast(kUp);
    Tap(kSpace);
    Frame();
    ASSERT_EQ(pc->purification.key_icons.size(), 3u);
    auto copy = std::static_pointer_cast<PlayerController>(pc->Clone());
    EXPECT_TRUE(copy->purification.key_icons.empty() && copy->purification.targets.empty() && copy->spells.empty());
    copy.reset();
    for (uint64_t id : pc->purification.key_icons) EXPECT_NE(EntityFactory::GetInstance()->GetLiveEntity(id), nullptr);
    scene->Free();
    pc.reset();
    EXPECT_TRUE(SpriteSystem::GetInstance()->sprites.empty());
}

// ---- Debug keys ---------------------------------------------------------------------------------

TEST_F(PlayerTest, ShiftDebugKeysActAndLogOneLineEach)
{
    auto shift_tap = [this](uint64_t key) {
        Down(kShift);
        Tap(key);
        Up(kShift);
    };
    Tap('G');
    EXPECT_FALSE(pc->god_mode) << "no Shift, no cheat";
    shift_tap('G');
    shift_tap('G');
    EXPECT_FALSE(pc->GetGodMode());
    EXPECT_EQ(Count("God Mode Activated") + 10 * Count("God Mode Deactivated"), 11);
    shift_tap('H');
    EXPECT_EQ(Hp(player), 60);

    std::vector<Entity*> enemies;
    for (int i = 0; i < 3; ++i) enemies.push_back(MakeEnemy(Vec3(), 25));
    Entity* boss = Enter(Live("Boss", Vec3(), TAG_BOSS, 30));
    Entity* dora = Enter(Live("Dora", Vec3(), TAG_AI, 9));
    Entity* other = Enter(Live("Dora2", Vec3(), TAG_AI, 9));
    shift_tap('M');
    EXPECT_EQ(Hp(enemies[0]), 7) << "25 x 0.3 truncated";
    EXPECT_EQ(Hp(boss), 30);
    shift_tap('K');
    EXPECT_EQ(Hp(boss), 0);
    shift_tap('P');
    EXPECT_EQ(Hp(dora), 0);
    EXPECT_EQ(Hp(other), 9) << "only the companion with the lower id";
    shift_tap('2');
    EXPECT_EQ(pc->GetAggro(), 2.0f);
    shift_tap('0');
    shift_tap('L');
    EXPECT_EQ(Hp(player), 0);
    EXPECT_EQ(Count("HP cheat: +10HP"), 1);
    EXPECT_EQ(Count("Make all enemy hp 30%"), 3);
    EXPECT_EQ(Count("Kill all enemy cheat"), 4);
    EXPECT_EQ(Count("Kill ai cheat"), 1);
    EXPECT_EQ(Count("Set aggro to 2 cheat") + Count("Set aggro to 0 cheat"), 2);
    EXPECT_EQ(Count("Kill player cheat"), 1);

    pc->stats.reset();
    player->RemoveComponent(STATS);
    shift_tap('H');
    EXPECT_EQ(Count("HP cheat: +10HP"), 1) << "no Stats: nothing and no line";
}

// Hit points stay defined whatever the numbers: +10 at the int's end, and 30 % (or the 31 % a
// leftover recovers) of a maximum taken from a negative hp, from a file or kept with its sign.
TEST_F(PlayerTest, DebugKeysAndLeftoversKeepHpInRangeWhateverTheNumbers)
{
    auto shift_tap = [this](uint64_t key) {
        Down(kShift);
        Tap(key);
        Up(kShift);
    };
    pc->stats->hp = std::numeric_limits<int32_t>::max() - 5;
    shift_tap('H');
    EXPECT_EQ(Hp(player), std::numeric_limits<int32_t>::max());
    shift_tap('H');
    EXPECT_EQ(Hp(player), std::numeric_limits<int32_t>::max());

    Entity* from_file = Live("Atk_FromFile", Vec3(), TAG_ENEMY);
    rapidjson::Document file;
    file.Parse(R"([{"hp": -40, "attack": 3.0}])");
    auto read = std::make_shared<Stats>();
    read->Deserialize(file);
    from_file->AddComponent(STATS, read);
    auto reader = std::make_shared<EnemyMovement>();
    from_file->AddComponent(ENEMYMOVEMENT, reader);
    Enter(from_file);
    reader->Init();
    EXPECT_EQ(Hp(from_file), 0) << "a negative hp in a file reads as 0";
    EXPECT_EQ(reader->max_hp, 0u);

    MakeCam();
    Entity* kept = MakeEnemy(Vec3(1.0f, 0.0f, 50.0f));
    auto movement = kept->GetComponent<EnemyMovement>(ENEMYMOVEMENT);
    movement->max_hp = Gameplay::WidenHp(-40);
    shift_tap('M');
    EXPECT_EQ(Hp(from_file), 0);
    EXPECT_EQ(Hp(kept), 0);
    movement->purifiable_now = true;
    Tap(kSpace);
    ASSERT_TRUE(IsPurifying);
    ASSERT_EQ(pc->purification.target, kept->id);
    Tap(kSpace);
    Frame();
    EXPECT_EQ(Hp(kept), 1) << "0 % of nothing, plus 1";
}

} // namespace
