// SpriteSystem: the draw list of live sprites, sorted by depth and drawn each frame, batched, into
// the editor's framebuffer (game not running) or the back buffer (game running), then the debug
// lines. Also keeps the unit quad and makes a live scene camera the active camera.
#pragma once

#include "CoreEngine/ISystem.h"
#include "CoreEngine/Singleton.h"
#include "Graphics/DepthOrder.h"
#include "Graphics/SpriteBatch.h"

#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

namespace OrvEngine {

class IScene;
class Model;
class Sprite;
struct Texture;

class SpriteSystem : public ISystem, public Singleton<SpriteSystem> {
public:
    // Unloads every texture.
    ~SpriteSystem() override;
    std::string GetName() override { return "SpriteSystem"; }
    void Init() override;
    void Update() override;

    void AddSprite(const std::shared_ptr<Sprite>& sprite);
    // Removes the first entry holding this sprite; nothing when absent or empty.
    void RemoveSprite(const std::shared_ptr<Sprite>& sprite);
    void SetPreviewAnimation(bool value) { preview_animation = value; }
    bool GetPreviewAnimation() const { return preview_animation; }
    // The unit quad (model 0), or empty before Init.
    std::shared_ptr<Model> GetQuad() const { return models.empty() ? nullptr : models.front(); }
    // Keeps ActiveCamera on a camera of a live entity: when it is null or its entity has left the
    // systems, the first live camera of the current scene (ascending id) becomes active.
    void ClaimActiveCamera();

    std::vector<std::shared_ptr<Sprite>> sprites;
    std::vector<std::shared_ptr<Model>> models;
    bool preview_animation = false;
    // The quads of this frame's sprite pass; Sprite::Draw queues into it.
    SpriteBatch batch;

private:
    void BeginEditorTarget();
    void EndEditorTarget();
    void DrawSprites();
    // On a scene change, pictures no live sprite uses give their GL memory back.
    void GiveBackUnusedTextures();

    DepthOrder depth_order_;
    const IScene* shown_scene_ = nullptr; // compared, never followed
    std::unordered_set<const Texture*> used_textures_;
};

} // namespace OrvEngine
