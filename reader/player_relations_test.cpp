#include "reader/player_relations.h"

#include <gtest/gtest.h>

#include "reader/test_game.h"
#include "sim/fake_game.h"
#include "sim/test_sequence.h"

namespace {

using namespace testing_sequence;

// One RaceTable row as texts: RACNO, RACNAMPLU, RACNAMSING, RACRELATION.
using RaceRow = std::vector<std::string>;

std::vector<RaceRow> raceRows(const CurrentGame& game) {
  std::vector<RaceRow> rows;
  const SmartCache& races = game.RaceTable();
  for (int32_t i = 0; i < races.rowCount(); ++i) {
    const CacheRow row = races.rowAt(i);
    rows.push_back({row.cellText(row.columnIndex(RACNO)), row.cellText(row.columnIndex(RACNAMPLU)),
                    row.cellText(row.columnIndex(RACNAMSING)),
                    row.cellText(row.columnIndex(RACRELATION))});
    EXPECT_EQ(row.getTimestamp(RACHROWID), testing_game::kMoment);
  }
  return rows;
}

class RelationsTest : public ::testing::Test {
 protected:
  RelationsTest()
      : scenario(LoadScenario(VANDOR_SCENARIO_DIR "/english.scenario")),
        game(testing_game::makeGame()) {}

  // Reads the relations from a fake of `scenario`; returns the fake's
  // actions.
  std::vector<WindowCall> read() {
    FakeGame fake(scenario);
    problem = ReadPlayerRelations(fake, *game);
    dialogLeftOpen = fake.model().DialogOpen();
    return fake.Actions();
  }

