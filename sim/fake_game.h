// FakeGame: the game's windows inside the test process.
//
// A WindowOps that plays a scenario as the game would (GameModel) and
// records every call made to it, in order, so that tests can compare what
// the reader did with what it should have done. Sleep is recorded, not
// slept: it only lets the game's relations dialog come closer. A scenario
// that stops answering makes SendMessageA raise GameNotResponding.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "reader/window_ops.h"
#include "sim/game_model.h"
#include "sim/scenario.h"

// One call made to the fake.
struct WindowCall {
  enum class Kind { kFind, kSend, kPost, kGetLong, kGetClientRect, kShow, kSleep };
  Kind kind;
  WindowHandle window;  // the target; the parent for kFind
  uint32_t message;     // the message; kGetLong: the index; kShow: the command;
                        // kSleep: the milliseconds
  MessageParam wParam;  // kFind: the child after which the search starts
  LongParam lParam;
  std::string text;     // kFind: "class/caption"
};

class FakeGame : public WindowOps {
 public:
  // The game's windows, as the fake numbers them.
  enum : WindowHandle {
    kFrame = 0x100,
    kPane,
    kReadingEdit,
    kComposeEdit,
    kNextButton,
    kPrevButton,
    kCombo,
    kDialog,
    kListBox,
    kFriendButton,
    kNeutralButton,
    kEnemyButton,
  };

  explicit FakeGame(Scenario scenario) : model_(std::move(scenario)) {}

  WindowHandle FindWindowExA(WindowHandle parent, WindowHandle childAfter, const char* className,
                             const char* caption) override;
  MessageResult SendMessageA(WindowHandle window, uint32_t message, MessageParam wParam,
                             LongParam lParam) override;
  bool PostMessageA(WindowHandle window, uint32_t message, MessageParam wParam,
                    LongParam lParam) override;
  int32_t GetWindowLongA(WindowHandle window, int32_t index) override;
  bool GetClientRect(WindowHandle window, WindowRect* rect) override;
  bool ShowWindow(WindowHandle window, int32_t command) override;
  void Sleep(uint32_t milliseconds) override;

  // Every call so far.
  const std::vector<WindowCall>& Calls() const { return calls_; }
  // The calls that act on the game (sent and posted messages, ShowWindow
  // and waits), without the lookups and queries.
  std::vector<WindowCall> Actions() const;
  void ClearCalls() { calls_.clear(); }

  const GameModel& model() const { return model_; }
  GameModel& model() { return model_; }

 private:
  struct Window {
    WindowHandle handle;
    WindowHandle parent;
    const char* className;
    std::string caption;
  };
  // The windows that exist now, children in their order.
  std::vector<Window> Windows() const;
  bool Exists(WindowHandle window) const;
  MessageResult PaneMessage(uint32_t message, MessageParam wParam, LongParam lParam);
  MessageResult ComboMessage(uint32_t message, MessageParam wParam, LongParam lParam);
  MessageResult ListMessage(uint32_t message, MessageParam wParam, LongParam lParam);
  MessageResult RelationButtonMessage(WindowHandle button, uint32_t message);

  GameModel model_;
  std::vector<WindowCall> calls_;
};

// Copies `text` into the buffer at `lParam` as WM_GETTEXT does: at most
// `capacity` - 1 characters and a terminating zero. Returns the characters
// copied.
MessageResult CopyWindowText(const std::string& text, MessageParam capacity, LongParam lParam);
