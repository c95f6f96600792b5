#include "internal/ungrouping.hpp"

#include <algorithm>

#include "internal/code_units.hpp"
#include "internal/numeric.hpp"

namespace ztxgrp::internal {
namespace {

// True when every text `prefix` + decimal(n), n >= 0, reads back as exactly
// (prefix, n): the prefix starts with something other than a digit and its
// last character cannot extend the numeric tail. Otherwise the written text
// must be read again to find its sort key.
template <typename Char>
bool KeyIsPrefixAndNumber(std::basic_string_view<Char> prefix) {
  if (prefix.empty() || IsDigit(Wide(prefix.front())) || LongerThan(prefix, kMaxItemLength - 6))
    return false;
  switch (const char16_t last = Wide(prefix.back()); last) {
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

template <typename Char>
std::vector<Reread<Char>> RereadWrittenTexts(const Collected<Char>& collected) {
  std::vector<Reread<Char>> reread;
  std::uint32_t position = 0;
  for (const Expansion<Char>& expansion : collected.expansions) {
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

template <typename Char>
const Reread<Char>* FindReread(const std::vector<Reread<Char>>& reread, std::uint32_t position) {
  const auto found = std::lower_bound(
      reread.begin(), reread.end(), position,
      [](const Reread<Char>& item, std::uint32_t at) { return item.position < at; });
  return found != reread.end() && found->position == position ? &*found : nullptr;
}

template <typename Char>
SortedKeys<Char> SortCollected(const Collected<Char>& collected,
                               const std::vector<Reread<Char>>& reread) {
  SortedKeys<Char> keys(static_cast<std::size_t>(collected.total));
  auto next = reread.begin();
  std::uint32_t position = 0;
  for (const Expansion<Char>& expansion : collected.expansions) {
    // The items up to the next one read again share the expansion's prefix.
    const std::uint32_t first = position;
    const std::uint32_t end = first + static_cast<std::uint32_t>(expansion.count);
    while (position < end) {
      if (next != reread.end() && next->position == position) {
        keys.Add(position, std::basic_string_view<Char>(next->text).substr(0, next->prefixLength),
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

template std::vector<Reread<char>> RereadWrittenTexts(const Collected<char>&);
template std::vector<Reread<char16_t>> RereadWrittenTexts(const Collected<char16_t>&);
template const Reread<char>* FindReread(const std::vector<Reread<char>>&, std::uint32_t);
template const Reread<char16_t>* FindReread(const std::vector<Reread<char16_t>>&, std::uint32_t);
template SortedKeys<char> SortCollected(const Collected<char>&, const std::vector<Reread<char>>&);
template SortedKeys<char16_t> SortCollected(const Collected<char16_t>&,
                                            const std::vector<Reread<char16_t>>&);

}  // namespace ztxgrp::internal
