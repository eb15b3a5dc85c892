#include "cache/cache_stream.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <new>
#include <ostream>

#include "cache/le_bytes.h"
#include "cache/row_access.h"
#include "cache/row_record.h"
#include "cache/stream_reader.h"
#include "cache/table_access.h"
#include "cache/table_scan.h"
#include "cache/type_codes.h"

namespace {

// Flag bytes read into the stack rather than a block of their own: those
// of rows up to 511 columns.
constexpr uint32_t kFlagBytesOnStack = 64;

// ---- Writing --------------------------------------------------------------

// The bytes going to a caller's stream, whose state keeps any write error
// for the caller to check. They are gathered in pieces, so that the stream
// is called once a piece rather than a few times a cell: 16 KB on the
// stack, and each time a piece is full, one four times as large from the
// heap, up to 4 MB. A small table so takes little memory, and a large one
// goes to a file in a few large writes (pieces of 4 MB save a large table
// faster than pieces of 1 MB). Without the memory for a larger piece the
// last one goes on.
class StreamOut {
 public:
  explicit StreamOut(std::ostream& out) : out_(out) {}
  StreamOut(const StreamOut&) = delete;
  StreamOut& operator=(const StreamOut&) = delete;
  ~StreamOut() {
    try {
      flush();
    } catch (...) {
      // A stream that raises on errors: its state says the rest.
    }
  }

  void write(const void* bytes, size_t count) {
    if (count == 0) return;  // `bytes` may then be null
    const char* from = static_cast<const char*>(bytes);
    if (used_ + count > capacity_) {
      flush();
      grow();
    }
    if (count >= capacity_) {
      out_.write(from, static_cast<std::streamsize>(count));
      return;
    }
    std::memcpy(piece_ + used_, from, count);
    used_ += count;
  }
  void flush() {
    if (used_ > 0) out_.write(piece_, static_cast<std::streamsize>(used_));
    used_ = 0;
  }

 private:
  static constexpr size_t kSmall = 16 * 1024;
  static constexpr size_t kLargest = 4 * 1024 * 1024;

  // REQUIRES: the piece is empty.
  void grow() {
    if (capacity_ >= kLargest) return;
    const size_t larger = std::min(4 * capacity_, kLargest);
    try {
      large_.reset(new char[larger]);
    } catch (const std::bad_alloc&) {
      return;
    }
    piece_ = large_.get();
    capacity_ = larger;
  }

  std::ostream& out_;
  char small_[kSmall];
  std::unique_ptr<char[]> large_;
  char* piece_ = small_;
  size_t capacity_ = kSmall;
  size_t used_ = 0;
};

// The bytes going into a string of the library's own. Unlike a string
// stream, which would swallow a failed allocation and come out short, it
// raises LExc_Internal_Mem.
class StringOut {
 public:
  explicit StringOut(std::string& bytes) : bytes_(bytes) {}
  void write(const void* bytes, size_t count) {
    if (count == 0) return;
    if (bytes_.size() + count > bytes_.capacity()) {
      const size_t wanted = std::max(bytes_.size() + count, 2 * bytes_.capacity());
      guardAlloc(wanted, site::kCopyCells, [&] { bytes_.reserve(wanted); });
    }
    bytes_.append(static_cast<const char*>(bytes), count);
  }

