#include "app/message_capture.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "app/test_user_interface.h"
#include "archive/faulty_file_system.h"
#include "archive/test_archive.h"
#include "archive/turn_store.h"
#include "cache/test_tables.h"
#include "reader/test_game.h"
#include "sim/fake_game.h"
#include "sim/test_sequence.h"

namespace {

using namespace testing_sequence;
using testing_archive::fileBytes;
using testing_tables::saved;

// One MessageTable row as texts: TURN, MSGID, MSGTYP, MSGRACNO, MSGINCOMING, MSGTXT.
using MessageRow = std::vector<std::string>;

std::vector<MessageRow> messageRows(const CurrentGame& game) {
  std::vector<MessageRow> rows;
  const SmartCache& messages = game.MessageTable();
  for (int32_t i = 0; i < messages.rowCount(); ++i) {
    const CacheRow row = messages.rowAt(i);
    MessageRow texts;
    for (const char* column : {TURN, MSGID, MSGTYP, MSGRACNO, MSGINCOMING, MSGTXT}) {
      texts.push_back(row.cellText(row.columnIndex(column)));
    }
    EXPECT_EQ(row.getTimestamp(MSGHROWID), testing_game::kMoment);
    rows.push_back(texts);
  }
  return rows;
}

class CaptureTest : public ::testing::Test {
 protected:
  CaptureTest()
      : scenario(LoadScenario(VANDOR_SCENARIO_DIR "/english.scenario")),
        archive(ArchiveLayout(ProgramDirectory(scratch.text())), files),
        game(testing_game::makeGame()) {}

  // Runs "Read from Vandor!" against a fake of `scenario`, as the main
  // window runs it, counting the restores and refreshes it asks for.
  void capture() {
    fake = std::make_unique<FakeGame>(scenario);
    MessageCapture command(*fake, ui, archive);
    RunCommand([&] { return command.OnReadFromGame(*game); },
               [&](const CommandOutcome& outcome) {
                 if (outcome.restore && outcome.refresh) ++refreshes;
               },
               MessageCapture::AfterCapture());
  }

  bool nothingReadFromTheGame() const {
    const auto& calls = fake->Calls();
    return std::none_of(calls.begin(), calls.end(), [](const WindowCall& c) {
      return c.kind == WindowCall::Kind::kSend && c.window == FakeGame::kReadingEdit;
    });
  }

  void expectEmptyGame(uint32_t messageColumns, const std::string& name = "") const {
    EXPECT_EQ(game->GameName(), name);
    EXPECT_EQ(game->RaceNumber(), -1);
    EXPECT_EQ(game->RaceTable().rowCount(), 0);
    EXPECT_EQ(game->MessageTable().rowCount(), 0);
    EXPECT_EQ(game->MessageTable().columnCount(), messageColumns);
    EXPECT_FALSE(testing_archive::exists(archive.Layout().Root()));
    EXPECT_EQ(refreshes, 1);
  }

