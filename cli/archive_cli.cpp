#include "cli/archive_cli.h"

#include <cstdint>
#include <cstring>
#include <map>
#include <optional>
#include <ostream>
#include <set>
#include <sstream>

#include "archive/archive_names.h"
#include "archive/confined_file_system.h"
#include "archive/diplomacy_report.h"
#include "archive/file_group_writer.h"
#include "archive/message_export.h"
#include "archive/message_search.h"
#include "archive/path_text.h"
#include "archive/turn_store.h"
#include "archive/turn_text.h"
#include "cache/cache_dump.h"
#include "reader/current_game.h"
#include "reader/game_bounds.h"
#include "support/cp1252.h"
#include "support/lexc.h"
#include "cli/progress_line.h"
#include "support/text_format.h"
#include "support/version.h"

namespace {

const char kProgram[] = "vandormsg-archive";

// Each command's usage line and what it does, for --help and COMMAND --help.
struct CommandHelp {
  const char* name;
  const char* usage;
  const char* text;
};

const CommandHelp kCommandHelp[] = {
    {"games", "--root DIR games", "  games                  the stored games, one a line\n"},
    {"races", "--root DIR races GAME",
     "  races GAME             the race numbers (0 to 15) stored for GAME\n"},
    {"turns", "--root DIR turns GAME RACE",
     "  turns GAME RACE        the turns stored for GAME and RACE\n"},
    {"show", "--root DIR show GAME RACE TURN",
     "  show GAME RACE TURN    the messages of one turn, as in its .txt file\n"
     "                         (its bytes as stored)\n"},
    {"dump", "dump FILE.sav",
     "  dump FILE.sav          the table in a .sav file, as the debug dump shows it\n"
     "                         (its texts as stored)\n"},
    {"search", "--root DIR search [OPTIONS] [--] TEXT",
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
     "    A TEXT that begins with - goes after --.\n"},
    {"export", "--root DIR export GAME RACE [--format csv|json] [--delimiter C] [--all-messages]",
     "  export GAME RACE [--format csv|json] [--delimiter C] [--all-messages]\n"
     "                         every stored turn of GAME and RACE as one table:\n"
     "                         turn, id, type, direction, race number, race name,\n"
     "                         relation, text; CSV (the default; --delimiter ';'\n"
     "                         for spreadsheets that want one) or JSON lines\n"
     "                         (always UTF-8); player post only unless\n"
     "                         --all-messages. In CSV a race name or text that\n"
     "                         begins with = + - @, a tab or a CR gets a leading\n"
     "                         apostrophe, so that a spreadsheet shows it rather\n"
     "                         than evaluating it as a formula; JSON keeps every\n"
     "                         text exact\n"},
    {"report", "--root DIR report GAME RACE [-o FILE.html]",
     "  report GAME RACE [-o FILE.html]\n"
     "                         the diplomacy of GAME and RACE as one web page that\n"
     "                         needs nothing else (UTF-8): a chart of the post with\n"
     "                         every race, turn by turn, in the colour of the\n"
     "                         relation of that turn; the totals per race; every\n"
     "                         message, with a box that filters them as you type.\n"
     "                         To FILE.html (replaced only once it is complete), or\n"
     "                         to the output; a progress line on the error output\n"
     "                         when it takes longer than a second\n"},
};

const char kHelpHead[] =
    "Usage: vandormsg-archive --root DIR [--encoding E] [--follow-links] COMMAND [ARGUMENTS]\n"
    "       vandormsg-archive dump FILE.sav\n"
    "       vandormsg-archive COMMAND --help | --help | --version\n"
    "\n"
    "Reads the turn archive of the Vandor! Message Reader: the DATA folder in\n"
    "DIR, the folder that holds the reader's program (vandormsg.exe).\n"
    "\n"
    "Commands:\n";

const char kHelpTail[] =
    "\n"
    "Lists come in the order the folder gives them. RACE is the 0-based race\n"
    "number of the folder names. search and export report a file they cannot\n"
    "read and go on without it. -- ends the options.\n"
    "\n"
    "Only regular files are read. A symbolic link that leads out of the DATA\n"
    "folder (a linked game folder, a turn file linking elsewhere) is taken\n"
    "for missing, unless --follow-links is given.\n"
    "\n"
    "Texts (arguments, names, messages) are in UTF-8 where the locale says so\n"
    "and in code page 1252, as the archive keeps them, otherwise;\n"
    "--encoding cp1252 or --encoding utf-8 chooses. show and dump give the\n"
    "bytes of the files as they are, JSON is always UTF-8. On a terminal,\n"
    "control characters but tab, CR and LF are shown, not sent (^[ for ESC);\n"
    "pipes and files get every byte as it is.\n"
    "\n"
    "Exit status: 0 on success, 1 for a bad argument, a missing or damaged\n"
    "file (also when search or export skipped one) or output that cannot be\n"
    "written, 2 for a command line that does not parse.\n";

std::string generalHelp() {
  std::string help = kHelpHead;
  for (const CommandHelp& command : kCommandHelp) help += command.text;
  return help + kHelpTail;
}

const CommandHelp* findCommand(const std::string& name) {
  for (const CommandHelp& command : kCommandHelp) {
    if (name == command.name) return &command;
  }
  return nullptr;
}

std::string commandHelp(const CommandHelp& command) {
  return std::string("Usage: vandormsg-archive ") + command.usage + "\n\n" + command.text +
         kHelpTail;
}

// The output of a command in the system's conventions: code page 1252
// texts in UTF-8, bare line feeds as CR LF, and for a terminal the control
// characters but tab, CR and LF shown instead of sent (ESC and its kind
// would command the terminal): C0 controls and DEL in caret notation
// ("^[" for ESC), and in UTF-8 the code page's five undefined bytes, which
// would be C1 controls, as "\xNN". Runs of bytes that need none of that go
// to the target as they are.
class ConventionsFilter : public std::streambuf {
 public:
  ConventionsFilter(std::streambuf* target, bool toUtf8, bool crLf, bool escapeControls = false)
      : target_(target), toUtf8_(toUtf8), crLf_(crLf), escape_(escapeControls) {
    setp(area_, area_ + sizeof area_);
    if (toUtf8_) {
      for (int b = 0x80; b < 0x100; ++b) {
        const std::string utf8 = Cp1252ToUtf8(std::string(1, static_cast<char>(b)));
        const bool control = Cp1252ToUnicode(static_cast<uint8_t>(b)) <= 0x9F;
        utf8_[b - 0x80] = escape_ && control ? formatText("\\x%02X", b) : utf8;
      }
    }
  }
  ConventionsFilter(const ConventionsFilter&) = delete;
  ConventionsFilter& operator=(const ConventionsFilter&) = delete;
  // What is still held goes out; a failure here has no one to tell (the
  // commands flush and check their output before they end).
  ~ConventionsFilter() override {
    drain();
    send();
  }

