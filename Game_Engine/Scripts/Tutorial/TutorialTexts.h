// The tutorial sequences' texts: for each of the three the spoken lines and, entry for entry, the
// tag of who speaks them.
#pragma once

#include "Scripts/Dialogue/DialogueTexts.h"

// Sequences 1 to 3; any other number gives an empty table.
const LineTable& TutorialLines(int sequence);
const LineTable& TutorialSpeakers(int sequence);
