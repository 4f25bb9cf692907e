// Checks the committed art and sound files against tools/assets/manifest.txt:
// every listed file is there with the listed size, nothing else is, and the
// names and frame counts the game code relies on are present.
#include "SampleFigures.h"

#include <FreeImage.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct AssetLine {
    std::string kind;
    std::string name;
    int width = 0;   // one frame, for a sheet
    int height = 0;
    double seconds = 0.0;
    int frames = 0;
    int line = 0;

    bool IsImage() const { return kind == "texture" || kind == "sheet"; }
};

const fs::path kRoot = ORV_SOURCE_DIR;
const fs::path kArt = kRoot / "Resources" / "ArtAssets";
const fs::path kSounds = kRoot / "Resources" / "Sounds";

// Parses the manifest; malformed lines are reported and skipped.
std::vector<AssetLine> ReadManifest(std::vector<std::string>* errors) {
    std::vector<AssetLine> lines;
    std::ifstream in(kRoot / "tools" / "assets" / "manifest.txt");
    if (!in) {
        errors->push_back("manifest.txt cannot be opened");
        return lines;
    }
    std::string text;
    for (int number = 1; std::getline(in, text); ++number) {
        std::istringstream row(text);
        AssetLine a;
        std::string size, look;
        if (!(row >> a.kind) || a.kind[0] == '#') continue;
        a.line = number;
        if (!(row >> a.name >> size >> a.frames >> look)) {
            errors->push_back("line " + std::to_string(number) + ": too few fields");
            continue;
        }
        if (a.IsImage()) {
            const size_t x = size.find('x');
            if (x == std::string::npos) {
                errors->push_back("line " + std::to_string(number) + ": size is not WxH");
                continue;
            }
            a.width = std::atoi(size.substr(0, x).c_str());
            a.height = std::atoi(size.substr(x + 1).c_str());
        } else {
            a.seconds = std::atof(size.c_str());
        }
        lines.push_back(a);
    }
    return lines;
}

std::vector<AssetLine> Manifest() {
    std::vector<std::string> errors;
    std::vector<AssetLine> lines = ReadManifest(&errors);
    EXPECT_TRUE(errors.empty()) << errors.front();
    return lines;
}

std::map<std::string, AssetLine> ByName(const std::vector<AssetLine>& lines) {
    std::map<std::string, AssetLine> map;
    for (const AssetLine& a : lines) map[a.name] = a;
    return map;
}

std::string FileName(const AssetLine& a) { return a.name + (a.IsImage() ? ".png" : ".ogg"); }

std::vector<unsigned char> ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

uint32_t BigEndian32(const unsigned char* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

uint64_t LittleEndian(const unsigned char* p, int bytes) {
    uint64_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = v << 8 | p[i];
    return v;
}

struct PngHeader {
    bool ok = false;
    uint32_t width = 0, height = 0;
    int bitDepth = 0, colourType = 0;
};

// The IHDR chunk always comes first, right after the 8-byte signature.
PngHeader ReadPngHeader(const std::vector<unsigned char>& b) {
    static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    PngHeader h;
    if (b.size() < 33 || !std::equal(kSignature, kSignature + 8, b.begin())) return h;
    if (std::string(b.begin() + 12, b.begin() + 16) != "IHDR") return h;
    h.ok = true;
    h.width = BigEndian32(&b[16]);
    h.height = BigEndian32(&b[20]);
    h.bitDepth = b[24];
    h.colourType = b[25];
    return h;
}

struct OggInfo {
    bool ok = false;
    uint32_t sampleRate = 0;
    double seconds = 0.0;
};

// Reads the Vorbis identification header of the first page and the granule
// position (samples so far) of the last page.
OggInfo ReadOgg(const std::vector<unsigned char>& b) {
    OggInfo info;
    if (b.size() < 58 || std::string(b.begin(), b.begin() + 4) != "OggS") return info;
    const size_t packet = 27 + b[26];  // header, then one byte per segment
    if (packet + 16 > b.size() || b[packet] != 1 ||
        std::string(b.begin() + packet + 1, b.begin() + packet + 7) != "vorbis") {
        return info;
    }
    info.sampleRate = uint32_t(LittleEndian(&b[packet + 12], 4));
    for (size_t i = b.size() - 27; i > 0; --i) {
        if (b[i] == 'O' && b[i + 1] == 'g' && b[i + 2] == 'g' && b[i + 3] == 'S') {
            const uint64_t granule = LittleEndian(&b[i + 6], 8);
            info.ok = info.sampleRate > 0;
            if (info.ok) info.seconds = double(granule) / info.sampleRate;
            break;
        }
    }
    return info;
}

uintmax_t FolderBytes(const fs::path& folder) {
    uintmax_t total = 0;
    for (const auto& e : fs::directory_iterator(folder)) total += e.file_size();
    return total;
}

}  // namespace

