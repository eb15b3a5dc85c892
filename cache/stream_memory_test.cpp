// The memory and time a refused table stream costs. This program replaces
// the global operator new to count the bytes the table library and the
// standard library hold, so that the bounds are those of the program's own
// allocations, also under the sanitizers (which keep memory of their own).
// An allocation that would hold more than kRefusedAbove in all fails, so
// that a reader that tries to take gigabytes fails here quickly rather than
// taking the machine's memory.
//
// The files are sparse: a 2 GB file of a few bytes and a hole, made with
// ftruncate in the temporary folder (POSIX only).
#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <new>
#include <sstream>
#include <string>

#include "cache/cache_stream.h"
#include "cache/table_scan.h"
#include "cache/test_bytes.h"
#include "cache/test_tables.h"

namespace {

constexpr size_t kRefusedAbove = size_t{512} << 20;

// Every block carries its size in front, so that a delete knows what it
// gives back. Counted per thread: only the test's thread is measured.
constexpr size_t kHeader = alignof(std::max_align_t);
thread_local size_t held = 0;
thread_local size_t peak = 0;

}  // namespace

#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

void* operator new(std::size_t size) {
  if (size > kRefusedAbove - held) throw std::bad_alloc();
  auto* block = static_cast<unsigned char*>(std::malloc(size + kHeader));
  if (block == nullptr) throw std::bad_alloc();
  std::memcpy(block, &size, sizeof size);
  held += size;
  if (held > peak) peak = held;
  return block + kHeader;
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
void operator delete(void* place) noexcept {
  if (place == nullptr) return;
  unsigned char* block = static_cast<unsigned char*>(place) - kHeader;
  size_t size = 0;
  std::memcpy(&size, block, sizeof size);
  held -= size;
  std::free(block);
}
void operator delete[](void* place) noexcept { ::operator delete(place); }
void operator delete(void* place, std::size_t) noexcept { ::operator delete(place); }
void operator delete[](void* place, std::size_t) noexcept { ::operator delete(place); }
void operator delete(void* place, const std::nothrow_t&) noexcept { ::operator delete(place); }
void operator delete[](void* place, const std::nothrow_t&) noexcept { ::operator delete(place); }

namespace {

// The most bytes held at once while `run` ran, beyond those held before.
template <class Run>
size_t peakBytesOf(Run run) {
  const size_t before = held;
  peak = held;
  run();
  return peak - before;
}

// A file in the temporary folder, removed with the object.
class TemporaryFile {
 public:
  explicit TemporaryFile(const char* name) {
    const char* folder = std::getenv("TMPDIR");
    path_ = std::string(folder && *folder ? folder : "/tmp") + "/" + name + "-" +
            std::to_string(getpid());
  }
  ~TemporaryFile() { unlink(path_.c_str()); }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  const std::string& path() const { return path_; }

  // Writes `head`, then makes the file `length` bytes long: the rest is a
  // hole, read as zero bytes, that takes no room on the disk.
  ::testing::AssertionResult makeSparse(const std::string& head, off_t length) const {
    const int file = open(path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (file < 0) return ::testing::AssertionFailure() << "cannot create " << path_;
    const bool written = write(file, head.data(), head.size()) == static_cast<ssize_t>(head.size());
    const bool grown = ftruncate(file, length) == 0;
    close(file);
    if (!written || !grown) return ::testing::AssertionFailure() << "cannot write " << path_;
    return ::testing::AssertionSuccess();
  }

 private:
  std::string path_;
};

constexpr off_t kTwoGigabytes = off_t{2} << 30;
constexpr size_t kMemoryBound = size_t{50} << 20;

// The head of a table of one row whose template record claims 2^31 - 1
// columns: in the hole, every eight zero bytes read as a column without
// a name and of the code 0.
std::string headOfMillionsOfColumns() {
  return TestBytes().str("SC").i32(1).str("SR").i32(INT32_MAX).bytes();
}

double secondsOf(const std::chrono::steady_clock::time_point& start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Opens the file `path`, has `read` read it and checks that the read
// raised "invalid stream" in under a second and under kMemoryBound.
template <class Read>
void expectRefusedAtOnce(const std::string& path, Read read) {
  const auto start = std::chrono::steady_clock::now();
  const size_t bytes = peakBytesOf([&] {
    std::ifstream in(path, std::ios::binary);
    ASSERT_TRUE(in.is_open());
    EXPECT_INVALID_STREAM(read(in));
  });
  EXPECT_LT(secondsOf(start), 1.0);
  EXPECT_LT(bytes, kMemoryBound);
}

TEST(StreamMemory, ASparseFileClaimingMillionsOfColumnsIsRefusedAtOnce) {
  TemporaryFile file("vandor-sparse-stream");
  ASSERT_TRUE(file.makeSparse(headOfMillionsOfColumns(), kTwoGigabytes));

  SmartCache table;
  testing_tables::defineRaceColumns(table);
  const std::string before = testing_tables::saved(table);
  expectRefusedAtOnce(file.path(), [&](std::istream& in) { loadFromStream(table, in); });
  EXPECT_EQ(testing_tables::saved(table), before);
}

TEST(StreamMemory, ASparseFileClaimingMillionsOfColumnsIsRefusedAtOnceByAScan) {
  TemporaryFile file("vandor-sparse-scan");
  ASSERT_TRUE(file.makeSparse(headOfMillionsOfColumns(), kTwoGigabytes));

  int seen = 0;
  expectRefusedAtOnce(file.path(), [&](std::istream& in) {
    scanTableStream(in, [&](const CacheRow&) { ++seen; }, [&](const ScannedRow&) { ++seen; });
  });
  EXPECT_EQ(seen, 0);
}

// A whole template, then a row record that claims 2^31 - 1 columns and
// `zeros` zero bytes.
std::string rowOfMillionsOfColumns(size_t zeros) {
  return TestBytes().str("SC").i32(1)
      .str("SR").i32(1).column("N", SQL_C_LONG).i32(1).raw({0x80}).i32(0)
      .str("SR").i32(INT32_MAX).raw(std::string(zeros, '\0')).bytes();
}

TEST(StreamMemory, ASparseFileOfAWholeTemplateAndNoRowsIsRefusedAtOnce) {
  // The template is fine; the row the head counts is in the hole.
  TemporaryFile file("vandor-sparse-rows");
  const std::string head = TestBytes().str("SC").i32(1000)
      .str("SR").i32(1).column("N", SQL_C_LONG).i32(1).raw({0x80}).i32(0).bytes();
  ASSERT_TRUE(file.makeSparse(head, kTwoGigabytes));

  SmartCache table;
  expectRefusedAtOnce(file.path(), [&](std::istream& in) { loadFromStream(table, in); });
  EXPECT_EQ(table.columnCount(), 0u);
}

TEST(StreamMemory, ZeroBytesReadAsColumnsTakeNoMoreThanTheStream) {
  // Read as columns, 4 MB of zeros would make half a million columns of
  // 40 bytes each.
  const std::string stream = rowOfMillionsOfColumns(size_t{4} << 20);
  std::istringstream in(stream);
  SmartCache table;
  const size_t bytes = peakBytesOf([&] { EXPECT_INVALID_STREAM(loadFromStream(table, in)); });
  // The stream's bytes, read into memory once, and little else.
  EXPECT_LT(bytes, stream.size() + (size_t{1} << 20));
}

TEST(StreamMemory, AFileReadHeadFirstLoadsWhole) {
  // The head comes through the file's buffer, the rest in one read after
  // it: a table larger than both loads back the same.
  SmartCache table;
  testing_tables::defineMessageColumns(table);
  for (int32_t k = 0; k < 2000; ++k) {
    CacheRow row = table.templateRow();
    row.setLong("MSGID", k);
    row.setString("MSGTXT", std::string(static_cast<size_t>(100 + k % 50), 'm'));
    table.appendRow(row);
  }
  const std::string bytes = testing_tables::saved(table);
  TemporaryFile file("vandor-whole-table");
  ASSERT_TRUE(file.makeSparse(bytes, static_cast<off_t>(bytes.size())));
  std::ifstream in(file.path(), std::ios::binary);
  SmartCache loaded;
  loadFromStream(loaded, in);
  EXPECT_TRUE(testing_tables::saved(loaded) == bytes);
}

}  // namespace
