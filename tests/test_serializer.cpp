// The JSON helpers: exact shapes written, checked readers, bad files, atomic writes of exactly the
// text given.
#include "TestSupport.h"

#include "CoreEngine/Serializer.h"

#include <csignal>
#include <iostream>
#include <limits>
#include <sys/resource.h>

using namespace OrvEngine;
using namespace OrvTest;

namespace {

using OrvTest::Parse;

class SerializerTest : public EngineTest {};

} // namespace

TEST_F(SerializerTest, VectorColourAndNumbersHaveTheirExactText)
{
    EXPECT_EQ(Serializer::ObjectText([](JsonWriter& w) { Serializer::WriteVec2(w, "size", Vec2(1.0f, -2.5f)); }),
              "{\n"
              "    \"size\": [\n"
              "        {\n"
              "            \"x\": 1.0,\n"
              "            \"y\": -2.5\n"
              "        }\n"
              "    ]\n"
              "}");
    EXPECT_EQ(Serializer::ObjectText([](JsonWriter& w) { Serializer::WriteColor(w, Vec4(1.0f, 0.5f, 0.0f, 0.25f)); }),
              "{\n"
              "    \"tint_color\": [\n"
              "        {\n"
              "            \"r\": 1.0,\n"
              "            \"g\": 0.5,\n"
              "            \"b\": 0.0,\n"
              "            \"a\": 0.25\n"
              "        }\n"
              "    ]\n"
              "}");
    EXPECT_EQ(Serializer::ObjectText([](JsonWriter& w) {
                  Serializer::WriteFloat(w, "tenth", 0.1f);
                  Serializer::WriteFloat(w, "zero", 0.0f);
                  Serializer::WriteBool(w, "flag", false);
              }),
              "{\n    \"tenth\": 0.10000000149011612,\n    \"zero\": 0.0,\n    \"flag\": false\n}");
}

TEST_F(SerializerTest, NumbersThatAreNotFiniteAreWrittenAsZeroWithALogLine)
{
    const std::string text = Serializer::ObjectText([](JsonWriter& w) {
        Serializer::WriteFloat(w, "nan", std::numeric_limits<float>::quiet_NaN());
        Serializer::WriteVec3(w, "v", Vec3(std::numeric_limits<float>::infinity(), 1.0f, 2.0f));
    });
    EXPECT_TRUE(Parse(text).IsObject()) << text;
    EXPECT_TRUE(Contains(text, "\"nan\": 0.0"));
    EXPECT_TRUE(Contains(text, "\"x\": 0.0"));
    EXPECT_TRUE(Contains(LogText(), "not finite"));
}

TEST_F(SerializerTest, VectorsAndColoursRoundTripBitForBit)
{
    const Vec3 v3(0.1f, -123456.789f, 3.4028235e38f);
    const Vec2 v2(1e-30f, -0.3f);
    const Vec4 colour(0.2f, 0.4f, 0.6f, 0.8f);
    const std::string text = Serializer::ObjectText([&](JsonWriter& w) {
        Serializer::WriteVec3(w, "position", v3);
        Serializer::WriteVec2(w, "offset", v2);
        Serializer::WriteColor(w, colour);
    });
    rapidjson::Document doc = Parse(text);
    EXPECT_EQ(Serializer::ReadVec3(doc, "position"), v3);
    EXPECT_EQ(Serializer::ReadVec2(doc, "offset"), v2);
    EXPECT_EQ(Serializer::ReadColor(doc), colour);

    // The component-array form: element 0 of the array, then the member.
    rapidjson::Document component = Parse("[" + text + "]");
    float out[3] = {9, 9, 9};
    ASSERT_TRUE(Serializer::ReadVec3(component, "position", out));
    EXPECT_EQ(Vec3(out[0], out[1], out[2]), v3);
    EXPECT_FALSE(Serializer::ReadVec3(component, "missing", out));
    EXPECT_EQ(Vec3(out[0], out[1], out[2]), v3) << "untouched when absent";
}

