#include "Components/Camera.h"

#include "Components/Transform.h"
#include "CoreEngine/EditorState.h"
#include "CoreEngine/Globals.h"
#include "CoreEngine/SharedValues.h"
#include "Factory/Entity.h"
#include "Factory/EntityFactory.h"
#include "Platform/Platform.h"
#include "Scene/PlayerLookup.h"
#include "Windows/WindowsSystems.h"

#include <glm/gtc/matrix_transform.hpp>

#include <cmath>
#include <limits>

namespace OrvEngine {

namespace {
float WindowAspect()
{
    WindowsSystems* window = WindowsSystems::GetInstance();
    return window->height ? static_cast<float>(window->width) / static_cast<float>(window->height) : 0.0f;
}

// The whole part of a view size; sizes past what 64 bits hold (a huge or infinite scale) saturate,
// as converting them is undefined.
uint64_t WholeExtent(float value)
{
    constexpr float kTwoTo64 = 18446744073709551616.0f;
    if (!(value > 0.0f)) return 0;
    if (value >= kTwoTo64) return std::numeric_limits<uint64_t>::max();
    return static_cast<uint64_t>(value);
}

// cos, sin, -sin, cos of an angle in degrees.
void SetRotation(float (&rotation)[4], float degrees)
{
    const float radians = degrees * 3.1415927f / 180.0f;
    rotation[0] = rotation[3] = std::cos(radians);
    rotation[1] = std::sin(radians);
    rotation[2] = -rotation[1];
}

std::shared_ptr<Transform> TransformOf(Entity* entity)
{
    return entity ? entity->GetComponent<Transform>(TRANSFORM) : nullptr;
}
} // namespace

Camera::~Camera()
{
    if (ActiveCamera != this) return;
    ActiveCamera = nullptr;
    EditorState* editor = EditorState::Current();
    if (editor && editor->camera_entity == owner) editor->camera_entity = nullptr;
}

void Camera::Activate()
{
    ActiveCamera = this;
    if (EditorState* editor = EditorState::Current()) editor->camera_entity = owner;
}

Entity* Camera::GetFollowedEntity() const
{
    return followed_id ? EntityFactory::GetInstance()->GetLiveEntity(followed_id) : nullptr;
}

Entity* Camera::FindPlayer()
{
    Entity* player = player_.Find(PlayerScene(), {}, FirstPlayerIn);
    followed_id = player ? player->id : 0;
    return player;
}

void Camera::Init()
{
    // A loaded template is never live: entering a scene must not move the template.
    if (!ActiveCamera && owner && owner->in_systems) Activate();
    FindPlayer();
    transform = TransformOf(owner);
    aspect = WindowAspect();
    if (!transform) return;
    SetRotation(rotation, transform->rotation);
    view = glm::translate(glm::mat4(1.0f), glm::vec3(-transform->position.x, -transform->position.y, 0.0f));
    WindowsSystems* window = WindowsSystems::GetInstance();
    const float half_w = static_cast<float>(window->width / 2);
    const float half_h = static_cast<float>(window->height / 2);
    world_to_screen = glm::scale(glm::mat4(1.0f), glm::vec3(half_w, half_h, 1.0f)) * view;
}

void Camera::Update()
{
    if (!transform) return;
    // A scene being edited stays where it was put: the camera follows the player only in play.
    if (!EditorState::Editing()) Follow();
    aspect = WindowAspect();

    float& angle = transform->rotation;
    if (angle > 360.0f) angle -= 360.0f;
    if (angle < 0.0f) angle += 360.0f;
    SetRotation(rotation, angle);

    view_height = WholeExtent(transform->scale.y);
    view_width = WholeExtent(transform->scale.x);
    BuildMatrices(transform->scale.x, transform->scale.y);
}

void Camera::Follow()
{
    // The player is looked up before it is followed: last frame's player may have been deleted.
    Entity* player = FindPlayer();
    auto player_transform = TransformOf(player);
    if (player_transform && !shaking) transform->position.x = player_transform->position.x;

    if (!Shared().camera_rest_height_taken) {
        Shared().camera_rest_height = transform->position.y;
        Shared().camera_rest_height_taken = true;
    }
    if (!shaking || !player) {
        // A shake that ends on a frame that kept its offset leaves the view a step high or low
        // until the next shake's first even frame.
        Shared().camera_shake_counter = 0;
    } else if (++Shared().camera_shake_counter % 2 == 0) {
        // Every second frame the shake is undone.
        if (player_transform) transform->position.x = player_transform->position.x;
        transform->position.y = Shared().camera_rest_height;
    }
}

void Camera::BuildMatrices(float scale_x, float scale_y)
{
    view = glm::translate(glm::mat4(1.0f), glm::vec3(-transform->position.x, -transform->position.y, 0.0f));
    // A zero view size would make the matrix infinite; the last one is kept.
    if (scale_x == 0.0f || scale_y == 0.0f) return;
    world_to_screen = glm::scale(glm::mat4(1.0f), glm::vec3(2.0f / scale_x, 2.0f / scale_y, 1.0f)) * view;
}

void Camera::Shake()
{
    Camera* camera = ActiveCamera;
    if (!camera) return;
    camera->shaking = true;
    Entity* player = camera->GetFollowedEntity();
    if (!player || !camera->transform || !TransformOf(player)) return;
    float d = camera->shake_magnitude;
    if (Platform::Random15() % 2 != 0) d = -d;
    // Up or down alike: the levels' art reaches past the resting view by more than two steps (one
    // left over from a shake that ended on an odd frame, one new), so no edge is bared.
    camera->transform->position.x += d;
    camera->transform->position.y += d;
}

void Camera::SetScale(float x, float y, float z)
{
    if (transform) transform->scale = Vec3(x, y, z);
}

Vec3 Camera::GetScale() const { return transform ? transform->scale : Vec3(); }

void Camera::FixAspectFromWidth(int32_t& width, int32_t& height)
{
    const int32_t r = width % 4;
    if (r != 0 || width == 0) width = width - r + 4;
    height = width / 4 * 3;
}

void Camera::FixAspectFromHeight(int32_t& width, int32_t& height)
{
    const int32_t r = height % 4;
    if (r != 0 || height == 0) height = height - r + 4;
    width = height / 3 * 4;
}

} // namespace OrvEngine
