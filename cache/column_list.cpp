#include "cache/column_list.h"

#include <new>

#include "cache/cache_alloc.h"

CacheColumnList::CacheColumnList(const CacheColumnList& other) : refCount(0) {
  guardAlloc(other.columns_.size() * sizeof(CacheColumn), site::kCopyColumnList,
             [&] { columns_ = other.columns_; });
}

int32_t CacheColumnList::find(const std::string& name) const {
  if (columns_.size() < kIndexedFrom) return scan(name);
  if (index_.empty()) {
    try {
      index_.reserve(columns_.size());
      // Backwards, so that the first column of a repeated name wins.
      for (size_t i = columns_.size(); i-- > 0;) {
        index_[std::string_view(columns_[i].name)] = static_cast<int32_t>(i);
      }
    } catch (const std::bad_alloc&) {
      dropIndex();
      return scan(name);
    }
  }
  const auto found = index_.find(std::string_view(name));
  return found == index_.end() ? -1 : found->second;
}

int32_t CacheColumnList::scan(const std::string& name) const {
  for (size_t i = 0; i < columns_.size(); ++i) {
    if (columns_[i].name == name) return static_cast<int32_t>(i);
  }
  return -1;
}

void CacheColumnList::reserveOneMore() {
  guardAlloc((columns_.size() + 1) * sizeof(CacheColumn), site::kCopyColumnList,
             [&] { columns_.reserve(columns_.size() + 1); });
}

void CacheColumnList::append(CacheColumn column) noexcept {
  dropIndex();
  columns_.push_back(std::move(column));
}

void CacheColumnList::assign(std::vector<CacheColumn> columns) noexcept {
  dropIndex();
  columns_ = std::move(columns);
}

void CacheColumnList::clear() noexcept {
  dropIndex();
  columns_.clear();
}

void CacheColumnList::dropIndex() const noexcept {
  // A new, empty map: clear() would keep the buckets of a long list.
  std::unordered_map<std::string_view, int32_t>().swap(index_);
}
