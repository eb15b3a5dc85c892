// Ordering a table's rows by one column.
#pragma once

#include <cstdint>

#include "cache/smartcache.h"

// One row during a sort: its position in the row store, its table and the
// key column.
struct SortItem {
  int32_t position;
  const SmartCache* table;
  int32_t keyColumn;
};

// True when the row of `a` stands before the row of `b`: NULL before every
// value; longs and doubles by value; texts byte-wise as unsigned bytes (a
// prefix first, no case folding); dates, times and timestamps by their
// fields; binary cells and other types never reorder. The key column's type
// is taken from `a`'s row; `b`'s cell is read as that type, and raises the
// typed getters' errors when it cannot be.
bool rowLess(const SortItem& a, const SortItem& b);

// Puts the rows in ascending order of `keyColumn` with a stable sort, so
// rows with equal keys keep their order. Moves the row handles only: rows
// keep their data and any sharing. On an error the rows stay as they were.
void sortRows(SmartCache& table, int32_t keyColumn);
