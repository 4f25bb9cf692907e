#include "SystemList.h"

#include "Audio/AudioSystem.h"
#include "Components/ParentChildSystem.h"
#include "CoreEngine/CoreEngine.h"
#include "CoreEngine/FPS.h"
#include "CoreEngine/Globals.h"
#include "CoreEngine/ResourceManager.h"
#include "Editor/EditorManager.h"
#include "Factory/EntityFactory.h"
#include "Graphics/ButtonSystem.h"
#include "Graphics/FreetypeSystem.h"
#include "Graphics/Graphics.h"
#include "Graphics/SliderSystem.h"
#include "Graphics/SpriteSystem.h"
#include "Logic/Logic.h"
#include "Physics/CollisionSystem.h"
#include "Physics/PhysicsSystem.h"
#include "Scripts/ScriptSystem.h"
#include "Windows/WindowsSystems.h"

namespace OrvEngine {

namespace {
template <class S>
SystemEntry Entry()
{
    return {[]() -> ISystem* { return S::GetInstance(); }, &S::DestroyInstance};
}
} // namespace

const std::vector<SystemEntry>& EngineSystems()
{
    static const std::vector<SystemEntry> systems{
        Entry<WindowsSystems>(), Entry<EntityFactory>(),     Entry<ScriptSystem>(),   Entry<Logic>(),
        Entry<ButtonSystem>(),   Entry<Graphics>(),          Entry<SpriteSystem>(),   Entry<PhysicsSystem>(),
        Entry<CollisionSystem>(), Entry<ParentChildSystem>(), Entry<SliderSystem>(),  Entry<FreetypeSystem>(),
        Entry<EditorManager>(),  Entry<AudioSystem>(),       Entry<ResourceManager>(), Entry<FPS>(),
    };
    return systems;
}

void AddEngineSystems()
{
    for (const SystemEntry& entry : EngineSystems()) OrvCoreEngine->AddSystem(entry.get());
}

void DestroyEngineSystems()
{
    for (const SystemEntry& entry : EngineSystems()) entry.destroy();
}

} // namespace OrvEngine
