// BoxCollider: an axis-aligned box that follows its entity's Transform and may shrink to a feet
// box. Tested in pairs by the collision system; holds no entity pointers of its own.
#pragma once

#include "Components/Collider.h"

namespace OrvEngine {

class BoxCollider : public Collider {
public:
    BoxCollider();

    // Writes the base centre (no feet offset) and the size in use.
    bool Serialize(JsonWriter& writer) override;
    // Missing members read as false or 0; the bounds are recomputed from what was read.
    void Deserialize(const rapidjson::Value& value) override;
    // Follows the Transform's movement since the last update; the first update only records it.
    void Update() override;
    // A copy with the same body reference and no owner.
    std::shared_ptr<Component> Clone() override;
    // min/max around the box centre (base centre plus the feet offset when it applies).
    void UpdateBounds() override;

    Vec2 GetMin() const { return min; }
    Vec2 GetMax() const { return max; }
    Vec2 GetSize() const { return size; }
    // Bounds are not recomputed.
    void SetSize(const Vec2& value);
    bool GetUseFeetBox() const { return use_feet_box; }
    bool* UseFeetBoxPtr() { return &use_feet_box; }
    // Rescales the size to the feet box (on) or back (off) and recomputes the bounds; the caller
    // stores use_feet_box itself.
    void SetUseFeetBox(bool on);

    // Where the box actually sits: the base centre, moved by the feet offset while following.
    Vec2 GetCentre() const;

    // A following feet box sits this far from the base centre.
    static constexpr float kFeetOffsetX = -0.01f;
    static constexpr float kFeetOffsetY = -0.075f;

    bool use_feet_box = false;
    Vec2 follow_delta;
    bool follow_started = false;
    Vec2 last_transform_position;

private:
    Vec2 min;
    Vec2 max;
    Vec2 size;
};

} // namespace OrvEngine
