#include "cache/column_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Columns C0, C1, ... and, at the end, a second C1.
std::vector<CacheColumn> columns(int count) {
  std::vector<CacheColumn> list;
  for (int k = 0; k < count; ++k) list.push_back({"C" + std::to_string(k), k});
  list.push_back({"C1", -1});
  return list;
}

TEST(CacheColumnList, LongAndShortListsFindTheFirstOfAName) {
  for (int count : {3, 31, 32, 1000}) {
    SCOPED_TRACE(count);
    CacheColumnList list;
    list.assign(columns(count));
    EXPECT_EQ(list.find("C0"), 0);
    EXPECT_EQ(list.find("C1"), 1);  // not the second C1
    EXPECT_EQ(list.find("C" + std::to_string(count - 1)), count - 1);
    EXPECT_EQ(list.find("c1"), -1);  // case counts
    EXPECT_EQ(list.find(""), -1);
    EXPECT_EQ(list.find("C" + std::to_string(count)), -1);
  }
}

TEST(CacheColumnList, EveryChangeIsSeenByTheNextLookup) {
  CacheColumnList list;
  list.assign(columns(100));
  EXPECT_EQ(list.find("NEW"), -1);  // the index is built here
  list.reserveOneMore();
  list.append({"NEW", 4});
  EXPECT_EQ(list.find("NEW"), 101);

  list.assign(columns(50));
  EXPECT_EQ(list.find("NEW"), -1);
  EXPECT_EQ(list.find("C49"), 49);
  EXPECT_EQ(list.find("C99"), -1);

  const CacheColumnList copy(list);
  EXPECT_EQ(copy.find("C49"), 49);
  EXPECT_EQ(copy.refCount, 0);

  list.clear();
  EXPECT_EQ(list.find("C0"), -1);
  EXPECT_EQ(list.size(), 0u);
}

}  // namespace
