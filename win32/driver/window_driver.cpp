#include "win32/driver/window_driver.h"

#include <algorithm>
#include <fstream>
#include <vector>

#include "app/png_writer.h"

ChildProcess::ChildProcess(const std::wstring& commandLine, const std::wstring& currentFolder) {
  std::wstring command = commandLine;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                     currentFolder.empty() ? nullptr : currentFolder.c_str(), &startup,
                     &info)) {
    process_ = info.hProcess;
    CloseHandle(info.hThread);
  }
}

ChildProcess::~ChildProcess() {
  if (process_ == nullptr) return;
  if (WaitForSingleObject(process_, 0) != WAIT_OBJECT_0) {
    TerminateProcess(process_, 0);
    WaitForSingleObject(process_, 10000);
  }
  CloseHandle(process_);
}

bool ChildProcess::WaitForExit(DWORD milliseconds) {
  return process_ != nullptr && WaitForSingleObject(process_, milliseconds) == WAIT_OBJECT_0;
}

int64_t ChildProcess::ExitStatus() const {
  DWORD status = 0;
  if (process_ == nullptr || WaitForSingleObject(process_, 0) != WAIT_OBJECT_0 ||
      !GetExitCodeProcess(process_, &status)) {
    return -1;
  }
  return status;
}

bool WaitUntil(const std::function<bool()>& done, DWORD milliseconds) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > milliseconds) return false;
    Sleep(50);
  }
  return true;
}

HWND WaitForWindow(const wchar_t* className, const wchar_t* title, DWORD milliseconds) {
  HWND found = nullptr;
  WaitUntil([&] { return (found = FindWindowW(className, title)) != nullptr; }, milliseconds);
  return found;
}

HWND WaitForDialog(const wchar_t* title, std::initializer_list<int> controls, DWORD milliseconds) {
  const DWORD start = GetTickCount();
  HWND dialog = nullptr;
  const bool built = WaitUntil(
      [&] {
        dialog = FindWindowW(L"#32770", title);
        if (dialog == nullptr || !IsWindowVisible(dialog)) return false;
        for (int id : controls) {
          if (GetDlgItem(dialog, id) == nullptr) return false;
        }
        return true;
      },
      milliseconds);
  if (!built) return nullptr;
  const DWORD spent = GetTickCount() - start;
  return WaitForIdle(dialog, spent < milliseconds ? milliseconds - spent : 1) ? dialog : nullptr;
}

bool WaitForIdle(HWND window, DWORD milliseconds) {
  DWORD_PTR ignored = 0;
  return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, milliseconds, &ignored) != 0;
}

std::wstring TextOf(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(window, &text[0], static_cast<int>(text.size()))));
  return text;
}

std::wstring ControlText(HWND control) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(control, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 5000, &length)) return L"";
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]),
                           SMTO_NORMAL, 5000, &copied)) {
    return L"";
  }
  text.resize(std::min<size_t>(static_cast<size_t>(copied), text.size() - 1));
  return text;
}

void Press(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }

bool PressAndWait(HWND button, DWORD milliseconds) {
  DWORD_PTR ignored = 0;
  return SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_NORMAL, milliseconds, &ignored) != 0;
}

HWND FocusOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

bool TypeKey(HWND window, UINT key) {
  HWND focus = FocusOf(window);
  if (focus == nullptr) return false;
  const UINT scan = MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
  PostMessageW(focus, WM_KEYDOWN, key, static_cast<LPARAM>(1 | (scan << 16)));
  PostMessageW(focus, WM_KEYUP, key, static_cast<LPARAM>(1 | (scan << 16) | (3u << 30)));
  return true;
}

void Type(HWND dialog, int id, const std::wstring& text) {
  SendMessageW(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void SelectEntry(HWND dialog, int listId, int index, bool doubleClick) {
  HWND list = GetDlgItem(dialog, listId);
  SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(listId, doubleClick ? LBN_DBLCLK : LBN_SELCHANGE),
               reinterpret_cast<LPARAM>(list));
}

void BringToTop(HWND window) {
  SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
  RedrawWindow(window, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

namespace {

BOOL CALLBACK noteUnpainted(HWND child, LPARAM unpainted) {
  if (GetUpdateRect(child, nullptr, FALSE)) *reinterpret_cast<bool*>(unpainted) = true;
  return TRUE;
}

bool painted(HWND window) {
  bool unpainted = GetUpdateRect(window, nullptr, FALSE) != FALSE;
  EnumChildWindows(window, noteUnpainted, reinterpret_cast<LPARAM>(&unpainted));
  return !unpainted;
}

}  // namespace

bool WaitForPainted(HWND window, DWORD milliseconds) {
  return WaitUntil([&] { return WaitForIdle(window, milliseconds) && painted(window); },
                   milliseconds);
}

bool SaveScreenshot(HWND window, const std::string& path) {
  RECT r;
  if (!GetWindowRect(window, &r)) return false;
  const int width = r.right - r.left;
  const int height = r.bottom - r.top;
  if (width <= 0 || height <= 0) return false;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
  std::vector<Color> pixels(static_cast<size_t>(width) * height);
  const auto* bgra = static_cast<const uint8_t*>(bits);
  for (size_t i = 0; i < pixels.size(); ++i) {
    pixels[i] = Rgb(bgra[4 * i + 2], bgra[4 * i + 1], bgra[4 * i]);
  }
  SelectObject(memory, previous);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  std::ofstream out(path, std::ios::binary);
  out << EncodePng(width, height, pixels);
  return static_cast<bool>(out);
}

SimulatedGame::SimulatedGame(const std::wstring& simulator, const std::wstring& scenarioPath) {
  // An earlier game must be gone, or the reader could find it instead.
  WaitUntil([] { return FindWindowW(L"vandorframe", nullptr) == nullptr; }, 10000);
  static int started = 0;
  const std::wstring event =
      L"VandorSimReady-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++started);
  HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, event.c_str());
  process_ = std::make_unique<ChildProcess>(L"\"" + simulator + L"\" --ready " + event + L" \"" +
                                            scenarioPath + L"\"");
  started_ = process_->Started() && WaitForSingleObject(ready, 20000) == WAIT_OBJECT_0;
  CloseHandle(ready);
}
