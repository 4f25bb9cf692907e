// Shared test fixtures: a throw-away data tree with the working directory inside it, a recorded
// assertion handler, and a reset of every engine singleton and flag between tests.
#pragma once

#include "Audio/AudioSystem.h"
#include "Components/ParentChildSystem.h"
#include "Components/Sprite.h"
#include "Components/Transform.h"
#include "CoreEngine/CoreEngine.h"
#include "CoreEngine/FPS.h"
#include "CoreEngine/Globals.h"
#include "CoreEngine/ResourceManager.h"
#include "CoreEngine/Serializer.h"
#include "CoreEngine/SharedValues.h"
#include "Editor/EditorManager.h"
#include "Engine.h"
#include "Factory/ComponentRegistration.h"
#include "Factory/Entity.h"
#include "Factory/EntityFactory.h"
#include "Factory/Information.h"
#include "Graphics/ButtonSystem.h"
#include "Graphics/FreetypeSystem.h"
#include "Graphics/Graphics.h"
#include "Graphics/SliderSystem.h"
#include "Graphics/SpriteSystem.h"
#include "LayerLinks.h"
#include "Logging/Logging.h"
#include "Logic/Logic.h"
#include "Physics/CollisionSystem.h"
#include "Physics/PhysicsSystem.h"
#include "Platform/Platform.h"
#include "Scene/IScene.h"
#include "Scene/SceneStateMachine.h"
#include "Scripts/ScriptSystem.h"
#include "SystemList.h"
#include "Windows/Input.h"
#include "Windows/WindowsSystems.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

namespace OrvTest {

namespace fs = std::filesystem;

// A failed engine check, thrown by the test assertion handler.
struct AssertionFailure : std::runtime_error {
    explicit AssertionFailure(const OrvEngine::AssertInfo& info) : std::runtime_error(info.text), report(info) {}
    OrvEngine::AssertInfo report;
};

inline std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void WriteFile(const fs::path& path, const std::string& text)
{
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out << text;
}

inline fs::path SourceDir() { return fs::path(ORV_SOURCE_DIR); }

// Whether this program was built with AddressSanitizer, whose allocator stands in for malloc's.
constexpr bool BuiltWithAddressSanitizer()
{
#if defined(__SANITIZE_ADDRESS__)
    return true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    return true;
#else
    return false;
#endif
#else
    return false;
#endif
}

// Frees the current scene and unloads every scene while the factory still exists, so the
// entities the scenes hold are destroyed rather than leaked.
inline void ReleaseSceneEntities()
{
    using namespace OrvEngine;
    if (!OrvStateMachine) return;
    if (OrvStateMachine->current_scene) OrvStateMachine->current_scene->Free();
    OrvStateMachine->current_scene.reset();
    for (auto& [name, scene] : OrvStateMachine->scenes) scene->Unload();
}

// Deletes every system singleton and the engine objects, and resets the program-wide flags and
// shared values.
inline void ResetEngineState()
{
    using namespace OrvEngine;
    ReleaseSceneEntities();
    ReleaseEngineObjects();
    DestroyEngineSystems();
    ConnectLayers();
    Input::Instance().Reset();
    Platform::ClearMessages();
    Platform::SetEventSource(nullptr);
    Platform::SetClockSource(nullptr);
    Platform::Shutdown();
    Logging::Destroy();
    // Each test is a run of its own: its first log line truncates the file and writes the header.
    Logging::BeginRun();
    ResetGlobals();
}

// A fixture that runs each test in <tmp>/work, so "../Resources/Data/" and "../Logging/" land
// in <tmp>. Engine checks throw AssertionFailure; the null platform backend is on.
class EngineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/orvtest-XXXXXX";
        root_ = mkdtemp(pattern);
        fs::create_directories(root_ / "work");
        fs::create_directories(DataDir());
        old_cwd_ = fs::current_path();
        fs::current_path(root_ / "work");
        ResetEngineState();
        OrvEngine::Platform::UseNullBackend(true);
        OrvEngine::SetAssertHandler([](const OrvEngine::AssertInfo& info) { throw AssertionFailure(info); });
    }

    void TearDown() override
    {
        ResetEngineState();
        OrvEngine::SetAssertHandler(nullptr);
        OrvEngine::Platform::UseNullBackend(false);
        unsetenv("SDL_VIDEODRIVER");
        fs::current_path(old_cwd_);
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }

    fs::path Root() const { return root_; }
    fs::path DataDir() const { return root_ / "Resources" / "Data"; }
    fs::path LogPath() const { return root_ / "Logging" / "log.dat"; }
    std::string LogText() const { return ReadFile(LogPath()); }
    void WriteData(const std::string& name, const std::string& text) const { WriteFile(DataDir() / name, text); }
    std::string ReadData(const std::string& name) const { return ReadFile(DataDir() / name); }

