#include "win32/user32_window_ops.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

// A window whose thread hangs (sleeps) once it has told it is ready: as a
// game that stopped answering.
class HungWindow {
 public:
  explicit HungWindow(DWORD hang) {
    thread_ = std::thread([this, hang] {
      window_ = CreateWindowExW(0, L"STATIC", L"hung", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200,
                                100, nullptr, nullptr, nullptr, nullptr);
      MSG message;
      while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
      ready_ = true;
      ::Sleep(hang);
      while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
      DestroyWindow(window_);
    });
    while (!ready_) ::Sleep(10);
  }
  ~HungWindow() { thread_.join(); }
  HungWindow(const HungWindow&) = delete;
  HungWindow& operator=(const HungWindow&) = delete;

  WindowHandle Handle() const { return reinterpret_cast<WindowHandle>(window_); }

 private:
  std::thread thread_;
  std::atomic<bool> ready_{false};
  HWND window_ = nullptr;
};

double secondsOf(const std::function<void()>& act) {
  const auto start = std::chrono::steady_clock::now();
  act();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Nothing the reader asks of a hung game's windows may wait for it beyond
// the send time limit: showing its window does not wait at all.
TEST(User32WindowOps, NothingWaitsForAHungWindowBeyondTheLimit) {
  HungWindow hung(4000);
  User32WindowOps ops(300);
  EXPECT_LT(secondsOf([&] { ops.ShowWindow(hung.Handle(), SW_SHOWMAXIMIZED); }), 1.0);
  EXPECT_LT(secondsOf([&] {
              EXPECT_THROW(ops.SendMessageA(hung.Handle(), WM_NULL, 0, 0), GameNotResponding);
            }),
            2.0);
  WindowRect rect;
  EXPECT_LT(secondsOf([&] {
              ops.GetClientRect(hung.Handle(), &rect);
              ops.GetWindowLongA(hung.Handle(), GWL_STYLE);
              ops.PostMessageA(hung.Handle(), WM_NULL, 0, 0);
              ops.FindWindowExA(kNoWindow, kNoWindow, "STATIC", "hung");
            }),
            1.0);
}

}  // namespace