TEST(AssetManifest, LinesAreWellFormedAndNamesUnique) {
    const std::set<std::string> kinds = {"texture", "sheet", "sound", "music"};
    std::set<std::string> seen;
    const std::vector<AssetLine> lines = Manifest();
    ASSERT_GT(lines.size(), 100u);
    for (const AssetLine& a : lines) {
        SCOPED_TRACE("manifest line " + std::to_string(a.line) + " " + a.name);
        EXPECT_TRUE(kinds.count(a.kind));
        EXPECT_TRUE(seen.insert(a.name).second) << "listed twice";
        EXPECT_EQ(a.name.find_first_of("/\\. "), std::string::npos);
        if (a.IsImage()) {
            EXPECT_GT(a.width, 0);
            EXPECT_GT(a.height, 0);
        } else {
            EXPECT_GT(a.seconds, 0.0);
        }
        EXPECT_EQ(a.kind == "sheet", a.frames > 1) << "only sheets have several frames";
        if (a.kind == "sheet") {
            // The sheet shader counts frames as the texture's width over its height.
            EXPECT_EQ(a.width, a.height) << "sheet frames must be square";
        }
    }
}

// Names written into the game's code (scripts and gameplay components look
// them up by name); the scene data may use any other listed name.
TEST(AssetManifest, ListsEveryNameTheCodeLooksUp) {
    std::vector<std::string> wanted = {
        "Anim_Ilo_Attacking_Attack", "Anim_Ilo_Attacking_Defence", "Anim_Ilo_Attacking_Speed",
        "Anim_ATK_Bullet_Blast", "Anim_DEF_Bullet_Blast", "Anim_SPD_Bullet_Blast",
        "Anim_Melee_Enemy_Attack_D_Damage", "Anim_Melee_Enemy_Defence_D_Damage",
        "Anim_Melee_Enemy_Speed_D_Damage", "Anim_Vavu_Idle", "Anim_Vavu_Teleport",
        "UIAnim_Purify_Enemy", "UIAnim_Dialog_Box", "UISprAnim_DialogBox_Drop", "default",
        "UI_1", "UI_2", "UI_3", "UI_4", "UI_Up_Arrow", "UI_Right_Arrow", "UI_Left_Arrow",
        "UI_Down_Arrow", "UI_PurifySkill", "UI_PurifySkill_CD", "HelpAttack", "HelpDefense",
        "Boulder", "Boulder_Ring", "Anim_Spikes", "Spike_Ring",
        "BGMTick", "BGMUntick", "SFXTick", "SFXUntick",
        "SFX_M_Highlighted", "SFX_M_Selected", "SFX_E_Hurt", "SFX_E_Death", "SFX_I_Death",
        "SFX_D_Death", "SFX_Spell_Atk", "SFX_Spell_Def", "SFX_Spell_Spd", "SFX_Debuffed",
        "SFX_Heal", "SFX_Puri_RightKey", "SFX_Puri_RightCombi", "SFX_Puri_Wrong",
        "SFX_EO_Boulder", "SFX_EO_Barrier", "SFX_EO_Poison",
        "BGM_Main", "BGM_Level1", "BGM_Level2", "SFX_StartSeq1", "SFX_StartSeq2",
        "SFX_WinScreen", "SFX_LoseScreen"};
    auto numbered = [&wanted](const std::string& stem, int first, int last) {
        for (int i = first; i <= last; ++i) wanted.push_back(stem + std::to_string(i));
    };
    numbered("UI_Num_", 0, 9);
    numbered("ATK_Debuff_Lv", 1, 3);
    numbered("DEF_Debuff_Lv", 1, 3);
    numbered("SPD_Debuff_Lv", 1, 3);
    numbered("SFX_I_Footstep", 1, 6);
    numbered("SFX_D_Footstep", 1, 6);
    numbered("SFX_I_Hurt", 1, 5);
    numbered("SFX_D_Hurt", 1, 5);
    numbered("SFX_AE_Hurt", 1, 4);
    numbered("SFX_DE_Hurt", 1, 4);
    numbered("SFX_SE_Hurt", 1, 4);

    const auto byName = ByName(Manifest());
    for (const std::string& name : wanted) EXPECT_TRUE(byName.count(name)) << name;
}

