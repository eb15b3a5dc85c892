// The main window's commands over the archive: choosing games, races and
// turns, stepping through turns, the message filter and the all-turns
// view. Each command changes the CurrentGame (through the archive) and the
// filter, and tells the window what to show afterwards.
#pragma once

#include <optional>
#include <string>

#include "app/command_ui.h"
#include "app/main_window_view.h"

class CurrentGame;
class GameArchive;

// What the window does after a command.
struct CommandOutcome {
  bool refresh = false;                    // RefreshMainWindow
  std::optional<std::string> filterLabel;  // set before the refresh
  std::optional<std::string> yearLabel;    // set after the refresh
};

class BrowseCommands {
 public:
  // All four must outlive the commands; `filter` is the main window's.
  BrowseCommands(CurrentGame& game, const GameArchive& archive, CommandUi& ui,
                 MessageFilter& filter)
      : game_(game), archive_(archive), ui_(ui), filter_(filter) {}

  // "Choose Game to load": loads the chosen game's first race and latest
  // turn (an OK without a choice loads nothing and clears the game).
  CommandOutcome OnLoadGame();
  // "Choose Player Race": loads the chosen race's latest turn.
  CommandOutcome OnChangeRace();
  // "Choose Turn": loads the chosen turn of the game and race.
  CommandOutcome OnTurnList();
  // The stored turn after (before) the current one, if there is one.
  CommandOutcome OnNextTurn();
  CommandOutcome OnPrevTurn();
  // "Choose Filter Option:": all messages, player post, outgoing post or
  // the post of one race.
  CommandOutcome OnFilter();
  // The player post of every stored turn of the game and race, sorted by
  // race; the Year label reads "ALL".
  CommandOutcome OnAllTurns();

 private:
  CommandOutcome Load(const std::string& game, int32_t race, int32_t turn);
  CommandOutcome StepTurn(int direction);

  CurrentGame& game_;
  const GameArchive& archive_;
  CommandUi& ui_;
  MessageFilter& filter_;
};
