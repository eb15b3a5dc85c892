#include "app/stored_turns.h"

#include "app/user_interface.h"
#include "app/browse_commands.h"
#include "archive/turn_store.h"
#include "reader/game_tables.h"
#include "support/lexc.h"

bool LoadTurnOrSay(const TurnStore& store, UserInterface& ui, CurrentGame& current,
                   std::string game, int32_t race, int32_t turn) {
  WaitCursor wait(ui);
  try {
    store.LoadTurn(current, std::move(game), race, turn);
    return true;
  } catch (const LExc_Base& e) {
    ui.ShowError(kLoadError + e.reportText());
    return false;
  }
}

bool ReadTurnTableOrSay(const TurnStore& store, UserInterface& ui, const std::string& game,
                        int32_t race, int32_t turn, SmartCache& table) {
  try {
    store.ReadTable(store.Layout().TurnFile(game, race, turn), table);
    return true;
  } catch (const LExc_Base& e) {
    ui.ShowError(kLoadError + e.reportText());
    return false;
  }
}

bool GatherStoredPlayerPostOrSay(const TurnStore& store, UserInterface& ui, const std::string& game,
                                 int32_t race, int32_t turn, SmartCache& gathered) {
  const uint32_t type = static_cast<uint32_t>(gathered.templateRow().columnIndex(MSGTYP));
  const auto playerPost = [&](const ScannedRow& row) {
    return row.longValue(type) == kPlayerMessage;
  };
  const std::string path = store.Layout().TurnFile(game, race, turn);
  try {
    if (store.AppendRows(path, gathered, playerPost)) return true;
  } catch (const LExc_Base& e) {
    ui.ShowError(kLoadError + e.reportText());
    return false;
  }
  // A file of other columns: loaded as a table, its rows matched by name.
  SmartCache table;
  if (!ReadTurnTableOrSay(store, ui, game, race, turn, table)) return false;
  GatherPlayerPost(table, gathered);
  return true;
}

bool SaveTurnOrSay(const TurnStore& store, UserInterface& ui, const CurrentGame& current) {
  try {
    store.SaveTurn(current);
    return true;
  } catch (const LExc_Base& e) {
    ui.ShowError(kSaveError + e.reportText());
    return false;
  }
}

bool ExportTurnTextOrSay(const TurnStore& store, UserInterface& ui, const CurrentGame& current) {
  try {
    store.ExportTurnText(current);
    return true;
  } catch (const LExc_Base& e) {
    ui.ShowError(kSaveError + e.reportText());
    return false;
  }
}
