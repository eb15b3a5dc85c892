#include "cli/archive_cli.h"

#include <map>
#include <ostream>
#include <set>
#include <sstream>

#include "archive/archive_names.h"
#include "archive/message_export.h"
#include "archive/message_search.h"
#include "archive/path_text.h"
#include "archive/turn_store.h"
#include "archive/turn_text.h"
#include "cache/cache_dump.h"
#include "reader/current_game.h"
#include "reader/game_bounds.h"
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
    "  search [OPTIONS] TEXT  every stored message that contains TEXT\n"
    "      --game GAME          only this game\n"
    "      --race RACE          only this race\n"
    "      --from-turn T        only turns from T on\n"
    "      --to-turn T          only turns up to T\n"
    "      --player-post        only player post, no system messages\n"
    "      --ignore-case        A-Z and the umlauts match their small letters\n"
    "    Each hit is a line of game, race, turn, message number, direction and\n"
    "    the other race (or \"system\"), tab-separated, then the text, each of\n"
    "    its lines after a tab. Hits come by game, race, turn and stored order.\n"
    "  export GAME RACE [--format csv|json] [--all-messages]\n"
    "                         every stored turn of GAME and RACE as one table:\n"
    "                         turn, id, type, direction, race number, race name,\n"
    "                         relation, text; CSV (the default, code page 1252)\n"
    "                         or JSON lines (UTF-8); player post only unless\n"
    "                         --all-messages\n"
    "\n"
    "Lists come in the order the folder gives them. RACE is the 0-based race\n"
    "number of the folder names. Texts are written as stored (code page 1252).\n"
    "search and export report a file they cannot read and go on without it.\n"
    "\n"
    "Exit status: 0 on success, 1 for a bad argument or a missing or damaged\n"
    "file (also when search or export skipped one), 2 for a command line that\n"
    "does not parse.\n";

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

// Options that take a value, with what the value is.
const std::map<std::string, const char*> kValueOptions = {
    {"--root", "a folder"},   {"--game", "a game"},       {"--race", "a race number"},
    {"--from-turn", "a turn"}, {"--to-turn", "a turn"},    {"--format", "csv or json"}};
const std::set<std::string> kFlagOptions = {"--player-post", "--ignore-case", "--all-messages"};

// The parsed command line.
struct CommandLine {
  bool help = false;
  std::map<std::string, std::string> values;  // value options given
  std::set<std::string> flags;                // flag options given
  std::vector<std::string> words;             // the command and its arguments

  bool has(const std::string& option) const {
    return values.count(option) != 0 || flags.count(option) != 0;
  }
  const std::string& root() const { return values.at("--root"); }
};

CommandLine parse(const std::vector<std::string>& args) {
  CommandLine line;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const size_t equals = arg.find('=');
    const std::string name = arg.substr(0, equals);
    if (arg == "--help" || arg == "-h") {
      line.help = true;
    } else if (kValueOptions.count(name) != 0) {
      if (equals != std::string::npos) {
        line.values[name] = arg.substr(equals + 1);
      } else {
        if (i + 1 == args.size()) usage(name + " needs " + kValueOptions.at(name));
        line.values[name] = args[++i];
      }
    } else if (kFlagOptions.count(arg) != 0) {
      line.flags.insert(arg);
    } else if (arg.size() > 1 && arg[0] == '-' && arg[1] == '-') {
      usage("unknown option " + arg);
    } else {
      line.words.push_back(arg);
    }
  }
  return line;
}

// Refuses options that `command` does not take.
void allowOnly(const CommandLine& line, const std::string& command,
               const std::set<std::string>& allowed) {
  for (const auto& [option, value] : line.values) {
    if (option != "--root" && allowed.count(option) == 0) {
      usage("the command " + command + " takes no " + option);
    }
  }
  for (const std::string& flag : line.flags) {
    if (allowed.count(flag) == 0) usage("the command " + command + " takes no " + flag);
  }
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
  if (!toNumber(text, &race) || !IsRaceNumber(race)) {
    fail("race " + quoted(text) + " is not a race number from 0 to " + std::to_string(kRaceCount - 1));
  }
  return race;
}

