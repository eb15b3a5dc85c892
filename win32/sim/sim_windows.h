// The simulated game's real windows: a frame of class "vandorframe" with
// the message pane "vandormessage" (two edits, Next and Prev buttons, the
// recipient combo box) and, on the command 2014, the "#32770" relations
// dialog with its list box and radio buttons. They behave as GameModel
// says, under the same window messages as the in-process fake.
#pragma once

#include <windows.h>

#include <string>

#include "sim/game_model.h"

class SimWindows {
 public:
  explicit SimWindows(Scenario scenario) : model_(std::move(scenario)) {}
  SimWindows(const SimWindows&) = delete;
  SimWindows& operator=(const SimWindows&) = delete;

  // Registers the window classes and shows the game's windows (or, for a
  // scenario without a frame, a plain window that says so). False when a
  // window could not be made.
  bool Create(HINSTANCE instance);

 private:
  // The window procedure of a window made with this object as its
  // creation parameter: it passes every message to `handler`.
  template <LRESULT (SimWindows::*handler)(HWND, UINT, WPARAM, LPARAM)>
  static LRESULT CALLBACK Route(HWND, UINT, WPARAM, LPARAM);
  static INT_PTR CALLBACK DialogProc(HWND, UINT, WPARAM, LPARAM);
  static LRESULT CALLBACK EditProc(HWND, UINT, WPARAM, LPARAM);
  static LRESULT CALLBACK EntriesProc(HWND, UINT, WPARAM, LPARAM);

  LRESULT OnFrame(HWND, UINT, WPARAM, LPARAM);
  LRESULT OnPane(HWND, UINT, WPARAM, LPARAM);
  INT_PTR OnDialog(HWND, UINT, WPARAM, LPARAM);

  void CreatePaneChildren();
  void LayOutPane();
  // Makes the controls show what the model says (the edits' texts a
  // moment later, see EditProc).
  void Sync();
  void ShowTexts();
  // Makes the relations dialog window once its waits have passed, and its
  // controls when it is to be shown (then shows it).
  void OfferDialog();
  void CreateDialogWindow();
  void CompleteDialog();
  void ShowSelectedRelation();
  void PaintModeHint(HWND window);
  // Stops answering for good, or closes all windows, when the scenario
  // says so.
  void HangIfDue();
  void VanishIfDue();
  // Lets the combo box or list box `window` lengthen its entries as the
  // scenario says (EntriesProc).
  void WatchEntries(HWND window);
  // Puts the model's text of entry `index` into the combo box or list box.
  void ReplaceEntry(HWND window, WPARAM index);
  void DrawListEntry(const DRAWITEMSTRUCT& item);

  GameModel model_;
  HINSTANCE instance_ = nullptr;
  HWND frame_ = nullptr;
  HWND pane_ = nullptr;
  HWND readingEdit_ = nullptr;
  HWND composeEdit_ = nullptr;
  HWND next_ = nullptr;
  HWND prev_ = nullptr;
  HWND combo_ = nullptr;
  HWND dialog_ = nullptr;
  bool dialogComplete_ = false;  // the dialog has its controls and is shown
  int titlesTold_ = 0;           // the times the frame answered WM_GETTEXT
  HWND list_ = nullptr;
  HWND relationButtons_[3] = {};
  WNDPROC editProc_ = nullptr;
  WNDPROC comboProc_ = nullptr;
  WNDPROC listProc_ = nullptr;
  bool textsPending_ = false;
  std::string shownReading_;
  std::string shownCompose_;
};
