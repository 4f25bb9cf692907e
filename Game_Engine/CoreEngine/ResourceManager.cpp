#include "CoreEngine/ResourceManager.h"


namespace OrvEngine {

void ResourceManager::Init()
{
}

} // namespace OrvEngine
