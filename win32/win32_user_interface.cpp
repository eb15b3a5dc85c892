#include "win32/win32_user_interface.h"

#include <commdlg.h>

#include <vector>

#include "win32/chooser_dialog.h"
#include "win32/find_dialog.h"
#include "win32/turn_info_dialog.h"
#include "win32/wide_text.h"

namespace {

// IDC_WAIT, the hourglass (the macro takes the A or W form of the build).
constexpr WORD kWaitCursor = 32514;
// The longest path the save dialog takes.
constexpr DWORD kSavePathCharacters = 32768;

}  // namespace

// Every box is owned by the main window, which it disables while it is
// open (so no other command can start behind it), and comes to the front,
// also over the game's maximised frame.
void Win32UserInterface::ShowError(const std::string& text) {
  MessageBoxW(owner_.Handle(), ToWide(text).c_str(), L"Error", MB_OK | MB_SETFOREGROUND);
}

bool Win32UserInterface::AskOkCancel(const std::string& caption, const std::string& question) {
  return MessageBoxW(owner_.Handle(), ToWide(question).c_str(), ToWide(caption).c_str(),
                     MB_OKCANCEL | MB_SETFOREGROUND) != IDCANCEL;
}

Choice Win32UserInterface::Choose(const std::string& title, const std::vector<std::string>& choices,
                                  const std::vector<Color>& colors) {
  return ChooserDialog(owner_.Handle(), choices, colors, title).Run();
}

bool Win32UserInterface::AskTurn(const std::string& gameName, int32_t* turn) {
  TurnInfoDialog dialog(gameName, owner_.Handle());
  if (dialog.DoModal() != IDOK) return false;
  *turn = dialog.Turn();
  return true;
}

bool Win32UserInterface::AskFind(FindRequest* request) {
  return FindDialog(owner_.Handle(), *request).Run(request);
}

bool Win32UserInterface::AskSaveFile(std::string* path) {
  std::vector<wchar_t> file(kSavePathCharacters, L'\0');
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner_.Handle();
  dialog.lpstrFilter = L"Text files (*.txt)\0*.txt\0";
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = static_cast<DWORD>(file.size());
  dialog.lpstrDefExt = L"txt";
  dialog.Flags = OFN_PATHMUSTEXIST;
  if (!GetSaveFileNameW(&dialog)) return false;
  *path = FromWide(file.data());
  return true;
}

void Win32UserInterface::BeginWait() {
  HCURSOR previous = SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(kWaitCursor)));
  if (waits_++ == 0) previousCursor_ = previous;
}

void Win32UserInterface::EndWait() {
  if (waits_ > 0 && --waits_ == 0) SetCursor(previousCursor_);
}
