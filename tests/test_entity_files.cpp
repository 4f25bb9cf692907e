// Entity documents, prefab files and the prefab index: round trips, exact text, and bad files.
#include "TestSupport.h"

#include "Components/Camera.h"
#include "Components/Child.h"
#include "Components/Parent.h"
#include "Components/Sprite.h"
#include "Components/Transform.h"
#include "Factory/Entity.h"
#include "Factory/Information.h"

#include <cmath>
#include <limits>

using namespace OrvEngine;
using namespace OrvTest;

namespace {

const char* const kPlayerText = R"({
    "Player": [
        {
            "Information": [
                {
                    "name": "Player",
                    "type": 1,
                    "active": true
                }
            ],
            "Transform": [
                {
                    "position": [
                        {
                            "x": 1.5,
                            "y": -2.0,
                            "z": 3.0
                        }
                    ],
                    "rotation": 0.10000000149011612,
                    "scale": [
                        {
                            "x": 0.5,
                            "y": 0.5,
                            "z": 0.0
                        }
                    ]
                }
            ]
        }
    ]
})";

class EntityFilesTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        RegisterCoreComponents();
        factory = EntityFactory::GetInstance();
    }
    void TearDown() override
    {
        DestroyAll();
        EngineTest::TearDown();
    }

    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (const auto& [id, entity] : factory->GetEntities()) names.push_back(entity->name);
        return names;
    }
    // Destroys what the test numbered, except the prefabs (the factory destroys those).
    void DestroyAll()
    {
        auto left = factory->GetEntities();
        for (auto& [id, entity] : left) {
            bool prefab = false;
            for (const auto& [name, archetype] : factory->GetArchetypes()) prefab = prefab || archetype == entity;
            if (!prefab) factory->DestroyEntity(entity);
        }
    }
    // Destroys the factory as shutdown does (it writes the index) and makes a fresh one.
    void ShutDownFactory()
    {
        EntityFactory::DestroyInstance();
        factory = EntityFactory::GetInstance();
        RegisterCoreComponents();
    }

    EntityFactory* factory = nullptr;
};

} // namespace

TEST_F(EntityFilesTest, OneSmallEntityHasExactlyThisText)
{
    Entity* player = factory->CreateEntity("Player");
    auto info = std::make_shared<Information>();
    info->SetName("Player");
    info->SetType(TAG_PLAYER);
    player->AddComponent(INFORMATION, info);
    auto transform = std::make_shared<Transform>();
    transform->position = Vec3(1.5f, -2.0f, 3.0f);
    transform->rotation = 0.1f;
    player->AddComponent(TRANSFORM, transform);
    factory->SaveEntities("Player");
    EXPECT_EQ(ReadData("Player.json"), kPlayerText);
}

TEST_F(EntityFilesTest, RoundTripKeepsDuplicateNamesAndFileOrder)
{
    WriteData("Level/Entities.json", EntityDocument({EntityMember("Zed", "", 3), EntityMember("Amy"), EntityMember("Zed", "", 4)}));
    ASSERT_TRUE(factory->LoadEntities("Level/Entities"));
    EXPECT_EQ(Names(), (std::vector<std::string>{"Zed", "Amy", "Zed"}));
    EXPECT_EQ(factory->GetEntities().begin()->first, 1u);
    EXPECT_EQ(factory->GetEntities().rbegin()->second->GetComponent<Information>(INFORMATION)->GetType(), 4u);
    factory->SaveEntities("Level/First");
    DestroyAll();
    ASSERT_TRUE(factory->LoadEntities("Level/First"));
    EXPECT_EQ(Names(), (std::vector<std::string>{"Zed", "Amy", "Zed"}));
    EXPECT_EQ(factory->GetEntities().begin()->first, 4u) << "ids keep rising; file ids are not kept";
    factory->SaveEntities("Level/Second");
    EXPECT_EQ(ReadData("Level/First.json"), ReadData("Level/Second.json"));
}

