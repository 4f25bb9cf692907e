// Sound layer: samples really reach the output, groups and pauses silence it, handles go stale,
// and the layer always starts, with or without a device.
#include "Platform/Sound.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using namespace OrvEngine::Platform;
using SS = SoundSystem;

namespace {

// Output that may still carry the old settings after a change: one mixer buffer in flight plus
// the file's write buffer, with room to spare.
constexpr uintmax_t kMargin = 32 * 1024;
constexpr uintmax_t kWindow = 32 * 1024;

bool WaitUntil(const std::function<bool()>& done, double seconds = 10.0)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    for (; std::chrono::steady_clock::now() < end; std::this_thread::sleep_for(std::chrono::milliseconds(5))) {
        SS::Update();
        if (done()) return true;
    }
    return done();
}

// RMS of the int16 samples between two byte offsets; -1 when the range is empty.
double Rms(const std::vector<int16_t>& s, uintmax_t from, uintmax_t to)
{
    double sum = 0;
    size_t n = 0;
    for (size_t i = from / 2; i < to / 2 && i < s.size(); ++i, ++n) sum += double(s[i]) * s[i];
    return n ? std::sqrt(sum / n) : -1.0;
}

class SoundLayerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories(dir_);
        for (auto [name, seconds] : {std::pair{"tone", "0.5"}, std::pair{"short", "0.2"}}) {
            const std::string cmd =
                "sox -n -r 44100 -c 2 " + Path(name) + ".ogg synth " + seconds + " sine 440 vol 0.5";
            ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
        }
        for (const char* name : {"SDL_AUDIODRIVER", "SDL_DISKAUDIOFILE"}) {
            const char* value = std::getenv(name);
            saved_env_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
        }
        setenv("SDL_AUDIODRIVER", "dummy", 1);
    }
    void TearDown() override
    {
        SS::Release();
        SS::ForceSilentBackend(false);
        for (auto& [name, value] : saved_env_) value ? setenv(name, value->c_str(), 1) : unsetenv(name);
        fs::remove_all(dir_);
    }
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }

    void StartDisk()
    {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", Path("out.raw").c_str(), 1);
        ASSERT_TRUE(SS::Init());
        ASSERT_FALSE(SS::IsSilent());
    }
    uintmax_t Written() const
    {
        std::error_code ec;
        const uintmax_t n = fs::file_size(Path("out.raw"), ec);
        return ec ? 0 : n;
    }
    // The output's end once at least `bytes` more were written.
    uintmax_t Advance(uintmax_t bytes)
    {
        const uintmax_t target = Written() + bytes;
        EXPECT_TRUE(WaitUntil([&] { return Written() >= target; }));
        return Written();
    }
    std::vector<int16_t> Samples() const
    {
        std::vector<int16_t> samples(Written() / 2);
        std::ifstream file(Path("out.raw"), std::ios::binary);
        file.read(reinterpret_cast<char*>(samples.data()), samples.size() * 2);
        return samples;
    }

    fs::path dir_ = fs::temp_directory_path() / ("orv_sound_" + std::to_string(::getpid()));
    std::vector<std::pair<const char*, std::optional<std::string>>> saved_env_;
};

} // namespace

