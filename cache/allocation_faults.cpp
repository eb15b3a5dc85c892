#include "cache/allocation_faults.h"

namespace {

thread_local int64_t remaining = 0;  // allocations until the failing one; 0: none fails

}  // namespace

namespace allocation_faults {

void FailNth(int64_t n) { remaining = n; }

void Disarm() { remaining = 0; }

bool Due() { return remaining > 0 && --remaining == 0; }

}  // namespace allocation_faults
