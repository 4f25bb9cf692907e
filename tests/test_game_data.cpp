// The shipped data: every scene and prefab file parses, every scene listed has its files, and every
// texture, sheet frame count, sound event, prefab and script name the data uses exists; the
// snapshots the editor's Play writes beside the data stay out of version control.
#include "TestSupport.h"

#include <rapidjson/document.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <sstream>

namespace {

namespace fs = OrvTest::fs;

const fs::path kResources = OrvTest::SourceDir() / "Resources";

// The game's script classes; the data may name any of them.
const std::set<std::string> kScriptClasses = {
    "AIScript", "NumberVelocity", "DialogueScript", "MainMenuWalking", "DialogueScript01", "DialogueScript01_N",
    "DialogueScript02", "DialogueScript02_N", "DialogueScript03", "DialogueScript03_N", "DialogueScript04",
    "DialogueScript04_N", "EnemyScript", "DefenseEnemyScript", "PlayerScript", "SpellsScript", "TestMainMenuScript",
    "PauseMenuScript", "SpawnerScript", "WinOnCollisionScript", "DeathWallScript", "DialogueT1Script",
    "DialogueT2Script", "DialogueT3Script", "GameManagerScript", "DialogueBoxScript", "BarrierScript",
    "Boulder1D3SScript", "Boulder2D3SScript", "Boulder5D5SScript", "BoulderLevelScript", "BoulderScript",
    "Spikes1D4SScript", "SpikesLevelScript", "SpikesScript", "OptionMenuScript", "FadeInScript", "FadeOutScript",
    "TutorialScript01", "TutorialScript01_N", "TutorialT1Script", "TutorialScript02", "TutorialScript02_N",
    "TutorialT2Script", "TutorialScript03", "TutorialScript03_N", "TutorialT3Script", "TutorialT4Script",
    "IloHealthUIScript", "VavuHealthUIScript", "LevelManagerScript", "BossScript", "ArrowKeysUIScript",
    "QuitGameMenuScript", "SpeedEnemyScript", "RetryScript", "PuriIconAppear", "PoisonFloorScript",
    "BypassIntroScript"};

// Prefabs the engine's own components make by name.
const std::set<std::string> kPrefabsTheEngineMakes = {"IloSpeedSpell", "IloAttackSpell", "IloDefenceSpell",
                                                      "NumberPrefab", "Puri_BlackBg"};

bool Parse(const fs::path& path, rapidjson::Document& document)
{
    const std::string text = OrvTest::ReadFile(path);
    document.Parse(text.c_str());
    return !document.HasParseError() && document.IsObject();
}

// Sheet frame counts by texture name, from the asset manifest.
std::map<std::string, int> ManifestFrames()
{
    std::map<std::string, int> frames;
    std::istringstream manifest(OrvTest::ReadFile(OrvTest::SourceDir() / "tools" / "assets" / "manifest.txt"));
    std::string line;
    while (std::getline(manifest, line)) {
        std::istringstream words(line);
        std::string kind, name, size;
        int count = 0;
        if (!(words >> kind >> name >> size >> count) || kind[0] == '#') continue;
        frames[name] = count;
    }
    return frames;
}

// Checks every component of one entity document's entities.
struct EntityLint {
    std::map<std::string, int> frames = ManifestFrames();
    std::vector<std::string> problems;

    void Check(const std::string& where, const rapidjson::Value& document)
    {
        for (auto entity = document.MemberBegin(); entity != document.MemberEnd(); ++entity) {
            const std::string name = where + " '" + entity->name.GetString() + "'";
            if (!entity->value.IsArray() || entity->value.Empty() || !entity->value[0].IsObject()) {
                problems.push_back(name + ": not an array of one object");
                continue;
            }
            for (auto c = entity->value[0].MemberBegin(); c != entity->value[0].MemberEnd(); ++c) {
                const rapidjson::Value* fields = OrvEngine::Serializer::FirstObject(c->value);
                if (fields) CheckComponent(name, c->name.GetString(), *fields);
            }
            CheckEnemySounds(name, entity->value[0]);
            CheckFadeIn(name, entity->value[0]);
        }
    }

