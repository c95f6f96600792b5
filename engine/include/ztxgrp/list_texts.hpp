// Grouping and ungrouping lists of texts, for callers that hold their own
// texts: UTF-8 (the UTF-8 functions, the parts-list layer, the command) or
// UTF-16 (the WebAssembly module). Texts are read, ordered and written in
// the form they come in, without converting the list; results, errors and
// their order are those of clsGroup::GroupItems and clsGroup::UngroupItems.
// UTF-8 texts are checked as they are read: invalid UTF-8 anywhere in a list
// raises EncodingError before any runtime error. They order as their UTF-16
// forms do, and lengths count UTF-16 units.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "ztxgrp/value.hpp"

namespace ztxgrp {

// One entry of a grouped list: a single item (first == last; -1 for an item
// without number) or a range of two or more items, first < last.
template <typename Char>
struct BasicGroupEntry {
  std::basic_string_view<Char> prefix;
  std::int16_t first = -1;
  std::int16_t last = -1;
  bool IsRange() const noexcept { return first != last; }
};
using GroupEntry = BasicGroupEntry<char16_t>;
using Utf8GroupEntry = BasicGroupEntry<char>;

// Where results go, in order, in the texts' own form. The views are valid
// during the call only.
template <typename Char>
class BasicResultWriter {
 public:
  virtual ~BasicResultWriter() = default;
  // Called once before the results, with their number.
  virtual void Reserve(std::size_t results) = 0;
  // An item or a range, to be written in the engine's form (entry_text.hpp).
  virtual void Entry(const BasicGroupEntry<Char>& entry) = 0;
  // An item whose written form had to be read again: written as this text.
  virtual void Text(std::basic_string_view<Char> text) = 0;
  // The one element of an empty result (an empty list, or no item at all).
  virtual void EmptyElement() = 0;
};
using ResultWriter = BasicResultWriter<char16_t>;
using Utf8ResultWriter = BasicResultWriter<char>;

// Texts side by side in one buffer, as front ends that copy a host's list
// hold them: text k is units[offsets[k], offsets[k + 1]), so a list of n
// texts has n + 1 offsets (or none when it is empty). The offsets come from
// the host: std::invalid_argument when they decrease or pass the buffer.
template <typename Char>
class PackedTexts {
 public:
  PackedTexts(std::basic_string_view<Char> units, std::span<const std::uint32_t> offsets);
  std::size_t size() const noexcept { return offsets_.empty() ? 0 : offsets_.size() - 1; }
  std::basic_string_view<Char> operator[](std::size_t k) const noexcept {
    return {units_.data() + offsets_[k], offsets_[k + 1] - offsets_[k]};
  }

 private:
  std::basic_string_view<Char> units_;
  std::span<const std::uint32_t> offsets_;
};

// Runtime error 5 for a shortest run below 2; every route that groups checks
// it before anything else.
void CheckMinRun(int intMinRun);

// GroupItems on `strItems`. Errors: 5 (intMinRun below 2, before anything is
// read), then those of GroupItems.
void GroupTextList(std::span<const std::u16string_view> strItems, int intMinRun,
                   ResultWriter& objWriter);
void GroupTextList(std::span<const std::string_view> strItems, int intMinRun,
                   Utf8ResultWriter& objWriter);
void GroupTextList(std::span<const std::string> strItems, int intMinRun,
                   Utf8ResultWriter& objWriter);
void GroupTextList(const PackedTexts<char16_t>& strItems, int intMinRun, ResultWriter& objWriter);
void GroupTextList(const PackedTexts<char>& strItems, int intMinRun, Utf8ResultWriter& objWriter);

// UngroupItems on `strItems`, with its errors.
void UngroupTextList(std::span<const std::u16string_view> strItems, ResultWriter& objWriter);
void UngroupTextList(std::span<const std::string_view> strItems, Utf8ResultWriter& objWriter);
void UngroupTextList(std::span<const std::string> strItems, Utf8ResultWriter& objWriter);
void UngroupTextList(const PackedTexts<char16_t>& strItems, ResultWriter& objWriter);
void UngroupTextList(const PackedTexts<char>& strItems, Utf8ResultWriter& objWriter);

// The reading of one item text: prefix and number (-1: no number); the
// prefix views `strItem`. Errors: those of clsGroup::SplitItem, naming the text.
template <typename Char>
struct BasicItemSplit {
  std::basic_string_view<Char> strPrefix;
  std::int16_t intNumber = -1;
};
using ItemSplit = BasicItemSplit<char16_t>;
using Utf8ItemSplit = BasicItemSplit<char>;
ItemSplit ReadItemSplit(std::u16string_view strItem);
Utf8ItemSplit ReadItemSplit(std::string_view strItem);

}  // namespace ztxgrp
