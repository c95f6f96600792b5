#include <algorithm>
#include <charconv>
#include <utility>

#include "internal/grouping.hpp"
#include "internal/ungrouping.hpp"
#include "memory_errors.hpp"
#include "utf_buffer.hpp"
#include "ztxgrp/text.hpp"
#include "ztxgrp/ztxgrp.hpp"

namespace ztxgrp {
namespace {

// UTF-8 texts converted side by side into one buffer: one allocation for the
// whole list rather than a string per element, and views for the engine.
class Utf16Texts {
 public:
  explicit Utf16Texts(std::span<const std::string> items) {
    std::size_t bytes = 0;
    for (const std::string& item : items) bytes += item.size();
    units_.resize(bytes);  // never more units than bytes
    ends_.reserve(items.size());
    std::size_t end = 0;
    for (const std::string& item : items) {
      end += internal::Utf8ToUtf16(item, units_.data() + end);
      ends_.push_back(end);
    }
  }
  std::size_t size() const noexcept { return ends_.size(); }
  std::u16string_view operator[](std::size_t k) const noexcept {
    const std::size_t begin = k == 0 ? 0 : ends_[k - 1];
    return std::u16string_view(units_).substr(begin, ends_[k] - begin);
  }

 private:
  std::u16string units_;
  std::vector<std::size_t> ends_;
};

// The decimal text of an item's number; none for -1 (an item without one).
class NumberText {
 public:
  explicit NumberText(std::int16_t number) {
    if (number != -1)
      size_ = std::to_chars(digits_, digits_ + sizeof digits_, number).ptr - digits_;
  }
  std::string_view view() const noexcept { return {digits_, static_cast<std::size_t>(size_)}; }

 private:
  char digits_[8];
  std::ptrdiff_t size_ = 0;
};

// Results written as UTF-8, each in a string of its exact size: the entries
// of grouping, the items of ungrouping. They come in prefix order, so each
// distinct prefix is converted once.
class Utf8Results {
 public:
  void operator()(const internal::GroupEntry& entry) {
    const std::string& prefix = Prefix(entry.prefix);
    const NumberText first(entry.first);
    std::string& text = results_.emplace_back();
    if (!entry.IsRange()) {
      text.reserve(prefix.size() + first.view().size());
      text.append(prefix).append(first.view());
      return;
    }
    const NumberText last(entry.last);
    text.reserve(2 * prefix.size() + first.view().size() + 1 + last.view().size());
    text.append(prefix).append(first.view()).append(1, '-').append(prefix).append(last.view());
  }
  void Reserve(std::size_t results) { results_.reserve(results); }
  void Item(std::u16string_view prefix, std::int16_t number) {
    (*this)(internal::GroupEntry{prefix, number, number});
  }
  void Text(std::u16string_view text) { results_.push_back(Utf16ToUtf8(text)); }
  std::vector<std::string> Take() && { return std::move(results_); }

 private:
  const std::string& Prefix(std::u16string_view prefix) {
    if (prefix.data() != prefix_.data() || prefix.size() != prefix_.size()) {
      prefix8_ = Utf16ToUtf8(prefix);
      prefix_ = prefix;
    }
    return prefix8_;
  }

  std::vector<std::string> results_;
  std::u16string_view prefix_{u""};
  std::string prefix8_;
};

}  // namespace

Value to_item_list(std::span<const std::string> items) {
  ItemList list;
  list.elements.reserve(items.size());
  for (const std::string& item : items) list.elements.emplace_back(Utf8ToUtf16(item));
  return list;
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
// values is built on the way in or out.
std::vector<std::string> group(std::span<const std::string> items, int min_run) {
  return internal::WithMemoryErrorsNumbered([&] {
    const Utf16Texts texts(items);
    if (min_run < kSystemMinRun) Raise(ErrorNumber::InvalidArgument);
    Utf8Results entries;
    internal::GroupTexts(
        internal::BoundsOf(0, texts.size()), texts.size(), min_run,
        [&](std::size_t index) { return texts[index]; }, entries);
    std::vector<std::string> result = std::move(entries).Take();
    if (texts.size() == 0) result.emplace_back();  // one empty element
    return result;
  });
}

std::vector<std::string> ungroup(std::span<const std::string> items) {
  return internal::WithMemoryErrorsNumbered([&] {
    const Utf16Texts texts(items);
    Utf8Results results;
    const bool any = internal::UngroupTexts(
        internal::BoundsOf(0, texts.size()), texts.size(),
        [&](std::size_t index) { return texts[index]; }, results);
    std::vector<std::string> result = std::move(results).Take();
    if (!any) result.emplace_back();  // one empty element
    return result;
  });
}

std::vector<std::string> ungroup_item(std::string_view item) {
  return internal::WithMemoryErrorsNumbered(
      [&] { return to_utf8(IclsGroup().UngroupItem(Utf8ToUtf16(item))); });
}

bool is_valid_range(std::string_view text) {
  return internal::WithMemoryErrorsNumbered(
      [&] { return IclsGroup().IsValidRange(Utf8ToUtf16(text)); });
}

}  // namespace ztxgrp
