// What the window shows of a level, played on the real engine and the shipped resources
// (GameRunFixture.h): the view's edges while a hurt Ilo shakes it, and a window whose size is
// changed from outside (as a tiling window manager or a tool does), paused and while playing.
#include "GameBot.h"

#include "Components/Camera.h"
#include "CoreEngine/CoreEngine.h"
#include "CoreEngine/Globals.h"
#include "Graphics/Graphics.h"

#include <cmath>
#include <memory>
#include <vector>

using namespace OrvEngine;
using namespace OrvTest;

namespace {

// Window pixels along the four edges that show the clear colour.
int BareEdgePixels(int w, int h)
{
    int bare = 0;
    for (int x = 0; x < w; x += 16) bare += IsClearColour(ReadFramePixel(x, h - 1)) + IsClearColour(ReadFramePixel(x, 0));
    for (int y = 0; y < h; y += 16) bare += IsClearColour(ReadFramePixel(0, y)) + IsClearColour(ReadFramePixel(w - 1, y));
    return bare;
}

// The share of the small frame's pixels that match the big frame shrunk by `factor` (the mean of
// each factor x factor block), each channel within `tolerance`.
double ShareMatching(const std::vector<unsigned char>& big, int big_w, const std::vector<unsigned char>& small,
                     int small_w, int small_h, int factor, int tolerance = 40)
{
    long matching = 0;
    for (int y = 0; y < small_h; ++y) {
        for (int x = 0; x < small_w; ++x) {
            bool same = true;
            for (int c = 0; c < 3; ++c) {
                int sum = 0;
                for (int dy = 0; dy < factor; ++dy) {
                    for (int dx = 0; dx < factor; ++dx) {
                        sum += big[(static_cast<size_t>(y * factor + dy) * big_w + (x * factor + dx)) * 4 + c];
                    }
                }
                const int shrunk = sum / (factor * factor);
                same = same && std::abs(shrunk - small[(static_cast<size_t>(y) * small_w + x) * 4 + c]) <= tolerance;
            }
            matching += same;
        }
    }
    return static_cast<double>(matching) / (static_cast<double>(small_w) * small_h);
}

int WindowWidth() { return static_cast<int>(WindowsSystems::GetInstance()->width); }
int WindowHeight() { return static_cast<int>(WindowsSystems::GetInstance()->height); }

class ViewTest : public GameEndToEndTest {
protected:
    void SetUp() override
    {
        GameEndToEndTest::SetUp();
        StartScene = "GameScene_01";
    }
};

TEST_F(ViewTest, AHurtIloShakesTheViewWithoutBaringTheClearColourAtAnyEdge)
{
    ScriptedPlayer player;
    EnterLevel(player);
    int shaken_frames = 0, bared_frames = 0, frames = 0;
    float rest_y = 0.0f;
    player.Do([&] { rest_y = PositionOf("Cam").y; });
    player.Then([&] {
        // Hit every 2.5 s, past the 2 s in which a hurt Ilo cannot be hurt again.
        if (frames % 50 == 0) {
            if (PlayerController* ilo = IloController()) {
                ilo->hurt_time = OrvCoreEngine->GetTotalTime();
                ilo->SetHit(true);
            }
        }
        // Each frame begins here: the back buffer holds the frame just presented, drawn from the
        // camera as it stands now.
        const bool shaken = ActiveCamera && ActiveCamera->shaking && std::fabs(PositionOf("Cam").y - rest_y) > 0.01f;
        shaken_frames += shaken;
        bared_frames += BareEdgePixels(WindowWidth(), WindowHeight()) > 0;
        return ++frames >= 400;
    });
    player.Do([] { Platform::PushMessage({Platform::WM_CLOSE_MSG, 0, 0}); });

    EXPECT_EQ(RunGame(player, 800), 0);
    EXPECT_TRUE(player.Finished()) << "stopped at step " << player.StepReached();
    EXPECT_GT(shaken_frames, 3) << "the view did shake";
    EXPECT_EQ(bared_frames, 0) << "of " << frames;
}

struct ResizeRecord {
    std::vector<unsigned char> before;
    double paused_match = 0.0, playing_match = 0.0;
    ScreenRect paused_repaint, playing_repaint, same_size_repaint;
    int paused_width = 0, playing_width = 0;
};

// Changes the window's size from outside, then looks at the first frame drawn since: its size,
// what it repainted and how it matches `record.before` shrunk by `factor`.
void LookAfterResize(ScriptedPlayer& player, ResizeRecord& record, int small_w, int small_h, int factor,
                     double& match, ScreenRect& repainted, int& width)
{
    auto waited = std::make_shared<int>(0);
    player.Do([=] { Platform::PlaceWindow(0, 0, small_w, small_h, false); });
    player.Then([=, &record, &match, &repainted, &width] {
        // Each frame begins here: what the frame just presented repainted is still on record.
        if (WindowWidth() != small_w) return ++*waited > 5;
        width = WindowWidth();
        repainted = Graphics::GetInstance()->damage.Repainted();
        match = ShareMatching(record.before, 1280, ReadBackBuffer(0, 0, small_w, small_h), small_w, small_h, factor);
        return true;
    });
}

TEST_F(ViewTest, AWindowResizedFromOutsideIsLaidOutAgainAndDrawnWholePausedAndPlaying)
{
    ScriptedPlayer player;
    ResizeRecord record;
    EnterLevel(player);
    // Paused, the level stands still: the frame at half the size is the frame shrunk.
    player.Do([] { PressKey(Platform::VK_ESCAPE_KEY); });
    player.WaitFrames(20);
    player.Do([&] { record.before = ReadBackBuffer(0, 0, 1280, 720); });
    LookAfterResize(player, record, 640, 360, 2, record.paused_match, record.paused_repaint, record.paused_width);
    // A size change that ends where it began (a window maximised and restored between two frames)
    // may still have lost the window's pixels: the paused level is drawn whole again.
    player.WaitFrames(3);
    player.Do([] { Platform::PushMessage({Platform::WM_SIZE_MSG, 0, Platform::PackMousePosition(640, 360)}); });
    player.Do([&] { record.same_size_repaint = Graphics::GetInstance()->damage.Repainted(); });
    // Playing again at the full size, and then a quarter of it.
    player.Do([] { Platform::PlaceWindow(0, 0, 1280, 720, false); });
    player.WaitFrames(2);
    player.Do([] { PressKey(Platform::VK_ESCAPE_KEY); });
    player.WaitFrames(5);
    player.Do([&] { record.before = ReadBackBuffer(0, 0, 1280, 720); });
    LookAfterResize(player, record, 320, 180, 4, record.playing_match, record.playing_repaint, record.playing_width);
    player.Do([] { Platform::PushMessage({Platform::WM_CLOSE_MSG, 0, 0}); });

    EXPECT_EQ(RunGame(player, 600), 0);
    EXPECT_TRUE(player.Finished()) << "stopped at step " << player.StepReached();
    EXPECT_EQ(record.paused_width, 640);
    EXPECT_EQ(record.paused_repaint.Area(), 640 * 360) << "drawn whole, paused";
    EXPECT_GT(record.paused_match, 0.9) << "the whole view, scaled";
    EXPECT_EQ(record.same_size_repaint.Area(), 640 * 360);
    EXPECT_EQ(record.playing_width, 320);
    EXPECT_EQ(record.playing_repaint.Area(), 320 * 180) << "drawn whole, playing";
    // Ilo and Dora stand, the sky and the HUD hold still; only their idle animations differ.
    EXPECT_GT(record.playing_match, 0.8) << "the whole view, scaled";
}

} // namespace
