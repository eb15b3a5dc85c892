// The memory of a table's rows in a few large blocks instead of one or two
// allocations per row: the bytes of a stream read into one block (two when
// the stream held more than its buffer said), which the cells of the rows
// loaded from it point into, and blocks that row objects and copied cells
// are carved from.
//
// Every row placed here holds a reference to its arena, so the arena lives
// while any of its rows does, also after the table that made it has gone.
// Nothing placed here is freed on its own: a row that goes leaves its room
// until the whole arena goes. A row that is changed gets cells of its own
// on the heap (CacheRowData::resizeCell), and a shared row changed through
// a handle is copied to the heap first (copy-on-write), so the arena only
// ever holds what was loaded or copied in. One thread only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "cache/cache_alloc.h"
#include "cache/ref_ptr.h"

class RowArena {
 public:
  int32_t refCount = 0;

  RowArena() = default;
  RowArena(const RowArena&) = delete;
  RowArena& operator=(const RowArena&) = delete;

  // A new, empty arena. Raises LExc_Internal_Mem.
  static RefPtr<RowArena> create();

  // Keeps `bytes` for the arena's life; rows may point into them.
  void keep(ByteBlock bytes);

  // `size` bytes at a multiple of `alignment` (a power of two). Raises
  // LExc_Internal_Mem at `where`; the arena is then unchanged.
  void* allocate(size_t size, size_t alignment, const RaiseSite& where) {
    size_t skip = padding(alignment);
    if (skip + size > left_) {
      addBlock(size + alignment, where);
      skip = padding(alignment);
    }
    uint8_t* place = free_ + skip;
    free_ = place + size;
    left_ -= skip + size;
    return place;
  }

  // Bytes the arena has taken from the heap, kept bytes included.
  size_t footprint() const { return footprint_; }

 private:
  // Blocks grow from the first size to the largest, doubling, so that a
  // small table takes little and a large one few blocks.
  static constexpr size_t kFirstBlock = 4 * 1024;
  static constexpr size_t kLargestBlock = 1024 * 1024;

  void addBlock(size_t atLeast, const RaiseSite& where);
  // Bytes from the free room on to the next multiple of `alignment`.
  size_t padding(size_t alignment) const {
    return static_cast<size_t>(-reinterpret_cast<uintptr_t>(free_)) & (alignment - 1);
  }

  std::vector<ByteBlock> kept_;
  std::vector<ByteBlock> blocks_;
  uint8_t* free_ = nullptr;  // the unused rest of the last block
  size_t left_ = 0;
  size_t nextBlock_ = kFirstBlock;
  size_t footprint_ = 0;
};