 private:
  std::string& bytes_;
};

template <class Out>
void writeInt32(int32_t value, Out& out) {
  uint8_t bytes[4];
  putU32(bytes, static_cast<uint32_t>(value));
  out.write(bytes, sizeof bytes);
}

template <class Out>
void writeCounted(const char* text, Out& out) {
  const size_t length = text ? std::strlen(text) : 0;
  writeInt32(static_cast<int32_t>(length), out);
  out.write(text, length);
}

// The bytes every record of `columns` begins with: "SR", the column count,
// per column its name and type, and the NULL-flag bit count.
template <class Out>
void writeHead(const CacheColumnList& columns, Out& out) {
  writeCounted("SR", out);
  writeInt32(static_cast<int32_t>(columns.size()), out);
  for (const CacheColumn& column : columns.columns()) {
    writeCounted(column.name.c_str(), out);
    writeInt32(column.type, out);
  }
  writeInt32(static_cast<int32_t>(columns.size()), out);
}

// The flags, the cell length and the cells of a record.
template <class Out>
void writeFlagsAndCells(const CacheRowData& row, Out& out) {
  // Always (bits div 8) + 1 flag bytes, so that a record without columns
  // still carries the one byte that its reader expects.
  const NullFlagSet& flags = row.flags();
  const uint32_t flagBytes = NullFlagSet::bytesFor(flags.bitCount());
  out.write(flags.bytes(), std::min(flags.byteSize(), flagBytes));
  for (uint32_t k = flags.byteSize(); k < flagBytes; ++k) out.write("", 1);
  writeInt32(row.cellByteLength(), out);
  out.write(row.cellBytes(), static_cast<size_t>(row.cellByteLength()));
}

template <class Out>
void writeRecord(const CacheRowData& row, Out& out) {
  writeCounted("SR", out);
  writeInt32(static_cast<int32_t>(row.columnCount()), out);
  for (const CacheColumn& column : row.columnList().columns()) {
    writeCounted(column.name.c_str(), out);
    writeInt32(column.type, out);
  }
  writeInt32(static_cast<int32_t>(row.flags().bitCount()), out);
  writeFlagsAndCells(row, out);
}

void prefetchRow(const CacheRow& row) {
#if defined(__GNUC__)
  __builtin_prefetch(&rowData(row));
#endif
}

// The cache lines of a row's cells, up to 4 KB (a message's cells are
// about 1 KB): the cells of a table built in memory lie all over the heap,
// where the processor does not see them coming, and fetching only their
// first lines left the copy waiting for the rest.
void prefetchCells(const CacheRow& row) {
#if defined(__GNUC__)
  const CacheRowData& data = rowData(row);
  const int32_t length = std::min(data.cellByteLength(), int32_t{4096});
  for (int32_t at = 0; at < length; at += 64) __builtin_prefetch(data.cellBytes() + at);
#endif
}

template <class Out>
void writeTable(const SmartCache& table, Out& out) {
  writeCounted("SC", out);
  writeInt32(table.rowCount(), out);
  const CacheRowData& own = rowData(table.templateRow());
  writeRecord(own, out);
  // The rows of the table's own columns (all rows the program makes) begin
  // with the same bytes: made once, written as one piece.
  std::string head;
  StringOut headOut(head);
  writeHead(own.columnList(), headOut);
  const std::vector<CacheRow>& rows = TableAccess::rows(table);
  constexpr size_t kAhead = 4;  // rows whose objects and cells are fetched ahead
  for (size_t k = 0; k < rows.size(); ++k) {
    if (k + 2 * kAhead < rows.size()) prefetchRow(rows[k + 2 * kAhead]);
    if (k + kAhead < rows.size()) prefetchCells(rows[k + kAhead]);
    const CacheRowData& row = rowData(rows[k]);
    if (row.sharesColumnsWith(own) && row.flags().bitCount() == row.columnCount()) {
      out.write(head.data(), head.size());
      writeFlagsAndCells(row, out);
    } else {
      writeRecord(row, out);
    }
  }
}

// ---- Reading --------------------------------------------------------------

// What reading a column's cells needs to know of its type.
struct ColumnShape {
  bool storable;   // a type whose cells can hold a value
  bool text;       // SQL_C_CHAR: a stored zero byte ends its value
  uint32_t fixed;  // its cells' size, 0 for a length and bytes
};

std::vector<ColumnShape> shapesOf(const std::vector<CacheColumn>& columns) {
  std::vector<ColumnShape> shapes;
  guardAlloc(columns.size() * sizeof(ColumnShape), site::kNewColumnList,
             [&] { shapes.reserve(columns.size()); });
  for (const CacheColumn& column : columns) {
    const int32_t type = column.type;
    const bool storable = isStorableType(type);
    shapes.push_back(ColumnShape{storable, type == SQL_C_CHAR, storable ? storageSize(type) : 0});
  }
  return shapes;
}

// The columns a record names, worked out once for all the records that
// begin with the same bytes.
struct RecordShape {
  RefPtr<CacheColumnList> columns;
  std::vector<ColumnShape> cells;
  std::string head;  // the bytes from "SR" up to and with the bit count
  // Per column of the table's template, the column of this shape whose
  // value it takes (assignByName's match), or -1.
  std::vector<int32_t> source;
};

// The column of `source` whose value assignByName gives column j of
// `destination`: the column at the same position when it bears the same
// name, else the first of that name; -1 when there is none. Taking the
// same position first makes rows with the same columns copy straight
// across, also when names repeat.
int32_t matchingColumn(const CacheColumnList& source, const CacheColumnList& destination,
                       uint32_t j) {
  const std::string& name = destination[j].name;
  if (j < source.size() && source[j].name == name) return static_cast<int32_t>(j);
  return source.find(name);
}

std::vector<int32_t> matchColumns(const CacheColumnList& source,
                                  const CacheColumnList& destination) {
  std::vector<int32_t> matched;
  guardAlloc(destination.size() * sizeof(int32_t), site::kNewColumnList,
             [&] { matched.reserve(destination.size()); });
  for (uint32_t j = 0; j < destination.size(); ++j) {
    matched.push_back(matchingColumn(source, destination, j));
  }
  return matched;
}

RecordShape shapeOf(RefPtr<CacheColumnList> columns, const CacheColumnList& destination) {
  RecordShape shape;
  shape.cells = shapesOf(columns->columns());
  StringOut head(shape.head);
  writeHead(*columns, head);
  shape.source = matchColumns(*columns, destination);
  shape.columns = std::move(columns);
  return shape;
}

// The fewest bytes a column entry takes: a name length, a name of at
// least one byte and a type code.
constexpr uint32_t kSmallestColumn = 4 + 1 + 4;
// The fewest bytes after a record's column entries: the bit count, one
// flag byte and the cell length.
constexpr uint32_t kSmallestRecordTail = 4 + 1 + 4;

// Reads a record's columns, from "SR" up to and with the bit count. A
// column without a name or of a code no table knows, or more columns than
// the bytes left could hold, raise "invalid stream" before the columns
// take memory: zero bytes read as columns would otherwise make a column of
// 40 bytes out of every 8.
std::vector<CacheColumn> readColumns(StreamReader& reader) {
  if (reader.readCountedString() != "SR") raiseInvalidStream(site::kStreamBadRecord);
  const int32_t count = reader.readCountOf(kSmallestColumn, kSmallestRecordTail);
  std::vector<CacheColumn> columns;
  for (int32_t j = 0; j < count; ++j) {
    CacheColumn column;
    column.name = reader.readCountedString();
    column.type = reader.readInt32();
    if (column.name.empty() || !isKnownType(column.type)) {
      raiseInvalidStream(site::kStreamBadRecord);
    }
    if (columns.size() == columns.capacity()) {
      const size_t grown = std::max<size_t>(16, 2 * columns.size());
      guardAlloc(grown * sizeof(CacheColumn), site::kNewColumnList,
                 [&] { columns.reserve(grown); });
    }
    columns.push_back(std::move(column));
  }
  if (reader.readUInt32() != static_cast<uint32_t>(count)) {
    raiseInvalidStream(site::kStreamBadRecord);
  }
  return columns;
}

RefPtr<CacheColumnList> newColumnList(std::vector<CacheColumn> columns) {
  RefPtr<CacheColumnList> list(allocObject<CacheColumnList>(site::kNewColumnList));
  list->assign(std::move(columns));
  return list;
}

// How the cells of a record agree with its flags and column types.
enum class CellCheck {
  kInvalid,   // they disagree: a damaged record
  kExact,     // exactly what assignByName would make of them
  kToAssign,  // valid, but to be copied through assignByName
};

// Steps over the counted cell (a 32-bit length, then that many bytes) at
// `offset` of the `length` bytes at `cells`: false when it does not fit in
// them, else true with `offset` past it and `exact` cleared for a text
// that holds a zero byte.
bool passCounted(const uint8_t* cells, uint32_t length, bool text, uint64_t& offset, bool& exact) {
  if (offset + 4 > length) return false;
  const uint32_t size = getU32(cells + offset);
  if (offset + 4 + size > length) return false;
  if (text && size > 0 && std::memchr(cells + offset + 4, 0, size) != nullptr) exact = false;
  offset += 4 + uint64_t{size};
  return true;
}

// The one check of a record's cells: the non-NULL cells that the flag
// bytes `flags` (bytesFor(shapes.size()) of them) and the column shapes
// describe must fill `cells` exactly, every length
// included. They are exact when no flag is set beyond the columns and no
// text holds a zero byte (the typed copy ends a text there).
CellCheck checkCells(const std::vector<ColumnShape>& shapes, const uint8_t* flags,
                     const uint8_t* cells, uint32_t length) {
  const uint32_t count = static_cast<uint32_t>(shapes.size());
  bool exact = NullFlagSet::clearBeyondCountIn(flags, count, NullFlagSet::bytesFor(count));
  uint64_t offset = 0;
  for (uint32_t j = 0; j < count; ++j) {
    if (NullFlagSet::isSetIn(flags, j)) continue;
    const ColumnShape& shape = shapes[j];
    if (!shape.storable) return CellCheck::kInvalid;
    if (shape.fixed != 0) {
      offset += shape.fixed;
      if (offset > length) return CellCheck::kInvalid;
      continue;
    }
    if (!passCounted(cells, length, shape.text, offset, exact)) return CellCheck::kInvalid;
  }
  if (offset != length) return CellCheck::kInvalid;
  return exact ? CellCheck::kExact : CellCheck::kToAssign;
}

// How the cells of a record lie for one value of its NULL flags: the runs
// of fixed-size cells before each counted one (texts and blobs) and after
// the last. Nearly all rows of a table have the same NULLs, so the layout
// is worked out once for the first record with those flags and checks the
// cells of the others without looking at each column again. It gives
// exactly what checkCells gives.
class CellLayout {
 public:
  // Flag sets of at most this many bytes (rows of up to 63 columns) have
  // a layout; the others are checked column by column.
  static constexpr uint32_t kMaxFlagBytes = 8;

