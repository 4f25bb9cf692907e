// Sprite: makes an entity visible as a textured unit quad placed by its Transform, optionally
// animated from a sprite sheet (square frames side by side), tinted, or acting as a bar. The sprite
// system draws it and finds its picture. The GL texture and animation state are runtime only; see
// Deserialize for the file.
#pragma once

#include "CoreEngine/Math.h"
#include "Factory/Component.h"
#include "Scene/KeptEntity.h"

#include <cstdint>
#include <memory>
#include <string>

namespace OrvEngine {

class Entity;
class Transform;
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
    // The entity named ent_name, as last found.
    KeptEntity watched;
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

    // Looks the texture up by name through the texture finder; an unknown name leaves the reference
    // empty (drawn white).
    void SetTexture(const std::string& name);
    // The picture of a name, loaded when needed, and whether the sprite is live (its picture is then
    // read ahead). The sprite system's; set when the layers are connected.
    using TextureFinder = std::shared_ptr<Texture> (*)(const std::string& name, bool live);
    static void SetTextureFinder(TextureFinder finder);
    void SetIsSpritesheet(bool value) { is_spritesheet = value; }
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
    // The texture manager's change count when a name without a texture was last looked up.
    uint64_t texture_lookup = 0;

    // The owner's Transform, looked up again only when the owner's components have changed.
    Transform* FollowedTransform();

private:
    void CacheTransform();

    Transform* followed_ = nullptr;
    const Entity* followed_owner_ = nullptr;
    uint64_t followed_stamp_ = 0;
};

} // namespace OrvEngine
