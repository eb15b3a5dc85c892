#include "archive/stored_messages.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>

#include "archive/read_ahead.h"
#include "archive/turn_store.h"
#include "cache/smartcache.h"
#include "cache/table_scan.h"
#include "cache/type_codes.h"
#include "reader/game_tables.h"
#include "support/lexc.h"

namespace {

// Columns are found by name: a file of an older or foreign program may hold
// them in another order.
struct MessageColumns {
  explicit MessageColumns(const CacheRow& row)
      : id(row.columnIndex(MSGID)),
        type(row.columnIndex(MSGTYP)),
        race(row.columnIndex(MSGRACNO)),
        incoming(row.columnIndex(MSGINCOMING)),
        text(row.columnIndex(MSGTXT)) {}
  int32_t id, type, race, incoming, text;
};

std::optional<int32_t> longCell(const CacheRow& row, int32_t column) {
  if (row.isNull(column)) return std::nullopt;
  return row.getLong(column);
}

}  // namespace

std::vector<StoredTurn> SelectTurns(const TurnStore& store, const TurnSelection& selection) {
  std::vector<std::string> games = store.ListGames();
  std::sort(games.begin(), games.end());
  std::vector<StoredTurn> turns;
  for (const std::string& game : games) {
    if (selection.game && *selection.game != game) continue;
    std::vector<int32_t> races = store.ListRaces(game);
    std::sort(races.begin(), races.end());
    for (int32_t race : races) {
      if (selection.race && *selection.race != race) continue;
      std::vector<int32_t> stored = store.ListTurns(game, race);
      std::sort(stored.begin(), stored.end());
      for (int32_t turn : stored) {
        if (turn >= selection.fromTurn && turn <= selection.toTurn) {
          turns.push_back(StoredTurn{game, race, turn});
        }
      }
    }
  }
  return turns;
}

namespace {

StoredMessage messageOf(const StoredMessageView& view) {
  StoredMessage message;
  message.id = view.id;
  message.playerPost = view.playerPost;
  message.incoming = view.incoming;
  message.race = view.race;
  message.text.assign(view.text.data(), view.text.size());
  return message;
}

// The columns of a message file as its template names them, when they
// have the types the program writes: such a file is read in place.
std::optional<MessageColumns> placedColumns(const CacheRow& templateRow) {
  const auto typeOf = [&](const std::string& name) {
    for (uint32_t i = 0; i < templateRow.columnCount(); ++i) {
      if (templateRow.columnName(static_cast<int32_t>(i)) == name) {
        return templateRow.columnType(static_cast<int32_t>(i));
      }
    }
    return -1;
  };
  for (const char* name : {MSGID, MSGTYP, MSGRACNO, MSGINCOMING}) {
    if (typeOf(name) != SQL_C_LONG) return std::nullopt;
  }
  if (typeOf(MSGTXT) != SQL_C_CHAR) return std::nullopt;
  return MessageColumns(templateRow);
}

// ReadTurnMessages through a table: for files whose columns are missing
// or of other types, which raise the table's own errors.
std::vector<StoredMessage> readThroughTable(const TurnStore& store, const std::string& path,
                                            const MessageWanted& wanted) {
  SmartCache table;
  store.ReadTable(path, table);
  const MessageColumns columns(table.templateRow());
  std::vector<StoredMessage> messages;
  for (CachePosition p = table.begin(); p != table.end(); p = table.next(p)) {
    const CacheRow row = table.rowAt(p);
    const std::string text = row.isNull(columns.text) ? std::string() : row.getString(columns.text);
    StoredMessageView view;
    view.id = longCell(row, columns.id).value_or(0);
    view.playerPost = longCell(row, columns.type) == kPlayerMessage;
    view.incoming = longCell(row, columns.incoming) == 1;
    view.race = longCell(row, columns.race);
    view.text = text;
    if (!wanted || wanted(view)) messages.push_back(messageOf(view));
  }
  return messages;
}

}  // namespace

std::vector<StoredMessage> ReadTurnMessages(const TurnStore& store, const std::string& path,
                                            const MessageWanted& wanted) {
  std::vector<StoredMessage> messages;
  std::optional<MessageColumns> columns;
  const auto onTemplate = [&](const CacheRow& templateRow) {
    columns = placedColumns(templateRow);
  };
  const auto onRow = [&](const ScannedRow& row) {
    if (!columns) return;
    const auto at = [](int32_t column) { return static_cast<uint32_t>(column); };
    StoredMessageView view;
    view.id = row.longValue(at(columns->id)).value_or(0);
    view.playerPost = row.longValue(at(columns->type)) == kPlayerMessage;
    view.incoming = row.longValue(at(columns->incoming)) == 1;
    view.race = row.longValue(at(columns->race));
    view.text = row.text(at(columns->text));
    if (!wanted || wanted(view)) messages.push_back(messageOf(view));
  };
  store.ScanTable(path, std::cref(onTemplate), std::cref(onRow));
  if (!columns) return readThroughTable(store, path, wanted);
  return messages;
}

