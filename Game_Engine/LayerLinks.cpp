#include "LayerLinks.h"

#include "Audio/AudioSystem.h"
#include "Audio/SceneMusic.h"
#include "Components/Camera.h"
#include "CoreEngine/Globals.h"
#include "Factory/Entity.h"
#include "Graphics/ButtonSystem.h"
#include "Graphics/Graphics.h"
#include "Graphics/ScreenToWorld.h"
#include "Logging/Logging.h"
#include "Logic/Logic.h"
#include "Platform/Platform.h"
#include "Scene/SceneHooks.h"
#include "Scripts/ScriptSystem.h"
#include "Windows/Input.h"
#include "Windows/WindowsSystems.h"

namespace OrvEngine {

namespace {
void ShowAssertBox(const std::string& text) { Platform::ShowMessageBox(text, "Error!!", Platform::MB_ICONERROR_FLAG); }

void DeliverToScript(uint32_t message_id, Entity& self, Entity& other)
{
    auto script = ScriptSystem::GetInstance()->GetScript(self.id);
    if (!script) return;
    if (message_id == MSG_CONTACT) {
        script->OnContact(&self, &other);
    } else {
        script->OnCollision(&self, &other);
    }
}

void ClaimSceneCamera(const EntityMap& entities)
{
    if (ActiveCamera && ActiveCamera->owner && ActiveCamera->owner->in_systems) return;
    for (const auto& [id, entity] : entities) {
        auto camera = entity && entity->in_systems ? entity->GetComponent<Camera>(CAMERA) : nullptr;
        if (camera) {
            camera->Activate();
            return;
        }
    }
}
} // namespace

void ConnectLayers()
{
    SetAssertBox(ShowAssertBox);
    Input::SetWorldMapper(ScreenToWorld);
    WindowsSystems::SetCloseHook([] { Graphics::GetInstance()->CleanRenderingEnvironment(); });
    WindowsSystems::SetFocusMuteHook([](bool muted) { AudioSystem::GetInstance()->SetFocusMute(muted); });
    WindowsSystems::SetResizeHook([] { Graphics::GetInstance()->damage.Forget(); });
    SceneHooks& scenes = GetSceneHooks();
    scenes.clear_button_selection = [] { ButtonSystem::GetInstance()->ClearSelection(); };
    scenes.start_music = StartSceneMusic;
    scenes.claim_camera = ClaimSceneCamera;
    Logic::SetContactReceiver(DeliverToScript);
}

} // namespace OrvEngine
