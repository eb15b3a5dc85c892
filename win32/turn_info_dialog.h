// TurnInfoDialog: asks for the turn of a capture (template 130, standard
// look). OK takes a turn of 2400 or later only; a smaller one is refused
// with "Please enter a valid turn" and the dialog stays open.
#pragma once

#include <cstdint>
#include <string>

#include "win32/dialog.h"

class TurnInfoDialog : public Dialog {
 public:
  // `gameName` goes into the dialog's hidden game-name field.
  TurnInfoDialog(const std::string& gameName, HWND parent);

  int32_t Turn() const { return turn_; }
  const std::string& GameName() const { return gameName_; }

 private:
  bool OnInit() override;
  void OnOk() override;

  int32_t turn_ = 0;
  std::string gameName_;
};
