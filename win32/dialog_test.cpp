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
    HWND box = WaitForWindow(L"#32770", L"Error", 20000);
    if (box != nullptr) {
      shown = TextOf(GetDlgItem(box, 0xFFFF));
      PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
    HWND dialog = WaitForWindow(L"#32770", L"Turn Information", 20000);
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

}  // namespace
