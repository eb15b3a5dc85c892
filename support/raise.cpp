#include "support/raise.h"

#include <limits>

#include "support/lexc.h"

void raiseUnexpected(const RaiseSite& where, const std::string& text) {
  throw LExc_Internal_Unexpected(text.c_str(), where.module, where.line);
}

void raiseBadArg(const RaiseSite& where, const std::string& text) {
  throw LExc_Internal_BadArg(text.c_str(), where.module, where.line);
}

void raiseBadConversion(const RaiseSite& where, const std::string& text) {
  throw LExc_Internal_BadConversion(text.c_str(), where.module, where.line);
}

void raiseMem(const RaiseSite& where, uint64_t bytes) {
  const uint64_t limit = std::numeric_limits<int32_t>::max();
  const int32_t shown = static_cast<int32_t>(bytes < limit ? bytes : limit);
  throw LExc_Internal_Mem(shown, where.module, where.line);
}
