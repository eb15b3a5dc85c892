#include "app/message_detail.h"

#include <gtest/gtest.h>

#include "app/colors.h"
#include "archive/message_search.h"
#include "reader/message_classifier.h"
#include "reader/test_game.h"

namespace {

class DetailTest : public ::testing::Test {
 protected:
  DetailTest() : game(testing_game::makeGame()) {
    game->SetTurn(2401);
    testing_game::addRace(*game, 0, "Humans", kFriend);
    testing_game::addRace(*game, 1, "Zorgs", kEnemy);
    CacheRow unrelated = game->RaceTable().templateRow();
    unrelated.setLong(RACNO, 2);
    unrelated.setString(RACNAMPLU, "Kaa");
    game->RaceTable().appendRow(unrelated);
    AddMessageRow(*game, "A report", 1, 1, -1);              // system
    AddMessageRow(*game, "FROM  Humans\r\n\r\nHi", 2, 1, -1);  // incoming, friend
    AddMessageRow(*game, "Never!", 3, 0, 1);                  // outgoing, enemy
    AddMessageRow(*game, "To the Kaa", 4, 0, 2);              // relation NULL
    AddMessageRow(*game, "To a lost race", 5, 0, 7);          // no race row
  }

  MessageDetailView at(int32_t id) const {
    return ShowMessage(*game, FindMessage(game->MessageTable(), id));
  }

  std::unique_ptr<CurrentGame> game;
};

TEST_F(DetailTest, LabelsAndColours) {
  const MessageDetailView system = at(1);
  EXPECT_EQ(system.text, "A report");
  EXPECT_EQ(system.header, "---System Message---");
  EXPECT_EQ(system.party, "--------------------");
  EXPECT_EQ(system.color, kForeground);

  const MessageDetailView incoming = at(2);
  EXPECT_EQ(incoming.header, "---Diplomatic Message---");
  EXPECT_EQ(incoming.party, "from: Humans");
  EXPECT_EQ(incoming.color, 0x00FF00u);
  EXPECT_EQ(incoming.text, "Hi");

  const MessageDetailView enemy = at(3);
  EXPECT_EQ(enemy.party, "to: Zorgs");
  EXPECT_EQ(enemy.color, 0x0000FFu);

  EXPECT_EQ(at(4).party, "to: Kaa");
  EXPECT_EQ(at(4).color, kForeground);  // RACRELATION NULL

  const MessageDetailView lost = at(5);
  EXPECT_EQ(lost.header, "---Diplomatic Message---");
  EXPECT_EQ(lost.party, "to: unknown race 7");
  EXPECT_EQ(lost.color, kForeground);

  EXPECT_EQ(RelationColor(true, 1), 0xAAAAAAu);
  EXPECT_EQ(RelationColor(true, 5), kForeground);
}

TEST_F(DetailTest, PagingWalksTheWholeTable) {
  const SmartCache& messages = game->MessageTable();
  CachePosition p = FindMessage(messages, 1);
  EXPECT_FALSE(ShowMessage(*game, p).previousEnabled);
  EXPECT_TRUE(ShowMessage(*game, p).nextEnabled);
  std::vector<std::string> shown;
  for (; p != messages.end(); p = messages.next(p)) shown.push_back(ShowMessage(*game, p).text);
  // The system message, hidden under "(Player Post)" in the list, is paged
  // to as well.
  EXPECT_EQ(shown.size(), 5u);
  const MessageDetailView last = at(5);
  EXPECT_TRUE(last.previousEnabled);
  EXPECT_FALSE(last.nextEnabled);

  EXPECT_EQ(FindMessage(messages, -1), messages.end());
  EXPECT_EQ(FindMessage(messages, 99), messages.end());
  CurrentGame empty;
  EXPECT_EQ(FindMessage(empty.MessageTable(), 1), empty.MessageTable().end());
}

TEST_F(DetailTest, SingleRowAndRepeatedIds) {
  AddMessageRow(*game, "second turn's 2", 2, 1, -1);
  EXPECT_EQ(at(2).text, "Hi");  // the first row in store order with the id
  auto single = testing_game::makeGame();
  AddMessageRow(*single, "only", 1, 1, -1);
  const MessageDetailView view = ShowMessage(*single, single->MessageTable().begin());
  EXPECT_FALSE(view.nextEnabled);
  EXPECT_FALSE(view.previousEnabled);
}

}  // namespace

namespace {

TEST_F(DetailTest, RowsWrittenElsewhereAreShownNotRaised) {
  // A system message type with a race and no direction, as a hand-made
  // file may hold it: it counts as incoming.
  CacheRow odd = game->MessageTable().templateRow();
  odd.setLong(MSGID, 6);
  odd.setLong(MSGTYP, 0);
  odd.setLong(MSGRACNO, 1);
  odd.setString(MSGTXT, "no direction");
  game->MessageTable().appendRow(odd);
  const MessageDetailView view = at(6);
  EXPECT_EQ(view.header, "---Diplomatic Message---");
  EXPECT_EQ(view.party, "from: Zorgs");
  EXPECT_EQ(view.text, "no direction");

  // Lone line feeds become CR LF, so that the text box breaks every line.
  AddMessageRow(*game, "one\ntwo\r\nthree\n", 7, 1, -1);
  EXPECT_EQ(at(7).text, "one\r\ntwo\r\nthree\r\n");
}

// With marks, the first match in the text box's text is given for
// selection, where it stands after the line ends became CR LF.
TEST_F(DetailTest, TheFirstMatchIsMarkedInTheShownText) {
  AddMessageRow(*game, "one\ntwo Zorgs\nthree zorgs", 8, 1, -1);
  const CachePosition position = FindMessage(game->MessageTable(), 8);
  const TextMatcher zorgs("ZORGS", true);
  const MessageDetailView view = ShowMessage(*game, position, &zorgs);
  ASSERT_EQ(view.text, "one\r\ntwo Zorgs\r\nthree zorgs");
  EXPECT_EQ(view.markBegin, 9u);
  EXPECT_EQ(view.markEnd, 14u);
  const TextMatcher exact("zorgs", false);
  EXPECT_EQ(ShowMessage(*game, position, &exact).markBegin, 22u);
  const TextMatcher absent("Kaa", false);
  const MessageDetailView none = ShowMessage(*game, position, &absent);
  EXPECT_EQ(none.markBegin, 0u);
  EXPECT_EQ(none.markEnd, 0u);
  EXPECT_EQ(at(8).markEnd, 0u);  // no marks
}

}  // namespace
