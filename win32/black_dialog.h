// A dialog in the program's own look: a black client area, platform text
// (the message detail's text box, the Find dialog's field) cyan on black, the program's own controls
// drawing themselves.
#pragma once

#include "win32/dialog.h"

class BlackDialog : public Dialog {
 public:
  using Dialog::Dialog;

 protected:
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) override;
};
