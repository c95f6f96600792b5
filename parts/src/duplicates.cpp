#include "duplicates.hpp"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <string>

#include "ztxgrp/keyed_hash.hpp"
#include "ztxgrp/utf.hpp"

namespace ztxgrp::parts_detail {

void ForEachRepeated(std::span<const Designator> all,
                     const std::function<void(std::span<const std::size_t>)>& visit) {
  // Each designator becomes one integer, the high bits of its text's hash
  // above its index; sorted, equal hashes lie together in reading order,
  // and only within such runs (rare unless texts repeat) are texts compared.
  const std::size_t n = all.size();
  const int indexBits = std::max(1, static_cast<int>(std::bit_width(n)));
  const std::uint64_t indexMask = (std::uint64_t{1} << indexBits) - 1;
  std::vector<std::uint64_t> keys(n);
  for (std::size_t k = 0; k < n; ++k) keys[k] = (KeyedHash(all[k].text) & ~indexMask) | k;
  SortKeys(keys);
  auto text = [&](std::size_t index) -> std::string_view { return all[index].text; };
  std::vector<std::size_t> run;
  for (std::size_t begin = 0, end = 0; begin < n; begin = end) {
    for (end = begin + 1; end < n && ((keys[end] ^ keys[begin]) & ~indexMask) == 0;) ++end;
    if (end - begin < 2) continue;
    run.clear();
    for (std::size_t k = begin; k < end; ++k) run.push_back(keys[k] & indexMask);
    // Equal texts together, each text's indices ascending; which text comes
    // first does not matter here.
    if (run.size() > 2)
      std::sort(run.begin(), run.end(), [&](std::size_t a, std::size_t b) {
        const std::string_view ta = text(a), tb = text(b);
        return ta != tb ? ta < tb : a < b;
      });
    for (std::size_t from = 0, to = 0; from < run.size(); from = to) {
      for (to = from + 1; to < run.size() && text(run[to]) == text(run[from]);) ++to;
      if (to - from > 1) visit(std::span<const std::size_t>(run).subspan(from, to - from));
    }
  }
}

std::vector<std::vector<std::size_t>> RepeatedDesignators(std::span<const Designator> all) {
  std::vector<std::vector<std::size_t>> repeated;  // indices of one text, ascending
  ForEachRepeated(all, [&](std::span<const std::size_t> indices) {
    repeated.emplace_back(indices.begin(), indices.end());
  });
  auto before = [&](std::size_t a, std::size_t b) {
    return Utf16OrderLess(all[a].text, all[b].text);
  };
  std::sort(repeated.begin(), repeated.end(),
            [&](const auto& a, const auto& b) { return before(a.front(), b.front()); });
  return repeated;
}

// Sorts keys whose high bits are a keyed hash, so spread evenly: a pass
// into buckets by their top bits, about 64 keys each, then each bucket,
// small and in cache, sorted on its own.
void SortKeys(std::vector<std::uint64_t>& keys) {
  const int bits = std::clamp(static_cast<int>(std::bit_width(keys.size())) - 6, 0, 16);
  if (bits == 0) {
    std::sort(keys.begin(), keys.end());
    return;
  }
  const int shift = 64 - bits;
  std::vector<std::size_t> starts((std::size_t{1} << bits) + 1);
  for (const std::uint64_t key : keys) ++starts[(key >> shift) + 1];
  for (std::size_t b = 1; b < starts.size(); ++b) starts[b] += starts[b - 1];
  std::vector<std::uint64_t> sorted(keys.size());
  std::vector<std::size_t> next(starts.begin(), starts.end() - 1);
  for (const std::uint64_t key : keys) sorted[next[key >> shift]++] = key;
  for (std::size_t b = 0; b + 1 < starts.size(); ++b)
    std::sort(sorted.begin() + static_cast<std::ptrdiff_t>(starts[b]),
              sorted.begin() + static_cast<std::ptrdiff_t>(starts[b + 1]));
  keys = std::move(sorted);
}

}  // namespace ztxgrp::parts_detail