TEST_F(EntityFilesTest, MalformedEntityDocumentsLoadWhatTheyCanAndNeverCrash)
{
    EXPECT_FALSE(factory->LoadEntities("Missing"));
    EXPECT_FALSE(fs::exists(LogPath())) << "a missing file is for the caller to report";

    WriteData("Broken.json", "{\"A\": [{\"Information\": [{\"name\": \"A\"}]}");
    EXPECT_FALSE(factory->LoadEntities("Broken"));
    WriteData("Array.json", "[{\"A\": []}]");
    EXPECT_FALSE(factory->LoadEntities("Array"));
    EXPECT_TRUE(factory->GetEntities().empty());
    EXPECT_TRUE(Contains(LogText(), "Data/Broken.json"));
    EXPECT_TRUE(Contains(LogText(), "Data/Array.json"));

    WriteData("Mixed.json", R"({"NotArray": {"Information": []}, "Number": 5, "Empty": [],
        "Odd": [7, "x", {"Information": [{"name": "Odd"}]}], "Good": [{"Information": [{"name": "Good", "active": true}]}]})");
    ASSERT_TRUE(factory->LoadEntities("Mixed"));
    EXPECT_EQ(Names(), (std::vector<std::string>{"Odd", "Good"}));
    EXPECT_TRUE(Contains(LogText(), "NotArray is not an array"));
    EXPECT_TRUE(Contains(LogText(), "Number is not an array"));
    EXPECT_FALSE(factory->GetEntities().begin()->second->active) << "a missing \"active\" reads as false";
}

TEST_F(EntityFilesTest, AFailedEntityWriteIsAnAssertion)
{
    factory->CreateEntity("A");
    try {
        factory->SaveEntities("NoFolder/Entities");
        ADD_FAILURE() << "no report";
    } catch (const AssertionFailure& e) {
        EXPECT_EQ(e.report.message, "Failed to write to file NoFolder/Entities.json");
    }
}

TEST_F(EntityFilesTest, PrefabsSaveLoadReplaceAndDelete)
{
    Entity* slime = factory->CreateEntity("Slime");
    auto info = std::make_shared<Information>();
    info->SetName("Slime");
    slime->AddComponent(INFORMATION, info);
    factory->SavePrefab(slime->id, "Slime");
    const std::string path = std::string(kDataFolder) + "Prefab/";
    EXPECT_TRUE(Contains(LogText(), path + " not found\nDirectory " + path + " created\n"));
    EXPECT_EQ(factory->GetArchetypes()["Slime"], slime);
    const std::string text = ReadData("Prefab/Slime.json");
    EXPECT_EQ(text, "{\n    \"Slime\": [\n        {\n            \"Information\": [\n                {\n"
                    "                    \"name\": \"Slime\",\n                    \"type\": 0,\n"
                    "                    \"active\": true\n                }\n            ]\n        }\n    ]\n}");

    // Saving over it drops the old prefab entity.
    const uint64_t first_id = slime->id;
    Entity* slime2 = factory->CloneEntity(first_id);
    factory->SavePrefab(slime2->id, "Slime");
    EXPECT_EQ(factory->GetArchetypes()["Slime"], slime2);
    EXPECT_EQ(factory->GetLiveEntity(first_id), nullptr);
    EXPECT_TRUE(Contains(LogText(), "Directory " + path + " already existed"));
    factory->SavePrefab(9999, "Ghost");
    EXPECT_FALSE(fs::exists(DataDir() / "Prefab/Ghost.json"));

    // Loading keeps id 0 and an active entity whatever the file says.
    WriteData("Prefab/Sleeper.json", R"({"Sleeper": [{"Information": [{"name": "Sleeper", "active": false}]}]})");
    ASSERT_TRUE(factory->LoadPrefab("Sleeper"));
    Entity* sleeper = factory->GetArchetypes()["Sleeper"];
    EXPECT_EQ(sleeper->id, 0u);
    EXPECT_TRUE(sleeper->active);
    EXPECT_TRUE(Contains(LogText(), "The entity 'Sleeper' is added to Archetype\n"));
    ASSERT_TRUE(factory->LoadPrefab("Sleeper"));
    EXPECT_NE(factory->GetArchetypes()["Sleeper"], nullptr);

    factory->DeletePrefab("Sleeper");
    EXPECT_EQ(factory->GetArchetypes().count("Sleeper"), 0u);
    EXPECT_FALSE(fs::exists(DataDir() / "Prefab/Sleeper.json"));
    factory->DeletePrefab("NeverThere");

    for (const char* bad : {"../Escape", "", ".."}) {
        EXPECT_FALSE(factory->LoadPrefab(bad));
        factory->DeletePrefab(bad);
    }
    EXPECT_TRUE(Contains(LogText(), "Refused prefab name '../Escape'"));
    WriteData("Prefab/Bad.json", "{\"Bad\": [");
    EXPECT_FALSE(factory->LoadPrefab("Bad"));
}

