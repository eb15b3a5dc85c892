#include "win32/win32_archive_ui.h"

#include <windows.h>

#include "win32/wide_text.h"

void Win32ArchiveUi::ShowError(const std::string& text) {
  MessageBoxW(nullptr, ToWide(text).c_str(), L"Error", MB_OK);
}

void Win32ArchiveUi::BeginWait() {
  HCURSOR wait = LoadCursorW(nullptr, MAKEINTRESOURCEW(32514));  // the hourglass
  HCURSOR previous = SetCursor(wait);
  if (waits_++ == 0) previousCursor_ = previous;
}

void Win32ArchiveUi::EndWait() {
  if (waits_ > 0 && --waits_ == 0) SetCursor(static_cast<HCURSOR>(previousCursor_));
}
