// Items made in order on threads of their own, a few ahead of the caller
// who takes them: reading the next files of a search while the caller
// writes out what the last ones held.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

// Items 0 to count-1, each made by make(i) on one of `makers` threads of
// the object's own, which take the items to make in order, at most `ahead`
// of them beyond the next to be taken; Next() takes them in order. `make`
// runs on those threads, several at once when there are several, so it
// must not share unguarded state with them or with what the caller does
// meanwhile. Where no thread can be started, Next() makes each item
// itself. An exception raised by make(i) is raised by the Next() that
// would have returned item i, after the items before it; no item after it
// is begun once the failure is known. Destroying the object stops the threads once their current
// items are made.
template <class T>
class ReadAhead {
 public:
  ReadAhead(size_t count, std::function<T(size_t)> make, size_t ahead = 8, size_t makers = 1)
      : make_(std::move(make)),
        count_(count),
        ahead_(ahead < 1 ? 1 : ahead),
        half_(ahead_ > 1 ? ahead_ / 2 : 1) {
    if (count_ == 0) return;
    for (size_t k = 0; k < (makers < 1 ? 1 : makers); ++k) {
      try {
        threads_.emplace_back([this] { run(); });
      } catch (const std::system_error&) {
        break;  // the threads started make every item; with none, Next() does
      }
    }
  }
  ReadAhead(const ReadAhead&) = delete;
  ReadAhead& operator=(const ReadAhead&) = delete;
  ~ReadAhead() {
    {
      const std::lock_guard<std::mutex> hold(mutex_);
      stop_ = true;
    }
    makerWakes_.notify_all();
    for (std::thread& thread : threads_) thread.join();
  }

  // The next item. Only `count` items are there to take.
  T Next() {
    if (threads_.empty()) return make_(taken_++);
    std::unique_lock<std::mutex> hold(mutex_);
    waiting_ = true;
    takerWakes_.wait(hold, [&] { return takerMayGo(); });
    waiting_ = false;
    const auto found = ready_.find(taken_);
    if (found == ready_.end()) std::rethrow_exception(failure_);  // failed_ == taken_
    T item = std::move(found->second);
    ready_.erase(found);
    ++taken_;
    // A maker waits only with `ahead_` items beyond the taken ones: it is
    // woken once per `half_` items taken, when it can make that many.
    const bool wake = makersWaiting_ > 0 && taken_ % half_ == 0;
    hold.unlock();
    if (wake) makerWakes_.notify_all();
    return item;
  }

 private:
  static constexpr size_t kNone = SIZE_MAX;

  // The number of items ready in a row from the next to take on, counting
  // up to `half_`.
  size_t readyRun() const {
    size_t run = 0;
    while (run < half_ && ready_.count(taken_ + run) != 0) ++run;
    return run;
  }
  // Whether the taker can go on (the lock held): the two threads wake each
  // other once per `half_` items rather than once per item.
  bool takerMayGo() const {
    if (failed_ == taken_) return true;
    const size_t run = readyRun();
    return run != 0 && (run == half_ || taken_ + run == count_ || failed_ != kNone);
  }

  void run() {
    for (;;) {
      size_t index = 0;
      {
        std::unique_lock<std::mutex> hold(mutex_);
        ++makersWaiting_;
        makerWakes_.wait(hold, [&] { return done() || next_ < taken_ + ahead_; });
        --makersWaiting_;
        if (done()) return;
        index = next_++;
      }
      std::optional<T> item;
      std::exception_ptr failure;
      try {
        item.emplace(make_(index));
      } catch (...) {
        failure = std::current_exception();
      }
      bool wake = false;
      {
        const std::lock_guard<std::mutex> hold(mutex_);
        if (!failure) {
          try {
            ready_.emplace(index, std::move(*item));
          } catch (...) {
            failure = std::current_exception();
          }
        }
        if (failure && index < failed_) {
          failed_ = index;
          failure_ = failure;
        }
        wake = waiting_ && takerMayGo();
      }
      if (wake) takerWakes_.notify_one();
    }
  }
  // Whether the makers are done (the lock held): stopped, every item
  // begun, or the items up to a failed one begun.
  bool done() const { return stop_ || next_ >= count_ || (failed_ != kNone && next_ > failed_); }

  std::function<T(size_t)> make_;
  const size_t count_;
  const size_t ahead_;
  const size_t half_;

  std::mutex mutex_;
  std::condition_variable takerWakes_;
  std::condition_variable makerWakes_;
  size_t taken_ = 0;             // the next item to take
  size_t next_ = 0;              // the next item to make
  std::map<size_t, T> ready_;    // made, not yet taken
  size_t failed_ = kNone;        // the first item whose make raised
  std::exception_ptr failure_;   // what it raised
  bool waiting_ = false;         // the taker waits
  size_t makersWaiting_ = 0;
  bool stop_ = false;
  std::vector<std::thread> threads_;  // last: started when the rest is in place
};