  // True when the layout is that of `flags`, of `size` bytes.
  bool fits(const uint8_t* flags, uint32_t size) const {
    return built_ && keyOf(flags, size) == key_;
  }

  // Works out the layout of records of `shapes` whose flags are the
  // `size` bytes `flags`, size <= kMaxFlagBytes and == bytesFor(count).
  void build(const std::vector<ColumnShape>& shapes, const uint8_t* flags, uint32_t size) {
    built_ = false;
    counted_.clear();
    const auto count = static_cast<uint32_t>(shapes.size());
    invalid_ = false;
    exact_ = NullFlagSet::clearBeyondCountIn(flags, count, size);
    uint32_t fixed = 0;
    for (uint32_t j = 0; j < count; ++j) {
      if (NullFlagSet::isSetIn(flags, j)) continue;
      const ColumnShape& shape = shapes[j];
      if (!shape.storable) {
        invalid_ = true;
        break;
      }
      if (shape.fixed != 0) {
        fixed += shape.fixed;
        continue;
      }
      if (counted_.size() == counted_.capacity()) {
        const size_t grown = std::max<size_t>(4, 2 * counted_.size());
        guardAlloc(grown * sizeof(Counted), site::kNewColumnList, [&] { counted_.reserve(grown); });
      }
      counted_.push_back(Counted{fixed, shape.text});
      fixed = 0;
    }
    fixedAfter_ = fixed;
    key_ = keyOf(flags, size);
    built_ = true;
  }

  // checkCells of `length` bytes of cells at `cells`. REQUIRES: fits().
  CellCheck check(const uint8_t* cells, uint32_t length) const {
    if (invalid_) return CellCheck::kInvalid;
    bool exact = exact_;
    uint64_t offset = 0;
    for (const Counted& cell : counted_) {
      offset += cell.fixedBefore;
      if (!passCounted(cells, length, cell.text, offset, exact)) return CellCheck::kInvalid;
    }
    if (offset + fixedAfter_ != length) return CellCheck::kInvalid;
    return exact ? CellCheck::kExact : CellCheck::kToAssign;
  }

 private:
  struct Counted {
    uint32_t fixedBefore;  // bytes of fixed-size cells before it
    bool text;
  };

  static uint64_t keyOf(const uint8_t* flags, uint32_t size) {
    uint64_t key = 0;
    for (uint32_t k = 0; k < size; ++k) key |= uint64_t{flags[k]} << (8 * k);
    return key;
  }

  bool built_ = false;
  uint64_t key_ = 0;
  bool invalid_ = false;  // a non-NULL cell of a type that holds no value
  bool exact_ = true;     // no flag set beyond the columns
  std::vector<Counted> counted_;
  uint32_t fixedAfter_ = 0;
};

// The layouts of the few flag values a run of records has (a table's
// rows with and without their optional values), the oldest replaced.
class CellLayouts {
 public:
  // The layout of records of `shapes` with the `size` flag bytes `flags`.
  // REQUIRES: size <= CellLayout::kMaxFlagBytes and == bytesFor(count).
  const CellLayout& of(const std::vector<ColumnShape>& shapes, const uint8_t* flags,
                       uint32_t size) {
    for (const CellLayout& layout : layouts_) {
      if (layout.fits(flags, size)) return layout;
    }
    CellLayout& layout = layouts_[next_];
    next_ = (next_ + 1) % kLayouts;
    layout.build(shapes, flags, size);
    return layout;
  }

