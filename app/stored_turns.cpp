#include "app/stored_turns.h"

#include "app/user_interface.h"
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

void GatherPlayerPost(const SmartCache& messages, SmartCache& gathered) {
  const int32_t type = messages.findColumn(MSGTYP);
  if (type < 0) return;
  CacheRow pattern = messages.templateRow();
  pattern.setLong(type, kPlayerMessage);
  // Rows of a loaded table share its columns: a long MSGTYP is read by
  // its index, as the pattern would compare it.
  const bool longType = pattern.columnType(type) == SQL_C_LONG;
  for (CachePosition p = messages.begin(); p != messages.end(); p = messages.next(p)) {
    const CacheRow row = messages.rowAt(p);
    const bool playerPost = longType && row.sharesColumnsWith(pattern)
                                ? !row.isNull(type) && row.getLong(type) == kPlayerMessage
                                : row.matchesPattern(pattern);
    if (playerPost) gathered.appendCopy(row);
  }
}

bool GatherStoredPlayerPostOrSay(const TurnStore& store, UserInterface& ui, const std::string& game,
                                 int32_t race, int32_t turn, SmartCache& gathered) {
  const uint32_t type = static_cast<uint32_t>(gathered.templateRow().columnIndex(MSGTYP));
  const auto playerPost = [&](const ScannedRow& row) {
    return row.longValue(type) == kPlayerMessage;
  };
  const std::string path = store.Layout().TurnFile(game, race, turn);
  bool sameColumns = false;
  if (!orSay(ui, kLoadError, [&] { sameColumns = store.AppendRows(path, gathered, playerPost); })) {
    return false;
  }
  if (sameColumns) return true;
  // A file of other columns: loaded as a table, its rows matched by name.
  SmartCache table;
  if (!ReadTurnTableOrSay(store, ui, game, race, turn, table)) return false;
  GatherPlayerPost(table, gathered);
  return true;
}

bool SaveTurnOrSay(const TurnStore& store, UserInterface& ui, const CurrentGame& current) {
  return orSay(ui, kSaveError, [&] { store.SaveTurn(current); });
}

bool ExportTurnTextOrSay(const TurnStore& store, UserInterface& ui, const CurrentGame& current) {
  return orSay(ui, kSaveError, [&] { store.ExportTurnText(current); });
}
