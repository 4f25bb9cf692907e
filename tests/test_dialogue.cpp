// The dialogue scripts: the story dialogues' line and speaker pairs, the picture dialogues, the
// dialogue box and its count table, the text tables themselves, and how their odd bytes draw.
#include "DialogueFixture.h"
#include "GLTestSupport.h"

#include "Components/Parent.h"
#include "Scripts/Dialogue/DialogueLineScripts.h"
#include "Scripts/Dialogue/DialogueScript.h"
#include "Scripts/Dialogue/DialogueTexts.h"

#include <algorithm>

using namespace OrvEngine;
using namespace OrvTest;

namespace {

// Takes another entity out of the systems from inside its own update, as a script may.
struct RemoverScript : BaseScript {
    explicit RemoverScript(uint64_t id) : victim(id) {}
    void Update(Entity*) override
    {
        Entity* entity = CurrentScene()->GetEntity(victim);
        if (entity) EntityFactory::GetInstance()->RemoveEntityFromSystems(entity);
    }
    uint64_t victim;
};

int Count(const std::string& text, const std::string& part)
{
    return static_cast<int>(OrvTest::Occurrences(text, part));
}

TEST_F(DialogueTest, ALineAndSpeakerPairStepOncePerFreshPressAfterTenFramesAndEndAfterTheirLastLine)
{
    Entity* box = MakeBox();
    struct Case {
        int dialogue;
        const char* line_script;
        const char* speaker_script;
        int lines;
    };
    for (const Case& c : {Case{3, "DialogueScript03", "DialogueScript03_N", 6},
                          Case{1, "DialogueScript01", "DialogueScript01_N", 7}}) {
        SCOPED_TRACE(c.line_script);
        const LineTable& lines = DialogueLines(c.dialogue);
        const LineTable& speakers = DialogueSpeakers(c.dialogue);
        SetEnter(0);
        const uint64_t line = MakeScripted("Line", TAG_OTHERS, c.line_script, true)->id;
        const uint64_t speaker = MakeScripted("Speaker", TAG_OTHERS, c.speaker_script, true)->id;
        EXPECT_TRUE(DialogueIsRunning);

        // Held from the start: nothing in the first ten frames, one step on the eleventh, shown the next.
        SetEnter(1);
        Frame(11);
        EXPECT_EQ(TextOf(Scene()->GetEntity(line)), lines[0]);
        EXPECT_EQ(TextOf(Scene()->GetEntity(speaker)), speakers[0]);
        Frame();
        EXPECT_EQ(TextOf(Scene()->GetEntity(line)), lines[1]);
        EXPECT_EQ(TextOf(Scene()->GetEntity(speaker)), speakers[1]);
        // The keyboard's repeat raises the count: no further steps while held.
        SetEnter(2);
        Frame(30);
        EXPECT_EQ(TextOf(Scene()->GetEntity(line)), lines[1]);
        // A press before the ten frames are up is not taken and does not restart the wait.
        SetEnter(0);
        Frame(20);
        SetEnter(1);
        Frame();
        SetEnter(0);
        Frame();
        EXPECT_EQ(TextOf(Scene()->GetEntity(line)), lines[2]);
        SetEnter(0);
        Frame(4);
        SetEnter(1);
        Frame();
        SetEnter(0);
        Frame(4);
        EXPECT_EQ(TextOf(Scene()->GetEntity(line)), lines[2]);
        SetEnter(1);
        Frame();
        int steps = 3;
        for (int guard = 0; IsLive(line) && guard < 20; ++guard) {
            SetEnter(0);
            Frame();
            if (!IsLive(line)) break;
            EXPECT_EQ(TextOf(Scene()->GetEntity(line)), lines[static_cast<size_t>(steps)]);
            EXPECT_EQ(TextOf(Scene()->GetEntity(speaker)), speakers[static_cast<size_t>(steps)]);
            Frame(8);
            SetEnter(1);
            Frame();
            ++steps;
        }
        // The press on the last line ends both in the next frame, without an empty line.
        EXPECT_EQ(steps, c.lines);
        EXPECT_FALSE(IsLive(line));
        EXPECT_FALSE(IsLive(speaker));
        EXPECT_FALSE(DialogueIsRunning);
        // The line script puts the box back first; the speaker, updated after it, lets it drop.
        auto sprite = SpriteOf(box);
        EXPECT_EQ(sprite->GetTexIdentifier(), "UISprAnim_DialogBox_Drop");
        EXPECT_EQ(sprite->GetStartFrame(), 1);
        EXPECT_TRUE(sprite->GetIsSpritesheet());
    }
}

TEST_F(DialogueTest, TheEpilogueEndsIntoTheFadeOutAndAPairTakenOutMidFrameIsDeletedOnce)
{
    WriteData("Prefab/T_FadeOut.json", EntityDocument({EntityMember("T_FadeOut")}));
    ASSERT_TRUE(EntityFactory::GetInstance()->LoadPrefab("T_FadeOut"));
    MakeBox();
    Entity* remover = MakeScripted("Remover", TAG_OTHERS, "");
    Entity* line = MakeScripted("Line", TAG_OTHERS, "DialogueScript04", true);
    MakeScripted("Speaker", TAG_OTHERS, "DialogueScript04_N", true);
    auto* line_script = ScriptOf<DialogueScript04>(line);
    ASSERT_NE(line_script, nullptr);
    EXPECT_EQ(line_script->line_count, 7);
    LineSequenceScript* speaker_script = ScriptOf<DialogueScript04_N>(Named("Speaker"));
    for (LineSequenceScript* script : {static_cast<LineSequenceScript*>(line_script), speaker_script}) {
        script->current_line = script->line_count + 1;
    }
    // An earlier script takes the line entity out of the systems in the frame the pair ends.
    ScriptSystem::GetInstance()->scripts[remover->id] = std::make_shared<RemoverScript>(line->id);
    Frame();
    EXPECT_EQ(Named("Line"), nullptr);
    EXPECT_EQ(Named("Speaker"), nullptr);
    EXPECT_NE(Named("T_FadeOut"), nullptr);
    EXPECT_EQ(Count(LogText(), "The entity 'Line' is deleted"), 1);
    EXPECT_FALSE(DialogueIsRunning);
}

TEST(PictureDialogueNames, CountAndBaseNameComeFromTheNameAndShortNamesHoldNone)
{
    struct Case {
        const char* name;
        bool read;
        int32_t count;
        const char* base;
    };
    const Case cases[] = {
        {"Story3NPic1_Cut", true, 3, "Story_Cut"},
        {"Story12NPic1_Cut", true, 12, "Story_Cut"},
        {"Story3NPic", true, 3, "Story"},  // nothing after the four characters
        {"Story3NPi", true, 3, "Story"},   // fewer than four: erased up to the end
        {"Story1N", true, 1, "Story"},
        {"Story12", false, -1, ""},        // seven characters, no 'N' at 6 and too short for 7
        {"Story3", false, -1, ""},
        {"Pic", false, -1, ""},
        {"", false, -1, ""},
        {"StoryXYZ_Cut", false, -1, ""},
    };
    for (const Case& c : cases) {
        int32_t count = -1;
        std::string base;
        EXPECT_EQ(ReadPictureCount(c.name, count, base), c.read) << c.name;
        EXPECT_EQ(count, c.count) << c.name;
        EXPECT_EQ(base, c.base) << c.name;
    }
}

TEST_F(DialogueTest, APictureDialogueShowsItsPicturesOnePerPressAndHoldsTheAttackSpeedsMeanwhile)
{
    auto player_stats = AddStats(MakeActor("Player", TAG_PLAYER, 0.0f, 0.0f, false), {10, 1.5f});
    auto dora_stats = AddStats(MakeActor("Dora", TAG_AI, 1.0f, 0.0f, false), {10, 2.0f});
    Entity* story = MakeTransformEntity("Story2NPic1_Cut", Vec3(), Vec3(4.0f, 2.0f, 1.0f), TAG_OTHERS);
    auto sprite = AddSprite(story, 1);
    sprite->SetTexture("default");
    sprite->SetTintColor(Color(1.0f, 1.0f, 1.0f, 0.0f));
    auto component = std::make_shared<ScriptComponent>();
    component->file_name = "DialogueScript";
    story->AddComponent(SCRIPTCOMPONENT, component);
    Scene()->AddEntity(story->id, story);
    Join(story);
    auto* script = ScriptOf<DialogueScript>(story);
    ASSERT_NE(script, nullptr);
    EXPECT_EQ(script->last_picture, 2);
    EXPECT_EQ(script->base_name, "Story_Cut");

    // Nothing before the player walks in, and nothing for anyone else.
    Frame(15);
    script->OnCollision(story, Named("Dora"));
    Frame();
    EXPECT_EQ(sprite->GetTexIdentifier(), "default");
    EXPECT_FLOAT_EQ(player_stats->speed_attack, 1.5f);

    script->OnCollision(story, Named("Player"));
    Frame();
    EXPECT_EQ(sprite->GetTexIdentifier(), "Story_Cut1");
    EXPECT_FLOAT_EQ(sprite->GetTintColor().GetA(), 1.0f);
    EXPECT_FLOAT_EQ(player_stats->speed_attack, 0.0f);
    EXPECT_FLOAT_EQ(dora_stats->speed_attack, 0.0f);
    // The first press counts only after eleven updates since the touch; key repeats never count.
    Frame(9);
    SetEnter(1);
    Frame();
    EXPECT_EQ(sprite->GetTexIdentifier(), "Story_Cut1");
    Frame();
    SetEnter(2);
    Frame();
    EXPECT_EQ(sprite->GetTexIdentifier(), "Story_Cut1");
    SetEnter(1);
    Frame();
    EXPECT_EQ(sprite->GetTexIdentifier(), "Story_Cut2");
    EXPECT_TRUE(Named("Story2NPic1_Cut"));
    Frame(11);
    SetEnter(1);
    Frame();
    EXPECT_EQ(Named("Story2NPic1_Cut"), nullptr);
    EXPECT_FLOAT_EQ(player_stats->speed_attack, 1.5f);
    EXPECT_FLOAT_EQ(dora_stats->speed_attack, 2.0f);
}

TEST_F(DialogueTest, PictureDialoguesWithoutACountOrWithoutDoraEndCleanly)
{
    auto player_stats = AddStats(MakeActor("Player", TAG_PLAYER, 0.0f, 0.0f, false), {10, 1.5f});
    // Too short to hold a count: touched, it puts the speeds back and goes at once.
    Entity* short_name = MakeScripted("Pic", TAG_OTHERS, "DialogueScript");
    ScriptOf<DialogueScript>(short_name)->OnCollision(short_name, Named("Player"));
    Frame();
    EXPECT_EQ(Named("Pic"), nullptr);
    EXPECT_FLOAT_EQ(player_stats->speed_attack, 1.5f);

    // No "Dora" in the scene: only the player's speed is held and put back.
    Entity* story = MakeScripted("Story1NPic1_Cut", TAG_OTHERS, "DialogueScript");
    auto* script = ScriptOf<DialogueScript>(story);
    EXPECT_EQ(script->companion, 0u);
    script->OnCollision(story, Named("Player"));
    Frame(12);
    EXPECT_FLOAT_EQ(player_stats->speed_attack, 0.0f);
    SetEnter(1);
    Frame();
    EXPECT_EQ(Named("Story1NPic1_Cut"), nullptr);
    EXPECT_FLOAT_EQ(player_stats->speed_attack, 1.5f);
}

TEST_F(DialogueTest, TheBoxPutsEachDialoguesPiecesIntoPlayOnceItsOpeningReachesFrameSixteen)
{
    LoadShippedPrefabs({"dialogue_01", "dialogue_01_N", "dialogue_02", "dialogue_02_N", "Enemy_T1", "Vavu_T1",
                        "dialogue_03", "dialogue_03_N", "UI_Vavu_T1", "UI_Vavu_Backing_T1", "UI_Vavu_Healthbar_T1"});
    Entity* cam = MakeTransformEntity("Cam", Vec3(20.0f, 1.0f, 0.0f), Vec3(16.0f, 9.0f, 1.0f), TAG_OTHERS);
    cam->AddComponent(PARENT, std::make_shared<Parent>());
    Scene()->AddEntity(cam->id, cam);
    Join(cam);
    MakePlayer(20.0f, -1.5f);
    Entity* box = MakeBox();
    DialogueBoxScript* script = BoxScript(box);
    ASSERT_NE(script, nullptr);
    EXPECT_EQ(script->GetName(), "GameManagerScript");
    auto sprite = SpriteOf(box);

    sprite->current_frame = 3;
    script->PlayIdleAnimation();
    EXPECT_EQ(sprite->GetTexIdentifier(), "UIAnim_Dialog_Box");
    EXPECT_EQ(sprite->GetStartFrame(), 1);
    sprite->current_frame = 15;
    Frame();
    EXPECT_EQ(Named("dialogue_01"), nullptr);
    // Dropping the box leaves an armed opening armed.
    script->PlayDropAnimation();
    EXPECT_TRUE(script->pending);
    EXPECT_EQ(sprite->GetTexIdentifier(), "UISprAnim_DialogBox_Drop");
    sprite->current_frame = 16;
    Frame();
    EXPECT_NE(Named("dialogue_01"), nullptr);
    EXPECT_NE(Named("dialogue_01_N"), nullptr);
    EXPECT_EQ(script->dialogues_started, 1);
    EXPECT_FALSE(script->pending);
    Frame();
    EXPECT_EQ(EntitiesNamed("dialogue_01").size(), 2u) << "one instance of each per opening";

    // Already on frame 16 or past it: the next update puts the pieces in at once.
    script->PlayIdleAnimation();
    Frame();
    for (const char* name : {"dialogue_02", "dialogue_02_N", "Enemy_T1", "Vavu_T1"}) {
        EXPECT_NE(Named(name), nullptr) << name;
    }
    script->PlayIdleAnimation();
    Frame();
    for (const char* name :
         {"dialogue_03", "dialogue_03_N", "UI_Vavu_T1", "UI_Vavu_Backing_T1", "UI_Vavu_Healthbar_T1"}) {
        EXPECT_NE(Named(name), nullptr) << name;
    }
    // HUD pieces are authored relative to the camera they hang from.
    ASSERT_NE(Named("UI_Vavu_T1"), nullptr);
    auto face = TransformOf(Named("UI_Vavu_T1"));
    EXPECT_FLOAT_EQ(face->position.x, 20.0f - 7.1f);
    EXPECT_FLOAT_EQ(face->position.y, 1.0f + 2.9f);
    // Past the third there is nothing more to put in; the opening is still used up.
    const size_t before = Scene()->GetEntities().size();
    script->PlayIdleAnimation();
    Frame();
    EXPECT_EQ(script->dialogues_started, 4);
    EXPECT_FALSE(script->pending);
    EXPECT_EQ(Scene()->GetEntities().size(), before);
    EXPECT_TRUE(DialogueBoxScript::PrefabsFor(0).empty());
}

TEST_F(DialogueTest, AnotherClassOrNoSpriteOnTheLastDialogueEntityLeavesThePairWithoutABox)
{
    Entity* box = MakeBox();
    // A later type-8 entity decides: here one whose script is not a box and which has no Sprite.
    MakeScripted("NotABox", TAG_DIALOGUE, "GameManagerScript");
    const uint64_t line = MakeScripted("Line", TAG_OTHERS, "DialogueScript02", true)->id;
    const uint64_t speaker = MakeScripted("Speaker", TAG_OTHERS, "DialogueScript02_N", true)->id;
    EXPECT_EQ(ScriptOf<DialogueScript02>(Scene()->GetEntity(line))->box, 0u);
    EXPECT_EQ(ScriptOf<DialogueScript02_N>(Scene()->GetEntity(speaker))->box, 0u);
    for (uint64_t id : {line, speaker}) {
        auto* script = dynamic_cast<LineSequenceScript*>(ScriptSystem::GetInstance()->GetScript(id).get());
        script->current_line = script->line_count + 1;
    }
    Frame();
    EXPECT_FALSE(IsLive(line));
    EXPECT_FALSE(IsLive(speaker));
    EXPECT_FALSE(DialogueIsRunning);
    EXPECT_EQ(SpriteOf(box)->GetTexIdentifier(), "default") << "the real box is left alone";
}

TEST(DialogueTexts, TablesPairUpAndOnlyDialogueOneCarriesItsWindowsApostrophes)
{
    const int expected_lines[] = {7, 7, 6, 7};
    for (int d = 1; d <= 4; ++d) {
        const LineTable& lines = DialogueLines(d);
        ASSERT_EQ(lines.size(), static_cast<size_t>(expected_lines[d - 1])) << d;
        EXPECT_EQ(DialogueSpeakers(d).size(), lines.size()) << d;
        for (size_t i = 0; i < lines.size(); ++i) {
            const int quotes = Count(lines[i], "\x92");
            const bool marked = d == 1 && (i == 1 || i == 3 || i == 5);
            EXPECT_EQ(quotes, marked ? 1 : 0) << d << ":" << i + 1;
            for (unsigned char byte : lines[i]) {
                EXPECT_TRUE(byte == 0x92 || byte < 0x80) << d << ":" << i + 1;
            }
        }
    }
    EXPECT_EQ(DialogueLines(1)[1], "Hey kid, it isn\x92t safe to stay here");
    EXPECT_EQ(DialogueSpeakers(1)[4], "[Environment]");
    EXPECT_TRUE(DialogueLines(5).empty());
}

// The font has no glyph for byte 0x92: a line holding it draws exactly what it draws without it.
class DialogueTextGLTest : public EngineTest {
};

TEST_F(DialogueTextGLTest, TheWindowsApostropheIsSkippedWhenDrawn)
{
    ASSERT_NO_FATAL_FAILURE(StartOffscreenGL(Root()));
    FreetypeSystem* freetype = FreetypeSystem::GetInstance();
    freetype->Init();
    const int width = 480, height = 80;
    auto draw = [&](const std::string& line) {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        freetype->RenderText(line, 10.0f, 30.0f, 0.6f, Vec3(1.0f, 1.0f, 1.0f));
        return ReadBackBuffer(0, 0, width, height);
    };
    const auto plain = draw("Hey kid, it isnt safe");
    EXPECT_GT(std::count_if(plain.begin(), plain.end(), [](unsigned char c) { return c > 128; }), 100);
    EXPECT_EQ(draw("Hey kid, it isn\x92t safe"), plain);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

} // namespace
