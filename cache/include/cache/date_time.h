// Date, time-of-day and date-time values as the table stores them: the
// 6-byte ODBC date and time structures and the 16-byte timestamp structure.
// None of them validates its fields; values read from cells are taken as
// stored.
#pragma once

#include <cstdint>
#include <string>

class LDat {
 public:
  LDat() = default;
  LDat(int16_t year, uint16_t month, uint16_t day)
      : year(year), month(month), day(day) {}
  // The local date of `t` (seconds since 1970-01-01 UTC); all zero when the
  // time cannot be converted, as for negative values, and when its local
  // year lies past 32767, the last one the 16-bit year holds (from
  // 32768-01-01 00:00:00 local time on): such a time is refused, never
  // wrapped into a negative year.
  static LDat fromTime(int64_t t);
  virtual ~LDat() = default;

  // "%02.2d.%02.2d.%04.4d" of day, month, year: "08.12.2026".
  std::string text() const;
  void toBytes(uint8_t* out) const;  // 6 bytes
  static LDat fromBytes(const uint8_t* in);
  bool operator==(const LDat& o) const {
    return year == o.year && month == o.month && day == o.day;
  }

  int16_t year = 0;
  uint16_t month = 0;
  uint16_t day = 0;
};

class LTim {
 public:
  LTim() = default;
  LTim(uint16_t hour, uint16_t minute, uint16_t second)
      : hour(hour), minute(minute), second(second) {}
  // The local time of day of `t`; all zero when it cannot be converted,
  // and for every time LDat::fromTime refuses for its year.
  static LTim fromTime(int64_t t);
  virtual ~LTim() = default;

  // "%02.2d:%02.2d:%02.2d" of hour, minute, second: "04:05:09".
  std::string text() const;
  void toBytes(uint8_t* out) const;  // 6 bytes
  static LTim fromBytes(const uint8_t* in);
  bool operator==(const LTim& o) const {
    return hour == o.hour && minute == o.minute && second == o.second;
  }

  uint16_t hour = 0;
  uint16_t minute = 0;
  uint16_t second = 0;
};

class Timestamp {
 public:
  static constexpr uint32_t kCellBytes = 16;

  Timestamp() = default;
  Timestamp(const LDat& date, const LTim& time, uint32_t fraction = 0)
      : date(date), time(time), fraction(fraction) {}
  // Date and time of the one time value `t`, fraction 0; all zero when
  // LDat::fromTime and LTim::fromTime refuse `t`.
  static Timestamp fromTime(int64_t t);
  // The current local date and time, whole seconds.
  static Timestamp now();
  virtual ~Timestamp() = default;

  // The date text, " - ", the time text: "08.12.2026 - 04:05:09".
  std::string text() const;
  void toBytes(uint8_t* out) const;  // 16 bytes
  static Timestamp fromBytes(const uint8_t* in);
  bool operator==(const Timestamp& o) const {
    return date == o.date && time == o.time && fraction == o.fraction;
  }

  LDat date;
  LTim time;
  uint32_t fraction = 0;
};
