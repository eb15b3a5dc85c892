#include "win32/win32_command_ui.h"

#include <commdlg.h>

#include <vector>

#include "win32/chooser_dialog.h"
#include "win32/wide_text.h"

Choice Win32CommandUi::Choose(const std::string& title, const std::vector<std::string>& choices,
                              const std::vector<Color>& colors) {
  return ChooserDialog(owner_.Handle(), choices, colors, title).Run();
}

bool Win32CommandUi::AskSaveFile(std::string* path) {
  std::vector<wchar_t> file(32768, L'\0');
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
