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

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <tuple>
#include <utility>
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
    const std::string line = "\nImage failed to load! \n[TextureManager::LoadTexture] " + ScannedPath("Broken") +
                             " could not be read\n";
    ASSERT_NE(log.find(line), std::string::npos) << log;
    EXPECT_EQ(log.find("Image failed to load! ", log.find(line) + line.size()), std::string::npos);
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

// Bytes of a file put together field by field.
class Bytes {
public:
    Bytes& Text(const std::string& text) { return Add(text); }
    Bytes& Zeros(size_t count) { return Add(std::string(count, '\0')); }
    Bytes& BE(uint64_t value, int size)
    {
        for (int i = size - 1; i >= 0; --i) data_.push_back(static_cast<char>((value >> (8 * i)) & 0xffu));
        return *this;
    }
    Bytes& LE(uint64_t value, int size)
    {
        for (int i = 0; i < size; ++i) data_.push_back(static_cast<char>((value >> (8 * i)) & 0xffu));
        return *this;
    }
    // A PNG-style chunk: length, type, data and the CRC of type and data.
    Bytes& Chunk(const std::string& type, const std::string& body)
    {
        BE(body.size(), 4);
        uint32_t crc = 0xffffffffu;
        for (const char c : type + body) {
            crc ^= static_cast<uint8_t>(c);
            for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
        }
        return Text(type).Text(body).BE(~crc, 4);
    }
    Bytes& Add(const std::string& more)
    {
        data_ += more;
        return *this;
    }
    const std::string& Data() const { return data_; }

private:
    std::string data_;
};

// Tiny files that claim a picture of 60000 x 50000 (3 gigapixels), one for each format FreeImage
// cannot read without its pixels, and the PBM and PNG it can.
std::vector<std::pair<std::string, std::string>> GigapixelClaims()
{
    const unsigned w = 60000, h = 50000;
    const std::string png_header = Bytes().BE(w, 4).BE(h, 4).Text(std::string("\x08\x06\0\0\0", 5)).Data();
    const std::string siz = Bytes().BE(0xff4f, 2).BE(0xff51, 2).BE(41, 2).BE(0, 2).BE(w, 4).BE(h, 4).Zeros(28).Data();
    const std::string gif = Bytes().Text("GIF89a").LE(2, 2).LE(2, 2).BE(0, 3).Text("!\xf9\x04").Zeros(5)
                                .Text(",").LE(0, 4).LE(w, 2).LE(h, 2).BE(0, 1).Text("\x02\x02\x44\x01\0;").Data();
    const std::string bmhd = Bytes().BE(w, 2).BE(h, 2).Zeros(4).BE(8, 1).Zeros(7).BE(w, 2).BE(h, 2).Data();
    const std::string ilbm = Bytes().Text("ILBMBMHD").BE(bmhd.size(), 4).Add(bmhd).Text("BODY").BE(4, 4).Zeros(4).Data();
    const std::string ihdr = Bytes().Chunk("IHDR", png_header).Data();
    return {
        {"Claim.pbm", "P4\n99999 9999\n"},
        {"Claim.png", Bytes().Text("\x89PNG\r\n\x1a\n").Add(ihdr).Chunk("IDAT", std::string(12, '\0')).Chunk("IEND", "")
                          .Data()},
        {"Claim.gif", gif},
        {"Claim.iff", Bytes().Text("FORM").BE(ilbm.size(), 4).Add(ilbm).Data()},
        {"Claim.mng", Bytes().Text("\x8aMNG\r\n\x1a\n").Chunk("MHDR", Bytes().BE(1, 4).BE(1, 4).Zeros(20).Data())
                          .Add(ihdr).Chunk("IEND", "").Chunk("MEND", "").Data()},
        {"Claim.wbmp", std::string("\0\0\x83\xd4\x60\x83\x86\x50", 8) + std::string(8, '\0')},
        {"Claim.xbm", "#define c_width 60000\n#define c_height 50000\nstatic char c_bits[] = {0x00};\n"},
        {"Claim.dds", Bytes().Text("DDS ").LE(124, 4).LE(0x100f, 4).LE(h, 4).LE(w, 4).Zeros(108).Data()},
        {"Claim.sgi", Bytes().BE(474, 2).BE(0, 1).BE(1, 1).BE(2, 2).BE(w, 2).BE(h, 2).BE(1, 2).Zeros(500).Data()},
        {"Claim.j2k", siz},
        {"Claim.jp2", Bytes().BE(12, 4).Text("jP  \r\n\x87\n").BE(20, 4).Text("ftypjp2 ").BE(0, 4).Text("jp2 ")
                          .BE(45, 4).Text("jp2h").BE(22, 4).Text("ihdr").BE(1, 4).BE(1, 4).Zeros(6)
                          .BE(15, 4).Text("colr").Zeros(7).BE(8 + siz.size(), 4).Text("jp2c").Add(siz).Data()},
        {"Claim.pict", Bytes().Zeros(512).BE(0, 2).BE(0, 8).BE(0x0011, 2).BE(0x02ff, 2).BE(0x0c00, 2).Zeros(24)
                           .BE(0x0001, 2).BE(10, 2).Zeros(8).BE(0x0098, 2).BE(0x8000 | 4000, 2)
                           .BE(0, 2).BE(0, 2).BE(h / 2, 2).BE(w / 2, 2).Zeros(40).Data()},
    };
}