TEST_F(SoundLayerTest, NoDeviceAtAllEveryCallIsHarmless)
{
    SS::ForceSilentBackend(true);
    SS::Create();
    EXPECT_EQ(SS::GetVersion() >> 16, 2u) << "SDL_mixer 2.x";
    EXPECT_EQ(SS::GetOutputDeviceCount(), 0);
    ASSERT_TRUE(SS::Init(8) && SS::IsSilent());
    EXPECT_FALSE(SS::CreateSound(Path("missing.ogg"), false, false).IsValid());
    EXPECT_FALSE(SS::GetLastError().empty());
    SoundHandle once = SS::CreateSound(Path("short.ogg"), false, false);
    SoundHandle loop = SS::CreateSound(Path("tone.ogg"), true, true);
    ASSERT_TRUE(once.IsValid() && loop.IsValid());
    ChannelHandle a = SS::PlaySound(once, ChannelGroup::Effects, true);
    ChannelHandle b = SS::PlaySound(loop, ChannelGroup::Music, false);
    ASSERT_TRUE(a.IsValid() && b.IsValid());
    EXPECT_TRUE(SS::SetVolume(a, 0.3f) && SS::SetPaused(a, false));
    SS::SetGroupVolume(ChannelGroup::Music, 0.25f);
    SS::SetGroupMute(ChannelGroup::Effects, true);
    SS::SetGroupPaused(ChannelGroup::Music, true);
    EXPECT_TRUE(SS::GetGroupMute(ChannelGroup::Effects) && SS::GetGroupPaused(ChannelGroup::Music));
    SS::Update();
    EXPECT_FALSE(SS::IsPlaying(a)) << "a one-shot ends at the next update";
    EXPECT_TRUE(SS::IsPlaying(b) && SS::Stop(b) && !SS::IsPlaying(b));
    ChannelHandle c = SS::PlaySound(loop, ChannelGroup::Music, false);
    SS::ReleaseSound(loop);
    EXPECT_FALSE(SS::IsPlaying(c));
    SS::Release();
    SS::ForceSilentBackend(false);
    EXPECT_TRUE(SS::Init() && !SS::IsSilent());
}

TEST_F(SoundLayerTest, FallsBackToTheDummyDriverAndRestartsCleanly)
{
    setenv("SDL_AUDIODRIVER", "no_such_driver", 1);
    ASSERT_TRUE(SS::Init() && !SS::IsSilent());
    const SoundHandle old_sound = SS::CreateSound(Path("tone.ogg"), true, false);
    const ChannelHandle old_channel = SS::PlaySound(old_sound, ChannelGroup::Music, false);
    EXPECT_TRUE(SS::IsPlaying(old_channel));
    SS::Release();
    SS::Release();

    // A silent output choice opens the dummy driver even though the environment names another.
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", Path("out.raw").c_str(), 1);
    SS::Create();
    SS::UseSilentOutput();
    ASSERT_TRUE(SS::Init() && !SS::IsSilent());
    SS::Release();
    EXPECT_FALSE(fs::exists(Path("out.raw")));

    // Both overrides are gone after Release, and handles from before never match new plays.
    ASSERT_NO_FATAL_FAILURE(StartDisk());
    EXPECT_TRUE(WaitUntil([&] { return Written() > 0; }));
    const SoundHandle sound = SS::CreateSound(Path("tone.ogg"), true, false);
    const ChannelHandle channel = SS::PlaySound(sound, ChannelGroup::Music, false);
    ASSERT_EQ(channel.slot, old_channel.slot);
    EXPECT_FALSE(SS::IsPlaying(old_channel) || SS::SetVolume(old_channel, 0.5f));
    EXPECT_FALSE(SS::PlaySound(old_sound, ChannelGroup::Music, false).IsValid());
}

TEST_F(SoundLayerTest, MuteStopAndPauseSilenceTheOutputUntilUndone)
{
    using Action = std::function<void(ChannelHandle, bool)>;
    const std::vector<std::pair<const char*, Action>> cases = {
        {"group mute", [](ChannelHandle, bool on) { SS::SetGroupMute(ChannelGroup::Effects, on); }},
        {"group pause", [](ChannelHandle, bool on) { SS::SetGroupPaused(ChannelGroup::Effects, on); }},
        {"channel pause outlasting a group pause", [](ChannelHandle ch, bool on) {
             SS::SetPaused(ch, on);
             SS::SetGroupPaused(ChannelGroup::Effects, on);
             if (on) SS::SetGroupPaused(ChannelGroup::Effects, false);
         }},
        {"stop", [](ChannelHandle ch, bool on) { if (on) SS::Stop(ch); }},
    };
    for (const auto& [name, action] : cases) {
        SCOPED_TRACE(name);
        ASSERT_NO_FATAL_FAILURE(StartDisk());
        ChannelHandle ch = SS::PlaySound(SS::CreateSound(Path("tone.ogg"), true, false), ChannelGroup::Effects, false);
        ASSERT_TRUE(WaitUntil([&] { auto s = Samples(); return Rms(s, s.size() * 2 - 4096, s.size() * 2) > 5000; }));
        const uintmax_t silenced = Advance(kWindow);
        action(ch, true);
        const uintmax_t restored = Advance(kMargin + kWindow);
        action(ch, false);
        const uintmax_t end = Advance(kMargin + kWindow);
        SS::Release();
        auto samples = Samples();
        EXPECT_GT(Rms(samples, silenced - kWindow, silenced), 5000);
        EXPECT_EQ(Rms(samples, silenced + kMargin, restored), 0.0);
        const bool comes_back = std::string(name) != "stop";
        EXPECT_EQ(Rms(samples, restored + kMargin, end) > 5000, comes_back);
        fs::remove(Path("out.raw"));
    }
}

