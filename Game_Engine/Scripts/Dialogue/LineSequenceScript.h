// The base of the text sequences shown in the dialogue box (the story dialogues and the tutorial
// sequences): a numbered table shown one entry at a time in the entity's own Text, advanced by
// Enter at most once every ten frames, with DialogueIsRunning set while it runs. When the last
// entry has been passed the sequence ends once: it puts the box back and removes its own entity.
#pragma once

#include "Scripts/BaseScript.h"
#include "Scripts/Dialogue/DialogueTexts.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>

namespace OrvEngine {
class Text;
}

class LineSequenceScript : public OrvEngine::BaseScript {
public:
    int32_t line_count = 0;
    std::map<int32_t, std::string> lines;
    int32_t current_line = 0;
    bool shown = false;
    std::shared_ptr<OrvEngine::Text> text;
    // The dialogue box entity (its Sprite for line scripts, its script for speaker scripts); 0 when
    // the scene has none that fits.
    uint64_t box = 0;
    int32_t enter_reload = 0;
    int32_t enter_counter = 0;
    // Set by the frame that ends the sequence, so nothing of the ending runs twice.
    bool ended = false;

protected:
    // The set-up every sequence shares: the table from line 1, both Enter counters at 10,
    // DialogueIsRunning set, line 1 current, the own Text, nothing shown yet.
    void Begin(OrvEngine::Entity* entity, const LineTable& table);
    // The last entry has been passed.
    bool Finished() const { return current_line > line_count; }
    // Writes the current entry into the Text unless it is already there.
    void ShowLine();
    // The box is the last type-8 entity: kept when it has a Sprite (line scripts) or a
    // DialogueBoxScript (speaker scripts).
    void FindBoxWithSprite();
    void FindBoxWithScript();
    // Takes the own entity out of the systems and the scene; the entity is gone afterwards.
    static void RemoveSelf(OrvEngine::Entity* entity);
    // Enter has just been pressed: its press count in the static key message is exactly 1.
    static bool EnterJustPressed();

    static constexpr int32_t kEnterReload = 10;
};