 protected:
  // Characters and short writes gather in the put area; it is converted
  // when full.
  int_type overflow(int_type c) override {
    if (!drain()) return traits_type::eof();
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    *pptr() = traits_type::to_char_type(c);
    pbump(1);
    return c;
  }

  // The bytes are converted into a buffer of the filter's own and go to
  // the target in pieces, so that a long output takes few writes.
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    if (n <= epptr() - pptr()) {  // short writes gather in the put area too
      std::memcpy(pptr(), s, static_cast<size_t>(n));
      pbump(static_cast<int>(n));
      return n;
    }
    if (!drain()) return 0;
    return convert(s, n);
  }

  int sync() override { return drain() && send() && target_->pubsync() != -1 ? 0 : -1; }

 private:
  static constexpr size_t kPiece = 64 * 1024;

  // Converts what the put area holds and empties it.
  bool drain() {
    const std::streamsize held = pptr() - pbase();
    setp(area_, area_ + sizeof area_);
    return held == 0 || convert(area_, held) == held;
  }

  std::streamsize convert(const char* s, std::streamsize n) {
    if (transparent() && static_cast<size_t>(n) >= kPiece) {  // a whole piece goes out as it is
      return send() ? target_->sputn(s, n) : 0;
    }
    std::streamsize done = 0;
    while (done < n) {
      const std::streamsize plain = done + plainRun(s + done, n - done);
      held_.append(s + done, static_cast<size_t>(plain - done));
      done = plain;
      if (done < n) {
        const char c = s[done++];
        if (c == '\n') {
          if (crLf_ && lastByte() != '\r') held_ += '\r';
          held_ += '\n';
        } else if (isControl(c)) {
          held_ += '^';
          held_ += static_cast<char>(c ^ 0x40);  // ^@ to ^_, and ^? for DEL
        } else {
          held_ += utf8_[static_cast<unsigned char>(c) - 0x80];
        }
      }
      if (held_.size() >= kPiece && !send()) return 0;
    }
    return n;
  }

