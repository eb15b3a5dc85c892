// The commands' chooser, save dialog, message boxes and wait cursor on
// Windows, over the main window.
#pragma once

#include <windows.h>

#include "app/command_ui.h"
#include "win32/dialog.h"
#include "win32/win32_archive_ui.h"

class Win32CommandUi : public CommandUi {
 public:
  // Dialogs open over `owner` (the main window), which must outlive this.
  explicit Win32CommandUi(const Dialog& owner) : owner_(owner) {}

  Choice Choose(const std::string& title, const std::vector<std::string>& choices,
                const std::vector<Color>& colors) override;
  bool AskSaveFile(std::string* path) override;
  void ShowError(const std::string& text) override { messages_.ShowError(text); }
  void BeginWait() override { messages_.BeginWait(); }
  void EndWait() override { messages_.EndWait(); }

 private:
  const Dialog& owner_;
  Win32ArchiveUi messages_;
};
