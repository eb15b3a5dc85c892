// Allocation of the table library's blocks and objects.
//
// Every allocation of the library goes through these helpers, so that a
// failed one is always reported as LExc_Internal_Mem with its byte count and
// the place that asked for it, never as std::bad_alloc.
#pragma once

#include <cstdint>
#include <new>
#include <utility>
#include <vector>

#include "cache/allocation_faults.h"
#include "cache/raise_site.h"

// An allocator that leaves the bytes of a growing block uninitialised:
// every block of the library is written right after it is made.
template <class T>
struct UninitialisedAllocator : std::allocator<T> {
  template <class U>
  struct rebind {
    using other = UninitialisedAllocator<U>;
  };
  UninitialisedAllocator() = default;
  template <class U>
  UninitialisedAllocator(const UninitialisedAllocator<U>&) noexcept {}
  template <class U>
  void construct(U* place) noexcept {
    ::new (static_cast<void*>(place)) U;
  }
  template <class U, class... Args>
  void construct(U* place, Args&&... args) {
    ::new (static_cast<void*>(place)) U(std::forward<Args>(args)...);
  }
};

using ByteBlock = std::vector<uint8_t, UninitialisedAllocator<uint8_t>>;

// A block of exactly `bytes` bytes, zero-filled unless `zeroed` is false.
ByteBlock allocBlock(uint64_t bytes, const RaiseSite& where, bool zeroed = true);

// Runs `make` (which allocates about `bytes` bytes) and turns a
// std::bad_alloc from it into LExc_Internal_Mem. Every allocation of the
// library passes here, so tests can make any one of them fail
// (allocation_faults.h).
template <class Make>
auto guardAlloc(uint64_t bytes, const RaiseSite& where, Make&& make)
    -> decltype(make()) {
  if (allocation_faults::Due()) raiseMem(where, bytes);
  try {
    return make();
  } catch (const std::bad_alloc&) {
    raiseMem(where, bytes);
  }
}

// `new T(args...)`, with a failure raised as LExc_Internal_Mem.
template <class T, class... Args>
T* allocObject(const RaiseSite& where, Args&&... args) {
  return guardAlloc(sizeof(T), where,
                    [&] { return new T(std::forward<Args>(args)...); });
}
