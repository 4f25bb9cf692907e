#include "Scene/PlayerLookup.h"

#include "CoreEngine/EditorState.h"
#include "CoreEngine/Globals.h"
#include "Factory/Entity.h"
#include "Factory/Information.h"
#include "Scene/IScene.h"
#include "Scene/SceneStateMachine.h"

namespace OrvEngine {

Entity* FirstPlayerIn(const IScene& scene) { return scene.FirstEntityOfType(TAG_PLAYER); }

const IScene* PlayerScene()
{
    if (EditorVisible) {
        const EditorState* editor = EditorState::Current();
        return editor ? editor->edited_scene.get() : nullptr;
    }
    return GameIsRunning && OrvStateMachine ? OrvStateMachine->current_scene.get() : nullptr;
}

Entity* FindPlayerEntity()
{
    const IScene* scene = PlayerScene();
    return scene ? FirstPlayerIn(*scene) : nullptr;
}

} // namespace OrvEngine
