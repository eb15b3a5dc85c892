// End-to-end browsing through the reader's windows: over an archive of
// several games, races and turns, the tests use Load Game, Change Race,
// Turn list, Next and Prev, the filter, All Turns, the message detail, Save
// as Text and the About dialog's debug dump, and save screenshots. Each
// test starts the reader anew on the same archive.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "app/colors.h"
#include "app/control_ids.h"
#include "app/test_capture.h"
#include "archive/test_archive.h"
#include "reader/current_game.h"
#include "support/version.h"
#include "win32/driver/window_driver.h"
#include "win32/wide_text.h"

namespace {

constexpr DWORD kWait = 30000;
const wchar_t kReaderTitle[] = L"Korvik Vandor! Message Reader V" VANDOR_VERSION_TEXT;
const wchar_t kAboutVersion[] = L"Vandor! Message Reader V" VANDOR_VERSION_TEXT;

Scenario sample(const char* name) { return LoadScenario(std::string(VANDOR_SCENARIO_DIR) + "/" + name); }

class BrowseEndToEnd : public ::testing::Test {
 protected:
  BrowseEndToEnd() : archive(ArchiveLayout(ProgramDirectory(scratch.text()))) {
    std::filesystem::copy_file(ToPath(VANDOR_READER_EXE), ToPath(scratch.text() + "vandormsg.exe"));
    for (int32_t turn : {2401, 2402, 2403}) store(sample("english.scenario"), turn);
    Scenario otherRace = sample("english.scenario");
    otherRace.title = "Vandor! - Andromeda - Kaa - Speaker m3";  // race 2
    store(otherRace, 2401);
    store(sample("german.scenario"), 2405);
  }

  void SetUp() override {
    reader = std::make_unique<ChildProcess>(L"\"" + ToWide(scratch.text()) + L"vandormsg.exe\"");
    main = WaitForDialog(kReaderTitle, {IDC_LOAD_GAME, IDC_QUIT}, kWait);
    ASSERT_NE(main, nullptr);
  }

  void TearDown() override {
    if (main != nullptr) Press(GetDlgItem(main, IDC_QUIT));
    EXPECT_TRUE(reader->WaitForExit(kWait));
  }

  // Captures `scenario` as turn `turn` into the reader's archive.
  void store(const Scenario& scenario, int32_t turn) {
    CurrentGame game;
    testing_capture::CaptureFromFake(scenario, turn, archive, game);
    ASSERT_TRUE(game.HasTurn());
  }

  std::wstring label(int id) const { return TextOf(GetDlgItem(main, id)); }
  LRESULT listed() const { return SendMessageW(GetDlgItem(main, IDC_MESSAGE_LIST), LB_GETCOUNT, 0, 0); }

  // Presses `button` of the main window and returns the dialog titled
  // `title` that it opens, once its `controls` take input.
  HWND open(int button, const wchar_t* title, std::initializer_list<int> controls) {
    Press(GetDlgItem(main, button));
    return WaitForDialog(title, controls, kWait);
  }

