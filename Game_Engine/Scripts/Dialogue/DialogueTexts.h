// The story dialogues' texts: for each dialogue the spoken lines and, entry for entry, the tag of
// who speaks them. Line 1 comes first. Stored as the bytes the game shows: dialogue 1 keeps its
// Windows-1252 apostrophes (byte 0x92), which the font has no glyph for and the text drawing skips.
#pragma once

#include <string>
#include <vector>

using LineTable = std::vector<std::string>;

// Dialogues 1 to 4; any other number gives an empty table.
const LineTable& DialogueLines(int dialogue);
const LineTable& DialogueSpeakers(int dialogue);
