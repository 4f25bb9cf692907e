// The depth of a level's pause menu: while the game is paused the menu and its exit box are lifted
// in front of everything else the level draws. Depths in a level only grow (a low-health marker
// climbs every frame), so no depth written in the data stays in front for good.
#pragma once

#include <string>

namespace PauseMenuDepth {

// An entity of the pause menu ("Pause_bg", its buttons, the how-to-play panel) or of its exit box.
bool IsMenuPart(const std::string& name);
// Lifts every part of the menu by one amount, keeping their order, so that the background lies in
// front of the frontmost other sprite; nothing when it already does or the scene has no "Pause_bg".
void KeepInFront();

} // namespace PauseMenuDepth
