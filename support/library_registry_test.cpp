#include "support/library_registry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <regex>
#include <vector>

#include "support/library_record.h"
#include "support/support_library.h"

namespace {

TEST(LibraryRecord, BuildKindFromSourcePath) {
  EXPECT_EQ(LibraryRecord::buildKindFromPath("D:\\prod\\support\\lexc.cpp"), 2);
  EXPECT_EQ(LibraryRecord::buildKindFromPath("D:\\dev\\support\\lexc.cpp"), 1);
  EXPECT_EQ(LibraryRecord::buildKindFromPath("D:\\dev\\prod\\lexc.cpp"), 2);
  EXPECT_EQ(LibraryRecord::buildKindFromPath("D:\\Prod\\DEV\\lexc.cpp"), 0);
  EXPECT_EQ(LibraryRecord::buildKindFromPath("/src/prod/dev/lexc.cpp"), 0);
  EXPECT_EQ(LibraryRecord::buildKindFromPath(""), 0);
  EXPECT_EQ(LibraryRecord::buildKindFromPath(nullptr), 0);
}

TEST(LibraryRecord, KeepsNameDateAndVersion) {
  const LibraryRecord record(nullptr, "Dec  8 2026", "C:\\dev\\x", {1, 2, 3});
  EXPECT_EQ(record.name(), "");
  EXPECT_EQ(record.buildDate(), "Dec  8 2026");
  EXPECT_EQ(record.buildKind(), 1);
  EXPECT_EQ(record.version().first, 1);
  EXPECT_EQ(record.version().second, 2);
  EXPECT_EQ(record.version().third, 3);
}

std::vector<const LibraryRecord*> lastRecords(size_t count) {
  const auto& all = LibraryRegistry::instance().records();
  std::vector<const LibraryRecord*> last(all.begin(), all.end());
  return std::vector<const LibraryRecord*>(last.end() - static_cast<long>(count), last.end());
}

TEST(LibraryRegistry, RecordsEnrolInOrderAndLeaveExactlyTheirOwnEntry) {
  LibraryRegistry& registry = LibraryRegistry::instance();
  const uint32_t before = registry.count();
  auto a = std::make_unique<LibraryRecord>("a", "", "", LibraryVersion{});
  auto b = std::make_unique<LibraryRecord>("b", "", "", LibraryVersion{});
  auto c = std::make_unique<LibraryRecord>("c", "", "", LibraryVersion{});
  EXPECT_EQ(registry.count(), before + 3);
  EXPECT_EQ(lastRecords(3), (std::vector<const LibraryRecord*>{a.get(), b.get(), c.get()}));

  b.reset();
  EXPECT_EQ(registry.count(), before + 2);
  EXPECT_EQ(lastRecords(2), (std::vector<const LibraryRecord*>{a.get(), c.get()}));

  // A pointer that is not enrolled changes nothing.
  registry.unregisterRecord(reinterpret_cast<LibraryRecord*>(&registry));
  EXPECT_EQ(registry.count(), before + 2);

  a.reset();
  c.reset();
  EXPECT_EQ(registry.count(), before);
}

TEST(LibraryRegistry, UnregisteringAPointerEnrolledTwiceRemovesItsFirstEntryOnly) {
  LibraryRegistry& registry = LibraryRegistry::instance();
  const uint32_t before = registry.count();
  auto a = std::make_unique<LibraryRecord>("a", "", "", LibraryVersion{});
  auto b = std::make_unique<LibraryRecord>("b", "", "", LibraryVersion{});
  registry.registerRecord(a.get());  // a, b, a
  ASSERT_EQ(registry.count(), before + 3);

  registry.unregisterRecord(a.get());
  EXPECT_EQ(registry.count(), before + 2);
  EXPECT_EQ(lastRecords(2), (std::vector<const LibraryRecord*>{b.get(), a.get()}));

  // The destructor takes the remaining entry of each record.
  a.reset();
  b.reset();
  EXPECT_EQ(registry.count(), before);
}

TEST(LibraryRegistry, LibraryAccessorBuildsOneEnrolledRecord) {
  const LibraryRecord& record = supportLibraryRecord();
  EXPECT_EQ(&record, &supportLibraryRecord());
  EXPECT_EQ(record.name(), "support");
  EXPECT_TRUE(std::regex_match(record.buildDate(),
                               std::regex("[A-Z][a-z]{2} [ 123][0-9] [0-9]{4}")));
  const auto& records = LibraryRegistry::instance().records();
  EXPECT_EQ(std::count(records.begin(), records.end(), &record), 1);
}

}  // namespace
