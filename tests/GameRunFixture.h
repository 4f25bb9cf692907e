// Running the real engine on the shipped resources in-process: offscreen video, the disk audio
// driver (the mixed output lands in a file the test reads), a scripted event source and a fake
// clock. Helpers read the presented frame, the audio written so far and the menu state, and push
// key and mouse input the way the window would.
#pragma once

#include "TestSupport.h"
#include "GLTestSupport.h"

#include "Components/Button.h"
#include "Components/Camera.h"
#include "Components/Sprite.h"
#include "Components/Transform.h"
#include "CommandLine.h"
#include "Engine.h"
#include "Factory/Entity.h"
#include "Scene/IScene.h"

#include <GL/glew.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace OrvTest {

struct Rgb {
    int r = 0, g = 0, b = 0;
};

// The colour of the last presented frame at window pixel (x, y) from the bottom-left.
inline Rgb ReadFramePixel(int x, int y)
{
    const std::vector<unsigned char> p = ReadBackBuffer(x, y, 1, 1);
    return {p[0], p[1], p[2]};
}

inline bool IsClearColour(const Rgb& c) { return c.r < 8 && std::abs(c.g - 128) < 8 && std::abs(c.b - 128) < 8; }
inline bool IsWhite(const Rgb& c) { return c.r > 245 && c.g > 245 && c.b > 245; }

inline std::string CurrentSceneName()
{
    auto scene = OrvEngine::OrvStateMachine ? OrvEngine::OrvStateMachine->GetCurrentScene() : nullptr;
    return scene ? scene->GetSceneName() : std::string();
}

inline OrvEngine::Entity* LiveEntity(const std::string& name)
{
    auto scene = OrvEngine::OrvStateMachine ? OrvEngine::OrvStateMachine->GetCurrentScene() : nullptr;
    return scene ? scene->FindEntityByName(name) : nullptr;
}

// Whether the named entity is live and active.
inline bool Shown(const std::string& name)
{
    OrvEngine::Entity* entity = LiveEntity(name);
    return entity && entity->active;
}

// The texture the named entity's sprite shows; empty without one.
inline std::string TextureOf(const std::string& name)
{
    OrvEngine::Entity* entity = LiveEntity(name);
    auto sprite = entity ? entity->GetComponent<OrvEngine::Sprite>(OrvEngine::SPRITE) : nullptr;
    return sprite ? sprite->tex_identifier : std::string();
}

inline std::string SelectedButton()
{
    auto selected = OrvEngine::ButtonSystem::GetInstance()->selected;
    return selected && selected->owner ? selected->owner->GetName() : std::string();
}

// The names of the buttons keyboard navigation moves between, top to bottom.
inline std::vector<std::string> NavigableButtons()
{
    std::vector<std::string> names;
    for (const auto& [key, button] : OrvEngine::ButtonSystem::GetInstance()->buttons) {
        names.push_back(button && button->owner ? button->owner->GetName() : std::string());
    }
    return names;
}

inline void PushWindowMessage(uint32_t message, uint64_t key) { OrvEngine::Platform::PushMessage({message, key, 0}); }

// A key's press and release; Enter and Escape also type their character, as the window does.
inline void PressKey(uint64_t key)
{
    using namespace OrvEngine::Platform;
    PushWindowMessage(WM_KEYDOWN_MSG, key);
    if (key == VK_RETURN_KEY || key == VK_ESCAPE_KEY) PushWindowMessage(WM_CHAR_MSG, key);
    PushWindowMessage(WM_KEYUP_MSG, key);
}

inline void KeyDown(uint64_t key) { PushWindowMessage(OrvEngine::Platform::WM_KEYDOWN_MSG, key); }
inline void KeyUp(uint64_t key) { PushWindowMessage(OrvEngine::Platform::WM_KEYUP_MSG, key); }

// Shift held around a key's press: the player controller's debug keys.
inline void ShiftChord(uint64_t key)
{
    KeyDown(OrvEngine::Platform::VK_SHIFT_KEY);
    PressKey(key);
    KeyUp(OrvEngine::Platform::VK_SHIFT_KEY);
}

// The keys a player holds: every held key is sent down again each frame, as a held key repeats;
// letting go sends its key-up once.
class HeldKeys {
public:
    void Hold(uint64_t key, bool down)
    {
        if (down) {
            held_.insert(key);
        } else if (held_.erase(key)) {
            KeyUp(key);
        }
    }
    void ReleaseAll()
    {
        for (uint64_t key : std::set<uint64_t>(held_)) Hold(key, false);
    }
    void Repeat() const
    {
        for (uint64_t key : held_) KeyDown(key);
    }
    bool Holds(uint64_t key) const { return held_.count(key) != 0; }

private:
    std::set<uint64_t> held_;
};

