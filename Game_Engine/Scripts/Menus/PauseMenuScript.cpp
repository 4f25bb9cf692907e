#include "Scripts/Menus/PauseMenuScript.h"

#include "Components/Button.h"
#include "CoreEngine/CoreEngine.h"
#include "CoreEngine/Globals.h"
#include "CoreEngine/Message.h"
#include "Factory/Entity.h"
#include "Factory/EntityNames.h"
#include "Factory/Information.h"
#include "Graphics/ButtonSystem.h"
#include "Logging/Logging.h"
#include "Logic/GameplayRules.h"
#include "Platform/Platform.h"
#include "Scene/IScene.h"
#include "Scene/SceneStateMachine.h"
#include "Scripts/Level/SceneQueries.h"
#include "Scripts/Menus/MenuInput.h"
#include "Scripts/Menus/PauseMenuDepth.h"
#include "Scripts/ScriptHelpers.h"

using namespace OrvEngine;

namespace {
bool NameHas(const Entity* entity, const char* part) { return entity->name.find(part) != std::string::npos; }
} // namespace

Entity* PauseMenuScript::Panel() const { return FindLiveEntity(panel_id); }

void PauseMenuScript::FindPanel() { panel_id = Gameplay::IdOf(FindEntityByName(EntityNames::kPauseHelpPanel)); }

void PauseMenuScript::Init(Entity* entity)
{
    InitToggles(entity);
    FindPanel();
}

bool PauseMenuScript::PanelOpen() const
{
    Entity* panel = Panel();
    return panel && panel->active;
}

void PauseMenuScript::Update(Entity* entity)
{
    if (panel_timer_running) panel_timer += FrameTime();
    CacheComponents(entity);
    if (!Panel()) FindPanel();
    FollowPause(entity);
    if (button) ActOnPress(entity);
}

void PauseMenuScript::FollowPause(Entity* entity)
{
    const bool paused = IsPaused();
    if (paused && button) ButtonSystem::GetInstance()->UpdateButtonKey(button);
    if (information) information->SetActive(paused);
    entity->SetActive(paused);
    if (paused && !button && NameHas(entity, EntityNames::kPauseBackground)) PauseMenuDepth::KeepInFront();
    // Resuming while the panel is open must not leave it over the game.
    if (!paused && NameHas(entity, EntityNames::kPauseHelpButton) && Panel() && Panel()->active) ClosePanel();
}

void PauseMenuScript::ActOnPress(Entity* entity)
{
    // The first name that matches decides, even when its button is not pressed.
    const bool pressed = MenuInput::IsPressed(button);
    if (PanelOpen()) {
        // The panel covers the menu: its buttons wait until it is closed.
        if (pressed) MenuInput::ClearActivation();
        return;
    }
    if (!pressed) return;
    if (NameHas(entity, EntityNames::kResumeButton)) {
        if (IsPaused()) Resume();
    } else {
        // Opening the panel leaves the selection and activation as they are.
        RunNamedAction(entity);
    }
}

void PauseMenuScript::RunNamedAction(Entity* entity)
{
    if (NameHas(entity, EntityNames::kMuteMusicButton)) ToggleMuteBGM();
    else if (NameHas(entity, EntityNames::kMuteEffectsButton)) ToggleMuteSFX();
    else if (NameHas(entity, EntityNames::kPauseHelpButton)) OpenPanel();
}

void PauseMenuScript::Resume()
{
    PrintLine("Unpaused game");
    OrvStateMachine->paused = false;
    MenuInput::ClearPress();
}

void PauseMenuScript::OpenPanel()
{
    Entity* panel = Panel();
    if (!CurrentScene() || !panel) return;
    panel->SetActive(true);
    panel_timer_running = true;
}

void PauseMenuScript::ClosePanel()
{
    if (Entity* panel = Panel()) panel->SetActive(false);
    // Every close starts the next opening from 0, Escape's too: a kept second would let the
    // opening click itself close the panel again.
    panel_timer = 0.0f;
    panel_timer_running = false;
}

void PauseMenuScript::HandleClick(Entity* entity, Message* message)
{
    if (PanelOpen()) {
        // A click on the panel only closes it, whatever button lies under it; the opening click's
        // own release is not taken for one.
        if (panel_timer_running && panel_timer >= kPanelClickDelay) ClosePanel();
        return;
    }
    if (button) {
        // Resume answers any click, press or release, of either mouse button.
        if (NameHas(entity, EntityNames::kResumeButton) && button->IsMouseOver() && IsPaused()) Resume();
        if (MenuInput::IsButtonJustDown(message, 1) && button->IsMouseOver()) RunNamedAction(entity);
    }
}

void PauseMenuScript::HandleMessage(Entity* entity, Message* message)
{
    if (MenuInput::IsMouseButtonMessage(message)) {
        HandleClick(entity, message);
    } else if (MenuInput::IsKeyJustDown(message, Platform::VK_ESCAPE_KEY) && panel_timer_running) {
        // The same Escape then resumes the game (the engine's own handling of its character).
        ClosePanel();
    }
}
