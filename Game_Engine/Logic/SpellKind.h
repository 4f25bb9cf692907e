// SpellKind: the player's three spells and what each one uses (prefab, cast animation, cast sound,
// blast animation). Shared by the player controller, the spells and the enemies' debuffs.
#pragma once

#include <cstdint>

namespace OrvEngine {

enum SpellKind : int32_t { SPELL_NONE = 0, SPELL_SPEED = 1, SPELL_ATTACK = 2, SPELL_DEFENCE = 3 };

struct SpellData {
    const char* prefab;
    const char* cast_texture;
    const char* cast_sound;
    const char* blast_texture;
};

// The data of a kind; null for SPELL_NONE and any value outside 1..3.
inline const SpellData* GetSpellData(int32_t kind)
{
    static const SpellData kSpells[3] = {
        {"IloSpeedSpell", "Anim_Ilo_Attacking_Speed", "SFX_Spell_Spd", "Anim_SPD_Bullet_Blast"},
        {"IloAttackSpell", "Anim_Ilo_Attacking_Attack", "SFX_Spell_Atk", "Anim_ATK_Bullet_Blast"},
        {"IloDefenceSpell", "Anim_Ilo_Attacking_Defence", "SFX_Spell_Def", "Anim_DEF_Bullet_Blast"},
    };
    return kind >= SPELL_SPEED && kind <= SPELL_DEFENCE ? &kSpells[kind - 1] : nullptr;
}

} // namespace OrvEngine
