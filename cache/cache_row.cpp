#include "cache/cache_row.h"

#include <algorithm>
#include <cstring>

#include "cache/le_bytes.h"
#include "cache/row_access.h"
#include "cache/type_codes.h"
#include "support/text_format.h"

// The accepted type code of one typed accessor pair and the places its
// errors are raised at.
struct CellAccessor {
  int32_t code;
  const char* accessedAs;  // the last word of the conversion error
  RaiseSite nullRead;
  RaiseSite typeRead;
  RaiseSite typeWrite;
};

namespace {

constexpr const char* kIn = site::kInliners;

const CellAccessor kLongAccess{SQL_C_LONG, "long", {kIn, 699}, {kIn, 708}, {kIn, 952}};
const CellAccessor kStringAccess{SQL_C_CHAR, "String", {kIn, 777}, {kIn, 786}, {kIn, 1009}};
const CellAccessor kDoubleAccess{SQL_C_DOUBLE, "double", {kIn, 581}, {kIn, 590}, {kIn, 878}};
const CellAccessor kBlobAccess{SQL_C_BINARY, "Blob", {kIn, 535}, {kIn, 544}, {kIn, 849}};
const CellAccessor kDateAccess{SQL_C_TYPE_DATE, "LDat", {kIn, 620}, {kIn, 629}, {kIn, 900}};
const CellAccessor kTimeAccess{SQL_C_TYPE_TIME, "LTim", {kIn, 738}, {kIn, 747}, {kIn, 976}};
const CellAccessor kTimestampAccess{SQL_C_TYPE_TIMESTAMP, "timestamp", {kIn, 659}, {kIn, 668}, {kIn, 925}};

}  // namespace

CacheRow CacheRow::createEmpty() { return CacheRow(CacheRowData::createEmpty(site::kNewRowData)); }

CacheRow::CacheRow(RefPtr<CacheRowData> data) : data_(std::move(data)) {}
CacheRow::CacheRow(const CacheRow& other) noexcept = default;
CacheRow& CacheRow::operator=(const CacheRow& other) noexcept = default;
CacheRow::~CacheRow() = default;

uint32_t CacheRow::columnCount() const { return data_->columnCount(); }

int32_t CacheRow::shareCount() const { return data_.useCount(); }

bool CacheRow::sharesColumnsWith(const CacheRow& other) const {
  return data_->sharesColumnsWith(*other.data_);
}

int32_t CacheRow::columnIndex(const std::string& name) const {
  const int32_t index = data_->columnList().find(name);
  if (index < 0) {
    raiseUnexpected(site::kColumnIndex,
                    formatText("Column \"%s\" not found", name.c_str()));
  }
  return index;
}

const std::string& CacheRow::columnName(int32_t i) const {
  if (i < 0 || static_cast<uint32_t>(i) >= columnCount()) {
    raiseUnexpected(site::kColumnName, "index out of range");
  }
  return data_->column(i).name;
}

int32_t CacheRow::columnType(int32_t i) const {
  if (i < 0 || static_cast<uint32_t>(i) >= columnCount()) {
    raiseUnexpected(site::kColumnType, "index out of range");
  }
  return data_->column(i).type;
}

bool CacheRow::isNull(int32_t i) const {
  if (i < 0 || static_cast<uint32_t>(i) >= columnCount()) {
    raiseBadArg(site::kLocateCell, "index out of range");
  }
  return data_->flags().isSet(i);
}

void CacheRow::setNull(int32_t i) {
  makeUnique();
  data_->removeCellBytes(i);
  data_->setNullFlag(i);
}

void CacheRow::addColumn(const std::string& name, int32_t type) {
  makeUnique();
  data_->addColumn(name, type);
}

void CacheRow::resetColumns() {
  makeUnique();
  data_->resetColumns();
}

void CacheRow::makeUnique() {
  if (data_->refCount < 2) return;
  data_ = data_->clone();
}

namespace {

// Compares cell `rowCell` of `row` with the non-NULL cell `patternCell` of
// `pattern`: sizes and bytes must be equal.
bool sameCellBytes(const CacheRowData& row, const CellLocation& rowCell,
                   const CacheRowData& pattern,
                   const CellLocation& patternCell) {
  const uint32_t size = row.cellSize(rowCell);
  if (size != pattern.cellSize(patternCell)) return false;
  return std::memcmp(row.cellBytes() + rowCell.offset,
                     pattern.cellBytes() + patternCell.offset, size) == 0;
}

}  // namespace

