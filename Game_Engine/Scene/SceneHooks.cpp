#include "Scene/SceneHooks.h"

namespace OrvEngine {

SceneHooks& GetSceneHooks()
{
    static SceneHooks hooks;
    return hooks;
}

} // namespace OrvEngine
