#include "archive/read_ahead.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

TEST(ReadAhead, GivesEveryItemInOrderAndMakesFewAhead) {
  std::atomic<size_t> made{0};
  ReadAhead<std::string> ahead(
      50,
      [&](size_t i) {
        ++made;
        return std::to_string(i);
      },
      3);
  for (size_t i = 0; i < 50; ++i) {
    if (i % 10 == 0) {
      // The thread waits once three items are ready: give it time to run on.
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      EXPECT_LE(made.load(), i + 3);
    }
    EXPECT_EQ(ahead.Next(), std::to_string(i));
  }
  EXPECT_EQ(made.load(), 50u);
}

TEST(ReadAhead, AFailureComesAfterTheItemsBeforeItAndEndsTheMaking) {
  std::atomic<size_t> made{0};
  ReadAhead<int> ahead(10, [&](size_t i) {
    ++made;
    if (i == 3) throw std::runtime_error("item 3 is damaged");
    return static_cast<int>(i) * 2;
  });
  EXPECT_EQ(ahead.Next(), 0);
  EXPECT_EQ(ahead.Next(), 2);
  EXPECT_EQ(ahead.Next(), 4);
  try {
    ahead.Next();
    ADD_FAILURE() << "item 3 was given";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "item 3 is damaged");
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(made.load(), 4u);
}

TEST(ReadAhead, DroppedEarlyItStopsWithoutMakingTheRest) {
  std::atomic<size_t> made{0};
  {
    ReadAhead<std::vector<int>> ahead(
        1000000,
        [&](size_t i) {
          ++made;
          return std::vector<int>(100, static_cast<int>(i));
        },
        2);
    EXPECT_EQ(ahead.Next().front(), 0);
  }  // the destructor must not wait for a million items
  EXPECT_LE(made.load(), 4u);
  ReadAhead<int> none(0, [](size_t) -> int { throw std::logic_error("no item to make"); });
}

}  // namespace
