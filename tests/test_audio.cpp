// The audio system, the Audio component and the resource scan, against the sound layer on SDL's
// dummy driver (or the silent backend).
#include "TestSupport.h"

#include "Audio/AudioSystem.h"
#include "Components/Audio.h"
#include "CoreEngine/ResourceManager.h"
#include "Factory/Entity.h"

#include <cstdlib>

using namespace OrvEngine;
using Platform::SoundSystem;

namespace {

class AudioTest : public OrvTest::EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        OrvTest::fs::create_directories(SoundDir());
    }

    OrvTest::fs::path SoundDir() const { return Root() / "Resources" / "Sounds"; }

    // A short tone as <event>.ogg, registered with the audio system the way the scan does it.
    void MakeSound(const std::string& event, double seconds = 0.2)
    {
        const std::string path = (SoundDir() / (event + ".ogg")).string();
        const std::string command = "sox -n -r 22050 -c 1 " + path + " synth " + std::to_string(seconds) +
                                    " sine 440 vol 0.3 2>/dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0);
        AudioSystem* audio = AudioSystem::GetInstance();
        audio->EventsFilenameMap[event] = event + ".ogg";
        audio->AddedSounds.push_back(event);
    }

    // Updates the audio system until the predicate holds or about ten seconds have passed (a busy
    // machine can starve the audio thread).
    template <class Predicate>
    bool UpdateUntil(Predicate done)
    {
        for (int i = 0; i < 1000; ++i) {
            if (done()) return true;
            AudioSystem::GetInstance()->Update();
            SDL_Delay_ms(10);
        }
        return done();
    }

    // The last n lines of the log.
    std::vector<std::string> TailLines(size_t n) const
    {
        std::vector<std::string> lines = OrvTest::Lines(LogText());
        lines.erase(lines.begin(), lines.end() - static_cast<std::ptrdiff_t>(std::min(n, lines.size())));
        return lines;
    }

    static void SDL_Delay_ms(int ms) { usleep(static_cast<useconds_t>(ms) * 1000); }
};

TEST_F(AudioTest, PlayGivesRisingIdsAndUnknownEventsStartNothing)
{
    MakeSound("SFX_Hit");
    AudioSystem* audio = AudioSystem::GetInstance();
    ChannelHandle channel;
    EXPECT_EQ(audio->Play(channel, "SFX_Unknown", true, 1.0f), 0) << "nothing has played yet";
    EXPECT_FALSE(channel.IsValid());
    EXPECT_EQ(TailLines(2),
              (std::vector<std::string>{
                  "[AudioSystem::GetFilenameFromEvent] Error: event 'SFX_Unknown' not found in EventsFilenameMap!",
                  "[AudioSystem::Play] event 'SFX_Unknown' could not be found!"}));
    EXPECT_EQ(audio->Play(channel, "SFX_Hit", true, 1.0f), 1);
    ChannelHandle second;
    EXPECT_EQ(audio->Play(second, "SFX_Hit", true, 1.0f), 2);
    EXPECT_EQ(audio->ChannelMap.size(), 2u);
    EXPECT_EQ(audio->SoundMap.size(), 1u) << "one sound per file";
    ChannelHandle none;
    EXPECT_EQ(audio->Play(none, "SFX_Unknown", true, 1.0f), 2) << "the last id, unchanged";
    EXPECT_FALSE(none.IsValid());
}

TEST_F(AudioTest, MusicLoadsLoopingAndOneShotsNeverLoop)
{
    MakeSound("BGM_Test", 0.1);
    AudioSystem* audio = AudioSystem::GetInstance();
    ChannelHandle music;
    ASSERT_GT(audio->Play(music, "BGM_Test", false, 1.0f), 0);
    // A one-shot of the same file, first loaded as looping, still plays once.
    audio->PlayOneShot("BGM_Test");
    const ChannelHandle one_shot = std::prev(audio->ChannelMap.end())->second;
    EXPECT_TRUE(UpdateUntil([&] { return !SoundSystem::IsPlaying(one_shot); }));
    audio->Update();
    EXPECT_TRUE(SoundSystem::IsPlaying(music)) << "the looping music outlives its length";
    EXPECT_EQ(audio->ChannelMap.size(), 1u) << "ended channels leave the table";
}

