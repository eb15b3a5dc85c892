// The names of the archive's directories and files: which names are games,
// races and turns. Races and turns keep within the game's bounds
// (reader/game_bounds.h).
#pragma once

#include <cstdint>
#include <string>

#include "reader/game_bounds.h"

// True when `game` can be a directory of its own under DATA: not empty, not
// "." or "..", no character below 32 or any of < > : " / \ | ? *, not ending
// with a blank or a dot (Windows drops those), and not a device name such as
// CON, NUL, COM1, LPT1 or COM¹ (with or without an extension, in any case).
// The listing of games takes only such names, so that every game it lists
// is one every command can use.
bool IsUsableGameName(const std::string& game);

// The race number of a race directory: exactly "0" to "15" (IsRaceNumber,
// without leading zeros).
bool ParseRaceDirectory(const std::string& name, int32_t* race);

// The turn of a turn file: exactly the name "%d.sav" gives a game turn
// (IsGameTurn), "2401.sav" giving 2401. Other spellings of the number
// ("02401.sav"), of the extension ("2401.SAV") or names with more in them
// ("2401.old.sav") are no turns: the store would open another file for
// them, or the same turn twice.
bool ParseTurnFile(const std::string& name, int32_t* turn);