TEST_F(EntityFilesTest, TheIndexIsNeverWrittenAtShutdownAndListsThePrefabFilesInNameOrder)
{
    WriteData("Prefab/Archetype.json", R"({"Archetype": "Wolf", "Archetype": "Bat", "Archetype": 7, "Archetype": "Lost"})");
    WriteData("Prefab/Wolf.json", EntityDocument({EntityMember("Wolf")}));
    WriteData("Prefab/Bat.json", EntityDocument({EntityMember("Bat")}));
    WriteData("Prefab/Owl.json", EntityDocument({EntityMember("Owl")}));
    ASSERT_TRUE(factory->LoadArchetypes());
    EXPECT_EQ(factory->GetArchetypes().size(), 2u);
    EXPECT_TRUE(Contains(LogText(), "Archetype's data not saved correctly"));

    // A prefab file removed while the program runs (a checkout, say): the index stays as it was.
    const std::string original = ReadData("Prefab/Archetype.json");
    for (bool game : {true, false}) {
        GameMode = game;
        ASSERT_TRUE(factory->LoadArchetypes());
        fs::remove(DataDir() / "Prefab/Wolf.json");
        ShutDownFactory();
        EXPECT_EQ(ReadData("Prefab/Archetype.json"), original) << "game mode " << game;
        EXPECT_TRUE(Contains(LogText(), "The entity 'Bat' is deleted"));
        WriteData("Prefab/Wolf.json", EntityDocument({EntityMember("Wolf")}));
    }

    // After a prefab change the index lists the folder's prefab files: the one added beside the
    // index is in, the name without a file and the one removed are out.
    ASSERT_TRUE(factory->LoadArchetypes());
    fs::remove(DataDir() / "Prefab/Wolf.json");
    ASSERT_TRUE(factory->SaveArchetypeIndex());
    EXPECT_EQ(ReadData("Prefab/Archetype.json"),
              "{\n    \"Archetype\": \"Bat\",\n    \"Archetype\": \"Owl\"\n}");
}

TEST_F(EntityFilesTest, NamesWhosePrefabFilesHoldNoPrefabStayInTheIndex)
{
    WriteData("Prefab/Archetype.json", R"({"Archetype": "Empty", "Archetype": "Shapeless", "Archetype": "Broken"})");
    WriteData("Prefab/Empty.json", "{}");
    WriteData("Prefab/Shapeless.json", R"({"Shapeless": 5})");
    WriteData("Prefab/Broken.json", "{\"Broken\": [");
    ASSERT_TRUE(factory->LoadArchetypes());
    EXPECT_TRUE(factory->GetArchetypes().empty());
    ASSERT_TRUE(factory->SaveArchetypeIndex());
    EXPECT_EQ(ReadData("Prefab/Archetype.json"),
              "{\n    \"Archetype\": \"Broken\",\n    \"Archetype\": \"Empty\",\n    \"Archetype\": \"Shapeless\"\n}");
}

