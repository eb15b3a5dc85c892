#include "win32/find_dialog.h"

#include "app/control_ids.h"
#include "win32/screen_area.h"
#include "win32/wide_text.h"

namespace {

// The longest text the field takes: far more than any search needs, and
// within what a stored message can hold.
constexpr int kLongestText = 255;

}  // namespace

FindDialog::FindDialog(HWND parent, FindRequest request)
    : BlackDialog(IDD_FIND, parent), request_(std::move(request)) {
  AddOwnerDrawn(IDC_FIND_IGNORE_CASE, &ignoreCase_);
  AddOwnerDrawn(IDOK, &ok_);
  AddOwnerDrawn(IDCANCEL, &cancel_);
}

bool FindDialog::Run(FindRequest* request) {
  if (DoModal() != IDOK) return false;
  *request = request_;
  return true;
}

bool FindDialog::OnInit() {
  CenterOverOwner(Handle());
  caption_.Attach(Item(IDC_FIND_CAPTION));
  caption_.SetScale(0, 0);
  ignoreCase_.Attach(Item(IDC_FIND_IGNORE_CASE));
  ignoreCase_.SetChecked(request_.ignoreCase);
  HWND field = Item(IDC_FIND_TEXT);
  SendMessageW(field, EM_LIMITTEXT, kLongestText, 0);
  SetWindowTextW(field, ToWide(request_.text).c_str());
  // The field has the focus, its text selected: typing replaces it.
  SendMessageW(Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(field), TRUE);
  SendMessageW(field, EM_SETSEL, 0, -1);
  return false;  // the focus is set
}

bool FindDialog::OnCommand(int id, int code) {
  if (id != IDC_FIND_IGNORE_CASE) return false;
  if (code == BN_CLICKED || code == BN_DOUBLECLICKED) ignoreCase_.Toggle();
  return true;
}

void FindDialog::OnOk() {
  HWND field = Item(IDC_FIND_TEXT);
  const int length = GetWindowTextLengthW(field);
  std::wstring text(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
  const int read = GetWindowTextW(field, &text[0], static_cast<int>(text.size()));
  text.resize(static_cast<size_t>(read > 0 ? read : 0));
  // Stored messages hold code page 1252 only: a character beyond it
  // cannot be found, and must not be searched for as the '?' it would
  // become.
  const std::string narrow = FromWide(text);
  if (ToWide(narrow) != text) {
    MessageBoxW(Handle(),
                L"The text holds characters that no message can contain (the game writes "
                L"Western European letters only).",
                L"Find", MB_OK | MB_ICONEXCLAMATION);
    SendMessageW(Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(field), TRUE);
    return;
  }
  request_.text = narrow;
  request_.ignoreCase = ignoreCase_.Checked();
  End(IDOK);
}
