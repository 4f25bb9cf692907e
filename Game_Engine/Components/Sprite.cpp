#include "Components/Sprite.h"

#include "Components/Transform.h"
#include "CoreEngine/ArtAssets.h"
#include "CoreEngine/EditorState.h"
#include "CoreEngine/Globals.h"
#include "CoreEngine/Serializer.h"
#include "Factory/Entity.h"
#include "Factory/EntityFactory.h"

#include <algorithm>

namespace OrvEngine {

namespace {
Sprite::TextureFinder texture_finder = nullptr;
} // namespace

bool Sprite::Serialize(JsonWriter& writer)
{
    Serializer::WriteString(writer, "tex_identifier", tex_identifier);
    Serializer::WriteString(writer, "texture", texture);
    Serializer::WriteBool(writer, "is_spritesheet", is_spritesheet);
    Serializer::WriteFloat(writer, "spritesheet_speed", spritesheet_speed);
    Serializer::WriteInt(writer, "start_frame", start_frame);
    Serializer::WriteInt(writer, "number_of_frames", number_of_frames);
    Serializer::WriteBool(writer, "play_once", play_once);
    Serializer::WriteString(writer, "ent_name", ent_name);
    Serializer::WriteBool(writer, "is_slider", is_slider);
    Serializer::WriteFloat(writer, "slider_offset", slider_offset);
    Serializer::WriteBool(writer, "is_tinted", is_tinted);
    Serializer::WriteColor(writer, tint_color);
    return true;
}

void Sprite::Deserialize(const rapidjson::Value& value)
{
    const rapidjson::Value* object = Serializer::FirstObject(value);
    if (object) {
        tex_identifier = Serializer::ReadString(*object, "tex_identifier", tex_identifier);
        texture = Serializer::ReadString(*object, "texture", texture);
        is_spritesheet = Serializer::ReadBool(*object, "is_spritesheet", is_spritesheet);
        spritesheet_speed = Serializer::ReadFloat(*object, "spritesheet_speed", spritesheet_speed);
        start_frame = Serializer::ReadInt(*object, "start_frame", start_frame);
        number_of_frames = Serializer::ReadInt(*object, "number_of_frames", number_of_frames);
        play_once = Serializer::ReadBool(*object, "play_once", play_once);
        ent_name = Serializer::ReadString(*object, "ent_name", ent_name);
        is_slider = Serializer::ReadBool(*object, "is_slider", is_slider);
        slider_offset = Serializer::ReadFloat(*object, "slider_offset", slider_offset);
        is_tinted = Serializer::ReadBool(*object, "is_tinted", is_tinted);
        tint_color = Serializer::ReadColor(*object, tint_color);
        // Frames from a file stay within the sheet, so the animation counter never overflows.
        number_of_frames = std::max(number_of_frames, 0);
        start_frame = std::clamp(start_frame, 0, number_of_frames);
    }
    // The stored path is rebuilt from the identifier.
    SetTexture(tex_identifier);
}

void Sprite::CacheTransform()
{
    const Transform* transform = FollowedTransform();
    if (!transform) return;
    position = transform->position;
    scale = transform->scale;
    rotation = transform->rotation;
}

Transform* Sprite::FollowedTransform()
{
    if (!owner) return nullptr;
    if (owner != followed_owner_ || owner->components_stamp != followed_stamp_) {
        followed_ = dynamic_cast<Transform*>(owner->GetComponent(TRANSFORM).get());
        followed_owner_ = owner;
        followed_stamp_ = owner->components_stamp;
    }
    return followed_;
}

void Sprite::Init()
{
    if (owner && owner->GetComponent<Transform>(TRANSFORM)) {
        CacheTransform();
    } else {
        position = Vec3(0.5f, 0.5f, 1.0f);
        scale = Vec3(0.25f, 0.25f, 1.0f);
    }
    current_frame = start_frame;
    // A bar follows hit points in play only; in a scene being edited it stays as it was made.
    if (is_slider && !EditorState::Editing()) InitBar();
}

void Sprite::Update()
{
    if (!is_slider) CacheTransform();
    else if (!EditorState::Editing()) UpdateBar();
    // A bar of a play the editor paused keeps the length it showed.
    else if (!EditorPaused) CacheTransform();
}

void Sprite::SetTextureFinder(TextureFinder finder) { texture_finder = finder; }

void Sprite::SetTexture(const std::string& name)
{
    texture_ref = texture_finder ? texture_finder(name, owner && owner->in_systems) : nullptr;
    tex_identifier = name;
    texture = ArtPath(name);
}

void Sprite::SetAttachedEntity(Entity* entity) { attached_id = entity ? entity->id : 0; }

Entity* Sprite::GetAttachedEntity() const
{
    return attached_id ? EntityFactory::GetInstance()->GetLiveEntity(attached_id) : nullptr;
}

} // namespace OrvEngine
