// A scan reads every row as a load would give it, without a table.
#include "cache/table_scan.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cache/test_bytes.h"
#include "cache/test_tables.h"

namespace {

using testing_tables::load;

// Per row, the values of the long column 0 and the text column 1 (or
// "<NULL>").
std::vector<std::string> loadedValues(const std::string& bytes) {
  SmartCache table;
  load(table, bytes);
  std::vector<std::string> values;
  for (int32_t i = 0; i < table.rowCount(); ++i) {
    const CacheRow row = table.rowAt(i);
    values.push_back(row.cellText(0) + "|" + row.cellText(1));
  }
  return values;
}

std::vector<std::string> scannedValues(const std::string& bytes) {
  std::istringstream in(bytes);
  std::vector<std::string> values;
  int templates = 0;
  scanTableStream(
      in, [&](const CacheRow& templateRow) {
        ++templates;
        EXPECT_EQ(templateRow.columnName(0), "L");
      },
      [&](const ScannedRow& row) {
        const std::optional<int32_t> number = row.longValue(0);
        const std::string text = row.isNull(1) ? "<NULL>" : std::string(row.text(1));
        values.push_back((number ? std::to_string(*number) : "<NULL>") + "|" + text);
      });
  EXPECT_EQ(templates, 1);
  return values;
}

// A record of the columns L (long) and S (text) in that order or the
// reverse, with the given cells (NULL when absent).
void record(TestBytes& b, bool reversed, std::optional<int32_t> number,
            std::optional<std::string> text) {
  b.str("SR").i32(2);
  if (reversed) {
    b.column("S", SQL_C_CHAR).column("L", SQL_C_LONG);
  } else {
    b.column("L", SQL_C_LONG).column("S", SQL_C_CHAR);
  }
  const bool nullFirst = reversed ? !text : !number;
  const bool nullSecond = reversed ? !number : !text;
  b.i32(2).raw({(nullFirst ? 0x80 : 0) | (nullSecond ? 0x40 : 0)});
  TestBytes cells;
  const auto putNumber = [&] { if (number) cells.i32(*number); };
  const auto putText = [&] { if (text) cells.str(*text); };
  if (reversed) {
    putText();
    putNumber();
  } else {
    putNumber();
    putText();
  }
  b.i32(static_cast<int32_t>(cells.size())).raw(cells.bytes());
}

TEST(TableScan, GivesEveryRowAsTheLoadDoes) {
  TestBytes stream;
  stream.str("SC").i32(6);
  record(stream, false, std::nullopt, std::nullopt);  // the template
  record(stream, false, 1, std::string("one"));
  record(stream, true, 2, std::string("two, reversed"));
  record(stream, true, 3, std::string("three", 6));          // a text with a zero byte
  record(stream, false, std::nullopt, std::string("no number"));
  record(stream, false, 5, std::string("cut\0off", 7));
  record(stream, true, -6, std::nullopt);
  const std::vector<std::string> loaded = loadedValues(stream.bytes());
  EXPECT_EQ(scannedValues(stream.bytes()), loaded);
  EXPECT_EQ(loaded[4], "5|cut");
}

TEST(TableScan, RefusesWhatTheLoadRefuses) {
  TestBytes whole;
  whole.str("SC").i32(2);
  record(whole, false, std::nullopt, std::nullopt);
  record(whole, false, 1, std::string("one"));
  record(whole, true, 2, std::string("two"));
  const std::string bytes = whole.bytes();
  for (size_t cut = 0; cut < bytes.size(); ++cut) {
    const std::string part = bytes.substr(0, cut);
    std::istringstream in(part);
    EXPECT_INVALID_STREAM(scanTableStream(in, [](const CacheRow&) {}, [](const ScannedRow&) {}));
  }
  TestBytes wrongType;  // a row whose L is a text: refused by the load too
  wrongType.str("SC").i32(1);
  record(wrongType, false, std::nullopt, std::nullopt);
  wrongType.str("SR").i32(2).column("L", SQL_C_CHAR).column("S", SQL_C_CHAR).i32(2).raw({0x40});
  wrongType.i32(5).str("x");
  std::istringstream in(wrongType.bytes());
  EXPECT_INVALID_STREAM(scanTableStream(in, [](const CacheRow&) {}, [](const ScannedRow&) {}));
}

TEST(TableScan, AppendsTheWantedRowsOfItsColumnsOnlyAndNothingOfADamagedStream) {
  TestBytes stream;
  stream.str("SC").i32(4);
  record(stream, false, std::nullopt, std::nullopt);
  record(stream, false, 1, std::string("one"));
  record(stream, true, 2, std::string("two, reversed"));
  record(stream, false, 3, std::string("th\0ree", 6));
  record(stream, false, 4, std::string("four"));
  SmartCache table;
  table.addColumn("L", SQL_C_LONG);
  table.addColumn("S", SQL_C_CHAR);
  const auto odd = [](const ScannedRow& row) { return row.longValue(0).value_or(0) % 2 == 1; };
  std::istringstream in(stream.bytes());
  ASSERT_TRUE(appendScannedRows(table, in, odd));
  ASSERT_EQ(table.rowCount(), 2);
  EXPECT_EQ(table.rowAt(0).getString(1), "one");
  EXPECT_EQ(table.rowAt(1).getString(1), "th");  // as the load cuts it
  EXPECT_TRUE(table.rowAt(1).sharesColumnsWith(table.templateRow()));
  SmartCache loaded;
  load(loaded, stream.bytes());
  SmartCache expected;  // what a load and copies of rows 1 and 3 give
  expected.addColumn("L", SQL_C_LONG);
  expected.addColumn("S", SQL_C_CHAR);
  expected.appendCopy(loaded.rowAt(0));
  expected.appendCopy(loaded.rowAt(2));
  EXPECT_EQ(saveToString(table), saveToString(expected));

  // Other columns: nothing appended, and the caller is told.
  SmartCache reversed;
  reversed.addColumn("S", SQL_C_CHAR);
  reversed.addColumn("L", SQL_C_LONG);
  std::istringstream again(stream.bytes());
  EXPECT_FALSE(appendScannedRows(reversed, again, odd));
  EXPECT_EQ(reversed.rowCount(), 0);

  // A stream damaged after rows were taken: none of them stay.
  const std::string cut = stream.bytes().substr(0, stream.bytes().size() - 3);
  std::istringstream damaged(cut);
  EXPECT_INVALID_STREAM(appendScannedRows(table, damaged, odd));
  EXPECT_EQ(table.rowCount(), 2);
}

// A stream of the columns L and S, a template and one row, with one part
// replaced: what no table can hold.
struct ImpossibleShape {
  const char* what;
  std::string bytes;
};

// The template's column entries, its row count and the row record, each
// given as bytes, put together as a stream.
std::string shapedStream(const std::string& templateColumns, int32_t rows,
                         const std::string& rowRecord) {
  return TestBytes().str("SC").i32(rows).raw(templateColumns).i32(2).raw({0xC0}).i32(0)
      .raw(rowRecord).bytes();
}

std::string templateColumns(const std::string& firstName, int32_t firstType,
                            int32_t count = 2) {
  return TestBytes().str("SR").i32(count).column(firstName, firstType)
      .column("S", SQL_C_CHAR).bytes();
}

// A row record of S and L (so not read as the template's), with L = 7 and
// S = "x".
std::string otherRow(const std::string& firstName = "S", int32_t firstType = SQL_C_CHAR,
                     int32_t count = 2, int32_t cellLength = 9) {
  return TestBytes().str("SR").i32(count).column(firstName, firstType)
      .column("L", SQL_C_LONG).i32(2).raw({0}).i32(cellLength).str("x").i32(7).bytes();
}

std::vector<ImpossibleShape> impossibleShapes() {
  const std::string columns = templateColumns("L", SQL_C_LONG);
  const std::string hugeName = TestBytes().str("SR").i32(2).i32(INT32_MAX).bytes();
  return {
      {"a template column without a name", shapedStream(templateColumns("", SQL_C_LONG), 1, otherRow())},
      {"a template name that begins with a zero byte",
       shapedStream(templateColumns(std::string("\0L", 2), SQL_C_LONG), 1, otherRow())},
      {"a row column without a name", shapedStream(columns, 1, otherRow(""))},
      {"a template column of the code 0", shapedStream(templateColumns("L", 0), 1, otherRow())},
      {"a template column of the code 3", shapedStream(templateColumns("L", 3), 1, otherRow())},
      {"a code whose low 16 bits are SQL_C_LONG",
       shapedStream(templateColumns("L", 0x10000 + SQL_C_LONG), 1, otherRow())},
      {"a row column of the code 7777", shapedStream(columns, 1, otherRow("S", 7777))},
      {"more template columns than bytes left",
       shapedStream(templateColumns("L", SQL_C_LONG, INT32_MAX), 1, otherRow())},
      {"more rows than bytes left", shapedStream(columns, INT32_MAX, otherRow())},
      {"more row columns than bytes left",
       shapedStream(columns, 1, otherRow("S", SQL_C_CHAR, INT32_MAX))},
      {"more cell bytes than bytes left",
       shapedStream(columns, 1, otherRow("S", SQL_C_CHAR, 2, INT32_MAX))},
      {"a longer name than bytes left", shapedStream(columns, 1, hugeName)},
  };
}

TEST(TableScan, ImpossibleShapesAreRefusedByTheLoadAndTheScan) {
  // The stream every case changes loads.
  const std::string whole = shapedStream(templateColumns("L", SQL_C_LONG), 1, otherRow());
  ASSERT_EQ(loadedValues(whole), std::vector<std::string>{"7|x"});
  ASSERT_EQ(scannedValues(whole), std::vector<std::string>{"7|x"});

  for (const ImpossibleShape& shape : impossibleShapes()) {
    SCOPED_TRACE(shape.what);
    SmartCache table;
    table.addColumn("L", SQL_C_LONG);
    table.addColumn("S", SQL_C_CHAR);
    CacheRow row = table.templateRow();
    row.setLong(0, 1);
    table.appendRow(row);
    const std::string before = saveToString(table);
    EXPECT_INVALID_STREAM(load(table, shape.bytes));
    EXPECT_EQ(saveToString(table), before);

    std::istringstream scanned(shape.bytes);
    int rows = 0;
    EXPECT_INVALID_STREAM(scanTableStream(
        scanned, [](const CacheRow&) {}, [&](const ScannedRow&) { ++rows; }));
    EXPECT_EQ(rows, 0);

    std::istringstream appended(shape.bytes);
    EXPECT_INVALID_STREAM(appendScannedRows(table, appended, [](const ScannedRow&) { return true; }));
    EXPECT_EQ(saveToString(table), before);
  }
}

}  // namespace
