// Channels and groups: playing a sound on a free slot (or on the oldest effect's, when none is
// free), and pushing each group's volume, mute and pause down onto its member channels, since
// SDL_mixer has no groups of its own.
#include "Platform/Sound.h"

#include "Platform/SoundState.h"

#include <SDL_mixer.h>

#include <cmath>

namespace OrvEngine {
namespace Platform {

using namespace SoundInternal;

bool SoundInternal::SlotLive(int slot)
{
    const ChannelSlot& c = g.slots[slot];
    return c.live && g_ended_gen[slot].load() != c.generation;
}

int SoundInternal::MixVolume(const ChannelSlot& c)
{
    const GroupRecord& group = g.groups[static_cast<int>(c.group)];
    if (group.muted) return 0;
    const float scaled = static_cast<float>(MIX_MAX_VOLUME) * c.volume * group.volume;
    if (!(scaled > 0.0f)) return 0; // also catches NaN
    return scaled >= MIX_MAX_VOLUME ? MIX_MAX_VOLUME : static_cast<int>(std::lround(scaled));
}

bool SoundInternal::EffectivelyPaused(const ChannelSlot& c)
{
    return c.paused || g.groups[static_cast<int>(c.group)].paused;
}

void SoundInternal::StopSlot(int slot)
{
    g.output->halt(slot);
    g.slots[slot].live = false;
}

namespace {

GroupRecord* FindGroup(ChannelGroup group)
{
    const int index = static_cast<int>(group);
    return index >= 0 && index < kGroupCount ? &g.groups[index] : nullptr;
}

ChannelSlot* FindChannel(ChannelHandle channel)
{
    if (!channel.IsValid() || channel.slot >= static_cast<uint32_t>(g.channel_count)) return nullptr;
    const int slot = static_cast<int>(channel.slot);
    ChannelSlot& c = g.slots[slot];
    return c.generation == channel.generation && SlotLive(slot) ? &c : nullptr;
}

void ApplyVolume(int slot) { g.output->apply_volume(slot); }

void ApplyPause(int slot) { g.output->apply_pause(slot); }

template <typename Fn> void ForEachLiveMember(ChannelGroup group, Fn fn)
{
    for (int slot = 0; slot < g.channel_count; ++slot) {
        if (g.slots[slot].group == group && SlotLive(slot)) fn(slot);
    }
}

uint64_t g_start_count = 0;

// A free slot, else the slot of the effect that started first: it is stopped, so its handle
// reads as stopped from now on. Music is never taken over; -1 when every channel plays music.
int ClaimSlot()
{
    int oldest = -1;
    for (int slot = 0; slot < g.channel_count; ++slot) {
        if (!SlotLive(slot)) return slot;
        const ChannelSlot& c = g.slots[slot];
        if (c.group != ChannelGroup::Music && (oldest < 0 || c.started < g.slots[oldest].started)) {
            oldest = slot;
        }
    }
    if (oldest >= 0) StopSlot(oldest);
    return oldest;
}

} // namespace

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

// ---- Channels -----------------------------------------------------------------------------

ChannelHandle SoundSystem::PlaySound(SoundHandle sound, ChannelGroup group, bool paused, bool once)
{
    if (!FindSound(sound) || !FindGroup(group)) {
        g.error = FindSound(sound) ? "unknown channel group" : "the sound handle is stale";
        return {};
    }
    if (FinishDecoding(sound) != DecodeState::Ready) return {};
    const SoundRecord* record = FindSound(sound);
    const int slot = ClaimSlot();
    if (slot < 0) {
        g.error = "every channel plays music";
        return {};
    }
    ChannelSlot& c = g.slots[slot];
    c = ChannelSlot{NextGeneration(), true, false, group, 1.0f, paused, sound.index, ++g_start_count};
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
