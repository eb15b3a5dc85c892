// SmartCache: a typed in-memory table.
//
// A table owns a template row that defines its columns (all its cells NULL)
// and an ordered store of rows. New rows are copies of the template row,
// filled through the typed setters and appended:
//
//   CacheRow row = table.templateRow();
//   row.setLong("TURN", 2401);
//   table.appendRow(row);
//
// Rows are shared, reference-counted handles (copy-on-write), so appending
// and handing out rows never copies cell bytes. One thread only.
#pragma once

#include <cstdint>
#include <vector>

#include "cache/cache_row.h"

// A slot of a table's row store, or the end (one past the last row). Valid
// until rows are added or removed.
class CachePosition {
 public:
  static CachePosition end() { return CachePosition(-1); }
  explicit CachePosition(int32_t slot) : slot_(slot) {}

  bool isEnd() const { return slot_ < 0; }
  // The row index; -1 at the end.
  int32_t slot() const { return slot_; }
  bool operator==(const CachePosition& o) const { return slot_ == o.slot_; }
  bool operator!=(const CachePosition& o) const { return slot_ != o.slot_; }

 private:
  int32_t slot_;
};

class RowArena;
class CacheColumnList;
struct TableAccess;

class SmartCache {
 public:
  // A table without columns and rows.
  SmartCache();
  SmartCache(const SmartCache&) = delete;
  SmartCache& operator=(const SmartCache&) = delete;
  ~SmartCache();

  // Exchanges the whole contents (columns and rows) of two tables.
  void swap(SmartCache& other) noexcept;

  // Adds a column to the template row. REQUIRES no rows: a table that holds
  // rows raises LExc_Internal_Unexpected "columns cannot be added to a cache
  // if the cache is not empty" and is left as it was.
  void addColumn(const std::string& name, int32_t type);
  // Removes all columns and rows: the table's schema is then redefined with
  // addColumn.
  void resetSchema();
  // Makes the table's template row share `row`'s data, so that the table
  // takes `row`'s columns. REQUIRES no rows (raises as addColumn does).
  void setTemplateRow(const CacheRow& row);

  // A handle sharing the template row's data: the starting point of a row.
  CacheRow templateRow() const { return templateRow_; }
  uint32_t columnCount() const { return templateRow_.columnCount(); }
  // Index of the first column named `name`, or -1 when there is none.
  int32_t findColumn(const std::string& name) const;
  int32_t rowCount() const { return static_cast<int32_t>(rows_.size()); }

  // Appends a handle to `row`'s data (shared, not copied).
  void appendRow(const CacheRow& row);
  // Appends a copy of `row` in the table's columns: the row that a copy of
  // the template row given `row`'s values by assignByName would be (and
  // raises as that would). The copy's memory is the table's own, so that
  // it keeps nothing of `row`'s alive; a row with the table's columns (the
  // same names and types in the same order) is copied in one block.
  void appendCopy(const CacheRow& row);
  // Makes the row at `index` share `row`'s data: a row read with rowAt and
  // changed (which gave its handle data of its own) is written back in its
  // place. Any other index raises LExc_Internal_BadArg "Position invalid.".
  void replaceRow(int32_t index, const CacheRow& row);
  // Removes all rows.
  void clearRows();
  // Makes room for `rows` rows (a hint; failure to get it is no error).
  void reserveRows(int32_t rows);

  CachePosition begin() const;
  CachePosition end() const { return CachePosition::end(); }
  // The following slot; the last row's next is the end, and so is the
  // end's.
  CachePosition next(CachePosition position) const;
  // The preceding slot; the first row's prev is the end.
  CachePosition prev(CachePosition position) const;

  // A handle to the row at `position`; the end raises LExc_Internal_BadArg
  // "Position invalid.".
  CacheRow rowAt(CachePosition position) const;
  // A handle to the row at `index`, 0 … rowCount() - 1; any other index
  // raises LExc_Internal_BadArg "Position invalid.".
  CacheRow rowAt(int32_t index) const;

  // The first row, in store order, that is the pattern's own data or that
  // matches it (CacheRow::matchesPattern); the end if none does.
  CachePosition findFirst(const CacheRow& pattern) const;

 private:
  friend struct TableAccess;

  // True when `row`'s columns are the template's, by content.
  bool hasTemplateColumns(const CacheRowData& row);

  CacheRow templateRow_;
  std::vector<CacheRow> rows_;
  RefPtr<RowArena> arena_;  // the memory of copied rows, made on the first
  // The last column list found equal to the template's, other than its own.
  RefPtr<CacheColumnList> agreeing_;
};
