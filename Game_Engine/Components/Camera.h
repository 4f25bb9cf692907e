// Camera: the play camera. Its entity's Transform gives the view centre (position) and the view
// size in world units (scale); it follows the player on x. Saves nothing; has no system of its own
// (the sprite system updates the active camera and makes a live scene's camera active).
#pragma once

#include "CoreEngine/Math.h"
#include "Factory/Component.h"
#include "Scene/KeptEntity.h"

#include <glm/glm.hpp>

#include <cstdint>
#include <memory>

namespace OrvEngine {

class Entity;
class Transform;

class Camera : public Component {
public:
    Camera() : Component("Camera") {}
    // Clears ActiveCamera only when it is this camera.
    ~Camera() override;
    bool Serialize(JsonWriter&) override { return true; }
    void Deserialize(const rapidjson::Value&) override {}
    // Takes the owner's Transform and builds the first matrices. Becomes active only when the owner
    // is already live (in the systems) and no camera is active.
    void Init() override;
    // Follows the player and applies the shake (not in a scene being edited), rebuilds view and
    // world_to_screen.
    void Update() override;
    // A copy sharing the Transform; never touches ActiveCamera.
    std::shared_ptr<Component> Clone() override { return std::make_shared<Camera>(*this); }

    // Makes this camera the active one and tells the editor which entity holds it.
    void Activate();
    // One shake step on the active camera (the player script calls it each frame while hurt).
    static void Shake();
    void SetScale(float x, float y, float z);
    Vec3 GetScale() const;
    // Round to the next multiple of 4 (0 counts as not one) and derive the other side at 4:3.
    static void FixAspectFromWidth(int32_t& width, int32_t& height);
    static void FixAspectFromHeight(int32_t& width, int32_t& height);
    // The followed (player) entity, looked up by id; null when it is gone.
    Entity* GetFollowedEntity() const;

    std::shared_ptr<Transform> transform;
    float rotation[4] = {0.0f, 0.0f, 0.0f, 0.0f}; // cos, sin, -sin, cos
    glm::mat4 view{0.0f};
    float aspect = 0.0f;
    glm::mat4 world_to_screen{0.0f};
    uint64_t view_height = 0;
    uint64_t view_width = 0;
    uint64_t followed_id = 0; // entity id of the player, 0 for none
    float shake_magnitude = 0.05f;
    bool shaking = false;

    // Shared by every camera: the shake step counter and the rest height (taken by the first
    // camera update of the run).

private:
    // The player (Scene/PlayerLookup.h), kept by id and searched for again only when it may have
    // changed; sets followed_id.
    Entity* FindPlayer();
    void Follow();
    void BuildMatrices(float scale_x, float scale_y);

    KeptEntity player_;
};

} // namespace OrvEngine