  // Chooses entry `index` in the chooser that `button` opens.
  void choose(int button, const wchar_t* title, int index, bool doubleClick = false) {
    HWND chooser = open(button, title, {IDC_CHOOSER_LIST, IDOK});
    ASSERT_NE(chooser, nullptr) << FromWide(title);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(chooser, IDOK)));  // until a selection
    SelectEntry(chooser, IDC_CHOOSER_LIST, index, doubleClick);
    if (!doubleClick) {
      ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(GetDlgItem(chooser, IDOK)) != FALSE; }, kWait));
      Press(GetDlgItem(chooser, IDOK));
    }
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(chooser); }, kWait));
  }

  // The label shows the new year before the refresh has ended: the rest
  // is done once the reader is idle again.
  bool yearBecomes(const wchar_t* year) {
    return WaitUntil([&] { return label(IDC_YEAR_LABEL) == year; }, kWait) &&
           WaitForIdle(main, kWait);
  }

  // Load Game on Andromeda, which shows the first race listed and its
  // latest turn.
  void loadAndromeda() {
    const std::vector<std::string> games = archive.ListGames();
    const int andromeda =
        static_cast<int>(std::find(games.begin(), games.end(), "Andromeda") - games.begin());
    choose(IDC_LOAD_GAME, L"Choose Game to load", andromeda);
    races = archive.ListRaces("Andromeda");
    ASSERT_TRUE(yearBecomes(races.front() == 1 ? L"2403" : L"2401"));
    EXPECT_EQ(label(IDC_GAME_LABEL), L"Andromeda");
  }

  // Andromeda's race 1, the Terrans, at their latest turn 2403.
  void loadTerrans() {
    loadAndromeda();
    choose(IDC_CHANGE_RACE, L"Choose Player Race", indexOf(races, 1));
    ASSERT_TRUE(yearBecomes(L"2403"));
    EXPECT_EQ(label(IDC_RACE_LABEL), L"Terrans");
  }

  // All Turns of the Terrans: the player post of their three turns.
  void showAllTurns() {
    loadTerrans();
    Press(GetDlgItem(main, IDC_ALL_TURNS));
    ASSERT_TRUE(yearBecomes(L"ALL"));
    EXPECT_EQ(listed(), 18);
  }

  void screenshot(HWND window, const char* name) {
    BringToTop(window);
    EXPECT_TRUE(WaitForPainted(window, kWait));
    std::filesystem::create_directories(VANDOR_SCREENSHOT_DIR);
    EXPECT_TRUE(SaveScreenshot(window, std::string(VANDOR_SCREENSHOT_DIR) + "/" + name));
  }

  static int indexOf(const std::vector<int32_t>& list, int32_t value) {
    return static_cast<int>(std::find(list.begin(), list.end(), value) - list.begin());
  }

  testing_archive::ScratchDirectory scratch;
  TurnStore archive;
  std::unique_ptr<ChildProcess> reader;
  HWND main = nullptr;
  std::vector<int32_t> races;  // Andromeda's, as listed
};

TEST_F(BrowseEndToEnd, LoadGameChangeRaceAndStepThroughTheTurns) {
  loadTerrans();
  choose(IDC_TURN_LIST, L"Choose Turn", 1, true);
  ASSERT_TRUE(yearBecomes(L"2402"));
  Press(GetDlgItem(main, IDC_NEXT_TURN));
  ASSERT_TRUE(yearBecomes(L"2403"));
  ASSERT_TRUE(PressAndWait(GetDlgItem(main, IDC_NEXT_TURN), kWait));  // the latest: nothing happens
  EXPECT_EQ(label(IDC_YEAR_LABEL), L"2403");
  Press(GetDlgItem(main, IDC_PREV_TURN));
  Press(GetDlgItem(main, IDC_PREV_TURN));
  ASSERT_TRUE(yearBecomes(L"2401"));
  ASSERT_TRUE(PressAndWait(GetDlgItem(main, IDC_PREV_TURN), kWait));  // the earliest
  EXPECT_EQ(label(IDC_YEAR_LABEL), L"2401");
}

TEST_F(BrowseEndToEnd, TheFilterShowsWhatItsChoiceSays) {
  loadTerrans();
  // Its chooser shows the races in the colours of their places.
  HWND chooser = open(IDC_FILTER, L"Choose Filter Option:", {IDC_CHOOSER_LIST});
  ASSERT_NE(chooser, nullptr);
  screenshot(chooser, "filter-chooser.png");
  PostMessageW(chooser, WM_COMMAND, IDCANCEL, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(chooser); }, kWait));
  struct View {
    int index;
    const wchar_t* label;
    LRESULT count;
  };
  for (const View& view : {View{0, L"(All Messages)", 8}, View{2, L"(Outgoing Post)", 2},
                           View{3, L"Zorgs", 2}, View{1, L"(Player Post)", 6}}) {
    choose(IDC_FILTER, L"Choose Filter Option:", view.index);
    ASSERT_TRUE(WaitUntil([&] { return label(IDC_FILTER_LABEL) == view.label; }, kWait));
    ASSERT_TRUE(WaitForIdle(main, kWait));
    EXPECT_EQ(listed(), view.count) << FromWide(view.label);
  }
}

