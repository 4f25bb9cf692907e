#include "Graphics/FreetypeSystem.h"

#include "Components/Text.h"

namespace OrvEngine {

void FreetypeSystem::Init()
{
    RegisterComponent<Text>("Text", TEXT);
}

} // namespace OrvEngine
