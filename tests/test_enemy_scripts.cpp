// The enemy scripts: debuffs by spell kind and level, icons and bar beside the enemy, the level
// manager's counts, collection by the player and removal with everything attached.
#include "ScriptedLevelFixture.h"

#include "Components/Child.h"
#include "Components/Parent.h"
#include "Factory/EntityFactory.h"
#include "Logic/SpellKind.h"
#include "Scripts/Enemies/EnemyScript.h"

using namespace OrvEngine;
using OrvTest::ScriptOf;
using OrvTest::StatsValues;

namespace {

class EnemyScriptTest : public OrvTest::ScriptedLevelTest {
protected:
    void SetUp() override
    {
        ScriptedLevelTest::SetUp();
        LoadShippedPrefabs({"ATK_Debuff_UI", "DEF_Debuff_UI", "SPD_Debuff_UI", "EnemyHP1_TestPrefab", "UI_Enemy_Low_HP",
                     "Debuff_VFX"});
    }

    // An enemy as the prefabs make it, built in code: standing (no physics runs), never appearing.
    static Entity* MakeScriptedEnemy(const std::string& name, const std::string& script, float x, float y,
                                     const StatsValues& values = {})
    {
        Entity* enemy = MakeActor(name, TAG_ENEMY, x, y);
        AddStats(enemy, values);
        AddSprite(enemy, 12);
        auto movement = std::make_shared<EnemyMovement>();
        movement->state = ENEMY_IDLE;
        enemy->AddComponent(ENEMYMOVEMENT, movement);
        enemy->AddComponent(PARENT, std::make_shared<Parent>());
        Script(enemy, script);
        return enemy;
    }

    static void Cast(Entity* enemy, int32_t kind, int times = 1)
    {
        for (int i = 0; i < times; ++i) Touch(enemy, MakeSpell(kind));
    }

