// Every allocation of an operation fails in turn, n = 1, 2, ... until the
// operation succeeds: each failure must raise LExc_Internal_Mem and leave
// the table (compared by its saved bytes) exactly as before. LeakSanitizer
// checks that nothing is lost on the way.
#include "cache/allocation_faults.h"
#include "cache/row_access.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

#include "cache/cache_sort.h"
#include "cache/test_tables.h"

namespace {

using testing_tables::saved;

// Runs `operation` with its n-th allocation failing, for every n, and
// checks what `state` shows after each failure. Returns the failures seen.
int failEveryAllocation(const std::function<void()>& operation,
                        const std::function<std::string()>& state) {
  for (int64_t n = 1; n < 100000; ++n) {
    const std::string before = state();
    allocation_faults::FailNth(n);
    try {
      operation();
      allocation_faults::Disarm();
      return static_cast<int>(n - 1);
    } catch (const LExc_Internal_Mem& e) {
      allocation_faults::Disarm();
      EXPECT_EQ(e.text().rfind("failed to alloc ", 0), 0u) << e.text();
      EXPECT_EQ(e.text().back(), ' ');
      EXPECT_EQ(state(), before) << "allocation " << n;
    }
  }
  ADD_FAILURE() << "the operation never succeeded";
  return -1;
}

// A table of every value type with three rows.
void fill(SmartCache& table) {
  testing_tables::defineAllTypeColumns(table);
  for (int k = 0; k < 3; ++k) {
    CacheRow row = table.templateRow();
    row.setLong("L", 3 - k);
    row.setString("S", std::string(20 * (k + 1), 's'));
    row.setBlob("B", Blob("blob", 4));
    row.setTimestamp("TS", Timestamp(LDat(2026, 12, 8), LTim(1, 2, 3)));
    table.appendRow(row);
  }
}

std::string rowBytes(const CacheRow& row) {
  const CacheRowData& data = rowData(row);
  return std::string(reinterpret_cast<const char*>(data.flags().bytes()), data.flags().byteSize()) +
         "|" + std::string(reinterpret_cast<const char*>(data.cellBytes()),
                           static_cast<size_t>(data.cellByteLength()));
}

TEST(AllocationFaults, AddingColumns) {
  SmartCache table;
  testing_tables::defineMessageColumns(table);
  const CacheRow held = table.templateRow();  // shared: the addition copies first
  EXPECT_GT(failEveryAllocation([&] { table.addColumn("EXTRA", SQL_C_CHAR); },
                                [&] { return saved(table); }),
            0);
  EXPECT_EQ(table.columnCount(), 8u);
  for (int k = 0; k < 9; ++k) table.addColumn("MORE" + std::to_string(k), SQL_C_LONG);  // flags grow
  failEveryAllocation([&] { table.addColumn("LAST", SQL_C_LONG); }, [&] { return saved(table); });
  EXPECT_EQ(table.columnCount(), 18u);
}

TEST(AllocationFaults, EverySetterAndCopyOnWrite) {
  SmartCache table;
  fill(table);
  const std::vector<std::function<void(CacheRow&)>> setters = {
      [](CacheRow& r) { r.setLong("L", 99); },
      [](CacheRow& r) { r.setString("S", "a longer text than before"); },
      [](CacheRow& r) { r.setString("S", nullptr); },
      [](CacheRow& r) { r.setDouble("D", 2.5); },
      [](CacheRow& r) { r.setBlob("B", Blob("0123456789", 10)); },
      [](CacheRow& r) { r.setDate("DAT", LDat(2401, 1, 2)); },
      [](CacheRow& r) { r.setTime("TIM", LTim(3, 4, 5)); },
      [](CacheRow& r) { r.setTimestamp("TS", Timestamp()); },
      [](CacheRow& r) { r.setNull("B"); },
      [](CacheRow& r) { r.makeUnique(); },
  };
  for (size_t k = 0; k < setters.size(); ++k) {
    SCOPED_TRACE(k);
    CacheRow row = table.rowAt(1);  // shares the table's row: every change copies first
    const std::string before = saved(table);
    failEveryAllocation([&] { setters[k](row); }, [&] { return rowBytes(row); });
    EXPECT_EQ(saved(table), before);
  }
}

TEST(AllocationFaults, AssignByName) {
  SmartCache from;
  fill(from);
  SmartCache to;
  to.addColumn("S", SQL_C_CHAR);
  to.addColumn("L", SQL_C_LONG);
  to.addColumn("TS", SQL_C_TYPE_TIMESTAMP);
  to.addColumn("B", SQL_C_BINARY);
  CacheRow destination = to.templateRow();
  destination.setString("S", "old");
  const CacheRow source = from.rowAt(2);
  EXPECT_GT(failEveryAllocation([&] { assignByName(destination, source); },
                                [&] { return rowBytes(destination); }),
            2);
  EXPECT_EQ(destination.getLong("L"), 1);
  EXPECT_EQ(destination.getBlob("B"), Blob("blob", 4));
}

TEST(AllocationFaults, LoadFromStream) {
  SmartCache original;
  fill(original);
  const std::string bytes = saved(original);
  SmartCache table;
  testing_tables::defineRaceColumns(table);
  table.appendRow(table.templateRow());
  EXPECT_GT(failEveryAllocation([&] { testing_tables::load(table, bytes); },
                                [&] { return saved(table); }),
            5);
  EXPECT_EQ(saved(table), bytes);

  // The long way through assignByName: rows naming their columns in
  // another order.
  SmartCache reordered;
  reordered.addColumn("S", SQL_C_CHAR);
  reordered.addColumn("L", SQL_C_LONG);
  CacheRow row = reordered.templateRow();
  row.setString("S", "x");
  row.setLong("L", 1);
  reordered.appendRow(row);
  std::string stream = saved(reordered);
  SmartCache target;
  testing_tables::load(target, saved(original));
  failEveryAllocation([&] { testing_tables::load(target, stream); }, [&] { return saved(target); });
}

TEST(AllocationFaults, SortRows) {
  SmartCache table;
  fill(table);
  for (const char* key : {"S", "TS", "L"}) {
    SCOPED_TRACE(key);
    const int32_t column = table.templateRow().columnIndex(key);
    failEveryAllocation([&] { sortRows(table, column); }, [&] { return saved(table); });
  }
  EXPECT_EQ(table.rowAt(0).getLong("L"), 1);
}

}  // namespace
