// Sound output over SDL2_mixer. SDL_mixer has no groups, so each mixer channel gets a slot record
// here (group, volume, pause) and the group settings are pushed down onto the member channels.
#include "Platform/Sound.h"

#include "Logging/Logging.h"
#include "Platform/SoundDecoder.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <memory>
#include <vector>

namespace OrvEngine {
namespace Platform {

namespace {

constexpr int kMaxChannels = 256;
constexpr int kGroupCount = 2;
constexpr int kFrequency = 44100;
constexpr int kChunkFrames = 1024;
// Longer than any of our files takes to decode on a loaded machine; a play never waits forever.
constexpr std::chrono::milliseconds kDecodeWait{10000};

struct GroupRecord {
    float volume = 1.0f;
    bool muted = false;
    bool paused = false;
};

struct SoundRecord {
    Mix_Chunk* chunk = nullptr; // null on the silent backend
    uint32_t generation = 0;    // 0 = free record
    bool looping = false;
    int loop_count = 0;
    std::shared_ptr<SoundDecoder::Job> job; // set until the worker's decode is taken into chunk
};

struct ChannelSlot {
    uint32_t generation = 0;
    bool live = false;
    bool ends_at_update = false; // silent backend: a finite play ends at the next Update
    ChannelGroup group = ChannelGroup::Effects;
    float volume = 1.0f;
    bool paused = false;
    uint32_t sound_index = 0;
};

// What differs between output through the mixer and the silent backend, on which nothing is
// decoded or mixed and a finite play ends at the next Update. Init picks one table.
struct OutputBackend {
    void (*apply_volume)(int slot);
    void (*apply_pause)(int slot);
    void (*halt)(int slot);
    // The sample data of a sound file; false with the reason in g.error.
    bool (*load)(const std::string& path, Mix_Chunk*& chunk);
    // Starts a play on a claimed slot; false with the reason in g.error.
    bool (*start)(int slot, Mix_Chunk* chunk, int loops);
    // Makes a sound whose decoding may wait until its first play; an empty handle on failure.
    SoundHandle (*queue)(const std::string& path, bool looping, bool stream);
};
extern const OutputBackend kMixerOutput;
extern const OutputBackend kSilentOutput;

struct State {
    const OutputBackend* output = &kMixerOutput;
    bool created = false;
    bool sdl_audio = false;   // we hold a reference on SDL's audio subsystem
    bool driver_hint = false; // we forced the dummy driver
    bool silent_output = false;
    bool initialised = false;
    bool opened = false; // the mixer is open
    int channel_count = 0;
    GroupRecord groups[kGroupCount];
    std::vector<SoundRecord> sounds;
    ChannelSlot slots[kMaxChannels];
    std::string error;
};

State g;
// Both survive Release: the hook is a test setting, and generations never repeat within the
// process so a handle from an earlier session can never match a later play.
bool g_force_silent = false;
uint32_t g_last_generation = 0;
SoundDecoder g_decoder;

// Written by the game thread just before a channel starts; the audio thread copies it into
// g_ended_gen when that channel finishes. A slot is live while the two differ.
std::atomic<uint32_t> g_playing_gen[kMaxChannels];
std::atomic<uint32_t> g_ended_gen[kMaxChannels];

void SDLCALL OnChannelFinished(int channel)
{
    if (channel < 0 || channel >= kMaxChannels) return;
    g_ended_gen[channel].store(g_playing_gen[channel].load());
}

uint32_t NextGeneration()
{
    if (++g_last_generation == 0) ++g_last_generation;
    return g_last_generation;
}

GroupRecord* FindGroup(ChannelGroup group)
{
    const int index = static_cast<int>(group);
    return index >= 0 && index < kGroupCount ? &g.groups[index] : nullptr;
}

SoundRecord* FindSound(SoundHandle sound)
{
    if (!sound.IsValid() || sound.index >= g.sounds.size()) return nullptr;
    SoundRecord& record = g.sounds[sound.index];
    return record.generation == sound.generation ? &record : nullptr;
}

bool SlotLive(int slot)
{
    const ChannelSlot& c = g.slots[slot];
    return c.live && g_ended_gen[slot].load() != c.generation;
}

ChannelSlot* FindChannel(ChannelHandle channel)
{
    if (!channel.IsValid() || channel.slot >= static_cast<uint32_t>(g.channel_count)) return nullptr;
    const int slot = static_cast<int>(channel.slot);
    ChannelSlot& c = g.slots[slot];
    return c.generation == channel.generation && SlotLive(slot) ? &c : nullptr;
}

int MixVolume(const ChannelSlot& c)
{
    const GroupRecord& group = g.groups[static_cast<int>(c.group)];
    if (group.muted) return 0;
    const float scaled = static_cast<float>(MIX_MAX_VOLUME) * c.volume * group.volume;
    if (!(scaled > 0.0f)) return 0; // also catches NaN
    return scaled >= MIX_MAX_VOLUME ? MIX_MAX_VOLUME : static_cast<int>(std::lround(scaled));
}

bool EffectivelyPaused(const ChannelSlot& c) { return c.paused || g.groups[static_cast<int>(c.group)].paused; }

void ApplyVolume(int slot) { g.output->apply_volume(slot); }

void ApplyPause(int slot) { g.output->apply_pause(slot); }

// Halting runs the finished callback synchronously, so the slot's generations agree afterwards.
void StopSlot(int slot)
{
    g.output->halt(slot);
    g.slots[slot].live = false;
}

template <typename Fn> void ForEachLiveMember(ChannelGroup group, Fn fn)
{
    for (int slot = 0; slot < g.channel_count; ++slot) {
        if (g.slots[slot].group == group && SlotLive(slot)) fn(slot);
    }
}

int FindFreeSlot()
{
    for (int slot = 0; slot < g.channel_count; ++slot) {
        if (!SlotLive(slot)) return slot;
    }
    return -1;
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

// False, with the reason in g.error, for a file refused before any decoding.
bool AcceptFile(const std::string& path)
{
    const std::string refusal = g.initialised ? SoundDecoder::Refusal(path) : "the sound system is not initialised";
    if (!refusal.empty()) g.error = refusal;
    return refusal.empty();
}

SoundHandle StoreSound(Mix_Chunk* chunk, bool looping, std::shared_ptr<SoundDecoder::Job> job)
{
    auto free_record = std::find_if(g.sounds.begin(), g.sounds.end(),
                                    [](const SoundRecord& s) { return s.generation == 0; });
    const size_t index = static_cast<size_t>(free_record - g.sounds.begin());
    if (free_record == g.sounds.end()) g.sounds.emplace_back();
    SoundRecord& record = g.sounds[index];
    record = SoundRecord{chunk, NextGeneration(), looping, looping ? -1 : 0, std::move(job)};
    return {static_cast<uint32_t>(index), record.generation};
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

const OutputBackend kMixerOutput{MixerApplyVolume, MixerApplyPause, [](int slot) { Mix_HaltChannel(slot); },
                                 MixerLoad, MixerStart, MixerQueue};
const OutputBackend kSilentOutput{[](int) {}, [](int) {}, [](int) {}, SilentLoad, SilentStart, SilentQueue};

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

// ---- Groups -------------------------------------------------------------------------------

void SoundSystem::SetGroupVolume(ChannelGroup group, float volume)
{
    GroupRecord* record = FindGroup(group);
    if (!record) return;
    record->volume = volume;
    ForEachLiveMember(group, ApplyVolume);
}

float SoundSystem::GetGroupVolume(ChannelGroup group)
{
    const GroupRecord* record = FindGroup(group);
    return record ? record->volume : 0.0f;
}

void SoundSystem::SetGroupMute(ChannelGroup group, bool muted)
{
    GroupRecord* record = FindGroup(group);
    if (!record) return;
    record->muted = muted;
    ForEachLiveMember(group, ApplyVolume);
}

bool SoundSystem::GetGroupMute(ChannelGroup group)
{
    const GroupRecord* record = FindGroup(group);
    return record && record->muted;
}

void SoundSystem::SetGroupPaused(ChannelGroup group, bool paused)
{
    GroupRecord* record = FindGroup(group);
    if (!record) return;
    record->paused = paused;
    ForEachLiveMember(group, ApplyPause);
}

bool SoundSystem::GetGroupPaused(ChannelGroup group)
{
    const GroupRecord* record = FindGroup(group);
    return record && record->paused;
}

// ---- Sounds -------------------------------------------------------------------------------

SoundHandle SoundSystem::CreateSound(const std::string& path, bool looping, bool)
{
    if (!AcceptFile(path)) return {};
    Mix_Chunk* chunk = nullptr;
    if (!g.output->load(path, chunk)) return {};
    return StoreSound(chunk, looping, nullptr);
}

SoundHandle SoundSystem::QueueSound(const std::string& path, bool looping, bool stream)
{
    if (!g.initialised) return CreateSound(path, looping, stream);
    return g.output->queue(path, looping, stream);
}

DecodeState SoundSystem::FinishDecoding(SoundHandle sound)
{
    SoundRecord* record = FindSound(sound);
    if (!record) {
        g.error = "the sound handle is stale";
        return DecodeState::Failed;
    }
    if (!record->job) return DecodeState::Ready;
    if (!g_decoder.Wait(*record->job, kDecodeWait)) {
        g.error = record->job->path + " is still being decoded";
        return DecodeState::Busy;
    }
    record->chunk = record->job->chunk;
    if (record->chunk) {
        record->job.reset();
        return DecodeState::Ready;
    }
    // It never played, so no channel refers to it.
    g.error = record->job->error;
    *record = SoundRecord{};
    return DecodeState::Failed;
}

bool SoundSystem::IsDecoded(SoundHandle sound)
{
    const SoundRecord* record = FindSound(sound);
    return record && (!record->job || g_decoder.Done(*record->job));
}

void SoundSystem::ReleaseSound(SoundHandle sound)
{
    SoundRecord* record = FindSound(sound);
    if (!record) return;
    // Its channels end first; on the silent backend nothing else would end a looping one.
    for (int slot = 0; slot < g.channel_count; ++slot) {
        if (g.slots[slot].sound_index == sound.index && SlotLive(slot)) StopSlot(slot);
    }
    if (record->chunk) Mix_FreeChunk(record->chunk);
    if (record->job) g_decoder.Cancel(*record->job);
    *record = SoundRecord{};
}

bool SoundSystem::SetLoopCount(SoundHandle sound, int count)
{
    SoundRecord* record = FindSound(sound);
    if (!record || count < -1) return false;
    record->loop_count = count;
    return true;
}

int SoundSystem::GetLoopCount(SoundHandle sound)
{
    const SoundRecord* record = FindSound(sound);
    return record ? record->loop_count : 0;
}

// ---- Channels -----------------------------------------------------------------------------

ChannelHandle SoundSystem::PlaySound(SoundHandle sound, ChannelGroup group, bool paused, bool once)
{
    if (!FindSound(sound) || !FindGroup(group)) {
        g.error = FindSound(sound) ? "unknown channel group" : "the sound handle is stale";
        return {};
    }
    if (FinishDecoding(sound) != DecodeState::Ready) return {};
    const SoundRecord* record = FindSound(sound);
    const int slot = FindFreeSlot();
    if (slot < 0) {
        g.error = "no free channel";
        return {};
    }
    ChannelSlot& c = g.slots[slot];
    c = ChannelSlot{NextGeneration(), true, false, group, 1.0f, paused, sound.index};
    const int loops = record->looping && !once ? record->loop_count : 0;
    if (!g.output->start(slot, record->chunk, loops)) {
        c.live = false;
        return {};
    }
    return {static_cast<uint32_t>(slot), c.generation};
}

bool SoundSystem::SetVolume(ChannelHandle channel, float volume)
{
    ChannelSlot* c = FindChannel(channel);
    if (!c) return false;
    c->volume = volume;
    ApplyVolume(static_cast<int>(channel.slot));
    return true;
}

float SoundSystem::GetVolume(ChannelHandle channel)
{
    const ChannelSlot* c = FindChannel(channel);
    return c ? c->volume : 0.0f;
}

bool SoundSystem::SetPaused(ChannelHandle channel, bool paused)
{
    ChannelSlot* c = FindChannel(channel);
    if (!c) return false;
    c->paused = paused;
    ApplyPause(static_cast<int>(channel.slot));
    return true;
}

bool SoundSystem::GetPaused(ChannelHandle channel)
{
    const ChannelSlot* c = FindChannel(channel);
    return c && c->paused;
}

bool SoundSystem::Stop(ChannelHandle channel)
{
    if (!FindChannel(channel)) return false;
    StopSlot(static_cast<int>(channel.slot));
    return true;
}

bool SoundSystem::IsPlaying(ChannelHandle channel) { return FindChannel(channel) != nullptr; }

} // namespace Platform
} // namespace OrvEngine
