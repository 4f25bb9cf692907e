// A picture dialogue: an entity placed in a level whose Sprite shows a numbered series of pictures
// once the player walks into it, one more per Enter press. Its name says how many and what they are
// called: a five-character prefix, the count (one or two digits) followed by 'N', four further
// characters, then the rest; the pictures are prefix + rest + 1, 2, ... While they show, the attack
// speed of "Player" and "Dora" is held at 0; after the last one it is put back and the entity
// removes itself. Everything else goes on meanwhile. The picture stays where the level put it: the
// level places the trigger so that the view, which follows Ilo, frames the picture whole.
#pragma once

#include "Scripts/BaseScript.h"

#include <cstdint>
#include <string>

// Reads the picture count and the picture base name from a picture dialogue's name; false (and
// nothing written) when the name holds no count, also when it is too short to hold one.
bool ReadPictureCount(const std::string& name, int32_t& count, std::string& base_name);

class DialogueScript : public OrvEngine::BaseScript {
public:
    void Init(OrvEngine::Entity* entity) override;
    void Update(OrvEngine::Entity* entity) override;
    void OnCollision(OrvEngine::Entity* self, OrvEngine::Entity* other) override;
    void HandleMessage(OrvEngine::Entity* entity, OrvEngine::Message* message) override;
    std::string GetName() override { return "DialogueScript"; }

    std::string name;
    std::string base_name;
    // "Player" and "Dora" by entity id; 0 when missing (or without Stats): that one is neither
    // held nor restored.
    uint64_t player = 0;
    uint64_t companion = 0;
    float player_speed_attack = 0.0f;
    float companion_speed_attack = 0.0f;
    int32_t last_picture = -1;
    int32_t current_picture = 1;
    bool armed = false;
    bool shown = false;
    int32_t enter_counter = 10;
    int32_t enter_reload = 10;

private:
    // Name, the two characters' attack speeds and the count; repeated until a count is read.
    void SetUp(OrvEngine::Entity* entity);
    void HoldSpeeds() const;
    void RestoreSpeeds() const;
};
