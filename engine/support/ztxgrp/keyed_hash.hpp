// A hash of bytes under keys chosen anew in every process: texts chosen to
// collide in one process's hash table cannot be known in advance, so no
// input can force long chains or probe sequences.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace ztxgrp {

std::uint64_t KeyedHash(const void* data, std::size_t bytes) noexcept;

inline std::uint64_t KeyedHash(std::string_view text) noexcept {
  return KeyedHash(text.data(), text.size());
}
inline std::uint64_t KeyedHash(std::u16string_view text) noexcept {
  return KeyedHash(text.data(), text.size() * sizeof(char16_t));
}

}  // namespace ztxgrp
