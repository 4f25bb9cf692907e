#include "CoreEngine/EditorState.h"

#include "CoreEngine/Globals.h"

namespace OrvEngine {

namespace {
EditorState* g_current = nullptr;
} // namespace

EditorState* EditorState::Current() { return g_current; }

bool EditorState::Editing() { return g_current && !GameIsRunning; }

EditorState::EditorState() { g_current = this; }

EditorState::~EditorState()
{
    if (g_current == this) g_current = nullptr;
}

void EditorState::ClearSelectionIf(Entity* entity)
{
    if (entity && selected_entity == entity) SetSelection(nullptr);
}

bool EditorState::GetSceneFlag(const std::string& scene_name) const
{
    auto it = scene_flags.find(scene_name);
    return it != scene_flags.end() && it->second;
}

void EditorState::SetSceneFlag(const std::string& scene_name, bool value) { scene_flags[scene_name] = value; }

bool EditorState::InViewport(float screen_x, float screen_y) const
{
    const float x = viewport_x + kViewportInset;
    const float y = viewport_y + kViewportInset;
    return x < screen_x && screen_x < x + viewport_width && y < screen_y && screen_y < y + viewport_height;
}

} // namespace OrvEngine
