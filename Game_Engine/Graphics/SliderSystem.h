// The slider system: updates and draws every bar after the sprites of the frame, with the
// renderer's unit quad and plain textured program.
#pragma once

#include "CoreEngine/ISystem.h"
#include "CoreEngine/Singleton.h"

#include <memory>
#include <string>
#include <vector>

namespace OrvEngine {

class Slider;

class SliderSystem : public ISystem, public Singleton<SliderSystem> {
public:
    void Update() override;
    std::string GetName() override { return "SliderSystem"; }
    void Init() override;

    void AddSlider(const std::shared_ptr<Slider>& slider);
    void RemoveSlider(const std::shared_ptr<Slider>& slider);
    void Draw(Slider& slider);

    std::vector<std::shared_ptr<Slider>> sliders;
    // The first slider update of the run in play sets its bar up first.
    bool first_update_done = false;
};

} // namespace OrvEngine
