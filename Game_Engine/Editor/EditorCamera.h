// The editor's camera over the game view: when a scene is opened it shows that scene's camera
// frame whole, and its width always follows its height at the game image's aspect, so the picture
// is never stretched. The keys that pan and zoom it are the Logic system's.
#pragma once

namespace OrvEngine {

class IScene;

namespace EditorCamera {

// Centres the editor camera on the scene's camera entity (the first live entity with a Camera)
// and sizes it to hold that camera's whole frame at `aspect` (width / height). False, changing
// nothing, when the scene has no camera with a frame or the aspect is not positive.
bool FrameSceneCamera(const IScene& scene, float aspect);
// Gives the editor camera the width its height has at `aspect`; nothing for a bad aspect.
void KeepAspect(float aspect);

} // namespace EditorCamera
} // namespace OrvEngine
