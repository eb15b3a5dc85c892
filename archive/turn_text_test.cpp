#include "archive/turn_text.h"

#include <gtest/gtest.h>

#include <sstream>

#include "reader/message_classifier.h"
#include "reader/test_game.h"

namespace {

const char kHeader[] = "Game: \"Galaxy\"\r\nRace: 1\r\nTurn: 2401\r\n\r\n\r\n";

std::string textOf(const CurrentGame& game) {
  std::ostringstream out;
  WriteTurnText(game, out);
  return out.str();
}

class TurnTextTest : public ::testing::Test {
 protected:
  TurnTextTest() : game(testing_game::makeGame()) {
    game->SetGameName("Galaxy");
    game->SetRaceNumber(0);
    game->SetTurn(2401);
  }
  std::unique_ptr<CurrentGame> game;
};

TEST_F(TurnTextTest, EmptyTurnIsTheHeaderOnly) {
  EXPECT_EQ(textOf(*game), kHeader);
}

TEST_F(TurnTextTest, MessagesWithFourLineEndsEach) {
  AddMessageRow(*game, "A\r\nB", 1, 1, -1);
  AddMessageRow(*game, "one\ntwo\r\nthree\rfour", 2, 0, 3);
  AddMessageRow(*game, "", 3, 1, -1);
  EXPECT_EQ(textOf(*game), std::string(kHeader) +
                               "A\r\nB\r\n\r\n\r\n\r\n"
                               "one\r\ntwo\r\nthree\rfour\r\n\r\n\r\n\r\n"
                               "\r\n\r\n\r\n\r\n");
}

TEST_F(TurnTextTest, HeaderNamesTheRaceFromOne) {
  game->SetGameName("\xC4rger");
  game->SetRaceNumber(15);
  game->SetTurn(2999);
  EXPECT_EQ(textOf(*game), "Game: \"\xC4rger\"\r\nRace: 16\r\nTurn: 2999\r\n\r\n\r\n");
}

TEST(WithCrLf, LoneLineFeedsGetTheirCarriageReturn) {
  EXPECT_EQ(WithCrLf("\n"), "\r\n");
  EXPECT_EQ(WithCrLf("a\r\nb\n\nc\r"), "a\r\nb\r\n\r\nc\r");
  EXPECT_EQ(WithCrLf(""), "");
}

}  // namespace
