// The sound objects: loading a file now or queueing it for the decoder, the first play's wait for
// that decode, loop counts and release. Channels and groups are in SoundChannels.cpp.
#include "Platform/Sound.h"

#include "Platform/SoundState.h"

#include <SDL_mixer.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>

namespace OrvEngine {
namespace Platform {

using namespace SoundInternal;

namespace {
// Longer than any of our files takes to decode on a loaded machine; a play never waits forever.
constexpr std::chrono::milliseconds kDecodeWait{10000};
} // namespace

SoundRecord* SoundInternal::FindSound(SoundHandle sound)
{
    if (!sound.IsValid() || sound.index >= g.sounds.size()) return nullptr;
    SoundRecord& record = g.sounds[sound.index];
    return record.generation == sound.generation ? &record : nullptr;
}

bool SoundInternal::AcceptFile(const std::string& path)
{
    const std::string refusal = g.initialised ? SoundDecoder::Refusal(path) : "the sound system is not initialised";
    if (!refusal.empty()) g.error = refusal;
    return refusal.empty();
}

SoundHandle SoundInternal::StoreSound(Mix_Chunk* chunk, bool looping, std::shared_ptr<SoundDecoder::Job> job)
{
    auto free_record = std::find_if(g.sounds.begin(), g.sounds.end(),
                                    [](const SoundRecord& s) { return s.generation == 0; });
    const size_t index = static_cast<size_t>(free_record - g.sounds.begin());
    if (free_record == g.sounds.end()) g.sounds.emplace_back();
    SoundRecord& record = g.sounds[index];
    record = SoundRecord{chunk, NextGeneration(), looping, looping ? -1 : 0, std::move(job)};
    return {static_cast<uint32_t>(index), record.generation};
}

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

} // namespace Platform
} // namespace OrvEngine