// More effects at once than there are channels: the oldest effects give their channels up, music
// keeps its own, and a handle whose channel was taken over reads as stopped.
TEST_F(AudioTest, EightyEffectsInOneFrameTakeOverTheOldestAndMusicPlaysOn)
{
    MakeSound("BGM_Test", 0.1);
    MakeSound("SFX_Step", 2.0);
    AudioSystem* audio = AudioSystem::GetInstance();
    ChannelHandle music;
    ASSERT_GT(audio->Play(music, "BGM_Test", false, 1.0f), 0);
    ChannelHandle first;
    ASSERT_GT(audio->Play(first, "SFX_Step", true, 1.0f), 0);
    for (int i = 0; i < 78; ++i) audio->PlayOneShot("SFX_Step");
    ChannelHandle newest;
    ASSERT_GT(audio->Play(newest, "SFX_Step", true, 0.5f), 0);

    EXPECT_EQ(LogText().find("ErrChk"), std::string::npos) << LogText();
    EXPECT_TRUE(SoundSystem::IsPlaying(music) && SoundSystem::IsPlaying(newest));
    EXPECT_FLOAT_EQ(SoundSystem::GetVolume(newest), 0.5f);
    EXPECT_FALSE(SoundSystem::IsPlaying(first)) << "the oldest effect gave its channel up";
    EXPECT_FALSE(SoundSystem::SetVolume(first, 0.1f) || SoundSystem::Stop(first));
    EXPECT_FLOAT_EQ(SoundSystem::GetVolume(newest), 0.5f) << "a stale handle reached the new play";
}

TEST_F(AudioTest, PlayOneShotOfAnUnknownEventDoesNothing)
{
    AudioSystem* audio = AudioSystem::GetInstance();
    audio->PlayOneShot("SFX_Nothing");
    EXPECT_TRUE(audio->ChannelMap.empty());
    EXPECT_EQ(LogText().find("SFX_Nothing"), std::string::npos);
}

TEST_F(AudioTest, VolumesAreClamped)
{
    AudioSystem* audio = AudioSystem::GetInstance();
    audio->SetBGMVolume(1.5f);
    audio->SetSFXVolume(-0.2f);
    EXPECT_FLOAT_EQ(audio->bgm_volume, 1.0f);
    EXPECT_FLOAT_EQ(audio->GetSFXVolume(), 0.0f);
    EXPECT_FLOAT_EQ(SoundSystem::GetGroupVolume(ChannelGroup::Music), 1.0f);
    EXPECT_FLOAT_EQ(SoundSystem::GetGroupVolume(ChannelGroup::Effects), 0.0f);
}

TEST_F(AudioTest, FocusLossPausesOnlyWhatPlaysAndResumesOnlyThat)
{
    MakeSound("BGM_A", 0.1);
    MakeSound("BGM_B", 0.1);
    MakeSound("SFX_Short", 0.05);
    AudioSystem* audio = AudioSystem::GetInstance();
    ChannelHandle a, b, short_one;
    audio->Play(a, "BGM_A", false, 1.0f);
    audio->Play(b, "BGM_B", false, 1.0f);
    SoundSystem::SetPaused(b, true); // paused by the game, not by the focus
    Platform::SetFocusOverride(0);
    audio->Update();
    EXPECT_TRUE(SoundSystem::GetPaused(a));
    ASSERT_EQ(audio->FocusPausedChannels.size(), 1u);
    // A channel that starts while unfocused is paused at the next update; a stopped one is not resumed.
    audio->Play(short_one, "SFX_Short", true, 1.0f);
    audio->Update();
    SoundSystem::Stop(short_one);
    Platform::SetFocusOverride(1);
    audio->Update();
    EXPECT_FALSE(SoundSystem::GetPaused(a));
    EXPECT_TRUE(SoundSystem::GetPaused(b)) << "a channel the game paused stays paused";
    EXPECT_FALSE(SoundSystem::IsPlaying(short_one));
    EXPECT_TRUE(audio->FocusPausedChannels.empty());
}

TEST_F(AudioTest, FocusMuteNeverClearsThePlayersMute)
{
    AudioSystem* audio = AudioSystem::GetInstance();
    audio->SetGroupMute(ChannelGroup::Music, true);
    audio->SetFocusMute(true);
    audio->SetFocusMute(false);
    EXPECT_TRUE(SoundSystem::GetGroupMute(ChannelGroup::Music)) << "the player's mute survives the focus";
    audio->SetGroupMute(ChannelGroup::Music, false);
    audio->SetFocusMute(true);
    EXPECT_TRUE(SoundSystem::GetGroupMute(ChannelGroup::Music));
    audio->SetFocusMute(false);
    EXPECT_FALSE(SoundSystem::GetGroupMute(ChannelGroup::Music));
}

