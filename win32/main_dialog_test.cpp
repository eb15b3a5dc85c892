#include "win32/main_dialog.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <thread>

#include "app/control_drawing.h"
#include "app/control_ids.h"
#include "app/test_capture.h"
#include "archive/memory_file_system.h"
#include "archive/turn_store.h"
#include "reader/test_game.h"
#include "sim/fake_game.h"
#include "support/version.h"
#include "win32/driver/window_driver.h"
#include "win32/screen_area.h"
#include "win32/wide_text.h"

namespace {

constexpr DWORD kWait = 20000;
const wchar_t kReaderTitle[] = L"Korvik Vandor! Message Reader V" VANDOR_VERSION_TEXT;
const wchar_t kLoadedTitle[] = L"Korvik Vandor! Message Reader V" VANDOR_VERSION_TEXT
                               L" - Game: \"Andromeda\" - Race: \"Terrans\"";

// The main window in this process, over an archive in memory and the
// in-process fake of the English sample game.
class MainDialogTest : public ::testing::Test {
 protected:
  MainDialogTest()
      : scenario(LoadScenario(VANDOR_SCENARIO_DIR "/english.scenario")),
        store(ArchiveLayout(ProgramDirectory(std::string("M:") + kPathSeparator)), files),
        game(testing_game::makeGame()) {}

  // Stores turn 2401 as captured from `stored` (by default the sample).
  void storeTurn(const Scenario& stored) {
    CurrentGame captured;
    testing_capture::CaptureFromFake(stored, 2401, store, captured);
    ASSERT_TRUE(captured.HasTurn());
  }
  // Stores turn 2401 and has the window start with it loaded.
  void startLoaded() {
    storeTurn(scenario);
    store.LoadTurn(*game, "Andromeda", -1, -1);
  }

  // Runs the main window on this thread while `user` works it from another
  // one; the window is closed afterwards.
  void run(const std::function<void(HWND)>& user) {
    FakeGame fake(scenario);
    MainDialog dialog(*game, store, fake);
    const wchar_t* title = game->HasTurn() ? kLoadedTitle : kReaderTitle;
    std::thread driver([&] {
      HWND main = WaitForDialog(title, {IDC_READ_FROM_GAME, IDC_QUIT}, kWait);
      ASSERT_NE(main, nullptr);
      user(main);
      PostMessageW(GetDlgItem(main, IDC_QUIT), BM_CLICK, 0, 0);
    });
    dialog.DoModal();
    driver.join();
  }

  // Chooses entry `index` of the filter chooser, which refreshes the window.
  static void refreshByFilter(HWND main, int index) {
    Press(GetDlgItem(main, IDC_FILTER));
    HWND chooser = WaitForDialog(L"Choose Filter Option:", {IDC_CHOOSER_LIST}, kWait);
    ASSERT_NE(chooser, nullptr);
    SelectEntry(chooser, IDC_CHOOSER_LIST, index, true);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(chooser); }, kWait));
    ASSERT_TRUE(WaitForIdle(main, kWait));
  }

  static bool enabled(HWND main, int id) { return IsWindowEnabled(GetDlgItem(main, id)) != FALSE; }

  static void screenshot(HWND window, const char* name) {
    BringToTop(window);
    EXPECT_TRUE(WaitForPainted(window, kWait));
    std::filesystem::create_directories(VANDOR_SCREENSHOT_DIR);
    EXPECT_TRUE(SaveScreenshot(window, std::string(VANDOR_SCREENSHOT_DIR) + "/" + name));
  }

  Scenario scenario;
  MemoryFileSystem files;
  TurnStore store;
  std::unique_ptr<CurrentGame> game;
};

TEST_F(MainDialogTest, OneCommandAtATimeAndTheBoxesAreOwnedByTheWindow) {
  Scenario earlier = scenario;
  earlier.incoming.pop_back();  // the stored 2401 has one message less
  storeTurn(earlier);
  run([&](HWND main) {
    Press(GetDlgItem(main, IDC_READ_FROM_GAME));
    HWND turn = WaitForDialog(L"Turn Information", {IDC_TURN_EDIT, IDOK}, kWait);
    ASSERT_NE(turn, nullptr);
    Type(turn, IDC_TURN_EDIT, L"2401");
    Press(GetDlgItem(turn, IDOK));
    HWND question = WaitForDialog(L"Vandor! Message Reader", {IDOK, IDCANCEL}, kWait);
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(GetWindow(question, GW_OWNER), main);
    EXPECT_FALSE(IsWindowEnabled(main));  // nothing can be clicked behind the box

    // A click that reaches the window all the same starts nothing.
    EXPECT_TRUE(PressAndWait(GetDlgItem(main, IDC_READ_FROM_GAME), 5000));
    if (HWND second = FindWindowW(L"#32770", L"Turn Information")) {
      ADD_FAILURE() << "a second capture started";
      PostMessageW(second, WM_COMMAND, IDCANCEL, 0);
    }
    PostMessageW(question, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitUntil([&] { return TextOf(main) == kLoadedTitle; }, kWait));
    ASSERT_TRUE(WaitForIdle(main, kWait));
    EXPECT_TRUE(IsWindowEnabled(main));
  });
  // The turn the user agreed to replace is replaced, and nothing else.
  EXPECT_EQ(store.ListTurns("Andromeda", 1), std::vector<int32_t>{2401});
  CurrentGame stored;
  store.LoadTurn(stored, "Andromeda", 1, 2401);
  EXPECT_EQ(stored.MessageTable().rowCount(), 8);
}

