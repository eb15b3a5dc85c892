// "Read from Vandor!": capturing the current turn from the game's windows.
#pragma once

#include <cstdint>
#include <string>

#include "reader/window_ops.h"

class CurrentGame;
class GameArchive;
struct GameWindows;

// What the capture needs from the program's own user interface.
class CaptureUi {
 public:
  virtual ~CaptureUi() = default;
  // Asks for the turn in the Turn Information dialog, which carries
  // `gameName` in its hidden field. True, with the turn (2400 or later),
  // when the user confirmed it; false when the user cancelled.
  virtual bool AskTurn(const std::string& gameName, int32_t* turn) = 0;
  // Restores the main window (also from minimized) and refreshes what it
  // shows from the game.
  virtual void RestoreAndRefresh() = 0;
};

namespace game_ui {

inline constexpr char kProgramCaption[] = "Vandor! Message Reader";
inline constexpr char kNotResponding[] =
    "Vandor! does not respond - the turn was not read. Check the game and try again.";
inline constexpr char kOverwriteQuestion[] =
    "Turn %d for Game %s/Race %d already loaded. Overwrite old data?";
// Incoming messages read at most, and presses of Prev at most.
inline constexpr int kMaxIncoming = 10000;
inline constexpr int kMaxPrevPresses = 10000;
// Pages of outgoing messages read, whatever the game shows.
inline constexpr int kOutgoingPasses = 32;
// The pane's height while the incoming messages are read.
inline constexpr int32_t kReadingHeight = 20;

}  // namespace game_ui

class MessageCapture {
 public:
  // `ops` drives the game, `ui` asks for the turn and refreshes the main
  // window, `archive` stores the turn; all must outlive the capture.
  MessageCapture(WindowOps& ops, CaptureUi& ui, const GameArchive& archive)
      : ops_(ops), ui_(ui), archive_(archive) {}

  // Reads the game's current turn into `game`: finds the game's windows,
  // asks for the turn, reads the relations, the frame title and every
  // incoming and outgoing message, sorts the messages by race, saves the
  // turn and writes its text file. A turn already stored is overwritten
  // only when the user agrees; otherwise the stored turn is loaded. Stops
  // early, with a message where the game lacks a window or stops answering,
  // and leaves `game` as far as it got; only a complete capture is saved.
  void ReadFromGame(CurrentGame& game);

  // ReadFromGame, then the main window's restore and refresh, which happen
  // however the capture ended (exceptions pass on after them).
  void OnReadFromGame(CurrentGame& game);

 private:
  // Steps the reading edit through the incoming messages; returns the last
  // message number used.
  int32_t ReadIncoming(CurrentGame& game, const GameWindows& windows);
  // Pages the outgoing messages from the first one, 32 times.
  void ReadOutgoing(CurrentGame& game, const GameWindows& windows, WindowHandle combo,
                    int32_t number);
  // Reads an edit's text, at most 9999 characters.
  std::string ReadEdit(WindowHandle edit);
  // Asks whether a stored turn may be replaced; false after loading it.
  bool MayOverwrite(CurrentGame& game);
  // The capture's steps that drive the game; false when it stopped early.
  bool ReadTurn(CurrentGame& game);

  WindowOps& ops_;
  CaptureUi& ui_;
  const GameArchive& archive_;
};
