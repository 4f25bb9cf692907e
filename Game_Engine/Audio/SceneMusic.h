// Which scenes play music or a sound bed, from which entity's Audio component, and the start of it
// once the scene runs. Holds no state: whether it plays is read from the Audio component.
#pragma once

namespace OrvEngine {

class IScene;

// While the game runs, starts the scene's own music on its music entity unless it plays already;
// nothing for a scene without music, a missing entity or Audio, or a sound file never found.
void StartSceneMusic(IScene& scene);

} // namespace OrvEngine
