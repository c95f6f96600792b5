#include "board_data.hpp"

#include <algorithm>
#include <random>
#include <unordered_set>

#include "ztxgrp/element_text.hpp"
#include "ztxgrp/entry_text.hpp"

namespace ztxgrp::bench {
namespace {

std::u16string Designator(std::u16string_view prefix, int number) {
  std::u16string text;
  AppendEntryText(text, prefix, number, number);
  return text;
}

// Numbers 1, 2, 3 ... per prefix with about 13% left out.
std::vector<std::u16string> Numbered(const std::vector<std::u16string>& prefixes,
                                     const std::vector<double>& weights, std::size_t count,
                                     std::uint32_t seed) {
  std::mt19937 random(seed);
  std::discrete_distribution<std::size_t> pick(weights.begin(), weights.end());
  std::bernoulli_distribution missing(0.13);
  std::vector<int> next(prefixes.size(), 1);
  std::vector<std::u16string> items;
  items.reserve(count);
  while (items.size() < count) {
    const std::size_t p = pick(random);
    const int number = next[p]++;
    if (next[p] > 32767) next[p] = 1;
    if (!missing(random)) items.push_back(Designator(prefixes[p], number));
  }
  std::shuffle(items.begin(), items.end(), random);
  return items;
}

}  // namespace

std::vector<std::u16string> BoardDesignators(std::size_t count, std::uint32_t seed) {
  const std::vector<std::u16string> prefixes = {u"R",  u"C",  u"U",   u"D",  u"Q",  u"TP", u"L",
                                                u"J",  u"FB", u"LED", u"SW", u"RN", u"Y",  u"F",
                                                u"CN", u"X",  u"K",   u"T",  u"H",  u"MH"};
  std::vector<double> weights = {36, 31};
  weights.resize(prefixes.size(), 33.0 / 18);
  return Numbered(prefixes, weights, count, seed);
}

std::vector<std::u16string> SparseSample(std::size_t count, std::uint32_t seed) {
  std::vector<std::u16string> board = BoardDesignators(32766, seed);  // shuffled
  board.resize(std::min(count, board.size()));
  return board;
}

std::vector<std::u16string> OnePrefix(std::size_t count, std::uint32_t seed) {
  return Numbered({u"R"}, {1.0}, count, seed);
}

std::vector<std::u16string> DistinctPrefixes(std::size_t count, std::uint32_t seed) {
  // Each item its own prefix of 3 to 8 random capital letters.
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> length(3, 8), letter(0, 25);
  std::unordered_set<std::u16string> seen;
  std::vector<std::u16string> items;
  items.reserve(count);
  while (items.size() < count) {
    std::u16string prefix(static_cast<std::size_t>(length(random)), u'A');
    for (char16_t& unit : prefix) unit = static_cast<char16_t>(u'A' + letter(random));
    if (seen.insert(prefix).second) items.push_back(Designator(prefix, 1));
  }
  return items;
}

std::vector<std::u16string> LongPrefixes(std::size_t count, std::uint32_t seed) {
  std::vector<std::u16string> prefixes;
  for (char16_t letter = u'A'; letter < u'A' + 40; ++letter)
    prefixes.push_back(std::u16string(99, u'P') + letter);
  return Numbered(prefixes, std::vector<double>(prefixes.size(), 1.0), count, seed);
}

std::vector<std::u16string> CollidingPrefixes(std::size_t count, std::uint32_t seed) {
  std::vector<std::u16string> items;
  items.reserve(count);
  for (std::size_t k = 0; k < count; ++k) {
    std::u16string prefix = u"PPPP";
    for (std::size_t rest = k, digit = 0; digit < 4; rest /= 26, ++digit)
      prefix.push_back(static_cast<char16_t>(u'A' + rest % 26));
    items.push_back(Designator(prefix + u"QQQQ", 1));
  }
  std::shuffle(items.begin(), items.end(), std::mt19937(seed));
  return items;
}

Value AsList(const std::vector<std::u16string>& texts) {
  return MakeTextList(texts);
}

}  // namespace ztxgrp::bench
