#include "sim/fake_game.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "reader/game_windows.h"
#include "reader/player_relations.h"

namespace {

bool sameClass(const char* a, const char* b) {
  for (; *a != '\0' && *b != '\0'; ++a, ++b) {
    if (std::tolower(static_cast<unsigned char>(*a)) != std::tolower(static_cast<unsigned char>(*b))) {
      return false;
    }
  }
  return *a == *b;
}

// Copies an entry whole, as CB_GETLBTEXT and LB_GETTEXT do (they take no
// buffer size): the caller must have asked for its length.
MessageResult copyEntry(const std::string& text, LongParam lParam) {
  std::memcpy(reinterpret_cast<char*>(lParam), text.c_str(), text.size() + 1);
  return static_cast<MessageResult>(text.size());
}

// A list box without strings answers LB_GETTEXT with its entry's item
// data: four bytes, no terminating zero.
MessageResult copyItemData(uint32_t data, LongParam lParam) {
  std::memcpy(reinterpret_cast<char*>(lParam), &data, sizeof(data));
  return sizeof(data);
}

}  // namespace

MessageResult CopyWindowText(const std::string& text, MessageParam capacity, LongParam lParam) {
  if (capacity == 0 || lParam == 0) return 0;
  const size_t count = std::min<size_t>(text.size(), capacity - 1);
  char* buffer = reinterpret_cast<char*>(lParam);
  std::memcpy(buffer, text.data(), count);
  buffer[count] = '\0';
  return static_cast<MessageResult>(count);
}

std::vector<FakeGame::Window> FakeGame::Windows() const {
  const Scenario& s = model_.scenario();
  const bool german = s.language == Scenario::Language::kGerman;
  std::vector<Window> windows;
  if (s.noFrame || model_.Vanished()) return windows;
  windows.push_back({kFrame, kNoWindow, game_ui::kFrameClass, s.title});
  if (!s.noPane) {
    windows.push_back({kPane, kFrame, game_ui::kPaneClass, ""});
    const Window reading{kReadingEdit, kPane, game_ui::kEditClass, ""};
    const Window compose{kComposeEdit, kPane, game_ui::kEditClass, ""};
    if (s.singleEdit) {
      windows.push_back(reading);
    } else {
      windows.push_back(s.composeEditFirst ? compose : reading);
      windows.push_back(s.composeEditFirst ? reading : compose);
    }
    if (!s.noNextButton) {
      windows.push_back({kNextButton, kPane, game_ui::kButtonClass,
                         german ? game_ui::kNextGerman : game_ui::kNextEnglish});
    }
    if (!s.noPrevButton) {
      windows.push_back({kPrevButton, kPane, game_ui::kButtonClass,
                         german ? game_ui::kPrevGerman : game_ui::kPrevEnglish});
    }
    if (!s.noCombo) windows.push_back({kCombo, kPane, game_ui::kComboClass, ""});
  }
  if (model_.DialogOpen()) {
    windows.push_back({kDialog, kNoWindow, game_ui::kDialogClass,
                       german ? game_ui::kRelationsGerman : game_ui::kRelationsEnglish});
  }
  if (model_.DialogShown()) {
    if (!s.noListBox) windows.push_back({kListBox, kDialog, game_ui::kListBoxClass, ""});
    if (!s.noFriendButton) {
      windows.push_back({kFriendButton, kDialog, game_ui::kButtonClass,
                         german ? game_ui::kFriendGerman : game_ui::kFriendEnglish});
    }
    if (!s.noNeutralButton) {
      windows.push_back({kNeutralButton, kDialog, game_ui::kButtonClass, game_ui::kNeutral});
    }
    if (!s.noEnemyButton) {
      windows.push_back({kEnemyButton, kDialog, game_ui::kButtonClass,
                         german ? game_ui::kEnemyGerman : game_ui::kEnemyEnglish});
    }
  }
  return windows;
}

bool FakeGame::Exists(WindowHandle window) const {
  const std::vector<Window> windows = Windows();
  return std::any_of(windows.begin(), windows.end(),
                     [&](const Window& w) { return w.handle == window; });
}

