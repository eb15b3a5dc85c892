#include "win32/turn_info_dialog.h"

#include "app/control_ids.h"
#include "app/turn_entry.h"
#include "win32/wide_text.h"

namespace {

std::string itemText(HWND dialog, int id) {
  wchar_t text[1000] = {};
  GetDlgItemTextW(dialog, id, text, 1000);
  return FromWide(text);
}

}  // namespace

TurnInfoDialog::TurnInfoDialog(const std::string& gameName, HWND parent)
    : Dialog(IDD_TURN_INFO, parent), gameName_(gameName) {}

bool TurnInfoDialog::OnInit() {
  SetDlgItemTextW(Handle(), IDC_TURN_GAME_NAME, ToWide(gameName_).c_str());
  if (!gameName_.empty()) EnableWindow(Item(IDC_TURN_GAME_NAME), FALSE);
  return true;
}

void TurnInfoDialog::OnOk() {
  gameName_ = itemText(Handle(), IDC_TURN_GAME_NAME);
  turn_ = ParseTurnText(itemText(Handle(), IDC_TURN_EDIT));
  if (IsValidTurn(turn_)) {
    End(IDOK);
  } else {
    MessageBoxW(Handle(), ToWide(kInvalidTurn).c_str(), L"Error", MB_OK);
  }
}
