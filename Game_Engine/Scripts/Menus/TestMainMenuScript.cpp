#include "Scripts/Menus/TestMainMenuScript.h"

#include "Audio/AudioSystem.h"
#include "Components/Audio.h"
#include "Factory/Entity.h"
#include "Platform/Sound.h"

using namespace OrvEngine;

namespace {
const char* const kMusicFile = "BGM_Main.ogg";

// The entry is looked up each time: the entry list may grow and move its elements.
SoundEntry* MusicEntry(Audio& audio)
{
    for (auto entry = audio.SoundsBegin(); entry != audio.SoundsEnd(); ++entry) {
        if (entry->file_name == kMusicFile) return &*entry;
    }
    return nullptr;
}
} // namespace

void TestMainMenuScript::Init(Entity* entity)
{
    audio = entity->GetComponent<Audio>(AUDIO);
    SoundEntry* entry = audio ? AudioSystem::GetInstance()->GetSoundFromFilename(*audio, kMusicFile) : nullptr;
    has_music_entry = entry != nullptr;
    if (entry) playing = Platform::SoundSystem::IsPlaying(entry->channel);
}

void TestMainMenuScript::Update(Entity* entity)
{
    if (!audio) audio = entity->GetComponent<Audio>(AUDIO);
    if (!audio || volume_set) return;
    SoundEntry* entry = MusicEntry(*audio);
    has_music_entry = entry != nullptr;
    // The scene's music starts after the first frame: until its channel plays there is nothing to
    // raise, and a handle that is not playing would be a stale channel.
    if (entry && entry->channel.IsValid() && Platform::SoundSystem::IsPlaying(entry->channel)) {
        volume_set = Platform::SoundSystem::SetVolume(entry->channel, kMusicVolume);
    }
}
