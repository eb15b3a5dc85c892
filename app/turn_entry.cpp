#include "app/turn_entry.h"

#include <cctype>
#include <algorithm>
#include <limits>

int32_t ParseTurnText(const std::string& text) {
  size_t at = 0;
  while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
  int64_t value = 0;
  const int64_t limit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
  for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
    value = std::min(value * 10 + (text[at] - '0'), limit);
  }
  value = negative ? -value : std::min(value, limit - 1);
  return static_cast<int32_t>(value);
}
