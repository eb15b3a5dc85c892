// Comparing the calls a FakeGame recorded with the calls expected, in the
// manner of Wine's message-sequence tests: the expected calls are a table,
// the comparison stops at the first difference and prints both sides.
#pragma once

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "sim/fake_game.h"

namespace testing_sequence {

// Which fields of an expected call are compared.
enum Flags : uint32_t { kExact = 0, kAnyWParam = 1, kAnyLParam = 2 };

struct Expected {
  WindowCall::Kind kind;
  WindowHandle window;
  uint32_t message;
  MessageParam wParam;
  LongParam lParam;
  uint32_t flags;
};

inline Expected Send(WindowHandle w, uint32_t m, MessageParam wp = 0, LongParam lp = 0,
                     uint32_t flags = kExact) {
  return {WindowCall::Kind::kSend, w, m, wp, lp, flags};
}
inline Expected Post(WindowHandle w, uint32_t m, MessageParam wp, LongParam lp) {
  return {WindowCall::Kind::kPost, w, m, wp, lp, kExact};
}
inline Expected Show(WindowHandle w, int32_t command) {
  return {WindowCall::Kind::kShow, w, static_cast<uint32_t>(command), 0, 0, kExact};
}
inline Expected Wait(uint32_t ms) { return {WindowCall::Kind::kSleep, kNoWindow, ms, 0, 0, kExact}; }
// A read into a buffer: the buffer's address is not compared.
inline Expected Read(WindowHandle w, uint32_t m, MessageParam wp) {
  return Send(w, m, wp, 0, kAnyLParam);
}

// Appends key down and key up, or button down and up, as the reader sends
// them.
inline void AddKey(std::vector<Expected>* calls, WindowHandle w, MessageParam key) {
  calls->push_back(Send(w, win::kWmKeyDown, key));
  calls->push_back(Send(w, win::kWmKeyUp, key));
}
inline void AddClick(std::vector<Expected>* calls, WindowHandle w, LongParam point = 0) {
  calls->push_back(Send(w, win::kWmLButtonDown, 0, point));
  calls->push_back(Send(w, win::kWmLButtonUp, 0, point));
}

inline std::string WindowName(WindowHandle w) {
  static const char* const kNames[] = {"frame",  "pane",    "reading edit", "compose edit",
                                       "Next",   "Prev",    "combo",        "dialog",
                                       "list",   "Friend",  "Neutral",      "Enemy"};
  if (w >= FakeGame::kFrame && w <= FakeGame::kEnemyButton) return kNames[w - FakeGame::kFrame];
  return w == kNoWindow ? "null" : "window " + std::to_string(w);
}

inline std::string MessageName(uint32_t m) {
  switch (m) {
    case win::kWmSize: return "WM_SIZE";
    case win::kWmGetText: return "WM_GETTEXT";
    case win::kWmClose: return "WM_CLOSE";
    case win::kWmKeyDown: return "WM_KEYDOWN";
    case win::kWmKeyUp: return "WM_KEYUP";
    case win::kWmCommand: return "WM_COMMAND";
    case win::kWmLButtonDown: return "WM_LBUTTONDOWN";
    case win::kWmLButtonUp: return "WM_LBUTTONUP";
    case win::kBmGetCheck: return "BM_GETCHECK";
    case win::kCbGetCurSel: return "CB_GETCURSEL";
    case win::kCbGetLbText: return "CB_GETLBTEXT";
    case win::kCbGetLbTextLen: return "CB_GETLBTEXTLEN";
    case win::kLbGetText: return "LB_GETTEXT";
    case win::kLbGetTextLen: return "LB_GETTEXTLEN";
    case win::kLbGetCurSel: return "LB_GETCURSEL";
    default: return "message " + std::to_string(m);
  }
}

inline std::string Describe(WindowCall::Kind kind, WindowHandle w, uint32_t m, MessageParam wp,
                            LongParam lp) {
  std::ostringstream out;
  switch (kind) {
    case WindowCall::Kind::kSend:
    case WindowCall::Kind::kPost:
      out << (kind == WindowCall::Kind::kSend ? "SendMessageA(" : "PostMessageA(") << WindowName(w)
          << ", " << MessageName(m) << ", " << wp << ", " << lp << ")";
      break;
    case WindowCall::Kind::kShow: out << "ShowWindow(" << WindowName(w) << ", " << m << ")"; break;
    case WindowCall::Kind::kSleep: out << "Sleep(" << m << ")"; break;
    default: out << "query of " << WindowName(w); break;
  }
  return out.str();
}

// True when `actual` is exactly the `expected` calls.
inline ::testing::AssertionResult SequenceIs(const std::vector<WindowCall>& actual,
                                             const std::vector<Expected>& expected) {
  const size_t count = std::max(actual.size(), expected.size());
  for (size_t i = 0; i < count; ++i) {
    const std::string want =
        i < expected.size() ? Describe(expected[i].kind, expected[i].window, expected[i].message,
                                       expected[i].wParam, expected[i].lParam)
                            : "nothing more";
    const std::string got =
        i < actual.size() ? Describe(actual[i].kind, actual[i].window, actual[i].message,
                                     actual[i].wParam, actual[i].lParam)
                          : "nothing more";
    if (i >= expected.size() || i >= actual.size()) {
      return ::testing::AssertionFailure() << "call " << i << ": expected " << want << ", got " << got;
    }
    const Expected& e = expected[i];
    const WindowCall& a = actual[i];
    const bool same = e.kind == a.kind && e.window == a.window && e.message == a.message &&
                      ((e.flags & kAnyWParam) || e.wParam == a.wParam) &&
                      ((e.flags & kAnyLParam) || e.lParam == a.lParam);
    if (!same) {
      return ::testing::AssertionFailure() << "call " << i << ": expected " << want << ", got " << got;
    }
  }
  return ::testing::AssertionSuccess();
}

// The part of `calls` from the first call that matches `first` on.
inline std::vector<WindowCall> From(const std::vector<WindowCall>& calls, const Expected& first) {
  for (size_t i = 0; i < calls.size(); ++i) {
    if (calls[i].kind == first.kind && calls[i].window == first.window &&
        calls[i].message == first.message && calls[i].wParam == first.wParam) {
      return std::vector<WindowCall>(calls.begin() + static_cast<long>(i), calls.end());
    }
  }
  return {};
}

}  // namespace testing_sequence
