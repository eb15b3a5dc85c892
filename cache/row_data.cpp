#include "cache/row_data.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <new>

#include "cache/le_bytes.h"
#include "cache/type_codes.h"

RefPtr<CacheRowData> CacheRowData::createEmpty(const RaiseSite& where) {
  RefPtr<CacheRowData> data(allocObject<CacheRowData>(where));
  data->columns_ =
      RefPtr<CacheColumnList>(allocObject<CacheColumnList>(site::kNewColumnList));
  return data;
}

RefPtr<CacheRowData> CacheRowData::create(RefPtr<CacheColumnList> columns, NullFlagSet flags,
                                          ByteBlock cells) {
  RefPtr<CacheRowData> data(allocObject<CacheRowData>(site::kNewRowData));
  data->columns_ = std::move(columns);
  data->flags_ = std::move(flags);
  data->ownCells(std::move(cells));
  return data;
}

CacheRowData::CacheRowData(RowArena& home, const RefPtr<CacheColumnList>& columns,
                           NullFlagSet&& flags, uint8_t* cells, uint32_t length)
    : home_(&home),
      cells_(cells),
      cellLength_(length),
      flags_(std::move(flags)),
      columns_(columns) {}

RefPtr<CacheRowData> CacheRowData::placeIn(RowArena& home, const RefPtr<CacheColumnList>& columns,
                                           NullFlagSet&& flags, uint8_t* cells, uint32_t length) {
  void* place = home.allocate(sizeof(CacheRowData), alignof(CacheRowData), site::kNewRowData);
  return RefPtr<CacheRowData>(
      new (place) CacheRowData(home, columns, std::move(flags), cells, length));
}

RefPtr<CacheRowData> CacheRowData::createIn(RowArena& arena, const RefPtr<CacheColumnList>& columns,
                                            const uint8_t* flags, uint8_t* cells, uint32_t length) {
  // The flags of a wide row need a block of their own, taken before the
  // arena gives room for the object.
  const uint32_t count = columns->size();
  return placeIn(arena, columns,
                 NullFlagSet(count, flags, NullFlagSet::bytesFor(count), site::kCopyFlags), cells,
                 length);
}

RefPtr<CacheRowData> CacheRowData::copyInto(RowArena& arena,
                                            RefPtr<CacheColumnList> columns) const {
  // Flags of wide rows may need a block of their own. A failure after the
  // arena gave room for the cells only leaves that room unused.
  NullFlagSet flags = flags_.copy(site::kCopyFlags);
  auto* cells = static_cast<uint8_t*>(arena.allocate(cellLength_, 1, site::kCopyCells));
  if (cellLength_ > 0) std::memcpy(cells, cells_, cellLength_);
  return placeIn(arena, columns, std::move(flags), cells, cellLength_);
}

RefPtr<CacheRowData> CacheRowData::clone() const {
  RefPtr<CacheRowData> copy(allocObject<CacheRowData>(site::kCopyRowData));
  copy->flags_ = flags_.copy(site::kCopyFlags);
  copy->columns_ = columns_;
  ByteBlock cells = allocBlock(cellLength_, site::kCopyCells, false);
  if (cellLength_ > 0) std::memcpy(cells.data(), cells_, cellLength_);
  copy->ownCells(std::move(cells));
  return copy;
}

void CacheRowData::destroy(CacheRowData* row) {
  if (!row->home_) {
    delete row;
    return;
  }
  // The arena holds the object's own memory: it is released only once the
  // object has been destroyed.
  RefPtr<RowArena> home;
  home.swap(row->home_);
  row->~CacheRowData();
}

void RefDestroy<CacheRowData>::destroy(CacheRowData* row) { CacheRowData::destroy(row); }

void CacheRowData::ownCells(ByteBlock cells) {
  ownCells_ = std::move(cells);
  cells_ = ownCells_.data();
  cellLength_ = static_cast<uint32_t>(ownCells_.size());
}

CellLocation CacheRowData::locateCell(int32_t i) const {
  if (i < 0 || static_cast<uint32_t>(i) >= columnCount()) {
    raiseBadArg(site::kLocateCell, "index out of range");
  }
  uint32_t offset = 0;
  for (int32_t j = 0; j < i; ++j) {
    offset += cellSize(CellLocation{flags_.isSet(j), offset, column(j).type});
  }
  return CellLocation{flags_.isSet(i), offset, column(i).type};
}

uint32_t CacheRowData::cellSize(const CellLocation& cell) const {
  if (cell.isNull) return 0;
  const uint32_t fixed = storageSize(cell.type);
  if (fixed != 0) return fixed;
  return 4 + getU32(cells_ + cell.offset);
}

CellLocation CacheRowData::resizeCell(int32_t i, uint32_t length) {
  const CellLocation cell = locateCell(i);
  const uint64_t oldSize = cellSize(cell);
  const uint32_t fixed = storageSize(cell.type);
  const uint64_t newSize = fixed != 0 ? fixed : 4 + uint64_t{length};
  if (newSize == oldSize) return cell;

  const uint64_t total = cellLength_ - oldSize + newSize;
  ByteBlock block = allocBlock(total, site::kResizeCellAlloc, false);
  const uint64_t after = cellLength_ - cell.offset - oldSize;
  if (cell.offset > 0) std::memcpy(block.data(), cells_, cell.offset);
  if (after > 0) std::memcpy(block.data() + cell.offset + newSize, cells_ + cell.offset + oldSize, after);
  ownCells(std::move(block));
  return cell;
}

void CacheRowData::removeCellBytes(int32_t i) {
  const CellLocation cell = locateCell(i);
  const uint32_t size = cellSize(cell);
  if (size == 0) return;
  ByteBlock block = allocBlock(cellLength_ - size, site::kRemoveCellAlloc, false);
  const uint32_t after = cellLength_ - cell.offset - size;
  if (cell.offset > 0) std::memcpy(block.data(), cells_, cell.offset);
  if (after > 0) std::memcpy(block.data() + cell.offset, cells_ + cell.offset + size, after);
  ownCells(std::move(block));
}

void CacheRowData::setAllNull() {
  flags_.setAll();
  ownCells(ByteBlock());
}

void CacheRowData::addColumn(const std::string& name, int32_t type) {
  makeColumnsUnique();
  // Everything that can fail comes before the first change; once the flags
  // have grown, the append cannot fail any more (the room is reserved).
  CacheColumn added = guardAlloc(name.size(), site::kCopyColumnList,
                                 [&] { return CacheColumn{std::string(name.c_str()), type}; });
  columns_->reserveOneMore();
  flags_.appendSetBit(site::kGrowFlags);
  columns_->append(std::move(added));
}

void CacheRowData::resetColumns() {
  if (columns_->refCount >= 2) {
    columns_ = RefPtr<CacheColumnList>(
        allocObject<CacheColumnList>(site::kCopyColumnList));
  }
  columns_->clear();
  ownCells(ByteBlock());
  flags_.clear();
}

void CacheRowData::replaceContents(std::vector<CacheColumn> columns,
                                   NullFlagSet flags, ByteBlock cells) {
  columns_->assign(std::move(columns));
  flags_ = std::move(flags);
  ownCells(std::move(cells));
}

void CacheRowData::makeColumnsUnique() {
  if (columns_->refCount < 2) return;
  columns_ = RefPtr<CacheColumnList>(allocObject<CacheColumnList>(site::kCopyColumnList, *columns_));
}
