#include "cache/cache_stream.h"
#include "cache/row_access.h"
#include "cache/row_record.h"

#include <gtest/gtest.h>

#include <climits>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "cache/cache_dump.h"
#include "cache/test_bytes.h"
#include "cache/test_tables.h"

namespace {

using testing_tables::load;
using testing_tables::saved;

const Timestamp kStamp(LDat(2026, 12, 8), LTim(4, 5, 9), 0);

TestBytes& raceColumns(TestBytes& b) {
  return b.i32(7)
      .column("RACNO", 4).column("RACNAMSING", 1).column("RACNAMPLU", 1)
      .column("RACEPLAYERNAM", 1).column("RACEMAIL", 1).column("RACRELATION", 4)
      .column("RACHROWID", 93);
}

TEST(CacheStream, RaceTableBytes) {
  SmartCache races;
  testing_tables::defineRaceColumns(races);
  CacheRow human = races.templateRow();
  human.setLong("RACNO", 0);
  human.setString("RACNAMSING", "Human");
  human.setString("RACNAMPLU", "Humans");
  human.setLong("RACRELATION", 0);
  human.setTimestamp("RACHROWID", kStamp);
  races.appendRow(human);
  CacheRow zorg = races.templateRow();
  zorg.setTimestamp("RACHROWID", kStamp);
  zorg.setString("RACNAMPLU", "Zorgs");
  zorg.setLong("RACNO", 1);
  races.appendRow(zorg);

  TestBytes expected;
  expected.str("SC").i32(2);
  // Template record: every cell NULL, one flag byte for seven columns.
  raceColumns(expected.str("SR")).i32(7).raw({0xFE}).i32(0);
  // Human: RACEPLAYERNAM and RACEMAIL NULL (flags 0001 1000).
  raceColumns(expected.str("SR")).i32(7).raw({0x18}).i32(43)
      .i32(0).str("Human").str("Humans").i32(0).timestamp(2026, 12, 8, 4, 5, 9, 0);
  // Zorgs: RACNAMSING, RACEPLAYERNAM, RACEMAIL, RACRELATION NULL (0101 1100).
  raceColumns(expected.str("SR")).i32(7).raw({0x5C}).i32(29)
      .i32(1).str("Zorgs").timestamp(2026, 12, 8, 4, 5, 9, 0);
  EXPECT_EQ(saved(races), expected.bytes());

  // What the system writes loads back to the same table and the same bytes.
  SmartCache loaded;
  load(loaded, expected.bytes());
  EXPECT_EQ(saved(loaded), expected.bytes());
  EXPECT_EQ(loaded.rowAt(1).getString("RACNAMPLU"), "Zorgs");
  EXPECT_TRUE(loaded.rowAt(1).isNull("RACNAMSING"));
  EXPECT_EQ(loaded.rowAt(0).getTimestamp("RACHROWID"), kStamp);
}

TEST(CacheStream, MessageTableBytes) {
  SmartCache messages;
  testing_tables::defineMessageColumns(messages);
  CacheRow row = messages.templateRow();
  row.setLong("TURN", 2401);
  row.setLong("MSGID", 1);
  row.setLong("MSGTYP", 1);
  row.setString("MSGTXT", "Hi\r\nthere");
  row.setLong("MSGINCOMING", 1);
  row.setTimestamp("MSGHROWID", kStamp);
  messages.appendRow(row);

  auto columns = [](TestBytes& b) -> TestBytes& {
    return b.i32(7).column("TURN", 4).column("MSGID", 4).column("MSGTYP", 4)
        .column("MSGTXT", 1).column("MSGRACNO", 4).column("MSGINCOMING", 4)
        .column("MSGHROWID", 93);
  };
  TestBytes expected;
  expected.str("SC").i32(1);
  columns(expected.str("SR")).i32(7).raw({0xFE}).i32(0);
  columns(expected.str("SR")).i32(7).raw({0x08}).i32(4 + 4 + 4 + 13 + 4 + 16)
      .i32(2401).i32(1).i32(1).str("Hi\r\nthere").i32(1).timestamp(2026, 12, 8, 4, 5, 9, 0);
  EXPECT_EQ(saved(messages), expected.bytes());
}

TEST(CacheStream, FlagBytesPerColumnCount) {
  for (int columns : {7, 8, 15, 16}) {
    SCOPED_TRACE(columns);
    SmartCache table;
    TestBytes record;
    record.str("SR").i32(columns);
    for (int k = 0; k < columns; ++k) {
      table.addColumn("C" + std::to_string(k), SQL_C_LONG);
      record.column("C" + std::to_string(k), 4);
    }
    CacheRow row = table.templateRow();
    for (int k = 0; k < columns; ++k) row.setLong(k, k);
    table.appendRow(row);

    record.i32(columns);
    const int flagBytes = columns / 8 + 1;
    for (int k = 0; k < flagBytes; ++k) record.raw({0});
    record.i32(4 * columns);
    for (int k = 0; k < columns; ++k) record.i32(k);
    const std::string bytes = saved(table);
    EXPECT_EQ(bytes.substr(bytes.size() - record.size()), record.bytes());
  }
}

TEST(CacheStream, EmptyTableWithColumns) {
  SmartCache table;
  table.addColumn("A", SQL_C_CHAR);
  TestBytes expected;
  expected.str("SC").i32(0).str("SR").i32(1).column("A", 1).i32(1).raw({0x80}).i32(0);
  EXPECT_EQ(saved(table), expected.bytes());

  SmartCache loaded;
  load(loaded, expected.bytes());
  EXPECT_EQ(loaded.rowCount(), 0);
  ASSERT_EQ(loaded.columnCount(), 1u);
  EXPECT_EQ(loaded.templateRow().columnName(0), "A");
  EXPECT_EQ(loaded.templateRow().columnType(0), SQL_C_CHAR);
}

TEST(CacheStream, RecordsWithoutColumnsCarryOneFlagByteAndReadBack) {
  SmartCache table;
  table.appendRow(table.templateRow());
  TestBytes expected;
  expected.str("SC").i32(1);
  expected.str("SR").i32(0).i32(0).raw({0}).i32(0);
  expected.str("SR").i32(0).i32(0).raw({0}).i32(0);
  EXPECT_EQ(saved(table), expected.bytes());

  SmartCache loaded;
  load(loaded, expected.bytes());
  EXPECT_EQ(loaded.rowCount(), 1);
  EXPECT_EQ(loaded.columnCount(), 0u);
}

// A table with one row per value kind, NULLs, an empty text and a blob.
void fillAllTypes(SmartCache& table) {
  testing_tables::defineAllTypeColumns(table);
  CacheRow a = table.templateRow();
  a.setLong("L", INT32_MIN);
  a.setString("S", "abc");
  a.setDouble("D", -0.5);
  a.setBlob("B", Blob("\0\1\2", 3));
  a.setDate("DAT", LDat(-1, 65535, 0));
  a.setTime("TIM", LTim(1, 2, 3));
  a.setTimestamp("TS", Timestamp(LDat(2400, 1, 1), LTim(0, 0, 0), 4000000000u));
  table.appendRow(a);
  CacheRow b = table.templateRow();
  b.setString("S", "");
  table.appendRow(b);
  table.appendRow(table.templateRow());
}

TEST(CacheStream, EveryTypeRoundTrips) {
  SmartCache table;
  fillAllTypes(table);
  SmartCache loaded;
  loaded.addColumn("OLD", SQL_C_LONG);
  loaded.appendRow(loaded.templateRow());
  load(loaded, saved(table));
  ASSERT_EQ(loaded.rowCount(), 3);
  EXPECT_EQ(loaded.columnCount(), 7u);
  EXPECT_EQ(saved(loaded), saved(table));
  const CacheRow a = loaded.rowAt(0);
  EXPECT_EQ(a.getLong("L"), INT32_MIN);
  EXPECT_EQ(a.getBlob("B"), Blob("\0\1\2", 3));
  EXPECT_EQ(a.getDate("DAT"), LDat(-1, 65535, 0));
  EXPECT_EQ(a.getTimestamp("TS").fraction, 4000000000u);
  EXPECT_EQ(loaded.rowAt(1).getString("S"), "");
  // Loaded rows share the template's column list.
  EXPECT_TRUE(a.sharesColumnsWith(loaded.templateRow()));
}

TEST(CacheStream, RowsTakeTheTemplateColumnsByName) {
  TestBytes stream;
  stream.str("SC").i32(2);
  stream.str("SR").i32(3).column("A", 4).column("B", 1).column("C", 4).i32(3).raw({0xE0}).i32(0);
  // Row 1 names its columns in another order: C, B, A.
  stream.str("SR").i32(3).column("C", 4).column("B", 1).column("A", 4).i32(3).raw({0}).i32(13)
      .i32(30).str("b").i32(10);
  // Row 2 lacks column A and has an extra column X.
  stream.str("SR").i32(2).column("X", 4).column("B", 1).i32(2).raw({0}).i32(10)
      .i32(99).str("bb");
  SmartCache table;
  load(table, stream.bytes());
  ASSERT_EQ(table.rowCount(), 2);
  EXPECT_EQ(table.rowAt(0).getLong("A"), 10);
  EXPECT_EQ(table.rowAt(0).getString("B"), "b");
  EXPECT_EQ(table.rowAt(0).getLong("C"), 30);
  EXPECT_TRUE(table.rowAt(1).isNull("A"));
  EXPECT_EQ(table.rowAt(1).getString("B"), "bb");
  EXPECT_TRUE(table.rowAt(1).isNull("C"));
  EXPECT_EQ(table.columnCount(), 3u);
}

TEST(CacheStream, RepeatedColumnNamesKeepTheirValuesThroughARoundTrip) {
  // The template names "A" twice; a row of other columns gives its "A" to
  // the second one (the first, of a type without storage, stays NULL).
  TestBytes stream;
  stream.str("SC").i32(1);
  stream.str("SR").i32(2).column("A", SQL_C_FLOAT).column("A", 1).i32(2).raw({0xC0}).i32(0);
  stream.str("SR").i32(2).column("X", 4).column("A", 1).i32(2).raw({0}).i32(9).i32(5).str("x");
  SmartCache table;
  load(table, stream.bytes());
  ASSERT_EQ(table.rowCount(), 1);
  EXPECT_TRUE(table.rowAt(0).isNull(0));
  EXPECT_EQ(table.rowAt(0).getString(1), "x");

  const std::string bytes = saved(table);
  SmartCache again;
  load(again, bytes);
  EXPECT_EQ(again.rowAt(0).getString(1), "x");
  EXPECT_EQ(saved(again), bytes);
}

TEST(CacheStream, CountedStrings) {
  std::ostringstream out;
  writeCountedString(nullptr, out);
  writeCountedString("abc", out);
  EXPECT_EQ(out.str(), std::string("\0\0\0\0\3\0\0\0abc", 11));

  // A zero byte ends the text; a string longer than 9999 bytes is cut, and
  // its rest is skipped so that what follows is read in step.
  const std::string longName(12000, 'n');
  std::istringstream in(TestBytes().str(std::string("ab\0cd", 5)).str(longName).str("next").bytes());
  EXPECT_EQ(readCountedString(in), "ab");
  EXPECT_EQ(readCountedString(in), longName.substr(0, 9999));
  EXPECT_EQ(readCountedString(in), "next");
  EXPECT_INVALID_STREAM(readCountedString(in));
}

TEST(CacheStream, LongColumnNamesKeepTheStreamInStep) {
  SmartCache table;
  const std::string longName(10050, 'q');
  table.addColumn(longName, SQL_C_LONG);
  table.addColumn("AFTER", SQL_C_CHAR);
  CacheRow row = table.templateRow();
  row.setLong(0, 5);
  row.setString(1, "after");
  table.appendRow(row);
  SmartCache loaded;
  load(loaded, saved(table));
  EXPECT_EQ(loaded.templateRow().columnName(0), longName.substr(0, 9999));
  EXPECT_EQ(loaded.rowAt(0).getLong(0), 5);
  EXPECT_EQ(loaded.rowAt(0).getString("AFTER"), "after");
}

TEST(CacheStream, StoredZeroByteCutsATextWhenRead) {
  TestBytes stream;
  stream.str("SC").i32(1);
  stream.str("SR").i32(1).column("T", 1).i32(1).raw({0x80}).i32(0);
  stream.str("SR").i32(1).column("T", 1).i32(1).raw({0x00}).i32(9).str(std::string("ab\0cd", 5));
  SmartCache table;
  load(table, stream.bytes());
  EXPECT_EQ(table.rowAt(0).getString("T"), "ab");
  // The row holds the cut text, its length included.
  TestBytes cut;
  cut.str("SC").i32(1);
  cut.str("SR").i32(1).column("T", 1).i32(1).raw({0x80}).i32(0);
  cut.str("SR").i32(1).column("T", 1).i32(1).raw({0x00}).i32(6).str("ab");
  EXPECT_EQ(saved(table), cut.bytes());
}

// A saved table of every value type, for the damage tests.
std::string sampleStream() {
  SmartCache table;
  fillAllTypes(table);
  return saved(table);
}

// A table with a row of its own, to see that failed loads leave it alone.
void fillBystander(SmartCache& table) {
  table.addColumn("KEEP", SQL_C_CHAR);
  CacheRow row = table.templateRow();
  row.setString(0, "kept");
  table.appendRow(row);
}

// A stream buffer that gives `bytes`, then raises what `raise` raises, as
// a file buffer does when it cannot read on (a folder opened as a file).
class RaisingBuffer : public std::streambuf {
 public:
  RaisingBuffer(std::string bytes, void (*raise)()) : bytes_(std::move(bytes)), raise_(raise) {
    setg(&bytes_[0], &bytes_[0], &bytes_[0] + bytes_.size());
  }

