// The heads-up display scripts and the level manager in a scene built in code: health bar colours
// at the band edges, the arrow keys' dimming, the purify icon and the on-screen test.
#include "GameplayFixture.h"

#include "CoreEngine/Message.h"
#include "Scripts/HUD/ArrowKeysUIScript.h"
#include "Scripts/HUD/IloHealthUIScript.h"
#include "Scripts/HUD/PuriIconAppear.h"
#include "Scripts/Level/LevelManagerScript.h"
#include "Scripts/ScriptHelpers.h"

using namespace OrvEngine;

namespace {

class HudScriptTest : public OrvTest::GameplayTest {
protected:
    void SetUp() override
    {
        GameplayTest::SetUp();
        SetTime(10.0, 0.125f);
    }

    static Entity* MakeHud(const std::string& name)
    {
        return MakeInScene(name, TAG_OTHERS, Vec3(), Vec3(1.0f, 1.0f, 1.0f), "", [](Entity* e) { AddSprite(e, 1); });
    }

    static std::string Colour(const Sprite& sprite)
    {
        const Color c = sprite.tint_color;
        if (c == Color(0.0f, 1.0f, 0.0f, 1.0f)) return "green";
        if (c == Color(1.0f, 1.0f, 0.0f, 1.0f)) return "yellow";
        if (c == Color(1.0f, 0.0f, 0.0f, 1.0f)) return "red";
        return "other";
    }
};

TEST_F(HudScriptTest, EachHealthBarTakesItsColourFromItsOwnCharactersHpAtTheBandEdges)
{
    Entity* player = MakePlayer(0.0f, 0.0f, {30});
    Entity* ilo_bar = MakeHud("UI_Ilo_Healthbar");
    Entity* dora_bar = MakeHud("UI_Vavu_Healthbar");
    IloHealthUIScript ilo;
    VavuHealthUIScript vavu;
    ilo.Init(ilo_bar);
    vavu.Init(dora_bar); // before Dora is there: she is taken once she arrives
    EXPECT_EQ(vavu.GetName(), "IloHealthUIScript");
    Entity* dora = MakeCompanion(1.0f, 0.0f, {8});
    vavu.Update(dora_bar); // her hp now is her bar's whole
    auto sprite = ilo_bar->GetComponent<Sprite>(SPRITE);
    auto dora_sprite = dora_bar->GetComponent<Sprite>(SPRITE);
    EXPECT_TRUE(sprite->is_tinted);
    auto show = [&](int32_t ilo_hp, int32_t dora_hp) {
        StatsOf(player)->hp = ilo_hp;
        StatsOf(dora)->hp = dora_hp;
        ilo.Update(ilo_bar);
        vavu.Update(dora_bar);
    };

    // Ilo at 60 % with Dora at 88 %, then Ilo whole with Dora at 65 % and at 12 %.
    show(18, 7);
    EXPECT_EQ(Colour(*sprite), "yellow");
    EXPECT_EQ(Colour(*dora_sprite), "green") << "Dora's bar shows Dora";
    show(30, 5);
    EXPECT_EQ(Colour(*sprite), "green");
    EXPECT_EQ(Colour(*dora_sprite), "yellow");
    show(30, 1);
    EXPECT_EQ(Colour(*dora_sprite), "red");

    const std::pair<int32_t, const char*> steps[] = {{30, "green"}, {21, "green"}, {20, "yellow"}, {15, "yellow"},
                                                     {14, "red"},   {3, "red"},     {2, "red"},     {0, "red"},
                                                     {22, "green"}, {20, "yellow"}, {2, "yellow"}};
    for (const auto& [hp, colour] : steps) {
        show(hp, 8);
        EXPECT_EQ(Colour(*sprite), colour) << "hp " << hp;
    }

    // A player that started at 0 hp: every bound is 0, so 0 is green and anything lower keeps it.
    StatsOf(player)->hp = 0;
    IloHealthUIScript empty;
    Entity* bar = MakeHud("UI_Empty_Healthbar");
    empty.Init(bar);
    StatsOf(player)->hp = -3;
    empty.Update(bar);
    EXPECT_EQ(Colour(*bar->GetComponent<Sprite>(SPRITE)), "green");
}

TEST_F(HudScriptTest, ArrowKeysDimOnTheirOwnFreshPressForAQuarterSecond)
{
    std::map<std::string, Entity*> keys;
    std::map<std::string, ArrowKeysUIScript> scripts;
    for (const char* name : {"ArrowKeysUI_Up", "ArrowKeysUI_Left", "ArrowKeysUI_Right"}) {
        keys[name] = MakeHud(name);
        scripts[name].Init(keys[name]);
    }
    auto dimmed = [&](const char* name) { return keys[name]->GetComponent<Sprite>(SPRITE)->is_tinted; };
    auto deliver = [&](KeyMessage message) {
        for (auto& [name, script] : scripts) script.HandleMessage(keys[name], &message);
    };

    KeyMessage both;
    both.key = 39;
    both.counts = {{37, 1}, {39, 1}};
    deliver(both);
    EXPECT_TRUE(dimmed("ArrowKeysUI_Left"));
    EXPECT_FALSE(dimmed("ArrowKeysUI_Right")) << "left pressed in the same frame hides right";

    KeyMessage held;
    held.key = 38;
    held.counts = {{38, 2}};
    deliver(held);
    EXPECT_FALSE(dimmed("ArrowKeysUI_Up")) << "a held key does not dim";

    SetTime(10.2, 0.125f);
    scripts["ArrowKeysUI_Left"].Update(keys["ArrowKeysUI_Left"]);
    EXPECT_TRUE(dimmed("ArrowKeysUI_Left"));
    SetTime(10.25, 0.125f);
    scripts["ArrowKeysUI_Left"].Update(keys["ArrowKeysUI_Left"]);
    EXPECT_FALSE(dimmed("ArrowKeysUI_Left"));
    EXPECT_EQ(keys["ArrowKeysUI_Left"]->GetComponent<Sprite>(SPRITE)->tint_color, Color(1.0f, 1.0f, 1.0f, 1.0f));
}

TEST_F(HudScriptTest, PurifyIconShowsCooldownReadyOrNothingAndTheManagerRetriesItsLookups)
{
    Entity* manager_entity = OrvTest::MakeTransformEntity("LevelManager", Vec3(), Vec3(), TAG_GAME_MANAGER);
    Scene()->AddEntity(manager_entity->id, manager_entity);
    auto manager = std::make_shared<LevelManagerScript>();
    ScriptSystem::GetInstance()->scripts[manager_entity->id] = manager;
    Entity* icon = MakeHud("UI_PurifyIcon");
    auto sprite = icon->GetComponent<Sprite>(SPRITE);
    PuriIconAppear script;
    script.Init(icon);

    manager->Update(manager_entity);
    EXPECT_FALSE(manager->IsOnScreen(0.0f)) << "no player or camera yet";
    Entity* player = MakePlayer(0.0f, 0.0f);
    script.Update(icon);
    EXPECT_EQ(sprite->tint_color.w, 0.0f) << "no purifiable enemy on screen";
    EXPECT_EQ(sprite->tex_identifier, "");

    manager->purifiable_on_screen = 1;
    script.Update(icon);
    EXPECT_EQ(sprite->tint_color.w, 1.0f);
    EXPECT_EQ(sprite->tex_identifier, "UI_PurifySkill");
    Controller(player)->purification.cooldown = true;
    script.Update(icon);
    EXPECT_EQ(sprite->tex_identifier, "UI_PurifySkill_CD");
    Controller(player)->purification.cooldown = false;
    manager->purifiable_on_screen = 0;
    script.Update(icon);
    EXPECT_EQ(sprite->tint_color.w, 0.0f);
    EXPECT_EQ(sprite->tex_identifier, "UI_PurifySkill_CD") << "hidden, keeping its last picture";

    manager->Update(manager_entity);
    EXPECT_FALSE(manager->IsOnScreen(0.0f)) << "still no camera";
    Entity* cam = OrvTest::MakeTransformEntity("Cam", Vec3(), Vec3(10.0f, 9.0f, 1.0f), TAG_OTHERS);
    Scene()->AddEntity(cam->id, cam);
    manager->Update(manager_entity);
    for (float x : {4.67f, -4.67f, 0.0f}) EXPECT_TRUE(manager->IsOnScreen(x)) << x;
    for (float x : {4.68f, -4.68f}) EXPECT_FALSE(manager->IsOnScreen(x)) << x;
    TransformOf(player)->position.x = 10.0f;
    EXPECT_TRUE(manager->IsOnScreen(14.67f)) << "the view is around the player";
    EXPECT_FALSE(manager->IsOnScreen(4.67f));
}

} // namespace
