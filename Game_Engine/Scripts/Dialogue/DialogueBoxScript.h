// The dialogue box (the Information type 8 entity of a level): opens when a trigger asks, and once
// its opening animation reaches frame 16 puts the next dialogue's pieces into play. Also the
// look-ups the dialogue, trigger and tutorial scripts share to reach the box, which they keep by
// entity id.
#pragma once

#include "Scripts/BaseScript.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace OrvEngine {
class Sprite;
}

class DialogueBoxScript : public OrvEngine::BaseScript {
public:
    void Init(OrvEngine::Entity* entity) override;
    void Update(OrvEngine::Entity* entity) override;
    // The same name as GameManagerScript's: scene files name the class, never this.
    std::string GetName() override { return "GameManagerScript"; }

    // Shows the opening animation and arms the instancing of the next dialogue.
    void PlayIdleAnimation();
    // Shows the box dropping away; an armed dialogue stays armed.
    void PlayDropAnimation();

    // The prefabs that the count-th opened dialogue puts into play, in order; none past the third.
    static const std::vector<std::string>& PrefabsFor(int32_t count);

    int32_t dialogues_started = 0;
    bool pending = false;
    std::shared_ptr<OrvEngine::Sprite> sprite;
    // The key hint a tutorial step left on screen (entity id, 0 for none); the tutorial scripts
    // write it and remove the entity.
    uint64_t key_hint = 0;
};

// The box's frame at which the opened box is ready for text.
constexpr int32_t kDialogueBoxReadyFrame = 16;

// The last live entity of the current scene with Information type 8, in id order; null for none.
OrvEngine::Entity* FindLastDialogueEntity();
// The box script of a live entity, or null when it is gone or its script is another class.
DialogueBoxScript* BoxScriptOf(uint64_t entity_id);
// The last dialogue entity's id when it holds a box script; 0 otherwise.
uint64_t FindScriptedBox();
// Puts the box back to its resting look: the empty "default" sheet from frame 1.
void ResetBoxSprite(OrvEngine::Sprite& sprite);

// A prefab instance for the box's dialogue and hint pieces. A piece hanging from a parent (a HUD
// piece under "Cam") is authored relative to that parent, as scene HUD is relative to a camera at
// the origin: it is placed there, since children follow only their parent's later moves.
OrvEngine::Entity* InstantiateBoxPiece(const std::string& prefab_name);