TEST_F(MainDialogTest, AnErrorBoxIsOwnedByTheWindowToo) {
  scenario.noFrame = true;
  run([&](HWND main) {
    Press(GetDlgItem(main, IDC_READ_FROM_GAME));
    HWND error = WaitForDialog(L"Error", {IDOK}, kWait);
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(GetWindow(error, GW_OWNER), main);
    EXPECT_TRUE(PressAndWait(GetDlgItem(main, IDC_LOAD_GAME), 5000));
    EXPECT_EQ(FindWindowW(L"#32770", L"Choose Game to load"), nullptr);
    PostMessageW(error, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(error); }, kWait));
  });
}

TEST_F(MainDialogTest, MessageDetailIsEnabledExactlyWhileAMessageIsSelected) {
  startLoaded();
  run([&](HWND main) {
    // The selection's notice is a posted message: the button's state tells
    // when it was handled.
    const auto detailBecomes = [&](bool state) {
      return WaitUntil([&] { return enabled(main, IDC_MESSAGE_DETAIL) == state; }, kWait);
    };
    EXPECT_FALSE(enabled(main, IDC_MESSAGE_DETAIL));
    SelectEntry(main, IDC_MESSAGE_LIST, 1);
    EXPECT_TRUE(detailBecomes(true));
    SendMessageW(GetDlgItem(main, IDC_MESSAGE_LIST), LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    PostMessageW(main, WM_COMMAND, MAKEWPARAM(IDC_MESSAGE_LIST, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(GetDlgItem(main, IDC_MESSAGE_LIST)));
    EXPECT_TRUE(detailBecomes(false));

    // A refresh empties the selection, and the button follows.
    SelectEntry(main, IDC_MESSAGE_LIST, 0);
    ASSERT_TRUE(detailBecomes(true));
    refreshByFilter(main, 0);
    EXPECT_FALSE(enabled(main, IDC_MESSAGE_DETAIL));
  });
}

TEST_F(MainDialogTest, EveryRefreshStartsAtTheLeftEdge) {
  startLoaded();
  run([&](HWND main) {
    HWND list = GetDlgItem(main, IDC_MESSAGE_LIST);
    SendMessageW(list, WM_HSCROLL, MAKEWPARAM(SB_PAGERIGHT, 0), 0);
    SendMessageW(list, WM_HSCROLL, MAKEWPARAM(SB_PAGERIGHT, 0), 0);
    ASSERT_GT(GetScrollPos(list, SB_HORZ), 0);
    refreshByFilter(main, 0);
    EXPECT_EQ(GetScrollPos(list, SB_HORZ), 0);
  });
}

TEST_F(MainDialogTest, AChooserOpensInsideTheScreen) {
  storeTurn(scenario);
  run([&](HWND main) {
    const Rect area = WorkAreaAt(POINT{0, 0});
    ASSERT_TRUE(SetCursorPos(area.right - 14, area.bottom - 18));
    Press(GetDlgItem(main, IDC_LOAD_GAME));
    HWND chooser = WaitForDialog(L"Choose Game to load", {IDC_CHOOSER_LIST}, kWait);
    ASSERT_NE(chooser, nullptr);
    const Rect place = WindowRect(chooser);
    EXPECT_GE(place.left, area.left);
    EXPECT_GE(place.top, area.top);
    EXPECT_LE(place.right, area.right);
    EXPECT_LE(place.bottom, area.bottom);
    EXPECT_GT(place.right, area.right - 20);  // as near the cursor as it can be
    EXPECT_TRUE(WaitForPainted(chooser, kWait));
    std::filesystem::create_directories(VANDOR_SCREENSHOT_DIR);
    EXPECT_TRUE(SaveScreenshot(GetDesktopWindow(),  // the whole screen, the corner in view
                               std::string(VANDOR_SCREENSHOT_DIR) + "/chooser-near-the-corner.png"));
    PostMessageW(chooser, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(chooser); }, kWait));
  });
}

TEST_F(MainDialogTest, TheWindowKeepsRoomForItsButtons) {
  run([&](HWND main) {
    SetWindowPos(main, nullptr, 0, 0, 420, 250, SWP_NOMOVE | SWP_NOZORDER);  // lower than it may be
    ASSERT_TRUE(WaitForIdle(main, kWait));
    const Rect about = WindowRect(GetDlgItem(main, IDC_ABOUT));
    const Rect find = WindowRect(GetDlgItem(main, IDC_FIND));
    EXPECT_GT(find.top, WindowRect(GetDlgItem(main, IDC_SAVE_AS_TEXT)).bottom);
    EXPECT_GT(about.top, find.bottom);  // "About" does not cover the buttons above it
    EXPECT_GT(WindowRect(GetDlgItem(main, IDC_MESSAGE_LIST)).Width(), 100);
  });
}

TEST_F(MainDialogTest, TheFocusedButtonShowsIt) {
  run([&](HWND main) {
    HWND load = GetDlgItem(main, IDC_LOAD_GAME);
    const auto dotAt = [&](HWND button) {
      EXPECT_TRUE(WaitForPainted(main, kWait));
      HDC dc = GetDC(button);
      const COLORREF color = GetPixel(dc, kFocusInset, kFocusInset);
      ReleaseDC(button, dc);
      return color;
    };
    SendMessageW(main, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(load), TRUE);
    EXPECT_EQ(dotAt(load), kForeground);
    screenshot(main, "focused-button.png");
    SendMessageW(main, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(main, IDC_ABOUT)), TRUE);
    EXPECT_EQ(dotAt(load), kBackground);
  });
}

}  // namespace
