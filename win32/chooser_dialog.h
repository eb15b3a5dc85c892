// ChooserDialog: the modal list chooser of games, races, turns and filters
// (template 134). It opens at the mouse cursor and offers every choice, in
// its colour (0xDDDD00 beyond the colours given), at double size; "Ok" is
// enabled by the first selection change, and a double click chooses at once.
#pragma once

#include <string>
#include <vector>

#include "app/user_interface.h"
#include "win32/black_dialog.h"
#include "win32/owner_draw_controls.h"

class ChooserDialog : public BlackDialog {
 public:
  ChooserDialog(HWND parent, std::vector<std::string> choices, std::vector<Color> colors,
                std::string title);

  // Runs the chooser; the choice made (or a Cancel).
  Choice Run();

 private:
  bool OnInit() override;
  bool OnCommand(int id, int code) override;
  void OnOk() override;
  void StoreSelection();

  std::vector<std::string> choices_;
  std::vector<Color> colors_;
  std::string title_;
  Choice choice_;
  ColorListBox list_;
  OwnerDrawButton ok_;
  OwnerDrawButton cancel_;
};
