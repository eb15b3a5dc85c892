// "Read from Vandor!": capturing the current turn from the game's windows.
#pragma once

#include <cstdint>
#include <string>

#include "app/command_outcome.h"
#include "reader/window_ops.h"

class CurrentGame;
class TurnStore;
class UserInterface;
struct GameWindows;

// The program's own texts of the capture.
namespace program_ui {

inline constexpr char kProgramCaption[] = "Vandor! Message Reader";
inline constexpr char kNotResponding[] =
    "Vandor! does not respond - the turn was not read. Check the game and try again.";
inline constexpr char kOverwriteQuestion[] =
    "Turn %d for Game %s/Race %d already loaded. Overwrite old data?";
// The title names a race beyond the races the archive can keep (the title
// counts them from 1).
inline constexpr char kRaceOutOfBounds[] =
    "Vandor! names race %d in its title, but the reader keeps races 1 to %d only - "
    "the turn was not read.";

}  // namespace program_ui

// How far the capture reads.
namespace capture_limits {

// Incoming messages read at most, and presses of Prev at most.
inline constexpr int kMaxIncoming = 10000;
inline constexpr int kMaxPrevPresses = 10000;
// Pages of outgoing messages read, whatever the game shows.
inline constexpr int kOutgoingPasses = 32;
// Pages of outgoing messages read at most: after the first 32, the next
// one only while the game's Next button is enabled.
inline constexpr int kMaxOutgoing = 10000;
// The pane's height while the incoming messages are read.
inline constexpr int32_t kReadingHeight = 20;

}  // namespace capture_limits

class MessageCapture {
 public:
  // `ops` drives the game, `ui` asks and tells the user, `store` keeps the
  // turn; all must outlive the capture.
  MessageCapture(WindowOps& ops, UserInterface& ui, const TurnStore& store)
      : ops_(ops), ui_(ui), store_(store) {}

  // Reads the game's current turn into `game`: finds the game's windows,
  // asks for the turn, reads the relations, the frame title and every
  // incoming and outgoing message, sorts the messages by race, saves the
  // turn and writes its text file. A turn already stored is overwritten
  // only when the user agrees; otherwise the stored turn is loaded. Stops
  // early, with a message where the game lacks a window, names a race the
  // archive cannot keep or stops answering, and leaves `game` as far as it
  // got; only a complete capture is saved.
  void ReadFromGame(CurrentGame& game);

  // The command: ReadFromGame, then the main window is restored and
  // refreshed. Run it through RunCommand with AfterCapture() for a raise,
  // so that the window is brought up to date however the capture ended.
  CommandOutcome OnReadFromGame(CurrentGame& game);
  static CommandOutcome AfterCapture();

 private:
  // Steps the reading edit through the incoming messages; returns the last
  // message number used.
  int32_t ReadIncoming(CurrentGame& game, const GameWindows& windows);
  // Pages the outgoing messages from the first one, 32 times, then on
  // while the game's Next button is enabled.
  void ReadOutgoing(CurrentGame& game, const GameWindows& windows, WindowHandle combo,
                    int32_t number);
  // Reads an edit's text, at most 9999 characters.
  std::string ReadEdit(WindowHandle edit);
  // Asks whether a stored turn may be replaced; false after loading it.
  bool MayOverwrite(CurrentGame& game);
  // The capture's steps that drive the game; false when it stopped early.
  bool ReadTurn(CurrentGame& game);
  // Shows `problem` unless it is empty.
  void SayIfAny(const std::string& problem);

  WindowOps& ops_;
  UserInterface& ui_;
  const TurnStore& store_;
};
