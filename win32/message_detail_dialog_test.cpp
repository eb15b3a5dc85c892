#include "win32/message_detail_dialog.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <thread>

#include "app/control_ids.h"
#include "reader/message_classifier.h"
#include "reader/test_game.h"
#include "win32/driver/window_driver.h"
#include "win32/screen_area.h"
#include "win32/wide_text.h"

namespace {

constexpr DWORD kWait = 20000;

class DetailDialogTest : public ::testing::Test {
 protected:
  DetailDialogTest() : game(testing_game::makeGame()) {
    testing_game::addRace(*game, 1, "Zorgs", kEnemy);
  }

  // Shows the detail of row `row` on this thread, while `user` works the
  // dialog from another one, as a user at the keyboard would; the dialog
  // is closed afterwards if `user` left it open.
  void show(int32_t row, const std::function<void(HWND)>& user, HWND owner = nullptr) {
    MessageDetailDialog dialog(owner, *game, CachePosition(row));
    std::thread driver([&] {
      HWND shown = WaitForDialog(L"Message Detail", {IDC_DETAIL_TEXT, IDC_DETAIL_NEXT, IDCANCEL}, kWait);
      ASSERT_NE(shown, nullptr);
      user(shown);
      if (IsWindow(shown)) PostMessageW(shown, WM_COMMAND, IDCANCEL, 0);
    });
    dialog.DoModal();
    driver.join();
  }

  static std::wstring text(HWND dialog, int id) { return TextOf(GetDlgItem(dialog, id)); }

  // Types `key` into the dialog's focused control, then waits until `done`
  // holds. (A typed key is a posted message; the dialog answers a sent one
  // before it, so only the key's effect tells that it was handled.)
  static bool type(HWND dialog, UINT key, const std::function<bool()>& done) {
    return TypeKey(dialog, key) && WaitUntil(done, kWait) && WaitForIdle(dialog, kWait);
  }
  static std::function<bool()> shows(HWND dialog, const wchar_t* message) {
    return [=] { return text(dialog, IDC_DETAIL_TEXT) == message; };
  }

  // True when the focus is on an enabled control of `dialog`.
  static bool focusUsable(HWND dialog) {
    HWND focus = FocusOf(dialog);
    return focus != nullptr && IsChild(dialog, focus) && IsWindowEnabled(focus);
  }

  std::unique_ptr<CurrentGame> game;
};

TEST_F(DetailDialogTest, TheKeysKeepWorkingAtTheFirstAndTheLastMessage) {
  for (const char* message : {"first", "second", "third"}) {
    AddMessageRow(*game, message, game->MessageTable().rowCount() + 1, 1, -1);
  }
  show(1, [&](HWND dialog) {
    HWND previous = GetDlgItem(dialog, IDC_DETAIL_PREVIOUS);
    HWND next = GetDlgItem(dialog, IDC_DETAIL_NEXT);
    // The user tabbed to "Previous" and pages back to the first message:
    // the button goes, the keys stay.
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(previous), TRUE);
    ASSERT_TRUE(type(dialog, VK_LEFT, shows(dialog, L"first")));
    EXPECT_FALSE(IsWindowEnabled(previous));
    EXPECT_TRUE(focusUsable(dialog));
    ASSERT_TRUE(type(dialog, VK_RIGHT, shows(dialog, L"second")));
    ASSERT_TRUE(type(dialog, VK_DOWN, shows(dialog, L"third")));

    // The same at the last message, from "Next ".
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(next), TRUE);
    ASSERT_TRUE(type(dialog, VK_RIGHT, [&] { return !IsWindowEnabled(next); }));  // there is none
    EXPECT_TRUE(focusUsable(dialog));
    ASSERT_TRUE(type(dialog, VK_UP, shows(dialog, L"second")));
    ASSERT_TRUE(TypeKey(dialog, VK_ESCAPE));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, kWait));
  });
}

TEST_F(DetailDialogTest, ALongMessageScrollsToItsEnd) {
  std::string message;
  for (int line = 1; line <= 60; ++line) message += "line " + std::to_string(line) + "\r\n";
  message += "the end";
  AddMessageRow(*game, message.c_str(), 1, 1, -1);
  show(0, [&](HWND dialog) {
    HWND box = GetDlgItem(dialog, IDC_DETAIL_TEXT);
    EXPECT_EQ(SendMessageW(box, EM_GETLINECOUNT, 0, 0), 61);
    EXPECT_EQ(SendMessageW(box, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    // Page Down, typed into the dialog, scrolls the text, page by page to
    // its end.
    const auto firstLine = [&] { return SendMessageW(box, EM_GETFIRSTVISIBLELINE, 0, 0); };
    ASSERT_TRUE(type(dialog, VK_NEXT, [&] { return firstLine() > 5; }));
    for (LRESULT shown = firstLine(), before = -1; shown != before; shown = firstLine()) {
      before = shown;
      ASSERT_TRUE(TypeKey(dialog, VK_NEXT));
      WaitUntil([&] { return firstLine() != before; }, 1000);  // none at the end
    }
    RECT client;
    GetClientRect(box, &client);
    const LRESULT last = SendMessageW(box, EM_CHARFROMPOS, 0, MAKELPARAM(4, client.bottom - 4));
    EXPECT_EQ(HIWORD(last), 60);  // "the end" is on the screen
    BringToTop(dialog);
    ASSERT_TRUE(WaitForPainted(dialog, kWait));
    std::filesystem::create_directories(VANDOR_SCREENSHOT_DIR);
    EXPECT_TRUE(SaveScreenshot(dialog, std::string(VANDOR_SCREENSHOT_DIR) + "/detail-long-message.png"));
  });
}

TEST_F(DetailDialogTest, ARowWithoutADirectionIsShownAsIncoming) {
  AddMessageRow(*game, "FROM  Zorgs\r\nTO  you\r\nHello", 1, 1, -1);
  CacheRow odd = game->MessageTable().templateRow();  // as a file written elsewhere may hold it
  odd.setLong(MSGID, 2);
  odd.setLong(MSGTYP, 0);
  odd.setLong(MSGRACNO, 1);
  odd.setString(MSGTXT, "no direction");
  game->MessageTable().appendRow(odd);
  show(0, [&](HWND dialog) {
    ASSERT_TRUE(type(dialog, VK_RIGHT, shows(dialog, L"no direction")));
    EXPECT_EQ(text(dialog, IDC_DETAIL_PARTY), L"from: Zorgs");
    EXPECT_EQ(FindWindowW(L"#32770", L"Error"), nullptr);
  });
}

TEST_F(DetailDialogTest, ItOpensCentredOverItsOwner) {
  AddMessageRow(*game, "Hello", 1, 1, -1);
  HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 300, 200, 400, 300,
                               nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(owner, nullptr);
  show(0, [&](HWND dialog) {
    const Rect shown = WindowRect(dialog);
    const Rect area = WorkAreaAt(POINT{500, 350});
    EXPECT_NEAR((shown.left + shown.right) / 2, 500, 2);
    EXPECT_GE(shown.top, area.top);  // taller than the owner: kept on the screen
    EXPECT_LE(shown.bottom, area.bottom);
  }, owner);
  DestroyWindow(owner);
}

}  // namespace
