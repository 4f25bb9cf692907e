// Audio: an entity's sound entries, played, stopped, paused and looped by event name through the
// audio system. Entries find their sound by file name when used; channels are {slot, generation}.
#pragma once

#include "Factory/Component.h"
#include "Platform/Sound.h"

#include <string>
#include <vector>

namespace OrvEngine {

struct SoundEntry {
    std::string GetEventName() const { return eventname; }
    std::string GetFileName() const { return file_name; }
    bool GetStreams() const { return streams; }
    bool* IsPlayingPtr() { return &is_playing; }

    std::string eventname;
    std::string file_name;
    bool loops = false;
    bool streams = false;
    Platform::ChannelHandle channel;
    bool is_playing = false;
};

class Audio : public Component {
public:
    Audio() : Component("Audio") {}
    // Stops the channels of looping and streamed entries, so a scene's music ends with its entity.
    ~Audio() override;
    bool Serialize(JsonWriter& writer) override;
    void Deserialize(const rapidjson::Value& value) override;
    void Update() override;
    // Copies the entries without their channels.
    std::shared_ptr<Component> Clone() override;

    void AddSound(const std::string& event, bool loops, bool not_streamed);
    void RemoveSound(const std::string& event);
    SoundEntry* GetSoundFromFilename(const std::string& file);
    void PlayEvent(const std::string& event);
    void StopEvent(const std::string& event);
    void PauseEvent(const std::string& event);
    void SetLoop(const std::string& event);
    std::vector<SoundEntry>::iterator SoundsBegin() { return sounds.begin(); }
    std::vector<SoundEntry>::iterator SoundsEnd() { return sounds.end(); }
    bool SoundsEmpty() const { return sounds.empty(); }
    void StopAndClearSounds();

    std::vector<SoundEntry> sounds;

private:
    // The entry for an event: by its file name, or by event name for events without a file.
    SoundEntry* FindEntry(const std::string& event, std::string& file);
};

} // namespace OrvEngine
