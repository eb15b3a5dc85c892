// MainDialog: the program's main window (template 102), black, with the
// message list and the commands' buttons. It shows the CurrentGame under
// its message filter and runs the commands, "Read from Vandor!" among them.
#pragma once

#include <map>
#include <memory>

#include "app/browse_commands.h"
#include "app/main_window_view.h"
#include "app/message_capture.h"
#include "win32/dialog.h"
#include "win32/owner_draw_controls.h"
#include "win32/win32_user_interface.h"

class CurrentGame;
class TurnStore;
class WindowOps;

class MainDialog : public Dialog {
 public:
  // All three must outlive the dialog.
  MainDialog(CurrentGame& game, const TurnStore& store, WindowOps& gameWindows);

 private:
  bool OnInit() override;
  bool OnCommand(int id, int code) override;
  void OnOk() override {}  // Enter does not end the program
  void OnCancel() override;  // Escape ends it, unless a command runs
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) override;

  // Brings title, labels, enabling and the list in line with the game.
  void RefreshMainWindow();
  void OnReadFromGame();
  void OnMessageDetail();
  // Runs a command and does what it asks of the window.
  void Run(const std::function<CommandOutcome()>& command,
           const CommandOutcome& whenRaised = CommandOutcome());
  void Apply(const CommandOutcome& outcome);
  void Paint();
  void LayOut(int width, int height);
  // WM_GETMINMAXINFO: the window cannot shrink below MinimumClientSize.
  bool LimitSize(MINMAXINFO& limits);

  CurrentGame& game_;
  const TurnStore& store_;
  MessageFilter filter_;
  Win32UserInterface ui_{*this};
  BrowseCommands commands_{game_, store_, ui_, filter_};
  MessageCapture capture_;
  bool commandRunning_ = false;
  HICON icon_ = nullptr;
  std::map<int, OwnerDrawButton> buttons_;
  std::map<int, OwnerDrawStatic> labels_;
  MessageListBox list_;
  // The text that Find found, marked in the list and the detail while its
  // view lasts; null otherwise.
  std::shared_ptr<const TextMatcher> marks_;
};
