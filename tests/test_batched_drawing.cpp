// Batched drawing. Sprites and text against the one-draw-per-sprite and one-draw-per-glyph paths: a
// mixed scene drawn both ways gives the same picture, pixel for pixel, and each run of sprites sharing
// a texture and a program is one draw; the depth sort is stable and keeps last frame's order among equal depths. Text: the glyph
// atlas keeps every glyph apart from its neighbours under linear filtering. A scrolling level drawn by
// the plan (hidden sprites skipped, clear and solid rows, no clear under opaque scenery) gives, frame
// after frame, the picture of every sprite drawn whole and blended over a cleared window.
#include "GameRunFixture.h"

#include "Components/Sprite.h"
#include "Components/Stats.h"
#include "Components/Text.h"
#include "Components/Transform.h"
#include "Factory/Entity.h"
#include "Graphics/DepthOrder.h"
#include "Graphics/Framebuffer.h"
#include "Graphics/FreetypeSystem.h"
#include "Graphics/Graphics.h"
#include "Graphics/GlyphAtlas.h"
#include "Graphics/QuadDraw.h"
#include "Graphics/SpriteSystem.h"
#include "Graphics/TextureManager.h"
#include "Scene/IScene.h"
#include "Windows/WindowsSystems.h"

#include <FreeImage.h>
#include <GL/glew.h>
#include <glm/gtc/matrix_transform.hpp>

#include <algorithm>
#include <cstdint>
#include <vector>

using namespace OrvEngine;

