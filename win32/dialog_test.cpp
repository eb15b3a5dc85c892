#include "win32/dialog.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "app/control_ids.h"
#include "support/lexc.h"
#include "win32/driver/window_driver.h"
#include "win32/wide_text.h"

namespace {

// A dialog whose initialisation fails with a table error.
class FailingDialog : public Dialog {
 public:
  FailingDialog() : Dialog(IDD_TURN_INFO, nullptr) {}

 private:
  bool OnInit() override {
    throw LExc_Internal_Unexpected("Column \"MSGTXT\" not found", "cache/smartcache_inliners", 1482);
  }
};

TEST(Dialog, ExceptionsFromHandlersAreShownAndTheProgramGoesOn) {
  std::wstring shown;
  std::atomic<bool> done{false};
  // Closes the error message (remembering its text), then the dialog.
  std::thread user([&] {
    HWND box = WaitForDialog(L"Error", {IDOK, 0xFFFF}, 20000);
    if (box != nullptr) {
      shown = TextOf(GetDlgItem(box, 0xFFFF));
      PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
    HWND dialog = WaitForDialog(L"Turn Information", {IDC_TURN_EDIT, IDOK}, 20000);
    if (dialog != nullptr) PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    done = true;
  });
  FailingDialog dialog;
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  user.join();
  EXPECT_TRUE(done);
  EXPECT_EQ(FromWide(shown),
            "The command stopped on an error. Details: \r\n Type: LExc_Internal_Unexpected\r\n"
            "Text: Column \"MSGTXT\" not found\r\nFile: cache/smartcache_inliners\r\nLine: 1482");
}

// A dialog that takes its time to set up and fills its field when it does,
// as the reader's dialogs fill theirs.
class SlowDialog : public Dialog {
 public:
  SlowDialog() : Dialog(IDD_TURN_INFO, nullptr) {}
  std::atomic<bool> initialised{false};
  std::wstring entered;

 private:
  bool OnInit() override {
    Sleep(300);
    SetDlgItemTextW(Handle(), IDC_TURN_EDIT, L"");
    initialised = true;
    return true;
  }
  void OnOk() override {
    entered = TextOf(Item(IDC_TURN_EDIT));
    End(IDOK);
  }
};

TEST(WaitForDialog, ReturnsOnlyOnceTheDialogTakesInput) {
  SlowDialog dialog;
  bool readyAfterInit = false;
  std::thread user([&] {
    HWND found = WaitForDialog(L"Turn Information", {IDC_TURN_EDIT, IDOK}, 20000);
    readyAfterInit = found != nullptr && dialog.initialised;
    if (found == nullptr) return;
    Type(found, IDC_TURN_EDIT, L"2402");
    Press(GetDlgItem(found, IDOK));
  });
  EXPECT_EQ(dialog.DoModal(), IDOK);
  user.join();
  EXPECT_TRUE(readyAfterInit);
  EXPECT_EQ(FromWide(dialog.entered), "2402");  // not wiped by the dialog's own set-up
}

TEST(WaitForDialog, GivesUpOnADialogWithoutTheControls) {
  HWND found = nullptr;
  std::thread user([&] {
    // The Turn Information dialog has no control of that id: never ready.
    found = WaitForDialog(L"Turn Information", {IDC_TURN_EDIT, 4242}, 500);
    if (HWND dialog = WaitForDialog(L"Turn Information", {IDC_TURN_EDIT}, 20000)) {
      PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    }
  });
  Dialog dialog(IDD_TURN_INFO, nullptr);
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  user.join();
  EXPECT_EQ(found, nullptr);
}

}  // namespace

namespace {

TEST(GuardCallback, ShowsWhatTheCallbackRaisesAndGivesItsFailureValue) {
  std::wstring shown;
  std::thread user([&] {
    HWND box = WaitForDialog(L"Error", {IDOK, 0xFFFF}, 20000);
    if (box == nullptr) return;
    shown = TextOf(GetDlgItem(box, 0xFFFF));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
  });
  const LRESULT result = GuardCallback(
      nullptr, []() -> LRESULT { throw LExc_Internal_Unexpected("broken paint", "app/x", 7); }, 42);
  user.join();
  EXPECT_EQ(result, 42);
  EXPECT_NE(FromWide(shown).find("Text: broken paint"), std::string::npos) << FromWide(shown);
  EXPECT_EQ(GuardCallback(nullptr, [] { return LRESULT{5}; }, 42), 5);
}

}  // namespace