TEST_F(SoundLayerTest, ChannelAndGroupVolumesScaleTheAmplitudeUpToFull)
{
    ASSERT_NO_FATAL_FAILURE(StartDisk());
    ChannelHandle ch = SS::PlaySound(SS::CreateSound(Path("tone.ogg"), true, false), ChannelGroup::Music, true);
    const uintmax_t start = Advance(kWindow);
    SS::SetPaused(ch, false);
    const uintmax_t full = Advance(kMargin + kWindow);
    SS::SetGroupVolume(ChannelGroup::Music, 0.5f);
    const uintmax_t half = Advance(kMargin + kWindow);
    SS::SetVolume(ch, 0.5f);
    const uintmax_t quarter = Advance(kMargin + kWindow);
    SS::SetGroupVolume(ChannelGroup::Music, 4.0f); // 2.0 overall: capped at full
    const uintmax_t capped = Advance(kMargin + kWindow);
    SS::Release();
    auto s = Samples();
    EXPECT_EQ(Rms(s, 0, start), 0.0) << "a channel started paused is heard";
    const double reference = Rms(s, start + kMargin, full);
    EXPECT_NEAR(reference, 32767 * 0.5 / std::sqrt(2.0), 1500);
    EXPECT_NEAR(Rms(s, full + kMargin, half) / reference, 0.5, 0.05);
    EXPECT_NEAR(Rms(s, half + kMargin, quarter) / reference, 0.25, 0.05);
    EXPECT_NEAR(Rms(s, quarter + kMargin, capped) / reference, 1.0, 0.05);
}

TEST_F(SoundLayerTest, StaleHandlesDoNothingAndLoopFlagsDecideTheEnd)
{
    ASSERT_TRUE(SS::Init());
    SoundHandle once = SS::CreateSound(Path("short.ogg"), false, false);
    SoundHandle loop = SS::CreateSound(Path("short.ogg"), true, false);
    EXPECT_TRUE(SS::GetLoopCount(once) == 0 && SS::GetLoopCount(loop) == -1 && !SS::SetLoopCount(loop, -2));

    ChannelHandle first = SS::PlaySound(once, ChannelGroup::Effects, false);
    ASSERT_TRUE(WaitUntil([&] { return !SS::IsPlaying(first); }));
    ChannelHandle looping = SS::PlaySound(loop, ChannelGroup::Effects, false);
    ASSERT_EQ(looping.slot, first.slot) << "the freed slot is reused";
    EXPECT_FALSE(SS::Stop(first) || SS::SetVolume(first, 0.1f) || SS::SetPaused(first, true));
    EXPECT_TRUE(SS::GetVolume(looping) == 1.0f && !SS::GetPaused(looping));
    EXPECT_FALSE(WaitUntil([&] { return !SS::IsPlaying(looping); }, 0.6)) << "a looping sound ended";

    ChannelHandle held = SS::PlaySound(once, ChannelGroup::Music, true);
    EXPECT_FALSE(WaitUntil([&] { return !SS::IsPlaying(held); }, 0.4)) << "a paused one-shot ended";
    SS::SetPaused(held, false);
    EXPECT_TRUE(WaitUntil([&] { return !SS::IsPlaying(held); }));

    ASSERT_TRUE(SS::SetLoopCount(loop, 1));
    ChannelHandle twice = SS::PlaySound(loop, ChannelGroup::Music, false);
    EXPECT_TRUE(WaitUntil([&] { return !SS::IsPlaying(twice); }));
    SS::SetLoopCount(once, -1); // a one-shot ignores its loop count
    ChannelHandle still_once = SS::PlaySound(once, ChannelGroup::Music, false);
    EXPECT_TRUE(WaitUntil([&] { return !SS::IsPlaying(still_once); }));

    SS::ReleaseSound(loop);
    EXPECT_FALSE(SS::IsPlaying(looping)) << "releasing a sound stops its channels";
    EXPECT_FALSE(SS::PlaySound(loop, ChannelGroup::Music, false).IsValid() || SS::SetLoopCount(loop, 0));
}

