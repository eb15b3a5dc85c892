#include "cache/cache_stream.h"

#include <algorithm>
#include <cstring>
#include <ostream>
#include <sstream>

#include "cache/le_bytes.h"
#include "cache/stream_reader.h"
#include "cache/type_codes.h"

namespace {

// Rows the row store makes room for before the first is read: enough for a
// turn, not so many that a damaged count could take much memory.
constexpr int32_t kRowsReservedAtOnce = 4096;

void writeInt32(int32_t value, std::ostream& out) {
  uint8_t bytes[4];
  putU32(bytes, static_cast<uint32_t>(value));
  out.write(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

void writeBytes(const uint8_t* bytes, size_t count, std::ostream& out) {
  if (count > 0) out.write(reinterpret_cast<const char*>(bytes), static_cast<std::streamsize>(count));
}

// True when the non-NULL cells that `flags` and the column types describe
// fill `cells` exactly, every variable-length cell included.
bool cellsAgree(const std::vector<CacheColumn>& columns, const NullFlagSet& flags,
                const ByteBlock& cells) {
  uint64_t offset = 0;
  for (uint32_t j = 0; j < columns.size(); ++j) {
    if (flags.isSet(j)) continue;
    if (!isStorableType(columns[j].type)) return false;
    const uint32_t fixed = storageSize(columns[j].type);
    if (fixed != 0) {
      offset += fixed;
    } else {
      if (offset + 4 > cells.size()) return false;
      offset += 4 + uint64_t{getU32(cells.data() + offset)};
    }
    if (offset > cells.size()) return false;
  }
  return offset == cells.size();
}

// True when assignByName can copy the cell of a source column of type
// `sourceType` into a destination column of type `destType`: the typed
// read and write must both accept it, and for the codes without an
// accessor the types must be equal (copyCell then takes the stored bytes).
// Destination types without storage stay NULL and always pass.
bool assignable(int32_t destType, int32_t sourceType) {
  return !isStorableType(destType) || destType == sourceType;
}

// True for the storable codes that no typed accessor takes: the date, time
// and timestamp codes older than 91, 92 and 93.
bool lacksAccessor(int32_t type) {
  return type == SQL_C_DATE || type == SQL_C_TIME || type == SQL_C_TIMESTAMP;
}

// Gives cell j of `destination` the stored bytes of the non-NULL cell i of
// `source`, a column of the same fixed-size type.
void copyStoredCell(CacheRowData& destination, int32_t j, const CacheRowData& source, int32_t i) {
  const CellLocation from = source.locateCell(i);
  const CellLocation to = destination.resizeCell(j, 0);
  std::memcpy(destination.cellAt(to), source.cellBytes() + from.offset, source.cellSize(from));
  destination.clearNullFlag(static_cast<uint32_t>(j));
}

// The source column whose value assignByName gives destination column j:
// the column at the same position when it bears the same name, else the
// first of that name; -1 when there is none. Taking the same position
// first makes rows with the same columns copy straight across, also when
// names repeat.
int32_t matchingColumn(const CacheColumnList& source, const CacheColumnList& destination,
                       uint32_t j) {
  const std::string& name = destination.columns[j].name;
  if (j < source.columns.size() && source.columns[j].name == name) return static_cast<int32_t>(j);
  return source.find(name);
}

// True when every non-NULL cell of `source` that a template column takes
// can be assigned to it.
bool loadsInto(const CacheRow& templateRow, const CacheRow& source) {
  const CacheColumnList& columns = source.data().columnList();
  for (uint32_t j = 0; j < templateRow.columnCount(); ++j) {
    const CacheColumn& wanted = templateRow.data().column(j);
    const int32_t i = matchingColumn(columns, templateRow.data().columnList(), j);
    if (i < 0 || source.isNull(i)) continue;
    if (!assignable(wanted.type, columns.columns[i].type)) return false;
  }
  return true;
}

// Copies the value of cell i of `source` into cell j of `destination`
// through the typed accessors of the destination column's type; a cell of
// a code without an accessor keeps its stored bytes when both columns have
// that code.
void copyCell(CacheRow& destination, int32_t j, const CacheRow& source, int32_t i) {
  const int32_t type = destination.columnType(j);
  if (lacksAccessor(type) && source.columnType(i) == type) {
    copyStoredCell(destination.uniqueData(), j, source.data(), i);
    return;
  }
  switch (type) {
    case SQL_C_LONG: destination.setLong(j, source.getLong(i)); break;
    case SQL_C_CHAR: destination.setString(j, source.getString(i)); break;
    case SQL_C_DOUBLE: destination.setDouble(j, source.getDouble(i)); break;
    case SQL_C_DATE: case SQL_C_TYPE_DATE: destination.setDate(j, source.getDate(i)); break;
    case SQL_C_TIME: case SQL_C_TYPE_TIME: destination.setTime(j, source.getTime(i)); break;
    case SQL_C_TIMESTAMP: case SQL_C_TYPE_TIMESTAMP:
      destination.setTimestamp(j, source.getTimestamp(i));
      break;
    case SQL_C_BINARY: destination.setBlob(j, source.getBlob(i)); break;
    default: break;  // columns of other codes stay NULL
  }
}

// The bytes with which every row record of a table begins when it names
// the table's columns in the table's order: "SR", the column count, the
// columns and the bit count. Rows the program saves all begin so.
std::string recordHead(const CacheRowData& templateData) {
  std::ostringstream head;
  writeCountedString("SR", head);
  const uint32_t count = templateData.columnCount();
  writeInt32(static_cast<int32_t>(count), head);
  for (uint32_t j = 0; j < count; ++j) {
    writeCountedString(templateData.column(j).name.c_str(), head);
    writeInt32(templateData.column(j).type, head);
  }
  writeInt32(static_cast<int32_t>(count), head);
  return head.str();
}

// How a row read with the table's own columns may be taken.
enum class RowCells {
  kInvalid,  // its cells disagree with its flags and types
  kAsRead,   // exactly what assignByName would make of it
  kAssign,   // to be copied through assignByName
};

// What the row reader needs to know of each column, worked out once.
struct ColumnShape {
  bool storable;   // a type whose cells can hold a value
  bool text;       // SQL_C_CHAR
  uint32_t fixed;  // its cells' size, 0 for a length and bytes
};

std::vector<ColumnShape> shapesOf(const std::vector<CacheColumn>& columns) {
  std::vector<ColumnShape> shapes;
  for (const CacheColumn& column : columns) {
    const int32_t type = column.type;
    const bool storable = isStorableType(type);
    shapes.push_back(ColumnShape{storable, type == SQL_C_CHAR, storable ? storageSize(type) : 0});
  }
  return shapes;
}

// Checks the cells as cellsAgree does and whether the row holds exactly
// what assignByName would give it: no flag bits beyond the columns, no
// text with a zero byte (the typed copy ends a text there).
RowCells classifyCells(const std::vector<ColumnShape>& shapes, const NullFlagSet& flags,
                       const ByteBlock& cells) {
  const uint32_t count = static_cast<uint32_t>(shapes.size());
  bool asRead = true;
  for (uint32_t bit = count; bit < flags.byteSize() * 8; ++bit) {
    if (flags.isSet(bit)) asRead = false;
  }
  uint64_t offset = 0;
  for (uint32_t j = 0; j < count; ++j) {
    if (flags.isSet(j)) continue;
    const ColumnShape& shape = shapes[j];
    if (!shape.storable) return RowCells::kInvalid;
    if (shape.fixed != 0) {
      offset += shape.fixed;
      if (offset > cells.size()) return RowCells::kInvalid;
      continue;
    }
    if (offset + 4 > cells.size()) return RowCells::kInvalid;
    const uint32_t length = getU32(cells.data() + offset);
    if (offset + 4 + length > cells.size()) return RowCells::kInvalid;
    if (shape.text && length > 0 && std::memchr(cells.data() + offset + 4, 0, length) != nullptr) {
      asRead = false;
    }
    offset += 4 + uint64_t{length};
  }
  if (offset != cells.size()) return RowCells::kInvalid;
  return asRead ? RowCells::kAsRead : RowCells::kAssign;
}

void readRecord(CacheRowData& row, StreamReader& reader) {
  row.resetColumns();
  if (reader.readCountedString() != "SR") raiseInvalidStream(site::kStreamBadRecord);

  const int32_t columnCount = reader.readCount();
  std::vector<CacheColumn> columns;
  for (int32_t j = 0; j < columnCount; ++j) {
    CacheColumn column;
    column.name = reader.readCountedString();
    column.type = reader.readInt32();
    guardAlloc((columns.size() + 1) * sizeof(CacheColumn), site::kNewColumnList,
               [&] { columns.push_back(std::move(column)); });
  }

  const uint32_t bitCount = reader.readUInt32();
  if (bitCount != static_cast<uint32_t>(columnCount)) {
    raiseInvalidStream(site::kStreamBadRecord);
  }
  const uint32_t flagBytes = NullFlagSet::bytesFor(bitCount);
  const ByteBlock flagBlock = reader.readBlock(flagBytes, site::kCopyFlags);
  NullFlagSet flags(bitCount, flagBlock.data(), flagBytes, site::kCopyFlags);
  ByteBlock cells = reader.readBlock(static_cast<uint32_t>(reader.readCount()),
                                     site::kCopyCells);
  if (!cellsAgree(columns, flags, cells)) raiseInvalidStream(site::kStreamBadRecord);
  row.replaceContents(std::move(columns), std::move(flags), std::move(cells));
}

}  // namespace

void writeCountedString(const char* text, std::ostream& out) {
  const size_t length = text ? std::strlen(text) : 0;
  writeInt32(static_cast<int32_t>(length), out);
  writeBytes(reinterpret_cast<const uint8_t*>(text), length, out);
}

std::string readCountedString(std::istream& in) {
  StreamReader reader(in);
  return reader.readCountedString();
}

void writeRowData(const CacheRowData& row, std::ostream& out) {
  writeCountedString("SR", out);
  writeInt32(static_cast<int32_t>(row.columnCount()), out);
  for (uint32_t j = 0; j < row.columnCount(); ++j) {
    writeCountedString(row.column(j).name.c_str(), out);
    writeInt32(row.column(j).type, out);
  }
  // Always (bits div 8) + 1 flag bytes, so that a record without columns
  // still carries the one byte that its reader expects.
  const NullFlagSet& flags = row.flags();
  const uint32_t flagBytes = NullFlagSet::bytesFor(flags.bitCount());
  writeInt32(static_cast<int32_t>(flags.bitCount()), out);
  writeBytes(flags.bytes(), std::min(flags.byteSize(), flagBytes), out);
  for (uint32_t k = flags.byteSize(); k < flagBytes; ++k) out.put('\0');
  writeInt32(row.cellByteLength(), out);
  writeBytes(row.cellBytes(), static_cast<size_t>(row.cellByteLength()), out);
}

void readRowData(CacheRowData& row, std::istream& in) {
  StreamReader reader(in);
  readRecord(row, reader);
}

void saveToStream(const SmartCache& table, std::ostream& out) {
  writeCountedString("SC", out);
  writeInt32(table.rowCount(), out);
  writeRowData(table.templateRow().data(), out);
  for (CachePosition p = table.begin(); p != table.end(); p = table.next(p)) {
    writeRowData(table.rowAt(p).data(), out);
  }
}

std::string saveToString(const SmartCache& table) {
  std::ostringstream out;
  saveToStream(table, out);
  return out.str();
}

void loadFromStream(SmartCache& table, std::istream& in) {
  // The table is built aside and takes the result only when all of it has
  // been read, so that a failure leaves the caller's table untouched.
  StreamReader reader(in);
  SmartCache loaded;
  if (reader.readCountedString() != "SC") raiseInvalidStream(site::kStreamNotTable);
  const int32_t rowCount = reader.readCount();

  CacheRow templateRow = CacheRow::createEmpty();
  readRecord(templateRow.uniqueData(), reader);
  loaded.setTemplateRow(templateRow);

  // Rows that name the template's columns in its order (all rows the
  // program writes) are read straight into row data that shares the
  // template's column list: what assignByName would make of them, without
  // the copy. Any other row takes the way through assignByName.
  const CacheRowData& templateData = templateRow.data();
  const std::vector<CacheColumn>& columns = templateData.columnList().columns;
  const std::string head = recordHead(templateData);
  const std::vector<ColumnShape> shapes = shapesOf(columns);
  const uint32_t columnCount = static_cast<uint32_t>(columns.size());
  const uint32_t flagBytes = NullFlagSet::bytesFor(columnCount);
  const auto appendAssigned = [&](const CacheRow& record) {
    if (!loadsInto(templateRow, record)) raiseInvalidStream(site::kStreamBadRecord);
    CacheRow row = loaded.templateRow();
    assignByName(row, record);
    loaded.appendRow(row);
  };
  std::vector<uint8_t> start(head.size());
  std::vector<uint8_t> flagsAndLength(flagBytes + 4);
  loaded.reserveRows(std::min(rowCount, kRowsReservedAtOnce));
  for (int32_t k = 0; k < rowCount; ++k) {
    const size_t got = reader.readSome(start.data(), start.size());
    if (got != start.size() || std::memcmp(start.data(), head.data(), head.size()) != 0) {
      reader.unread(start.data(), got);
      CacheRow record = CacheRow::createEmpty();
      readRecord(record.uniqueData(), reader);
      appendAssigned(record);
      continue;
    }
    reader.read(flagsAndLength.data(), flagsAndLength.size());
    NullFlagSet flags(columnCount, flagsAndLength.data(), flagBytes, site::kCopyFlags);
    const int32_t length = getI32(flagsAndLength.data() + flagBytes);
    if (length < 0) raiseInvalidStream(site::kStreamBadRecord);
    ByteBlock cells = reader.readBlock(static_cast<uint32_t>(length), site::kCopyCells);
    const RowCells kind = classifyCells(shapes, flags, cells);
    if (kind == RowCells::kInvalid) raiseInvalidStream(site::kStreamBadRecord);
    if (kind == RowCells::kAsRead) {
      loaded.appendRow(CacheRow::FromData(
          CacheRowData::create(templateData.sharedColumnList(), std::move(flags), std::move(cells))));
    } else {
      CacheRow record = CacheRow::createEmpty();
      record.uniqueData().replaceContents(columns, std::move(flags), std::move(cells));
      appendAssigned(record);
    }
  }
  table.swap(loaded);
}

void assignByName(CacheRow& destination, const CacheRow& source) {
  if (&destination == &source || destination.sharesDataWith(source)) return;
  if (destination.data().sharesColumnsWith(source.data())) {
    destination = source;
    return;
  }
  // The values go into a copy first, so that a failure leaves the
  // destination as it was.
  CacheRow result = destination;
  result.uniqueData().setAllNull();
  const CacheColumnList& sourceColumns = source.data().columnList();
  for (uint32_t j = 0; j < result.columnCount(); ++j) {
    const int32_t i = matchingColumn(sourceColumns, result.data().columnList(), j);
    if (i < 0 || source.isNull(i)) continue;
    copyCell(result, static_cast<int32_t>(j), source, i);
  }
  destination = std::move(result);
}
