// Raising the exceptions of the LExc_ family from a fixed place.
//
// Users see a report's module and line in message boxes, so every raising
// place names itself with fixed values that read the same in every build,
// not with __FILE__ and __LINE__. The module path's last component names
// the module.
#pragma once

#include <cstdint>
#include <string>

struct RaiseSite {
  const char* module;
  int32_t line;
};

// Throw the leaf exception of the family with `text`, raised at `where`.
[[noreturn]] void raiseUnexpected(const RaiseSite& where,
                                  const std::string& text);
[[noreturn]] void raiseBadArg(const RaiseSite& where, const std::string& text);
[[noreturn]] void raiseBadConversion(const RaiseSite& where,
                                     const std::string& text);
// "failed to alloc <bytes> bytes "; counts above 2^31 - 1 are shown as that.
[[noreturn]] void raiseMem(const RaiseSite& where, uint64_t bytes);
