#include "cli/archive_cli.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "archive/turn_store.h"
#include "archive/test_archive.h"
#include "cache/cache_dump.h"
#include "cache/test_bytes.h"
#include "reader/message_classifier.h"
#include "reader/test_game.h"
#include "support/cp1252.h"

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

  Result run(std::vector<std::string> args, bool withRoot = true,
             const SystemConventions& conventions = SystemConventions()) {
    if (withRoot) args.insert(args.begin(), {"--root", root()});
    std::ostringstream out, err;
    const int status = RunArchiveCli(args, out, err, conventions);
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
  EXPECT_EQ(partial.err,
            "vandormsg-archive: skipped \"" + damaged + "\": damaged (invalid stream)\n");
}

TEST_F(ArchiveCliTest, SkippedFilesSayWhatIsWrongWithThem) {
  const std::string races = archive.Layout().RaceFile("Galaxy");
  ASSERT_TRUE(FileSystem::Default().Remove(races));
  const Result missing = run({"export", "Galaxy", "2"});
  EXPECT_EQ(missing.status, kExitError);
  EXPECT_EQ(missing.err, "vandormsg-archive: skipped \"" + races + "\": no such file\n");
  EXPECT_NE(missing.out.find(",Peace?\r\n"), std::string::npos);  // the turns still come

  ASSERT_TRUE(FileSystem::Default().CreateDirectories(races));
  EXPECT_EQ(run({"search", "Peace"}).err,
            "vandormsg-archive: skipped \"" + races + "\": a folder, not a file\n");
}

// The hits of a turn are written once its file has been read to the end:
// a file cut in its last message gives none of its first.
TEST_F(ArchiveCliTest, AFileCutShortGivesNoneOfItsHits) {
  const std::string cut = archive.Layout().TurnFile("Galaxy", 2, 2401);
  const std::string whole = fileBytes(cut);
  writeFile(cut, whole.substr(0, whole.size() - 3));
  const Result found = run({"search", "--race", "2", "e"});  // both messages of both turns
  EXPECT_EQ(found.status, kExitError);
  EXPECT_EQ(found.out,
            "Galaxy\trace 2\tturn 2403\tmessage 1\tincoming\tsystem\n\tTurn report\n\tall well\n"
            "Galaxy\trace 2\tturn 2403\tmessage 2\tincoming\tZorgs\n\tPeace?\n");
  EXPECT_EQ(found.err, "vandormsg-archive: skipped \"" + cut + "\": damaged (invalid stream)\n");
}

TEST_F(ArchiveCliTest, RootsWithoutADataFolderAreRefused) {
  const std::string data = archive.Layout().Root();
  expectFailure(run({"--root", data, "games"}, false), kExitError,
                "\"" + data + "\" is the DATA folder itself: --root names the folder that holds it (\"" +
                    root() + "\")");
  const std::string empty = root() + "empty";
  ASSERT_TRUE(FileSystem::Default().CreateDirectories(empty));
  expectFailure(run({"--root", empty, "search", "x"}, false), kExitError,
                "no DATA folder in \"" + empty +
                    "\": --root names the folder that holds the reader's program and its DATA folder");
  expectFailure(run({"--root", root(), "--root", root(), "games"}, false), kExitUsage,
                "--root is given more than once (see --help)");
}

TEST_F(ArchiveCliTest, DashesVersionAndCommandHelp) {
  store("Galaxy", 3, 2401);
  auto game = testing_game::makeGame();
  game->SetGameName("Galaxy");
  game->SetRaceNumber(4);
  game->SetTurn(2410);
  AddMessageRow(*game, "-h and -- are words here", 2, 1, -1);
  ASSERT_NO_THROW(archive.SaveTurn(*game));
  const Result dashes = run({"search", "--", "-h"});
  EXPECT_EQ(dashes.status, kExitOk);
  EXPECT_NE(dashes.out.find("\tturn 2410\t"), std::string::npos);
  EXPECT_NE(dashes.out.find("\n\t-h and -- are words here\n"), std::string::npos);
  EXPECT_EQ(run({"search", "--", "--"}).out, dashes.out);
  expectFailure(run({"search", "-h-"}), kExitUsage,
                "unknown option -h- (a text that begins with - goes after --) (see --help)");

  const Result version = run({"--version"}, false);
  EXPECT_EQ(version.status, kExitOk);
  EXPECT_EQ(version.out, "vandormsg-archive 1.1.0\n");

  const Result exportHelp = run({"export", "--help"}, false);
  EXPECT_EQ(exportHelp.status, kExitOk);
  EXPECT_EQ(exportHelp.out.rfind("Usage: vandormsg-archive --root DIR export GAME RACE", 0), 0u);
  EXPECT_EQ(exportHelp.out.find("search [OPTIONS]"), std::string::npos);  // only its own
  EXPECT_NE(run({"search", "-h"}, false).out.find("--ignore-case"), std::string::npos);
  expectFailure(run({"frob", "--help"}, false), kExitUsage, "unknown command \"frob\" (see --help)");
}

