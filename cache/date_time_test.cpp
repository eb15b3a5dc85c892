#include "cache/date_time.h"

#include <gtest/gtest.h>

#include <cstring>

#include "support/local_time.h"

namespace {

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
