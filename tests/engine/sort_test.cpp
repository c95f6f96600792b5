#include <gtest/gtest.h>

#include "test_support.hpp"
#include "ztxgrp/engine/cls_group.hpp"

namespace ztxgrp {
namespace {

using testing::ErrorOf;
using testing::List;
using testing::Strings;
using testing::Texts;

TEST(SortItemsTest, OrdersByPrefixThenNumberKeepingEqualKeys) {
  const struct {
    std::vector<std::string> input;
    std::vector<std::string> sorted;
  } cases[] = {
      {{"R3", "R1", "C2", "R2", "R5"}, {"C2", "R1", "R2", "R3", "R5"}},
      {{"R10", "R9", "R11"}, {"R9", "R10", "R11"}},
      {{"B2", "A10", "B1", "A9", "A11"}, {"A9", "A10", "A11", "B1", "B2"}},
      {{"r1", "R2", "B1"}, {"B1", "R2", "r1"}},
      {{"R2", "R", "R0"}, {"R", "R0", "R2"}},
      {{"R1", "R01"}, {"R1", "R01"}},
      {{"R01", "R1"}, {"R01", "R1"}},
      {{"123", "R1", "A2", "AB1"}, {"123", "A2", "AB1", "R1"}},
      {{"R32768"}, {"R32768"}},  // one element is never read
      {{}, {}},
  };
  clsGroup group;
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.input));
    Value list = Texts(c.input);
    group.SortItems(list);
    EXPECT_EQ(Strings(list), c.sorted);
  }
}

TEST(SortItemsTest, SortsBetweenTheListsOwnBounds) {
  clsGroup group;
  Value list = Texts({"R3", "R1", "R2"}, 1);
  group.SortItems(list);
  EXPECT_EQ(list.list().lowerBound, 1);
  EXPECT_EQ(Strings(list), (std::vector<std::string>{"R1", "R2", "R3"}));
}

TEST(SortItemsTest, ElementsThatMoveUpBecomeText) {
  clsGroup group;
  Value list = List({Value(5), Value(u"3")});
  group.SortItems(list);
  EXPECT_EQ(list, List({Value(u"3"), Value(u"5")}));
  Value stays = List({Value(1), Value(u"2")});
  group.SortItems(stays);
  EXPECT_EQ(stays, List({Value(1), Value(u"2")}));
}

TEST(SortItemsTest, LimitsAndBadElementsFailWithTheirNumbers) {
  auto sized = [](std::int32_t lowerBound, std::size_t count) {
    ItemList list;
    list.lowerBound = lowerBound;
    list.elements.assign(count, Value(u"R1"));
    return Value(list);
  };
  ItemList dimensionless;
  dimensionless.hasDimension = false;
  const struct {
    const char* name;
    Value list;
    int error;
  } cases[] = {
      {"upper bound 32767", sized(32766, 2), 6},
      {"upper bound 32766", sized(32765, 2), 0},
      {"lower and upper bound 32767", sized(32767, 1), 6},
      {"lower bound -32768", sized(-32768, 3), 6},
      {"lower bound below 16 bits", sized(-40000, 1), 6},
      {"upper bound beyond 16 bits", sized(32000, 1000), 6},
      {"no array", Value(u"R1"), 13},
      {"no dimension", Value(dimensionless), 9},
      {"null element", List({Value(u"R1"), Value(Null{})}), 94},
      {"nested array", List({Value(ItemList{}), Value(u"R1")}), 13},
      {"number out of range", List({Value(u"R1"), Value(u"R40000")}), 6},
      {"element lb+1 is read first", List({Value(u".5"), Value(u"R40000")}), 6},
      {"then element lb", List({Value(u".5"), Value(u"R1"), Value(u"R40000")}), 13},
  };
  clsGroup group;
  for (auto c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ErrorOf([&] { group.SortItems(c.list); }), c.error);
  }
}

}  // namespace
}  // namespace ztxgrp