int32_t turnArgument(const std::string& text) {
  int32_t turn;
  if (!toNumber(text, &turn)) fail("turn " + quoted(text) + " is not a number");
  return turn;
}

bool isDirectory(const std::string& path) {
  return FileSystem::Default().Kind(path) == PathKind::kDirectory;
}

// Loads the table of the file `path`; fails for a missing or damaged file.
void readTable(const std::string& path, SmartCache& table) {
  FileSystem& files = FileSystem::Default();
  if (files.Kind(path) != PathKind::kFile) fail("no file " + quoted(path));
  try {
    ReadTableFile(files, path, table);
  } catch (const LExc_Base& e) {
    fail("cannot read " + quoted(path) + ": " + e.text());
  }
}

// The commands on one archive. The store reports nothing itself: the
// command-line tool checks its paths before it asks.
class Commands {
 public:
  explicit Commands(const std::string& root)
      : archive_(ArchiveLayout(ProgramDirectory(withSeparator(root)))),
        layout_(archive_.Layout()) {
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
    if (!isDirectory(layout_.RaceDirectory(game, race))) {
      fail("no race " + std::to_string(race) + " stored for game " + quoted(game));
    }
    for (int32_t turn : archive_.ListTurns(game, race)) out << turn << '\n';
  }

  // Writes every hit, reports skipped files to `err`; false when a file
  // was skipped.
  bool Search(const SearchOptions& options, std::ostream& out, std::ostream& err) const {
    if (options.turns.game) CheckGame(*options.turns.game);
    const int skipped = SearchArchive(
        archive_, options, [&](const SearchHit& hit) { writeHit(hit, out); },
        [&](const std::string& path, const std::string& reason) { skip(path, reason, err); });
    return skipped == 0;
  }

  bool Export(const std::string& game, int32_t race, bool allMessages, ExportFormat format,
              std::ostream& out, std::ostream& err) const {
    CheckGame(game);
    if (!isDirectory(layout_.RaceDirectory(game, race))) {
      fail("no race " + std::to_string(race) + " stored for game " + quoted(game));
    }
    const int skipped = ExportMessages(
        archive_, game, race, allMessages, format, out,
        [&](const std::string& path, const std::string& reason) { skip(path, reason, err); });
    return skipped == 0;
  }

