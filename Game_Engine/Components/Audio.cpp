#include "Components/Audio.h"

#include "CoreEngine/Serializer.h"

namespace OrvEngine {

namespace {
using Platform::SoundSystem;

Audio::SoundAdder sound_adder = nullptr;
} // namespace

void Audio::SetSoundAdder(SoundAdder adder) { sound_adder = adder; }

Audio::~Audio()
{
    for (SoundEntry& entry : sounds) {
        if (entry.loops || entry.streams) SoundSystem::Stop(entry.channel);
    }
}

bool Audio::Serialize(JsonWriter& writer)
{
    if (sounds.empty()) return true;
    writer.Key("sounds");
    writer.StartArray();
    for (const SoundEntry& entry : sounds) {
        writer.StartObject();
        Serializer::WriteString(writer, "eventname", entry.eventname);
        Serializer::WriteBool(writer, "loops", entry.loops);
        Serializer::WriteBool(writer, "streams", entry.streams);
        writer.EndObject();
    }
    writer.EndArray();
    return true;
}

void Audio::Deserialize(const rapidjson::Value& value)
{
    const rapidjson::Value* object = Serializer::FirstObject(value);
    if (!object) return;
    auto list = object->FindMember("sounds");
    if (list == object->MemberEnd() || !list->value.IsArray()) return;
    for (const auto& element : list->value.GetArray()) {
        const std::string event = Serializer::ReadString(element, "eventname");
        if (event.empty() || !sound_adder) continue;
        sound_adder(*this, event, Serializer::ReadBool(element, "loops"), !Serializer::ReadBool(element, "streams"));
    }
}

std::shared_ptr<Component> Audio::Clone()
{
    auto copy = std::make_shared<Audio>(*this);
    for (SoundEntry& entry : copy->sounds) {
        entry.channel = {};
        entry.is_playing = false;
    }
    return copy;
}

SoundEntry* Audio::FindEntry(const std::string& event, const std::string& file)
{
    for (SoundEntry& entry : sounds) {
        if (file.empty() ? entry.file_name.empty() && entry.eventname == event : entry.file_name == file) return &entry;
    }
    return nullptr;
}

void Audio::Update()
{
    for (SoundEntry& entry : sounds) entry.is_playing = SoundSystem::IsPlaying(entry.channel);
}

void Audio::StopAndClearSounds()
{
    for (SoundEntry& entry : sounds) {
        if (entry.channel.IsValid()) SoundSystem::Stop(entry.channel);
    }
    sounds.clear();
}

} // namespace OrvEngine
