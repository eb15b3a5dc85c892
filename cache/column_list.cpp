#include "cache/column_list.h"

#include <new>

#include "cache/cache_alloc.h"

CacheColumnList::CacheColumnList(const CacheColumnList& other) : refCount(0) {
  guardAlloc(other.columns_.size() * sizeof(CacheColumn), site::kCopyColumnList,
             [&] { columns_ = other.columns_; });
}

namespace {

// FNV-1a: quick on the short names columns have.
uint64_t nameHash(const std::string& name) {
  uint64_t hash = 14695981039346656037ull;
  for (const char c : name) {
    hash ^= static_cast<uint8_t>(c);
    hash *= 1099511628211ull;
  }
  return hash;
}

}  // namespace

int32_t CacheColumnList::find(const std::string& name) const {
  if (columns_.size() < kIndexedFrom) return scan(name);
  if (index_.empty() && !buildIndex()) return scan(name);
  const size_t mask = index_.size() - 1;
  for (size_t slot = nameHash(name) & mask; index_[slot] != 0; slot = (slot + 1) & mask) {
    const int32_t i = index_[slot] - 1;
    if (columns_[static_cast<size_t>(i)].name == name) return i;
  }
  return -1;
}

bool CacheColumnList::buildIndex() const {
  size_t slots = 1;
  while (slots < 2 * columns_.size()) slots *= 2;
  try {
    index_.assign(slots, 0);
  } catch (const std::bad_alloc&) {
    dropIndex();
    return false;
  }
  const size_t mask = slots - 1;
  for (size_t i = 0; i < columns_.size(); ++i) {
    const std::string& name = columns_[i].name;
    size_t slot = nameHash(name) & mask;
    // The first column of a repeated name keeps its slot.
    while (index_[slot] != 0 && columns_[static_cast<size_t>(index_[slot] - 1)].name != name) {
      slot = (slot + 1) & mask;
    }
    if (index_[slot] == 0) index_[slot] = static_cast<int32_t>(i + 1);
  }
  return true;
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

void CacheColumnList::dropIndex() const noexcept { std::vector<int32_t>().swap(index_); }