TEST_F(AudioTest, AudioComponentRoundTripKeepsEveryEventOnce)
{
    MakeSound("SFX_M_Selected");
    auto audio = std::make_shared<Audio>();
    AudioSystem* system = AudioSystem::GetInstance();
    system->AddSound(*audio, "SFX_M_Selected", false, true);
    system->AddSound(*audio, "SFX_M_Selected", true, false); // same file: still one entry
    system->AddSound(*audio, "SFX_Missing_1", false, true);
    system->AddSound(*audio, "SFX_Missing_2", true, false); // unknown events are kept by name
    ASSERT_EQ(audio->sounds.size(), 3u);

    auto copy = std::make_shared<Audio>();
    OrvTest::RoundTrip(*audio, *copy);
    ASSERT_EQ(copy->sounds.size(), 3u);
    EXPECT_EQ(copy->sounds[0].eventname, "SFX_M_Selected");
    EXPECT_FALSE(copy->sounds[0].streams);
    EXPECT_EQ(copy->sounds[2].eventname, "SFX_Missing_2");
    EXPECT_TRUE(copy->sounds[2].loops);
    EXPECT_TRUE(copy->sounds[2].streams);

    Audio empty;
    EXPECT_EQ(OrvTest::SerializeComponent(empty), "{}");
}

TEST_F(AudioTest, PlayEventMarksPlayingOnlyWhenAChannelStarted)
{
    MakeSound("SFX_Good");
    auto audio = std::make_shared<Audio>();
    AudioSystem* system = AudioSystem::GetInstance();
    system->AddSound(*audio, "SFX_Good", false, true);
    system->AddSound(*audio, "SFX_Gone", false, true);
    system->PlayEvent(*audio, "SFX_Gone");
    EXPECT_FALSE(audio->sounds[1].is_playing);
    system->PlayEvent(*audio, "SFX_Good");
    EXPECT_TRUE(audio->sounds[0].is_playing);
    system->StopEvent(*audio, "SFX_Good");
    EXPECT_FALSE(audio->sounds[0].is_playing);
    EXPECT_FALSE(SoundSystem::IsPlaying(audio->sounds[0].channel));
    // Never played: the channel line, and the flag still cleared.
    system->StopEvent(*audio, "SFX_Gone");
    EXPECT_NE(LogText().find("could not find channel with filename"), std::string::npos);
}

// Every call that meets a missing sound, entry or channel says so, in the lines' own words.
TEST_F(AudioTest, MissingSoundsEntriesAndChannelsAreLoggedOnEveryCall)
{
    MakeSound("SFX_Here");
    auto audio = std::make_shared<Audio>();
    AudioSystem* system = AudioSystem::GetInstance();
    system->AddSound(*audio, "SFX_Here", false, true);
    for (int frame = 0; frame < 3; ++frame) {
        system->PlayEvent(*audio, "SFX_Absent");       // no file: the entry of no file is not there
        system->StopEvent(*audio, "SFX_Here");         // never played: no channel
        system->GetSoundFromFilename(*audio, "x.ogg"); // no such entry
        system->GetSoundPtr("SFX_Absent");
        system->UnloadSound("SFX_Absent");
        system->LoadSound("SFX_Absent", false, false);
    }
    const std::string unknown = "[AudioSystem::GetFilenameFromEvent] Error: event 'SFX_Absent' not found in EventsFilenameMap!";
    const std::vector<std::string> frame = {
        unknown,
        "[Audio::PlayEvent] Error: could not find sound with filename ' '!",
        "[Audio::StopEvent] Error: could not find channel with filename ' SFX_Here.ogg'!",
        "[Audio::GetSoundFromFilename] Error: could not find sound with filename ' x.ogg'!",
        unknown,
        "[AudioSystem::GetSoundPtr] event 'SFX_Absent' could not be found!",
        unknown,
        "[AudioSystem::UnloadSound] event 'SFX_Absent' could not be found!",
        unknown,
        "[AudioSystem::LoadSound] event 'SFX_Absent' could not be found!",
    };
    std::vector<std::string> expected;
    for (int i = 0; i < 3; ++i) expected.insert(expected.end(), frame.begin(), frame.end());
    EXPECT_EQ(TailLines(expected.size()), expected);
    EXPECT_EQ(OrvTest::CountLines(LogText(), unknown), 12u) << "nothing more about it";

    // A known file that has left the sound table.
    system->SoundMap.clear();
    system->GetSoundPtr("SFX_Here");
    EXPECT_EQ(OrvTest::Lines(LogText()).back(), "[AudioSystem::GetSoundPtr] Error: could not find sound in SoundMap!");
}

