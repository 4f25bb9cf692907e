// The audio system: event names to sound files, sounds loaded once per file, the events of Audio
// components, channels started in the music (BGM) or effects (SFX) group, focus pause and resume,
// and the per-frame sound update. Sound playback itself is the platform sound layer's.
#pragma once

#include "CoreEngine/ISystem.h"
#include "CoreEngine/Singleton.h"
#include "Platform/Sound.h"

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

namespace OrvEngine {

class Audio;
struct SoundEntry;

using ChannelGroup = Platform::ChannelGroup;
using ChannelHandle = Platform::ChannelHandle;
using SoundHandle = Platform::SoundHandle;

class AudioSystem : public ISystem, public Singleton<AudioSystem> {
public:
    AudioSystem();
    ~AudioSystem() override;
    void Update() override;
    std::string GetName() override { return "AudioSystem"; }
    void Init() override;

    // True (and a log line) when a sound-layer call failed.
    bool ErrChk(bool failed);
    // The event's file name, or empty with a log line.
    std::string GetFilenameFromEvent(const std::string& event);
    void LoadSound(const std::string& event, bool loops, bool stream);
    void UnloadSound(const std::string& event);
    SoundHandle GetSoundPtr(const std::string& event);
    // Starts the event on a new channel and returns its id; when nothing started, the channel is
    // not valid and the last id is returned unchanged.
    int32_t Play(ChannelHandle& channel, const std::string& event, bool as_sound_effect, float volume);
    // Plays an effect once (never looping); unknown events do nothing.
    void PlayOneShot(const std::string& event);
    // An Audio component's events. The entry of an event is the one of its file, or the one named
    // by the event when it has no file; a missing entry or channel is logged on every call.
    void AddSound(Audio& audio, const std::string& event, bool loops, bool not_streamed);
    void RemoveSound(Audio& audio, const std::string& event);
    SoundEntry* GetSoundFromFilename(Audio& audio, const std::string& file);
    void PlayEvent(Audio& audio, const std::string& event);
    void StopEvent(Audio& audio, const std::string& event);
    void PauseEvent(Audio& audio, const std::string& event);
    void SetLoop(Audio& audio, const std::string& event);
    void PlayHighlightedSFX() { PlayOneShot("SFX_M_Highlighted"); }
    void PlaySelectedSFX() { PlayOneShot("SFX_M_Selected"); }
    void SetBGMVolume(float volume);
    void SetSFXVolume(float volume);
    float GetSFXVolume() const { return sfx_volume; }
    float GetBGMVolume() const { return bgm_volume; }
    // The player's own mute of a group (options menu, editor).
    void SetGroupMute(ChannelGroup group, bool muted);
    bool GetGroupMute(ChannelGroup group) const;
    // The window's focus mute of the music group; the group is silent while either mute is set.
    void SetFocusMute(bool muted);
    void SetGroupPaused(ChannelGroup group, bool paused) { Platform::SoundSystem::SetGroupPaused(group, paused); }
    // A sound file found by the resource scan, under its event name; an event known already keeps
    // its file.
    void AddSoundFile(const std::string& event, const std::string& file);
    std::vector<std::string>::const_iterator AddedSoundsBegin() const { return AddedSounds.begin(); }
    std::vector<std::string>::const_iterator AddedSoundsEnd() const { return AddedSounds.end(); }

    std::string sounds_folder = "../Resources/Sounds/";
    int driver_count = 0;
    uint32_t version = 0;
    ChannelGroup bgm_group = ChannelGroup::Music;
    ChannelGroup sfx_group = ChannelGroup::Effects;
    float bgm_volume = 1.0f;
    float sfx_volume = 1.0f;
    int32_t next_channel_id = 0;
    std::unordered_map<std::string, SoundHandle> SoundMap;
    std::map<int32_t, ChannelHandle> ChannelMap;
    std::unordered_map<std::string, std::string> EventsFilenameMap;
    std::vector<std::string> AddedSounds;
    std::vector<ChannelHandle> FocusPausedChannels;
    bool had_focus = true;
    bool has_focus = true;

private:
    void ApplyMute(ChannelGroup group);
    // Play's work; a one-shot never loops, whatever the file was loaded as.
    int32_t Start(ChannelHandle& channel, const std::string& event, bool as_sound_effect, float volume, bool once);
    // The lines of a sound or stream that could not be made, and then our own line naming the file.
    void ReportNotCreated(const std::string& event, const std::string& file);
    // The event's entry and file; null (logged as the caller's) when the entry is missing.
    SoundEntry* EntryOf(Audio& audio, const std::string& event, const char* caller, std::string& file);
    // The entry, its playing flag cleared, when its channel is valid; else null (logged).
    SoundEntry* ChannelOf(Audio& audio, const std::string& event, const char* caller);
    // Finishes the decode of the file's sound before it plays; false when it cannot play (a file
    // that did not decode is then reported and forgotten).
    bool Decoded(const std::string& event, const std::string& file);
    // Files last loaded as streams, for the line that says what could not be made.
    std::set<std::string> streamed_files_;
    bool user_mute_[2] = {false, false};
    bool focus_mute_ = false;
};

} // namespace OrvEngine
