// The designators of one parts-list cell, each exactly as written, with its
// reading by the engine and whether the engine writes it back unchanged.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ztxgrp::parts_detail {

struct Designator {
  std::string text;              // as written (a range's items as the engine writes them)
  std::size_t prefixLength = 0;  // the engine's reading of `text`
  std::int16_t number = -1;
  bool foldable = false;  // the engine writes (prefix, number) back as `text`
  std::size_t row = 0;    // the number of its row, for messages
  std::string_view prefix() const noexcept {
    return std::string_view(text).substr(0, prefixLength);
  }
};

// Adds the designators of `cell` (valid UTF-8) to `out` in the order
// written, numbered `row`. `join`, when not empty, separates designators too. Errors:
// PartsError (numbered `row`) for a lone dash that joins no range, or a
// range whose ends the engine would write differently (R001-R003); the
// engine's RuntimeError, naming the piece, for a designator it cannot read
// or a range it cannot expand. `out` holds the list's designators read so
// far: PartsError once it holds more than kMaxListDesignators.
// What Visit gives: each designator typed alone, and each item of a range
// by its prefix and number, written nowhere.
class DesignatorVisitor {
 public:
  virtual ~DesignatorVisitor() = default;
  virtual void Single(Designator&& designator) = 0;
  virtual void Item(std::string_view prefix, std::int16_t number) = 0;
};

class DesignatorCellReader {
 public:
  void Read(std::string_view cell, std::string_view join, std::size_t row,
            std::vector<Designator>& out);
  // Reads as Read does, with its errors, giving the designators to
  // `visitor` instead of keeping them: a range's items are never written
  // as texts. `count` is the designators given so far, for the list's limit.
  void Visit(std::string_view cell, std::string_view join, std::size_t row,
             DesignatorVisitor& visitor, std::size_t& count);

 private:
  std::vector<std::string_view> pieces_;  // reused from cell to cell
  std::vector<Designator> single_;
};

}  // namespace ztxgrp::parts_detail
