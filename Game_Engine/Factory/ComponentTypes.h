// Component type ids: the key of an entity's component map and each creator's type id.
#pragma once

namespace OrvEngine {

enum ComponentTypeId : int {
    INFORMATION = 1,
    TRANSFORM = 2,
    STATS = 3,
    CAMERA = 4,
    SPRITE = 5,
    BOXCOLLIDER = 6,
    RIGIDBODY2D = 7,
    ENEMYMOVEMENT = 8,
    AIMOVEMENT = 9,
    PLAYERCONTROLLER = 10,
    TEXT = 11,
    AUDIO = 12,
    SPELLS = 13,
    BUTTON = 15,
    SCRIPTCOMPONENT = 17,
    SLIDER = 19,
    PARENT = 20,
    CHILD = 21,
    BOSSBEHAVIOUR = 23,
};

} // namespace OrvEngine
