#include "internal/ungrouping.hpp"

#include <algorithm>

#include "internal/numeric.hpp"

namespace ztxgrp::internal {
namespace {

// True when every text `prefix` + decimal(n), n >= 0, reads back as exactly
// (prefix, n): the prefix starts with something other than a digit and its
// last character cannot extend the numeric tail. Otherwise the written text
// must be read again to find its sort key.
bool KeyIsPrefixAndNumber(std::u16string_view prefix) {
  if (prefix.empty() || IsDigit(prefix.front()) || prefix.size() + 6 > kMaxItemLength) return false;
  switch (const char16_t last = prefix.back(); last) {
    case u'.':
    case u'+':
    case u'-':
    case u' ':
    case u'\t':
      return false;
    default:
      return !IsDigit(last);
  }
}

}  // namespace

std::vector<Reread> RereadWrittenTexts(const Collected& collected) {
  std::vector<Reread> reread;
  std::uint32_t position = 0;
  for (const Expansion& expansion : collected.expansions) {
    const bool direct = KeyIsPrefixAndNumber(expansion.prefix);
    for (std::int32_t k = 0; k < expansion.count; ++k, ++position) {
      const std::int32_t number = expansion.start + k;
      if (!direct || number < 0) reread.push_back({position, ItemText(expansion.prefix, number)});
    }
  }
  if (collected.total < 2) return reread;  // a single item is never compared
  const bool firstTwo = reread.size() >= 2 && reread[0].position == 0 && reread[1].position == 1;
  if (firstTwo) reread[1].Read();
  for (std::size_t k = 0; k < reread.size(); ++k)
    if (!(firstTwo && k == 1)) reread[k].Read();
  return reread;
}

const Reread* FindReread(const std::vector<Reread>& reread, std::uint32_t position) {
  const auto found =
      std::lower_bound(reread.begin(), reread.end(), position,
                       [](const Reread& item, std::uint32_t at) { return item.position < at; });
  return found != reread.end() && found->position == position ? &*found : nullptr;
}

SortedKeys SortCollected(const Collected& collected, const std::vector<Reread>& reread) {
  SortedKeys keys(static_cast<std::size_t>(collected.total));
  auto next = reread.begin();
  std::uint32_t position = 0;
  for (const Expansion& expansion : collected.expansions) {
    // The items up to the next one read again share the expansion's prefix.
    const std::uint32_t first = position;
    const std::uint32_t end = first + static_cast<std::uint32_t>(expansion.count);
    while (position < end) {
      if (next != reread.end() && next->position == position) {
        keys.Add(position, std::u16string_view(next->text).substr(0, next->prefixLength),
                 next->number);
        ++next;
        ++position;
        continue;
      }
      const std::uint32_t runEnd =
          next != reread.end() && next->position < end ? next->position : end;
      const auto number = static_cast<std::int16_t>(expansion.start + (position - first));
      keys.AddRun(position, expansion.prefix, number, static_cast<std::int32_t>(runEnd - position));
      position = runEnd;
    }
  }
  keys.Sort();
  return keys;
}

}  // namespace ztxgrp::internal
