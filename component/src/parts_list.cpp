#include "ztxgrp/parts_list.hpp"

#include <algorithm>
#include <map>
#include <unordered_map>
#include <utility>

#include "designator_cell.hpp"
#include "memory_errors.hpp"
#include "ztxgrp/entry_text.hpp"
#include "ztxgrp/quoted.hpp"
#include "ztxgrp/text_lists.hpp"
#include "ztxgrp/utf.hpp"

namespace ztxgrp {
namespace {

using internal::Designator;

// Header names compared without blanks and ASCII case.
std::string Normalized(std::string_view name) {
  std::string out;
  for (std::size_t k = 0; k < name.size(); ++k) {
    const char c = name[k];
    if (c == ' ' || c == '\t' || c == '_') continue;
    if (name.substr(k).starts_with("\xC2\xA0")) {  // no-break space
      ++k;
      continue;
    }
    out.push_back(c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c);
  }
  return out;
}

template <std::size_t N>
std::optional<std::size_t> FirstNamed(std::span<const std::string> header,
                                      const std::string_view (&names)[N]) {
  for (std::size_t k = 0; k < header.size(); ++k)
    if (std::find(names, names + N, Normalized(header[k])) != names + N) return k;
  return std::nullopt;
}

// The designators sorted into the engine's order: the foldable ones through
// the engine (grouped or ungrouped), the others placed where the engine's
// order puts their own text, after the entries of an equal key.
class Ordered final : public ResultWriter {
 public:
  struct Placed {
    std::u16string text;
    std::size_t prefixLength;
    std::int16_t first;
  };

  void Reserve(std::size_t results) override { entries_.reserve(results); }
  void Entry(const GroupEntry& entry) override {
    std::u16string text;
    AppendEntryText(text, entry.prefix, entry.first, entry.last);
    entries_.push_back({std::move(text), entry.prefix.size(), entry.first});
  }
  void Text(std::u16string_view text) override {
    const ItemSplit split = ReadItemSplit(text);
    entries_.push_back({std::u16string(text), split.strPrefix.size(), split.intNumber});
  }
  void EmptyElement() override {}

  // The entries of grouping (`group`) or the items of ungrouping the
  // designators, with the others merged in.
  std::vector<Placed> Take(const std::vector<const Designator*>& designators, bool group,
                           int minRun) && {
    std::vector<std::u16string_view> foldable;
    for (const Designator* designator : designators)
      if (designator->foldable) foldable.push_back(designator->text);
    if (!foldable.empty()) {
      if (group)
        GroupTextList(foldable, minRun, *this);
      else
        UngroupTextList(foldable, *this);
    }
    if (foldable.size() == designators.size()) return std::move(entries_);
    for (const Designator* designator : designators)
      if (!designator->foldable)
        entries_.push_back({designator->text, designator->prefixLength, designator->number});
    std::stable_sort(entries_.begin(), entries_.end(), [](const auto& a, const auto& b) {
      const std::u16string_view prefixA = std::u16string_view(a.text).substr(0, a.prefixLength);
      const std::u16string_view prefixB = std::u16string_view(b.text).substr(0, b.prefixLength);
      if (prefixA != prefixB) return prefixA < prefixB;
      return a.first < b.first;
    });
    return std::move(entries_);
  }

