// Finding the game's windows, reading its frame title and switching its
// message pane between reading and composing.
#pragma once

#include <cstdint>
#include <string>

#include "reader/window_ops.h"

// The game's window classes and the captions tried for its buttons and
// dialog (the German ones first).
namespace game_ui {

inline constexpr char kFrameClass[] = "vandorframe";
inline constexpr char kPaneClass[] = "vandormessage";
inline constexpr char kEditClass[] = "Edit";
inline constexpr char kButtonClass[] = "Button";
inline constexpr char kComboClass[] = "ComboBox";
inline constexpr char kListBoxClass[] = "ListBox";
inline constexpr char kDialogClass[] = "#32770";

inline constexpr char kNextGerman[] = "Vor";
inline constexpr char kNextEnglish[] = "Next";
inline constexpr char kPrevGerman[] = "R\xFC" "ck";
inline constexpr char kPrevEnglish[] = "Prev";

inline constexpr char kNoFrame[] = "cannot find Vandor! - start Vandor! and load your game ";
inline constexpr char kNoPane[] = "cannot find message window - start Vandor! and load your game ";
inline constexpr char kNoEdits[] = "cannot find message windows - start Vandor! and load your game ";
inline constexpr char kNoButtons[] = "cannot find \"Next\" / \"Prev\" button";

}  // namespace game_ui

// The pane's windows, held for one command.
struct GameWindows {
  WindowHandle frame = kNoWindow;
  WindowHandle pane = kNoWindow;
  WindowHandle readingEdit = kNoWindow;
  WindowHandle composeEdit = kNoWindow;
  WindowHandle nextButton = kNoWindow;
  WindowHandle prevButton = kNoWindow;
};

// Finds the frame, the pane, its two edits (the read-only one reads) and
// its Next and Prev buttons. When one is missing, returns false with the
// error message for the user in `problem` (kNoFrame, kNoPane, kNoEdits or
// kNoButtons).
bool FindGameWindows(WindowOps& ops, GameWindows* windows, std::string* problem);

// What the frame title tells: "Vandor! - <game> - <race> - <rest>", the
// player's race number following the last 'm' of <rest>, counted from 1.
struct GameTitle {
  std::string gameName;
  std::string raceName;  // the player's race, singular
  std::string rest;
  int32_t raceNumber = -1;  // 0-based; -1 when the title names none
};

// Splits a title: the three fields after the first dash, separated by
// dashes and blanks. A title shorter than 11 or longer than 1000
// characters, or with fewer fields, gives empty fields and race -1.
GameTitle ParseGameTitle(const std::string& title);

// Reads the frame's title (at most 999 characters) and parses it. Without
// a frame, returns empty fields and race -1 and sets `problem` to kNoFrame
// (unless it is null).
GameTitle ReadGameTitle(WindowOps& ops, std::string* problem = nullptr);

// Pane modes.
inline constexpr int kReadingMode = 0;
inline constexpr int kComposeMode = 1;

// Clicks near the pane's top right corner (30 pixels from the right, 17
// from the top) unless the pane is in `mode` already; the pane composes
// when the compose edit is visible.
void SetPaneMode(WindowOps& ops, int mode, WindowHandle pane, WindowHandle composeEdit);

// Sends WM_KEYDOWN and WM_KEYUP of `key` to `window`.
void PressKey(WindowOps& ops, WindowHandle window, MessageParam key);
// Sends WM_LBUTTONDOWN and WM_LBUTTONUP at `point` to `window`.
void Click(WindowOps& ops, WindowHandle window, LongParam point = 0);
// True when `window` has all the style bits of `style`.
bool HasStyle(WindowOps& ops, WindowHandle window, uint32_t style);
