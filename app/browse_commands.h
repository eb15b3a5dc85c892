// The main window's commands over the archive: choosing games, races and
// turns, stepping through turns, the message filter and the all-turns
// view. Each command changes the CurrentGame (through the store) and the
// filter, and tells the window what to show afterwards.
#pragma once

#include <string>

#include "app/command_outcome.h"
#include "app/main_window_view.h"
#include "app/stored_turns.h"
#include "app/user_interface.h"

class CurrentGame;
class TurnStore;
class UserInterface;

class BrowseCommands {
 public:
  // All four must outlive the commands; `filter` is the main window's.
  BrowseCommands(CurrentGame& game, const TurnStore& store, UserInterface& ui,
                 MessageFilter& filter)
      : game_(game), store_(store), ui_(ui), filter_(filter) {}

  // "Choose Game to load": loads the chosen game's first race and latest
  // turn (an OK without a choice loads nothing and clears the game). Every
  // other command does nothing unless the game has a turn
  // (CurrentGame::HasTurn), as the window enables them.
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
  // "Find...": every stored message of the game and race, all turns,
  // whose text contains what the user asks for, ordered as All Turns
  // orders them; the Year label reads "FIND" and the list and the detail
  // mark the found text. The dialog opens with the last request.
  CommandOutcome OnFind();

 private:
  CommandOutcome Load(const std::string& game, int32_t race, int32_t turn);
  CommandOutcome StepTurn(int direction);
  // The messages of every stored turn of the game and race that `wanted`
  // takes, sorted by race, in the MessageTable; the game is at its latest
  // turn. False when the game and race have no stored turn (nothing
  // changes then).
  bool GatherAllTurns(const MessageSelection& wanted);

  CurrentGame& game_;
  const TurnStore& store_;
  UserInterface& ui_;
  MessageFilter& filter_;
  FindRequest lastFind_;
};
