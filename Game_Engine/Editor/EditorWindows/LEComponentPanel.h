// The inspector window: the selected entity's name (taken as it is typed; an emptied field is
// explained under it), tag and active flag, its prefab (save, overwrite, remove), its deletion, adding components
// through the "Search" window, one collapsible section per component (InspectorSections) and
// removing components (InspectorActions). The entity is looked up by the editor's selected id
// every frame.
#pragma once

#include "Editor/EditorWindows/IEditorWindows.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace OrvEngine {

class Entity;

class LEInspector : public IEditorWindows {
public:
    LEInspector(std::vector<std::string> body_type_names, std::vector<std::string> tag_names)
        : body_types(std::move(body_type_names)), tags(std::move(tag_names))
    {
    }
    void Draw() override;

    std::vector<std::string> body_types;
    std::vector<std::string> tags;
    // The component type whose "Remove Component" was pressed this frame; 0 for none.
    uint32_t pendingRemoval = 0;
    // The "Search" window is shown; set by "Add Component", cleared by its close button.
    bool searchOpen = false;
    // The entity whose name field is being edited and now empty (its old name stands); 0 for none.
    uint64_t emptied_name_id = 0;

private:
    void DrawHeader(Entity& entity);
    void DrawTag(Entity& entity);
    static void DrawPrefabButtons(Entity& entity);
    void DrawSearchWindow(Entity& entity);
    void DrawSections(Entity& entity);
};

} // namespace OrvEngine
