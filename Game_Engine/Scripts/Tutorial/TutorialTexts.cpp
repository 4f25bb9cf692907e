#include "Scripts/Tutorial/TutorialTexts.h"

namespace {
const LineTable kLines[] = {
    {"Where is everyone?", "Mum? Dad?"},
    {"Urgh! Why is the armour so strong?!",
     "Please help him",
     "Shoot a Defense Debuff with <left arrow key>",
     "Wow...the orb is talking!"},
    {"Thanks kid! But hey, how did you know that spell?",
     "The orb told me.",
     "The orb! I see, so that is why the darkeness couldn't swallow you.",
     "The darkness? It swallows people?!?!",
     "That's right. And they will never come back.",
     "Noooo! MUM!!! DAD!!!",
     "No, don't cry. We can save them. With that orb you have.",
     "I have been looking for the orb since darkness took over.",
     "Can you save my parents?",
     "I'll give you the orb.",
     "I can't use the orb.",
     "There is only the two of us left now. How about you come with me.",
     "If we restore the light, your parents will be safe too.",
     "Really?! Alright!",
     "What's your name kid? I'm Dora.",
     "I'm Ilo.",
     "Right then, this enemy is protected by darkness. I can't defeat it.",
     "Only the orb can. The orb should know what to do.",
     "Press the <Space> key to generate the debuff formula of the enemy.",
     "Use the arrow keys just like how you cast the Defense debuff, Ilo."},
};

const LineTable kSpeakers[] = {
    {"[Ilo]", "[Ilo]"},
    {"[Stranger]", "[Orb]", "[Orb]", "[Ilo]"},
    {"[Dora]", "[Ilo]", "[Dora]", "[Ilo]", "[Dora]", "[Ilo]", "[Dora]", "[Dora]", "[Ilo]", "[Ilo]",
     "[Dora]", "[Dora]", "[Dora]", "[Ilo]", "[Dora]", "[Ilo]", "[Dora]", "[Dora]", "[Orb]", "[Orb]"},
};

constexpr int kSequenceCount = 3;

const LineTable& Pick(const LineTable* tables, int sequence)
{
    static const LineTable kEmpty;
    return sequence >= 1 && sequence <= kSequenceCount ? tables[sequence - 1] : kEmpty;
}
} // namespace

const LineTable& TutorialLines(int sequence) { return Pick(kLines, sequence); }
const LineTable& TutorialSpeakers(int sequence) { return Pick(kSpeakers, sequence); }
