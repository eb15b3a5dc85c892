// End-to-end through the window: the reader (vandormsg.exe) and the
// simulated game run as programs of their own, and the test uses the
// reader's window as a user would: presses "Read from Vandor!", answers the
// Turn Information dialog and the overwrite question, and reads back the
// title, the labels, the enabled controls and the message list.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "app/control_ids.h"
#include "app/main_window_view.h"
#include "app/test_capture.h"
#include "archive/test_archive.h"
#include "reader/test_game.h"
#include "support/version.h"
#include "win32/driver/window_driver.h"
#include "win32/wide_text.h"

namespace {

const wchar_t kNotLoadedTitle[] = L"Korvik Vandor! Message Reader V" VANDOR_VERSION_TEXT;
const wchar_t kLoadedTitle[] = L"Korvik Vandor! Message Reader V" VANDOR_VERSION_TEXT
                               L" - Game: \"Andromeda\" - Race: \"Terrans\"";
constexpr DWORD kWait = 30000;

std::string scenarioPath() { return std::string(VANDOR_SCENARIO_DIR) + "/english.scenario"; }

// The items an in-process capture of the English sample shows under the
// default filter.
std::vector<MessageListItem> expectedItems() {
  testing_archive::ScratchDirectory scratch("-in-process");
  const TurnStore store(ArchiveLayout(ProgramDirectory(scratch.text())));
  auto game = testing_game::makeGame();
  testing_capture::CaptureFromFake(LoadScenario(scenarioPath()), 2401, store, *game);
  return BuildMainWindowView(*game, MessageFilter()).items;
}

class MainWindowEndToEnd : public ::testing::Test {
 protected:
  MainWindowEndToEnd() {
    // The reader keeps its archive beside itself: it runs from a folder of
    // the test's own.
    programDirectory = scratch.text() + "reader\\";
    std::filesystem::create_directories(ToPath(programDirectory));
    std::filesystem::copy_file(ToPath(VANDOR_READER_EXE), ToPath(programDirectory + "vandormsg.exe"));
  }

  std::unique_ptr<ChildProcess> startReader() {
    auto reader = std::make_unique<ChildProcess>(L"\"" + ToWide(programDirectory) + L"vandormsg.exe\"");
    main = WaitForDialog(kNotLoadedTitle, {IDC_READ_FROM_GAME, IDC_QUIT}, kWait);
    return reader;
  }

  std::wstring label(int id) const { return TextOf(GetDlgItem(main, id)); }
  bool enabled(int id) const { return IsWindowEnabled(GetDlgItem(main, id)) != FALSE; }

  // Presses "Read from Vandor!" and enters `turns` one after the other in
  // the Turn Information dialog; every refused one is confirmed.
  void readFromGame(std::initializer_list<const wchar_t*> turns) {
    Press(GetDlgItem(main, IDC_READ_FROM_GAME));
    HWND dialog = WaitForDialog(L"Turn Information", {IDC_TURN_EDIT, IDOK}, kWait);
    ASSERT_NE(dialog, nullptr);
    for (const wchar_t* turn : turns) {
      Type(dialog, IDC_TURN_EDIT, turn);
      Press(GetDlgItem(dialog, IDOK));
      if (std::wstring(turn) >= L"2400") break;
      HWND refusal = WaitForDialog(L"Error", {IDOK}, kWait);
      ASSERT_NE(refusal, nullptr);
      HWND text = FindWindowExW(refusal, nullptr, L"Static", L"Please enter a valid turn");
      EXPECT_NE(text, nullptr);
      PostMessageW(refusal, WM_COMMAND, IDOK, 0);
      ASSERT_TRUE(WaitUntil([&] { return !IsWindow(refusal); }, kWait));
    }
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, kWait));
  }

  // Answers the overwrite question with `button`.
  void answerOverwrite(int button) {
    HWND question = WaitForDialog(L"Vandor! Message Reader", {IDOK, IDCANCEL}, kWait);
    ASSERT_NE(question, nullptr);
    EXPECT_NE(FindWindowExW(question, nullptr, L"Static",
                            L"Turn 2401 for Game Andromeda/Race 1 already loaded. Overwrite old data?"),
              nullptr);
    PostMessageW(question, WM_COMMAND, button, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(question); }, kWait));
  }

  // The title changes first when the window shows a loaded turn: the
  // rest of the refresh is done once the reader is idle again.
  bool captured() {
    return WaitUntil([&] { return TextOf(main) == kLoadedTitle; }, kWait) &&
           WaitForIdle(main, kWait);
  }

  testing_archive::ScratchDirectory scratch;
  std::string programDirectory;
  HWND main = nullptr;
};

// The window in front, for a failure message: class, title and owner.
std::string frontWindowName() {
  const HWND front = GetForegroundWindow();
  wchar_t className[128] = L"";
  GetClassNameW(front, className, 128);
  HWND owner = GetWindow(front, GW_OWNER);
  return FromWide(className) + " \"" + FromWide(TextOf(front)) + "\" owned by \"" +
         FromWide(TextOf(owner)) + "\"";
}

