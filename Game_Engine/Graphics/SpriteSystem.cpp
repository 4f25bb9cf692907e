#include "Graphics/SpriteSystem.h"

#include "Components/Sprite.h"

namespace OrvEngine {

void SpriteSystem::Init()
{
    RegisterComponent<Sprite>("Sprite", SPRITE);
}

} // namespace OrvEngine
