#include "Graphics/SpriteSystem.h"

#include "Components/Camera.h"
#include "Components/Sprite.h"
#include "CoreEngine/ArtAssets.h"
#include "CoreEngine/CoreEngine.h"
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
#include <fstream>

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

std::shared_ptr<Texture> SpriteSystem::FindTexture(const std::string& name, bool live)
{
    TextureManager* manager = TextureManager::GetInstance();
    std::shared_ptr<Texture> found = manager->GetTexture(name);
    const std::string path = ArtPath(name);
    if (!found && !name.empty()) {
        if (std::ifstream(path).is_open()) {
            manager->LoadTexture(path, name);
            found = manager->GetTexture(name);
        } else {
            manager->ReportMissing(name, path);
        }
    }
    // A live sprite switching pictures: the new one is read while the frame goes on.
    if (live) manager->Prefetch(found);
    return found;
}

void SpriteSystem::ClaimCameraAmong(const std::map<uint64_t, Entity*>& entities)
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

void SpriteSystem::ClaimActiveCamera()
{
    if (ActiveCamera && ActiveCamera->owner && ActiveCamera->owner->in_systems) return;
    ActiveCamera = nullptr;
    auto scene = CurrentScene();
    if (!scene || !camera_search_.Changed(scene.get())) return;
    ClaimCameraAmong(scene->GetEntities());
    if (ActiveCamera) camera_search_.Clear();
    else camera_search_.Note(scene.get());
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
        DrawSprite(sprite);
    }
    if (gl) {
        Graphics::GetInstance()->damage.SpritePass(&batch);
        batch.Flush();
    }
}

void SpriteSystem::AdvanceAnimation(Sprite& sprite)
{
    const bool paused = OrvStateMachine && OrvStateMachine->paused;
    const bool advance = (!paused && !DialogueIsRunning) || GetPreviewAnimation();
    if (advance) {
        sprite.animation_timer += FrameTime();
        if (sprite.animation_timer >= sprite.spritesheet_speed) {
            sprite.animation_timer -= sprite.spritesheet_speed;
            // Compared before stepping: a frame set past the sheet wraps instead of overflowing.
            if (sprite.current_frame >= sprite.number_of_frames) {
                sprite.current_frame = sprite.play_once ? sprite.number_of_frames : 1;
            } else {
                ++sprite.current_frame;
            }
        }
    } else if (!sprite.play_once) {
        // A looping animation shows its start frame while the game is paused or a dialogue runs.
        sprite.current_frame = sprite.start_frame;
    }
    sprite.drawn_frame = sprite.current_frame;
}

uint32_t SpriteSystem::TextureId(Sprite& sprite)
{
    TextureManager* textures = TextureManager::GetInstance();
    // A name looked up before its picture was loaded picks the texture up once it is there.
    if (!sprite.texture_ref && !sprite.tex_identifier.empty() && sprite.texture_lookup != textures->Changes()) {
        sprite.texture_lookup = textures->Changes();
        sprite.texture_ref = textures->GetTexture(sprite.tex_identifier);
    }
    return sprite.texture_ref ? textures->Resolve(*sprite.texture_ref) : 0;
}

void SpriteSystem::DrawSprite(Sprite& sprite)
{
    if (!sprite.FollowedTransform()) return;
    if (!sprite.is_tinted) sprite.tint_color = Color(1.0f, 1.0f, 1.0f, 1.0f);
    if (sprite.is_spritesheet) AdvanceAnimation(sprite);
    // Blending a fragment of alpha 0 leaves the picture exactly as it was (a faded-out cover, say):
    // such a quad costs the rasteriser a whole pass for nothing.
    if (!Graphics::IsGLReady() || sprite.tint_color.w == 0.0f) return;
    SpriteQuad quad;
    quad.texture = TextureId(sprite);
    quad.sheet = sprite.is_spritesheet;
    SpriteAxes(sprite.position.x, sprite.position.y, sprite.rotation, sprite.scale.x, sprite.scale.y, quad);
    quad.tint[0] = sprite.tint_color.x;
    quad.tint[1] = sprite.tint_color.y;
    quad.tint[2] = sprite.tint_color.z;
    quad.tint[3] = sprite.tint_color.w;
    quad.frame = sprite.is_spritesheet ? sprite.drawn_frame : 0;
    if (sprite.texture_ref) quad.alpha = sprite.texture_ref->alpha;
    batch.Add(quad);
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
