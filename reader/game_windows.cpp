#include "reader/game_windows.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

// Length and buffer of a title read.
constexpr MessageParam kTitleRequest = 999;
constexpr size_t kTitleBuffer = 1000;

WindowHandle findButton(WindowOps& ops, WindowHandle pane, const char* german,
                        const char* english) {
  const WindowHandle button = ops.FindWindowExA(pane, kNoWindow, game_ui::kButtonClass, german);
  if (button != kNoWindow) return button;
  return ops.FindWindowExA(pane, kNoWindow, game_ui::kButtonClass, english);
}

bool isDashOrBlank(char c) { return c == '-' || c == ' '; }

// From `at`, skips dashes and blanks; npos when the end comes first.
size_t skipSeparators(const std::string& text, size_t at) {
  while (at < text.size() && isDashOrBlank(text[at])) ++at;
  return at < text.size() ? at : std::string::npos;
}

// The leading decimal digits of `text` from `at`, as a number (0 without
// digits). Big numbers saturate.
int64_t leadingNumber(const std::string& text, size_t at) {
  int64_t value = 0;
  for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
    value = std::min<int64_t>(value * 10 + (text[at] - '0'), INT32_MAX);
  }
  return value;
}

}  // namespace

void PressKey(WindowOps& ops, WindowHandle window, MessageParam key) {
  ops.SendMessageA(window, win::kWmKeyDown, key, 0);
  ops.SendMessageA(window, win::kWmKeyUp, key, 0);
}

void Click(WindowOps& ops, WindowHandle window, LongParam point) {
  ops.SendMessageA(window, win::kWmLButtonDown, 0, point);
  ops.SendMessageA(window, win::kWmLButtonUp, 0, point);
}

bool HasStyle(WindowOps& ops, WindowHandle window, uint32_t style) {
  return (static_cast<uint32_t>(ops.GetWindowLongA(window, win::kGwlStyle)) & style) == style;
}

bool FindGameWindows(WindowOps& ops, GameWindows* windows, std::string* problem) {
  const auto missing = [&](const char* message) {
    *problem = message;
    return false;
  };
  GameWindows found;
  found.frame = ops.FindWindowExA(kNoWindow, kNoWindow, game_ui::kFrameClass, nullptr);
  if (found.frame == kNoWindow) return missing(game_ui::kNoFrame);
  found.pane = ops.FindWindowExA(found.frame, kNoWindow, game_ui::kPaneClass, nullptr);
  if (found.pane == kNoWindow) return missing(game_ui::kNoPane);
  const WindowHandle first = ops.FindWindowExA(found.pane, kNoWindow, game_ui::kEditClass, nullptr);
  const WindowHandle second =
      first == kNoWindow ? kNoWindow
                         : ops.FindWindowExA(found.pane, first, game_ui::kEditClass, nullptr);
  if (first == kNoWindow || second == kNoWindow) return missing(game_ui::kNoEdits);
  const bool firstReads = HasStyle(ops, first, win::kEsReadOnly);
  found.readingEdit = firstReads ? first : second;
  found.composeEdit = firstReads ? second : first;
  found.nextButton = findButton(ops, found.pane, game_ui::kNextGerman, game_ui::kNextEnglish);
  found.prevButton = findButton(ops, found.pane, game_ui::kPrevGerman, game_ui::kPrevEnglish);
  if (found.nextButton == kNoWindow || found.prevButton == kNoWindow) {
    return missing(game_ui::kNoButtons);
  }
  *windows = found;
  return true;
}

GameTitle ParseGameTitle(const std::string& title) {
  GameTitle result;
  if (title.size() < 11 || title.size() > 1000) return result;
  size_t at = title.find('-');
  if (at == std::string::npos) return result;
  std::string fields[2];
  for (std::string& field : fields) {
    const size_t start = skipSeparators(title, at);
    if (start == std::string::npos) return result;
    at = title.find('-', start);
    if (at == std::string::npos) return result;
    field = title.substr(start, at - 1 - start);  // the character before the dash ends it
  }
  const size_t restStart = skipSeparators(title, at);
  if (restStart == std::string::npos) return result;
  result.gameName = fields[0];
  result.raceName = fields[1];
  result.rest = title.substr(restStart);

  const size_t m = result.rest.rfind('m');
  const int64_t number = leadingNumber(result.rest, m == std::string::npos ? 0 : m + 1);
  if (number >= 1) result.raceNumber = static_cast<int32_t>(number - 1);
  return result;
}

GameTitle ReadGameTitle(WindowOps& ops, std::string* problem) {
  const WindowHandle frame = ops.FindWindowExA(kNoWindow, kNoWindow, game_ui::kFrameClass, nullptr);
  if (frame == kNoWindow) {
    if (problem != nullptr) *problem = game_ui::kNoFrame;
    return GameTitle();
  }
  std::vector<char> buffer(kTitleBuffer, '\0');
  ops.SendMessageA(frame, win::kWmGetText, kTitleRequest, reinterpret_cast<LongParam>(buffer.data()));
  buffer.back() = '\0';
  return ParseGameTitle(buffer.data());
}

void SetPaneMode(WindowOps& ops, int mode, WindowHandle pane, WindowHandle composeEdit) {
  const int current = HasStyle(ops, composeEdit, win::kWsVisible) ? kComposeMode : kReadingMode;
  if (current == mode) return;
  WindowRect client;
  ops.GetClientRect(pane, &client);
  Click(ops, pane, win::MakePoint(client.right - 30, 17));
}
