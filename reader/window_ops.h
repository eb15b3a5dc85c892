// WindowOps: the window operations through which the game is driven.
//
// Every operation has the name, parameters and meaning of the Win32
// function it stands for, so that the game reader reads like Win32 code
// and runs against the real user32 (win32/) as well as against a fake of
// the game's windows (sim/). Handles are opaque numbers, 0 for none.
// Buffers travel in lParam as addresses, as Win32 passes them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>

using WindowHandle = std::uintptr_t;
using MessageParam = std::uintptr_t;  // WPARAM
using LongParam = std::intptr_t;      // LPARAM
using MessageResult = std::intptr_t;  // LRESULT

inline constexpr WindowHandle kNoWindow = 0;

// CB_GETLBTEXT and LB_GETTEXT take no buffer size: the caller asks for the
// entry's length first and gives a buffer for that many characters and the
// zero. A game may lengthen the entry between the two messages, so the
// callers here leave this many bytes more; implementations of WindowOps
// that copy texts themselves never write beyond them.
inline constexpr size_t kEntryGrowthRoom = 4096;

struct WindowRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
};

// Raised by SendMessageA when the window did not answer in time (its
// program hangs, or the window is gone): the game cannot be driven further.
class GameNotResponding : public std::runtime_error {
 public:
  GameNotResponding() : std::runtime_error("the game does not respond") {}
};

class WindowOps {
 public:
  virtual ~WindowOps() = default;

  // The first window after `childAfter` (or the first at all) among the
  // children of `parent` (the top-level windows when parent is 0) whose
  // class is `className` and, unless `caption` is null, whose text is
  // `caption`. 0 when there is none.
  virtual WindowHandle FindWindowExA(WindowHandle parent, WindowHandle childAfter,
                                     const char* className, const char* caption) = 0;
  // Sends a message and returns the window's answer when it has handled it.
  // Raises GameNotResponding when no answer comes in time.
  virtual MessageResult SendMessageA(WindowHandle window, uint32_t message, MessageParam wParam,
                                     LongParam lParam) = 0;
  // Queues a message for the window and returns at once; false on failure.
  virtual bool PostMessageA(WindowHandle window, uint32_t message, MessageParam wParam,
                            LongParam lParam) = 0;
  // The window's style bits for index GWL_STYLE; 0 for no window.
  virtual int32_t GetWindowLongA(WindowHandle window, int32_t index) = 0;
  // The window's client rectangle (left and top are 0); false for no window.
  virtual bool GetClientRect(WindowHandle window, WindowRect* rect) = 0;
  // Shows the window as `command` says (SW_SHOWMAXIMIZED, ...).
  virtual bool ShowWindow(WindowHandle window, int32_t command) = 0;
  // Waits `milliseconds`.
  virtual void Sleep(uint32_t milliseconds) = 0;
};

// The Win32 values of the messages, styles, keys and flags the game reader
// uses. (Named apart from the Win32 macros so that this header and
// <windows.h> can meet in one file.)
namespace win {

inline constexpr uint32_t kWmSize = 0x0005;
inline constexpr uint32_t kWmGetText = 0x000D;
inline constexpr uint32_t kWmClose = 0x0010;
inline constexpr uint32_t kWmKeyDown = 0x0100;
inline constexpr uint32_t kWmKeyUp = 0x0101;
inline constexpr uint32_t kWmCommand = 0x0111;
inline constexpr uint32_t kWmLButtonDown = 0x0201;
inline constexpr uint32_t kWmLButtonUp = 0x0202;
inline constexpr uint32_t kBmGetCheck = 0x00F0;
inline constexpr uint32_t kCbGetCurSel = 0x0147;
inline constexpr uint32_t kCbGetLbText = 0x0148;
inline constexpr uint32_t kCbGetLbTextLen = 0x0149;
inline constexpr uint32_t kLbGetText = 0x0189;
inline constexpr uint32_t kLbGetTextLen = 0x018A;
inline constexpr uint32_t kLbGetCurSel = 0x0188;

inline constexpr MessageResult kCbErr = -1;
inline constexpr MessageResult kLbErr = -1;
inline constexpr MessageResult kBstChecked = 1;
inline constexpr MessageParam kSizeRestored = 0;

inline constexpr MessageParam kVkHome = 0x24;
inline constexpr MessageParam kVkDown = 0x28;

inline constexpr int32_t kGwlStyle = -16;
inline constexpr uint32_t kLbsOwnerDrawFixed = 0x0010;
inline constexpr uint32_t kLbsOwnerDrawVariable = 0x0020;
inline constexpr uint32_t kLbsHasStrings = 0x0040;
inline constexpr uint32_t kEsReadOnly = 0x00000800;
inline constexpr uint32_t kWsDisabled = 0x08000000;
inline constexpr uint32_t kWsVisible = 0x10000000;

inline constexpr int32_t kSwShowMaximized = 3;
inline constexpr int32_t kSwRestore = 9;

// lParam of a point: x in the low 16 bits, y in the high 16 bits.
inline constexpr LongParam MakePoint(int32_t x, int32_t y) {
  return static_cast<LongParam>((static_cast<uint32_t>(x) & 0xFFFF) |
                                ((static_cast<uint32_t>(y) & 0xFFFF) << 16));
}

}  // namespace win
