// Running out of memory for real: this program replaces the global
// operator new, so that any allocation of a table operation can fail, the
// standard library's (strings, vectors, maps, streams) as well as the
// library's own. Every allocation of each operation fails in turn, n = 1,
// 2, ... until the operation runs without reaching the failing one. Each
// failure must come out as LExc_Internal_Mem (never std::bad_alloc, never
// "invalid stream") and leave the table exactly as it was; an operation
// that gets by without the memory (a lookup index, a sort's buffer) must
// still give the right result. LeakSanitizer checks that nothing is lost.
//
// malloc is left as it is: the sanitizers own it, and the library and the
// parts of the standard library it uses allocate through operator new.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <new>
#include <ostream>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "cache/cache_dump.h"
#include "cache/cache_sort.h"
#include "cache/cache_stream.h"
#include "cache/row_access.h"
#include "cache/row_record.h"
#include "cache/table_scan.h"
#include "cache/test_tables.h"
#include "cache/test_telling_buffer.h"

namespace {

// Allocations until the one that fails; 0 when none is to fail.
thread_local long long untilFailure = 0;

bool failsNow() { return untilFailure > 0 && --untilFailure == 0; }

}  // namespace

// The replacements pair malloc with free; GCC takes the frees in them for
// frees of memory from new.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

