// The bar mode of Sprite: a sprite whose width follows another entity's hit points against their
// value when the bar was set up. The watched entity is found by name and kept by id.
#include "Components/Sprite.h"

#include "Components/Child.h"
#include "Components/Stats.h"
#include "Components/Transform.h"
#include "CoreEngine/Globals.h"
#include "Factory/Entity.h"
#include "Logging/Logging.h"
#include "Scene/IScene.h"
#include "Scene/SceneStateMachine.h"

#include <cmath>
#include <sstream>

namespace OrvEngine {

namespace {

// The messages of the set-up run by Init and of the one the update runs again.
struct BarSetUpTexts {
    const char* no_scene;
    const char* no_entity;
    const char* no_stats;
};
const BarSetUpTexts kInitTexts{"Slider Init(): No Scene!", "Slider Init(): Invalid entity pointer!",
                               "Slider Init(): Entity has no Stats!"};
const BarSetUpTexts kReinitTexts{"Sprite Slider Init(): No Scene!", "Sprite Slider Init(): Invalid entity pointer!",
                                 "Sprite Slider Init(): Entity has no Stats!"};

// The entity named ent_name in the scene: looked up by name again only when it may have changed.
Entity* FindWatched(Sprite& sprite, const IScene& scene)
{
    return sprite.bar.watched.Find(&scene, sprite.ent_name,
                                   [&sprite](const IScene& in) { return in.FindEntityByName(sprite.ent_name); });
}

// Sets the bar up against its watched entity; home_offset is taken off the bar's x.
void SetUpBar(Sprite& sprite, const BarSetUpTexts& texts, float home_offset)
{
    auto transform = sprite.owner ? sprite.owner->GetComponent<Transform>(TRANSFORM) : nullptr;
    if (transform) {
        sprite.position = transform->position;
        sprite.scale = transform->scale;
    }
    auto scene = CurrentScene();
    if (!scene) {
        PrintLine(texts.no_scene);
        return;
    }
    Entity* watched = sprite.ent_name.empty() ? nullptr : FindWatched(sprite, *scene);
    if (!watched) {
        PrintLine(texts.no_entity);
        return;
    }
    sprite.SetAttachedEntity(watched);
    auto stats = watched->GetComponent<Stats>(STATS);
    if (!stats) {
        PrintLine(texts.no_stats);
        return;
    }
    SpriteBarState& bar = sprite.bar;
    bar.maximum_value = bar.previous_value = static_cast<float>(stats->hp);
    bar.full_length = sprite.scale.x;
    bar.shift = 0.0f;
    bar.home_x = sprite.position.x - home_offset;
    if (transform) transform->position.x = bar.home_x;
}
} // namespace

void Sprite::InitBar() { SetUpBar(*this, kInitTexts, slider_offset); }

void Sprite::UpdateBar()
{
    SpriteBarState& state = bar;
    Transform* transform = FollowedTransform();
    if (!transform) {
        state.last_running = GameIsRunning;
        return;
    }
    position = transform->position;
    auto finish = [&] { state.last_running = GameIsRunning; };
    auto scene = CurrentScene();
    if (!scene) {
        PrintLine("Slider Update(): No Scene!");
        return finish();
    }
    const bool had_entity = attached_id != 0;
    Entity* watched = ent_name.empty() ? GetAttachedEntity() : FindWatched(*this, *scene);
    // Said every frame while the watched entity or its Stats are missing.
    if (!watched && !had_entity) {
        PrintLine("Slider Update(): No attached ent!");
        scale = transform->scale;
        return finish();
    }
    auto stats = watched ? watched->GetComponent<Stats>(STATS) : nullptr;
    if (!stats) {
        PrintLine("Slider Update(): No stats component for attached ent!");
        return finish();
    }
    SetAttachedEntity(watched);
    // A bar named after its set-up has no maximum yet: set it up now. Without a positive maximum
    // there is no length to show (and no NaN to save).
    if (!(state.maximum_value > 0.0f)) SetUpBar(*this, kReinitTexts, 0.0f);
    if (!(state.maximum_value > 0.0f)) return finish();
    const float value = static_cast<float>(stats->hp);
    if (value <= 0.0f) {
        state.current_length = 0.0f;
        scale.x = 0.0f; // an empty bar shows empty
        return finish();
    }
    state.base_x = position.x;
    state.current_length = value / state.maximum_value * state.full_length;
    scale.x = state.current_length;
    if (state.last_running != GameIsRunning || std::isnan(position.x) || std::isnan(state.current_length)) {
        SetUpBar(*this, kReinitTexts, 0.0f);
    }
    const bool rise = value > state.previous_value;
    const bool fall = value < state.previous_value;
    auto child = owner->GetComponent<Child>(CHILD);
    if (rise || (fall && child && child->GetParent())) {
        // Half of this change's length, so the bar's left end stays put: a shift kept from the
        // first change walked the bar away after many hits and heals.
        const float previous_length = state.previous_value / state.maximum_value * state.full_length;
        state.shift = std::fabs(previous_length - state.current_length) * 0.5f;
        if (rise) {
            std::ostringstream line;
            line << "_xPosToMove: " << state.shift;
            PrintLine(line.str());
        }
        transform->scale.x = state.current_length;
        transform->position.x = state.base_x + (rise ? state.shift : -state.shift);
    }
    state.previous_value = value;
    finish();
}

} // namespace OrvEngine
