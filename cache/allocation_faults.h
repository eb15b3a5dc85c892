// Making the table library's allocations fail on purpose, for tests: once
// armed, the n-th allocation counted from then on fails as if memory were
// exhausted (LExc_Internal_Mem), and every later one succeeds again. Each
// thread has its own count; unarmed, allocations are only counted.
#pragma once

#include <cstdint>

namespace allocation_faults {

// The `n`-th allocation from now on (1 is the next) fails.
void FailNth(int64_t n);
// No allocation fails.
void Disarm();
// Counts one allocation; true when it is the one to fail.
bool Due();

}  // namespace allocation_faults
