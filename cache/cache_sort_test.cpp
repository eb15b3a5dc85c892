#include "cache/cache_sort.h"

#include <gtest/gtest.h>

#include "cache/test_bytes.h"
#include "cache/test_tables.h"

namespace {

using testing_tables::columnTexts;

// A table with an identity column ID and a key column K of `type`.
class SortTest : public ::testing::Test {
 protected:
  void define(int32_t type) {
    table.addColumn("ID", SQL_C_LONG);
    table.addColumn("K", type);
  }
  template <class Set>
  void add(int32_t id, Set set) {
    CacheRow row = table.templateRow();
    row.setLong("ID", id);
    set(row);
    table.appendRow(row);
  }
  void addLong(int32_t id, int32_t key) {
    add(id, [&](CacheRow& r) { r.setLong("K", key); });
  }
  std::vector<std::string> ids() const { return columnTexts(table, "ID"); }
  void sortByKey() { sortRows(table, table.templateRow().columnIndex("K")); }

  SmartCache table;
};

TEST_F(SortTest, NullFirstAndEqualKeysKeepTheirOrder) {
  define(SQL_C_LONG);
  addLong(1, 3);
  addLong(2, 1);  // x
  add(3, [](CacheRow&) {});
  addLong(4, 1);  // y
  add(5, [](CacheRow&) {});
  addLong(6, -2);
  sortByKey();
  EXPECT_EQ(ids(), (std::vector<std::string>{"3", "5", "6", "2", "4", "1"}));
  sortByKey();  // sorted already: unchanged
  EXPECT_EQ(ids(), (std::vector<std::string>{"3", "5", "6", "2", "4", "1"}));
}

TEST_F(SortTest, TextsCompareAsUnsignedBytes) {
  define(SQL_C_CHAR);
  const char* keys[] = {"b", "B", "ab", "a", "\xE4", "z"};
  for (int32_t i = 0; i < 6; ++i) add(i, [&](CacheRow& r) { r.setString("K", keys[i]); });
  sortByKey();
  EXPECT_EQ(columnTexts(table, "K"),
            (std::vector<std::string>{"B", "a", "ab", "b", "z", "\xE4"}));
}

TEST_F(SortTest, Doubles) {
  define(SQL_C_DOUBLE);
  const double keys[] = {2.5, -1.0, 0.25};
  for (int32_t i = 0; i < 3; ++i) add(i, [&](CacheRow& r) { r.setDouble("K", keys[i]); });
  sortByKey();
  EXPECT_EQ(ids(), (std::vector<std::string>{"1", "2", "0"}));
}

TEST_F(SortTest, DatesByYearMonthDay) {
  define(SQL_C_TYPE_DATE);
  const LDat keys[] = {LDat(2401, 1, 2), LDat(2400, 12, 31), LDat(-1, 5, 5), LDat(2401, 1, 1)};
  for (int32_t i = 0; i < 4; ++i) add(i, [&](CacheRow& r) { r.setDate("K", keys[i]); });
  sortByKey();
  EXPECT_EQ(ids(), (std::vector<std::string>{"2", "1", "3", "0"}));
}

TEST_F(SortTest, TimesByTheirKeyEvenBeyondTheUsualRange) {
  // The key is (hour * 256 + minute) * 256 + second; for hour 65535 it
  // exceeds 32 bits and must not wrap around.
  define(SQL_C_TYPE_TIME);
  const LTim keys[] = {LTim(65535, 0, 0), LTim(12, 0, 1), LTim(12, 0, 0), LTim(0, 65535, 65535)};
  for (int32_t i = 0; i < 4; ++i) add(i, [&](CacheRow& r) { r.setTime("K", keys[i]); });
  sortByKey();
  EXPECT_EQ(ids(), (std::vector<std::string>{"2", "1", "3", "0"}));
}

TEST_F(SortTest, TimestampsByDateThenTimeThenFraction) {
  define(SQL_C_TYPE_TIMESTAMP);
  const Timestamp keys[] = {
      Timestamp(LDat(2026, 12, 8), LTim(4, 5, 9), 2),
      Timestamp(LDat(2026, 12, 8), LTim(4, 5, 9), 1),
      Timestamp(LDat(2026, 12, 8), LTim(3, 59, 59), 9),
      Timestamp(LDat(2026, 12, 7), LTim(23, 0, 0), 9),
      Timestamp(LDat(2026, 12, 8), LTim(4, 5, 9), 1),
  };
  for (int32_t i = 0; i < 5; ++i) add(i, [&](CacheRow& r) { r.setTimestamp("K", keys[i]); });
  sortByKey();
  EXPECT_EQ(ids(), (std::vector<std::string>{"3", "2", "1", "4", "0"}));
}

TEST_F(SortTest, BinaryKeysNeverReorder) {
  define(SQL_C_BINARY);
  add(0, [](CacheRow& r) { r.setBlob("K", Blob("\x02", 1)); });
  add(1, [](CacheRow& r) { r.setBlob("K", Blob("\x01", 1)); });
  add(2, [](CacheRow&) {});
  sortByKey();
  EXPECT_EQ(ids(), (std::vector<std::string>{"2", "0", "1"}));  // only NULL moves
}

TEST_F(SortTest, HeldHandlesStillReferToTheirRows) {
  define(SQL_C_LONG);
  addLong(1, 2);
  addLong(2, 1);
  const CacheRow held = table.rowAt(0);
  sortByKey();
  EXPECT_TRUE(held.sharesDataWith(table.rowAt(1)));
  EXPECT_EQ(held.getLong("ID"), 1);
}

TEST_F(SortTest, BadKeysLeaveTheRowsAsTheyWere) {
  define(SQL_C_LONG);
  addLong(1, 2);
  addLong(2, 1);
  EXPECT_LEXC(sortRows(table, 2), LExc_Internal_Unexpected, "index out of range",
              "cache/smartcache_inliners", 1519);
  EXPECT_EQ(ids(), (std::vector<std::string>{"1", "2"}));

  // A row whose key column has another type than the first row's.
  SmartCache other;
  other.addColumn("ID", SQL_C_LONG);
  other.addColumn("K", SQL_C_CHAR);
  CacheRow foreign = other.templateRow();
  foreign.setLong("ID", 3);
  foreign.setString("K", "0");
  table.appendRow(foreign);
  EXPECT_THROW(sortByKey(), LExc_Internal_BadConversion);
  EXPECT_EQ(ids(), (std::vector<std::string>{"1", "2", "3"}));
}

TEST_F(SortTest, KeysOfACodeWithoutAccessorRaiseTheGettersError) {
  // Code 9 cells come only from a stream: rows ID 1 and 2 hold values
  // (stored as 8.12.2026 and 7.12.2026), row ID 3 a NULL key.
  auto record = [](TestBytes& b) -> TestBytes& {
    return b.str("SR").i32(2).column("ID", 4).column("K", SQL_C_DATE).i32(2);
  };
  TestBytes stream;
  stream.str("SC").i32(3);
  record(stream).raw({0xC0}).i32(0);
  record(stream).raw({0}).i32(10).i32(1).u16(2026).u16(12).u16(8);
  record(stream).raw({0}).i32(10).i32(2).u16(2026).u16(12).u16(7);
  record(stream).raw({0x40}).i32(4).i32(3);
  testing_tables::load(table, stream.bytes());
  const std::string refusal =
      "Conversion error [Field Name: \"K\", Type: SQL_C_DATE, accessed as LDat]";
  EXPECT_LEXC(sortByKey(), LExc_Internal_BadConversion, refusal, "cache/smartcache_inliners", 629);
  EXPECT_EQ(ids(), (std::vector<std::string>{"1", "2", "3"}));

  // The same through rows of another column list, compared pair by pair.
  SmartCache other;
  testing_tables::load(other, stream.bytes());
  table.appendRow(other.rowAt(0));
  EXPECT_LEXC(sortByKey(), LExc_Internal_BadConversion, refusal, "cache/smartcache_inliners", 629);
  EXPECT_EQ(ids(), (std::vector<std::string>{"1", "2", "3", "1"}));

  // NULL keys are never read: such a column sorts while it holds no value.
  SmartCache nulls;
  TestBytes nullKeys;
  nullKeys.str("SC").i32(2);
  record(nullKeys).raw({0xC0}).i32(0);
  record(nullKeys).raw({0x40}).i32(4).i32(2);
  record(nullKeys).raw({0x40}).i32(4).i32(1);
  testing_tables::load(nulls, nullKeys.bytes());
  sortRows(nulls, 1);
  EXPECT_EQ(columnTexts(nulls, "ID"), (std::vector<std::string>{"2", "1"}));
}

TEST_F(SortTest, EmptyTableAndSingleRow) {
  define(SQL_C_LONG);
  sortRows(table, 99);  // no rows: no comparison, nothing to check
  EXPECT_EQ(table.rowCount(), 0);
  addLong(1, 1);
  sortByKey();
  EXPECT_EQ(ids(), (std::vector<std::string>{"1"}));
}

}  // namespace