  void Show(const std::string& game, int32_t race, int32_t turn, std::ostream& out) const {
    CheckGame(game);
    const std::string path = layout_.TurnFile(game, race, turn);
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

  // A hit's header line, then each line of its text after a tab.
  static void writeHit(const SearchHit& hit, std::ostream& out) {
    out << hit.where.game << "\trace " << hit.where.race << "\tturn " << hit.where.turn
        << "\tmessage " << hit.message.id << '\t'
        << (hit.message.incoming ? "incoming" : "outgoing") << '\t' << hit.otherRace << '\n';
    const std::string& text = hit.message.text;
    for (size_t start = 0; start < text.size();) {
      size_t end = text.find('\n', start);
      if (end == std::string::npos) end = text.size();
      size_t stop = end;
      if (stop > start && text[stop - 1] == '\r') --stop;
      out << '\t';
      out.write(text.data() + start, static_cast<std::streamsize>(stop - start));
      out << '\n';
      start = end + 1;
    }
  }

  static void skip(const std::string& path, const std::string& reason, std::ostream& err) {
    err << kProgram << ": skipped " << quoted(path) << ": " << reason << '\n';
  }

  void CheckGame(const std::string& game) const {
    if (!IsUsableGameName(game) || !isDirectory(layout_.GameDirectory(game))) {
      fail("no game " + quoted(game) + " in " + quoted(layout_.Root()));
    }
  }

  TurnStore archive_;
  const ArchiveLayout& layout_;
};

void expectArguments(const CommandLine& line, size_t count, const char* form) {
  if (line.words.size() != count + 1) usage(std::string("usage: ") + kProgram + " " + form);
}

SearchOptions searchOptions(const CommandLine& line) {
  SearchOptions options;
  const auto value = [&](const char* option) -> const std::string* {
    const auto found = line.values.find(option);
    return found == line.values.end() ? nullptr : &found->second;
  };
  if (const std::string* game = value("--game")) options.turns.game = *game;
  if (const std::string* race = value("--race")) options.turns.race = raceArgument(*race);
  if (const std::string* from = value("--from-turn")) options.turns.fromTurn = turnArgument(*from);
  if (const std::string* to = value("--to-turn")) options.turns.toTurn = turnArgument(*to);
  options.playerPostOnly = line.has("--player-post");
  options.ignoreCase = line.has("--ignore-case");
  options.text = line.words[1];
  if (options.text.empty()) usage("search needs a text to look for");
  return options;
}

ExportFormat exportFormat(const CommandLine& line) {
  const auto found = line.values.find("--format");
  if (found == line.values.end() || found->second == "csv") return ExportFormat::kCsv;
  if (found->second == "json") return ExportFormat::kJsonLines;
  usage("unknown format " + quoted(found->second) + ", not csv or json");
}

// The commands that stream their output: what they found so far stays
// written when a file is skipped. Returns the exit status.
int runStreaming(const CommandLine& line, std::ostream& out, std::ostream& err) {
  const std::string& command = line.words[0];
  if (command == "search") {
    allowOnly(line, command,
              {"--game", "--race", "--from-turn", "--to-turn", "--player-post", "--ignore-case"});
    expectArguments(line, 1, "--root DIR search [OPTIONS] TEXT");
    const SearchOptions options = searchOptions(line);
    return Commands(line.root()).Search(options, out, err) ? kExitOk : kExitError;
  }
  allowOnly(line, command, {"--format", "--all-messages"});
  expectArguments(line, 2, "--root DIR export GAME RACE [--format csv|json] [--all-messages]");
  const int32_t race = raceArgument(line.words[2]);
  const ExportFormat format = exportFormat(line);
  return Commands(line.root())
                 .Export(line.words[1], race, line.has("--all-messages"), format, out, err)
             ? kExitOk
             : kExitError;
}

bool isStreaming(const std::string& command) { return command == "search" || command == "export"; }

void run(const CommandLine& line, std::ostream& out) {
  const std::string& command = line.words[0];
  allowOnly(line, command, {});
  if (command == "dump") {
    expectArguments(line, 1, "dump FILE.sav");
    SmartCache table;
    readTable(line.words[1], table);
    dumpCache(table, out);
    return;
  }
  if (command == "games") {
    expectArguments(line, 0, "--root DIR games");
    Commands(line.root()).Games(out);
  } else if (command == "races") {
    expectArguments(line, 1, "--root DIR races GAME");
    Commands(line.root()).Races(line.words[1], out);
  } else if (command == "turns") {
    expectArguments(line, 2, "--root DIR turns GAME RACE");
    const int32_t race = raceArgument(line.words[2]);
    Commands(line.root()).Turns(line.words[1], race, out);
  } else {
    expectArguments(line, 3, "--root DIR show GAME RACE TURN");
    const int32_t race = raceArgument(line.words[2]);
    const int32_t turn = turnArgument(line.words[3]);
    Commands(line.root()).Show(line.words[1], race, turn, out);
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
    if (line.words.empty()) usage("no command given");
    const std::string& command = line.words[0];
    const bool known = isStreaming(command) || command == "dump" || command == "games" ||
                       command == "races" || command == "turns" || command == "show";
    if (!known) usage("unknown command " + quoted(command));
    if (command != "dump" && !line.has("--root")) usage("the command " + command + " needs --root DIR");
    if (isStreaming(command)) {
      const int status = runStreaming(line, out, err);
      out << std::flush;
      return status;
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
