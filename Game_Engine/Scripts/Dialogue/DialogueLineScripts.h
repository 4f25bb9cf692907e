// The story dialogues: each is a pair of entities instantiated by the dialogue box, one showing the
// spoken lines (DialogueScript01..04), one the speaker tags (DialogueScript01_N..04_N). Both read
// Enter from the key state every frame and count the same frames, so they step together. At the end
// the line script puts the box sprite back, the speaker script lets the box drop away, and both
// entities remove themselves; the fourth dialogue then starts the fade-out.
#pragma once

#include "Scripts/Dialogue/LineSequenceScript.h"

#include <string>

// The Update shared by the line and speaker scripts of the story dialogues.
class DialogueTextScript : public LineSequenceScript {
public:
    void Init(OrvEngine::Entity* entity) override;
    void Update(OrvEngine::Entity* entity) override;
    std::string GetName() override { return name_; }

protected:
    DialogueTextScript(int dialogue, bool speaker, std::string name)
        : dialogue_(dialogue), speaker_(speaker), name_(std::move(name))
    {
    }
    // What the speaker script of the last dialogue adds to the ending.
    virtual void AfterEnd() {}

private:
    void End(OrvEngine::Entity* entity);

    int dialogue_;
    bool speaker_;
    std::string name_;
};

class DialogueScript01 : public DialogueTextScript {
public:
    DialogueScript01() : DialogueTextScript(1, false, "DialogueScript01") {}
};
class DialogueScript01_N : public DialogueTextScript {
public:
    DialogueScript01_N() : DialogueTextScript(1, true, "DialogueScript01_N") {}
};
class DialogueScript02 : public DialogueTextScript {
public:
    DialogueScript02() : DialogueTextScript(2, false, "DialogueScript02") {}
};
class DialogueScript02_N : public DialogueTextScript {
public:
    DialogueScript02_N() : DialogueTextScript(2, true, "DialogueScript02_N") {}
};
class DialogueScript03 : public DialogueTextScript {
public:
    DialogueScript03() : DialogueTextScript(3, false, "DialogueScript03") {}
};
class DialogueScript03_N : public DialogueTextScript {
public:
    DialogueScript03_N() : DialogueTextScript(3, true, "DialogueScript03_N") {}
};
class DialogueScript04 : public DialogueTextScript {
public:
    DialogueScript04() : DialogueTextScript(4, false, "DialogueScript04") {}
};
// The epilogue's speakers: its end leads into the fade-out ("T_FadeOut").
class DialogueScript04_N : public DialogueTextScript {
public:
    DialogueScript04_N() : DialogueTextScript(4, true, "DialogueScript04_N") {}

protected:
    void AfterEnd() override;
};