// Any picture FreeImage reads is read: the format comes from the contents, else from the name. A
// header claiming a side or an area past the limits is refused before any pixel is read for it,
// whatever the format; the failure's own line is written and a line naming the file follows.
TEST_F(TextureLoadTest, AnyPictureFreeImageReadsIsReadWithinTheSizeLimitAndARefusalIsNamedOnce)
{
    auto save = [this](const std::string& file, FREE_IMAGE_FORMAT format, int bpp) {
        FIBITMAP* image = FreeImage_Allocate(2, 2, bpp);
        if (bpp == 8) {
            RGBQUAD* palette = FreeImage_GetPalette(image);
            palette[1].rgbRed = 200;
            palette[1].rgbGreen = 100;
            palette[1].rgbBlue = 50;
        }
        for (int y = 0; y < 2; ++y) std::memset(FreeImage_GetScanLine(image, y), bpp == 1 ? 0x40 : 1, bpp * 2 / 8 + 1);
        const std::string path = (Root() / "Resources" / "ArtAssets" / file).string();
        EXPECT_TRUE(FreeImage_Save(format, image, path.c_str(), 0)) << file;
        FreeImage_Unload(image);
        return path;
    };
    // A BMP under a .png name, a GIF (read without a header-only load) and a WBMP, whose contents
    // FreeImage cannot tell, so its name does.
    const std::string bmp = save("Bmp.png", FIF_BMP, 24);
    const std::string gif = save("Gif.png", FIF_GIF, 8);
    const std::string wbmp = save("Wbmp.png.wbmp", FIF_WBMP, 1);
    OrvTest::WriteFile(Art("Text"), "not a picture");
    OrvTest::WriteFile(Root() / "Resources" / "ArtAssets" / "Notes.png.txt", "not a picture either");
    auto decoded = [](const std::string& path) {
        DecodedPicture picture;
        picture.path = path;
        TextureDecoder::Decode(picture);
        return picture.image ? std::make_tuple(picture.width, picture.height, picture.Pixels()[FI_RGBA_RED] + 0,
                                               picture.type_from_name)
                             : std::make_tuple(0, 0, static_cast<int>(picture.failure), picture.type_from_name);
    };
    EXPECT_EQ(decoded(bmp), std::make_tuple(2, 2, 1, false));
    EXPECT_EQ(decoded(gif), std::make_tuple(2, 2, 200, false));
    EXPECT_EQ(decoded(wbmp), std::make_tuple(2, 2, 0, true));

    // One bit a pixel: the large PNGs stay small in the test's memory.
    auto write_sized = [this](const std::string& name, unsigned width, unsigned height) {
        FIBITMAP* image = FreeImage_Allocate(static_cast<int>(width), static_cast<int>(height), 1);
        ASSERT_TRUE(FreeImage_Save(FIF_PNG, image, Art(name).c_str(), 0));
        FreeImage_Unload(image);
    };
    write_sized("Widest", TextureDecoder::kMaxSide, 1);
    write_sized("TooWide", TextureDecoder::kMaxSide + 1, 1);
    write_sized("TooTall", 1, TextureDecoder::kMaxSide + 1);
    write_sized("TooMany", TextureDecoder::kMaxSide, TextureDecoder::kMaxPixels / TextureDecoder::kMaxSide + 1);
    auto refused = [](const std::string& path) {
        DecodedPicture picture;
        picture.path = path;
        TextureDecoder::Decode(picture);
        if (picture.failure != DecodedPicture::Failure::TooLarge) return std::make_pair(0u, 0u);
        return std::make_pair(picture.refused_width, picture.refused_height);
    };
    EXPECT_EQ(decoded(Art("Widest").string()), std::make_tuple(static_cast<int>(TextureDecoder::kMaxSide), 1, 0, false));
    EXPECT_EQ(refused(Art("TooWide").string()), std::make_pair(TextureDecoder::kMaxSide + 1, 1u));
    EXPECT_EQ(refused(Art("TooTall").string()), std::make_pair(1u, TextureDecoder::kMaxSide + 1));
    EXPECT_EQ(refused(Art("TooMany").string()).second, TextureDecoder::kMaxPixels / TextureDecoder::kMaxSide + 1);
    // Refused from the header alone: FreeImage would have allocated gigabytes for each.
    for (const auto& [file, bytes] : GigapixelClaims()) {
        const OrvTest::fs::path path = Root() / file;
        OrvTest::WriteFile(path, bytes);
        // A PICT's sides are 16-bit signed numbers.
        const auto expected = file == "Claim.pbm"    ? std::make_pair(99999u, 9999u)
                              : file == "Claim.pict" ? std::make_pair(30000u, 25000u)
                                                     : std::make_pair(60000u, 50000u);
        EXPECT_EQ(refused(path.string()), expected) << file;
    }
    EXPECT_EQ(GigapixelClaims()[0].second.size(), 14u);
    EXPECT_EQ(GigapixelClaims()[1].second.size(), 69u);

    // What is written, once a file: to standard output, and the failures to the log as well.
    TextureManager* textures = TextureManager::GetInstance();
    OrvTest::StdoutCapture out;
    EXPECT_TRUE(textures->LoadTexture(wbmp, "Wbmp"));
    for (int i = 0; i < 2; ++i) {
        EXPECT_FALSE(textures->LoadTexture(ScannedPath("Text"), "Text"));
        EXPECT_FALSE(textures->LoadTexture(ScannedPath("TooWide"), "TooWide"));
        EXPECT_FALSE(textures->LoadTexture("../Resources/ArtAssets/Notes.png.txt", "Notes"));
    }
    const std::string not_read = "Image failed to load! \n[TextureManager::LoadTexture] " + ScannedPath("Text") +
                                 " could not be read\n";
    const std::string too_wide = "Image failed to load! \n[TextureManager::LoadTexture] " + ScannedPath("TooWide") +
                                 ": 16385 x 1 is larger than a picture may be (16384 on a side, 67108864 pixels in all)\n";
    const std::string unknown = "fif unknown 1\nfif unknown 2\n[TextureManager::LoadTexture] "
                                "../Resources/ArtAssets/Notes.png.txt is not a picture of a format FreeImage knows\n";
    EXPECT_EQ(out.Take(), "fif unknown 1\n" "fif unknown 1\n" + not_read + too_wide + unknown);
    EXPECT_EQ(LogText().substr(LogText().find("Image failed")), not_read + too_wide);
}

