#include "reader/game_windows.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "sim/fake_game.h"
#include "sim/test_sequence.h"

namespace {

using namespace testing_sequence;

Scenario sample() { return LoadScenario(VANDOR_SCENARIO_DIR "/english.scenario"); }

bool looksFor(const FakeGame& game, const std::string& classAndCaption) {
  const auto& calls = game.Calls();
  return std::any_of(calls.begin(), calls.end(), [&](const WindowCall& c) {
    return c.kind == WindowCall::Kind::kFind && c.text == classAndCaption;
  });
}

TEST(FindGameWindows, FindsThePaneAndItsControls) {
  Scenario scenario = sample();
  for (bool composeFirst : {false, true}) {
    scenario.composeEditFirst = composeFirst;
    FakeGame game(scenario);
    GameWindows windows;
    std::string problem;
    ASSERT_TRUE(FindGameWindows(game, &windows, &problem));
    EXPECT_EQ(problem, "");
    EXPECT_EQ(windows.frame, FakeGame::kFrame);
    EXPECT_EQ(windows.pane, FakeGame::kPane);
    EXPECT_EQ(windows.readingEdit, FakeGame::kReadingEdit);
    EXPECT_EQ(windows.composeEdit, FakeGame::kComposeEdit);
    EXPECT_EQ(windows.nextButton, FakeGame::kNextButton);
    EXPECT_EQ(windows.prevButton, FakeGame::kPrevButton);
    EXPECT_TRUE(looksFor(game, "Button/Vor"));  // German first, then English
    EXPECT_TRUE(looksFor(game, "Button/Next"));
  }
}

TEST(FindGameWindows, GermanCaptionsAreFoundFirst) {
  Scenario scenario = sample();
  scenario.language = Scenario::Language::kGerman;
  FakeGame game(scenario);
  GameWindows windows;
  std::string problem;
  ASSERT_TRUE(FindGameWindows(game, &windows, &problem));
  EXPECT_EQ(windows.prevButton, FakeGame::kPrevButton);
  EXPECT_TRUE(looksFor(game, "Button/R\xFC" "ck"));
  EXPECT_FALSE(looksFor(game, "Button/Next"));
  EXPECT_FALSE(looksFor(game, "Button/Prev"));
}

TEST(FindGameWindows, EachMissingWindowHasItsMessage) {
  struct Case {
    bool Scenario::*flag;
    const char* message;
  };
  const Case cases[] = {
      {&Scenario::noFrame, "cannot find Vandor! - start Vandor! and load your game "},
      {&Scenario::noPane, "cannot find message window - start Vandor! and load your game "},
      {&Scenario::singleEdit, "cannot find message windows - start Vandor! and load your game "},
      {&Scenario::noNextButton, "cannot find \"Next\" / \"Prev\" button"},
      {&Scenario::noPrevButton, "cannot find \"Next\" / \"Prev\" button"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    Scenario scenario = sample();
    scenario.*c.flag = true;
    FakeGame game(scenario);
    GameWindows windows;
    std::string problem;
    EXPECT_FALSE(FindGameWindows(game, &windows, &problem));
    EXPECT_EQ(problem, c.message);
  }
}

TEST(GameTitle, FieldsAndRaceNumber) {
  struct Case {
    const char* title;
    const char* game;
    const char* race;
    const char* rest;
    int32_t number;
  };
  const Case cases[] = {
      {"Vandor! - Andromeda - Terran - Emperor Vance m2", "Andromeda", "Terran", "Emperor Vance m2", 1},
      {"Vandor! -- Galaxy --- Zorg - m3", "Galaxy", "Zorg", "m3", 2},
      {"Vandor! - Galaxy - Zorg - m0", "Galaxy", "Zorg", "m0", -1},
      {"Vandor! - Galaxy - Zorg - mx", "Galaxy", "Zorg", "mx", -1},
      {"Vandor! - Galaxy - Zorg - 7 ships", "Galaxy", "Zorg", "7 ships", 6},
      {"Vandor! - Galaxy - Zorg - m12 m4x", "Galaxy", "Zorg", "m12 m4x", 3},
      {"Vandor! - Galaxy- Zorg - m2", "Galax", "Zorg", "m2", 1},  // the character before a dash ends a field
      {"V - Gal - Zo - m1", "Gal", "Zo", "m1", 0},
      {"Vandor! - Galaxy - Zorg", "", "", "", -1},  // only two fields
      {"Vandor! - Galaxy - Zorg - ", "", "", "", -1},
      {"Vandor - G", "", "", "", -1},               // shorter than 11
      {"No dashes in this title at all", "", "", "", -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.title);
    const GameTitle title = ParseGameTitle(c.title);
    EXPECT_EQ(title.gameName, c.game);
    EXPECT_EQ(title.raceName, c.race);
    EXPECT_EQ(title.rest, c.rest);
    EXPECT_EQ(title.raceNumber, c.number);
  }
  EXPECT_EQ(ParseGameTitle("Vandor! - G - R - m2" + std::string(990, ' ')).raceNumber, -1);
}

TEST(GameTitle, ReadFromTheFrame) {
  Scenario scenario = sample();
  scenario.title = "Vandor! - G - R - m2" + std::string(1500, 'x');
  FakeGame game(scenario);
  std::string problem;
  const GameTitle title = ReadGameTitle(game, &problem);
  EXPECT_EQ(problem, "");
  EXPECT_EQ(title.gameName, "G");
  EXPECT_EQ(title.rest.size(), 998u - 18u);  // at most 998 characters and the zero arrive
  EXPECT_EQ(game.Calls().back().wParam, 999u);

  scenario.noFrame = true;
  FakeGame none(scenario);
  EXPECT_EQ(ReadGameTitle(none, &problem).raceNumber, -1);
  EXPECT_EQ(problem, game_ui::kNoFrame);
  EXPECT_EQ(ReadGameTitle(none).raceNumber, -1);  // the problem need not be asked for
}

TEST(SetPaneMode, ClicksNearTheTopRightOnlyWhenTheModeChanges) {
  FakeGame game(sample());
  SetPaneMode(game, kReadingMode, FakeGame::kPane, FakeGame::kComposeEdit);
  EXPECT_TRUE(SequenceIs(game.Actions(), {}));

  SetPaneMode(game, kComposeMode, FakeGame::kPane, FakeGame::kComposeEdit);
  std::vector<Expected> click;
  AddClick(&click, FakeGame::kPane, win::MakePoint(GameModel::kPaneWidth - 30, 17));
  EXPECT_TRUE(SequenceIs(game.Actions(), click));
  EXPECT_TRUE(game.model().ComposeMode());

  game.ClearCalls();
  SetPaneMode(game, kComposeMode, FakeGame::kPane, FakeGame::kComposeEdit);
  EXPECT_TRUE(SequenceIs(game.Actions(), {}));
  SetPaneMode(game, kReadingMode, FakeGame::kPane, FakeGame::kComposeEdit);
  EXPECT_TRUE(SequenceIs(game.Actions(), click));
  EXPECT_FALSE(game.model().ComposeMode());
}

}  // namespace
