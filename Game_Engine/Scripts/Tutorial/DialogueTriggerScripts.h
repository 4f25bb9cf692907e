// The trigger zones of the story levels and the tutorial: the first time the player walks into one
// it changes which of the player's abilities are locked, and opens the dialogue box, which then puts
// the next dialogue into play. The tutorial's triggers also take away the key hint the previous
// step left on screen.
#pragma once

#include "Scripts/BaseScript.h"

#include <cstdint>
#include <string>

namespace OrvEngine {
class PlayerController;
}

// What a trigger does to one of the player's ability locks.
enum class LockChange { Keep, Lock, Unlock };

struct TriggerLocks {
    LockChange attack_spell;
    LockChange defence_spell;
    LockChange speed_spell;
    LockChange purification;
};

// The Init, Update and OnCollision shared by the six triggers; each class brings its locks.
class DialogueTriggerScript : public OrvEngine::BaseScript {
public:
    void Init(OrvEngine::Entity* entity) override;
    // Looks for the box until it is found.
    void Update(OrvEngine::Entity* entity) override;
    void OnCollision(OrvEngine::Entity* self, OrvEngine::Entity* other) override;
    std::string GetName() override { return name_; }

    static void ApplyLocks(OrvEngine::PlayerController& controller, const TriggerLocks& locks);

    // The dialogue box entity, 0 until one with a DialogueBoxScript is found.
    uint64_t box = 0;
    bool triggered = false;

protected:
    struct Settings {
        const char* name;
        TriggerLocks locks;
        bool tutorial;          // removes the key hint
        bool starts_purifying;  // sets IsPurifying
    };
    explicit DialogueTriggerScript(const Settings& settings) : settings_(settings), name_(settings.name) {}

private:
    void FindBox();

    Settings settings_;
    std::string name_;
};

class DialogueT1Script : public DialogueTriggerScript {
public:
    DialogueT1Script();
};
class DialogueT2Script : public DialogueTriggerScript {
public:
    DialogueT2Script();
};
// Reports the same name as DialogueT2Script.
class DialogueT3Script : public DialogueTriggerScript {
public:
    DialogueT3Script();
};
class TutorialT1Script : public DialogueTriggerScript {
public:
    TutorialT1Script();
};
class TutorialT2Script : public DialogueTriggerScript {
public:
    TutorialT2Script();
};
class TutorialT3Script : public DialogueTriggerScript {
public:
    TutorialT3Script();
};
