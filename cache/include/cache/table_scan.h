// Reading the rows of a table stream where they lie, without building a
// table: for tools that look through many stored tables for a few rows.
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string_view>
#include <vector>

#include "cache/smartcache.h"

// One row of a scanned stream, in the columns of the stream's template
// record, with the values a load would give it. Valid only during the call
// that hands it out: its bytes are the scan's.
class ScannedRow {
 public:
  // REQUIRES: no text cell holds a zero byte (the scan cuts such a text at
  // it before the row is passed on, as a load does).
  ScannedRow(const uint8_t* flags, const uint8_t* cells, uint32_t cellLength,
             const uint32_t* offsets, const int32_t* types, uint32_t columnCount)
      : flags_(flags), cells_(cells), cellLength_(cellLength), offsets_(offsets), types_(types),
        count_(columnCount) {}

  uint32_t columnCount() const { return count_; }
  // REQUIRES for all: column < columnCount().
  bool isNull(uint32_t column) const {
    return (flags_[column / 8] & (0x80u >> (column % 8))) != 0;
  }
  int32_t columnType(uint32_t column) const { return types_[column]; }
  // A long cell's value; none when NULL. REQUIRES a column of SQL_C_LONG.
  std::optional<int32_t> longValue(uint32_t column) const;
  // A text cell's bytes up to its first zero byte, as getString gives
  // them; empty when NULL. REQUIRES a column of SQL_C_CHAR.
  std::string_view text(uint32_t column) const;

 private:
  friend bool appendScannedRows(SmartCache& table, std::istream& in,
                                const std::function<bool(const ScannedRow&)>& wanted);

  const uint8_t* flags_;
  const uint8_t* cells_;
  uint32_t cellLength_;
  const uint32_t* offsets_;  // per column, where its cell begins
  const int32_t* types_;
  uint32_t count_;
};

// Reads the whole stream `in` as loadFromStream would, and raises as it
// does for a stream that it would refuse, but builds no table: `onTemplate`
// gets the template row (its columns name the columns of every row), then
// `onRow` each row in stored order. A refused stream may have passed some
// rows to `onRow` before the error: a caller that must not act on a
// damaged stream keeps what it found until the scan has returned.
void scanTableStream(std::istream& in, const std::function<void(const CacheRow&)>& onTemplate,
                     const std::function<void(const ScannedRow&)>& onRow);

// Scans the stream `in` and appends to `table` a copy of every row that
// `wanted` accepts, each copied in one block into the table's own memory.
// The stream's template must name the table's columns (the same names and
// types in the same order); when it does not, nothing is appended and the
// result is false, so that the caller reads the stream as a table instead.
// Raises as scanTableStream does; the table then keeps none of the rows of
// the stream.
bool appendScannedRows(SmartCache& table, std::istream& in,
                       const std::function<bool(const ScannedRow&)>& wanted);
