// The table library's own way to a table's row store: for the sort, which
// reorders the row handles in place, and the save, which walks them.
#pragma once

#include <vector>

#include "cache/smartcache.h"

struct TableAccess {
  static std::vector<CacheRow>& rows(SmartCache& table) { return table.rows_; }
  static const std::vector<CacheRow>& rows(const SmartCache& table) { return table.rows_; }
};
