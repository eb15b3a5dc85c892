#include "cache/date_time.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>

#include "support/local_time.h"
#include "support/test_time_zone.h"

namespace {

using testing_time::kYear32768;
using testing_time::libraryLocalTime;
using testing_time::ScopedTimeZone;
using testing_time::Zone;

// What the cells of `t` must hold: the C library's local breakdown, or all
// zero where it refuses `t` or its year passes 32767.
Timestamp expectedAt(int64_t t) {
  std::tm p{};
  if (!libraryLocalTime(t, &p) || p.tm_year + 1900 > 32767) return Timestamp();
  return Timestamp(LDat(static_cast<int16_t>(p.tm_year + 1900), static_cast<uint16_t>(p.tm_mon + 1),
                        static_cast<uint16_t>(p.tm_mday)),
                   LTim(static_cast<uint16_t>(p.tm_hour), static_cast<uint16_t>(p.tm_min),
                        static_cast<uint16_t>(p.tm_sec)));
}

void expectTheCLibrarysFields() {
  for (int64_t t : testing_time::sampleTimes()) {
    const Timestamp expected = expectedAt(t);
    EXPECT_EQ(LDat::fromTime(t).text(), expected.date.text()) << "time " << t;
    EXPECT_EQ(LTim::fromTime(t).text(), expected.time.text()) << "time " << t;
    EXPECT_EQ(Timestamp::fromTime(t).text(), expected.text()) << "time " << t;
  }
}

// Now, read between two readings of the clock, is the local time of one of
// the seconds between them.
void expectNowIsTheClocksLocalTime() {
  const int64_t before = currentTime();
  const Timestamp now = Timestamp::now();
  const int64_t after = currentTime();
  bool matched = false;
  for (int64_t t = before; t <= after; ++t) matched = matched || now == expectedAt(t);
  EXPECT_TRUE(matched) << now.text() << " is not the local time of " << before << " to "
                       << after << " (" << expectedAt(before).text() << ")";
}

TEST(DateTime, Texts) {
  EXPECT_EQ(LDat(2026, 12, 8).text(), "08.12.2026");
  EXPECT_EQ(LTim(4, 5, 9).text(), "04:05:09");
  EXPECT_EQ(Timestamp(LDat(2026, 12, 8), LTim(4, 5, 9), 77).text(),
            "08.12.2026 - 04:05:09");
  EXPECT_EQ(LDat().text(), "00.00.0000");
  EXPECT_EQ(LTim().text(), "00:00:00");
  // The widths are minimums; the year is signed.
  EXPECT_EQ(LDat(12345, 1, 31).text(), "31.01.12345");
  EXPECT_EQ(LDat(-5, 1, 2).text(), "02.01.-0005");
}

TEST(DateTime, NegativeTimeValuesGiveZeroFields) {
  EXPECT_EQ(LDat::fromTime(-1), LDat());
  EXPECT_EQ(LTim::fromTime(-86400), LTim());
  EXPECT_EQ(Timestamp::fromTime(-1), Timestamp());
}

TEST(DateTime, TimeValuesAfter2038) {
  // 2040-06-15 12:00:00 UTC.
  const LDat date = LDat::fromTime(2223460800LL);
  EXPECT_EQ(date.year, 2040);
  EXPECT_EQ(date.month, 6);
  EXPECT_GE(date.day, 14);
  EXPECT_LE(date.day, 16);
}

TEST(DateTime, FieldsAreTheCLibrarysLocalBreakdown) { expectTheCLibrarysFields(); }

TEST(DateTime, NowIsTheLocalTimeOfTheClock) { expectNowIsTheClocksLocalTime(); }

TEST(DateTime, YearsPast32767AreRefusedNotWrapped) {
  // Cast to 16 bits, the year of this time (33658) came out as -31878.
  EXPECT_EQ(LDat::fromTime(1000000000000LL).text(), LDat().text());
  EXPECT_EQ(LTim::fromTime(1000000000000LL).text(), LTim().text());
  EXPECT_EQ(Timestamp::fromTime(1000000000000LL).text(), Timestamp().text());
  // A day past the last second of 32767 in every zone, and far beyond.
  for (int64_t t : {kYear32768 + 86400, kYear32768 + 400 * 86400, int64_t{1000000000000000LL},
                    INT64_MAX}) {
    EXPECT_EQ(LDat::fromTime(t).text(), LDat().text()) << "time " << t;
    EXPECT_EQ(LTim::fromTime(t).text(), LTim().text()) << "time " << t;
    EXPECT_EQ(Timestamp::fromTime(t).text(), Timestamp().text()) << "time " << t;
  }
  // A day before it in every zone the year is still 32767, where the
  // platform converts such times (the Windows C runtime stops after 3000).
  std::tm parts{};
  const int64_t before = kYear32768 - 86400;
  if (libraryLocalTime(before, &parts)) {
    EXPECT_EQ(LDat::fromTime(before).year, 32767);
    EXPECT_EQ(LDat::fromTime(before).month, 12);
  } else {
    EXPECT_EQ(Timestamp::fromTime(before).text(), Timestamp().text());
  }
}

// The tests that run in each of the zones: UTC, and two with summer time.
class DateTimeInZone : public ::testing::TestWithParam<Zone> {
 protected:
  void SetUp() override {
    if (!testing_time::kZonesCanBeSet) GTEST_SKIP() << testing_time::kWhyNoZones;
    zone_ = std::make_unique<ScopedTimeZone>(GetParam());
    std::tm epoch{};
    ASSERT_TRUE(libraryLocalTime(0, &epoch));
    ASSERT_EQ(epoch.tm_hour, GetParam().hourAtEpoch());  // the zone is in force
  }
  void TearDown() override { zone_.reset(); }

