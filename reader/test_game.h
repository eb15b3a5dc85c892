// A CurrentGame for tests: a fixed clock and a few races.
#pragma once

#include <memory>

#include "reader/current_game.h"
#include "reader/game_tables.h"

namespace testing_game {

inline const Timestamp kMoment(LDat(2026, 12, 8), LTim(4, 5, 9), 0);

inline std::unique_ptr<CurrentGame> makeGame() {
  auto game = std::make_unique<CurrentGame>(std::make_unique<FixedClock>(kMoment));
  DefineTableColumns(*game, game->RaceTable());
  DefineTableColumns(*game, game->MessageTable());
  return game;
}

// Appends a race row with its plural name and relation.
inline void addRace(CurrentGame& game, int32_t number, const char* plural, int32_t relation) {
  CacheRow row = game.RaceTable().templateRow();
  row.setLong(RACNO, number);
  row.setString(RACNAMPLU, plural);
  row.setLong(RACRELATION, relation);
  row.setTimestamp(RACHROWID, kMoment);
  game.RaceTable().appendRow(row);
}

}  // namespace testing_game
