// A level exit: when the player touches it, the next scene is requested by the current scene's
// name ("GameScene_23" to "GameScene_20", "GameScene_01" to "GameScene_02"); elsewhere nothing.
#pragma once

#include "Scripts/BaseScript.h"

class WinOnCollisionScript : public OrvEngine::BaseScript {
public:
    void OnCollision(OrvEngine::Entity* self, OrvEngine::Entity* other) override;
    std::string GetName() override { return "WinOnCollisionScript"; }
};
