#include "archive/stored_messages.h"

#include <algorithm>
#include <functional>
#include <map>
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

// ScanTurnMessages through a table: for files whose columns are missing
// or of other types, which raise the table's own errors.
void scanThroughTable(const TurnStore& store, const std::string& path,
                      const MessageSeen& onMessage) {
  SmartCache table;
  store.ReadTable(path, table);
  const MessageColumns columns(table.templateRow());
  for (CachePosition p = table.begin(); p != table.end(); p = table.next(p)) {
    const CacheRow row = table.rowAt(p);
    const std::string text = row.isNull(columns.text) ? std::string() : row.getString(columns.text);
    StoredMessageView view;
    view.id = longCell(row, columns.id).value_or(0);
    view.playerPost = longCell(row, columns.type) == kPlayerMessage;
    view.incoming = longCell(row, columns.incoming) == 1;
    view.race = longCell(row, columns.race);
    view.text = text;
    onMessage(view);
  }
}

}  // namespace

void ScanTurnMessages(const TurnStore& store, const std::string& path,
                      const MessageSeen& onMessage) {
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
    onMessage(view);
  };
  store.ScanTable(path, std::cref(onTemplate), std::cref(onRow));
  if (!columns) scanThroughTable(store, path, onMessage);
}

std::vector<StoredMessage> ReadTurnMessages(const TurnStore& store, const std::string& path,
                                            const MessageWanted& wanted) {
  std::vector<StoredMessage> messages;
  ScanTurnMessages(store, path, [&](const StoredMessageView& view) {
    if (!wanted || wanted(view)) messages.push_back(StoredMessage::Of(view));
  });
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

// A selected turn as a reading thread found it: what `make` made of its
// messages, or why its file was skipped.
template <class Made>
struct TurnRead {
  std::optional<Unread> unread;
  Made made;
};

// The races of a game as RACES.SAV gives them, or none and why it was
// skipped.
struct GameRaces {
  RaceInfos races;
  std::optional<Unread> unread;
};

// The selected turns read on reading threads, one or two (where the file
// system allows), up to eight turns ahead of the caller: make(turn, path),
// which raises LExc_Base for a file it cannot read, runs there, and
// use(turn, made, races) on the caller's thread in archive order. Skipped
// files go to `skipped` there too, in their places.
template <class Made, class Make, class Use>
int visitTurns(const TurnStore& store, const TurnSelection& selection, const SkippedFile& skipped,
               const Make& make, const Use& use) {
  const std::vector<StoredTurn> turns = SelectTurns(store, selection);
  const ArchiveLayout& layout = store.Layout();
  // The races of every game first: the reading threads only look them up.
  std::map<std::string, GameRaces> races;
  for (const StoredTurn& turn : turns) {
    if (races.count(turn.game) != 0) continue;
    GameRaces& game = races[turn.game];
    const std::string path = layout.RaceFile(turn.game);
    try {
      game.races = ReadRaceInfos(store, path);
    } catch (const LExc_Base& e) {
      game.unread = Unread{path, WhyUnreadable(store.Files(), path, e)};
    }
  }
  const auto read = [&](size_t k) {
    const StoredTurn& turn = turns[k];
    const std::string path = layout.TurnFile(turn.game, turn.race, turn.turn);
    TurnRead<Made> result;
    try {
      result.made = make(turn, path, races.at(turn.game).races);
    } catch (const LExc_Base& e) {
      result.unread = Unread{path, WhyUnreadable(store.Files(), path, e)};
    }
    return result;
  };
  ReadAhead<TurnRead<Made>> ahead(turns.size(), read, 8, store.Files().ReadsInParallel() ? 2 : 1);
  int count = 0;
  const std::string* gameOfLast = nullptr;
  for (const StoredTurn& turn : turns) {
    TurnRead<Made> found = ahead.Next();
    const GameRaces& game = races.at(turn.game);
    if (gameOfLast == nullptr || *gameOfLast != turn.game) {
      gameOfLast = &turn.game;
      if (game.unread) {
        ++count;
        skipped(game.unread->path, game.unread->reason);
      }
    }
    if (found.unread) {
      ++count;
      skipped(found.unread->path, found.unread->reason);
      continue;
    }
    use(turn, found.made, game.races);
  }
  return count;
}

}  // namespace

int VisitStoredTurns(const TurnStore& store, const TurnSelection& selection,
                     const TurnVisit& visit, const SkippedFile& skipped,
                     const MessageWanted& wanted) {
  using Messages = std::vector<StoredMessage>;
  const auto read = [&](const StoredTurn&, const std::string& path, const RaceInfos&) {
    return ReadTurnMessages(store, path, wanted);
  };
  const auto use = [&](const StoredTurn& turn, const Messages& messages, const RaceInfos& races) {
    visit(turn, messages, races);
  };
  return visitTurns<Messages>(store, selection, skipped, read, use);
}

int WriteStoredTurns(const TurnStore& store, const TurnSelection& selection,
                     const MessageText& text, const std::function<void(const std::string&)>& write,
                     const SkippedFile& skipped, const MessageWanted& wanted) {
  // The texts are made from the file's bytes as they are scanned; a file
  // that turns out damaged loses what was made of it.
  const auto make = [&](const StoredTurn& turn, const std::string& path, const RaceInfos& races) {
    std::string made;
    ScanTurnMessages(store, path, [&](const StoredMessageView& message) {
      if (!wanted || wanted(message)) text(turn, message, races, made);
    });
    return made;
  };
  const auto use = [&](const StoredTurn&, const std::string& made, const RaceInfos&) {
    if (!made.empty()) write(made);
  };
  return visitTurns<std::string>(store, selection, skipped, make, use);
}

std::string RelationName(int32_t relation) {
  switch (relation) {
    case kFriend: return "friend";
    case kNeutral: return "neutral";
    case kEnemy: return "enemy";
    default: return std::string();
  }
}
