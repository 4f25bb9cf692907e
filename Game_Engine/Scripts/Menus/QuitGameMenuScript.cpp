#include "Scripts/Menus/QuitGameMenuScript.h"

#include "Components/Button.h"
#include "Components/Child.h"
#include "Components/Parent.h"
#include "Components/Transform.h"
#include "CoreEngine/Globals.h"
#include "Factory/Entity.h"
#include "Factory/EntityFactory.h"
#include "Factory/EntityNames.h"
#include "Factory/Information.h"
#include "Logging/Logging.h"
#include "Platform/Platform.h"
#include "Scene/IScene.h"
#include "Scene/SceneStateMachine.h"
#include "Scripts/Level/SceneQueries.h"
#include "Scripts/Menus/MenuInput.h"
#include "Scripts/ScriptHelpers.h"

using namespace OrvEngine;

namespace {
// Yes and No sit this far left and right of the box centre (two float steps above 0.8), and this
// far below it.
constexpr float kChoiceOffsetX = 0.80000013f;
constexpr float kChoiceOffsetY = 0.7f;
// In front of the pause menu's background, as the box's and its buttons' depths are above the
// menu's own in the data; the background may have been lifted since.
constexpr float kBoxOverBackground = 15.0f;
constexpr float kChoicesOverBackground = 16.0f;
// The box and its choices follow the background's own children; the tutorial level has two more
// children on its background than the other levels.
constexpr int kFirstBoxSibling = 23;
constexpr int kFirstBoxSiblingInTutorial = 25;

std::string CurrentSceneName()
{
    auto scene = CurrentScene();
    return scene ? scene->GetSceneName() : std::string();
}

// The pause menu's how-to-play panel is open over the menu.
bool HelpPanelOpen()
{
    Entity* panel = FindEntityByName(EntityNames::kPauseHelpPanel);
    return panel && panel->active;
}
} // namespace

std::shared_ptr<Button> QuitGameMenuScript::ButtonOf(uint64_t id) const { return ComponentOf<Button>(id, BUTTON); }

void QuitGameMenuScript::Init(Entity* entity) { button = entity->GetComponent<Button>(BUTTON); }

void QuitGameMenuScript::Update(Entity* entity)
{
    if (!button) button = entity->GetComponent<Button>(BUTTON);
    if (entity->name == EntityNames::kExitToMenuButton) FollowPause(entity);
    if (button && entity->name.find("Exit") != std::string::npos && MenuInput::IsPressed(button)) {
        if (HelpPanelOpen()) MenuInput::ClearActivation();
        else OpenBox();
    }
    if (!box_open) return;
    // Once per opening: a button map that was empty at opening must not make the box's own
    // buttons the stash on a later frame.
    if (!stash_taken) TakeStash();
    if (!box_made) MakeBox(entity);
    auto yes = ButtonOf(box_yes);
    auto no = ButtonOf(box_no);
    if (yes && no) {
        ButtonSystem::GetInstance()->UpdateButtonKey(yes);
        ButtonSystem::GetInstance()->UpdateButtonKey(no);
    }
    if (box_open && no && MenuInput::IsPressed(no)) CloseBox();
}

void QuitGameMenuScript::FollowPause(Entity* entity)
{
    auto information = entity->GetComponent<Information>(INFORMATION);
    if (IsPaused()) {
        if (button) ButtonSystem::GetInstance()->UpdateButtonKey(button);
    } else if (!button) {
        return;
    }
    if (information) information->SetActive(IsPaused());
    entity->SetActive(IsPaused());
}

void QuitGameMenuScript::OpenBox()
{
    box_open = true;
    MenuInput::ClearPress();
}

void QuitGameMenuScript::TakeStash()
{
    ButtonSystem* system = ButtonSystem::GetInstance();
    stashed_buttons.clear();
    for (const auto& [key, stashed] : system->buttons) {
        stashed_buttons.push_back({key, stashed && stashed->owner ? stashed->owner->id : 0, stashed});
    }
    system->buttons.clear();
    stash_taken = true;
}

