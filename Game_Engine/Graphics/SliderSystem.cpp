#include "Graphics/SliderSystem.h"

#include "Components/Slider.h"
#include "CoreEngine/Globals.h"
#include "Factory/ComponentRegistration.h"
#include "Factory/Entity.h"
#include "Graphics/Graphics.h"

#include <algorithm>

namespace OrvEngine {


void SliderSystem::Init()
{
    RegisterComponent<Slider>("Slider", SLIDER);
    RouteComponent(SLIDER, &SliderSystem::AddSlider, &SliderSystem::RemoveSlider);
}

void SliderSystem::AddSlider(const std::shared_ptr<Slider>& slider) { sliders.push_back(slider); }

void SliderSystem::RemoveSlider(const std::shared_ptr<Slider>& slider)
{
    if (!slider) return;
    auto it = std::find(sliders.begin(), sliders.end(), slider);
    if (it != sliders.end()) sliders.erase(it);
}

void SliderSystem::Update()
{
    const auto snapshot = sliders;
    for (const auto& slider : snapshot) {
        if (!slider->owner || !slider->owner->active) continue;
        slider->Update();
        slider->Draw();
    }
    // While editing, the frame went to the editor's framebuffer; the back buffer is cleared.
    if (!GameIsRunning) Graphics::GetInstance()->ClearBackBuffer();
}

} // namespace OrvEngine
