#include "sim/scenario.h"

#include <fstream>
#include <iterator>
#include <sstream>

#include "support/cp1252.h"

namespace {

// The file's lines, without their line ends.
std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

// `text` with every "{repeat N TEXT}" replaced by TEXT written N times.
std::string expand(const std::string& text) {
  static const std::string kOpen = "{repeat ";
  std::string result;
  size_t at = 0;
  for (size_t found; (found = text.find(kOpen, at)) != std::string::npos;) {
    const size_t close = text.find('}', found);
    const size_t blank = text.find(' ', found + kOpen.size());
    if (close == std::string::npos || blank == std::string::npos || blank > close) break;
    const std::string count = text.substr(found + kOpen.size(), blank - found - kOpen.size());
    if (count.empty() || count.size() > 6 || count.find_first_not_of("0123456789") != std::string::npos) {
      break;
    }
    result += text.substr(at, found - at);
    const std::string piece = text.substr(blank + 1, close - blank - 1);
    for (long n = std::stol(count); n > 0; --n) result += piece;
    at = close + 1;
  }
  return result + text.substr(at);
}

constexpr int kMaxEntryGrowth = Scenario::kMaxEntryGrowth;

class Parser {
 public:
  explicit Parser(std::vector<std::string> lines) : lines_(std::move(lines)) {}

  Scenario Parse() {
    while (next_ < lines_.size()) {
      const std::string line = lines_[next_++];
      if (line.empty() || line[0] == '#') continue;
      Directive(line);
    }
    if (scenario_.title.empty() && !scenario_.noFrame) Fail(lines_.size(), "no title given");
    return scenario_;
  }

 private:
  [[noreturn]] void Fail(size_t line, const std::string& message) const {
    throw ScenarioError("line " + std::to_string(line) + ": " + message);
  }

  // The lines of a block up to its line ".", dot-stuffed lines unstuffed.
  std::vector<std::string> Block() {
    const size_t start = next_;
    std::vector<std::string> block;
    while (next_ < lines_.size()) {
      const std::string& line = lines_[next_++];
      if (line == ".") return block;
      block.push_back(expand(line.size() > 1 && line[0] == '.' ? line.substr(1) : line));
    }
    Fail(start, "block not ended by a line \".\"");
  }

  // A block's lines joined by CR LF, as an edit control gives them.
  std::string Text() {
    std::string text;
    const std::vector<std::string> lines = Block();
    for (size_t i = 0; i < lines.size(); ++i) text += (i == 0 ? "" : "\r\n") + lines[i];
    return text;
  }

  int Number(const std::string& word) const {
    if (word.empty() || word.size() > 6 || word.find_first_not_of("0123456789") != std::string::npos) {
      Fail(next_, "\"" + word + "\" is not a number");
    }
    return std::stoi(word);
  }

  int RelationNamed(const std::string& word, size_t line) const {
    if (word == "friend") return 0;
    if (word == "neutral") return 1;
    if (word == "enemy") return 2;
    if (word == "none") return Scenario::kNoRelation;
    Fail(line, "unknown relation \"" + word + "\"");
  }

  void Relations() {
    const size_t first = next_ + 1;  // the block's first line
    const std::vector<std::string> block = Block();
    for (size_t i = 0; i < block.size(); ++i) {
      const size_t equals = block[i].rfind(" = ");
      if (equals == std::string::npos) Fail(first + i, "relation line without \" = \"");
      scenario_.relations.push_back(
          {block[i].substr(0, equals), RelationNamed(block[i].substr(equals + 3), first + i)});
    }
  }

  void Directive(const std::string& line) {
    const size_t blank = line.find(' ');
    const std::string word = line.substr(0, blank);
    const std::string value = blank == std::string::npos ? "" : line.substr(blank + 1);
    Scenario& s = scenario_;
    if (word == "language") {
      if (value != "english" && value != "german") Fail(next_, "unknown language \"" + value + "\"");
      s.language = value == "german" ? Scenario::Language::kGerman : Scenario::Language::kEnglish;
    } else if (word == "title") {
      s.title = expand(value);
    } else if (word == "recipients") {
      s.recipients = Block();
    } else if (word == "relations") {
      Relations();
    } else if (word == "incoming") {
      s.incoming.push_back(Text());
    } else if (word == "outgoing") {
      const int recipient = Number(value);
      s.outgoing.push_back({recipient, Text()});
    } else if (word == "stop-answering") {
      s.stopAnsweringAfterKeys = Number(value);
    } else if (word == "hang-after-title") {
      s.hangAfterTitles = Number(value);
    } else if (word == "vanish-after") {
      s.vanishAfterKeys = Number(value);
    } else if (word == "entries-grow") {
      s.entryGrowth = Number(value);
      if (s.entryGrowth > kMaxEntryGrowth) {
        Fail(next_, "entries-grow takes at most " + std::to_string(kMaxEntryGrowth));
      }
    } else if (word == "dialog-after") {
      s.dialogAfterWaits = Number(value);
    } else if (word == "dialog-hidden") {
      s.dialogHiddenWaits = Number(value);
    } else if (word == "no-button") {
      if (value == "friend") s.noFriendButton = true;
      else if (value == "neutral") s.noNeutralButton = true;
      else if (value == "enemy") s.noEnemyButton = true;
      else Fail(next_, "unknown button \"" + value + "\"");
    } else if (!Switch(word) || !value.empty()) {
      Fail(next_, "unknown line \"" + line + "\"");
    }
  }

  bool Switch(const std::string& word) {
    Scenario& s = scenario_;
    const std::pair<const char*, bool*> switches[] = {
        {"no-frame", &s.noFrame},           {"no-pane", &s.noPane},
        {"single-edit", &s.singleEdit},     {"compose-edit-first", &s.composeEditFirst},
        {"no-next-button", &s.noNextButton}, {"no-prev-button", &s.noPrevButton},
        {"no-combo", &s.noCombo},           {"combo-hidden", &s.comboHidden},
        {"no-listbox", &s.noListBox},       {"dialog-never", &s.dialogNever},
        {"list-without-strings", &s.listWithoutStrings},
        {"prev-never-disabled", &s.prevNeverDisabled},
        {"next-never-disabled", &s.nextNeverDisabled}};
    for (const auto& [name, flag] : switches) {
      if (word == name) {
        *flag = true;
        return true;
      }
    }
    return false;
  }

  std::vector<std::string> lines_;
  size_t next_ = 0;
  Scenario scenario_;
};

}  // namespace

Scenario ParseScenario(std::istream& in) {
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::string text = bytes;
  Utf8ToCp1252(bytes, &text);  // not UTF-8: the bytes are code page 1252 already
  return Parser(splitLines(text)).Parse();
}

Scenario LoadScenario(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw ScenarioError("cannot open scenario file \"" + path + "\"");
  return ParseScenario(in);
}
