// Rendering: pixels read back from a real GL context under the offscreen video driver (sprites,
// tint, depth order, sheets, debug lines, text, PNG loading, framebuffer size), the fatal GL
// set-up path, the null backend, and the JSON of Sprite, Text and Camera.
#include "TestSupport.h"
#include "GLTestSupport.h"

#include "Components/Camera.h"
#include "Components/Sprite.h"
#include "Components/Text.h"
#include "Components/Transform.h"
#include "Factory/Entity.h"
#include "Graphics/DebugDraw.h"
#include "Graphics/QuadDraw.h"
#include "Graphics/TextureManager.h"

#include <FreeImage.h>
#include <GL/glew.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <fstream>
#include <vector>

#include <glm/gtc/matrix_transform.hpp>
#include <unistd.h>

namespace {

using OrvTest::PinLoadedLibraries;
using namespace OrvEngine;
using Pixel = std::array<int, 4>;

struct Rgba {
    uint8_t r, g, b, a;
};

// Writes a PNG whose rows are given bottom row first (FreeImage's scanline order).
void WritePng(const std::string& path, int width, int height, int bpp, const std::vector<Rgba>& pixels)
{
    FIBITMAP* image = FreeImage_Allocate(width, height, bpp);
    ASSERT_NE(image, nullptr);
    const int step = bpp / 8;
    for (int y = 0; y < height; ++y) {
        BYTE* line = FreeImage_GetScanLine(image, y);
        for (int x = 0; x < width; ++x) {
            const Rgba& p = pixels[static_cast<size_t>(y * width + x)];
            line[x * step + FI_RGBA_RED] = p.r;
            line[x * step + FI_RGBA_GREEN] = p.g;
            line[x * step + FI_RGBA_BLUE] = p.b;
            if (bpp == 32) line[x * step + FI_RGBA_ALPHA] = p.a;
        }
    }
    ASSERT_TRUE(FreeImage_Save(FIF_PNG, image, path.c_str(), 0));
    FreeImage_Unload(image);
}

void ExpectColour(const Pixel& got, int r, int g, int b, const char* what)
{
    EXPECT_NEAR(got[0], r, 3) << what;
    EXPECT_NEAR(got[1], g, 3) << what;
    EXPECT_NEAR(got[2], b, 3) << what;
}

class GraphicsTestBase : public OrvTest::EngineTest {
protected:
    void TearDown() override
    {
        for (Entity* entity : entities_) EntityFactory::GetInstance()->DestroyEntity(entity);
        EngineTest::TearDown();
    }

    Entity* MakeEntity(const std::string& name, Vec3 position, Vec3 scale)
    {
        Entity* entity = OrvTest::MakeTransformEntity(name, position, scale);
        entities_.push_back(entity);
        return entity;
    }

    std::shared_ptr<Sprite> MakeSprite(Vec3 position, Vec3 scale, const std::string& texture = "",
                                       Color tint = Color(1.0f, 1.0f, 1.0f, 1.0f), bool tinted = false)
    {
        Entity* entity = MakeEntity("Sprite", position, scale);
        auto sprite = std::make_shared<Sprite>();
        sprite->SetTexture(texture);
        sprite->SetTint(tint, tinted);
        entity->AddComponent(SPRITE, sprite);
        EntityFactory::GetInstance()->AddEntityToSystems(entity);
        return sprite;
    }

    std::string ArtFile(const std::string& name) const
    {
        return (Root() / "Resources" / "ArtAssets" / (name + ".png")).string();
    }

    // One frame of the passes that draw into the editor's framebuffer.
    static void DrawFrame()
    {
        Graphics::GetInstance()->Update();
        SpriteSystem::GetInstance()->Update();
    }

    static Pixel ReadGameView(int x, int y)
    {
        Framebuffer* target = Graphics::GetInstance()->GetGameViewFramebuffer();
        glBindFramebuffer(GL_READ_FRAMEBUFFER, target->framebuffer);
        unsigned char p[4] = {0, 0, 0, 0};
        glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
        return {p[0], p[1], p[2], p[3]};
    }

    static Pixel Centre() { return ReadGameView(ViewWidth() / 2, ViewHeight() / 2); }
    static int ViewWidth() { return Graphics::GetInstance()->GetGameViewFramebuffer()->width; }
    static int ViewHeight() { return Graphics::GetInstance()->GetGameViewFramebuffer()->height; }

