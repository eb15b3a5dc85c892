#include "support/local_time.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <memory>

#include "support/test_time_zone.h"
#include "support/text_format.h"

namespace {

using testing_time::libraryLocalTime;
using testing_time::ScopedTimeZone;
using testing_time::Zone;

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

TEST(LocalTime, CurrentTimeIsTheSystemClock) {
  using std::chrono::system_clock;
  const int64_t before = system_clock::to_time_t(system_clock::now());
  const int64_t now = currentTime();
  const int64_t after = system_clock::to_time_t(system_clock::now());
  // The C library's clock may lag the precise one by a tick at a second's
  // change.
  EXPECT_GE(now, before - 1);
  EXPECT_LE(now, after);
}

// Every field of the C library's breakdown, to compare whole breakdowns.
std::string fields(const std::tm& p) {
  return formatText("%d-%02d-%02d %02d:%02d:%02d wday %d yday %d dst %d", p.tm_year + 1900,
                    p.tm_mon + 1, p.tm_mday, p.tm_hour, p.tm_min, p.tm_sec, p.tm_wday,
                    p.tm_yday, p.tm_isdst);
}

void expectBreakdownsOfTheCLibrary() {
  for (int64_t t : testing_time::sampleTimes()) {
    std::tm expected{};
    std::tm parts{};
    const bool converts = libraryLocalTime(t, &expected);
    ASSERT_EQ(toLocalTime(t, &parts), converts) << "time " << t;
    if (!converts) continue;
    EXPECT_EQ(fields(parts), fields(expected)) << "time " << t;
    // Up to the year 9999 the form has its 24 characters.
    if (expected.tm_year + 1900 <= 9999) {
      EXPECT_EQ(clockText(t), testing_time::libraryClockText(expected)) << "time " << t;
    }
  }
}

TEST(LocalTime, BreakdownIsTheCLibrarysInTheMachinesZone) { expectBreakdownsOfTheCLibrary(); }

// The tests that run in each of the zones: UTC, and two with summer time.
class LocalTimeInZone : public ::testing::TestWithParam<Zone> {
 protected:
  void SetUp() override {
    if (!testing_time::kZonesCanBeSet) GTEST_SKIP() << testing_time::kWhyNoZones;
    zone_ = std::make_unique<ScopedTimeZone>(GetParam());
    // The zone is in force: the C library sees it too.
    std::tm epoch{};
    ASSERT_TRUE(libraryLocalTime(0, &epoch));
    ASSERT_EQ(epoch.tm_hour, GetParam().hourAtEpoch());
  }
  void TearDown() override { zone_.reset(); }

  std::unique_ptr<ScopedTimeZone> zone_;
};

TEST_P(LocalTimeInZone, BreakdownIsTheCLibrarys) {
  expectBreakdownsOfTheCLibrary();
  std::tm epoch{};
  ASSERT_TRUE(toLocalTime(0, &epoch));
  EXPECT_EQ(epoch.tm_hour, GetParam().hourAtEpoch());
}

INSTANTIATE_TEST_SUITE_P(Zones, LocalTimeInZone, testing_time::EveryZone(), testing_time::ZoneName);

TEST(LocalTime, SummerTimeChangesInBerlinAndNewYork) {
  if (!testing_time::kZonesCanBeSet) GTEST_SKIP() << testing_time::kWhyNoZones;
  {
    const ScopedTimeZone zone(testing_time::kBerlin);
    const int64_t spring = testing_time::kBerlinSpring2024;
    const int64_t autumn = testing_time::kBerlinAutumn2024;
    EXPECT_EQ(clockText(spring - 1), "Sun Mar 31 01:59:59 2024");
    EXPECT_EQ(clockText(spring), "Sun Mar 31 03:00:00 2024");
    EXPECT_EQ(clockText(autumn - 1), "Sun Oct 27 02:59:59 2024");
    EXPECT_EQ(clockText(autumn), "Sun Oct 27 02:00:00 2024");
    std::tm parts{};
    ASSERT_TRUE(toLocalTime(spring, &parts));
    EXPECT_GT(parts.tm_isdst, 0);
    ASSERT_TRUE(toLocalTime(autumn, &parts));
    EXPECT_EQ(parts.tm_isdst, 0);
  }
  {
    const ScopedTimeZone zone(testing_time::kNewYork);
    const int64_t spring = testing_time::kNewYorkSpring2024;
    const int64_t autumn = testing_time::kNewYorkAutumn2024;
    EXPECT_EQ(clockText(spring - 1), "Sun Mar 10 01:59:59 2024");
    EXPECT_EQ(clockText(spring), "Sun Mar 10 03:00:00 2024");
    EXPECT_EQ(clockText(autumn - 1), "Sun Nov  3 01:59:59 2024");
    EXPECT_EQ(clockText(autumn), "Sun Nov  3 01:00:00 2024");
    // New Year's Eve in New York is already 1 January in UTC.
    EXPECT_EQ(clockText(1704085200LL - 1), "Sun Dec 31 23:59:59 2023");
  }
}

TEST(LocalTime, AZoneSetForATestIsRestoredAfterIt) {
  if (!testing_time::kZonesCanBeSet) GTEST_SKIP() << testing_time::kWhyNoZones;
  const char* before = std::getenv("TZ");
  const std::string saved = before ? before : "";
  {
    const ScopedTimeZone zone(testing_time::kNewYork);
    EXPECT_STREQ(std::getenv("TZ"), testing_time::kNewYork.rule);
  }
  const char* after = std::getenv("TZ");
  EXPECT_EQ(after != nullptr, before != nullptr);
  if (after) {
    EXPECT_EQ(after, saved);
  }
}

TEST(TextFormat, FormatsTextsLongerThanAnyFixedBuffer) {
  const std::string name(20000, 'x');
  EXPECT_EQ(formatText("Column \"%s\" not found", name.c_str()),
            "Column \"" + name + "\" not found");
  EXPECT_EQ(formatText("%s", ""), "");
}

}  // namespace
