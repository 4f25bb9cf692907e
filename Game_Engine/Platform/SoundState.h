// Sound layer internals shared by its three files: the slot and sound records, the output table
// picked at Init, and the one State they all read. Not for use outside Platform/Sound*.cpp.
#pragma once

#include "Platform/Sound.h"
#include "Platform/SoundDecoder.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct Mix_Chunk;

namespace OrvEngine {
namespace Platform {
namespace SoundInternal {

constexpr int kMaxChannels = 256;
constexpr int kGroupCount = 2;

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
    uint64_t started = 0; // order of the play's start, for choosing a channel to take over
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

extern State g;
extern SoundDecoder g_decoder;
// Written by the game thread just before a channel starts; the audio thread copies it into
// g_ended_gen when that channel finishes. A slot is live while the two differ.
extern std::atomic<uint32_t> g_playing_gen[kMaxChannels];
extern std::atomic<uint32_t> g_ended_gen[kMaxChannels];

// Never 0 and never repeated within the process.
uint32_t NextGeneration();
SoundRecord* FindSound(SoundHandle sound);
bool SlotLive(int slot);
int MixVolume(const ChannelSlot& c);
bool EffectivelyPaused(const ChannelSlot& c);
// Halting runs the finished callback synchronously, so the slot's generations agree afterwards.
void StopSlot(int slot);
// False, with the reason in g.error, for a file refused before any decoding.
bool AcceptFile(const std::string& path);
SoundHandle StoreSound(Mix_Chunk* chunk, bool looping, std::shared_ptr<SoundDecoder::Job> job);

} // namespace SoundInternal
} // namespace Platform
} // namespace OrvEngine