    std::vector<Entity*> entities_;
};

// A real window and GL context; the shaders and the font come from the repository.
class GraphicsGLTest : public GraphicsTestBase {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        OrvTest::StartOffscreenGL(Root());
        graphics_ = Graphics::GetInstance();
    }

    // A texture of square frames side by side, each one colour, loaded under name.
    void LoadSheet(const std::string& name, const std::vector<Rgba>& frames)
    {
        const int frame_size = 2;
        const int width = frame_size * static_cast<int>(frames.size());
        std::vector<Rgba> pixels;
        for (int y = 0; y < frame_size; ++y)
            for (int x = 0; x < width; ++x) pixels.push_back(frames[static_cast<size_t>(x / frame_size)]);
        WritePng(ArtFile(name), width, frame_size, 32, pixels);
        ASSERT_TRUE(TextureManager::GetInstance()->LoadTexture(ArtFile(name), name));
    }

    Graphics* graphics_ = nullptr;
};

TEST_F(GraphicsGLTest, TintedTexturedSpriteDrawsIntoTheEditorFramebufferOverTheClearColour)
{
    LoadSheet("Orange", {{200, 100, 50, 255}});
    MakeSprite(Vec3(0.0f, 0.0f, 1.0f), Vec3(4.0f, 4.0f, 1.0f), "Orange", Color(1.0f, 0.5f, 1.0f, 1.0f), true);
    DrawFrame();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    ExpectColour(Centre(), 200, 50, 50, "texture x tint at the centre");
    ExpectColour(ReadGameView(2, 2), 0, 128, 128, "clear colour at a corner");
    // The sprite spans 4 of the editor camera's 10 units: 40% of the view around the centre.
    ExpectColour(ReadGameView(ViewWidth() / 2 + ViewWidth() * 18 / 100, ViewHeight() / 2), 200, 50, 50, "inside");
    ExpectColour(ReadGameView(ViewWidth() / 2 + ViewWidth() * 22 / 100, ViewHeight() / 2), 0, 128, 128, "outside");
}

TEST_F(GraphicsGLTest, UntexturedSpritesDrawWhiteTimesTintNotTheLastTexture)
{
    LoadSheet("Red", {{255, 0, 0, 255}});
    MakeSprite(Vec3(-3.0f, 0.0f, 1.0f), Vec3(2.0f, 2.0f, 1.0f), "Red");
    MakeSprite(Vec3(0.0f, 0.0f, 2.0f), Vec3(2.0f, 2.0f, 1.0f), "", Color(0.0f, 1.0f, 0.0f, 1.0f), true);
    auto unknown = MakeSprite(Vec3(3.0f, 0.0f, 3.0f), Vec3(2.0f, 2.0f, 1.0f), "NeverLoaded");
    EXPECT_EQ(unknown->GetTextureRef(), nullptr);
    EXPECT_EQ(unknown->texture, "../Resources/ArtAssets/NeverLoaded.png");
    DrawFrame();
    ExpectColour(ReadGameView(ViewWidth() * 20 / 100, ViewHeight() / 2), 255, 0, 0, "textured");
    ExpectColour(Centre(), 0, 255, 0, "untextured, tinted green");
    ExpectColour(ReadGameView(ViewWidth() * 80 / 100, ViewHeight() / 2), 255, 255, 255, "unknown name: white");

    // The name is loaded later: the sprite picks it up on its next draw.
    LoadSheet("NeverLoaded", {{0, 0, 255, 255}});
    DrawFrame();
    ExpectColour(ReadGameView(ViewWidth() * 80 / 100, ViewHeight() / 2), 0, 0, 255, "loaded later");
}

TEST_F(GraphicsGLTest, SpritesOverlapInDepthOrder)
{
    LoadSheet("Red", {{255, 0, 0, 255}});
    LoadSheet("Blue", {{0, 0, 255, 255}});
    auto red = MakeSprite(Vec3(0.0f, 0.0f, 5.0f), Vec3(4.0f, 4.0f, 1.0f), "Red");
    auto blue = MakeSprite(Vec3(1.0f, 0.0f, 1.0f), Vec3(4.0f, 4.0f, 1.0f), "Blue");
    DrawFrame(); // caches the depths
    DrawFrame();
    ExpectColour(Centre(), 255, 0, 0, "greater depth covers");
    ExpectColour(ReadGameView(ViewWidth() * 72 / 100, ViewHeight() / 2), 0, 0, 255, "blue outside the overlap");

    blue->owner->GetComponent<Transform>(TRANSFORM)->position.z = 9.0f;
    DrawFrame();
    ExpectColour(Centre(), 255, 0, 0, "the order uses last frame's depth");
    DrawFrame();
    ExpectColour(Centre(), 0, 0, 255, "then blue covers");
}

