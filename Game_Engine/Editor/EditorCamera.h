// The editor's camera over the game view: Graphics owns it (at the origin, 10 high, from its Init)
// and the Logic system's keys pan and zoom it; this module only keeps its width at the game
// image's aspect, so the picture is never stretched. Opening a scene does not move it.
#pragma once

namespace OrvEngine {
namespace EditorCamera {

// Gives the editor camera the width its height has at `aspect`; nothing for a bad aspect.
void KeepAspect(float aspect);

} // namespace EditorCamera
} // namespace OrvEngine