bool CacheRow::matchesPattern(const CacheRow& pattern) const {
  const CacheRowData& row = *data_;
  const CacheRowData& pat = *pattern.data_;
  if (&row == &pat) return true;
  const bool sameColumns = row.sharesColumnsWith(pat);
  // With the same columns, the row's cells are walked beside the
  // pattern's, once; otherwise each of the pattern's values is looked up
  // by name.
  uint32_t walked = 0;
  uint32_t walkedOffset = 0;
  const auto sameColumnCell = [&](uint32_t j) {
    for (; walked < j; ++walked) {
      walkedOffset += row.cellSize(CellLocation{row.flags().isSet(walked), walkedOffset,
                                                row.column(walked).type});
    }
    return CellLocation{row.flags().isSet(j), walkedOffset, row.column(j).type};
  };
  bool matches = true;
  pat.forEachCell([&](uint32_t j, const CellLocation& wanted) {
    if (!matches || wanted.isNull) return;
    const CellLocation found = sameColumns ? sameColumnCell(j)
                                           : row.locateCell(columnIndex(pat.column(j).name));
    if (found.isNull) {
      matches = false;
      return;
    }
    if (found.type != wanted.type) {
      raiseUnexpected(
          site::kPatternTypes,
          formatText("column \"%s\" - different types in cache rowand pattern "
                     "row (cache row: %d(%s), pattern row: %d(%s))",
                     pat.column(j).name.c_str(), static_cast<int>(found.type),
                     typeName(found.type).c_str(),
                     static_cast<int>(wanted.type),
                     typeName(wanted.type).c_str()));
    }
    if (!sameCellBytes(row, found, pat, wanted)) matches = false;
  });
  return matches;
}

const uint8_t* CacheRow::readableCell(int32_t i, const CellLocation& cell,
                                      const CellAccessor& accessor) const {
  const std::string& name = data_->column(i).name;
  if (cell.isNull) {
    raiseUnexpected(accessor.nullRead,
                    formatText("access to NULL field [Field Name: \"%s\"]",
                               name.c_str()));
  }
  if (cell.type != accessor.code) {
    raiseBadConversion(
        accessor.typeRead,
        formatText("Conversion error [Field Name: \"%s\", Type: %s, accessed as %s]",
                   name.c_str(), typeName(cell.type).c_str(),
                   accessor.accessedAs));
  }
  return data_->cellBytes() + cell.offset;
}

template <class Write>
void CacheRow::storeCell(int32_t i, const CellAccessor& accessor, uint32_t length,
                         Write write) {
  makeUnique();
  const int32_t type = data_->locateCell(i).type;
  if (type != accessor.code) raiseBadConversion(accessor.typeWrite, typeName(type));
  const CellLocation cell = data_->resizeCell(i, length);
  write(data_->cellAt(cell));
  data_->clearNullFlag(i);
}

int32_t CacheRow::getLong(int32_t i) const {
  return getI32(readableCell(i, data_->locateCell(i), kLongAccess));
}

std::string CacheRow::getString(int32_t i) const {
  const std::string_view text = textView(i);
  return guardAlloc(uint64_t{text.size()} + 1, site::kTextCopy,
                    [&] { return std::string(text); });
}

std::string_view CacheRow::textView(int32_t i) const {
  const uint8_t* cell = readableCell(i, data_->locateCell(i), kStringAccess);
  const uint32_t length = getU32(cell);
  const char* text = reinterpret_cast<const char*>(cell + 4);
  const char* end = std::find(text, text + length, '\0');
  return std::string_view(text, static_cast<size_t>(end - text));
}

double CacheRow::getDouble(int32_t i) const {
  return ::getDouble(readableCell(i, data_->locateCell(i), kDoubleAccess));
}

Blob CacheRow::getBlob(int32_t i) const {
  const uint8_t* cell = readableCell(i, data_->locateCell(i), kBlobAccess);
  const uint32_t length = getU32(cell);
  return guardAlloc(length, site::kBlobCopy, [&] { return Blob(cell + 4, length); });
}

LDat CacheRow::getDate(int32_t i) const {
  return LDat::fromBytes(readableCell(i, data_->locateCell(i), kDateAccess));
}

LTim CacheRow::getTime(int32_t i) const {
  return LTim::fromBytes(readableCell(i, data_->locateCell(i), kTimeAccess));
}