TEST_F(GraphicsGLTest, SheetShowsTheFrameSequenceAndPlayOnceHoldsTheLastFrame)
{
    LoadSheet("Sheet", {{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}, {255, 255, 0, 255}});
    OrvCoreEngine = new CoreEngine();
    OrvCoreEngine->dt = 0.07f;
    auto sheet = MakeSprite(Vec3(0.0f, 0.0f, 1.0f), Vec3(6.0f, 6.0f, 1.0f), "Sheet");
    sheet->SetIsSpritesheet(true);
    sheet->number_of_frames = 4;
    sheet->start_frame = 1;
    sheet->current_frame = 1;
    sheet->spritesheet_speed = 0.1f;

    auto frame_on_screen = [&]() {
        const Pixel p = Centre();
        const bool r = p[0] > 200, g = p[1] > 200, b = p[2] > 200;
        if (r && g && !b) return 4;
        if (r && !g && !b) return 1;
        if (!r && g && !b) return 2;
        if (!r && !g && b) return 3;
        return 0;
    };
    std::vector<int> shown;
    for (int i = 0; i < 8; ++i) {
        DrawFrame();
        shown.push_back(frame_on_screen());
    }
    EXPECT_EQ(shown, (std::vector<int>{2, 3, 4, 1, 2, 3, 3, 4}));

    sheet->play_once = true;
    sheet->current_frame = 1;
    sheet->animation_timer = 0.2f;
    shown.clear();
    for (int i = 0; i < 5; ++i) {
        DrawFrame();
        shown.push_back(frame_on_screen());
    }
    EXPECT_EQ(shown, (std::vector<int>{2, 3, 4, 4, 4}));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(GraphicsGLTest, ASheetHeldAtFrameZeroShowsItsFirstCellAfterAnotherSheet)
{
    LoadSheet("Other", {{0, 255, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}});
    LoadSheet("Mine", {{255, 0, 0, 255}, {255, 255, 0, 255}, {255, 255, 255, 255}});
    OrvCoreEngine = new CoreEngine();
    OrvCoreEngine->dt = 0.0f;
    auto hold = [](std::shared_ptr<Sprite> sheet, int32_t frame) {
        sheet->SetIsSpritesheet(true);
        sheet->number_of_frames = 3;
        sheet->start_frame = sheet->current_frame = frame;
        sheet->spritesheet_speed = 1000.0f;  // never steps
    };
    // Drawn first (smaller depth), it leaves the sheet program showing frame 3.
    auto other = MakeSprite(Vec3(3.0f, 0.0f, 1.0f), Vec3(2.0f, 2.0f, 1.0f), "Other");
    auto mine = MakeSprite(Vec3(-3.0f, 0.0f, 2.0f), Vec3(2.0f, 2.0f, 1.0f), "Mine");
    hold(other, 3);
    hold(mine, 0);
    DrawFrame();
    DrawFrame();
    ExpectColour(ReadGameView(ViewWidth() * 80 / 100, ViewHeight() / 2), 0, 0, 255, "the other sheet's third cell");
    ExpectColour(ReadGameView(ViewWidth() * 20 / 100, ViewHeight() / 2), 255, 0, 0, "frame 0 is the first cell");
}

TEST_F(GraphicsGLTest, DebugLineIsDrawnOnTopOfTheSprites)
{
    MakeSprite(Vec3(0.0f, 0.0f, 1.0f), Vec3(10.0f, 10.0f, 1.0f), "", Color(0.0f, 0.0f, 0.0f, 1.0f), true);
    DebugDraw* lines = DebugDraw::GetInstance();
    lines->colour = Vec4(1.0f, 1.0f, 0.0f, 1.0f);
    lines->current_point = Vec2(-4.0f, 1.0f);
    lines->AddLine(4.0f, 1.0f);
    lines->EndBatch();
    lines->AddLine(4.0f, -2.0f); // never closed: dropped
    DrawFrame();
    const int row = ViewHeight() / 2 + ViewHeight() / 10; // world y 1 of a 10-unit view
    int yellow = 0;
    for (int y = row - 2; y <= row + 2; ++y) {
        const Pixel p = ReadGameView(ViewWidth() / 2, y);
        if (p[0] > 200 && p[1] > 200 && p[2] < 50) ++yellow;
    }
    EXPECT_GE(yellow, 1);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    ExpectColour(ReadGameView(ViewWidth() / 2, ViewHeight() / 2), 0, 0, 0, "away from the line");
    EXPECT_TRUE(lines->batches.empty());
    EXPECT_TRUE(lines->current_lines.empty());
    DrawFrame();
    ExpectColour(ReadGameView(ViewWidth() / 2, row), 0, 0, 0, "gone the next frame");
}

TEST_F(GraphicsGLTest, TextAuthoredForA1920By1080WindowLandsScaledInTheRealWindow)
{
    FreetypeSystem* freetype = FreetypeSystem::GetInstance();
    freetype->Init();
    ASSERT_EQ(freetype->characters.size(), 128u);
    const Character& a = freetype->characters['A'];
    ASSERT_GT(a.size_x, 10);
    ASSERT_GT(a.size_y, 20);

    // Authored at (1200, 600) in a 1920x1080 window, glyphs at twice their size.
    Entity* entity = MakeEntity("Label", Vec3(1200.0f, 600.0f, 0.0f), Vec3(1.0f, 1.0f, 1.0f));
    auto text = std::make_shared<Text>();
    text->SetText("A");
    text->SetTextSize(2.0f);
    text->SetColor(Vec3(1.0f, 1.0f, 1.0f));
    entity->AddComponent(TEXT, text);
    EntityFactory::GetInstance()->AddEntityToSystems(entity);

    // Text draws into whatever is bound after the sprite pass; here the game view, cleared black.
    auto draw_text = [&]() {
        glBindFramebuffer(GL_FRAMEBUFFER, graphics_->GetGameViewFramebuffer()->framebuffer);
        glViewport(0, 0, ViewWidth(), ViewHeight());
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        freetype->Update();
    };
    auto lit_in = [&](int x0, int y0, int x1, int y1) {
        int lit = 0;
        for (int y = y0; y < y1; y += 2)
            for (int x = x0; x < x1; x += 2) {
                const Pixel p = ReadGameView(x, y);
                if (p[0] > 128 && p[1] > 128 && p[2] > 128) ++lit;
            }
        return lit;
    };
    ASSERT_EQ(static_cast<int>(WindowsSystems::GetInstance()->width), ViewWidth());
    ASSERT_LT(ViewWidth(), 1920) << "the window differs from the authoring size";
    draw_text();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    const float sx = static_cast<float>(ViewWidth()) / 1920.0f;
    const float sy = static_cast<float>(ViewHeight()) / 1080.0f;
    const float s = 2.0f * std::min(sx, sy);
    const int x0 = static_cast<int>(1200.0f * sx + static_cast<float>(a.bearing_x) * s);
    const int y0 = static_cast<int>(600.0f * sy - static_cast<float>(a.size_y - a.bearing_y) * s);
    const int w = static_cast<int>(static_cast<float>(a.size_x) * s);
    const int h = static_cast<int>(static_cast<float>(a.size_y) * s);
    EXPECT_GT(lit_in(x0, y0, x0 + w, y0 + h), 20) << "the scaled glyph's box";
    EXPECT_EQ(lit_in(x0 - 40, y0, x0 - 4, y0 + h), 0) << "left of it";
    EXPECT_EQ(lit_in(x0, y0 + h + 4, x0 + w, y0 + h + 40), 0) << "above it: not drawn at the unscaled size";
    EXPECT_EQ(lit_in(1200, 600 - 20, 1200 + 40, 600 + 60), 0) << "nothing at the unscaled window position";
    EXPECT_FLOAT_EQ(text->position.x, 1200.0f) << "the authored value is kept";

    // Hidden: follows the Transform but is not drawn.
    text->hidden = true;
    entity->GetComponent<Transform>(TRANSFORM)->position.x = 300.0f;
    draw_text();
    EXPECT_FLOAT_EQ(text->position.x, 300.0f);
    EXPECT_EQ(lit_in(x0, y0, x0 + w, y0 + h), 0);
}

TEST_F(GraphicsGLTest, PngsOfTwentyFourAndThirtyTwoBitsLoadWithTheirColours)
{
    WritePng(ArtFile("Rgb24"), 2, 2, 24, {{255, 0, 0, 0}, {255, 0, 0, 0}, {0, 0, 255, 0}, {0, 0, 255, 0}});
    WritePng(ArtFile("Rgba32"), 2, 2, 32,
             {{10, 20, 30, 40}, {10, 20, 30, 40}, {250, 128, 0, 255}, {250, 128, 0, 255}});
    TextureManager* manager = TextureManager::GetInstance();
    // A name looked up before its load does not block the load.
    manager->textures["Rgb24"];
    ASSERT_TRUE(manager->LoadTexture(ArtFile("Rgb24"), "Rgb24"));
    ASSERT_TRUE(manager->LoadTexture(ArtFile("Rgba32"), "Rgba32"));
    EXPECT_FALSE(manager->LoadTexture(ArtFile("Rgba32"), "Rgba32")); // already there
    EXPECT_FALSE(manager->LoadTexture(ArtFile("Missing"), "Missing"));
    EXPECT_FALSE(manager->LoadTexture(ArtFile("Rgb24"), ""));

    // Pixel i of a 2 by 2 texture as read back; row 0 is the image's bottom row.
    auto texel = [](uint32_t id, int i) {
        std::vector<unsigned char> p(2 * 2 * 4);
        glBindTexture(GL_TEXTURE_2D, id);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, p.data());
        return Pixel{p[i * 4], p[i * 4 + 1], p[i * 4 + 2], p[i * 4 + 3]};
    };
    const uint32_t rgb = manager->GetTexture("Rgb24")->id;
    const uint32_t rgba = manager->GetTexture("Rgba32")->id;
    EXPECT_EQ(texel(rgb, 0), (Pixel{255, 0, 0, 255}));
    EXPECT_EQ(texel(rgb, 2), (Pixel{0, 0, 255, 255}));
    EXPECT_EQ(texel(rgba, 0), (Pixel{10, 20, 30, 40}));
    EXPECT_EQ(texel(rgba, 3), (Pixel{250, 128, 0, 255}));

    manager->UnloadAllTextures();
    EXPECT_TRUE(manager->textures.empty());
}

