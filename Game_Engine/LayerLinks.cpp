#include "LayerLinks.h"

#include "Audio/AudioSystem.h"
#include "Audio/SceneMusic.h"
#include "Components/Audio.h"
#include "Components/Button.h"
#include "Components/Sprite.h"
#include "Factory/Entity.h"
#include "Graphics/ButtonSystem.h"
#include "Graphics/Graphics.h"
#include "Graphics/ScreenToWorld.h"
#include "Graphics/SpriteSystem.h"
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
} // namespace

void ConnectLayers()
{
    SetAssertBox(ShowAssertBox);
    Sprite::SetTextureFinder(SpriteSystem::FindTexture);
    Button::SetActivateHook([](Button& button, bool drop) { ButtonSystem::GetInstance()->Activate(button, drop); });
    Audio::SetSoundAdder([](Audio& audio, const std::string& event, bool loops, bool not_streamed) {
        AudioSystem::GetInstance()->AddSound(audio, event, loops, not_streamed);
    });
    Input::SetWorldMapper(ScreenToWorld);
    WindowsSystems::SetCloseHook([] { Graphics::GetInstance()->CleanRenderingEnvironment(); });
    WindowsSystems::SetFocusMuteHook([](bool muted) { AudioSystem::GetInstance()->SetFocusMute(muted); });
    WindowsSystems::SetResizeHook([] { Graphics::GetInstance()->damage.Forget(); });
    SceneHooks& scenes = GetSceneHooks();
    scenes.clear_button_selection = [] { ButtonSystem::GetInstance()->ClearSelection(); };
    scenes.start_music = StartSceneMusic;
    scenes.claim_camera = SpriteSystem::ClaimCameraAmong;
    Logic::SetContactReceiver(DeliverToScript);
}

} // namespace OrvEngine