TEST_F(BrowseEndToEnd, AllTurnsAndTheDetailPager) {
  showAllTurns();
  // The detail of the first message, paged with the arrow keys.
  SelectEntry(main, IDC_MESSAGE_LIST, 0, true);
  HWND detail = WaitForDialog(L"Message Detail", {IDC_DETAIL_HEADER, IDC_DETAIL_TEXT, IDCANCEL}, kWait);
  ASSERT_NE(detail, nullptr);
  EXPECT_EQ(TextOf(GetDlgItem(detail, IDC_DETAIL_HEADER)), L"---System Message---");
  const std::wstring first = ControlText(GetDlgItem(detail, IDC_DETAIL_TEXT));
  EXPECT_FALSE(first.empty());
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(detail, IDC_DETAIL_PREVIOUS)));
  PostMessageW(detail, WM_KEYDOWN, VK_RIGHT, 0);
  PostMessageW(detail, WM_KEYDOWN, VK_DOWN, 0);
  PostMessageW(detail, WM_KEYDOWN, VK_DOWN, 0);
  ASSERT_TRUE(WaitUntil([&] { return TextOf(GetDlgItem(detail, IDC_DETAIL_PARTY)) == L"from: Zorgs"; },
                        kWait));
  EXPECT_EQ(TextOf(GetDlgItem(detail, IDC_DETAIL_HEADER)), L"---Diplomatic Message---");
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(detail, IDC_DETAIL_PREVIOUS)));
  screenshot(detail, "message-detail.png");
  PostMessageW(detail, WM_KEYDOWN, VK_LEFT, 0);
  PostMessageW(detail, WM_KEYDOWN, VK_UP, 0);
  PostMessageW(detail, WM_KEYDOWN, VK_UP, 0);
  ASSERT_TRUE(
      WaitUntil([&] { return ControlText(GetDlgItem(detail, IDC_DETAIL_TEXT)) == first; }, kWait));
  Press(GetDlgItem(detail, IDCANCEL));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(detail); }, kWait));
}

TEST_F(BrowseEndToEnd, SaveAsTextWritesTheMessagesShown) {
  showAllTurns();
  const std::string saved = scratch.text() + "saved.txt";
  HWND save = open(IDC_SAVE_AS_TEXT, L"Save As", {IDOK});
  ASSERT_NE(save, nullptr);
  for (int field : {0x047C, 0x0480}) Type(save, field, ToWide(saved));
  Press(GetDlgItem(save, IDOK));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(save); }, kWait));
  ASSERT_TRUE(WaitForIdle(main, kWait));  // the file is written
  const std::string text = testing_archive::fileBytes(saved);
  EXPECT_EQ(text.rfind("--- Message ", 0), 0u);
  size_t records = 0;
  for (size_t at = 0; (at = text.find("--- \r\n\r\n", at)) != std::string::npos; at += 8) ++records;
  EXPECT_EQ(records, 18u);
}

TEST_F(BrowseEndToEnd, AboutWritesTheDebugDumpOnEscapeAndStaysOpen) {
  loadTerrans();
  DeleteFileW(L"C:\\vandormsg.log");
  HWND about = open(IDC_ABOUT, L"About...", {IDC_ABOUT_VERSION, IDOK});
  ASSERT_NE(about, nullptr);
  EXPECT_EQ(TextOf(GetDlgItem(about, IDC_ABOUT_VERSION)), kAboutVersion);
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(about, IDCANCEL)));
  screenshot(about, "about.png");
  PostMessageW(about, WM_COMMAND, IDCANCEL, 0);
  ASSERT_TRUE(WaitUntil([] { return testing_archive::exists("C:\\vandormsg.log"); }, kWait));
  ASSERT_TRUE(WaitForIdle(about, kWait));  // the dump is written, the dialog back in its loop
  EXPECT_TRUE(IsWindow(about));
  const std::string dump = testing_archive::fileBytes("C:\\vandormsg.log");
  EXPECT_EQ(dump.rfind("\r\nRACNO\tRACNAMSING\t", 0), 0u);
  EXPECT_NE(dump.find("\r\nTURN\tMSGID\tMSGTYP\t"), std::string::npos);
  Press(GetDlgItem(about, IDOK));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(about); }, kWait));
}

// The selected part of the detail dialog's text box.
std::wstring selectedText(HWND detail) {
  HWND box = GetDlgItem(detail, IDC_DETAIL_TEXT);
  // From another process only the result can carry the selection: the
  // pointers EM_GETSEL may take would point into this process.
  const auto selection = static_cast<DWORD>(SendMessageW(box, EM_GETSEL, 0, 0));
  const size_t begin = LOWORD(selection);
  const size_t end = HIWORD(selection);
  const std::wstring text = ControlText(box);
  return begin <= end && end <= text.size() ? text.substr(begin, end - begin) : L"";
}