void QuitGameMenuScript::MakeBox(Entity* entity)
{
    Entity* main = InstantiatePrefab("ExitWarningBoxMain");
    Entity* yes = InstantiatePrefab("ExitWarningBoxYes");
    Entity* no = InstantiatePrefab("ExitWarningBoxNo");
    box_main = main ? main->id : 0;
    box_yes = yes ? yes->id : 0;
    box_no = no ? no->id : 0;
    // From the pause menu Yes leads to the main menu; from the main menu it keeps its prefab's.
    auto yes_button = ComponentOf<Button>(yes, BUTTON);
    if (yes_button && entity->name == EntityNames::kExitToMenuButton) yes_button->SetNextState("MainMenuScene");
    // The main menu uses the prefabs' own positions.
    if (CurrentSceneName().find("MainMenu") == std::string::npos) AttachToPauseBackground();
    box_made = true;
}

void QuitGameMenuScript::AttachToPauseBackground()
{
    Entity* main = FindLiveEntity(box_main);
    Entity* yes = FindLiveEntity(box_yes);
    Entity* no = FindLiveEntity(box_no);
    auto main_child = ComponentOf<Child>(main, CHILD);
    auto yes_child = ComponentOf<Child>(yes, CHILD);
    auto no_child = ComponentOf<Child>(no, CHILD);
    if (!main_child || !yes_child || !no_child) return;
    Entity* background = FindEntityByName(EntityNames::kPauseBackground);
    auto parent = ComponentOf<Parent>(background, PARENT);
    if (!parent) {
        LogLine("[QuitGameMenuScript] cant find pause bg parent component!");
        return;
    }
    main_child->SetParent(parent);
    yes_child->SetParent(parent);
    no_child->SetParent(parent);
    auto origin = background->GetComponent<Transform>(TRANSFORM);
    auto main_at = main->GetComponent<Transform>(TRANSFORM);
    auto yes_at = yes->GetComponent<Transform>(TRANSFORM);
    auto no_at = no->GetComponent<Transform>(TRANSFORM);
    if (origin && main_at && yes_at && no_at) {
        const Vec3 p = origin->position;
        main_at->position = Vec3(p.x, p.y, p.z + kBoxOverBackground);
        yes_at->position = Vec3(p.x - kChoiceOffsetX, p.y - kChoiceOffsetY, p.z + kChoicesOverBackground);
        no_at->position = Vec3(p.x + kChoiceOffsetX, p.y - kChoiceOffsetY, p.z + kChoicesOverBackground);
    }
    const bool tutorial = CurrentSceneName().rfind("GameScene_22", 0) == 0;
    const int first = tutorial ? kFirstBoxSiblingInTutorial : kFirstBoxSibling;
    main_child->sibling_index = first;
    yes_child->sibling_index = first + 1;
    no_child->sibling_index = first + 2;
}

void QuitGameMenuScript::CloseBox()
{
    for (uint64_t* id : {&box_main, &box_yes, &box_no}) {
        DestroyEntity(FindLiveEntity(*id));
        *id = 0;
    }
    box_made = false;
    MenuInput::ClearPress();
    box_open = false;
    GiveStashBack();
}

void QuitGameMenuScript::GiveStashBack()
{
    ButtonSystem* system = ButtonSystem::GetInstance();
    for (const StashedButton& stashed : stashed_buttons) {
        // A button whose entity went away while the box was open stays out.
        Entity* owner = FindLiveEntity(stashed.owner_id);
        if (stashed.button && owner && owner == stashed.button->owner) system->AddButton(stashed.button);
    }
    stashed_buttons.clear();
    stash_taken = false;
}

void QuitGameMenuScript::HandleMessage(Entity* entity, Message* message)
{
    if (MenuInput::IsMouseButtonMessage(message)) {
        // Any mouse-button message, press or release, of either button.
        auto no = ButtonOf(box_no);
        if (box_open && no && no->IsMouseOver()) {
            CloseBox();
        } else if (!box_open && button && entity->name.find("Exit") != std::string::npos && !HelpPanelOpen() &&
                   button->IsMouseOver()) {
            OpenBox();
        }
    } else if (MenuInput::IsKeyJustDown(message, Platform::VK_ESCAPE_KEY) && box_open) {
        CloseBox();
    }
}
