// Whether two tables hold the same columns and the same rows, byte for
// byte (for the fuzz targets' round trips).
#pragma once

#include <cstring>

#include "cache/smartcache.h"

namespace fuzzing {

inline bool sameRowData(const CacheRowData& a, const CacheRowData& b) {
  if (a.columnCount() != b.columnCount()) return false;
  for (uint32_t i = 0; i < a.columnCount(); ++i) {
    if (a.column(i).name != b.column(i).name || a.column(i).type != b.column(i).type) return false;
    if (a.flags().isSet(i) != b.flags().isSet(i)) return false;
  }
  return a.cellByteLength() == b.cellByteLength() &&
         (a.cellByteLength() == 0 ||
          std::memcmp(a.cellBytes(), b.cellBytes(), static_cast<size_t>(a.cellByteLength())) == 0);
}

inline bool sameTable(const SmartCache& a, const SmartCache& b) {
  if (!sameRowData(a.templateRow().data(), b.templateRow().data())) return false;
  if (a.rowCount() != b.rowCount()) return false;
  for (int32_t i = 0; i < a.rowCount(); ++i) {
    if (!sameRowData(a.rowAt(i).data(), b.rowAt(i).data())) return false;
  }
  return true;
}

}  // namespace fuzzing