private:
    fs::path root_;
    fs::path old_cwd_;
};

// ---- JSON and entity builders shared by the component tests ---------------------------------

// A component's fields as the object that stands in its file entry.
inline std::string SerializeComponent(OrvEngine::Component& component)
{
    return OrvEngine::Serializer::ObjectText([&](OrvEngine::JsonWriter& writer) { component.Serialize(writer); });
}

inline rapidjson::Document Parse(const std::string& text)
{
    rapidjson::Document document;
    document.Parse(text.c_str());
    return document;
}

// Writes from's fields and reads them into to, as saving and loading a file would.
inline void RoundTrip(OrvEngine::Component& from, OrvEngine::Component& to)
{
    to.Deserialize(Parse(SerializeComponent(from)));
}

// A numbered entity with a Transform, and an Information (name, tag) unless tag is negative.
// It is in no scene and no system.
inline OrvEngine::Entity* MakeTransformEntity(const std::string& name, OrvEngine::Vec3 position,
                                              OrvEngine::Vec3 scale, int64_t tag = -1)
{
    using namespace OrvEngine;
    Entity* entity = EntityFactory::GetInstance()->CreateEntity(name);
    if (tag >= 0) {
        auto info = std::make_shared<Information>();
        info->SetName(name);
        info->SetType(static_cast<uint32_t>(tag));
        entity->AddComponent(INFORMATION, info);
    }
    auto transform = std::make_shared<Transform>();
    transform->position = position;
    transform->scale = scale;
    entity->AddComponent(TRANSFORM, transform);
    return entity;
}

// ---- Reading the current scene ----------------------------------------------------------------

// The script of the given type that entity runs; null for no entity or another script.
template <class T>
T* ScriptOf(const OrvEngine::Entity* entity)
{
    if (!entity) return nullptr;
    return dynamic_cast<T*>(OrvEngine::ScriptSystem::GetInstance()->GetScript(entity->id).get());
}

// Live entities of the current scene that pass `wanted`, in ascending id.
inline std::vector<OrvEngine::Entity*> EntitiesWhere(const std::function<bool(OrvEngine::Entity*)>& wanted)
{
    std::vector<OrvEngine::Entity*> found;
    auto scene = OrvEngine::OrvStateMachine ? OrvEngine::OrvStateMachine->GetCurrentScene() : nullptr;
    if (!scene) return found;
    for (const auto& [id, entity] : scene->GetEntities()) {
        if (entity && wanted(entity)) found.push_back(entity);
    }
    return found;
}

// The live entities of the current scene whose names begin with prefix, in ascending id.
inline std::vector<OrvEngine::Entity*> EntitiesNamed(const std::string& prefix)
{
    return EntitiesWhere([&](OrvEngine::Entity* e) { return e->name.rfind(prefix, 0) == 0; });
}

// Where the entity's sprite stands in the order the sprite system last drew: -1 when it has no
// sprite, or it is inactive, hidden or not in the draw list.
inline long DrawPlace(const OrvEngine::Entity* entity)
{
    using namespace OrvEngine;
    auto sprite = entity && entity->active ? entity->GetComponent<Sprite>(SPRITE) : nullptr;
    if (!sprite || !sprite->visible) return -1;
    const auto& drawn = SpriteSystem::GetInstance()->sprites;
    const auto found = std::find(drawn.begin(), drawn.end(), sprite);
    return found == drawn.end() ? -1 : static_cast<long>(found - drawn.begin());
}

// ---- Data trees, clock and a small engine for the core tests --------------------------------

