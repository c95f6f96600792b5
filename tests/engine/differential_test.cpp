// The fast engine against the literal transcription in tests/reference, on
// many random inputs drawn from a small alphabet that reaches every branch of
// the readers: prefix letters, digits, hyphens, points, commas, signs, blanks
// and the exponent letter; lists with duplicates, runs and 16-bit edges.
#include <gtest/gtest.h>

#include <random>

#include "checks.hpp"
#include "reference.hpp"
#include "test_support.hpp"
#include "ztxgrp/element_text.hpp"
#include "ztxgrp/engine/cls_group.hpp"

namespace ztxgrp {
namespace {

using testing::Capture;
using testing::ErrorOf;
using testing::Outcome;

class Generator {
 public:
  explicit Generator(unsigned seed) : random_(seed) {}

  int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }

  std::u16string Text(int maxLength = 7) {
    static constexpr char16_t kAlphabet[] = u"RCAEe0123456789--..,,++  \t";
    std::u16string text;
    const int length = Below(maxLength + 1);
    for (int k = 0; k < length; ++k) text.push_back(kAlphabet[Below(sizeof kAlphabet / 2 - 1)]);
    return text;
  }

  std::u16string Designator() {
    static const char16_t* kPrefixes[] = {u"R", u"C", u"TP", u"r", u"R0", u""};
    static const int kEdges[] = {32767, 32766, -32768, -1, 0, 32768, -2};
    std::u16string text = kPrefixes[Below(6)];
    const int shape = Below(10);
    if (shape == 0) return text + std::u16string(u"0") + static_cast<char16_t>(u'0' + Below(10));
    const int number = shape == 1 ? kEdges[Below(7)] : Below(12);
    for (char c : std::to_string(number)) text.push_back(static_cast<char16_t>(c));
    return text;
  }

  std::u16string Element() {
    const int shape = Below(10);
    if (shape < 5) return Designator();
    if (shape < 7) return Designator() + u"-" + Designator();
    return Text();
  }

  // An element as hosts pass them that is not a text: integers (-1 and the
  // 16-bit edges among them), reals, Booleans.
  Value NonText() {
    static const std::int64_t kIntegers[] = {-1, 0, 1, 2, 3, 32767, 32768, -32768, -32769, -2};
    static const double kReals[] = {1.5, 2.5, 0.1 + 0.2, -1.0, 1e15, 1e-5, 100000.0, 12.0};
    switch (Below(4)) {
      case 0:
        return Value(kIntegers[Below(10)]);
      case 1:
        return Value(std::int64_t{Below(20)});
      case 2:
        return Value(kReals[Below(8)]);
      default:
        return Value(Below(2) == 0);
    }
  }

  Value List() {
    ItemList list;
    list.lowerBound = Below(5) - 2;
    const int count = Below(10);
    for (int k = 0; k < count; ++k) {
      const int kind = Below(40);
      if (kind < 4)
        list.elements.push_back(NonText());
      else if (kind == 4)
        list.elements.emplace_back();
      else
        list.elements.emplace_back(Element());
    }
    return list;
  }

