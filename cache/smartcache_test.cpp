#include "cache/smartcache.h"
#include "cache/row_access.h"

#include <gtest/gtest.h>

#include "cache/test_tables.h"

namespace {

using testing_tables::defineMessageColumns;
using testing_tables::defineRaceColumns;

constexpr char kInliners[] = "cache/smartcache_inliners";

class SmartCacheTest : public ::testing::Test {
 protected:
  SmartCacheTest() { defineMessageColumns(messages); }

  CacheRow message(int32_t turn, const char* text) {
    CacheRow row = messages.templateRow();
    row.setLong("TURN", turn);
    row.setString("MSGTXT", text);
    messages.appendRow(row);
    return row;
  }

  SmartCache messages;
};

TEST_F(SmartCacheTest, NewRowSharesTheTemplateUntilItsFirstWrite) {
  CacheRow row = messages.templateRow();
  EXPECT_EQ(row.columnCount(), 7u);
  for (int32_t i = 0; i < 7; ++i) EXPECT_TRUE(row.isNull(i));
  EXPECT_EQ(rowData(row).cellByteLength(), 0);
  EXPECT_TRUE(row.sharesDataWith(messages.templateRow()));
  EXPECT_EQ(row.shareCount(), 2);

  row.setLong("MSGID", 5);
  EXPECT_FALSE(row.sharesDataWith(messages.templateRow()));
  EXPECT_EQ(row.getLong("MSGID"), 5);
  const CacheRow templateRow = messages.templateRow();
  for (int32_t i = 0; i < 7; ++i) EXPECT_TRUE(templateRow.isNull(i));
  EXPECT_EQ(rowData(templateRow).cellByteLength(), 0);
  // The written row still shares the template's column list.
  EXPECT_TRUE(row.sharesColumnsWith(templateRow));
}

TEST_F(SmartCacheTest, ChangesThroughOneHandleAreNeverSeenThroughAnother) {
  CacheRow stored = message(2401, "hello");
  CacheRow copy = stored;
  EXPECT_TRUE(copy.sharesDataWith(messages.rowAt(0)));

  copy.setString("MSGTXT", "changed");
  copy.setNull("TURN");
  EXPECT_EQ(messages.rowAt(0).getString("MSGTXT"), "hello");
  EXPECT_EQ(messages.rowAt(0).getLong("TURN"), 2401);
  EXPECT_EQ(stored.getString("MSGTXT"), "hello");

  CacheRow fromTable = messages.rowAt(0);
  fromTable.setLong("TURN", 2402);
  EXPECT_EQ(messages.rowAt(0).getLong("TURN"), 2401);
  EXPECT_EQ(copy.getString("MSGTXT"), "changed");
}

TEST_F(SmartCacheTest, ColumnsOnlyWhileTheTableIsEmpty) {
  message(2401, "x");
  EXPECT_LEXC(messages.addColumn("EXTRA", SQL_C_LONG), LExc_Internal_Unexpected,
              "columns cannot be added to a cache if the cache is not empty", kInliners,
              2619);
  EXPECT_EQ(messages.columnCount(), 7u);
  messages.clearRows();
  messages.addColumn("EXTRA", SQL_C_LONG);
  EXPECT_EQ(messages.columnCount(), 8u);
  EXPECT_EQ(messages.templateRow().columnIndex("EXTRA"), 7);
}

TEST(SmartCache, FlagBytesGrowWithTheColumns) {
  SmartCache table;
  EXPECT_EQ(rowData(table.templateRow()).flags().byteSize(), 0u);
  for (int k = 1; k <= 16; ++k) {
    table.addColumn("C" + std::to_string(k), SQL_C_LONG);
    EXPECT_EQ(rowData(table.templateRow()).flags().byteSize(), static_cast<uint32_t>(k / 8 + 1))
        << k << " columns";
  }
  for (int32_t i = 0; i < 16; ++i) EXPECT_TRUE(table.templateRow().isNull(i));
}

TEST(SmartCache, ResetSchemaEmptiesAFilledTable) {
  SmartCache races;
  defineRaceColumns(races);
  races.appendRow(races.templateRow());
  const CacheRow heldTemplate = races.templateRow();
  races.resetSchema();
  EXPECT_EQ(races.columnCount(), 0u);
  EXPECT_EQ(races.rowCount(), 0);
  EXPECT_EQ(heldTemplate.columnCount(), 7u);  // other handles keep their data
  races.addColumn("RACNO", SQL_C_LONG);
  EXPECT_EQ(races.columnCount(), 1u);
}

TEST(SmartCache, ColumnLookupIsExactAndFirstWins) {
  SmartCache table;
  table.addColumn("RACNO", SQL_C_LONG);
  table.addColumn("TWICE", SQL_C_LONG);
  table.addColumn("TWICE", SQL_C_CHAR);
  const CacheRow row = table.templateRow();
  EXPECT_EQ(row.columnIndex("TWICE"), 1);
  EXPECT_EQ(row.columnType(2), SQL_C_CHAR);
  EXPECT_EQ(row.columnName(2), "TWICE");
  EXPECT_LEXC(row.columnIndex("racno"), LExc_Internal_Unexpected,
              "Column \"racno\" not found", kInliners, 1482);
  EXPECT_LEXC(row.columnName(3), LExc_Internal_Unexpected, "index out of range", kInliners,
              1503);
  EXPECT_LEXC(row.columnType(-1), LExc_Internal_Unexpected, "index out of range", kInliners,
              1519);
  EXPECT_LEXC(row.isNull(3), LExc_Internal_BadArg, "index out of range", "cache/smartcache",
              141);
  EXPECT_LEXC(row.getLong(-1), LExc_Internal_BadArg, "index out of range", "cache/smartcache",
              141);
}

TEST_F(SmartCacheTest, CellBytesShrinkGrowAndStayInPlace) {
  CacheRow row = messages.templateRow();
  row.setString("MSGTXT", "hello");
  EXPECT_EQ(rowData(row).cellByteLength(), 9);
  row.setString("MSGTXT", "hi");
  EXPECT_EQ(rowData(row).cellByteLength(), 6);

  row.setLong("TURN", 1);
  const uint8_t* block = rowData(row).cellBytes();
  row.setLong("TURN", 2);
  row.setString("MSGTXT", "ho");
  EXPECT_EQ(rowData(row).cellBytes(), block);  // same sizes: written in place

  row.setNull("MSGID");  // already NULL: nothing changes
  EXPECT_EQ(rowData(row).cellByteLength(), 10);
  row.setNull("TURN");
  row.setNull("MSGTXT");
  EXPECT_EQ(rowData(row).cellByteLength(), 0);
  EXPECT_EQ(rowData(row).cellBytes(), nullptr);
}

TEST_F(SmartCacheTest, CellsArePackedInColumnOrder) {
  CacheRow row = messages.templateRow();
  row.setString("MSGTXT", "ab");
  row.setLong("TURN", 0x01020304);
  row.setLong("MSGINCOMING", 1);
  const std::string cells(reinterpret_cast<const char*>(rowData(row).cellBytes()),
                          static_cast<size_t>(rowData(row).cellByteLength()));
  EXPECT_EQ(cells, std::string("\x04\x03\x02\x01" "\x02\x00\x00\x00" "ab" "\x01\x00\x00\x00", 14));
  // TURN, MSGTXT and MSGINCOMING set: flags 0 1 1 0 1 0 1 (and an unused bit).
  EXPECT_EQ(rowData(row).flags().bytes()[0] & 0xFE, 0x6A);
}

TEST_F(SmartCacheTest, ChangedRowsAreWrittenBackInTheirPlace) {
  message(1, "a");
  message(2, "b");
  CacheRow row = messages.rowAt(1);
  row.setString("MSGTXT", "changed");
  EXPECT_EQ(messages.rowAt(1).getString("MSGTXT"), "b");
  messages.replaceRow(1, row);
  EXPECT_EQ(messages.rowAt(1).getString("MSGTXT"), "changed");
  EXPECT_EQ(messages.rowAt(0).getString("MSGTXT"), "a");
  EXPECT_LEXC(messages.replaceRow(2, row), LExc_Internal_BadArg, "Position invalid.", kInliners,
              2279);
}

TEST_F(SmartCacheTest, PositionsWalkTheRows) {
  message(1, "a");
  message(2, "b");
  CachePosition p = messages.begin();
  EXPECT_EQ(messages.rowAt(p).getLong("TURN"), 1);
  p = messages.next(p);
  EXPECT_EQ(messages.rowAt(p).getLong("TURN"), 2);
  EXPECT_EQ(messages.prev(p), messages.begin());
  EXPECT_EQ(messages.next(p), messages.end());
  EXPECT_EQ(messages.next(messages.end()), messages.end());
  EXPECT_EQ(messages.prev(messages.begin()), messages.end());
  EXPECT_LEXC(messages.rowAt(messages.end()), LExc_Internal_BadArg, "Position invalid.",
              kInliners, 2239);
  EXPECT_LEXC(messages.rowAt(2), LExc_Internal_BadArg, "Position invalid.", kInliners, 2279);
  EXPECT_LEXC(messages.rowAt(-1), LExc_Internal_BadArg, "Position invalid.", kInliners, 2279);

  SmartCache empty;
  EXPECT_EQ(empty.begin(), empty.end());
}

TEST_F(SmartCacheTest, FindFirstWithPatternRows) {
  message(2, "abc");
  message(3, "ABC");
  message(3, "abc");

  EXPECT_EQ(messages.findFirst(messages.templateRow()).slot(), 0);  // all NULL: any row

  CacheRow turn3 = messages.templateRow();
  turn3.setLong("TURN", 3);
  EXPECT_EQ(messages.findFirst(turn3).slot(), 1);

  CacheRow text = messages.templateRow();
  text.setString("MSGTXT", "ABC");
  EXPECT_EQ(messages.findFirst(text).slot(), 1);
  text.setString("MSGTXT", "abc");
  text.setLong("TURN", 3);
  EXPECT_EQ(messages.findFirst(text).slot(), 2);
  text.setString("MSGTXT", "ab");
  EXPECT_EQ(messages.findFirst(text), messages.end());

  // A pattern that needs a cell the row leaves NULL does not match it.
  CacheRow incoming = messages.templateRow();
  incoming.setLong("MSGINCOMING", 1);
  EXPECT_EQ(messages.findFirst(incoming), messages.end());

  // The very handle of a row finds that row.
  EXPECT_EQ(messages.findFirst(messages.rowAt(2)).slot(), 2);
}

TEST_F(SmartCacheTest, PatternsFromAnotherTableMatchByName) {
  message(2400, "x");
  message(2401, "y");

  SmartCache other;
  other.addColumn("MSGTXT", SQL_C_CHAR);
  other.addColumn("TURN", SQL_C_LONG);
  CacheRow pattern = other.templateRow();
  pattern.setLong("TURN", 2401);
  EXPECT_EQ(messages.findFirst(pattern).slot(), 1);

  SmartCache wrongType;
  wrongType.addColumn("TURN", SQL_C_CHAR);
  CacheRow typed = wrongType.templateRow();
  typed.setString("TURN", "2401");
  EXPECT_LEXC(messages.findFirst(typed), LExc_Internal_Unexpected,
              "column \"TURN\" - different types in cache rowand pattern row "
              "(cache row: 4(SQL_C_LONG), pattern row: 1(SQL_C_CHAR))",
              kInliners, 1308);

  SmartCache missing;
  missing.addColumn("RACNO", SQL_C_LONG);
  CacheRow absent = missing.templateRow();
  absent.setLong("RACNO", 1);
  EXPECT_LEXC(messages.findFirst(absent), LExc_Internal_Unexpected,
              "Column \"RACNO\" not found", kInliners, 1482);
}

TEST_F(SmartCacheTest, DoublesMatchByTheirStoredBytes) {
  SmartCache table;
  table.addColumn("X", SQL_C_DOUBLE);
  CacheRow row = table.templateRow();
  row.setDouble("X", 0.0);
  table.appendRow(row);
  CacheRow pattern = table.templateRow();
  pattern.setDouble("X", -0.0);
  EXPECT_EQ(table.findFirst(pattern), table.end());
  pattern.setDouble("X", 0.0);
  EXPECT_EQ(table.findFirst(pattern).slot(), 0);
}

TEST_F(SmartCacheTest, SwapExchangesColumnsAndRows) {
  message(2400, "x");
  SmartCache other;
  other.addColumn("A", SQL_C_LONG);
  messages.swap(other);
  EXPECT_EQ(messages.columnCount(), 1u);
  EXPECT_EQ(messages.rowCount(), 0);
  EXPECT_EQ(other.rowAt(0).getString("MSGTXT"), "x");
}

}  // namespace
