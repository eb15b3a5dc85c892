// The program's colours, as 0x00BBGGRR values (red in the low byte, as
// Windows keeps them): those of its windows (app/colors.h) and of the
// reports it writes for a browser, which show the archive in the same look.
#pragma once

#include <cstdint>

namespace palette {

// Lines and text everywhere: cyan, RGB(0, 221, 221).
inline constexpr uint32_t kForeground = 0x00DDDD00;
// Backgrounds: black.
inline constexpr uint32_t kBackground = 0x00000000;

// The player's relation to another race: friends green, RGB(0, 255, 0);
// neutrals grey, RGB(170, 170, 170); enemies red, RGB(255, 0, 0).
inline constexpr uint32_t kFriend = 0x0000FF00;
inline constexpr uint32_t kNeutral = 0x00AAAAAA;
inline constexpr uint32_t kEnemy = 0x000000FF;

// The colour of each race, by race number 0 to 15.
inline constexpr uint32_t kRaces[16] = {
    0x00FF7FFF, 0x007FFFFF, 0x00FFFF7F, 0x00FF7F7F, 0x007F7FFF, 0x007FFF7F,
    0x007F7F7F, 0x00FFFF00, 0x00FF3F3F, 0x003F3FFF, 0x003FFFFF, 0x00FF00FF,
    0x0000FFFF, 0x003FFF3F, 0x00FF3F3F, 0x003F3FFF};

// The colour of race `race`, the foreground colour outside races 0 to 15.
inline constexpr uint32_t RaceColor(int32_t race) {
  return race >= 0 && race < 16 ? kRaces[race] : kForeground;
}

}  // namespace palette
