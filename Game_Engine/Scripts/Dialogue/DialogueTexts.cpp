#include "Scripts/Dialogue/DialogueTexts.h"

namespace {
// The right single quotation mark of Windows-1252, kept as the single byte the script was written in.
#define RSQUO "\x92"

const LineTable kLines[] = {
    {"Whew! We managed to get away from those monsters",
     "Hey kid, it isn" RSQUO "t safe to stay here",
     "Trembling with fear and unable to speak",
     "That pendant you" RSQUO "re wearing is the key to saving this city",
     "The sounds of footsteps and growling slowly approaching",
     "Come on, let" RSQUO "s get going",
     "Nods nervously"},
    {"Hold up, there is one of those monster up ahead",
     "I wouldn't be able to handle it alone",
     "Could you support me ?",
     "Eh what ?!",
     "I can sense that you can use magic",
     "Keep a distance and use range magic",
     "Uh oh, looks like it notices us"},
    {"Hey, Thanks for help uhmm",
     "I forgot to ask what is your name ?",
     "It's Ilo",
     "Well, Nice to meet you Ilo",
     "My name is Dora",
     "Lets get going before monster comes"},
    {"Looks like We are safe for now",
     "Great Job back there",
     "Thanks mister",
     "Wow now, just call me Dora",
     "...",
     "ugh alright you can me mister",
     "Now Let's quickly head out"},
};

#undef RSQUO

const LineTable kSpeakers[] = {
    {"[Stranger]", "[Stranger]", "[Ilo]", "[Stranger]", "[Environment]", "[Stranger]", "[Ilo]"},
    {"[Stranger]", "[Stranger]", "[Stranger]", "[Ilo]", "[Stranger]", "[Stranger]", "[Stranger]"},
    {"[Stranger]", "[Stranger]", "[Ilo]", "[Dora]", "[Dora]", "[Dora]"},
    {"[Dora]", "[Dora]", "[Ilo]", "[Dora]", "[Ilo]", "[Dora]", "[Dora]"},
};

constexpr int kDialogueCount = 4;

const LineTable& Pick(const LineTable* tables, int dialogue)
{
    static const LineTable kEmpty;
    return dialogue >= 1 && dialogue <= kDialogueCount ? tables[dialogue - 1] : kEmpty;
}
} // namespace

const LineTable& DialogueLines(int dialogue) { return Pick(kLines, dialogue); }
const LineTable& DialogueSpeakers(int dialogue) { return Pick(kSpeakers, dialogue); }
