// The entity the camera follows: the first player-tagged entity, in ascending id order, of the
// scene being edited while the editor shows, else of the running scene. Holds no state.
#pragma once

namespace OrvEngine {

class Entity;
class IScene;

// The first entity of the scene whose Information tag is the player's; null when there is none.
Entity* FirstPlayerIn(const IScene& scene);
// The scene searched for the player: the edited one while the editor shows, else the running one;
// null while neither is there.
const IScene* PlayerScene();
// Null while there is no such scene, or when the scene has no player.
Entity* FindPlayerEntity();

} // namespace OrvEngine
