#include "app/main_window_view.h"

#include <algorithm>

#include "app/colors.h"
#include "app/control_ids.h"
#include "reader/current_game.h"
#include "reader/game_tables.h"
#include "support/text_format.h"

namespace {

constexpr int32_t kExtent = 10000;
constexpr int32_t kNoMessagesHeight = 100;
constexpr int kLineHeight = 14;
constexpr int kLinesHeightLimit = 240;  // no line is added once this much is counted
constexpr int64_t kShortestItem = 30;   // an item without lines
constexpr int64_t kTallestItem = 255;
constexpr size_t kLongestText = 9999;

// The controls the refresh enables or disables, in its order; "Message
// Detail" (1019) follows the selection when the game is loaded.
const int kLoadedOrder[] = {IDC_CHANGE_RACE, IDC_RACE_LABEL,    IDC_RACE_CAPTION, IDC_NEXT_TURN,
                            IDC_PREV_TURN,   IDC_ALL_TURNS,     IDC_YEAR_LABEL,   IDC_YEAR_CAPTION,
                            IDC_SAVE_AS_TEXT, IDC_MESSAGE_LIST, IDC_FILTER_LABEL, IDC_FILTER_CAPTION,
                            IDC_FILTER,      IDC_TURN_LIST};
const int kNotLoadedOrder[] = {IDC_CHANGE_RACE,  IDC_RACE_LABEL,     IDC_RACE_CAPTION,
                               IDC_NEXT_TURN,    IDC_PREV_TURN,      IDC_ALL_TURNS,
                               IDC_YEAR_LABEL,   IDC_YEAR_CAPTION,   IDC_SAVE_AS_TEXT,
                               IDC_MESSAGE_LIST, IDC_MESSAGE_DETAIL, IDC_FILTER_LABEL,
                               IDC_FILTER_CAPTION, IDC_FILTER,       IDC_TURN_LIST};

// RaceRelation takes RACRELATION's numbers as they are.
static_assert(static_cast<int32_t>(RaceRelation::kFriend) == kFriend &&
              static_cast<int32_t>(RaceRelation::kNeutral) == kNeutral &&
              static_cast<int32_t>(RaceRelation::kEnemy) == kEnemy);

// The MessageTable rows the filter shows.
CacheRow filterPattern(const SmartCache& messages, const MessageFilter& filter) {
  CacheRow pattern = messages.templateRow();
  if (filter.playerPostOnly) {
    pattern.setLong(MSGTYP, kPlayerMessage);
    if (filter.race != -1) pattern.setLong(MSGRACNO, filter.race);
  }
  if (filter.outgoingOnly) pattern.setLong(MSGINCOMING, 0);
  return pattern;
}

}  // namespace

std::vector<std::string> CutMessageLines(const std::string& whole) {
  const std::string text = whole.substr(0, kLongestText);
  std::vector<std::string> lines;
  int counted = 0;
  size_t start = 0;
  for (size_t feed; (feed = text.find('\n', start)) != std::string::npos; start = feed + 1) {
    if (feed - start <= 1) continue;
    if (counted < kLinesHeightLimit) lines.push_back(text.substr(start, feed - start));
    counted += kLineHeight;
  }
  if (start < text.size() && counted < kLinesHeightLimit) lines.push_back(text.substr(start));
  return lines;
}

int32_t MessageItemHeight(size_t lines) {
  const int64_t height = kLineHeight * static_cast<int64_t>(lines) + kShortestItem;
  return static_cast<int32_t>(std::clamp<int64_t>(height, kShortestItem, kTallestItem));
}

MessageListItem NoMessagesItem() {
  MessageListItem item;
  item.id = -1;
  item.color = kForeground;
  item.extent = kExtent;
  item.height = kNoMessagesHeight;
  return item;
}

bool MessageDetailEnabled(const CurrentGame& game, int32_t selectedId) {
  return game.HasTurn() && selectedId >= 0;
}

MessageListItem BuildMessageItem(const CurrentGame& game, const CacheRow& row) {
  MessageListItem item;
  item.id = row.getLong(MSGID);
  item.turn = row.getLong(TURN);
  item.direction = row.getLong(MSGINCOMING) == 1 ? MessageDirection::kIncoming
                                                  : MessageDirection::kOutgoing;
  item.color = kForeground;
  item.extent = kExtent;
  if (!row.isNull(MSGRACNO)) {
    const int32_t race = row.getLong(MSGRACNO);
    const CachePosition found = game.FindRaceRow(race);
    if (!found.isEnd()) {
      const CacheRow raceRow = game.RaceTable().rowAt(found);
      item.raceName = raceRow.isNull(RACNAMPLU) ? "" : raceRow.getString(RACNAMPLU);
      if (!raceRow.isNull(RACRELATION)) {
        item.relation = static_cast<RaceRelation>(raceRow.getLong(RACRELATION));
      }
      item.color = RaceColor(race);
    }
  }
  item.lines = CutMessageLines(row.isNull(MSGTXT) ? std::string() : row.getString(MSGTXT));
  item.height = MessageItemHeight(item.lines.size());
  return item;
}

MainWindowView BuildMainWindowView(const CurrentGame& game, const MessageFilter& filter) {
  MainWindowView view;
  const int32_t race = game.RaceNumber();
  view.loaded = game.HasTurn();
  if (view.loaded) {
    const std::string raceName = game.RaceName(race);
    view.title = std::string(kProgramTitle) + kVersion + " - Game: \"" + game.GameName() +
                 "\" - Race: \"" + raceName + "\"";
    view.gameLabel = game.GameName();
    view.raceLabel = raceName;
    view.colorRaceLabel = true;
    view.raceLabelColor = RaceColor(race);
    view.yearLabel = formatText("%d", static_cast<int>(game.Turn()));
    for (int id : kLoadedOrder) view.enabling.emplace_back(id, true);
    view.enabling.emplace_back(IDC_MESSAGE_DETAIL, false);
  } else {
    view.title = std::string(kProgramTitle) + kVersion;
    view.gameLabel = "<not loaded>";
    view.raceLabel = "<not loaded>";
    view.yearLabel = "XXXX";
    for (int id : kNotLoadedOrder) view.enabling.emplace_back(id, false);
  }

  const SmartCache& messages = game.MessageTable();
  if (messages.rowCount() > 0) {
    const CacheRow pattern = filterPattern(messages, filter);
    for (CachePosition p = messages.begin(); p != messages.end(); p = messages.next(p)) {
      const CacheRow row = messages.rowAt(p);
      if (row.matchesPattern(pattern)) view.items.push_back(BuildMessageItem(game, row));
    }
  }
  if (view.items.empty()) view.items.push_back(NoMessagesItem());
  return view;
}
