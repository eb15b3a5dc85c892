// Tables of very many columns, as a damaged or hostile file can name them:
// loading, dumping and matching must take time proportional to the bytes,
// whatever order the rows name their columns in. These tests run under a
// short CTest timeout; work in the square of the column count would take
// them minutes.
#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

#include "cache/cache_dump.h"
#include "cache/cache_stream.h"
#include "cache/test_bytes.h"
#include "cache/test_tables.h"

namespace {

using testing_tables::load;

constexpr int32_t kColumns = 100000;

std::string columnName(int32_t j) { return "C" + std::to_string(j); }
int32_t columnType(int32_t j) { return j % 2 == 0 ? SQL_C_LONG : SQL_C_CHAR; }

// A row record naming the columns in `order` with the types `typeOf`
// gives them, every cell set: a long column j holds j, a text column
// "v<j>".
template <class TypeOf>
void appendRow(TestBytes& stream, const std::vector<int32_t>& order, TypeOf typeOf) {
  stream.str("SR").i32(kColumns);
  for (int32_t j : order) stream.column(columnName(j), typeOf(j));
  stream.i32(kColumns).raw(std::string(kColumns / 8 + 1, '\0'));
  TestBytes cells;
  for (int32_t j : order) {
    if (typeOf(j) == SQL_C_LONG) {
      cells.i32(j);
    } else {
      cells.str("v" + std::to_string(j));
    }
  }
  stream.i32(static_cast<int32_t>(cells.size())).raw(cells.bytes());
}

// A table stream of kColumns columns: the template names them in column
// order, then one row per order in `rows`.
std::string wideTable(const std::vector<std::vector<int32_t>>& rows,
                      int32_t (*typeOf)(int32_t) = columnType) {
  std::vector<int32_t> inOrder(kColumns);
  for (int32_t j = 0; j < kColumns; ++j) inOrder[static_cast<size_t>(j)] = j;
  TestBytes stream;
  stream.str("SC").i32(static_cast<int32_t>(rows.size()));
  stream.str("SR").i32(kColumns);
  for (int32_t j : inOrder) stream.column(columnName(j), columnType(j));
  stream.i32(kColumns).raw(std::string(kColumns / 8 + 1, '\xFF')).i32(0);
  for (const std::vector<int32_t>& order : rows) appendRow(stream, order, typeOf);
  return stream.bytes();
}

std::vector<int32_t> inOrder() {
  std::vector<int32_t> order(kColumns);
  for (int32_t j = 0; j < kColumns; ++j) order[static_cast<size_t>(j)] = j;
  return order;
}

std::vector<int32_t> reversed() {
  std::vector<int32_t> order = inOrder();
  std::reverse(order.begin(), order.end());
  return order;
}

// Every other pair swapped: neither the template's order nor its reverse.
std::vector<int32_t> interleaved() {
  std::vector<int32_t> order = inOrder();
  for (size_t j = 0; j + 1 < order.size(); j += 4) std::swap(order[j], order[j + 1]);
  return order;
}

// A stream buffer that counts what it is given and keeps the last line.
class CountingBuffer : public std::streambuf {
 public:
  size_t bytes = 0;
  int lines = 0;

 protected:
  int_type overflow(int_type c) override {
    if (c != traits_type::eof()) count(static_cast<char>(c));
    return traits_type::not_eof(c);
  }
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    for (std::streamsize k = 0; k < n; ++k) count(s[k]);
    return n;
  }

 private:
  void count(char c) {
    ++bytes;
    if (c == '\n') ++lines;
  }
};

TEST(WideTable, RowsInAnyColumnOrderLoadByName) {
  SmartCache table;
  load(table, wideTable({inOrder(), reversed(), interleaved(), reversed()}));
  ASSERT_EQ(table.columnCount(), static_cast<uint32_t>(kColumns));
  ASSERT_EQ(table.rowCount(), 4);
  for (int32_t r = 0; r < 4; ++r) {
    SCOPED_TRACE(r);
    const CacheRow row = table.rowAt(r);
    EXPECT_TRUE(row.sharesColumnsWith(table.templateRow()));
    for (int32_t j : {0, 1, 2, 3, 4, 5, kColumns / 2, kColumns - 2, kColumns - 1}) {
      if (columnType(j) == SQL_C_LONG) {
        EXPECT_EQ(row.getLong(columnName(j)), j);
      } else {
        EXPECT_EQ(row.getString(columnName(j)), "v" + std::to_string(j));
      }
    }
  }
  // Loaded in another order, the rows hold the bytes of the row in order.
  const std::string bytes = saveToString(table);
  SmartCache again;
  load(again, bytes);
  EXPECT_TRUE(saveToString(again) == bytes);
}

TEST(WideTable, AMismatchAtTheLastColumnIsRefused) {
  // The row is whole by itself, but one of its last columns (named near
  // the start) holds a text where the template's column is a long.
  const auto textAtTheEnd = [](int32_t j) { return j == kColumns - 2 ? SQL_C_CHAR : columnType(j); };
  SmartCache table;
  testing_tables::defineRaceColumns(table);
  const std::string before = saveToString(table);
  EXPECT_INVALID_STREAM(load(table, wideTable({reversed()}, textAtTheEnd)));
  EXPECT_TRUE(saveToString(table) == before);  // (not printed: megabytes)
}

TEST(WideTable, DumpAndPatternsWalkEachRowOnce) {
  SmartCache table;
  load(table, wideTable({reversed(), inOrder()}));
  CountingBuffer counted;
  std::ostream out(&counted);
  dumpCache(table, out);
  EXPECT_EQ(counted.lines, 4);  // the empty line, the header and two rows
  EXPECT_GT(counted.bytes, static_cast<size_t>(4 * kColumns));

  CacheRow pattern = table.templateRow();
  pattern.setString(columnName(kColumns - 1), "v" + std::to_string(kColumns - 1));
  pattern.setLong(columnName(kColumns - 2), kColumns - 2);
  EXPECT_EQ(table.findFirst(pattern).slot(), 0);
  pattern.setLong(columnName(kColumns - 2), 7);
  EXPECT_TRUE(table.findFirst(pattern).isEnd());
}

}  // namespace
