#include "Scene/PlayerLookup.h"

#include "CoreEngine/EditorState.h"
#include "CoreEngine/Globals.h"
#include "Factory/Entity.h"
#include "Factory/Information.h"
#include "Scene/IScene.h"
#include "Scene/SceneStateMachine.h"

namespace OrvEngine {

Entity* FirstPlayerIn(const IScene& scene) { return scene.FirstEntityOfType(TAG_PLAYER); }

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
