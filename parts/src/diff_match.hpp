// The designators and rows of two compared lists matched with each other:
// each designator with itself in the other list (its occurrences paired),
// rows without designators by their compared cells. The matches gather as
// lines of one kind and one pair of cells.
#pragma once

#include <cstddef>
#include <unordered_map>
#include <vector>

#include "diff_sides.hpp"

namespace ztxgrp::parts_detail {

// A line of the comparison while it is gathered.
struct Line {
  PartsChange::Kind kind;
  std::size_t oldKey, newKey;
  std::vector<const Designator*> designators;
};

// A designator that joined or left a part, comparing parts.
struct PartMove {
  std::size_t part;
  const Designator* designator;
};

class Lines {
 public:
  // `unchanged`: whether lines of unchanged designators are kept.
  explicit Lines(bool unchanged) : unchanged_(unchanged) {}
  // Comparing parts: a designator whose part differs is moved, and the
  // designators that leave and join each part are kept.
  void TrackParts(const Side& older, const Side& newer) {
    older_ = &older;
    newer_ = &newer;
  }
  // A designator matched: `o` its occurrence in OLD and `n` in NEW (either
  // none for one removed or added).
  void Add(PartsChange::Kind kind, std::size_t oldKey, std::size_t newKey, const Designator* o,
           const Designator* n) {
    if (older_) {
      const std::size_t from = o ? older_->partOf[o - older_->all.data()] : kNone;
      const std::size_t to = n ? newer_->partOf[n - newer_->all.data()] : kNone;
      if (from != to) {
        if (o) left_.push_back({from, o});
        if (n) joined_.push_back({to, n});
        if (o && n) kind = PartsChange::Kind::Moved;
      }
    }
    if (kind == PartsChange::Kind::Unchanged && !unchanged_) return;
    const auto [found, added] = index_.try_emplace(Key{kind, oldKey, newKey}, lines_.size());
    if (added) lines_.push_back({kind, oldKey, newKey, {}});
    lines_[found->second].designators.push_back(o ? o : n);
  }
  std::vector<Line>& All() { return lines_; }
  const std::vector<PartMove>& Left() const { return left_; }
  const std::vector<PartMove>& Joined() const { return joined_; }

 private:
  struct Key {
    PartsChange::Kind kind;
    std::size_t oldKey, newKey;
    bool operator==(const Key&) const = default;
  };
  // Ids of interned cells, numbered in reading order: no input chooses them.
  struct Hash {
    std::size_t operator()(const Key& key) const noexcept {
      return (key.oldKey * 0x9E3779B97F4A7C15ull) ^ (key.newKey * 0xC2B2AE3D27D4EB4Full) ^
             static_cast<std::size_t>(key.kind);
    }
  };
  bool unchanged_;
  std::unordered_map<Key, std::size_t, Hash> index_;
  std::vector<Line> lines_;
  const Side* older_ = nullptr;
  const Side* newer_ = nullptr;
  std::vector<PartMove> left_, joined_;
};

// Every designator matched with itself in the other list. Texts are found
// alike by sorting keyed hashes of them (no list can be made to collide),
// and only within runs of equal hashes are texts compared.
// Also gathers the designators that one list holds more than once
// (`repeated`: indices into each side's designators, per side).
void MatchDesignators(const Side& older, const Side& newer, Lines& lines,
                      std::vector<std::vector<std::size_t>> (&repeated)[2]);

// Rows without designators, matched by their compared cells: equal with
// their quantity first, then equal cells (the quantity changed).
void MatchBareRows(const Side& older, const Side& newer, std::vector<PartsChange>& bare,
                   const KeyTable& keys);

}  // namespace ztxgrp::parts_detail
