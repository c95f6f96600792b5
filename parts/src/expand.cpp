// Expanding a parts list to one row per designator.
#include "ordered.hpp"
#include "parts_job.hpp"
#include "ztxgrp/memory_errors.hpp"
#include "ztxgrp/parts_list.hpp"
#include "ztxgrp/utf.hpp"

namespace ztxgrp {
namespace {

using parts_detail::Designator;
using parts_detail::Ordered;

PartsResult Expand(const PartsTableView& view, const PartsColumns& columns,
                   const PartsTable* owner) {
  parts_detail::Job job(view, columns, false, owner);
  std::vector<Designator> all;  // every designator, in reading order
  // Every row's designators first: how many boards the quantities are for
  // rests on all of them.
  std::vector<std::pair<std::size_t, parts_detail::Quantity>> counted(job.Rows());
  std::vector<std::size_t> begins(job.Rows() + 1);
  for (std::size_t r = 0; r < job.Rows(); ++r) {
    begins[r] = all.size();
    counted[r] = {job.Read(r, all), job.QuantityOf(r)};
  }
  begins[job.Rows()] = all.size();
  const std::uint64_t boards = job.Boards(counted, false);
  std::vector<const Designator*> designators;
  Ordered ordered;
  for (std::size_t r = 0; r < job.Rows(); ++r) {
    const auto& [count, quantity] = counted[r];
    const bool forBoards = job.CheckQuantity(r, count, quantity, boards);
    if (count == 0) {
      job.Add(r, std::nullopt, std::nullopt);
      continue;
    }
    designators.clear();
    for (std::size_t k = begins[r]; k < begins[r + 1]; ++k) designators.push_back(&all[k]);
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
    const std::string each = std::to_string(forBoards ? boards : 1);
    for (const Ordered::Placed& item : *items) {
      std::optional<std::string> qty;
      if (quantity.kind != parts_detail::Quantity::Other) qty = each;
      job.Add(r, item.text, std::move(qty));
    }
  }
  return std::move(job).Finish(all);
}

}  // namespace

PartsResult expand_rows(const PartsTable& table, const PartsColumns& columns) {
  return WithMemoryErrorsNumbered(
      [&] { return Expand(parts_detail::ViewOf(table), columns, &table); });
}

PartsResult expand_rows(const PartsTableView& table, const PartsColumns& columns) {
  return WithMemoryErrorsNumbered([&] { return Expand(table, columns, nullptr); });
}

}  // namespace ztxgrp