TEST_F(GraphicsGLTest, GameViewFramebufferFollowsTheWindowSize)
{
    WindowsSystems* window = WindowsSystems::GetInstance();
    MakeSprite(Vec3(0.0f, 0.0f, 1.0f), Vec3(2.0f, 2.0f, 1.0f), "", Color(1.0f, 0.0f, 1.0f, 1.0f), true);
    for (int i = 0; i < 2; ++i) {
        window->ToggleFullscreen();
        DrawFrame();
        Framebuffer* target = graphics_->GetGameViewFramebuffer();
        EXPECT_EQ(target->width, static_cast<int>(window->width));
        EXPECT_EQ(target->height, static_cast<int>(window->height));
        ExpectColour(Centre(), 255, 0, 255, "centred after F11");
        ExpectColour(ReadGameView(ViewWidth() - 3, ViewHeight() - 3), 0, 128, 128, "corner");
    }
}

TEST_F(GraphicsGLTest, GameRunningDrawsThroughTheActiveCameraIntoTheBackBuffer)
{
    Entity* cam = MakeEntity("Cam", Vec3(10.0f, 0.0f, 0.0f), Vec3(4.0f, 4.0f, 1.0f));
    cam->AddComponent(CAMERA, std::make_shared<Camera>());
    cam->in_systems = true;
    cam->GetComponent<Camera>(CAMERA)->Activate();
    MakeSprite(Vec3(10.0f, 0.0f, 1.0f), Vec3(1.0f, 1.0f, 1.0f), "", Color(1.0f, 1.0f, 0.0f, 1.0f), true);
    GameIsRunning = true;
    DrawFrame();
    WindowsSystems* window = WindowsSystems::GetInstance();
    unsigned char p[4] = {0, 0, 0, 0};
    glReadPixels(static_cast<GLint>(window->width / 2), static_cast<GLint>(window->height / 2), 1, 1, GL_RGBA,
                 GL_UNSIGNED_BYTE, p);
    ExpectColour({p[0], p[1], p[2], p[3]}, 255, 255, 0, "the camera centres the sprite on the window");
    cam->in_systems = false;
}

