#include <algorithm>
#include <utility>

#include "ztxgrp/engine/entry_text.hpp"
#include "ztxgrp/memory_errors.hpp"
#include "ztxgrp/engine/text.hpp"
#include "ztxgrp/engine/text_lists.hpp"
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
    units_.resize(bytes);  // never more units than bytes; never reallocated
    views_.reserve(items.size());
    char16_t* const units = units_.data();
    std::size_t end = 0;
    for (const std::string& item : items) {
      // Designators are mostly short and ASCII: copied here, unit by unit.
      std::size_t k = 0;
      for (; k < item.size() && static_cast<unsigned char>(item[k]) < 0x80; ++k)
        units[end + k] = static_cast<unsigned char>(item[k]);
      const std::size_t length = k == item.size() ? k : Utf8ToUtf16(item, units + end);
      views_.emplace_back(units + end, length);
      end += length;
    }
  }
  std::span<const std::u16string_view> views() const noexcept { return views_; }

 private:
  std::u16string units_;
  std::vector<std::u16string_view> views_;
};

// Results written as UTF-8, each in a string of its exact size: the entries
// of grouping, the items of ungrouping. They come in prefix order, so each
// distinct prefix is converted once.
class Utf8Results final : public ResultWriter {
 public:
  void Reserve(std::size_t results) override { results_.reserve(results); }
  void Entry(const GroupEntry& entry) override {
    const std::string_view prefix = Prefix(entry.prefix);
    char small[64];
    if (EntryTextRoom(prefix.size(), entry.IsRange()) <= sizeof small) {
      const char* end = WriteEntryText(small, prefix, entry.first, entry.last);
      results_.emplace_back(static_cast<const char*>(small), end);
      return;
    }
    AppendEntryText(results_.emplace_back(), prefix, entry.first, entry.last);
  }
  void Text(std::u16string_view text) override { results_.push_back(Utf16ToUtf8(text)); }
  void EmptyElement() override { results_.emplace_back(); }
  std::vector<std::string> Take() && { return std::move(results_); }

 private:
  std::string_view Prefix(std::u16string_view prefix) {
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
  return WithMemoryErrorsNumbered([&] {
    CheckMinRun(min_run);
    const Utf16Texts texts(items);
    Utf8Results entries;
    GroupTextList(texts.views(), min_run, entries);
    return std::move(entries).Take();
  });
}

std::vector<std::string> ungroup(std::span<const std::string> items) {
  return WithMemoryErrorsNumbered([&] {
    const Utf16Texts texts(items);
    Utf8Results results;
    UngroupTextList(texts.views(), results);
    return std::move(results).Take();
  });
}

std::vector<std::string> ungroup_item(std::string_view item) {
  return WithMemoryErrorsNumbered(
      [&] { return to_utf8(IclsGroup().UngroupItem(Utf8ToUtf16(item))); });
}

bool is_valid_range(std::string_view text) {
  return WithMemoryErrorsNumbered([&] { return IclsGroup().IsValidRange(Utf8ToUtf16(text)); });
}

}  // namespace ztxgrp
