// The bounds of the game's numbers: races 0 to 15 (the title counts them
// from 1, "m1" to "m16") and turns, which are game years, from 2400 to
// 999999999, the last turn whose file name the archive lists (nine
// digits). The archive names its race folders and turn files within the
// same bounds; every check of a race or a turn uses these.
#pragma once

#include <cstdint>

inline constexpr int32_t kRaceCount = 16;
inline constexpr int32_t kFirstTurn = 2400;
inline constexpr int32_t kLastTurn = 999999999;

inline constexpr bool IsRaceNumber(int32_t race) { return race >= 0 && race < kRaceCount; }
inline constexpr bool IsGameTurn(int32_t turn) { return turn >= kFirstTurn && turn <= kLastTurn; }
