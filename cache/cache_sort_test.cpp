#include "cache/cache_sort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

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

// Rows that do not share the table's column list: appended from a second
// table with the same columns, they are compared pair by pair.
class MixedSortTest : public SortTest {
 protected:
  void define(int32_t type) {
    SortTest::define(type);
    other.addColumn("ID", SQL_C_LONG);
    other.addColumn("K", type);
  }
  template <class Set>
  void addForeign(int32_t id, Set set) {
    CacheRow row = other.templateRow();
    row.setLong("ID", id);
    set(row);
    table.appendRow(row);
  }
  void addForeignLong(int32_t id, int32_t key) {
    addForeign(id, [&](CacheRow& r) { r.setLong("K", key); });
  }

  SmartCache other;
};

TEST_F(MixedSortTest, RowsOfSeveralColumnListsSortByTheSameRules) {
  define(SQL_C_LONG);
  addLong(1, 3);
  addForeignLong(2, 1);
  add(3, [](CacheRow&) {});
  addForeignLong(4, -2);
  addLong(5, 1);
  addForeign(6, [](CacheRow&) {});
  addForeignLong(7, 1);
  addLong(8, 7);
  ASSERT_FALSE(table.rowAt(0).sharesColumnsWith(table.rowAt(1)));
  sortByKey();
  EXPECT_EQ(ids(), (std::vector<std::string>{"3", "6", "4", "2", "5", "7", "1", "8"}));
  sortByKey();
  EXPECT_EQ(ids(), (std::vector<std::string>{"3", "6", "4", "2", "5", "7", "1", "8"}));
}

TEST_F(MixedSortTest, TextsOfSeveralColumnLists) {
  define(SQL_C_CHAR);
  add(0, [](CacheRow& r) { r.setString("K", "b"); });
  addForeign(1, [](CacheRow& r) { r.setString("K", "\xE4"); });
  add(2, [](CacheRow& r) { r.setString("K", "ab"); });
  addForeign(3, [](CacheRow& r) { r.setString("K", "a"); });
  sortByKey();
  EXPECT_EQ(ids(), (std::vector<std::string>{"3", "2", "0", "1"}));
}

// Fractions are unsigned 32-bit values: one with the top bit set is the
// largest, not a negative one.
const uint32_t kFractions[] = {0x80000000u, 1, 0xFFFFFFFFu, 0, 0x7FFFFFFFu};
const std::vector<std::string> kByFraction = {"3", "1", "4", "0", "2"};

Timestamp withFraction(uint32_t fraction) {
  return Timestamp(LDat(2026, 12, 8), LTim(4, 5, 9), fraction);
}

TEST_F(SortTest, TimestampFractionsCompareUnsigned) {
  define(SQL_C_TYPE_TIMESTAMP);
  for (int32_t i = 0; i < 5; ++i) {
    add(i, [&](CacheRow& r) { r.setTimestamp("K", withFraction(kFractions[i])); });
  }
  sortByKey();
  EXPECT_EQ(ids(), kByFraction);
}

TEST_F(MixedSortTest, TimestampFractionsCompareUnsigned) {
  define(SQL_C_TYPE_TIMESTAMP);
  for (int32_t i = 0; i < 5; ++i) {
    const auto set = [&](CacheRow& r) { r.setTimestamp("K", withFraction(kFractions[i])); };
    if (i % 2 == 0) {
      add(i, set);
    } else {
      addForeign(i, set);
    }
  }
  sortByKey();
  EXPECT_EQ(ids(), kByFraction);
}

TEST_F(SortTest, ManyEqualKeysKeepTheirOrder) {
  // Enough rows that an unstable sort would reorder equal keys.
  define(SQL_C_LONG);
  for (int32_t i = 0; i < 64; ++i) addLong(i, 3 - i % 4);
  sortByKey();
  std::vector<std::string> expected;
  for (int32_t key = 0; key < 4; ++key) {
    for (int32_t i = 3 - key; i < 64; i += 4) expected.push_back(std::to_string(i));
  }
  EXPECT_EQ(ids(), expected);
}

TEST_F(MixedSortTest, ManyEqualKeysKeepTheirOrder) {
  define(SQL_C_LONG);
  for (int32_t i = 0; i < 64; ++i) {
    if (i % 3 == 0) {
      addForeignLong(i, 3 - i % 4);
    } else {
      addLong(i, 3 - i % 4);
    }
  }
  sortByKey();
  std::vector<std::string> expected;
  for (int32_t key = 0; key < 4; ++key) {
    for (int32_t i = 3 - key; i < 64; i += 4) expected.push_back(std::to_string(i));
  }
  EXPECT_EQ(ids(), expected);
}

TEST_F(SortTest, RowLessComparesTheKeysOfTwoRows) {
  define(SQL_C_LONG);
  addLong(0, 2);
  addLong(1, 1);
  add(2, [](CacheRow&) {});
  addLong(3, 1);
  const int32_t k = 1;
  const auto less = [&](int32_t a, int32_t b) {
    return rowLess(SortItem{a, &table, k}, SortItem{b, &table, k});
  };
  EXPECT_TRUE(less(1, 0));
  EXPECT_FALSE(less(0, 1));
  EXPECT_TRUE(less(2, 1));   // NULL first
  EXPECT_FALSE(less(1, 2));
  EXPECT_FALSE(less(2, 2));  // equal keys: neither first
  EXPECT_FALSE(less(1, 3));
  EXPECT_FALSE(less(3, 1));
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

namespace {

TEST(LongKeySort, OrdersAsAStableSortOfTheKeysWithTextsAndNullsBeforeTheKey) {
  // The key comes after a text of varying length and after cells that may
  // be NULL, so that finding it walks cells of every kind; the keys take
  // the extremes of the type, NULL and many repeats.
  SmartCache table;
  table.addColumn("ID", SQL_C_LONG);
  table.addColumn("T", SQL_C_CHAR);
  table.addColumn("N", SQL_C_LONG);
  table.addColumn("K", SQL_C_LONG);
  const int32_t extremes[] = {INT32_MIN, INT32_MAX, -1, 0, 1};
  std::vector<std::pair<int64_t, int32_t>> expected;  // (key, id); NULL lowest
  uint32_t seed = 12345;
  const auto next = [&] { return seed = seed * 1103515245u + 12345u; };
  for (int32_t id = 0; id < 5000; ++id) {
    CacheRow row = table.templateRow();
    row.setLong("ID", id);
    row.setString("T", std::string(next() % 40, 't'));
    if (next() % 3 != 0) row.setLong("N", id);
    const uint32_t pick = next() % 10;
    int64_t key = INT64_MIN;
    if (pick == 0) {
      // NULL
    } else if (pick < 4) {
      key = extremes[next() % 5];
    } else {
      key = static_cast<int32_t>(next() % 7) - 3;
    }
    if (key != INT64_MIN) row.setLong("K", static_cast<int32_t>(key));
    table.appendRow(row);
    expected.emplace_back(key, id);
  }
  std::stable_sort(expected.begin(), expected.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  const CacheRow held = table.rowAt(17);
  const int32_t shares = held.shareCount();

  sortRows(table, 3);
  ASSERT_EQ(table.rowCount(), 5000);
  for (int32_t i = 0; i < 5000; ++i) {
    ASSERT_EQ(table.rowAt(i).getLong(0), expected[static_cast<size_t>(i)].second) << "at " << i;
  }
  // Handles were moved, not copied: the counts are as they were.
  EXPECT_EQ(held.shareCount(), shares);
  EXPECT_EQ(held.getLong("ID"), 17);
}

}  // namespace
