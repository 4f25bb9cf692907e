#include "Graphics/ScreenToWorld.h"

#include "Components/Camera.h"
#include "Components/Transform.h"
#include "CoreEngine/EditorState.h"
#include "CoreEngine/Globals.h"
#include "Factory/Entity.h"
#include "Graphics/Graphics.h"
#include "Windows/WindowsSystems.h"

namespace OrvEngine {

void ScreenToWorld(float screen_x, float screen_y, float& world_x, float& world_y)
{
    WindowsSystems* window = WindowsSystems::GetInstance();
    const float w = static_cast<float>(window->width);
    const float h = static_cast<float>(window->height);
    if (GameIsRunning) {
        auto camera_transform = (ActiveCamera && ActiveCamera->owner)
                                    ? ActiveCamera->owner->GetComponent<Transform>(TRANSFORM)
                                    : nullptr;
        if (camera_transform) {
            const float cw = static_cast<float>(ActiveCamera->view_width);
            const float ch = static_cast<float>(ActiveCamera->view_height);
            world_x = camera_transform->position.x + (screen_x - w / 2.0f) * cw / w;
            world_y = camera_transform->position.y + (h / 2.0f - screen_y) * ch / h;
        } else {
            const float w2 = static_cast<float>(window->width / 2);
            const float h2 = static_cast<float>(window->height / 2);
            world_x = (screen_x - w2) / w2;
            world_y = (h2 - screen_y) / h2;
        }
        return;
    }
    const EditorState* editor = EditorState::Current();
    if (!editor || !editor->InViewport(screen_x, screen_y)) return;
    const float vw = editor->viewport_width;
    const float vh = editor->viewport_height;
    const float px = screen_x - (editor->viewport_x + EditorState::kViewportInset);
    const float py = screen_y - (editor->viewport_y + EditorState::kViewportInset);
    Graphics* graphics = Graphics::GetInstance();
    world_x = graphics->camera_x + (px - vw / 2.0f) * graphics->camera_width / vw;
    world_y = graphics->camera_y + (vh / 2.0f - py) * graphics->camera_height / vh;
}

} // namespace OrvEngine
