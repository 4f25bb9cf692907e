// Sound output over SDL2_mixer: opening the device (or the dummy driver, or the silent backend), the
// two output tables, and the layer's start and release. Sounds and channels have files of their own.
#include "Platform/Sound.h"

#include "Logging/Logging.h"
#include "Platform/SoundDecoder.h"
#include "Platform/SoundState.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>

namespace OrvEngine {
namespace Platform {

namespace SoundInternal {

State g;
SoundDecoder g_decoder;
std::atomic<uint32_t> g_playing_gen[kMaxChannels];
std::atomic<uint32_t> g_ended_gen[kMaxChannels];

} // namespace SoundInternal

using namespace SoundInternal;

namespace {

constexpr int kFrequency = 44100;
constexpr int kChunkFrames = 1024;

// Both survive Release: the hook is a test setting, and generations never repeat within the
// process so a handle from an earlier session can never match a later play.
bool g_force_silent = false;
uint32_t g_last_generation = 0;

void SDLCALL OnChannelFinished(int channel)
{
    if (channel < 0 || channel >= kMaxChannels) return;
    g_ended_gen[channel].store(g_playing_gen[channel].load());
}

void MixerApplyVolume(int slot) { Mix_Volume(slot, MixVolume(g.slots[slot])); }

void MixerApplyPause(int slot)
{
    if (EffectivelyPaused(g.slots[slot])) {
        Mix_Pause(slot);
    } else {
        Mix_Resume(slot);
    }
}

bool MixerLoad(const std::string& path, Mix_Chunk*& chunk)
{
    chunk = SoundDecoder::Decode(path, g.error);
    return chunk != nullptr;
}

bool MixerStart(int slot, Mix_Chunk* chunk, int loops)
{
    ChannelSlot& c = g.slots[slot];
    g_playing_gen[slot].store(c.generation);
    // A channel can only be paused once it plays: start it inaudible, then pause and set the volume.
    const bool hold = EffectivelyPaused(c);
    Mix_Volume(slot, hold ? 0 : MixVolume(c));
    if (Mix_PlayChannel(slot, chunk, loops) < 0) {
        g.error = Mix_GetError();
        return false;
    }
    if (hold) {
        Mix_Pause(slot);
        MixerApplyVolume(slot);
    }
    return true;
}

// Nothing is decoded, but a missing file fails the same way it would with a device.
bool SilentLoad(const std::string& path, Mix_Chunk*&)
{
    if (SoundDecoder::Readable(path)) return true;
    g.error = "cannot read " + path;
    return false;
}

// The mixer's decoding happens on the worker; the first play takes it over or waits for it.
SoundHandle MixerQueue(const std::string& path, bool looping, bool)
{
    if (!AcceptFile(path)) return {};
    if (!SoundDecoder::Readable(path)) {
        g.error = "cannot read " + path;
        return {};
    }
    return StoreSound(nullptr, looping, g_decoder.Queue(path));
}

// Nothing to decode: a queued sound is made at once.
SoundHandle SilentQueue(const std::string& path, bool looping, bool stream)
{
    return SoundSystem::CreateSound(path, looping, stream);
}

bool SilentStart(int slot, Mix_Chunk*, int loops)
{
    g.slots[slot].ends_at_update = loops != -1;
    return true;
}

} // namespace

const OutputBackend SoundInternal::kMixerOutput{
    MixerApplyVolume, MixerApplyPause, [](int slot) { Mix_HaltChannel(slot); }, MixerLoad, MixerStart, MixerQueue};
const OutputBackend SoundInternal::kSilentOutput{
    [](int) {}, [](int) {}, [](int) {}, SilentLoad, SilentStart, SilentQueue};

uint32_t SoundInternal::NextGeneration()
{
    if (++g_last_generation == 0) ++g_last_generation;
    return g_last_generation;
}

namespace {

bool OpenDevice()
{
    if (Mix_OpenAudio(kFrequency, AUDIO_S16SYS, 2, kChunkFrames) != 0) {
        g.error = Mix_GetError();
        return false;
    }
    g.opened = true;
    if ((Mix_Init(MIX_INIT_OGG) & MIX_INIT_OGG) == 0) {
        PrintAndLog("[SoundSystem] No Ogg decoder (" + std::string(Mix_GetError()) + "); .ogg files will not load.");
    }
    Mix_AllocateChannels(g.channel_count);
    Mix_ChannelFinished(OnChannelFinished);
    return true;
}

// The environment may name a driver (SDL_AUDIODRIVER); the override outranks it until Release.
bool SwitchToDummyDriver()
{
    if (g.sdl_audio) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    g.sdl_audio = false;
    SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
    g.driver_hint = true;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        g.error = SDL_GetError();
        return false;
    }
    g.sdl_audio = true;
    return true;
}

bool OpenMixer()
{
    if (g.silent_output) {
        PrintAndLog("[SoundSystem] No audio output device; using the dummy audio driver.");
    } else {
        if (g.sdl_audio && OpenDevice()) return true;
        PrintAndLog("[SoundSystem] Could not open the audio device (" + g.error + "); retrying with the dummy driver.");
    }
    if (SwitchToDummyDriver() && OpenDevice()) return true;
    PrintAndLog("[SoundSystem] The dummy audio driver failed too (" + g.error + "); sound is silent.");
    return false;
}

} // namespace

void SoundSystem::Create()
{
    if (g.created) return;
    g.created = true;
    if (g_force_silent) return;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
        g.sdl_audio = true;
    } else {
        g.error = SDL_GetError();
        PrintAndLog("[SoundSystem] SDL audio did not start (" + g.error + ").");
    }
}

