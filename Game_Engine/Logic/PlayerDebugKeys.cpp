#include "Logic/PlayerDebugKeys.h"

#include "Components/Stats.h"
#include "CoreEngine/Message.h"
#include "Factory/Entity.h"
#include "Factory/Information.h"
#include "Logging/Logging.h"
#include "Logic/EnemyMovement.h"
#include "Logic/GameplayRules.h"
#include "Logic/PlayerController.h"
#include "Platform/Platform.h"
#include "Scene/IScene.h"
#include "Scene/SceneStateMachine.h"

#include <functional>

namespace OrvEngine {

namespace {
// Every entity of the scene whose tag passes `wanted` and that has Stats, in ascending id; the
// action returns false to stop the walk.
void ForEachWithStats(const std::shared_ptr<IScene>& scene, const std::function<bool(uint32_t)>& wanted,
                      const std::function<bool(Entity*, Stats&)>& action)
{
    if (!scene) return;
    for (const auto& entry : scene->GetEntities()) {
        Entity* entity = entry.second;
        auto entity_stats = entity->GetComponent<Stats>(STATS);
        if (!entity_stats || !wanted(TagOf(entity))) continue;
        if (!action(entity, *entity_stats)) return;
    }
}
} // namespace

void HandlePlayerDebugKeys(PlayerController& player, const KeyMessage& keys)
{
    if (!keys.IsKeyDown(Platform::VK_SHIFT_KEY)) return;
    auto pressed = [&keys](char key) { return keys.IsOwnPress(static_cast<uint64_t>(key)); };

    if (pressed('G')) {
        player.god_mode = !player.god_mode;
        LogIfOpen(player.god_mode ? "God Mode Activated" : "God Mode Deactivated");
    } else if (pressed('H')) {
        if (player.stats) {
            player.stats->hp = Gameplay::GainHp(player.stats->hp, 10);
            LogIfOpen("HP cheat: +10HP");
        }
    } else if (pressed('K')) {
        ForEachWithStats(
            CurrentScene(), [](uint32_t tag) { return tag == TAG_ENEMY || tag == TAG_BOSS; },
            [](Entity*, Stats& target) {
                target.hp = 0;
                LogIfOpen("Kill all enemy cheat");
                return true;
            });
    } else if (pressed('P')) {
        ForEachWithStats(CurrentScene(), [](uint32_t tag) { return tag == TAG_AI; }, [](Entity*, Stats& target) {
            target.hp = 0;
            LogIfOpen("Kill ai cheat");
            return false;
        });
    } else if (pressed('L')) {
        if (player.owner && TagOf(player.owner) == TAG_PLAYER && player.stats) {
            player.stats->hp = 0;
            LogIfOpen("Kill player cheat");
        }
    } else if (pressed('0') || pressed('1') || pressed('2')) {
        const int level = pressed('0') ? 0 : pressed('1') ? 1 : 2;
        player.aggro = static_cast<float>(level);
        LogIfOpen("Set aggro to " + std::to_string(level) + " cheat");
    } else if (pressed('M')) {
        ForEachWithStats(CurrentScene(), [](uint32_t tag) { return tag == TAG_ENEMY; }, [](Entity* entity, Stats& target) {
            auto enemy = entity->GetComponent<EnemyMovement>(ENEMYMOVEMENT);
            if (!enemy) return true;
            target.hp = Gameplay::ShareOfMaxHp(enemy->max_hp, 0.3f);
            LogIfOpen("Make all enemy hp 30%");
            return true;
        });
    }
}

} // namespace OrvEngine