TEST_F(ArchiveCliTest, ExportWithAnotherDelimiter) {
  const Result csv = run({"export", "--delimiter", ";", "Galaxy", "2"});
  EXPECT_EQ(csv.status, kExitOk);
  EXPECT_EQ(csv.out.substr(0, csv.out.find("\r\n")),
            "turn;id;type;direction;race number;race name;relation;text");
  EXPECT_NE(csv.out.find("2401;2;player;incoming;1;Zorgs;enemy;Peace?\r\n"), std::string::npos);
  expectFailure(run({"export", "--delimiter=;;", "Galaxy", "2"}), kExitUsage,
                "the delimiter \";;\" is not one character other than a quote or a line end (see --help)");
  expectFailure(run({"export", "--format", "json", "--delimiter", ";", "Galaxy", "2"}), kExitUsage,
                "--delimiter is for CSV, not JSON (see --help)");
}

// Output that cannot be written fails the command, whatever it is.
class FailingBuffer : public std::streambuf {
 protected:
  int_type overflow(int_type) override { return traits_type::eof(); }
  std::streamsize xsputn(const char*, std::streamsize) override { return 0; }
};

TEST_F(ArchiveCliTest, OutputThatCannotBeWrittenIsAFailure) {
  for (std::vector<std::string> args :
       {std::vector<std::string>{"games"}, {"search", "Peace"}, {"export", "Galaxy", "2"},
        {"export", "--format", "json", "Galaxy", "2"}, {"show", "Galaxy", "2", "2401"}}) {
    SCOPED_TRACE(args[0]);
    args.insert(args.begin(), {"--root", root()});
    FailingBuffer full;
    std::ostream out(&full);
    std::ostringstream err;
    EXPECT_EQ(RunArchiveCli(args, out, err), kExitError);
    EXPECT_EQ(err.str(), "vandormsg-archive: cannot write the output\n");
  }
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
                           "--ignore-case", "export GAME RACE", "--all-messages",
                           "report GAME RACE [-o FILE.html]"}) {
    EXPECT_NE(help.out.find(part), std::string::npos) << part;
  }
  EXPECT_EQ(run({"--root=" + root(), "games"}, false).status, kExitOk);
}

// The page is the same to a file as to the output, UTF-8 whatever the
// locale, with no line ends changed; a file is replaced whole.
TEST_F(ArchiveCliTest, ReportToAFileOrTheOutput) {
  const std::string file = scratch.text() + "galaxy.html";
  writeFile(file, "an older report");
  const Result written = run({"report", "Galaxy", "2", "-o", file});
  EXPECT_EQ(written.status, kExitOk) << written.err;
  EXPECT_EQ(written.out, "");
  EXPECT_EQ(written.err, "");
  const std::string page = fileBytes(file);
  EXPECT_EQ(page.rfind("<!DOCTYPE html>", 0), 0u);
  EXPECT_NE(page.find("data-race=\"1\" data-turn=\"2403\" data-in=\"1\" data-out=\"0\" "
                      "data-relation=\"enemy\""),
            std::string::npos);
  EXPECT_EQ(testing_archive::temporaryFiles(scratch.text()), 0);

  SystemConventions windows;
  windows.crLf = true;
  windows.encoding = TextEncoding::kUtf8;
  EXPECT_EQ(run({"report", "Galaxy", "2"}, true, windows).out, page);
  EXPECT_EQ(run({"report", "--output=" + file, "\xC4rger", "0"}).status, kExitOk);
  EXPECT_NE(fileBytes(file).find("\xC3\x84rger: the post of"), std::string::npos);  // Ärger

  expectFailure(run({"report", "Galaxy", "5"}), kExitError, "no race 5 stored for game \"Galaxy\"");
  expectFailure(run({"report", "Galaxy"}), kExitUsage,
                "usage: vandormsg-archive --root DIR report GAME RACE [-o FILE.html] (see --help)");
  expectFailure(run({"report", "Galaxy", "2", "-o", ""}), kExitUsage, "-o needs a file (see --help)");
  expectFailure(run({"report", "Galaxy", "2", "--player-post"}), kExitUsage,
                "the command report takes no --player-post (see --help)");
  const Result nowhere = run({"report", "Galaxy", "2", "-o", scratch.text() + "no/such/folder.html"});
  EXPECT_EQ(nowhere.status, kExitError);
  EXPECT_NE(nowhere.err.find("cannot write"), std::string::npos) << nowhere.err;

  // A damaged turn is reported; the page has the others.
  writeFile(archive.Layout().TurnFile("Galaxy", 2, 2401), "damaged");
  const Result partial = run({"report", "Galaxy", "2", "-o", file});
  EXPECT_EQ(partial.status, kExitError);
  EXPECT_NE(partial.err.find("skipped"), std::string::npos);
  EXPECT_NE(fileBytes(file).find("turn-2403"), std::string::npos);
}