 private:
  std::vector<Placed> entries_;
};

std::string RowList(const std::string& noun, const std::vector<std::size_t>& rows) {
  std::string text = noun + (rows.size() > 1 ? "s " : " ");
  for (std::size_t k = 0; k < rows.size(); ++k)
    text += (k == 0 ? "" : ", ") + std::to_string(rows[k]);
  return text;
}

std::string Quoted(std::string_view text) {
  return "\"" + std::string(text) + "\"";
}

// A quantity cell: empty, a whole number, or something else (DNP, n/a).
struct Quantity {
  enum { None, Whole, Other } kind = None;
  std::uint64_t value = 0;
};
Quantity ReadQuantity(std::string_view cell) {
  while (!cell.empty() && (cell.front() == ' ' || cell.front() == '\t')) cell.remove_prefix(1);
  while (!cell.empty() && (cell.back() == ' ' || cell.back() == '\t')) cell.remove_suffix(1);
  Quantity quantity;
  if (cell.empty()) return quantity;
  quantity.kind = Quantity::Whole;
  for (const char c : cell) {
    if (c < '0' || c > '9' || quantity.value > (UINT64_MAX - 9) / 10) {
      quantity.kind = Quantity::Other;
      return quantity;
    }
    quantity.value = quantity.value * 10 + static_cast<std::uint64_t>(c - '0');
  }
  return quantity;
}

// The work shared by collapsing and expanding: the table checked, rows read.
class Job {
 public:
  Job(const PartsTable& table, const PartsColumns& columns, bool collapse)
      : table_(table), columns_(columns), join_(Utf8ToUtf16(columns.join)) {
    CheckMinRun(columns.min_run);
    const std::size_t width = table.header.size();
    if (columns.refs >= width) throw PartsError("the designator column is not in the header");
    if (columns.qty && *columns.qty >= width)
      throw PartsError("the quantity column is not in the header");
    if (columns.qty == columns.refs)
      throw PartsError("the quantity column " + Quoted(table.header[columns.refs]) +
                       " is the designator column");
    for (const std::size_t key : columns.by) {
      if (key >= width) throw PartsError("a key column is not in the header");
      if (key == columns.refs || key == columns.qty)
        throw PartsError("the key column " + Quoted(table.header[key]) +
                         " holds designators or quantities");
    }
    if (join_.empty()) throw PartsError("the join separator is empty");
    if (join_.find_first_of(u"-\u2013") != std::u16string::npos)
      throw PartsError("the join separator " + Quoted(columns.join) +
                       " holds a dash, which would read as a range");
    if (!table.row_numbers.empty() && table.row_numbers.size() != table.rows.size())
      throw PartsError("the row numbers do not match the rows");
    for (std::size_t r = 0; r < table.rows.size(); ++r)
      if (table.rows[r].size() != width)
        throw PartsError("the " + table.row_noun + " has " + std::to_string(table.rows[r].size()) +
                             " cells; the header has " + std::to_string(width),
                         RowNumber(r));
    result_.table.row_noun = table.row_noun;
    result_.table.header = table.header;
    addQty_ = collapse && !columns.qty;
    if (addQty_)
      result_.table.header.insert(
          result_.table.header.begin() + static_cast<std::ptrdiff_t>(columns.refs + 1),
          columns.new_qty);
  }

  std::size_t RowNumber(std::size_t r) const {
    return table_.row_numbers.empty() ? r + 1 : table_.row_numbers[r];
  }

  // The designators of row `r`, appended to `out`; their number.
  std::size_t Read(std::size_t r, std::vector<Designator>& out) {
    const std::size_t before = out.size();
    try {
      internal::ReadDesignatorCell(Utf8ToUtf16(table_.rows[r][columns_.refs]), join_, RowNumber(r),
                                   out);
    } catch (const RuntimeError& error) {
      throw RowError(error, RowNumber(r));
    }
    for (std::size_t k = before; k < out.size(); ++k)
      occurrences_.emplace_back(out[k].text, RowNumber(r));
    return out.size() - before;
  }

  // The row's quantity, with a warning where it disagrees with `count`.
  Quantity CheckQuantity(std::size_t r, std::size_t count) {
    if (!columns_.qty) return {};
    const std::string& cell = table_.rows[r][*columns_.qty];
    const Quantity quantity = ReadQuantity(cell);
    const std::size_t row = RowNumber(r);
    if (quantity.kind == Quantity::Other)
      Warn(PartsWarning::Kind::QuantityNotWhole,
           table_.row_noun + " " + std::to_string(row) + ": the quantity " + Quoted(cell) +
               " is no whole number; the row is kept apart with its quantity",
           {row});
    else if (quantity.kind == Quantity::Whole && quantity.value != count)
      Warn(PartsWarning::Kind::QuantityMismatch,
           table_.row_noun + " " + std::to_string(row) + ": the quantity " + Quoted(cell) +
               " differs from the number of designators, " + std::to_string(count),
           {row});
    return quantity;
  }

  // Row `r` with its designator cell and quantity replaced; `qty` none
  // keeps the quantity cell (or leaves an added one empty).
  // The cells that are replaced are not copied: expanding a row of many
  // designators writes a row per designator, and copying its long
  // designator cell each time would cost the square of its length.
  void Add(std::size_t r, std::optional<std::string> refs, std::optional<std::string> qty) {
    const std::vector<std::string>& source = table_.rows[r];
    std::vector<std::string> cells;
    cells.reserve(source.size() + (addQty_ ? 1 : 0));
    for (std::size_t k = 0; k < source.size(); ++k) {
      if (k == columns_.refs && refs)
        cells.push_back(std::move(*refs));
      else if (!addQty_ && k == columns_.qty && qty)
        cells.push_back(std::move(*qty));
      else
        cells.push_back(source[k]);
      if (addQty_ && k == columns_.refs) cells.push_back(qty.value_or(std::string()));
    }
    result_.table.rows.push_back(std::move(cells));
    result_.table.row_numbers.push_back(RowNumber(r));
  }

  void Warn(PartsWarning::Kind kind, std::string message, std::vector<std::size_t> rows) {
    result_.warnings.push_back({kind, std::move(message), std::move(rows)});
  }

