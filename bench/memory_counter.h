// Counts the bytes the program takes from the heap (through operator new)
// while counting is on, now and at the peak, for the benchmarks' memory
// figures. Off, it costs one test per allocation.
#pragma once

#include <cstdint>

namespace memory_counter {

// Starts counting from zero.
void Start();
void Stop();
// Takes the bytes in use now as the peak, so that Peak tells the most in
// use from here on.
void ResetPeak();
// Bytes taken and not given back since Start, now and at the most.
int64_t Current();
int64_t Peak();

}  // namespace memory_counter