// A message can hold any byte; on a terminal ESC and its kind would
// command it. They are shown there, and piped as they are.
TEST_F(ArchiveCliTest, TerminalsGetControlCharactersShownNotSent) {
  auto game = testing_game::makeGame();
  game->SetGameName("Galaxy");
  game->SetRaceNumber(2);
  game->SetTurn(2404);
  AddMessageRow(*game, "red \x1B[31m alert\x07\x7F\ttab\x81 \xE4", 1, 1, -1);
  ASSERT_NO_THROW(archive.SaveTurn(*game));
  ASSERT_NO_THROW(archive.ExportTurnText(*game));
  SystemConventions terminal;
  terminal.terminal = true;
  const std::string shown = run({"search", "alert"}, true, terminal).out;
  EXPECT_NE(shown.find("\tred ^[[31m alert^G^?\ttab\x81 \xE4\n"), std::string::npos) << shown;
  EXPECT_NE(run({"search", "alert"}).out.find("red \x1B[31m alert\x07\x7F\ttab\x81 \xE4"),
            std::string::npos);
  const std::string page = run({"show", "Galaxy", "2", "2404"}, true, terminal).out;
  EXPECT_EQ(page.find('\x1B'), std::string::npos);
  EXPECT_NE(page.find("^[[31m"), std::string::npos);
  EXPECT_NE(page.find("\r\n"), std::string::npos);  // the file's CR LF stay
  EXPECT_EQ(run({"show", "Galaxy", "2", "2404"}).out,
            fileBytes(archive.Layout().TextFile("Galaxy", 2, 2404)));
  // In UTF-8 the undefined byte would be a C1 control: shown as well.
  terminal.encoding = TextEncoding::kUtf8;
  EXPECT_NE(run({"search", "alert"}, true, terminal).out.find("\ttab\\x81 \xC3\xA4\n"),
            std::string::npos);
}

#ifndef _WIN32
// Only regular files are read, and links do not lead out of the archive
// (POSIX: FIFOs and symbolic links are made here).
TEST_F(ArchiveCliTest, FifosAndLinksOutOfTheArchiveAreNotRead) {
  const std::string data = archive.Layout().Root();
  const std::string race = archive.Layout().RaceDirectory("Galaxy", 2);
  ASSERT_EQ(mkfifo(ToPath(race + "2407.sav").c_str(), 0600), 0);
  // A game folder elsewhere, linked into DATA, and a turn linking out.
  const std::string elsewhere = scratch.text() + "elsewhere" + kPathSeparator;  // beside DATA
  const TurnStore outside{ArchiveLayout(ProgramDirectory(elsewhere))};
  auto game = testing_game::makeGame();
  game->SetGameName("Far");
  game->SetRaceNumber(0);
  game->SetTurn(2401);
  AddMessageRow(*game, "FROM  Zorgs\r\nTO  you\r\nPeace far away", 2, 1, -1);
  ASSERT_NO_THROW(outside.SaveTurn(*game));
  std::filesystem::create_directory_symlink(ToPath(outside.Layout().GameDirectory("Far")),
                                            ToPath(data + "Linked"));
  writeFile(elsewhere + "secret", "not a turn");
  std::filesystem::create_symlink(ToPath(elsewhere + "secret"), ToPath(race + "2405.sav"));
  std::filesystem::create_symlink(ToPath(race + "2401.sav"), ToPath(race + "2406.sav"));  // inside

  std::vector<std::string> games = lines(run({"games"}).out);
  std::sort(games.begin(), games.end());
  EXPECT_EQ(games, (std::vector<std::string>{"Galaxy", "\xC4rger"}));
  EXPECT_EQ(lines(run({"turns", "Galaxy", "2"}).out).size(), 4u);  // 2401, 2403, 2406 and the FIFO
  const Result found = run({"search", "Peace"});  // returns: the FIFO does not block
  EXPECT_EQ(found.status, kExitError);
  EXPECT_NE(found.err.find("2407.sav\": not a regular file"), std::string::npos) << found.err;
  EXPECT_EQ(found.out.find("far away"), std::string::npos);
  EXPECT_EQ(found.out.find("turn 2405"), std::string::npos);
  EXPECT_NE(found.out.find("turn 2406"), std::string::npos);  // a link within the archive
  const Result exported = run({"export", "Galaxy", "2"});
  EXPECT_EQ(exported.status, kExitError);
  EXPECT_NE(exported.err.find("not a regular file"), std::string::npos);
  expectFailure(run({"show", "Galaxy", "2", "2407"}), kExitError,
                "\"" + race + "2407.sav\" is not a regular file");
  expectFailure(run({"show", "Galaxy", "2", "2405"}), kExitError,
                "no file \"" + race + "2405.sav\"");
  expectFailure(run({"races", "Linked"}), kExitError, "no game \"Linked\" in \"" + data + "\"");

  // Asked to, links are followed.
  EXPECT_NE(run({"--follow-links", "games"}).out.find("Linked\n"), std::string::npos);
  EXPECT_NE(run({"--follow-links", "search", "far away"}).out.find("Linked\trace 0"),
            std::string::npos);
  EXPECT_EQ(run({"--follow-links", "show", "Galaxy", "2", "2405"}).status, kExitError);  // not a turn
  EXPECT_EQ(run({"dump", "--follow-links", race + "2401.sav"}, false).status, kExitUsage);
}
#endif