 private:
  std::mt19937 random_;
};

std::string Show(const Value& value) {
  if (value.isText()) return testing::A(value.text());
  if (!value.isList()) return "<value>";
  std::string out = "[lb " + std::to_string(value.list().lowerBound) + "]";
  for (const Value& element : value.list().elements)
    out += " '" + (element.isText() ? testing::A(element.text()) : std::string("<non-text>")) + "'";
  return out;
}

// The texts go through the fuzz targets' own check: SplitItem, SplitRange
// (values, partial writes, errors), CheckRange and ExpandItem against the
// transcription.
TEST(DifferentialTest, ReadingTextsMatchesTheTailByTailScan) {
  Generator generator(20261207);
  for (int round = 0; round < 40000; ++round) {
    const std::u16string text = round % 3 == 0 ? generator.Element() : generator.Text();
    const std::string bytes(text.begin(), text.end());  // the alphabet is ASCII
    ASSERT_EQ(fuzz::CheckText(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()),
              "")
        << bytes;
  }
}

TEST(DifferentialTest, ListOperationsMatchTheExchangeSortAndTheWalk) {
  Generator generator(7);
  clsGroup group;
  for (int round = 0; round < 6000; ++round) {
    const Value list = generator.List();
    SCOPED_TRACE(Show(list));
    Value fastSorted = list, slowSorted = list;
    const int fastSortError = ErrorOf([&] { group.SortItems(fastSorted); });
    ASSERT_EQ(fastSortError, ErrorOf([&] { reference::SortItems(slowSorted); }));
    if (fastSortError == 0) {
      ASSERT_EQ(fastSorted, slowSorted);
    }

    const Outcome fastGroup = Capture([&] { return group.GroupItems(list); });
    const Outcome slowGroup = Capture([&] { return reference::GroupItems(list); });
    ASSERT_EQ(fastGroup, slowGroup) << Show(fastGroup.value) << " vs " << Show(slowGroup.value);

    // The transcription sorts by exchanges: keep its lists short.
    std::size_t items = 0;
    for (const Value& element : list.list().elements) {
      try {
        items += group.ExpandItem(ElementText(element)).list().elements.size();
      } catch (const RuntimeError&) {
      }
    }
    if (items > 400) continue;
    const Outcome fastUngroup = Capture([&] { return group.UngroupItems(list); });
    const Outcome slowUngroup = Capture([&] { return reference::UngroupItems(list); });
    ASSERT_EQ(fastUngroup, slowUngroup)
        << Show(fastUngroup.value) << " vs " << Show(slowUngroup.value);
  }
}

// Lists whose numbers are spread thinly (a sample of a large board, a few
// items per thousand numbers), sometimes with an item twice: grouped by
// marking numbers in a bitmap, or by the radix sort when an item repeats.
TEST(DifferentialTest, SparseListsGroupAsTheExchangeSortGroups) {
  std::mt19937 random(5);
  clsGroup group;
  for (int round = 0; round < 40; ++round) {
    ItemList list;
    const std::size_t count = 20 + random() % 200;
    const int spread = 200 + static_cast<int>(random() % 3000);
    for (std::size_t k = 0; k < count; ++k) {
      std::u16string text = k % 3 == 0 ? u"C" : (k % 3 == 1 ? u"R" : u"TP");
      for (char c : std::to_string(random() % static_cast<unsigned>(spread)))
        text.push_back(static_cast<char16_t>(c));
      list.elements.emplace_back(std::move(text));
    }
    if (round % 4 == 0) list.elements.push_back(list.elements[random() % count]);
    const Value value(std::move(list));
    SCOPED_TRACE(Show(value));
    const Outcome fast = Capture([&] { return group.GroupItems(value); });
    ASSERT_EQ(fast, Capture([&] { return reference::GroupItems(value); }));
  }
}

// Long lists of prefixes that share long beginnings, hold NUL and the
// highest code unit, and are prefixes of each other: the order of prefixes
// is decided four units at a time and by a radix sort above a few dozen.
TEST(DifferentialTest, SortingManyCloselyRelatedPrefixesMatchesTheExchangeSort) {
  std::mt19937 random(11);
  const char16_t units[] = {u'\0', u'A', u'B', u'\xFFFF'};
  clsGroup group;
  for (int round = 0; round < 12; ++round) {
    ItemList list;
    const std::size_t shared = random() % 9;
    for (int k = 0; k < 300; ++k) {
      std::u16string text(shared, u'P');
      for (std::size_t n = random() % 7; n > 0; --n) text.push_back(units[random() % 4]);
      text.push_back(static_cast<char16_t>(u'0' + random() % 3));
      list.elements.emplace_back(std::move(text));
    }
    Value fast = Value(list), slow = Value(std::move(list));
    group.SortItems(fast);
    reference::SortItems(slow);
    ASSERT_EQ(fast, slow) << "round " << round;
  }
}

}  // namespace
}  // namespace ztxgrp
