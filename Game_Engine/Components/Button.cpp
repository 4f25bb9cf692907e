#include "Components/Button.h"

#include "Audio/AudioSystem.h"
#include "Components/Sprite.h"
#include "Components/Text.h"
#include "Components/Transform.h"
#include "CoreEngine/CoreEngine.h"
#include "CoreEngine/Globals.h"
#include "CoreEngine/Message.h"
#include "CoreEngine/Serializer.h"
#include "Factory/Entity.h"
#include "Graphics/ButtonSystem.h"
#include "Logging/Logging.h"
#include "Scene/SceneStateMachine.h"
#include "Windows/Input.h"

namespace OrvEngine {

namespace {
const Vec4 kHighlight(1.0f, 1.0f, 0.0f, 1.0f);
const Vec4 kActivated(0.0f, 0.0f, 1.0f, 1.0f);

Vec2 Cursor() { return {Input::Instance().world_x, Input::Instance().world_y}; }
} // namespace

bool Button::Serialize(JsonWriter& writer)
{
    Serializer::WriteString(writer, "next_state", next_state);
    return true;
}

void Button::Deserialize(const rapidjson::Value& value)
{
    const rapidjson::Value* object = Serializer::FirstObject(value);
    if (object) next_state = Serializer::ReadString(*object, "next_state");
}

void Button::Init()
{
    auto transform = owner ? owner->GetComponent<Transform>(TRANSFORM) : nullptr;
    if (!transform) return;
    position = transform->position;
    size = transform->scale;
}

bool Button::Contains(const Vec2& c, const Vec2& s, const Vec2& p)
{
    const bool inside = p.x < c.x + s.x * 0.5f && p.y < c.y + s.y * 0.5f && p.x > c.x - s.x * 0.5f &&
                        p.y > c.y - s.y * 0.5f;
    auto sprite = inside && owner ? owner->GetComponent<Sprite>(SPRITE) : nullptr;
    if (sprite) sprite->SetTint(kActivated, true);
    return inside;
}

bool Button::IsMouseOver()
{
    last_cursor = Cursor();
    return Contains({position.x, position.y}, {size.x, size.y}, last_cursor);
}

bool Button::IsHovered()
{
    if (!ButtonSystem::GetInstance()->mouse_mode) return false;
    return Contains({position.x, position.y}, {size.x, size.y}, Cursor());
}

void Button::Select()
{
    auto transform = owner ? owner->GetComponent<Transform>(TRANSFORM) : nullptr;
    if (!transform) return;
    ButtonSystem* system = ButtonSystem::GetInstance();
    const float x = transform->position.x;
    const float y = transform->position.y;
    for (auto& [key, button] : system->buttons) {
        if (key.y < y) break;
        if (key.x == x && key.y == y && button.get() == this) {
            system->selected = button;
            return;
        }
    }
}

void Button::PaintActivated()
{
    if (auto sprite = owner->GetComponent<Sprite>(SPRITE)) {
        sprite->SetTint(kActivated, sprite->is_tinted);
    } else if (auto text = owner->GetComponent<Text>(TEXT)) {
        text->SetColour({kActivated.x, kActivated.y, kActivated.z});
    }
}

void Button::Activate(bool drop_selection)
{
    PaintActivated();
    AudioSystem::GetInstance()->PlaySelectedSFX();
    PrintLine("Button Clicked: " + owner->GetName());
    ready_timer = 0.0f;
    ButtonSystem* system = ButtonSystem::GetInstance();
    system->activate_request = false;
    if (drop_selection) system->selected.reset();
    if (!next_state.empty() && OrvStateMachine) OrvStateMachine->next_state = next_state;
}

void Button::HandleMessage(Message* message)
{
    if (message->id != MSG_MOUSE_BUTTON || !GameIsRunning || !owner) return;
    auto& state = Input::GetMouseClickMessage().buttons;
    if (state[1] != 1) return;
    last_cursor = Cursor();
    if (!Contains({position.x, position.y}, {size.x, size.y}, last_cursor)) return;
    if (ready_timer < kReadyTime) return;
    Activate(false);
}

void Button::PlayHighlightOnce()
{
    if (hover_timer >= kReadyTime && !highlight_sound_played) {
        AudioSystem::GetInstance()->PlayHighlightedSFX();
        highlight_sound_played = true;
        hover_timer = 0.0f;
    }
}

void Button::SetHighlight(bool on)
{
    if (auto sprite = owner->GetComponent<Sprite>(SPRITE)) {
        if (!on) {
            sprite->is_tinted = false;
            highlight_sound_played = false;
            return;
        }
        Select();
        sprite->SetTint(kHighlight, true);
        PlayHighlightOnce();
        return;
    }
    auto text = owner->GetComponent<Text>(TEXT);
    ButtonSystem* system = ButtonSystem::GetInstance();
    if (!system->has_normal_text_colour) {
        system->normal_text_colour = text->GetColour();
        system->has_normal_text_colour = true;
    }
    if (!on) {
        text->SetColour(system->normal_text_colour);
        highlight_sound_played = false;
        return;
    }
    text->SetColour({kHighlight.x, kHighlight.y, kHighlight.z});
    Select();
    PlayHighlightOnce();
}

void Button::Update()
{
    if (!owner) return;
    hover_timer += FrameTime();
    auto sprite = owner->GetComponent<Sprite>(SPRITE);
    auto text = owner->GetComponent<Text>(TEXT);
    if (!sprite && !text) return;
    ButtonSystem* system = ButtonSystem::GetInstance();
    const bool selected = system->selected.get() == this;
    SetHighlight(IsHovered() || selected);
    ready_timer += FrameTime();
    if (system->selected.get() == this && system->activate_request && GameIsRunning && ready_timer >= kReadyTime) {
        Activate(!sprite);
    }
}

} // namespace OrvEngine
