#include "support/local_time.h"

#include <gtest/gtest.h>

#include "support/text_format.h"

namespace {

// 2038-01-20 12:00:00 UTC: past the end of 32-bit time values. In every
// time zone its local date is 19, 20 or 21 January 2038.
constexpr int64_t kAfter2038 = 2147601600LL;

TEST(LocalTime, HandlesTimesAfterJanuary2038) {
  std::tm parts{};
  ASSERT_TRUE(toLocalTime(kAfter2038, &parts));
  EXPECT_EQ(parts.tm_year + 1900, 2038);
  EXPECT_EQ(parts.tm_mon, 0);
  EXPECT_GE(parts.tm_mday, 19);
  EXPECT_LE(parts.tm_mday, 21);

  const std::string text = clockText(kAfter2038);
  EXPECT_EQ(text.size(), 24u);
  EXPECT_EQ(text.substr(4, 3), "Jan");
  EXPECT_EQ(text.substr(20), "2038");
}

TEST(LocalTime, NegativeTimesDoNotConvert) {
  std::tm parts{};
  parts.tm_year = 77;
  EXPECT_FALSE(toLocalTime(-1, &parts));
  EXPECT_EQ(parts.tm_year, 77);
  EXPECT_EQ(clockText(-1), "--- --- -- --:--:-- ----");
}

TEST(LocalTime, ClockTextPadsTheDayWithABlank) {
  // 2026-12-08 12:00:00 UTC: the 7th, 8th or 9th locally, a single digit.
  const std::string text = clockText(1796731200LL);
  EXPECT_EQ(text.substr(4, 4), "Dec ");
  EXPECT_EQ(text[8], ' ');
}

TEST(TextFormat, FormatsTextsLongerThanAnyFixedBuffer) {
  const std::string name(20000, 'x');
  EXPECT_EQ(formatText("Column \"%s\" not found", name.c_str()),
            "Column \"" + name + "\" not found");
  EXPECT_EQ(formatText("%s", ""), "");
}

}  // namespace
