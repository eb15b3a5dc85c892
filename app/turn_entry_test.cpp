#include "app/turn_entry.h"

#include <gtest/gtest.h>

namespace {

TEST(TurnEntry, ParsesLikeTheDialog) {
  EXPECT_EQ(ParseTurnText("2400"), 2400);
  EXPECT_EQ(ParseTurnText("  +2401abc"), 2401);
  EXPECT_EQ(ParseTurnText("-2500"), -2500);
  EXPECT_EQ(ParseTurnText(""), 0);
  EXPECT_EQ(ParseTurnText("abc"), 0);
  EXPECT_EQ(ParseTurnText("99999999999999"), 2147483647);
  EXPECT_EQ(ParseTurnText("-99999999999999"), -2147483647 - 1);
  EXPECT_TRUE(IsValidTurn(2400));
  EXPECT_FALSE(IsValidTurn(2399));
  EXPECT_FALSE(IsValidTurn(ParseTurnText("")));
}

TEST(TurnEntry, TakesOnlyTurnsTheArchiveCanList) {
  // The archive lists turn files of nine digits at most: a larger turn
  // would be stored but never offered again.
  EXPECT_TRUE(IsValidTurn(ParseTurnText("999999999")));
  EXPECT_FALSE(IsValidTurn(ParseTurnText("1000000000")));
  EXPECT_FALSE(IsValidTurn(ParseTurnText("99999999999")));  // cut to 2147483647
  EXPECT_FALSE(IsValidTurn(ParseTurnText("-99999999999")));
}

}  // namespace