    static Entity* Made(uint64_t id) { return FindLiveEntity(id); }
    static Vec3 PositionOf(uint64_t id) { return TransformOf(Made(id))->position; }
    static std::string TextureOf(uint64_t id) { return Made(id)->GetComponent<Sprite>(SPRITE)->GetTexIdentifier(); }
};

TEST_F(EnemyScriptTest, DebuffLevelsLowerTheStatsStackAndRunOutAfterTenSecondsOfPlay)
{
    MakePlayer(-20.0f, 0.0f);
    StatsValues values;
    values.speed_attack = 3.0f;
    values.attack = 7.0f;
    values.defense = 7.0f;
    Entity* enemy = MakeScriptedEnemy("Atk_Test", "EnemyScript", 0.0f, 0.0f, values);
    auto* script = ScriptOf<EnemyScript>(enemy);
    auto stats = StatsOf(enemy);
    auto movement = Enemy(enemy);
    Step();

    const float attack_by_level[] = {5.0f, 4.0f, 1.0f};
    const float speed_by_level[] = {2.1f, 1.5f, 0.3f};
    for (int level = 1; level <= 3; ++level) {
        Cast(enemy, SPELL_ATTACK);
        Cast(enemy, SPELL_DEFENCE);
        Cast(enemy, SPELL_SPEED);
        Step();
        EXPECT_FLOAT_EQ(stats->attack, attack_by_level[level - 1]) << level;
        EXPECT_FLOAT_EQ(stats->defense, attack_by_level[level - 1]) << level;
        EXPECT_FLOAT_EQ(stats->speed_attack, speed_by_level[level - 1]) << "no ceiling for speed, level " << level;
        EXPECT_EQ(TextureOf(script->debuffs.attack.icon), "ATK_Debuff_Lv" + std::to_string(level));
        EXPECT_EQ(TextureOf(script->debuffs.speed.icon), "SPD_Debuff_Lv" + std::to_string(level));
    }
    EXPECT_FLOAT_EQ(movement->debuff_multiplier, 3.0f);
    EXPECT_EQ(movement->debuff_flags.count(), 3u);
    for (const Debuff* debuff : {&script->debuffs.attack, &script->debuffs.defence, &script->debuffs.speed}) {
        EXPECT_TRUE(Made(debuff->icon)->active);
    }

    // A spell counts once: the first contact consumes it.
    Entity* spell = MakeSpell(SPELL_ATTACK);
    Touch(enemy, spell);
    EXPECT_TRUE(spell->GetComponent<Spells>(SPELLS)->consumed);
    EXPECT_EQ(spell->GetComponent<Spells>(SPELLS)->state, SPELL_HIT);
    const float attack_timer = script->debuffs.attack.timer;
    Touch(enemy, spell);
    EXPECT_FLOAT_EQ(script->debuffs.attack.timer, attack_timer);

    // 5.2 s on, a fourth attack spell keeps level 3 and restarts only the attack timer.
    Step(260);
    Cast(enemy, SPELL_ATTACK);
    EXPECT_EQ(script->debuffs.attack.level, 3);
    EXPECT_FLOAT_EQ(stats->attack, 1.0f);
    EXPECT_FLOAT_EQ(script->debuffs.attack.timer, 0.0f);
    // A dialogue freezes every timer.
    DialogueIsRunning = true;
    Step(300);
    DialogueIsRunning = false;
    EXPECT_EQ(script->debuffs.defence.level, 3);
    // 10.2 s of play after their last hit, defence and speed run out in one step; attack holds.
    Step(250);
    EXPECT_EQ(script->debuffs.defence.level, 0);
    EXPECT_EQ(script->debuffs.speed.level, 0);
    EXPECT_FLOAT_EQ(stats->defense, 7.0f);
    EXPECT_FLOAT_EQ(stats->speed_attack, 3.0f);
    EXPECT_FLOAT_EQ(movement->debuff_multiplier, 0.0f);
    EXPECT_FALSE(Made(script->debuffs.defence.icon)->active);
    EXPECT_FALSE(Made(script->debuffs.speed.icon)->active);
    EXPECT_TRUE(Made(script->debuffs.attack.icon)->active);
    EXPECT_EQ(movement->debuff_flags.to_ulong(), 0b010u);
    Step(260);
    EXPECT_FLOAT_EQ(stats->attack, 7.0f);
    EXPECT_EQ(movement->debuff_flags.to_ulong(), 0u);
}

TEST_F(EnemyScriptTest, SpellsBeforeTheFirstFrameOnDownedOrUntaggedTargetsAreSafe)
{
    StatsValues values;
    values.speed_attack = 3.0f;
    Entity* fresh = MakeScriptedEnemy("Atk_Fresh", "EnemyScript", 0.0f, 0.0f, values);
    // No icon exists before the first update: the debuff still takes, and no icon is made for it.
    Cast(fresh, SPELL_SPEED);
    EXPECT_FLOAT_EQ(StatsOf(fresh)->speed_attack, 2.1f);
    EXPECT_EQ(ScriptOf<EnemyScript>(fresh)->debuffs.speed.icon, 0u);

    Entity* downed = MakeScriptedEnemy("Atk_Down", "EnemyScript", 3.0f, 0.0f);
    Enemy(downed)->state = ENEMY_DOWN;
    Entity* untagged = MakeScriptedEnemy("Atk_Prop", "EnemyScript", 6.0f, 0.0f);
    untagged->GetComponent<Information>(INFORMATION)->SetType(TAG_OTHERS);
    for (Entity* target : {downed, untagged}) {
        Entity* spell = MakeSpell(SPELL_ATTACK);
        Touch(target, spell);
        EXPECT_TRUE(spell->GetComponent<Spells>(SPELLS)->consumed) << target->name;
        EXPECT_FLOAT_EQ(StatsOf(target)->attack, 5.0f) << target->name;
        EXPECT_EQ(ScriptOf<EnemyScript>(target)->debuffs.attack.level, 0) << target->name;
    }
    EXPECT_EQ(Enemy(downed)->state, ENEMY_DOWN);
    EXPECT_EQ(Enemy(untagged)->state, ENEMY_IDLE);

    // A purified enemy leaves the spell for someone else.
    Enemy(fresh)->state = ENEMY_PURIFIED;
    Entity* spell = MakeSpell(SPELL_ATTACK);
    Touch(fresh, spell);
    EXPECT_FALSE(spell->GetComponent<Spells>(SPELLS)->consumed);
}

TEST_F(EnemyScriptTest, ASpellOnlyDebuffsWhileABlowFlashesTheEnemyAndCriesOutOncePerHurt)
{
    for (int n = 1; n <= 4; ++n) ShipSound("SFX_AE_Hurt" + std::to_string(n), "SFX_AE_Hurt" + std::to_string(n) + ".ogg");
    MakePlayer(-20.0f, 0.0f);
    Entity* enemy = MakeScriptedEnemy("Atk_Lit", "EnemyScript", 0.0f, 0.0f);
    auto audio = std::make_shared<Audio>();
    for (int n = 1; n <= 4; ++n) AudioSystem::GetInstance()->AddSound(*audio, "SFX_AE_Hurt" + std::to_string(n), false, true);
    enemy->AddComponent(AUDIO, audio);
    auto sounding = [&audio] {
        return std::count_if(audio->sounds.begin(), audio->sounds.end(), [](const SoundEntry& e) { return e.is_playing; });
    };
    auto hush = [&audio] {
        for (SoundEntry& entry : audio->sounds) entry.is_playing = false;
    };
    auto sprite = enemy->GetComponent<Sprite>(SPRITE);
    auto movement = Enemy(enemy);
    Step();

    // A spell deals no blow: the debuff and its hit animation, nothing else.
    Cast(enemy, SPELL_DEFENCE);
    EXPECT_EQ(ScriptOf<EnemyScript>(enemy)->debuffs.defence.level, 1);
    EXPECT_EQ(movement->state, ENEMY_DEBUFFED);
    for (int frame = 0; frame < 3; ++frame) {
        Step();
        EXPECT_FALSE(movement->was_hit);
        EXPECT_FALSE(sprite->is_tinted) << "no hurt flash, frame " << frame;
        EXPECT_EQ(sounding(), 0) << "no hurt sound, frame " << frame;
    }

    // A blow: red while hurt, one of its cries once per hurt period.
    for (int blow = 0; blow < 2; ++blow) {
        movement->was_hit = true;
        movement->hit_time = TotalTime();
        Step();
        EXPECT_TRUE(sprite->is_tinted) << "blow " << blow;
        EXPECT_EQ(sprite->GetTintColor().GetG(), 0.0f);
        EXPECT_EQ(sprite->GetTintColor().GetB(), 0.0f);
        EXPECT_EQ(sounding(), 1) << "blow " << blow;
        hush();
        Step(10);
        EXPECT_EQ(sounding(), 0) << "not again while the same hurt lasts";
        Step(static_cast<int>(1.0f / kFrame));
        EXPECT_FALSE(movement->was_hit);
        EXPECT_FALSE(sprite->is_tinted) << "blow " << blow;
    }
}

TEST_F(EnemyScriptTest, BarAndIconsAreMadeOnceAndLaidOutByTheFirstLetterAndFacing)
{
    MakePlayer(0.0f, -8.0f);
    MakeCompanion(0.0f, 0.0f);
    // Each enemy faces the companion it walks to: those on the right face -x.
    Entity* defence = MakeScriptedEnemy("Def_A", "DefenseEnemyScript", 5.0f, 1.0f);
    Entity* attack = MakeScriptedEnemy("Atk_A", "EnemyScript", -5.0f, 1.0f);
    Entity* speedy = MakeScriptedEnemy("Spd_A", "EnemyScript", 6.0f, 2.0f);
    Entity* tutorial = MakeScriptedEnemy("Enemy_T1", "EnemyScript", -10.0f, 1.0f);
    Entity* unnamed = MakeScriptedEnemy("", "EnemyScript", 10.0f, 1.0f);
    const size_t before = Scene()->GetEntities().size();
    OrvTest::StdoutCapture console;
    Step(4);
    EXPECT_EQ(Scene()->GetEntities().size(), before + 20) << "a bar and three icons per enemy, made once";
    const std::string printed = console.Take();
    const size_t first = printed.find("Invalid entity pointer");
    EXPECT_NE(first, std::string::npos) << "the unnamed enemy's bar names no entity";
    EXPECT_EQ(printed.find("Invalid entity pointer", first + 1), std::string::npos)
        << "every other bar is set up with its enemy named";

    // Any other first letter (or none) leaves them where their prefabs made them.
    const auto made_at = [](const char* prefab) {
        return TransformOf(EntityFactory::GetInstance()->GetArchetypes().at(prefab))->position;
    };
    struct Expected {
        Entity* enemy;
        bool placed;
        Vec3 bar, attack_icon, speed_icon;
    };
    const Expected cases[] = {
        {defence, true, {0.0f, 0.1f, 0.0f}, {0.35f, -0.1f, 1.0f}, {0.35f, -0.8f, 1.0f}},
        {attack, true, {0.0f, -0.1f, 0.0f}, {-0.35f, -0.3f, 0.0f}, {-0.35f, -1.0f, 100.0f}},
        {speedy, true, {0.0f, -0.1f, 0.0f}, {0.35f, -0.3f, 0.0f}, {0.35f, -1.0f, 100.0f}},
        {tutorial, false, made_at("EnemyHP1_TestPrefab"), made_at("ATK_Debuff_UI"), made_at("SPD_Debuff_UI")},
        {unnamed, false, made_at("EnemyHP1_TestPrefab"), made_at("ATK_Debuff_UI"), made_at("SPD_Debuff_UI")},
    };
    for (const Expected& c : cases) {
        auto* script = ScriptOf<EnemyScript>(c.enemy);
        // Standing enemies: placed from this frame's position and depth.
        const Vec3 at = c.placed ? TransformOf(c.enemy)->position : Vec3();
        const auto check = [&](uint64_t id, const Vec3& offset, const char* what) {
            const Vec3 p = PositionOf(id);
            EXPECT_NEAR(p.x, at.x + offset.x, 1e-4f) << c.enemy->name << " " << what;
            EXPECT_NEAR(p.y, at.y + offset.y, 1e-4f) << c.enemy->name << " " << what;
            EXPECT_NEAR(p.z, at.z + offset.z, 1e-3f) << c.enemy->name << " " << what;
        };
        check(script->hp_bar, c.bar, "bar");
        check(script->debuffs.attack.icon, c.attack_icon, "attack icon");
        check(script->debuffs.speed.icon, c.speed_icon, "speed icon");
        EXPECT_TRUE(Made(script->hp_bar)->active);
        EXPECT_FALSE(Made(script->debuffs.attack.icon)->active);
        EXPECT_EQ(Made(script->hp_bar)->GetComponent<Child>(CHILD)->GetParent(), c.enemy->GetComponent<Parent>(PARENT));
    }
    // The bar shows its own enemy's hit points against those it had when the bar was made.
    auto bar = Made(ScriptOf<EnemyScript>(attack)->hp_bar)->GetComponent<Sprite>(SPRITE);
    EXPECT_EQ(bar->GetEntName(), "Atk_A");
    EXPECT_TRUE(bar->GetIsSlider());
    EXPECT_FLOAT_EQ(bar->bar.maximum_value, 10.0f);
    EXPECT_FLOAT_EQ(TransformOf(defence)->position.z, 99.0f) << "drawn by height";

    // The depth is taken first: the bar is placed at the depth of this frame.
    TransformOf(attack)->position.y = 2.0f;
    Step();
    EXPECT_FLOAT_EQ(TransformOf(attack)->position.z, 98.0f);
    EXPECT_FLOAT_EQ(PositionOf(ScriptOf<EnemyScript>(attack)->hp_bar).y, 1.9f);
    EXPECT_FLOAT_EQ(PositionOf(ScriptOf<EnemyScript>(attack)->hp_bar).z, 98.0f);
}

// The bar shares its enemy's depth: drawn over it only while it takes that depth in the frame the
// enemy takes it, as the sprite order keeps equal depths as they were.
TEST_F(EnemyScriptTest, ABarIsDrawnOverItsEnemyOnEveryFrameStandingWalkingDownAndStandingAgain)
{
    Entity* enemy = MakeScriptedEnemy("Atk_W", "EnemyScript", 0.0f, 0.0f);
    auto* script = ScriptOf<EnemyScript>(enemy);
    std::vector<int> under;
    for (int frame = 0; frame < 60; ++frame) {
        // Down the screen from frame 20 to 40: its depth grows each frame.
        if (frame >= 20 && frame < 40) TransformOf(enemy)->position.y -= 0.05f;
        Step();
        SpriteSystem::GetInstance()->Update();
        ASSERT_TRUE(Made(script->hp_bar) && Made(script->hp_bar)->active);
        if (OrvTest::DrawPlace(Made(script->hp_bar)) < OrvTest::DrawPlace(enemy)) under.push_back(frame);
    }
    EXPECT_TRUE(under.empty()) << "drawn under its enemy on " << under.size() << " frames, the first "
                               << (under.empty() ? -1 : under.front());
}

TEST_F(EnemyScriptTest, TheLevelManagerCountsEveryKindAndPurifiableEnemiesOnScreen)
{
    LevelManagerScript* manager = MakeLevelManager();
    Entity* player = MakePlayer(0.0f, -20.0f);
    Entity* attack = MakeScriptedEnemy("Atk_C", "EnemyScript", 2.0f, 0.0f);
    MakeScriptedEnemy("Def_C", "DefenseEnemyScript", 3.0f, 0.0f);
    Entity* speed = MakeScriptedEnemy("Spd_C", "SpeedEnemyScript", -3.0f, 0.0f);
    Step();
    EXPECT_EQ(manager->enemy_count, 3);

    StatsOf(attack)->hp = 3;  // 30% of 10: purifiable
    Step(2);
    auto* script = ScriptOf<EnemyScript>(attack);
    EXPECT_EQ(manager->purifiable_on_screen, 1);
    EXPECT_FALSE(Made(script->hp_bar)->active) << "a purifiable enemy shows no bar";
    ASSERT_TRUE(Made(script->debuffs.low_hp_marker));
    EXPECT_FLOAT_EQ(PositionOf(script->debuffs.low_hp_marker).y, -0.6f);

    // Off screen and back: one count at most.
    Place(player, 20.0f, -20.0f);
    Step();
    EXPECT_EQ(manager->purifiable_on_screen, 0);
    Place(player, 0.0f, -20.0f);
    Step(3);
    EXPECT_EQ(manager->purifiable_on_screen, 1);

    Scene()->RemoveEntity(attack->id);
    EXPECT_EQ(manager->purifiable_on_screen, 0);
    EXPECT_EQ(manager->enemy_count, 2);
    Scene()->RemoveEntity(speed->id);
    EXPECT_EQ(manager->enemy_count, 1);
}

TEST_F(EnemyScriptTest, APurifiedEnemyIsCollectedAfterItsAnimationAndLeavesWithItsChildren)
{
    LevelManagerScript* manager = MakeLevelManager();
    Entity* player = MakePlayer(0.0f, 0.0f);
    Entity* dora = MakeCompanion(-3.0f, 0.0f);
    for (const char* kind : {"EnemyScript", "SpeedEnemyScript"}) {
        SCOPED_TRACE(kind);
        Entity* enemy = MakeScriptedEnemy(std::string("X_") + kind, kind, 1.0f, 0.0f);
        Step();
        auto* script = ScriptOf<EnemyScript>(enemy);
        // A help icon parked on the enemy, and a child whose sibling index leaves a gap.
        Entity* help = OrvTest::MakeTransformEntity("VavuHelp", Vec3(), Vec3(1.0f, 1.0f, 1.0f), TAG_OTHERS);
        Scene()->AddEntity(help->id, help);
        help->AddComponent(CHILD, std::make_shared<Child>());
        Join(help);
        help->GetComponent<Child>(CHILD)->SetParent(enemy->GetComponent<Parent>(PARENT));
        Made(script->hp_bar)->GetComponent<Child>(CHILD)->sibling_index = 40;
        const std::vector<uint64_t> attached = {script->hp_bar, script->debuffs.attack.icon, script->debuffs.defence.icon,
                                                script->debuffs.speed.icon};

        Enemy(enemy)->state = ENEMY_PURIFIED;
        auto sprite = enemy->GetComponent<Sprite>(SPRITE);
        sprite->number_of_frames = 12;  // the purified animation's length
        sprite->current_frame = 11;
        Touch(player, enemy);
        EXPECT_TRUE(enemy->active) << "the purified animation is still playing";
        sprite->current_frame = 12;
        Touch(player, enemy);
        EXPECT_FALSE(enemy->active);
        EXPECT_FALSE(enemy->GetComponent<Information>(INFORMATION)->IsActive());
        for (uint64_t id : attached) EXPECT_FALSE(Made(id)->active);
        EXPECT_FALSE(help->active);

        Ai(dora)->target = enemy->id;
        const uint64_t enemy_id = enemy->id, help_id = help->id;
        Step();
        EXPECT_FALSE(Live(enemy_id));
        for (uint64_t id : attached) EXPECT_FALSE(Live(id));
        EXPECT_EQ(Ai(dora)->target, 0u) << "the companion looks for a new target";
        EXPECT_EQ(manager->enemy_count, 0);
        if (std::string(kind) == "EnemyScript") {
            ASSERT_TRUE(Live(help_id)) << "the help icon stays, detached";
            EXPECT_FALSE(help->GetComponent<Child>(CHILD)->GetParent());
            Scene()->RemoveEntity(help_id);
        } else {
            EXPECT_FALSE(Live(help_id)) << "the speed enemy takes every child with it";
        }
    }
}

TEST_F(EnemyScriptTest, ADownEnemyIsRemovedOnceItsAnimationIsAtOrPastItsLastFrame)
{
    MakePlayer(-20.0f, 0.0f);
    Entity* enemy = MakeScriptedEnemy("Atk_D", "EnemyScript", 0.0f, 0.0f);
    Step();
    StatsOf(enemy)->hp = 0;
    Step();
    ASSERT_EQ(Enemy(enemy)->state, ENEMY_DOWN);
    const uint64_t id = enemy->id;
    auto sprite = enemy->GetComponent<Sprite>(SPRITE);
    sprite->current_frame = sprite->number_of_frames - 1;
    Step();
    ASSERT_TRUE(Live(id));
    sprite->current_frame = sprite->number_of_frames + 3;
    Step();
    EXPECT_FALSE(Live(id));
}

} // namespace
