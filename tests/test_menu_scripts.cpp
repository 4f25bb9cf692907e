// The menu scripts on a running scene: the mute toggles of the options and pause menus, the exit
// box's button stash, the how-to-play panel's one-second rule, retry, the intro skip and the main
// menu's music volume.
#include "ScriptFixture.h"

#include "Components/Audio.h"
#include "Components/Child.h"
#include "Components/Parent.h"
#include "Components/Sprite.h"
#include "Scripts/Menus/PauseMenuScript.h"
#include "Scripts/Menus/QuitGameMenuScript.h"
#include "Scripts/Menus/TestMainMenuScript.h"
#include "Scripts/ScriptHelpers.h"

#include <unistd.h>

using namespace OrvEngine;
using namespace OrvTest;
using Platform::SoundSystem;

namespace {

class MenuScriptTest : public ScriptTest {
protected:
    static std::vector<std::string> Navigable()
    {
        std::vector<std::string> names;
        for (const auto& [key, button] : ButtonSystem::GetInstance()->buttons) names.push_back(button->owner->name);
        return names;
    }
    static Entity* Live(const std::string& name) { return Scene()->FindEntityByName(name); }
};

TEST_F(MenuScriptTest, MuteTogglesActOnTheSoundGroupsAndEveryMenuShowsTheSameTicks)
{
    AudioSystem* audio = AudioSystem::GetInstance();
    audio->SetBGMVolume(0.4f);
    Entity* music = MakeButton("ToggleMuteBGM", "OptionMenuScript", Vec3(0.0f, 1.0f, 1.0f));
    Entity* effects = MakeButton("ToggleMuteSFX", "OptionMenuScript", Vec3(0.0f, -1.0f, 1.0f));
    EXPECT_EQ(Texture(music), "BGMTick") << "0.4 is not muted";

    PressWithEnter(music);
    Frame();
    EXPECT_EQ(audio->GetBGMVolume(), 0.0f);
    EXPECT_EQ(SoundSystem::GetGroupVolume(audio->bgm_group), 0.0f);
    EXPECT_EQ(Texture(music), "BGMUntick");
    EXPECT_FALSE(ButtonSystem::GetInstance()->activate_request) << "the activation is used up";
    EXPECT_EQ(ButtonSystem::GetInstance()->selected, music->GetComponent<Button>(BUTTON)) << "the selection stays";

    MouseButton(0.0f, -1.0f, 0); // a release does not toggle
    EXPECT_FALSE(audio->GetGroupMute(audio->sfx_group));
    MouseButton(0.0f, -1.0f, 1);
    EXPECT_TRUE(audio->GetGroupMute(audio->sfx_group));
    EXPECT_TRUE(SoundSystem::GetGroupMute(audio->sfx_group));
    EXPECT_EQ(audio->GetSFXVolume(), 1.0f) << "the effects volume is left alone";
    EXPECT_EQ(Texture(effects), "SFXUntick");

    // A pause menu made now reads the same state; its toggle undoes the options' mute.
    OrvStateMachine->paused = true;
    Entity* pause_music = MakeButton("ToggleMuteBGM", "PauseMenuScript", Vec3(5.0f, 1.0f, 1.0f));
    Entity* pause_effects = MakeButton("ToggleMuteSFX", "PauseMenuScript", Vec3(5.0f, -1.0f, 1.0f));
    EXPECT_EQ(Texture(pause_music), "BGMUntick");
    EXPECT_EQ(Texture(pause_effects), "SFXUntick");
    PressWithEnter(pause_music);
    Frame();
    EXPECT_EQ(audio->GetBGMVolume(), 1.0f) << "unmuting restores full volume, not the earlier 0.4";
    EXPECT_EQ(SoundSystem::GetGroupVolume(audio->bgm_group), 1.0f);
    EXPECT_EQ(Texture(pause_music), "BGMTick");
    Entity* options_again = MakeButton("ToggleMuteBGM", "OptionMenuScript", Vec3(-5.0f, 1.0f, 1.0f));
    EXPECT_EQ(Texture(options_again), "BGMTick");
}

TEST_F(MenuScriptTest, TheExitBoxTakesEveryOtherButtonOutOfNavigationAndGivesThemBack)
{
    LoadShippedPrefabs({"ExitWarningBoxMain", "ExitWarningBoxYes", "ExitWarningBoxNo"});
    Scene()->SetSceneName("MainMenuScene");
    MakeButton("PlayButton", "", Vec3(0.0f, 2.0f, 1.0f), "GameScene_22");
    MakeButton("OptionsButton", "", Vec3(0.0f, 0.0f, 1.0f), "GameScene_04");
    Entity* exit = MakeButton("ExitButton", "QuitGameMenuScript", Vec3(0.0f, -3.0f, 1.0f));
    const std::vector<std::string> menu = {"PlayButton", "OptionsButton", "ExitButton"};

    PressWithEnter(exit);
    Frame();
    EXPECT_EQ(Navigable(), (std::vector<std::string>{"ExitWarningBoxYes", "ExitWarningBoxNo"}));
    EXPECT_EQ(ButtonSystem::GetInstance()->selected, nullptr);
    ASSERT_NE(Live("ExitWarningBoxYes"), nullptr);
    EXPECT_EQ(Live("ExitWarningBoxYes")->GetComponent<Button>(BUTTON)->GetNextState(), "Exit game")
        << "the main menu keeps the prefab's Yes";
    EXPECT_FLOAT_EQ(TransformOf(Live("ExitWarningBoxMain"))->position.x, 0.0f) << "where the prefab puts it";
    Frame();
    Frame();
    EXPECT_EQ(Navigable().size(), 2u) << "stashed once, not again each frame";

    PressWithEnter(Live("ExitWarningBoxNo"));
    Frame();
    EXPECT_EQ(Navigable(), menu);
    EXPECT_EQ(Live("ExitWarningBoxMain"), nullptr);
    EXPECT_FALSE(ScriptOf<QuitGameMenuScript>(exit)->box_open);

    // Opened by a click, closed by Escape; a button removed meanwhile is not given back.
    MouseButton(0.0f, -3.0f, 0);
    Frame();
    EXPECT_EQ(Navigable().size(), 2u);
    DestroyEntity(Live("PlayButton"));
    KeyDown(27, 2);
    EXPECT_NE(Live("ExitWarningBoxMain"), nullptr) << "a held Escape does not close it";
    KeyDown(27);
    EXPECT_EQ(Live("ExitWarningBoxMain"), nullptr);
    EXPECT_EQ(Navigable(), (std::vector<std::string>{"OptionsButton", "ExitButton"}));
}

TEST_F(MenuScriptTest, ABoxOpenedOverAnEmptyButtonMapKeepsItsOwnButtons)
{
    LoadShippedPrefabs({"ExitWarningBoxMain", "ExitWarningBoxYes", "ExitWarningBoxNo"});
    Scene()->SetSceneName("MainMenuScene");
    Entity* exit = MakeButton("ExitButton", "QuitGameMenuScript", Vec3(0.0f, -3.0f, 1.0f));
    ButtonSystem::GetInstance()->buttons.clear();
    MouseButton(0.0f, -3.0f, 1);
    for (int i = 0; i < 3; ++i) Frame();
    EXPECT_EQ(Navigable(), (std::vector<std::string>{"ExitWarningBoxYes", "ExitWarningBoxNo"}))
        << "the box's buttons are never taken for the stash";
    MouseButton(0.80000013f, -0.7f, 1); // on No
    EXPECT_TRUE(Navigable().empty());
    EXPECT_FALSE(ScriptOf<QuitGameMenuScript>(exit)->box_open);
}

TEST_F(MenuScriptTest, InALevelTheExitBoxTakesItsSiblingPlacesOrStaysPutWithoutAPauseBackgroundParent)
{
    LoadShippedPrefabs({"ExitWarningBoxMain", "ExitWarningBoxYes", "ExitWarningBoxNo"});
    Scene()->SetSceneName("GameScene_22");
    Entity* background = MakeScripted("Pause_bg", "PauseMenuScript", Vec3(3.0f, 1.0f, 70.0f), Vec3(4.0f, 4.5f, 1.0f),
                                      [](Entity* e) { e->AddComponent(PARENT, std::make_shared<Parent>()); });
    Entity* exit = MakeButton("ExitToMainMenu", "QuitGameMenuScript", Vec3(3.0f, -1.0f, 71.0f));
    OrvStateMachine->paused = true;
    PressWithEnter(exit);
    Frame();
    ASSERT_NE(Live("ExitWarningBoxNo"), nullptr);
    EXPECT_EQ(Live("ExitWarningBoxMain")->GetComponent<Child>(CHILD)->GetSiblingIndex(), 25) << "the tutorial level";
    EXPECT_EQ(Live("ExitWarningBoxNo")->GetComponent<Child>(CHILD)->GetSiblingIndex(), 27);

    KeyDown(27);
    background->RemoveComponent(PARENT);
    PressWithEnter(exit);
    Frame();
    EXPECT_TRUE(Contains(LogText(), "[QuitGameMenuScript] cant find pause bg parent component!"));
    EXPECT_FLOAT_EQ(TransformOf(Live("ExitWarningBoxMain"))->position.x, 0.0f) << "where the prefab puts it";
    EXPECT_EQ(Live("ExitWarningBoxYes")->GetComponent<Button>(BUTTON)->GetNextState(), "MainMenuScene");
}

TEST_F(MenuScriptTest, TheHowToPlayPanelClosesOnlyOnAClickAfterASecondOrOnEscape)
{
    Entity* panel = MakeScripted("HTPInPauseMenu", "", Vec3(0.0f, 0.0f, 80.0f));
    panel->SetActive(false);
    Entity* help = MakeButton("HowToPlay", "PauseMenuScript", Vec3(0.0f, -1.0f, 71.0f));
    OrvStateMachine->paused = true;
    Frame();
    MouseButton(0.0f, -1.0f, 1);
    EXPECT_TRUE(panel->active);
    MouseButton(0.0f, -1.0f, 0); // the same click's release
    EXPECT_TRUE(panel->active);
    for (int i = 0; i < 9; ++i) Frame(0.1f);
    MouseButton(5.0f, 4.0f, 1);
    EXPECT_TRUE(panel->active) << "0.9 s is too soon";
    Frame(0.1f);
    MouseButton(5.0f, 4.0f, 0);
    EXPECT_FALSE(panel->active) << "any mouse message after a second";
    EXPECT_FLOAT_EQ(ScriptOf<PauseMenuScript>(help)->panel_timer, 0.0f);

    // Enter opens it too; Escape closes it at once and the next opening starts from 0.
    PressWithEnter(help);
    Frame(0.1f);
    EXPECT_TRUE(panel->active);
    EXPECT_TRUE(ButtonSystem::GetInstance()->activate_request) << "left for the button itself, which clears it";
    ButtonSystem::GetInstance()->activate_request = false;
    for (int i = 0; i < 12; ++i) Frame(0.1f);
    KeyDown(27);
    EXPECT_FALSE(panel->active);
    MouseButton(0.0f, -1.0f, 1);
    EXPECT_TRUE(panel->active) << "reopened, and not closed by its own click";
    // Resuming never leaves the panel over the game.
    OrvStateMachine->paused = false;
    Frame(0.1f);
    EXPECT_FALSE(panel->active);
    EXPECT_FALSE(help->active);
}

TEST_F(MenuScriptTest, RetryGoesBackToThePreviousSceneAndDoesNothingWithoutOne)
{
    Entity* retry = MakeButton("RetryButton", "RetryScript", Vec3(0.0f, 0.0f, 1.0f));
    PressWithEnter(retry);
    Frame();
    EXPECT_EQ(OrvStateMachine->next_state, "") << "no previous scene";
    EXPECT_FALSE(ButtonSystem::GetInstance()->activate_request);
    OrvStateMachine->previous_scene = "Exit game";
    MouseButton(0.0f, 0.0f, 1);
    EXPECT_EQ(OrvStateMachine->next_state, "") << "retrying never quits";
    OrvStateMachine->previous_scene = "GameScene_23";
    MouseButton(3.0f, 3.0f, 1);
    EXPECT_EQ(OrvStateMachine->next_state, "") << "a click beside the button";
    MouseButton(0.0f, 0.0f, 0);
    EXPECT_EQ(OrvStateMachine->next_state, "GameScene_23");
    OrvStateMachine->next_state.clear();
    PressWithEnter(retry);
    Frame();
    EXPECT_EQ(OrvStateMachine->next_state, "GameScene_23");
}

TEST_F(MenuScriptTest, AnyClickOrEscapeSpaceOrEnterSkipsTheIntroButHeldKeysDoNot)
{
    MakeScripted("BG", "BypassIntroScript");
    auto skipped = [](auto deliver) {
        OrvStateMachine->next_state.clear();
        deliver();
        return OrvStateMachine->next_state == "MainMenuScene";
    };
    EXPECT_TRUE(skipped([] { MouseButton(0.0f, 0.0f, 1, 1); })) << "left click";
    EXPECT_TRUE(skipped([] { MouseButton(0.0f, 0.0f, 1, 2); })) << "right click";
    for (uint64_t key : {27u, 32u, 13u}) EXPECT_TRUE(skipped([key] { KeyDown(key); })) << key;
    EXPECT_FALSE(skipped([] { MouseButton(0.0f, 0.0f, 0, 1); })) << "a release";
    EXPECT_FALSE(skipped([] { KeyDown(27, 2); })) << "a held key";
    EXPECT_FALSE(skipped([] { KeyDown('A'); })) << "another key";
}

TEST_F(MenuScriptTest, TheMenuMusicIsRaisedOnceItsChannelPlays)
{
    const fs::path folder = Root() / "Resources" / "Sounds";
    fs::create_directories(folder);
    const std::string make = "sox -n -r 22050 -c 1 " + (folder / "BGM_Main.ogg").string() + " synth 2 sine 440 vol 0.3";
    ASSERT_EQ(std::system(make.c_str()), 0);
    AudioSystem* audio = AudioSystem::GetInstance();
    audio->EventsFilenameMap["BGM_Main"] = "BGM_Main.ogg";
    Entity* bgm = MakeScripted("BGM", "", Vec3(), Vec3(1.0f, 1.0f, 1.0f), [](Entity* e) {
        auto music = std::make_shared<Audio>();
        AudioSystem::GetInstance()->AddSound(*music, "BGM_Main", true, false);
        e->AddComponent(AUDIO, music);
        auto component = std::make_shared<ScriptComponent>();
        component->file_name = "TestMainMenuScript";
        e->AddComponent(SCRIPTCOMPONENT, component);
    });
    Join(bgm);
    auto* script = ScriptOf<TestMainMenuScript>(bgm);
    ASSERT_NE(script, nullptr);
    EXPECT_FALSE(script->playing);
    Frame();
    EXPECT_FALSE(script->volume_set) << "nothing plays yet: no channel to raise";
    auto sounds = bgm->GetComponent<Audio>(AUDIO);
    AudioSystem::GetInstance()->PlayEvent(*sounds, "BGM_Main");
    SoundSystem::SetVolume(sounds->sounds[0].channel, 0.5f);
    Frame();
    EXPECT_TRUE(script->volume_set);
    EXPECT_GT(SoundSystem::GetVolume(sounds->sounds[0].channel), 0.5f);
    SoundSystem::SetVolume(sounds->sounds[0].channel, 0.5f);
    Frame();
    EXPECT_EQ(SoundSystem::GetVolume(sounds->sounds[0].channel), 0.5f) << "raised once per script life";
}

} // namespace