WindowHandle FakeGame::FindWindowExA(WindowHandle parent, WindowHandle childAfter,
                                     const char* className, const char* caption) {
  calls_.push_back({WindowCall::Kind::kFind, parent, 0, childAfter, 0,
                    std::string(className ? className : "") + "/" + (caption ? caption : "")});
  bool searching = childAfter == kNoWindow;
  for (const Window& w : Windows()) {
    if (w.parent != parent) continue;
    if (!searching) {
      searching = w.handle == childAfter;
      continue;
    }
    if (className != nullptr && !sameClass(className, w.className)) continue;
    if (caption != nullptr && w.caption != caption) continue;
    return w.handle;
  }
  return kNoWindow;
}

MessageResult FakeGame::SendMessageA(WindowHandle window, uint32_t message, MessageParam wParam,
                                     LongParam lParam) {
  calls_.push_back({WindowCall::Kind::kSend, window, message, wParam, lParam, ""});
  if (model_.Hung()) throw GameNotResponding();
  // As through user32: nothing to send to no window; a window that is gone
  // cannot answer.
  if (window == kNoWindow) return 0;
  if (!Exists(window)) throw GameNotResponding();
  switch (window) {
    case kFrame:
      return message == win::kWmGetText ? CopyWindowText(model_.scenario().title, wParam, lParam) : 0;
    case kReadingEdit:
      return message == win::kWmGetText ? CopyWindowText(model_.ReadingText(), wParam, lParam) : 0;
    case kComposeEdit:
      return message == win::kWmGetText ? CopyWindowText(model_.ComposeText(), wParam, lParam) : 0;
    case kPane:
      return PaneMessage(message, wParam, lParam);
    case kNextButton:
      if (message == win::kWmLButtonUp) model_.PressNext();
      return 0;
    case kPrevButton:
      if (message == win::kWmLButtonUp) model_.PressPrev();
      return 0;
    case kCombo:
      return ComboMessage(message, wParam, lParam);
    case kListBox:
      return ListMessage(message, wParam, lParam);
    case kDialog:
      if (message == win::kWmClose) model_.CloseDialog();
      return 0;
    default:
      return RelationButtonMessage(window, message);
  }
}

MessageResult FakeGame::PaneMessage(uint32_t message, MessageParam wParam, LongParam lParam) {
  const auto low = static_cast<int32_t>(static_cast<int16_t>(lParam & 0xFFFF));
  const auto high = static_cast<int32_t>(static_cast<int16_t>((lParam >> 16) & 0xFFFF));
  if (message == win::kWmKeyDown && wParam == win::kVkHome) model_.Home();
  if (message == win::kWmKeyDown && wParam == win::kVkDown) model_.Down();
  if (message == win::kWmLButtonUp) model_.ClickPane(low, high);
  if (message == win::kWmSize) model_.Resize(low & 0xFFFF, high & 0xFFFF);
  return 0;
}

MessageResult FakeGame::ComboMessage(uint32_t message, MessageParam wParam, LongParam lParam) {
  const std::vector<std::string>& entries = model_.EntryTexts(GameModel::Entries::kRecipients);
  const bool valid = wParam < entries.size();
  switch (message) {
    case win::kCbGetCurSel:
      return model_.ComboSelection();
    case win::kCbGetLbTextLen: {
      if (!valid) return win::kCbErr;
      const auto length = static_cast<MessageResult>(entries[wParam].size());
      model_.EntryLengthAsked(GameModel::Entries::kRecipients, wParam);
      return length;
    }
    case win::kCbGetLbText:
      return valid ? copyEntry(entries[wParam], lParam) : win::kCbErr;
    default:
      return 0;
  }
}

