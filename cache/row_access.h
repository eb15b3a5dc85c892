// The table library's own way to a row's data. CacheRow keeps its data
// private, so that code outside the library can change a row only through
// the typed setters; the library's stream reader, sort and dump (and its
// tests) reach the data here.
#pragma once

#include <utility>

#include "cache/cache_row.h"
#include "cache/row_data.h"

struct RowAccess {
  static const CacheRowData& data(const CacheRow& row) { return *row.data_; }
  // The row data after makeUnique: for code that rebuilds a whole row.
  static CacheRowData& uniqueData(CacheRow& row) {
    row.makeUnique();
    return *row.data_;
  }
  // A handle to `data`. REQUIRES: `data` holds a whole, consistent row.
  static CacheRow fromData(RefPtr<CacheRowData> data) { return CacheRow(std::move(data)); }
  static std::string cellText(const CacheRow& row, int32_t i, const CellLocation& cell) {
    return row.cellText(i, cell);
  }
};

inline const CacheRowData& rowData(const CacheRow& row) { return RowAccess::data(row); }
inline CacheRowData& uniqueRowData(CacheRow& row) { return RowAccess::uniqueData(row); }
