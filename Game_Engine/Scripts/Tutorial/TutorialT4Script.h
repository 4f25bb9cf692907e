// The end of the tutorial: the player walking in leads to the chapter card "SplashScene_07", which
// is told to continue to "GameScene_01". Acts on every touch, each time the same.
#pragma once

#include "Scripts/BaseScript.h"

class TutorialT4Script : public OrvEngine::BaseScript {
public:
    void OnCollision(OrvEngine::Entity* self, OrvEngine::Entity* other) override;
    std::string GetName() override { return "TutorialT4Script"; }
};
