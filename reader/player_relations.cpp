#include "reader/player_relations.h"

#include <vector>

#include "reader/current_game.h"
#include "reader/game_tables.h"
#include "reader/game_windows.h"

namespace {

constexpr size_t kComboBuffer = 100;   // names of at most 99 characters
constexpr size_t kListBuffer = 1000;   // names of at most 999 characters
// Combo entries asked for at most, so that a combo box that never answers
// CB_ERR cannot hold the capture.
constexpr MessageParam kMaxComboEntries = 10000;

// How a combo box or list box gives its entries.
struct EntryMessages {
  uint32_t length;  // CB_GETLBTEXTLEN, LB_GETTEXTLEN
  uint32_t text;    // CB_GETLBTEXT, LB_GETTEXT
  size_t buffer;    // names of at most buffer - 1 characters are taken
};
constexpr EntryMessages kComboEntries{win::kCbGetLbTextLen, win::kCbGetLbText, kComboBuffer};
constexpr EntryMessages kListEntries{win::kLbGetTextLen, win::kLbGetText, kListBuffer};

// Entry `index` of a combo box or list box as a name: "<name too long>"
// for a name longer than the buffer allows, also when the entry grew that
// long after its length was asked for. False when there is no such entry
// (CB_ERR, LB_ERR).
bool readEntry(WindowOps& ops, WindowHandle window, const EntryMessages& messages,
               MessageParam index, std::string* name) {
  const auto limit = static_cast<MessageResult>(messages.buffer - 1);
  const MessageResult length = ops.SendMessageA(window, messages.length, index, 0);
  if (length < 0) return false;  // CB_ERR, LB_ERR
  if (length > limit) {
    *name = game_ui::kNameTooLong;
    return true;
  }
  std::vector<char> buffer(static_cast<size_t>(length) + kEntryGrowthRoom + 1, '\0');
  const MessageResult got =
      ops.SendMessageA(window, messages.text, index, reinterpret_cast<LongParam>(buffer.data()));
  if (got < 0) return false;  // gone since its length was asked for
  if (got > limit) {
    *name = game_ui::kNameTooLong;
    return true;
  }
  buffer[static_cast<size_t>(got)] = '\0';
  *name = buffer.data();
  return true;
}

bool comboEntry(WindowOps& ops, WindowHandle combo, MessageParam index, std::string* name) {
  return readEntry(ops, combo, kComboEntries, index, name);
}

// The list box's selected entry; empty when there is none.
std::string selectedListEntry(WindowOps& ops, WindowHandle list) {
  const MessageResult selection = ops.SendMessageA(list, win::kLbGetCurSel, 0, 0);
  std::string name;
  readEntry(ops, list, kListEntries, static_cast<MessageParam>(selection), &name);
  return name;
}

// False for a list box whose entries are numbers that its owner draws as
// it likes (owner-drawn without LBS_HASSTRINGS): they hold no names.
bool listHasTexts(WindowOps& ops, WindowHandle list) {
  const auto style = static_cast<uint32_t>(ops.GetWindowLongA(list, win::kGwlStyle));
  const bool ownerDrawn = (style & (win::kLbsOwnerDrawFixed | win::kLbsOwnerDrawVariable)) != 0;
  return !ownerDrawn || (style & win::kLbsHasStrings) != 0;
}

void addComboRaces(WindowOps& ops, WindowHandle pane, CurrentGame& game) {
  const WindowHandle combo = ops.FindWindowExA(pane, kNoWindow, game_ui::kComboClass, nullptr);
  if (combo == kNoWindow) return;
  SmartCache& races = game.RaceTable();
  std::string name;
  for (MessageParam i = 1; i < kMaxComboEntries && comboEntry(ops, combo, i, &name); ++i) {
    CacheRow row = races.templateRow();
    row.setString(RACNAMPLU, name);
    row.setLong(RACNO, static_cast<int32_t>(i - 1));
    row.setTimestamp(RACHROWID, game.RowClock().now());
    races.appendRow(row);
  }
}

// Dialogs of one caption looked at in one attempt, at most.
constexpr int kDialogsPerCaption = 16;

// The relations dialog once it is shown: a dialog window that is not yet
// visible may still be making its controls.
WindowHandle waitForDialog(WindowOps& ops) {
  for (int attempt = 0; attempt < game_ui::kDialogAttempts; ++attempt) {
    for (const char* caption : {game_ui::kRelationsGerman, game_ui::kRelationsEnglish}) {
      WindowHandle dialog = kNoWindow;
      for (int k = 0; k < kDialogsPerCaption; ++k) {
        dialog = ops.FindWindowExA(kNoWindow, dialog, game_ui::kDialogClass, caption);
        if (dialog == kNoWindow) break;
        if (HasStyle(ops, dialog, win::kWsVisible)) return dialog;
      }
    }
    ops.Sleep(game_ui::kDialogWait);
  }
  return kNoWindow;
}

WindowHandle findButton(WindowOps& ops, WindowHandle dialog, const char* first, const char* second) {
  const WindowHandle button = ops.FindWindowExA(dialog, kNoWindow, game_ui::kButtonClass, first);
  if (button != kNoWindow || second == nullptr) return button;
  return ops.FindWindowExA(dialog, kNoWindow, game_ui::kButtonClass, second);
}

// The dialog's three relation buttons.
struct RelationButtons {
  WindowHandle friendly, neutral, enemy;
  bool complete() const { return friendly && neutral && enemy; }
};

// The relation the buttons show, or -1 when none is checked.
int32_t checkedRelation(WindowOps& ops, const RelationButtons& buttons) {
  const std::pair<WindowHandle, int32_t> order[] = {
      {buttons.enemy, kEnemy}, {buttons.neutral, kNeutral}, {buttons.friendly, kFriend}};
  for (const auto& [button, relation] : order) {
    if (ops.SendMessageA(button, win::kBmGetCheck, 0, 0) == win::kBstChecked) return relation;
  }
  return -1;
}

void readDialog(WindowOps& ops, WindowHandle dialog, const GameTitle& title, CurrentGame& game) {
  const WindowHandle list = ops.FindWindowExA(dialog, kNoWindow, game_ui::kListBoxClass, nullptr);
  if (list == kNoWindow) return;
  const RelationButtons buttons{
      findButton(ops, dialog, game_ui::kFriendEnglish, game_ui::kFriendGerman),
      findButton(ops, dialog, game_ui::kNeutral, nullptr),
      findButton(ops, dialog, game_ui::kEnemyEnglish, game_ui::kEnemyGerman)};
  const bool names = listHasTexts(ops, list);
  PressKey(ops, list, win::kVkHome);

  SmartCache& races = game.RaceTable();
  for (int32_t race = 0; race < races.rowCount(); ++race) {
    const CachePosition position = game.FindRaceRow(race);
    CacheRow row = races.rowAt(position);
    if (race == title.raceNumber) {
      row.setString(RACNAMSING, title.raceName);
      row.setLong(RACRELATION, kFriend);
    } else {
      if (names) row.setString(RACNAMSING, selectedListEntry(ops, list));
      if (buttons.complete()) {
        const int32_t relation = checkedRelation(ops, buttons);
        if (relation >= 0) row.setLong(RACRELATION, relation);
      }
      PressKey(ops, list, win::kVkDown);
    }
    row.setTimestamp(RACHROWID, game.RowClock().now());
    races.replaceRow(position.slot(), row);
  }
  ops.SendMessageA(dialog, win::kWmClose, 0, 0);
}

}  // namespace

std::string ReadPlayerRelations(WindowOps& ops, CurrentGame& game) {
  DefineTableColumns(game, game.RaceTable());
  std::string problem;
  const GameTitle title = ReadGameTitle(ops, &problem);
  if (title.raceNumber == -1) return problem;
  const WindowHandle frame = ops.FindWindowExA(kNoWindow, kNoWindow, game_ui::kFrameClass, nullptr);
  if (frame == kNoWindow) return game_ui::kNoFrame;
  ops.ShowWindow(frame, win::kSwShowMaximized);
  const WindowHandle pane = ops.FindWindowExA(frame, kNoWindow, game_ui::kPaneClass, nullptr);
  if (pane == kNoWindow) {
    problem = game_ui::kNoPane;
  } else {
    addComboRaces(ops, pane, game);
  }
  ops.PostMessageA(frame, win::kWmCommand, game_ui::kRelationsCommand, 0);
  const WindowHandle dialog = waitForDialog(ops);
  if (dialog != kNoWindow) readDialog(ops, dialog, title, game);
  return problem;
}
