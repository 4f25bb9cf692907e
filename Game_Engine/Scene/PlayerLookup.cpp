#include "Scene/PlayerLookup.h"

#include "CoreEngine/EditorState.h"
#include "CoreEngine/Globals.h"
#include "Factory/Entity.h"
#include "Factory/Information.h"
#include "Scene/IScene.h"
#include "Scene/SceneStateMachine.h"

namespace OrvEngine {

Entity* FirstPlayerIn(const IScene& scene)
{
    for (const auto& [id, entity] : scene.GetEntities()) {
        auto info = entity->GetComponent<Information>(INFORMATION);
        if (info && info->GetType() == TAG_PLAYER) return entity;
    }
    return nullptr;
}

Entity* FindPlayerEntity()
{
    if (EditorVisible) {
        const EditorState* editor = EditorState::Current();
        return editor && editor->edited_scene ? FirstPlayerIn(*editor->edited_scene) : nullptr;
    }
    if (!GameIsRunning || !OrvStateMachine) return nullptr;
    auto scene = OrvStateMachine->GetCurrentScene();
    return scene ? FirstPlayerIn(*scene) : nullptr;
}

} // namespace OrvEngine
