#include "reader/message_classifier.h"

#include <gtest/gtest.h>

#include "reader/test_game.h"
#include "support/lexc.h"

namespace {

using testing_game::addRace;
using testing_game::makeGame;

// What one classified row holds; -1 stands for a NULL MSGRACNO.
struct Expected {
  int32_t type;
  int32_t race;
  int32_t incoming;
  std::string text;
};

struct Case {
  const char* name;
  const char* text;
  uint8_t incoming;
  int32_t race;  // the caller's recipient, or -1
  Expected expected;
};

class ClassifierTest : public ::testing::Test {
 protected:
  ClassifierTest() : game(makeGame()) {
    game->SetTurn(2403);
    addRace(*game, 0, "Humans", kFriend);
    addRace(*game, 2, "Zorgs", kEnemy);
    addRace(*game, 5, "Kaa Tor", kNeutral);
  }

  void check(const Case& c) {
    SCOPED_TRACE(c.name);
    const int32_t before = game->MessageTable().rowCount();
    AddMessageRow(*game, c.text, 17, c.incoming, c.race);
    ASSERT_EQ(game->MessageTable().rowCount(), before + 1);
    const CacheRow row = game->MessageTable().rowAt(before);
    EXPECT_EQ(row.getLong(TURN), 2403);
    EXPECT_EQ(row.getLong(MSGID), 17);
    EXPECT_EQ(row.getLong(MSGTYP), c.expected.type);
    if (c.expected.race < 0) {
      EXPECT_TRUE(row.isNull(MSGRACNO));
    } else {
      EXPECT_EQ(row.getLong(MSGRACNO), c.expected.race);
    }
    EXPECT_EQ(row.getLong(MSGINCOMING), c.expected.incoming);
    EXPECT_EQ(row.getString(MSGTXT), c.expected.text);
    EXPECT_EQ(row.getTimestamp(MSGHROWID), testing_game::kMoment);
  }

  std::unique_ptr<CurrentGame> game;
};

TEST_F(ClassifierTest, SystemMessages) {
  const Case cases[] = {
      {"empty", "", 1, -1, {kSystemMessage, -1, 1, ""}},
      {"report", "Your fleet arrived.\r\nAll well.", 1, -1,
       {kSystemMessage, -1, 1, "Your fleet arrived.\r\nAll well."}},
      {"almost FROM", "Frog  Zorgs\r\n\r\nribbit", 1, -1,
       {kSystemMessage, -1, 1, "Frog  Zorgs\r\n\r\nribbit"}},
      {"almost VON", "VO  Zorgs", 1, -1, {kSystemMessage, -1, 1, "VO  Zorgs"}},
      {"FROM not at the start", " FROM  Zorgs", 1, -1, {kSystemMessage, -1, 1, " FROM  Zorgs"}},
      {"race given is ignored", "Production report", 1, 2,
       {kSystemMessage, -1, 1, "Production report"}},
  };
  for (const Case& c : cases) check(c);
}

TEST_F(ClassifierTest, IncomingPlayerPostInEnglishAndGerman) {
  const Case cases[] = {
      {"English", "FROM  Zorgs\r\nTO  Humans\r\nWe want peace.", 1, -1,
       {kPlayerMessage, 2, 1, "We want peace."}},
      {"German", "VON  Zorgs\r\nAN  Menschen\r\nWir wollen Frieden.\r\nGru\xDF", 1, -1,
       {kPlayerMessage, 2, 1, "Wir wollen Frieden.\r\nGru\xDF"}},
      {"any case", "From  Humans\r\n\r\nhi", 1, -1, {kPlayerMessage, 0, 1, "hi"}},
      {"lower case German", "von  Humans\r\n\r\nhallo", 1, -1, {kPlayerMessage, 0, 1, "hallo"}},
      {"mixed case", "fRoM  Humans\r\nx\r\nbody", 1, -1, {kPlayerMessage, 0, 1, "body"}},
      {"name with a blank", "FROM  Kaa Tor\r\n\r\nssss", 1, -1, {kPlayerMessage, 5, 1, "ssss"}},
      {"sender to the end", "FROM  Zorgs", 1, -1, {kPlayerMessage, 2, 1, "FROM  Zorgs"}},
  };
  for (const Case& c : cases) check(c);
}

TEST_F(ClassifierTest, SenderAndBodyEdges) {
  const Case cases[] = {
      {"only two lines", "FROM  Zorgs\r\nTO  Humans\r\n", 1, -1,
       {kPlayerMessage, 2, 1, "FROM  Zorgs\r\nTO  Humans\r\n"}},
      {"one line feed", "FROM  Zorgs\r\nhello", 1, -1,
       {kPlayerMessage, 2, 1, "FROM  Zorgs\r\nhello"}},
      {"no space: empty sender", "FROM\r\n\r\nbody", 1, -1, {kPlayerMessage, -1, 1, "body"}},
      {"unknown sender keeps NULL race", "FROM  Nobody\r\n\r\nbody", 1, -1,
       {kPlayerMessage, -1, 1, "body"}},
      {"name is case-sensitive", "FROM  zorgs\r\n\r\nbody", 1, -1,
       {kPlayerMessage, -1, 1, "body"}},
      {"space at the very end", "FROM ", 1, -1, {kPlayerMessage, -1, 1, "FROM "}},
      {"name runs to a CR, not a lone LF", "FROM  Zorgs\nTO\nbody", 1, -1,
       {kPlayerMessage, -1, 1, "body"}},
      {"incoming with a given race keeps its header", "FROM  Zorgs\r\n\r\nbody", 1, 5,
       {kPlayerMessage, 5, 1, "FROM  Zorgs\r\n\r\nbody"}},
  };
  for (const Case& c : cases) check(c);
}

TEST_F(ClassifierTest, OutgoingIsAlwaysPlayerPost) {
  const Case cases[] = {
      {"recipient given", "FROM  Humans\r\n\r\nsurrender", 0, 3,
       {kPlayerMessage, 3, 0, "FROM  Humans\r\n\r\nsurrender"}},
      {"plain text", "Let us trade.", 0, 2, {kPlayerMessage, 2, 0, "Let us trade."}},
      {"race sought, whole text kept", "To  Zorgs\r\n\r\nhi", 0, -1,
       {kPlayerMessage, 2, 0, "To  Zorgs\r\n\r\nhi"}},
  };
  for (const Case& c : cases) check(c);
}

TEST_F(ClassifierTest, SenderNameIsCutAt999Characters) {
  const std::string longName(1200, 'Q');
  addRace(*game, 7, std::string(999, 'Q').c_str(), kNeutral);
  const std::string text = "FROM  " + longName + "\r\n\r\nbody";
  check({"long name", text.c_str(), 1, -1, {kPlayerMessage, 7, 1, "body"}});
}

TEST_F(ClassifierTest, NullTextAddsNothing) {
  AddMessageRow(*game, nullptr, 1, 1, -1);
  EXPECT_EQ(game->MessageTable().rowCount(), 0);
}

TEST_F(ClassifierTest, TablesWithoutColumnsRaiseAndAddNothing) {
  CurrentGame bare;
  EXPECT_THROW(AddMessageRow(bare, "hello", 1, 1, -1), LExc_Internal_Unexpected);
  EXPECT_EQ(bare.MessageTable().rowCount(), 0);
}

}  // namespace
