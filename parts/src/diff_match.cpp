#include "diff_match.hpp"

#include <algorithm>
#include <bit>
#include <map>

#include "duplicates.hpp"
#include "ztxgrp/keyed_hash.hpp"
#include "ztxgrp/utf.hpp"

namespace ztxgrp::parts_detail {
namespace {

// One designator's occurrences on both sides paired: equal keys first, the
// rest in reading order as changed, what remains added or removed.
void MatchOccurrences(const Side& older, const Side& newer, const std::vector<std::size_t>& olds,
                      const std::vector<std::size_t>& news, Lines& lines) {
  if (olds.size() == 1 && news.size() == 1) {  // the usual case
    const std::size_t o = olds.front(), n = news.front();
    const bool same = older.keyOf[o] == newer.keyOf[n];
    lines.Add(same ? PartsChange::Kind::Unchanged : PartsChange::Kind::Changed, older.keyOf[o],
              newer.keyOf[n], &older.all[o], &newer.all[n]);
    return;
  }
  std::map<std::size_t, std::vector<std::size_t>> newByKey;  // unmatched, reading order reversed
  for (auto it = news.rbegin(); it != news.rend(); ++it) newByKey[newer.keyOf[*it]].push_back(*it);
  std::vector<std::size_t> oldLeft, newLeft;
  std::vector<std::size_t> taken;
  for (const std::size_t k : olds) {
    auto found = newByKey.find(older.keyOf[k]);
    if (found == newByKey.end() || found->second.empty()) {
      oldLeft.push_back(k);
      continue;
    }
    const std::size_t n = found->second.back();
    taken.push_back(n);
    found->second.pop_back();
    lines.Add(PartsChange::Kind::Unchanged, older.keyOf[k], older.keyOf[k], &older.all[k],
              &newer.all[n]);
  }
  std::sort(taken.begin(), taken.end());
  for (const std::size_t k : news)
    if (!std::binary_search(taken.begin(), taken.end(), k)) newLeft.push_back(k);
  const std::size_t pairs = std::min(oldLeft.size(), newLeft.size());
  for (std::size_t i = 0; i < pairs; ++i)
    lines.Add(PartsChange::Kind::Changed, older.keyOf[oldLeft[i]], newer.keyOf[newLeft[i]],
              &older.all[oldLeft[i]], &newer.all[newLeft[i]]);
  for (std::size_t i = pairs; i < oldLeft.size(); ++i)
    lines.Add(PartsChange::Kind::Removed, older.keyOf[oldLeft[i]], kNone, &older.all[oldLeft[i]],
              nullptr);
  for (std::size_t i = pairs; i < newLeft.size(); ++i)
    lines.Add(PartsChange::Kind::Added, kNone, newer.keyOf[newLeft[i]], nullptr,
              &newer.all[newLeft[i]]);
}

}  // namespace

void MatchDesignators(const Side& older, const Side& newer, Lines& lines,
                      std::vector<std::vector<std::size_t>> (&repeated)[2]) {
  const std::size_t oldCount = older.all.size(), n = oldCount + newer.all.size();
  auto text = [&](std::size_t i) -> std::string_view {
    return i < oldCount ? older.all[i].text : newer.all[i - oldCount].text;
  };
  const int indexBits = std::max(1, static_cast<int>(std::bit_width(n)));
  const std::uint64_t indexMask = (std::uint64_t{1} << indexBits) - 1;
  std::vector<std::uint64_t> keys(n);
  for (std::size_t i = 0; i < n; ++i) keys[i] = (KeyedHash(text(i)) & ~indexMask) | i;
  parts_detail::SortKeys(keys);
  std::vector<std::size_t> run, olds, news;
  for (std::size_t begin = 0, end = 0; begin < n; begin = end) {
    for (end = begin + 1; end < n && ((keys[end] ^ keys[begin]) & ~indexMask) == 0;) ++end;
    const std::size_t first = keys[begin] & indexMask;
    // The usual runs: a designator in one list only, or once in each.
    if (end - begin == 1) {
      if (first < oldCount)
        lines.Add(PartsChange::Kind::Removed, older.keyOf[first], kNone, &older.all[first],
                  nullptr);
      else
        lines.Add(PartsChange::Kind::Added, kNone, newer.keyOf[first - oldCount], nullptr,
                  &newer.all[first - oldCount]);
      continue;
    }
    const std::size_t second = keys[begin + 1] & indexMask;
    if (end - begin == 2 && first < oldCount && second >= oldCount && text(first) == text(second)) {
      olds.assign(1, first);
      news.assign(1, second - oldCount);
      MatchOccurrences(older, newer, olds, news, lines);
      continue;
    }
    run.clear();
    for (std::size_t k = begin; k < end; ++k) run.push_back(keys[k] & indexMask);
    std::stable_sort(run.begin(), run.end(), [&](std::size_t a, std::size_t b) {
      return Utf16OrderLess(text(a), text(b));
    });
    for (std::size_t from = 0, to = 0; from < run.size(); from = to) {
      olds.clear();
      news.clear();
      for (to = from; to < run.size() && text(run[to]) == text(run[from]); ++to) {
        if (run[to] < oldCount)
          olds.push_back(run[to]);
        else
          news.push_back(run[to] - oldCount);
      }
      if (olds.size() > 1) repeated[0].push_back(olds);
      if (news.size() > 1) repeated[1].push_back(news);
      if (news.empty()) {
        for (const std::size_t k : olds)
          lines.Add(PartsChange::Kind::Removed, older.keyOf[k], kNone, &older.all[k], nullptr);
      } else if (olds.empty()) {
        for (const std::size_t k : news)
          lines.Add(PartsChange::Kind::Added, kNone, newer.keyOf[k], nullptr, &newer.all[k]);
      } else {
        MatchOccurrences(older, newer, olds, news, lines);
      }
    }
  }
}

void MatchBareRows(const Side& older, const Side& newer, std::vector<PartsChange>& bare,
                   const KeyTable& keys) {
  std::vector<bool> newTaken(newer.bare.size(), false);
  std::vector<const Side::Bare*> oldLeft;
  auto line = [&](PartsChange::Kind kind, const Side::Bare* o, const Side::Bare* n) {
    PartsChange change;
    change.kind = kind;
    if (o) change.old_cells = keys.Cells(o->fullKey);
    if (n) change.new_cells = keys.Cells(n->fullKey);
    bare.push_back(std::move(change));
  };
  // Matching by a map of unmatched rows per key keeps this linear.
  std::map<std::size_t, std::vector<std::size_t>> byFull, byCells;
  for (std::size_t n = newer.bare.size(); n-- > 0;) {
    byFull[newer.bare[n].fullKey].push_back(n);
    byCells[newer.bare[n].cellsKey].push_back(n);
  }
  auto pop = [&](std::vector<std::size_t>& queue) -> const Side::Bare* {
    while (!queue.empty() && newTaken[queue.back()]) queue.pop_back();
    if (queue.empty()) return nullptr;
    newTaken[queue.back()] = true;
    return &newer.bare[queue.back()];
  };
  for (const Side::Bare& o : older.bare) {
    if (const Side::Bare* n = pop(byFull[o.fullKey]))
      line(PartsChange::Kind::Unchanged, &o, n);
    else
      oldLeft.push_back(&o);
  }
  for (const Side::Bare* o : oldLeft) {
    if (const Side::Bare* n = pop(byCells[o->cellsKey]))
      line(PartsChange::Kind::Changed, o, n);
    else
      line(PartsChange::Kind::Removed, o, nullptr);
  }
  for (std::size_t n = 0; n < newer.bare.size(); ++n)
    if (!newTaken[n]) line(PartsChange::Kind::Added, nullptr, &newer.bare[n]);
}

}  // namespace ztxgrp::parts_detail