// ---- Without a usable GL -------------------------------------------------------------------

class GraphicsNoGLTest : public GraphicsTestBase {};

TEST_F(GraphicsNoGLTest, AFailedGLSetUpIsReportedAndStops)
{
    Platform::UseNullBackend(false);
    setenv("SDL_VIDEODRIVER", "dummy", 1); // a window, but no GL
    WindowsSystems::GetInstance()->Init();
    EXPECT_THROW(Graphics::GetInstance()->Init(), OrvTest::AssertionFailure);
    EXPECT_FALSE(Graphics::IsGLReady());
    EXPECT_NE(LogText().find("Unable to create an OpenGL 4.3 compatibility context"), std::string::npos);
    EXPECT_NE(LogText().find("the game cannot draw and stops"), std::string::npos);
}

// Every entry point GL 4.4 and 4.5 added that drawing could reach for, taken away: a call crashes.
void DropEntryPointsAfter43()
{
#define ORV_DROP(name) __glew##name = nullptr
    ORV_DROP(CreateBuffers), ORV_DROP(CreateVertexArrays), ORV_DROP(CreateTextures), ORV_DROP(CreateFramebuffers);
    ORV_DROP(NamedBufferStorage), ORV_DROP(NamedBufferData), ORV_DROP(NamedBufferSubData), ORV_DROP(BufferStorage);
    ORV_DROP(VertexArrayVertexBuffer), ORV_DROP(VertexArrayElementBuffer), ORV_DROP(VertexArrayAttribFormat);
    ORV_DROP(VertexArrayAttribIFormat), ORV_DROP(VertexArrayAttribBinding), ORV_DROP(EnableVertexArrayAttrib);
    ORV_DROP(BindTextureUnit), ORV_DROP(BindTextures), ORV_DROP(BindVertexBuffers), ORV_DROP(TextureStorage2D);
    ORV_DROP(TextureSubImage2D), ORV_DROP(TextureParameteri), ORV_DROP(GetTextureImage), ORV_DROP(ClearTexImage);
    ORV_DROP(NamedFramebufferTexture), ORV_DROP(BlitNamedFramebuffer), ORV_DROP(ClearNamedFramebufferfv);
#undef ORV_DROP
}

