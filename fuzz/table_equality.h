// Whether two tables hold the same columns and the same rows, byte for
// byte (for the fuzz targets' round trips).
#pragma once

#include "cache/cache_stream.h"
#include "cache/smartcache.h"

namespace fuzzing {

// The saved bytes hold every column, flag and cell of every row.
inline bool sameTable(const SmartCache& a, const SmartCache& b) {
  return saveToString(a) == saveToString(b);
}

}  // namespace fuzzing