 private:
  static constexpr size_t kLayouts = 4;
  std::array<CellLayout, kLayouts> layouts_;
  size_t next_ = 0;
};

// Where a record's flags (bytesFor(column count) bytes) and its `length`
// bytes of cells lie.
struct RecordView {
  const uint8_t* flags;
  const uint8_t* cells;
  uint32_t length;
};

// A record's flags and cells, after its columns. They are in place in the
// bytes of a reader in memory, else in `ownFlags` and `own`.
struct RecordCells {
  const uint8_t* inPlaceFlags = nullptr;
  NullFlagSet ownFlags;
  const uint8_t* cells = nullptr;
  uint32_t length = 0;
  ByteBlock own;
  CellCheck check = CellCheck::kInvalid;

  // The flag bytes, NullFlagSet::bytesFor(column count) of them.
  const uint8_t* flags() const { return inPlaceFlags != nullptr ? inPlaceFlags : ownFlags.bytes(); }
  RecordView view() const { return RecordView{flags(), cells, length}; }
  // The flags as a set of their own, of `count` columns.
  NullFlagSet flagSet(uint32_t count) const {
    return NullFlagSet(count, flags(), NullFlagSet::bytesFor(count), site::kCopyFlags);
  }

  // The cells as a block of their own.
  ByteBlock takeBlock() {
    if (cells == own.data()) return std::move(own);
    ByteBlock block = allocBlock(length, site::kCopyCells, false);
    if (length > 0) std::memcpy(block.data(), cells, length);
    return block;
  }
};

// Reads the flags and cells of a record of `shapes`; cells that disagree
// with them raise "invalid stream".
RecordCells readCells(StreamReader& reader, const std::vector<ColumnShape>& shapes) {
  const uint32_t count = static_cast<uint32_t>(shapes.size());
  const uint32_t flagBytes = NullFlagSet::bytesFor(count);
  RecordCells record;
  if (reader.inMemory()) {
    record.inPlaceFlags = reader.take(flagBytes);
    record.length = static_cast<uint32_t>(reader.readCountOf(1, 0));
    record.cells = reader.take(record.length);
  } else {
    if (flagBytes <= kFlagBytesOnStack) {
      uint8_t bytes[kFlagBytesOnStack];
      reader.read(bytes, flagBytes);
      record.ownFlags = NullFlagSet(count, bytes, flagBytes, site::kCopyFlags);
    } else {
      const ByteBlock bytes = reader.readBlock(flagBytes, site::kCopyFlags);
      record.ownFlags = NullFlagSet(count, bytes.data(), flagBytes, site::kCopyFlags);
    }
    record.own = reader.readBlock(static_cast<uint32_t>(reader.readCount()), site::kCopyCells);
    record.cells = record.own.data();
    record.length = static_cast<uint32_t>(record.own.size());
  }
  record.check = checkCells(shapes, record.flags(), record.cells, record.length);
  if (record.check == CellCheck::kInvalid) raiseInvalidStream(site::kStreamBadRecord);
  return record;
}

// The bytes a non-NULL cell takes from `at` on.
uint32_t cellSize(const ColumnShape& shape, const uint8_t* at) {
  return shape.fixed != 0 ? shape.fixed : 4 + getU32(at);
}

// The row data that assignByName makes of a valid row (`flags`, `cells`,
// columns of `shapes`) for `destination`'s columns, in one pass over the
// cells: per destination column j, the value of source column source[j].
// A value whose type the destination column does not take is handed to
// `refuse(j, i)`, which raises.
template <class Refuse>
RefPtr<CacheRowData> assignCells(const CacheRowData& destination, const std::vector<int32_t>& source,
                                 const std::vector<ColumnShape>& shapes,
                                 const std::vector<CacheColumn>& sourceColumns,
                                 const uint8_t* flags, const uint8_t* cells, Refuse refuse) {
  // Where each non-NULL source cell begins.
  std::vector<uint32_t> offsets;
  guardAlloc(shapes.size() * sizeof(uint32_t), site::kCopyCells,
             [&] { offsets.resize(shapes.size()); });
  uint32_t offset = 0;
  for (uint32_t i = 0; i < shapes.size(); ++i) {
    if (NullFlagSet::isSetIn(flags, i)) continue;
    offsets[i] = offset;
    offset += cellSize(shapes[i], cells + offset);
  }

  // The bytes each destination cell takes; a text ends at a zero byte.
  const auto copied = [&](int32_t i) -> uint64_t {
    const ColumnShape& shape = shapes[static_cast<uint32_t>(i)];
    const uint8_t* at = cells + offsets[static_cast<uint32_t>(i)];
    if (!shape.text) return cellSize(shape, at);
    const void* zero = std::memchr(at + 4, 0, getU32(at));
    return zero ? static_cast<uint64_t>(static_cast<const uint8_t*>(zero) - at)
                : uint64_t{cellSize(shape, at)};
  };
  const uint32_t count = destination.columnCount();
  uint64_t total = 0;
  for (uint32_t j = 0; j < count; ++j) {
    const int32_t i = source[j];
    if (i < 0 || NullFlagSet::isSetIn(flags, static_cast<uint32_t>(i))) continue;
    const int32_t type = destination.column(j).type;
    if (!isStorableType(type)) continue;  // columns of other codes stay NULL
    if (type != sourceColumns[static_cast<uint32_t>(i)].type) refuse(j, i);
    total += copied(i);
  }

  NullFlagSet resultFlags = destination.flags().copy(site::kCopyFlags);
  resultFlags.setAll();
  ByteBlock result = allocBlock(total, site::kCopyCells, false);
  uint8_t* out = result.data();
  for (uint32_t j = 0; j < count; ++j) {
    const int32_t i = source[j];
    if (i < 0 || NullFlagSet::isSetIn(flags, static_cast<uint32_t>(i))) continue;
    if (!isStorableType(destination.column(j).type)) continue;
    const uint8_t* at = cells + offsets[static_cast<uint32_t>(i)];
    const uint64_t size = copied(i);
    std::memcpy(out, at, size);
    if (shapes[static_cast<uint32_t>(i)].text) putU32(out, static_cast<uint32_t>(size - 4));
    out += size;
    resultFlags.reset(j);
  }
  return CacheRowData::create(destination.sharedColumnList(), std::move(resultFlags),
                              std::move(result));
}

// Copies the value of cell i of `source` into cell j of `destination`
// through the typed accessors of the destination column's type. Used to
// raise the typed accessors' own error for a value whose type the
// destination column does not take.
void copyTyped(CacheRow& destination, int32_t j, const CacheRow& source, int32_t i) {
  switch (destination.columnType(j)) {
    case SQL_C_LONG: destination.setLong(j, source.getLong(i)); break;
    case SQL_C_CHAR: destination.setString(j, source.getString(i)); break;
    case SQL_C_DOUBLE: destination.setDouble(j, source.getDouble(i)); break;
    case SQL_C_DATE: case SQL_C_TYPE_DATE: destination.setDate(j, source.getDate(i)); break;
    case SQL_C_TIME: case SQL_C_TYPE_TIME: destination.setTime(j, source.getTime(i)); break;
    case SQL_C_TIMESTAMP: case SQL_C_TYPE_TIMESTAMP:
      destination.setTimestamp(j, source.getTimestamp(i));
      break;
    case SQL_C_BINARY: destination.setBlob(j, source.getBlob(i)); break;
    default: break;
  }
}

// The smallest record: "SR", no columns, a bit count, one flag byte and
// a cell length.
constexpr size_t kSmallestRecord = 4 + 2 + 4 + 4 + 1 + 4;

// The part of a table stream before its rows: the row count and the
// template record.
struct TableHead {
  int32_t rowCount;
  RefPtr<CacheColumnList> columns;
  RecordShape own;  // the template's columns
  CacheRow templateRow;
};

// Reads a table stream's head, up to its first row record.
TableHead readHead(StreamReader& reader) {
  if (reader.readCountedString() != "SC") raiseInvalidStream(site::kStreamNotTable);
  const int32_t rowCount = reader.readCountOf(kSmallestRecord, kSmallestRecord);
  RefPtr<CacheColumnList> columns = newColumnList(readColumns(reader));
  RecordShape own = shapeOf(columns, *columns);
  RecordCells cells = readCells(reader, own.cells);
  const CacheRow templateRow = RowAccess::fromData(
      CacheRowData::create(columns, cells.flagSet(columns->size()), cells.takeBlock()));
  return TableHead{rowCount, std::move(columns), std::move(own), templateRow};
}

// Raises "invalid stream" when the rows of `head` cannot all be in the
// bytes that `reader` has left.
void checkRowsFit(const TableHead& head, const StreamReader& reader) {
  if (static_cast<uint64_t>(head.rowCount) * kSmallestRecord > reader.leftAtMost()) {
    raiseInvalidStream(site::kStreamBadRecord);
  }
}

// The start of a table stream read from `in`: its head (and the columns
// of its first row) is read from `in` and decoded as it comes, so that a
// head no table could have (a template that names 2^31 columns, say,
// followed by zero bytes) is refused before the rest is read. `bytes` holds
// all the bytes read so far, the head's first; `hint` is what the stream's
// buffer said it held before the first (StreamReader::bytesHint).
struct StreamStart {
  TableHead head;
  size_t headSize;
  ByteBlock bytes;
  std::streamsize hint;
};

// Reads the columns of the first row record, to see that they can be
// columns: where a whole template is followed by zero bytes (a sparse
// file) this refuses the stream before the rest is read. The rows are
// decoded again from the template's end on.
void checkFirstRow(StreamReader& reader, const TableHead& head) {
  if (head.rowCount == 0 || reader.skipIfNext(head.own.head)) return;
  (void)readColumns(reader);
}

StreamStart readStart(std::istream& in) {
  const std::streamsize hint = StreamReader::bytesHint(in);
  ByteBlock bytes;
  // Room for all of a small stream, for the head of a large one.
  const size_t first = std::min<size_t>(static_cast<size_t>(hint) + 1, 64 * 1024);
  guardAlloc(first, site::kCopyCells, [&] { bytes.reserve(first); });
  StreamReader headReader(in, &bytes);
  TableHead head = readHead(headReader);
  const size_t headSize = bytes.size();
  checkFirstRow(headReader, head);
  return StreamStart{std::move(head), headSize, std::move(bytes), hint};
}

// A whole table stream read from `in`: its start, then the rest in one
// piece.
StreamStart readStream(std::istream& in) {
  StreamStart stream = readStart(in);
  StreamReader::readRest(in, stream.hint, stream.bytes);
  return stream;
}

// True when the buffer of the stream that `start` began said it holds all
// bytes read so far and enough bytes after the head for its rows: a load
// then reads the rest in pieces as it decodes the rows, into a block of
// that size. Else it reads all of the rest first, to check the rows
// against what the stream really holds.
bool claimsRoomForRows(const StreamStart& start) {
  const auto claim = static_cast<uint64_t>(start.hint);
  if (claim >= SIZE_MAX || claim < start.bytes.size()) return false;
  return static_cast<uint64_t>(start.head.rowCount) * kSmallestRecord <= claim - start.headSize;
}

// The rest of a stream that a load reads in pieces while it decodes the
// rows, so that each piece is decoded while it is still in the
// processor's cache, rather than after the whole stream has been copied
// (a stream larger than the cache is then read from memory twice). The
// bytes go into one block of the size the stream's buffer said it held,
// and one more byte to see whether it holds more; the arena keeps the
// block from the start, and the rows point into it. Should the stream hold
// more than it said, the bytes of the block not decoded yet and the rest
// of the stream go into a second block, read in one piece.
class PieceFeed {
 public:
  // Bytes read at once: few enough to stay in the processor's cache until
  // they are decoded, enough that a file takes few reads.
  static constexpr size_t kPiece = 64 * 1024;