// One member of an entity document: an entity with an Information named `name`, and a script
// when `script` is given.
inline std::string EntityMember(const std::string& name, const std::string& script = "", unsigned type = 0)
{
    std::string text = "\"" + name + "\": [{\"Information\": [{\"name\": \"" + name +
                       "\", \"type\": " + std::to_string(type) + ", \"active\": true}]";
    if (!script.empty()) text += ", \"ScriptComponent\": [{\"file_name\": \"" + script + "\"}]";
    return text + "}]";
}

inline std::string EntityDocument(const std::vector<std::string>& members)
{
    std::string text = "{";
    for (size_t i = 0; i < members.size(); ++i) text += (i ? ", " : "") + members[i];
    return text + "}";
}

struct SceneSpec {
    SceneSpec(std::string scene_name, int scene_type = 2, std::string entity_document = "", std::string settings_file = "")
        : name(std::move(scene_name)), type(scene_type), entities(std::move(entity_document)),
          settings(std::move(settings_file))
    {
    }
    std::string name;
    int type;
    std::string entities;  // entity document; none written when empty
    std::string settings;  // settings file; a default one when empty
};

// Writes "Scenes.json" listing the scenes in order, and each scene's folder.
inline void WriteScenes(const fs::path& data, const std::vector<SceneSpec>& scenes)
{
    std::string index = "{";
    for (size_t i = 0; i < scenes.size(); ++i) {
        const SceneSpec& scene = scenes[i];
        index += (i ? ", \"" : "\"") + scene.name + "\": " + std::to_string(scene.type);
        std::string settings = scene.settings;
        if (settings.empty()) {
            settings = scene.type == 1 ? "{\"show_time\": 1.0, \"scene_name\": \"" + scene.name + "\", \"next_state\": \"\"}"
                                       : "{\"scene_name\": \"" + scene.name + "\"}";
        }
        WriteFile(data / scene.name / (scene.name + ".json"), settings);
        if (!scene.entities.empty()) WriteFile(data / scene.name / "Entities.json", scene.entities);
    }
    WriteFile(data / "Scenes.json", index + "}");
}

// The folders the resource scan and the renderer look in, empty.
inline void MakeAssetFolders(const fs::path& root)
{
    for (const char* folder : {"ArtAssets", "Sounds", "Shaders", "fonts"}) fs::create_directories(root / "Resources" / folder);
}

// A clock the test moves by hand; installed as the platform clock.
inline double& FakeNow()
{
    static double now = 0.0;
    return now;
}

inline void InstallFakeClock(double start = 0.0)
{
    FakeNow() = start;
    OrvEngine::Platform::SetClockSource([] { return FakeNow(); });
}

// The creators of the engine core's own components, without the other systems' Init.
inline void RegisterCoreComponents()
{
    using namespace OrvEngine;
    EntityFactory::GetInstance()->Init();
    ScriptSystem::GetInstance()->Init();
    ParentChildSystem::GetInstance()->Init();
    RegisterComponent<Transform>("Transform", TRANSFORM);
}

// A core engine that holds only the given systems (the scene state machine comes separately).
inline OrvEngine::CoreEngine* MakeCoreEngine(const std::vector<OrvEngine::ISystem*>& systems = {})
{
    using namespace OrvEngine;
    OrvCoreEngine = new CoreEngine();
    for (ISystem* system : systems) OrvCoreEngine->AddSystem(system);
    return OrvCoreEngine;
}

// Captures standard output while it lives.
class StdoutCapture {
public:
    StdoutCapture() { ::testing::internal::CaptureStdout(); }
    ~StdoutCapture()
    {
        if (!taken_) ::testing::internal::GetCapturedStdout();
    }
    std::string Take()
    {
        taken_ = true;
        return ::testing::internal::GetCapturedStdout();
    }

private:
    bool taken_ = false;
};

// The lines of a text, without their line ends.
inline std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

inline bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// How many times the part stands in the text, overlaps counted.
inline size_t Occurrences(const std::string& text, const std::string& part)
{
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

// How many lines of a text are exactly this line.
inline size_t CountLines(const std::string& text, const std::string& line)
{
    size_t n = 0;
    for (const std::string& each : Lines(text)) n += each == line ? 1 : 0;
    return n;
}

} // namespace OrvTest
