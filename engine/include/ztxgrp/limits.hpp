// The limits of numbers, lists and texts, for every layer: the engine counts
// with 16-bit integers, and every front end refuses what the engine would.
#pragma once

#include <cstddef>
#include <cstdint>

namespace ztxgrp {

// Item numbers, list bounds and counters are 16-bit.
inline constexpr std::int32_t kLargestNumber = 32767;
inline constexpr std::int32_t kSmallestNumber = -32768;

// A list or a result holds at most this many items: one more would need an
// index or count past 32767.
inline constexpr std::int32_t kMaxItems = kLargestNumber;

// A list of more elements than this has an upper bound beyond 32767 and
// fails with runtime error 6 before any element is read, so readers may stop
// at the first element past this many.
inline constexpr std::size_t kMaxListElements = static_cast<std::size_t>(kMaxItems) + 1;

// The longest text that is read as a numbered item: one character more
// steps a 16-bit scan counter past its range.
inline constexpr std::size_t kMaxItemLength = static_cast<std::size_t>(kLargestNumber);

}  // namespace ztxgrp