TEST_F(EntityFilesTest, AnEmptyOrUnreadableIndexIsHandledWithoutLoss)
{
    // No prefabs and no index: nothing is written.
    ShutDownFactory();
    EXPECT_FALSE(fs::exists(DataDir() / "Prefab/Archetype.json"));

    // No prefabs but an index: it becomes an empty object.
    WriteData("Prefab/Archetype.json", R"({"Archetype": "Gone"})");
    WriteData("Prefab/Gone.json", EntityDocument({EntityMember("Gone")}));
    ASSERT_TRUE(factory->LoadArchetypes());
    factory->DeletePrefab("Gone");
    ASSERT_TRUE(factory->SaveArchetypeIndex());
    ShutDownFactory();
    EXPECT_EQ(ReadData("Prefab/Archetype.json"), "{}");

    // An index that does not parse is never rewritten, even after saving a prefab.
    const std::string broken = "{\"Archetype\": \"A\", ";
    WriteData("Prefab/Archetype.json", broken);
    EXPECT_FALSE(factory->LoadArchetypes());
    Entity* fresh = factory->CreateEntity("Fresh");
    factory->SavePrefab(fresh->id, "Fresh");
    EXPECT_FALSE(factory->SaveArchetypeIndex());
    ShutDownFactory();
    EXPECT_EQ(ReadData("Prefab/Archetype.json"), broken);
    EXPECT_TRUE(fs::exists(DataDir() / "Prefab/Fresh.json"));
}

// Values a fuzzer put in files: each would overflow a counter or a conversion if taken as it stands.
TEST_F(EntityFilesTest, OutOfRangeNumbersInFilesAreClampedInsteadOfOverflowing)
{
    Graphics::GetInstance()->Init();  // the Camera and Sprite creators, without GL
    SpriteSystem::GetInstance()->Init();
    OrvCoreEngine = new CoreEngine();
    OrvCoreEngine->dt = 1.0f;  // one sheet frame per draw
    auto load = [this](const std::string& text) {
        DestroyAll();
        WriteData("Fuzz.json", text);
        EXPECT_TRUE(factory->LoadEntities("Fuzz"));
        // A copy, as entering a scene makes: components come in type order, so the camera finds its Transform.
        return factory->CloneEntity(factory->GetEntities().begin()->first);
    };

    Entity* cam = load(R"({"":[{"Camera":[],"Transform":[{"scale":[{"x":66666666666666666660}]}]}]})");
    auto camera = cam->GetComponent<Camera>(CAMERA);
    camera->Update();
    EXPECT_EQ(camera->view_width, std::numeric_limits<uint64_t>::max()) << "a view wider than 64 bits saturates";
    cam->GetComponent<Transform>(TRANSFORM)->scale = Vec3(INFINITY, NAN, 1.0f);
    camera->Update();
    EXPECT_EQ(camera->view_width, std::numeric_limits<uint64_t>::max());
    EXPECT_EQ(camera->view_height, 0u);

    Entity* sheet = load(R"({"":[{"Transform":[{}],
        "Sprite":[{"is_spritesheet":true,"number_of_frames":4,"start_frame":2147483647}]}]})");
    auto sprite = sheet->GetComponent<Sprite>(SPRITE);
    EXPECT_EQ(sprite->start_frame, 4) << "a start frame past the sheet is its last frame";
    SpriteSystem::GetInstance()->DrawSprite(*sprite);
    EXPECT_EQ(sprite->drawn_frame, 1);
    sprite->current_frame = std::numeric_limits<int32_t>::max();  // as a script may set it
    SpriteSystem::GetInstance()->DrawSprite(*sprite);
    EXPECT_EQ(sprite->drawn_frame, 1);
    sheet = load(R"({"":[{"Sprite":[{"number_of_frames":-3,"start_frame":-7}]}]})");
    EXPECT_EQ(sheet->GetComponent<Sprite>(SPRITE)->number_of_frames, 0);
    EXPECT_EQ(sheet->GetComponent<Sprite>(SPRITE)->start_frame, 0);

    Entity* holder = load(R"({"":[{"Parent":[{"num_children":-2147483648}]}]})");
    auto parent = holder->GetComponent<Parent>(PARENT);
    EXPECT_EQ(parent->GetNumChildren(), 0) << "a count below 0 reads as 0";
    auto child = std::make_shared<Child>();
    child->SetParent(parent);
    ParentChildSystem::GetInstance()->AddChild(child);
    ParentChildSystem::GetInstance()->RemoveChild(child);
    child->ClearParent();
    EXPECT_EQ(parent->GetNumChildren(), 0);
}
