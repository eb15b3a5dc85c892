#include "archive/game_archive.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "archive/test_archive.h"
#include "archive/turn_text.h"
#include "cache/cache_stream.h"
#include "reader/message_classifier.h"
#include "reader/test_game.h"

namespace {

using testing_archive::exists;
using testing_archive::fileBytes;
using testing_archive::RecordingUi;
using testing_archive::ScratchDirectory;
using testing_archive::temporaryFiles;
using testing_archive::writeFile;

const char kLoadError[] = "Error while loading sav files. Details: \r\n Type: ";
const char kSaveError[] = "Error while writing sav files. Details: \r\n Type: ";

std::string saved(const SmartCache& table) {
  std::ostringstream out;
  saveToStream(table, out);
  return out.str();
}

bool startsWith(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

class GameArchiveTest : public ::testing::Test {
 protected:
  GameArchiveTest()
      : archive(ProgramDirectory(scratch.text()), ui, files), game(testing_game::makeGame()) {}

  // A captured turn of `name` for `race`: three races and three messages.
  void capture(CurrentGame& into, const std::string& name, int32_t race, int32_t turn) {
    DefineTableColumns(into, into.RaceTable());
    DefineTableColumns(into, into.MessageTable());
    into.SetGameName(name);
    into.SetRaceNumber(race);
    into.SetTurn(turn);
    testing_game::addRace(into, 0, "Humans", kFriend);
    testing_game::addRace(into, 1, "Zorgs", kEnemy);
    testing_game::addRace(into, 2, "Kaa", kNeutral);
    AddMessageRow(into, "Turn report", 1, 1, -1);
    AddMessageRow(into, "FROM  Zorgs\r\nTO  Humans\r\nPeace?", 2, 1, -1);
    AddMessageRow(into, ("Never, turn " + std::to_string(turn)).c_str(), 3, 0, 1);
  }

  void saveTurn(const std::string& name, int32_t race, int32_t turn) {
    CurrentGame other(std::make_unique<FixedClock>(testing_game::kMoment));
    capture(other, name, race, turn);
    ASSERT_TRUE(archive.SaveTurn(other));
  }

  ScratchDirectory scratch;
  RecordingUi ui;
  testing_archive::FaultyFileOps files;
  GameArchive archive;
  std::unique_ptr<CurrentGame> game;
};

TEST_F(GameArchiveTest, PathsOfTheTree) {
  const std::string root = scratch.text() + "DATA" + kPathSeparator;
  EXPECT_EQ(archive.Root(), root);
  const char s = kPathSeparator;
  EXPECT_EQ(archive.RaceFile("Galaxy"), root + "Galaxy" + s + "RACES.SAV");
  EXPECT_EQ(archive.TurnFile("Galaxy", 2, 2401), root + "Galaxy" + s + "2" + s + "2401.sav");
  EXPECT_EQ(archive.TextFile("Galaxy", 0, 2400), root + "Galaxy" + s + "0" + s + "2400.txt");
}

TEST_F(GameArchiveTest, SaveThenLoadGivesEqualTables) {
  capture(*game, "Galaxy", 2, 2401);
  ASSERT_TRUE(archive.SaveTurn(*game));
  EXPECT_EQ(fileBytes(archive.RaceFile("Galaxy")), saved(game->RaceTable()));
  EXPECT_EQ(fileBytes(archive.TurnFile("Galaxy", 2, 2401)), saved(game->MessageTable()));

  CurrentGame loaded;
  archive.LoadTurn(loaded, "Galaxy", 2, 2401);
  EXPECT_TRUE(ui.errors.empty());
  EXPECT_EQ(loaded.GameName(), "Galaxy");
  EXPECT_EQ(loaded.RaceNumber(), 2);
  EXPECT_EQ(loaded.Turn(), 2401);
  EXPECT_EQ(saved(loaded.RaceTable()), saved(game->RaceTable()));
  EXPECT_EQ(saved(loaded.MessageTable()), saved(game->MessageTable()));
  EXPECT_EQ(ui.waits, 1);
  EXPECT_EQ(ui.waiting, 0);
  EXPECT_EQ(temporaryFiles(archive.Root()), 0);
}

TEST_F(GameArchiveTest, GameNamesInCodePage1252RoundTrip) {
  const std::string name = "\xC4rger im All \xDF";
  capture(*game, name, 0, 2400);
  ASSERT_TRUE(archive.SaveTurn(*game));
  EXPECT_EQ(archive.ListGames(), std::vector<std::string>{name});
  CurrentGame loaded;
  archive.LoadTurn(loaded, name, -1, -1);
  EXPECT_EQ(loaded.GameName(), name);
  EXPECT_EQ(loaded.Turn(), 2400);
}

TEST_F(GameArchiveTest, ListingsSkipWhatIsNotAGameRaceOrTurn) {
  saveTurn("Galaxy", 3, 2401);
  saveTurn("Galaxy", 12, 2402);
  saveTurn("Other", 0, 2400);
  const char s = kPathSeparator;
  const std::string galaxy = archive.GameDirectory("Galaxy");
  writeFile(archive.Root() + "stray.txt", "x");
  for (const char* dir : {"16", "x", "x1", "03"}) {
    std::filesystem::create_directories(ToPath(galaxy + dir));
  }
  for (const char* file : {"notes.sav", "2403.txt", "2404.SAV", "2405.sav.tmp"}) {
    writeFile(galaxy + "3" + s + file, "x");
  }
  std::filesystem::create_directories(ToPath(galaxy + "3" + s + "2406.sav"));

  std::vector<std::string> games = archive.ListGames();
  std::sort(games.begin(), games.end());
  EXPECT_EQ(games, (std::vector<std::string>{"Galaxy", "Other"}));
  std::vector<int32_t> races = archive.ListRaces("Galaxy");
  std::sort(races.begin(), races.end());
  EXPECT_EQ(races, (std::vector<int32_t>{3, 12}));
  std::vector<int32_t> turns = archive.ListTurns("Galaxy", 3);
  std::sort(turns.begin(), turns.end());
  EXPECT_EQ(turns, (std::vector<int32_t>{2401, 2404}));
  EXPECT_EQ(archive.ListTurns("Galaxy", 12), std::vector<int32_t>{2402});

  EXPECT_TRUE(archive.ListTurns("Galaxy", 16).empty());
  EXPECT_TRUE(archive.ListTurns("Galaxy", -1).empty());
  EXPECT_TRUE(archive.ListTurns("", 3).empty());
  EXPECT_TRUE(archive.ListRaces("Missing").empty());
  EXPECT_TRUE(archive.ListRaces("..").empty());
}

TEST_F(GameArchiveTest, NoArchiveListsNothing) {
  EXPECT_TRUE(archive.ListGames().empty());
  EXPECT_TRUE(archive.ListRaces("Galaxy").empty());
  EXPECT_TRUE(archive.ListTurns("Galaxy", 0).empty());
}

TEST_F(GameArchiveTest, UnsetRaceAndTurnTakeTheFirstRaceAndItsHighestTurn) {
  for (int32_t turn : {2400, 2403, 2401}) saveTurn("Galaxy", 2, turn);
  for (int32_t turn : {2407, 2402}) saveTurn("Galaxy", 5, turn);
  const int32_t firstRace = archive.ListRaces("Galaxy").front();
  const int32_t highest = firstRace == 2 ? 2403 : 2407;

  archive.LoadTurn(*game, "Galaxy", -1, -1);
  EXPECT_EQ(game->RaceNumber(), firstRace);
  EXPECT_EQ(game->Turn(), highest);
  EXPECT_EQ(game->MessageTable().rowAt(2).getString(MSGTXT),
            "Never, turn " + std::to_string(highest));

  archive.LoadTurn(*game, "Galaxy", 2, -1);
  EXPECT_EQ(game->Turn(), 2403);
  archive.LoadTurn(*game, "Galaxy", 5, 2402);
  EXPECT_EQ(game->Turn(), 2402);
  EXPECT_TRUE(ui.errors.empty());
}

TEST_F(GameArchiveTest, GameWithoutRacesOrTurnsLoadsOnlyItsRaces) {
  saveTurn("Galaxy", 2, 2400);
  std::filesystem::remove_all(ToPath(archive.RaceDirectory("Galaxy", 2)));
  archive.LoadTurn(*game, "Galaxy", -1, -1);
  EXPECT_EQ(game->RaceTable().rowCount(), 3);
  EXPECT_EQ(game->MessageTable().columnCount(), 0u);
  EXPECT_EQ(game->GameName(), "");
  EXPECT_EQ(game->RaceNumber(), -1);
  EXPECT_EQ(game->Turn(), -1);

  std::filesystem::create_directories(ToPath(archive.RaceDirectory("Galaxy", 4)));
  archive.LoadTurn(*game, "Galaxy", -1, -1);  // a race without turns
  EXPECT_EQ(game->Turn(), -1);
  EXPECT_TRUE(ui.errors.empty());
  EXPECT_EQ(ui.waiting, 0);
}

TEST_F(GameArchiveTest, EmptyGameNameLoadsNothing) {
  capture(*game, "Galaxy", 2, 2401);
  archive.LoadTurn(*game, "", 2, 2401);
  EXPECT_EQ(game->RaceTable().columnCount(), 0u);
  EXPECT_EQ(game->MessageTable().columnCount(), 0u);
  EXPECT_EQ(game->GameName(), "");
  EXPECT_TRUE(ui.errors.empty());
  EXPECT_EQ(ui.waits, 1);
}

TEST_F(GameArchiveTest, FailedLoadsShowTheErrorOnceAndLeaveTheGameUnset) {
  saveTurn("Galaxy", 2, 2401);
  writeFile(archive.TurnFile("Galaxy", 2, 2402), "damaged");

  struct Attempt {
    const char* what;
    std::string game;
    int32_t race, turn;
    int32_t raceRows;  // what the RaceTable keeps
  };
  const Attempt attempts[] = {
      {"missing turn file", "Galaxy", 2, 2399, 3},
      {"damaged turn file", "Galaxy", 2, 2402, 3},
      {"missing race file", "Nowhere", 2, 2401, 0},
      {"unusable game name", "..", 2, 2401, 0},
  };
  for (const Attempt& a : attempts) {
    SCOPED_TRACE(a.what);
    capture(*game, "Before", 1, 2400);
    ui.errors.clear();
    archive.LoadTurn(*game, a.game, a.race, a.turn);
    ASSERT_EQ(ui.errors.size(), 1u);
    EXPECT_TRUE(startsWith(ui.errors[0], kLoadError)) << ui.errors[0];
    EXPECT_EQ(game->GameName(), "");
    EXPECT_EQ(game->RaceNumber(), -1);
    EXPECT_EQ(game->Turn(), 0);
    EXPECT_EQ(game->MessageTable().columnCount(), 0u);
    EXPECT_EQ(game->MessageTable().rowCount(), 0);
    EXPECT_EQ(game->RaceTable().rowCount(), a.raceRows);
    EXPECT_EQ(ui.waiting, 0);
  }
  EXPECT_EQ(ui.errors[0],
            "Error while loading sav files. Details: \r\n Type: LExc_Internal_BadArg\r\n"
            "Text: game name \"..\" cannot be used as a directory name\r\n"
            "File: archive/game_archive\r\nLine: 112");
}

TEST_F(GameArchiveTest, SavesNothingBelowTheFirstTurnOrWithoutAGame) {
  capture(*game, "Galaxy", 2, 2399);
  EXPECT_TRUE(archive.SaveTurn(*game));
  EXPECT_TRUE(archive.ExportTurnText(*game));
  game->SetTurn(2400);
  game->SetRaceNumber(-1);
  EXPECT_TRUE(archive.SaveTurn(*game));
  game->SetRaceNumber(0);
  game->SetGameName("");
  EXPECT_TRUE(archive.SaveTurn(*game));
  EXPECT_FALSE(exists(archive.Root()));
  EXPECT_TRUE(ui.errors.empty());
}

TEST_F(GameArchiveTest, UnusableGameNamesAreRefusedBeforeAnythingIsWritten) {
  for (const char* name : {"..", "..\\outside", "../outside", "C:\\x", "a:b", "CON"}) {
    SCOPED_TRACE(name);
    ui.errors.clear();
    capture(*game, name, 0, 2400);
    EXPECT_FALSE(archive.SaveTurn(*game));
    ASSERT_EQ(ui.errors.size(), 1u);
    EXPECT_FALSE(archive.ExportTurnText(*game));
    ASSERT_EQ(ui.errors.size(), 2u);
    for (const std::string& error : ui.errors) {
      EXPECT_TRUE(startsWith(error, std::string(kSaveError) + "LExc_Internal_BadArg")) << error;
    }
    EXPECT_FALSE(exists(archive.Root()));
  }
}

TEST_F(GameArchiveTest, EveryFailedFileOperationLeavesTheStoredFilesAsTheyWere) {
  // The first save of a turn, failing at each operation in turn: no file
  // of the turn may be left behind.
  capture(*game, "Galaxy", 2, 2401);
  for (int n = 1;; ++n) {
    ui.errors.clear();
    files.FailNth(n);
    if (archive.SaveTurn(*game)) break;
    ASSERT_EQ(ui.errors.size(), 1u) << n;
    EXPECT_TRUE(startsWith(ui.errors[0], std::string(kSaveError) + "LExc_Internal_Unexpected"));
    EXPECT_FALSE(exists(archive.RaceFile("Galaxy"))) << n;
    EXPECT_FALSE(exists(archive.TurnFile("Galaxy", 2, 2401))) << n;
    EXPECT_EQ(temporaryFiles(archive.Root()), 0) << n;
  }
  files.Never();
  ASSERT_TRUE(archive.ExportTurnText(*game));
  const std::string races = fileBytes(archive.RaceFile("Galaxy"));
  const std::string turn = fileBytes(archive.TurnFile("Galaxy", 2, 2401));
  const std::string text = fileBytes(archive.TextFile("Galaxy", 2, 2401));

  // A new capture of the same turn: every failure, short writes included,
  // keeps the old files byte for byte.
  testing_game::addRace(*game, 3, "Newcomers", kNeutral);
  AddMessageRow(*game, "one more", 4, 1, -1);
  for (bool shortWrite : {false, true}) {
    int failures = 0;
    for (int n = 1;; ++n) {
      ui.errors.clear();
      files.FailNth(n, shortWrite);
      if (archive.SaveTurn(*game)) break;
      ++failures;
      ASSERT_EQ(ui.errors.size(), 1u) << n;
      EXPECT_EQ(fileBytes(archive.RaceFile("Galaxy")), races) << n;
      EXPECT_EQ(fileBytes(archive.TurnFile("Galaxy", 2, 2401)), turn) << n;
      EXPECT_EQ(temporaryFiles(archive.Root()), 0) << n;
    }
    EXPECT_GT(failures, 10);
    EXPECT_NE(fileBytes(archive.TurnFile("Galaxy", 2, 2401)), turn);
    writeFile(archive.RaceFile("Galaxy"), races);  // the old version again for the next round
    writeFile(archive.TurnFile("Galaxy", 2, 2401), turn);

    for (int n = 1;; ++n) {
      ui.errors.clear();
      files.FailNth(n, shortWrite);
      if (archive.ExportTurnText(*game)) break;
      ASSERT_EQ(ui.errors.size(), 1u) << n;
      EXPECT_EQ(fileBytes(archive.TextFile("Galaxy", 2, 2401)), text) << n;
      EXPECT_EQ(temporaryFiles(archive.Root()), 0) << n;
    }
    EXPECT_NE(fileBytes(archive.TextFile("Galaxy", 2, 2401)), text);
    writeFile(archive.TextFile("Galaxy", 2, 2401), text);
  }
}

TEST_F(GameArchiveTest, ExportWritesTheTextFileAndReplacesAnEarlierOne) {
  capture(*game, "Galaxy", 0, 2401);
  writeFile(archive.TextFile("Galaxy", 0, 2401), std::string(5000, '#'));
  ASSERT_TRUE(archive.ExportTurnText(*game));
  const std::string text = fileBytes(archive.TextFile("Galaxy", 0, 2401));
  const std::string start = "Game: \"Galaxy\"\r\nRace: 1\r\nTurn: 2401\r\n\r\n\r\nTurn report\r\n";
  EXPECT_EQ(text.substr(0, start.size()), start);
  EXPECT_EQ(text.find('#'), std::string::npos);
  EXPECT_FALSE(exists(archive.TurnFile("Galaxy", 0, 2401)));  // the export writes no .sav
}

TEST_F(GameArchiveTest, ExportOfAnUnreadableTextKeepsTheOldFile) {
  capture(*game, "Galaxy", 0, 2401);
  ASSERT_TRUE(archive.ExportTurnText(*game));
  const std::string before = fileBytes(archive.TextFile("Galaxy", 0, 2401));
  CacheRow broken = game->MessageTable().templateRow();  // MSGTXT NULL
  game->MessageTable().appendRow(broken);
  EXPECT_FALSE(archive.ExportTurnText(*game));
  EXPECT_EQ(fileBytes(archive.TextFile("Galaxy", 0, 2401)), before);
  ASSERT_EQ(ui.errors.size(), 1u);
  EXPECT_TRUE(startsWith(ui.errors[0], kSaveError)) << ui.errors[0];
}

}  // namespace