  // Takes `start`'s bytes into a block of `capacity` bytes kept by
  // `arena`, of which the first start.bytes.size() are read; `reader`
  // becomes a reader of those from the head's end on. REQUIRES: capacity
  // > start.bytes.size(). Raises LExc_Internal_Mem.
  PieceFeed(std::istream& in, StreamStart& start, size_t capacity, RowArena& arena,
            StreamReader& reader)
      : in_(in), arena_(arena), capacity_(capacity) {
    ByteBlock& bytes = start.bytes;
    done_ = bytes.size();
    guardAlloc(capacity, site::kCopyCells, [&] { bytes.resize(capacity); });
    data_ = bytes.data();
    arena.keep(std::move(bytes));
    reader = StreamReader(data_ + start.headSize, done_ - start.headSize);
  }

  // Reads on until `reader`, a reader of this feed's bytes, has `wanted`
  // bytes left or the stream has ended. True when more bytes came;
  // `reader` then reads on from where it was, over all bytes read.
  bool more(StreamReader& reader, uint64_t wanted) {
    if (ended_ || reader.left() >= wanted) return false;
    const size_t offset = static_cast<size_t>(reader.peek() - data_);
    bool got = false;
    while (!ended_ && done_ - offset < wanted) {
      if (done_ == capacity_) {
        readRestAside(offset);
        reader = StreamReader(data_, done_);
        return true;
      }
      const uint64_t missing = wanted - (done_ - offset);
      const size_t count = static_cast<size_t>(
          std::min<uint64_t>(std::max<uint64_t>(missing, kPiece), capacity_ - done_));
      const size_t read = StreamReader::readFrom(in_, data_ + done_, count);
      done_ += read;
      got = got || read > 0;
      ended_ = read < count;
    }
    reader = StreamReader(data_ + offset, done_ - offset);
    return got;
  }

