// Vectors whose buffers are kept per thread from one call to the next.
//
// Sorting and folding a list needs a few buffers as large as the list. A
// caller that groups lists one after another (a script, a binding) would
// otherwise ask the allocator for them anew each time, and an allocator that
// hands such memory back to the system between calls makes every call touch
// fresh pages. A Recycled vector takes a buffer from a small per-thread
// store and gives it back as it is when it goes; the store keeps a few
// buffers of at most kKeptBytes each, so what stays is bounded by the
// largest list (32,768 items) whatever the calls. A vector taken holds what
// it held before: its user clears it, or resizes it and writes every
// element (elements of plain data, so that nothing needs destroying).
#pragma once

#include <cstddef>
#include <type_traits>
#include <utility>
#include <vector>

namespace ztxgrp::internal {

template <typename T>
class Recycled {
  static_assert(std::is_trivially_copyable_v<T>);

 public:
  Recycled() {
    std::vector<std::vector<T>>& store = Store();
    if (!store.empty()) {
      items_ = std::move(store.back());
      store.pop_back();
    }
  }
  Recycled(Recycled&& other) noexcept : items_(std::move(other.items_)) {}
  Recycled& operator=(Recycled&& other) noexcept {
    items_ = std::move(other.items_);
    return *this;
  }
  ~Recycled() {
    std::vector<std::vector<T>>& store = Store();
    if (items_.capacity() == 0 || items_.capacity() * sizeof(T) > kKeptBytes ||
        store.size() == store.capacity())
      return;
    store.push_back(std::move(items_));  // within capacity: does not allocate
  }

  std::vector<T>& operator*() noexcept { return items_; }
  const std::vector<T>& operator*() const noexcept { return items_; }
  std::vector<T>* operator->() noexcept { return &items_; }
  const std::vector<T>* operator->() const noexcept { return &items_; }

 private:
  static constexpr std::size_t kKeptBytes = std::size_t{1} << 20;
  static constexpr std::size_t kKept = 4;

  static std::vector<std::vector<T>>& Store() noexcept {
    thread_local std::vector<std::vector<T>> store = [] {
      std::vector<std::vector<T>> buffers;
      try {
        buffers.reserve(kKept);
      } catch (...) {
        // Without room for the store, nothing is kept.
      }
      return buffers;
    }();
    return store;
  }

  std::vector<T> items_;
};

}  // namespace ztxgrp::internal
