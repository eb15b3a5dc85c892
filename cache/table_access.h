// The table library's own way to a table's row store: for the sort, which
// reorders the row handles in place, the save, which walks them, and the
// scan, which copies rows into a table's arena.
#pragma once

#include <vector>

#include "cache/row_arena.h"
#include "cache/smartcache.h"

struct TableAccess {
  static std::vector<CacheRow>& rows(SmartCache& table) { return table.rows_; }
  static const std::vector<CacheRow>& rows(const SmartCache& table) { return table.rows_; }
  // The arena of the table's copied rows, made when there is none yet.
  static RowArena& arena(SmartCache& table) {
    if (!table.arena_) table.arena_ = RowArena::create();
    return *table.arena_;
  }
};
