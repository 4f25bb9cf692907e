// What the window shows of a level, played on the real engine and the shipped resources
// (GameRunFixture.h): the view's edges while a hurt Ilo shakes it, each story picture framed whole
// where Ilo stops for it, and a window whose size is changed from outside (as a tiling window
// manager or a tool does), paused and while playing.
#include "GameBot.h"

#include "Components/Camera.h"
#include "Scripts/Dialogue/DialogueScript.h"
#include "CoreEngine/CoreEngine.h"
#include "CoreEngine/Globals.h"
#include "Graphics/Graphics.h"

#include <cmath>
#include <memory>
#include <set>
#include <string>
#include <vector>

using namespace OrvEngine;
using namespace OrvTest;

namespace {

// Window pixels along the four edges (every one of them) that show the clear colour.
int BareEdgePixels(int w, int h)
{
    int bare = 0;
    for (const auto& edge : {ReadBackBuffer(0, 0, w, 1), ReadBackBuffer(0, h - 1, w, 1), ReadBackBuffer(0, 0, 1, h),
                             ReadBackBuffer(w - 1, 0, 1, h)}) {
        for (size_t i = 0; i + 2 < edge.size(); i += 4) bare += IsClearColour({edge[i], edge[i + 1], edge[i + 2]});
    }
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

// Every level Ilo can be hurt in.
class ShakenViewTest : public ViewTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(ShakenViewTest, AHurtIloShakesTheViewWithoutBaringTheClearColourAtAnyEdge)
{
    StartScene = GetParam();
    ScriptedPlayer player;
    EnterLevel(player, GetParam());
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

INSTANTIATE_TEST_SUITE_P(Levels, ShakenViewTest, ::testing::Values("GameScene_22", "GameScene_01", "GameScene_23"),
                         [](const ::testing::TestParamInfo<const char*>& info) { return std::string(info.param); });

// Whether the view shows all of the entity's quad, through the matrix sprites are drawn with.
bool FramedWhole(Entity* entity)
{
    auto transform = PartOf<Transform>(entity, TRANSFORM);
    if (!transform || !ActiveCamera) return false;
    const Vec3 at = transform->position, size = transform->scale;
    for (float sx : {-0.5f, 0.5f}) {
        for (float sy : {-0.5f, 0.5f}) {
            const glm::vec4 corner =
                ActiveCamera->world_to_screen * glm::vec4(at.x + sx * size.x, at.y + sy * size.y, 0.0f, 1.0f);
            if (std::fabs(corner.x) > 1.0001f || std::fabs(corner.y) > 1.0001f) return false;
        }
    }
    return true;
}

struct StoryPictures {
    const char* level;
    const char* entity;
    int pictures;
};

class PictureViewTest : public ViewTest, public ::testing::WithParamInterface<StoryPictures> {};

// Ilo walks in from 2 to the left of the trigger, as a player comes up to it, and reads every
// picture; each frame that shows one must show it whole.
TEST_P(PictureViewTest, IloWalkingIntoAStoryStopsWhereTheViewFramesEachPictureWhole)
{
    const StoryPictures story = GetParam();
    StartScene = story.level;
    ScriptedPlayer player;
    HeldKeys keys;
    std::set<std::string> shown;
    int shown_frames = 0, cut_frames = 0;
    EnterLevel(player, story.level);
    player.Do([&] {
        const WorldBox trigger = BoxOf(LiveEntity(story.entity)), ilo = BoxOf(LiveEntity("Player"));
        PartOf<Transform>(LiveEntity("Player"), TRANSFORM)->position.x = trigger.min.x - 2.0f - 0.5f * (ilo.max.x - ilo.min.x);
    });
    player.Then([&] {
        Entity* pictures = LiveEntity(story.entity);
        auto script = ScriptOf<DialogueScript>(pictures);
        if (!pictures || !script) {
            keys.ReleaseAll();
            return true;
        }
        keys.Hold('D', !script->armed);
        keys.Repeat();
        if (script->shown && TextureOf(story.entity) != "default") {
            shown.insert(TextureOf(story.entity));
            cut_frames += !FramedWhole(pictures);
            if (++shown_frames % 15 == 0) PressKey(Platform::VK_RETURN_KEY);
        }
        return shown_frames > 400;
    });
    player.Do([] { Platform::PushMessage({Platform::WM_CLOSE_MSG, 0, 0}); });

    EXPECT_EQ(RunGame(player, 800), 0);
    EXPECT_TRUE(player.Finished()) << "stopped at step " << player.StepReached();
    EXPECT_EQ(static_cast<int>(shown.size()), story.pictures);
    EXPECT_GT(shown_frames, 10 * story.pictures);
    EXPECT_EQ(cut_frames, 0) << "of " << shown_frames << " frames with a picture up";
    EXPECT_EQ(LiveEntity(story.entity), nullptr) << "read to the end";
}

INSTANTIATE_TEST_SUITE_P(Levels, PictureViewTest,
                         ::testing::Values(StoryPictures{"GameScene_01", "Story3NPics_Cut", 3},
                                           StoryPictures{"GameScene_23", "Ruins2NPics_Cut", 2}),
                         [](const ::testing::TestParamInfo<StoryPictures>& info) { return std::string(info.param.level); });

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
