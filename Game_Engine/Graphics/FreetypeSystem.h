// FreetypeSystem: draws Text components with the game font.
#pragma once

#include "CoreEngine/ISystem.h"
#include "CoreEngine/Singleton.h"

#include <memory>
#include <string>

namespace OrvEngine {
class Text;

class FreetypeSystem : public ISystem, public Singleton<FreetypeSystem> {
public:
    std::string GetName() override { return "Freetype"; }
    void Init() override;
    void AddText(const std::shared_ptr<Text>&) {}
    void RemoveText(const std::shared_ptr<Text>&) {}
};

} // namespace OrvEngine
