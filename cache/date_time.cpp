#include "cache/date_time.h"

#include <limits>

#include "cache/le_bytes.h"
#include "support/local_time.h"
#include "support/text_format.h"

namespace {

// The local breakdown of `t` for a date or time cell. A year the cell's
// 16-bit year cannot hold is refused like a time the platform cannot
// convert: cast, the year 33658 would come out as -31878.
bool cellParts(int64_t t, std::tm* parts) {
  if (!toLocalTime(t, parts)) return false;
  const int64_t year = int64_t{parts->tm_year} + 1900;
  return year >= std::numeric_limits<int16_t>::min() &&
         year <= std::numeric_limits<int16_t>::max();
}

}  // namespace

LDat LDat::fromTime(int64_t t) {
  std::tm parts{};
  if (!cellParts(t, &parts)) return LDat();
  const auto field = [](int value) { return static_cast<uint16_t>(value); };
  return LDat(static_cast<int16_t>(parts.tm_year + 1900), field(parts.tm_mon + 1),
              field(parts.tm_mday));
}

// The precision gives the zero padding ("%02.2d" prints the same; the 0 flag
// is ignored next to a precision).
std::string LDat::text() const {
  return formatText("%.2d.%.2d.%.4d", static_cast<int>(day),
                    static_cast<int>(month), static_cast<int>(year));
}

void LDat::toBytes(uint8_t* out) const {
  putU16(out, static_cast<uint16_t>(year));
  putU16(out + 2, month);
  putU16(out + 4, day);
}

LDat LDat::fromBytes(const uint8_t* in) {
  return LDat(static_cast<int16_t>(getU16(in)), getU16(in + 2),
              getU16(in + 4));
}

LTim LTim::fromTime(int64_t t) {
  std::tm parts{};
  if (!cellParts(t, &parts)) return LTim();
  const auto field = [](int value) { return static_cast<uint16_t>(value); };
  return LTim(field(parts.tm_hour), field(parts.tm_min), field(parts.tm_sec));
}

std::string LTim::text() const {
  return formatText("%.2d:%.2d:%.2d", static_cast<int>(hour),
                    static_cast<int>(minute), static_cast<int>(second));
}

void LTim::toBytes(uint8_t* out) const {
  putU16(out, hour);
  putU16(out + 2, minute);
  putU16(out + 4, second);
}

LTim LTim::fromBytes(const uint8_t* in) {
  return LTim(getU16(in), getU16(in + 2), getU16(in + 4));
}

Timestamp Timestamp::fromTime(int64_t t) {
  return Timestamp(LDat::fromTime(t), LTim::fromTime(t), 0);
}

Timestamp Timestamp::now() { return fromTime(currentTime()); }

std::string Timestamp::text() const {
  return date.text() + " - " + time.text();
}

void Timestamp::toBytes(uint8_t* out) const {
  date.toBytes(out);
  time.toBytes(out + 6);
  putU32(out + 12, fraction);
}

Timestamp Timestamp::fromBytes(const uint8_t* in) {
  return Timestamp(LDat::fromBytes(in), LTim::fromBytes(in + 6),
                   getU32(in + 12));
}
