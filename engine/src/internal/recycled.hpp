// Vectors whose buffers are kept from one call to the next.
//
// Sorting and folding a list needs a few buffers as large as the list. A
// caller that groups lists one after another (a script, a binding) would
// otherwise ask the allocator for them anew each time, and an allocator that
// hands such memory back to the system between calls makes every call touch
// fresh pages. A Recycled vector takes a buffer from a small store and gives
// it back as it is when it goes. The store is one per element type for the
// whole process (not per thread: thread-local objects with destructors are
// unreliable in Windows DLLs built with MinGW), guarded by a spin lock held
// only to take or put one buffer. It keeps at most kKept buffers of at most
// kKeptBytes each, so what stays is bounded whatever the calls.
//
// A vector taken holds what it held before: its user clears it, or resizes
// it and writes every element (elements of plain data, so that nothing needs
// destroying).
#pragma once

#include <atomic>
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
    Store& store = TheStore();
    if (closed_.load(std::memory_order_acquire)) return;
    Locked lock(store);
    if (!store.buffers.empty()) {
      items_ = std::move(store.buffers.back());
      store.buffers.pop_back();
    }
  }
  Recycled(Recycled&& other) noexcept : items_(std::move(other.items_)) {}
  Recycled& operator=(Recycled&& other) noexcept {
    items_ = std::move(other.items_);
    return *this;
  }
  ~Recycled() {
    if (items_.capacity() == 0 || items_.capacity() * sizeof(T) > kKeptBytes) return;
    Store& store = TheStore();
    if (closed_.load(std::memory_order_acquire)) return;
    Locked lock(store);
    // Within the capacity reserved: the store never allocates here.
    if (store.buffers.size() < store.buffers.capacity()) store.buffers.push_back(std::move(items_));
  }

  std::vector<T>& operator*() noexcept { return items_; }
  const std::vector<T>& operator*() const noexcept { return items_; }
  std::vector<T>* operator->() noexcept { return &items_; }
  const std::vector<T>* operator->() const noexcept { return &items_; }

 private:
  static constexpr std::size_t kKeptBytes = std::size_t{1} << 20;
  static constexpr std::size_t kKept = 8;

  struct Store {
    std::atomic_flag busy;
    std::vector<std::vector<T>> buffers;
    Store() {
      try {
        buffers.reserve(kKept);
      } catch (...) {
        // Without room for the store, nothing is kept.
      }
    }
    // At the end of the process the store goes; a vector that goes later
    // (from another static object's destructor) is freed as usual.
    ~Store() { closed_.store(true, std::memory_order_release); }
  };

  class Locked {
   public:
    explicit Locked(Store& store) : store_(store) {
      while (store_.busy.test_and_set(std::memory_order_acquire)) {
      }
    }
    ~Locked() { store_.busy.clear(std::memory_order_release); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;

   private:
    Store& store_;
  };

  static Store& TheStore() {
    static Store store;
    return store;
  }

  static inline std::atomic<bool> closed_{false};
  std::vector<T> items_;
};

}  // namespace ztxgrp::internal
