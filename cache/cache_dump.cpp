#include "cache/cache_dump.h"

#include <ostream>

#include "cache/row_access.h"

namespace {

// Ends a line and flushes it, so that a dump cut short by a failing cell
// (or a crash) keeps every line before it.
void endLine(std::ostream& out) { out << '\n' << std::flush; }

}  // namespace

void dumpCache(const SmartCache& table, std::ostream& out) {
  endLine(out);
  const CacheRow columns = table.templateRow();
  for (uint32_t j = 0; j < columns.columnCount(); ++j) {
    out << columns.columnName(static_cast<int32_t>(j)) << '\t';
  }
  endLine(out);
  for (CachePosition p = table.begin(); p != table.end(); p = table.next(p)) {
    const CacheRow row = table.rowAt(p);
    // One walk over the cells: a row of many columns is written in time
    // proportional to its size.
    rowData(row).forEachCell([&](uint32_t i, const CellLocation& cell) {
      out << RowAccess::cellText(row, static_cast<int32_t>(i), cell) << '\t';
    });
    endLine(out);
  }
}
