// Column definitions, shared between the rows of one table.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct CacheColumn {
  std::string name;  // compared byte-wise and case-sensitively
  int32_t type = 0;  // an ODBC C-type code, not validated
};

// The ordered columns of a row. Row data refers to its list through a
// RefPtr; a list is changed only when one row data alone refers to it.
//
// Looking a name up takes constant time on long lists: the first lookup
// builds an index of the names, which every change drops. A table whose
// file names many thousands of columns is thus read in time proportional
// to its size.
class CacheColumnList {
 public:
  int32_t refCount = 0;

  CacheColumnList() = default;
  // A copy of the columns (not of the index). Raises LExc_Internal_Mem.
  CacheColumnList(const CacheColumnList& other);
  CacheColumnList& operator=(const CacheColumnList&) = delete;

  const std::vector<CacheColumn>& columns() const { return columns_; }
  uint32_t size() const { return static_cast<uint32_t>(columns_.size()); }
  const CacheColumn& operator[](uint32_t i) const { return columns_[i]; }

  // Index of the first column named `name`, or -1. Never fails: without
  // memory for the index it looks the name up column by column.
  int32_t find(const std::string& name) const;

  // Makes room for one more column. Raises LExc_Internal_Mem.
  void reserveOneMore();
  // Appends `column`. REQUIRES: room for it (reserveOneMore), so that it
  // cannot fail.
  void append(CacheColumn column) noexcept;
  // Makes `columns` the list's columns.
  void assign(std::vector<CacheColumn> columns) noexcept;
  void clear() noexcept;

 private:
  // Lists shorter than this are searched column by column.
  static constexpr size_t kIndexedFrom = 32;

  int32_t scan(const std::string& name) const;
  bool buildIndex() const;
  void dropIndex() const noexcept;

  std::vector<CacheColumn> columns_;
  // An open-addressing hash table of the names: a power of two of slots,
  // at least twice the columns, each 0 (free) or 1 + the index of the first
  // column of a name. Empty until a lookup needs it.
  mutable std::vector<int32_t> index_;
};