  // Whether every byte goes out as it is.
  bool transparent() const { return !toUtf8_ && !crLf_ && !escape_; }
  // A control character the terminal would act on.
  bool isControl(char c) const {
    const auto b = static_cast<unsigned char>(c);
    return escape_ && ((b < 0x20 && c != '\t' && c != '\r' && c != '\n') || b == 0x7F);
  }
  bool special(char c) const {
    return (toUtf8_ && static_cast<unsigned char>(c) >= 0x80) || (crLf_ && c == '\n') ||
           isControl(c);
  }
  // How many bytes from `s` on go out as they are: a line feed is looked
  // for with memchr, bytes above 0x7F eight at a time.
  std::streamsize plainRun(const char* s, std::streamsize n) const {
    if (escape_) {  // for a terminal: a person reads it, byte by byte will do
      std::streamsize i = 0;
      while (i < n && !special(s[i])) ++i;
      return i;
    }
    if (!toUtf8_) {
      const void* feed = crLf_ ? std::memchr(s, '\n', static_cast<size_t>(n)) : nullptr;
      return feed ? static_cast<const char*>(feed) - s : n;
    }
    std::streamsize i = 0;
    if (!crLf_) {
      for (uint64_t word; i + 8 <= n; i += 8) {
        std::memcpy(&word, s + i, 8);
        if ((word & 0x8080808080808080u) != 0) break;
      }
    }
    while (i < n && !special(s[i])) ++i;
    return i;
  }
  char lastByte() const { return held_.empty() ? last_ : held_.back(); }
  // Writes what is held; false when the target took less.
  bool send() {
    if (held_.empty()) return true;
    const auto size = static_cast<std::streamsize>(held_.size());
    const bool sent = target_->sputn(held_.data(), size) == size;
    last_ = held_.back();
    held_.clear();
    return sent;
  }

  std::streambuf* target_;
  bool toUtf8_;
  bool crLf_;
  bool escape_;
  char last_ = '\0';  // the last byte sent
  std::string held_;   // converted bytes not sent yet
  std::string utf8_[0x80];  // UTF-8 of the bytes 0x80 to 0xFF
  char area_[8 * 1024];     // the put area
};

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
    {"--root", "a folder"},    {"--game", "a game"},      {"--race", "a race number"},
    {"--from-turn", "a turn"}, {"--to-turn", "a turn"},   {"--format", "csv or json"},
    {"--delimiter", "one character"}, {"--encoding", "cp1252 or utf-8"},
    {"-o", "a file"},          {"--output", "a file"}};
const std::set<std::string> kFlagOptions = {"--player-post", "--ignore-case", "--all-messages",
                                            "--follow-links"};

