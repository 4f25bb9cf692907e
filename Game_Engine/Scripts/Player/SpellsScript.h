// A cast spell's script: runs its Spells component each frame and holds it still during dialogues.
#pragma once

#include "Scripts/BaseScript.h"

#include <memory>

namespace OrvEngine {
class Spells;
class Sprite;
} // namespace OrvEngine

class SpellsScript : public OrvEngine::BaseScript {
public:
    void Init(OrvEngine::Entity* entity) override;
    void Update(OrvEngine::Entity* entity) override;
    std::string GetName() override { return "SpellsScript"; }

private:
    std::shared_ptr<OrvEngine::Spells> spells;
    std::shared_ptr<OrvEngine::Sprite> sprite;
};
