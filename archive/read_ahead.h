// Items made in order on a thread of their own, a few ahead of the caller
// who takes them: reading the next files of a search while the caller
// writes out what the last one held.
#pragma once

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>

// Items 0 to count-1, each made by make(i) on a thread of the object's
// own, at most `ahead` of them waiting to be taken; Next() takes them in
// order. `make` runs on that thread, so it must not share unguarded state
// with what the caller does meanwhile. Where no thread can be started,
// Next() makes each item itself. An exception raised by make(i) is raised
// by the Next() that would have returned item i, and the thread makes no
// more. Destroying the object stops the thread once its current item is
// made.
template <class T>
class ReadAhead {
 public:
  ReadAhead(size_t count, std::function<T(size_t)> make, size_t ahead = 8)
      : make_(std::move(make)),
        count_(count),
        ahead_(ahead < 1 ? 1 : ahead),
        half_(ahead_ > 1 ? ahead_ / 2 : 1) {
    if (count_ == 0) return;
    try {
      thread_ = std::thread([this] { run(); });
    } catch (const std::system_error&) {
      // No thread: Next() makes the items.
    }
  }
  ReadAhead(const ReadAhead&) = delete;
  ReadAhead& operator=(const ReadAhead&) = delete;
  ~ReadAhead() {
    {
      const std::lock_guard<std::mutex> hold(mutex_);
      stop_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable()) thread_.join();
  }

  // The next item. Only `count` items are there to take.
  T Next() {
    const size_t index = taken_++;
    if (!thread_.joinable()) return make_(index);
    std::unique_lock<std::mutex> hold(mutex_);
    changed_.wait(hold, [&] { return !ready_.empty() || failure_; });
    if (ready_.empty()) std::rethrow_exception(failure_);
    T item = std::move(ready_.front());
    ready_.pop_front();
    // The maker waits only when `ahead_` are ready: it is woken on the way down.
    const bool wake = ready_.size() == std::min(half_, ahead_ - 1);
    hold.unlock();
    if (wake) changed_.notify_all();
    return item;
  }

 private:
  void run() {
    for (size_t i = 0; i < count_; ++i) {
      {
        std::unique_lock<std::mutex> hold(mutex_);
        changed_.wait(hold, [&] { return stop_ || ready_.size() < ahead_; });
        if (stop_) return;
      }
      std::optional<T> item;
      std::exception_ptr failure;
      bool wake = false;
      try {
        item.emplace(make_(i));
      } catch (...) {
        failure = std::current_exception();
      }
      {
        const std::lock_guard<std::mutex> hold(mutex_);
        if (!failure) {
          try {
            ready_.push_back(std::move(*item));
          } catch (...) {
            failure = std::current_exception();
          }
        }
        failure_ = failure;
        wake = failure || ready_.size() >= half_ || i + 1 == count_;
      }
      if (wake) changed_.notify_all();
      if (failure) return;
    }
  }

  std::function<T(size_t)> make_;
  const size_t count_;
  const size_t ahead_;
  // The two threads wake each other once per `half_` items rather than
  // once per item: the maker when that many are left to take, the taker
  // when that many are ready.
  const size_t half_;
  size_t taken_ = 0;  // the caller's alone

  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<T> ready_;          // made, not yet taken, in order
  std::exception_ptr failure_;   // what make raised, after the items made before it
  bool stop_ = false;
  std::thread thread_;           // last: started when the rest is in place
};
