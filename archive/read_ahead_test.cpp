#include "archive/read_ahead.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

void pause() { std::this_thread::sleep_for(std::chrono::milliseconds(20)); }

TEST(ReadAhead, GivesEveryItemInOrderAndMakesFewAhead) {
  for (size_t makers = 1; makers <= 3; ++makers) {
    SCOPED_TRACE("makers: " + std::to_string(makers));
    std::atomic<size_t> made{0};
    ReadAhead<std::string> ahead(
        200,
        [&](size_t i) {
          ++made;
          // Uneven work, so that several makers finish out of order.
          if (i % 7 == 0) std::this_thread::sleep_for(std::chrono::microseconds(300));
          return std::to_string(i);
        },
        3, makers);
    for (size_t i = 0; i < 200; ++i) {
      if (i % 50 == 0) {
        pause();  // the makers wait once three items beyond the taken ones are begun
        EXPECT_LE(made.load(), i + 3);
      }
      ASSERT_EQ(ahead.Next(), std::to_string(i));
    }
    EXPECT_EQ(made.load(), 200u);
  }
}

TEST(ReadAhead, AFailureComesAfterTheItemsBeforeItAndEndsTheMaking) {
  for (size_t makers = 1; makers <= 2; ++makers) {
    SCOPED_TRACE("makers: " + std::to_string(makers));
    std::atomic<size_t> made{0};
    ReadAhead<int> ahead(
        100,
        [&](size_t i) {
          ++made;
          if (i == 3) throw std::runtime_error("item 3 is damaged");
          if (i < 3) std::this_thread::sleep_for(std::chrono::milliseconds(2));
          return static_cast<int>(i) * 2;
        },
        8, makers);
    EXPECT_EQ(ahead.Next(), 0);
    EXPECT_EQ(ahead.Next(), 2);
    EXPECT_EQ(ahead.Next(), 4);
    try {
      ahead.Next();
      ADD_FAILURE() << "item 3 was given";
    } catch (const std::runtime_error& e) {
      EXPECT_STREQ(e.what(), "item 3 is damaged");
    }
    pause();
    // One maker stops at the failed item. With two, the other may have gone
    // on before the failure was known, but not beyond the eight items
    // ahead of the taken ones.
    EXPECT_LE(made.load(), makers == 1 ? 4u : 3u + 8u);
  }
}

TEST(ReadAhead, DroppedEarlyItStopsWithoutMakingTheRest) {
  for (size_t makers = 1; makers <= 2; ++makers) {
    std::atomic<size_t> made{0};
    {
      ReadAhead<std::vector<int>> ahead(
          1000000,
          [&](size_t i) {
            ++made;
            return std::vector<int>(100, static_cast<int>(i));
          },
          2, makers);
      EXPECT_EQ(ahead.Next().front(), 0);
    }  // the destructor must not wait for a million items
    EXPECT_LE(made.load(), 4u);
  }
  ReadAhead<int> none(0, [](size_t) -> int { throw std::logic_error("no item to make"); }, 8, 2);
}

}  // namespace
