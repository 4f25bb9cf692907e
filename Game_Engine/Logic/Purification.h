// The purification mini-game of the player controller. Space near weakened enemies (or a beaten
// boss) darkens the scene, shows three arrow icons and a countdown; each combination typed right
// purifies the nearest candidate; candidates left when it ends recover part of their hp. The
// controller owns it, hands it its key messages and frames, and lends it itself (the player entity,
// its lock, state and sounds). The entities it shows are kept by id and looked up when used.
#pragma once

#include "CoreEngine/Math.h"

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace OrvEngine {

class Entity;
class PlayerController;
struct KeyMessage;

class Purification {
public:
    // Space: starts a purification, or abandons the running one.
    void HandleSpace(PlayerController& player);
    // While one runs: the first arrow just pressed is typed.
    void RecordKey(const KeyMessage& keys);
    // First in the controller's update: advances the running purification (timer text, overlay,
    // the combination, success, time-out); without one the chain count starts again.
    void Step(PlayerController& player);
    // Later in the update: candidates left over once it has ended recover part of their hp.
    void RestoreLeftovers();
    // Ends the cooldown once `timer` seconds have passed since the last purification ended.
    void UpdateCooldown();
    // Destroys the key icons and forgets the combination and what was typed.
    void ClearCombo();
    // The controller goes (its scene or the engine ends): the icons go, and a purification it was
    // running ends without recovering or purifying anyone.
    void Abandon();
    // For a copy of the controller: the entities shown stay with the original.
    void ForgetShownEntities();

    float timer = 5.0f; // seconds a purification may last, and the pause before the next one
    float start_time = 0.0f;
    std::vector<int32_t> combo;      // arrow key codes to type
    std::vector<uint64_t> key_icons; // ids of the three icons showing `combo`
    std::vector<int32_t> combo_input;
    std::vector<bool> combo_matched;
    uint64_t target = 0;                  // the candidate being purified now
    std::multimap<float, uint64_t> targets; // city-block distance -> entity id, nearest first
    uint64_t timer_text = 0;
    uint64_t overlay = 0;
    Vec2 icon_offset{0.0f, 1.5f};
    float icon_spacing = 0.7f;
    uint64_t purified_total = 0;
    uint64_t chain = 0; // purified in the running purification
    bool cooldown = false;
    // Depth added to entities so they show in front of the overlay: (entity id, amount), undone
    // exactly on removal. Runtime only.
    std::vector<std::pair<uint64_t, float>> depth_lifts;

private:
    void Start(PlayerController& player);
    // Abandon (Space) or time-out: the overlay, text and icons go and the cooldown starts.
    void End(PlayerController& player);
    void Stop();
    // The combination was typed: purifies the current target; true when none is left.
    bool PurifyCurrentTarget(PlayerController& player);
    uint64_t NextLiveTarget();
    void MarkTargetIcon();
    void StartCooldown();
    void CollectTargets(const PlayerController& player);
    void GenerateCombo();
    void ShowComboIcons(const PlayerController& player);
    void SpawnKeyIcon(const Vec2& position, float scale, const std::string& texture);
    void LightKeyIcon(size_t index);
    // Checks the typed keys one at a time against the combination; true once all three match.
    bool CheckComboInput(PlayerController& player);
    void PlaceOverlay(const PlayerController& player, const Vec2& position);
    void RemoveOverlay();
    // Raises the entity's depth by the overlay's once per overlay; behind_only: only when it is
    // not already in front of the overlay.
    void LiftDepth(uint64_t id, float overlay_depth, bool behind_only);
    void UpdateTimerText();
    void HideTimerText();
};

} // namespace OrvEngine
