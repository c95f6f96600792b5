#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <thread>

#include "examples.hpp"
#include "test_support.hpp"
#include "ztxgrp/quoted.hpp"
#include "ztxgrp/ztxgrp.hpp"

namespace ztxgrp {
namespace {

using testing::ErrorOf;
using testing::Strings;
using testing::Texts;
using testing::U;

TEST(IclsGroupTest, ForwardsToItsWorkerAndKeepsTheArgument) {
  IclsGroup component;
  const Value input = Texts({"R3", "R1", "C2", "R2", "R5"});
  const Value copy = input;
  EXPECT_EQ(Strings(component.Group(input)), (std::vector<std::string>{"C2", "R1-R3", "R5"}));
  EXPECT_EQ(input, copy);
  const Value bad = Texts({"R1-R3", "R5-R4"});
  EXPECT_EQ(ErrorOf([&] { component.Ungroup(bad); }), 9);
  EXPECT_EQ(bad, Texts({"R1-R3", "R5-R4"}));
  // A failed call leaves the object as usable as before.
  EXPECT_EQ(Strings(component.UngroupItem(u"R1-R2")), (std::vector<std::string>{"R1", "R2"}));
  EXPECT_TRUE(component.IsValidRange(u"R1-R3"));
  EXPECT_FALSE(component.IsValidRange(u".5-R3"));
}

TEST(IclsGroupTest, RuntimeErrorsCarryNumberDescriptionAndItem) {
  IclsGroup component;
  try {
    component.UngroupItem(u"R3-R1");
    FAIL() << "no error";
  } catch (const RuntimeError& error) {
    EXPECT_EQ(error.number(), 9);
    EXPECT_EQ(error.description(), "Subscript out of range");
    ASSERT_TRUE(error.item().has_value());
    EXPECT_EQ(*error.item(), u"R3-R1");
  }
}

// Where a list's bounds and one of its elements both fail, the error that
// comes first is the one the counters and reads meet first: the sort reads
// every element of a longer list before its counters overflow, never the
// element of a one-element list; ungrouping reads each element before its
// element counter steps on.
TEST(IclsGroupTest, BoundAndElementErrorsComeInOrder) {
  enum Op { kGroup, kUngroup };
  const Value bad = U(".5");
  const struct {
    Op op;
    std::int32_t lowerBound;
    std::vector<Value> elements;
    int error;  // 0: succeeds
  } cases[] = {
      {kGroup, -32768, {bad}, 6},
      {kGroup, -32768, {Null{}}, 6},
      {kGroup, -32768, {U("R1")}, 6},
      {kGroup, -32768, {U("R1"), bad}, 13},
      {kGroup, -32768, {U("R1"), Null{}, U("R2")}, 94},
      {kGroup, -32768, {U("R1"), U("R2")}, 6},
      {kGroup, -32767, {bad}, 13},
      {kGroup, -32767, {U("R1"), U("R2")}, 0},
      {kGroup, 32767, {bad}, 6},
      {kGroup, 32766, {bad}, 13},
      {kGroup, 32766, {U("R1"), Null{}}, 94},
      {kGroup, 32766, {U("R1"), U("R2")}, 6},
      {kGroup, 32765, {U("R1"), U("R2")}, 0},
      {kUngroup, -32768, {bad}, 13},
      {kUngroup, -32768, {U("R1")}, 0},
      {kUngroup, -32767, {U("R1"), Null{}}, 94},
      {kUngroup, 32766, {U("R1"), bad}, 13},
      {kUngroup, 32766, {U("R1"), U("R2")}, 6},
      {kUngroup, 32767, {Null{}}, 94},
      {kUngroup, 32767, {U("R1")}, 6},
  };
  IclsGroup component;
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << (c.op == kGroup ? "Group" : "Ungroup") << " from "
                                      << c.lowerBound << ", " << c.elements.size() << " elements");
    ItemList list;
    list.lowerBound = c.lowerBound;
    list.elements = c.elements;
    const Value input(std::move(list));
    EXPECT_EQ(ErrorOf([&] { c.op == kGroup ? component.Group(input) : component.Ungroup(input); }),
              c.error);
  }
}

// The result's write index is a 16-bit counter: a result of 32767 entries is
// the largest, also when the list itself is longer (lower bound below 0).
TEST(IclsGroupTest, GroupResultHoldsAtMost32767Entries) {
  IclsGroup component;
  for (const std::size_t count : {32767u, 32768u, 65534u}) {
    SCOPED_TRACE(count);
    ItemList list;
    list.lowerBound = -32767;
    list.elements.assign(count, Value(U("x")));  // items without a number never join
    const Value input(std::move(list));
    EXPECT_EQ(ErrorOf([&] { component.Group(input); }), count == 32767 ? 0 : 6);
  }
}

