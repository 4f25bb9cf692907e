// The hierarchy window: the edited scene's name, Save and Load (reload) of the scene, adding and
// deleting objects and creating them from prefabs, a splash scene's settings, and the list of the
// scene's objects through which the inspector's entity is selected; while editing it outlines
// objects in the game view. Its "Feedback" menu opens the project's issue page. The actions are
// plain functions; the window only draws and calls them. Those that write or change the scene are
// refused, with a box saying why, while a play runs or is paused.
#pragma once

#include "Editor/EditorWindows/IEditorWindows.h"

#include <string>

namespace OrvEngine {

class Entity;

class LEHierarchy : public IEditorWindows {
public:
    void Draw() override;

    // Where the feedback menu item leads.
    static constexpr const char* kFeedbackAddress = "https://example.org/ilo/issues";

    // Writes the edited scene's settings and "Entities.json"; then its loaded entities are those
    // just written. A failed write keeps the old files and the modified flag. True when saved.
    static bool SaveScene();
    // Asks, then rebuilds the edited scene's live entities from its files. True when reloaded.
    static bool ReloadScene();
    // A "new_obj" (however many the scene has) with a Transform and an Information as their
    // creators make them, the tag "None", selected. Null without an edited scene.
    static Entity* AddObject();
    // Asks (naming the objects that depend on it), then deletes the selected entity from the
    // edited scene. True when deleted.
    static bool DeleteSelected();
    // A new entity from the named prefab, under the name the factory gives it, selected; null
    // (with a notice) for no or an unknown name.
    static Entity* CreateFromPrefab(const std::string& prefab_name);

    // The archetype chosen in the "##selected_prefab" combo; kept across frames and scenes.
    std::string selected_prefab;

private:
    void DrawFeedbackMenu();
    void DrawSceneButtons();
    void DrawPrefabRow();
    static void DrawSplashSettings();
    static void DrawObjectList();
    static void DrawOutlines();
};

} // namespace OrvEngine
