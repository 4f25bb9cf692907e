#include "Graphics/SliderSystem.h"

#include "Components/Slider.h"

namespace OrvEngine {

void SliderSystem::Init()
{
    RegisterComponent<Slider>("Slider", SLIDER);
}

} // namespace OrvEngine
