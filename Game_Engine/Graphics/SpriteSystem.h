// SpriteSystem: draws the sprites in depth order.
#pragma once

#include "CoreEngine/ISystem.h"
#include "CoreEngine/Singleton.h"

#include <memory>
#include <string>

namespace OrvEngine {
class Sprite;

class SpriteSystem : public ISystem, public Singleton<SpriteSystem> {
public:
    std::string GetName() override { return "SpriteSystem"; }
    void Init() override;
    void AddSprite(const std::shared_ptr<Sprite>&) {}
    void RemoveSprite(const std::shared_ptr<Sprite>&) {}
};

} // namespace OrvEngine
