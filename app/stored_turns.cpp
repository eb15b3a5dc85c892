#include "app/stored_turns.h"

#include <functional>

#include "app/user_interface.h"
#include "archive/message_search.h"
#include "archive/turn_store.h"
#include "cache/type_codes.h"
#include "reader/game_tables.h"
#include "support/lexc.h"

namespace {

// Runs `act`; an error it raises is shown after `prefix` and gives false.
template <class Act>
bool orSay(UserInterface& ui, const char* prefix, Act act) {
  try {
    act();
    return true;
  } catch (const LExc_Base& e) {
    ui.ShowError(prefix + e.reportText());
    return false;
  }
}

}  // namespace

bool LoadTurnOrSay(const TurnStore& store, UserInterface& ui, CurrentGame& current,
                   std::string game, int32_t race, int32_t turn) {
  WaitCursor wait(ui);
  return orSay(ui, kLoadError, [&] { store.LoadTurn(current, std::move(game), race, turn); });
}

bool ReadTurnTableOrSay(const TurnStore& store, UserInterface& ui, const std::string& game,
                        int32_t race, int32_t turn, SmartCache& table) {
  return orSay(ui, kLoadError,
               [&] { store.ReadTable(store.Layout().TurnFile(game, race, turn), table); });
}

namespace {

// The columns of a loaded table that MessageSelection looks at, and whether
// a row of it is wanted.
class LoadedSelection {
 public:
  LoadedSelection(const SmartCache& messages, const MessageSelection& wanted)
      : wanted_(wanted),
        pattern_(messages.templateRow()),
        type_(messages.findColumn(MSGTYP)),
        text_(messages.findColumn(MSGTXT)) {
    if (type_ >= 0) pattern_.setLong(type_, kPlayerMessage);
    // Rows of a loaded table share its columns: a long MSGTYP is read by
    // its index, as the pattern would compare it.
    longType_ = type_ >= 0 && pattern_.columnType(type_) == SQL_C_LONG;
    textColumn_ = text_ >= 0 && pattern_.columnType(text_) == SQL_C_CHAR;
  }

  // Whether the table can hold a wanted row at all.
  bool Possible() const {
    return (!wanted_.playerPostOnly || type_ >= 0) && (!wanted_.text || textColumn_);
  }

  bool operator()(const CacheRow& row) const {
    if (wanted_.playerPostOnly) {
      const bool playerPost = longType_ && row.sharesColumnsWith(pattern_)
                                  ? !row.isNull(type_) && row.getLong(type_) == kPlayerMessage
                                  : row.matchesPattern(pattern_);
      if (!playerPost) return false;
    }
    return !wanted_.text || (!row.isNull(text_) && wanted_.text->Matches(row.textView(text_)));
  }

 private:
  const MessageSelection& wanted_;
  CacheRow pattern_;
  int32_t type_;
  int32_t text_;
  bool longType_ = false;
  bool textColumn_ = false;
};

}  // namespace

void GatherMessages(const SmartCache& messages, const MessageSelection& wanted, SmartCache& gathered) {
  const LoadedSelection wants(messages, wanted);
  if (!wants.Possible()) return;
  for (CachePosition p = messages.begin(); p != messages.end(); p = messages.next(p)) {
    const CacheRow row = messages.rowAt(p);
    if (wants(row)) gathered.appendCopy(row);
  }
}

bool GatherStoredMessagesOrSay(const TurnStore& store, UserInterface& ui, const std::string& game,
                               int32_t race, int32_t turn, const MessageSelection& wanted,
                               SmartCache& gathered) {
  const CacheRow columns = gathered.templateRow();
  const uint32_t type = static_cast<uint32_t>(columns.columnIndex(MSGTYP));
  const uint32_t text = static_cast<uint32_t>(columns.columnIndex(MSGTXT));
  const auto wants = [&](const ScannedRow& row) {
    if (wanted.playerPostOnly && row.longValue(type) != kPlayerMessage) return false;
    return !wanted.text || (!row.isNull(text) && wanted.text->Matches(row.text(text)));
  };
  const std::string path = store.Layout().TurnFile(game, race, turn);
  bool sameColumns = false;
  // By reference: a callback made from the lambda itself could need the
  // heap, outside what the load's errors cover.
  if (!orSay(ui, kLoadError,
             [&] { sameColumns = store.AppendRows(path, gathered, std::cref(wants)); })) {
    return false;
  }
  if (sameColumns) return true;
  // A file of other columns: loaded as a table, its rows matched by name.
  SmartCache table;
  if (!ReadTurnTableOrSay(store, ui, game, race, turn, table)) return false;
  GatherMessages(table, wanted, gathered);
  return true;
}

bool SaveTurnOrSay(const TurnStore& store, UserInterface& ui, const CurrentGame& current) {
  return orSay(ui, kSaveError, [&] { store.SaveTurn(current); });
}

bool ExportTurnTextOrSay(const TurnStore& store, UserInterface& ui, const CurrentGame& current) {
  return orSay(ui, kSaveError, [&] { store.ExportTurnText(current); });
}