  Scenario scenario;
  std::unique_ptr<CurrentGame> game;
  bool dialogLeftOpen = false;
  std::string problem;  // what ReadPlayerRelations had to tell the user
};

TEST_F(RelationsTest, NamesAndRelationsOfEveryRace) {
  const std::vector<WindowCall> actions = read();
  EXPECT_EQ(raceRows(*game), (std::vector<RaceRow>{{"0", "Zorgs", "Zorg", "2"},
                                                   {"1", "Terrans", "Terran", "0"},
                                                   {"2", "Kaa Tor", "Kaa Tor", "1"},
                                                   {"3", "Vlorrians", "Vlorrian", "0"}}));
  // The combo's entries 1 to 4 are read, the fifth answers CB_ERR.
  std::vector<Expected> expected = {Read(FakeGame::kFrame, win::kWmGetText, 999),
                                    Show(FakeGame::kFrame, win::kSwShowMaximized)};
  for (MessageParam i = 1; i <= 4; ++i) {
    expected.push_back(Send(FakeGame::kCombo, win::kCbGetLbTextLen, i));
    expected.push_back(Read(FakeGame::kCombo, win::kCbGetLbText, i));
  }
  expected.push_back(Send(FakeGame::kCombo, win::kCbGetLbTextLen, 5));
  expected.push_back(Post(FakeGame::kFrame, win::kWmCommand, 2014, 0));
  AddKey(&expected, FakeGame::kListBox, win::kVkHome);
  // Races 0, 2 and 3 from the list; race 1 is the player's own.
  for (MessageParam entry : {0, 1, 2}) {
    expected.push_back(Send(FakeGame::kListBox, win::kLbGetCurSel));
    expected.push_back(Send(FakeGame::kListBox, win::kLbGetTextLen, entry));
    expected.push_back(Read(FakeGame::kListBox, win::kLbGetText, entry));
    expected.push_back(Send(FakeGame::kEnemyButton, win::kBmGetCheck));
    if (entry != 0) expected.push_back(Send(FakeGame::kNeutralButton, win::kBmGetCheck));
    if (entry == 2) expected.push_back(Send(FakeGame::kFriendButton, win::kBmGetCheck));
    AddKey(&expected, FakeGame::kListBox, win::kVkDown);
  }
  expected.push_back(Send(FakeGame::kDialog, win::kWmClose));
  EXPECT_TRUE(SequenceIs(actions, expected));
  EXPECT_FALSE(dialogLeftOpen);
}

TEST_F(RelationsTest, GermanDialogIsReadLikeAnEnglishOne) {
  scenario = LoadScenario(VANDOR_SCENARIO_DIR "/german.scenario");
  read();
  EXPECT_EQ(raceRows(*game), (std::vector<RaceRow>{{"0", "Menschen", "Mensch", "0"},
                                                   {"1", "Zorgs", "Zorg", "2"},
                                                   {"2", "Kaa Tor", "Kaa Tor", "0"},
                                                   {"3", "Vlorrianer", "Vlorrianer", "<NULL>"}}));
  EXPECT_FALSE(dialogLeftOpen);
}

TEST_F(RelationsTest, DialogFoundOnTheThirdAttemptAfterTwoWaits) {
  // The dialog appears late, or is there at once but hidden and without
  // its controls (still being made): either way it is read once shown.
  for (int Scenario::*late : {&Scenario::dialogAfterWaits, &Scenario::dialogHiddenWaits}) {
    scenario = LoadScenario(VANDOR_SCENARIO_DIR "/english.scenario");
    scenario.*late = 2;
    game = testing_game::makeGame();
    const std::vector<WindowCall> actions = read();
    std::vector<Expected> expected = {Post(FakeGame::kFrame, win::kWmCommand, 2014, 0), Wait(500),
                                      Wait(500)};
    AddKey(&expected, FakeGame::kListBox, win::kVkHome);
    std::vector<WindowCall> polling = From(actions, expected[0]);
    polling.resize(std::min<size_t>(polling.size(), expected.size()));
    EXPECT_TRUE(SequenceIs(polling, expected));
    EXPECT_EQ(raceRows(*game)[0][2], "Zorg");
    EXPECT_EQ(raceRows(*game)[3], (RaceRow{"3", "Vlorrians", "Vlorrian", "0"}));
    EXPECT_FALSE(dialogLeftOpen);
  }
}

TEST_F(RelationsTest, DialogThatNeverComesEndsAfterTenAttempts) {
  scenario.dialogNever = true;
  const std::vector<WindowCall> actions = read();
  std::vector<Expected> expected = {Post(FakeGame::kFrame, win::kWmCommand, 2014, 0)};
  for (int i = 0; i < 10; ++i) expected.push_back(Wait(500));
  EXPECT_TRUE(SequenceIs(From(actions, expected[0]), expected));
  EXPECT_EQ(raceRows(*game), (std::vector<RaceRow>{{"0", "Zorgs", "<NULL>", "<NULL>"},
                                                   {"1", "Terrans", "<NULL>", "<NULL>"},
                                                   {"2", "Kaa Tor", "<NULL>", "<NULL>"},
                                                   {"3", "Vlorrians", "<NULL>", "<NULL>"}}));
}

TEST_F(RelationsTest, DialogWithoutListBoxIsLeftOpen) {
  scenario.noListBox = true;
  read();
  EXPECT_TRUE(dialogLeftOpen);
  EXPECT_EQ(raceRows(*game)[1], (RaceRow{"1", "Terrans", "<NULL>", "<NULL>"}));
}

TEST_F(RelationsTest, MissingRelationButtonLeavesRelationsNull) {
  scenario.noFriendButton = true;
  read();
  EXPECT_EQ(raceRows(*game), (std::vector<RaceRow>{{"0", "Zorgs", "Zorg", "<NULL>"},
                                                   {"1", "Terrans", "Terran", "0"},
                                                   {"2", "Kaa Tor", "Kaa Tor", "<NULL>"},
                                                   {"3", "Vlorrians", "Vlorrian", "<NULL>"}}));
}

TEST_F(RelationsTest, MissingPaneOrComboMakesNoRows) {
  scenario.noPane = true;
  std::vector<WindowCall> actions = read();
  EXPECT_EQ(problem, "cannot find message window - start Vandor! and load your game ");
  EXPECT_EQ(game->RaceTable().rowCount(), 0);
  EXPECT_EQ(game->RaceTable().columnCount(), 7u);
  EXPECT_EQ(actions.back().message, win::kWmClose);  // the dialog is still opened and closed

  scenario.noPane = false;
  scenario.noCombo = true;
  actions = read();
  EXPECT_EQ(problem, "");
  EXPECT_EQ(game->RaceTable().rowCount(), 0);
  EXPECT_EQ(actions.back().message, win::kWmClose);
}

TEST_F(RelationsTest, ComboWithOnlyItsFirstEntry) {
  scenario.recipients = {"(no recipient)"};
  const std::vector<WindowCall> actions = read();
  EXPECT_EQ(game->RaceTable().rowCount(), 0);
  std::vector<Expected> expected = {Post(FakeGame::kFrame, win::kWmCommand, 2014, 0)};
  AddKey(&expected, FakeGame::kListBox, win::kVkHome);
  expected.push_back(Send(FakeGame::kDialog, win::kWmClose));
  EXPECT_TRUE(SequenceIs(From(actions, expected[0]), expected));
}

TEST_F(RelationsTest, OverLongNames) {
  scenario.recipients = {"-", std::string(99, 'a'), std::string(100, 'b'), "C", "D"};
  scenario.relations = {{std::string(999, 'x'), 0}, {std::string(1000, 'y'), 1},
                        {std::string(5000, 'z'), 2}};
  read();
  const std::vector<RaceRow> rows = raceRows(*game);
  EXPECT_EQ(rows[0][1], std::string(99, 'a'));
  EXPECT_EQ(rows[1][1], "<name too long>");
  EXPECT_EQ(rows[0][2], std::string(999, 'x'));
  EXPECT_EQ(rows[1][2], "Terran");  // the player's own race
  EXPECT_EQ(rows[2][2], "<name too long>");
  EXPECT_EQ(rows[3][2], "<name too long>");
  EXPECT_EQ(rows[3][3], "2");
}

TEST_F(RelationsTest, NamesAroundTheBufferLimits) {
  scenario.recipients = {"-"};
  for (size_t length : {98, 99, 100, 101}) scenario.recipients.push_back(std::string(length, 'c'));
  scenario.recipients.push_back("Terrans");
  scenario.relations.clear();
  for (size_t length : {998, 999, 1000, 1001}) scenario.relations.push_back({std::string(length, 'l'), 0});
  scenario.title = "Vandor! - Andromeda - Terran - Emperor Vance m5";  // the last race is ours
  read();
  const std::vector<RaceRow> rows = raceRows(*game);
  ASSERT_EQ(rows.size(), 5u);
  const std::string tooLong = "<name too long>";
  const std::vector<std::string> plural = {std::string(98, 'c'), std::string(99, 'c'), tooLong,
                                           tooLong, "Terrans"};
  const std::vector<std::string> singular = {std::string(998, 'l'), std::string(999, 'l'),
                                             tooLong, tooLong, "Terran"};
  for (size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(rows[i][1], plural[i]) << i;
    EXPECT_EQ(rows[i][2], singular[i]) << i;
  }
}

TEST_F(RelationsTest, EntriesThatGrowBeforeTheyAreRead) {
  // The texts read are the grown ones; the limits apply to them.
  scenario.entryGrowth = 1;
  scenario.recipients = {"-", std::string(98, 'c'), std::string(99, 'c'), "Terrans", "V"};
  scenario.relations = {{std::string(998, 'l'), 0}, {std::string(999, 'l'), 1}, {"Vlorrian", 2}};
  read();
  std::vector<RaceRow> rows = raceRows(*game);
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0][1], std::string(98, 'c') + "+");
  EXPECT_EQ(rows[1][1], "<name too long>");
  EXPECT_EQ(rows[3][1], "V+");
  EXPECT_EQ(rows[0][2], std::string(998, 'l') + "+");
  EXPECT_EQ(rows[2][2], "<name too long>");
  EXPECT_EQ(rows[3][2], "Vlorrian+");
  EXPECT_EQ(rows[3][3], "2");

  // Growth as large as a reader must allow for.
  scenario.entryGrowth = Scenario::kMaxEntryGrowth;
  game = testing_game::makeGame();
  read();
  rows = raceRows(*game);
  ASSERT_EQ(rows.size(), 4u);
  for (const RaceRow& row : {rows[0], rows[2], rows[3]}) {
    EXPECT_EQ(row[1], "<name too long>");
    EXPECT_EQ(row[2], "<name too long>");
  }
}

