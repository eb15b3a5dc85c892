// WindowOps on the real windows of the system (user32).
#pragma once

#include "reader/window_ops.h"

// Texts cross in code page 1252, converted by the program itself, so that
// captions such as "Rück" match byte for byte whatever the system's ANSI
// code page. Messages are sent with a time limit: a window that does not
// answer within it (its program hangs, or it is gone) makes SendMessageA
// raise GameNotResponding instead of freezing the program.
class User32WindowOps : public WindowOps {
 public:
  static constexpr uint32_t kDefaultSendTimeout = 5000;  // milliseconds

  explicit User32WindowOps(uint32_t sendTimeout = kDefaultSendTimeout)
      : sendTimeout_(sendTimeout) {}

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

 private:
  // Sends a message of the wide API; raises GameNotResponding on failure.
  MessageResult Send(WindowHandle window, uint32_t message, MessageParam wParam,
                     LongParam lParam) const;
  // WM_GETTEXT into a buffer of `capacity` characters.
  MessageResult GetText(WindowHandle window, MessageParam capacity, char* buffer) const;
  // CB_GETLBTEXT or LB_GETTEXT of entry `index`; `lengthMessage` measures
  // it. Writes at most the length the caller was told for the entry (or,
  // when it asked none, the length now) plus kEntryGrowthRoom characters
  // and the zero.
  MessageResult GetEntry(WindowHandle window, uint32_t lengthMessage, uint32_t textMessage,
                         MessageParam index, char* buffer) const;

  // The last entry length the caller was told.
  struct EntryLength {
    WindowHandle window = kNoWindow;
    uint32_t message = 0;
    MessageParam index = 0;
    MessageResult length = -1;
  };

  uint32_t sendTimeout_;
  EntryLength told_;
};