// The parsed command line.
struct CommandLine {
  bool help = false;
  bool version = false;
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
  bool optionsEnded = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded) {
      line.words.push_back(arg);
      continue;
    }
    const size_t equals = arg.find('=');
    const std::string name = arg.substr(0, equals);
    if (arg == "--") {
      optionsEnded = true;
    } else if (arg == "--help" || arg == "-h") {
      line.help = true;
    } else if (arg == "--version") {
      line.version = true;
    } else if (kValueOptions.count(name) != 0) {
      if (line.values.count(name) != 0) usage(name + " is given more than once");
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
    } else if (arg.size() > 1 && arg[0] == '-') {
      usage("unknown option " + arg + " (a text that begins with - goes after --)");
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
    if (option != "--root" && option != "--encoding" && allowed.count(option) == 0) {
      usage("the command " + command + " takes no " + option);
    }
  }
  for (const std::string& flag : line.flags) {
    if (flag == "--follow-links" && command != "dump") continue;  // every command on an archive
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

// Loads the table of the file `path` of `files`; fails for a missing or
// damaged file, and for one that is not a regular file (a FIFO would block).
void readTable(FileSystem& files, const std::string& path, SmartCache& table) {
  const PathKind kind = files.Kind(path);
  if (kind == PathKind::kOther) fail(quoted(path) + " is not a regular file");
  if (kind != PathKind::kFile) fail("no file " + quoted(path));
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
  // Reads keep to the archive's DATA folder unless `followLinks`: a link
  // that leads out of it is taken for missing.
  Commands(const std::string& root, bool followLinks)
      : confined_(FileSystem::Default(), ArchiveLayout(ProgramDirectory(withSeparator(root))).Root()),
        archive_(ArchiveLayout(ProgramDirectory(withSeparator(root))),
                 followLinks ? FileSystem::Default() : static_cast<FileSystem&>(confined_)),
        layout_(archive_.Layout()) {
    if (!isDirectory(root)) fail("no folder " + quoted(root));
    if (!isDirectory(layout_.Root())) refuseRoot(root);
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
    if (!IsFolder(layout_.RaceDirectory(game, race))) {
      fail("no race " + std::to_string(race) + " stored for game " + quoted(game));
    }
    for (int32_t turn : archive_.ListTurns(game, race)) out << turn << '\n';
  }

  // Writes every hit, reports skipped files to `err`; false when a file
  // was skipped.
  bool Search(const SearchOptions& options, std::ostream& out, std::ostream& err) const {
    if (options.turns.game) CheckGame(*options.turns.game);
    const auto write = [&](const std::string& text) {
      out.write(text.data(), static_cast<std::streamsize>(text.size()));
    };
    const int skipped = WriteSearchHits(
        archive_, options, hitText, write,
        [&](const std::string& path, const std::string& reason) { skip(path, reason, err); });
    return skipped == 0;
  }

  bool Export(const std::string& game, int32_t race, bool allMessages, ExportFormat format,
              char delimiter, std::ostream& out, std::ostream& err) const {
    CheckGame(game);
    if (!IsFolder(layout_.RaceDirectory(game, race))) {
      fail("no race " + std::to_string(race) + " stored for game " + quoted(game));
    }
    const int skipped = ExportMessages(
        archive_, game, race, allMessages, format, out,
        [&](const std::string& path, const std::string& reason) { skip(path, reason, err); },
        delimiter);
    return skipped == 0;
  }

  // Writes the report to `path`, or to `out` when it is empty; reports
  // skipped files to `err`; false when a file was skipped.
  bool Report(const std::string& game, int32_t race, const std::string& path, std::ostream& out,
              std::ostream& err) const {
    CheckGame(game);
    if (!IsFolder(layout_.RaceDirectory(game, race))) {
      fail("no race " + std::to_string(race) + " stored for game " + quoted(game));
    }
    ProgressLine progress(err, std::string(kProgram) + ": report: ");
    int skipped = 0;
    const auto write = [&](std::ostream& to) {
      skipped = WriteDiplomacyReport(
                    archive_, game, race, to,
                    [&](const std::string& file, const std::string& reason) { skip(file, reason, err); },
                    std::ref(progress))
                    .skipped;
    };
    if (path.empty()) {
      write(out);
      return skipped == 0;
    }
    try {
      FileGroupWriter files(FileSystem::Default());
      files.Add(path, write);
      files.Commit();
    } catch (const LExc_Base& e) {
      fail(e.text());
    }
    return skipped == 0;
  }

  void Show(const std::string& game, int32_t race, int32_t turn, std::ostream& out) const {
    CheckGame(game);
    const std::string path = layout_.TurnFile(game, race, turn);
    CurrentGame current;
    readTable(archive_.Files(), path, current.MessageTable());
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
  // A root without a DATA folder: most likely the DATA folder itself.
  [[noreturn]] static void refuseRoot(const std::string& root) {
    std::string folder = root;
    while (folder.size() > 1 && (folder.back() == '/' || folder.back() == kPathSeparator)) {
      folder.pop_back();
    }
    const size_t slash = folder.find_last_of(std::string("/") + kPathSeparator);
    const std::string name = slash == std::string::npos ? folder : folder.substr(slash + 1);
    std::string upper;
    for (char c : name) upper += static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    if (upper == "DATA") {
      const std::string parent = slash == std::string::npos ? "." : folder.substr(0, slash + 1);
      fail(quoted(root) + " is the DATA folder itself: --root names the folder that holds it (" +
           quoted(parent) + ")");
    }
    fail("no DATA folder in " + quoted(root) +
         ": --root names the folder that holds the reader's program and its DATA folder");
  }

  static std::string withSeparator(std::string root) {
    if (!root.empty() && root.back() != '/' && root.back() != kPathSeparator) root += kPathSeparator;
    return root;
  }

  // Appends a hit's header line, then each line of its text after a tab.
  static void hitText(const SearchHit& hit, std::string& piece) {
    const auto number = [&](long long value) { piece += std::to_string(value); };
    piece += hit.where.game;
    piece += "\trace ";
    number(hit.where.race);
    piece += "\tturn ";
    number(hit.where.turn);
    piece += "\tmessage ";
    number(hit.message.id);
    piece += hit.message.incoming ? "\tincoming\t" : "\toutgoing\t";
    piece += hit.otherRace;
    piece += '\n';
    const std::string_view text = hit.message.text;
    for (size_t start = 0; start < text.size();) {
      size_t end = text.find('\n', start);
      if (end == std::string_view::npos) end = text.size();
      size_t stop = end;
      if (stop > start && text[stop - 1] == '\r') --stop;
      piece += '\t';
      piece.append(text.data() + start, stop - start);
      piece += '\n';
      start = end + 1;
    }
  }

  static void skip(const std::string& path, const std::string& reason, std::ostream& err) {
    err << kProgram << ": skipped " << quoted(path) << ": " << reason << '\n';
  }

  // A folder of the archive, as the store sees it (links out of DATA
  // missing unless they are followed).
  bool IsFolder(const std::string& path) const {
    return archive_.Files().Kind(path) == PathKind::kDirectory;
  }

  void CheckGame(const std::string& game) const {
    if (!IsUsableGameName(game) || !IsFolder(layout_.GameDirectory(game))) {
      fail("no game " + quoted(game) + " in " + quoted(layout_.Root()));
    }
  }

  ConfinedFileSystem confined_;
  TurnStore archive_;
  const ArchiveLayout& layout_;
};

void expectArguments(const CommandLine& line, size_t count, const char* form) {
  if (line.words.size() != count + 1) usage(std::string("usage: ") + kProgram + " " + form);
}

// Output that could not be written (a full disk, a closed pipe) fails the
// command: a script must not take a cut export for a whole one.
bool written(std::ostream& out) {
  out.flush();
  return !out.fail();
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

// The CSV delimiter: one character that cannot be part of a quoted field's
// syntax.
char exportDelimiter(const CommandLine& line, ExportFormat format) {
  const auto found = line.values.find("--delimiter");
  if (found == line.values.end()) return ',';
  const std::string& text = found->second;
  if (format != ExportFormat::kCsv) usage("--delimiter is for CSV, not JSON");
  if (text.size() != 1 || text == "\"" || text == "\r" || text == "\n") {
    usage("the delimiter " + quoted(text) + " is not one character other than a quote or a line end");
  }
  return text[0];
}

// The file -o (or --output) names; empty for the output.
std::string outputFile(const CommandLine& line) {
  for (const char* option : {"-o", "--output"}) {
    const auto found = line.values.find(option);
    if (found == line.values.end()) continue;
    if (found->second.empty()) usage(std::string(option) + " needs a file");
    return found->second;
  }
  return std::string();
}

// The commands that stream their output: what they found so far stays
// written when a file is skipped. Returns the exit status.
int runStreaming(const CommandLine& line, std::ostream& out, std::ostream& err) {
  const std::string& command = line.words[0];
  if (command == "search") {
    allowOnly(line, command,
              {"--game", "--race", "--from-turn", "--to-turn", "--player-post", "--ignore-case"});
    expectArguments(line, 1, findCommand("search")->usage);
    const SearchOptions options = searchOptions(line);
    return Commands(line.root(), line.has("--follow-links")).Search(options, out, err) ? kExitOk : kExitError;
  }
  if (command == "report") {
    allowOnly(line, command, {"-o", "--output"});
    expectArguments(line, 2, findCommand("report")->usage);
    if (line.has("-o") && line.has("--output")) usage("-o and --output name the same file");
    const int32_t race = raceArgument(line.words[2]);
    return Commands(line.root(), line.has("--follow-links")).Report(line.words[1], race, outputFile(line), out, err)
               ? kExitOk
               : kExitError;
  }
  allowOnly(line, command, {"--format", "--delimiter", "--all-messages"});
  expectArguments(line, 2, findCommand("export")->usage);
  const int32_t race = raceArgument(line.words[2]);
  const ExportFormat format = exportFormat(line);
  const char delimiter = exportDelimiter(line, format);
  return Commands(line.root(), line.has("--follow-links"))
                 .Export(line.words[1], race, line.has("--all-messages"), format, delimiter, out,
                         err)
             ? kExitOk
             : kExitError;
}

bool isStreaming(const std::string& command) {
  return command == "search" || command == "export" || command == "report";
}


void run(const CommandLine& line, std::ostream& out) {
  const std::string& command = line.words[0];
  allowOnly(line, command, {});
  if (command == "dump") {
    expectArguments(line, 1, "dump FILE.sav");
    SmartCache table;
    readTable(FileSystem::Default(), line.words[1], table);
    dumpCache(table, out);
    return;
  }
  if (command == "games") {
    expectArguments(line, 0, "--root DIR games");
    Commands(line.root(), line.has("--follow-links")).Games(out);
  } else if (command == "races") {
    expectArguments(line, 1, "--root DIR races GAME");
    Commands(line.root(), line.has("--follow-links")).Races(line.words[1], out);
  } else if (command == "turns") {
    expectArguments(line, 2, "--root DIR turns GAME RACE");
    const int32_t race = raceArgument(line.words[2]);
    Commands(line.root(), line.has("--follow-links")).Turns(line.words[1], race, out);
  } else {
    expectArguments(line, 3, "--root DIR show GAME RACE TURN");
    const int32_t race = raceArgument(line.words[2]);
    const int32_t turn = turnArgument(line.words[3]);
    Commands(line.root(), line.has("--follow-links")).Show(line.words[1], race, turn, out);
  }
}

TextEncoding encodingOf(const CommandLine& line, TextEncoding system) {
  const auto found = line.values.find("--encoding");
  if (found == line.values.end()) return system;
  if (found->second == "cp1252") return TextEncoding::kCp1252;
  if (found->second == "utf-8" || found->second == "utf8") return TextEncoding::kUtf8;
  usage("unknown encoding " + quoted(found->second) + ", not cp1252 or utf-8");
}

// An argument in the program's own code page: from UTF-8, it must hold
// only characters the code page has.
std::string argumentText(const std::string& text, TextEncoding encoding) {
  if (encoding == TextEncoding::kCp1252) return text;
  std::string converted;
  if (Utf8ToCp1252Exactly(text, &converted)) return converted;
  std::string loose;  // '?' for what the code page lacks
  if (!Utf8ToCp1252(text, &loose)) fail("the argument " + quoted(text) + " is not UTF-8");
  const std::string& shown = loose;
  fail("the argument " + quoted(shown) + " holds a character that code page 1252 lacks");
}

// The command line with every word and value in the program's code page.
CommandLine inCodePage(CommandLine line, TextEncoding encoding) {
  for (std::string& word : line.words) word = argumentText(word, encoding);
  for (auto& [option, value] : line.values) value = argumentText(value, encoding);
  return line;
}

// Whether the output of the command line is text to be put in the
// system's conventions: not the file bytes of show and dump, not JSON.
bool outputIsText(const CommandLine& line) {
  if (line.help || line.version || line.words.empty()) return true;
  const std::string& command = line.words[0];
  if (command == "show" || command == "dump" || command == "report") return false;
  const auto format = line.values.find("--format");
  return !(command == "export" && format != line.values.end() && format->second == "json");
}

int runLine(const CommandLine& line, std::ostream& out, std::ostream& err);

}  // namespace

TextEncoding EncodingOfCharset(const std::string& charset) {
  std::string name;
  for (char c : charset) {
    if (c != '-' && c != '_') name += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  }
  return name == "utf8" ? TextEncoding::kUtf8 : TextEncoding::kCp1252;
}

int RunArchiveCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                  const SystemConventions& conventions) {
  CommandLine line;
  TextEncoding encoding = conventions.encoding;
  std::optional<Failure> refused;
  try {
    line = parse(args);
    encoding = encodingOf(line, conventions.encoding);
    line = inCodePage(std::move(line), encoding);
  } catch (const Failure& failure) {
    refused = failure;
  }
  // Messages name paths and games: they follow the encoding too.
  ConventionsFilter errorFilter(err.rdbuf(), encoding == TextEncoding::kUtf8, false);
  std::ostream errors(&errorFilter);
  if (refused) {
    errors << kProgram << ": " << refused->message << '\n' << std::flush;
    return refused->status;
  }
  // The bytes of show and the page of report go out as they are.
  const bool asIs = !line.words.empty() && (line.words[0] == "show" || line.words[0] == "report");
  ConventionsFilter filter(out.rdbuf(), outputIsText(line) && encoding == TextEncoding::kUtf8,
                           conventions.crLf && !asIs, conventions.terminal);
  std::ostream filtered(&filter);
  const int status = runLine(line, filtered, errors);
  errors.flush();
  return status;
}

namespace {

int runLine(const CommandLine& line, std::ostream& out, std::ostream& err) {
  const auto unwritten = [&] {
    err << kProgram << ": cannot write the output\n";
    return kExitError;
  };
  try {
    if (line.help || line.version) {
      const CommandHelp* command = line.words.empty() ? nullptr : findCommand(line.words[0]);
      if (line.version) {
        out << kProgram << ' ' << kVersionMajor << '.' << kVersionMinor << '.' << kVersionPatch
            << '\n';
      } else if (command != nullptr) {
        out << commandHelp(*command);
      } else if (!line.words.empty()) {
        usage("unknown command " + quoted(line.words[0]));
      } else {
        out << generalHelp();
      }
      return written(out) ? kExitOk : unwritten();
    }
    if (line.words.empty()) usage("no command given");
    const std::string& command = line.words[0];
    if (findCommand(command) == nullptr) usage("unknown command " + quoted(command));
    if (command != "dump" && !line.has("--root")) usage("the command " + command + " needs --root DIR");
    if (isStreaming(command)) {
      const int status = runStreaming(line, out, err);
      return written(out) ? status : unwritten();
    }
    std::ostringstream result;
    run(line, result);
    out << result.str();
    return written(out) ? kExitOk : unwritten();
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

}  // namespace