// Pretends the driver offers only the given GL and GLSL versions; read by Mesa once a process, at its
// first context.
void OfferOnly(const char* gl, const char* glsl, const OrvTest::fs::path& own_folder)
{
    // The child process made a test folder of its own, and leaves before its tear-down.
    static OrvTest::fs::path folder;
    folder = own_folder;
    std::atexit([] {
        std::error_code ignored;
        OrvTest::fs::remove_all(folder, ignored);
    });
    setenv("MESA_GL_VERSION_OVERRIDE", gl, 1);
    setenv("MESA_GLSL_VERSION_OVERRIDE", glsl, 1);
    dup2(STDERR_FILENO, STDOUT_FILENO); // what the program prints is what a death test can match
}

class GL43Test : public GraphicsTestBase {
protected:
    // Every way of drawing once, into the game view: a filtered picture, a tinted quad, a single
    // quad through the sheet program, a debug line and text. Returns the view's pixels.
    std::vector<unsigned char> DrawEverything()
    {
        WritePng(ArtFile("Quad"), 2, 2, 32, {{255, 0, 0, 255}, {0, 255, 0, 200}, {0, 0, 255, 255}, {255, 255, 0, 90}});
        EXPECT_TRUE(TextureManager::GetInstance()->LoadTexture(ArtFile("Quad"), "Quad"));
        MakeSprite(Vec3(-2.0f, 0.0f, 1.0f), Vec3(5.0f, 7.0f, 1.0f), "Quad");
        MakeSprite(Vec3(2.5f, 1.0f, 2.0f), Vec3(3.0f, 3.0f, 1.0f), "", Color(0.2f, 0.9f, 0.4f, 0.7f), true);
        DebugDraw* lines = DebugDraw::GetInstance();
        lines->colour = Vec4(1.0f, 1.0f, 0.0f, 1.0f);
        lines->current_point = Vec2(-4.0f, -3.0f);
        lines->AddLine(4.0f, 3.0f);
        lines->EndBatch();
        DrawFrame();
        Graphics* graphics = Graphics::GetInstance();
        QuadDraw quad;
        quad.model = SpriteSystem::GetInstance()->GetQuad().get();
        quad.shader = &graphics->shaders[0];
        quad.texture_id = TextureManager::GetInstance()->GetTexture("Quad")->id;
        quad.model_matrix = glm::translate(glm::mat4(1.0f), glm::vec3(0.3f, -0.5f, 0.0f));
        quad.frame = 1;
        glBindFramebuffer(GL_FRAMEBUFFER, graphics->GetGameViewFramebuffer()->framebuffer);
        DrawQuad(quad);
        FreetypeSystem::GetInstance()->Init();
        FreetypeSystem::GetInstance()->DrawText("Ilo 4.3", 100.0f, 100.0f, 1.0f, Vec3(1.0f, 0.5f, 0.25f));
        std::vector<unsigned char> pixels(static_cast<size_t>(ViewWidth()) * ViewHeight() * 4);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, graphics->GetGameViewFramebuffer()->framebuffer);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, ViewWidth(), ViewHeight(), GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        return pixels;
    }
};

