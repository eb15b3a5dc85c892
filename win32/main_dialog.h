// MainDialog: the program's main window (template 102), black, with the
// message list and the commands' buttons. It shows the CurrentGame under
// its message filter and runs "Read from Vandor!".
#pragma once

#include <map>

#include "app/browse_commands.h"
#include "app/main_window_view.h"
#include "reader/message_capture.h"
#include "win32/dialog.h"
#include "win32/owner_draw_controls.h"
#include "win32/win32_command_ui.h"

class CurrentGame;
class GameArchive;
class WindowOps;

class MainDialog : public Dialog, private CaptureUi {
 public:
  // All three must outlive the dialog.
  MainDialog(CurrentGame& game, const GameArchive& archive, WindowOps& gameWindows);

 private:
  bool OnInit() override;
  bool OnCommand(int id, int code) override;
  void OnOk() override {}  // Enter does not end the program
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) override;

  // Brings title, labels, enabling and the list in line with the game.
  void RefreshMainWindow();
  void OnReadFromGame();
  void OnMessageDetail();
  // Does what a browsing command asks of the window.
  void Apply(const CommandOutcome& outcome);
  void Paint();
  void LayOut(int width, int height);

  // CaptureUi.
  bool AskTurn(const std::string& gameName, int32_t* turn) override;
  void RestoreAndRefresh() override;

  CurrentGame& game_;
  const GameArchive& archive_;
  WindowOps& gameWindows_;
  MessageFilter filter_;
  Win32CommandUi commandUi_{*this};
  BrowseCommands commands_{game_, archive_, commandUi_, filter_};
  HICON icon_ = nullptr;
  std::map<int, OwnerDrawButton> buttons_;
  std::map<int, OwnerDrawStatic> labels_;
  MessageListBox list_;
};
