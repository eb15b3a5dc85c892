#include "win32/chooser_dialog.h"

#include "app/colors.h"
#include "app/control_ids.h"
#include "app/window_placement.h"
#include "win32/screen_area.h"
#include "win32/wide_text.h"

namespace {

// The choices are drawn at double size.
constexpr int32_t kChoiceScale = 1;

}  // namespace

ChooserDialog::ChooserDialog(HWND parent, std::vector<std::string> choices,
                             std::vector<Color> colors, std::string title)
    : BlackDialog(IDD_CHOOSER, parent),
      choices_(std::move(choices)),
      colors_(std::move(colors)),
      title_(title.empty() ? "no title" : std::move(title)) {
  AddOwnerDrawn(IDC_CHOOSER_LIST, &list_);
  AddOwnerDrawn(IDOK, &ok_);
  AddOwnerDrawn(IDCANCEL, &cancel_);
}

Choice ChooserDialog::Run() {
  choice_ = Choice();
  choice_.ok = DoModal() == IDOK;
  if (!choice_.ok) choice_ = Choice();
  return choice_;
}

bool ChooserDialog::OnInit() {
  // At the mouse cursor, but all of it on the screen under the cursor.
  POINT cursor;
  if (GetCursorPos(&cursor)) {
    const Rect size = WindowRect(Handle());
    const Rect place = PlaceAt(cursor.x, cursor.y, size.Width(), size.Height(), WorkAreaAt(cursor));
    SetWindowPos(Handle(), HWND_TOP, place.left, place.top, 0, 0, SWP_NOSIZE);
  }
  SetWindowTextW(Handle(), ToWide(title_).c_str());
  list_.Attach(Item(IDC_CHOOSER_LIST));
  SendMessageW(list_.Handle(), LB_RESETCONTENT, 0, 0);
  for (size_t i = 0; i < choices_.size(); ++i) {
    list_.AddItem(choices_[i], i < colors_.size() ? colors_[i] : kForeground, kChoiceScale);
  }
  return true;
}

bool ChooserDialog::OnCommand(int id, int code) {
  if (id != IDC_CHOOSER_LIST) return false;
  if (code == LBN_SELCHANGE) EnableWindow(Item(IDOK), TRUE);
  if (code == LBN_DBLCLK) {
    StoreSelection();
    End(IDOK);
  }
  return true;
}

void ChooserDialog::OnOk() {
  StoreSelection();
  End(IDOK);
}

void ChooserDialog::StoreSelection() {
  const LRESULT index = SendMessageW(list_.Handle(), LB_GETCURSEL, 0, 0);
  if (index >= 0 && static_cast<size_t>(index) < choices_.size()) {
    choice_.index = static_cast<int32_t>(index);
    choice_.text = choices_[static_cast<size_t>(index)];
  } else {
    choice_.index = -1;
    choice_.text.clear();
  }
}
