// Button: a menu button on an entity with a Transform and a Sprite or Text. The button system
// highlights it when hovered or selected, plays the menu sounds, and on activation requests the
// scene in next_state.
#pragma once

#include "CoreEngine/Math.h"
#include "Factory/Component.h"

#include <string>

namespace OrvEngine {

class Button : public Component {
public:
    Button() : Component("Button") {}
    bool Serialize(JsonWriter& writer) override;
    void Deserialize(const rapidjson::Value& value) override;
    void Init() override;
    // A left click (the first report of a press) over the button activates it.
    void HandleMessage(Message* message) override;
    // Buttons are updated by the button system.
    void Update() override {}
    std::shared_ptr<Component> Clone() override { return std::make_shared<Button>(*this); }

    std::string& GetNextState() { return next_state; }
    void SetNextState(const std::string& value) { next_state = value; }
    // Strict hit test; a hit paints a sprite button with the activation colour.
    bool Contains(const Vec2& centre, const Vec2& box, const Vec2& point);
    bool IsMouseOver();
    // What activating a button does (the button system's); set when the layers are connected.
    using ActivateHook = void (*)(Button& button, bool drop_selection);
    static void SetActivateHook(ActivateHook hook);

    Vec3 position;
    Vec3 size;
    Vec2 last_cursor;
    std::string next_state;
    float hover_timer = 0.0f;
    float ready_timer = 0.0f;
    bool highlight_sound_played = true;

    static constexpr float kReadyTime = 1.0f;
};

} // namespace OrvEngine
