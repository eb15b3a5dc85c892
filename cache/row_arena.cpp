#include "cache/row_arena.h"

#include <algorithm>

#include "cache/raise_site.h"

RefPtr<RowArena> RowArena::create() {
  return RefPtr<RowArena>(allocObject<RowArena>(site::kNewRowData));
}

namespace {

// Makes room for one more block in `blocks`, so that the push that follows
// cannot fail.
void roomForOneMore(std::vector<ByteBlock>& blocks, const RaiseSite& where) {
  if (blocks.size() < blocks.capacity()) return;
  const size_t wanted = std::max<size_t>(4, blocks.size() * 2);
  guardAlloc(wanted * sizeof(ByteBlock), where, [&] { blocks.reserve(wanted); });
}

size_t paddingFor(const uint8_t* place, size_t alignment) {
  return (alignment - reinterpret_cast<uintptr_t>(place) % alignment) % alignment;
}

}  // namespace

void RowArena::keep(ByteBlock bytes) {
  roomForOneMore(kept_, site::kNewRowData);
  footprint_ += bytes.size();
  kept_.push_back(std::move(bytes));
}

void* RowArena::allocate(size_t size, size_t alignment, const RaiseSite& where) {
  if (free_ == nullptr || paddingFor(free_, alignment) + size > left_) {
    addBlock(size + alignment, where);
  }
  const size_t skip = paddingFor(free_, alignment);
  uint8_t* place = free_ + skip;
  free_ = place + size;
  left_ -= skip + size;
  return place;
}

void RowArena::addBlock(size_t atLeast, const RaiseSite& where) {
  const size_t size = std::max(nextBlock_, atLeast);
  roomForOneMore(blocks_, where);
  blocks_.push_back(allocBlock(size, where, false));
  free_ = blocks_.back().data();
  left_ = size;
  footprint_ += size;
  nextBlock_ = std::min(kLargestBlock, nextBlock_ * 2);
}
