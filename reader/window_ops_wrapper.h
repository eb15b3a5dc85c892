// A WindowOps that passes every call on to another one: derive from it and
// override the calls to change (an injected fault, a window that vanishes).
#pragma once

#include "reader/window_ops.h"

class WindowOpsWrapper : public WindowOps {
 public:
  // `target` must outlive the wrapper.
  explicit WindowOpsWrapper(WindowOps& target) : target_(target) {}

  WindowHandle FindWindowExA(WindowHandle parent, WindowHandle childAfter, const char* className,
                             const char* caption) override {
    return target_.FindWindowExA(parent, childAfter, className, caption);
  }
  MessageResult SendMessageA(WindowHandle window, uint32_t message, MessageParam wParam,
                             LongParam lParam) override {
    return target_.SendMessageA(window, message, wParam, lParam);
  }
  bool PostMessageA(WindowHandle window, uint32_t message, MessageParam wParam,
                    LongParam lParam) override {
    return target_.PostMessageA(window, message, wParam, lParam);
  }
  int32_t GetWindowLongA(WindowHandle window, int32_t index) override {
    return target_.GetWindowLongA(window, index);
  }
  bool GetClientRect(WindowHandle window, WindowRect* rect) override {
    return target_.GetClientRect(window, rect);
  }
  bool ShowWindow(WindowHandle window, int32_t command) override {
    return target_.ShowWindow(window, command);
  }
  void Sleep(uint32_t milliseconds) override { target_.Sleep(milliseconds); }

 private:
  WindowOps& target_;
};