// A left click at a world position, through the window pixel the camera shows it at.
inline void ClickWorld(float x, float y)
{
    using namespace OrvEngine;
    WindowsSystems* window = WindowsSystems::GetInstance();
    const float w = static_cast<float>(window->width), h = static_cast<float>(window->height);
    float cx = 0.0f, cy = 0.0f, cw = 16.0f, ch = 9.0f;
    if (ActiveCamera && ActiveCamera->transform) {
        cx = ActiveCamera->transform->position.x;
        cy = ActiveCamera->transform->position.y;
        cw = static_cast<float>(ActiveCamera->view_width);
        ch = static_cast<float>(ActiveCamera->view_height);
    }
    const int px = static_cast<int>((x - cx) * w / cw + w / 2.0f);
    const int py = static_cast<int>(h / 2.0f - (y - cy) * h / ch);
    Platform::PushMessage({Platform::WM_MOUSEMOVE_MSG, 0, Platform::PackMousePosition(px, py)});
    Platform::PushMessage({Platform::WM_LBUTTONDOWN_MSG, 0, Platform::PackMousePosition(px, py)});
    Platform::PushMessage({Platform::WM_LBUTTONUP_MSG, 0, Platform::PackMousePosition(px, py)});
}

// Steps that each run once per frame until they say they are done; the run then moves on.
class ScriptedPlayer {
public:
    using Step = std::function<bool()>;
    void Then(Step step) { steps_.push_back(std::move(step)); }
    // Waits until the named scene is current and has run `frames` frames.
    void WaitForScene(const std::string& scene, int frames = 1)
    {
        Then([this, scene, frames] {
            if (CurrentSceneName() != scene) {
                waited_ = 0;
                return false;
            }
            return ++waited_ > frames;
        });
        Then([this] {
            waited_ = 0;
            return true;
        });
    }
    void WaitFrames(int frames)
    {
        Then([this, frames] { return ++waited_ > frames; });
        Then([this] {
            waited_ = 0;
            return true;
        });
    }
    // Waits until `condition` holds, at most `limit` frames.
    void WaitUntil(std::function<bool()> condition, int limit = 200)
    {
        auto frames = std::make_shared<int>(0);
        Then([condition, frames, limit] { return condition() || ++*frames > limit; });
    }
    void Do(std::function<void()> action)
    {
        Then([action] {
            action();
            return true;
        });
    }
    void Frame()
    {
        ++frame;
        RecordScene();
        if (next_ < steps_.size() && steps_[next_]()) ++next_;
    }
    bool Finished() const { return next_ >= steps_.size(); }
    size_t StepReached() const { return next_; }

    int frame = 0;
    std::vector<std::string> scenes; // every scene entered, in order

private:
    void RecordScene()
    {
        const std::string scene = CurrentSceneName();
        if (!scene.empty() && (scenes.empty() || scenes.back() != scene)) scenes.push_back(scene);
    }

    std::vector<Step> steps_;
    size_t next_ = 0;
    int waited_ = 0;
};

// The scene's fade-in has cleared.
inline bool FadedIn()
{
    OrvEngine::Entity* fade = LiveEntity("FadeIn");
    auto sprite = fade ? fade->GetComponent<OrvEngine::Sprite>(OrvEngine::SPRITE) : nullptr;
    return sprite && sprite->GetTintColor().w <= 0.0f;
}

// Waits for the level and its fade-in, with F11 pressed as it starts: the configured window, the
// size the documentation's pictures are taken at.
inline void EnterLevel(ScriptedPlayer& player, const std::string& level = "GameScene_01")
{
    player.WaitForScene(level, 1);
    player.Do([] { PressKey(OrvEngine::Platform::VK_F11_KEY); });
    player.WaitUntil(FadedIn);
}

class GameEndToEndTest : public EngineTest {
protected:
    // A run records its sound output in a file the test reads, unless `record_sound` is false:
    // the dummy driver then takes it.
    explicit GameEndToEndTest(bool record_sound = true) : record_sound_(record_sound) {}

    void SetUp() override
    {
        EngineTest::SetUp();
        for (const char* folder : {"ArtAssets", "Sounds", "Shaders", "fonts"}) {
            fs::create_directory_symlink(SourceDir() / "Resources" / folder, Root() / "Resources" / folder);
        }
        fs::remove_all(DataDir());
        fs::copy(SourceDir() / "Resources" / "Data", DataDir(), fs::copy_options::recursive);
        audio_file_ = (Root() / "audio.raw").string();
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        setenv("SDL_AUDIODRIVER", record_sound_ ? "disk" : "dummy", 1);
        if (record_sound_) setenv("SDL_DISKAUDIOFILE", audio_file_.c_str(), 1);
        OrvEngine::Platform::UseNullBackend(false);
        OrvEngine::SetAssertHandler(nullptr);
    }