    // A fade-in darkens its scene in play only (its script starts it opaque): saved opaque, it
    // would cover the scene in the editor and take its clicks.
    void CheckFadeIn(const std::string& name, const rapidjson::Value& components)
    {
        using OrvEngine::Serializer;
        const rapidjson::Value* script =
            components.HasMember("ScriptComponent") ? Serializer::FirstObject(components["ScriptComponent"]) : nullptr;
        const rapidjson::Value* sprite =
            components.HasMember("Sprite") ? Serializer::FirstObject(components["Sprite"]) : nullptr;
        if (!script || !sprite || Serializer::ReadString(*script, "file_name") != "FadeInScript") return;
        if (Serializer::ReadColor(*sprite, OrvEngine::Vec4(1, 1, 1, 1)).w != 0.0f) {
            problems.push_back(name + ": a fade-in saved visible");
        }
    }

    // Dora's killing blow plays "SFX_E_Death" on the enemy: every enemy lists it.
    void CheckEnemySounds(const std::string& name, const rapidjson::Value& components)
    {
        if (!components.HasMember("EnemyMovement")) return;
        const rapidjson::Value* audio =
            components.HasMember("Audio") ? OrvEngine::Serializer::FirstObject(components["Audio"]) : nullptr;
        bool listed = false;
        if (audio && audio->HasMember("sounds") && (*audio)["sounds"].IsArray()) {
            for (const auto& sound : (*audio)["sounds"].GetArray()) {
                listed = listed || OrvEngine::Serializer::ReadString(sound, "eventname") == "SFX_E_Death";
            }
        }
        if (!listed) problems.push_back(name + ": an enemy without SFX_E_Death");
    }

