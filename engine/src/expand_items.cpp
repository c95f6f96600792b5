// Expanding items and ranges into single items.
#include <deque>
#include <string>

#include "internal/expansion.hpp"
#include "internal/item_reader.hpp"
#include "internal/list_reader.hpp"
#include "ztxgrp/cls_group.hpp"
#include "ztxgrp/numeric.hpp"
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
    result.elements.emplace_back(internal::ItemText(expansion.prefix, expansion.start + k));
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
  // Written texts in collection order, with their sort keys. `texts` is
  // reserved in full so that keys may point into it.
  std::vector<std::u16string> texts;
  texts.reserve(static_cast<std::size_t>(total));
  std::vector<internal::ItemKey> keys(static_cast<std::size_t>(total));
  std::vector<std::uint32_t> reread;
  for (const internal::Expansion& expansion : expansions) {
    const bool direct = KeyIsPrefixAndNumber(expansion.prefix);
    for (std::int32_t k = 0; k < expansion.count; ++k) {
      const std::int32_t number = expansion.start + k;
      if (direct && number >= 0) {
        keys[texts.size()] = {expansion.prefix, static_cast<std::int16_t>(number)};
      } else {
        reread.push_back(static_cast<std::uint32_t>(texts.size()));
      }
      texts.push_back(internal::ItemText(expansion.prefix, number));
    }
  }
  if (total >= 2) {
    // Read in the sort's order: item 1 before item 0, then upwards.
    if (reread.size() >= 2 && reread[0] == 0 && reread[1] == 1) std::swap(reread[0], reread[1]);
    for (std::uint32_t index : reread) keys[index] = internal::ReadKey(texts[index]);
  }
  const std::vector<std::uint32_t> order = internal::StableOrder(keys);
  result.elements.reserve(texts.size());
  for (std::uint32_t from : order) result.elements.emplace_back(std::move(texts[from]));
  return result;
}

}  // namespace ztxgrp
