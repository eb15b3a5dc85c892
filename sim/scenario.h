// A scenario: one turn of the game as its windows show it, read from a
// plain-text file (the format is described in sim/SCENARIOS.md).
#pragma once

#include <cstdint>
#include <istream>
#include <stdexcept>
#include <string>
#include <vector>

struct Scenario {
  enum class Language { kEnglish, kGerman };
  // The relation a relations-dialog entry shows; kNoRelation: no button
  // checked.
  static constexpr int kNoRelation = -1;

  struct Relation {
    std::string name;  // the list box entry (the race's singular name)
    int relation;      // 0 friend, 1 neutral, 2 enemy, or kNoRelation
  };
  struct Outgoing {
    int32_t recipient;  // the combo entry selected for it
    std::string text;
  };

  Language language = Language::kEnglish;
  std::string title;                    // the frame's title
  std::vector<std::string> recipients;  // combo entries, the first one is no race
  std::vector<Relation> relations;      // the relations dialog's entries
  std::vector<std::string> incoming;    // texts with CR LF line ends
  std::vector<Outgoing> outgoing;

  // The game's misbehaviour.
  bool noFrame = false;
  bool noPane = false;
  bool singleEdit = false;
  bool composeEditFirst = false;  // the compose edit is the pane's first Edit
  bool noNextButton = false;
  bool noPrevButton = false;
  bool noCombo = false;
  bool comboHidden = false;  // the combo box stays hidden in compose mode
  bool noListBox = false;
  bool noFriendButton = false;
  bool noNeutralButton = false;
  bool noEnemyButton = false;
  int dialogAfterWaits = 0;  // the dialog appears after this many waits
  // ... and then stays hidden, without its controls, for this many more
  // (a dialog that is still being made).
  int dialogHiddenWaits = 0;
  bool dialogNever = false;
  bool prevNeverDisabled = false;
  bool nextNeverDisabled = false;
  // The game stops answering messages once its pane has handled this many
  // key presses (-1: it always answers).
  int stopAnsweringAfterKeys = -1;
  // The game stops answering messages right after its frame has told its
  // title (WM_GETTEXT) this many times (-1: never).
  int hangAfterTitles = -1;
  // The game closes all its windows once its pane has handled this many
  // key presses (-1: never).
  int vanishAfterKeys = -1;
  // Each combo box and list box entry becomes this many characters longer
  // right after its length was first asked for, before it is read.
  int entryGrowth = 0;
  static constexpr int kMaxEntryGrowth = 4096;  // what a reader must allow for
  // The relations list box is owner-drawn without strings: its entries
  // are numbers, not texts.
  bool listWithoutStrings = false;
};

// A scenario file that cannot be read: the message names the line.
class ScenarioError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Reads a scenario. A file that is valid UTF-8 is taken as UTF-8 and
// turned into code page 1252, any other as code page 1252. Raises
// ScenarioError for a line it does not understand.
Scenario ParseScenario(std::istream& in);

// Reads the scenario file `path`; raises ScenarioError also when the file
// cannot be opened.
Scenario LoadScenario(const std::string& path);
