#include "cache/cache_sort.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "cache/cache_alloc.h"
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

void sortRows(SmartCache& table, int32_t keyColumn) {
  const int32_t count = table.rowCount();
  if (count == 0) return;
  const auto room = static_cast<size_t>(count);
  std::vector<CacheRow> rows;
  std::vector<CacheRow> sorted;
  std::vector<int32_t> order;
  guardAlloc(room * (2 * sizeof(CacheRow) + sizeof(int32_t)), site::kSortMemory, [&] {
    rows.reserve(room);
    sorted.reserve(room);
    order.resize(room);
  });
  for (int32_t i = 0; i < count; ++i) rows.push_back(table.rowAt(i));

  for (int32_t i = 0; i < count; ++i) order[static_cast<size_t>(i)] = i;
  if (count >= 2 && oneColumnList(rows)) {
    // Each key is read once instead of twice in every comparison; the
    // order is the one rowLess gives.
    const int32_t type = rows.front().columnType(keyColumn);
    std::vector<Key> keys;
    guardAlloc(room * sizeof(Key), site::kSortMemory, [&] { keys.reserve(room); });
    for (const CacheRow& row : rows) keys.push_back(keyOf(row, keyColumn, type));
    const auto byKey = [&](int32_t a, int32_t b) {
      return keyLess(keys[static_cast<size_t>(a)], keys[static_cast<size_t>(b)], type);
    };
    std::stable_sort(order.begin(), order.end(), byKey);
  } else {
    // Rows of several column lists may differ in the key's type: each
    // pair is compared as rowLess does, with the first row's type.
    const auto byRow = [&](int32_t a, int32_t b) {
      return rowLess(SortItem{a, &table, keyColumn}, SortItem{b, &table, keyColumn});
    };
    std::stable_sort(order.begin(), order.end(), byRow);
  }

  for (int32_t i : order) sorted.push_back(rows[static_cast<size_t>(i)]);
  // clearRows keeps the store's room, so appending the same number of rows
  // back cannot fail.
  table.clearRows();
  for (const CacheRow& row : sorted) table.appendRow(row);
}
