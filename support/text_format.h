// printf-style formatting into a std::string of whatever length it needs.
#pragma once

#include <string>

#if defined(__GNUC__)
#define VANDOR_PRINTF_FORMAT(fmt, args) \
  __attribute__((format(printf, fmt, args)))
#else
#define VANDOR_PRINTF_FORMAT(fmt, args)
#endif

// Formats like snprintf; the result is never cut.
std::string formatText(const char* format, ...) VANDOR_PRINTF_FORMAT(1, 2);
