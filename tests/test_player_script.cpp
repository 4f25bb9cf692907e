// The player's script in a scene built in code with a fixed frame time: damage left pending by an
// enemy's attack, terrain damage, healing from a purified enemy, the hurt flash and death.
#include "GameplayFixture.h"

#include "Audio/AudioSystem.h"
#include "Components/Child.h"
#include "Components/Parent.h"
#include "Scripts/Player/PlayerScript.h"
#include "Scripts/ScriptHelpers.h"

#include <cstdlib>

using namespace OrvEngine;

namespace {

class PlayerScriptTest : public OrvTest::GameplayTest {
protected:
    void SetUp() override
    {
        GameplayTest::SetUp();
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        LoadShippedPrefabs({"NumberPrefab", "Healing_VFX"});
        player = MakeActor("Player", TAG_PLAYER, 0.0f, 2.5f);
        AddStats(player, {20, 1.0f, 5.0f, 1.0f});
        sprite = AddSprite(player);
        player->AddComponent(PARENT, std::make_shared<Parent>());
        controller = AddController(player);
        Join(player);
        SetTime(10.0, kDt);
        script.Init(player);
    }

    // One frame of the player's script at the next fixed time step.
    void Frame()
    {
        SetTime(OrvCoreEngine->total + kDt, kDt);
        script.Update(player);
    }

    // An enemy's attack landing now, as the enemy movement reports it.
    void HitBy(Entity* enemy)
    {
        controller->hurt_time = TotalTime();
        controller->SetHit(true);
        controller->attacker = enemy->id;
    }

    int Hp() const { return StatsOf(player)->hp; }

    std::vector<std::string> DigitTextures() const
    {
        std::vector<std::string> textures;
        for (Entity* digit : DigitEntities()) textures.push_back(digit->GetComponent<Sprite>(SPRITE)->tex_identifier);
        return textures;
    }

