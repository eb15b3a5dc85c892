#include "cache/cache_row.h"
#include "cache/row_access.h"

#include <gtest/gtest.h>

#include <functional>
#include <type_traits>
#include <utility>

#include "cache/smartcache.h"
#include "cache/test_tables.h"

namespace {

constexpr char kInliners[] = "cache/smartcache_inliners";

class CacheRowTest : public ::testing::Test {
 protected:
  CacheRowTest() { testing_tables::defineAllTypeColumns(table); }
  SmartCache table;
};

const Timestamp kStamp(LDat(2026, 12, 8), LTim(4, 5, 9), 123);

TEST_F(CacheRowTest, EveryTypeRoundTripsByIndexAndByName) {
  CacheRow row = table.templateRow();
  row.setLong(0, -7);
  row.setString(1, "text");
  row.setDouble(2, 2.5);
  row.setBlob(3, Blob("\x01\xAB\xFF", 3));
  row.setDate(4, LDat(2401, 2, 28));
  row.setTime(5, LTim(23, 59, 58));
  row.setTimestamp(6, kStamp);
  EXPECT_EQ(row.getLong("L"), -7);
  EXPECT_EQ(row.getString("S"), "text");
  EXPECT_EQ(row.getDouble("D"), 2.5);
  EXPECT_EQ(row.getBlob("B"), Blob("\x01\xAB\xFF", 3));
  EXPECT_EQ(row.getDate("DAT"), LDat(2401, 2, 28));
  EXPECT_EQ(row.getTime("TIM"), LTim(23, 59, 58));
  EXPECT_EQ(row.getTimestamp("TS"), kStamp);
  EXPECT_EQ(rowData(row).cellByteLength(), 4 + 8 + 8 + 7 + 6 + 6 + 16);

  row.setLong("L", 1);
  row.setString("S", std::string("longer text"));
  row.setDouble("D", -1e300);
  row.setBlob("B", Blob());
  row.setDate("DAT", LDat());
  row.setTime("TIM", LTim());
  row.setTimestamp("TS", Timestamp());
  EXPECT_EQ(row.getLong(0), 1);
  EXPECT_EQ(row.getString(1), "longer text");
  EXPECT_EQ(row.getDouble(2), -1e300);
  EXPECT_EQ(row.getBlob(3).length(), 0u);
  EXPECT_EQ(row.getBlob(3).data(), nullptr);
  EXPECT_EQ(row.getDate(4), LDat());
  EXPECT_EQ(row.getTime(5), LTim());
  EXPECT_EQ(row.getTimestamp(6), Timestamp());
  EXPECT_FALSE(row.isNull("B"));
}

// One getter or setter of each value type, with the column it accepts.
struct Access {
  const char* accessedAs;
  const char* column;
  std::function<void(const CacheRow&, int32_t)> get;
  std::function<void(CacheRow&, int32_t)> set;
  int nullLine, getLine, setLine;
};

std::vector<Access> accessors() {
  return {
      {"long", "L", [](const CacheRow& r, int32_t i) { r.getLong(i); },
       [](CacheRow& r, int32_t i) { r.setLong(i, 1); }, 699, 708, 952},
      {"String", "S", [](const CacheRow& r, int32_t i) { r.getString(i); },
       [](CacheRow& r, int32_t i) { r.setString(i, "x"); }, 777, 786, 1009},
      {"double", "D", [](const CacheRow& r, int32_t i) { r.getDouble(i); },
       [](CacheRow& r, int32_t i) { r.setDouble(i, 1); }, 581, 590, 878},
      {"Blob", "B", [](const CacheRow& r, int32_t i) { r.getBlob(i); },
       [](CacheRow& r, int32_t i) { r.setBlob(i, Blob("x", 1)); }, 535, 544, 849},
      {"LDat", "DAT", [](const CacheRow& r, int32_t i) { r.getDate(i); },
       [](CacheRow& r, int32_t i) { r.setDate(i, LDat()); }, 620, 629, 900},
      {"LTim", "TIM", [](const CacheRow& r, int32_t i) { r.getTime(i); },
       [](CacheRow& r, int32_t i) { r.setTime(i, LTim()); }, 738, 747, 976},
      {"timestamp", "TS", [](const CacheRow& r, int32_t i) { r.getTimestamp(i); },
       [](CacheRow& r, int32_t i) { r.setTimestamp(i, Timestamp()); }, 659, 668, 925},
  };
}

TEST_F(CacheRowTest, GettersRefuseNullCellsAndOtherTypes) {
  CacheRow filled = table.templateRow();
  for (const Access& a : accessors()) a.set(filled, filled.columnIndex(a.column));
  const CacheRow empty = table.templateRow();

  for (const Access& a : accessors()) {
    SCOPED_TRACE(a.accessedAs);
    const int32_t own = empty.columnIndex(a.column);
    EXPECT_LEXC(a.get(empty, own), LExc_Internal_Unexpected,
                std::string("access to NULL field [Field Name: \"") + a.column + "\"]",
                kInliners, a.nullLine);
    for (const Access& other : accessors()) {
      if (&other == &a || std::string(other.column) == a.column) continue;
      const int32_t i = filled.columnIndex(other.column);
      EXPECT_LEXC(a.get(filled, i), LExc_Internal_BadConversion,
                  std::string("Conversion error [Field Name: \"") + other.column +
                      "\", Type: " + typeName(filled.columnType(i)) + ", accessed as " +
                      a.accessedAs + "]",
                  kInliners, a.getLine);
    }
  }
}

TEST_F(CacheRowTest, SettersRefuseOtherTypesAndLeaveTheRowUnchanged) {
  CacheRow row = table.templateRow();
  row.setString("S", "kept");
  const std::string before = testing_tables::saved(table);
  for (const Access& a : accessors()) {
    SCOPED_TRACE(a.accessedAs);
    for (const char* column : {"L", "S", "D", "B", "DAT", "TIM", "TS"}) {
      if (std::string(column) == a.column) continue;
      const int32_t i = row.columnIndex(column);
      const int32_t cells = rowData(row).cellByteLength();
      EXPECT_LEXC(a.set(row, i), LExc_Internal_BadConversion, typeName(row.columnType(i)),
                  kInliners, a.setLine);
      EXPECT_EQ(rowData(row).cellByteLength(), cells);
    }
  }
  EXPECT_EQ(row.getString("S"), "kept");
  EXPECT_TRUE(row.isNull("L"));
  EXPECT_EQ(testing_tables::saved(table), before);
}

TEST_F(CacheRowTest, CodesWithoutAccessorsRefuseEveryValue) {
  SmartCache odd;
  odd.addColumn("F", SQL_C_FLOAT);
  odd.addColumn("OLDDATE", SQL_C_DATE);
  CacheRow row = odd.templateRow();
  EXPECT_LEXC(row.setDouble(0, 1.0), LExc_Internal_BadConversion, "SQL_C_FLOAT", kInliners,
              878);
  EXPECT_LEXC(row.setDate(1, LDat()), LExc_Internal_BadConversion, "SQL_C_DATE", kInliners,
              900);
  EXPECT_EQ(row.cellText(0), "<NULL>");
}

TEST_F(CacheRowTest, NullAndEmptyTexts) {
  CacheRow row = table.templateRow();
  row.setLong("L", 3);
  row.setString("L", nullptr);  // a null text makes any cell NULL
  EXPECT_TRUE(row.isNull("L"));
  row.setString("S", "");
  EXPECT_FALSE(row.isNull("S"));
  EXPECT_EQ(row.getString("S"), "");
  EXPECT_EQ(rowData(row).cellByteLength(), 4);
  row.setString(1, static_cast<const char*>(nullptr));
  EXPECT_TRUE(row.isNull(1));
  EXPECT_EQ(rowData(row).cellByteLength(), 0);
}

TEST_F(CacheRowTest, ByNameAccessOfAMissingColumn) {
  CacheRow row = table.templateRow();
  EXPECT_LEXC(row.setLong("MISSING", 1), LExc_Internal_Unexpected,
              "Column \"MISSING\" not found", kInliners, 1482);
  EXPECT_LEXC(row.getString("s"), LExc_Internal_Unexpected, "Column \"s\" not found",
              kInliners, 1482);
}

TEST_F(CacheRowTest, CellTexts) {
  CacheRow row = table.templateRow();
  EXPECT_EQ(row.cellText(0), "<NULL>");
  row.setLong("L", -7);
  row.setString("S", "a\tb");
  row.setDouble("D", 2.5);
  row.setBlob("B", Blob("\x01\xAB\xFF", 3));
  row.setDate("DAT", LDat(2026, 12, 8));
  row.setTime("TIM", LTim(4, 5, 9));
  row.setTimestamp("TS", kStamp);
  EXPECT_EQ(row.cellText(0), "-7");
  EXPECT_EQ(row.cellText(1), "a\tb");
  EXPECT_EQ(row.cellText(2), "2.50");
  EXPECT_EQ(row.cellText(3), "[blob 01ABFF]");
  EXPECT_EQ(row.cellText(4), "08.12.2026");
  EXPECT_EQ(row.cellText(5), "04:05:09");
  EXPECT_EQ(row.cellText(6), "08.12.2026 - 04:05:09");

  row.setBlob("B", Blob());
  EXPECT_EQ(row.cellText(3), "[blob ]");
  row.setBlob("B", Blob("0123456789AB", 12));
  EXPECT_EQ(row.cellText(3), "[blob 30313233343536373839]");
  row.setDouble("D", 2.499);
  EXPECT_EQ(row.cellText(2), "2.50");
}

TEST_F(CacheRowTest, AMovedFromHandleStillRefersToItsRow) {
  CacheRow row = table.templateRow();
  row.setLong("L", 5);
  CacheRow moved = std::move(row);
  EXPECT_EQ(moved.getLong("L"), 5);
  EXPECT_EQ(row.getLong("L"), 5);  // NOLINT(bugprone-use-after-move): the point of the test
  EXPECT_TRUE(row.sharesDataWith(moved));
  row.setLong("L", 6);  // copies first: the moved-to handle keeps its value
  EXPECT_EQ(moved.getLong("L"), 5);

  CacheRow assigned = table.templateRow();
  assigned = std::move(moved);
  EXPECT_EQ(moved.columnCount(), 7u);  // NOLINT(bugprone-use-after-move)
  EXPECT_EQ(assigned.getLong("L"), 5);
  EXPECT_EQ(moved.cellText(0), "5");

  SmartCache other;
  table.swap(other);
  EXPECT_EQ(table.columnCount(), 0u);
  EXPECT_EQ(table.templateRow().columnCount(), 0u);
}

// Code outside the table library reaches a row only through the typed
// accessors: nothing hands out its data, so that no caller can clear a
// NULL flag without the bytes behind it.
template <class T, class = void>
struct HandsOutData : std::false_type {};
template <class T>
struct HandsOutData<T, std::void_t<decltype(std::declval<const T&>().data())>> : std::true_type {};
template <class T, class = void>
struct HandsOutUniqueData : std::false_type {};
template <class T>
struct HandsOutUniqueData<T, std::void_t<decltype(std::declval<T&>().uniqueData())>>
    : std::true_type {};
template <class T, class = void>
struct MadeFromData : std::false_type {};
template <class T>
struct MadeFromData<T, std::void_t<decltype(T::FromData(std::declval<RefPtr<CacheRowData>>()))>>
    : std::true_type {};

TEST(CacheRowData, StaysInsideTheLibrary) {
  static_assert(!HandsOutData<CacheRow>::value, "CacheRow::data() is public");
  static_assert(!HandsOutUniqueData<CacheRow>::value, "CacheRow::uniqueData() is public");
  static_assert(!MadeFromData<CacheRow>::value, "CacheRow::FromData() is public");
  static_assert(!std::is_constructible_v<CacheRow, RefPtr<CacheRowData>>,
                "a row can be made of any data");
}

}  // namespace
