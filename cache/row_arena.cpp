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

}  // namespace

void RowArena::keep(ByteBlock bytes) {
  roomForOneMore(kept_, site::kNewRowData);
  footprint_ += bytes.size();
  kept_.push_back(std::move(bytes));
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
