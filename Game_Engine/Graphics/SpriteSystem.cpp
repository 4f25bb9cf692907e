#include "Graphics/SpriteSystem.h"

#include "Components/Camera.h"
#include "Components/Sprite.h"
#include "CoreEngine/Globals.h"
#include "Factory/ComponentRegistration.h"
#include "Factory/Entity.h"
#include "Graphics/DebugDraw.h"
#include "Graphics/Graphics.h"
#include "Graphics/Model.h"
#include "Graphics/TextureManager.h"
#include "Scene/IScene.h"
#include "Scene/SceneStateMachine.h"
#include "Windows/WindowsSystems.h"

#include <GL/glew.h>

#include <algorithm>

namespace OrvEngine {

SpriteSystem::~SpriteSystem()
{
    TextureManager::GetInstance()->UnloadAllTextures();
    sprites.clear();
    models.clear();
}

void SpriteSystem::Init()
{
    RegisterComponent<Sprite>("Sprite", SPRITE);
    RouteComponent(SPRITE, &SpriteSystem::AddSprite, &SpriteSystem::RemoveSprite);
    models.push_back(Model::CreateQuad());
    Graphics* graphics = Graphics::GetInstance();
    for (Framebuffer& framebuffer : graphics->framebuffers) framebuffer.SetModel(models.front());
    preview_animation = false;
}

void SpriteSystem::AddSprite(const std::shared_ptr<Sprite>& sprite)
{
    if (!sprite) return;
    sprites.push_back(sprite);
    // Its picture is read on a worker meanwhile, so the first draw seldom waits for it.
    TextureManager::GetInstance()->Prefetch(sprite->GetTextureRef());
}

void SpriteSystem::RemoveSprite(const std::shared_ptr<Sprite>& sprite)
{
    if (!sprite) return;
    auto found = std::find(sprites.begin(), sprites.end(), sprite);
    if (found != sprites.end()) sprites.erase(found);
}

void SpriteSystem::ClaimActiveCamera()
{
    if (ActiveCamera && ActiveCamera->owner && ActiveCamera->owner->in_systems) return;
    ActiveCamera = nullptr;
    auto scene = CurrentScene();
    if (!scene) return;
    for (const auto& [id, entity] : scene->GetEntities()) {
        if (!entity || !entity->in_systems) continue;
        if (auto camera = entity->GetComponent<Camera>(CAMERA)) {
            camera->Activate();
            return;
        }
    }
}

void SpriteSystem::BeginEditorTarget()
{
    Framebuffer* target = Graphics::GetInstance()->GetGameViewFramebuffer();
    if (!target) return;
    WindowsSystems* window = WindowsSystems::GetInstance();
    // The picture fills the texture the game view shows, whatever the window size is now.
    target->Resize(static_cast<int>(window->width), static_cast<int>(window->height));
    glBindFramebuffer(GL_FRAMEBUFFER, target->framebuffer);
    glViewport(0, 0, target->width, target->height);
    glClearColor(0.0f, 0.5f, 0.5f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
}

void SpriteSystem::EndEditorTarget()
{
    WindowsSystems* window = WindowsSystems::GetInstance();
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, static_cast<GLsizei>(window->width), static_cast<GLsizei>(window->height));
    glClearColor(0.0f, 0.5f, 0.5f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
}

void SpriteSystem::DrawSprites()
{
    // The order uses the depths cached last frame: a depth change shows one frame later.
    depth_order_.Sort(sprites);
    const bool gl = Graphics::IsGLReady();
    if (gl) {
        TextureManager::GetInstance()->UploadFinished();
        batch.Begin(Graphics::GetInstance()->GetWorldToNdc());
    }
    // Nothing a sprite's update or draw does adds or removes sprites, so the list holds still.
    for (const std::shared_ptr<Sprite>& entry : sprites) {
        Sprite& sprite = *entry;
        if (!sprite.owner || !sprite.owner->active || !sprite.visible) continue;
        sprite.Update();
        sprite.Draw();
    }
    if (gl) {
        Graphics::GetInstance()->damage.SpritePass(&batch);
        batch.Flush();
    }
}

void SpriteSystem::GiveBackUnusedTextures()
{
    const IScene* scene = OrvStateMachine ? OrvStateMachine->current_scene.get() : nullptr;
    if (scene == shown_scene_) return;
    shown_scene_ = scene;
    // Every scene's entities stay loaded and hold their textures: only the live sprites count.
    used_textures_.clear();
    for (const std::shared_ptr<Sprite>& sprite : sprites) used_textures_.insert(sprite->GetTextureRef().get());
    TextureManager::GetInstance()->ReleaseAllBut(used_textures_);
}

void SpriteSystem::Update()
{
    ClaimActiveCamera();
    GiveBackUnusedTextures();
    const bool to_editor_view = !GameIsRunning && Graphics::IsGLReady();
    if (to_editor_view) BeginEditorTarget();
    if (ActiveCamera) ActiveCamera->Update();
    DrawSprites();
    DebugDraw::GetInstance()->Render(Graphics::GetInstance());
    if (to_editor_view) EndEditorTarget();
}

} // namespace OrvEngine
