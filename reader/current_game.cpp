#include "reader/current_game.h"

#include "reader/game_tables.h"

CurrentGame::CurrentGame(std::unique_ptr<Clock> clock) : clock_(std::move(clock)) {}

void CurrentGame::ClearIdentity() {
  gameName_.clear();
  raceNumber_ = -1;
  turn_ = -1;
}

bool CurrentGame::HasTurn() const {
  return !gameName_.empty() && IsRaceNumber(raceNumber_) && IsGameTurn(turn_);
}

CachePosition CurrentGame::FindRaceRow(int32_t race) const {
  if (raceTable_.findColumn(RACNO) < 0) return raceTable_.end();
  CacheRow pattern = raceTable_.templateRow();
  pattern.setLong(RACNO, race);
  return raceTable_.findFirst(pattern);
}

std::string CurrentGame::RaceName(int32_t race) const {
  if (raceTable_.findColumn(RACNAMPLU) < 0) return std::string();
  const CachePosition found = FindRaceRow(race);
  if (found.isEnd()) return std::string();
  const CacheRow row = raceTable_.rowAt(found);
  return row.isNull(RACNAMPLU) ? std::string() : row.getString(RACNAMPLU);
}
