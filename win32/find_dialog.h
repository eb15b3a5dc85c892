// FindDialog: asks for the text that "Find..." looks for (template 137), in
// the program's look: a caption, an edit field cyan on black, the check box
// "ignore case", "Ok" and "Cancel" (Enter and Escape). It opens centred over
// the main window with the last request filled in and selected.
#pragma once

#include "app/user_interface.h"
#include "win32/black_dialog.h"
#include "win32/owner_draw_controls.h"

class FindDialog : public BlackDialog {
 public:
  FindDialog(HWND parent, FindRequest request);

  // Runs the dialog: true with what was entered for OK, false for Cancel.
  bool Run(FindRequest* request);

 private:
  bool OnInit() override;
  bool OnCommand(int id, int code) override;
  void OnOk() override;

  FindRequest request_;
  OwnerDrawStatic caption_;
  OwnerDrawCheckBox ignoreCase_;
  OwnerDrawButton ok_;
  OwnerDrawButton cancel_;
};
