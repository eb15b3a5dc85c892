#include "cli/archive_cli.h"

#include <gtest/gtest.h>

#include <sstream>

#include "archive/turn_store.h"
#include "archive/test_archive.h"
#include "cache/cache_dump.h"
#include "cache/test_bytes.h"
#include "reader/message_classifier.h"
#include "reader/test_game.h"

namespace {

using testing_archive::fileBytes;
using testing_archive::ScratchDirectory;
using testing_archive::writeFile;

struct Result {
  int status;
  std::string out;
  std::string err;
};

class ArchiveCliTest : public ::testing::Test {
 protected:
  ArchiveCliTest() : archive(ArchiveLayout(ProgramDirectory(scratch.text()))) {
    store("Galaxy", 2, 2401);
    store("Galaxy", 2, 2403);
    store("Galaxy", 11, 2402);
    store("\xC4rger", 0, 2400);
  }

  // Captures and stores a turn as the reader does, text file included.
  void store(const std::string& name, int32_t race, int32_t turn) {
    auto game = testing_game::makeGame();
    game->SetGameName(name);
    game->SetRaceNumber(race);
    game->SetTurn(turn);
    testing_game::addRace(*game, 1, "Zorgs", kEnemy);
    AddMessageRow(*game, "Turn report\r\nall well", 1, 1, -1);
    AddMessageRow(*game, "FROM  Zorgs\r\nTO  you\r\nPeace?", 2, 1, -1);
    ASSERT_NO_THROW(archive.SaveTurn(*game));
    ASSERT_NO_THROW(archive.ExportTurnText(*game));
  }

  Result run(std::vector<std::string> args, bool withRoot = true) {
    if (withRoot) args.insert(args.begin(), {"--root", root()});
    std::ostringstream out, err;
    const int status = RunArchiveCli(args, out, err);
    return Result{status, out.str(), err.str()};
  }

  std::string root() const { return scratch.text(); }

  // Checks a failure: its status and its one line on stderr.
  static void expectFailure(const Result& r, int status, const std::string& message) {
    EXPECT_EQ(r.status, status);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "vandormsg-archive: " + message + "\n");
  }

  ScratchDirectory scratch;
  TurnStore archive;
};

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> result;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) result.push_back(line);
  return result;
}

TEST_F(ArchiveCliTest, ListsGamesRacesAndTurnsInArchiveOrder) {
  const Result games = run({"games"});
  EXPECT_EQ(games.status, kExitOk);
  EXPECT_EQ(lines(games.out), archive.ListGames());
  EXPECT_EQ(games.out.size(), std::string("Galaxy\n\xC4rger\n").size());

  const Result races = run({"races", "Galaxy"});
  EXPECT_EQ(races.status, kExitOk);
  std::string expected;
  for (int32_t race : archive.ListRaces("Galaxy")) expected += std::to_string(race) + "\n";
  EXPECT_EQ(races.out, expected);

  const Result turns = run({"turns", "Galaxy", "2"});
  expected.clear();
  for (int32_t turn : archive.ListTurns("Galaxy", 2)) expected += std::to_string(turn) + "\n";
  EXPECT_EQ(turns.out, expected);
  EXPECT_EQ(lines(turns.out).size(), 2u);
  EXPECT_EQ(run({"turns", "\xC4rger", "0"}).out, "2400\n");
}

TEST_F(ArchiveCliTest, ShowGivesTheTextFileBytes) {
  const Result shown = run({"show", "Galaxy", "11", "2402"});
  EXPECT_EQ(shown.status, kExitOk);
  EXPECT_EQ(shown.err, "");
  EXPECT_EQ(shown.out, fileBytes(archive.Layout().TextFile("Galaxy", 11, 2402)));
  EXPECT_NE(shown.out.find("Race: 12\r\n"), std::string::npos);
}

TEST_F(ArchiveCliTest, DumpGivesTheDebugDumpOfAFile) {
  const std::string path = archive.Layout().TurnFile("Galaxy", 2, 2403);
  const Result dumped = run({"dump", path}, false);
  EXPECT_EQ(dumped.status, kExitOk);
  SmartCache table;
  archive.ReadTable(path, table);
  std::ostringstream expected;
  dumpCache(table, expected);
  EXPECT_EQ(dumped.out, expected.str());
  EXPECT_NE(dumped.out.find("\tPeace?\t"), std::string::npos);
  EXPECT_EQ(run({"dump", archive.Layout().RaceFile("Galaxy")}).status, kExitOk);
}

