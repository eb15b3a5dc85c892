// Time zones for the tests of local times: the C library's own breakdown to
// compare with, times worth comparing at, and a zone set for the length of
// a test.
#pragma once

#include <gtest/gtest.h>
#include <time.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <ostream>
#include <string>
#include <vector>

namespace testing_time {

// POSIX zone rules, which the C library reads without a zone database.
// Berlin: CET, and CEST from the last Sunday of March 02:00 to the last
// Sunday of October 03:00. New York: EST, and EDT from the second Sunday of
// March to the first Sunday of November, both at 02:00.
struct Zone {
  const char* name;
  const char* rule;
  int winterHours;  // the offset from UTC in winter, east positive

  // The local hour of 1970-01-01 00:00:00 UTC, a winter night.
  int hourAtEpoch() const { return (24 + winterHours) % 24; }
};
// Names the zone in the names of the tests that run in each.
inline void PrintTo(const Zone& zone, std::ostream* out) { *out << zone.name; }

constexpr Zone kUtc{"UTC", "UTC0", 0};
constexpr Zone kBerlin{"Berlin", "CET-1CEST,M3.5.0,M10.5.0/3", 1};
constexpr Zone kNewYork{"NewYork", "EST5EDT,M3.2.0,M11.1.0", -5};

// The zones a suite runs in, with their names as the tests' names:
//   INSTANTIATE_TEST_SUITE_P(Zones, Suite, testing_time::EveryZone(),
//                            testing_time::ZoneName);
constexpr Zone kEveryZone[] = {kUtc, kBerlin, kNewYork};
inline auto EveryZone() { return ::testing::ValuesIn(kEveryZone); }
inline std::string ZoneName(const ::testing::TestParamInfo<Zone>& info) { return info.param.name; }

// The summer-time changes of 2024, in seconds since 1970 (UTC).
constexpr int64_t kBerlinSpring2024 = 1711846800;  // 31 Mar 01:00 UTC: 02:00 CET is 03:00 CEST
constexpr int64_t kBerlinAutumn2024 = 1729990800;  // 27 Oct 01:00 UTC: 03:00 CEST is 02:00 CET
constexpr int64_t kNewYorkSpring2024 = 1710054000;  // 10 Mar 07:00 UTC: 02:00 EST is 03:00 EDT
constexpr int64_t kNewYorkAutumn2024 = 1730613600;  // 3 Nov 06:00 UTC: 02:00 EDT is 01:00 EST

// 32768-01-01 00:00:00 UTC: in UTC the first second whose year a 16-bit
// year cannot hold.
constexpr int64_t kYear32768 = 971890963200LL;

// The C library's breakdown of `t` into local time, beside the code under
// test; false when it refuses `t`. (Windows has no second function for it:
// there it is the one toLocalTime calls.)
inline bool libraryLocalTime(int64_t t, std::tm* out) {
  if (t < 0) return false;
#if defined(_WIN32)
  const __time64_t value = t;
  return _localtime64_s(out, &value) == 0;
#else
  const time_t value = static_cast<time_t>(t);
  return localtime_r(&value, out) != nullptr;
#endif
}

// The C library's text of a breakdown in the ctime() form, "Sun Mar 31
// 03:00:00 2024", in the "C" locale the tests run in. (The day is put in
// by hand: Windows C runtimes have no %e.)
inline std::string libraryClockText(const std::tm& parts) {
  char names[32];
  char clock[32];
  char text[96];
  if (std::strftime(names, sizeof names, "%a %b", &parts) == 0 ||
      std::strftime(clock, sizeof clock, "%H:%M:%S %Y", &parts) == 0) {
    return "";
  }
  std::snprintf(text, sizeof text, "%s %2d %s", names, parts.tm_mday, clock);
  return text;
}

// Times whose breakdown tells faults apart: around the summer-time changes
// of both zones (with minutes and seconds that differ, so that the two
// cannot stand for each other), midnights, the end of 32-bit time values
// and far-future years some platforms refuse.
inline std::vector<int64_t> sampleTimes() {
  std::vector<int64_t> times = {0, 1, 59, 3599, 86399, 86400 + 17 * 60 + 42,
                                2147483647LL, 2147483648LL, 4102444799LL,
                                253402300799LL, kYear32768 - 3 * 86400};
  for (int64_t change : {kBerlinSpring2024, kBerlinAutumn2024, kNewYorkSpring2024,
                         kNewYorkAutumn2024}) {
    for (int64_t delta : {-3600 - 1, -1, 0, 1, 17 * 60 + 42, 3600 + 23 * 60 + 5}) {
      times.push_back(change + delta);
    }
  }
  return times;
}

#if defined(_WIN32)
constexpr bool kZonesCanBeSet = false;
#else
constexpr bool kZonesCanBeSet = true;
#endif
// Why the tests that set a zone skip on Windows.
constexpr const char* kWhyNoZones =
    "a Windows C runtime reads TZ without summer-time rules (it puts the change "
    "on US dates), so the tests that set a zone run in the native build";

// Sets TZ to `zone.rule` for the life of the object, then restores the
// previous TZ (or its absence). Does nothing where kZonesCanBeSet is false:
// tests skip there before they make one.
class ScopedTimeZone {
 public:
  explicit ScopedTimeZone(const Zone& zone) {
#if !defined(_WIN32)
    const char* previous = std::getenv("TZ");
    hadZone_ = previous != nullptr;
    if (hadZone_) previous_ = previous;
    setenv("TZ", zone.rule, 1);
    tzset();
#else
    (void)zone;
#endif
  }
  ~ScopedTimeZone() {
#if !defined(_WIN32)
    if (hadZone_) {
      setenv("TZ", previous_.c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
#endif
  }
  ScopedTimeZone(const ScopedTimeZone&) = delete;
  ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

 private:
  bool hadZone_ = false;
  std::string previous_;
};

}  // namespace testing_time
