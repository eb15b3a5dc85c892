#include "win32/message_detail_dialog.h"

#include "app/control_ids.h"
#include "app/message_detail.h"
#include "reader/current_game.h"
#include "win32/screen_area.h"
#include "win32/wide_text.h"

namespace {

// The detail dialog open on this thread, for the key filter.
thread_local MessageDetailDialog* shown = nullptr;

}  // namespace

MessageDetailDialog::MessageDetailDialog(HWND parent, const CurrentGame& game,
                                         CachePosition position, const TextMatcher* marks)
    : BlackDialog(IDD_MESSAGE_DETAIL, parent), game_(game), position_(position), marks_(marks) {
  AddOwnerDrawn(IDC_DETAIL_PREVIOUS, &previous_);
  AddOwnerDrawn(IDC_DETAIL_NEXT, &next_);
  AddOwnerDrawn(IDCANCEL, &cancel_);
}

bool MessageDetailDialog::OnInit() {
  CenterOverOwner(Handle());
  header_.Attach(Item(IDC_DETAIL_HEADER));
  party_.Attach(Item(IDC_DETAIL_PARTY));
  header_.SetScale(1, 0);
  party_.SetScale(1, 0);
  shown = this;
  keyFilter_ = SetWindowsHookExW(WH_MSGFILTER, KeyFilter, nullptr, GetCurrentThreadId());
  ShowMessage();
  return true;
}

void MessageDetailDialog::ShowMessage() {
  const MessageDetailView view = ::ShowMessage(game_, position_, marks_);
  HWND text = Item(IDC_DETAIL_TEXT);
  SetWindowTextW(text, ToWide(view.text).c_str());
  // Each byte of the text is one character of the box: the found text is
  // selected where the view says (the box shows it without the focus).
  SendMessageW(text, EM_SETSEL, view.markBegin, view.markEnd);
  SendMessageW(text, EM_SCROLLCARET, 0, 0);
  header_.SetTextColor(view.color);
  header_.SetText(view.header);
  party_.SetTextColor(view.color);
  party_.SetText(view.party);
  // Enabled first, so that a focus handed on never lands on a button that
  // is about to go.
  for (bool enable : {true, false}) {
    if (view.nextEnabled == enable) EnableButton(IDC_DETAIL_NEXT, enable);
    if (view.previousEnabled == enable) EnableButton(IDC_DETAIL_PREVIOUS, enable);
  }
}

void MessageDetailDialog::EnableButton(int id, bool enabled) {
  HWND button = Item(id);
  if (!enabled && GetFocus() == button) {
    HWND other = Item(id == IDC_DETAIL_NEXT ? IDC_DETAIL_PREVIOUS : IDC_DETAIL_NEXT);
    HWND heir = IsWindowEnabled(other) ? other : Item(IDCANCEL);
    SendMessageW(Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(heir), TRUE);
  }
  EnableWindow(button, enabled ? TRUE : FALSE);
}

void MessageDetailDialog::Next() {
  const SmartCache& messages = game_.MessageTable();
  const CachePosition after = messages.next(position_);
  if (after == messages.end()) {
    EnableButton(IDC_DETAIL_NEXT, false);
    return;
  }
  position_ = after;
  ShowMessage();
}

void MessageDetailDialog::Previous() {
  const SmartCache& messages = game_.MessageTable();
  if (position_ == messages.begin()) {
    EnableButton(IDC_DETAIL_PREVIOUS, false);
    return;
  }
  position_ = messages.prev(position_);
  ShowMessage();
}

bool MessageDetailDialog::OnKey(WPARAM key) {
  switch (key) {
    case VK_RIGHT:
    case VK_DOWN:
      Next();
      return true;
    case VK_LEFT:
    case VK_UP:
      Previous();
      return true;
    case VK_NEXT:
    case VK_PRIOR:
      SendMessageW(Item(IDC_DETAIL_TEXT), WM_VSCROLL, key == VK_NEXT ? SB_PAGEDOWN : SB_PAGEUP, 0);
      return true;
    default:
      return false;
  }
}

bool MessageDetailDialog::OnCommand(int id, int code) {
  if (id == IDC_DETAIL_NEXT) {
    Next();
  } else if (id == IDC_DETAIL_PREVIOUS) {
    Previous();
  } else if (id == IDC_DETAIL_TEXT && code == EN_SETFOCUS) {
    // The text box only shows: the keys stay with the buttons.
    SendMessageW(Handle(), WM_NEXTDLGCTL, 0, FALSE);
  } else {
    return false;
  }
  return true;
}

bool MessageDetailDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) {
  if (message == WM_DESTROY) {
    if (keyFilter_) UnhookWindowsHookEx(keyFilter_);
    keyFilter_ = nullptr;
    shown = nullptr;
    return false;
  }
  return BlackDialog::OnMessage(message, wParam, lParam, result);
}

LRESULT CALLBACK MessageDetailDialog::KeyFilter(int code, WPARAM wParam, LPARAM lParam) {
  const MSG* message = reinterpret_cast<const MSG*>(lParam);
  if (code == MSGF_DIALOGBOX && shown != nullptr && message->message == WM_KEYDOWN &&
      (message->hwnd == shown->Handle() || IsChild(shown->Handle(), message->hwnd))) {
    MessageDetailDialog* dialog = shown;
    const LRESULT handled = GuardCallback(
        dialog->Handle(), [&] { return dialog->OnKey(message->wParam) ? 1 : 0; }, 1);
    if (handled) return 1;
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}
