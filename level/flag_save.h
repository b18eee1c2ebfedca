#pragma once

#include "level/level4.h"
#include "level/window_services.h"

namespace ornivale {

// Writes the Lara type and weather selected in c2 and c1 over the flag pair
// of the level the last OpenLevel scanned, in place: at most four bytes
// change, and "Level saved" is logged once they are on the disk and checked.
// Refuses, with a message and without opening any file, when that level is
// not the one the window names or its name is a Tomb Raider IV level's; and
// writes nothing when the file is no longer the level that was loaded or is
// no TRC level whose flags can be written. Selections that the level holds
// already are saved without writing. Never throws: every failure is shown as
// one message titled "Error".
void SaveFlags(Level4& level, WindowServices& window);

// The log line of a save done.
inline constexpr char kLevelSavedLine[] = "Level saved";

}  // namespace ornivale