TEST_F(MainWindowEndToEnd, CaptureThroughTheWindow) {
  const std::vector<MessageListItem> expected = expectedItems();
  SimulatedGame game(ToWide(VANDOR_SIM_EXE), ToWide(scenarioPath()));
  ASSERT_TRUE(game.Started());
  const auto reader = startReader();
  ASSERT_NE(main, nullptr);

  // Not loaded.
  EXPECT_EQ(label(IDC_GAME_LABEL), L"<not loaded>");
  EXPECT_EQ(label(IDC_YEAR_LABEL), L"XXXX");
  EXPECT_EQ(label(IDC_FILTER_LABEL), L"(Player Post)");
  for (int id : {IDC_READ_FROM_GAME, IDC_LOAD_GAME, IDC_ABOUT, IDC_QUIT}) EXPECT_TRUE(enabled(id)) << id;
  for (int id : {IDC_CHANGE_RACE, IDC_TURN_LIST, IDC_FILTER, IDC_MESSAGE_DETAIL, IDC_SAVE_AS_TEXT,
                 IDC_NEXT_TURN, IDC_PREV_TURN, IDC_ALL_TURNS, IDC_MESSAGE_LIST}) {
    EXPECT_FALSE(enabled(id)) << id;
  }

  readFromGame({L"2399", L"2401"});
  ASSERT_TRUE(captured()) << FromWide(TextOf(main));
  // The capture maximised the game's frame; the reader is restored and no
  // other window is in front of it. (Under Xvfb, without a window manager,
  // Wine now and then leaves no window in front, or the desktop, after the
  // game's frame gave up the foreground; that is not the game in front.)
  EXPECT_TRUE(IsWindowVisible(main) && !IsIconic(main));
  EXPECT_TRUE(WaitUntil([&] {
    const HWND front = GetForegroundWindow();
    return front == main || front == nullptr || front == GetDesktopWindow();
  }, 5000)) << "in front: " << frontWindowName();
  EXPECT_EQ(label(IDC_GAME_LABEL), L"Andromeda");
  EXPECT_EQ(label(IDC_RACE_LABEL), L"Terrans");
  EXPECT_EQ(label(IDC_YEAR_LABEL), L"2401");
  for (int id : {IDC_CHANGE_RACE, IDC_TURN_LIST, IDC_FILTER, IDC_SAVE_AS_TEXT, IDC_NEXT_TURN,
                 IDC_PREV_TURN, IDC_ALL_TURNS, IDC_MESSAGE_LIST}) {
    EXPECT_TRUE(enabled(id)) << id;
  }
  EXPECT_FALSE(enabled(IDC_MESSAGE_DETAIL));  // nothing was selected
  HWND list = GetDlgItem(main, IDC_MESSAGE_LIST);
  ASSERT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), static_cast<LRESULT>(expected.size()));
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(SendMessageW(list, LB_GETITEMHEIGHT, i, 0), expected[i].height) << i;
  }

  BringToTop(main);
  EXPECT_TRUE(WaitForPainted(main, kWait));
  std::filesystem::create_directories(VANDOR_SCREENSHOT_DIR);
  EXPECT_TRUE(SaveScreenshot(main, std::string(VANDOR_SCREENSHOT_DIR) + "/main-window.png"));

  // The same turn again: Cancel loads the stored turn, OK reads it anew.
  readFromGame({L"2401"});
  answerOverwrite(IDCANCEL);
  ASSERT_TRUE(captured());
  EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), static_cast<LRESULT>(expected.size()));
  readFromGame({L"2401"});
  answerOverwrite(IDOK);
  ASSERT_TRUE(captured());
  EXPECT_TRUE(testing_archive::exists(programDirectory + "DATA\\Andromeda\\1\\2401.txt"));

  Press(GetDlgItem(main, IDC_QUIT));
  EXPECT_TRUE(reader->WaitForExit(kWait));
}

TEST_F(MainWindowEndToEnd, EnterIsIgnoredAndEscapeEnds) {
  const auto reader = startReader();
  ASSERT_NE(main, nullptr);
  PostMessageW(main, WM_COMMAND, IDOK, 0);
  EXPECT_FALSE(reader->WaitForExit(1000));
  EXPECT_TRUE(IsWindow(main));
  PostMessageW(main, WM_COMMAND, IDCANCEL, 0);
  EXPECT_TRUE(reader->WaitForExit(kWait));
}

TEST_F(MainWindowEndToEnd, MissingGameIsReportedAndTheWindowStaysNotLoaded) {
  ASSERT_EQ(FindWindowW(L"vandorframe", nullptr), nullptr);
  const auto reader = startReader();
  ASSERT_NE(main, nullptr);
  Press(GetDlgItem(main, IDC_READ_FROM_GAME));
  HWND error = WaitForDialog(L"Error", {IDOK}, kWait);
  ASSERT_NE(error, nullptr);
  EXPECT_NE(FindWindowExW(error, nullptr, L"Static",
                          L"cannot find Vandor! - start Vandor! and load your game "),
            nullptr);
  PostMessageW(error, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(error); }, kWait));
  EXPECT_EQ(TextOf(main), kNotLoadedTitle);
  EXPECT_EQ(label(IDC_YEAR_LABEL), L"XXXX");
}

}  // namespace
