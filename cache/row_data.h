// The contents of one table row: its columns (a shared CacheColumnList), one
// NULL flag per column and the non-NULL cells packed into one byte block in
// column order. NULL cells take no bytes. A fixed-size cell takes the
// storage size of its type; a text or binary cell takes a 32-bit length and
// that many bytes. All numbers are little-endian.
//
// Row data is shared by CacheRow handles through its reference count; only a
// handle that holds the sole reference may change it (CacheRow::makeUnique).
//
// Row data lives on the heap, or in a table's RowArena (loaded and copied
// rows): its object and cell bytes are then the arena's, and it keeps the
// arena alive. Cells that change size move to a block of the row's own.
#pragma once

#include <cstdint>
#include <string>

#include "cache/cache_alloc.h"
#include "cache/cache_row.h"
#include "cache/column_list.h"
#include "cache/null_flag_set.h"
#include "cache/ref_ptr.h"
#include "cache/row_arena.h"

// Where a cell lies in the cell bytes.
struct CellLocation {
  bool isNull;      // the cell's NULL flag
  uint32_t offset;  // where its bytes begin (or would begin)
  int32_t type;     // its column's type code
};

class CacheRowData {
 public:
  int32_t refCount = 0;  // CacheRow handles referring to this data

  CacheRowData() = default;
  CacheRowData(const CacheRowData&) = delete;
  CacheRowData& operator=(const CacheRowData&) = delete;

  // Row data with no columns, no bytes and a fresh empty column list.
  static RefPtr<CacheRowData> createEmpty(const RaiseSite& where);
  // Row data of `columns` (shared), `flags` and `cells`. REQUIRES: `flags`
  // has one bit per column and `cells` holds exactly the non-NULL cells.
  static RefPtr<CacheRowData> create(RefPtr<CacheColumnList> columns, NullFlagSet flags,
                                     ByteBlock cells);
  // Row data in `arena` of `columns` (shared), whose flags are copied from
  // the NullFlagSet::bytesFor(columns->size()) bytes at `flags` and whose
  // cells are the `length` bytes at `cells`, which the arena holds.
  // REQUIRES: those cells are exactly the non-NULL ones the flags give.
  static RefPtr<CacheRowData> createIn(RowArena& arena, const RefPtr<CacheColumnList>& columns,
                                       const uint8_t* flags, uint8_t* cells, uint32_t length);
  // A copy in `arena`, its cells copied in one block, taking `columns`
  // (a list equal to its own, or its own). REQUIRES: `columns` has this
  // row's column names and types in the same order.
  RefPtr<CacheRowData> copyInto(RowArena& arena, RefPtr<CacheColumnList> columns) const;
  // A copy with its own flag and cell bytes, sharing the column list.
  RefPtr<CacheRowData> clone() const;
  // Ends row data whose last reference has gone: deleted, or, in an arena,
  // destroyed in place and the arena released.
  static void destroy(CacheRowData* row);

  uint32_t columnCount() const {
    return columns_->size();
  }
  const CacheColumnList& columnList() const { return *columns_; }
  // A counted reference to the column list, for rows that take the same.
  RefPtr<CacheColumnList> sharedColumnList() const { return columns_; }
  const CacheColumn& column(uint32_t i) const { return (*columns_)[i]; }
  bool sharesColumnsWith(const CacheRowData& other) const {
    return columns_.get() == other.columns_.get();
  }
  const NullFlagSet& flags() const { return flags_; }
  const uint8_t* cellBytes() const { return cells_; }
  int32_t cellByteLength() const { return static_cast<int32_t>(cellLength_); }

  // Finds cell i by walking the cells before it. Raises
  // LExc_Internal_BadArg "index out of range" for an index outside the
  // columns.
  CellLocation locateCell(int32_t i) const;
  // Bytes the located cell occupies: 0 when NULL, else its storage size, or
  // 4 plus its stored length for a variable type.
  uint32_t cellSize(const CellLocation& cell) const;
  // Calls visit(i, location) for every cell in column order, walking the
  // cells once (locateCell walks them again for each).
  template <class Visit>
  void forEachCell(Visit visit) const {
    uint32_t offset = 0;
    for (uint32_t i = 0; i < columnCount(); ++i) {
      const CellLocation cell{flags_.isSet(i), offset, column(i).type};
      visit(i, cell);
      offset += cellSize(cell);
    }
  }

  // Makes room for a value of cell i whose content is `length` bytes (used
  // by the variable types only) and returns where it goes. The caller writes
  // the value and then clears the flag. Reallocates the block only when the
  // cell's size changes. Raises for a type that cannot be stored.
  CellLocation resizeCell(int32_t i, uint32_t length);
  // Removes the bytes of cell i, if any; the flag is not touched.
  void removeCellBytes(int32_t i);
  // Writes `size` bytes of a cell made room for by resizeCell.
  uint8_t* cellAt(const CellLocation& cell) { return cells_ + cell.offset; }

  void setNullFlag(uint32_t i) { flags_.set(i); }
  void clearNullFlag(uint32_t i) { flags_.reset(i); }
  // Every cell NULL: all flags set, no cell bytes.
  void setAllNull();

  // Appends a NULL column. Either adds it with its grown flags or changes
  // nothing.
  void addColumn(const std::string& name, int32_t type);
  // Drops all columns, flags and cell bytes.
  void resetColumns();
  // Replaces the whole contents. REQUIRES: resetColumns() was called (the
  // column list is this row data's own), `flags` has one bit per column and
  // `cells` holds exactly the non-NULL cells that they describe.
  void replaceContents(std::vector<CacheColumn> columns, NullFlagSet flags,
                       ByteBlock cells);

 private:
  // Row data in `home` of `columns`, `flags` and the `length` bytes at
  // `cells`, which `home` holds.
  CacheRowData(RowArena& home, const RefPtr<CacheColumnList>& columns, NullFlagSet&& flags,
               uint8_t* cells, uint32_t length);
  // The same, placed in `home`.
  static RefPtr<CacheRowData> placeIn(RowArena& home, const RefPtr<CacheColumnList>& columns,
                                      NullFlagSet&& flags, uint8_t* cells, uint32_t length);

  // Gives this row data a column list of its own when the list is shared.
  void makeColumnsUnique();
  // Makes `cells` the row's own cell bytes.
  void ownCells(ByteBlock cells);

  RefPtr<RowArena> home_;  // the arena holding this object, if any
  uint8_t* cells_ = nullptr;  // the cell bytes: ownCells_'s or the arena's
  uint32_t cellLength_ = 0;
  ByteBlock ownCells_;
  NullFlagSet flags_;
  RefPtr<CacheColumnList> columns_;
};
