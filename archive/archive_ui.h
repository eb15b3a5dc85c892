// What the archive needs from the user interface.
#pragma once

#include <string>

class ArchiveUi {
 public:
  virtual ~ArchiveUi() = default;
  // Shows `text` in a message box without owner window, with the caption
  // "Error" and only an OK button, and returns when the user closed it.
  virtual void ShowError(const std::string& text) = 0;
  // Shows the wait cursor until the matching EndWait.
  virtual void BeginWait() = 0;
  virtual void EndWait() = 0;
};

// Shows the wait cursor for the lifetime of the object.
class WaitCursor {
 public:
  explicit WaitCursor(ArchiveUi& ui) : ui_(ui) { ui_.BeginWait(); }
  ~WaitCursor() { ui_.EndWait(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  ArchiveUi& ui_;
};
