// Dialog: a modal dialog from a template, whose dialog procedure hands the
// messages to virtual handlers of a C++ object.
//
// The object is attached to its window with the first message the window
// gets (owner-drawn lists ask for their item heights before
// WM_INITDIALOG). No exception crosses the dialog procedure: one that
// escapes a handler is shown in a message box with the caption "Error" and
// the exception's report, and the program goes on.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <string>

class OwnerDrawControl;

class Dialog {
 public:
  // `parent` may be null.
  Dialog(int templateId, HWND parent) : templateId_(templateId), parent_(parent) {}
  virtual ~Dialog() = default;
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

  // Shows the dialog and returns when it ends, with the result passed to
  // End (-1 when the dialog could not be shown).
  INT_PTR DoModal();
  HWND Handle() const { return window_; }
  HWND Item(int id) const { return GetDlgItem(window_, id); }

 protected:
  // WM_INITDIALOG; true lets the system set the focus.
  virtual bool OnInit() { return true; }
  // WM_COMMAND from control `id` with notification `code`; true when
  // handled. OK and Cancel (Enter, Escape, the close box) come to OnOk and
  // OnCancel.
  virtual bool OnCommand(int /*id*/, int /*code*/) { return false; }
  virtual void OnOk() { End(IDOK); }
  virtual void OnCancel() { End(IDCANCEL); }
  // Any other message; true when handled, `result` the answer.
  virtual bool OnMessage(UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/,
                         INT_PTR* /*result*/) {
    return false;
  }

  void End(INT_PTR result) { EndDialog(window_, result); }
  // Sends WM_DRAWITEM and WM_MEASUREITEM of control `id` to `control`,
  // which must live as long as the dialog. Call from the constructor.
  void AddOwnerDrawn(int id, OwnerDrawControl* control) { ownerDrawn_[id] = control; }

 private:
  static INT_PTR CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
  bool OwnerDraw(UINT message, WPARAM wParam, LPARAM lParam);

  int templateId_;
  HWND parent_;
  HWND window_ = nullptr;
  std::map<int, OwnerDrawControl*> ownerDrawn_;
};

// Shows a failure that escaped a command: caption "Error", `report` below
// a line that says the command stopped.
void ShowEscapedError(HWND owner, const std::string& report);

// Runs `body`, the work of a callback that the system calls (a window or
// dialog procedure, a hook), and returns its result. No exception may cross
// such a callback: one that `body` raises is shown (ShowEscapedError, over
// `owner`) and `failed` returned instead.
LRESULT GuardCallback(HWND owner, const std::function<LRESULT()>& body, LRESULT failed);