// A PNG written sample by sample: any colour type, bit depth and interlacing, its data stored
// uncompressed, so the test needs no encoder of its own.
struct PngPicture {
    int width = 1;
    int height = 1;
    int color = 2; // the PNG colour type: 0 grey, 2 RGB, 3 palette, 4 grey and alpha, 6 RGBA
    int depth = 8;
    bool interlaced = false;
    std::vector<std::array<uint8_t, 3>> palette;
    std::vector<uint8_t> transparency; // alphas of the first palette entries
    std::vector<uint16_t> samples;     // Channels() a pixel, rows from the top

    int Channels() const { return color == 0 || color == 3 ? 1 : color == 4 ? 2 : color == 2 ? 3 : 4; }
    uint16_t Sample(int x, int y, int channel) const { return samples[(size_t(y) * width + x) * Channels() + channel]; }

    // What the file means at (x, y), rows from the top, 8 bits a channel: 16-bit samples by their top
    // 8 bits, fewer bits scaled up.
    std::array<int, 4> Meant(int x, int y) const
    {
        const auto eight = [this](uint16_t v) { return depth == 16 ? v >> 8 : v * 255 / ((1 << depth) - 1); };
        if (color == 3) {
            const uint16_t index = Sample(x, y, 0);
            const auto& entry = palette[index];
            return {entry[0], entry[1], entry[2], index < transparency.size() ? transparency[index] : 255};
        }
        const int first = eight(Sample(x, y, 0));
        if (color == 0) return {first, first, first, 255};
        if (color == 4) return {first, first, first, eight(Sample(x, y, 1))};
        const int alpha = color == 6 ? eight(Sample(x, y, 3)) : 255;
        return {first, eight(Sample(x, y, 1)), eight(Sample(x, y, 2)), alpha};
    }

