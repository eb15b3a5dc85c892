// Where the game data's row timestamps come from.
#pragma once

#include "cache/date_time.h"

class Clock {
 public:
  virtual ~Clock() = default;
  // The current local date and time, whole seconds, fraction 0.
  virtual Timestamp now() const = 0;
};

// The machine's clock.
class SystemClock : public Clock {
 public:
  Timestamp now() const override { return Timestamp::now(); }
};

// A clock that always tells the same moment (for tests and replays).
class FixedClock : public Clock {
 public:
  explicit FixedClock(const Timestamp& moment) : moment_(moment) {}
  Timestamp now() const override { return moment_; }

 private:
  Timestamp moment_;
};