TEST(IclsGroupTest, RunsShorterThanTheShortestRangeAreWrittenItemByItem) {
  const struct {
    int minRun;
    std::vector<std::string> input, expected;
    int error;
  } cases[] = {
      {2, {"R2", "R1", "R5", "R6", "R7", "C1"}, {"C1", "R1-R2", "R5-R7"}, 0},
      {3, {"R2", "R1", "R5", "R6", "R7", "C1"}, {"C1", "R1", "R2", "R5-R7"}, 0},
      {4, {"R2", "R1", "R5", "R6", "R7", "C1"}, {"C1", "R1", "R2", "R5", "R6", "R7"}, 0},
      {4, {"R01", "R02", "R", "R0"}, {"R", "R0", "R1", "R2"}, 0},  // written normalised
      {3, {"R1", "R1", "R2", "R3"}, {"R1", "R1-R3"}, 0},
      {1, {"R1"}, {}, 5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.minRun);
    std::vector<std::string> result;
    EXPECT_EQ(ErrorOf([&] { result = group(c.input, c.minRun); }), c.error);
    EXPECT_EQ(result, c.expected);
  }
}

TEST(Utf8ApiTest, ConvertsBothWaysAndRejectsInvalidInput) {
  const std::vector<std::string> parts = {"R3", "R1", "C2", "R2", "R5"};
  EXPECT_EQ(group(parts), (std::vector<std::string>{"C2", "R1-R3", "R5"}));
  const std::vector<std::string> ranges = {
      "\xC3\x85"
      "1-\xC3\x85"
      "2",
      "C1"};
  EXPECT_EQ(ungroup(ranges), (std::vector<std::string>{"C1",
                                                       "\xC3\x85"
                                                       "1",
                                                       "\xC3\x85"
                                                       "2"}));
  EXPECT_EQ(ungroup_item("R1-R2"), (std::vector<std::string>{"R1", "R2"}));
  EXPECT_TRUE(is_valid_range("R1-R3"));
  EXPECT_EQ(group(std::vector<std::string>{}), (std::vector<std::string>{""}));
  const char* invalid[] = {"\xFF", "\xC0\x80", "\xED\xA0\x80", "\xE2\x82", "\xF4\x90\x80\x80"};
  for (const char* text : invalid) {
    SCOPED_TRACE(text);
    const std::vector<std::string> list = {"R1", text};
    EXPECT_THROW(group(list), EncodingError);
  }
  EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16("R\xF0\x9F\x98\x80"
                                    "1")),
            "R\xF0\x9F\x98\x80"
            "1");
  EXPECT_THROW(Utf16ToUtf8(u"\xD800"), EncodingError);
}

// UTF-8 texts are read as they are, yet order, count and fail as their
// UTF-16 forms: U+E000..U+FFFF order after characters beyond U+FFFF (their
// bytes order before them), lengths count UTF-16 units, errors name the item.
TEST(Utf8ApiTest, ReadsTextsAsTheirUtf16FormsRead) {
  std::string wide;  // 32765 "é" (two bytes, one unit each)
  for (int k = 0; k < 32765; ++k) wide += "\u00E9";
  const struct {
    bool group;
    std::vector<std::string> input, expected;
    int error;
    std::u16string item;
  } cases[] = {
      {true,
       {"\uE0001", "\U0001F6001", "\uFFFD1", "\u00E91"},
       {"\u00E91", "\U0001F6001", "\uE0001", "\uFFFD1"},
       0,
       {}},
      {true, {"\uE0002", "\U0001F6001", "\uE0001"}, {"\U0001F6001", "\uE0001-\uE0002"}, 0, {}},
      {false, {"\uE0001-\uE0002", "\U0001F6003"}, {"\U0001F6003", "\uE0001", "\uE0002"}, 0, {}},
      {true, {wide + "R1"}, {wide + "R1"}, 0, {}},  // 32767 units, 65532 bytes
      {true, {"R1", wide + "RR1"}, {}, 6, {}},      // 32768 units: too long to read
      {true, {"R1", "\u00E999999"}, {}, 6, u"\u00E999999"},
      {false, {"\u00E95-\u00E93"}, {}, 9, u"\u00E95-\u00E93"},
      {false, {"5-\u00E9"}, {}, 13, u"5-\u00E9"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.input.back().substr(0, 20));
    std::vector<std::string> result;
    try {
      result = c.group ? group(c.input) : ungroup(c.input);
      EXPECT_EQ(c.error, 0);
    } catch (const RuntimeError& error) {
      EXPECT_EQ(error.number(), c.error);
      if (!c.item.empty()) {
        EXPECT_EQ(error.item(), c.item);
      }
    }
    EXPECT_EQ(result, c.expected);
  }
}

