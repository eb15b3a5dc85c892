#include "cache/row_data.h"

#include <algorithm>
#include <cstddef>

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
  data->cells_ = std::move(cells);
  return data;
}

RefPtr<CacheRowData> CacheRowData::clone() const {
  RefPtr<CacheRowData> copy(allocObject<CacheRowData>(site::kCopyRowData));
  copy->flags_ = flags_.copy(site::kCopyFlags);
  copy->columns_ = columns_;
  copy->cells_ = allocBlock(cells_.size(), site::kCopyCells, false);
  std::copy(cells_.begin(), cells_.end(), copy->cells_.begin());
  return copy;
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
  return 4 + getU32(cells_.data() + cell.offset);
}

CellLocation CacheRowData::resizeCell(int32_t i, uint32_t length) {
  const CellLocation cell = locateCell(i);
  const uint64_t oldSize = cellSize(cell);
  const uint32_t fixed = storageSize(cell.type);
  const uint64_t newSize = fixed != 0 ? fixed : 4 + uint64_t{length};
  if (newSize == oldSize) return cell;

  const uint64_t total = cells_.size() - oldSize + newSize;
  ByteBlock block = allocBlock(total, site::kResizeCellAlloc, false);
  auto oldStart = cells_.begin() + cell.offset;
  std::copy(cells_.begin(), oldStart, block.begin());
  std::copy(oldStart + static_cast<std::ptrdiff_t>(oldSize), cells_.end(),
            block.begin() + static_cast<std::ptrdiff_t>(cell.offset + newSize));
  cells_ = std::move(block);
  return cell;
}

void CacheRowData::removeCellBytes(int32_t i) {
  const CellLocation cell = locateCell(i);
  const uint32_t size = cellSize(cell);
  if (size == 0) return;
  ByteBlock block = allocBlock(cells_.size() - size, site::kRemoveCellAlloc, false);
  auto start = cells_.begin() + cell.offset;
  std::copy(cells_.begin(), start, block.begin());
  std::copy(start + size, cells_.end(), block.begin() + cell.offset);
  cells_ = std::move(block);
}

void CacheRowData::setAllNull() {
  flags_.setAll();
  cells_ = ByteBlock();
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
  cells_ = ByteBlock();
  flags_.clear();
}

void CacheRowData::replaceContents(std::vector<CacheColumn> columns,
                                   NullFlagSet flags, ByteBlock cells) {
  columns_->assign(std::move(columns));
  flags_ = std::move(flags);
  cells_ = std::move(cells);
}

void CacheRowData::makeColumnsUnique() {
  if (columns_->refCount < 2) return;
  columns_ = RefPtr<CacheColumnList>(allocObject<CacheColumnList>(site::kCopyColumnList, *columns_));
}
