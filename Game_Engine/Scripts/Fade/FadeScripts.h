// Full-screen fades on a sprite's tint: FadeInScript goes from opaque to clear (holding the scene's
// menu back until then), FadeOutScript from clear to opaque and then asks for "GameScene_02". The
// alpha keeps counting past the ends; the tint written to the sprite stays within 0..1. Without a
// Sprite neither does anything.
#pragma once

#include "Scripts/BaseScript.h"

#include <memory>

namespace OrvEngine {
class Sprite;
}

class FadeScript : public OrvEngine::BaseScript {
public:
    float speed = 0.0f; // alpha per second
    float alpha = 0.0f;
    std::shared_ptr<OrvEngine::Sprite> sprite;

    static constexpr float kSpeed = 0.7f;

protected:
    // Caches the Sprite and tints it with the starting alpha.
    void Start(OrvEngine::Entity* entity, float start_alpha);
    // Moves the alpha by direction * speed * frame time and shows it; nothing without a sprite.
    void Step(float direction);
};

class FadeInScript : public FadeScript {
public:
    void Init(OrvEngine::Entity* entity) override;
    void Update(OrvEngine::Entity* entity) override;
    std::string GetName() override { return "FadeInScript"; }
};

class FadeOutScript : public FadeScript {
public:
    void Init(OrvEngine::Entity* entity) override;
    void Update(OrvEngine::Entity* entity) override;
    std::string GetName() override { return "FadeOutScript"; }

    // Fully opaque from alpha 1; the scene changes once the alpha reaches this.
    static constexpr float kLeaveAt = 1.5f;
};