TEST_F(SoundLayerTest, QueuedSoundsDecodeOffTheCallerAndEveryFirstPlayIsHeard)
{
    ASSERT_NO_FATAL_FAILURE(StartDisk());
    std::vector<SoundHandle> sounds;
    for (int i = 0; i < 6; ++i) {
        const std::string name = Path("q" + std::to_string(i) + ".ogg");
        const std::string cmd = "sox -n -r 22050 -c 1 " + name + " synth 0.5 sine " + std::to_string(300 + 100 * i) +
                                " vol 0.5";
        ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
        sounds.push_back(SS::QueueSound(name, false, false));
        ASSERT_TRUE(sounds.back().IsValid()) << SS::GetLastError();
    }
    std::ofstream(Path("broken.ogg"), std::ios::binary) << "OggS and then no stream at all";
    const SoundHandle broken = SS::QueueSound(Path("broken.ogg"), false, false);
    const SoundHandle dropped = SS::QueueSound(Path("tone.ogg"), true, true);
    EXPECT_FALSE(SS::QueueSound(Path("missing.ogg"), false, false).IsValid()) << "refused at once";
    ASSERT_TRUE(broken.IsValid() && dropped.IsValid());
    SS::ReleaseSound(dropped); // given up while queued or decoding: nothing leaks, nothing plays
    EXPECT_FALSE(SS::PlaySound(dropped, ChannelGroup::Effects, false).IsValid());

    // The last one is played at once, whatever its decode's state; the others decode unplayed.
    std::vector<uintmax_t> starts;
    std::vector<uintmax_t> ends;
    auto play = [&](SoundHandle sound) {
        starts.push_back(Written());
        const ChannelHandle ch = SS::PlaySound(sound, ChannelGroup::Effects, false);
        ASSERT_TRUE(ch.IsValid()) << SS::GetLastError();
        ends.push_back(Advance(kMargin + kWindow));
        ASSERT_TRUE(WaitUntil([&] { return !SS::IsPlaying(ch); }));
        Advance(kMargin);
    };
    ASSERT_NO_FATAL_FAILURE(play(sounds.back()));
    EXPECT_TRUE(WaitUntil([&] {
        return std::all_of(sounds.begin(), sounds.end(), [](SoundHandle s) { return SS::IsDecoded(s); });
    }, 10.0)) << "nobody played them, so a worker decoded them";
    for (size_t i = 0; i + 1 < sounds.size(); ++i) ASSERT_NO_FATAL_FAILURE(play(sounds[i]));

    EXPECT_EQ(SS::FinishDecoding(broken), DecodeState::Failed);
    EXPECT_NE(SS::GetLastError().find("broken.ogg"), std::string::npos) << SS::GetLastError();
    EXPECT_FALSE(SS::PlaySound(broken, ChannelGroup::Effects, false).IsValid()) << "released once it failed";
    SS::QueueSound(Path("tone.ogg"), true, true); // still queued or decoding at Release: freed there
    SS::Release();
    const auto samples = Samples();
    for (size_t i = 0; i < starts.size(); ++i) {
        EXPECT_GT(Rms(samples, starts[i] + kMargin, ends[i]), 5000) << "play " << i << " was not heard";
    }
}
