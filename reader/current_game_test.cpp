#include "reader/current_game.h"

#include <gtest/gtest.h>

#include "cache/type_codes.h"
#include "reader/game_tables.h"
#include "reader/test_game.h"

namespace {

using testing_game::addRace;
using testing_game::makeGame;

TEST(CurrentGame, StartsEmpty) {
  CurrentGame game;
  EXPECT_EQ(game.GameName(), "");
  EXPECT_EQ(game.RaceNumber(), 0);
  EXPECT_EQ(game.Turn(), 0);
  EXPECT_EQ(game.RaceTable().columnCount(), 0u);
  EXPECT_EQ(game.MessageTable().rowCount(), 0);
  EXPECT_FALSE(game.HasTurn());
  EXPECT_EQ(game.RaceName(0), "");  // no columns yet: no name
}

TEST(CurrentGame, LoadedNeedsNameRaceAndRealTurn) {
  CurrentGame game;
  game.SetGameName("Galaxy");
  game.SetRaceNumber(15);
  game.SetTurn(2400);
  EXPECT_TRUE(game.HasTurn());
  game.SetTurn(2399);
  EXPECT_FALSE(game.HasTurn());
  game.SetTurn(2400);
  game.SetRaceNumber(16);
  EXPECT_FALSE(game.HasTurn());
  game.SetRaceNumber(-1);
  EXPECT_FALSE(game.HasTurn());
  game.SetRaceNumber(0);
  EXPECT_TRUE(game.HasTurn());
  game.ClearIdentity();
  EXPECT_EQ(game.GameName(), "");
  EXPECT_EQ(game.RaceNumber(), -1);
  EXPECT_EQ(game.Turn(), -1);
}

TEST(CurrentGame, LoadedTurnIsOneTheArchiveCanList) {
  CurrentGame game;
  game.SetGameName("Galaxy");
  game.SetRaceNumber(3);
  game.SetTurn(999999999);  // the last turn a turn file's name holds
  EXPECT_TRUE(game.HasTurn());
  for (int32_t turn : {1000000000, 2147483647}) {
    game.SetTurn(turn);
    EXPECT_FALSE(game.HasTurn()) << turn;
  }
}

TEST(CurrentGame, RaceNameIsTheFirstMatchingRowsPlural) {
  auto game = makeGame();
  addRace(*game, 3, "Zorgs", kEnemy);
  addRace(*game, 1, "Humans", kFriend);
  addRace(*game, 3, "Later Zorgs", kFriend);
  CacheRow unnamed = game->RaceTable().templateRow();
  unnamed.setLong(RACNO, 4);
  game->RaceTable().appendRow(unnamed);
  EXPECT_EQ(game->RaceName(3), "Zorgs");
  EXPECT_EQ(game->RaceName(1), "Humans");
  EXPECT_EQ(game->RaceName(4), "");
  EXPECT_EQ(game->RaceName(7), "");
  EXPECT_EQ(game->FindRaceRow(3).slot(), 0);  // the first of two rows of race 3
  EXPECT_EQ(game->FindRaceRow(4).slot(), 3);  // a row without a name is found all the same
  EXPECT_TRUE(game->FindRaceRow(7).isEnd());
  EXPECT_TRUE(CurrentGame().FindRaceRow(0).isEnd());  // no RACNO column
}

TEST(DefineTableColumns, GivesEachTableItsColumnsInOrder) {
  CurrentGame game;
  game.RaceTable().addColumn("OLD", SQL_C_CHAR);
  game.RaceTable().appendRow(game.RaceTable().templateRow());
  DefineTableColumns(game, game.RaceTable());
  DefineTableColumns(game, game.MessageTable());
  EXPECT_EQ(game.RaceTable().rowCount(), 0);

  const std::pair<const char*, int32_t> races[] = {
      {"RACNO", SQL_C_LONG},   {"RACNAMSING", SQL_C_CHAR}, {"RACNAMPLU", SQL_C_CHAR},
      {"RACEPLAYERNAM", SQL_C_CHAR}, {"RACEMAIL", SQL_C_CHAR}, {"RACRELATION", SQL_C_LONG},
      {"RACHROWID", SQL_C_TYPE_TIMESTAMP}};
  const std::pair<const char*, int32_t> messages[] = {
      {"TURN", SQL_C_LONG},   {"MSGID", SQL_C_LONG},    {"MSGTYP", SQL_C_LONG},
      {"MSGTXT", SQL_C_CHAR}, {"MSGRACNO", SQL_C_LONG}, {"MSGINCOMING", SQL_C_LONG},
      {"MSGHROWID", SQL_C_TYPE_TIMESTAMP}};
  const CacheRow raceRow = game.RaceTable().templateRow();
  const CacheRow messageRow = game.MessageTable().templateRow();
  ASSERT_EQ(raceRow.columnCount(), 7u);
  ASSERT_EQ(messageRow.columnCount(), 7u);
  for (int32_t i = 0; i < 7; ++i) {
    EXPECT_EQ(raceRow.columnName(i), races[i].first);
    EXPECT_EQ(raceRow.columnType(i), races[i].second);
    EXPECT_EQ(messageRow.columnName(i), messages[i].first);
    EXPECT_EQ(messageRow.columnType(i), messages[i].second);
  }

  SmartCache other;
  other.addColumn("X", SQL_C_LONG);
  other.appendRow(other.templateRow());
  DefineTableColumns(game, other);  // not a game table: only cleared
  EXPECT_EQ(other.columnCount(), 0u);
  EXPECT_EQ(other.rowCount(), 0);
}

}  // namespace
