// The record behind each entry of the main window's message list.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/canvas.h"

// Whether the player's race got the message or sends it next turn
// (MSGINCOMING 1 or 0).
enum class MessageDirection : uint8_t { kOutgoing = 0, kIncoming = 1 };

// The player's relation to the other race, numbered as RACRELATION stores
// it. A stored number beyond these is kept as it is and shown as an enemy.
enum class RaceRelation : int32_t { kFriend = 0, kNeutral = 1, kEnemy = 2 };

struct MessageListItem {
  int32_t id = -1;     // MSGID; -1 for the "no messages" entry
  int32_t turn = 0;    // TURN, drawn at the item's top left
  Color color = 0;     // the race's colour, or the foreground colour
  int32_t extent = 0;  // the list's horizontal scroll extent, pixels
  int32_t height = 0;  // the item's height, pixels
  MessageDirection direction = MessageDirection::kIncoming;
  std::string raceName;            // the other party's plural name; empty for system messages
  std::vector<std::string> lines;  // the text as display lines
  RaceRelation relation = RaceRelation::kNeutral;  // neutral when unknown
};
