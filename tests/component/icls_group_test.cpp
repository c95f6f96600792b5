#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

#include "examples.hpp"
#include "test_support.hpp"
#include "ztxgrp/ztxgrp.hpp"

namespace ztxgrp {
namespace {

using testing::ErrorOf;
using testing::Strings;
using testing::Texts;

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
