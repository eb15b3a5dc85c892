#include "support/text_format.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

std::string formatText(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list measure;
  va_copy(measure, args);
  const int needed = std::vsnprintf(nullptr, 0, format, measure);
  va_end(measure);
  std::string result;
  if (needed > 0) {
    std::vector<char> buffer(static_cast<size_t>(needed) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), format, args);
    result.assign(buffer.data(), static_cast<size_t>(needed));
  }
  va_end(args);
  return result;
}
