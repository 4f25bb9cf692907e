// Textures at start-up: the resource scan makes every picture of the art folder known by name
// without reading it; a picture is read when a sprite needs it, on a worker thread, and uploaded by
// the main thread. A sprite's first draw waits for its picture, so nothing shows white for want of
// time, and a broken file is named once when first needed. On a scene change the pictures no live
// sprite uses give their memory back and are read again when next drawn.
#include "TestSupport.h"
#include "GLTestSupport.h"

#include "Components/Sprite.h"
#include "Components/Transform.h"
#include "Factory/Entity.h"
#include "Graphics/Framebuffer.h"
#include "Graphics/TextureManager.h"

#include <FreeImage.h>
#include <GL/glew.h>

#include <array>
#include <chrono>
#include <thread>

using namespace OrvEngine;

namespace {

class TextureLoadTest : public OrvTest::EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        OrvTest::StartOffscreenGL(Root());
    }

    void TearDown() override
    {
        for (Entity* entity : entities_) EntityFactory::GetInstance()->DestroyEntity(entity);
        EngineTest::TearDown();
    }

    OrvTest::fs::path Art(const std::string& name) const { return Root() / "Resources" / "ArtAssets" / (name + ".png"); }
    // The path as the scan names it, from the working folder.
    static std::string ScannedPath(const std::string& name) { return "../Resources/ArtAssets/" + name + ".png"; }

    // A 2 by 2 picture of one opaque colour.
    void WritePicture(const std::string& name, BYTE r, BYTE g, BYTE b)
    {
        FIBITMAP* image = FreeImage_Allocate(2, 2, 32);
        for (int y = 0; y < 2; ++y) {
            BYTE* line = FreeImage_GetScanLine(image, y);
            for (int x = 0; x < 2; ++x) {
                line[x * 4 + FI_RGBA_RED] = r;
                line[x * 4 + FI_RGBA_GREEN] = g;
                line[x * 4 + FI_RGBA_BLUE] = b;
                line[x * 4 + FI_RGBA_ALPHA] = 255;
            }
        }
        ASSERT_TRUE(FreeImage_Save(FIF_PNG, image, Art(name).c_str(), 0));
        FreeImage_Unload(image);
    }

    // A sprite filling the middle of the editor's view, in the systems.
    std::shared_ptr<Sprite> MakeSprite(const std::string& texture)
    {
        Entity* entity = OrvTest::MakeTransformEntity(texture, Vec3(0.0f, 0.0f, 1.0f), Vec3(4.0f, 4.0f, 1.0f));
        entities_.push_back(entity);
        auto sprite = std::make_shared<Sprite>();
        sprite->SetTexture(texture);
        entity->AddComponent(SPRITE, sprite);
        EntityFactory::GetInstance()->AddEntityToSystems(entity);
        return sprite;
    }

    // Draws one frame and reads the centre of the editor's view.
    std::array<int, 3> DrawAndReadCentre()
    {
        Graphics::GetInstance()->Update();
        SpriteSystem::GetInstance()->Update();
        Framebuffer* view = Graphics::GetInstance()->GetGameViewFramebuffer();
        unsigned char p[4] = {0, 0, 0, 0};
        glBindFramebuffer(GL_READ_FRAMEBUFFER, view->framebuffer);
        glReadPixels(view->width / 2, view->height / 2, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
        return {p[0], p[1], p[2]};
    }

    // Lets the main thread upload what the workers read, until the texture is in (5 s at most).
    static void UploadWhenRead(const Texture& texture)
    {
        for (int i = 0; i < 1000 && texture.id == 0; ++i) {
            TextureManager::GetInstance()->UploadFinished();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }

    std::vector<Entity*> entities_;
};

TEST_F(TextureLoadTest, EveryPictureIsKnownAtTheScanAndReadOnlyWhenASpriteNeedsIt)
{
    WritePicture("Red", 255, 0, 0);
    WritePicture("Blue", 0, 0, 255);
    WritePicture("Green", 0, 255, 0);
    OrvTest::WriteFile(Art("Broken"), std::string("\x89PNG\r\n\x1a\n", 8) + std::string(64, 'x'));
    ResourceManager::GetInstance()->RefreshTextures();
    TextureManager* textures = TextureManager::GetInstance();
    for (const char* name : {"Red", "Blue", "Green", "Broken"}) {
        auto texture = textures->GetTexture(name);
        ASSERT_NE(texture, nullptr) << name << " is known by name";
        EXPECT_EQ(texture->id, 0u) << name << " is not read yet";
        EXPECT_EQ(texture->path, ScannedPath(name));
        EXPECT_TRUE(texture->pending);
    }

    // Entering the systems starts a worker on the picture; the main thread only uploads it.
    auto red = MakeSprite("Red");
    UploadWhenRead(*red->GetTextureRef());
    EXPECT_NE(red->GetTextureRef()->id, 0u) << "read by a worker, uploaded without anyone waiting";
    EXPECT_EQ(red->GetTextureRef()->width, 2);
    EXPECT_FALSE(red->GetTextureRef()->pending);
    red->owner->active = false;

    // Switched to while live and drawn at once: the draw waits for the picture.
    auto blue = MakeSprite("Red");
    blue->SetTexture("Blue");
    const auto centre = DrawAndReadCentre();
    EXPECT_EQ(centre, (std::array<int, 3>{0, 0, 255}));
    EXPECT_EQ(textures->GetTexture("Green")->id, 0u) << "a picture nothing uses is never read";
    EXPECT_TRUE(textures->GetTexture("Green")->pending);

    // A broken file is named once, when first needed, and drawn white.
    blue->owner->active = false;
    MakeSprite("Broken");
    for (int i = 0; i < 3; ++i) EXPECT_EQ(DrawAndReadCentre(), (std::array<int, 3>{255, 255, 255}));
    const std::string log = LogText();
    const std::string line = "Image failed to load! " + ScannedPath("Broken");
    ASSERT_NE(log.find(line), std::string::npos);
    EXPECT_EQ(log.find(line, log.find(line) + 1), std::string::npos);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(TextureLoadTest, ASceneChangeGivesBackWhatOnlyTheSceneLeftBehindUsedAndItIsReadAgainWhenDrawn)
{
    WritePicture("Red", 255, 0, 0);
    WritePicture("Blue", 0, 0, 255);
    ResourceManager::GetInstance()->RefreshTextures();
    new SceneStateMachine();
    OrvStateMachine->current_scene = SceneStateMachine::MakeGameScene();
    auto red = MakeSprite("Red");
    EXPECT_EQ(DrawAndReadCentre(), (std::array<int, 3>{255, 0, 0}));
    auto blue = MakeSprite("Blue");
    blue->owner->active = false; // live, though not drawn
    UploadWhenRead(*blue->GetTextureRef());
    EntityFactory::GetInstance()->RemoveEntityFromSystems(red->owner);
    const auto& texture = red->GetTextureRef();
    ASSERT_NE(texture->id, 0u);

    OrvStateMachine->current_scene = SceneStateMachine::MakeGameScene();
    DrawAndReadCentre();
    EXPECT_EQ(texture->id, 0u) << "nothing live uses it any more";
    EXPECT_TRUE(texture->pending);
    EXPECT_NE(blue->GetTextureRef()->id, 0u) << "a live sprite's picture stays, drawn or not";

    MakeSprite("Red");
    EXPECT_EQ(DrawAndReadCentre(), (std::array<int, 3>{255, 0, 0})) << "read again when drawn";
    EXPECT_NE(texture->id, 0u);
}

// A picture is what its PNG header says, within a size a 2D game uses: another format behind a
// .png name, or a header claiming a side or an area past the limits, is refused before anything is
// allocated for it, and named once.
TEST_F(TextureLoadTest, OnlyAPngWithinTheSizeLimitIsReadAndARefusalIsNamedOnce)
{
    // One bit a pixel: the large ones stay small in the test's memory.
    auto write_sized = [this](const std::string& name, unsigned width, unsigned height) {
        FIBITMAP* image = FreeImage_Allocate(static_cast<int>(width), static_cast<int>(height), 1);
        ASSERT_TRUE(FreeImage_Save(FIF_PNG, image, Art(name).c_str(), 0));
        FreeImage_Unload(image);
    };
    write_sized("Widest", TextureDecoder::kMaxSide, 1);
    write_sized("TooWide", TextureDecoder::kMaxSide + 1, 1);
    write_sized("TooTall", 1, TextureDecoder::kMaxSide + 1);
    write_sized("TooMany", TextureDecoder::kMaxSide, TextureDecoder::kMaxPixels / TextureDecoder::kMaxSide + 1);
    // A complete PBM picture of one row, 20000 pixels wide, under a PNG's name.
    OrvTest::WriteFile(Art("Pbm"), "P4\n20000 1\n" + std::string(2500, '\xff'));

    auto decoded = [this](const std::string& name) {
        DecodedPicture picture;
        picture.path = Art(name).string();
        TextureDecoder::Decode(picture);
        return std::make_pair(picture.width, picture.height);
    };
    EXPECT_EQ(decoded("Widest"), std::make_pair(static_cast<int>(TextureDecoder::kMaxSide), 1));
    EXPECT_EQ(decoded("TooWide"), std::make_pair(0, 0));
    EXPECT_EQ(decoded("TooTall"), std::make_pair(0, 0));
    EXPECT_EQ(decoded("TooMany"), std::make_pair(0, 0));
    EXPECT_EQ(decoded("Pbm"), std::make_pair(0, 0)) << "not a PNG, whatever its name";

    ResourceManager::GetInstance()->RefreshTextures();
    TextureManager* textures = TextureManager::GetInstance();
    for (const char* name : {"TooWide", "Pbm"}) {
        for (int i = 0; i < 3; ++i) EXPECT_FALSE(textures->LoadTexture(ScannedPath(name), std::string(name) + "_again"));
    }
    const std::string log = LogText();
    const std::string too_wide = "Image failed to load! " + ScannedPath("TooWide") + ": 16385 x 1 is larger than a "
                                 "picture may be (16384 on a side, 67108864 pixels in all)\n";
    const std::string pbm = "Image failed to load! " + ScannedPath("Pbm") + "\n";
    ASSERT_NE(log.find(too_wide), std::string::npos) << log;
    EXPECT_EQ(log.find(too_wide, log.find(too_wide) + 1), std::string::npos) << "named once";
    ASSERT_NE(log.find(pbm), std::string::npos) << log;
    EXPECT_EQ(log.find(pbm, log.find(pbm) + 1), std::string::npos);
}

} // namespace
