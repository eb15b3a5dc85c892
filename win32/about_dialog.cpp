#include "win32/about_dialog.h"

#include "app/control_ids.h"
#include "app/save_as_text.h"
#include "support/version.h"

AboutDialog::AboutDialog(HWND parent, const CurrentGame& game, std::string fallbackDump)
    : BlackDialog(IDD_ABOUT, parent), game_(game), fallbackDump_(std::move(fallbackDump)) {
  AddOwnerDrawn(IDCANCEL, &dump_);
  AddOwnerDrawn(IDOK, &ok_);
}

bool AboutDialog::OnInit() {
  const int ids[3] = {IDC_ABOUT_VERSION, IDC_ABOUT_LINE1, IDC_ABOUT_LINE2};
  for (int i = 0; i < 3; ++i) {
    lines_[i].Attach(Item(ids[i]));
    lines_[i].SetScale(0, 1);
  }
  lines_[0].SetText("Vandor! Message Reader V" VANDOR_VERSION_TEXT);
  ShowWindow(Item(IDCANCEL), SW_HIDE);
  return true;
}

void AboutDialog::OnCancel() { OnDebugDump(game_, kDebugDumpFile, fallbackDump_); }