namespace {

// The model matrix of a sprite's cached transform: T(x, y) x Rz(rotation) x S(scale x, scale y).
glm::mat4 SpriteModelMatrix(const Vec3& position, const Vec3& scale, float rotation_degrees)
{
    glm::mat4 m = glm::translate(glm::mat4(1.0f), glm::vec3(position.x, position.y, 0.0f));
    m = glm::rotate(m, rotation_degrees * 0.017453292f, glm::vec3(0.0f, 0.0f, 1.0f));
    return glm::scale(m, glm::vec3(scale.x, scale.y, 1.0f));
}

// A small deterministic generator, so the scene is the same on every run.
class Lcg {
public:
    uint32_t Next()
    {
        state_ = state_ * 1664525u + 1013904223u;
        return state_ >> 8;
    }
    float Range(float low, float high) { return low + (high - low) * static_cast<float>(Next() % 10007) / 10006.0f; }
    size_t Pick(size_t count) { return Next() % count; }

private:
    uint32_t state_ = 2024;
};

class SpriteBatchTest : public OrvTest::EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        OrvTest::RegisterCoreComponents();
        OrvTest::MakeCoreEngine();
        OrvCoreEngine->dt = 0.0f; // sheets hold their frames: both ways draw the same frame
        new SceneStateMachine();
        OrvStateMachine->current_scene = SceneStateMachine::MakeGameScene();
        OrvTest::StartOffscreenGL(Root());
        GameIsRunning = false; // the editor's framebuffer, through an editor camera off the origin
        Graphics* graphics = Graphics::GetInstance();
        graphics->camera_x = 0.37f;
        graphics->camera_y = -0.21f;
        graphics->camera_width = 13.3f;
        graphics->camera_height = 7.9f;
    }

    // A texture of noise with every alpha, frames square and side by side when frames > 1. Banded,
    // rows bottom up: 9 solid, 6 noise, 10 clear, 9 solid, 1 clear, the rest solid.
    void LoadNoise(const std::string& name, int width, int height, bool banded = false)
    {
        const OrvTest::fs::path path = Root() / "Resources" / "ArtAssets" / (name + ".png");
        FIBITMAP* image = FreeImage_Allocate(width, height, 32);
        for (int y = 0; y < height; ++y) {
            BYTE* line = FreeImage_GetScanLine(image, y);
            for (int x = 0; x < width * 4; ++x) line[x] = static_cast<BYTE>(random_.Next());
            const int alpha = y < 9 ? 255 : y < 15 ? -1 : y < 25 ? 0 : y < 34 ? 255 : y < 35 ? 0 : 255;
            for (int x = 0; banded && alpha >= 0 && x < width; ++x) line[x * 4 + FI_RGBA_ALPHA] = static_cast<BYTE>(alpha);
        }
        ASSERT_TRUE(FreeImage_Save(FIF_PNG, image, path.c_str(), 0));
        FreeImage_Unload(image);
        ASSERT_TRUE(TextureManager::GetInstance()->LoadTexture(path.string(), name));
    }

    // Large unturned sprites among the others, as scenery is: banded pictures (one a sheet) and
    // solid ones, mirrored, at fractional places, some with a tint's alpha.
    void MakeLayers()
    {
        LoadNoise("Banded", 24, 45, true);
        LoadNoise("BandedSheet", 90, 45, true);
        for (int i = 0; i < 14; ++i) {
            const float sx = random_.Range(3.0f, 9.0f) * (random_.Pick(3) == 0 ? -1.0f : 1.0f);
            const float sy = random_.Range(2.0f, 7.0f) * (random_.Pick(3) == 0 ? -1.0f : 1.0f);
            const Vec3 at(random_.Range(-5.0f, 5.0f), random_.Range(-3.0f, 3.0f), static_cast<float>(random_.Pick(6)));
            Entity* entity = MakeEntity("Layer" + std::to_string(i), at, Vec3(sx, sy, 1.0f), 0.0f);
            auto sprite = std::make_shared<Sprite>();
            const char* const textures[] = {"Banded", "Banded", "BandedSheet", "", "Banded"};
            sprite->SetTexture(textures[i % 5]);
            sprite->is_spritesheet = i % 5 == 2;
            sprite->number_of_frames = 2;
            sprite->start_frame = 1 + i % 2;
            sprite->spritesheet_speed = 1000.0f;
            if (i % 4 == 3) sprite->SetTint(Color(0.9f, 0.8f, 1.0f, 0.7f), true);
            entity->AddComponent(SPRITE, sprite);
            EntityFactory::GetInstance()->AddEntityToSystems(entity);
        }
    }

    Entity* MakeEntity(const std::string& name, Vec3 position, Vec3 scale, float rotation)
    {
        Entity* entity = OrvTest::MakeTransformEntity(name, position, scale, TAG_NONE);
        entity->GetComponent<Transform>(TRANSFORM)->rotation = rotation;
        OrvStateMachine->current_scene->AddEntity(entity->id, entity);
        return entity;
    }

    // Sprites of every kind: textures, sheets at frames in and out of range, white, unknown names,
    // tints with alpha, mirrored, turned, equal depths, a hidden one, an inactive one and a bar.
    void MakeMixedScene()
    {
        LoadNoise("Noise", 37, 23);
        LoadNoise("Wide", 64, 40);
        LoadNoise("Sheet4", 64, 16);
        LoadNoise("Sheet3", 36, 12);
        const char* const textures[] = {"Noise", "Wide", "Sheet4", "Sheet3", "", "Unknown"};
        const float turns[] = {0.0f, 0.0f, 30.0f, 45.5f, 90.0f, 180.0f, 271.3f};
        for (int i = 0; i < 70; ++i) {
            const float sx = random_.Range(0.3f, 3.0f) * (random_.Pick(3) == 0 ? -1.0f : 1.0f);
            const float sy = random_.Range(0.3f, 3.0f) * (random_.Pick(5) == 0 ? -1.0f : 1.0f);
            const float depth = static_cast<float>(random_.Pick(6));
            Entity* entity = MakeEntity("Sprite" + std::to_string(i), Vec3(random_.Range(-6.5f, 6.5f), random_.Range(-4.0f, 4.0f), depth),
                                        Vec3(sx, sy, 1.0f), turns[random_.Pick(7)]);
            auto sprite = std::make_shared<Sprite>();
            // Runs of a few sprites with one texture, so some draws carry several quads.
            const std::string texture = textures[(i / 3) % 6];
            sprite->is_spritesheet = texture.rfind("Sheet", 0) == 0;
            sprite->number_of_frames = 4;
            sprite->start_frame = static_cast<int32_t>(random_.Pick(6));
            sprite->spritesheet_speed = 1000.0f;
            sprite->SetTexture(texture);
            sprite->SetTint(Color(random_.Range(0.0f, 1.0f), random_.Range(0.0f, 1.0f), random_.Range(0.0f, 1.0f),
                                  random_.Range(0.2f, 1.0f)),
                            random_.Pick(4) != 0);
            sprite->visible = i != 7;
            if (i == 20) sprite->SetTint(Color(0.3f, 0.6f, 0.9f, 0.0f), true); // invisible, skipped
            entity->AddComponent(SPRITE, sprite);
            entity->active = i != 11;
            EntityFactory::GetInstance()->AddEntityToSystems(entity);
        }
        MakeBar();
    }

    // A bar at half length, watching an entity that lost half its hit points.
    void MakeBar()
    {
        Entity* boss = MakeEntity("Boss", Vec3(9.0f, 0.0f, 1.0f), Vec3(1.0f, 1.0f, 1.0f), 0.0f);
        auto stats = std::make_shared<Stats>();
        stats->hp = 100;
        boss->AddComponent(STATS, stats);
        Entity* entity = MakeEntity("BossBar", Vec3(1.1f, 2.7f, 3.0f), Vec3(5.0f, 0.4f, 1.0f), 0.0f);
        auto bar = std::make_shared<Sprite>();
        bar->is_slider = true;
        bar->ent_name = "Boss";
        bar->SetTexture("Wide");
        entity->AddComponent(SPRITE, bar);
        EntityFactory::GetInstance()->AddEntityToSystems(entity);
        stats->hp = 50;
    }

    // Lines over the sprites: overlapping, of several sizes and colours, with bytes the font has no
    // glyph for (UTF-8, 0x80, 0xFF), a hidden one and one on an inactive entity.
    void MakeTexts()
    {
        FreetypeSystem::GetInstance()->Init();
        struct Line {
            const char* text;
            Vec3 at;
            float size;
            Vec3 colour;
        };
        const Line lines[] = {
            {"Ilo & Dora: 0123456789 {[(|)]}", Vec3(150.0f, 820.0f, 0.0f), 1.0f, Vec3(1.0f, 0.95f, 0.8f)},
            {"caf\xC3\xA9 \x80na\xFFve tab\there", Vec3(700.0f, 520.0f, 0.0f), 0.7f, Vec3(0.9f, 0.2f, 0.4f)},
            {"WAVE 3", Vec3(300.0f, 420.0f, 0.0f), 2.6f, Vec3(0.1f, 0.8f, 0.3f)},
            {"hidden", Vec3(100.0f, 100.0f, 0.0f), 1.5f, Vec3(1.0f, 1.0f, 1.0f)},
            {"inactive", Vec3(1000.0f, 150.0f, 0.0f), 1.5f, Vec3(1.0f, 1.0f, 1.0f)},
        };
        for (const Line& line : lines) {
            Entity* entity = MakeEntity(std::string("Text ") + line.text, line.at, Vec3(1.0f, 1.0f, 1.0f), 0.0f);
            auto text = std::make_shared<Text>();
            text->SetText(line.text);
            text->SetTextSize(line.size);
            text->SetColor(line.colour);
            text->hidden = line.text == std::string("hidden");
            entity->AddComponent(TEXT, text);
            entity->active = line.text != std::string("inactive");
            EntityFactory::GetInstance()->AddEntityToSystems(entity);
        }
    }

    void BindGameView()
    {
        Framebuffer* target = Graphics::GetInstance()->GetGameViewFramebuffer();
        glBindFramebuffer(GL_FRAMEBUFFER, target->framebuffer);
        glViewport(0, 0, target->width, target->height);
    }

    // The text pass as it was: a draw per glyph, placed for the window here rather than by the
    // engine, bytes without a glyph skipped without advancing.
    void DrawTextGlyphByGlyph()
    {
        FreetypeSystem* freetype = FreetypeSystem::GetInstance();
        WindowsSystems* window = WindowsSystems::GetInstance();
        const float sx = static_cast<float>(window->width) / 1920.0f;
        const float sy = static_cast<float>(window->height) / 1080.0f;
        BindGameView();
        for (const auto& text : freetype->texts) {
            if (!text->owner->active || text->hidden) continue;
            float x = text->position.x * sx;
            const float y = text->position.y * sy;
            const float scale = text->textSize * std::min(sx, sy);
            for (const char byte : text->GetText()) {
                const auto found = freetype->characters.find(byte);
                if (static_cast<unsigned char>(byte) >= 128 || found == freetype->characters.end()) continue;
                freetype->RenderText(std::string(1, byte), x, y, scale, text->GetColor());
                x += static_cast<float>(found->second.advance >> 6) * scale;
            }
        }
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
    }

    std::vector<unsigned char> ReadGameView()
    {
        Framebuffer* target = Graphics::GetInstance()->GetGameViewFramebuffer();
        std::vector<unsigned char> pixels(static_cast<size_t>(target->width) * target->height * 4);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, target->framebuffer);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, target->width, target->height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
        return pixels;
    }

    // The sprite pass as it was: every drawn sprite of the sorted list on its own, through the
    // single-quad programs and their uniforms.
    void DrawOneByOne()
    {
        Graphics* graphics = Graphics::GetInstance();
        Framebuffer* target = graphics->GetGameViewFramebuffer();
        glBindFramebuffer(GL_FRAMEBUFFER, target->framebuffer);
        glViewport(0, 0, target->width, target->height);
        glClearColor(0.0f, 0.5f, 0.5f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        const uint32_t white = TextureManager::GetInstance()->GetWhiteTexture()->id;
        for (const auto& sprite : SpriteSystem::GetInstance()->sprites) {
            if (!sprite->owner->active || !sprite->visible) continue;
            QuadDraw quad;
            quad.model = SpriteSystem::GetInstance()->GetQuad().get();
            quad.shader = &graphics->shaders[sprite->is_spritesheet ? 0 : 1];
            const auto& texture = sprite->GetTextureRef();
            quad.texture_id = texture && texture->id ? texture->id : white;
            quad.world_to_ndc = graphics->GetWorldToNdc();
            quad.model_matrix = SpriteModelMatrix(sprite->position, sprite->scale, sprite->rotation);
            quad.tint = sprite->tint_color;
            quad.frame = sprite->is_spritesheet ? sprite->drawn_frame : 0;
            DrawQuad(quad);
        }
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
    }

    // Sprites that put fragments on screen: active, visible and not wholly transparent.
    static bool Shows(const Sprite& sprite)
    {
        return sprite.owner->active && sprite.visible && sprite.tint_color.w != 0.0f;
    }

    // Draws of the batched pass: one per change of texture or program (sheet or not, tinted or not)
    // along the shown sprites.
    static size_t ExpectedRuns()
    {
        const uint32_t white = TextureManager::GetInstance()->GetWhiteTexture()->id;
        size_t runs = 0;
        uint32_t texture = 0;
        int program = 0;
        for (const auto& sprite : SpriteSystem::GetInstance()->sprites) {
            if (!Shows(*sprite)) continue;
            const auto& ref = sprite->GetTextureRef();
            const uint32_t id = ref && ref->id ? ref->id : white;
            const Color& tint = sprite->tint_color;
            const bool untinted = tint.x == 1.0f && tint.y == 1.0f && tint.z == 1.0f && tint.w == 1.0f;
            const int used = (sprite->is_spritesheet ? 1 : 0) + (untinted ? 2 : 0);
            if (runs == 0 || id != texture || used != program) ++runs;
            texture = id;
            program = used;
        }
        return runs;
    }

    Lcg random_;
};

