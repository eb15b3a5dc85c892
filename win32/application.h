// The application object: owns the CurrentGame and everything the main
// window works with, and runs the main window until it closes.
#pragma once

#include "archive/game_archive.h"
#include "reader/current_game.h"
#include "win32/user32_window_ops.h"
#include "win32/win32_archive_ui.h"

class Application {
 public:
  // The archive lies beside the program `executablePath`.
  explicit Application(const std::string& executablePath);

  // Shows the main window modally; returns when it has closed.
  void Run();

 private:
  CurrentGame game_;
  Win32ArchiveUi archiveUi_;
  GameArchive archive_;
  User32WindowOps gameWindows_;
};
