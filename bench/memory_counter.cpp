#include "bench/memory_counter.h"

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<bool> counting{false};
std::atomic<int64_t> current{0};
std::atomic<int64_t> peak{0};

void* take(size_t bytes) {
  void* block = std::malloc(bytes == 0 ? 1 : bytes);
  if (block == nullptr) throw std::bad_alloc();
  if (counting.load(std::memory_order_relaxed)) {
    const int64_t now = current += static_cast<int64_t>(malloc_usable_size(block));
    int64_t seen = peak.load();
    while (now > seen && !peak.compare_exchange_weak(seen, now)) {
    }
  }
  return block;
}

void give(void* block) {
  if (block == nullptr) return;
  if (counting.load(std::memory_order_relaxed)) {
    current -= static_cast<int64_t>(malloc_usable_size(block));
  }
  std::free(block);
}

}  // namespace

void* operator new(size_t bytes) { return take(bytes); }
void* operator new[](size_t bytes) { return take(bytes); }
void* operator new(size_t bytes, const std::nothrow_t&) noexcept {
  try {
    return take(bytes);
  } catch (...) {
    return nullptr;
  }
}
void* operator new[](size_t bytes, const std::nothrow_t& tag) noexcept {
  return operator new(bytes, tag);
}
void operator delete(void* block) noexcept { give(block); }
void operator delete[](void* block) noexcept { give(block); }
void operator delete(void* block, size_t) noexcept { give(block); }
void operator delete[](void* block, size_t) noexcept { give(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { give(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { give(block); }

namespace memory_counter {

void Start() {
  current = 0;
  peak = 0;
  counting = true;
}
void Stop() { counting = false; }
void ResetPeak() { peak = current.load(); }
int64_t Current() { return current.load(); }
int64_t Peak() { return peak.load(); }

}  // namespace memory_counter
