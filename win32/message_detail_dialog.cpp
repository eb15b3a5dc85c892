#include "win32/message_detail_dialog.h"

#include "app/control_ids.h"
#include "app/message_detail.h"
#include "reader/current_game.h"
#include "win32/wide_text.h"

namespace {

// The detail dialog open on this thread, for the key filter.
thread_local MessageDetailDialog* shown = nullptr;

}  // namespace

MessageDetailDialog::MessageDetailDialog(HWND parent, const CurrentGame& game,
                                         CachePosition position)
    : BlackDialog(IDD_MESSAGE_DETAIL, parent), game_(game), position_(position) {
  AddOwnerDrawn(IDC_DETAIL_PREVIOUS, &previous_);
  AddOwnerDrawn(IDC_DETAIL_NEXT, &next_);
  AddOwnerDrawn(IDCANCEL, &cancel_);
}

bool MessageDetailDialog::OnInit() {
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
  const MessageDetailView view = ::ShowMessage(game_, position_);
  SetDlgItemTextW(Handle(), IDC_DETAIL_TEXT, ToWide(view.text).c_str());
  header_.SetTextColor(view.color);
  header_.SetText(view.header);
  party_.SetTextColor(view.color);
  party_.SetText(view.party);
  EnableWindow(Item(IDC_DETAIL_NEXT), view.nextEnabled);
  EnableWindow(Item(IDC_DETAIL_PREVIOUS), view.previousEnabled);
}

void MessageDetailDialog::Next() {
  const SmartCache& messages = game_.MessageTable();
  const CachePosition after = messages.next(position_);
  if (after == messages.end()) {
    EnableWindow(Item(IDC_DETAIL_NEXT), FALSE);
    return;
  }
  position_ = after;
  ShowMessage();
}

void MessageDetailDialog::Previous() {
  const SmartCache& messages = game_.MessageTable();
  if (position_ == messages.begin()) {
    EnableWindow(Item(IDC_DETAIL_PREVIOUS), FALSE);
    return;
  }
  position_ = messages.prev(position_);
  ShowMessage();
}

bool MessageDetailDialog::OnCommand(int id, int) {
  if (id == IDC_DETAIL_NEXT) Next();
  else if (id == IDC_DETAIL_PREVIOUS) Previous();
  else return false;
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
    switch (message->wParam) {
      case VK_RIGHT:
      case VK_DOWN:
        shown->Next();
        return 1;
      case VK_LEFT:
      case VK_UP:
        shown->Previous();
        return 1;
      default:
        break;
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}