 protected:
  int_type underflow() override {
    raise_();
    return traits_type::eof();
  }

 private:
  std::string bytes_;
  void (*raise_)();
};

TEST(CacheStream, ABufferThatRaisesEndsTheStream) {
  const std::string full = sampleStream();
  RaisingBuffer failing(full.substr(0, full.size() / 2),
                        [] { throw std::ios_base::failure("cannot read"); });
  std::istream in(&failing);
  SmartCache table;
  EXPECT_INVALID_STREAM(loadFromStream(table, in));

  RaisingBuffer exhausted(full.substr(0, 10), [] { throw std::bad_alloc(); });
  std::istream short_(&exhausted);
  EXPECT_THROW(loadFromStream(table, short_), LExc_Internal_Mem);
  EXPECT_EQ(table.columnCount(), 0u);
}

TEST(CacheStream, ARowOfOtherColumnsIsSavedWithItsOwnRecord) {
  SmartCache table;
  table.addColumn("N", SQL_C_LONG);
  SmartCache other;
  other.addColumn("X", SQL_C_LONG);
  other.addColumn("N", SQL_C_LONG);
  CacheRow own = table.templateRow();
  own.setLong("N", 1);
  table.appendRow(own);
  CacheRow foreign = other.templateRow();
  foreign.setLong("X", 7);
  foreign.setLong("N", 2);
  table.appendRow(foreign);
  table.appendRow(own);
  TestBytes expected;
  expected.str("SC").i32(3);
  expected.str("SR").i32(1).column("N", 4).i32(1).raw({0x80}).i32(0);
  expected.str("SR").i32(1).column("N", 4).i32(1).raw({0x00}).i32(4).i32(1);
  expected.str("SR").i32(2).column("X", 4).column("N", 4).i32(2).raw({0x00}).i32(8).i32(7).i32(2);
  expected.str("SR").i32(1).column("N", 4).i32(1).raw({0x00}).i32(4).i32(1);
  EXPECT_EQ(saved(table), expected.bytes());
  std::ostringstream out;
  saveToStream(table, out);
  EXPECT_EQ(out.str(), expected.bytes());
}

TEST(CacheStream, LargeTablesGoToStreamsAsToStrings) {
  // Several megabytes: past the small piece, through the growing ones and
  // cells that cross their ends, with a cell larger than the largest piece.
  SmartCache table;
  testing_tables::fillNumberedTexts(table, 3000, 700, 997);
  CacheRow huge = table.templateRow();
  huge.setString("T", std::string(5 * 1024 * 1024, 'h'));
  table.appendRow(huge);
  std::ostringstream out;
  saveToStream(table, out);
  EXPECT_TRUE(out.str() == saved(table));
  SmartCache again;
  load(again, out.str());
  EXPECT_EQ(again.rowCount(), 3001);
  EXPECT_EQ(again.rowAt(3000).getString("T").size(), 5u * 1024 * 1024);
}

TEST(CacheStream, FailedLoadLeavesTheTableAsItWas) {
  SmartCache table;
  fillBystander(table);
  const std::string before = saved(table);
  EXPECT_INVALID_STREAM(load(table, ""));
  EXPECT_INVALID_STREAM(load(table, TestBytes().str("SX").i32(0).bytes()));
  EXPECT_INVALID_STREAM(load(table, TestBytes().str("SC").i32(0).str("RS").bytes()));
  EXPECT_EQ(saved(table), before);
}

TEST(CacheStream, EveryTruncationIsAnInvalidStream) {
  const std::string full = sampleStream();
  for (size_t length = 0; length < full.size(); ++length) {
    SCOPED_TRACE(length);
    SmartCache table;
    fillBystander(table);
    const std::string before = saved(table);
    EXPECT_INVALID_STREAM(load(table, full.substr(0, length)));
    EXPECT_EQ(saved(table), before);
  }
}

// Every cell of every row must read back as text without error.
void readEveryCell(const SmartCache& table) {
  std::ostringstream dump;
  dumpCache(table, dump);
}

TEST(CacheStream, DamagedBytesGiveAnInvalidStreamOrAReadableTable) {
  const std::string full = sampleStream();
  int loadedCount = 0;
  for (size_t offset = 0; offset < full.size(); ++offset) {
    for (int flip : {0x01, 0x10, 0x80, 0xFF}) {
      SCOPED_TRACE(testing::Message() << "offset " << offset << " flip " << flip);
      std::string damaged = full;
      damaged[offset] = static_cast<char>(damaged[offset] ^ flip);
      SmartCache table;
      try {
        load(table, damaged);
      } catch (const LExc_Internal_Unexpected& e) {
        EXPECT_EQ(e.text(), "invalid stream");
        continue;
      }
      ++loadedCount;
      EXPECT_NO_THROW(readEveryCell(table));
      // A loaded table saves and loads again to the same bytes.
      SmartCache again;
      load(again, saved(table));
      EXPECT_EQ(saved(again), saved(table));
    }
  }
  EXPECT_GT(loadedCount, 0);  // changed values inside cells still load
}

TEST(CacheStream, AbsurdCountsAndLengths) {
  const TestBytes header = TestBytes().str("SC");
  auto templateRecord = [](TestBytes b) {
    return b.str("SR").i32(1).column("T", 1).i32(1).raw({0x80}).i32(0);
  };
  // Far more rows, columns or bytes than the stream holds.
  SmartCache t;
  EXPECT_INVALID_STREAM(load(t, templateRecord(TestBytes(header).i32(INT32_MAX)).bytes()));
  EXPECT_INVALID_STREAM(load(t, TestBytes(header).i32(0).str("SR").i32(INT32_MAX).bytes()));
  EXPECT_INVALID_STREAM(load(t, TestBytes(header).i32(0).str("SR").i32(0).i32(0).raw({0})
                                    .i32(INT32_MAX - 8).raw("abc").bytes()));
  EXPECT_INVALID_STREAM(load(t, TestBytes(header).i32(0).i32(INT32_MAX).bytes()));
  // Negative counts and lengths.
  EXPECT_INVALID_STREAM(load(t, templateRecord(TestBytes(header).i32(-1)).bytes()));
  EXPECT_INVALID_STREAM(load(t, TestBytes(header).i32(0).str("SR").i32(-3).bytes()));
  EXPECT_INVALID_STREAM(load(t, TestBytes(header).i32(0).str("SR").i32(0).i32(0).raw({0}).i32(-1).bytes()));
  EXPECT_INVALID_STREAM(load(t, TestBytes(header).i32(0).i32(-5).raw("SR").bytes()));
}

TEST(CacheStream, RecordsWhoseCellsDisagreeWithFlagsAndTypes) {
  auto record = [](int32_t bits, int flags, const TestBytes& cells) {
    return TestBytes().str("SC").i32(0).str("SR").i32(2).column("N", 4).column("T", 1)
        .i32(bits).raw({flags}).i32(static_cast<int32_t>(cells.size())).raw(cells.bytes());
  };
  const TestBytes good = TestBytes().i32(8).str("abc");
  SmartCache table;
  load(table, record(2, 0x00, good).bytes());
  EXPECT_EQ(table.columnCount(), 2u);

  EXPECT_INVALID_STREAM(load(table, record(3, 0x00, good).bytes()));  // bits != columns
  EXPECT_INVALID_STREAM(load(table, record(2, 0x80, good).bytes()));  // N NULL, bytes left
  EXPECT_INVALID_STREAM(load(table, record(2, 0x00, TestBytes().i32(7)).bytes()));
  EXPECT_INVALID_STREAM(load(table, record(2, 0x00, TestBytes().i32(7).i32(4).raw("ab")).bytes()));
  EXPECT_INVALID_STREAM(load(table, record(2, 0x00, TestBytes().i32(7).i32(-1)).bytes()));
  EXPECT_INVALID_STREAM(load(table, record(2, 0x00, TestBytes().i32(7).str("abc").raw("x")).bytes()));

  // A non-NULL cell of a type without storage cannot be measured.
  const TestBytes unknownType = TestBytes().str("SC").i32(0).str("SR").i32(1).column("F", 7)
                                    .i32(1).raw({0x00}).i32(4).i32(0);
  EXPECT_INVALID_STREAM(load(table, unknownType.bytes()));
  // As a NULL cell it loads; the column is refused only when a value is set.
  SmartCache odd;
  load(odd, TestBytes().str("SC").i32(0).str("SR").i32(1).column("F", 7).i32(1).raw({0x80}).i32(0).bytes());
  EXPECT_EQ(odd.templateRow().columnType(0), SQL_C_FLOAT);
}

// The cells of a record of the columns N (long) and T (text), and whether
// they are whole.
struct RecordCase {
  const char* what;
  int32_t bits;
  int flags;
  TestBytes cells;
  bool whole;
};

std::vector<RecordCase> recordCases() {
  return {
      {"both set", 2, 0x00, TestBytes().i32(8).str("abc"), true},
      {"text NULL", 2, 0x40, TestBytes().i32(8), true},
      {"both NULL, flag bits beyond", 2, 0xFF, TestBytes(), true},
      {"text with a zero byte", 2, 0x00, TestBytes().i32(8).str(std::string("a\0c", 3)), true},
      {"bits differ from columns", 3, 0x00, TestBytes().i32(8).str("abc"), false},
      {"NULL cell with bytes", 2, 0x80, TestBytes().i32(8).str("abc"), false},
      {"long cut short", 2, 0x40, TestBytes().raw("abc"), false},
      {"text length beyond", 2, 0x00, TestBytes().i32(7).i32(4).raw("ab"), false},
      {"negative text length", 2, 0x00, TestBytes().i32(7).i32(-1), false},
      {"bytes left over", 2, 0x00, TestBytes().i32(7).str("abc").raw("x"), false},
  };
}

// A row record of N and T in the given order; the cells are given in N, T
// order and put in the record's.
TestBytes recordOf(const RecordCase& c, bool reversed) {
  TestBytes b;
  b.str("SR").i32(2);
  if (reversed) {
    b.column("T", 1).column("N", 4);
  } else {
    b.column("N", 4).column("T", 1);
  }
  std::string cells = c.cells.bytes();
  int flags = c.flags;
  if (reversed && c.whole && cells.size() >= 4) {
    cells = cells.substr(4) + cells.substr(0, 4);  // T's cell first
    if (c.flags == 0x40) cells = c.cells.bytes();   // T NULL: N's cell alone
  }
  if (reversed) flags = ((c.flags & 0x80) >> 1) | ((c.flags & 0x40) << 1) | (c.flags & 0x3F);
  return b.i32(c.bits).raw({flags}).i32(static_cast<int32_t>(cells.size())).raw(cells);
}

// Whether one record loads: as the template record, as a row naming the
// template's columns in its order, as a row naming them in another order,
// and read alone.
TEST(CacheStream, EveryWayARecordIsReadAgreesOnWhatIsWhole) {
  const TestBytes templateRecord = TestBytes().str("SR").i32(2).column("N", 4).column("T", 1)
                                       .i32(2).raw({0xC0}).i32(0);
  for (const RecordCase& c : recordCases()) {
    SCOPED_TRACE(c.what);
    const auto loads = [](const std::string& bytes) {
      SmartCache table;
      try {
        load(table, bytes);
        return true;
      } catch (const LExc_Internal_Unexpected& e) {
        EXPECT_EQ(e.text(), "invalid stream");
        return false;
      }
    };
    const TestBytes inOrder = recordOf(c, false);
    EXPECT_EQ(loads(TestBytes().str("SC").i32(0).raw(inOrder.bytes()).bytes()), c.whole);
    EXPECT_EQ(loads(TestBytes().str("SC").i32(1).raw(templateRecord.bytes()).raw(inOrder.bytes()).bytes()),
              c.whole);
    EXPECT_EQ(loads(TestBytes().str("SC").i32(1).raw(templateRecord.bytes())
                        .raw(recordOf(c, true).bytes()).bytes()),
              c.whole);
    CacheRow row = CacheRow::createEmpty();
    std::istringstream in(inOrder.bytes());
    bool read = true;
    try {
      readRowData(uniqueRowData(row), in);
    } catch (const LExc_Internal_Unexpected&) {
      read = false;
    }
    EXPECT_EQ(read, c.whole);
  }

  // What the ways that load make of a whole row is the same row.
  for (const RecordCase& c : recordCases()) {
    if (!c.whole) continue;
    SCOPED_TRACE(c.what);
    SmartCache inOrder;
    load(inOrder, TestBytes().str("SC").i32(1).raw(templateRecord.bytes())
                      .raw(recordOf(c, false).bytes()).bytes());
    SmartCache reversed;
    load(reversed, TestBytes().str("SC").i32(1).raw(templateRecord.bytes())
                       .raw(recordOf(c, true).bytes()).bytes());
    EXPECT_EQ(saved(reversed), saved(inOrder));
  }
}

// Rows of one stream with many patterns of NULLs, in both column orders,
// load as each loads alone, and a damaged row is refused wherever it
// stands, also after rows with the same flags loaded well.
TEST(CacheStream, RowsWithManyPatternsOfNullsLoadAsEachAlone) {
  const TestBytes templateRecord = TestBytes().str("SR").i32(2).column("N", 4).column("T", 1)
                                       .i32(2).raw({0xC0}).i32(0);
  // Whole rows with seven flag values: set, NULL, bits beyond the columns.
  std::vector<RecordCase> whole = {
      {"both set", 2, 0x00, TestBytes().i32(8).str("abc"), true},
      {"text NULL", 2, 0x40, TestBytes().i32(9), true},
      {"number NULL", 2, 0x80, TestBytes().str("xyz"), true},
      {"both NULL", 2, 0xC0, TestBytes(), true},
      {"bit beyond", 2, 0x01, TestBytes().i32(10).str("de"), true},
      {"text NULL, bit beyond", 2, 0x41, TestBytes().i32(11), true},
      {"all bits", 2, 0xFF, TestBytes(), true},
      {"zero byte", 2, 0x00, TestBytes().i32(12).str(std::string("g\0h", 3)), true},
  };
  const auto alone = [&](const TestBytes& record) {
    SmartCache table;
    load(table,
         TestBytes().str("SC").i32(1).raw(templateRecord.bytes()).raw(record.bytes()).bytes());
    return table.rowAt(0);
  };
  TestBytes stream;
  SmartCache expected;
  load(expected, TestBytes().str("SC").i32(0).raw(templateRecord.bytes()).bytes());
  int32_t rows = 0;
  for (int round = 0; round < 3; ++round) {
    for (size_t k = 0; k < whole.size(); ++k) {
      // recordOf moves a text's cell first only where the number has one.
      const bool reversed = (k + static_cast<size_t>(round)) % 3 == 0 && whole[k].flags != 0x80;
      const TestBytes record = recordOf(whole[k], reversed);
      stream.raw(record.bytes());
      expected.appendRow(alone(record));
      ++rows;
    }
  }
  SmartCache table;
  load(table,
       TestBytes().str("SC").i32(rows).raw(templateRecord.bytes()).raw(stream.bytes()).bytes());
  EXPECT_EQ(saved(table), saved(expected));
  EXPECT_EQ(table.rowAt(rows - 1).getString(1), "g");

  for (const RecordCase& c : recordCases()) {
    if (c.whole) continue;
    SCOPED_TRACE(c.what);
    for (const bool reversed : {false, true}) {
      EXPECT_INVALID_STREAM(load(table, TestBytes().str("SC").i32(rows + 2)
                                            .raw(templateRecord.bytes()).raw(stream.bytes())
                                            .raw(recordOf(c, reversed).bytes())
                                            .raw(recordOf(whole[0], false).bytes()).bytes()));
    }
  }
}

TEST(CacheStream, RowCellOfAnotherTypeThanItsTemplateColumn) {
  TestBytes stream;
  stream.str("SC").i32(1);
  stream.str("SR").i32(1).column("N", 4).i32(1).raw({0x80}).i32(0);
  stream.str("SR").i32(1).column("N", 1).i32(1).raw({0x00}).i32(4).str("");
  SmartCache table;
  EXPECT_INVALID_STREAM(load(table, stream.bytes()));

  // The same mismatch as a NULL cell is no value to convert.
  TestBytes nullCell;
  nullCell.str("SC").i32(1);
  nullCell.str("SR").i32(1).column("N", 4).i32(1).raw({0x80}).i32(0);
  nullCell.str("SR").i32(1).column("N", 1).i32(1).raw({0x80}).i32(0);
  load(table, nullCell.bytes());
  EXPECT_TRUE(table.rowAt(0).isNull(0));
}

// A code that no typed accessor takes, a value of it as stored and the
// getter that refuses the cell.
struct CodeWithoutAccessor {
  int32_t code;
  int32_t typedCode;  // the code of the same kind that the accessors take
  std::string value;
  std::string refusal;
  int refusalLine;
  void (*read)(const CacheRow& row, int32_t i);
};

std::vector<CodeWithoutAccessor> codesWithoutAccessors() {
  const std::string conversion = "Conversion error [Field Name: \"X\", Type: ";
  return {
      {SQL_C_DATE, SQL_C_TYPE_DATE, TestBytes().u16(2026).u16(12).u16(8).bytes(),
       conversion + "SQL_C_DATE, accessed as LDat]", 629,
       [](const CacheRow& row, int32_t i) { (void)row.getDate(i); }},
      {SQL_C_TIME, SQL_C_TYPE_TIME, TestBytes().u16(4).u16(5).u16(9).bytes(),
       conversion + "SQL_C_TIME, accessed as LTim]", 747,
       [](const CacheRow& row, int32_t i) { (void)row.getTime(i); }},
      {SQL_C_TIMESTAMP, SQL_C_TYPE_TIMESTAMP,
       TestBytes().timestamp(2026, 12, 8, 4, 5, 9, 7).bytes(),
       conversion + "SQL_C_TIMESTAMP, accessed as timestamp]", 668,
       [](const CacheRow& row, int32_t i) { (void)row.getTimestamp(i); }},
  };
}

// The bytes of the non-NULL cell i as the row stores them.
std::string storedBytes(const CacheRow& row, int32_t i) {
  const CellLocation cell = rowData(row).locateCell(i);
  const char* cells = reinterpret_cast<const char*>(rowData(row).cellBytes());
  return std::string(cells + cell.offset, rowData(row).cellSize(cell));
}

// A table of the columns X (of `code`) and N (long): a row with N = 1 and X
// NULL, then a row with N = 2 and X = `value`, its record naming the
// columns as the template does or, with `reordered`, as N, X.
std::string tableWithValueOf(int32_t code, const std::string& value, bool reordered = false) {
  TestBytes stream;
  stream.str("SC").i32(2);
  stream.str("SR").i32(2).column("X", code).column("N", 4).i32(2).raw({0xC0}).i32(0);
  stream.str("SR").i32(2).column("X", code).column("N", 4).i32(2).raw({0x80}).i32(4).i32(1);
  const int32_t cells = static_cast<int32_t>(value.size()) + 4;
  if (reordered) {
    stream.str("SR").i32(2).column("N", 4).column("X", code).i32(2).raw({0}).i32(cells)
        .i32(2).raw(value);
  } else {
    stream.str("SR").i32(2).column("X", code).column("N", 4).i32(2).raw({0}).i32(cells)
        .raw(value).i32(2);
  }
  return stream.bytes();
}

TEST(CacheStream, CellsOfCodesWithoutAccessorsLoadAsStored) {
  for (const CodeWithoutAccessor& c : codesWithoutAccessors()) {
    SCOPED_TRACE(typeName(c.code));
    const std::string bytes = tableWithValueOf(c.code, c.value);
    SmartCache table;
    load(table, bytes);
    ASSERT_EQ(table.rowCount(), 2);
    const CacheRow row = table.rowAt(1);
    ASSERT_FALSE(row.isNull("X"));
    EXPECT_EQ(storedBytes(row, 0), c.value);
    EXPECT_EQ(row.getLong("N"), 2);
    EXPECT_LEXC(c.read(row, 0), LExc_Internal_BadConversion, c.refusal,
                "cache/smartcache_inliners", c.refusalLine);
    EXPECT_LEXC(row.cellText(0), LExc_Internal_BadConversion, c.refusal,
                "cache/smartcache_inliners", c.refusalLine);

    // The dump writes the lines before the cell, then raises the getter's
    // error.
    std::ostringstream dump;
    EXPECT_LEXC(dumpCache(table, dump), LExc_Internal_BadConversion, c.refusal,
                "cache/smartcache_inliners", c.refusalLine);
    EXPECT_EQ(dump.str(), "\nX\tN\t\n<NULL>\t1\t\n");

    // Saving gives the bytes read; a record naming the columns in another
    // order carries the value over by name, bytes unchanged.
    EXPECT_EQ(saved(table), bytes);
    SmartCache reordered;
    load(reordered, tableWithValueOf(c.code, c.value, true));
    EXPECT_EQ(saved(reordered), bytes);
  }
}

TEST(CacheStream, CodesWithoutAccessorsAndTheirTypedKinDoNotMix) {
  // A row column of the typed code of the same kind as its template
  // column's, or the other way round, holds a value that cannot be
  // converted.
  for (const CodeWithoutAccessor& c : codesWithoutAccessors()) {
    SCOPED_TRACE(typeName(c.code));
    for (const auto& [templateCode, rowCode] :
         {std::pair(c.code, c.typedCode), std::pair(c.typedCode, c.code)}) {
      TestBytes stream;
      stream.str("SC").i32(1);
      stream.str("SR").i32(1).column("X", templateCode).i32(1).raw({0x80}).i32(0);
      stream.str("SR").i32(1).column("X", rowCode).i32(1).raw({0})
          .i32(static_cast<int32_t>(c.value.size())).raw(c.value);
      SmartCache table;
      EXPECT_INVALID_STREAM(load(table, stream.bytes()));
    }
  }
}

TEST(CacheStream, RowsSharedWithAnotherTableKeepTheirData) {
  SmartCache first;
  fillBystander(first);
  SmartCache second;
  fillBystander(second);
  second.clearRows();
  second.appendRow(first.rowAt(0));
  load(second, sampleStream());
  EXPECT_EQ(first.rowAt(0).getString("KEEP"), "kept");
  EXPECT_EQ(second.rowCount(), 3);
}

TEST(AssignByName, CopiesValuesByColumnName) {
  SmartCache from;
  from.addColumn("B", SQL_C_CHAR);
  from.addColumn("A", SQL_C_LONG);
  from.addColumn("B", SQL_C_CHAR);
  CacheRow source = from.templateRow();
  source.setString(0, "first B");
  source.setLong("A", 4);
  source.setString(2, "second B");

  SmartCache to;
  to.addColumn("A", SQL_C_LONG);
  to.addColumn("B", SQL_C_CHAR);
  to.addColumn("C", SQL_C_DOUBLE);
  CacheRow destination = to.templateRow();
  destination.setDouble("C", 1.0);
  assignByName(destination, source);
  EXPECT_EQ(destination.getLong("A"), 4);
  EXPECT_EQ(destination.getString("B"), "first B");
  EXPECT_TRUE(destination.isNull("C"));
  EXPECT_TRUE(to.templateRow().isNull("A"));

  // Rows with the same columns, names repeated, copy column by column.
  SmartCache twin;
  twin.addColumn("B", SQL_C_CHAR);
  twin.addColumn("A", SQL_C_LONG);
  twin.addColumn("B", SQL_C_CHAR);
  CacheRow copy = twin.templateRow();
  assignByName(copy, source);
  EXPECT_EQ(copy.getString(0), "first B");
  EXPECT_EQ(copy.getString(2), "second B");

  // Rows of one column list share the source's data.
  CacheRow sibling = from.templateRow();
  assignByName(sibling, source);
  EXPECT_TRUE(sibling.sharesDataWith(source));

  // A value of another type is refused as the typed read refuses it.
  SmartCache typed;
  typed.addColumn("A", SQL_C_CHAR);
  CacheRow text = typed.templateRow();
  EXPECT_LEXC(assignByName(text, source), LExc_Internal_BadConversion,
              "Conversion error [Field Name: \"A\", Type: SQL_C_LONG, accessed as String]",
              "cache/smartcache_inliners", 786);
}

TEST(AssignByName, CellsOfCodesWithoutAccessorsKeepTheirBytesBetweenEqualCodes) {
  for (const CodeWithoutAccessor& c : codesWithoutAccessors()) {
    SCOPED_TRACE(typeName(c.code));
    SmartCache from;
    load(from, tableWithValueOf(c.code, c.value));
    const CacheRow source = from.rowAt(1);

    SmartCache to;
    to.addColumn("N", SQL_C_LONG);
    to.addColumn("X", c.code);
    CacheRow destination = to.templateRow();
    assignByName(destination, source);
    EXPECT_EQ(destination.getLong("N"), 2);
    ASSERT_FALSE(destination.isNull("X"));
    EXPECT_EQ(storedBytes(destination, 1), c.value);

    // Into the typed code of the same kind it is the typed read's refusal.
    SmartCache typed;
    typed.addColumn("X", c.typedCode);
    CacheRow refused = typed.templateRow();
    EXPECT_LEXC(assignByName(refused, source), LExc_Internal_BadConversion, c.refusal,
                "cache/smartcache_inliners", c.refusalLine);
    EXPECT_TRUE(refused.isNull("X"));
  }
}

}  // namespace