TEST_F(SpriteBatchTest, AMixedSceneBatchedMatchesTheOneByOneDrawPixelForPixel)
{
    MakeMixedScene();
    MakeLayers();
    MakeTexts();
    ASSERT_NE(WindowsSystems::GetInstance()->width, 1920u) << "text is scaled to a window of another size";
    SpriteSystem* system = SpriteSystem::GetInstance();
    Graphics::GetInstance()->Update();
    system->Update(); // caches the depths
    // Drawn unplanned, every sprite whole: one draw per run of a texture and a program.
    system->batch.SetPlanned(false);
    Graphics::GetInstance()->Update();
    system->Update();
    const size_t draws = system->batch.LastDrawCount();
    system->batch.SetPlanned(true);
    Graphics::GetInstance()->Update();
    system->Update();
    const std::vector<unsigned char> sprites_only = ReadGameView();
    const DrawPlan& plan = system->batch.LastPlan();
    EXPECT_LT(plan.PlannedArea() * 4, plan.WholeArea() * 3) << "clear rows and hidden parts are left out";
    BindGameView();
    FreetypeSystem::GetInstance()->Update();
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    const std::vector<unsigned char> batched = ReadGameView();

    DrawOneByOne();
    DrawTextGlyphByGlyph();
    const std::vector<unsigned char> one_by_one = ReadGameView();
    ASSERT_EQ(batched.size(), one_by_one.size());
    size_t differing = 0;
    for (size_t i = 0; i < batched.size(); ++i) differing += batched[i] != one_by_one[i];
    EXPECT_EQ(differing, 0u) << "bytes that differ between the batched and the one-by-one picture";
    size_t text_bytes = 0;
    for (size_t i = 0; i < batched.size(); ++i) text_bytes += batched[i] != sprites_only[i];
    EXPECT_GT(text_bytes, 20000u) << "the lines are drawn over the sprites";

    size_t drawn = 0;
    for (const auto& sprite : system->sprites) drawn += Shows(*sprite);
    EXPECT_EQ(draws, ExpectedRuns());
    EXPECT_LT(draws, drawn) << "runs sharing a texture and a program go out as one draw";
    size_t background = 0;
    for (size_t i = 0; i < batched.size(); i += 4) background += batched[i] == 0 && batched[i + 1] == 128;
    EXPECT_GT(background, 0u);
    EXPECT_LT(background, batched.size() / 4 / 2) << "the sprites cover most of the view";
}