// Find over the Terrans' three captured turns: "Sirius" stands in a
// production report, in a Zorg message and in the reply to it, every turn.
TEST_F(BrowseEndToEnd, FindShowsEveryTurnsHitsAndThePagerSelectsThem) {
  loadTerrans();
  const auto find = [&](const wchar_t* text, bool toggleCase, bool enter) {
    HWND dialog = open(IDC_FIND, L"Find", {IDC_FIND_TEXT, IDC_FIND_IGNORE_CASE, IDOK, IDCANCEL});
    ASSERT_NE(dialog, nullptr);
    Type(dialog, IDC_FIND_TEXT, text);
    if (toggleCase) {
      ASSERT_TRUE(PressAndWait(GetDlgItem(dialog, IDC_FIND_IGNORE_CASE), kWait));
      screenshot(dialog, "find-dialog.png");
    }
    if (enter) {
      ASSERT_TRUE(TypeKey(dialog, VK_RETURN));
    } else {
      Press(GetDlgItem(dialog, IDOK));
    }
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, kWait));
  };
  // Exactly, "sirius" is nowhere: the view says so.
  find(L"sirius", false, false);
  ASSERT_TRUE(yearBecomes(L"FIND"));
  EXPECT_EQ(listed(), 1);  // "--- No Messages ---"
  EXPECT_EQ(SendMessageW(GetDlgItem(main, IDC_MESSAGE_LIST), LB_GETITEMHEIGHT, 0, 0), 100);

  // Escape keeps the view; the dialog opens with the last text.
  HWND dialog = open(IDC_FIND, L"Find", {IDC_FIND_TEXT, IDOK});
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(ControlText(GetDlgItem(dialog, IDC_FIND_TEXT)), L"sirius");
  ASSERT_TRUE(TypeKey(dialog, VK_ESCAPE));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, kWait));
  EXPECT_EQ(label(IDC_YEAR_LABEL), L"FIND");

  // Ignoring case: nine hits, of which "(Player Post)" lists six.
  find(L"sirius", true, true);
  ASSERT_TRUE(WaitUntil([&] { return listed() == 6; }, kWait));
  ASSERT_TRUE(WaitForIdle(main, kWait));
  EXPECT_EQ(label(IDC_YEAR_LABEL), L"FIND");
  screenshot(main, "find-view.png");

  // The detail selects the hit in every message it pages to, the system
  // messages among the hits included.
  SelectEntry(main, IDC_MESSAGE_LIST, 0, true);
  HWND detail = WaitForDialog(L"Message Detail", {IDC_DETAIL_HEADER, IDC_DETAIL_TEXT, IDCANCEL}, kWait);
  ASSERT_NE(detail, nullptr);
  EXPECT_EQ(TextOf(GetDlgItem(detail, IDC_DETAIL_PARTY)), L"from: Zorgs");
  EXPECT_EQ(selectedText(detail), L"Sirius");
  screenshot(detail, "find-detail.png");
  for (int k = 0; k < 3; ++k) PostMessageW(detail, WM_KEYDOWN, VK_LEFT, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowEnabled(GetDlgItem(detail, IDC_DETAIL_PREVIOUS)); },
                        kWait));
  EXPECT_EQ(TextOf(GetDlgItem(detail, IDC_DETAIL_HEADER)), L"---System Message---");
  EXPECT_EQ(selectedText(detail), L"Sirius");
  for (int k = 0; k < 4; ++k) PostMessageW(detail, WM_KEYDOWN, VK_RIGHT, 0);
  ASSERT_TRUE(WaitUntil([&] { return TextOf(GetDlgItem(detail, IDC_DETAIL_PARTY)) == L"to: Zorgs"; },
                        kWait));
  EXPECT_EQ(selectedText(detail), L"Sirius");
  for (int k = 0; k < 4; ++k) PostMessageW(detail, WM_KEYDOWN, VK_DOWN, 0);
  ASSERT_TRUE(
      WaitUntil([&] { return !IsWindowEnabled(GetDlgItem(detail, IDC_DETAIL_NEXT)); }, kWait));
  EXPECT_EQ(TextOf(GetDlgItem(detail, IDC_DETAIL_PARTY)), L"to: Zorgs");
  EXPECT_EQ(selectedText(detail), L"Sirius");
  Press(GetDlgItem(detail, IDCANCEL));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(detail); }, kWait));

  // The next load ends the view.
  Press(GetDlgItem(main, IDC_PREV_TURN));
  ASSERT_TRUE(yearBecomes(L"2402"));
  EXPECT_EQ(listed(), 6);  // the player post of turn 2402
}

}  // namespace
