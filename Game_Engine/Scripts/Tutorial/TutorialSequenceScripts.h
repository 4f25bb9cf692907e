// The tutorial's text sequences, each a pair instantiated by the dialogue box: the line scripts
// (TutorialScript01..03) show the lines and hold the player still in a pose, the speaker scripts
// (TutorialScript01_N..03_N) show the tags. Both step on Enter key messages at most once every ten
// frames. At the end the player is released, the box drops away and the speaker script leaves a key
// hint on screen ("WASDKey", "LeftKey", "SpaceKey") for the next trigger to take away.
#pragma once

#include "Scripts/Dialogue/LineSequenceScript.h"

#include <cstdint>
#include <string>

// The HandleMessage all six share: a fresh Enter press steps once the counter has run down.
class TutorialSequenceScript : public LineSequenceScript {
public:
    void HandleMessage(OrvEngine::Entity* entity, OrvEngine::Message* message) override;
    std::string GetName() override { return name_; }

protected:
    explicit TutorialSequenceScript(std::string name) : name_(std::move(name)) {}

private:
    std::string name_;
};

class TutorialLineScript : public TutorialSequenceScript {
public:
    void Init(OrvEngine::Entity* entity) override;
    void Update(OrvEngine::Entity* entity) override;

    // The player entity whose PlayerController the sequence holds; 0 when none was found.
    uint64_t player = 0;

protected:
    struct Settings {
        int sequence;
        const char* name;
        bool starts_purifying;  // sets IsPurifying at the start
        int32_t pose;           // the player's state while the lines show
        bool stops_player;      // the player's body stops at the start
        bool ends_purifying;    // clears IsPurifying at the end
    };
    explicit TutorialLineScript(const Settings& settings)
        : TutorialSequenceScript(settings.name), settings_(settings)
    {
    }

private:
    // Finds the box's Sprite and the player's controller, putting the player in its pose.
    void TakeHold();

    Settings settings_;
};

class TutorialSpeakerScript : public TutorialSequenceScript {
public:
    void Init(OrvEngine::Entity* entity) override;
    void Update(OrvEngine::Entity* entity) override;

protected:
    TutorialSpeakerScript(int sequence, const char* name, const char* hint_prefab)
        : TutorialSequenceScript(name), sequence_(sequence), hint_prefab_(hint_prefab)
    {
    }

private:
    int sequence_;
    std::string hint_prefab_;
};

class TutorialScript01 : public TutorialLineScript {
public:
    TutorialScript01();
};
class TutorialScript02 : public TutorialLineScript {
public:
    TutorialScript02();
};
class TutorialScript03 : public TutorialLineScript {
public:
    TutorialScript03();
};
// Reports the story dialogue's name "DialogueScript01_N".
class TutorialScript01_N : public TutorialSpeakerScript {
public:
    TutorialScript01_N() : TutorialSpeakerScript(1, "DialogueScript01_N", "WASDKey") {}
};
class TutorialScript02_N : public TutorialSpeakerScript {
public:
    TutorialScript02_N() : TutorialSpeakerScript(2, "TutorialScript02_N", "LeftKey") {}
};
class TutorialScript03_N : public TutorialSpeakerScript {
public:
    TutorialScript03_N() : TutorialSpeakerScript(3, "TutorialScript03_N", "SpaceKey") {}
};
