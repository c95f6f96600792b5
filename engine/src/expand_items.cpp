// Expanding items and ranges into single items.
#include <algorithm>
#include <deque>
#include <string>

#include "internal/expansion.hpp"
#include "internal/item_reader.hpp"
#include "internal/list_reader.hpp"
#include "internal/numeric.hpp"
#include "ztxgrp/cls_group.hpp"
#include "ztxgrp/runtime_error.hpp"

namespace ztxgrp {
namespace {

constexpr std::int32_t kMaxItems = 32767;

// True when every text `prefix` + decimal(n), n >= 0, reads back as exactly
// (prefix, n): the prefix starts with something other than a digit and its
// last character cannot extend the numeric tail. Otherwise the written text
// must be read again to find its sort key.
bool KeyIsPrefixAndNumber(std::u16string_view prefix) {
  if (prefix.empty() || IsDigit(prefix.front()) || prefix.size() + 6 > 32767) return false;
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

Value clsGroup::ExpandItem(std::u16string strItem) const {
  const internal::Expansion expansion = internal::ReadExpansion(strItem);
  ItemList result;
  result.elements.reserve(static_cast<std::size_t>(expansion.count));
  for (std::int32_t k = 0; k < expansion.count; ++k)
    internal::AppendItem(result.elements, expansion.prefix, expansion.start + k);
  return result;
}

Value clsGroup::UngroupItems(const Value& list) const {
  const ItemList& items = internal::ListOf(list);
  const internal::ListBounds bounds = internal::BoundsOf(items);
  const std::size_t count = items.elements.size();

  std::deque<std::u16string> converted;
  std::vector<internal::Expansion> expansions;
  expansions.reserve(count);
  std::int32_t total = 0;
  for (const Value& element : items.elements) {
    const std::u16string_view text = internal::ReadElementText(element, converted);
    const internal::Expansion expansion = internal::ReadExpansion(text);
    if (total + expansion.count > kMaxItems) Raise(ErrorNumber::Overflow, text);
    total += expansion.count;
    expansions.push_back(expansion);
  }
  // The element counter steps past the upper bound after the last element.
  if (count > 0 && bounds.upper == 32767) Raise(ErrorNumber::Overflow);

  ItemList result;
  if (total == 0) {
    result.elements.emplace_back();  // one empty element
    return result;
  }
  // Items whose written text may read back differently are written now and
  // read again, in the order in which a sort of neighbours reads them
  // (item 1 before item 0, then upwards). Every other item's key is its
  // expansion's prefix and its number.
  struct Reread {
    std::uint32_t index;
    std::u16string text;
    internal::ItemKey key;
  };
  std::vector<Reread> reread;
  std::uint32_t index = 0;
  for (const internal::Expansion& expansion : expansions) {
    const bool direct = KeyIsPrefixAndNumber(expansion.prefix);
    for (std::int32_t k = 0; k < expansion.count; ++k, ++index) {
      const std::int32_t number = expansion.start + k;
      if (!direct || number < 0)
        reread.push_back({index, internal::ItemText(expansion.prefix, number), {}});
    }
  }
  if (total >= 2) {
    if (reread.size() >= 2 && reread[0].index == 0 && reread[1].index == 1)
      reread[1].key = internal::ReadKey(reread[1].text);
    for (Reread& item : reread)
      if (item.key.prefix.data() == nullptr) item.key = internal::ReadKey(item.text);
  }

  // Keys packed with interned prefix ids, then the ids replaced by ranks.
  // Only items written from their expansion's prefix need the prefix again;
  // reread items keep their own text.
  internal::PrefixTable prefixes(expansions.size());
  std::vector<std::uint64_t> packed(static_cast<std::size_t>(total));
  std::vector<std::u16string_view> prefixOf;
  auto next = reread.begin();
  index = 0;
  for (const internal::Expansion& expansion : expansions) {
    std::uint32_t id = UINT32_MAX;  // the expansion's prefix, interned on first use
    for (std::int32_t k = 0; k < expansion.count; ++k, ++index) {
      if (next != reread.end() && next->index == index) {
        const internal::ItemKey& key = (next++)->key;
        packed[index] = internal::PackItem(prefixes.Intern(key.prefix), key.number, index);
        continue;
      }
      if (id == UINT32_MAX) {
        id = prefixes.Intern(expansion.prefix);
        if (id >= prefixOf.size()) prefixOf.resize(id + 1);
        prefixOf[id] = expansion.prefix;
      }
      packed[index] = internal::PackItem(id, static_cast<std::int16_t>(expansion.start + k), index);
    }
  }
  prefixOf.resize(prefixes.size());
  const std::vector<std::uint32_t> ranks = prefixes.Ranks();
  for (std::uint64_t& item : packed)
    item = internal::PackItem(ranks[internal::RankOf(item)], internal::NumberOf(item),
                              internal::IndexOf(item));
  internal::SortPacked(packed);

  std::vector<std::u16string_view> prefixOfRank(ranks.size());
  for (std::size_t id = 0; id < ranks.size(); ++id) prefixOfRank[ranks[id]] = prefixOf[id];
  result.elements.reserve(packed.size());
  for (std::uint64_t item : packed) {
    if (!reread.empty()) {
      const auto found =
          std::lower_bound(reread.begin(), reread.end(), internal::IndexOf(item),
                           [](const Reread& r, std::uint32_t at) { return r.index < at; });
      if (found != reread.end() && found->index == internal::IndexOf(item)) {
        result.elements.emplace_back(std::u16string_view(found->text));
        continue;
      }
    }
    internal::AppendItem(result.elements, prefixOfRank[internal::RankOf(item)],
                         internal::NumberOf(item));
  }
  return result;
}

}  // namespace ztxgrp
