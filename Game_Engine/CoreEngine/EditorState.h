// What the engine reads and writes of the level editor without knowing the editor: the selection,
// the edited scene, the game view's rectangle, the entity-picked flag, the camera entity and the
// per-scene auto-save flags. The editor manager is this state and registers itself while it
// exists; engine code asks Current() and takes null for "no editor", which is what a fresh editor
// would answer (nothing selected, no rectangle, no flags).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

namespace OrvEngine {

class Entity;
class IScene;

class EditorState {
public:
    // The editor of this run, or null.
    static EditorState* Current();
    // An editor exists and the game does not run: a scene is being edited, or a play is paused
    // by the editor. Game behaviour then leaves the entities as they are.
    static bool Editing();

    // Selects the entity (null for none), keeping its id beside it.
    virtual void SetSelection(Entity* entity) = 0;
    // Drops the selection when it is this entity (it is about to be destroyed).
    void ClearSelectionIf(Entity* entity);
    // The auto-save flag of a scene; false for a scene never flagged.
    bool GetSceneFlag(const std::string& scene_name) const;
    void SetSceneFlag(const std::string& scene_name, bool value);
    // True when the screen point lies strictly inside the game image, which sits kViewportInset
    // pixels right of and below the viewport's corner.
    bool InViewport(float screen_x, float screen_y) const;

    static constexpr float kViewportInset = 5.0f;

    Entity* selected_entity = nullptr;
    uint64_t selected_id = 0;
    std::shared_ptr<IScene> edited_scene;
    uint8_t entity_picked = 0;
    // The game image's rectangle on screen; 0 until the editor has been drawn.
    float viewport_x = 0.0f;
    float viewport_y = 0.0f;
    float viewport_width = 0.0f;
    float viewport_height = 0.0f;
    Entity* camera_entity = nullptr;
    std::map<std::string, bool> scene_flags;
    // The edited scene differs from its files: set by each edit (never by a play), cleared when
    // the scene is saved or read again.
    bool scene_modified = false;
    // An editor field has the keyboard (a text being typed, an item held, a list open): the
    // engine's key presses and characters are the editor's, not the game's or the view's.
    bool keyboard_taken = false;
    // The name of the edited scene when it has unsaved changes; empty otherwise.
    virtual std::string UnsavedSceneName() const { return ""; }

protected:
    EditorState();
    virtual ~EditorState();
};

} // namespace OrvEngine
