#include "cache/cache_sort.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <utility>
#include <vector>

#include "cache/cache_alloc.h"
#include "cache/le_bytes.h"
#include "cache/row_access.h"
#include "cache/table_access.h"
#include "cache/type_codes.h"

namespace {

int64_t dateKey(const LDat& d) {
  return (int64_t{d.year} * 16 + d.month) * 256 + d.day;
}

int64_t timeKey(const LTim& t) {
  return (int64_t{t.hour} * 256 + t.minute) * 256 + t.second;
}

bool textLess(const std::string& a, const std::string& b) {
  const size_t common = std::min(a.size(), b.size());
  const int order = std::memcmp(a.data(), b.data(), common);
  if (order != 0) return order < 0;
  return a.size() < b.size();
}

// The value of a key cell, taken out once for the whole sort.
struct Key {
  bool null = true;
  int64_t number = 0;   // long, date key, time key, timestamp date key
  int64_t second = 0;   // timestamp: time key
  uint32_t third = 0;   // timestamp: fraction
  double real = 0;      // double
  std::string text;     // text
};

Key keyOf(const CacheRow& row, int32_t k, int32_t type) {
  Key key;
  if (row.isNull(k)) return key;
  key.null = false;
  switch (type) {
    case SQL_C_LONG: key.number = row.getLong(k); break;
    case SQL_C_DOUBLE: key.real = row.getDouble(k); break;
    case SQL_C_CHAR: key.text = row.getString(k); break;
    case SQL_C_DATE: case SQL_C_TYPE_DATE: key.number = dateKey(row.getDate(k)); break;
    case SQL_C_TIME: case SQL_C_TYPE_TIME: key.number = timeKey(row.getTime(k)); break;
    case SQL_C_TIMESTAMP: case SQL_C_TYPE_TIMESTAMP: {
      const Timestamp stamp = row.getTimestamp(k);
      key.number = dateKey(stamp.date);
      key.second = timeKey(stamp.time);
      key.third = stamp.fraction;
      break;
    }
    default: break;
  }
  return key;
}

// rowLess on taken-out keys of one type.
bool keyLess(const Key& a, const Key& b, int32_t type) {
  if (a.null || b.null) return a.null && !b.null;
  switch (type) {
    case SQL_C_LONG: case SQL_C_DATE: case SQL_C_TYPE_DATE: case SQL_C_TIME: case SQL_C_TYPE_TIME:
      return a.number < b.number;
    case SQL_C_DOUBLE: return a.real < b.real;
    case SQL_C_CHAR: return textLess(a.text, b.text);
    case SQL_C_TIMESTAMP: case SQL_C_TYPE_TIMESTAMP:
      if (a.number != b.number) return a.number < b.number;
      if (a.second != b.second) return a.second < b.second;
      return a.third < b.third;
    default: return false;
  }
}

// True when every row shares the first row's column list: their key cells
// then have one type and can be compared as keys taken out once.
bool oneColumnList(const std::vector<CacheRow>& rows) {
  return std::all_of(rows.begin(), rows.end(), [&](const CacheRow& row) {
    return row.sharesColumnsWith(rows.front());
  });
}

}  // namespace

bool rowLess(const SortItem& a, const SortItem& b) {
  const CacheRow rowA = a.table->rowAt(a.position);
  const CacheRow rowB = b.table->rowAt(b.position);
  const int32_t k = a.keyColumn;
  const int32_t type = rowA.columnType(k);
  return keyLess(keyOf(rowA, k, type), keyOf(rowB, k, type), type);
}

namespace {

inline void prefetch(const void* place) {
#if defined(__GNUC__)
  __builtin_prefetch(place);
#else
  (void)place;
#endif
}

// Finds key cells of rows of one column list: the storage sizes of the
// columns before the key are looked up once, not per row.
class KeyFinder {
 public:
  KeyFinder(const CacheRowData& row, int32_t key) : key_(static_cast<uint32_t>(key)) {
    row.locateCell(key);  // raises for a key outside the columns
    guardAlloc(key_ * sizeof(uint32_t), site::kSortMemory, [&] { sizes_.resize(key_); });
    for (uint32_t j = 0; j < key_; ++j) sizes_[j] = storageSize(row.column(j).type);
  }

  // A long key cell and the row's index as one number that orders rows
  // as a stable sort by the key does: the key (NULL before every value)
  // in the upper 33 bits, the index in the lower 31. REQUIRES: `row` has
  // the column list the finder was made for.
  uint64_t packedKey(const CacheRowData& row, size_t index) const {
    const NullFlagSet& flags = row.flags();
    if (flags.isSet(key_)) return index;
    const uint8_t* cells = row.cellBytes();
    uint32_t offset = 0;
    for (uint32_t j = 0; j < key_; ++j) {
      if (flags.isSet(j)) continue;
      offset += sizes_[j] != 0 ? sizes_[j] : 4 + getU32(cells + offset);
    }
    const uint64_t key = uint64_t{getU32(cells + offset) ^ 0x80000000u} + 1;
    return key << 31 | index;
  }

