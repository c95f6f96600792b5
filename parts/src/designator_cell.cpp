#include "designator_cell.hpp"

#include <algorithm>
#include <optional>
#include <span>
#include <string>

#include "ztxgrp/designator_split.hpp"
#include "ztxgrp/entry_text.hpp"
#include "ztxgrp/list_texts.hpp"
#include "ztxgrp/parts_list.hpp"
#include "ztxgrp/quoted.hpp"
#include "ztxgrp/utf.hpp"

namespace ztxgrp::parts_detail {
namespace {

constexpr std::string_view kEnDash = "\u2013";
constexpr std::string_view kEmDash = "\u2014";

bool IsLoneDash(std::string_view piece) {
  return piece == "-" || piece == kEnDash;
}

bool IsPlaceholder(std::string_view piece) {
  return IsLoneDash(piece) || piece == kEmDash;
}

std::optional<Utf8ItemSplit> NumberedReading(std::string_view text) {
  try {
    const Utf8ItemSplit split = ReadItemSplit(text);
    if (split.intNumber != -1) return split;
  } catch (const RuntimeError&) {
  }
  return std::nullopt;
}

// True when the engine writes the reading back as `text`. The reading's
// prefix is the text's own beginning: the rest must be the number's decimal
// text (nothing for an item without number).
bool WrittenAsIs(std::string_view text, const Utf8ItemSplit& split) {
  const std::string_view tail = text.substr(split.strPrefix.size());
  if (split.intNumber == -1) return tail.empty();
  char digits[kMaxNumberDigits];
  const char* end = WriteDecimalText(digits, split.intNumber);
  return tail == std::string_view(digits, static_cast<std::size_t>(end - digits));
}

// A piece with "-" whose halves are numbered items of one prefix.
struct RangeHalves {
  Utf8ItemSplit left, right;
  std::string_view leftText, rightText;
};
std::optional<RangeHalves> AsRange(std::string_view piece) {
  const std::size_t hyphen = piece.find('-');
  if (hyphen == std::string_view::npos) return std::nullopt;
  RangeHalves range{{}, {}, piece.substr(0, hyphen), piece.substr(hyphen + 1)};
  const auto left = NumberedReading(range.leftText);
  const auto right = NumberedReading(range.rightText);
  if (!left || !right || left->strPrefix != right->strPrefix) return std::nullopt;
  range.left = *left;
  range.right = *right;
  return range;
}

// A range whose ends the engine writes back as typed: PartsError otherwise.
void CheckRangeTexts(std::string_view piece, const RangeHalves& range, std::size_t row) {
  if (!WrittenAsIs(range.leftText, range.left) || !WrittenAsIs(range.rightText, range.right))
    throw PartsError("the range " + Quoted(piece) +
                         " would change its designators' texts (leading zeros, signs or "
                         "blanks); write them out one by one",
                     row);
}

// The engine's items of one range, as designators of `row`.
class RangeItems final : public Utf8ResultWriter {
 public:
  RangeItems(std::size_t row, std::vector<Designator>& out) : row_(row), out_(out) {}
  // Room for the range's designators, the list growing geometrically: a
  // reservation of just enough for each range would copy the whole list
  // once per range.
  void Reserve(std::size_t results) override {
    if (out_.capacity() - out_.size() < results)
      out_.reserve(std::max(out_.size() + results, 2 * out_.capacity()));
  }
  void Entry(const Utf8GroupEntry& entry) override {
    std::string text;
    AppendEntryText(text, entry.prefix, entry.first, entry.last);
    out_.push_back({std::move(text), entry.prefix.size(), entry.first, true, row_});
  }
  void Text(std::string_view text) override {
    const Utf8ItemSplit split = ReadItemSplit(text);
    out_.push_back({std::string(text), split.strPrefix.size(), split.intNumber, true, row_});
  }
  void EmptyElement() override {}

 private:
  std::size_t row_;
  std::vector<Designator>& out_;
};

void AddRange(std::string_view piece, const RangeHalves& range, std::size_t row,
              std::vector<Designator>& out) {
  CheckRangeTexts(piece, range, row);
  RangeItems items(row, out);
  UngroupTextList(std::span<const std::string_view>(&piece, 1),
                  items);  // the engine's errors: 9, 6
}

// A range's items given to a visitor by prefix and number.
class RangeVisit final : public Utf8ResultWriter {
 public:
  RangeVisit(DesignatorVisitor& visitor, std::size_t& count) : visitor_(visitor), count_(count) {}
  void Reserve(std::size_t) override {}
  void Entry(const Utf8GroupEntry& entry) override {
    for (std::int32_t number = entry.first; number <= entry.last; ++number) {
      visitor_.Item(entry.prefix, static_cast<std::int16_t>(number));
      ++count_;
    }
  }
  void Text(std::string_view text) override {
    const Utf8ItemSplit split = ReadItemSplit(text);
    if (split.intNumber >= 0)
      visitor_.Item(split.strPrefix, split.intNumber);
    else
      visitor_.Single({std::string(text), split.strPrefix.size(), split.intNumber, false, 0});
    ++count_;
  }
  void EmptyElement() override {}

