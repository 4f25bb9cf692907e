#include "Components/Button.h"

#include "Components/Sprite.h"
#include "Components/Transform.h"
#include "CoreEngine/Globals.h"
#include "CoreEngine/Message.h"
#include "CoreEngine/Serializer.h"
#include "Factory/Entity.h"
#include "Windows/Input.h"

namespace OrvEngine {

namespace {
const Vec4 kActivated(0.0f, 0.0f, 1.0f, 1.0f);

Vec2 Cursor() { return {Input::Instance().world_x, Input::Instance().world_y}; }

Button::ActivateHook activation = nullptr;
} // namespace

void Button::SetActivateHook(ActivateHook hook) { activation = hook; }

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

void Button::HandleMessage(Message* message)
{
    if (message->id != MSG_MOUSE_BUTTON || !GameIsRunning || !owner) return;
    auto& state = Input::GetMouseClickMessage().buttons;
    if (state[1] != 1) return;
    last_cursor = Cursor();
    if (!Contains({position.x, position.y}, {size.x, size.y}, last_cursor)) return;
    if (ready_timer < kReadyTime) return;
    if (activation) activation(*this, false);
}

} // namespace OrvEngine