uint32_t SoundSystem::GetVersion()
{
    const SDL_version* version = Mix_Linked_Version();
    return (static_cast<uint32_t>(version->major) << 16) | (static_cast<uint32_t>(version->minor) << 8) |
           static_cast<uint32_t>(version->patch);
}

int SoundSystem::GetOutputDeviceCount()
{
    if (!g.sdl_audio) return 0;
    const int count = SDL_GetNumAudioDevices(0);
    // -1: the driver cannot list devices, but it still has a default one to try.
    return count < 0 ? 1 : count;
}

void SoundSystem::UseSilentOutput() { g.silent_output = true; }

bool SoundSystem::Init(int max_channels)
{
    if (g.initialised) return true;
    Create();
    g.channel_count = std::clamp(max_channels, 1, kMaxChannels);
    bool opened = false;
    if (g_force_silent) {
        PrintAndLog("[SoundSystem] Silent sound backend forced; no audio output.");
    } else {
        opened = OpenMixer();
    }
    g.output = opened ? &kMixerOutput : &kSilentOutput;
    g.initialised = true;
    return true;
}

void SoundSystem::Update()
{
    for (int slot = 0; slot < g.channel_count; ++slot) {
        ChannelSlot& c = g.slots[slot];
        if (c.live && (c.ends_at_update || !SlotLive(slot))) c.live = false;
    }
}

void SoundSystem::Release()
{
    g_decoder.Stop();
    if (g.opened) {
        Mix_HaltChannel(-1);
        Mix_ChannelFinished(nullptr);
    }
    for (SoundRecord& sound : g.sounds) {
        if (sound.chunk) Mix_FreeChunk(sound.chunk);
        if (sound.job) g_decoder.Cancel(*sound.job);
    }
    if (g.opened) {
        Mix_CloseAudio();
        Mix_Quit();
    }
    if (g.sdl_audio) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    if (g.driver_hint) SDL_ResetHint(SDL_HINT_AUDIODRIVER);
    g = State{};
}

bool SoundSystem::IsSilent() { return g.output == &kSilentOutput; }

void SoundSystem::ForceSilentBackend(bool enabled) { g_force_silent = enabled; }

std::string SoundSystem::GetLastError() { return g.error; }

} // namespace Platform
} // namespace OrvEngine
