// What the main window shows: title, labels, enabled controls and the
// message list, worked out from the CurrentGame and the window's filter.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "app/canvas.h"
#include "app/message_list_item.h"
#include "support/version.h"

class CacheRow;
class CurrentGame;

// The start of the main window's title, followed by kVersion.
inline constexpr char kProgramTitle[] = "Korvik Vandor! Message Reader V";

// The main window's message filter.
struct MessageFilter {
  bool playerPostOnly = true;  // MSGTYP 1 only
  bool outgoingOnly = false;   // MSGINCOMING 0 only
  int32_t race = -1;           // with playerPostOnly: MSGRACNO; -1 any race
};

struct MainWindowView {
  bool loaded = false;
  std::string title;
  std::string gameLabel;
  std::string raceLabel;
  std::string yearLabel;
  bool colorRaceLabel = false;  // only the loaded state sets the race's colour
  Color raceLabelColor = 0;
  // Controls to enable (true) or disable (false), in this order.
  std::vector<std::pair<int, bool>> enabling;
  // The message list's items, in list order; never empty.
  std::vector<MessageListItem> items;
};

// The view for `game` and `filter`. The refresh fills the list anew, so
// nothing is selected afterwards and "Message Detail" is disabled in
// either state (MessageDetailEnabled enables it with a selection). Table
// errors pass on.
MainWindowView BuildMainWindowView(const CurrentGame& game, const MessageFilter& filter);

// Whether "Message Detail" is enabled while the list item with id
// `selectedId` is selected (-1 for none, and for the no-messages entry):
// exactly while a message of a loaded turn is selected.
bool MessageDetailEnabled(const CurrentGame& game, int32_t selectedId);

// The list item of one MessageTable row.
MessageListItem BuildMessageItem(const CurrentGame& game, const CacheRow& row);

// The "--- No Messages ---" entry of an empty list.
MessageListItem NoMessagesItem();

// A message text cut into display lines: at most 18 lines; segments of
// 0 or 1 bytes ended by a line feed are left out; the rest after the last
// line feed is a line of its own when not empty.
std::vector<std::string> CutMessageLines(const std::string& text);

// 14 pixels a line plus 30, from 30 to 255 pixels.
int32_t MessageItemHeight(size_t lines);
