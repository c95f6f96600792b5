// Collapsing a parts list to one row per part.
#include <algorithm>
#include <limits>
#include <utility>

#include "ordered.hpp"
#include "part_index.hpp"
#include "parts_job.hpp"
#include "ztxgrp/memory_errors.hpp"
#include "ztxgrp/parts_list.hpp"
#include "ztxgrp/quoted.hpp"
#include "ztxgrp/utf.hpp"

namespace ztxgrp {
namespace {

using parts_detail::Designator;
using parts_detail::Job;
using parts_detail::Ordered;
using parts_detail::Quantity;

struct Part {
  std::size_t rowCount = 0, designatorCount = 0;
  bool apart = false;  // its quantity is kept as written
  // Its quantity: its designators, times the boards where its rows' are
  // for the list's boards.
  std::uint64_t quantity = 0;
  // In reading order; laid out once every row is read.
  std::span<const std::size_t> rows;
  std::span<const Designator* const> designators;
};

// Every row read: the parts, with their rows and designators side by side.
struct Reading {
  std::vector<Part> parts;
  std::vector<std::size_t> bare;  // rows without designators
  std::vector<Designator> all;    // every designator, in reading order
  std::vector<std::size_t> rowsByPart;
  std::vector<const Designator*> designatorsByPart;
};

struct RowRead {
  std::size_t row, part, begin;  // its designators: from `begin` in `all`
};

// Each part's rows and designators side by side, in reading order: laid out
// in one pass rather than grown part by part.
void LayOut(Reading& reading, const std::vector<RowRead>& reads) {
  std::vector<Part>& parts = reading.parts;
  reading.rowsByPart.resize(reads.size());
  reading.designatorsByPart.resize(reading.all.size());
  std::vector<std::pair<std::size_t, std::size_t>> next(parts.size());  // where each part goes on
  std::size_t rowAt = 0, designatorAt = 0;
  for (std::size_t p = 0; p < parts.size(); ++p) {
    next[p] = {rowAt, designatorAt};
    parts[p].rows =
        std::span<const std::size_t>(reading.rowsByPart).subspan(rowAt, parts[p].rowCount);
    parts[p].designators = std::span<const Designator* const>(reading.designatorsByPart)
                               .subspan(designatorAt, parts[p].designatorCount);
    rowAt += parts[p].rowCount;
    designatorAt += parts[p].designatorCount;
  }
  for (std::size_t i = 0; i < reads.size(); ++i) {
    auto& [rowNext, designatorNext] = next[reads[i].part];
    reading.rowsByPart[rowNext++] = reads[i].row;
    const std::size_t end = i + 1 < reads.size() ? reads[i + 1].begin : reading.all.size();
    for (std::size_t k = reads[i].begin; k < end; ++k)
      reading.designatorsByPart[designatorNext++] = &reading.all[k];
  }
}

// Reads every row into its part: rows of equal key cells share one, a row
// whose quantity is no whole number keeps a part of its own.
Reading ReadRows(Job& job, parts_detail::PartIndex& partOf) {
  Reading reading;
  std::vector<RowRead> reads;
  reading.all.reserve(job.Rows());
  reads.reserve(job.Rows());
  // Every row's designators first: how many boards the quantities are for
  // rests on all of them.
  std::vector<std::pair<std::size_t, Quantity>> counted(job.Rows());
  std::vector<std::size_t> begins(job.Rows());
  for (std::size_t r = 0; r < job.Rows(); ++r) {
    begins[r] = reading.all.size();
    counted[r] = {job.Read(r, reading.all), job.QuantityOf(r)};
  }
  const std::uint64_t boards = job.Boards(counted, true);
  for (std::size_t r = 0; r < job.Rows(); ++r) {
    const auto& [count, quantity] = counted[r];
    const bool forBoards = job.CheckQuantity(r, count, quantity, boards);
    if (count == 0) {
      reading.bare.push_back(r);
      continue;
    }
    std::size_t index = reading.parts.size();
    if (quantity.kind == Quantity::Other) {
      reading.parts.push_back({0, 0, true, 0, {}, {}});
    } else {
      const auto [found, added] = partOf.Find(r, reading.parts.size());
      if (added) reading.parts.emplace_back();
      index = found;
    }
    Part& part = reading.parts[index];
    ++part.rowCount;
    part.designatorCount += count;
    part.quantity += (forBoards ? boards : 1) * count;
    reads.push_back({r, index, begins[r]});
  }
  LayOut(reading, reads);
  return reading;
}

// Cells of other columns that differ between a part's merged rows: the
// first row's are written, with a warning.
void WarnDifferingCells(Job& job, const PartsColumns& columns, const std::vector<std::size_t>& keys,
                        const Part& part) {
  if (part.rows.size() < 2) return;
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
                   parts_detail::RowList(job.Noun(), rows) + "; the first one's " + Quoted(first) +
                   " is written",
               rows);
  }
}

