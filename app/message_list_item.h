// The record behind each entry of the main window's message list.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/canvas.h"

struct MessageListItem {
  int32_t id = -1;     // MSGID; -1 for the "no messages" entry
  int32_t turn = 0;    // TURN, drawn at the item's top left
  Color color = 0;     // the race's colour, or the foreground colour
  int32_t extent = 0;  // the list's horizontal scroll extent, pixels
  int32_t height = 0;  // the item's height, pixels
  uint8_t incoming = 1;
  std::string raceName;            // the other party's plural name; empty for system messages
  std::vector<std::string> lines;  // the text as display lines
  int32_t relation = 1;            // 0 friend, 1 neutral, 2 enemy
};
