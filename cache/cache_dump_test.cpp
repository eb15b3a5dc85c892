#include "cache/cache_dump.h"

#include <gtest/gtest.h>

#include <sstream>

#include "cache/test_bytes.h"
#include "cache/test_tables.h"
#include "support/test_streams.h"

namespace {

std::string dumped(const SmartCache& table) {
  std::ostringstream out;
  dumpCache(table, out);
  return out.str();
}

TEST(CacheDump, EmptyTableGivesAnEmptyLineAndTheHeader) {
  SmartCache table;
  EXPECT_EQ(dumped(table), "\n\n");
  table.addColumn("A", SQL_C_LONG);
  table.addColumn("B", SQL_C_CHAR);
  EXPECT_EQ(dumped(table), "\nA\tB\t\n");
}

TEST(CacheDump, RaceRows) {
  SmartCache races;
  testing_tables::defineRaceColumns(races);
  CacheRow row = races.templateRow();
  row.setLong("RACNO", 2);
  row.setString("RACNAMSING", "Zorg");
  row.setString("RACNAMPLU", "Zorgs\tand\nmore");
  row.setLong("RACRELATION", 1);
  row.setTimestamp("RACHROWID", Timestamp(LDat(2026, 12, 8), LTim(4, 5, 9)));
  races.appendRow(row);
  races.appendRow(races.templateRow());
  EXPECT_EQ(dumped(races),
            "\n"
            "RACNO\tRACNAMSING\tRACNAMPLU\tRACEPLAYERNAM\tRACEMAIL\tRACRELATION\tRACHROWID\t\n"
            "2\tZorg\tZorgs\tand\nmore\t<NULL>\t<NULL>\t1\t08.12.2026 - 04:05:09\t\n"
            "<NULL>\t<NULL>\t<NULL>\t<NULL>\t<NULL>\t<NULL>\t<NULL>\t\n");
}

TEST(CacheDump, UnreadableCellStopsTheDumpAfterTheLinesBefore) {
  // Code 9 cells can come only from a stream; no getter accepts them.
  TestBytes stream;
  stream.str("SC").i32(2);
  stream.str("SR").i32(2).column("N", 4).column("OLD", 9).i32(2).raw({0xC0}).i32(0);
  stream.str("SR").i32(2).column("N", 4).column("OLD", 91).i32(2).raw({0x40}).i32(4).i32(1);
  stream.str("SR").i32(2).column("N", 4).column("OLD", 9).i32(2).raw({0xC0}).i32(0);
  SmartCache table;
  testing_tables::load(table, stream.bytes());
  EXPECT_EQ(dumped(table), "\nN\tOLD\t\n1\t<NULL>\t\n<NULL>\t<NULL>\t\n");

  // A row record with such a value loads, its bytes kept as stored, and
  // the dump stops at it in the same way.
  TestBytes rowValue;
  rowValue.str("SC").i32(1);
  rowValue.str("SR").i32(1).column("OLD", 9).i32(1).raw({0x80}).i32(0);
  rowValue.str("SR").i32(1).column("OLD", 9).i32(1).raw({0x00}).i32(6).u16(2026).u16(12).u16(8);
  testing_tables::load(table, rowValue.bytes());
  std::ostringstream rowOut;
  EXPECT_LEXC(dumpCache(table, rowOut), LExc_Internal_BadConversion,
              "Conversion error [Field Name: \"OLD\", Type: SQL_C_DATE, accessed as LDat]",
              "cache/smartcache_inliners", 629);
  EXPECT_EQ(rowOut.str(), "\nOLD\t\n");

  TestBytes templated;
  templated.str("SC").i32(0);
  templated.str("SR").i32(1).column("OLD", 9).i32(1).raw({0x00}).i32(6).u16(2026).u16(12).u16(8);
  testing_tables::load(table, templated.bytes());
  const CacheRow held = table.templateRow();
  table.appendRow(held);
  std::ostringstream out;
  EXPECT_LEXC(dumpCache(table, out), LExc_Internal_BadConversion,
              "Conversion error [Field Name: \"OLD\", Type: SQL_C_DATE, accessed as LDat]",
              "cache/smartcache_inliners", 629);
  EXPECT_EQ(out.str(), "\nOLD\t\n");
}

TEST(CacheDump, EveryLineIsFlushedAsItEnds) {
  SmartCache table;
  table.addColumn("A", SQL_C_LONG);
  table.addColumn("B", SQL_C_CHAR);
  for (int32_t i = 0; i < 3; ++i) {
    CacheRow row = table.templateRow();
    row.setLong("A", i);
    row.setString("B", "x");
    table.appendRow(row);
  }
  testing_streams::SyncRecorder recorder;
  std::ostream out(&recorder);
  dumpCache(table, out);
  EXPECT_EQ(recorder.text(), "\nA\tB\t\n0\tx\t\n1\tx\t\n2\tx\t\n");
  EXPECT_EQ(recorder.linesNotFlushed(), std::vector<size_t>{});

  // A cell that breaks the dump leaves every line before it flushed.
  TestBytes stream;
  stream.str("SC").i32(0);
  stream.str("SR").i32(1).column("OLD", 9).i32(1).raw({0x00}).i32(6).u16(2026).u16(12).u16(8);
  testing_tables::load(table, stream.bytes());
  table.appendRow(table.templateRow());
  testing_streams::SyncRecorder cut;
  std::ostream cutOut(&cut);
  EXPECT_THROW(dumpCache(table, cutOut), LExc_Internal_BadConversion);
  EXPECT_EQ(cut.text(), "\nOLD\t\n");
  EXPECT_EQ(cut.linesNotFlushed(), std::vector<size_t>{});
}

}  // namespace
