#include "Scripts/Menus/PauseMenuDepth.h"

#include "Components/Sprite.h"
#include "Components/Transform.h"
#include "Factory/Entity.h"
#include "Factory/EntityNames.h"
#include "Graphics/SpriteSystem.h"
#include "Scripts/ScriptHelpers.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

using namespace OrvEngine;

namespace PauseMenuDepth {

namespace {
using namespace EntityNames;
const char* const kBackground = kPauseBackground;
const char* const kMenuParts[] = {kBackground,       kResumeButton,      kMuteMusicButton,    kMuteEffectsButton,
                                  kPauseHelpButton,  kExitToMenuButton,  kPauseHelpPanel,     "ExitWarningBoxMain",
                                  "ExitWarningBoxYes", "ExitWarningBoxNo"};
} // namespace

bool IsMenuPart(const std::string& name)
{
    return std::any_of(std::begin(kMenuParts), std::end(kMenuParts), [&](const char* part) { return name == part; });
}

void KeepInFront()
{
    // The draw list, not the scene: the purification's arrow keys are drawn without being in one.
    float front = -std::numeric_limits<float>::max();
    std::vector<std::shared_ptr<Transform>> parts;
    std::shared_ptr<Transform> background;
    for (const auto& sprite : SpriteSystem::GetInstance()->sprites) {
        Entity* owner = sprite ? sprite->owner : nullptr;
        auto transform = ComponentOf<Transform>(owner, TRANSFORM);
        if (!transform) continue;
        if (IsMenuPart(owner->name)) {
            parts.push_back(transform);
            if (owner->name == kBackground) background = transform;
        } else if (owner->active) {
            front = std::max(front, transform->position.z);
        }
    }
    if (!background || background->position.z > front) return;
    // The next depth after the front, even where the depths are too large to take a whole step.
    const float base = std::max(front + 1.0f, std::nextafter(front, std::numeric_limits<float>::max()));
    const float old_base = background->position.z;
    for (const auto& part : parts) part->position.z = base + (part->position.z - old_base);
}

} // namespace PauseMenuDepth
