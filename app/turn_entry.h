// The turn typed into the Turn Information dialog.
#pragma once

#include <cstdint>
#include <string>

#include "reader/game_bounds.h"

inline constexpr char kInvalidTurn[] = "Please enter a valid turn";

// The number a turn field's text gives: leading white space skipped, an
// optional sign, then the digits up to the first other character; 0
// without digits. Numbers beyond the 32-bit range give its nearest end.
int32_t ParseTurnText(const std::string& text);

// The dialog takes a game turn only (IsGameTurn: 2400 to 999999999), so
// that every turn it stores can be listed again.
inline bool IsValidTurn(int32_t turn) { return IsGameTurn(turn); }