PartsResult Collapse(const PartsTableView& view, const PartsColumns& columns,
                     const PartsTable* owner) {
  Job job(view, columns, true, owner);
  std::vector<std::size_t> byColumns = columns.by;
  if (byColumns.empty())
    for (std::size_t k = 0; k < job.Width(); ++k)
      if (k != columns.refs && k != columns.qty) byColumns.push_back(k);
  parts_detail::PartIndex partOf(job, std::move(byColumns));
  Reading reading = ReadRows(job, partOf);

  struct Merged {
    Ordered::JoinedCell refs;
    const Part* part;
    std::optional<std::uint64_t> quantity;  // a piece's, when the part is cut into rows
  };
  std::vector<Merged> merged;
  merged.reserve(reading.parts.size());
  Ordered ordered;
  // Without ranges: a run longer than any list, so no run is written as one.
  const int minRun = columns.no_ranges ? std::numeric_limits<int>::max() : columns.min_run;
  std::vector<const Designator*> sorted;
  for (const Part& part : reading.parts) {
    try {
      if (!columns.max_per_row || part.designators.size() <= *columns.max_per_row) {
        merged.push_back({ordered.Join(part.designators, minRun, columns.join), &part, {}});
      } else {
        // Pieces of at most max_per_row designators, in order; the part's
        // quantity shared so that the pieces add up to it.
        sorted.assign(part.designators.begin(), part.designators.end());
        parts_detail::InEngineOrder(sorted);
        const std::uint64_t count = sorted.size(), each = part.quantity / count;
        std::uint64_t left = part.quantity;
        for (std::size_t at = 0; at < sorted.size(); at += *columns.max_per_row) {
          const std::size_t size =
              static_cast<std::size_t>(std::min<std::uint64_t>(*columns.max_per_row, count - at));
          const std::uint64_t quantity = at + size == count ? left : each * size;
          left -= quantity;
          merged.push_back({ordered.Join(std::span(sorted).subspan(at, size), minRun, columns.join),
                            &part, quantity});
        }
      }
    } catch (const RuntimeError& error) {
      throw RowError(error, job.RowNumber(part.rows.front()), job.Noun());
    }
    WarnDifferingCells(job, columns, partOf.Keys(), part);
  }
  // By first designator in the engine's order: prefixes as their UTF-16
  // forms order, then numbers.
  std::stable_sort(merged.begin(), merged.end(), [](const Merged& a, const Merged& b) {
    if (a.refs.prefix != b.refs.prefix) return Utf16OrderLess(a.refs.prefix, b.refs.prefix);
    return a.refs.first < b.refs.first;
  });
  for (Merged& m : merged) {
    std::optional<std::string> qty;
    if (!m.part->apart) qty = std::to_string(m.quantity.value_or(m.part->quantity));
    job.Add(m.part->rows.front(), std::move(m.refs.text), std::move(qty));
  }
  for (const std::size_t r : reading.bare) job.Add(r, std::nullopt, std::nullopt);
  return std::move(job).Finish(reading.all);
}

}  // namespace

PartsResult collapse_rows(const PartsTable& table, const PartsColumns& columns) {
  return WithMemoryErrorsNumbered(
      [&] { return Collapse(parts_detail::ViewOf(table), columns, &table); });
}

PartsResult collapse_rows(const PartsTableView& table, const PartsColumns& columns) {
  return WithMemoryErrorsNumbered([&] { return Collapse(table, columns, nullptr); });
}

}  // namespace ztxgrp
