// Slider: a bar whose width follows the watched entity's hit points against their value when the
// bar was set up. The watched entity is found by name and kept by id; the slider system draws it.
#pragma once

#include "CoreEngine/Math.h"
#include "Factory/Component.h"
#include "Scene/KeptEntity.h"

#include <memory>
#include <string>

namespace OrvEngine {

struct Texture;

class Slider : public Component {
public:
    Slider() : Component("Slider") {}
    bool Serialize(JsonWriter& writer) override;
    void Deserialize(const rapidjson::Value& value) override;
    void Init() override;
    void Update() override;
    std::shared_ptr<Component> Clone() override;

    // The picture is looked up by name when drawn.
    void SetTexture(const std::string& id);
    // The editor's pick: the entity's name becomes the watched name.
    void SetAttachedEntity(Entity* entity);
    // The watched entity of the current scene, or null.
    Entity* FindAttachedEntity();

    Vec3 position;
    Vec3 offset_position;
    Vec3 size;
    std::shared_ptr<Texture> texture;
    float current_length = 0.0f;
    float shift = 0.0f;
    bool shifted = false;
    float full_length = 0.0f;
    float previous_value = 0.0f;
    float maximum_value = 0.0f;
    bool last_running = false;
    std::string texture_path;
    std::string tex_identifier;
    std::string ent_name;

private:
    void UpdateLength();

    KeptEntity watched_;
};

} // namespace OrvEngine
