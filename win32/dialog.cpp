#include "win32/dialog.h"

#include <exception>

#include "support/lexc.h"
#include "win32/owner_draw_controls.h"
#include "win32/wide_text.h"

namespace {

// The dialog being created on this thread, until its window's first message
// attaches it.
thread_local Dialog* creating = nullptr;

}  // namespace

void ShowEscapedError(HWND owner, const std::string& report) {
  const std::string text = "The command stopped on an error. Details: \r\n " + report;
  MessageBoxW(owner, ToWide(text).c_str(), L"Error", MB_OK);
}

LRESULT GuardCallback(HWND owner, const std::function<LRESULT()>& body, LRESULT failed) {
  try {
    return body();
  } catch (const LExc_Base& e) {
    ShowEscapedError(owner, e.reportText());
  } catch (const std::exception& e) {
    ShowEscapedError(owner, e.what());
  } catch (...) {
    ShowEscapedError(owner, "an unknown error");
  }
  return failed;
}

INT_PTR Dialog::DoModal() {
  creating = this;
  const INT_PTR result = DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId_),
                                         parent_, Proc, reinterpret_cast<LPARAM>(this));
  creating = nullptr;
  window_ = nullptr;
  return result;
}

INT_PTR CALLBACK Dialog::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<Dialog*>(GetWindowLongPtrW(window, DWLP_USER));
  if (self == nullptr && creating != nullptr) {
    self = creating;
    creating = nullptr;
    self->window_ = window;
    SetWindowLongPtrW(window, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
  }
  if (self == nullptr) return FALSE;
  return GuardCallback(window, [&] { return self->Dispatch(message, wParam, lParam); }, TRUE);
}

INT_PTR Dialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      return OnInit() ? TRUE : FALSE;
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      const int code = HIWORD(wParam);
      if (OnCommand(id, code)) return TRUE;
      if (id == IDOK) OnOk();
      if (id == IDCANCEL) OnCancel();
      return id == IDOK || id == IDCANCEL;
    }
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
      if (OwnerDraw(message, wParam, lParam)) return TRUE;
      break;
    default:
      break;
  }
  INT_PTR result = 0;
  if (!OnMessage(message, wParam, lParam, &result)) return FALSE;
  // These few messages take their answer as the procedure's return value.
  const bool direct = message == WM_QUERYDRAGICON || message == WM_COMPAREITEM ||
                      message == WM_VKEYTOITEM || message == WM_CHARTOITEM ||
                      (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC);
  if (direct) return result;
  SetWindowLongPtrW(window_, DWLP_MSGRESULT, result);
  return TRUE;
}

bool Dialog::OwnerDraw(UINT message, WPARAM wParam, LPARAM lParam) {
  const auto found = ownerDrawn_.find(static_cast<int>(wParam));
  if (found == ownerDrawn_.end()) return false;
  if (message == WM_DRAWITEM) {
    found->second->DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
  } else {
    found->second->MeasureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
  }
  return true;
}