    void TearDown() override
    {
        EngineTest::TearDown();
        unsetenv("SDL_DISKAUDIOFILE");
        setenv("SDL_AUDIODRIVER", "dummy", 1);
    }

    // A 320 x 180 window: software drawing then costs a sixteenth of the configured 1280 x 720.
    // For runs that read no pixels; the documentation's pictures need the full window.
    void PlayInASmallWindow() const
    {
        const char* shots = std::getenv("ORV_SCREENSHOT_DIR");
        if (!shots || !*shots) WriteData("config.json", R"({"Name": "OrvEngine", "Height": 180, "Width": 320})");
    }

    // Lists `scene`, with one bare entity, while the shipped data has no such scene: it stands in
    // for another level's work.
    void AddBareSceneWhenMissing(const std::string& scene) const
    {
        std::string index = ReadData("Scenes.json");
        if (Contains(index, "\"" + scene + "\"")) return;
        index.insert(index.find('{') + 1, "\n    \"" + scene + "\": 2,");
        WriteData("Scenes.json", index);
        WriteData(scene + "/" + scene + ".json", "{\"scene_name\": \"" + scene + "\"}");
        WriteData(scene + "/Entities.json", EntityDocument({EntityMember("Bg_1")}));
    }

    // Runs the program with `each_frame` called at the start of every frame and `frame_time`
    // seconds of fake time a frame; the game, or the editor as "--editor" starts it. The first
    // frame keeps the driver modules mapped, so leak reports can name (and suppress) them, and
    // seeds the generator, which the engine seeds from the wall clock's second: each run is then
    // repeatable. A run that does not end by itself is ended after `frame_limit` frames.
    // Returns the exit code.
    static int RunFrames(const std::function<void()>& each_frame, int frame_limit, double frame_time = 0.05,
                         bool editor = false, uint32_t seed = 1)
    {
        double now = 0.0;
        int frame = 0;
        OrvEngine::Platform::SetClockSource([&] { return now; });
        OrvEngine::Platform::SetEventSource([&] {
            now += frame_time;
            if (frame++ == 0) {
                PinLoadedLibraries();
                OrvEngine::Platform::SeedRandom(seed);
            }
            each_frame();
            // A quit request, as SIGTERM sends: the editor asks nothing before it ends.
            if (frame > frame_limit) OrvEngine::Platform::PushMessage({OrvEngine::Platform::WM_QUIT_MSG, 0, 0});
        });
        if (!editor) return OrvEngine::EngineMain(1);
        char program[] = "OrvEngine";
        char option[] = "--editor";
        char* argv[] = {program, option};
        return OrvEngine::ProgramMain(2, argv);
    }

    // Runs the game with `player` driving it.
    static int RunGame(ScriptedPlayer& player, int frame_limit = 3000, double frame_time = 0.05)
    {
        return RunFrames([&] { player.Frame(); }, frame_limit, frame_time);
    }

    // Bytes the disk driver has written so far.
    size_t AudioBytes() const
    {
        std::error_code error;
        const auto size = fs::file_size(audio_file_, error);
        return error ? 0 : static_cast<size_t>(size);
    }

    // The largest sample magnitude (signed 16-bit) the disk driver wrote in [from, to) bytes.
    int LoudestSample(size_t from = 0, size_t to = static_cast<size_t>(-1)) const
    {
        const std::string raw = ReadFile(audio_file_);
        int loudest = 0;
        from &= ~static_cast<size_t>(1);
        for (size_t i = from; i + 1 < raw.size() && i + 1 < to; i += 2) {
            const int16_t sample = static_cast<int16_t>(static_cast<uint8_t>(raw[i]) | (static_cast<uint8_t>(raw[i + 1]) << 8));
            loudest = std::max(loudest, std::abs(static_cast<int>(sample)));
        }
        return loudest;
    }

    // The loudest sample the output produces over its next `milliseconds` of sound, after 300 ms
    // that let sounds already started die away. Counted in bytes written, not in wall time: a
    // starved audio thread on a loaded machine writes late, not less.
    int LoudestOverTheNext(int milliseconds)
    {
        WaitForAudio(300);
        const size_t from = AudioBytes();
        WaitForAudio(milliseconds);
        return LoudestSample(from, AudioBytes());
    }

    // Waits (at most ten seconds) until the disk driver has written `milliseconds` more of output:
    // 44,100 frames a second of two signed 16-bit channels.
    void WaitForAudio(int milliseconds)
    {
        const size_t wanted = AudioBytes() + static_cast<size_t>(milliseconds) * 44100 * 4 / 1000;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (AudioBytes() < wanted && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }

    std::string audio_file_;
    bool record_sound_;
};

} // namespace OrvTest
