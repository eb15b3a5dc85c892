#include "win32/library_records.h"

#include <gtest/gtest.h>

#include "support/library_record.h"
#include "support/library_registry.h"

namespace {

TEST(LibraryRecords, SixLibrariesEnrolOnce) {
  EnrolLibraryRecords();
  EnrolLibraryRecords();
  std::vector<std::string> names;
  for (const LibraryRecord* record : LibraryRegistry::instance().records()) {
    names.push_back(record->name());
    EXPECT_EQ(record->version().first, 1);
    EXPECT_EQ(record->buildDate().size(), 11u);
  }
  EXPECT_EQ(names, (std::vector<std::string>{"support", "smartcache", "reader", "archive", "app",
                                             "win32"}));
}

}  // namespace
