#include "Editor/EditorCamera.h"

#include "Components/Transform.h"
#include "Factory/Entity.h"
#include "Factory/ComponentTypes.h"
#include "Graphics/Graphics.h"
#include "Scene/IScene.h"

#include <algorithm>
#include <cmath>

namespace OrvEngine {
namespace EditorCamera {

namespace {
std::shared_ptr<Transform> CameraTransform(const IScene& scene)
{
    for (const auto& [id, entity] : scene.GetEntities()) {
        if (entity && entity->GetComponent(CAMERA)) return entity->GetComponent<Transform>(TRANSFORM);
    }
    return nullptr;
}
} // namespace

bool FrameSceneCamera(const IScene& scene, float aspect)
{
    auto transform = CameraTransform(scene);
    if (!transform || !(aspect > 0.0f)) return false;
    // The camera's scale is its view in world units.
    const float frame_width = std::fabs(transform->scale.x);
    const float frame_height = std::fabs(transform->scale.y);
    if (!(frame_width > 0.0f) || !(frame_height > 0.0f) || !std::isfinite(frame_width * frame_height)) return false;
    Graphics* graphics = Graphics::GetInstance();
    graphics->camera_x = transform->position.x;
    graphics->camera_y = transform->position.y;
    graphics->camera_height = std::max(frame_height, frame_width / aspect);
    graphics->camera_width = graphics->camera_height * aspect;
    return true;
}

void KeepAspect(float aspect)
{
    if (!(aspect > 0.0f)) return;
    Graphics* graphics = Graphics::GetInstance();
    graphics->camera_width = graphics->camera_height * aspect;
}

} // namespace EditorCamera
} // namespace OrvEngine
