// What the main window's commands need from the user interface besides the
// archive's message boxes and wait cursor: the list chooser and the
// file-save dialog.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/canvas.h"
#include "archive/archive_ui.h"

// What the user chose in the list chooser.
struct Choice {
  bool ok = false;     // ended with OK (else Cancel)
  int32_t index = -1;  // the chosen entry; -1 when none was selected
  std::string text;    // its text; empty when none
};

class CommandUi : public ArchiveUi {
 public:
  // Offers `choices` (every one, each in the colour at its position in
  // `colors`, 0xDDDD00 beyond them) in the chooser titled `title`.
  virtual Choice Choose(const std::string& title, const std::vector<std::string>& choices,
                        const std::vector<Color>& colors) = 0;
  // Asks for the file to save the messages in ("Text files (*.txt)", the
  // default extension "txt"; the folder must exist). False on Cancel.
  virtual bool AskSaveFile(std::string* path) = 0;
};
