// Driving the programs' windows from another process, as a user would:
// starting programs, waiting for windows, pressing buttons, typing into
// fields and taking screenshots. Used by the end-to-end tests and the demo.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>

// A program started in a process of its own; ended when this object goes
// unless it has ended before.
class ChildProcess {
 public:
  // Starts `commandLine` (the program's path first, quoted where needed)
  // in the folder `currentFolder`, or in this program's current folder
  // when it is empty.
  explicit ChildProcess(const std::wstring& commandLine, const std::wstring& currentFolder = L"");
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool Started() const { return process_ != nullptr; }
  // Waits up to `milliseconds` for the program to end; true when it has.
  bool WaitForExit(DWORD milliseconds);
  // The program's exit status once it has ended; -1 before, or when it
  // did not start.
  int64_t ExitStatus() const;

 private:
  HANDLE process_ = nullptr;
};

// Polls `done` every 50 ms until it is true or `milliseconds` have passed.
bool WaitUntil(const std::function<bool()>& done, DWORD milliseconds);

// The top-level window of `className` titled `title` (null: any title), or
// null when none appears within `milliseconds`.
HWND WaitForWindow(const wchar_t* className, const wchar_t* title, DWORD milliseconds);

// The top-level dialog titled `title` once it takes input: shown, with every
// control of `controls` created, and its thread back in its message loop.
// A dialog's caption exists before its controls and before its
// WM_INITDIALOG has run; what is typed or pressed earlier is lost. Null
// when it is not ready within `milliseconds`.
HWND WaitForDialog(const wchar_t* title, std::initializer_list<int> controls, DWORD milliseconds);

// Waits until the program of `window` has finished what it is doing: a
// message sent to it is handled only once it is back in its message loop
// (or waits on a send of its own). False when it does not answer within
// `milliseconds`.
bool WaitForIdle(HWND window, DWORD milliseconds);

// A window's text. For a control of another process that is the text
// the system keeps for the window, which an edit control does not update:
// ControlText asks the control itself.
std::wstring TextOf(HWND window);
// The text a control holds (WM_GETTEXT), also in another process; empty
// when it does not answer within a few seconds.
std::wstring ControlText(HWND control);
// Presses a button, without waiting for what it starts.
void Press(HWND button);
// Presses a button and returns once its program has handled the click;
// false when that does not happen within `milliseconds`. Only for buttons
// that open no dialog: the call would wait for the dialog to close.
bool PressAndWait(HWND button, DWORD milliseconds);
// The window that has the keyboard focus in the thread of `window`; null
// when none has.
HWND FocusOf(HWND window);
// Types `key` as a user does: a key press and release for the window with
// the keyboard focus in the thread of `window`. False when no window has
// the focus there (the key would go nowhere).
bool TypeKey(HWND window, UINT key);
// Sets the text of a dialog's control.
void Type(HWND dialog, int id, const std::wstring& text);
// Selects entry `index` of a dialog's list box as a click would, telling
// the dialog (LBN_SELCHANGE, or LBN_DBLCLK for a double click).
void SelectEntry(HWND dialog, int listId, int index, bool doubleClick = false);
// Brings a window to the top and repaints it.
void BringToTop(HWND window);
// Waits until neither `window` nor any of its children has a part left to
// paint and its program is idle: what the screen shows is then final.
bool WaitForPainted(HWND window, DWORD milliseconds);

// Saves what the screen shows of `window` as a PNG file; false on failure.
bool SaveScreenshot(HWND window, const std::string& path);

// vandor-sim.exe playing a scenario, from construction until destruction.
class SimulatedGame {
 public:
  // Starts `simulator` on the scenario file `scenarioPath` and returns once
  // its windows are up (or it has failed).
  SimulatedGame(const std::wstring& simulator, const std::wstring& scenarioPath);
  bool Started() const { return started_; }

 private:
  std::unique_ptr<ChildProcess> process_;
  bool started_ = false;
};