 private:
  uint32_t key_;
  std::vector<uint32_t> sizes_;  // per column before the key: 0 for a length and bytes
};

// Sorts `keys` by their upper 33 bits, the lower ones (distinct indexes)
// keeping the order of equal keys: three stable passes of 11 bits each.
void radixSort(std::vector<uint64_t>& keys, std::vector<uint64_t>& scratch) {
  constexpr int kBits = 11;
  constexpr size_t kBuckets = size_t{1} << kBits;
  for (int shift = 31; shift < 64; shift += kBits) {
    size_t starts[kBuckets] = {};
    for (uint64_t key : keys) ++starts[(key >> shift) & (kBuckets - 1)];
    size_t total = 0;
    for (size_t& start : starts) {
      const size_t count = start;
      start = total;
      total += count;
    }
    for (uint64_t key : keys) scratch[starts[(key >> shift) & (kBuckets - 1)]++] = key;
    keys.swap(scratch);
  }
}

// The order of the rows by their long key column, as a stable sort gives
// it. False, with `order` untouched, when not every row shares the first
// row's column list (the key may then have other types).
bool orderByLong(const std::vector<CacheRow>& rows, int32_t keyColumn, std::vector<int32_t>& order) {
  std::vector<uint64_t> keys, scratch;
  guardAlloc(rows.size() * 2 * sizeof(uint64_t), site::kSortMemory, [&] {
    keys.reserve(rows.size());
    scratch.resize(rows.size());
  });
  // Rows may lie anywhere in memory: while the keys of these rows are
  // taken out, the objects and first cells of the rows a few places ahead
  // are fetched.
  constexpr size_t kAhead = 8;
  const size_t count = rows.size();
  const CacheRowData& first = rowData(rows.front());
  const KeyFinder finder(first, keyColumn);
  for (size_t i = 0; i < count; ++i) {
    if (i + 2 * kAhead < count) prefetch(&rowData(rows[i + 2 * kAhead]));
    if (i + kAhead < count) prefetch(rowData(rows[i + kAhead]).cellBytes());
    const CacheRowData& row = rowData(rows[i]);
    if (!row.sharesColumnsWith(first)) return false;
    keys.push_back(finder.packedKey(row, i));
  }
  radixSort(keys, scratch);
  constexpr uint64_t kIndex = (uint64_t{1} << 31) - 1;
  for (size_t i = 0; i < count; ++i) order[i] = static_cast<int32_t>(keys[i] & kIndex);
  return true;
}

// The order of rows of one column list by keys of any type, each taken out
// once.
void orderByKey(const std::vector<CacheRow>& rows, int32_t keyColumn, int32_t type,
                std::vector<int32_t>& order) {
  std::vector<Key> keys;
  guardAlloc(rows.size() * sizeof(Key), site::kSortMemory, [&] { keys.reserve(rows.size()); });
  for (const CacheRow& row : rows) keys.push_back(keyOf(row, keyColumn, type));
  const auto byKey = [&](int32_t a, int32_t b) {
    return keyLess(keys[static_cast<size_t>(a)], keys[static_cast<size_t>(b)], type);
  };
  std::stable_sort(order.begin(), order.end(), byKey);
}

// Puts rows[order[i]] at i for every i, by swapping handles along the
// permutation's cycles: no handle is copied, no count touched. `order` is
// used up.
void permute(std::vector<CacheRow>& rows, std::vector<int32_t>& order) {
  for (size_t i = 0; i < order.size(); ++i) {
    size_t at = i;
    while (order[at] >= 0) {
      const auto from = static_cast<size_t>(order[at]);
      order[at] = -1;
      if (from == i) break;
      rows[at].swap(rows[from]);
      at = from;
    }
  }
}

}  // namespace

void sortRows(SmartCache& table, int32_t keyColumn) {
  std::vector<CacheRow>& rows = TableAccess::rows(table);
  if (rows.empty()) return;
  std::vector<int32_t> order;
  guardAlloc(rows.size() * sizeof(int32_t), site::kSortMemory, [&] { order.resize(rows.size()); });
  for (size_t i = 0; i < rows.size(); ++i) order[i] = static_cast<int32_t>(i);
  if (rows.size() < 2) return;
  const int32_t type = rows.front().columnType(keyColumn);
  if (type == SQL_C_LONG && orderByLong(rows, keyColumn, order)) {
    // sorted by compact keys
  } else if (type != SQL_C_LONG && oneColumnList(rows)) {
    orderByKey(rows, keyColumn, type, order);
  } else {
    // Rows of several column lists may differ in the key's type: each
    // pair is compared as rowLess does, with the first row's type.
    const auto byRow = [&](int32_t a, int32_t b) {
      return rowLess(SortItem{a, &table, keyColumn}, SortItem{b, &table, keyColumn});
    };
    std::stable_sort(order.begin(), order.end(), byRow);
  }
  permute(rows, order);
}