TEST_F(ArchiveCliTest, DumpReportsACellThatNoGetterReads) {
  // A table whose second row holds a value of code 9 (SQL_C_DATE): the file
  // loads, but the dump cannot show that cell.
  TestBytes stream;
  stream.str("SC").i32(2);
  stream.str("SR").i32(2).column("N", 4).column("OLD", 9).i32(2).raw({0xC0}).i32(0);
  stream.str("SR").i32(2).column("N", 4).column("OLD", 9).i32(2).raw({0x40}).i32(4).i32(1);
  stream.str("SR").i32(2).column("N", 4).column("OLD", 9).i32(2).raw({0x00}).i32(10)
      .i32(2).u16(2026).u16(12).u16(8);
  const std::string path = archive.Layout().TurnFile("Galaxy", 2, 2405);
  writeFile(path, stream.bytes());
  expectFailure(run({"dump", path}, false), kExitError,
                "Conversion error [Field Name: \"OLD\", Type: SQL_C_DATE, accessed as LDat]");
}

TEST_F(ArchiveCliTest, BadArgumentsAndMissingOrDamagedFiles) {
  writeFile(archive.Layout().TurnFile("Galaxy", 2, 2404), std::string("SC\0\0", 4));
  const std::string damaged = archive.Layout().TurnFile("Galaxy", 2, 2404);
  expectFailure(run({"show", "Galaxy", "2", "2404"}), kExitError,
                "cannot read \"" + damaged + "\": invalid stream");
  expectFailure(run({"dump", damaged}), kExitError,
                "cannot read \"" + damaged + "\": invalid stream");
  const std::string missing = archive.Layout().TurnFile("Galaxy", 2, 2399);
  expectFailure(run({"show", "Galaxy", "2", "2399"}), kExitError,
                "no file \"" + missing + "\"");
  expectFailure(run({"races", "Nowhere"}), kExitError,
                "no game \"Nowhere\" in \"" + archive.Layout().Root() + "\"");
  expectFailure(run({"races", ".."}), kExitError,
                "no game \"..\" in \"" + archive.Layout().Root() + "\"");
  expectFailure(run({"turns", "Galaxy", "5"}), kExitError,
                "no race 5 stored for game \"Galaxy\"");
  expectFailure(run({"turns", "Galaxy", "x"}), kExitError,
                "race \"x\" is not a race number from 0 to 15");
  expectFailure(run({"turns", "Galaxy", "16"}), kExitError,
                "race \"16\" is not a race number from 0 to 15");
  expectFailure(run({"show", "Galaxy", "2", "24o1"}), kExitError,
                "turn \"24o1\" is not a number");
  const std::string nowhere = root() + "nowhere";
  expectFailure(run({"--root", nowhere, "games"}, false), kExitError,
                "no folder \"" + nowhere + "\"");
}

TEST_F(ArchiveCliTest, UsageErrors) {
  expectFailure(run({}), kExitUsage, "no command given (see --help)");
  expectFailure(run({"list"}), kExitUsage, "unknown command \"list\" (see --help)");
  expectFailure(run({"games", "extra"}), kExitUsage,
                "usage: vandormsg-archive --root DIR games (see --help)");
  expectFailure(run({"show", "Galaxy", "2"}), kExitUsage,
                "usage: vandormsg-archive --root DIR show GAME RACE TURN (see --help)");
  expectFailure(run({"games"}, false), kExitUsage,
                "the command games needs --root DIR (see --help)");
  expectFailure(run({"--root"}, false), kExitUsage, "--root needs a folder (see --help)");
  expectFailure(run({"--verbose", "games"}), kExitUsage,
                "unknown option --verbose (see --help)");
}