// Frame after frame with depths moving and many ties, the in-place sort gives the list the standard
// stable sort gives it, so equal depths keep last frame's order (not the order of addition).
TEST(DepthOrder, SortsLikeAStableSortOfTheListFrameAfterFrame)
{
    Lcg random;
    std::vector<std::shared_ptr<Sprite>> sorted;
    for (int i = 0; i < 300; ++i) {
        sorted.push_back(std::make_shared<Sprite>());
        sorted.back()->position.z = static_cast<float>(random.Pick(12));
    }
    std::vector<std::shared_ptr<Sprite>> expected = sorted;
    DepthOrder order;
    for (int frame = 0; frame < 20; ++frame) {
        order.Sort(sorted);
        std::stable_sort(expected.begin(), expected.end(),
                         [](const auto& a, const auto& b) { return a->position.z < b->position.z; });
        ASSERT_EQ(sorted, expected) << "frame " << frame;
        for (size_t i = 0; i < sorted.size(); i += 1 + random.Pick(4)) {
            sorted[i]->position.z = static_cast<float>(random.Pick(12)) - (frame % 3 == 0 ? 0.5f : 0.0f);
        }
        if (frame == 10) {
            sorted.push_back(std::make_shared<Sprite>());
            expected.push_back(sorted.back());
        }
    }
}

