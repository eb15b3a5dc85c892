// The program's colours.
#pragma once

#include <cstdint>

#include "app/canvas.h"
#include "reader/game_bounds.h"

// Lines and text everywhere: cyan, RGB(0, 221, 221).
inline constexpr Color kForeground = 0x00DDDD00;
// Lines and text of a disabled button or list item: RGB(0, 102, 102).
inline constexpr Color kDisabled = 0x00666600;
// Backgrounds, and lines and text of a pushed button or selected item.
inline constexpr Color kBackground = 0x00000000;

// The message detail's header and party, by the player's relation to the
// other race: friends green, RGB(0, 255, 0); neutrals grey,
// RGB(170, 170, 170); enemies red, RGB(255, 0, 0).
inline constexpr Color kFriendColor = 0x0000FF00;
inline constexpr Color kNeutralColor = 0x00AAAAAA;
inline constexpr Color kEnemyColor = 0x000000FF;

// The colour of each race, by race number 0 to 15.
inline constexpr Color RaceColors[kRaceCount] = {
    0x00FF7FFF, 0x007FFFFF, 0x00FFFF7F, 0x00FF7F7F, 0x007F7FFF, 0x007FFF7F,
    0x007F7F7F, 0x00FFFF00, 0x00FF3F3F, 0x003F3FFF, 0x003FFFFF, 0x00FF00FF,
    0x0000FFFF, 0x003FFF3F, 0x00FF3F3F, 0x003F3FFF};

// The colour of race `race`, the foreground colour outside the game's
// races.
inline Color RaceColor(int32_t race) { return IsRaceNumber(race) ? RaceColors[race] : kForeground; }
