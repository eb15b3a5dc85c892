// A handle to the contents of one table row.
//
// Copying a handle shares the row data (one reference more); every operation
// that changes a row first gives its handle a copy of its own (makeUnique),
// so a change through one handle is never seen through another. Cells are
// read and written only through the typed accessors, each of which accepts
// exactly one column type; there is no implicit conversion.
//
// A handle always refers to row data: it has no empty or moved-from state.
// Moving a handle copies it (one reference more), so the source stays a
// valid handle to the same row.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "cache/byte_buffer.h"
#include "cache/date_time.h"
#include "cache/ref_ptr.h"

class CacheRowData;
// Row data may live in a table's arena: its last reference ends it there.
template <>
struct RefDestroy<CacheRowData> {
  static void destroy(CacheRowData* row);
};
struct CellAccessor;
struct CellLocation;
struct RowAccess;

class CacheRow {
 public:
  // A handle to new row data without columns.
  static CacheRow createEmpty();

  CacheRow(const CacheRow& other) noexcept;
  CacheRow& operator=(const CacheRow& other) noexcept;
  ~CacheRow();
  void swap(CacheRow& other) noexcept { data_.swap(other.data_); }

  uint32_t columnCount() const;
  // Index of the first column named exactly `name`; raises
  // LExc_Internal_Unexpected "Column \"<name>\" not found" when there is none.
  int32_t columnIndex(const std::string& name) const;
  // Name and type of column i; an index outside the columns raises
  // LExc_Internal_Unexpected "index out of range".
  const std::string& columnName(int32_t i) const;
  int32_t columnType(int32_t i) const;

  // The NULL flag of cell i; an index outside the columns raises
  // LExc_Internal_BadArg "index out of range".
  bool isNull(int32_t i) const;
  // Makes cell i NULL.
  void setNull(int32_t i);

  // Appends a column whose cell is NULL (used on a table's template row).
  void addColumn(const std::string& name, int32_t type);
  // Drops all columns, flags and cells (used on a table's template row).
  void resetColumns();

  // True when this row is the pattern's very data, or when every non-NULL
  // cell of the pattern is non-NULL and byte-equal here. Columns are matched
  // by index when both rows share their column list, else by name (a missing
  // name raises "Column ... not found", a different type raises the
  // "different types" error).
  bool matchesPattern(const CacheRow& pattern) const;

  // Typed getters. A NULL cell raises LExc_Internal_Unexpected "access to
  // NULL field ..."; a column of another type raises
  // LExc_Internal_BadConversion "Conversion error ...".
  int32_t getLong(int32_t i) const;
  std::string getString(int32_t i) const;  // ends at a stored zero byte
  // The text getString copies, where it lies in the row's data. It stays
  // valid and unchanged while this handle (or a copy of it) refers to the
  // data: rows are copy-on-write, so a change through another handle
  // changes a copy.
  std::string_view textView(int32_t i) const;
  double getDouble(int32_t i) const;
  Blob getBlob(int32_t i) const;
  LDat getDate(int32_t i) const;
  LTim getTime(int32_t i) const;
  Timestamp getTimestamp(int32_t i) const;

  // Typed setters. A column of another type raises
  // LExc_Internal_BadConversion whose text is the column type's name; the
  // row is then unchanged. setString with a null text makes the cell NULL,
  // whatever the column's type.
  void setLong(int32_t i, int32_t value);
  void setString(int32_t i, const char* text);
  void setString(int32_t i, const std::string& text) { setString(i, text.c_str()); }
  void setDouble(int32_t i, double value);
  void setBlob(int32_t i, const Blob& value);
  void setDate(int32_t i, const LDat& value);
  void setTime(int32_t i, const LTim& value);
  void setTimestamp(int32_t i, const Timestamp& value);

  // The same by column name: columnIndex(name), then the operation.
  int32_t getLong(const std::string& name) const { return getLong(columnIndex(name)); }
  std::string getString(const std::string& name) const { return getString(columnIndex(name)); }
  double getDouble(const std::string& name) const { return getDouble(columnIndex(name)); }
  Blob getBlob(const std::string& name) const { return getBlob(columnIndex(name)); }
  LDat getDate(const std::string& name) const { return getDate(columnIndex(name)); }
  LTim getTime(const std::string& name) const { return getTime(columnIndex(name)); }
  Timestamp getTimestamp(const std::string& name) const { return getTimestamp(columnIndex(name)); }
  void setLong(const std::string& name, int32_t v) { setLong(columnIndex(name), v); }
  void setString(const std::string& name, const char* v) { setString(columnIndex(name), v); }
  void setString(const std::string& name, const std::string& v) { setString(columnIndex(name), v); }
  void setDouble(const std::string& name, double v) { setDouble(columnIndex(name), v); }
  void setBlob(const std::string& name, const Blob& v) { setBlob(columnIndex(name), v); }
  void setDate(const std::string& name, const LDat& v) { setDate(columnIndex(name), v); }
  void setTime(const std::string& name, const LTim& v) { setTime(columnIndex(name), v); }
  void setTimestamp(const std::string& name, const Timestamp& v) { setTimestamp(columnIndex(name), v); }
  bool isNull(const std::string& name) const { return isNull(columnIndex(name)); }
  void setNull(const std::string& name) { setNull(columnIndex(name)); }

  // Cell i as text for the debug dump: "<NULL>", "%d", "%.2f", the text,
  // "[blob 01AB]" (at most 10 bytes shown), the date, time and timestamp
  // texts, or "unknown type". A non-NULL cell of code 9, 10 or 11 raises the
  // date, time or timestamp getter's conversion error.
  std::string cellText(int32_t i) const;

  // Gives this handle row data of its own if others share it; the contents
  // stay the same. On failure the handle keeps the shared data.
  void makeUnique();
  bool sharesDataWith(const CacheRow& other) const { return data_.get() == other.data_.get(); }
  // Handles (the template row included) that share this row's data.
  int32_t shareCount() const;
  // True when both rows refer to one column list (rows of one table made
  // from its template row or loaded with its columns).
  bool sharesColumnsWith(const CacheRow& other) const;

 private:
  // The table library reaches the row data through RowAccess
  // (cache/row_access.h); nothing outside it can, so that the data's
  // invariants (a cleared NULL flag always has its bytes) hold.
  friend struct RowAccess;

  explicit CacheRow(RefPtr<CacheRowData> data);

  // Checks the located cell i for a read through `accessor`; returns its
  // bytes.
  const uint8_t* readableCell(int32_t i, const CellLocation& cell,
                              const CellAccessor& accessor) const;
  // cellText of the located cell i.
  std::string cellText(int32_t i, const CellLocation& cell) const;
  // Stores a value of `length` content bytes through `accessor`; `write`
  // fills the cell's bytes.
  template <class Write>
  void storeCell(int32_t i, const CellAccessor& accessor, uint32_t length, Write write);

  RefPtr<CacheRowData> data_;
};
