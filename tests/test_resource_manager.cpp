// The resource scan: names up to the first ".png" or ".ogg", and the warnings about files of other
// kinds (their fixed texts, where they go and how often), also when the editor scans again.
#include "TestSupport.h"

#include "CoreEngine/ResourceManager.h"

#include <utility>
#include <vector>

using namespace OrvEngine;

namespace {

class ResourceScanTest : public OrvTest::EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        OrvTest::MakeAssetFolders(Root());
    }
};

TEST_F(ResourceScanTest, NamesEndAtTheFirstExtensionAndStrayFilesAreWarnedAboutOncePerRun)
{
    const OrvTest::fs::path art = Root() / "Resources" / "ArtAssets";
    const OrvTest::fs::path sounds = Root() / "Resources" / "Sounds";
    for (const char* file : {"Tree.png", "Tree.png.old", "notes.txt", "sketch.bmp", ".png"}) OrvTest::WriteFile(art / file, "x");
    for (const char* file : {"click.ogg", "click.ogg.bak", "theme.ogg.old", "song.mp3", "readme"}) {
        OrvTest::WriteFile(sounds / file, "x");
    }
    using Pairs = std::vector<std::pair<std::string, std::string>>;
    Pairs textures_asked;
    Pairs sounds_given;
    ResourceManager* scan = ResourceManager::GetInstance();
    scan->texture_registrar = [&](const std::string& path, const std::string& name) {
        textures_asked.emplace_back(name, path);
    };
    scan->sound_registrar = [&](const std::string& event, const std::string& file) {
        sounds_given.emplace_back(event, file);
    };
    LogLine("start");

    OrvTest::StdoutCapture out;
    scan->Init();
    scan->RefreshTextures(); // the editor's rescans
    scan->RefreshSounds();
    const std::string printed = out.Take();
    const std::string log = LogText();

    // Both files are Tree: the first found keeps the path, and the texture manager is asked for both.
    EXPECT_EQ(scan->textures, (std::map<std::string, std::string>{{"Tree", "../Resources/ArtAssets/Tree.png"}}));
    const Pairs trees = {{"Tree", "../Resources/ArtAssets/Tree.png"}, {"Tree", "../Resources/ArtAssets/Tree.png.old"}};
    EXPECT_EQ(textures_asked, (Pairs{trees[0], trees[1], trees[0], trees[1]}));
    const Pairs events = {{"click", "click.ogg"}, {"click", "click.ogg.bak"}, {"theme", "theme.ogg.old"}};
    EXPECT_EQ(sounds_given, (Pairs{events[0], events[1], events[2], events[0], events[1], events[2]}));

    // The boxes (written out here, as nobody can answer them) and the note, once a run each, as given.
    const std::string art_box = "[MessageBox] Warning: A file in ../Resources/ArtAssets/ that is not a png was found,\n"
                                "it will not be read. -> OK\n";
    const std::string sound_box = "[MessageBox] Warning: Non-supported audio file detected in Resources folder, only ogg "
                                  "file extension is supported for audio files!\n -> OK\n";
    const std::string note = "\n[ResourceManager::RefreshSounds()] Note: non-ogg audio file detected in sounds resources "
                             "folder! Only ogg files supported.\n";
    EXPECT_EQ(OrvTest::Occurrences(printed, art_box), 1u) << printed;
    EXPECT_EQ(OrvTest::Occurrences(printed, sound_box), 1u) << printed;
    EXPECT_EQ(OrvTest::Occurrences(printed, "Note: non-ogg"), 0u) << "the note is for the log";
    EXPECT_EQ(OrvTest::Occurrences(log, note), 1u) << log;
    EXPECT_EQ(OrvTest::Occurrences(printed, "ResourceManager::Init()\n"), 1u);

    // Nothing else: no stray file is named, in the log or on the console.
    for (const char* file : {"notes.txt", "sketch.bmp", "song.mp3", "readme"}) {
        EXPECT_EQ(OrvTest::Occurrences(log, file), 0u) << file;
        EXPECT_EQ(OrvTest::Occurrences(printed, file), 0u) << file;
    }
    EXPECT_EQ(OrvTest::Occurrences(log, "ArtAssets/.png"), 0u);
}

} // namespace
