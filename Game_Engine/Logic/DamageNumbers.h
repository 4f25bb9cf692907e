// Damage shown as digit entities beside whoever took it: the companion and the enemies call it when
// they hit, and so do the game scripts. The digits live on by their own script.
#pragma once

namespace OrvEngine {

class Entity;

// Shows value as digit entities ("NumberPrefab", texture "UI_Num_<digit>") on a rising diagonal
// beside the target, most significant digit first: digit i at (x + 0.1 i, y + offset + 0.1 i, z + 5),
// the offset -1 for targets whose Information name begins "De", "A" or "S" (the enemies), else 0.
// 0 or less, or a target without a Transform, shows nothing.
void SpawnDamageNumber(int value, Entity* target);
// The same for the value truncated toward zero (12.99 shows 1 and 2; below 1 nothing).
void SpawnDamageNumber(float value, Entity* target);

} // namespace OrvEngine
