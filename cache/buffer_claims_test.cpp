// A load reads a stream by what its buffer claims to hold, in pieces as it
// decodes the rows: what it loads must not depend on how the buffer hands
// out its bytes or on whether that claim is right.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "cache/cache_stream.h"
#include "cache/test_bytes.h"
#include "cache/test_tables.h"
#include "cache/test_telling_buffer.h"

namespace {

using testing_tables::saved;

// About 2 MB of rows: texts of every length up to 3 KB, NULL cells, a text
// holding a zero byte (loaded cut) and, in the middle, rows that name the
// columns in another order (taken by name).
std::string largeStream() {
  SmartCache table;
  table.addColumn("N", SQL_C_LONG);
  table.addColumn("T", SQL_C_CHAR);
  for (int32_t i = 0; i < 1500; ++i) {
    CacheRow row = table.templateRow();
    if (i % 17 != 0) row.setLong("N", i);
    if (i % 23 != 0) row.setString("T", std::string(static_cast<size_t>(i * 7 % 3000), 'a' + i % 26));
    table.appendRow(row);
  }
  std::string bytes = saved(table);
  // Row 1000's text, its length before it.
  const std::string text = TestBytes().i32(1000).bytes() + std::string(1000, 'a' + 1000 % 26);
  bytes.replace(bytes.find(text) + 4 + 999, 1, std::string(1, '\0'));

  SmartCache reordered;
  reordered.addColumn("T", SQL_C_CHAR);
  reordered.addColumn("N", SQL_C_LONG);
  for (int32_t i = 0; i < 3; ++i) {
    CacheRow row = reordered.templateRow();
    row.setString("T", "reordered " + std::to_string(i));
    row.setLong("N", -i);
    reordered.appendRow(row);
  }
  const std::string other = saved(reordered);
  const std::string otherRows = other.substr(other.find("SR", other.find("SR") + 2) - 4);
  // The row count grows by 3; the rows of other columns go before row 801.
  TestBytes count;
  count.i32(1503);
  bytes.replace(6, 4, count.bytes());
  size_t at = bytes.find("SR") - 4;  // the template record
  for (int k = 0; k <= 801; ++k) at = bytes.find(std::string("\x02\0\0\0SR", 6), at + 6);
  bytes.insert(at, otherRows);
  return bytes;
}

std::string loadedThrough(const std::string& bytes, std::streamsize claim) {
  TellingBuffer buffer(bytes, claim);
  std::istream in(&buffer);
  SmartCache table;
  loadFromStream(table, in);
  return saved(table);
}

TEST(BufferClaims, TheSameRowsLoadWhateverTheBufferSaysItHolds) {
  const std::string bytes = largeStream();
  ASSERT_GT(bytes.size(), 1900u * 1024);
  const std::string whole = loadedThrough(bytes, 0);  // the buffer says nothing
  SmartCache check;
  testing_tables::load(check, whole);
  ASSERT_EQ(check.rowCount(), 1503);
  EXPECT_EQ(check.rowAt(801).getString("T"), "reordered 0");
  EXPECT_EQ(check.rowAt(803).getLong("N"), -2);
  EXPECT_EQ(check.rowAt(1000 + 3).getString("T").size(), 999u);  // cut at its zero byte
  EXPECT_TRUE(check.rowAt(17).isNull("N"));

  const auto size = static_cast<std::streamsize>(bytes.size());
  EXPECT_TRUE(loadedThrough(bytes, size) == whole);            // the truth
  EXPECT_TRUE(loadedThrough(bytes, size / 2) == whole);        // less than it holds
  EXPECT_TRUE(loadedThrough(bytes, size + 100000) == whole);   // more than it holds
  EXPECT_TRUE(loadedThrough(bytes, 20000) == whole);           // too little for its rows
  std::istringstream string(bytes);
  SmartCache fromString;
  loadFromStream(fromString, string);
  EXPECT_TRUE(saved(fromString) == whole);
}

TEST(BufferClaims, ADamagedOrShortLargeStreamLeavesTheTableAsItWas) {
  const std::string bytes = largeStream();
  SmartCache table;
  table.addColumn("KEEP", SQL_C_CHAR);
  table.appendRow(table.templateRow());
  const std::string before = saved(table);
  const auto size = static_cast<std::streamsize>(bytes.size());
  // Cut in records here and there, and near the end.
  for (size_t cut : {size_t{300000}, size_t{256 * 1024 + 3}, size_t{1024 * 1024 + 1}, bytes.size() - 1}) {
    SCOPED_TRACE(cut);
    const std::string part = bytes.substr(0, cut);
    for (std::streamsize claim : {static_cast<std::streamsize>(cut), size}) {
      TellingBuffer buffer(part, claim);
      std::istream in(&buffer);
      EXPECT_INVALID_STREAM(loadFromStream(table, in));
      EXPECT_EQ(saved(table), before);
    }
  }
  // A cell length running past the end of its record, in the middle: the
  // high byte of the length after a record's 32 bytes of columns and its
  // flag byte.
  std::string damaged = bytes;
  const size_t record = damaged.find(std::string("\x02\0\0\0SR", 6), 1500000);
  damaged[record + 32 + 1 + 3] = '\x7f';
  std::istringstream in(damaged);
  EXPECT_INVALID_STREAM(loadFromStream(table, in));
  EXPECT_EQ(saved(table), before);
}

}  // namespace
