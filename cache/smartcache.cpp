#include "cache/smartcache.h"

#include "cache/cache_alloc.h"
#include "cache/cache_stream.h"
#include "cache/row_access.h"
#include "cache/row_arena.h"

SmartCache::SmartCache() : templateRow_(CacheRow::createEmpty()) {}

SmartCache::~SmartCache() = default;

void SmartCache::swap(SmartCache& other) noexcept {
  templateRow_.swap(other.templateRow_);
  rows_.swap(other.rows_);
  arena_.swap(other.arena_);
  agreeing_.swap(other.agreeing_);
}

int32_t SmartCache::findColumn(const std::string& name) const {
  return rowData(templateRow_).columnList().find(name);
}

void SmartCache::addColumn(const std::string& name, int32_t type) {
  if (!rows_.empty()) {
    raiseUnexpected(site::kAddColumnNotEmpty,
                    "columns cannot be added to a cache if the cache is not empty");
  }
  templateRow_.addColumn(name, type);
  agreeing_ = RefPtr<CacheColumnList>();
}

void SmartCache::setTemplateRow(const CacheRow& row) {
  if (!rows_.empty()) {
    raiseUnexpected(site::kAddColumnNotEmpty,
                    "columns cannot be added to a cache if the cache is not empty");
  }
  templateRow_ = row;
  agreeing_ = RefPtr<CacheColumnList>();
}

void SmartCache::resetSchema() {
  templateRow_.makeUnique();
  templateRow_.resetColumns();
  agreeing_ = RefPtr<CacheColumnList>();
  clearRows();
}

void SmartCache::appendRow(const CacheRow& row) {
  if (rows_.size() == rows_.capacity()) {
    // Grow to size + max(size, 1): 0, 1, 2, 4, 8 ...
    const size_t grown = rows_.size() + (rows_.empty() ? 1 : rows_.size());
    guardAlloc(grown * sizeof(CacheRow), site::kGrowRowStore,
               [&] { rows_.reserve(grown); });
  }
  rows_.push_back(row);
}

bool SmartCache::hasTemplateColumns(const CacheRowData& row) {
  const CacheRowData& own = rowData(templateRow_);
  if (row.sharesColumnsWith(own)) return true;
  const CacheColumnList& columns = row.columnList();
  if (agreeing_.get() == &columns) return true;
  if (columns.size() != own.columnCount()) return false;
  for (uint32_t i = 0; i < columns.size(); ++i) {
    if (columns[i].type != own.column(i).type || columns[i].name != own.column(i).name) {
      return false;
    }
  }
  agreeing_ = row.sharedColumnList();
  return true;
}

void SmartCache::appendCopy(const CacheRow& row) {
  const CacheRowData& data = rowData(row);
  if (!hasTemplateColumns(data) || !data.flags().clearBeyondCount()) {
    CacheRow copy = templateRow_;
    assignByName(copy, row);
    // A copy that shares `row` (same column list) must still be the
    // table's own.
    appendRow(copy.sharesDataWith(row) ? RowAccess::fromData(data.clone()) : copy);
    return;
  }
  if (!arena_) arena_ = RowArena::create();
  appendRow(RowAccess::fromData(data.copyInto(*arena_, rowData(templateRow_).sharedColumnList())));
}

void SmartCache::replaceRow(int32_t index, const CacheRow& row) {
  if (index < 0 || index >= rowCount()) raiseBadArg(site::kRowAtIndex, "Position invalid.");
  rows_[static_cast<size_t>(index)] = row;
}

void SmartCache::clearRows() {
  rows_.clear();
  arena_ = RefPtr<RowArena>();  // rows still handed out keep it alive
}

void SmartCache::reserveRows(int32_t rows) {
  try {
    if (rows > 0) rows_.reserve(static_cast<size_t>(rows));
  } catch (const std::bad_alloc&) {
    // Appending grows the store as it goes.
  }
}

CachePosition SmartCache::begin() const {
  return rows_.empty() ? end() : CachePosition(0);
}

CachePosition SmartCache::next(CachePosition position) const {
  if (position.isEnd()) return end();
  const int32_t slot = position.slot() + 1;
  return slot < rowCount() ? CachePosition(slot) : end();
}

CachePosition SmartCache::prev(CachePosition position) const {
  return position.slot() > 0 ? CachePosition(position.slot() - 1) : end();
}

CacheRow SmartCache::rowAt(CachePosition position) const {
  if (position.isEnd() || position.slot() >= rowCount()) {
    raiseBadArg(site::kRowAtPosition, "Position invalid.");
  }
  return rows_[static_cast<size_t>(position.slot())];
}

CacheRow SmartCache::rowAt(int32_t index) const {
  if (index < 0 || index >= rowCount()) {
    raiseBadArg(site::kRowAtIndex, "Position invalid.");
  }
  return rows_[static_cast<size_t>(index)];
}

CachePosition SmartCache::findFirst(const CacheRow& pattern) const {
  for (size_t i = 0; i < rows_.size(); ++i) {
    if (rows_[i].sharesDataWith(pattern) || rows_[i].matchesPattern(pattern)) {
      return CachePosition(static_cast<int32_t>(i));
    }
  }
  return end();
}
