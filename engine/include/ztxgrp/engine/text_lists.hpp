// Grouping and ungrouping lists of texts, for callers that hold their own
// texts (the UTF-8 functions, the parts-list layer): the worker class's
// operations on a list with lower bound 0, without building a list of values
// on the way in or out. Results, errors and their order are those of
// clsGroup::GroupItems and clsGroup::UngroupItems.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "ztxgrp/engine/value.hpp"

namespace ztxgrp {

// One entry of a grouped list: a single item (first == last; -1 for an item
// without number) or a range of two or more items, first < last.
struct GroupEntry {
  std::u16string_view prefix;
  std::int16_t first = -1;
  std::int16_t last = -1;
  bool IsRange() const noexcept { return first != last; }
};

// Where results go, in order. The views are valid during the call only.
class ResultWriter {
 public:
  virtual ~ResultWriter() = default;
  // Called once before the results of ungrouping, with their number.
  virtual void Reserve(std::size_t results) = 0;
  // An item or a range, to be written in the engine's form (entry_text.hpp).
  virtual void Entry(const GroupEntry& entry) = 0;
  // An item whose written form had to be read again: written as this text.
  virtual void Text(std::u16string_view text) = 0;
  // The one element of an empty result (an empty list, or no item at all).
  virtual void EmptyElement() = 0;
};

// Runtime error 5 for a shortest run below 2; every route that groups checks
// it before anything else.
void CheckMinRun(int intMinRun);

// GroupItems on `strItems`. Errors: 5 (intMinRun below 2, before anything is
// read), then those of GroupItems.
void GroupTextList(std::span<const std::u16string_view> strItems, int intMinRun,
                   ResultWriter& objWriter);

// UngroupItems on `strItems`, with its errors.
void UngroupTextList(std::span<const std::u16string_view> strItems, ResultWriter& objWriter);

// The reading of one item text: prefix and number (-1: no number); the
// prefix views `strItem`. Errors: those of clsGroup::SplitItem, naming the text.
struct ItemSplit {
  std::u16string_view strPrefix;
  std::int16_t intNumber = -1;
};
ItemSplit ReadItemSplit(std::u16string_view strItem);

}  // namespace ztxgrp