  PartsResult Finish() && {
    // Designators in more than one place. The occurrences are grouped by a
    // hash of their texts (integers compare fast), equal texts then lie
    // together; the groups of two or more are reported in the engine's
    // order of texts.
    std::vector<std::pair<std::size_t, std::uint32_t>> order(occurrences_.size());
    for (std::size_t k = 0; k < occurrences_.size(); ++k)
      order[k] = {std::hash<std::u16string>{}(occurrences_[k].first),
                  static_cast<std::uint32_t>(k)};
    std::sort(order.begin(), order.end(), [this](const auto& a, const auto& b) {
      if (a.first != b.first) return a.first < b.first;
      const std::u16string& textA = occurrences_[a.second].first;
      const std::u16string& textB = occurrences_[b.second].first;
      return textA != textB ? textA < textB : a.second < b.second;
    });
    std::vector<std::pair<std::size_t, std::size_t>> runs;  // [begin, end) in `order`
    for (std::size_t begin = 0, end = 0; begin < order.size(); begin = end) {
      const std::u16string& text = occurrences_[order[begin].second].first;
      while (end < order.size() && occurrences_[order[end].second].first == text) ++end;
      if (end - begin > 1) runs.emplace_back(begin, end);
    }
    std::sort(runs.begin(), runs.end(), [&](const auto& a, const auto& b) {
      return occurrences_[order[a.first].second].first < occurrences_[order[b.first].second].first;
    });
    for (const auto& [begin, end] : runs) {
      std::vector<std::size_t> rows;
      for (std::size_t k = begin; k < end; ++k)
        rows.push_back(occurrences_[order[k].second].second);
      std::string message =
          "designator " + Quoted(Utf16ToUtf8(occurrences_[order[begin].second].first)) +
          " occurs " + std::to_string(rows.size()) + " times, in " + RowList(table_.row_noun, rows);
      Warn(PartsWarning::Kind::DuplicateDesignator, std::move(message), std::move(rows));
    }
    return std::move(result_);
  }

  std::string Joined(const std::vector<Ordered::Placed>& entries) const {
    std::string text;
    for (std::size_t k = 0; k < entries.size(); ++k) {
      if (k > 0) text += columns_.join;
      text += Utf16ToUtf8(entries[k].text);
    }
    return text;
  }

  const PartsTable& table_;
  const PartsColumns& columns_;
  const std::u16string join_;
  bool addQty_ = false;
  PartsResult result_;
  // Every designator read, with its row's number.
  std::vector<std::pair<std::u16string, std::size_t>> occurrences_;
};

// Rows as keys of a hash table: by the cells of the key columns, read in
// place (no key text is built per row).
struct RowKeys {
  const PartsTable* table;
  const std::vector<std::size_t>* keys;

