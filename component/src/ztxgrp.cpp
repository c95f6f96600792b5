#include <algorithm>
#include <utility>

#include "ztxgrp/element_text.hpp"
#include "ztxgrp/entry_text.hpp"
#include "ztxgrp/list_texts.hpp"
#include "ztxgrp/memory_errors.hpp"
#include "ztxgrp/ztxgrp.hpp"

namespace ztxgrp {
namespace {

// Results written as UTF-8, each in a string of its exact size: the entries
// of grouping, the items of ungrouping.
class Utf8Results final : public Utf8ResultWriter {
 public:
  void Reserve(std::size_t results) override { results_.reserve(results); }
  void Entry(const Utf8GroupEntry& entry) override {
    // Written in place: short texts stay inside their strings.
    std::string& text = results_.emplace_back();
    text.resize(EntryTextLength(entry.prefix.size(), entry.first, entry.last));
    WriteEntryText(text.data(), entry.prefix, entry.first, entry.last);
  }
  void Text(std::string_view text) override { results_.emplace_back(text); }
  void EmptyElement() override { results_.emplace_back(); }
  std::vector<std::string> Take() && { return std::move(results_); }

 private:
  std::vector<std::string> results_;
};

template <typename Texts>
std::vector<std::string> GroupUtf8(const Texts& items, int min_run) {
  return WithMemoryErrorsNumbered([&] {
    Utf8Results entries;
    GroupTextList(items, min_run, entries);
    return std::move(entries).Take();
  });
}

template <typename Texts>
std::vector<std::string> UngroupUtf8(const Texts& items) {
  return WithMemoryErrorsNumbered([&] {
    Utf8Results results;
    UngroupTextList(items, results);
    return std::move(results).Take();
  });
}

}  // namespace

namespace {

template <typename Texts>
Value ItemListOf(const Texts& items) {
  ItemList list;
  list.elements.reserve(items.size());
  for (std::size_t k = 0; k < items.size(); ++k) list.elements.emplace_back(Utf8ToUtf16(items[k]));
  return list;
}

}  // namespace

Value to_item_list(std::span<const std::string> items) {
  return ItemListOf(items);
}

Value to_item_list(std::span<const std::string_view> items) {
  return ItemListOf(items);
}

Value to_item_list(const PackedTexts<char>& items) {
  return ItemListOf(items);
}

std::vector<std::string> to_utf8(const Value& list) {
  std::vector<std::string> out;
  out.reserve(list.list().elements.size());
  for (const Value& element : list.list().elements)
    out.push_back(Utf16ToUtf8(ElementText(element)));
  return out;
}

std::vector<std::string> to_utf8(Value&& list) {
  std::vector<std::string> out;
  out.reserve(list.list().elements.size());
  for (Value& element : list.list().elements) {
    out.push_back(Utf16ToUtf8(ElementText(element)));
    element = Value();
  }
  return out;
}

// The worker's grouping and ungrouping on the texts themselves: no list of
// values is built on the way in or out, and no text is converted.
std::vector<std::string> group(std::span<const std::string> items, int min_run) {
  return GroupUtf8(items, min_run);
}

std::vector<std::string> group(std::span<const std::string_view> items, int min_run) {
  return GroupUtf8(items, min_run);
}

std::vector<std::string> ungroup(std::span<const std::string> items) {
  return UngroupUtf8(items);
}

std::vector<std::string> ungroup(std::span<const std::string_view> items) {
  return UngroupUtf8(items);
}

std::vector<std::string> group(const PackedTexts<char>& items, int min_run) {
  return GroupUtf8(items, min_run);
}

std::vector<std::string> ungroup(const PackedTexts<char>& items) {
  return UngroupUtf8(items);
}

std::vector<std::string> ungroup_item(std::string_view item) {
  return WithMemoryErrorsNumbered(
      [&] { return to_utf8(IclsGroup().UngroupItem(Utf8ToUtf16(item))); });
}

bool is_valid_range(std::string_view text) {
  return WithMemoryErrorsNumbered([&] { return IclsGroup().IsValidRange(Utf8ToUtf16(text)); });
}

}  // namespace ztxgrp
