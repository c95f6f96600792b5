#include "ztxgrp/keyed_hash.hpp"

#include <algorithm>
#include <chrono>
#include <cstring>

namespace ztxgrp {
namespace {

// The high and low halves of a 128-bit product, folded: a strong mixer that
// also works where the compiler has no 128-bit integer.
std::uint64_t FoldedProduct(std::uint64_t a, std::uint64_t b) noexcept {
#ifdef __SIZEOF_INT128__
  __extension__ typedef unsigned __int128 Wide;
  const Wide product = static_cast<Wide>(a) * b;
  return static_cast<std::uint64_t>(product) ^ static_cast<std::uint64_t>(product >> 64);
#else
  const std::uint64_t aLow = a & 0xFFFFFFFF, aHigh = a >> 32, bLow = b & 0xFFFFFFFF,
                      bHigh = b >> 32;
  const std::uint64_t low = aLow * bLow, middle1 = aHigh * bLow, middle2 = aLow * bHigh;
  const std::uint64_t middle = (low >> 32) + (middle1 & 0xFFFFFFFF) + (middle2 & 0xFFFFFFFF);
  const std::uint64_t high = aHigh * bHigh + (middle1 >> 32) + (middle2 >> 32) + (middle >> 32);
  return ((middle << 32) | (low & 0xFFFFFFFF)) ^ high;
#endif
}

struct HashKeys {
  std::uint64_t mix, step;
};

const HashKeys& Keys() noexcept {
  static const HashKeys keys = [] {
    static int anchor;
    const auto time = static_cast<std::uint64_t>(
        std::chrono::high_resolution_clock::now().time_since_epoch().count());
    const auto address = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(&anchor));
    const std::uint64_t mix = FoldedProduct(time ^ 0xA0761D6478BD642Full, address | 1) | 1;
    return HashKeys{mix, FoldedProduct(mix, 0xE7037ED1A0B428DBull) | 1};
  }();
  return keys;
}

}  // namespace

std::uint64_t KeyedHash(const void* data, std::size_t bytes) noexcept {
  const HashKeys& keys = Keys();
  const auto* at = static_cast<const unsigned char*>(data);
  auto load = [at](std::size_t k, std::size_t size) {
    std::uint64_t word = 0;
    std::memcpy(&word, at + k, size);
    return word;
  };
  // Sixteen bytes per product: each half mixed with a key, one with the
  // state so far.
  std::uint64_t hash = keys.mix ^ bytes;
  std::size_t k = 0;
  for (; k + 16 <= bytes; k += 16)
    hash = FoldedProduct(load(k, 8) ^ keys.step, load(k + 8, 8) ^ hash);
  const std::size_t rest = bytes - k;
  const std::uint64_t low = load(k, std::min<std::size_t>(rest, 8));
  const std::uint64_t high = rest > 8 ? load(k + 8, rest - 8) : 0;
  return FoldedProduct(low ^ keys.step ^ keys.mix,
                       FoldedProduct(high ^ keys.mix, hash ^ keys.step));
}

}  // namespace ztxgrp