  Scenario scenario;
  testing_archive::ScratchDirectory scratch;
  FaultyFileSystem files;
  TurnStore archive;
  std::unique_ptr<CurrentGame> game;
  testing_ui::ScriptedUi ui;
  std::unique_ptr<FakeGame> fake;
  int refreshes = 0;
};

const char kZorgText[] =
    "Your fleet near Sirius has been noticed.\r\nWe demand its withdrawal within two turns.";

TEST_F(CaptureTest, EnglishSampleTurn) {
  capture();
  EXPECT_EQ(ui.askedWith, std::vector<std::string>{""});
  EXPECT_EQ(game->GameName(), "Andromeda");
  EXPECT_EQ(game->RaceNumber(), 1);
  EXPECT_EQ(game->Turn(), 2401);
  // Sorted by MSGRACNO; rows of one race keep their order.
  EXPECT_EQ(messageRows(*game),
            (std::vector<MessageRow>{
                {"2401", "1", "0", "<NULL>", "1",
                 "Production report for turn 2401:\r\nSirius IV built 3 cruisers.\r\n"
                 "New Terra built 1 colony ship."},
                {"2401", "4", "0", "<NULL>", "1", "Combat report: the battle at Vega was won."},
                {"2401", "5", "1", "<NULL>", "1", "Pay 500 credits or your freighters burn."},
                {"2401", "2", "1", "0", "1", kZorgText},
                {"2401", "7", "1", "0", "0", "Our fleet stays. Sirius is Terran space."},
                {"2401", "6", "1", "2", "1", "The council meets at Altair next turn."},
                {"2401", "3", "1", "3", "1", "The trade agreement is accepted."},
                {"2401", "8", "1", "3", "0",
                 "Thank you, friends. The first freighters leave tomorrow."},
            }));
  EXPECT_EQ(game->RaceTable().rowCount(), 4);
  EXPECT_EQ(game->RaceName(3), "Vlorrians");

  EXPECT_EQ(fileBytes(archive.Layout().TurnFile("Andromeda", 1, 2401)), saved(game->MessageTable()));
  EXPECT_EQ(fileBytes(archive.Layout().RaceFile("Andromeda")), saved(game->RaceTable()));
  const std::string text = fileBytes(archive.Layout().TextFile("Andromeda", 1, 2401));
  const std::string header = "Game: \"Andromeda\"\r\nRace: 2\r\nTurn: 2401\r\n\r\n\r\n";
  EXPECT_EQ(text.substr(0, header.size()), header);
  EXPECT_NE(text.find(std::string(kZorgText) + "\r\n\r\n\r\n\r\n"), std::string::npos);

  EXPECT_TRUE(ui.errors.empty());
  EXPECT_TRUE(ui.questions.empty());
  EXPECT_EQ(refreshes, 1);
  // The game is left maximised, in reading mode, at full size.
  EXPECT_TRUE(fake->model().Maximized());
  EXPECT_FALSE(fake->model().ComposeMode());
  EXPECT_EQ(fake->model().PaneHeight(), GameModel::kPaneHeight);
}

TEST_F(CaptureTest, GermanSampleTurn) {
  scenario = LoadScenario(VANDOR_SCENARIO_DIR "/german.scenario");
  ui.turnAnswer = 2405;
  capture();
  const std::string game_name = "Milchstra\xDF" "e";
  EXPECT_EQ(game->GameName(), game_name);
  EXPECT_EQ(game->RaceNumber(), 0);
  EXPECT_EQ(messageRows(*game),
            (std::vector<MessageRow>{
                {"2405", "1", "0", "<NULL>", "1",
                 "Produktionsbericht f\xFCr Zug 2405:\r\nNeu-Terra baute 2 Kreuzer."},
                {"2405", "4", "1", "<NULL>", "1", "Wir beobachten euch."},
                {"2405", "5", "0", "<NULL>", "1", "Kampfbericht: Die Schlacht um Altair ging verloren."},
                {"2405", "2", "1", "1", "1",
                 "Eure Flotte bei Wega ist uns nicht entgangen.\r\nZieht sie zur\xFC" "ck!"},
                {"2405", "6", "1", "1", "0", "Die Flotte bleibt, wo sie ist."},
                {"2405", "3", "1", "2", "1", "Die Allianz steht. Gr\xFC\xDF" "e vom Rat."},
                {"2405", "7", "1", "2", "0", "Wir danken dem Rat."},
                {"2405", "8", "1", "3", "0", "Habt ihr Erz \xFC" "brig?"},
            }));
  EXPECT_EQ(game->RaceName(0), "Menschen");
  EXPECT_EQ(fileBytes(archive.Layout().TurnFile(game_name, 0, 2405)), saved(game->MessageTable()));
}

TEST_F(CaptureTest, IncomingLoopAndThirtyTwoOutgoingPasses) {
  capture();
  const LongParam click = win::MakePoint(GameModel::kPaneWidth - 30, 17);
  std::vector<Expected> expected = {
      Send(FakeGame::kPane, win::kWmSize, 0, win::MakePoint(GameModel::kPaneWidth, 20))};
  AddKey(&expected, FakeGame::kPane, win::kVkHome);
  for (int i = 1; i <= 6; ++i) {
    expected.push_back(Read(FakeGame::kReadingEdit, win::kWmGetText, 9999));
    if (i < 6) AddKey(&expected, FakeGame::kPane, win::kVkDown);
  }
  AddClick(&expected, FakeGame::kPane, click);  // compose mode
  for (int pass = 1; pass <= 32; ++pass) {
    expected.push_back(Send(FakeGame::kCombo, win::kCbGetCurSel));
    if (pass <= 2) expected.push_back(Read(FakeGame::kComposeEdit, win::kWmGetText, 9999));
    AddClick(&expected, FakeGame::kNextButton);
  }
  expected.push_back(Send(FakeGame::kPane, win::kWmSize, 0,
                          win::MakePoint(GameModel::kPaneWidth, GameModel::kPaneHeight)));
  AddClick(&expected, FakeGame::kPane, click);  // reading mode again
  EXPECT_TRUE(SequenceIs(From(fake->Actions(), expected[0]), expected));
}

// The calls of the outgoing passes: from the first CB_GETCURSEL up to the
// pane's return to its full size.
std::vector<WindowCall> outgoingCalls(const std::vector<WindowCall>& calls) {
  std::vector<WindowCall> pages = From(calls, Send(FakeGame::kCombo, win::kCbGetCurSel));
  const auto end = std::find_if(pages.begin(), pages.end(), [](const WindowCall& c) {
    return c.kind == WindowCall::Kind::kSend && c.message == win::kWmSize;
  });
  return std::vector<WindowCall>(pages.begin(), end);
}

TEST_F(CaptureTest, OutgoingPostBeyondThirtyTwoMessagesIsReadWhileNextIsEnabled) {
  const Expected askNext{WindowCall::Kind::kGetLong, FakeGame::kNextButton,
                         static_cast<uint32_t>(win::kGwlStyle), 0, 0, kExact};
  for (int count : {31, 32, 33, 40}) {
    SCOPED_TRACE(count);
    scenario.outgoing.clear();
    for (int i = 1; i <= count; ++i) {
      scenario.outgoing.push_back({(i - 1) % 4 + 1, "Outgoing " + std::to_string(i)});
    }
    capture();
    // Every message, numbered on after the six incoming ones, to its race.
    std::vector<std::string> outgoing;
    for (const MessageRow& row : messageRows(*game)) {
      if (row[4] == "0") outgoing.push_back(row[1] + ":" + row[3] + ":" + row[5]);
    }
    std::sort(outgoing.begin(), outgoing.end());
    std::vector<std::string> wanted;
    for (int i = 1; i <= count; ++i) {
      wanted.push_back(std::to_string(6 + i) + ":" + std::to_string((i - 1) % 4) + ":Outgoing " +
                       std::to_string(i));
    }
    std::sort(wanted.begin(), wanted.end());
    EXPECT_EQ(outgoing, wanted);
    EXPECT_TRUE(ui.errors.empty());
    EXPECT_EQ(fileBytes(archive.Layout().TurnFile("Andromeda", 1, 2401)), saved(game->MessageTable()));
    const std::string text = fileBytes(archive.Layout().TextFile("Andromeda", 1, 2401));
    EXPECT_NE(text.find("Outgoing " + std::to_string(count) + "\r\n"), std::string::npos);

    // The first 32 pages are read whatever Next shows; Next is asked
    // before each page beyond them, and once more on the blank page after
    // the last message, where the capture stops.
    std::vector<Expected> expected;
    for (int page = 1; page <= std::max(count, 32); ++page) {
      if (page > 32) expected.push_back(askNext);
      expected.push_back(Send(FakeGame::kCombo, win::kCbGetCurSel));
      if (page <= count) expected.push_back(Read(FakeGame::kComposeEdit, win::kWmGetText, 9999));
      AddClick(&expected, FakeGame::kNextButton);
    }
    expected.push_back(askNext);
    EXPECT_TRUE(SequenceIs(outgoingCalls(fake->Calls()), expected));
  }
}

TEST_F(CaptureTest, OutgoingPassesNumberAfterTheIncomingOnes) {
  scenario.incoming = {"only one"};
  scenario.outgoing = {{0, "to nobody"}, {2, ""}, {3, "last"}};
  capture();
  std::vector<std::string> ids;
  for (const MessageRow& row : messageRows(*game)) ids.push_back(row[1] + ":" + row[5]);
  // Pass 2 (MSGID 2) addresses nobody, pass 3 has no text: only pass 4 counts.
  EXPECT_EQ(ids, (std::vector<std::string>{"1:only one", "4:last"}));
}

TEST_F(CaptureTest, GameWithoutMessagesGivesOneEmptySystemMessage) {
  scenario.incoming.clear();
  scenario.outgoing.clear();
  capture();
  EXPECT_EQ(messageRows(*game),
            (std::vector<MessageRow>{{"2401", "1", "0", "<NULL>", "1", ""}}));
}

TEST_F(CaptureTest, MissingWindowsStopWithTheirMessage) {
  for (bool Scenario::*flag : {&Scenario::noFrame, &Scenario::noPane, &Scenario::singleEdit,
                               &Scenario::noPrevButton}) {
    scenario = LoadScenario(VANDOR_SCENARIO_DIR "/english.scenario");
    scenario.*flag = true;
    refreshes = 0;
    ui.errors.clear();
    capture();
    ASSERT_EQ(ui.errors.size(), 1u);
    EXPECT_EQ(ui.errors[0].substr(0, 11), "cannot find");
    EXPECT_TRUE(ui.askedWith.empty());
    expectEmptyGame(7);
    EXPECT_EQ(game->RaceTable().columnCount(), 0u);
    EXPECT_EQ(game->Turn(), -1);
  }
}

TEST_F(CaptureTest, CancelledTurnQuestionLeavesTheGameEmpty) {
  game->SetGameName("Earlier");
  ui.turnAnswer = -1;
  capture();
  expectEmptyGame(7);
  EXPECT_EQ(game->Turn(), -1);
  EXPECT_TRUE(nothingReadFromTheGame());
}

TEST_F(CaptureTest, TitleWithoutRaceStopsSilently) {
  scenario.title = "Vandor! - Andromeda - Terran - nobody";
  capture();
  expectEmptyGame(7, "Andromeda");
  EXPECT_EQ(game->RaceTable().columnCount(), 7u);
  EXPECT_EQ(game->Turn(), 2401);
  EXPECT_TRUE(ui.errors.empty());
  EXPECT_TRUE(nothingReadFromTheGame());
}

TEST_F(CaptureTest, TitleWithARaceBeyondTheGamesRacesStoresNothingAndSaysWhy) {
  // "m17" would be race 16, whose folder no listing, chooser or overwrite
  // question could ever reach.
  for (const char* number : {"m17", "m99"}) {
    SCOPED_TRACE(number);
    scenario.title = std::string("Vandor! - Andromeda - Terran - Emperor Vance ") + number;
    ui.errors.clear();
    capture();
    ASSERT_EQ(ui.errors.size(), 1u);
    EXPECT_EQ(ui.errors[0], std::string("Vandor! names race ") + (number + 1) +
                                " in its title, but the reader keeps races 1 to 16 only - "
                                "the turn was not read.");
    EXPECT_FALSE(game->HasTurn());
    EXPECT_TRUE(nothingReadFromTheGame());
    EXPECT_FALSE(testing_archive::exists(archive.Layout().Root()));
  }
  scenario.title = "Vandor! - Andromeda - Terran - Emperor Vance m16";  // the last race
  ui.errors.clear();
  capture();
  EXPECT_TRUE(ui.errors.empty());
  EXPECT_EQ(game->RaceNumber(), 15);
  EXPECT_TRUE(testing_archive::exists(archive.Layout().TurnFile("Andromeda", 15, 2401)));
}

TEST_F(CaptureTest, StoredTurnIsReplacedOnlyWhenTheUserAgrees) {
  capture();
  const std::string stored = fileBytes(archive.Layout().TurnFile("Andromeda", 1, 2401));

  // Cancel: the stored turn is loaded, nothing is read from the game.
  scenario.incoming.push_back("A late message");
  ui.okAnswers = {false};
  capture();
  EXPECT_EQ(ui.questions,
            std::vector<std::string>{"Vandor! Message Reader/Turn 2401 for Game Andromeda/Race 1 "
                                     "already loaded. Overwrite old data?"});
  EXPECT_TRUE(nothingReadFromTheGame());
  EXPECT_EQ(game->Turn(), 2401);
  EXPECT_EQ(game->RaceNumber(), 1);
  EXPECT_EQ(game->MessageTable().rowCount(), 8);
  EXPECT_EQ(fileBytes(archive.Layout().TurnFile("Andromeda", 1, 2401)), stored);

  // OK: the turn is read again and stored over the old one.
  ui.okAnswers = {true};
  capture();
  EXPECT_EQ(game->MessageTable().rowCount(), 9);
  EXPECT_NE(fileBytes(archive.Layout().TurnFile("Andromeda", 1, 2401)), stored);
}

TEST_F(CaptureTest, AFailedSaveKeepsTheStoredTurnAndItsTextFile) {
  capture();
  const std::string turn = fileBytes(archive.Layout().TurnFile("Andromeda", 1, 2401));
  const std::string text = fileBytes(archive.Layout().TextFile("Andromeda", 1, 2401));
  scenario.incoming.push_back("A late message");
  int textFailures = 0;
  for (int n = 1;; ++n) {
    ui.errors.clear();
    files.FailNth(n);
    capture();
    if (ui.errors.empty()) break;
    EXPECT_EQ(ui.errors.size(), 1u) << n;
    EXPECT_EQ(ui.errors[0].rfind("Error while writing sav files. Details: ", 0), 0u) << n;
    // A failed .sav pair leaves the text file alone as well; a failed
    // text file comes after a stored turn.
    EXPECT_EQ(fileBytes(archive.Layout().TextFile("Andromeda", 1, 2401)), text) << n;
    if (fileBytes(archive.Layout().TurnFile("Andromeda", 1, 2401)) != turn) {
      ++textFailures;
      testing_archive::writeFile(archive.Layout().TurnFile("Andromeda", 1, 2401), turn);
    }
    EXPECT_EQ(testing_archive::temporaryFiles(archive.Layout().Root()), 0) << n;
  }
  EXPECT_GT(textFailures, 0);
  EXPECT_NE(fileBytes(archive.Layout().TurnFile("Andromeda", 1, 2401)), turn);
  EXPECT_NE(fileBytes(archive.Layout().TextFile("Andromeda", 1, 2401)), text);
}

TEST_F(CaptureTest, ButtonsThatNeverDisableEndInBoundedTime) {
  scenario.prevNeverDisabled = true;
  scenario.nextNeverDisabled = true;
  capture();
  const auto& calls = fake->Calls();
  const auto count = [&](WindowHandle w, uint32_t message) {
    return std::count_if(calls.begin(), calls.end(), [&](const WindowCall& c) {
      return c.kind == WindowCall::Kind::kSend && c.window == w && c.message == message;
    });
  };
  EXPECT_EQ(count(FakeGame::kPrevButton, win::kWmLButtonUp), 10000);
  EXPECT_EQ(count(FakeGame::kReadingEdit, win::kWmGetText), 10000);
  // A Next that stays enabled past the blank page pages on to the bound.
  EXPECT_EQ(count(FakeGame::kCombo, win::kCbGetCurSel), 10000);
  EXPECT_EQ(count(FakeGame::kNextButton, win::kWmLButtonUp), 10000);
  EXPECT_EQ(game->MessageTable().rowCount(), 10000 + 2);
  EXPECT_EQ(refreshes, 1);
}

TEST_F(CaptureTest, OverLongMessagesAreCut) {
  scenario.incoming = {"FROM  Zorgs\r\nTO  Terrans\r\n{long}", std::string(20000, 's')};
  scenario.incoming[0].replace(scenario.incoming[0].find("{long}"), 6, std::string(15000, 'z'));
  scenario.outgoing = {{1, std::string(12000, 'o')}};
  capture();
  // WM_GETTEXT with 9999 delivers at most 9998 characters and the zero.
  for (const MessageRow& row : messageRows(*game)) EXPECT_LE(row[5].size(), 9999u);
  const SmartCache& messages = game->MessageTable();
  EXPECT_EQ(messages.rowAt(0).getString(MSGTXT), std::string(9998, 's'));
  EXPECT_EQ(messages.rowAt(1).getString(MSGTXT), std::string(9998 - 26, 'z'));
  EXPECT_EQ(messages.rowAt(2).getString(MSGTXT), std::string(9998, 'o'));
}

TEST_F(CaptureTest, GameThatStopsAnsweringEndsTheCaptureWithoutASave) {
  scenario.stopAnsweringAfterKeys = 3;
  capture();
  EXPECT_EQ(ui.errors, std::vector<std::string>{"Vandor! does not respond - the turn was not read. "
                                                 "Check the game and try again."});
  EXPECT_EQ(game->MessageTable().rowCount(), 2);  // Home, Down, Down: then it hangs
  EXPECT_FALSE(testing_archive::exists(archive.Layout().Root()));
  EXPECT_EQ(refreshes, 1);
}

TEST_F(CaptureTest, GameThatVanishesEndsTheCaptureWithoutASave) {
  for (int keys : {1, 2, 6}) {
    SCOPED_TRACE(keys);
    scenario.vanishAfterKeys = keys;
    refreshes = 0;
    ui.errors.clear();
    capture();
    EXPECT_EQ(ui.errors, std::vector<std::string>{program_ui::kNotResponding});
    EXPECT_FALSE(testing_archive::exists(archive.Layout().Root()));
    EXPECT_EQ(refreshes, 1);
    EXPECT_LT(fake->Calls().size(), 200u);  // gives up at once
  }
}

TEST_F(CaptureTest, PathLikeGameNamesAreReadButNotStored) {
  for (const char* name : {"..\\..\\outside", "../outside", "C:\\Windows", "a\\b", ".."}) {
    SCOPED_TRACE(name);
    scenario.title = std::string("Vandor! - ") + name + " - Terran - Emperor Vance m2";
    ui.errors.clear();
    capture();
    EXPECT_EQ(game->GameName(), name);
    EXPECT_EQ(game->MessageTable().rowCount(), 8);
    ASSERT_EQ(ui.errors.size(), 1u);
    EXPECT_NE(ui.errors[0].find(std::string("game name \"") + name +
                                       "\" cannot be used as a directory name"),
              std::string::npos)
        << ui.errors[0];
    EXPECT_FALSE(testing_archive::exists(archive.Layout().Root()));
    EXPECT_FALSE(testing_archive::exists(scratch.text() + "..\\outside"));
  }
}

TEST_F(CaptureTest, MessagesAndTitlesAroundTheBufferLimits) {
  // WM_GETTEXT with 9999 gives at most 9998 characters.
  scenario.incoming.clear();
  for (size_t length : {9997, 9998, 9999, 10000, 10001}) {
    scenario.incoming.push_back(std::string(length, 'i'));
  }
  scenario.outgoing = {{1, std::string(9998, 'o')}, {2, std::string(10001, 'p')}};
  capture();
  const std::vector<MessageRow> rows = messageRows(*game);
  ASSERT_EQ(rows.size(), 7u);
  const size_t lengths[] = {9997, 9998, 9998, 9998, 9998, 9998, 9998};
  for (size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(rows[i][5].size(), lengths[i]) << i;

  // The title is read with 999 too: a title cut before its race number
  // names no race, and nothing is read.
  const std::string rest = " - Terran - Emperor Vance m2";
  for (size_t length : {998, 999, 1000, 1001}) {
    SCOPED_TRACE(length);
    const std::string name(length - rest.size() - 10, 'g');
    scenario.title = "Vandor! - " + name + rest;
    ASSERT_EQ(scenario.title.size(), length);
    capture();
    EXPECT_EQ(game->GameName(), name);
    EXPECT_EQ(game->RaceNumber(), length <= 998 ? 1 : -1);
    EXPECT_EQ(game->MessageTable().rowCount(), length <= 998 ? 7 : 0);
    // No file system takes a directory name that long: the save says so.
    if (length <= 998) {
      ASSERT_EQ(ui.errors.size(), 1u);
      EXPECT_NE(ui.errors[0].find("cannot create directory"), std::string::npos);
      ui.errors.clear();
    }
  }
}

TEST_F(CaptureTest, ExceptionsPassOnAfterTheRefresh) {
  ui.throwOnAskTurn = true;
  EXPECT_THROW(capture(), std::runtime_error);
  EXPECT_EQ(refreshes, 1);
}

TEST_F(CaptureTest, HiddenOrMissingComboReadsNoOutgoingPost) {
  for (bool Scenario::*flag : {&Scenario::comboHidden, &Scenario::noCombo}) {
    scenario = LoadScenario(VANDOR_SCENARIO_DIR "/english.scenario");
    scenario.*flag = true;
    capture();
    const auto& calls = fake->Calls();
    EXPECT_TRUE(std::none_of(calls.begin(), calls.end(), [](const WindowCall& c) {
      return c.kind == WindowCall::Kind::kSend && c.window == FakeGame::kComposeEdit;
    }));
    EXPECT_EQ(game->MessageTable().rowCount(), 6);
    EXPECT_FALSE(fake->model().ComposeMode());
  }
}

}  // namespace