TEST(EncodingOfCharset, NamesOfUtf8AndTheRest) {
  for (const char* utf8 : {"UTF-8", "utf8", "Utf-8", "UTF_8"}) {
    EXPECT_EQ(EncodingOfCharset(utf8), TextEncoding::kUtf8) << utf8;
  }
  for (const char* other : {"ANSI_X3.4-1968", "ISO-8859-1", "ISO-8859-15", "", "UTF-16"}) {
    EXPECT_EQ(EncodingOfCharset(other), TextEncoding::kCp1252) << other;
  }
}

TEST_F(ArchiveCliTest, Utf8TerminalsGetAndGiveUtf8) {
  auto game = testing_game::makeGame();
  game->SetGameName("\xC4rger");
  game->SetRaceNumber(0);
  game->SetTurn(2401);
  testing_game::addRace(*game, 1, "Z\xF6rgs", kFriend);
  AddMessageRow(*game, "FROM  Z\xF6rgs\r\nTO  you\r\nWir kommen zur\xFC" "ck", 2, 1, -1);
  ASSERT_NO_THROW(archive.SaveTurn(*game));
  SystemConventions utf8;
  utf8.encoding = TextEncoding::kUtf8;

  const Result found = run({"search", "zur\xC3\xBC" "ck"}, true, utf8);
  EXPECT_EQ(found.status, kExitOk);
  EXPECT_EQ(found.out, "\xC3\x84rger\trace 0\tturn 2401\tmessage 2\tincoming\tZ\xC3\xB6rgs\n"
                       "\tWir kommen zur\xC3\xBC" "ck\n");
  EXPECT_EQ(run({"search", "--ignore-case", "ZUR\xC3\x9C" "CK"}, true, utf8).out, found.out);
  EXPECT_EQ(run({"search", "--game", "\xC3\x84rger", "zur\xC3\xBC" "ck"}, true, utf8).out, found.out);
  EXPECT_NE(run({"games"}, true, utf8).out.find("\xC3\x84rger\n"), std::string::npos);
  // The same in code page 1252, chosen by the option.
  const Result cp1252 = run({"--encoding", "cp1252", "search", "zur\xFC" "ck"}, true, utf8);
  EXPECT_EQ(cp1252.out, "\xC4rger\trace 0\tturn 2401\tmessage 2\tincoming\tZ\xF6rgs\n"
                        "\tWir kommen zur\xFC" "ck\n");
  EXPECT_EQ(run({"search", "zur\xFC" "ck"}).out, cp1252.out);  // code page 1252 by default

  // CSV follows the encoding, JSON is UTF-8 and show gives the file's bytes.
  EXPECT_NE(run({"export", "\xC3\x84rger", "0"}, true, utf8).out.find("Z\xC3\xB6rgs"), std::string::npos);
  EXPECT_NE(run({"export", "--format=json", "\xC3\x84rger", "0"}, true, utf8).out.find("Z\xC3\xB6rgs"),
            std::string::npos);
  EXPECT_EQ(run({"show", "Galaxy", "2", "2401"}, true, utf8).out,
            fileBytes(archive.Layout().TextFile("Galaxy", 2, 2401)));
  // Messages name games and paths in the encoding as well.
  expectFailure(run({"races", "N\xC3\xB6rgs"}, true, utf8), kExitError,
                "no game \"N\xC3\xB6rgs\" in \"" + archive.Layout().Root() + "\"");

  expectFailure(run({"search", "\xD0\x96"}, true, utf8), kExitError,
                "the argument \"?\" holds a character that code page 1252 lacks");
  expectFailure(run({"search", "zur\xFC" "ck"}, true, utf8), kExitError,
                "the argument \"zur\xC3\xBC" "ck\" is not UTF-8");
  expectFailure(run({"--encoding", "latin1", "games"}), kExitUsage,
                "unknown encoding \"latin1\", not cp1252 or utf-8 (see --help)");
}

