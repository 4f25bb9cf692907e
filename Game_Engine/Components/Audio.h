// Audio: an entity's sounds, played by event name.
#pragma once

#include "Factory/Component.h"
#include <string>
#include <vector>

namespace OrvEngine {
struct SoundEntry {
    std::string eventname;
    std::string file_name;
    bool loops = false;
    bool streams = false;
    bool is_playing = false;
};

class Audio : public Component {
public:
    Audio() : Component("Audio") {}
    bool Serialize(JsonWriter&) override { return true; }
    void Deserialize(const rapidjson::Value&) override {}
    void Init() override {}
    void HandleMessage(Message*) override {}
    void Update() override {}
    std::shared_ptr<Component> Clone() override { return std::make_shared<Audio>(*this); }
    SoundEntry* GetSoundFromFilename(const std::string&) { return nullptr; }
    void PlayEvent(const std::string&) {}
    std::vector<SoundEntry> sounds;
};

} // namespace OrvEngine