    static constexpr float kDt = 0.125f;
    Entity* player = nullptr;
    std::shared_ptr<Sprite> sprite;
    std::shared_ptr<PlayerController> controller;
    PlayerScript script;
};

TEST_F(PlayerScriptTest, PendingDamageFollowsTheAttackersHealthAndIsShownAsDigits)
{
    Entity* enemy = MakeEnemy(1.0f, 2.5f, {10, 1.0f, 3.0f, 0.0f, 2.0f}, "Atk_Enemy");
    EXPECT_EQ(controller->hurt_lock_time, 2.0f);
    EXPECT_EQ(controller->reach, Vec2(0.4f, 0.6f));

    HitBy(enemy);
    Frame();
    EXPECT_EQ(Hp(), 16) << "unhurt attacker: 1 x 2.0 + 3.0 - 1.0";
    EXPECT_EQ(DigitTextures(), std::vector<std::string>{"UI_Num_4"});
    EXPECT_EQ(controller->attacker, 0u);
    EXPECT_FLOAT_EQ(TransformOf(player)->position.z, 97.5f) << "depth by height";

    HitBy(enemy);
    Frame();
    EXPECT_EQ(Hp(), 16) << "a hit while invulnerable";
    EXPECT_EQ(DigitEntities().size(), 1u);
    EXPECT_TRUE(sprite->is_tinted) << "the hurt flash";
    EXPECT_EQ(sprite->tint_color.y, 0.0f);
    for (int frame = 0; frame < 24 && controller->hurt_lock; ++frame) Frame();
    Frame();
    EXPECT_FALSE(controller->hurt_lock);
    EXPECT_FALSE(sprite->is_tinted) << "the flash ends with the invulnerability";

    StatsOf(enemy)->hp = 9;
    HitBy(enemy);
    Frame();
    EXPECT_EQ(Hp(), 14) << "a hurt attacker loses its modifier";
}

TEST_F(PlayerScriptTest, OddAttackersDealAtLeastOneAndNeverPushHpBelowZero)
{
    struct Case {
        const char* what;
        OrvTest::StatsValues attacker;
        uint64_t starting_hp;
        int32_t player_hp, expected;
    };
    const Case cases[] = {
        {"an attack below the defence", {10, 1.0f, 0.5f, 0.0f, 0.0f}, 10, 20, 19},
        {"no starting hp adds no modifier", {10, 1.0f, 3.0f, 0.0f, 5.0f}, 0, 20, 18},
        {"negative hp adds no modifier", {-5, 1.0f, 3.0f, 0.0f, 5.0f}, 10, 20, 18},
        {"never below 0", {10, 1.0f, 9.0f, 0.0f, 0.0f}, 10, 3, 0},
    };
    for (const Case& c : cases) {
        Entity* enemy = MakeEnemy(1.0f, 2.5f, c.attacker, "Atk_Enemy");
        Enemy(enemy)->max_hp = c.starting_hp;
        StatsOf(player)->hp = c.player_hp;
        controller->hurt_lock = false;
        HitBy(enemy);
        Frame();
        EXPECT_EQ(Hp(), c.expected) << c.what;
        DestroyEntity(enemy);
    }

    // The attacker is gone before the player's update: nothing is applied, nothing dangles.
    controller->hurt_lock = false;
    StatsOf(player)->hp = 20;
    Entity* enemy = MakeEnemy(1.0f, 2.5f, {10, 1.0f, 9.0f, 0.0f}, "Atk_Enemy");
    HitBy(enemy);
    DestroyEntity(enemy);
    Frame();
    EXPECT_EQ(Hp(), 20);
}

TEST_F(PlayerScriptTest, TerrainTakesTwoOnceAndPurifiedEnemiesHealBothUpToTheirStart)
{
    Entity* dora = MakeCompanion(-1.0f, 2.0f, {30});
    dora->AddComponent(PARENT, std::make_shared<Parent>());
    Entity* spikes = OrvTest::MakeTransformEntity("Spikes", Vec3(0.0f, 2.5f, 1.0f), Vec3(1.0f, 1.0f, 1.0f), TAG_TERRAIN_DAMAGE);
    Scene()->AddEntity(spikes->id, spikes);
    Frame();
    script.OnCollision(player, spikes);
    EXPECT_EQ(Hp(), 18);
    EXPECT_EQ(DigitTextures(), std::vector<std::string>{"UI_Num_2"});
    Frame();
    script.OnCollision(player, spikes);
    EXPECT_EQ(Hp(), 18) << "still invulnerable";

    Entity* enemy = MakeEnemy(2.0f, 2.5f, {10}, "Atk_Enemy");
    auto enemy_sprite = AddSprite(enemy, 12);
    Enemy(enemy)->state = ENEMY_PURIFIED;
    Enemy(enemy)->purification_delay = 10; // the heal the controller wrote
    StatsOf(dora)->hp = 25;
    enemy_sprite->current_frame = 11;
    script.OnCollision(player, enemy);
    EXPECT_EQ(Hp(), 18) << "the purified animation has not played out";
    enemy_sprite->current_frame = 12;
    script.OnCollision(player, enemy);
    EXPECT_EQ(Hp(), 20) << "capped at the hp it had at Init";
    EXPECT_EQ(StatsOf(dora)->hp, 30) << "capped at the companion's starting hp";

    int effects_shown = 0;
    for (const auto& [id, entity] : Scene()->GetEntities()) {
        if (entity->name.rfind("Healing_VFX", 0) != 0) continue;
        ++effects_shown;
        EXPECT_TRUE(entity->active);
        EXPECT_EQ(entity->GetComponent<Sprite>(SPRITE)->current_frame, 1);
        EXPECT_TRUE(entity->GetComponent<Child>(CHILD)->GetParent()) << "it follows its character";
    }
    EXPECT_EQ(effects_shown, 2);
}

TEST_F(PlayerScriptTest, DeathAsksForTheLoseSceneEveryFrameButPlaysItsSoundOnce)
{
    const std::string sound = (Root() / "Resources" / "Sounds" / "SFX_I_Death.ogg").string();
    OrvTest::fs::create_directories(Root() / "Resources" / "Sounds");
    ASSERT_EQ(std::system(("sox -n -r 22050 -c 1 " + sound + " synth 0.2 sine 440 2>/dev/null").c_str()), 0);
    AudioSystem* audio_system = AudioSystem::GetInstance();
    audio_system->EventsFilenameMap["SFX_I_Death"] = "SFX_I_Death.ogg";
    auto audio = std::make_shared<Audio>();
    AudioSystem::GetInstance()->AddSound(*audio, "SFX_I_Death", false, true);
    player->AddComponent(AUDIO, audio);

    Frame();
    EXPECT_TRUE(OrvStateMachine->next_state.empty());
    StatsOf(player)->hp = 0;
    const int32_t plays = audio_system->next_channel_id;
    Frame();
    EXPECT_EQ(OrvStateMachine->next_state, "GameScene_03");
    EXPECT_EQ(audio_system->next_channel_id, plays + 1);
    OrvStateMachine->next_state.clear();
    Frame();
    EXPECT_EQ(OrvStateMachine->next_state, "GameScene_03") << "the request repeats";
    EXPECT_EQ(audio_system->next_channel_id, plays + 1) << "the sound does not";
}

} // namespace
