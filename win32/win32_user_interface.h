// The commands' user interface on Windows: message boxes, the chooser, the
// Turn Information dialog, the save dialog and the wait cursor, over the
// main window.
#pragma once

#include <windows.h>

#include "app/user_interface.h"
#include "win32/dialog.h"

class Win32UserInterface : public UserInterface {
 public:
  // Boxes and dialogs open over `owner` (the main window), which must
  // outlive this.
  explicit Win32UserInterface(const Dialog& owner) : owner_(owner) {}
  Win32UserInterface(const Win32UserInterface&) = delete;
  Win32UserInterface& operator=(const Win32UserInterface&) = delete;

  void ShowError(const std::string& text) override;
  bool AskOkCancel(const std::string& caption, const std::string& question) override;
  Choice Choose(const std::string& title, const std::vector<std::string>& choices,
                const std::vector<Color>& colors) override;
  bool AskTurn(const std::string& gameName, int32_t* turn) override;
  bool AskFind(FindRequest* request) override;
  bool AskSaveFile(std::string* path) override;
  void BeginWait() override;
  void EndWait() override;

 private:
  const Dialog& owner_;
  int waits_ = 0;
  HCURSOR previousCursor_ = nullptr;
};
