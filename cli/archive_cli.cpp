#include "cli/archive_cli.h"

#include <ostream>
#include <sstream>

#include "archive/archive_names.h"
#include "archive/game_archive.h"
#include "archive/path_text.h"
#include "archive/turn_text.h"
#include "cache/cache_dump.h"
#include "reader/current_game.h"
#include "support/lexc.h"

namespace {

const char kProgram[] = "vandormsg-archive";

const char kHelp[] =
    "Usage: vandormsg-archive --root DIR COMMAND [ARGUMENTS]\n"
    "       vandormsg-archive dump FILE.sav\n"
    "\n"
    "Reads the turn archive of the Vandor! Message Reader: the DATA folder in\n"
    "DIR, the folder that holds the reader's program (vandormsg.exe).\n"
    "\n"
    "Commands:\n"
    "  games                  the stored games, one a line\n"
    "  races GAME             the race numbers (0 to 15) stored for GAME\n"
    "  turns GAME RACE        the turns stored for GAME and RACE\n"
    "  show GAME RACE TURN    the messages of one turn, as in its .txt file\n"
    "  dump FILE.sav          the table in a .sav file, as the debug dump shows it\n"
    "\n"
    "Lists come in the order the folder gives them. RACE is the 0-based race\n"
    "number of the folder names. Texts are written as stored (code page 1252).\n"
    "\n"
    "Exit status: 0 on success, 1 for a bad argument or a missing or damaged\n"
    "file, 2 for a command line that does not parse.\n";

// A failure of the command: its one-line message and exit status.
struct Failure {
  int status;
  std::string message;
};

[[noreturn]] void usage(const std::string& message) {
  throw Failure{kExitUsage, message + " (see --help)"};
}

[[noreturn]] void fail(const std::string& message) { throw Failure{kExitError, message}; }

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

// The parsed command line.
struct CommandLine {
  bool help = false;
  bool hasRoot = false;
  std::string root;
  std::vector<std::string> words;  // the command and its arguments
};

CommandLine parse(const std::vector<std::string>& args) {
  CommandLine line;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--help" || arg == "-h") {
      line.help = true;
    } else if (arg == "--root") {
      if (i + 1 == args.size()) usage("--root needs a folder");
      line.hasRoot = true;
      line.root = args[++i];
    } else if (arg.compare(0, 7, "--root=") == 0) {
      line.hasRoot = true;
      line.root = arg.substr(7);
    } else if (arg.size() > 1 && arg[0] == '-' && arg[1] == '-') {
      usage("unknown option " + arg);
    } else {
      line.words.push_back(arg);
    }
  }
  return line;
}

// A whole decimal number, with an optional minus sign.
bool toNumber(const std::string& text, int32_t* value) {
  size_t i = text.size() > 1 && text[0] == '-' ? 1 : 0;
  if (i == text.size() || text.size() - i > 9) return false;
  int32_t result = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    result = result * 10 + (text[i] - '0');
  }
  *value = text[0] == '-' ? -result : result;
  return true;
}

int32_t raceArgument(const std::string& text) {
  int32_t race;
  if (!toNumber(text, &race) || race < 0 || race >= CurrentGame::kMaxRaces) {
    fail("race " + quoted(text) + " is not a race number from 0 to 15");
  }
  return race;
}

int32_t turnArgument(const std::string& text) {
  int32_t turn;
  if (!toNumber(text, &turn)) fail("turn " + quoted(text) + " is not a number");
  return turn;
}

bool isDirectory(const std::string& path) {
  std::error_code ignored;
  return std::filesystem::is_directory(ToPath(path), ignored);
}

bool isFile(const std::string& path) {
  std::error_code ignored;
  return std::filesystem::is_regular_file(ToPath(path), ignored);
}

// Loads the table of the file `path`; fails for a missing or damaged file.
void readTable(const std::string& path, SmartCache& table) {
  if (!isFile(path)) fail("no file " + quoted(path));
  try {
    GameArchive::ReadTableFile(path, table);
  } catch (const LExc_Base& e) {
    fail("cannot read " + quoted(path) + ": " + e.text());
  }
}