  // `at`, a byte this feed read, as one the rows may own.
  uint8_t* writable(const uint8_t* at) const { return data_ + (at - data_); }

 private:
  // The bytes from `offset` on and the rest of the stream, in a block of
  // their own kept by the arena.
  void readRestAside(size_t offset) {
    ByteBlock rest;
    const size_t tail = done_ - offset;
    guardAlloc(tail, site::kCopyCells, [&] { rest.resize(tail); });
    if (tail > 0) std::memcpy(rest.data(), data_ + offset, tail);
    StreamReader::readRest(in_, 0, rest);
    done_ = capacity_ = rest.size();
    ended_ = true;
    uint8_t* const data = rest.data();  // moving the block keeps its bytes where they are
    arena_.keep(std::move(rest));
    data_ = data;
  }

  std::istream& in_;
  RowArena& arena_;
  uint8_t* data_ = nullptr;  // the block read into
  size_t done_ = 0;          // bytes of it read
  size_t capacity_;
  bool ended_ = false;
};

// The flag bytes of a record of `own`'s columns.
uint32_t flagBytesOf(const RecordShape& own) {
  return NullFlagSet::bytesFor(static_cast<uint32_t>(own.cells.size()));
}

// The bytes of a record of `own`'s columns before its cells: its head,
// its flags and its cell length.
size_t bytesBeforeCells(const RecordShape& own) { return own.head.size() + flagBytesOf(own) + 4; }

// The quick way through a record of the template's columns in a reader in
// memory: its head, flags and cell length are looked at in place and its
// cells checked through the layout of its flags. kInvalid, with nothing
// read, for any other record and for one that is not whole, which the
// careful way (readCells) then reads, and refuses; else `record` tells
// where it lies.
CellCheck readOwnRecord(StreamReader& reader, const RecordShape& own, CellLayouts& layouts,
                        RecordView& record) {
  const uint32_t flagBytes = flagBytesOf(own);
  if (!reader.inMemory() || flagBytes > CellLayout::kMaxFlagBytes) return CellCheck::kInvalid;
  const size_t before = bytesBeforeCells(own);
  const size_t left = reader.left();
  const uint8_t* at = reader.peek();
  if (left < before || std::memcmp(at, own.head.data(), own.head.size()) != 0) {
    return CellCheck::kInvalid;
  }
  const uint8_t* flags = at + own.head.size();
  const uint32_t length = getU32(flags + flagBytes);
  if (length > static_cast<uint32_t>(INT32_MAX) || length > left - before) {
    return CellCheck::kInvalid;
  }
  const uint8_t* cells = flags + flagBytes + 4;
  const CellCheck check = layouts.of(own.cells, flags, flagBytes).check(cells, length);
  if (check == CellCheck::kInvalid) return check;
  record = RecordView{flags, cells, length};
  reader.take(before + length);
  return check;
}

// The bytes the next record needs in `reader` for readOwnRecord to read
// it: all of a record of the template's columns once its length shows,
// else as many as show it; for any other record, all there are.
uint64_t ownRecordNeeds(const StreamReader& reader, const RecordShape& own) {
  const uint64_t before = bytesBeforeCells(own);
  const size_t left = reader.left();
  const uint8_t* at = reader.peek();
  if (std::memcmp(at, own.head.data(), std::min(left, own.head.size())) != 0) return UINT64_MAX;
  if (left < before) return before;
  const uint32_t length = getU32(at + before - 4);
  return length > static_cast<uint32_t>(INT32_MAX) ? UINT64_MAX : before + length;
}

// A stream whose bytes are all in the reader already.
struct AllRead {
  bool operator()(StreamReader&, uint64_t) const { return false; }
};

// Reads the row records of a table stream whose head was `head` from
// `reader`, a reader in memory of the bytes after the head: every row
// record goes to onRow(exact, record, shape, templateData), `record` valid
// during the call. `exact` tells a record of the template's columns whose
// cells are what a load keeps as they are; the others are to be given the
// template's columns by assignCells. more(reader, wanted) reads more of
// the stream into `reader` (see PieceFeed::more); a record is read only
// once it is whole or the stream has ended.
template <class OnRow, class More>
void decodeRows(StreamReader& reader, const TableHead& head, OnRow onRow, More more) {
  const CacheRowData& templateData = rowData(head.templateRow);
  const RecordShape& own = head.own;
  // A row record names its columns again. Those that name the template's
  // columns in its order (all rows the program writes) are recognised by
  // their first bytes. The others are matched by name once for each run
  // of records with the same columns.
  RecordShape other;
  CellLayouts layouts;  // of the template's columns
  for (int32_t k = 0; k < head.rowCount; ++k) {
    RecordView quick;
    CellCheck check = readOwnRecord(reader, own, layouts, quick);
    while (check == CellCheck::kInvalid && more(reader, ownRecordNeeds(reader, own))) {
      check = readOwnRecord(reader, own, layouts, quick);
    }
    if (check != CellCheck::kInvalid) {
      onRow(check == CellCheck::kExact, quick, own, templateData);
      continue;
    }
    const RecordShape* shape = &own;
    if (!reader.skipIfNext(own.head)) {
      if (!other.columns || !reader.skipIfNext(other.head)) {
        other = shapeOf(newColumnList(readColumns(reader)), *head.columns);
      }
      shape = &other;
    }
    const RecordCells record = readCells(reader, shape->cells);
    onRow(shape == &own && record.check == CellCheck::kExact, record.view(), *shape, templateData);
  }
}

void refuseRecord(uint32_t, int32_t) { raiseInvalidStream(site::kStreamBadRecord); }

// Reads the rows of a table stream whose head was `head` into `loaded`,
// an empty table, from `reader`, a reader in memory of bytes in `arena`,
// which writable(at) gives as bytes the rows may own; more(reader, wanted)
// reads more of them (decodeRows). The cells of exact records stay where
// they were read, in the arena, sharing the template's column list.
// REQUIRES: checkRowsFit(head, ...) has passed.
template <class Writable, class More>
void readTable(SmartCache& loaded, const TableHead& head, StreamReader& reader, RowArena& arena,
               Writable writable, More more) {
  loaded.setTemplateRow(head.templateRow);
  const RefPtr<CacheColumnList> columns = head.columns;
  loaded.reserveRows(head.rowCount);
  const auto onRow = [&](bool exact, const RecordView& record, const RecordShape& shape,
                         const CacheRowData& templateData) {
    if (exact) {
      loaded.appendRow(RowAccess::fromData(CacheRowData::createIn(
          arena, columns, record.flags, writable(record.cells), record.length)));
    } else {
      loaded.appendRow(RowAccess::fromData(
          assignCells(templateData, shape.source, shape.cells, shape.columns->columns(),
                      record.flags, record.cells, refuseRecord)));
    }
  };
  decodeRows(reader, head, onRow, more);
}

// The cell offsets, per column, of a valid row of `shapes`; a NULL cell's
// is where it would begin.
void locateCells(const std::vector<ColumnShape>& shapes, const uint8_t* flags,
                 const uint8_t* cells, std::vector<uint32_t>& offsets) {
  uint32_t offset = 0;
  for (uint32_t j = 0; j < shapes.size(); ++j) {
    offsets[j] = offset;
    if (!NullFlagSet::isSetIn(flags, j)) offset += cellSize(shapes[j], cells + offset);
  }
}

}  // namespace