    void CheckComponent(const std::string& name, const std::string& component, const rapidjson::Value& f)
    {
        using OrvEngine::Serializer;
        if (component == "Sprite" || component == "Slider") {
            const std::string texture = Serializer::ReadString(f, "tex_identifier");
            if (!texture.empty() && !fs::exists(kResources / "ArtAssets" / (texture + ".png"))) {
                problems.push_back(name + ": no texture " + texture);
            }
            // "default" is blank: a sheet rests on it at the frame count of the sheet it shows next.
            if (Serializer::ReadBool(f, "is_spritesheet") && frames.count(texture) && texture != "default" &&
                Serializer::ReadInt(f, "number_of_frames") != frames[texture]) {
                problems.push_back(name + ": " + texture + " has " + std::to_string(frames[texture]) + " frames");
            }
        }
        if (component == "Audio" && f.HasMember("sounds") && f["sounds"].IsArray()) {
            for (const auto& sound : f["sounds"].GetArray()) {
                const std::string event = Serializer::ReadString(sound, "eventname");
                if (!fs::exists(kResources / "Sounds" / (event + ".ogg"))) problems.push_back(name + ": no sound " + event);
            }
        }
        if (component == "ScriptComponent") {
            const std::string script = Serializer::ReadString(f, "file_name");
            if (!script.empty() && !kScriptClasses.count(script)) problems.push_back(name + ": no script class " + script);
        }
    }
};

TEST(GameData, EveryListedSceneHasItsFilesAndTheyParse)
{
    rapidjson::Document scenes;
    ASSERT_TRUE(Parse(kResources / "Data" / "Scenes.json", scenes));
    ASSERT_TRUE(scenes.HasMember("SplashScene_00")) << "the game starts there";
    EntityLint lint;
    for (auto scene = scenes.MemberBegin(); scene != scenes.MemberEnd(); ++scene) {
        const std::string name = scene->name.GetString();
        ASSERT_TRUE(scene->value.IsUint() && (scene->value.GetUint() == 1 || scene->value.GetUint() == 2)) << name;
        rapidjson::Document settings;
        ASSERT_TRUE(Parse(kResources / "Data" / name / (name + ".json"), settings)) << name;
        EXPECT_EQ(OrvEngine::Serializer::ReadString(settings, "scene_name"), name);
        if (scene->value.GetUint() == 1) {
            const std::string next = OrvEngine::Serializer::ReadString(settings, "next_state");
            EXPECT_TRUE(scenes.HasMember(next.c_str())) << name << " leads to a scene that is not listed: " << next;
        }
        rapidjson::Document entities;
        ASSERT_TRUE(Parse(kResources / "Data" / name / "Entities.json", entities)) << name;
        lint.Check(name, entities);
    }
    for (const std::string& problem : lint.problems) ADD_FAILURE() << problem;
}

TEST(GameData, EveryPrefabIsIndexedParsesAndUsesOnlyExistingContent)
{
    const fs::path folder = kResources / "Data" / "Prefab";
    rapidjson::Document index;
    ASSERT_TRUE(Parse(folder / "Archetype.json", index));
    std::set<std::string> indexed;
    for (auto entry = index.MemberBegin(); entry != index.MemberEnd(); ++entry) {
        EXPECT_STREQ(entry->name.GetString(), "Archetype");
        ASSERT_TRUE(entry->value.IsString());
        indexed.insert(entry->value.GetString());
    }
    EntityLint lint;
    for (const std::string& prefab : indexed) {
        rapidjson::Document document;
        ASSERT_TRUE(Parse(folder / (prefab + ".json"), document)) << prefab;
        EXPECT_EQ(document.MemberCount(), 1u) << prefab;
        EXPECT_TRUE(document.HasMember(prefab.c_str())) << prefab << " is stored under another name";
        lint.Check("prefab " + prefab, document);
    }
    for (const auto& file : fs::directory_iterator(folder)) {
        const std::string stem = file.path().stem().string();
        if (stem != "Archetype") {
            EXPECT_TRUE(indexed.count(stem)) << stem << ".json is not in the index";
        }
    }
    for (const std::string& prefab : kPrefabsTheEngineMakes) EXPECT_TRUE(indexed.count(prefab)) << prefab;
    for (const std::string& problem : lint.problems) ADD_FAILURE() << problem;
}

TEST(GameData, ConfigHoldsTheWindowSettings)
{
    rapidjson::Document config;
    ASSERT_TRUE(Parse(kResources / "Data" / "config.json", config));
    EXPECT_EQ(OrvEngine::Serializer::ReadString(config, "Name"), "OrvEngine");
    EXPECT_EQ(OrvEngine::Serializer::ReadUint(config, "Width"), 1280u);
    EXPECT_EQ(OrvEngine::Serializer::ReadUint(config, "Height"), 720u);
}

} // namespace

TEST(GameData, PlaySnapshotsAreLeftOutOfVersionControl)
{
    const std::string root = OrvTest::SourceDir().string();
    if (std::system(("git -C '" + root + "' rev-parse --is-inside-work-tree >/dev/null 2>&1").c_str()) != 0) {
        GTEST_SKIP() << "not a git checkout";
    }
    rapidjson::Document scenes;
    ASSERT_TRUE(Parse(kResources / "Data" / "Scenes.json", scenes));
    std::string command = "git -C '" + root + "' check-ignore";
    std::set<std::string> snapshots;
    for (auto scene = scenes.MemberBegin(); scene != scenes.MemberEnd(); ++scene) {
        const std::string snapshot = std::string("Resources/Data/") + scene->name.GetString() + "/AutoSave.json";
        snapshots.insert(snapshot);
        command += " '" + snapshot + "'";
    }
    std::set<std::string> ignored;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char line[512];
        while (std::fgets(line, sizeof line, pipe)) ignored.insert(std::string(line, std::strcspn(line, "\n")));
        pclose(pipe);
    }
    EXPECT_EQ(ignored, snapshots) << "git status would list what every Play writes";
}