// Listings and loads report nothing themselves: the command-line tool
// checks its paths before it asks.
class SilentUi : public ArchiveUi {
 public:
  void ShowError(const std::string&) override {}
  void BeginWait() override {}
  void EndWait() override {}
};

// The commands on one archive.
class Commands {
 public:
  explicit Commands(const std::string& root)
      : archive_(ProgramDirectory(withSeparator(root)), ui_) {
    if (!isDirectory(root)) fail("no folder " + quoted(root));
  }

  void Games(std::ostream& out) const {
    for (const std::string& game : archive_.ListGames()) out << game << '\n';
  }

  void Races(const std::string& game, std::ostream& out) const {
    CheckGame(game);
    for (int32_t race : archive_.ListRaces(game)) out << race << '\n';
  }

  void Turns(const std::string& game, int32_t race, std::ostream& out) const {
    CheckGame(game);
    if (!isDirectory(archive_.RaceDirectory(game, race))) {
      fail("no race " + std::to_string(race) + " stored for game " + quoted(game));
    }
    for (int32_t turn : archive_.ListTurns(game, race)) out << turn << '\n';
  }

  void Show(const std::string& game, int32_t race, int32_t turn, std::ostream& out) const {
    CheckGame(game);
    const std::string path = archive_.TurnFile(game, race, turn);
    CurrentGame current;
    readTable(path, current.MessageTable());
    current.SetGameName(game);
    current.SetRaceNumber(race);
    current.SetTurn(turn);
    try {
      WriteTurnText(current, out);
    } catch (const LExc_Base& e) {
      fail("cannot show " + quoted(path) + ": " + e.text());
    }
  }

 private:
  static std::string withSeparator(std::string root) {
    if (!root.empty() && root.back() != '/' && root.back() != kPathSeparator) root += kPathSeparator;
    return root;
  }

  void CheckGame(const std::string& game) const {
    if (!IsUsableGameName(game) || !isDirectory(archive_.GameDirectory(game))) {
      fail("no game " + quoted(game) + " in " + quoted(archive_.Root()));
    }
  }

  SilentUi ui_;
  GameArchive archive_;
};

void expectArguments(const CommandLine& line, size_t count, const char* form) {
  if (line.words.size() != count + 1) usage(std::string("usage: ") + kProgram + " " + form);
}

void run(const CommandLine& line, std::ostream& out) {
  if (line.words.empty()) usage("no command given");
  const std::string& command = line.words[0];
  if (command == "dump") {
    expectArguments(line, 1, "dump FILE.sav");
    SmartCache table;
    readTable(line.words[1], table);
    dumpCache(table, out);
    return;
  }
  if (command != "games" && command != "races" && command != "turns" && command != "show") {
    usage("unknown command " + quoted(command));
  }
  if (!line.hasRoot) usage("the command " + command + " needs --root DIR");
  if (command == "games") {
    expectArguments(line, 0, "--root DIR games");
    Commands(line.root).Games(out);
  } else if (command == "races") {
    expectArguments(line, 1, "--root DIR races GAME");
    Commands(line.root).Races(line.words[1], out);
  } else if (command == "turns") {
    expectArguments(line, 2, "--root DIR turns GAME RACE");
    const int32_t race = raceArgument(line.words[2]);
    Commands(line.root).Turns(line.words[1], race, out);
  } else {
    expectArguments(line, 3, "--root DIR show GAME RACE TURN");
    const int32_t race = raceArgument(line.words[2]);
    const int32_t turn = turnArgument(line.words[3]);
    Commands(line.root).Show(line.words[1], race, turn, out);
  }
}

}  // namespace

int RunArchiveCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  try {
    const CommandLine line = parse(args);
    if (line.help) {
      out << kHelp;
      return kExitOk;
    }
    std::ostringstream result;
    run(line, result);
    out << result.str() << std::flush;
    return kExitOk;
  } catch (const Failure& failure) {
    err << kProgram << ": " << failure.message << '\n';
    return failure.status;
  } catch (const LExc_Base& e) {
    err << kProgram << ": " << e.text() << '\n';
  } catch (const std::exception& e) {
    err << kProgram << ": " << e.what() << '\n';
  }
  return kExitError;
}