TEST_F(AudioTest, PauseEventTogglesAndAlwaysClearsTheFlag)
{
    MakeSound("BGM_Loop", 0.1);
    auto audio = std::make_shared<Audio>();
    AudioSystem* system = AudioSystem::GetInstance();
    system->AddSound(*audio, "BGM_Loop", true, false);
    system->PlayEvent(*audio, "BGM_Loop");
    system->PauseEvent(*audio, "BGM_Loop");
    EXPECT_TRUE(SoundSystem::GetPaused(audio->sounds[0].channel));
    system->PauseEvent(*audio, "BGM_Loop");
    EXPECT_FALSE(SoundSystem::GetPaused(audio->sounds[0].channel));
    EXPECT_FALSE(audio->sounds[0].is_playing);
}

TEST_F(AudioTest, DestroyingTheComponentStopsItsMusicButNotItsEffects)
{
    MakeSound("BGM_Scene", 0.1);
    MakeSound("SFX_Long", 1.5);
    ChannelHandle music, effect;
    {
        auto audio = std::make_shared<Audio>();
        AudioSystem* system = AudioSystem::GetInstance();
        system->AddSound(*audio, "BGM_Scene", true, false);
        system->AddSound(*audio, "SFX_Long", false, true);
        system->PlayEvent(*audio, "BGM_Scene");
        system->PlayEvent(*audio, "SFX_Long");
        music = audio->sounds[0].channel;
        effect = audio->sounds[1].channel;
        auto clone = audio->Clone(); // a copy shares no channel, so dropping it stops nothing
    }
    EXPECT_FALSE(SoundSystem::IsPlaying(music));
    EXPECT_TRUE(SoundSystem::IsPlaying(effect));
}

TEST_F(AudioTest, RemovingASharedSoundOnOneEntityLetsAnotherPlayItAgain)
{
    MakeSound("SFX_Shared");
    auto first = std::make_shared<Audio>();
    auto second = std::make_shared<Audio>();
    AudioSystem* system = AudioSystem::GetInstance();
    system->AddSound(*first, "SFX_Shared", false, true);
    system->AddSound(*second, "SFX_Shared", false, true);
    system->RemoveSound(*first, "SFX_Shared");
    EXPECT_TRUE(first->SoundsEmpty());
    EXPECT_TRUE(system->SoundMap.empty());
    system->PlayEvent(*second, "SFX_Shared");
    EXPECT_TRUE(second->sounds[0].is_playing);
}

TEST_F(AudioTest, NoDeviceAtAllStillStartsAndEveryCallIsHarmless)
{
    AudioSystem::DestroyInstance();
    SoundSystem::ForceSilentBackend(true);
    MakeSound("SFX_Quiet");
    AudioSystem* audio = AudioSystem::GetInstance();
    EXPECT_TRUE(SoundSystem::IsSilent());
    auto component = std::make_shared<Audio>();
    audio->AddSound(*component, "SFX_Quiet", false, true);
    audio->PlayEvent(*component, "SFX_Quiet");
    audio->PauseEvent(*component, "SFX_Quiet");
    audio->SetLoop(*component, "SFX_Quiet");
    audio->PlaySelectedSFX();
    audio->SetBGMVolume(0.5f);
    audio->SetFocusMute(true);
    audio->Update();
    component->StopAndClearSounds();
    AudioSystem::DestroyInstance();
    SoundSystem::ForceSilentBackend(false);
}

TEST_F(AudioTest, ASoundFileThatIsNotOggIsRefusedOnEveryPlayWithItsName)
{
    // 122 bytes of WAV whose header claims about 4.2 GB of samples, named like a sound of ours.
    auto le32 = [](uint32_t v) {
        return std::string{char(v & 0xFF), char((v >> 8) & 0xFF), char((v >> 16) & 0xFF), char(v >> 24)};
    };
    std::string wav = "RIFF" + le32(0xFFFFFFF0u) + "WAVEfmt " + le32(16) + std::string("\x01\x00\x02\x00", 4) +
                      le32(44100) + le32(44100 * 4) + std::string("\x04\x00\x10\x00", 4) + "data" + le32(0xFFFFFFC0u);
    wav.resize(122, '\0');
    OrvTest::WriteFile(SoundDir() / "SFX_Hit.ogg", wav);
    AudioSystem* audio = AudioSystem::GetInstance();
    audio->EventsFilenameMap["SFX_Hit"] = "SFX_Hit.ogg";
    ChannelHandle channel;
    EXPECT_EQ(audio->Play(channel, "SFX_Hit", true, 1.0f), 0);
    EXPECT_EQ(audio->Play(channel, "SFX_Hit", true, 1.0f), 0);
    EXPECT_FALSE(channel.IsValid());
    EXPECT_TRUE(audio->SoundMap.empty());
    const std::string log = LogText();
    EXPECT_EQ(OrvTest::CountLines(log, "[AudioSystem::LoadSound] event 'SFX_Hit' sound could not be created!"), 2u)
        << "the fixed line on every try, nothing appended: " << log;
    const std::string why = audio->sounds_folder + "SFX_Hit.ogg does not begin with the Ogg signature; it is not decoded";
    EXPECT_EQ(OrvTest::CountLines(log, "[AudioSystem::LoadSound] " + why), 2u) << "then our own line naming the file";
    EXPECT_EQ(OrvTest::CountLines(log, "[AudioSystem::Play] Something went wrong! Event 'SFX_Hit' sound could not be played!"),
              2u);

    MakeSound("SFX_Good");
    EXPECT_EQ(audio->Play(channel, "SFX_Good", true, 1.0f), 1) << "real Ogg files still play";
}

