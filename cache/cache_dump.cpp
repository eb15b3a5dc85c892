#include "cache/cache_dump.h"

#include <ostream>

void dumpCache(const SmartCache& table, std::ostream& out) {
  out << '\n' << std::flush;
  const CacheRow columns = table.templateRow();
  for (uint32_t j = 0; j < columns.columnCount(); ++j) {
    out << columns.columnName(static_cast<int32_t>(j)) << '\t';
  }
  out << '\n' << std::flush;
  for (CachePosition p = table.begin(); p != table.end(); p = table.next(p)) {
    const CacheRow row = table.rowAt(p);
    for (uint32_t i = 0; i < row.columnCount(); ++i) {
      out << row.cellText(static_cast<int32_t>(i)) << '\t';
    }
    out << std::flush << '\n' << std::flush;
  }
}
