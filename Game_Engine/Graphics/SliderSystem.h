// SliderSystem: draws bars after the sprites.
#pragma once

#include "CoreEngine/ISystem.h"
#include "CoreEngine/Singleton.h"

#include <memory>
#include <string>

namespace OrvEngine {
class Slider;

class SliderSystem : public ISystem, public Singleton<SliderSystem> {
public:
    std::string GetName() override { return "SliderSystem"; }
    void Init() override;
    void AddSlider(const std::shared_ptr<Slider>&) {}
    void RemoveSlider(const std::shared_ptr<Slider>&) {}
};

} // namespace OrvEngine