 private:
  DesignatorVisitor& visitor_;
  std::size_t& count_;
};

void AddSingle(std::string_view piece, std::size_t row, std::vector<Designator>& out) {
  const Utf8ItemSplit split = ReadItemSplit(piece);  // the engine must be able to order it
  const bool hyphenated = piece.find('-') != std::string_view::npos;
  out.push_back({std::string(piece), split.strPrefix.size(), split.intNumber,
                 !hyphenated && WrittenAsIs(piece, split), row});
}

[[noreturn]] void PastTheLimit(std::size_t row) {
  throw PartsError("the list holds more than " + std::to_string(kMaxListDesignators) +
                       " designators, its ranges expanded: the most a list may hold",
                   row);
}

// Calls `visit(piece, range)` for each piece of `cell` in order: a range
// typed with blanks around its dash ("C1 - C4") is one piece, joined in
// `joined`; `range` is the piece's halves when it is a range, else null. A
// cell that is only a placeholder has no pieces.
template <typename Visit>
void WalkPieces(std::string_view cell, std::string_view join, std::size_t row,
                std::vector<std::string_view>& pieces, std::string& joined, Visit visit) {
  pieces.clear();
  SplitDesignators(cell, join, pieces);
  if (pieces.size() == 1 && IsPlaceholder(pieces.front())) return;
  for (std::size_t k = 0; k < pieces.size(); ++k) {
    const std::string_view piece = pieces[k];
    if (k + 2 < pieces.size() && IsLoneDash(pieces[k + 1]) && !IsLoneDash(piece)) {
      joined.assign(piece).append(1, '-').append(pieces[k + 2]);
      const auto range = AsRange(joined);
      if (!range)
        throw PartsError("the dash in " + Quoted(cell) + " joins " + Quoted(piece) + " and " +
                             Quoted(pieces[k + 2]) + ", which form no range",
                         row);
      visit(std::string_view(joined), &*range);
      k += 2;
      continue;
    }
    if (IsLoneDash(piece))
      throw PartsError("a lone dash in " + Quoted(cell) + " joins no two designators", row);
    const auto range = AsRange(piece);
    visit(piece, range ? &*range : nullptr);
  }
}

}  // namespace

void DesignatorCellReader::Read(std::string_view cell, std::string_view join, std::size_t row,
                                std::vector<Designator>& out) {
  std::string joined;
  WalkPieces(cell, join, row, pieces_, joined,
             [&](std::string_view piece, const RangeHalves* range) {
               if (range)
                 AddRange(piece, *range, row, out);
               else
                 AddSingle(piece, row, out);
               // Piece by piece: a cell of many ranges stops here too.
               if (out.size() > kMaxListDesignators) PastTheLimit(row);
             });
}

void DesignatorCellReader::Visit(std::string_view cell, std::string_view join, std::size_t row,
                                 DesignatorVisitor& visitor, std::size_t& count) {
  std::string joined;
  WalkPieces(cell, join, row, pieces_, joined,
             [&](std::string_view piece, const RangeHalves* range) {
               if (range) {
                 CheckRangeTexts(piece, *range, row);
                 RangeVisit items(visitor, count);
                 UngroupTextList(std::span<const std::string_view>(&piece, 1),
                                 items);  // the engine's errors: 9, 6
               } else {
                 single_.clear();
                 AddSingle(piece, row, single_);
                 visitor.Single(std::move(single_.front()));
                 ++count;
               }
               if (count > kMaxListDesignators) PastTheLimit(row);
             });
}

}  // namespace ztxgrp::parts_detail

namespace ztxgrp {

std::vector<std::string> cell_pieces(std::string_view cell, std::string_view join) {
  CheckUtf8(cell);
  std::vector<std::string_view> pieces;
  std::string joined;
  std::vector<std::string> out;
  parts_detail::WalkPieces(cell, join, 0, pieces, joined,
                           [&](std::string_view piece, const void*) { out.emplace_back(piece); });
  return out;
}

std::vector<std::string> cell_designators(std::string_view cell, std::string_view join,
                                          std::size_t limit) {
  CheckUtf8(cell);
  std::vector<std::string_view> pieces;
  std::string joined;
  std::vector<parts_detail::Designator> designators;
  // Piece by piece, so that a text of many ranges stops at the limit
  // rather than expanding them all.
  parts_detail::WalkPieces(cell, join, 0, pieces, joined,
                           [&](std::string_view piece, const parts_detail::RangeHalves* range) {
                             if (range)
                               parts_detail::AddRange(piece, *range, 0, designators);
                             else
                               parts_detail::AddSingle(piece, 0, designators);
                             if (designators.size() > limit) Raise(ErrorNumber::Overflow);
                           });
  std::vector<std::string> out;
  out.reserve(designators.size());
  for (parts_detail::Designator& designator : designators)
    out.push_back(std::move(designator.text));
  return out;
}

}  // namespace ztxgrp
