#include "support/local_time.h"

#include <time.h>

#include "support/text_format.h"

int64_t currentTime() {
#if defined(_WIN32)
  return static_cast<int64_t>(_time64(nullptr));
#else
  return static_cast<int64_t>(std::time(nullptr));
#endif
}

bool toLocalTime(int64_t t, std::tm* out) {
  if (t < 0) return false;
  std::tm parts{};
#if defined(_WIN32)
  const __time64_t value = t;
  if (_localtime64_s(&parts, &value) != 0) return false;
#else
  const time_t value = static_cast<time_t>(t);
  if (static_cast<int64_t>(value) != t) return false;
  if (localtime_r(&value, &parts) == nullptr) return false;
#endif
  *out = parts;
  return true;
}

std::string clockText(int64_t t) {
  static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed",
                                      "Thu", "Fri", "Sat"};
  static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr",
                                        "May", "Jun", "Jul", "Aug",
                                        "Sep", "Oct", "Nov", "Dec"};
  std::tm parts{};
  if (!toLocalTime(t, &parts) || parts.tm_wday < 0 || parts.tm_wday > 6 ||
      parts.tm_mon < 0 || parts.tm_mon > 11) {
    return "--- --- -- --:--:-- ----";
  }
  return formatText("%s %s %2d %02d:%02d:%02d %d", kDays[parts.tm_wday],
                    kMonths[parts.tm_mon], parts.tm_mday, parts.tm_hour,
                    parts.tm_min, parts.tm_sec, parts.tm_year + 1900);
}
