#include "app/message_capture.h"

#include <algorithm>
#include <vector>

#include "app/stored_turns.h"
#include "app/user_interface.h"
#include "archive/turn_store.h"
#include "cache/cache_sort.h"
#include "reader/current_game.h"
#include "reader/game_tables.h"
#include "reader/game_windows.h"
#include "reader/message_classifier.h"
#include "reader/player_relations.h"
#include "support/text_format.h"

namespace {

constexpr MessageParam kMessageRequest = 9999;
constexpr size_t kMessageBuffer = 10000;

void resetGame(CurrentGame& game) {
  game.ClearIdentity();
  game.MessageTable().resetSchema();
  game.RaceTable().resetSchema();
  DefineTableColumns(game, game.MessageTable());
}

}  // namespace

CommandOutcome MessageCapture::AfterCapture() {
  CommandOutcome outcome;
  outcome.restore = true;
  outcome.refresh = true;
  outcome.marks = nullptr;  // the capture starts the game anew
  return outcome;
}

CommandOutcome MessageCapture::OnReadFromGame(CurrentGame& game) {
  ReadFromGame(game);
  return AfterCapture();
}

void MessageCapture::SayIfAny(const std::string& problem) {
  if (!problem.empty()) ui_.ShowError(problem);
}

void MessageCapture::ReadFromGame(CurrentGame& game) {
  resetGame(game);
  try {
    if (!ReadTurn(game)) return;
  } catch (const GameNotResponding&) {
    ui_.ShowError(program_ui::kNotResponding);
    return;
  }
  SmartCache& messages = game.MessageTable();
  sortRows(messages, messages.templateRow().columnIndex(MSGRACNO));
  // The text file follows only a stored turn, so that it never tells of a
  // turn whose .sav file kept the old version.
  if (SaveTurnOrSay(store_, ui_, game)) ExportTurnTextOrSay(store_, ui_, game);
}

bool MessageCapture::ReadTurn(CurrentGame& game) {
  GameWindows windows;
  std::string problem;
  if (!FindGameWindows(ops_, &windows, &problem)) {
    ui_.ShowError(problem);
    return false;
  }
  int32_t turn = 0;
  if (!ui_.AskTurn(game.GameName(), &turn)) return false;
  game.SetTurn(turn);
  SayIfAny(ReadPlayerRelations(ops_, game));
  const GameTitle title = ReadGameTitle(ops_, &problem);
  SayIfAny(problem);
  game.SetGameName(title.gameName);
  game.SetRaceNumber(title.raceNumber);
  if (game.GameName().empty() || game.RaceNumber() < 0) return false;
  if (!IsRaceNumber(game.RaceNumber())) {
    // Stored under a folder no listing takes, the turn could never be seen.
    ui_.ShowError(formatText(program_ui::kRaceOutOfBounds, static_cast<int>(game.RaceNumber()) + 1,
                             static_cast<int>(kRaceCount)));
    return false;
  }
  if (!MayOverwrite(game)) return false;

  ops_.ShowWindow(windows.frame, win::kSwShowMaximized);
  SetPaneMode(ops_, kReadingMode, windows.pane, windows.composeEdit);
  WindowRect client;
  ops_.GetClientRect(windows.pane, &client);
  const LongParam savedSize = win::MakePoint(client.right, client.bottom);
  ops_.SendMessageA(windows.pane, win::kWmSize, win::kSizeRestored,
                    win::MakePoint(client.right, capture_limits::kReadingHeight));
  PressKey(ops_, windows.pane, win::kVkHome);
  const int32_t number = ReadIncoming(game, windows);

  const WindowHandle combo = ops_.FindWindowExA(windows.pane, kNoWindow, game_ui::kComboClass, nullptr);
  SetPaneMode(ops_, kComposeMode, windows.pane, windows.composeEdit);
  if (HasStyle(ops_, combo, win::kWsVisible)) ReadOutgoing(game, windows, combo, number);
  ops_.SendMessageA(windows.pane, win::kWmSize, win::kSizeRestored, savedSize);
  SetPaneMode(ops_, kReadingMode, windows.pane, windows.composeEdit);
  return true;
}

bool MessageCapture::MayOverwrite(CurrentGame& game) {
  const std::vector<int32_t> stored = store_.ListTurns(game.GameName(), game.RaceNumber());
  if (std::find(stored.begin(), stored.end(), game.Turn()) == stored.end()) return true;
  const std::string question =
      formatText(program_ui::kOverwriteQuestion, static_cast<int>(game.Turn()),
                 game.GameName().c_str(), static_cast<int>(game.RaceNumber()));
  if (ui_.AskOkCancel(program_ui::kProgramCaption, question)) return true;
  LoadTurnOrSay(store_, ui_, game, game.GameName(), game.RaceNumber(), game.Turn());
  return false;
}

std::string MessageCapture::ReadEdit(WindowHandle edit) {
  std::vector<char> buffer(kMessageBuffer, '\0');
  ops_.SendMessageA(edit, win::kWmGetText, kMessageRequest, reinterpret_cast<LongParam>(buffer.data()));
  buffer[kMessageRequest] = '\0';  // never more than 9999 characters, whatever was written
  return buffer.data();
}

int32_t MessageCapture::ReadIncoming(CurrentGame& game, const GameWindows& windows) {
  int32_t number = 0;
  for (int pass = 0; pass < capture_limits::kMaxIncoming; ++pass) {
    ++number;
    const std::string text = ReadEdit(windows.readingEdit);
    AddMessageRow(game, text.c_str(), number, 1, -1);
    if (HasStyle(ops_, windows.nextButton, win::kWsDisabled)) break;
    PressKey(ops_, windows.pane, win::kVkDown);
  }
  return number;
}

void MessageCapture::ReadOutgoing(CurrentGame& game, const GameWindows& windows,
                                  WindowHandle combo, int32_t number) {
  for (int press = 0; press < capture_limits::kMaxPrevPresses &&
                      !HasStyle(ops_, windows.prevButton, win::kWsDisabled);
       ++press) {
    Click(ops_, windows.prevButton);
  }
  for (int pass = 0; pass < capture_limits::kMaxOutgoing; ++pass) {
    // The first 32 pages are read whatever the game shows. A page beyond
    // them is read only while Next is enabled: the game disables it on the
    // blank page after its last message, where a game of 32 messages or
    // fewer is by then.
    if (pass >= capture_limits::kOutgoingPasses &&
        HasStyle(ops_, windows.nextButton, win::kWsDisabled)) {
      break;
    }
    ++number;
    const MessageResult selection = ops_.SendMessageA(combo, win::kCbGetCurSel, 0, 0);
    if (selection >= 1) {
      const std::string text = ReadEdit(windows.composeEdit);
      if (!text.empty()) {
        AddMessageRow(game, text.c_str(), number, 0, static_cast<int32_t>(selection - 1));
      }
    }
    Click(ops_, windows.nextButton);
  }
}