TEST_F(SerializerTest, CheckedReadersFallBackOnMissingOrMistypedMembers)
{
    rapidjson::Document doc = Parse(R"({"s": 5, "n": "7", "neg": -3, "big": 1e12, "f": 2.75, "t": true,
        "one": 1, "vnum": 4, "vempty": [], "vpart": [{"x": 1.5}], "vbad": [{"x": "a", "y": 2}]})");
    EXPECT_EQ(Serializer::ReadString(doc, "s", "fb"), "fb");
    EXPECT_EQ(Serializer::ReadString(doc, "absent"), "");
    EXPECT_EQ(Serializer::ReadUint(doc, "n", 11), 11u);
    EXPECT_EQ(Serializer::ReadUint(doc, "neg", 11), 11u);
    EXPECT_EQ(Serializer::ReadUint(doc, "big", 11), 11u);
    EXPECT_EQ(Serializer::ReadUint(doc, "f"), 2u);
    EXPECT_EQ(Serializer::ReadInt(doc, "neg"), -3);
    EXPECT_EQ(Serializer::ReadInt(doc, "big", 5), 5);
    EXPECT_EQ(Serializer::ReadUint64(doc, "neg", 8), 8u);
    EXPECT_FLOAT_EQ(Serializer::ReadFloat(doc, "n", 1.5f), 1.5f);
    EXPECT_FLOAT_EQ(Serializer::ReadFloat(doc, "neg"), -3.0f);
    EXPECT_TRUE(Serializer::ReadBool(doc, "t"));
    EXPECT_FALSE(Serializer::ReadBool(doc, "one", true)) << "only the literal true reads as true";
    EXPECT_TRUE(Serializer::ReadBool(doc, "absent", true));
    EXPECT_FALSE(Serializer::ReadBool(doc, "absent"));
    const Vec3 fallback(7, 8, 9);
    EXPECT_EQ(Serializer::ReadVec3(doc, "vnum", fallback), fallback);
    EXPECT_EQ(Serializer::ReadVec3(doc, "vempty", fallback), fallback);
    EXPECT_EQ(Serializer::ReadVec3(doc, "vpart", fallback), Vec3(1.5f, 8, 9));
    EXPECT_EQ(Serializer::ReadVec2(doc, "vbad", Vec2(3, 3)), Vec2(3, 2));
    rapidjson::Document not_object = Parse("[1, 2]");
    EXPECT_EQ(Serializer::ReadString(not_object, "s", "fb"), "fb");
    EXPECT_EQ(Serializer::FirstObject(not_object), nullptr);
}

TEST_F(SerializerTest, BadFilesReadAsFalseWithALogLine)
{
    struct Case {
        const char* name;
        const char* text;
    } cases[] = {
        {"malformed.json", "{\"a\": [1, 2"},
        {"truncated.json", "{\"a\": {\"b\": tr"},
        {"array.json", "[{\"a\": 1}]"},
        {"number.json", "42"},
        {"empty.json", ""},
        {"garbage.json", "\x01\x02\xff not json"},
    };
    for (const Case& c : cases) {
        WriteData(c.name, c.text);
        rapidjson::Document doc;
        EXPECT_FALSE(OrvSerializer.ReadFileToDocument(c.name, doc)) << c.name;
        EXPECT_TRUE(doc.IsObject()) << c.name << ": callers may still walk the document";
        EXPECT_TRUE(Contains(LogText(), std::string("Data/") + c.name)) << c.name;
    }
    rapidjson::Document doc;
    EXPECT_FALSE(OrvSerializer.ReadFileToDocument("missing.json", doc));
    fs::create_directories(DataDir() / "folder.json");
    EXPECT_FALSE(OrvSerializer.ReadFileToDocument("folder.json", doc));
    WriteData("good.json", "{\"a\": 1}");
    EXPECT_TRUE(OrvSerializer.ReadFileToDocument("good.json", doc));
    EXPECT_EQ(doc["a"].GetInt(), 1);
}

TEST_F(SerializerTest, WritesReplaceTheWholeFileAndFailIntoAMissingFolder)
{
    ASSERT_TRUE(OrvSerializer.WriteStringToFile(std::string(5000, 'x'), "file.json"));
    ASSERT_TRUE(OrvSerializer.WriteStringToFile("short", "file.json"));
    EXPECT_EQ(ReadData("file.json"), "short");
    EXPECT_EQ(fs::status(DataDir() / "file.json").permissions() & fs::perms::others_read, fs::perms::others_read);

    StdoutCapture out;
    EXPECT_FALSE(OrvSerializer.WriteStringToFile("text", "NoFolder/file.json"));
    EXPECT_TRUE(Contains(out.Take(), "[Serializer::WriteStringToFile] Error opening file!"));
    EXPECT_FALSE(fs::exists(DataDir() / "NoFolder"));
}

