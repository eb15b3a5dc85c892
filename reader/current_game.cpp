#include "reader/current_game.h"

#include "reader/game_tables.h"

CurrentGame::CurrentGame(std::unique_ptr<Clock> clock) : clock_(std::move(clock)) {}

void CurrentGame::ClearIdentity() {
  gameName_.clear();
  raceNumber_ = -1;
  turn_ = -1;
}

bool CurrentGame::IsLoaded() const {
  return !gameName_.empty() && raceNumber_ >= 0 && raceNumber_ < kMaxRaces &&
         turn_ >= kFirstTurn;
}

std::string CurrentGame::RaceName(int32_t race) const {
  if (raceTable_.findColumn(RACNO) < 0 || raceTable_.findColumn(RACNAMPLU) < 0) {
    return std::string();
  }
  CacheRow pattern = raceTable_.templateRow();
  pattern.setLong(RACNO, race);
  const CachePosition found = raceTable_.findFirst(pattern);
  if (found.isEnd()) return std::string();
  const CacheRow row = raceTable_.rowAt(found);
  return row.isNull(RACNAMPLU) ? std::string() : row.getString(RACNAMPLU);
}
