// Audio: an entity's sound entries, which the audio system adds, plays, stops, pauses and loops by
// event name. Entries find their sound by file name when used; channels are {slot, generation}.
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
    // How a file's entries are added (the audio system's AddSound, which finds and loads each
    // sound); set when the layers are connected.
    using SoundAdder = void (*)(Audio& audio, const std::string& event, bool loops, bool not_streamed);
    static void SetSoundAdder(SoundAdder adder);

    // The entry for a file name, or for an event without a file (file empty) by its event name.
    SoundEntry* FindEntry(const std::string& event, const std::string& file);
    std::vector<SoundEntry>::iterator SoundsBegin() { return sounds.begin(); }
    std::vector<SoundEntry>::iterator SoundsEnd() { return sounds.end(); }
    bool SoundsEmpty() const { return sounds.empty(); }
    void StopAndClearSounds();

    std::vector<SoundEntry> sounds;
};

} // namespace OrvEngine
