// Sound output: the mixer device, loaded sounds, playing channels and the music and effects groups.
// Does not own event names, file lookup or focus handling; those belong to the audio system.
#pragma once

#include <cstdint>
#include <string>

namespace OrvEngine {
namespace Platform {

// A loaded sound; generation 0 is the null handle.
struct SoundHandle {
    uint32_t index = 0;
    uint32_t generation = 0;
    bool IsValid() const { return generation != 0; }
};

// One play of a sound. Once that play has ended or was stopped, the handle stays "not playing"
// even when its slot is reused, and every call on it does nothing.
struct ChannelHandle {
    uint32_t slot = 0;
    uint32_t generation = 0;
    bool IsValid() const { return generation != 0; }
};

// Where a sound's decode stands: Busy only when a worker still decodes it after a long wait.
enum class DecodeState { Ready, Failed, Busy };

// Music is created first, effects second.
enum class ChannelGroup : int { Music = 0, Effects = 1 };

// One mixer per process, hence static. Game thread only (queued sounds decode on a worker of its own).
class SoundSystem {
public:
    SoundSystem() = delete;

    // Brings up SDL audio; a failure is only logged (Init then falls back). Repeated calls do nothing.
    static void Create();
    // SDL_mixer's linked version packed as 0xMMmmpp (2.6.2 gives 0x020602).
    static uint32_t GetVersion();
    // Output devices the current driver reports; 0 means a silent output should be chosen.
    static int GetOutputDeviceCount();
    // Skips the real device at the next Init: the dummy driver keeps time but plays nothing.
    static void UseSilentOutput();
    // Opens the device, else the dummy driver, else the silent backend: never fails.
    static bool Init(int max_channels = 50);
    // Once a frame: reaps channels that have ended.
    static void Update();
    // Stops everything, frees every sound and closes the device. Idempotent; Create/Init may follow.
    static void Release();
    // True when no mixer runs at all: calls succeed but produce nothing.
    static bool IsSilent();
    // Test hook: the next Create/Init use the silent backend without touching SDL.
    static void ForceSilentBackend(bool enabled);
    // Why the last failing call failed.
    static std::string GetLastError();

    // ---- Groups ---------------------------------------------------------------------------
    // Volume is a factor, 1.0 = as recorded; the mixer cannot amplify, so above 1.0 acts as 1.0.
    static void SetGroupVolume(ChannelGroup group, float volume);
    static float GetGroupVolume(ChannelGroup group);
    static void SetGroupMute(ChannelGroup group, bool muted);
    static bool GetGroupMute(ChannelGroup group);
    // A channel is paused while either it or its group is paused.
    static void SetGroupPaused(ChannelGroup group, bool paused);
    static bool GetGroupPaused(ChannelGroup group);

    // ---- Sounds ---------------------------------------------------------------------------
    // Decodes the whole file; stream only says how the caller meant it (streams are decoded too).
    // Only Ogg files are decoded: anything else is refused (GetLastError names the file).
    // Returns a null handle on failure, with the reason in GetLastError.
    static SoundHandle CreateSound(const std::string& path, bool looping, bool stream);
    // As CreateSound, but the file is decoded on a worker thread: the handle is valid at once and
    // the first play waits for the decode (or does it, when the worker has not begun it). Missing and
    // non-Ogg files are refused at once; a file that does not decode fails its first play.
    static SoundHandle QueueSound(const std::string& path, bool looping, bool stream);
    // Makes a queued sound playable now (as its first play would). Failed: stale, or the file did
    // not decode; the sound is then released and GetLastError says why.
    static DecodeState FinishDecoding(SoundHandle sound);
    // Whether the sound's samples are in memory; never waits.
    static bool IsDecoded(SoundHandle sound);
    // Stops the channels playing the sound, then frees it.
    static void ReleaseSound(SoundHandle sound);
    // Extra plays after the first for a looping sound: -1 forever (its default), 0 once.
    // A one-shot sound always plays once. False for a stale handle or a count below -1.
    static bool SetLoopCount(SoundHandle sound, int count);
    static int GetLoopCount(SoundHandle sound);

    // ---- Channels -------------------------------------------------------------------------
    // When every channel is busy the effect that started first is stopped and its channel reused
    // (its handle then reads as stopped); music is never taken over. A null handle when the sound is
    // stale or every channel plays music. once plays a looping sound a single time.
    static ChannelHandle PlaySound(SoundHandle sound, ChannelGroup group, bool paused, bool once = false);
    // The functions below do nothing and return false (GetVolume: 0) when the handle is not playing.
    static bool SetVolume(ChannelHandle channel, float volume);
    static float GetVolume(ChannelHandle channel);
    // The channel's own flag; its group's pause is not reported here.
    static bool SetPaused(ChannelHandle channel, bool paused);
    static bool GetPaused(ChannelHandle channel);
    static bool Stop(ChannelHandle channel);
    // Paused channels count as playing.
    static bool IsPlaying(ChannelHandle channel);
};

} // namespace Platform
} // namespace OrvEngine
