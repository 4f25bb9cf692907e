// Stats: a character's numbers (hit points, attack speed, attack, defence and three modifiers).
// No behaviour of its own; the gameplay components and scripts read and change the fields.
#pragma once

#include "Factory/Component.h"

#include <cstdint>

namespace OrvEngine {

class Stats : public Component {
public:
    Stats() : Component("Stats") {}
    bool Serialize(JsonWriter& writer) override;
    void Deserialize(const rapidjson::Value& value) override;
    void Update() override {}
    std::shared_ptr<Component> Clone() override { return std::make_shared<Stats>(*this); }

    float GetDefense() const { return defense; }
    float GetSpdModifier() const { return spd_modifier; }
    void SetSpdModifier(const float& value) { spd_modifier = value; }
    float GetAttModifier() const { return att_modifier; }
    float GetDefModifier() const { return def_modifier; }
    void SetDefModifier(const float& value) { def_modifier = value; }

    // The range the game uses, for a file read and for the inspector alike: "hp" from 0 to kMaxHp,
    // the six others from 0 to kMaxValue. A number beyond brings the nearest end; NaN brings 0.
    static constexpr int32_t kMaxHp = 999999;
    static constexpr float kMaxValue = 10000.0f;
    static int32_t ClampHp(double value);
    static float ClampValue(double value);

    int32_t hp = 0;
    // A second value that no operation sets or reads: not saved, kept by Clone.
    int32_t spare = 0;
    float speed_attack = 0.0f;
    float attack = 0.0f;
    float defense = 0.0f;
    float spd_modifier = 0.0f;
    float att_modifier = 0.0f;
    float def_modifier = 0.0f;
};

} // namespace OrvEngine