TEST_F(ArchiveCliTest, SearchPrintsABlockPerHit) {
  const Result found = run({"search", "--ignore-case", "--from-turn", "2402", "PEACE?"});
  EXPECT_EQ(found.status, kExitOk);
  EXPECT_EQ(found.err, "");
  EXPECT_EQ(found.out,
            "Galaxy\trace 2\tturn 2403\tmessage 2\tincoming\tZorgs\n\tPeace?\n"
            "Galaxy\trace 11\tturn 2402\tmessage 2\tincoming\tZorgs\n\tPeace?\n");
  const Result report = run({"search", "--game", "\xC4rger", "all well"});
  EXPECT_EQ(report.out, "\xC4rger\trace 0\tturn 2400\tmessage 1\tincoming\tsystem\n"
                        "\tTurn report\n\tall well\n");
  const Result none = run({"search", "--player-post", "all well"});
  EXPECT_EQ(none.status, kExitOk);
  EXPECT_EQ(none.out, "");

  // A damaged file is reported and skipped; the hits are still written.
  const std::string damaged = archive.Layout().TurnFile("Galaxy", 2, 2401);
  writeFile(damaged, "damaged");
  const Result partial = run({"search", "--race=2", "Peace"});
  EXPECT_EQ(partial.status, kExitError);
  EXPECT_EQ(partial.out, "Galaxy\trace 2\tturn 2403\tmessage 2\tincoming\tZorgs\n\tPeace?\n");
  EXPECT_EQ(partial.err, "vandormsg-archive: skipped \"" + damaged + "\": invalid stream\n");
}

TEST_F(ArchiveCliTest, ExportInBothFormats) {
  const Result csv = run({"export", "Galaxy", "2"});
  EXPECT_EQ(csv.status, kExitOk);
  EXPECT_EQ(csv.out,
            "turn,id,type,direction,race number,race name,relation,text\r\n"
            "2401,2,player,incoming,1,Zorgs,enemy,Peace?\r\n"
            "2403,2,player,incoming,1,Zorgs,enemy,Peace?\r\n");
  const Result json = run({"export", "--format", "json", "--all-messages", "Galaxy", "11"});
  EXPECT_EQ(json.status, kExitOk);
  EXPECT_EQ(json.out.substr(0, json.out.find('\n')),
            "{\"turn\":2402,\"id\":1,\"type\":\"system\",\"direction\":\"incoming\","
            "\"race_number\":null,\"race_name\":null,\"relation\":null,"
            "\"text\":\"Turn report\\r\\nall well\"}");
  expectFailure(run({"export", "Galaxy", "5"}), kExitError, "no race 5 stored for game \"Galaxy\"");
  expectFailure(run({"export", "Galaxy", "2", "--format", "xml"}), kExitUsage,
                "unknown format \"xml\", not csv or json (see --help)");
}

TEST_F(ArchiveCliTest, OptionsBelongToTheirCommands) {
  expectFailure(run({"games", "--ignore-case"}), kExitUsage,
                "the command games takes no --ignore-case (see --help)");
  expectFailure(run({"export", "--game", "Galaxy", "Galaxy", "2"}), kExitUsage,
                "the command export takes no --game (see --help)");
  expectFailure(run({"search", "--all-messages", "x"}), kExitUsage,
                "the command search takes no --all-messages (see --help)");
  expectFailure(run({"search", "--from-turn"}), kExitUsage, "--from-turn needs a turn (see --help)");
  expectFailure(run({"search", ""}), kExitUsage, "search needs a text to look for (see --help)");
  expectFailure(run({"search", "--game", "Nowhere", "x"}), kExitError,
                "no game \"Nowhere\" in \"" + archive.Layout().Root() + "\"");
  expectFailure(run({"search", "--to-turn", "soon", "x"}), kExitError,
                "turn \"soon\" is not a number");
  expectFailure(run({"search", "x"}, false), kExitUsage,
                "the command search needs --root DIR (see --help)");
}

TEST_F(ArchiveCliTest, HelpDescribesEveryCommand) {
  const Result help = run({"--help"}, false);
  EXPECT_EQ(help.status, kExitOk);
  for (const char* part : {"games", "races GAME", "turns GAME RACE", "show GAME RACE TURN",
                           "dump FILE.sav", "--root DIR", "Exit status", "search [OPTIONS] TEXT",
                           "--ignore-case", "export GAME RACE", "--all-messages"}) {
    EXPECT_NE(help.out.find(part), std::string::npos) << part;
  }
  EXPECT_EQ(run({"--root=" + root(), "games"}, false).status, kExitOk);
}

}  // namespace
