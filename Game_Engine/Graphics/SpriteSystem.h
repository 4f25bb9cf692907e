// SpriteSystem: the draw list of live sprites, sorted by depth and drawn each frame, batched, into
// the editor's framebuffer (game not running) or the back buffer (game running), then the debug
// lines. Finds sprites' pictures by name, keeps the unit quad and makes a live scene camera the
// active camera.
#pragma once

#include "CoreEngine/ISystem.h"
#include "CoreEngine/Singleton.h"
#include "Graphics/DepthOrder.h"
#include "Graphics/SpriteBatch.h"

#include "Scene/KeptEntity.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

namespace OrvEngine {

class Entity;
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
    // systems, the first live camera of the current scene (ascending id) becomes active. A scene
    // found without one is searched again only once its entities may have changed.
    void ClaimActiveCamera();
    // The same among these entities (a scene being entered).
    static void ClaimCameraAmong(const std::map<uint64_t, Entity*>& entities);

    // This frame's draw of a sprite: forces white when untinted, advances a sheet's animation (also
    // without GL) and, with GL, queues the quad in the batch, which the sprite pass draws. A sprite
    // whose owner has no Transform is skipped.
    void DrawSprite(Sprite& sprite);
    // The sprites' texture finder: the texture of that name, loading
    // "../Resources/ArtAssets/<name>.png" when it exists and is not loaded yet (a missing file is
    // reported); a live sprite's picture is read ahead while the frame goes on.
    static std::shared_ptr<Texture> FindTexture(const std::string& name, bool live);

    std::vector<std::shared_ptr<Sprite>> sprites;
    std::vector<std::shared_ptr<Model>> models;
    bool preview_animation = false;
    // The quads of this frame's sprite pass; Sprite::Draw queues into it.
    SpriteBatch batch;

private:
    void BeginEditorTarget();
    void EndEditorTarget();
    void DrawSprites();
    // One animation step for a sheet (called by DrawSprite): the frame to show is current_frame.
    void AdvanceAnimation(Sprite& sprite);
    // The GL texture to draw with, 0 for none (drawn white).
    uint32_t TextureId(Sprite& sprite);
    // On a scene change, pictures no live sprite uses give their GL memory back.
    void GiveBackUnusedTextures();

    DepthOrder depth_order_;
    const IScene* shown_scene_ = nullptr; // compared, never followed
    std::unordered_set<const Texture*> used_textures_;
    SearchStamp camera_search_;
};

} // namespace OrvEngine