// Every glyph sits in the image as given, ringed by a copy of its own edge, and no ring or glyph
// overlaps another: filtering at a glyph's edge never reads a neighbour.
TEST(GlyphAtlas, GlyphsArePackedApartEachRingedByItsOwnEdge)
{
    Lcg random;
    GlyphAtlas atlas;
    std::vector<std::vector<uint8_t>> bitmaps;
    for (int i = 0; i < 128; ++i) {
        const int width = i % 17 == 0 ? 0 : static_cast<int>(1 + random.Pick(60));
        const int rows = static_cast<int>(1 + random.Pick(70));
        const int pitch = width + static_cast<int>(random.Pick(3));
        bitmaps.emplace_back(static_cast<size_t>(pitch) * static_cast<size_t>(rows));
        for (uint8_t& p : bitmaps.back()) p = static_cast<uint8_t>(random.Next());
        ASSERT_EQ(atlas.Add(width, rows, bitmaps.back().data(), pitch), static_cast<size_t>(i));
    }
    atlas.Pack();
    std::vector<int> owner(static_cast<size_t>(atlas.Width()) * static_cast<size_t>(atlas.Height()), -1);
    for (int i = 0; i < 128; ++i) {
        const GlyphAtlas::Box& box = atlas.BoxOf(static_cast<size_t>(i));
        if (box.width == 0) continue;
        const int pitch = static_cast<int>(bitmaps[static_cast<size_t>(i)].size()) / box.rows;
        for (int y = box.y - 1; y <= box.y + box.rows; ++y) {
            for (int x = box.x - 1; x <= box.x + box.width; ++x) {
                ASSERT_TRUE(x >= 0 && y >= 0 && x < atlas.Width() && y < atlas.Height()) << i;
                const size_t at = static_cast<size_t>(y) * static_cast<size_t>(atlas.Width()) + static_cast<size_t>(x);
                ASSERT_EQ(owner[at], -1) << "glyph " << i << " overlaps glyph " << owner[at];
                owner[at] = i;
                const int row = std::clamp(y - box.y, 0, box.rows - 1);
                const int column = std::clamp(x - box.x, 0, box.width - 1);
                ASSERT_EQ(atlas.Pixels()[at], bitmaps[static_cast<size_t>(i)][static_cast<size_t>(row * pitch + column)])
                    << "glyph " << i << " at " << x - box.x << ", " << y - box.y;
            }
        }
    }
}