RaceInfos ReadRaceInfos(const TurnStore& store, const std::string& path) {
  SmartCache table;
  store.ReadTable(path, table);
  const CacheRow names = table.templateRow();
  const int32_t number = names.columnIndex(RACNO);
  const int32_t plural = names.columnIndex(RACNAMPLU);
  const int32_t relation = names.columnIndex(RACRELATION);
  RaceInfos races;
  for (CachePosition p = table.begin(); p != table.end(); p = table.next(p)) {
    const CacheRow row = table.rowAt(p);
    const std::optional<int32_t> race = longCell(row, number);
    if (!race || races.count(*race) != 0) continue;  // the first row of a race counts
    RaceInfo info;
    if (!row.isNull(plural)) info.plural = row.getString(plural);
    info.relation = longCell(row, relation);
    races.emplace(*race, std::move(info));
  }
  return races;
}

std::string WhyUnreadable(FileSystem& files, const std::string& path, const LExc_Base& error) {
  switch (files.Kind(path)) {
    case PathKind::kNone: return "no such file";
    case PathKind::kDirectory: return "a folder, not a file";
    case PathKind::kOther: return "not a regular file";
    case PathKind::kFile: break;
  }
  if (dynamic_cast<const LExc_Internal_Mem*>(&error) != nullptr) return error.text();
  if (!files.OpenRead(path)) return "cannot be opened";
  return "damaged (" + error.text() + ")";
}

namespace {

// A file that could not be read, and why.
struct Unread {
  std::string path;
  std::string reason;
};

// A selected turn as the reading thread found it: its messages, or why its
// file was skipped; and, for the first turn of a game, that game's races or
// why RACES.SAV was skipped.
struct TurnRead {
  std::shared_ptr<const RaceInfos> races;
  std::optional<Unread> racesUnread;  // set for the turn that first read them
  std::optional<Unread> unread;
  std::vector<StoredMessage> messages;
};

}  // namespace

int VisitStoredTurns(const TurnStore& store, const TurnSelection& selection,
                     const TurnVisit& visit, const SkippedFile& skipped,
                     const MessageWanted& wanted) {
  const std::vector<StoredTurn> turns = SelectTurns(store, selection);
  const ArchiveLayout& layout = store.Layout();
  // The reading thread's own: the game whose RACES.SAV `races` holds.
  std::string racesOf;
  std::shared_ptr<const RaceInfos> races;
  const auto read = [&](size_t k) {
    const StoredTurn& turn = turns[k];
    TurnRead result;
    if (!races || racesOf != turn.game) {
      racesOf = turn.game;
      const std::string path = layout.RaceFile(turn.game);
      try {
        races = std::make_shared<const RaceInfos>(ReadRaceInfos(store, path));
      } catch (const LExc_Base& e) {
        races = std::make_shared<const RaceInfos>();
        result.racesUnread = Unread{path, WhyUnreadable(store.Files(), path, e)};
      }
    }
    result.races = races;
    const std::string path = layout.TurnFile(turn.game, turn.race, turn.turn);
    try {
      result.messages = ReadTurnMessages(store, path, wanted);
    } catch (const LExc_Base& e) {
      result.unread = Unread{path, WhyUnreadable(store.Files(), path, e)};
    }
    return result;
  };
  // The next turns are read while the caller handles this one.
  ReadAhead<TurnRead> ahead(turns.size(), read);
  int count = 0;
  for (const StoredTurn& turn : turns) {
    const TurnRead found = ahead.Next();
    if (found.racesUnread) {
      ++count;
      skipped(found.racesUnread->path, found.racesUnread->reason);
    }
    if (found.unread) {
      ++count;
      skipped(found.unread->path, found.unread->reason);
      continue;
    }
    visit(turn, found.messages, *found.races);
  }
  return count;
}

std::string RelationName(int32_t relation) {
  switch (relation) {
    case kFriend: return "friend";
    case kNeutral: return "neutral";
    case kEnemy: return "enemy";
    default: return std::string();
  }
}