TEST_F(RelationsTest, ListBoxWithoutStringsGivesRelationsButNoNames) {
  scenario.listWithoutStrings = true;
  const std::vector<WindowCall> actions = read();
  EXPECT_EQ(raceRows(*game), (std::vector<RaceRow>{{"0", "Zorgs", "<NULL>", "2"},
                                                   {"1", "Terrans", "Terran", "0"},
                                                   {"2", "Kaa Tor", "<NULL>", "1"},
                                                   {"3", "Vlorrians", "<NULL>", "0"}}));
  for (const WindowCall& call : actions) {
    EXPECT_FALSE(call.window == FakeGame::kListBox &&
                 (call.message == win::kLbGetText || call.message == win::kLbGetTextLen));
  }
  EXPECT_FALSE(dialogLeftOpen);
}

TEST_F(RelationsTest, GameNotRunning) {
  scenario.noFrame = true;
  read();
  EXPECT_EQ(problem, "cannot find Vandor! - start Vandor! and load your game ");
  EXPECT_EQ(game->RaceTable().rowCount(), 0);
}

TEST_F(RelationsTest, TitleWithoutRaceReadsNothing) {
  scenario.title = "Vandor! - Andromeda - Terran - nobody";
  const std::vector<WindowCall> actions = read();
  EXPECT_TRUE(SequenceIs(actions, {Read(FakeGame::kFrame, win::kWmGetText, 999)}));
  EXPECT_EQ(game->RaceTable().rowCount(), 0);
  EXPECT_EQ(game->RaceTable().columnCount(), 7u);
}

}  // namespace
