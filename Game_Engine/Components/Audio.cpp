#include "Components/Audio.h"

#include "Audio/AudioSystem.h"
#include "CoreEngine/Serializer.h"
#include "Logging/Logging.h"

namespace OrvEngine {

namespace {
using Platform::SoundSystem;

std::string Quoted(const std::string& file) { return "'" + file + "'!"; }

// An event without a file (its sound is missing) is named by the event.
std::string Quoted(const std::string& file, const std::string& event) { return Quoted(file.empty() ? event : file); }

// Logs a line once a run: a missing sound or channel asked for every frame would flood the log.
void LogOnce(const std::string& line)
{
    if (AudioSystem::GetInstance()->FirstReport(line)) LogLine(line);
}
} // namespace

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
        if (event.empty()) continue;
        AddSound(event, Serializer::ReadBool(element, "loops"), !Serializer::ReadBool(element, "streams"));
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

SoundEntry* Audio::FindEntry(const std::string& event, std::string& file)
{
    file = AudioSystem::GetInstance()->GetFilenameFromEvent(event);
    for (SoundEntry& entry : sounds) {
        if (file.empty() ? entry.file_name.empty() && entry.eventname == event : entry.file_name == file) return &entry;
    }
    return nullptr;
}

void Audio::AddSound(const std::string& event, bool loops, bool not_streamed)
{
    std::string file;
    if (FindEntry(event, file)) return;
    SoundEntry entry;
    entry.eventname = event;
    entry.file_name = file;
    entry.loops = loops;
    entry.streams = !not_streamed;
    AudioSystem* audio = AudioSystem::GetInstance();
    audio->LoadSound(event, loops, entry.streams);
    audio->GetSoundPtr(event);
    sounds.push_back(entry);
}

void Audio::RemoveSound(const std::string& event)
{
    std::string file;
    SoundEntry* entry = FindEntry(event, file);
    if (!entry) return;
    if (!file.empty()) AudioSystem::GetInstance()->UnloadSound(event);
    sounds.erase(sounds.begin() + (entry - sounds.data()));
}

SoundEntry* Audio::GetSoundFromFilename(const std::string& file)
{
    for (SoundEntry& entry : sounds) {
        if (entry.file_name == file) return &entry;
    }
    LogOnce("[Audio::GetSoundFromFilename] Error: could not find sound with filename " + Quoted(file));
    return nullptr;
}

void Audio::PlayEvent(const std::string& event)
{
    std::string file;
    SoundEntry* entry = FindEntry(event, file);
    if (!entry) {
        LogOnce("[Audio::PlayEvent] Error: could not find sound with filename " + Quoted(file, event));
        return;
    }
    Platform::ChannelHandle channel;
    const int32_t id = AudioSystem::GetInstance()->Play(channel, event, !entry->streams, 1.0f);
    if (id < 0) return;
    entry->channel = channel;
    entry->is_playing = true;
}

void Audio::StopEvent(const std::string& event)
{
    std::string file;
    SoundEntry* entry = FindEntry(event, file);
    if (!entry) {
        LogOnce("[Audio::StopEvent] Error: could not find sound with filename " + Quoted(file, event));
        return;
    }
    if (entry->channel.IsValid()) SoundSystem::Stop(entry->channel);
    else LogOnce("[Audio::StopEvent] Error: could not find channel with filename " + Quoted(file, event));
    entry->is_playing = false;
}

void Audio::PauseEvent(const std::string& event)
{
    std::string file;
    SoundEntry* entry = FindEntry(event, file);
    if (!entry) {
        LogOnce("[Audio::PauseEvent] Error: could not find sound with filename " + Quoted(file, event));
        return;
    }
    if (entry->channel.IsValid()) SoundSystem::SetPaused(entry->channel, !SoundSystem::GetPaused(entry->channel));
    else LogOnce("[Audio::PauseEvent] Error: could not find channel with filename " + Quoted(file, event));
    entry->is_playing = false;
}

void Audio::SetLoop(const std::string& event)
{
    std::string file;
    SoundEntry* entry = FindEntry(event, file);
    if (!entry) {
        LogOnce("[Audio::SetLoop] Error: could not find sound with filename " + Quoted(file, event));
        return;
    }
    AudioSystem::GetInstance()->ErrChk(!SoundSystem::SetLoopCount(AudioSystem::GetInstance()->GetSoundPtr(event), -1));
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