// ---- A scrolling level --------------------------------------------------------------------------

// The last presented frame drawn again over the whole window, planned or as a reference (cleared,
// every sprite whole and blended), then its texts; the fragments shaded, where the driver counts them.
uint64_t RedrawLastFrame(bool planned)
{
    const bool count = GLEW_ARB_pipeline_statistics_query;
    GLuint query = 0;
    if (count) glGenQueries(1, &query);
    SpriteBatch& batch = SpriteSystem::GetInstance()->batch;
    OrvTest::RedrawLastFrameWhole(
        [&] {
            batch.SetPlanned(planned);
            if (count) glBeginQuery(GL_FRAGMENT_SHADER_INVOCATIONS_ARB, query);
        },
        [&] {
            if (count) glEndQuery(GL_FRAGMENT_SHADER_INVOCATIONS_ARB);
            batch.SetPlanned(true);
        });
    GLuint64 fragments = 0;
    if (count) glGetQueryObjectui64v(query, GL_QUERY_RESULT, &fragments);
    if (count) glDeleteQueries(1, &query);
    return fragments;
}

struct ScrollRecord {
    int frames = 0, scrolled = 0, partial = 0, uncleared = 0;
    size_t differing = 0;
    int first_differing = -1;
    uint64_t planned_fragments = 0, whole_fragments = 0;
};

class ScrollingLevelTest : public OrvTest::GameEndToEndTest {};

// From the fade-in on, Ilo walks right (the camera following him) and then stands: each frame as
// presented equals the reference drawn right after it, and the plan shades well under half of it.
TEST_F(ScrollingLevelTest, EveryFrameOfAScrollingLevelEqualsEverySpriteDrawnWholeAndBlended)
{
    StartScene = "GameScene_01";
    OrvTest::ScriptedPlayer script;
    script.WaitForScene("GameScene_01", 2);
    script.Do([] { Platform::PushMessage({Platform::WM_KEYDOWN_MSG, 'D', 0}); });
    script.WaitFrames(45);
    script.Do([] { Platform::PushMessage({Platform::WM_KEYUP_MSG, 'D', 0}); });
    script.WaitFrames(12);

    ScrollRecord record;
    float camera_x = 0.0f;
    OrvTest::ScriptedPlayer recorder;
    recorder.Then([&] {
        // Each frame begins here, before anything draws: the back buffer holds the last frame.
        const WindowsSystems* window = WindowsSystems::GetInstance();
        const int width = static_cast<int>(window->width), height = static_cast<int>(window->height);
        const bool in_level = OrvTest::CurrentSceneName() == "GameScene_01" && ActiveCamera;
        if (in_level && Graphics::IsGLReady() && script.StepReached() > 0) {
            const float x = ActiveCamera->transform->position.x;
            record.scrolled += x != camera_x;
            camera_x = x;
            record.partial += Graphics::GetInstance()->damage.Repainted().Area() < static_cast<long long>(width) * height;
            const std::vector<unsigned char> presented = OrvTest::ReadBackBuffer(0, 0, width, height);
            record.planned_fragments += RedrawLastFrame(true);
            record.uncleared += SpriteSystem::GetInstance()->batch.LastPlan().Covers();
            record.whole_fragments += RedrawLastFrame(false);
            const std::vector<unsigned char> reference = OrvTest::ReadBackBuffer(0, 0, width, height);
            size_t differing = 0;
            for (size_t i = 0; i < presented.size(); ++i) differing += presented[i] != reference[i];
            if (differing && record.first_differing < 0) record.first_differing = record.frames;
            record.differing += differing;
            ++record.frames;
        }
        script.Frame();
        if (script.Finished()) Platform::PushMessage({Platform::WM_CLOSE_MSG, 0, 0});
        return false;
    });
    RunGame(recorder, 400);

    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(record.differing, 0u) << "bytes, first at frame " << record.first_differing << " of " << record.frames;
    EXPECT_GT(record.scrolled, 20) << "frames after the camera moved";
    EXPECT_GT(record.partial, 3) << "frames repainted in part while Ilo stood";
    EXPECT_GT(record.uncleared, record.frames / 2) << "frames whose scenery covers the window";
    if (GLEW_ARB_pipeline_statistics_query) {
        EXPECT_LT(record.planned_fragments * 2, record.whole_fragments)
            << record.planned_fragments << " fragments planned, " << record.whole_fragments << " drawn whole";
    }
}

} // namespace
