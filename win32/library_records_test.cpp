#include "win32/library_records.h"

#include <gtest/gtest.h>

#include "support/library_record.h"
#include "support/library_registry.h"
#include "support/version.h"

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

// Every library carries the program's version, so that a new version in
// CMakeLists.txt reaches all of them.
TEST(LibraryRecords, EveryLibraryCarriesTheProgramVersion) {
  EnrolLibraryRecords();
  for (const LibraryRecord* record : LibraryRegistry::instance().records()) {
    EXPECT_EQ(record->version().first, kVersionMajor) << record->name();
    EXPECT_EQ(record->version().second, kVersionMinor) << record->name();
    EXPECT_EQ(record->version().third, kVersionPatch) << record->name();
  }
}

}  // namespace