TEST_F(SerializerTest, ARewrittenFileHoldsExactlyTheFreshTextAndLeftTemporariesAreRemoved)
{
    // Old number texts and an old final line end are not kept: the file is what was written.
    WriteData("level.json", "{\"A\": [{\"x\": 0.30000000000000004, \"y\": 16}], \"B\": 2.5e-1}\r\n");
    const std::string fresh = Serializer::ObjectText([](JsonWriter& w) {
        w.Key("A");
        w.StartArray();
        w.StartObject();
        Serializer::WriteFloat(w, "x", 0.3f);
        Serializer::WriteFloat(w, "y", 16.0f);
        w.EndObject();
        w.EndArray();
        Serializer::WriteFloat(w, "B", 0.25f);
    });
    EXPECT_TRUE(Contains(fresh, "\"x\": 0.30000001192092898") && Contains(fresh, "\"y\": 16.0")) << fresh;
    ASSERT_TRUE(OrvSerializer.WriteStringToFile(fresh, "level.json"));
    EXPECT_EQ(ReadData("level.json"), fresh);

    // A write killed mid-way left temporaries of our naming: the next write into that folder
    // removes them, and nothing else.
    fs::create_directories(DataDir() / "Scene");
    WriteData("Scene/.tmp.yAD5xu", std::string(4096, 'x'));
    WriteData("Scene/.tmp.notours", "kept");
    WriteData("Scene/keep.tmp.abcdef", "kept");
    WriteData(".tmp.Q1w2E3", "other folder");
    ASSERT_TRUE(OrvSerializer.WriteStringToFile("{}", "Scene/Entities.json"));
    EXPECT_FALSE(fs::exists(DataDir() / "Scene" / ".tmp.yAD5xu"));
    EXPECT_TRUE(fs::exists(DataDir() / "Scene" / ".tmp.notours"));
    EXPECT_TRUE(fs::exists(DataDir() / "Scene" / "keep.tmp.abcdef"));
    EXPECT_TRUE(fs::exists(DataDir() / ".tmp.Q1w2E3")) << "only the folder written is cleaned";
    EXPECT_EQ(ReadData("Scene/Entities.json"), "{}");
}

TEST_F(SerializerTest, AFailedWriteLeavesTheOldFileIntactAndNoTemporaryBehind)
{
    const std::string old_text = "{\"kept\": true}";
    WriteData("scene.json", old_text);
    // A file-size limit makes the write fail part-way, as a full disk would.
    auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 1024;
    bool written = true;
    {
        // Standard output may be a file already past the limit: its report goes to a fresh one.
        StdoutCapture out;
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
        written = OrvSerializer.WriteStringToFile(std::string(64 * 1024, 'y'), "scene.json");
        setrlimit(RLIMIT_FSIZE, &saved);
        EXPECT_TRUE(Contains(out.Take(), "Error writing file"));
    }
    std::signal(SIGXFSZ, old_handler);
    std::cout.clear();

    EXPECT_FALSE(written);
    EXPECT_EQ(ReadData("scene.json"), old_text);
    for (const auto& entry : fs::directory_iterator(DataDir())) {
        EXPECT_FALSE(Contains(entry.path().filename().string(), ".tmp")) << entry.path();
    }
    // A target that cannot be replaced (a folder) is left alone too.
    fs::create_directories(DataDir() / "dir.json" / "inside");
    EXPECT_FALSE(OrvSerializer.WriteStringToFile("{}", "dir.json"));
    EXPECT_TRUE(fs::is_directory(DataDir() / "dir.json" / "inside"));
}

TEST_F(SerializerTest, SafePathComponents)
{
    for (const char* bad : {"", ".", "..", "a/b", "a\\b", "tab\there", "\x7f"}) EXPECT_FALSE(IsSafePathComponent(bad)) << bad;
    for (const char* good : {"GameScene_01", "Exit game", "a.b", "...", "Ünï"}) EXPECT_TRUE(IsSafePathComponent(good)) << good;
}
