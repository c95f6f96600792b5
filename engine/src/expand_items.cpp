// Expanding items and ranges into single items.
#include <algorithm>
#include <deque>
#include <string>

#include "internal/counters.hpp"
#include "internal/expansion.hpp"
#include "internal/item_reader.hpp"
#include "internal/list_reader.hpp"
#include "internal/numeric.hpp"
#include "internal/sorted_keys.hpp"
#include "ztxgrp/cls_group.hpp"
#include "ztxgrp/runtime_error.hpp"

namespace ztxgrp {
namespace {

// True when every text `prefix` + decimal(n), n >= 0, reads back as exactly
// (prefix, n): the prefix starts with something other than a digit and its
// last character cannot extend the numeric tail. Otherwise the written text
// must be read again to find its sort key.
bool KeyIsPrefixAndNumber(std::u16string_view prefix) {
  if (prefix.empty() || IsDigit(prefix.front()) || prefix.size() + 6 > internal::kMaxItems)
    return false;
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

namespace {

// Every element read as text and expanded, in input order.
struct Collected {
  std::deque<std::u16string> converted;  // texts of elements that are not texts
  std::vector<internal::Expansion> expansions;
  std::int32_t total = 0;  // items in all
};

// An item whose written text may read back as another key: written now and
// read again, as the final sort reads it.
struct Reread {
  std::uint32_t position;
  std::u16string text;
  std::size_t prefixLength = 0;  // the reading of `text`
  std::int16_t number = -1;

  void Read() {
    const internal::ItemKey key = internal::ReadKey(text);
    prefixLength = key.prefix.size();
    number = key.number;
  }
};

// Reads and expands each element in turn. Errors: the element's, 6 when the
// items collected pass 32767 (the count steps past it), 6 when the element
// counter steps past an upper bound of 32767 after the last element.
Collected CollectExpansions(const ItemList& items, const internal::ListBounds& bounds) {
  Collected collected;
  collected.expansions.reserve(items.elements.size());
  for (const Value& element : items.elements) {
    const std::u16string_view text = internal::ReadElementText(element, collected.converted);
    const internal::Expansion expansion = internal::ReadExpansion(text);
    if (internal::ItemsOverflow(std::int64_t{collected.total} + expansion.count))
      Raise(ErrorNumber::Overflow, text);
    collected.total += expansion.count;
    collected.expansions.push_back(expansion);
  }
  if (internal::ElementCounterOverflows(bounds, items.elements.size()))
    Raise(ErrorNumber::Overflow);
  return collected;
}

// The items whose written text must be read again, read in the order in
// which a sort of neighbours first reads them (item 1, item 0, then
// upwards), so that the first failure is the sort's. A single item is never
// read by the sort.
std::vector<Reread> RereadWrittenTexts(const Collected& collected) {
  std::vector<Reread> reread;
  std::uint32_t position = 0;
  for (const internal::Expansion& expansion : collected.expansions) {
    const bool direct = KeyIsPrefixAndNumber(expansion.prefix);
    for (std::int32_t k = 0; k < expansion.count; ++k, ++position) {
      const std::int32_t number = expansion.start + k;
      if (!direct || number < 0)
        reread.push_back({position, internal::ItemText(expansion.prefix, number)});
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

// Every item's key: its own reading when it was read again, else its
// expansion's prefix and its number.
internal::SortedKeys SortCollected(const Collected& collected, const std::vector<Reread>& reread) {
  internal::SortedKeys keys(static_cast<std::size_t>(collected.total));
  auto next = reread.begin();
  std::uint32_t position = 0;
  for (const internal::Expansion& expansion : collected.expansions) {
    for (std::int32_t k = 0; k < expansion.count; ++k, ++position) {
      if (next != reread.end() && next->position == position) {
        keys.Add(position, std::u16string_view(next->text).substr(0, next->prefixLength),
                 next->number);
        ++next;
      } else {
        keys.Add(position, expansion.prefix, static_cast<std::int16_t>(expansion.start + k));
      }
    }
  }
  keys.Sort();
  return keys;
}

Value WriteSorted(const internal::SortedKeys& keys, const std::vector<Reread>& reread) {
  ItemList result;
  result.elements.reserve(keys.size());
  for (std::size_t k = 0; k < keys.size(); ++k) {
    if (const Reread* item = reread.empty() ? nullptr : FindReread(reread, keys.PositionOf(k)))
      result.elements.emplace_back(std::u16string_view(item->text));
    else
      internal::AppendItem(result.elements, keys.PrefixOf(k), keys.NumberOf(k));
  }
  return result;
}

}  // namespace

Value clsGroup::UngroupItems(const Value& list) const {
  const ItemList& items = internal::ListOf(list);
  const Collected collected = CollectExpansions(items, internal::BoundsOf(items));
  if (collected.total == 0) {
    ItemList result;
    result.elements.emplace_back();  // one empty element
    return result;
  }
  const std::vector<Reread> reread = RereadWrittenTexts(collected);
  return WriteSorted(SortCollected(collected, reread), reread);
}

}  // namespace ztxgrp
