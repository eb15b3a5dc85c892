#include "app/browse_commands.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "app/colors.h"
#include "app/stored_turns.h"
#include "app/test_user_interface.h"
#include "archive/message_search.h"
#include "archive/turn_store.h"
#include "archive/test_archive.h"
#include "cache/cache_stream.h"
#include "cache/type_codes.h"
#include "reader/message_classifier.h"
#include "reader/test_game.h"

namespace {

using testing_ui::ScriptedUi;

class BrowseTest : public ::testing::Test {
 protected:
  BrowseTest()
      : archive(ArchiveLayout(ProgramDirectory(scratch.text()))),
        game(testing_game::makeGame()),
        commands(*game, archive, ui, filter) {}

  // Stores a turn of `name` for `race`: races 0 to 2 (named "Race k"),
  // a system message and player post to and from race 1 and 2.
  void store(const std::string& name, int32_t race, int32_t turn) {
    auto stored = testing_game::makeGame();
    stored->SetGameName(name);
    stored->SetRaceNumber(race);
    stored->SetTurn(turn);
    for (int32_t k = 0; k < 3; ++k) {
      testing_game::addRace(*stored, k, ("Race " + std::to_string(k)).c_str(), kNeutral);
    }
    AddMessageRow(*stored, ("report " + std::to_string(turn)).c_str(), 1, 1, -1);
    AddMessageRow(*stored, ("FROM  Race 2\r\n\r\nfrom 2 in " + std::to_string(turn)).c_str(), 2, 1, -1);
    AddMessageRow(*stored, ("to 1 in " + std::to_string(turn)).c_str(), 3, 0, 1);
    ASSERT_NO_THROW(archive.SaveTurn(*stored));
  }

  // The loaded game as "name/race/turn".
  std::string loaded() const {
    return game->GameName() + "/" + std::to_string(game->RaceNumber()) + "/" +
           std::to_string(game->Turn());
  }

  std::vector<std::string> texts() const {
    std::vector<std::string> result;
    const SmartCache& messages = game->MessageTable();
    for (int32_t i = 0; i < messages.rowCount(); ++i) {
      result.push_back(messages.rowAt(i).getString(MSGTXT));
    }
    return result;
  }

