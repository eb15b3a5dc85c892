#include "app/stored_turns.h"

#include "app/user_interface.h"
#include "archive/turn_store.h"
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
