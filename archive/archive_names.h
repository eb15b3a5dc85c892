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
// CON, NUL, COM1 or LPT1 (with or without an extension, in any case).
bool IsUsableGameName(const std::string& game);

// The race number of a race directory: exactly "0" to "15" (IsRaceNumber,
// without leading zeros).
bool ParseRaceDirectory(const std::string& name, int32_t* race);

// The turn of a turn file: a name ending in ".sav" (in any case) whose part
// before the first '.' is a decimal number of a game turn (IsGameTurn, of
// at most as many digits as kLastTurn), "2401.sav" giving 2401.
bool ParseTurnFile(const std::string& name, int32_t* turn);
