// The retry button of the lose screen: goes back to the scene that was current before this one.
#pragma once

#include "Scripts/BaseScript.h"

#include <memory>

namespace OrvEngine {
class Button;
}

class RetryScript : public OrvEngine::BaseScript {
public:
    void Init(OrvEngine::Entity* entity) override;
    void Update(OrvEngine::Entity* entity) override;
    void HandleMessage(OrvEngine::Entity* entity, OrvEngine::Message* message) override;
    std::string GetName() override { return "RetryScript"; }

    std::shared_ptr<OrvEngine::Button> button;

private:
    void Retry();
};
