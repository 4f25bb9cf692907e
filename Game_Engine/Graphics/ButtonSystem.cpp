#include "Graphics/ButtonSystem.h"

#include "Components/Button.h"

namespace OrvEngine {

void ButtonSystem::Init()
{
    RegisterComponent<Button>("Button", BUTTON);
}

} // namespace OrvEngine