TEST_F(ArchiveCliTest, WindowsLinesEndWithCrLfThroughout) {
  SystemConventions windows;
  windows.crLf = true;
  const Result games = run({"games"}, true, windows);
  EXPECT_EQ(games.out.size(), std::string("Galaxy\r\n\xC4rger\r\n").size());
  EXPECT_NE(games.out.find("Galaxy\r\n"), std::string::npos);
  const Result found = run({"search", "Peace"}, true, windows);
  EXPECT_EQ(found.out.find("\n"), found.out.find("\r\n") + 1);
  EXPECT_EQ(found.out.find("\r\r"), std::string::npos);
  const Result csv = run({"export", "Galaxy", "2"}, true, windows);
  EXPECT_EQ(csv.out, run({"export", "Galaxy", "2"}).out);  // CSV has CR LF of its own
  EXPECT_EQ(run({"show", "Galaxy", "2", "2401"}, true, windows).out,
            fileBytes(archive.Layout().TextFile("Galaxy", 2, 2401)));
  EXPECT_EQ(run({"--version"}, false, windows).out, "vandormsg-archive 1.1.0\r\n");
}

TEST_F(ArchiveCliTest, LongOutputsConvertTheSameAcrossTheirPieces) {
  // Far more output than the converter holds at once, with bytes to
  // convert and line ends on every side of its pieces.
  auto game = testing_game::makeGame();
  game->SetGameName("Long");
  game->SetRaceNumber(0);
  game->SetTurn(2401);
  testing_game::addRace(*game, 1, "Z\xF6rgs", kFriend);
  for (int i = 0; i < 400; ++i) {
    std::string text = "FROM  Z\xF6rgs\r\nTO  you\r\n";
    for (int k = 0; k < 30 + i % 7; ++k) text += "Gr\xFC\xDF" "e " + std::to_string(i * k) + "\n";
    AddMessageRow(*game, text.c_str(), i + 1, 1, -1);
  }
  ASSERT_NO_THROW(archive.SaveTurn(*game));
  const std::string plain = run({"search", "--game", "Long", "Gr"}).out;
  ASSERT_GT(plain.size(), 150000u);  // two pieces and more
  // Whole pieces pass unconverted output as they are: the same bytes as a
  // terminal's, which the converter looks at one by one.
  SystemConventions terminal;
  terminal.terminal = true;
  EXPECT_TRUE(run({"search", "--game", "Long", "Gr"}, true, terminal).out == plain);
  int hits = 0;
  for (const std::string& line : lines(plain)) {
    hits += line.rfind("Long\trace 0\tturn 2401\tmessage ", 0) == 0 ? 1 : 0;
    EXPECT_TRUE(line.rfind("Long\t", 0) == 0 || line.rfind("\t", 0) == 0) << line;
  }
  EXPECT_EQ(hits, 400);

  std::string expected;  // UTF-8, every line feed after a CR
  for (char c : plain) {
    if (c == '\n' && (expected.empty() || expected.back() != '\r')) expected += '\r';
    expected += static_cast<unsigned char>(c) < 0x80 ? std::string(1, c) : Cp1252ToUtf8(std::string(1, c));
  }
  SystemConventions both;
  both.encoding = TextEncoding::kUtf8;
  both.crLf = true;
  const Result converted = run({"search", "--game", "Long", "Gr"}, true, both);
  EXPECT_EQ(converted.status, kExitOk);
  EXPECT_TRUE(converted.out == expected) << "sizes " << converted.out.size() << " and " << expected.size();
}

}  // namespace