void writeCountedString(const char* text, std::ostream& out) {
  StreamOut sink(out);
  writeCounted(text, sink);
}

std::string readCountedString(std::istream& in) {
  StreamReader reader(in);
  return reader.readCountedString();
}

void writeRowData(const CacheRowData& row, std::ostream& out) {
  StreamOut sink(out);
  writeRecord(row, sink);
}

void readRowData(CacheRowData& row, std::istream& in) {
  row.resetColumns();
  StreamReader reader(in);
  std::vector<CacheColumn> columns = readColumns(reader);
  RecordCells record = readCells(reader, shapesOf(columns));
  NullFlagSet flags = record.flagSet(static_cast<uint32_t>(columns.size()));
  row.replaceContents(std::move(columns), std::move(flags), record.takeBlock());
}

void saveToStream(const SmartCache& table, std::ostream& out) {
  StreamOut sink(out);
  writeTable(table, sink);
}

std::string saveToString(const SmartCache& table) {
  std::string bytes;
  StringOut sink(bytes);
  writeTable(table, sink);
  return bytes;
}

void scanTableStream(std::istream& in, const std::function<void(const CacheRow&)>& onTemplate,
                     const std::function<void(const ScannedRow&)>& onRow) {
  const StreamStart stream = readStream(in);
  StreamReader reader(stream.bytes.data() + stream.headSize,
                      stream.bytes.size() - stream.headSize);
  checkRowsFit(stream.head, reader);
  std::vector<uint32_t> offsets;
  std::vector<int32_t> types;
  std::vector<ColumnShape> shapes;  // the template's columns
  {
    const CacheRow& templateRow = stream.head.templateRow;
    const CacheRowData& data = rowData(templateRow);
    shapes = shapesOf(data.columnList().columns());
    guardAlloc(data.columnCount() * 8, site::kNewColumnList, [&] {
      offsets.resize(data.columnCount());
      types.resize(data.columnCount());
    });
    for (uint32_t j = 0; j < data.columnCount(); ++j) types[j] = data.column(j).type;
    onTemplate(templateRow);
  }
  const auto rowSeen = [&](bool exact, const RecordView& record, const RecordShape& shape,
                           const CacheRowData& templateData) {
    const auto pass = [&](const uint8_t* flags, const uint8_t* cells, uint32_t length) {
      locateCells(shapes, flags, cells, offsets);
      onRow(ScannedRow(flags, cells, length, offsets.data(), types.data(),
                       static_cast<uint32_t>(offsets.size())));
    };
    if (exact) {
      pass(record.flags, record.cells, record.length);
      return;
    }
    const RefPtr<CacheRowData> assigned =
        assignCells(templateData, shape.source, shape.cells, shape.columns->columns(),
                    record.flags, record.cells, refuseRecord);
    pass(assigned->flags().bytes(), assigned->cellBytes(),
         static_cast<uint32_t>(assigned->cellByteLength()));
  };
  decodeRows(reader, stream.head, rowSeen, AllRead());
}