void* operator new(std::size_t size) {
  if (failsNow()) throw std::bad_alloc();
  if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return ::operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return ::operator new(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
  return ::operator new(size, tag);
}
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { std::free(block); }

namespace {

using testing_tables::saved;

// One operation under test: `setup` (never failed) prepares its inputs,
// `run` is the operation, `state` shows what a failure must leave as it
// was and what a success must give. An operation that writes to a stream
// as it goes leaves, on a failure, the beginning of what it writes.
struct Operation {
  std::function<void()> setup;
  std::function<void()> run;
  std::function<std::string()> state;
  bool writesAsItGoes = false;
};

// Fails every allocation of `op` in turn; returns how many it made.
long long failEveryAllocation(const Operation& op) {
  op.setup();
  op.run();
  const std::string expected = op.state();
  for (long long n = 1; n < 1000000; ++n) {
    op.setup();
    const std::string before = op.state();
    std::string outcome;
    untilFailure = n;
    try {
      op.run();
    } catch (const LExc_Internal_Mem&) {
      outcome = "memory";
    } catch (const LExc_Base& e) {
      outcome = "LExc " + e.text();
    } catch (const std::bad_alloc&) {
      outcome = "std::bad_alloc";
    } catch (...) {
      outcome = "another exception";
    }
    const bool reached = untilFailure == 0;
    untilFailure = 0;
    if (outcome.empty()) {
      EXPECT_EQ(op.state(), expected) << "allocation " << n << " failed, and the result is wrong";
      if (!reached) return n - 1;
    } else {
      EXPECT_EQ(outcome, "memory") << "allocation " << n;
      if (op.writesAsItGoes) {
        EXPECT_EQ(expected.compare(0, op.state().size(), op.state()), 0) << "allocation " << n;
      } else {
        EXPECT_EQ(op.state(), before) << "allocation " << n;
      }
      if (outcome != "memory") return n;
    }
  }
  ADD_FAILURE() << "the operation never succeeded";
  return -1;
}

// A table of every value type: three rows, a text with a zero byte kept
// aside for streams.
void fill(SmartCache& table) {
  testing_tables::defineAllTypeColumns(table);
  for (int k = 0; k < 3; ++k) {
    CacheRow row = table.templateRow();
    row.setLong("L", 3 - k);
    row.setString("S", std::string(20 * (k + 1), static_cast<char>('a' + k)));
    row.setDouble("D", k * 0.5);
    row.setBlob("B", Blob("blob", 4));
    row.setDate("DAT", LDat(2026, 12, 8 - k));
    row.setTime("TIM", LTim(1, 2, 3 + k));
    row.setTimestamp("TS", Timestamp(LDat(2026, 12, 8), LTim(1, 2, 3), 7u * k));
    table.appendRow(row);
  }
}

std::string rowBytes(const CacheRow& row) {
  const CacheRowData& data = rowData(row);
  std::ostringstream out;
  writeRowData(data, out);
  return out.str();
}

// A stream buffer that never allocates once made: what is written to it
// stays in a block of `size` bytes, so that only the table's own
// allocations are failed.
class FixedBuffer : public std::streambuf {
 public:
  explicit FixedBuffer(size_t size = 1 << 16) : block_(size) { reset(); }
  void reset() { setp(block_.data(), block_.data() + block_.size()); }
  std::string text() const { return std::string(pbase(), pptr()); }

 private:
  std::vector<char> block_;
};

TEST(OutOfMemory, ChangingRows) {
  SmartCache table;
  fill(table);
  CacheRow row = table.templateRow();
  // The values are made before: the operation alone allocates.
  const std::string text(300, 'x');
  const Blob blob("0123456789", 10);
  const std::vector<std::pair<const char*, std::function<void(CacheRow&)>>> changes = {
      {"setLong", [](CacheRow& r) { r.setLong("L", 99); }},
      {"setString", [&](CacheRow& r) { r.setString("S", text); }},
      {"setString null", [](CacheRow& r) { r.setString("S", nullptr); }},
      {"setDouble", [](CacheRow& r) { r.setDouble("D", 2.5); }},
      {"setBlob", [&](CacheRow& r) { r.setBlob("B", blob); }},
      {"setDate", [](CacheRow& r) { r.setDate("DAT", LDat(2401, 1, 2)); }},
      {"setTime", [](CacheRow& r) { r.setTime("TIM", LTim(3, 4, 5)); }},
      {"setTimestamp", [](CacheRow& r) { r.setTimestamp("TS", Timestamp()); }},
      {"setNull", [](CacheRow& r) { r.setNull("B"); }},
      {"makeUnique", [](CacheRow& r) { r.makeUnique(); }},
      {"addColumn", [](CacheRow& r) { r.addColumn("NEW", SQL_C_LONG); }},
      {"resetColumns", [](CacheRow& r) { r.resetColumns(); }},
  };
  for (const auto& change : changes) {
    SCOPED_TRACE(change.first);
    const std::string tableBefore = saved(table);
    EXPECT_GT(failEveryAllocation({[&] { row = table.rowAt(1); },  // shared: copies first
                                   [&] { change.second(row); },
                                   [&] { return rowBytes(row); }}),
              0);
    EXPECT_EQ(saved(table), tableBefore);
  }
}

TEST(OutOfMemory, TablesAndLookups) {
  SmartCache table;
  SmartCache other;
  CacheRow held = CacheRow::createEmpty();
  const auto tableState = [&] { return saved(table); };
  const auto filled = [&] {
    table.resetSchema();
    fill(table);
  };
  failEveryAllocation({[&] {
                         table.resetSchema();
                         held = table.templateRow();  // shared: the addition copies first
                       },
                       [&] { table.addColumn("EXTRA", SQL_C_CHAR); }, tableState});
  failEveryAllocation({filled, [&] { table.resetSchema(); }, tableState});
  failEveryAllocation({filled, [&] { table.appendRow(table.templateRow()); }, tableState});
  failEveryAllocation({[&] {
                         table.resetSchema();
                         other.resetSchema();
                         fill(other);
                       },
                       [&] { table.setTemplateRow(other.rowAt(0)); }, tableState});

  // A pattern of another table is matched by name; a long column list
  // builds its index of names on the way.
  SmartCache wide;
  for (int k = 0; k < 80; ++k) wide.addColumn("W" + std::to_string(k), SQL_C_LONG);
  std::string found;
  failEveryAllocation({[&] {
                         table.resetSchema();
                         for (int k = 0; k < 80; ++k) table.addColumn("W" + std::to_string(k), SQL_C_LONG);
                         for (int k = 0; k < 3; ++k) {
                           CacheRow row = table.templateRow();
                           row.setLong("W70", k);
                           table.appendRow(row);
                         }
                         found.clear();
                       },
                       [&] {
                         CacheRow pattern = wide.templateRow();
                         pattern.setLong("W70", 2);
                         found = std::to_string(table.findFirst(pattern).slot());
                       },
                       [&] { return found + "|" + saved(table); }});
  EXPECT_EQ(found, "2");
}

TEST(OutOfMemory, ReadingCellsAndTexts) {
  SmartCache table;
  fill(table);
  const CacheRow row = table.rowAt(2);
  std::string text;
  for (int32_t i = 0; i < static_cast<int32_t>(row.columnCount()); ++i) {
    SCOPED_TRACE(i);
    failEveryAllocation({[&] { text.clear(); }, [&] { text = row.cellText(i); },
                         [&] { return text; }});
  }
  failEveryAllocation({[&] { text.clear(); }, [&] { text = row.getString("S"); },
                       [&] { return text; }});
  failEveryAllocation({[&] { text.clear(); },
                       [&] { text = std::to_string(row.getBlob("B").length()); },
                       [&] { return text; }});
}

TEST(OutOfMemory, AssignByName) {
  SmartCache from;
  fill(from);
  SmartCache to;
  to.addColumn("S", SQL_C_CHAR);
  to.addColumn("L", SQL_C_LONG);
  to.addColumn("TS", SQL_C_TYPE_TIMESTAMP);
  to.addColumn("B", SQL_C_BINARY);
  CacheRow destination = to.templateRow();
  EXPECT_GT(failEveryAllocation({[&] {
                                   destination = to.templateRow();
                                   destination.setString("S", "old");
                                 },
                                 [&] { assignByName(destination, from.rowAt(2)); },
                                 [&] { return rowBytes(destination); }}),
            2);
  EXPECT_EQ(destination.getLong("L"), 1);
}

TEST(OutOfMemory, LoadingStreams) {
  SmartCache original;
  fill(original);
  // Rows naming the columns in another order, a text with a zero byte (both
  // the way through assignByName) and a wide table (an index of names).
  SmartCache reordered;
  reordered.addColumn("S", SQL_C_CHAR);
  reordered.addColumn("L", SQL_C_LONG);
  for (int k = 0; k < 2; ++k) {
    CacheRow row = reordered.templateRow();
    row.setString("S", "x");
    row.setLong("L", k);
    reordered.appendRow(row);
  }
  SmartCache zero;
  zero.addColumn("S", SQL_C_CHAR);
  CacheRow cut = zero.templateRow();
  cut.setString("S", "ab");
  zero.appendRow(cut);
  std::string zeroStream = saved(zero);
  zeroStream.replace(zeroStream.rfind("ab"), 2, std::string("a\0", 2));
  SmartCache wide;
  for (int k = 0; k < 100; ++k) wide.addColumn("W" + std::to_string(99 - k), k % 2 ? SQL_C_LONG : SQL_C_CHAR);
  wide.appendRow(wide.templateRow());

  SmartCache table;
  std::istringstream in;
  for (const std::string& stream : {saved(original), saved(reordered), zeroStream, saved(wide)}) {
    EXPECT_GT(failEveryAllocation({[&] {
                                     table.resetSchema();
                                     testing_tables::defineRaceColumns(table);
                                     table.appendRow(table.templateRow());
                                     in.str(stream);
                                     in.clear();
                                   },
                                   [&] { loadFromStream(table, in); },
                                   [&] { return saved(table); }}),
              3);
  }
}

TEST(OutOfMemory, LoadingInPieces) {
  // About 400 KB: read in several pieces as the rows are decoded. A buffer
  // that says it holds half of that has the rest read into a second block.
  SmartCache large;
  testing_tables::fillNumberedTexts(large, 400, 900, 200);
  const std::string stream = saved(large);
  SmartCache table;
  std::unique_ptr<TellingBuffer> buffer;
  std::unique_ptr<std::istream> in;
  for (const size_t claim : {stream.size(), stream.size() / 2}) {
    SCOPED_TRACE(claim);
    EXPECT_GT(failEveryAllocation({[&] {
                                     table.resetSchema();
                                     testing_tables::defineRaceColumns(table);
                                     buffer = std::make_unique<TellingBuffer>(
                                         stream, static_cast<std::streamsize>(claim));
                                     in = std::make_unique<std::istream>(buffer.get());
                                   },
                                   [&] { loadFromStream(table, *in); },
                                   [&] { return saved(table); }}),
              3);
  }
  EXPECT_EQ(table.rowCount(), 400);
}

TEST(OutOfMemory, SavingAndDumping) {
  SmartCache table;
  fill(table);
  std::string bytes;
  failEveryAllocation({[&] { bytes.clear(); }, [&] { bytes = saveToString(table); },
                       [&] { return bytes; }});
  EXPECT_EQ(bytes.size(), saved(table).size());

  FixedBuffer buffer;
  std::ostream out(&buffer);
  failEveryAllocation({[&] { buffer.reset(); }, [&] { saveToStream(table, out); },
                       [&] { return buffer.text(); }, true});
  EXPECT_GT(failEveryAllocation({[&] { buffer.reset(); }, [&] { dumpCache(table, out); },
                                 [&] { return buffer.text(); }, true}),
            10);

  // A table that fills the piece on the stack and the next one, and goes
  // on in a third: without the memory for a larger piece the save goes on
  // in the one it has, and gives the same bytes.
  SmartCache large;
  fill(large);
  CacheRow row = large.templateRow();
  row.setString("S", std::string(1000, 'l'));
  for (int k = 0; k < 200; ++k) large.appendRow(row);
  FixedBuffer wide(1 << 20);
  std::ostream toWide(&wide);
  EXPECT_GE(failEveryAllocation({[&] { wide.reset(); }, [&] { saveToStream(large, toWide); },
                                 [&] { return wide.text(); }, true}),
            3);
  EXPECT_EQ(wide.text(), saved(large));
}

TEST(OutOfMemory, Sorting) {
  SmartCache table;
  for (const char* key : {"S", "TS", "L", "D", "DAT"}) {
    SCOPED_TRACE(key);
    failEveryAllocation({[&] {
                           table.resetSchema();
                           fill(table);
                         },
                         [&] { sortRows(table, table.findColumn(key)); },
                         [&] { return saved(table); }});
  }
}

TEST(OutOfMemory, CopyingAndScanningRows) {
  SmartCache original;
  fill(original);
  SmartCache loaded;  // the same columns in a list of their own: copied in one block
  testing_tables::load(loaded, saved(original));
  SmartCache table;
  const auto fresh = [&] {
    table.resetSchema();
    testing_tables::defineAllTypeColumns(table);
    table.appendRow(table.templateRow());
  };
  for (int32_t i = 0; i < loaded.rowCount(); ++i) {
    failEveryAllocation({fresh, [&] { table.appendCopy(loaded.rowAt(i)); },
                         [&] { return saved(table); }});
  }
  SmartCache fewer;  // other columns: matched by name
  fewer.addColumn("S", SQL_C_CHAR);
  fewer.addColumn("L", SQL_C_LONG);
  failEveryAllocation({[&] { fewer.clearRows(); }, [&] { fewer.appendCopy(loaded.rowAt(1)); },
                       [&] { return saved(fewer); }});

  std::istringstream in;
  const std::string bytes = saved(original);
  failEveryAllocation({[&] {
                         fresh();
                         in.str(bytes);
                         in.clear();
                       },
                       [&] { appendScannedRows(table, in, [](const ScannedRow&) { return true; }); },
                       [&] { return saved(table); }});
  // The scan's rows are looked at without allocating: their text lengths.
  size_t seen = 0, lengths = 0;
  failEveryAllocation({[&] {
                         lengths = 0;
                         in.str(bytes);
                         in.clear();
                       },
                       [&] {
                         seen = 0;
                         scanTableStream(in, [](const CacheRow&) {},
                                         [&](const ScannedRow& row) { seen += row.text(1).size(); });
                         lengths = seen;
                       },
                       [&] { return std::to_string(lengths); }});
  EXPECT_EQ(lengths, 20u + 40u + 60u);
}

}  // namespace
