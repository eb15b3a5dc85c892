#include "archive/turn_store.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "archive/faulty_file_system.h"
#include "archive/memory_file_system.h"
#include "archive/test_archive.h"
#include "cache/test_tables.h"
#include "reader/message_classifier.h"
#include "reader/test_game.h"
#include "support/lexc.h"

namespace {

using testing_archive::exists;
using testing_archive::fileBytes;
using testing_archive::ScratchDirectory;
using testing_archive::temporaryFiles;
using testing_archive::writeFile;
using testing_tables::saved;

// The report of what `action` raises; empty when it raises nothing.
template <class Action>
std::string raised(Action action) {
  try {
    action();
  } catch (const LExc_Base& e) {
    return e.reportText();
  }
  return std::string();
}

bool startsWith(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

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

class TurnStoreTest : public ::testing::Test {
 protected:
  TurnStoreTest()
      : store(ArchiveLayout(ProgramDirectory(scratch.text())), files),
        layout(store.Layout()),
        game(testing_game::makeGame()) {}

  void saveTurn(const std::string& name, int32_t race, int32_t turn) {
    CurrentGame other(std::make_unique<FixedClock>(testing_game::kMoment));
    capture(other, name, race, turn);
    ASSERT_NO_THROW(store.SaveTurn(other));
  }

  ScratchDirectory scratch;
  FaultyFileSystem files;
  TurnStore store;
  const ArchiveLayout& layout;
  std::unique_ptr<CurrentGame> game;
};

TEST_F(TurnStoreTest, PathsOfTheTree) {
  const std::string root = scratch.text() + "DATA" + kPathSeparator;
  EXPECT_EQ(layout.Root(), root);
  const char s = kPathSeparator;
  EXPECT_EQ(layout.RaceFile("Galaxy"), root + "Galaxy" + s + "RACES.SAV");
  EXPECT_EQ(layout.TurnFile("Galaxy", 2, 2401), root + "Galaxy" + s + "2" + s + "2401.sav");
  EXPECT_EQ(layout.TextFile("Galaxy", 0, 2400), root + "Galaxy" + s + "0" + s + "2400.txt");
  EXPECT_EQ(layout.TurnRaceFile("Galaxy", 0, 2400), root + "Galaxy" + s + "0" + s + "2400.rac");
}

TEST_F(TurnStoreTest, SaveThenLoadGivesEqualTables) {
  capture(*game, "Galaxy", 2, 2401);
  ASSERT_NO_THROW(store.SaveTurn(*game));
  EXPECT_EQ(fileBytes(layout.RaceFile("Galaxy")), saved(game->RaceTable()));
  EXPECT_EQ(fileBytes(layout.TurnFile("Galaxy", 2, 2401)), saved(game->MessageTable()));
  EXPECT_EQ(fileBytes(layout.TurnRaceFile("Galaxy", 2, 2401)), saved(game->RaceTable()));
  EXPECT_EQ(store.ListTurns("Galaxy", 2), std::vector<int32_t>{2401});  // the .rac is no turn

  CurrentGame loaded;
  ASSERT_NO_THROW(store.LoadTurn(loaded, "Galaxy", 2, 2401));
  EXPECT_EQ(loaded.GameName(), "Galaxy");
  EXPECT_EQ(loaded.RaceNumber(), 2);
  EXPECT_EQ(loaded.Turn(), 2401);
  EXPECT_EQ(saved(loaded.RaceTable()), saved(game->RaceTable()));
  EXPECT_EQ(saved(loaded.MessageTable()), saved(game->MessageTable()));
  EXPECT_EQ(temporaryFiles(layout.Root()), 0);
}

TEST_F(TurnStoreTest, GameNamesInCodePage1252RoundTrip) {
  const std::string name = "\xC4rger im All \xDF";
  capture(*game, name, 0, 2400);
  ASSERT_NO_THROW(store.SaveTurn(*game));
  EXPECT_EQ(store.ListGames(), std::vector<std::string>{name});
  CurrentGame loaded;
  store.LoadTurn(loaded, name, -1, -1);
  EXPECT_EQ(loaded.GameName(), name);
  EXPECT_EQ(loaded.Turn(), 2400);
}

TEST_F(TurnStoreTest, ListingsSkipWhatIsNotAGameRaceOrTurn) {
  saveTurn("Galaxy", 3, 2401);
  saveTurn("Galaxy", 12, 2402);
  saveTurn("Other", 0, 2400);
  const char s = kPathSeparator;
  const std::string galaxy = layout.GameDirectory("Galaxy");
  writeFile(layout.Root() + "stray.txt", "x");
  for (const char* dir : {"16", "x", "x1", "03"}) {
    std::filesystem::create_directories(ToPath(galaxy + dir));
  }
  // Turn files below the first turn are none the program could have
  // written, and none it could show.
  for (const char* file : {"notes.sav", "2403.txt", "2404.SAV", "2405.sav.tmp", "12.sav", "2399.sav"}) {
    writeFile(galaxy + "3" + s + file, "x");
  }
  std::filesystem::create_directories(ToPath(galaxy + "3" + s + "2406.sav"));
  for (const char* file : {"2407.old.sav", "02408.sav"}) writeFile(galaxy + "3" + s + file, "x");
#ifndef _WIN32
  // Folders no command could use as a game (Windows cannot even make them).
  for (const char* game : {"trail.", "CON", "a:b", "new\nline"}) {
    std::filesystem::create_directories(ToPath(layout.Root() + game));
  }
#endif

  std::vector<std::string> games = store.ListGames();
  std::sort(games.begin(), games.end());
  EXPECT_EQ(games, (std::vector<std::string>{"Galaxy", "Other"}));
  std::vector<int32_t> races = store.ListRaces("Galaxy");
  std::sort(races.begin(), races.end());
  EXPECT_EQ(races, (std::vector<int32_t>{3, 12}));
  std::vector<int32_t> turns = store.ListTurns("Galaxy", 3);
  std::sort(turns.begin(), turns.end());
  EXPECT_EQ(turns, (std::vector<int32_t>{2401}));  // not 2404.SAV
  EXPECT_EQ(store.ListTurns("Galaxy", 12), std::vector<int32_t>{2402});

  EXPECT_TRUE(store.ListTurns("Galaxy", 16).empty());
  EXPECT_TRUE(store.ListTurns("Galaxy", -1).empty());
  EXPECT_TRUE(store.ListTurns("", 3).empty());
  EXPECT_TRUE(store.ListRaces("Missing").empty());
  EXPECT_TRUE(store.ListRaces("..").empty());
}

TEST_F(TurnStoreTest, NoArchiveListsNothing) {
  EXPECT_TRUE(store.ListGames().empty());
  EXPECT_TRUE(store.ListRaces("Galaxy").empty());
  EXPECT_TRUE(store.ListTurns("Galaxy", 0).empty());
}

TEST_F(TurnStoreTest, UnsetRaceAndTurnTakeTheFirstRaceAndItsHighestTurn) {
  for (int32_t turn : {2400, 2403, 2401}) saveTurn("Galaxy", 2, turn);
  for (int32_t turn : {2407, 2402}) saveTurn("Galaxy", 5, turn);
  const int32_t firstRace = store.ListRaces("Galaxy").front();
  const int32_t highest = firstRace == 2 ? 2403 : 2407;

  store.LoadTurn(*game, "Galaxy", -1, -1);
  EXPECT_EQ(game->RaceNumber(), firstRace);
  EXPECT_EQ(game->Turn(), highest);
  EXPECT_EQ(game->MessageTable().rowAt(2).getString(MSGTXT),
            "Never, turn " + std::to_string(highest));

  store.LoadTurn(*game, "Galaxy", 2, -1);
  EXPECT_EQ(game->Turn(), 2403);
  store.LoadTurn(*game, "Galaxy", 5, 2402);
  EXPECT_EQ(game->Turn(), 2402);
}

TEST_F(TurnStoreTest, GameWithoutRacesOrTurnsLoadsOnlyItsRaces) {
  saveTurn("Galaxy", 2, 2400);
  std::filesystem::remove_all(ToPath(layout.RaceDirectory("Galaxy", 2)));
  ASSERT_NO_THROW(store.LoadTurn(*game, "Galaxy", -1, -1));
  EXPECT_EQ(game->RaceTable().rowCount(), 3);
  EXPECT_EQ(game->MessageTable().columnCount(), 0u);
  EXPECT_EQ(game->GameName(), "");
  EXPECT_EQ(game->RaceNumber(), -1);
  EXPECT_EQ(game->Turn(), -1);

  std::filesystem::create_directories(ToPath(layout.RaceDirectory("Galaxy", 4)));
  ASSERT_NO_THROW(store.LoadTurn(*game, "Galaxy", -1, -1));  // a race without turns
  EXPECT_EQ(game->Turn(), -1);
}

TEST_F(TurnStoreTest, EmptyGameNameLoadsNothing) {
  capture(*game, "Galaxy", 2, 2401);
  ASSERT_NO_THROW(store.LoadTurn(*game, "", 2, 2401));
  EXPECT_EQ(game->RaceTable().columnCount(), 0u);
  EXPECT_EQ(game->MessageTable().columnCount(), 0u);
  EXPECT_EQ(game->GameName(), "");
}

TEST_F(TurnStoreTest, FailedLoadsRaiseAndLeaveTheGameUnset) {
  saveTurn("Galaxy", 2, 2401);
  writeFile(layout.TurnFile("Galaxy", 2, 2402), "damaged");

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
  std::vector<std::string> reports;
  for (const Attempt& a : attempts) {
    SCOPED_TRACE(a.what);
    capture(*game, "Before", 1, 2400);
    reports.push_back(raised([&] { store.LoadTurn(*game, a.game, a.race, a.turn); }));
    EXPECT_TRUE(startsWith(reports.back(), "Type: LExc_Internal")) << reports.back();
    EXPECT_EQ(game->GameName(), "");
    EXPECT_EQ(game->RaceNumber(), -1);
    EXPECT_EQ(game->Turn(), 0);
    EXPECT_EQ(game->MessageTable().columnCount(), 0u);
    EXPECT_EQ(game->MessageTable().rowCount(), 0);
    EXPECT_EQ(game->RaceTable().rowCount(), a.raceRows);
  }
  EXPECT_EQ(reports[3],
            "Type: LExc_Internal_BadArg\r\n"
            "Text: game name \"..\" cannot be used as a directory name\r\n"
            "File: archive/game_archive\r\nLine: 112");
}

TEST_F(TurnStoreTest, SavesNothingWithoutATurn) {
  // Below the first turn, without a race, with a race beyond the game's
  // races, without a game: nothing is written, and that is no failure.
  capture(*game, "Galaxy", 2, 2399);
  EXPECT_NO_THROW(store.SaveTurn(*game));
  EXPECT_NO_THROW(store.ExportTurnText(*game));
  game->SetTurn(2400);
  for (int32_t race : {-1, 16}) {
    game->SetRaceNumber(race);
    EXPECT_NO_THROW(store.SaveTurn(*game));
    EXPECT_NO_THROW(store.ExportTurnText(*game));
  }
  game->SetRaceNumber(0);
  game->SetGameName("");
  EXPECT_NO_THROW(store.SaveTurn(*game));
  EXPECT_FALSE(exists(layout.Root()));
}

TEST_F(TurnStoreTest, OnlyTurnsTheListingTakesAreStored) {
  // The last turn a file name holds is stored and listed; a later one
  // would be a file no listing offers, so it is not written at all.
  saveTurn("Galaxy", 2, 999999999);
  EXPECT_EQ(store.ListTurns("Galaxy", 2), std::vector<int32_t>{999999999});
  for (int32_t turn : {1000000000, 2147483647}) {
    CurrentGame later(std::make_unique<FixedClock>(testing_game::kMoment));
    capture(later, "Galaxy", 2, turn);
    EXPECT_NO_THROW(store.SaveTurn(later));
    EXPECT_NO_THROW(store.ExportTurnText(later));
    EXPECT_FALSE(exists(layout.TurnFile("Galaxy", 2, turn))) << turn;
    EXPECT_FALSE(exists(layout.TextFile("Galaxy", 2, turn))) << turn;
  }
  EXPECT_EQ(store.ListTurns("Galaxy", 2), std::vector<int32_t>{999999999});
}

TEST_F(TurnStoreTest, UnusableGameNamesAreRefusedBeforeAnythingIsWritten) {
  for (const char* name : {"..", "..\\outside", "../outside", "C:\\x", "a:b", "CON"}) {
    SCOPED_TRACE(name);
    capture(*game, name, 0, 2400);
    for (const std::string& report : {raised([&] { store.SaveTurn(*game); }),
                                      raised([&] { store.ExportTurnText(*game); })}) {
      EXPECT_TRUE(startsWith(report, "Type: LExc_Internal_BadArg")) << report;
    }
    EXPECT_FALSE(exists(layout.Root()));
  }
}

TEST_F(TurnStoreTest, EveryFailedFileOperationLeavesTheStoredFilesAsTheyWere) {
  // The first save of a turn, failing at each operation in turn: no file
  // of the turn may be left behind.
  capture(*game, "Galaxy", 2, 2401);
  for (int n = 1;; ++n) {
    files.FailNth(n);
    const std::string report = raised([&] { store.SaveTurn(*game); });
    if (report.empty()) break;
    EXPECT_TRUE(startsWith(report, "Type: LExc_Internal_Unexpected")) << n;
    EXPECT_FALSE(exists(layout.RaceFile("Galaxy"))) << n;
    EXPECT_FALSE(exists(layout.TurnFile("Galaxy", 2, 2401))) << n;
    EXPECT_FALSE(exists(layout.TurnRaceFile("Galaxy", 2, 2401))) << n;
    EXPECT_EQ(temporaryFiles(layout.Root()), 0) << n;
  }
  files.Never();
  ASSERT_NO_THROW(store.ExportTurnText(*game));
  const std::string races = fileBytes(layout.RaceFile("Galaxy"));
  const std::string turn = fileBytes(layout.TurnFile("Galaxy", 2, 2401));
  const std::string turnRaces = fileBytes(layout.TurnRaceFile("Galaxy", 2, 2401));
  const std::string text = fileBytes(layout.TextFile("Galaxy", 2, 2401));

  // A new capture of the same turn: every failure, short writes included,
  // keeps the old files byte for byte.
  testing_game::addRace(*game, 3, "Newcomers", kNeutral);
  AddMessageRow(*game, "one more", 4, 1, -1);
  for (bool shortWrite : {false, true}) {
    int failures = 0;
    for (int n = 1;; ++n) {
      files.FailNth(n, shortWrite);
      if (raised([&] { store.SaveTurn(*game); }).empty()) break;
      ++failures;
      EXPECT_EQ(fileBytes(layout.RaceFile("Galaxy")), races) << n;
      EXPECT_EQ(fileBytes(layout.TurnFile("Galaxy", 2, 2401)), turn) << n;
      EXPECT_EQ(fileBytes(layout.TurnRaceFile("Galaxy", 2, 2401)), turnRaces) << n;
      EXPECT_EQ(temporaryFiles(layout.Root()), 0) << n;
    }
    EXPECT_GT(failures, 10);
    EXPECT_NE(fileBytes(layout.TurnFile("Galaxy", 2, 2401)), turn);
    EXPECT_NE(fileBytes(layout.TurnRaceFile("Galaxy", 2, 2401)), turnRaces);
    writeFile(layout.RaceFile("Galaxy"), races);  // the old version again for the next round
    writeFile(layout.TurnFile("Galaxy", 2, 2401), turn);
    writeFile(layout.TurnRaceFile("Galaxy", 2, 2401), turnRaces);

    for (int n = 1;; ++n) {
      files.FailNth(n, shortWrite);
      if (raised([&] { store.ExportTurnText(*game); }).empty()) break;
      EXPECT_EQ(fileBytes(layout.TextFile("Galaxy", 2, 2401)), text) << n;
      EXPECT_EQ(temporaryFiles(layout.Root()), 0) << n;
    }
    EXPECT_NE(fileBytes(layout.TextFile("Galaxy", 2, 2401)), text);
    writeFile(layout.TextFile("Galaxy", 2, 2401), text);
  }
}

// Every turn keeps the races as its capture saw them, while RACES.SAV
// holds the latest capture's; a turn stored without its own (by an earlier
// version) reads RACES.SAV and says so.
TEST_F(TurnStoreTest, EachTurnKeepsItsRelations) {
  capture(*game, "Galaxy", 2, 2401);  // the Zorgs an enemy
  ASSERT_NO_THROW(store.SaveTurn(*game));
  CurrentGame later(std::make_unique<FixedClock>(testing_game::kMoment));
  capture(later, "Galaxy", 2, 2402);
  CacheRow zorgs = later.RaceTable().rowAt(1);
  zorgs.setLong(RACRELATION, kFriend);
  later.RaceTable().replaceRow(1, zorgs);
  ASSERT_NO_THROW(store.SaveTurn(later));
  const auto relationOfZorgs = [](const SmartCache& races) {
    return races.rowAt(1).getLong(RACRELATION);
  };
  SmartCache races;
  EXPECT_TRUE(store.ReadTurnRaces("Galaxy", 2, 2401, races));
  EXPECT_EQ(relationOfZorgs(races), kEnemy);
  EXPECT_TRUE(store.ReadTurnRaces("Galaxy", 2, 2402, races));
  EXPECT_EQ(relationOfZorgs(races), kFriend);
  CurrentGame loaded;
  store.LoadTurn(loaded, "Galaxy", 2, 2401);
  EXPECT_EQ(relationOfZorgs(loaded.RaceTable()), kFriend);  // the game's races: the latest

  std::filesystem::remove(ToPath(layout.TurnRaceFile("Galaxy", 2, 2401)));
  EXPECT_FALSE(store.ReadTurnRaces("Galaxy", 2, 2401, races));
  EXPECT_EQ(relationOfZorgs(races), kFriend);
  EXPECT_NE(raised([&] { store.ReadTurnRaces("..", 2, 2401, races); }), "");
}

TEST_F(TurnStoreTest, FailedReadsAndDirectoriesAreErrorsToo) {
  saveTurn("Galaxy", 2, 2401);
  files.FailNth(1);  // the read of RACES.SAV
  EXPECT_NE(raised([&] { store.LoadTurn(*game, "Galaxy", 2, 2401); }), "");
  EXPECT_EQ(game->GameName(), "");

  capture(*game, "Elsewhere", 1, 2401);
  files.FailNth(2);  // the game's directory
  EXPECT_NE(raised([&] { store.SaveTurn(*game); }).find("cannot create directory"), std::string::npos);
  EXPECT_TRUE(store.ListRaces("Elsewhere").empty());
}

TEST_F(TurnStoreTest, ExportWritesTheTextFileAndReplacesAnEarlierOne) {
  capture(*game, "Galaxy", 0, 2401);
  writeFile(layout.TextFile("Galaxy", 0, 2401), std::string(5000, '#'));
  ASSERT_NO_THROW(store.ExportTurnText(*game));
  const std::string text = fileBytes(layout.TextFile("Galaxy", 0, 2401));
  const std::string start = "Game: \"Galaxy\"\r\nRace: 1\r\nTurn: 2401\r\n\r\n\r\nTurn report\r\n";
  EXPECT_EQ(text.substr(0, start.size()), start);
  EXPECT_EQ(text.find('#'), std::string::npos);
  EXPECT_FALSE(exists(layout.TurnFile("Galaxy", 0, 2401)));  // the export writes no .sav
}

TEST_F(TurnStoreTest, ExportOfAnUnreadableTextKeepsTheOldFile) {
  capture(*game, "Galaxy", 0, 2401);
  ASSERT_NO_THROW(store.ExportTurnText(*game));
  const std::string before = fileBytes(layout.TextFile("Galaxy", 0, 2401));
  CacheRow broken = game->MessageTable().templateRow();  // MSGTXT NULL
  game->MessageTable().appendRow(broken);
  EXPECT_NE(raised([&] { store.ExportTurnText(*game); }), "");
  EXPECT_EQ(fileBytes(layout.TextFile("Galaxy", 0, 2401)), before);
}

// Files and empty folders named as the store's own files with ".tmp" or
// ".old" are the user's: saves and exports, failed ones included, leave
// them as they are.
TEST_F(TurnStoreTest, SavesLeaveTheUsersOwnFilesAlone) {
  saveTurn("Galaxy", 2, 2401);
  ASSERT_NO_THROW(store.ExportTurnText(*game));
  const std::string races = layout.RaceFile("Galaxy");
  const std::string turn = layout.TurnFile("Galaxy", 2, 2401);
  const std::string turnRaces = layout.TurnRaceFile("Galaxy", 2, 2401);
  const std::string text = layout.TextFile("Galaxy", 2, 2401);
  const std::string userFiles[] = {races + ".old", turn + ".tmp", turnRaces + ".old", text + ".tmp"};
  const std::string userFolders[] = {races + ".tmp", turn + ".old", turnRaces + ".tmp", text + ".old"};
  for (const std::string& file : userFiles) writeFile(file, "mine: " + file);
  for (const std::string& folder : userFolders) std::filesystem::create_directories(ToPath(folder));
  const auto expectKept = [&](const std::string& when) {
    for (const std::string& file : userFiles) EXPECT_EQ(fileBytes(file), "mine: " + file) << when;
    for (const std::string& folder : userFolders) {
      EXPECT_TRUE(std::filesystem::is_directory(ToPath(folder))) << folder << " " << when;
    }
  };

  capture(*game, "Galaxy", 2, 2401);
  AddMessageRow(*game, "one more", 4, 1, -1);
  bool stored = false;
  for (int n = 1; n < 300 && !stored; ++n) {
    files.FailNth(n);
    stored = raised([&] { store.SaveTurn(*game); }).empty();
    expectKept("save, failing operation " + std::to_string(n));
  }
  EXPECT_TRUE(stored);
  bool exported = false;
  for (int n = 1; n < 300 && !exported; ++n) {
    files.FailNth(n);
    exported = raised([&] { store.ExportTurnText(*game); }).empty();
    expectKept("export, failing operation " + std::to_string(n));
  }
  EXPECT_TRUE(exported);
  EXPECT_EQ(fileBytes(turn), saved(game->MessageTable()));
}

// A killed save leaves its temporary files; the next save of the game,
// which holds the game's lock, removes them, and nothing of the user's.
TEST_F(TurnStoreTest, ASaveRemovesWhatKilledSavesLeft) {
  saveTurn("Galaxy", 2, 2401);
  const std::string races = layout.RaceFile("Galaxy");
  const std::string turn = layout.TurnFile("Galaxy", 2, 2401);
  writeFile(races + ".31337-1.tmp", "half");
  writeFile(turn + ".31337-1.old", "old");
  writeFile(layout.TextFile("Galaxy", 2, 2401) + ".31337-2.tmp", "half");
  writeFile(races + ".tmp", "mine");
  saveTurn("Galaxy", 2, 2401);
  EXPECT_FALSE(exists(races + ".31337-1.tmp"));
  EXPECT_FALSE(exists(turn + ".31337-1.old"));
  EXPECT_TRUE(exists(layout.TextFile("Galaxy", 2, 2401) + ".31337-2.tmp"));  // the export's
  EXPECT_EQ(fileBytes(races + ".tmp"), "mine");
  capture(*game, "Galaxy", 2, 2401);
  ASSERT_NO_THROW(store.ExportTurnText(*game));
  EXPECT_EQ(temporaryFiles(layout.Root()), 1);  // the user's
}

// The lock of the game keeps a save and an export from writing while
// another reader saves the game: they give up with a clear error and
// write nothing. The lock file is no race of the game.
TEST_F(TurnStoreTest, SavesOfAGameWaitForItsLockThenGiveUp) {
  saveTurn("Galaxy", 2, 2401);
  const std::string before = fileBytes(layout.TurnFile("Galaxy", 2, 2401));
  EXPECT_EQ(store.ListRaces("Galaxy"), std::vector<int32_t>{2});
  EXPECT_EQ(store.ListGames(), std::vector<std::string>{"Galaxy"});
  EXPECT_EQ(FileSystem::Default().Kind(layout.SaveLockFile("Galaxy")), PathKind::kFile);

  std::unique_ptr<FileLock> otherReader;
  ASSERT_EQ(FileSystem::Default().Lock(layout.SaveLockFile("Galaxy"), std::chrono::milliseconds(0),
                                       &otherReader),
            LockResult::kTaken);
  const TurnStore impatient(ArchiveLayout(ProgramDirectory(scratch.text())), files,
                            std::chrono::milliseconds(100));
  capture(*game, "Galaxy", 2, 2401);
  AddMessageRow(*game, "one more", 4, 1, -1);
  const auto start = std::chrono::steady_clock::now();
  const std::string report = raised([&] { impatient.SaveTurn(*game); });
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(90));
  EXPECT_EQ(report,
            "Type: LExc_Internal_Unexpected\r\n"
            "Text: another reader is saving the game \"Galaxy\" and has not finished within 1 s; "
            "nothing was saved, try again once it is done\r\n"
            "File: archive/game_archive\r\nLine: 194");
  EXPECT_TRUE(startsWith(raised([&] { impatient.ExportTurnText(*game); }),
                         "Type: LExc_Internal_Unexpected\r\nText: another reader is saving"));
  EXPECT_EQ(fileBytes(layout.TurnFile("Galaxy", 2, 2401)), before);
  EXPECT_FALSE(exists(layout.TextFile("Galaxy", 2, 2401)));
  EXPECT_EQ(temporaryFiles(layout.Root()), 0);

  otherReader.reset();
  ASSERT_NO_THROW(impatient.SaveTurn(*game));
  EXPECT_EQ(fileBytes(layout.TurnFile("Galaxy", 2, 2401)), saved(game->MessageTable()));
}

TEST(TurnStoreInMemory, ALockThatCannotBeTakenIsAnError) {
  MemoryFileSystem memory;
  const TurnStore store(ArchiveLayout(ProgramDirectory(std::string("M:") + kPathSeparator)), memory);
  auto game = testing_game::makeGame();
  capture(*game, "Galaxy", 2, 2401);
  ASSERT_NO_THROW(store.SaveTurn(*game));
  const std::string lockFile = store.Layout().SaveLockFile("Galaxy");
  std::unique_ptr<FileLock> held;
  ASSERT_EQ(memory.Lock(lockFile, std::chrono::milliseconds(0), &held), LockResult::kTaken);
  EXPECT_NE(raised([&] { store.SaveTurn(*game); }).find("another reader is saving the game \"Galaxy\""),
            std::string::npos);
  held.reset();

  // A folder where the lock file belongs: the lock fails, and says where.
  memory.CreateDirectories(lockFile);
  EXPECT_NE(raised([&] { store.SaveTurn(*game); })
                .find("Text: cannot lock file \"" + lockFile + "\"; nothing was saved"),
            std::string::npos);
}

TEST(TurnStoreInMemory, KeepsAnArchiveWithoutADisk) {
  MemoryFileSystem memory;
  const TurnStore store(ArchiveLayout(ProgramDirectory(std::string("M:") + kPathSeparator)), memory);
  auto game = testing_game::makeGame();
  capture(*game, "Galaxy", 2, 2401);
  store.SaveTurn(*game);
  store.ExportTurnText(*game);
  const ArchiveLayout& layout = store.Layout();
  EXPECT_EQ(memory.Files(), (std::vector<std::string>{layout.TurnRaceFile("Galaxy", 2, 2401),
                                                       layout.TurnFile("Galaxy", 2, 2401),
                                                       layout.TextFile("Galaxy", 2, 2401),
                                                       layout.RaceFile("Galaxy")}));
  EXPECT_EQ(memory.FileBytes(layout.TurnFile("Galaxy", 2, 2401)), saved(game->MessageTable()));
  EXPECT_EQ(store.ListGames(), std::vector<std::string>{"Galaxy"});
  EXPECT_EQ(store.ListTurns("Galaxy", 2), std::vector<int32_t>{2401});

  CurrentGame loaded;
  store.LoadTurn(loaded, "Galaxy", -1, -1);
  EXPECT_EQ(saved(loaded.MessageTable()), saved(game->MessageTable()));
}

}  // namespace