// Texts side by side in one buffer, as the bindings hold them: offsets from
// a host are checked before anything is read.
TEST(Utf8ApiTest, PackedTextsHoldTheirListAndRefuseBadOffsets) {
  const std::string bytes = "R3R1C2R2";
  const std::vector<std::uint32_t> offsets = {0, 2, 4, 6, 8}, none = {};
  EXPECT_EQ(group(PackedTexts<char>(bytes, offsets)), (std::vector<std::string>{"C2", "R1-R3"}));
  EXPECT_EQ(group(PackedTexts<char>(bytes, none)), (std::vector<std::string>{""}));
  const std::vector<std::vector<std::uint32_t>> bad = {{0, 4, 2}, {0, 9}, {3, 2}};
  for (const std::vector<std::uint32_t>& cuts : bad)
    EXPECT_THROW(PackedTexts<char>(bytes, cuts), std::invalid_argument);
}

// Calls on several threads at once, as from Python with the interpreter lock
// released: the buffers they keep between calls are never shared by two.
TEST(Utf8ApiTest, CallsOnSeveralThreadsAtOnceKeepTheirOwnResults) {
  std::vector<std::vector<std::string>> lists, expected;
  for (int t = 0; t < 4; ++t) {
    const std::string prefix(1, static_cast<char>('A' + t));
    std::vector<std::string>& list = lists.emplace_back();
    for (int k = 3000; k >= 1; --k) list.push_back(prefix + std::to_string(k * (t + 1)));
    // A1..A3000 folds into one range; steps of two or more stay item by item.
    std::vector<std::string>& sorted = expected.emplace_back();
    if (t == 0) sorted = {"A1-A3000"};
    for (int k = 1; t > 0 && k <= 3000; ++k) sorted.push_back(prefix + std::to_string(k * (t + 1)));
  }
  std::vector<int> wrong(lists.size(), 0);
  std::vector<std::thread> threads;
  for (std::size_t t = 0; t < lists.size(); ++t)
    threads.emplace_back([&, t] {
      for (int round = 0; round < 100; ++round) wrong[t] += group(lists[t]) != expected[t];
    });
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(wrong, std::vector<int>(lists.size(), 0));
}

// Messages show a user's text the same way in every front end.
TEST(QuotedTest, EscapesLikeJsonAndCutsLongTexts) {
  const struct {
    std::u16string text;
    std::string quoted;
  } cases[] = {
      {u"R1", "\"R1\""},
      {u"a\"b\\c\n\t\x01", "\"a\\\"b\\\\c\\n\\t\\u0001\""},
      {u"\xC5\U0001F600", "\"\xC3\x85\xF0\x9F\x98\x80\""},
      {std::u16string(1, u'\xD800') + u"1", "\"\\uD8001\""},
      {std::u16string(70, u'R'), "\"" + std::string(64, 'R') + "\"... (cut; 70 characters in all)"},
  };
  for (const auto& c : cases) EXPECT_EQ(Quoted(c.text), c.quoted);
  EXPECT_EQ(Quoted(std::string_view("R\xFF")), "\"R\\xFF\"");
}

// Real parts lists: grouping the designators and ungrouping the result gives
// back the sorted designators. A designator that holds "-" reads as a range
// when ungrouped, so those are left out.
TEST(BoardDataTest, GroupingAndUngroupingRealPartsListsRoundTrips) {
  const char* boards[] = {"Aeronav_R.csv", "BoulderCreekMotherBoard.csv", "RPi-Test.csv",
                          "acquire-PWM.csv", "glasgow.csv"};
  for (const char* board : boards) {
    SCOPED_TRACE(board);
    std::ifstream in(std::string(ZTXGRP_BOARD_DATA) + "/" + board);
    if (!in) GTEST_SKIP() << "board data not found";
    std::string line;
    std::getline(in, line);  // header
    std::vector<std::string> all;
    while (std::getline(in, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      std::string designator = line.substr(0, line.find(','));
      if (designator.find('-') == std::string::npos) all.push_back(designator);
    }
    ASSERT_GT(all.size(), 100u);
    const std::vector<std::string> grouped = group(all);
    EXPECT_LT(grouped.size(), all.size());
    const std::vector<std::string> back = ungroup(grouped);
    std::vector<std::string> sorted = ungroup(all);
    EXPECT_EQ(back, sorted);
    EXPECT_EQ(group(back), grouped);
  }
}

}  // namespace
}  // namespace ztxgrp