// The code sets number_of_frames itself for these, so the sheets must match.
TEST(AssetManifest, SheetFrameCountsMatchWhatTheCodeSets) {
    const auto byName = ByName(Manifest());
    auto frames = [&byName](const std::string& name) {
        auto it = byName.find(name);
        return it == byName.end() ? -1 : it->second.frames;
    };
    for (const char* cast : {"Attack", "Defence", "Speed"})
        EXPECT_EQ(frames(std::string("Anim_Ilo_Attacking_") + cast), 16);
    for (const char* blast : {"ATK", "DEF", "SPD"})
        EXPECT_EQ(frames(std::string("Anim_") + blast + "_Bullet_Blast"), 8);
    for (const char* debuff : {"Attack", "Defence", "Speed"})
        EXPECT_EQ(frames(std::string("Anim_Melee_Enemy_") + debuff + "_D_Damage"), 3);
    EXPECT_EQ(frames("Boulder"), 16);
    EXPECT_EQ(frames("Anim_Spikes"), 16);
    // The box script waits for frame 16; drop and open share one sprite.
    EXPECT_GE(frames("UIAnim_Dialog_Box"), 16);
    EXPECT_EQ(frames("UISprAnim_DialogBox_Drop"), frames("UIAnim_Dialog_Box"));

    // One sprite shows all of a character's sheets and keeps the frame count
    // of the last one set, so each character's sheets agree.
    for (const std::string prefix : {"Anim_Ilo_", "Anim_Vavu_", "Anim_Boss_"}) {
        std::set<int> counts;
        for (const auto& [name, a] : byName)
            if (name.rfind(prefix, 0) == 0 && name != "Anim_Boss_Death") counts.insert(a.frames);
        EXPECT_EQ(counts.size(), 1u) << prefix << " sheets disagree on their frame count";
    }
}

TEST(ArtAssets, EveryImageIsAnRgbaPngOfTheListedSize) {
    for (const AssetLine& a : Manifest()) {
        if (!a.IsImage()) continue;
        SCOPED_TRACE(FileName(a));
        const std::vector<unsigned char> bytes = ReadBytes(kArt / FileName(a));
        ASSERT_FALSE(bytes.empty()) << "missing or empty";
        const PngHeader h = ReadPngHeader(bytes);
        ASSERT_TRUE(h.ok) << "not a PNG";
        EXPECT_EQ(h.bitDepth, 8);
        EXPECT_EQ(h.colourType, 6) << "the texture loader expects 32-bit RGBA";
        // Sheets: frames side by side in one row, all the same size.
        EXPECT_EQ(h.width, uint32_t(a.width * a.frames));
        EXPECT_EQ(h.height, uint32_t(a.height));
    }
}

