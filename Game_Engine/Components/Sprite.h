// Sprite: makes an entity visible as a textured unit quad placed by its Transform, optionally
// animated from a sprite sheet (square frames side by side), tinted, or acting as a bar.
// The GL texture, model, shader and animation state are runtime only; see Deserialize for the file.
#pragma once

#include "CoreEngine/Math.h"
#include "Factory/Component.h"

#include <glm/glm.hpp>

#include <cstdint>
#include <memory>
#include <string>

namespace OrvEngine {

class Entity;
class Model;
class Transform;
struct Shader;
struct Texture;

// A four-float colour (r, g, b, a) stored as a Vec4.
struct Color : Vec4 {
    Color() = default;
    Color(float r, float g, float b, float a) : Vec4(r, g, b, a) {}
    Color(const Vec4& v) : Vec4(v) {} // implicit: colours travel as Vec4 through the serializer
    void SetR(float value) { x = value; }
    void SetG(float value) { y = value; }
    void SetB(float value) { z = value; }
    void SetA(float value) { w = value; }
    float GetR() const { return x; }
    float GetG() const { return y; }
    float GetB() const { return z; }
    float GetA() const { return w; }
};

// Runtime state of the bar mode (none of it is saved).
struct SpriteBarState {
    float current_length = 0.0f;
    float shift = 0.0f;
    float full_length = 0.0f;
    float previous_value = 0.0f;
    float maximum_value = 0.0f;
    float home_x = 0.0f;
    float base_x = 0.0f;
    bool last_running = false;
    // The watched entity or its stats were found missing and that was said; cleared when found.
    bool missing_reported = false;
};

class Sprite : public Component {
public:
    Sprite() : Component("Sprite") {}
    bool Serialize(JsonWriter& writer) override;
    // Missing or mistyped keys keep the defaults; ends with SetTexture(tex_identifier).
    void Deserialize(const rapidjson::Value& value) override;
    void Init() override;
    // Copies the Transform into the cached transform (bar mode: UpdateBar instead, but not in a
    // scene being edited; a bar of a play the editor paused keeps what it showed).
    void Update() override;
    std::shared_ptr<Component> Clone() override { return std::make_shared<Sprite>(*this); }

    // This frame's draw: forces white when untinted, advances a sheet's animation (also without GL)
    // and, with GL, queues the quad in the sprite system's batch, which the sprite pass draws. A
    // sprite whose owner has no Transform is skipped.
    void Draw();
    // One animation step for a sheet (called by Draw): the frame to show is current_frame.
    void AdvanceAnimation();

    // Looks the texture up by name, loading "../Resources/ArtAssets/<name>.png" when it exists and is
    // not loaded yet; an unknown name leaves the reference empty (drawn white).
    void SetTexture(const std::string& name);
    void SetIsSpritesheet(bool value);
    // Bar mode (Components/SpriteBar.cpp): the set-up run by Init and the per-frame update that
    // replaces the Transform copy while is_slider is set. Neither runs in a scene being edited: the
    // bar's length follows hit points in play, never in the scene a designer saves.
    void InitBar();
    void UpdateBar();

    const std::string& GetTexIdentifier() const { return tex_identifier; }
    int32_t GetNumberOfFrames() const { return number_of_frames; }
    void SetNumberOfFrames(int32_t value) { number_of_frames = value; }
    int32_t GetStartFrame() const { return start_frame; }
    void SetStartFrame(int32_t value) { start_frame = value; }
    float GetSpritesheetSpeed() const { return spritesheet_speed; }
    void SetSpritesheetSpeed(float value) { spritesheet_speed = value; }
    bool GetIsSpritesheet() const { return is_spritesheet; }
    bool GetIsTinted() const { return is_tinted; }
    void SetIsTinted(bool value) { is_tinted = value; }
    Color GetTintColor() const { return tint_color; }
    void SetTintColor(const Color& value) { tint_color = value; }
    // Sets the colour and the tinted flag together.
    void SetTint(const Color& value, bool tinted)
    {
        tint_color = value;
        is_tinted = tinted;
    }
    float GetSliderOffset() const { return slider_offset; }
    void SetSliderOffset(float value) { slider_offset = value; }
    bool GetIsSlider() const { return is_slider; }
    void SetIsSlider(bool value) { is_slider = value; }
    // Kept as an id and looked up on use; null clears it.
    void SetAttachedEntity(Entity* entity);
    Entity* GetAttachedEntity() const;
    const std::string& GetEntName() const { return ent_name; }
    void SetEntName(const std::string& value) { ent_name = value; }
    const std::shared_ptr<Texture>& GetTextureRef() const { return texture_ref; }

    bool play_once = false;
    Shader* shader = nullptr;
    std::shared_ptr<Model> model;
    float spritesheet_speed = 0.0f;
    bool is_tinted = false;
    int32_t number_of_frames = 0;
    int32_t start_frame = 0;
    bool is_slider = false;
    uint64_t attached_id = 0;
    std::string ent_name;
    SpriteBarState bar;
    float slider_offset = 0.0f;
    Color tint_color{1.0f, 1.0f, 1.0f, 1.0f};
    bool is_spritesheet = false;
    std::string texture; // "../Resources/ArtAssets/" + tex_identifier + ".png"
    std::string tex_identifier;
    std::shared_ptr<Texture> texture_ref;
    float animation_timer = 0.2f;
    int32_t current_frame = 0;
    int32_t drawn_frame = 0;
    bool visible = true;
    // Cached transform: position (z is the depth), scale, rotation in degrees.
    Vec3 position;
    Vec3 scale;
    float rotation = 0.0f;

private:
    void CacheTransform();
    void PickShader();
    // The owner's Transform, looked up again only when the owner's components have changed.
    Transform* FollowedTransform();
    // The GL texture to draw with, 0 for none (drawn white).
    uint32_t TextureId();

    Transform* followed_ = nullptr;
    const Entity* followed_owner_ = nullptr;
    uint64_t followed_stamp_ = 0;
    // The texture manager's change count when a name without a texture was last looked up.
    uint64_t texture_lookup_ = 0;
};

// The model matrix of a cached transform: T(x, y) x Rz(rotation) x S(scale x, scale y).
glm::mat4 SpriteModelMatrix(const Vec3& position, const Vec3& scale, float rotation_degrees);

} // namespace OrvEngine
