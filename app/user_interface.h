// UserInterface: everything a command asks of the user or tells them.
//
// The one way for a command to show an error, put a question, offer a
// choice, ask for the turn or a file, or show that it is busy. The
// Windows program implements it over its main window, which owns every
// box and dialog it shows (win32/win32_user_interface.h); tests script it
// (app/test_user_interface.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/canvas.h"

// What the user asked the Find dialog for.
struct FindRequest {
  std::string text;         // the text to find, in code page 1252
  bool ignoreCase = false;  // fold A-Z and the umlauts
};

// What the user chose in the list chooser.
struct Choice {
  bool ok = false;     // ended with OK (else Cancel)
  int32_t index = -1;  // the chosen entry; -1 when none was selected
  std::string text;    // its text; empty when none
};

class UserInterface {
 public:
  virtual ~UserInterface() = default;

  // Shows `text` in a message box with the caption "Error" and only an OK
  // button, and returns when the user closed it.
  virtual void ShowError(const std::string& text) = 0;
  // Asks `question` in a message box with the caption `caption` and the
  // buttons OK and Cancel; true for OK.
  virtual bool AskOkCancel(const std::string& caption, const std::string& question) = 0;
  // Offers `choices` (every one, each in the colour at its position in
  // `colors`, 0xDDDD00 beyond them) in the chooser titled `title`.
  virtual Choice Choose(const std::string& title, const std::vector<std::string>& choices,
                        const std::vector<Color>& colors) = 0;
  // Asks for the turn in the Turn Information dialog, which carries
  // `gameName` in its hidden field. True, with the turn (a game turn,
  // IsGameTurn), when the user confirmed it; false when the user cancelled.
  virtual bool AskTurn(const std::string& gameName, int32_t* turn) = 0;
  // Asks for the text to find in the Find dialog, which opens showing
  // `request`; true, with `request` changed to what the user entered, for
  // OK; false, with `request` unchanged, for Cancel.
  virtual bool AskFind(FindRequest* request) = 0;
  // Asks for the file to save the messages in ("Text files (*.txt)", the
  // default extension "txt"; the folder must exist). False on Cancel.
  virtual bool AskSaveFile(std::string* path) = 0;
  // Shows the wait cursor until the matching EndWait; pairs may nest.
  virtual void BeginWait() = 0;
  virtual void EndWait() = 0;
};

// Shows the wait cursor for the lifetime of the object.
class WaitCursor {
 public:
  explicit WaitCursor(UserInterface& ui) : ui_(ui) { ui_.BeginWait(); }
  ~WaitCursor() { ui_.EndWait(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  UserInterface& ui_;
};