    std::string Encode() const
    {
        // Adam7's passes as first column, first row, column step, row step; one pass otherwise.
        static const int kAdam7[7][4] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                         {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
        static const int kWhole[1][4] = {{0, 0, 1, 1}};
        std::string raw;
        for (int pass = 0; pass < (interlaced ? 7 : 1); ++pass) {
            const int* step = interlaced ? kAdam7[pass] : kWhole[0];
            for (int y = step[1]; y < height && step[0] < width; y += step[3]) {
                raw.push_back(0); // no filter
                unsigned bits = 0, held = 0;
                for (int x = step[0]; x < width; x += step[2]) {
                    for (int c = 0; c < Channels(); ++c) {
                        const uint16_t v = Sample(x, y, c);
                        if (depth >= 8) {
                            if (depth == 16) raw.push_back(static_cast<char>(v >> 8));
                            raw.push_back(static_cast<char>(v & 0xffu));
                            continue;
                        }
                        // Fewer bits are packed from the high end of each byte.
                        bits = (bits << depth) | v;
                        held += depth;
                        if (held < 8) continue;
                        raw.push_back(static_cast<char>(bits));
                        bits = held = 0;
                    }
                }
                if (held) raw.push_back(static_cast<char>(bits << (8 - held)));
            }
        }
        std::string plte, trns(transparency.begin(), transparency.end());
        for (const auto& entry : palette) plte += {char(entry[0]), char(entry[1]), char(entry[2])};
        Bytes file;
        file.Text("\x89PNG\r\n\x1a\n");
        file.Chunk("IHDR", Bytes().BE(width, 4).BE(height, 4).BE(depth, 1).BE(color, 1).BE(0, 2).BE(interlaced, 1).Data());
        if (!plte.empty()) file.Chunk("PLTE", plte);
        if (!trns.empty()) file.Chunk("tRNS", trns);
        return file.Chunk("IDAT", Stored(raw)).Chunk("IEND", "").Data();
    }

    // A zlib stream of stored blocks.
    static std::string Stored(const std::string& raw)
    {
        Bytes z;
        z.BE(0x7801, 2);
        size_t at = 0;
        do {
            const size_t count = std::min<size_t>(65535, raw.size() - at);
            z.BE(at + count == raw.size(), 1).LE(count, 2).LE(~count & 0xffffu, 2).Add(raw.substr(at, count));
            at += count;
        } while (at < raw.size());
        uint32_t a = 1, b = 0;
        for (const char c : raw) {
            a = (a + static_cast<uint8_t>(c)) % 65521;
            b = (b + a) % 65521;
        }
        return z.BE((b << 16) | a, 4).Data();
    }
};

// The texture's texels, rows from the bottom.
std::vector<unsigned char> Texels(const Texture& texture)
{
    std::vector<unsigned char> texels(static_cast<size_t>(texture.width) * texture.height * 4);
    glBindTexture(GL_TEXTURE_2D, texture.id);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    return texels;
}

// Every PNG FreeImage reads reaches GL as the colours its file means, 16-bit ones included (they
// come as FreeImage's 16-bit image types, grey with alpha among them), and so do floating-point
// pictures. Each case is loaded through the texture manager and read back from GL.
TEST_F(TextureLoadTest, EveryKindOfPngReachesGLAsTheColoursItsFileMeans)
{
    struct Kind {
        const char* name;
        int color;
        int depth;
        std::vector<uint8_t> transparency;
    };
    const Kind kinds[] = {
        {"Grey1", 0, 1, {}},   {"Grey2", 0, 2, {}},    {"Grey4", 0, 4, {}},  {"Grey8", 0, 8, {}},
        {"Grey16", 0, 16, {}}, {"GreyAlpha8", 4, 8, {}}, {"GreyAlpha16", 4, 16, {}}, {"Rgb8", 2, 8, {}},
        {"Rgb16", 2, 16, {}},  {"Rgba8", 6, 8, {}},    {"Rgba16", 6, 16, {}}, {"Palette1", 3, 1, {}},
        {"Palette2", 3, 2, {}}, {"Palette4", 3, 4, {}}, {"Palette8", 3, 8, {}}, {"Palette2Clear", 3, 2, {0, 90}},
        {"Palette8Clear", 3, 8, {0, 255, 128, 37, 0, 200}},
    };
    const std::pair<int, int> sizes[] = {{1, 1}, {13, 9}, {4097, 1}};
    TextureManager* textures = TextureManager::GetInstance();
    uint32_t seed = 12345;
    const auto next = [&seed]() { return seed = seed * 1664525u + 1013904223u, seed >> 8; };
    int checked = 0;
    for (const Kind& kind : kinds) {
        for (const auto& [width, height] : sizes) {
            for (const bool interlaced : {false, true}) {
                PngPicture png;
                png.width = width;
                png.height = height;
                png.color = kind.color;
                png.depth = kind.depth;
                png.interlaced = interlaced;
                png.transparency = kind.transparency;
                const uint32_t values = 1u << kind.depth;
                for (uint32_t i = 0; kind.color == 3 && i < values; ++i) {
                    png.palette.push_back({uint8_t(next()), uint8_t(next()), uint8_t(next())});
                }
                for (int i = 0; i < width * height * png.Channels(); ++i) png.samples.push_back(uint16_t(next() % values));
                const std::string name = std::string(kind.name) + "_" + std::to_string(width) + "x" +
                                         std::to_string(height) + (interlaced ? "_Interlaced" : "");
                const OrvTest::fs::path path = Art(name);
                OrvTest::WriteFile(path, png.Encode());
                ASSERT_TRUE(textures->LoadTexture(path.string(), name)) << name;
                const auto texture = textures->GetTexture(name);
                ASSERT_EQ(std::make_pair(texture->width, texture->height), std::make_pair(width, height)) << name;
                const std::vector<unsigned char> texels = Texels(*texture);
                const int slack = kind.depth == 16 ? 1 : 0;
                std::string wrong;
                for (int y = 0; y < height && wrong.empty(); ++y) {
                    for (int x = 0; x < width && wrong.empty(); ++x) {
                        const unsigned char* got = &texels[(size_t(height - 1 - y) * width + x) * 4];
                        const std::array<int, 4> meant = png.Meant(x, y);
                        for (int c = 0; c < 4; ++c) {
                            if (std::abs(got[c] - meant[c]) <= slack) continue;
                            wrong = "(" + std::to_string(x) + ", " + std::to_string(y) + ") channel " +
                                    std::to_string(c) + ": " + std::to_string(got[c]) + " for " + std::to_string(meant[c]);
                            break;
                        }
                    }
                }
                EXPECT_EQ(wrong, "") << name;
                ++checked;
            }
        }
    }
    EXPECT_EQ(checked, 102);

    // Floating-point pictures: 1 is full, beyond it clamped; the alpha kept.
    const std::vector<std::array<float, 4>> floats = {{0.5f, 0.25f, 1.0f, 0.75f}, {2.0f, -1.0f, 0.0f, 0.0f}};
    const std::vector<std::array<int, 4>> floats_meant = {{128, 64, 255, 191}, {255, 0, 0, 0}};
    const std::tuple<const char*, FREE_IMAGE_TYPE, FREE_IMAGE_FORMAT> float_kinds[] = {
        {"Rgbaf.tif", FIT_RGBAF, FIF_TIFF}, {"Rgbf.pfm", FIT_RGBF, FIF_PFM}, {"Float.tif", FIT_FLOAT, FIF_TIFF}};
    for (const auto& [file, type, format] : float_kinds) {
        FIBITMAP* image = FreeImage_AllocateT(type, 2, 1);
        for (int x = 0; x < 2; ++x) {
            const auto& v = floats[x];
            BYTE* line = FreeImage_GetScanLine(image, 0);
            if (type == FIT_RGBAF) reinterpret_cast<FIRGBAF*>(line)[x] = {v[0], v[1], v[2], v[3]};
            if (type == FIT_RGBF) reinterpret_cast<FIRGBF*>(line)[x] = {v[0], v[1], v[2]};
            if (type == FIT_FLOAT) reinterpret_cast<float*>(line)[x] = v[0];
        }
        const OrvTest::fs::path path = Root() / "Resources" / "ArtAssets" / file;
        ASSERT_TRUE(FreeImage_Save(format, image, path.c_str(), 0)) << file;
        FreeImage_Unload(image);
        ASSERT_TRUE(textures->LoadTexture(path.string(), file)) << file;
        const std::vector<unsigned char> texels = Texels(*textures->GetTexture(file));
        for (int x = 0; x < 2; ++x) {
            const auto& m = floats_meant[x];
            const std::array<int, 4> meant = type == FIT_RGBAF  ? m
                                             : type == FIT_RGBF ? std::array<int, 4>{m[0], m[1], m[2], 255}
                                                                : std::array<int, 4>{m[0], m[0], m[0], 255};
            EXPECT_EQ(std::vector<int>(texels.begin() + x * 4, texels.begin() + x * 4 + 4),
                      std::vector<int>(meant.begin(), meant.end()))
                << file << " pixel " << x;
        }
    }
    EXPECT_EQ(LogText().find("holds no pixels"), std::string::npos) << LogText();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

} // namespace