TEST_F(AudioTest, AnOggThatDoesNotDecodeFailsAndIsReportedOnEveryPlay)
{
    OrvTest::WriteFile(SoundDir() / "SFX_Broken.ogg", "OggS and then no stream at all");
    AudioSystem* audio = AudioSystem::GetInstance();
    audio->EventsFilenameMap["SFX_Broken"] = "SFX_Broken.ogg";
    auto component = std::make_shared<Audio>();
    // Queued as a stream: the decode has not been looked at yet.
    audio->AddSound(*component, "SFX_Broken", false, false);
    for (int i = 0; i < 3; ++i) {
        audio->PlayEvent(*component, "SFX_Broken");
        audio->PlayOneShot("SFX_Broken");
    }
    EXPECT_FALSE(component->sounds[0].is_playing);
    EXPECT_TRUE(audio->ChannelMap.empty());
    EXPECT_TRUE(audio->SoundMap.empty());
    const std::string log = LogText();
    EXPECT_EQ(OrvTest::CountLines(log, "[AudioSystem::LoadSound] event 'SFX_Broken' stream could not be created!"), 3u)
        << "added and played as a stream: " << log;
    EXPECT_EQ(OrvTest::CountLines(log, "[AudioSystem::LoadSound] event 'SFX_Broken' sound could not be created!"), 3u)
        << "the one-shots load it as a sound";
    EXPECT_EQ(OrvTest::CountLines(log, "[AudioSystem::Play] Something went wrong! Event 'SFX_Broken' sound could not be played!"),
              6u);
}

TEST_F(AudioTest, ResourceScanRegistersEachEventOnceInSortedOrder)
{
    OrvTest::WriteFile(SoundDir() / "b_music.ogg", "x");
    OrvTest::WriteFile(SoundDir() / "a_click.ogg", "x");
    OrvTest::WriteFile(SoundDir() / "a_click.ogg.bak", "x");
    OrvTest::WriteFile(SoundDir() / "notes.txt", "x");
    OrvTest::WriteFile(SoundDir() / ".ogg", "x");
    AudioSystem* audio = AudioSystem::GetInstance();
    audio->Init();
    audio->EventsFilenameMap["b_music"] = "kept.ogg"; // a known event is not changed
    ResourceManager* resources = ResourceManager::GetInstance();
    resources->RefreshSounds();
    EXPECT_EQ(audio->AddedSounds, (std::vector<std::string>{"a_click"}));
    EXPECT_EQ(audio->EventsFilenameMap["a_click"], "a_click.ogg");
    EXPECT_EQ(audio->EventsFilenameMap["b_music"], "kept.ogg");
    EXPECT_TRUE(resources->sound_warning_shown);
    const std::string log = LogText();
    const std::string note = "Note: non-ogg audio file detected";
    ASSERT_NE(log.find(note), std::string::npos);
    EXPECT_EQ(log.find(note, log.find(note) + 1), std::string::npos) << "one warning per run";
}

TEST_F(AudioTest, ResourceScanOfAMissingFolderLogsAndCarriesOn)
{
    ResourceManager* resources = ResourceManager::GetInstance();
    resources->art_folder = (Root() / "nowhere" / "").string();
    resources->sound_folder = (Root() / "nowhere_either" / "").string();
    resources->Init();
    EXPECT_TRUE(resources->textures.empty());
    EXPECT_NE(LogText().find("Cannot read the folder"), std::string::npos);
}

} // namespace
