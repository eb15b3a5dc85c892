#include "cache/cache_sort.h"

#include <algorithm>
#include <cstring>
#include <vector>

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

bool timestampLess(const Timestamp& a, const Timestamp& b) {
  if (dateKey(a.date) != dateKey(b.date)) return dateKey(a.date) < dateKey(b.date);
  if (timeKey(a.time) != timeKey(b.time)) return timeKey(a.time) < timeKey(b.time);
  return a.fraction < b.fraction;
}

}  // namespace

bool rowLess(const SortItem& a, const SortItem& b) {
  const CacheRow rowA = a.table->rowAt(a.position);
  const CacheRow rowB = b.table->rowAt(b.position);
  const int32_t k = a.keyColumn;
  const int32_t type = rowA.columnType(k);
  const bool nullA = rowA.isNull(k);
  const bool nullB = rowB.isNull(k);
  if (nullA || nullB) return nullA && !nullB;

  switch (type) {
    case SQL_C_LONG: return rowA.getLong(k) < rowB.getLong(k);
    case SQL_C_DOUBLE: return rowA.getDouble(k) < rowB.getDouble(k);
    case SQL_C_CHAR: return textLess(rowA.getString(k), rowB.getString(k));
    case SQL_C_DATE: case SQL_C_TYPE_DATE:
      return dateKey(rowA.getDate(k)) < dateKey(rowB.getDate(k));
    case SQL_C_TIME: case SQL_C_TYPE_TIME:
      return timeKey(rowA.getTime(k)) < timeKey(rowB.getTime(k));
    case SQL_C_TIMESTAMP: case SQL_C_TYPE_TIMESTAMP:
      return timestampLess(rowA.getTimestamp(k), rowB.getTimestamp(k));
    default:
      return false;  // binary cells and other types never reorder rows
  }
}

void sortRows(SmartCache& table, int32_t keyColumn) {
  const int32_t count = table.rowCount();
  if (count == 0) return;
  std::vector<SortItem> items;
  items.reserve(static_cast<size_t>(count));
  for (int32_t i = 0; i < count; ++i) items.push_back(SortItem{i, &table, keyColumn});
  std::stable_sort(items.begin(), items.end(), rowLess);

  std::vector<CacheRow> sorted;
  sorted.reserve(items.size());
  for (const SortItem& item : items) sorted.push_back(table.rowAt(item.position));
  // clearRows keeps the store's room, so appending the same number of rows
  // back cannot fail.
  table.clearRows();
  for (const CacheRow& row : sorted) table.appendRow(row);
}
