// Spells: a cast spell's flight, its leaving the view and its blast after a hit. The caster is kept
// by id; the caster's PlayerController removes the spell entity when asked (RegisterWithPlayer).
// Saves nothing: its JSON entry is an empty object.
#pragma once

#include "Factory/Component.h"

#include <cstdint>
#include <string>

namespace OrvEngine {

class Entity;

enum SpellState : int32_t { SPELL_FLYING = 0, SPELL_HIT = 1 };

class Spells : public Component {
public:
    Spells() : Component("Spells") {}
    bool Serialize(JsonWriter&) override { return true; }
    void Deserialize(const rapidjson::Value&) override {}
    // Once per frame (the spell's script): flies while state is 0, plays the blast once it is 1.
    void Update() override;
    std::shared_ptr<Component> Clone() override { return std::make_shared<Spells>(*this); }

    // Queues the owner for removal by the caster's PlayerController; nothing without one.
    void RegisterWithPlayer();
    // The caster while it lives, else null.
    Entity* GetCaster() const;
    void SetCaster(const Entity* entity);

    uint64_t caster = 0;   // entity id of the player that cast the spell, 0 for none
    std::string direction; // "Left" or "Right"
    int32_t kind = 0;      // SpellKind
    int32_t state = SPELL_FLYING;
    bool blast_sound_played = false;
    bool consumed = false; // set by the first enemy it touches; a consumed spell debuffs nobody

private:
    void Fly();
    void Blast();
};

} // namespace OrvEngine