  std::size_t operator()(std::size_t r) const noexcept {
    std::size_t hash = 0;
    for (const std::size_t column : *keys) {
      const std::size_t cell = std::hash<std::string_view>{}(table->rows[r][column]);
      hash ^= cell + 0x9E3779B97F4A7C15ull + (hash << 6) + (hash >> 2);
    }
    return hash;
  }
  bool operator()(std::size_t a, std::size_t b) const noexcept {
    for (const std::size_t column : *keys)
      if (table->rows[a][column] != table->rows[b][column]) return false;
    return true;
  }
};

PartsResult Collapse(const PartsTable& table, const PartsColumns& columns) {
  Job job(table, columns, true);
  std::vector<std::size_t> keys = columns.by;
  if (keys.empty())
    for (std::size_t k = 0; k < table.header.size(); ++k)
      if (k != columns.refs && k != columns.qty) keys.push_back(k);

  struct Part {
    std::vector<std::size_t> rows;
    std::vector<Designator> designators;
    bool apart = false;  // its quantity is kept as written
  };
  std::vector<Part> parts;
  std::vector<std::size_t> bare;  // rows without designators
  const RowKeys rowKeys{&table, &keys};
  // The part of each key: the first row with that key stands for it.
  std::unordered_map<std::size_t, std::size_t, RowKeys, RowKeys> partOf(table.rows.size(), rowKeys,
                                                                        rowKeys);
  std::vector<Designator> read;
  for (std::size_t r = 0; r < table.rows.size(); ++r) {
    read.clear();
    const std::size_t count = job.Read(r, read);
    const Quantity quantity = job.CheckQuantity(r, count);
    if (count == 0) {
      bare.push_back(r);
      continue;
    }
    std::size_t index = parts.size();
    if (quantity.kind == Quantity::Other) {
      parts.push_back({{}, {}, true});
    } else {
      const auto [found, added] = partOf.try_emplace(r, parts.size());
      if (added) parts.emplace_back();
      index = found->second;
    }
    Part& part = parts[index];
    part.rows.push_back(r);
    std::move(read.begin(), read.end(), std::back_inserter(part.designators));
  }

  struct Merged {
    std::vector<Ordered::Placed> entries;
    const Part* part;
  };
  std::vector<Merged> merged;
  merged.reserve(parts.size());
  std::vector<const Designator*> designators;
  for (const Part& part : parts) {
    designators.clear();
    for (const Designator& designator : part.designators) designators.push_back(&designator);
    try {
      merged.push_back({Ordered().Take(designators, true, columns.min_run), &part});
    } catch (const RuntimeError& error) {
      throw RowError(error, job.RowNumber(part.rows.front()));
    }
    // Cells of other columns that differ between the merged rows: the first
    // row's are written.
    if (part.rows.size() < 2) continue;
    for (std::size_t column = 0; column < table.header.size(); ++column) {
      if (column == columns.refs || column == columns.qty ||
          std::find(keys.begin(), keys.end(), column) != keys.end())
        continue;
      const std::string& first = table.rows[part.rows.front()][column];
      bool differ = false;
      std::vector<std::size_t> rows;
      for (const std::size_t r : part.rows) {
        rows.push_back(job.RowNumber(r));
        differ = differ || table.rows[r][column] != first;
      }
      if (differ)
        job.Warn(PartsWarning::Kind::DifferingCells,
                 "column " + Quoted(table.header[column]) + " differs between the merged " +
                     RowList(table.row_noun, rows) + "; the first one's " + Quoted(first) +
                     " is written",
                 rows);
    }
  }
  // By first designator in the engine's order.
  auto keyOf = [](const Merged& m) {
    const Ordered::Placed& e = m.entries.front();
    return std::make_pair(std::u16string_view(e.text).substr(0, e.prefixLength), e.first);
  };
  std::stable_sort(merged.begin(), merged.end(),
                   [&](const Merged& a, const Merged& b) { return keyOf(a) < keyOf(b); });
  for (const Merged& m : merged) {
    const std::size_t first = m.part->rows.front();
    std::optional<std::string> qty;
    if (!m.part->apart) qty = std::to_string(m.part->designators.size());
    job.Add(first, job.Joined(m.entries), std::move(qty));
  }
  for (const std::size_t r : bare) job.Add(r, std::nullopt, std::nullopt);
  return std::move(job).Finish();
}

PartsResult Expand(const PartsTable& table, const PartsColumns& columns) {
  Job job(table, columns, false);
  std::vector<Designator> read;
  std::vector<const Designator*> designators;
  for (std::size_t r = 0; r < table.rows.size(); ++r) {
    read.clear();
    const std::size_t count = job.Read(r, read);
    const Quantity quantity = job.CheckQuantity(r, count);
    if (count == 0) {
      job.Add(r, std::nullopt, std::nullopt);
      continue;
    }
    designators.clear();
    for (const Designator& designator : read) designators.push_back(&designator);
    std::vector<Ordered::Placed> items;
    try {
      items = Ordered().Take(designators, false, columns.min_run);
    } catch (const RuntimeError& error) {
      // An overflow names no item: the cell is the one that overflowed.
      if (error.item()) throw RowError(error, job.RowNumber(r));
      throw RowError(RuntimeError(static_cast<ErrorNumber>(error.number()),
                                  Utf8ToUtf16(table.rows[r][columns.refs])),
                     job.RowNumber(r));
    }
    for (const Ordered::Placed& item : items) {
      std::optional<std::string> qty;
      if (quantity.kind != Quantity::Other) qty = "1";
      job.Add(r, Utf16ToUtf8(item.text), std::move(qty));
    }
  }
  return std::move(job).Finish();
}

}  // namespace

PartsResult collapse_rows(const PartsTable& table, const PartsColumns& columns) {
  return internal::WithMemoryErrorsNumbered([&] { return Collapse(table, columns); });
}

PartsResult expand_rows(const PartsTable& table, const PartsColumns& columns) {
  return internal::WithMemoryErrorsNumbered([&] { return Expand(table, columns); });
}

std::optional<std::size_t> find_column(std::span<const std::string> header, std::string_view name) {
  for (std::size_t k = 0; k < header.size(); ++k)
    if (header[k] == name) return k;
  const std::string wanted = Normalized(name);
  for (std::size_t k = 0; k < header.size(); ++k)
    if (Normalized(header[k]) == wanted) return k;
  return std::nullopt;
}

std::optional<std::size_t> find_designator_column(std::span<const std::string> header) {
  static constexpr std::string_view kNames[] = {
      "reference",    "references",          "ref",
      "refs",         "designator",          "designators",
      "refdes",       "referencedesignator", "referencedesignators",
      "partreference"};
  return FirstNamed(header, kNames);
}

std::optional<std::size_t> find_quantity_column(std::span<const std::string> header) {
  static constexpr std::string_view kNames[] = {"qty", "quantity"};
  return FirstNamed(header, kNames);
}

}  // namespace ztxgrp