// A panel that holds text covers what lies under it: every pixel within its frame (the outermost
// ring of one art pixel, four texels, holds only the corner sparkles) is opaque.
TEST(ArtAssets, PanelsThatHoldTextAreOpaque) {
    constexpr int kRing = 4;
    for (const char* name : {"UI_Pause_Bg", "UI_Options_Bg", "UI_ExitWarningBox", "UI_HowToPlay",
                             "UI_HowToPlay_Page", "UI_Hint_WASD", "UI_Hint_Left", "UI_Hint_Space"}) {
        SCOPED_TRACE(name);
        const std::string path = (kArt / (std::string(name) + ".png")).string();
        FIBITMAP* image = FreeImage_Load(FIF_PNG, path.c_str(), 0);
        ASSERT_NE(image, nullptr);
        ASSERT_EQ(FreeImage_GetBPP(image), 32u);
        const int w = static_cast<int>(FreeImage_GetWidth(image)), h = static_cast<int>(FreeImage_GetHeight(image));
        int see_through = 0;
        for (int y = kRing; y < h - kRing; ++y) {
            const BYTE* row = FreeImage_GetScanLine(image, y);
            for (int x = kRing; x < w - kRing; ++x) see_through += row[x * 4 + FI_RGBA_ALPHA] != 255;
        }
        FreeImage_Unload(image);
        EXPECT_EQ(see_through, 0);
    }
}

TEST(Sounds, EverySoundIsAnOggVorbisOfTheListedLength) {
    for (const AssetLine& a : Manifest()) {
        if (a.IsImage()) continue;
        SCOPED_TRACE(FileName(a));
        const std::vector<unsigned char> bytes = ReadBytes(kSounds / FileName(a));
        ASSERT_GT(bytes.size(), 1000u) << "missing or too small to hold any sound";
        const OggInfo info = ReadOgg(bytes);
        ASSERT_TRUE(info.ok) << "not an Ogg Vorbis file";
        EXPECT_NEAR(info.seconds, a.seconds, std::max(0.02, a.seconds * 0.02));
    }
}

// Every sound plays at full volume and the mixer adds the voices, clipping at full scale, so the
// files leave the room: music and effects peak near a quarter of full scale, and the boulder's thud,
// which the boss drops up to five at once in phase, lower still. Nor is any sound made too quiet:
// each effect's loudest 100 ms stands no more than 4 dB under the loudest music bed's RMS.
TEST(Sounds, LevelsLeaveRoomInTheMixWithoutBuryingAnySound) {
    const OrvTest::MixerDecoder mixer;
    ASSERT_TRUE(mixer.IsOpen());
    std::map<std::string, OrvTest::SampleFigures> effects;
    double music_rms = 0.0;
    for (const AssetLine& a : Manifest()) {
        if (a.IsImage()) continue;
        SCOPED_TRACE(FileName(a));
        OrvTest::SampleFigures f;
        ASSERT_TRUE(mixer.Measure((kSounds / FileName(a)).string(), OrvTest::kMixRate / 10, f));
        const bool thud = a.name == "SFX_EO_Boulder";
        EXPECT_LE(f.peak, a.kind == "music" ? 0.3 : thud ? 0.15 : 0.35);
        EXPECT_GE(f.peak, 0.1) << "barely audible";
        if (a.kind == "music") music_rms = std::max(music_rms, f.rms);
        else effects[a.name] = f;
    }
    ASSERT_GT(music_rms, 0.0);
    for (const auto& [name, f] : effects) {
        EXPECT_GE(OrvTest::Decibels(f.loudest_rms), OrvTest::Decibels(music_rms) - 4.0) << name << " is buried under the music";
    }
}

TEST(AssetFolders, HoldOnlyListedFilesWithinTheirBudgets) {
    const auto byName = ByName(Manifest());
    for (const auto& [folder, image] : {std::pair{kArt, true}, std::pair{kSounds, false}}) {
        ASSERT_TRUE(fs::is_directory(folder)) << folder;
        for (const auto& e : fs::directory_iterator(folder)) {
            const fs::path file = e.path().filename();
            auto it = byName.find(file.stem().string());
            const bool listed = it != byName.end() && it->second.IsImage() == image &&
                                file == FileName(it->second);
            EXPECT_TRUE(listed) << "stray file " << e.path();
        }
    }
    EXPECT_LT(FolderBytes(kArt), 8u << 20);
    EXPECT_LT(FolderBytes(kSounds), 6u << 20);
}
