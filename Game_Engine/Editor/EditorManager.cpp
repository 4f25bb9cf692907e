#include "Editor/EditorManager.h"

#include "Components/Information.h"
#include "CoreEngine/Globals.h"
#include "Factory/Entity.h"
#include "Platform/Platform.h"
#include "Scene/IScene.h"
#include "Scene/SceneStateMachine.h"

namespace OrvEngine {

void EditorManager::Update() { Platform::SwapBuffers(); }

bool EditorManager::GetSceneFlag(const std::string& scene_name) const
{
    auto it = scene_flags.find(scene_name);
    return it != scene_flags.end() && it->second;
}

void EditorManager::SetSceneFlag(const std::string& scene_name, bool value) { scene_flags[scene_name] = value; }

void EditorManager::ClearSelectionIf(Entity* entity)
{
    if (entity && selected_entity == entity) SetSelection(nullptr);
}

void EditorManager::SetSelection(Entity* entity)
{
    selected_entity = entity;
    selected_id = entity ? entity->id : 0;
}

namespace {
Entity* FirstPlayer(const IScene& scene)
{
    for (const auto& [id, entity] : scene.GetEntities()) {
        auto info = entity->GetComponent<Information>(INFORMATION);
        if (info && info->GetType() == TAG_PLAYER) return entity;
    }
    return nullptr;
}
} // namespace

Entity* EditorManager::FindPlayerEntity() const
{
    if (EditorVisible) return edited_scene ? FirstPlayer(*edited_scene) : nullptr;
    if (!GameIsRunning || !OrvStateMachine) return nullptr;
    auto scene = OrvStateMachine->GetCurrentScene();
    return scene ? FirstPlayer(*scene) : nullptr;
}

} // namespace OrvEngine