// The program needs GL 4.3 and nothing later: a driver that offers no more draws every picture byte
// for byte as today's does; one that offers less ends the program with the reason.
TEST_F(GL43Test, ADriverOfGL43DrawsTheSamePicturesAndAnOlderOneEndsTheProgram)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe"); // a fresh process, so Mesa reads the versions
    const OrvTest::fs::path drawn = Root() / "drawn_under_4.3.rgba";
    setenv("ORV_DRAWN_UNDER_43", drawn.c_str(), 0); // the child runs this too, and keeps the parent's
    EXPECT_EXIT(
        {
            OfferOnly("4.3COMPAT", "430", Root());
            OrvTest::StartOffscreenGL(Root());
            DropEntryPointsAfter43();
            const std::vector<unsigned char> pixels = DrawEverything();
            OrvTest::WriteFile(std::getenv("ORV_DRAWN_UNDER_43"), std::string(pixels.begin(), pixels.end()));
            std::cout << "GL " << glGetString(GL_VERSION) << std::endl;
            std::exit(HasFailure() ? 2 : 0);
        },
        ::testing::ExitedWithCode(0), "Rendering Environment Success\n.*GL 4\\.3 \\(Compatibility Profile\\)");
    EXPECT_EXIT(
        {
            OfferOnly("4.2COMPAT", "420", Root());
            OrvTest::StartOffscreenGL(Root());
            std::exit(3);
        },
        ::testing::ExitedWithCode(1), "\nError: Cannot access GL 4\\.3 API\n");

    unsetenv("ORV_DRAWN_UNDER_43");
    ASSERT_TRUE(OrvTest::fs::exists(drawn));
    OrvTest::StartOffscreenGL(Root());
    const std::vector<unsigned char> today = DrawEverything();
    const std::string under_43 = OrvTest::ReadFile(drawn);
    ASSERT_EQ(under_43.size(), today.size());
    EXPECT_TRUE(std::equal(today.begin(), today.end(), under_43.begin(), [](unsigned char a, char b) {
        return a == static_cast<unsigned char>(b);
    })) << "the same pixels under 4.3";
    EXPECT_GT(std::count(today.begin(), today.end(), 255), 1000) << "something was drawn";
}

TEST_F(GraphicsNoGLTest, NullBackendDisablesDrawingAndEverythingElseRuns)
{
    OrvTest::fs::create_directories(Root() / "Resources" / "ArtAssets");
    Graphics::GetInstance()->Init();
    SpriteSystem::GetInstance()->Init();
    FreetypeSystem::GetInstance()->Init();
    EXPECT_FALSE(Graphics::IsGLReady());
    EXPECT_NE(LogText().find("drawing is disabled"), std::string::npos);

    // Pictures are still read, so names resolve; nothing is uploaded.
    WritePng(ArtFile("Pic"), 1, 1, 24, {{1, 2, 3, 0}});
    auto sprite = MakeSprite(Vec3(), Vec3(1.0f, 1.0f, 1.0f), "Pic");
    ASSERT_NE(sprite->GetTextureRef(), nullptr);
    EXPECT_EQ(sprite->GetTextureRef()->id, 0u);
    EXPECT_EQ(sprite->GetTextureRef()->width, 1);

    Entity* entity = MakeEntity("Label", Vec3(), Vec3(1.0f, 1.0f, 1.0f));
    auto text = std::make_shared<Text>();
    text->SetText("abc");
    entity->AddComponent(TEXT, text);
    EntityFactory::GetInstance()->AddEntityToSystems(entity);
    DebugDraw::GetInstance()->AddLine(1.0f, 1.0f);
    DebugDraw::GetInstance()->EndBatch();
    for (bool running : {false, true}) {
        GameIsRunning = running;
        Graphics::GetInstance()->Update();
        SpriteSystem::GetInstance()->Update();
        FreetypeSystem::GetInstance()->Update();
    }
    EXPECT_TRUE(DebugDraw::GetInstance()->batches.empty());
    Graphics::GetInstance()->CleanRenderingEnvironment();
    Graphics::GetInstance()->CleanRenderingEnvironment();
}

