// AboutDialog: the program's name and version (template 135). Its cancel
// command (Escape, the close box) writes the debug dump of both tables to
// "C:\vandormsg.log" (or, where that cannot be written, to `fallbackDump`)
// and leaves the dialog open; "OK" closes it.
#pragma once

#include <string>

#include "win32/black_dialog.h"
#include "win32/owner_draw_controls.h"

class CurrentGame;

class AboutDialog : public BlackDialog {
 public:
  AboutDialog(HWND parent, const CurrentGame& game, std::string fallbackDump);

 private:
  bool OnInit() override;
  void OnCancel() override;

  const CurrentGame& game_;
  std::string fallbackDump_;
  OwnerDrawStatic lines_[3];
  OwnerDrawButton dump_;
  OwnerDrawButton ok_;
};
