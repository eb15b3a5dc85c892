// A counted reference to an object that carries its own reference count in
// a public `int32_t refCount` member, which starts at 0. The object is
// deleted when the last reference to it goes (its count drops below 1),
// unless its class specialises RefDestroy to end its objects otherwise.
// Counts are plain integers: one thread only.
#pragma once

#include <cstdint>
#include <utility>

template <class T>
struct RefDestroy {
  static void destroy(T* object) { delete object; }
};

template <class T>
class RefPtr {
 public:
  RefPtr() = default;
  // Takes a reference to `object` (newly made objects come with count 0).
  explicit RefPtr(T* object) : object_(object) { acquire(); }
  RefPtr(const RefPtr& other) : object_(other.object_) { acquire(); }
  RefPtr(RefPtr&& other) noexcept : object_(other.object_) {
    other.object_ = nullptr;
  }
  RefPtr& operator=(RefPtr other) noexcept {
    std::swap(object_, other.object_);
    return *this;
  }
  ~RefPtr() { release(); }
  void swap(RefPtr& other) noexcept { std::swap(object_, other.object_); }

  T* get() const { return object_; }
  T& operator*() const { return *object_; }
  T* operator->() const { return object_; }
  explicit operator bool() const { return object_ != nullptr; }
  int32_t useCount() const { return object_ ? object_->refCount : 0; }

 private:
  void acquire() {
    if (object_) ++object_->refCount;
  }
  void release() {
    if (object_ && --object_->refCount < 1) RefDestroy<T>::destroy(object_);
    object_ = nullptr;
  }

  T* object_ = nullptr;
};
