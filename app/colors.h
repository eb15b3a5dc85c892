// The program's colours.
#pragma once

#include <cstdint>

#include "app/canvas.h"
#include "reader/game_bounds.h"
#include "support/palette.h"

// Lines and text everywhere: cyan, RGB(0, 221, 221).
inline constexpr Color kForeground = palette::kForeground;
// Lines and text of a disabled button or list item: RGB(0, 102, 102).
inline constexpr Color kDisabled = 0x00666600;
// Backgrounds, and lines and text of a pushed button or selected item.
inline constexpr Color kBackground = palette::kBackground;

// The message detail's header and party, by the player's relation to the
// other race: friends green, neutrals grey, enemies red.
inline constexpr Color kFriendColor = palette::kFriend;
inline constexpr Color kNeutralColor = palette::kNeutral;
inline constexpr Color kEnemyColor = palette::kEnemy;

// The colour of each race, by race number 0 to 15.
static_assert(sizeof palette::kRaces / sizeof palette::kRaces[0] == kRaceCount);
inline constexpr const Color (&RaceColors)[kRaceCount] = palette::kRaces;

// The colour of race `race`, the foreground colour outside the game's
// races.
using palette::RaceColor;
