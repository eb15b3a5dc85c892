// The system clock and its local-time breakdown, with 64-bit time values
// (seconds since 1970-01-01 00:00:00 UTC) on every platform, including the
// 32-bit Windows build whose C library time_t is 32 bits wide.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>

// Seconds since 1970-01-01 00:00:00 UTC, now.
int64_t currentTime();

// Breaks `t` down into the machine's local time (time zone and daylight
// saving). Returns false, leaving `out` untouched, for a negative value or
// one the platform cannot convert.
bool toLocalTime(int64_t t, std::tm* out);

// The local time of `t` in the fixed 24-character form of the C library's
// ctime(), without its line end: "Sat Dec  8 04:05:09 2026". English names
// whatever the locale. A value that cannot be converted gives
// "--- --- -- --:--:-- ----".
std::string clockText(int64_t t);
