// A script class with no behaviour: entities may name it and get a script that only answers its name.
#pragma once

#include "Scripts/BaseScript.h"

class GameManagerScript : public OrvEngine::BaseScript {
public:
    std::string GetName() override { return "GameManagerScript"; }
};
