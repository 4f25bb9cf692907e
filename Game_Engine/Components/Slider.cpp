#include "Components/Slider.h"

#include "Components/Child.h"
#include "Components/Stats.h"
#include "Components/Transform.h"
#include "CoreEngine/ArtAssets.h"
#include "CoreEngine/EditorState.h"
#include "CoreEngine/Globals.h"
#include "CoreEngine/Serializer.h"
#include "Factory/Entity.h"
#include "Logging/Logging.h"
#include "Scene/IScene.h"
#include "Scene/SceneStateMachine.h"

#include <cmath>

namespace OrvEngine {

bool Slider::Serialize(JsonWriter& writer)
{
    Serializer::WriteString(writer, "tex_identifier", tex_identifier);
    Serializer::WriteString(writer, "texture", texture_path);
    Serializer::WriteVec3(writer, "offset_position", offset_position);
    Serializer::WriteVec3(writer, "SliderSize", size);
    Serializer::WriteString(writer, "ent_name", ent_name);
    return true;
}

void Slider::Deserialize(const rapidjson::Value& value)
{
    const rapidjson::Value* object = Serializer::FirstObject(value);
    if (!object) return;
    tex_identifier = Serializer::ReadString(*object, "tex_identifier");
    texture_path = Serializer::ReadString(*object, "texture");
    offset_position = Serializer::ReadVec3(*object, "offset_position");
    size = Serializer::ReadVec3(*object, "SliderSize");
    ent_name = Serializer::ReadString(*object, "ent_name");
    if (!tex_identifier.empty()) SetTexture(tex_identifier);
}

std::shared_ptr<Component> Slider::Clone()
{
    // The watched entity is looked up by name when used, so the name is kept even when the
    // watched entity enters the scene after the bar.
    return std::make_shared<Slider>(*this);
}

void Slider::SetAttachedEntity(Entity* entity)
{
    if (entity) ent_name = entity->GetName();
}

void Slider::SetTexture(const std::string& id)
{
    texture = nullptr;
    tex_identifier = id;
    texture_path = ArtPath(id);
}

Entity* Slider::FindAttachedEntity()
{
    auto scene = CurrentScene();
    if (!scene || ent_name.empty()) return nullptr;
    return watched_.Find(scene.get(), ent_name, [this](const IScene& in) { return in.FindEntityByName(ent_name); });
}

void Slider::Init()
{
    auto transform = owner ? owner->GetComponent<Transform>(TRANSFORM) : nullptr;
    if (transform) {
        position = transform->position;
        size = transform->scale;
    }
    if (!CurrentScene()) {
        PrintLine("Slider Init(): No Scene!");
        return;
    }
    Entity* watched = FindAttachedEntity();
    if (!watched) {
        PrintLine("Slider Init(): Invalid entity pointer!");
        return;
    }
    auto stats = watched->GetComponent<Stats>(STATS);
    if (!stats) {
        PrintLine("Slider Init(): Entity has no Stats!");
        return;
    }
    PrintLine("Slider::Init() stats set");
    maximum_value = previous_value = static_cast<float>(stats->hp);
    full_length = size.x;
    shift = 0.0f;
}

void Slider::Update()
{
    // Hit points size the bar in play only: a scene being edited keeps the bar as it was made,
    // and a play paused by the editor keeps what it showed.
    if (EditorState::Editing()) {
        auto transform = owner ? owner->GetComponent<Transform>(TRANSFORM) : nullptr;
        if (transform && !EditorPaused) position = transform->position;
        return;
    }
    UpdateLength();
    last_running = GameIsRunning;
}

void Slider::UpdateLength()
{
    auto transform = owner ? owner->GetComponent<Transform>(TRANSFORM) : nullptr;
    if (!transform) return;
    position.x = transform->position.x;
    if (!CurrentScene()) {
        PrintLine("Slider Update(): No Scene!");
        return;
    }
    // Said every frame while the watched entity or its Stats are missing.
    Entity* watched = FindAttachedEntity();
    if (!watched) {
        PrintLine("Slider Update(): No attached ent!");
        size = transform->scale;
        return;
    }
    auto stats = watched->GetComponent<Stats>(STATS);
    if (!stats) {
        PrintLine("Slider Update(): No stats component for attached ent!");
        return;
    }
    const float value = static_cast<float>(stats->hp);
    if (value <= 0.0f) {
        // The drawn width keeps its last value.
        current_length = 0.0f;
        return;
    }
    current_length = value / maximum_value * full_length;
    size.x = current_length;
    // A bar set up before its entity was there has no positive maximum (the length comes out NaN
    // or infinite): it is set up now, which also puts size back to the Transform's scale.
    if (last_running != GameIsRunning || std::isnan(position.x) || !std::isfinite(current_length) ||
        !(maximum_value > 0.0f)) {
        Init();
    }
    const bool rise = value > previous_value;
    const bool fall = value < previous_value;
    auto child = owner->GetComponent<Child>(CHILD);
    if (rise || (fall && child && child->GetParent())) {
        if (!shifted) {
            shift = (full_length - current_length) * 0.1f;
            shifted = shift != 0.0f;
        }
        transform->scale = {current_length, size.y, size.z};
        transform->position.x = position.x + (rise ? shift : -shift);
    }
    previous_value = value;
}

} // namespace OrvEngine
