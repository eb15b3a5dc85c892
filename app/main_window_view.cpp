#include "app/main_window_view.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>
#include <utility>

#include "app/colors.h"
#include "app/control_ids.h"
#include "reader/current_game.h"
#include "reader/game_tables.h"
#include "cache/type_codes.h"
#include "support/text_format.h"

namespace {

constexpr int32_t kExtent = 10000;
constexpr int32_t kNoMessagesHeight = 100;
constexpr int kLineHeight = 14;
constexpr int kLinesHeightLimit = 240;  // no line is added once this much is counted
constexpr int64_t kShortestItem = 30;   // an item without lines
constexpr int64_t kTallestItem = 255;

// The controls the refresh enables or disables, in its order; "Message
// Detail" (1019) follows the selection when the game is loaded. "Find..."
// comes last, after the controls the window has always had.
const int kLoadedOrder[] = {IDC_CHANGE_RACE, IDC_RACE_LABEL,    IDC_RACE_CAPTION, IDC_NEXT_TURN,
                            IDC_PREV_TURN,   IDC_ALL_TURNS,     IDC_YEAR_LABEL,   IDC_YEAR_CAPTION,
                            IDC_SAVE_AS_TEXT, IDC_MESSAGE_LIST, IDC_FILTER_LABEL, IDC_FILTER_CAPTION,
                            IDC_FILTER,      IDC_TURN_LIST,     IDC_FIND};
const int kNotLoadedOrder[] = {IDC_CHANGE_RACE,  IDC_RACE_LABEL,     IDC_RACE_CAPTION,
                               IDC_NEXT_TURN,    IDC_PREV_TURN,      IDC_ALL_TURNS,
                               IDC_YEAR_LABEL,   IDC_YEAR_CAPTION,   IDC_SAVE_AS_TEXT,
                               IDC_MESSAGE_LIST, IDC_MESSAGE_DETAIL, IDC_FILTER_LABEL,
                               IDC_FILTER_CAPTION, IDC_FILTER,       IDC_TURN_LIST,
                               IDC_FIND};

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

std::vector<std::string> CutMessageLines(const std::string& text) {
  std::vector<std::string> lines;
  for (std::string_view line : MessageLines(text)) lines.emplace_back(line);
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

namespace {

// What the list shows of a race: its plural name and relation.
struct RaceShown {
  bool found = false;  // the race table has the race
  std::string name;
  RaceRelation relation = RaceRelation::kNeutral;
};

RaceShown lookUpRace(const CurrentGame& game, int32_t race) {
  RaceShown shown;
  const CachePosition found = game.FindRaceRow(race);
  if (found.isEnd()) return shown;
  const CacheRow raceRow = game.RaceTable().rowAt(found);
  shown.found = true;
  shown.name = raceRow.isNull(RACNAMPLU) ? "" : raceRow.getString(RACNAMPLU);
  if (!raceRow.isNull(RACRELATION)) {
    shown.relation = static_cast<RaceRelation>(raceRow.getLong(RACRELATION));
  }
  return shown;
}

// The races of one refresh: the game's race numbers are looked up once
// each, others every time.
class RaceCache {
 public:
  explicit RaceCache(const CurrentGame& game) : game_(game) {}
  const RaceShown& operator()(int32_t race) {
    if (!IsRaceNumber(race)) return other_ = lookUpRace(game_, race);
    auto& entry = races_[static_cast<size_t>(race)];
    if (!entry.first) entry = {true, lookUpRace(game_, race)};
    return entry.second;
  }

 private:
  const CurrentGame& game_;
  std::array<std::pair<bool, RaceShown>, kRaceCount> races_{};
  RaceShown other_;
};

// The MessageTable columns an item shows, found by name once.
struct ItemColumns {
  explicit ItemColumns(const CacheRow& columns)
      : id(columns.columnIndex(MSGID)),
        turn(columns.columnIndex(TURN)),
        incoming(columns.columnIndex(MSGINCOMING)),
        race(columns.columnIndex(MSGRACNO)),
        text(columns.columnIndex(MSGTXT)) {}
  int32_t id, turn, incoming, race, text;
};

MessageListItem buildItem(const ItemColumns& columns, RaceCache& races, const CacheRow& row) {
  MessageListItem item;
  item.id = row.getLong(columns.id);
  item.turn = row.getLong(columns.turn);
  item.direction = row.getLong(columns.incoming) == 1 ? MessageDirection::kIncoming
                                                       : MessageDirection::kOutgoing;
  item.color = kForeground;
  item.extent = kExtent;
  if (!row.isNull(columns.race)) {
    const int32_t race = row.getLong(columns.race);
    const RaceShown& shown = races(race);
    if (shown.found) {
      item.raceName = shown.name;
      item.relation = shown.relation;
      item.color = RaceColor(race);
    }
  }
  if (!row.isNull(columns.text)) item.lines = MessageLines(row, row.textView(columns.text));
  item.height = MessageItemHeight(item.lines.size());
  return item;
}

// Whether a row shows under the filter: the cells the filter's pattern
// names hold its values. Rows sharing the pattern's long columns are
// compared by index; others as matchesPattern compares them.
class FilterMatch {
 public:
  FilterMatch(const SmartCache& messages, const MessageFilter& filter)
      : pattern_(filterPattern(messages, filter)) {
    const CacheRow columns = messages.templateRow();
    if (filter.playerPostOnly) {
      wanted_.emplace_back(columns.columnIndex(MSGTYP), kPlayerMessage);
      if (filter.race != -1) wanted_.emplace_back(columns.columnIndex(MSGRACNO), filter.race);
    }
    if (filter.outgoingOnly) wanted_.emplace_back(columns.columnIndex(MSGINCOMING), 0);
    for (const auto& cell : wanted_) {
      if (columns.columnType(cell.first) != SQL_C_LONG) byIndex_ = false;
    }
  }

  bool operator()(const CacheRow& row) const {
    if (!byIndex_ || !row.sharesColumnsWith(pattern_)) return row.matchesPattern(pattern_);
    for (const auto& [column, value] : wanted_) {
      if (row.isNull(column) || row.getLong(column) != value) return false;
    }
    return true;
  }

 private:
  CacheRow pattern_;
  std::vector<std::pair<int32_t, int32_t>> wanted_;  // column, value
  bool byIndex_ = true;
};

}  // namespace

MessageListItem BuildMessageItem(const CurrentGame& game, const CacheRow& row) {
  RaceCache races(game);
  return buildItem(ItemColumns(row), races, row);
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
    const FilterMatch shows(messages, filter);
    std::optional<ItemColumns> columns;  // found with the first row shown
    RaceCache races(game);
    // Room for every row: pages a shorter list leaves unused are never
    // touched.
    view.items.reserve(static_cast<size_t>(messages.rowCount()));
    for (CachePosition p = messages.begin(); p != messages.end(); p = messages.next(p)) {
      const CacheRow row = messages.rowAt(p);
      if (!shows(row)) continue;
      if (!columns) columns.emplace(messages.templateRow());
      view.items.push_back(buildItem(*columns, races, row));
    }
  }
  if (view.items.empty()) view.items.push_back(NoMessagesItem());
  return view;
}
