// The application object: owns the CurrentGame, the store of the archive
// beside the program and the game's windows, which the main window works
// with, and runs the main window until it closes.
#pragma once

#include "archive/turn_store.h"
#include "reader/current_game.h"
#include "win32/user32_window_ops.h"

class Application {
 public:
  // The archive lies beside the program `executablePath`.
  explicit Application(const std::string& executablePath);

  // Shows the main window modally; returns when it has closed.
  void Run();

 private:
  CurrentGame game_;
  TurnStore store_;
  User32WindowOps gameWindows_;
};
