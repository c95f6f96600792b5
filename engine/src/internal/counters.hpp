// The 16-bit counters of the list operations and the limits they set, in
// one place.
//
// The operations count with 16-bit integers whose every step is checked: a
// step past 32767 or below -32768 is runtime error 6 at the moment the loop
// would take it. Each check below says which loop that is and when it steps,
// so that the order in which errors surface can be read here:
//
//   Sort    bounds beyond 16 bits (6) -> a lower bound of 32767 (6, at once)
//           -> a one-element list at -32768 (6, nothing read) -> element
//           errors, in the first pass's read order -> an upper bound of 32767
//           (6, after the first pass) -> a longer list at -32768 (6, after
//           the last pass)
//   Group   every failure of the sort -> the walk's element errors (only a
//           one-element list's element is new to it) -> a 32768th entry (6)
//   Ungroup bounds beyond 16 bits (6) -> each element's errors, then a
//           32768th collected item (6), element by element -> an upper bound
//           of 32767 (6, after the last element) -> the final sort's errors
#pragma once

#include <cstddef>
#include <cstdint>

#include "ztxgrp/limits.hpp"

namespace ztxgrp::internal {

inline constexpr std::int32_t kLargest16 = kLargestNumber;
inline constexpr std::int32_t kSmallest16 = kSmallestNumber;

// A list's bounds once they are known to fit 16 bits.
struct ListBounds {
  std::int16_t lower = 0;
  std::int16_t upper = -1;
};

// The sort's first pass starts its position at lower + 1: at a lower bound of
// 32767 it overflows before anything is read, for any list with elements.
inline bool SortStartOverflows(ListBounds bounds, std::size_t count) {
  return count > 0 && bounds.lower == kLargest16;
}

// The first pass steps its position past the upper bound after its last
// comparison, that is after every element was read: at 32767 it overflows
// (lists of two or more; a one-element list meets SortStartOverflows).
inline bool SortPassOverflows(ListBounds bounds, std::size_t count) {
  return count >= 2 && bounds.upper == kLargest16;
}

// The pass bound steps below the lower bound after the last pass: at -32768
// it overflows. A one-element list makes no comparison, so this comes before
// its element is read; a longer list is sorted completely first.
inline bool SortEndOverflows(ListBounds bounds, std::size_t count) {
  return count > 0 && bounds.lower == kSmallest16;
}

// Ungrouping's element counter steps past the upper bound after the last
// element: at 32767 it overflows, after every element was expanded.
inline bool ElementCounterOverflows(ListBounds bounds, std::size_t count) {
  return count > 0 && bounds.upper == kLargest16;
}

// A result's write index or item count steps past 32767 after the 32767th
// item: one item more overflows.
inline bool ItemsOverflow(std::int64_t items) {
  return items > kMaxItems;
}

}  // namespace ztxgrp::internal