  testing_archive::ScratchDirectory scratch;
  ScriptedUi ui;
  TurnStore archive;
  std::unique_ptr<CurrentGame> game;
  MessageFilter filter;
  BrowseCommands commands;
};

TEST_F(BrowseTest, LoadGameTakesTheFirstRaceAndLatestTurn) {
  store("Beta", 2, 2400);
  store("Beta", 2, 2403);
  store("Alpha", 0, 2401);
  const std::vector<std::string> games = archive.ListGames();
  const size_t beta = std::find(games.begin(), games.end(), "Beta") - games.begin();
  ui.WillChoose(static_cast<int32_t>(beta));
  EXPECT_TRUE(commands.OnLoadGame().refresh);
  EXPECT_EQ(ui.requests[0].title, "Choose Game to load");
  EXPECT_EQ(ui.requests[0].choices, games);
  EXPECT_TRUE(ui.requests[0].colors.empty());  // the chooser's default colour
  EXPECT_EQ(loaded(), "Beta/2/2403");

  ui.WillCancel();
  EXPECT_FALSE(commands.OnLoadGame().refresh);
  EXPECT_EQ(loaded(), "Beta/2/2403");

  ui.WillChoose(-1);  // OK without a choice: an empty name clears the game
  EXPECT_TRUE(commands.OnLoadGame().refresh);
  EXPECT_EQ(loaded(), "/-1/-1");
}

TEST_F(BrowseTest, ChangeRaceOffersStoredRacesInPositionColours) {
  store("Galaxy", 2, 2400);
  store("Galaxy", 5, 2401);
  store("Galaxy", 5, 2402);
  archive.LoadTurn(*game, "Galaxy", 2, 2400);
  const std::vector<int32_t> races = archive.ListRaces("Galaxy");
  ui.WillChoose(races[0] == 5 ? 0 : 1);
  commands.OnChangeRace();
  ASSERT_EQ(ui.requests.size(), 1u);
  EXPECT_EQ(ui.requests[0].title, "Choose Player Race");
  EXPECT_EQ(ui.requests[0].colors, (std::vector<Color>{RaceColors[0], RaceColors[1]}));
  const std::vector<std::string> names =
      races[0] == 2 ? std::vector<std::string>{"Race 2", ""} : std::vector<std::string>{"", "Race 2"};
  EXPECT_EQ(ui.requests[0].choices, names);  // race 5 has no row in the race table
  EXPECT_EQ(loaded(), "Galaxy/5/2402");

  ui.WillChoose(7);  // beyond the list
  EXPECT_FALSE(commands.OnChangeRace().refresh);
  game->ClearIdentity();
  EXPECT_FALSE(commands.OnChangeRace().refresh);
  EXPECT_EQ(ui.requests.size(), 2u);  // no game: no chooser
}

TEST_F(BrowseTest, TurnListOffersEveryStoredTurnInOrder) {
  for (int32_t turn = 2420; turn >= 2400; --turn) store("Galaxy", 1, turn);
  archive.LoadTurn(*game, "Galaxy", 1, 2400);
  ui.WillChoose(19);
  commands.OnTurnList();
  ASSERT_EQ(ui.requests[0].choices.size(), 21u);  // more than 16 are all offered
  EXPECT_EQ(ui.requests[0].choices.front(), "2400");
  EXPECT_EQ(ui.requests[0].choices.back(), "2420");
  EXPECT_EQ(ui.requests[0].title, "Choose Turn");
  EXPECT_EQ(loaded(), "Galaxy/1/2419");
}

TEST_F(BrowseTest, NextAndPrevStepThroughStoredTurns) {
  for (int32_t turn : {2402, 2400, 2405}) store("Galaxy", 1, turn);
  archive.LoadTurn(*game, "Galaxy", 1, 2402);
  EXPECT_TRUE(commands.OnNextTurn().refresh);
  EXPECT_EQ(loaded(), "Galaxy/1/2405");
  EXPECT_FALSE(commands.OnNextTurn().refresh);  // the latest
  EXPECT_EQ(loaded(), "Galaxy/1/2405");
  commands.OnPrevTurn();
  commands.OnPrevTurn();
  EXPECT_EQ(loaded(), "Galaxy/1/2400");
  EXPECT_FALSE(commands.OnPrevTurn().refresh);  // the earliest
  game->SetTurn(2401);                          // a turn that is not stored
  EXPECT_FALSE(commands.OnNextTurn().refresh);
  EXPECT_EQ(game->Turn(), 2401);
}

TEST_F(BrowseTest, FilterChoicesAndTheirSettings) {
  store("Galaxy", 1, 2400);
  archive.LoadTurn(*game, "Galaxy", 1, 2400);
  CacheRow unnamed = game->RaceTable().templateRow();
  unnamed.setLong(RACNO, 9);
  unnamed.setString(RACNAMSING, "Singular");
  game->RaceTable().appendRow(unnamed);
  CacheRow nameless = game->RaceTable().templateRow();
  nameless.setLong(RACNO, 10);
  game->RaceTable().appendRow(nameless);

  struct Case {
    int32_t index;
    MessageFilter expected;
    const char* label;
  };
  const Case cases[] = {{0, {false, false, -1}, "(All Messages)"},
                        {2, {false, true, -1}, "(Outgoing Post)"},
                        {5, {true, false, 2}, "Race 2"},
                        {6, {true, false, 9}, "Singular"},
                        {1, {true, false, -1}, "(Player Post)"}};
  for (const Case& c : cases) {
    ui.WillChoose(c.index);
    const CommandOutcome outcome = commands.OnFilter();
    EXPECT_TRUE(outcome.refresh);
    EXPECT_EQ(outcome.filterLabel.value_or(""), c.label);
    EXPECT_EQ(filter.playerPostOnly, c.expected.playerPostOnly) << c.label;
    EXPECT_EQ(filter.outgoingOnly, c.expected.outgoingOnly) << c.label;
    EXPECT_EQ(filter.race, c.expected.race) << c.label;
  }
  const testing_ui::ChooserRequest& request = ui.requests[0];
  EXPECT_EQ(request.title, "Choose Filter Option:");
  EXPECT_EQ(request.choices,
            (std::vector<std::string>{"(All Messages)", "(Player Post)", "(Outgoing Post)", "Race 0",
                                      "Race 1", "Race 2", "Singular", "no name"}));
  EXPECT_EQ(request.colors, (std::vector<Color>{kForeground, kForeground, kForeground, RaceColors[0],
                                                RaceColors[1], RaceColors[2], RaceColors[3],
                                                RaceColors[4]}));

  ui.WillCancel();
  EXPECT_FALSE(commands.OnFilter().refresh);  // the old filter stays
  EXPECT_TRUE(filter.playerPostOnly);
  game->SetTurn(2399);
  EXPECT_FALSE(commands.OnFilter().refresh);
}

TEST_F(BrowseTest, AllTurnsGathersThePlayerPostOfEveryTurn) {
  store("Galaxy", 1, 2401);
  archive.LoadTurn(*game, "Galaxy", 1, 2401);
  CommandOutcome outcome = commands.OnAllTurns();
  EXPECT_EQ(outcome.yearLabel.value_or(""), "ALL");
  EXPECT_TRUE(outcome.refresh);
  EXPECT_EQ(texts(), (std::vector<std::string>{"to 1 in 2401", "from 2 in 2401"}));  // by race

  store("Galaxy", 1, 2400);
  store("Galaxy", 1, 2402);
  commands.OnAllTurns();
  EXPECT_EQ(texts(), (std::vector<std::string>{"to 1 in 2400", "to 1 in 2401", "to 1 in 2402",
                                               "from 2 in 2400", "from 2 in 2401", "from 2 in 2402"}));
  EXPECT_EQ(loaded(), "Galaxy/1/2402");  // the latest, as loaded last
  EXPECT_EQ(ui.waiting, 0);
  EXPECT_FALSE(commands.OnNextTurn().refresh);

  // Under "(Outgoing Post)" the list shows the outgoing post of every turn.
  const MainWindowView view = BuildMainWindowView(*game, MessageFilter{false, true, -1});
  ASSERT_EQ(view.items.size(), 3u);
  EXPECT_EQ(view.items[2].lines, std::vector<std::string>{"to 1 in 2402"});

  game->SetRaceNumber(-1);
  EXPECT_FALSE(commands.OnAllTurns().refresh);
}

TEST_F(BrowseTest, AllTurnsGoesOnAfterADamagedTurn) {
  store("Galaxy", 1, 2400);
  store("Galaxy", 1, 2402);
  testing_archive::writeFile(archive.Layout().TurnFile("Galaxy", 1, 2401), "damaged");
  archive.LoadTurn(*game, "Galaxy", 1, 2402);
  commands.OnAllTurns();
  ASSERT_EQ(ui.errors.size(), 1u);  // the load says so once
  EXPECT_EQ(ui.errors[0].rfind(kLoadError, 0), 0u) << ui.errors[0];
  EXPECT_EQ(texts(), (std::vector<std::string>{"to 1 in 2400", "to 1 in 2402", "from 2 in 2400",
                                               "from 2 in 2402"}));
}

TEST_F(BrowseTest, AllTurnsTakesTurnsOfOtherColumnsByName) {
  // A turn written by another program: its columns in another order, one
  // more, one fewer (no MSGHROWID).
  store("Galaxy", 1, 2400);
  store("Galaxy", 1, 2402);
  SmartCache other;
  other.addColumn(MSGTXT, SQL_C_CHAR);
  other.addColumn("NOTE", SQL_C_CHAR);
  other.addColumn(MSGRACNO, SQL_C_LONG);
  other.addColumn(MSGTYP, SQL_C_LONG);
  other.addColumn(MSGINCOMING, SQL_C_LONG);
  other.addColumn(MSGID, SQL_C_LONG);
  other.addColumn(TURN, SQL_C_LONG);
  const auto add = [&](const char* text, int32_t type, int32_t race) {
    CacheRow row = other.templateRow();
    row.setString(MSGTXT, text);
    row.setString("NOTE", "kept apart");
    row.setLong(MSGTYP, type);
    if (race >= 0) row.setLong(MSGRACNO, race);
    row.setLong(MSGINCOMING, 1);
    row.setLong(MSGID, 1);
    row.setLong(TURN, 2401);
    other.appendRow(row);
  };
  add("system in 2401", kSystemMessage, -1);
  add("from 2 in 2401", kPlayerMessage, 2);
  testing_archive::writeFile(archive.Layout().TurnFile("Galaxy", 1, 2401), saveToString(other));
  archive.LoadTurn(*game, "Galaxy", 1, 2402);
  commands.OnAllTurns();
  EXPECT_TRUE(ui.errors.empty());
  EXPECT_EQ(texts(), (std::vector<std::string>{"to 1 in 2400", "to 1 in 2402", "from 2 in 2400",
                                               "from 2 in 2401", "from 2 in 2402"}));
  EXPECT_EQ(game->MessageTable().findColumn("NOTE"), -1);

  // Find reads such a turn by name as well, its system message too.
  ui.findAnswers.push_back({"IN 2401", true});
  commands.OnFind();
  EXPECT_EQ(texts(), (std::vector<std::string>{"system in 2401", "from 2 in 2401"}));
}

// Find asks for the text, then gathers every stored message of the game
// and race that says it, system messages too, ordered as All Turns orders
// them, and marks it.
TEST_F(BrowseTest, FindGathersWhatEveryTurnSays) {
  store("Galaxy", 1, 2400);
  store("Galaxy", 1, 2401);
  store("Galaxy", 1, 2402);
  store("Galaxy", 2, 2401);  // another race's turn is not searched
  archive.LoadTurn(*game, "Galaxy", 1, 2400);
  ui.findAnswers.push_back({"2401", false});
  const CommandOutcome outcome = commands.OnFind();
  EXPECT_TRUE(outcome.refresh);
  EXPECT_EQ(outcome.yearLabel.value_or(""), "FIND");
  ASSERT_TRUE(outcome.marks.has_value());
  ASSERT_NE(*outcome.marks, nullptr);
  EXPECT_TRUE((*outcome.marks)->Matches("in 2401"));
  // The system message (no race) first, then by race.
  EXPECT_EQ(texts(), (std::vector<std::string>{"report 2401", "to 1 in 2401",
                                               "from 2 in 2401"}));
  EXPECT_EQ(loaded(), "Galaxy/1/2402");  // the latest, as All Turns leaves it
  EXPECT_EQ(ui.waiting, 0);
  EXPECT_GE(ui.waits, 1);
  EXPECT_FALSE(commands.OnNextTurn().refresh);

  // The filter acts on the hits as on any view: "(Player Post)" hides the
  // system message, a race shows its own.
  EXPECT_EQ(BuildMainWindowView(*game, MessageFilter()).items.size(), 2u);
  const MainWindowView race2 = BuildMainWindowView(*game, MessageFilter{true, false, 2});
  ASSERT_EQ(race2.items.size(), 1u);
  EXPECT_EQ(race2.items[0].raceName, "Race 2");

  // The next load ends the view and its marks.
  const CommandOutcome prev = commands.OnPrevTurn();
  ASSERT_TRUE(prev.marks.has_value());
  EXPECT_EQ(*prev.marks, nullptr);
  EXPECT_EQ(loaded(), "Galaxy/1/2401");
}

TEST_F(BrowseTest, FindFoldsCaseOnlyWhenAsked) {
  store("Galaxy", 1, 2400);
  store("Galaxy", 1, 2401);
  archive.LoadTurn(*game, "Galaxy", 1, 2401);
  ui.findAnswers.push_back({"TO 1", false});
  commands.OnFind();
  EXPECT_TRUE(texts().empty());  // "to 1" only: the list says "No Messages"
  const MainWindowView view = BuildMainWindowView(*game, MessageFilter());
  ASSERT_EQ(view.items.size(), 1u);
  EXPECT_EQ(view.items[0].id, -1);

  ui.findAnswers.push_back({"TO 1", true});
  EXPECT_EQ(commands.OnFind().yearLabel.value_or(""), "FIND");
  EXPECT_EQ(texts(), (std::vector<std::string>{"to 1 in 2400", "to 1 in 2401"}));
  // The dialog opened with what was asked last time.
  ASSERT_EQ(ui.findOffers.size(), 2u);
  EXPECT_EQ(ui.findOffers[1].text, "TO 1");
  EXPECT_FALSE(ui.findOffers[1].ignoreCase);
}

TEST_F(BrowseTest, FindDoesNothingWithoutATextOrATurn) {
  store("Galaxy", 1, 2401);
  archive.LoadTurn(*game, "Galaxy", 1, 2401);
  const std::vector<std::string> before = texts();
  EXPECT_FALSE(commands.OnFind().refresh);  // cancelled
  ui.findAnswers.push_back({"", true});
  EXPECT_FALSE(commands.OnFind().refresh);  // an empty text
  EXPECT_EQ(texts(), before);
  EXPECT_FALSE(commands.OnFind().refresh);
  ASSERT_EQ(ui.findOffers.size(), 3u);
  EXPECT_EQ(ui.findOffers.back().text, "");
  EXPECT_TRUE(ui.findOffers.back().ignoreCase);  // kept for the next time
  game->SetTurn(2399);
  ui.findAnswers.push_back({"to", false});
  EXPECT_FALSE(commands.OnFind().refresh);
  EXPECT_EQ(ui.findOffers.size(), 3u);  // not asked without a loaded turn
}

TEST_F(BrowseTest, FindGoesOnAfterADamagedTurn) {
  store("Galaxy", 1, 2400);
  store("Galaxy", 1, 2402);
  testing_archive::writeFile(archive.Layout().TurnFile("Galaxy", 1, 2401), "damaged");
  archive.LoadTurn(*game, "Galaxy", 1, 2402);
  ui.findAnswers.push_back({"to 1", false});
  commands.OnFind();
  ASSERT_EQ(ui.errors.size(), 1u);  // said once
  EXPECT_EQ(ui.errors[0].rfind(kLoadError, 0), 0u) << ui.errors[0];
  EXPECT_EQ(texts(), (std::vector<std::string>{"to 1 in 2400", "to 1 in 2402"}));
}

}  // namespace
