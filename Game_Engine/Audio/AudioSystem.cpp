#include "Audio/AudioSystem.h"

#include "Components/Audio.h"
#include "CoreEngine/ResourceManager.h"
#include "Factory/Component.h"
#include "Factory/ComponentRegistration.h"
#include "Logging/Logging.h"
#include "Platform/Platform.h"

#include <algorithm>

namespace OrvEngine {

namespace {
using Platform::SoundSystem;
constexpr uint32_t kRequiredVersion = 0x20106;

int GroupIndex(ChannelGroup group) { return group == ChannelGroup::Music ? 0 : 1; }

// The Audio component's error lines: "[Audio::<caller>] Error: could not find <what> with filename ' <file>'!".
std::string EntryLine(const char* caller, const char* what, const std::string& file)
{
    return std::string("[Audio::") + caller + "] Error: could not find " + what + " with filename ' " + file + "'!";
}
} // namespace

AudioSystem::AudioSystem()
{
    SoundSystem::Create();
    version = SoundSystem::GetVersion();
    if (version < kRequiredVersion) {
        LogLine("FMOD Error: An older version of FMOD is being used (Version " + std::to_string(version) +
                ").\nThis program requires version " + std::to_string(kRequiredVersion));
    }
    driver_count = SoundSystem::GetOutputDeviceCount();
    if (driver_count == 0) SoundSystem::UseSilentOutput();
    SoundSystem::Init(50);
    if (SoundSystem::IsSilent()) PrintAndLog("[AudioSystem] No sound output; the game runs silently");
}

AudioSystem::~AudioSystem()
{
    for (auto& [file, sound] : SoundMap) SoundSystem::ReleaseSound(sound);
    SoundMap.clear();
    ChannelMap.clear();
    SoundSystem::Release();
}

void AudioSystem::Init()
{
    PrintLine("AudioSystem::Init()");
    RegisterComponent<Audio>("Audio", AUDIO);
    ResourceManager::GetInstance()->sound_registrar = [](const std::string& event, const std::string& file) {
        AudioSystem::GetInstance()->AddSoundFile(event, file);
    };
}

void AudioSystem::AddSoundFile(const std::string& event, const std::string& file)
{
    if (EventsFilenameMap.count(event)) return;
    AddedSounds.push_back(event);
    EventsFilenameMap[event] = file;
}

bool AudioSystem::ErrChk(bool failed)
{
    if (failed) LogLine("[AudioSystem::ErrChk] FMOD Error! ");
    return failed;
}

std::string AudioSystem::GetFilenameFromEvent(const std::string& event)
{
    auto found = EventsFilenameMap.find(event);
    if (found != EventsFilenameMap.end()) return found->second;
    LogLine("[AudioSystem::GetFilenameFromEvent] Error: event '" + event + "' not found in EventsFilenameMap!");
    return "";
}

void AudioSystem::ReportNotCreated(const std::string& event, const std::string& file)
{
    ErrChk(true);
    LogLine("[AudioSystem::LoadSound] event '" + event + (streamed_files_.count(file) ? "' stream" : "' sound") +
            " could not be created!");
    // Our own line after it: which file, and why.
    const std::string why = SoundSystem::GetLastError();
    LogLine("[AudioSystem::LoadSound] " + (why.find(file) == std::string::npos ? file + ": " + why : why));
}

void AudioSystem::LoadSound(const std::string& event, bool loops, bool stream)
{
    const std::string file = GetFilenameFromEvent(event);
    if (file.empty()) {
        LogLine("[AudioSystem::LoadSound] event '" + event + "' could not be found!");
        return;
    }
    if (SoundMap.count(file)) return;
    if (stream) streamed_files_.insert(file);
    else streamed_files_.erase(file);
    // Decoded on a worker: a scene names many sounds and plays few of them at once.
    SoundHandle sound = SoundSystem::QueueSound(sounds_folder + file, loops, stream);
    if (!sound.IsValid()) {
        ReportNotCreated(event, file);
        return;
    }
    SoundMap[file] = sound;
}

bool AudioSystem::Decoded(const std::string& event, const std::string& file)
{
    auto found = SoundMap.find(file);
    if (found == SoundMap.end()) return false;
    const Platform::DecodeState state = SoundSystem::FinishDecoding(found->second);
    if (state != Platform::DecodeState::Failed) return state == Platform::DecodeState::Ready;
    // A file that does not decode fails as one that cannot be opened: the next load tries again.
    SoundMap.erase(found);
    ReportNotCreated(event, file);
    return false;
}

void AudioSystem::UnloadSound(const std::string& event)
{
    const std::string file = GetFilenameFromEvent(event);
    if (file.empty()) {
        LogLine("[AudioSystem::UnloadSound] event '" + event + "' could not be found!");
        return;
    }
    auto found = SoundMap.find(file);
    if (found == SoundMap.end()) return;
    SoundSystem::ReleaseSound(found->second);
    SoundMap.erase(found);
}

SoundHandle AudioSystem::GetSoundPtr(const std::string& event)
{
    const std::string file = GetFilenameFromEvent(event);
    if (file.empty()) {
        LogLine("[AudioSystem::GetSoundPtr] event '" + event + "' could not be found!");
        return {};
    }
    auto found = SoundMap.find(file);
    if (found == SoundMap.end()) {
        LogLine("[AudioSystem::GetSoundPtr] Error: could not find sound in SoundMap!");
        return {};
    }
    return found->second;
}

int32_t AudioSystem::Play(ChannelHandle& channel, const std::string& event, bool as_sound_effect, float volume)
{
    return Start(channel, event, as_sound_effect, volume, false);
}

int32_t AudioSystem::Start(ChannelHandle& channel, const std::string& event, bool as_sound_effect, float volume,
                           bool once)
{
    const std::string file = GetFilenameFromEvent(event);
    if (file.empty()) {
        LogLine("[AudioSystem::Play] event '" + event + "' could not be found!");
        return next_channel_id;
    }
    if (!SoundMap.count(file)) LoadSound(event, !as_sound_effect, !as_sound_effect);
    if (!Decoded(event, file)) {
        LogLine("[AudioSystem::Play] Something went wrong! Event '" + event + "' sound could not be played!");
        return next_channel_id;
    }
    auto found = SoundMap.find(file);
    channel = SoundSystem::PlaySound(found->second, as_sound_effect ? sfx_group : bgm_group, true, once);
    if (ErrChk(!channel.IsValid())) {
        LogLine("[AudioSystem::Play] Something went wrong! Event '" + event + "' channel could not be created!");
        return next_channel_id;
    }
    ++next_channel_id;
    SoundSystem::SetVolume(channel, volume);
    SoundSystem::SetPaused(channel, false);
    ChannelMap[next_channel_id] = channel;
    return next_channel_id;
}

void AudioSystem::PlayOneShot(const std::string& event)
{
    if (!EventsFilenameMap.count(event)) return;
    LoadSound(event, false, false);
    // Asked for its lines alone: Start looks the sound up itself.
    GetSoundPtr(event);
    ChannelHandle channel;
    Start(channel, event, true, 1.0f, true);
}

SoundEntry* AudioSystem::EntryOf(Audio& audio, const std::string& event, const char* caller, std::string& file)
{
    file = GetFilenameFromEvent(event);
    SoundEntry* entry = audio.FindEntry(event, file);
    if (!entry && caller) LogLine(EntryLine(caller, "sound", file));
    return entry;
}

SoundEntry* AudioSystem::ChannelOf(Audio& audio, const std::string& event, const char* caller)
{
    std::string file;
    SoundEntry* entry = EntryOf(audio, event, caller, file);
    if (!entry) return nullptr;
    // Stopped or paused, the entry no longer plays either way.
    entry->is_playing = false;
    if (entry->channel.IsValid()) return entry;
    LogLine(EntryLine(caller, "channel", file));
    return nullptr;
}

void AudioSystem::AddSound(Audio& audio, const std::string& event, bool loops, bool not_streamed)
{
    std::string file;
    if (EntryOf(audio, event, nullptr, file)) return;
    SoundEntry entry;
    entry.eventname = event;
    entry.file_name = file;
    entry.loops = loops;
    entry.streams = !not_streamed;
    LoadSound(event, loops, entry.streams);
    GetSoundPtr(event);
    audio.sounds.push_back(entry);
}

void AudioSystem::RemoveSound(Audio& audio, const std::string& event)
{
    std::string file;
    SoundEntry* entry = EntryOf(audio, event, nullptr, file);
    if (!entry) return;
    UnloadSound(event);
    audio.sounds.erase(audio.sounds.begin() + (entry - audio.sounds.data()));
}

SoundEntry* AudioSystem::GetSoundFromFilename(Audio& audio, const std::string& file)
{
    for (SoundEntry& entry : audio.sounds) {
        if (entry.file_name == file) return &entry;
    }
    LogLine(EntryLine("GetSoundFromFilename", "sound", file));
    return nullptr;
}

void AudioSystem::PlayEvent(Audio& audio, const std::string& event)
{
    std::string file;
    SoundEntry* entry = EntryOf(audio, event, "PlayEvent", file);
    if (!entry) return;
    ChannelHandle channel;
    Play(channel, event, !entry->streams, 1.0f);
    if (!channel.IsValid()) return;
    entry->channel = channel;
    entry->is_playing = true;
}

void AudioSystem::StopEvent(Audio& audio, const std::string& event)
{
    if (SoundEntry* entry = ChannelOf(audio, event, "StopEvent")) SoundSystem::Stop(entry->channel);
}

void AudioSystem::PauseEvent(Audio& audio, const std::string& event)
{
    SoundEntry* entry = ChannelOf(audio, event, "PauseEvent");
    if (entry) SoundSystem::SetPaused(entry->channel, !SoundSystem::GetPaused(entry->channel));
}

void AudioSystem::SetLoop(Audio& audio, const std::string& event)
{
    std::string file;
    if (!EntryOf(audio, event, "SetLoop", file)) return;
    auto found = SoundMap.find(file);
    ErrChk(!SoundSystem::SetLoopCount(found != SoundMap.end() ? found->second : SoundHandle{}, -1));
}

void AudioSystem::SetBGMVolume(float volume)
{
    bgm_volume = std::clamp(volume, 0.0f, 1.0f);
    SoundSystem::SetGroupVolume(bgm_group, bgm_volume);
}

void AudioSystem::SetSFXVolume(float volume)
{
    sfx_volume = std::clamp(volume, 0.0f, 1.0f);
    SoundSystem::SetGroupVolume(sfx_group, sfx_volume);
}

void AudioSystem::ApplyMute(ChannelGroup group)
{
    const bool focus = group == bgm_group && focus_mute_;
    SoundSystem::SetGroupMute(group, user_mute_[GroupIndex(group)] || focus);
}

void AudioSystem::SetGroupMute(ChannelGroup group, bool muted)
{
    user_mute_[GroupIndex(group)] = muted;
    ApplyMute(group);
}

bool AudioSystem::GetGroupMute(ChannelGroup group) const { return user_mute_[GroupIndex(group)]; }

void AudioSystem::SetFocusMute(bool muted)
{
    if (focus_mute_ == muted) return;
    focus_mute_ = muted;
    ApplyMute(bgm_group);
}

void AudioSystem::Update()
{
    had_focus = has_focus;
    has_focus = Platform::HasFocus();
    for (auto it = ChannelMap.begin(); it != ChannelMap.end();) {
        const ChannelHandle channel = it->second;
        if (!SoundSystem::IsPlaying(channel)) {
            it = ChannelMap.erase(it);
            continue;
        }
        if (!has_focus && !SoundSystem::GetPaused(channel)) {
            SoundSystem::SetPaused(channel, true);
            FocusPausedChannels.push_back(channel);
        }
        ++it;
    }
    if (!had_focus && has_focus) {
        // Stale handles (channels stopped meanwhile) do nothing.
        for (const ChannelHandle& channel : FocusPausedChannels) SoundSystem::SetPaused(channel, false);
        FocusPausedChannels.clear();
    }
    SoundSystem::Update();
}

} // namespace OrvEngine
