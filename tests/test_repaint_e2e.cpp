// Repainting only what changed: through the title screen, a level and its pause menu, every frame
// presented after a partial repaint must equal the same frame drawn whole (redrawn from the frame's
// own sprites and texts right after it was presented), and parts must really have been repainted.
#include "GameRunFixture.h"

#include "Graphics/Graphics.h"

#include <functional>
#include <string_view>
#include <vector>

using namespace OrvEngine;
using namespace OrvTest;

namespace {

size_t HashBackBuffer(int width, int height)
{
    const std::vector<unsigned char> pixels = ReadBackBuffer(0, 0, width, height);
    return std::hash<std::string_view>{}(std::string_view(reinterpret_cast<const char*>(pixels.data()), pixels.size()));
}

struct Checked {
    int frames = 0;
    int partial = 0;   // repainted in part
    int empty = 0;     // nothing to repaint
    int differing = 0; // presented picture unlike the whole one
    int first_differing = -1;
    std::vector<std::string> scenes;
};

class RepaintTest : public GameEndToEndTest {};

TEST_F(RepaintTest, EveryPartlyRepaintedFrameEqualsTheFrameDrawnWhole)
{
    ScriptedPlayer script;
    script.WaitForScene("SplashScene_01", 3);
    script.Do([] { PressKey(Platform::VK_ESCAPE_KEY); });
    script.WaitForScene("MainMenuScene", 60); // the fade, then the walkers alone
    script.Do([] { PressKey(Platform::VK_DOWN_KEY); });
    script.WaitFrames(5);
    script.Do([] { PressKey(Platform::VK_UP_KEY); });
    script.WaitFrames(5);
    script.Do([] { PressKey(Platform::VK_RETURN_KEY); });
    script.WaitForScene("GameScene_22", 40);
    script.Do([] { Platform::PushMessage({Platform::WM_KEYDOWN_MSG, 'D', 0}); });
    script.WaitFrames(20);
    script.Do([] { Platform::PushMessage({Platform::WM_KEYUP_MSG, 'D', 0}); });
    script.WaitFrames(5);
    script.Do([] { PressKey(Platform::VK_ESCAPE_KEY); }); // paused: the level stands still
    script.WaitFrames(30);
    script.Do([] { PressKey(Platform::VK_DOWN_KEY); });
    script.WaitFrames(10);
    script.Do([] { PressKey(Platform::VK_ESCAPE_KEY); });
    script.WaitFrames(10);

    Checked checked;
    std::string last_scene;
    ScriptedPlayer recorder;
    recorder.Then([&] {
        // Each frame begins here, before anything draws: the back buffer holds the last frame.
        const WindowsSystems* window = WindowsSystems::GetInstance();
        const int width = static_cast<int>(window->width), height = static_cast<int>(window->height);
        // A frame that changed scenes ends with the next scene's texts live: it cannot be redrawn.
        const bool same_scene = CurrentSceneName() == last_scene;
        last_scene = CurrentSceneName();
        if (recorder.frame > 1 && same_scene && Graphics::IsGLReady()) {
            const ScreenRect& area = Graphics::GetInstance()->damage.Repainted();
            if (area.Area() < static_cast<long long>(width) * height) ++checked.partial;
            if (area.Empty()) ++checked.empty;
            const size_t presented = HashBackBuffer(width, height);
            RedrawLastFrameWhole();
            if (HashBackBuffer(width, height) != presented) {
                if (checked.first_differing < 0) checked.first_differing = recorder.frame;
                ++checked.differing;
            }
            ++checked.frames;
        }
        script.Frame();
        if (script.Finished()) Platform::PushMessage({Platform::WM_CLOSE_MSG, 0, 0});
        return false;
    });
    RunGame(recorder, 1500);

    const std::vector<std::string> scenes{"SplashScene_00", "SplashScene_01", "MainMenuScene", "GameScene_22"};
    EXPECT_EQ(script.scenes, scenes);
    EXPECT_TRUE(script.Finished());
    // The menu's walkers and the paused level repaint in part; a standing pause repaints nothing.
    EXPECT_GT(checked.partial, 60);
    EXPECT_GT(checked.empty, 10);
    EXPECT_EQ(checked.differing, 0) << "first at frame " << checked.first_differing << " of " << checked.frames;
}

} // namespace
