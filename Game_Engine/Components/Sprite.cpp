#include "Components/Sprite.h"

#include "Components/Transform.h"
#include "CoreEngine/CoreEngine.h"
#include "CoreEngine/EditorState.h"
#include "CoreEngine/Globals.h"
#include "CoreEngine/Serializer.h"
#include "Factory/Entity.h"
#include "Factory/EntityFactory.h"
#include "Graphics/Graphics.h"
#include "Graphics/Model.h"
#include "Graphics/SpriteBatch.h"
#include "Graphics/SpriteSystem.h"
#include "Graphics/TextureManager.h"
#include "Scene/SceneStateMachine.h"

#include <glm/gtc/matrix_transform.hpp>

#include <algorithm>
#include <fstream>

namespace OrvEngine {

namespace {
const char* const kArtFolder = "../Resources/ArtAssets/";

std::string ArtPath(const std::string& name) { return name.empty() ? std::string() : kArtFolder + name + ".png"; }

bool FileExists(const std::string& path) { return std::ifstream(path).is_open(); }
} // namespace

glm::mat4 SpriteModelMatrix(const Vec3& position, const Vec3& scale, float rotation_degrees)
{
    glm::mat4 m = glm::translate(glm::mat4(1.0f), glm::vec3(position.x, position.y, 0.0f));
    m = glm::rotate(m, rotation_degrees * 0.017453292f, glm::vec3(0.0f, 0.0f, 1.0f));
    return glm::scale(m, glm::vec3(scale.x, scale.y, 1.0f));
}

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
    if (shader) PickShader();
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

void Sprite::PickShader()
{
    Graphics* graphics = Graphics::GetInstance();
    const size_t index = is_spritesheet ? 0 : 1;
    shader = index < graphics->shaders.size() ? &graphics->shaders[index] : nullptr;
}

void Sprite::Init()
{
    if (owner && owner->GetComponent<Transform>(TRANSFORM)) {
        CacheTransform();
    } else {
        position = Vec3(0.5f, 0.5f, 1.0f);
        scale = Vec3(0.25f, 0.25f, 1.0f);
    }
    model = SpriteSystem::GetInstance()->GetQuad();
    current_frame = start_frame;
    PickShader();
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

void Sprite::SetTexture(const std::string& name)
{
    TextureManager* manager = TextureManager::GetInstance();
    texture_ref = manager->GetTexture(name);
    if (!texture_ref && !name.empty()) {
        if (FileExists(ArtPath(name))) {
            manager->LoadTexture(ArtPath(name), name);
            texture_ref = manager->GetTexture(name);
        } else {
            manager->ReportMissing(name, ArtPath(name));
        }
    }
    tex_identifier = name;
    texture = ArtPath(name);
    // A live sprite switching pictures: the new one is read while the frame goes on.
    if (owner && owner->in_systems) manager->Prefetch(texture_ref);
}

void Sprite::SetIsSpritesheet(bool value)
{
    is_spritesheet = value;
    PickShader();
}

void Sprite::SetAttachedEntity(Entity* entity) { attached_id = entity ? entity->id : 0; }

Entity* Sprite::GetAttachedEntity() const
{
    return attached_id ? EntityFactory::GetInstance()->GetLiveEntity(attached_id) : nullptr;
}

void Sprite::AdvanceAnimation()
{
    const bool paused = OrvStateMachine && OrvStateMachine->paused;
    const bool advance = (!paused && !DialogueIsRunning) || SpriteSystem::GetInstance()->GetPreviewAnimation();
    if (advance) {
        animation_timer += FrameTime();
        if (animation_timer >= spritesheet_speed) {
            animation_timer -= spritesheet_speed;
            // Compared before stepping: a frame set past the sheet wraps instead of overflowing.
            if (current_frame >= number_of_frames) current_frame = play_once ? number_of_frames : 1;
            else ++current_frame;
        }
    } else if (!play_once) {
        // A looping animation shows its start frame while the game is paused or a dialogue runs.
        current_frame = start_frame;
    }
    drawn_frame = current_frame;
}

uint32_t Sprite::TextureId()
{
    TextureManager* textures = TextureManager::GetInstance();
    // A name looked up before its picture was loaded picks the texture up once it is there.
    if (!texture_ref && !tex_identifier.empty() && texture_lookup_ != textures->Changes()) {
        texture_lookup_ = textures->Changes();
        texture_ref = textures->GetTexture(tex_identifier);
    }
    return texture_ref ? textures->Resolve(*texture_ref) : 0;
}

void Sprite::Draw()
{
    if (!FollowedTransform()) return;
    if (!is_tinted) tint_color = Color(1.0f, 1.0f, 1.0f, 1.0f);
    if (is_spritesheet) AdvanceAnimation();
    // Blending a fragment of alpha 0 leaves the picture exactly as it was (a faded-out cover, say):
    // such a quad costs the rasteriser a whole pass for nothing.
    if (!Graphics::IsGLReady() || tint_color.w == 0.0f) return;
    SpriteQuad quad;
    quad.texture = TextureId();
    quad.sheet = is_spritesheet;
    SpriteAxes(position.x, position.y, rotation, scale.x, scale.y, quad);
    quad.tint[0] = tint_color.x;
    quad.tint[1] = tint_color.y;
    quad.tint[2] = tint_color.z;
    quad.tint[3] = tint_color.w;
    quad.frame = is_spritesheet ? drawn_frame : 0;
    if (texture_ref) quad.alpha = texture_ref->alpha;
    SpriteSystem::GetInstance()->batch.Add(quad);
}

} // namespace OrvEngine