MessageResult FakeGame::ListMessage(uint32_t message, MessageParam wParam, LongParam lParam) {
  const std::vector<std::string>& entries = model_.EntryTexts(GameModel::Entries::kRelations);
  const bool valid = wParam < entries.size();
  const bool numbers = model_.scenario().listWithoutStrings;
  switch (message) {
    case win::kWmKeyDown:
      if (wParam == win::kVkHome) model_.ListHome();
      if (wParam == win::kVkDown) model_.ListDown();
      return 0;
    case win::kLbGetCurSel:
      return model_.ListSelection();
    case win::kLbGetTextLen: {
      if (!valid) return win::kLbErr;
      if (numbers) return sizeof(uint32_t);
      const auto length = static_cast<MessageResult>(entries[wParam].size());
      model_.EntryLengthAsked(GameModel::Entries::kRelations, wParam);
      return length;
    }
    case win::kLbGetText:
      if (!valid) return win::kLbErr;
      if (numbers) return copyItemData(static_cast<uint32_t>(wParam + 1), lParam);
      return copyEntry(entries[wParam], lParam);
    default:
      return 0;
  }
}

MessageResult FakeGame::RelationButtonMessage(WindowHandle button, uint32_t message) {
  if (message != win::kBmGetCheck) return 0;
  const int shown = model_.SelectedRelation();
  const bool checked = (button == kFriendButton && shown == 0) ||
                       (button == kNeutralButton && shown == 1) ||
                       (button == kEnemyButton && shown == 2);
  return checked ? win::kBstChecked : 0;
}

bool FakeGame::PostMessageA(WindowHandle window, uint32_t message, MessageParam wParam,
                            LongParam lParam) {
  calls_.push_back({WindowCall::Kind::kPost, window, message, wParam, lParam, ""});
  if (!Exists(window)) return false;
  if (window == kFrame && message == win::kWmCommand && wParam == game_ui::kRelationsCommand) {
    model_.RequestRelations();
  }
  return true;
}

int32_t FakeGame::GetWindowLongA(WindowHandle window, int32_t index) {
  calls_.push_back({WindowCall::Kind::kGetLong, window, static_cast<uint32_t>(index), 0, 0, ""});
  if (index != win::kGwlStyle || !Exists(window)) return 0;
  uint32_t style = win::kWsVisible;
  switch (window) {
    case kReadingEdit:
      style |= win::kEsReadOnly;
      break;
    case kComposeEdit:
      style = model_.ComposeMode() ? win::kWsVisible : 0;
      break;
    case kListBox:
      if (model_.scenario().listWithoutStrings) style |= win::kLbsOwnerDrawFixed;
      break;
    case kDialog:
      if (!model_.DialogShown()) style = 0;
      break;
    case kNextButton:
      if (model_.NextDisabled()) style |= win::kWsDisabled;
      break;
    case kPrevButton:
      if (model_.PrevDisabled()) style |= win::kWsDisabled;
      break;
    case kCombo:
      style = model_.ComposeMode() && !model_.scenario().comboHidden ? win::kWsVisible : 0;
      break;
    default:
      break;
  }
  return static_cast<int32_t>(style);
}

bool FakeGame::GetClientRect(WindowHandle window, WindowRect* rect) {
  calls_.push_back({WindowCall::Kind::kGetClientRect, window, 0, 0, 0, ""});
  if (!Exists(window)) return false;
  *rect = WindowRect{0, 0, model_.PaneWidth(), model_.PaneHeight()};
  return true;
}

bool FakeGame::ShowWindow(WindowHandle window, int32_t command) {
  calls_.push_back({WindowCall::Kind::kShow, window, static_cast<uint32_t>(command), 0, 0, ""});
  if (window == kFrame && command == win::kSwShowMaximized) model_.Maximize();
  return Exists(window);
}

void FakeGame::Sleep(uint32_t milliseconds) {
  calls_.push_back({WindowCall::Kind::kSleep, kNoWindow, milliseconds, 0, 0, ""});
  model_.Wait();
}

std::vector<WindowCall> FakeGame::Actions() const {
  std::vector<WindowCall> actions;
  for (const WindowCall& call : calls_) {
    if (call.kind != WindowCall::Kind::kFind && call.kind != WindowCall::Kind::kGetLong &&
        call.kind != WindowCall::Kind::kGetClientRect) {
      actions.push_back(call);
    }
  }
  return actions;
}
