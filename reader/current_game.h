// CurrentGame: the one program-wide object of the loaded game.
//
// It holds the game's name, the player's race number (0-based), the loaded
// turn (a game year, 2400 or later) and the two game tables. The application
// object owns it for the whole run; the capture and the archive fill it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "cache/smartcache.h"
#include "reader/clock.h"
#include "reader/game_bounds.h"

class CurrentGame {
 public:
  // A game with no name, race 0, turn 0 and tables without columns or rows.
  // Row timestamps come from `clock` (the machine's clock by default).
  explicit CurrentGame(std::unique_ptr<Clock> clock = std::make_unique<SystemClock>());
  CurrentGame(const CurrentGame&) = delete;
  CurrentGame& operator=(const CurrentGame&) = delete;

  const std::string& GameName() const { return gameName_; }
  void SetGameName(const std::string& name) { gameName_ = name; }
  int32_t RaceNumber() const { return raceNumber_; }
  void SetRaceNumber(int32_t race) { raceNumber_ = race; }
  int32_t Turn() const { return turn_; }
  void SetTurn(int32_t turn) { turn_ = turn; }

  SmartCache& RaceTable() { return raceTable_; }
  const SmartCache& RaceTable() const { return raceTable_; }
  SmartCache& MessageTable() { return messageTable_; }
  const SmartCache& MessageTable() const { return messageTable_; }

  // The clock that stamps the rows of both tables.
  const Clock& RowClock() const { return *clock_; }

  // Game name empty, race and turn -1: what a capture or a load starts with.
  void ClearIdentity();

  // True when the game holds a turn that can be shown and stored: a game
  // name is set, the race is within the game's bounds (IsRaceNumber) and
  // the turn is a game turn (IsGameTurn). The one test of "a turn is
  // loaded" for every command, view and save.
  bool HasTurn() const;

  // The first row of the RaceTable whose RACNO is `race`; the end position
  // when there is none or the table has no RACNO column.
  CachePosition FindRaceRow(int32_t race) const;
  // RACNAMPLU of that row; the empty string when there is none, its name is
  // NULL or the table has no RACNAMPLU column.
  std::string RaceName(int32_t race) const;

 private:
  std::string gameName_;
  int32_t raceNumber_ = 0;
  int32_t turn_ = 0;
  SmartCache raceTable_;
  SmartCache messageTable_;
  std::unique_ptr<Clock> clock_;
};
