#include "support/lexc.h"

#include <gtest/gtest.h>

#include <chrono>
#include <regex>
#include <sstream>
#include <thread>

#include "support/local_time.h"
#include "support/test_streams.h"
#include "support/test_time_zone.h"

namespace {

TEST(LExc, ReportOfEachLeafClassNamesItsClass) {
  const std::string tail = "Text: t\r\nFile: cache/smartcache\r\nLine: 7";
  EXPECT_EQ(LExc_Internal_Unexpected("t", "cache/smartcache", 7).reportText(),
            "Type: LExc_Internal_Unexpected\r\n" + tail);
  EXPECT_EQ(LExc_Internal_BadConversion("t", "cache/smartcache", 7).reportText(),
            "Type: LExc_Internal_BadConversion\r\n" + tail);
  EXPECT_EQ(LExc_Internal_BadArg("t", "cache/smartcache", 7).reportText(),
            "Type: LExc_Internal_BadArg\r\n" + tail);
}

TEST(LExc, ReportOfAMissingColumn) {
  const LExc_Internal_Unexpected e("Column \"RACNO\" not found", "m", 1482);
  EXPECT_EQ(e.reportText(),
            "Type: LExc_Internal_Unexpected\r\n"
            "Text: Column \"RACNO\" not found\r\n"
            "File: m\r\n"
            "Line: 1482");
}

TEST(LExc, NullTextsAreEmptyAndNegativeLinesKeepTheirSign) {
  const LExc_Base e(nullptr, nullptr, nullptr, -12);
  EXPECT_EQ(e.reportText(), "Type: \r\nText: \r\nFile: \r\nLine: -12");
}

TEST(LExc, MemFormatsTheByteCountWithTrailingBlank) {
  const LExc_Internal_Mem e(40, "cache/smartcache", 249);
  EXPECT_EQ(e.type(), "LExc_Internal_Mem");
  EXPECT_EQ(e.text(), "failed to alloc 40 bytes ");
}

TEST(LExc, FourArgumentFormOfALeafGivesTheSameObject) {
  const LExc_Internal_BadArg viaBase("LExc_Internal_BadArg", "x", "f", 3);
  const LExc_Internal_BadArg direct("x", "f", 3);
  EXPECT_EQ(viaBase.reportText(), direct.reportText());
  const LExc_Internal_Mem mem("LExc_Internal_Mem", "failed to alloc 8 bytes ", "f", 3);
  EXPECT_EQ(mem.reportText(), LExc_Internal_Mem(8, "f", 3).reportText());
}

TEST(LExc, ThrownCopyKeepsEveryFieldIncludingTheTime) {
  const LExc_Internal_Unexpected original("invalid stream", "cache/smartcache", 530);
  try {
    throw original;
  } catch (const LExc_Base& caught) {
    EXPECT_EQ(caught.reportText(), original.reportText());
    EXPECT_EQ(caught.time(), original.time());
    EXPECT_NE(dynamic_cast<const LExc_Internal*>(&caught), nullptr);
  }
}

TEST(LExc, TimeIsTheCurrentSystemTime) {
  const int64_t before = currentTime();
  const LExc_Internal_BadArg e("x", "f", 1);
  EXPECT_GE(e.time(), before);
  EXPECT_LE(e.time(), currentTime());
}

TEST(LExc, PrintWritesTimeLocationAndMessageLines) {
  const LExc_Internal_BadConversion e("SQL_C_CHAR", "cache/smartcache_inliners", 952);
  std::ostringstream out;
  e.print(out);
  const std::string text = out.str();
  const std::regex form(
      "[A-Z][a-z]{2} [A-Z][a-z]{2} [ 123][0-9] [0-2][0-9]:[0-5][0-9]:[0-6][0-9] [0-9]{4}\n"
      " cache/smartcache_inliners Line 952\n"
      " - LExc_Internal_BadConversion - \"SQL_C_CHAR\"\n");
  EXPECT_TRUE(std::regex_match(text, form)) << text;
  EXPECT_EQ(text.find('\n'), 24u);
}

// The first line of the printed form of `e`.
std::string printedTime(const LExc_Base& e) {
  std::ostringstream out;
  e.print(out);
  return out.str().substr(0, out.str().find('\n'));
}

TEST(LExc, PrintShowsTheTimeOfRaising) {
  const int64_t before = currentTime();
  const LExc_Internal_Unexpected e("invalid stream", "cache/smartcache", 530);
  const int64_t after = currentTime();
  const std::string shown = printedTime(e);
  bool matched = false;
  for (int64_t t = before; t <= after; ++t) matched = matched || shown == clockText(t);
  EXPECT_TRUE(matched) << shown << " is not the local time of " << before << " to " << after
                       << " (" << clockText(before) << ")";
  EXPECT_EQ(shown, clockText(e.time()));
}

TEST(LExc, ACopyPrintedLaterShowsWhenItWasRaisedNotWhenPrinted) {
  const LExc_Internal_BadArg raised("x", "f", 1);
  // Wait for the clock's next second (at most about one).
  for (int i = 0; i < 150 && currentTime() == raised.time(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ASSERT_NE(currentTime(), raised.time());
  const LExc_Internal_BadArg copy = raised;
  EXPECT_EQ(printedTime(copy), clockText(raised.time()));
}

TEST(LExc, PrintShowsLocalTimeInTheZoneOfTheMachine) {
  if (!testing_time::kZonesCanBeSet) GTEST_SKIP() << testing_time::kWhyNoZones;
  for (const testing_time::Zone& zone : {testing_time::kBerlin, testing_time::kNewYork}) {
    const testing_time::ScopedTimeZone scoped(zone);
    const LExc_Internal_BadArg e("x", "f", 1);
    std::tm parts{};
    ASSERT_TRUE(testing_time::libraryLocalTime(e.time(), &parts));
    EXPECT_EQ(printedTime(e), testing_time::libraryClockText(parts)) << zone.name;
  }
}

TEST(LExc, PrintFlushesAfterTheLocationAndAfterTheMessage) {
  const LExc_Internal_BadConversion e("SQL_C_CHAR", "cache/smartcache_inliners", 952);
  testing_streams::SyncRecorder recorder;
  std::ostream out(&recorder);
  e.print(out);
  const std::string& text = recorder.text();
  const size_t second = text.find('\n', text.find('\n') + 1) + 1;
  EXPECT_TRUE(recorder.syncedAt(second)) << "no flush after \"" << text.substr(0, second) << "\"";
  EXPECT_TRUE(recorder.syncedAt(text.size())) << "no flush at the end";
  EXPECT_EQ(text.substr(second), " - LExc_Internal_BadConversion - \"SQL_C_CHAR\"\n");
}

}  // namespace