  // The last second of the year 32767 in local time (winter time).
  int64_t lastLocalSecondOf32767() const {
    return kYear32768 - 1 - 3600 * int64_t{GetParam().winterHours};
  }

  std::unique_ptr<ScopedTimeZone> zone_;
};

TEST_P(DateTimeInZone, FieldsAreTheCLibrarysLocalBreakdown) { expectTheCLibrarysFields(); }

TEST_P(DateTimeInZone, NowIsTheLocalTimeOfTheClock) { expectNowIsTheClocksLocalTime(); }

TEST_P(DateTimeInZone, TheLastSecondOf32767IsTheLastOneConverted) {
  const int64_t last = lastLocalSecondOf32767();
  EXPECT_EQ(Timestamp::fromTime(last).text(), "31.12.32767 - 23:59:59");
  EXPECT_EQ(LDat::fromTime(last).text(), LDat(32767, 12, 31).text());
  EXPECT_EQ(LTim::fromTime(last).text(), LTim(23, 59, 59).text());
  EXPECT_EQ(LDat::fromTime(last + 1).text(), LDat().text());
  EXPECT_EQ(LTim::fromTime(last + 1).text(), LTim().text());
  EXPECT_EQ(Timestamp::fromTime(last + 1).text(), Timestamp().text());
}

INSTANTIATE_TEST_SUITE_P(Zones, DateTimeInZone, testing_time::EveryZone(), testing_time::ZoneName);

TEST(DateTime, SummerTimeChangesInBerlin) {
  if (!testing_time::kZonesCanBeSet) GTEST_SKIP() << testing_time::kWhyNoZones;
  const ScopedTimeZone zone(testing_time::kBerlin);
  const int64_t spring = testing_time::kBerlinSpring2024;
  EXPECT_EQ(Timestamp::fromTime(spring - 1).text(), "31.03.2024 - 01:59:59");
  EXPECT_EQ(Timestamp::fromTime(spring).text(), "31.03.2024 - 03:00:00");
  EXPECT_EQ(Timestamp::fromTime(spring + 17 * 60 + 42).text(), "31.03.2024 - 03:17:42");
  const int64_t autumn = testing_time::kBerlinAutumn2024;
  EXPECT_EQ(Timestamp::fromTime(autumn - 1).text(), "27.10.2024 - 02:59:59");
  EXPECT_EQ(Timestamp::fromTime(autumn).text(), "27.10.2024 - 02:00:00");
}

TEST(DateTime, NowAgreesWithTheClock) {
  const Timestamp now = Timestamp::now();
  std::tm parts{};
  ASSERT_TRUE(toLocalTime(currentTime(), &parts));
  EXPECT_EQ(now.fraction, 0u);
  EXPECT_EQ(now.date.year, parts.tm_year + 1900);
  EXPECT_GE(now.date.month, 1);
  EXPECT_LE(now.time.hour, 23);
}

TEST(DateTime, CellFormsAreLittleEndianAndRoundTrip) {
  const Timestamp ts(LDat(-2, 0xABCD, 3), LTim(23, 59, 58), 0x01020304);
  uint8_t bytes[16];
  ts.toBytes(bytes);
  const uint8_t expected[16] = {0xFE, 0xFF, 0xCD, 0xAB, 3, 0, 23, 0,
                                59,   0,    58,   0,    4, 3, 2, 1};
  EXPECT_EQ(0, std::memcmp(bytes, expected, 16));
  EXPECT_EQ(Timestamp::fromBytes(bytes), ts);

  uint8_t six[6];
  LTim(1, 2, 3).toBytes(six);
  EXPECT_EQ(LTim::fromBytes(six), LTim(1, 2, 3));
  LDat(2401, 12, 31).toBytes(six);
  EXPECT_EQ(LDat::fromBytes(six), LDat(2401, 12, 31));
}

}  // namespace
