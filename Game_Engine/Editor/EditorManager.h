// The editor manager: the selection, the edited scene, the game-view rectangle, the per-scene
// auto-save flags and the player lookup the camera follows. It presents every frame.
#pragma once

#include "CoreEngine/ISystem.h"
#include "CoreEngine/Singleton.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>

namespace OrvEngine {

class Entity;
class IScene;

class EditorManager : public ISystem, public Singleton<EditorManager> {
public:
    std::string GetName() override { return "EditorManager"; }
    void Init() override {}
    // Draws the editor when visible, then swaps the buffers (the one place a frame is presented).
    void Update() override;

    bool GetSceneFlag(const std::string& scene_name) const;
    void SetSceneFlag(const std::string& scene_name, bool value);
    void ClearSelectionIf(Entity* entity);
    void SetSelection(Entity* entity);
    // The first player-tagged entity of the edited scene (editor shown) or of the running scene.
    Entity* FindPlayerEntity() const;

    Entity* selected_entity = nullptr;
    uint64_t selected_id = 0;
    std::shared_ptr<IScene> edited_scene;
    uint8_t entity_picked = 0;
    float viewport_x = 0.0f;
    float viewport_y = 0.0f;
    float viewport_width = 0.0f;
    float viewport_height = 0.0f;
    Entity* camera_entity = nullptr;
    std::map<std::string, bool> scene_flags;
};

} // namespace OrvEngine