// ---- JSON ----------------------------------------------------------------------------------

using OrvTest::Parse;
using OrvTest::SerializeComponent;

TEST_F(GraphicsNoGLTest, SpriteTextAndCameraRoundTripAndBadValuesFallBackToDefaults)
{
    Sprite sprite;
    sprite.SetTexture("Anim_Ilo_Idle");
    sprite.is_spritesheet = true;
    sprite.spritesheet_speed = 0.125f;
    sprite.start_frame = 2;
    sprite.number_of_frames = 16;
    sprite.play_once = true;
    sprite.ent_name = "Player";
    sprite.is_slider = true;
    sprite.slider_offset = 0.5f;
    sprite.SetTint(Color(0.25f, 0.5f, 0.75f, 1.0f), true);
    const std::string sprite_json = "[" + SerializeComponent(sprite) + "]";
    Sprite sprite_copy;
    sprite_copy.Deserialize(Parse(sprite_json));
    EXPECT_EQ("[" + SerializeComponent(sprite_copy) + "]", sprite_json);
    EXPECT_EQ(sprite_copy.texture, "../Resources/ArtAssets/Anim_Ilo_Idle.png");

    // A "texture" that disagrees with the identifier is rebuilt from the identifier.
    Sprite rebuilt;
    rebuilt.Deserialize(Parse(R"([{"tex_identifier": "A", "texture": "../elsewhere/B.png"}])"));
    EXPECT_EQ(rebuilt.texture, "../Resources/ArtAssets/A.png");

    Sprite bad;
    bad.Deserialize(Parse(R"([{"tex_identifier": 5, "is_spritesheet": "yes", "spritesheet_speed": "fast",
        "start_frame": 1.5, "number_of_frames": [], "tint_color": 3, "is_tinted": 1}])"));
    EXPECT_EQ(bad.tex_identifier, "");
    EXPECT_EQ(bad.texture, "");
    EXPECT_FALSE(bad.is_spritesheet);
    EXPECT_FLOAT_EQ(bad.spritesheet_speed, 0.0f);
    EXPECT_EQ(bad.number_of_frames, 0);
    EXPECT_FALSE(bad.is_tinted);
    EXPECT_EQ(bad.GetTintColor(), Vec4(1.0f, 1.0f, 1.0f, 1.0f));
    Sprite not_an_array;
    not_an_array.Deserialize(Parse("42"));
    EXPECT_EQ(not_an_array.GetTintColor(), Vec4(1.0f, 1.0f, 1.0f, 1.0f));

    Text text;
    text.SetText("Score: 10");
    text.SetTextSize(0.75f);
    text.SetColor(Vec3(1.0f, 0.5f, 0.0f));
    const std::string text_json = "[" + SerializeComponent(text) + "]";
    Text text_copy;
    text_copy.Deserialize(Parse(text_json));
    EXPECT_EQ("[" + SerializeComponent(text_copy) + "]", text_json);
    Text bad_text;
    bad_text.Deserialize(Parse(R"([{"textToPrint": false, "textSize": "big", "color": "red"}])"));
    EXPECT_EQ(bad_text.GetText(), "");
    EXPECT_FLOAT_EQ(bad_text.textSize, 0.001f);
    EXPECT_EQ(bad_text.GetColor(), Vec3());

    Camera camera;
    EXPECT_EQ(SerializeComponent(camera), "{}");
    camera.Deserialize(Parse(R"([{"anything": 1}])"));
}

} // namespace
