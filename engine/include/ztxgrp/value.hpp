// Variant values and item lists, the data that crosses the engine's interface.
//
// A `Value` is what a scripting host keeps in a variable: nothing (empty),
// null, a Boolean, an integer, a real, a text, an array of values, or an
// object. An `ItemList` is a one-dimensional array with its own lower bound;
// hosts may pass any bound, while the lists that the engine builds start at 0.
// Texts are UTF-16 code units, compared binary, code unit by code unit.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace ztxgrp {

class Value;

struct Empty {
  friend bool operator==(Empty, Empty) = default;
};
struct Null {
  friend bool operator==(Null, Null) = default;
};
// An object reference held by a host. The engine cannot read it as text.
struct Object {
  friend bool operator==(Object, Object) = default;
};

struct ItemList {
  std::int32_t lowerBound = 0;
  std::vector<Value> elements;
  // False for an array that has no dimension at all: its bounds cannot be read.
  bool hasDimension = true;

  // Upper bound as a 64-bit number, so that a list with lower bound
  // INT32_MIN and no elements is still described exactly.
  std::int64_t upperBound() const;
  friend bool operator==(const ItemList&, const ItemList&);
};

class Value {
 public:
  using Storage =
      std::variant<Empty, Null, bool, std::int64_t, double, std::u16string, ItemList, Object>;

  Value() = default;
  Value(Empty) {}
  Value(Null v) : data_(v) {}
  Value(bool v) : data_(v) {}
  Value(std::int64_t v) : data_(v) {}
  Value(int v) : data_(std::int64_t{v}) {}
  Value(double v) : data_(v) {}
  Value(std::u16string v) : data_(std::move(v)) {}
  // A text built in place from a view: one copy of the code units.
  explicit Value(std::u16string_view v) : data_(std::in_place_type<std::u16string>, v) {}
  Value(const char16_t* v) : data_(std::u16string(v)) {}
  Value(ItemList v) : data_(std::move(v)) {}
  Value(Object v) : data_(v) {}

  bool isEmpty() const { return std::holds_alternative<Empty>(data_); }
  bool isText() const { return std::holds_alternative<std::u16string>(data_); }
  bool isList() const { return std::holds_alternative<ItemList>(data_); }

  const std::u16string& text() const { return std::get<std::u16string>(data_); }
  const ItemList& list() const { return std::get<ItemList>(data_); }
  ItemList& list() { return std::get<ItemList>(data_); }

  const Storage& storage() const { return data_; }
  Storage& storage() { return data_; }

  friend bool operator==(const Value&, const Value&) = default;

 private:
  Storage data_;
};

inline std::int64_t ItemList::upperBound() const {
  return std::int64_t{lowerBound} + static_cast<std::int64_t>(elements.size()) - 1;
}

inline bool operator==(const ItemList& a, const ItemList& b) {
  return a.lowerBound == b.lowerBound && a.hasDimension == b.hasDimension &&
         a.elements == b.elements;
}

// An unsigned integer as a value: an integer, or beyond the signed 64-bit
// range a text of its exact digits (every number is read as its decimal text
// anyway).
Value UnsignedValue(std::uint64_t value);

// The shortest run that grouping writes as a range, unless asked otherwise.
inline constexpr int kSystemMinRun = 2;

// A list with lower bound 0 holding `texts`, as the engine builds them.
ItemList MakeTextList(std::vector<std::u16string> texts, std::int32_t lowerBound = 0);

}  // namespace ztxgrp
