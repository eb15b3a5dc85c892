#include "win32/user32_window_ops.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "win32/wide_text.h"

namespace {

HWND handleOf(WindowHandle window) { return reinterpret_cast<HWND>(window); }

// Copies a converted text and its terminating zero into a caller's buffer.
MessageResult deliver(const std::string& text, char* buffer) {
  std::memcpy(buffer, text.c_str(), text.size() + 1);
  return static_cast<MessageResult>(text.size());
}

}  // namespace

WindowHandle User32WindowOps::FindWindowExA(WindowHandle parent, WindowHandle childAfter,
                                            const char* className, const char* caption) {
  const std::wstring wideClass = ToWide(className ? className : "");
  const std::wstring wideCaption = ToWide(caption ? caption : "");
  return reinterpret_cast<WindowHandle>(
      ::FindWindowExW(handleOf(parent), handleOf(childAfter), className ? wideClass.c_str() : nullptr,
                      caption ? wideCaption.c_str() : nullptr));
}

MessageResult User32WindowOps::Send(WindowHandle window, uint32_t message, MessageParam wParam,
                                    LongParam lParam) const {
  DWORD_PTR result = 0;
  if (!::SendMessageTimeoutW(handleOf(window), message, wParam, lParam,
                             SMTO_NORMAL | SMTO_ABORTIFHUNG, sendTimeout_, &result)) {
    throw GameNotResponding();
  }
  return static_cast<MessageResult>(result);
}

MessageResult User32WindowOps::SendMessageA(WindowHandle window, uint32_t message,
                                            MessageParam wParam, LongParam lParam) {
  if (window == kNoWindow) return 0;  // as Win32: a send to no window does nothing
  char* buffer = reinterpret_cast<char*>(lParam);
  switch (message) {
    case WM_GETTEXT:
      return GetText(window, wParam, buffer);
    case CB_GETLBTEXT:
      return GetEntry(window, CB_GETLBTEXTLEN, CB_GETLBTEXT, wParam, buffer);
    case LB_GETTEXT:
      return GetEntry(window, LB_GETTEXTLEN, LB_GETTEXT, wParam, buffer);
    case CB_GETLBTEXTLEN:
    case LB_GETTEXTLEN: {
      const MessageResult length = Send(window, message, wParam, lParam);
      told_ = EntryLength{window, message, wParam, length};
      return length;
    }
    default:
      return Send(window, message, wParam, lParam);
  }
}

MessageResult User32WindowOps::GetText(WindowHandle window, MessageParam capacity,
                                       char* buffer) const {
  if (capacity == 0) return 0;
  std::vector<wchar_t> wide(capacity, L'\0');
  const MessageResult length = Send(window, WM_GETTEXT, capacity,
                                    reinterpret_cast<LongParam>(wide.data()));
  const size_t count = length < 0 ? 0 : std::min<size_t>(static_cast<size_t>(length), capacity - 1);
  return deliver(FromWide(wide.data(), count), buffer);
}

MessageResult User32WindowOps::GetEntry(WindowHandle window, uint32_t lengthMessage,
                                        uint32_t textMessage, MessageParam index,
                                        char* buffer) const {
  // The entry is measured again for the wide buffer; it may have grown
  // since the caller asked.
  const MessageResult length = Send(window, lengthMessage, index, 0);
  if (length < 0) return length;  // CB_ERR, LB_ERR
  const bool told = told_.window == window && told_.message == lengthMessage &&
                    told_.index == index && told_.length >= 0;
  const size_t room = static_cast<size_t>(told ? told_.length : length) + kEntryGrowthRoom;
  std::vector<wchar_t> wide(static_cast<size_t>(length) + kEntryGrowthRoom + 1, L'\0');
  const MessageResult got = Send(window, textMessage, index, reinterpret_cast<LongParam>(wide.data()));
  if (got < 0) return got;
  const size_t count = std::min({static_cast<size_t>(got), room, wide.size() - 1});
  return deliver(FromWide(wide.data(), count), buffer);
}

bool User32WindowOps::PostMessageA(WindowHandle window, uint32_t message, MessageParam wParam,
                                   LongParam lParam) {
  return ::PostMessageW(handleOf(window), message, wParam, lParam) != FALSE;
}

int32_t User32WindowOps::GetWindowLongA(WindowHandle window, int32_t index) {
  return static_cast<int32_t>(::GetWindowLongW(handleOf(window), index));
}

bool User32WindowOps::GetClientRect(WindowHandle window, WindowRect* rect) {
  RECT client{};
  if (!::GetClientRect(handleOf(window), &client)) return false;
  *rect = WindowRect{client.left, client.top, client.right, client.bottom};
  return true;
}

bool User32WindowOps::ShowWindow(WindowHandle window, int32_t command) {
  // The game's windows belong to another program: ShowWindow would wait
  // for its thread, without limit when it hangs. ShowWindowAsync leaves the
  // request in its queue; a hung game then fails the next send, which has
  // its time limit.
  return ::ShowWindowAsync(handleOf(window), command) != FALSE;
}

void User32WindowOps::Sleep(uint32_t milliseconds) { ::Sleep(milliseconds); }