namespace {

bool sameColumns(const CacheColumnList& a, const CacheColumnList& b) {
  if (a.size() != b.size()) return false;
  for (uint32_t i = 0; i < a.size(); ++i) {
    if (a[i].type != b[i].type || a[i].name != b[i].name) return false;
  }
  return true;
}

}  // namespace

bool appendScannedRows(SmartCache& table, std::istream& in,
                       const std::function<bool(const ScannedRow&)>& wanted) {
  std::vector<CacheRow>& rows = TableAccess::rows(table);
  const size_t before = rows.size();
  const RefPtr<CacheColumnList> columns = rowData(table.templateRow()).sharedColumnList();
  bool same = false;
  const auto onTemplate = [&](const CacheRow& templateRow) {
    same = sameColumns(rowData(templateRow).columnList(), *columns);
  };
  const auto onRow = [&](const ScannedRow& row) {
    if (!same || !wanted(row)) return;
    RowArena& arena = TableAccess::arena(table);
    auto* cells = static_cast<uint8_t*>(arena.allocate(row.cellLength_, 1, site::kCopyCells));
    if (row.cellLength_ > 0) std::memcpy(cells, row.cells_, row.cellLength_);
    table.appendRow(RowAccess::fromData(
        CacheRowData::createIn(arena, columns, row.flags_, cells, row.cellLength_)));
  };
  try {
    // Passed by reference: a function object of the lambdas themselves
    // could take memory that no guard covers.
    scanTableStream(in, std::cref(onTemplate), std::cref(onRow));
  } catch (...) {
    rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(before), rows.end());
    throw;
  }
  return same;
}

std::optional<int32_t> ScannedRow::longValue(uint32_t column) const {
  if (isNull(column)) return std::nullopt;
  return getI32(cells_ + offsets_[column]);
}

std::string_view ScannedRow::text(uint32_t column) const {
  if (isNull(column)) return std::string_view();
  const uint8_t* at = cells_ + offsets_[column];
  // The scan has looked for zero bytes already (checkCells) and cut the
  // texts that held one (assignCells).
  return std::string_view(reinterpret_cast<const char*>(at + 4), getU32(at));
}

void loadFromStream(SmartCache& table, std::istream& in) {
  // The stream is read into the arena of the new rows, which point into
  // it. The table is built aside and takes the result only when all of it
  // has been read, so that a failure leaves the caller's table untouched.
  StreamStart start = readStart(in);
  RefPtr<RowArena> arena = RowArena::create();
  SmartCache loaded;
  if (claimsRoomForRows(start)) {
    StreamReader reader(nullptr, 0);
    PieceFeed feed(in, start, static_cast<size_t>(start.hint) + 1, *arena, reader);
    readTable(loaded, start.head, reader, *arena,
              [&](const uint8_t* at) { return feed.writable(at); },
              [&](StreamReader& r, uint64_t wanted) { return feed.more(r, wanted); });
  } else {
    StreamReader::readRest(in, start.hint, start.bytes);
    uint8_t* const data = start.bytes.data();
    const size_t size = start.bytes.size();
    arena->keep(std::move(start.bytes));
    StreamReader reader(data + start.headSize, size - start.headSize);
    checkRowsFit(start.head, reader);
    readTable(loaded, start.head, reader, *arena,
              [data](const uint8_t* at) { return data + (at - data); }, AllRead());
  }
  table.swap(loaded);
}

void assignByName(CacheRow& destination, const CacheRow& source) {
  if (&destination == &source || destination.sharesDataWith(source)) return;
  if (destination.sharesColumnsWith(source)) {
    destination = source;
    return;
  }
  // The values go into new row data, so that a failure leaves the
  // destination as it was.
  const CacheRowData& from = rowData(source);
  const CacheRowData& to = rowData(destination);
  const std::vector<CacheColumn>& columns = from.columnList().columns();
  const auto refuse = [&](uint32_t j, int32_t i) {
    CacheRow scratch = destination;
    copyTyped(scratch, static_cast<int32_t>(j), source, i);  // raises the accessors' error
    raiseBadConversion(site::kStorageSize, typeName(to.column(j).type));
  };
  destination = RowAccess::fromData(assignCells(to, matchColumns(from.columnList(), to.columnList()),
                                                shapesOf(columns), columns, from.flags().bytes(),
                                                from.cellBytes(), refuse));
}
