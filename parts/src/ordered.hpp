// Designators put into the engine's order, for collapsing and expanding
// parts lists: those that the engine writes back unchanged go through the
// engine (grouped into ranges or not); the others are placed where the
// engine's order puts their own text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "designator_cell.hpp"
#include "ztxgrp/entry_text.hpp"
#include "ztxgrp/list_texts.hpp"
#include "ztxgrp/utf.hpp"

namespace ztxgrp::parts_detail {

// Designators in the engine's order: by prefix as UTF-16 orders it, then
// number; of equal keys, those the engine writes back first, each kind in
// reading order (as grouping places them).
inline void InEngineOrder(std::vector<const Designator*>& designators) {
  std::stable_sort(designators.begin(), designators.end(),
                   [](const Designator* a, const Designator* b) {
                     if (a->prefix() != b->prefix())
                       return Utf16OrderLess(a->prefix(), b->prefix());
                     if (a->number != b->number) return a->number < b->number;
                     return a->foldable && !b->foldable;
                   });
}

// The designators sorted into the engine's order: the foldable ones through
// the engine (grouped or ungrouped), the others placed where the engine's
// order puts their own text, after the entries of an equal key.
class Ordered final : public Utf8ResultWriter {
 public:
  struct Placed {
    std::string text;
    std::size_t prefixLength;
    std::int16_t first;
    std::string_view prefix() const noexcept {
      return std::string_view(text).substr(0, prefixLength);
    }
  };

  // A part's designator cell: the entries joined, and its place, the
  // prefix and number of the first.
  struct JoinedCell {
    std::string text;
    std::string prefix;
    std::int16_t first = -1;
  };

  void Reserve(std::size_t) override {}  // reused from call to call
  void Entry(const Utf8GroupEntry& entry) override {
    if (joining_) {
      Joining(entry.prefix, entry.first);
      AppendEntryText(cell_.text, entry.prefix, entry.first, entry.last);
      return;
    }
    std::string text;
    AppendEntryText(text, entry.prefix, entry.first, entry.last);
    entries_.push_back({std::move(text), entry.prefix.size(), entry.first});
  }
  void Text(std::string_view text) override {
    const Utf8ItemSplit split = ReadItemSplit(text);
    if (joining_) {
      Joining(split.strPrefix, split.intNumber);
      cell_.text += text;
      return;
    }
    entries_.push_back({std::string(text), split.strPrefix.size(), split.intNumber});
  }
  void EmptyElement() override {}

  // The designators grouped and joined by `join`. When all are foldable
  // (the usual case) the engine's entries are written straight into the
  // cell.
  JoinedCell Join(std::span<const Designator* const> designators, int minRun,
                  std::string_view join) {
    cell_ = JoinedCell();
    started_ = false;
    join_ = join;
    if (!std::all_of(designators.begin(), designators.end(),
                     [](const Designator* designator) { return designator->foldable; })) {
      const std::vector<Placed>& entries = Take(designators, true, minRun);
      for (const Placed& entry : entries) {
        Joining(entry.prefix(), entry.first);
        cell_.text += entry.text;
      }
      return std::move(cell_);
    }
    foldable_.clear();
    for (const Designator* designator : designators) foldable_.push_back(designator->text);
    joining_ = true;
    try {
      GroupTextList(foldable_, minRun, *this);
    } catch (...) {
      joining_ = false;
      throw;
    }
    joining_ = false;
    return std::move(cell_);
  }

  // The entries of grouping (`group`) or the items of ungrouping the
  // designators, with the others merged in; valid until the next call.
  const std::vector<Placed>& Take(std::span<const Designator* const> designators, bool group,
                                  int minRun) {
    entries_.clear();
    foldable_.clear();
    for (const Designator* designator : designators)
      if (designator->foldable) foldable_.push_back(designator->text);
    if (!foldable_.empty()) {
      if (group)
        GroupTextList(foldable_, minRun, *this);
      else
        UngroupTextList(foldable_, *this);
    }
    if (foldable_.size() == designators.size()) return entries_;
    for (const Designator* designator : designators)
      if (!designator->foldable)
        entries_.push_back({designator->text, designator->prefixLength, designator->number});
    // In the engine's order: prefixes as their UTF-16 forms order.
    std::stable_sort(entries_.begin(), entries_.end(), [](const Placed& a, const Placed& b) {
      if (a.prefix() != b.prefix()) return Utf16OrderLess(a.prefix(), b.prefix());
      return a.first < b.first;
    });
    return entries_;
  }

 private:
  // The next entry of the joined cell: the separator before it, or the
  // cell's place when it is the first.
  void Joining(std::string_view prefix, std::int16_t number) {
    if (started_) {
      cell_.text += join_;
      return;
    }
    started_ = true;
    cell_.prefix = prefix;
    cell_.first = number;
  }

  std::vector<Placed> entries_;
  std::vector<std::string_view> foldable_;
  bool joining_ = false;
  bool started_ = false;
  std::string_view join_;
  JoinedCell cell_;
};

}  // namespace ztxgrp::parts_detail
