#include "ztxgrp/parts_list.hpp"

#include <algorithm>
#include <bit>
#include <map>
#include <unordered_map>
#include <utility>

#include "designator_cell.hpp"
#include "ztxgrp/engine/entry_text.hpp"
#include "ztxgrp/engine/keyed_hash.hpp"
#include "ztxgrp/memory_errors.hpp"
#include "ztxgrp/quoted.hpp"
#include "ztxgrp/engine/text_lists.hpp"
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

  // A part's designator cell: the entries joined, and its place, the
  // prefix and number of the first.
  struct JoinedCell {
    std::string text;
    std::u16string prefix;
    std::int16_t first = -1;
  };

  void Reserve(std::size_t) override {}  // reused from call to call
  void Entry(const GroupEntry& entry) override {
    if (joining_) {
      Joining(entry.prefix, entry.first);
      AppendEntryText(cell_.text, Utf8Prefix(entry.prefix), entry.first, entry.last);
      return;
    }
    std::u16string text;
    AppendEntryText(text, entry.prefix, entry.first, entry.last);
    entries_.push_back({std::move(text), entry.prefix.size(), entry.first});
  }
  void Text(std::u16string_view text) override {
    const ItemSplit split = ReadItemSplit(text);
    if (joining_) {
      Joining(split.strPrefix, split.intNumber);
      cell_.text += Utf16ToUtf8(text);
      return;
    }
    entries_.push_back({std::u16string(text), split.strPrefix.size(), split.intNumber});
  }
  void EmptyElement() override {}

  // The designators grouped and joined by `join`. When all are foldable
  // (the usual case) the engine's entries are written straight into the
  // cell as UTF-8.
  JoinedCell Join(std::span<const Designator* const> designators, int minRun,
                  std::string_view join) {
    cell_ = JoinedCell();
    started_ = false;
    // The engine's prefix texts live for one call: a new call's may sit
    // where an earlier one's did.
    prefix16_ = {};
    prefix8_.clear();
    join_ = join;
    if (!std::all_of(designators.begin(), designators.end(),
                     [](const Designator* designator) { return designator->foldable; })) {
      const std::vector<Placed>& entries = Take(designators, true, minRun);
      for (const Placed& entry : entries) {
        Joining(std::u16string_view(entry.text).substr(0, entry.prefixLength), entry.first);
        cell_.text += Utf16ToUtf8(entry.text);
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
    std::stable_sort(entries_.begin(), entries_.end(), [](const auto& a, const auto& b) {
      const std::u16string_view prefixA = std::u16string_view(a.text).substr(0, a.prefixLength);
      const std::u16string_view prefixB = std::u16string_view(b.text).substr(0, b.prefixLength);
      if (prefixA != prefixB) return prefixA < prefixB;
      return a.first < b.first;
    });
    return entries_;
  }

 private:
  // The next entry of the joined cell: the separator before it, or the
  // cell's place when it is the first.
  void Joining(std::u16string_view prefix, std::int16_t number) {
    if (started_) {
      cell_.text += join_;
      return;
    }
    started_ = true;
    cell_.prefix = prefix;
    cell_.first = number;
  }
  // Entries come in prefix order: each distinct prefix is converted once
  // per call.
  std::string_view Utf8Prefix(std::u16string_view prefix) {
    if (prefix.data() != prefix16_.data() || prefix.size() != prefix16_.size()) {
      prefix8_ = Utf16ToUtf8(prefix);
      prefix16_ = prefix;
    }
    return prefix8_;
  }

  std::vector<Placed> entries_;
  std::vector<std::u16string_view> foldable_;
  bool joining_ = false;
  bool started_ = false;
  std::string_view join_;
  JoinedCell cell_;
  std::u16string_view prefix16_;
  std::string prefix8_;
};

std::string RowList(std::string_view noun, const std::vector<std::size_t>& rows) {
  std::string text = std::string(noun) + (rows.size() > 1 ? "s " : " ");
  for (std::size_t k = 0; k < rows.size(); ++k)
    text += (k == 0 ? "" : ", ") + std::to_string(rows[k]);
  return text;
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

// Sorts keys whose high bits are a keyed hash, so spread evenly: a pass
// into buckets by their top bits, about 64 keys each, then each bucket,
// small and in cache, sorted on its own.
void SortKeys(std::vector<std::uint64_t>& keys) {
  const int bits = std::clamp(static_cast<int>(std::bit_width(keys.size())) - 6, 0, 16);
  if (bits == 0) {
    std::sort(keys.begin(), keys.end());
    return;
  }
  const int shift = 64 - bits;
  std::vector<std::size_t> starts((std::size_t{1} << bits) + 1);
  for (const std::uint64_t key : keys) ++starts[(key >> shift) + 1];
  for (std::size_t b = 1; b < starts.size(); ++b) starts[b] += starts[b - 1];
  std::vector<std::uint64_t> sorted(keys.size());
  std::vector<std::size_t> next(starts.begin(), starts.end() - 1);
  for (const std::uint64_t key : keys) sorted[next[key >> shift]++] = key;
  for (std::size_t b = 0; b + 1 < starts.size(); ++b)
    std::sort(sorted.begin() + static_cast<std::ptrdiff_t>(starts[b]),
              sorted.begin() + static_cast<std::ptrdiff_t>(starts[b + 1]));
  keys = std::move(sorted);
}

// The work shared by collapsing and expanding: the table checked, rows read.
// A table given as strings (`owner`) is read through views of its cells.
class Job {
 public:
  Job(const PartsTableView& view, const PartsColumns& columns, bool collapse,
      const PartsTable* owner)
      : table_(view), columns_(columns), join_(Utf8ToUtf16(columns.join)) {
    CheckMinRun(columns.min_run);
    width_ = view.header.size();
    if (columns.refs >= width_) throw PartsError("the designator column is not in the header");
    if (columns.qty && *columns.qty >= width_)
      throw PartsError("the quantity column is not in the header");
    if (columns.qty == columns.refs)
      throw PartsError("the quantity column " + Quoted(view.header[columns.refs]) +
                       " is the designator column");
    for (const std::size_t key : columns.by) {
      if (key >= width_) throw PartsError("a key column is not in the header");
      if (key == columns.refs || key == columns.qty)
        throw PartsError("the key column " + Quoted(view.header[key]) +
                         " holds designators or quantities");
    }
    if (join_.empty()) throw PartsError("the join separator is empty");
    if (join_.find_first_of(u"-\u2013") != std::u16string::npos)
      throw PartsError("the join separator " + Quoted(columns.join) +
                       " holds a dash, which would read as a range");
    if (owner) {
      rows_ = owner->rows.size();
    } else {
      if (view.cells.size() % width_ != 0)
        throw PartsError("the cells do not fill whole rows: " + std::to_string(view.cells.size()) +
                         " cells, " + std::to_string(width_) + " columns");
      rows_ = view.cells.size() / width_;
    }
    if (!view.row_numbers.empty() && view.row_numbers.size() != rows_)
      throw PartsError("the row numbers do not match the rows");
    if (owner) {
      for (std::size_t r = 0; r < rows_; ++r)
        if (owner->rows[r].size() != width_)
          throw PartsError("the " + std::string(view.row_noun) + " has " +
                               std::to_string(owner->rows[r].size()) + " cells; the header has " +
                               std::to_string(width_),
                           RowNumber(r));
      ownerCells_.reserve(rows_ * width_);
      for (const std::vector<std::string>& row : owner->rows)
        ownerCells_.insert(ownerCells_.end(), row.begin(), row.end());
      table_.cells = ownerCells_;
    }
    result_.table.row_noun = view.row_noun;
    result_.table.header.assign(view.header.begin(), view.header.end());
    addQty_ = collapse && !columns.qty;
    if (addQty_)
      result_.table.header.insert(
          result_.table.header.begin() + static_cast<std::ptrdiff_t>(columns.refs + 1),
          columns.new_qty);
  }

  std::size_t Rows() const noexcept { return rows_; }
  std::size_t Width() const noexcept { return width_; }
  std::string_view Cell(std::size_t r, std::size_t column) const noexcept {
    return table_.cells[r * width_ + column];
  }
  std::span<const std::string> Header() const noexcept { return table_.header; }
  std::string_view Noun() const noexcept { return table_.row_noun; }

  std::size_t RowNumber(std::size_t r) const {
    return table_.row_numbers.empty() ? r + 1 : table_.row_numbers[r];
  }

  // The designators of row `r`, appended to `out`; their number.
  std::size_t Read(std::size_t r, std::vector<Designator>& out) {
    const std::string_view cell = Cell(r, columns_.refs);
    units_.resize(cell.size());  // never more units than bytes
    const std::size_t length = Utf8ToUtf16(cell, units_.data());
    const std::size_t before = out.size();
    try {
      reader_.Read(std::u16string_view(units_.data(), length), join_, RowNumber(r), out);
    } catch (const RuntimeError& error) {
      throw RowError(error, RowNumber(r), Noun());
    }
    return out.size() - before;
  }

  // The row's quantity, with a warning where it disagrees with `count`.
  Quantity CheckQuantity(std::size_t r, std::size_t count) {
    if (!columns_.qty) return {};
    const std::string_view cell = Cell(r, *columns_.qty);
    const Quantity quantity = ReadQuantity(cell);
    const std::size_t row = RowNumber(r);
    if (quantity.kind == Quantity::Other)
      Warn(PartsWarning::Kind::QuantityNotWhole,
           std::string(Noun()) + " " + std::to_string(row) + ": the quantity " + Quoted(cell) +
               " is no whole number; the row is kept apart with its quantity",
           {row});
    else if (quantity.kind == Quantity::Whole && quantity.value != count)
      Warn(PartsWarning::Kind::QuantityMismatch,
           std::string(Noun()) + " " + std::to_string(row) + ": the quantity " + Quoted(cell) +
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
    std::vector<std::string> cells;
    cells.reserve(width_ + (addQty_ ? 1 : 0));
    for (std::size_t k = 0; k < width_; ++k) {
      if (k == columns_.refs && refs)
        cells.push_back(std::move(*refs));
      else if (!addQty_ && k == columns_.qty && qty)
        cells.push_back(std::move(*qty));
      else
        cells.emplace_back(Cell(r, k));
      if (addQty_ && k == columns_.refs) cells.push_back(qty.value_or(std::string()));
    }
    result_.table.rows.push_back(std::move(cells));
    result_.table.row_numbers.push_back(RowNumber(r));
  }

  void Warn(PartsWarning::Kind kind, std::string message, std::vector<std::size_t> rows) {
    result_.warnings.push_back({kind, std::move(message), std::move(rows)});
  }

  // The result, with a warning for each designator in more than one place:
  // `all` holds every designator read, in reading order.
  PartsResult Finish(std::span<const Designator> all) && {
    // Each designator becomes one integer, the high bits of its text's hash
    // above its index; sorted, equal hashes lie together in reading order,
    // and only within such runs (rare unless texts repeat) are texts
    // compared.
    const std::size_t n = all.size();
    const int indexBits = std::max(1, static_cast<int>(std::bit_width(n)));
    const std::uint64_t indexMask = (std::uint64_t{1} << indexBits) - 1;
    std::vector<std::uint64_t> keys(n);
    for (std::size_t k = 0; k < n; ++k) keys[k] = (KeyedHash(all[k].text) & ~indexMask) | k;
    SortKeys(keys);
    auto text = [&](std::size_t index) -> const std::u16string& { return all[index].text; };
    std::vector<std::vector<std::size_t>> repeated;  // indices of one text, ascending
    std::vector<std::size_t> run;
    for (std::size_t begin = 0, end = 0; begin < n; begin = end) {
      for (end = begin + 1; end < n && ((keys[end] ^ keys[begin]) & ~indexMask) == 0;) ++end;
      if (end - begin < 2) continue;
      run.clear();
      for (std::size_t k = begin; k < end; ++k) run.push_back(keys[k] & indexMask);
      std::stable_sort(run.begin(), run.end(),
                       [&](std::size_t a, std::size_t b) { return text(a) < text(b); });
      for (std::size_t from = 0, to = 0; from < run.size(); from = to) {
        for (to = from + 1; to < run.size() && text(run[to]) == text(run[from]);) ++to;
        if (to - from > 1) repeated.emplace_back(run.begin() + from, run.begin() + to);
      }
    }
    std::sort(repeated.begin(), repeated.end(),
              [&](const auto& a, const auto& b) { return text(a.front()) < text(b.front()); });
    for (const std::vector<std::size_t>& indices : repeated) {
      std::vector<std::size_t> rows;
      for (const std::size_t k : indices) rows.push_back(all[k].row);
      std::string message = "designator " + Quoted(Utf16ToUtf8(text(indices.front()))) +
                            " occurs " + std::to_string(rows.size()) + " times, in " +
                            RowList(Noun(), rows);
      Warn(PartsWarning::Kind::DuplicateDesignator, std::move(message), std::move(rows));
    }
    return std::move(result_);
  }

 private:
  PartsTableView table_;
  std::vector<std::string_view> ownerCells_;
  std::size_t width_ = 0;
  std::size_t rows_ = 0;
  const PartsColumns& columns_;
  const std::u16string join_;
  bool addQty_ = false;
  PartsResult result_;
  std::u16string units_;  // the designator cell being read, as UTF-16
  internal::DesignatorCellReader reader_;
};

// The parts by the texts of their key cells. A row's key is written into a
// buffer kept from row to row (each cell's length, then its bytes) and
// looked up; only a new part's key is stored, so the table stays small and
// in cache. Keys are hashed under keys chosen anew in every process, so no
// table of rows can be made to collide.
class PartIndex {
 public:
  PartIndex(const Job& job, std::vector<std::size_t> keys) : job_(job), keys_(std::move(keys)) {}

  const std::vector<std::size_t>& Keys() const noexcept { return keys_; }

  // The part of row `r`'s key, and whether it is new (then numbered `next`).
  std::pair<std::size_t, bool> Find(std::size_t r, std::size_t next) {
    key_.clear();
    for (const std::size_t column : keys_) {
      const std::string_view cell = job_.Cell(r, column);
      const std::uint64_t size = cell.size();
      key_.append(reinterpret_cast<const char*>(&size), sizeof size).append(cell);
    }
    const auto [found, added] = parts_.try_emplace(key_, next);
    return {found->second, added};
  }

 private:
  struct Hash {
    std::size_t operator()(const std::string& key) const noexcept {
      return static_cast<std::size_t>(KeyedHash(key));
    }
  };
  const Job& job_;
  const std::vector<std::size_t> keys_;
  std::string key_;
  std::unordered_map<std::string, std::size_t, Hash> parts_;
};

PartsResult Collapse(const PartsTableView& view, const PartsColumns& columns,
                     const PartsTable* owner) {
  Job job(view, columns, true, owner);
  std::vector<std::size_t> byColumns = columns.by;
  if (byColumns.empty())
    for (std::size_t k = 0; k < job.Width(); ++k)
      if (k != columns.refs && k != columns.qty) byColumns.push_back(k);
  PartIndex partOf(job, std::move(byColumns));
  const std::vector<std::size_t>& keys = partOf.Keys();

  struct Part {
    std::size_t rowCount = 0, designatorCount = 0;
    bool apart = false;  // its quantity is kept as written
    // In reading order; laid out once every row is read.
    std::span<const std::size_t> rows;
    std::span<const Designator* const> designators;
  };
  struct RowRead {
    std::size_t row, part, begin;  // its designators: from `begin` in `all`
  };
  std::vector<Part> parts;
  std::vector<std::size_t> bare;  // rows without designators
  std::vector<Designator> all;    // every designator, in reading order
  std::vector<RowRead> reads;
  all.reserve(job.Rows());
  reads.reserve(job.Rows());
  for (std::size_t r = 0; r < job.Rows(); ++r) {
    const std::size_t begin = all.size();
    const std::size_t count = job.Read(r, all);
    const Quantity quantity = job.CheckQuantity(r, count);
    if (count == 0) {
      bare.push_back(r);
      continue;
    }
    std::size_t index = parts.size();
    if (quantity.kind == Quantity::Other) {
      parts.push_back({0, 0, true, {}, {}});
    } else {
      const auto [found, added] = partOf.Find(r, parts.size());
      if (added) parts.emplace_back();
      index = found;
    }
    ++parts[index].rowCount;
    parts[index].designatorCount += count;
    reads.push_back({r, index, begin});
  }
  // Each part's rows and designators side by side, in reading order: laid
  // out in one pass rather than grown part by part.
  std::vector<std::size_t> rowsByPart(reads.size());
  std::vector<const Designator*> designatorsByPart(all.size());
  {
    std::vector<std::pair<std::size_t, std::size_t>> next(parts.size());  // where each part goes on
    std::size_t rowAt = 0, designatorAt = 0;
    for (std::size_t p = 0; p < parts.size(); ++p) {
      next[p] = {rowAt, designatorAt};
      parts[p].rows = std::span<const std::size_t>(rowsByPart).subspan(rowAt, parts[p].rowCount);
      parts[p].designators = std::span<const Designator* const>(designatorsByPart)
                                 .subspan(designatorAt, parts[p].designatorCount);
      rowAt += parts[p].rowCount;
      designatorAt += parts[p].designatorCount;
    }
    for (std::size_t i = 0; i < reads.size(); ++i) {
      auto& [rowAt, designatorAt] = next[reads[i].part];
      rowsByPart[rowAt++] = reads[i].row;
      const std::size_t end = i + 1 < reads.size() ? reads[i + 1].begin : all.size();
      for (std::size_t k = reads[i].begin; k < end; ++k)
        designatorsByPart[designatorAt++] = &all[k];
    }
  }

  struct Merged {
    Ordered::JoinedCell refs;
    const Part* part;
  };
  std::vector<Merged> merged;
  merged.reserve(parts.size());
  Ordered ordered;
  for (const Part& part : parts) {
    try {
      merged.push_back({ordered.Join(part.designators, columns.min_run, columns.join), &part});
    } catch (const RuntimeError& error) {
      throw RowError(error, job.RowNumber(part.rows.front()), job.Noun());
    }
    // Cells of other columns that differ between the merged rows: the first
    // row's are written.
    if (part.rows.size() < 2) continue;
    for (std::size_t column = 0; column < job.Width(); ++column) {
      if (column == columns.refs || column == columns.qty ||
          std::find(keys.begin(), keys.end(), column) != keys.end())
        continue;
      const std::string_view first = job.Cell(part.rows.front(), column);
      bool differ = false;
      std::vector<std::size_t> rows;
      for (const std::size_t r : part.rows) {
        rows.push_back(job.RowNumber(r));
        differ = differ || job.Cell(r, column) != first;
      }
      if (differ)
        job.Warn(PartsWarning::Kind::DifferingCells,
                 "column " + Quoted(job.Header()[column]) + " differs between the merged " +
                     RowList(job.Noun(), rows) + "; the first one's " + Quoted(first) +
                     " is written",
                 rows);
    }
  }
  // By first designator in the engine's order.
  auto keyOf = [](const Merged& m) {
    return std::make_pair(std::u16string_view(m.refs.prefix), m.refs.first);
  };
  std::stable_sort(merged.begin(), merged.end(),
                   [&](const Merged& a, const Merged& b) { return keyOf(a) < keyOf(b); });
  for (Merged& m : merged) {
    const std::size_t first = m.part->rows.front();
    std::optional<std::string> qty;
    if (!m.part->apart) qty = std::to_string(m.part->designators.size());
    job.Add(first, std::move(m.refs.text), std::move(qty));
  }
  for (const std::size_t r : bare) job.Add(r, std::nullopt, std::nullopt);
  return std::move(job).Finish(all);
}

PartsResult Expand(const PartsTableView& view, const PartsColumns& columns,
                   const PartsTable* owner) {
  Job job(view, columns, false, owner);
  std::vector<Designator> all;  // every designator, in reading order
  std::vector<const Designator*> designators;
  Ordered ordered;
  for (std::size_t r = 0; r < job.Rows(); ++r) {
    const std::size_t begin = all.size();
    const std::size_t count = job.Read(r, all);
    const Quantity quantity = job.CheckQuantity(r, count);
    if (count == 0) {
      job.Add(r, std::nullopt, std::nullopt);
      continue;
    }
    designators.clear();
    for (std::size_t k = begin; k < all.size(); ++k) designators.push_back(&all[k]);
    const std::vector<Ordered::Placed>* items = nullptr;
    try {
      items = &ordered.Take(designators, false, columns.min_run);
    } catch (const RuntimeError& error) {
      // An overflow names no item: the cell is the one that overflowed.
      if (error.item()) throw RowError(error, job.RowNumber(r), job.Noun());
      throw RowError(RuntimeError(static_cast<ErrorNumber>(error.number()),
                                  Utf8ToUtf16(job.Cell(r, columns.refs))),
                     job.RowNumber(r), job.Noun());
    }
    for (const Ordered::Placed& item : *items) {
      std::optional<std::string> qty;
      if (quantity.kind != Quantity::Other) qty = "1";
      job.Add(r, Utf16ToUtf8(item.text), std::move(qty));
    }
  }
  return std::move(job).Finish(all);
}

PartsTableView ViewOf(const PartsTable& table) {
  return {table.header, {}, table.row_numbers, table.row_noun};
}

}  // namespace

PartsResult collapse_rows(const PartsTable& table, const PartsColumns& columns) {
  return WithMemoryErrorsNumbered([&] { return Collapse(ViewOf(table), columns, &table); });
}

PartsResult collapse_rows(const PartsTableView& table, const PartsColumns& columns) {
  return WithMemoryErrorsNumbered([&] { return Collapse(table, columns, nullptr); });
}

PartsResult expand_rows(const PartsTable& table, const PartsColumns& columns) {
  return WithMemoryErrorsNumbered([&] { return Expand(ViewOf(table), columns, &table); });
}

PartsResult expand_rows(const PartsTableView& table, const PartsColumns& columns) {
  return WithMemoryErrorsNumbered([&] { return Expand(table, columns, nullptr); });
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