Timestamp CacheRow::getTimestamp(int32_t i) const {
  return Timestamp::fromBytes(readableCell(i, data_->locateCell(i), kTimestampAccess));
}

void CacheRow::setLong(int32_t i, int32_t value) {
  storeCell(i, kLongAccess, 0,
            [&](uint8_t* out) { putU32(out, static_cast<uint32_t>(value)); });
}

void CacheRow::setString(int32_t i, const char* text) {
  makeUnique();
  if (text == nullptr) {
    setNull(i);
    return;
  }
  const auto length = static_cast<uint32_t>(std::strlen(text));
  storeCell(i, kStringAccess, length, [&](uint8_t* out) {
    putU32(out, length);
    std::memcpy(out + 4, text, length);
  });
}

void CacheRow::setDouble(int32_t i, double value) {
  storeCell(i, kDoubleAccess, 0, [&](uint8_t* out) { putDouble(out, value); });
}

void CacheRow::setBlob(int32_t i, const Blob& value) {
  const uint32_t length = value.length();
  storeCell(i, kBlobAccess, length, [&](uint8_t* out) {
    putU32(out, length);
    if (length > 0) std::memcpy(out + 4, value.data(), length);
  });
}

void CacheRow::setDate(int32_t i, const LDat& value) {
  storeCell(i, kDateAccess, 0, [&](uint8_t* out) { value.toBytes(out); });
}

void CacheRow::setTime(int32_t i, const LTim& value) {
  storeCell(i, kTimeAccess, 0, [&](uint8_t* out) { value.toBytes(out); });
}

void CacheRow::setTimestamp(int32_t i, const Timestamp& value) {
  storeCell(i, kTimestampAccess, 0, [&](uint8_t* out) { value.toBytes(out); });
}

namespace {

// "[blob 01AB...]" of the first (at most 10) of `length` bytes.
std::string blobText(const uint8_t* bytes, uint32_t length) {
  static const char kHex[] = "0123456789ABCDEF";
  const uint32_t shown = std::min<uint32_t>(length, 10);
  std::string text = "[blob ";
  for (uint32_t k = 0; k < shown; ++k) {
    text += kHex[bytes[k] >> 4];
    text += kHex[bytes[k] & 0x0F];
  }
  return text + "]";
}

}  // namespace

std::string CacheRow::cellText(int32_t i) const { return cellText(i, data_->locateCell(i)); }

std::string CacheRow::cellText(int32_t i, const CellLocation& cell) const {
  if (cell.isNull) return "<NULL>";
  // Every text is made under the allocation guard, so that running out of
  // memory raises LExc_Internal_Mem like every other allocation here.
  const auto text = [&](auto make) { return guardAlloc(32, site::kTextCopy, make); };
  switch (cell.type) {
    case SQL_C_CHAR: {
      const uint8_t* bytes = readableCell(i, cell, kStringAccess);
      const char* start = reinterpret_cast<const char*>(bytes + 4);
      const char* end = std::find(start, start + getU32(bytes), '\0');
      return guardAlloc(uint64_t(end - start) + 1, site::kTextCopy,
                        [&] { return std::string(start, end); });
    }
    case SQL_C_LONG: {
      const int32_t value = getI32(readableCell(i, cell, kLongAccess));
      return text([&] { return formatText("%d", static_cast<int>(value)); });
    }
    case SQL_C_DOUBLE: {
      const double value = ::getDouble(readableCell(i, cell, kDoubleAccess));
      return text([&] { return formatText("%.2f", value); });
    }
    case SQL_C_DATE: case SQL_C_TYPE_DATE: {
      const LDat value = LDat::fromBytes(readableCell(i, cell, kDateAccess));
      return text([&] { return value.text(); });
    }
    case SQL_C_TIME: case SQL_C_TYPE_TIME: {
      const LTim value = LTim::fromBytes(readableCell(i, cell, kTimeAccess));
      return text([&] { return value.text(); });
    }
    case SQL_C_TIMESTAMP: case SQL_C_TYPE_TIMESTAMP: {
      const Timestamp value = Timestamp::fromBytes(readableCell(i, cell, kTimestampAccess));
      return text([&] { return value.text(); });
    }
    case SQL_C_BINARY: {
      const uint8_t* bytes = readableCell(i, cell, kBlobAccess);
      return text([&] { return blobText(bytes + 4, getU32(bytes)); });
    }
    default: return text([] { return std::string("unknown type"); });
  }
}
