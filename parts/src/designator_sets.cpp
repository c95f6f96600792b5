// Designator lists as sets, each operand read as a parts-list cell is.
#include "ztxgrp/designator_sets.hpp"

#include <algorithm>
#include <bit>
#include <iterator>
#include <string>
#include <unordered_map>
#include <utility>

#include "designator_cell.hpp"
#include "duplicates.hpp"
#include "ordered.hpp"
#include "ztxgrp/entry_text.hpp"
#include "ztxgrp/limits.hpp"
#include "ztxgrp/list_texts.hpp"
#include "ztxgrp/located_errors.hpp"
#include "ztxgrp/memory_errors.hpp"
#include "ztxgrp/parts_list.hpp"
#include "ztxgrp/quoted.hpp"
#include "ztxgrp/utf.hpp"

namespace ztxgrp {
namespace {

using parts_detail::Designator;

// Reads operand `number` with `read`, its errors naming it.
template <typename Read>
void ReadOperand(std::string_view text, std::size_t number, Read&& read) {
  try {
    CheckUtf8(text);
    read();
  } catch (const RowError&) {
    throw;
  } catch (const RuntimeError& error) {
    throw RowError(error, number, "operand");
  } catch (const PartsError& error) {
    throw PartsError(error.what(), number, "operand");
  }
}

// An operand's designators in the order written.
std::vector<Designator> Operand(std::string_view text, std::size_t number) {
  std::vector<Designator> designators;
  parts_detail::DesignatorCellReader reader;
  ReadOperand(text, number, [&] { reader.Read(text, {}, number, designators); });
  return designators;
}

// InEngineOrder by integer keys: a list of a million designators sorts by
// its few prefixes' ranks and its numbers, not by comparing texts.
void SortInEngineOrder(std::vector<const Designator*>& designators) {
  std::unordered_map<std::string_view, std::uint64_t> ranks;
  // Designators of one prefix mostly follow each other: the last one's
  // prefix is looked up once.
  std::string_view last;
  for (const Designator* designator : designators)
    if (designator->prefix() != last || ranks.empty())
      ranks.try_emplace(last = designator->prefix(), 0);
  std::vector<std::string_view> prefixes;
  for (const auto& [prefix, rank] : ranks) prefixes.push_back(prefix);
  std::sort(prefixes.begin(), prefixes.end(), Utf16OrderLess);
  for (std::size_t k = 0; k < prefixes.size(); ++k) ranks[prefixes[k]] = k;
  // Rank, number, written back as written first, then reading order: 24,
  // 16, 1 and 23 bits (a list holds fewer than 2^23 designators, and fewer
  // than 2^24 prefixes).
  std::vector<std::uint64_t> keys(designators.size());
  std::uint64_t lastRank = 0;
  last = {};
  for (std::size_t k = 0; k < designators.size(); ++k) {
    const Designator& designator = *designators[k];
    if (k == 0 || designator.prefix() != last) lastRank = ranks.at(last = designator.prefix());
    keys[k] = lastRank << 40 |
              static_cast<std::uint64_t>(static_cast<std::uint16_t>(designator.number + 1)) << 24 |
              std::uint64_t{designator.foldable ? 0u : 1u} << 23 | k;
  }
  std::sort(keys.begin(), keys.end());
  std::vector<const Designator*> sorted(designators.size());
  for (std::size_t k = 0; k < keys.size(); ++k) sorted[k] = designators[keys[k] & 0x7FFFFF];
  designators = std::move(sorted);
}

// The designators as group's entries: in the engine's order, a prefix's
// designators grouped by the engine together (a call holds at most
// kMaxItems), the designators it would rewrite placed among them.
std::vector<std::string> Entries(std::vector<const Designator*> designators, int minRun) {
  CheckMinRun(minRun);
  SortInEngineOrder(designators);
  std::vector<std::string> entries;
  parts_detail::Ordered ordered;
  std::size_t start = 0;
  while (start < designators.size()) {
    // Whole prefixes, as many as one call takes.
    std::size_t end = start;
    while (end < designators.size()) {
      std::size_t next = end + 1;
      while (next < designators.size() && designators[next]->prefix() == designators[end]->prefix())
        ++next;
      if (end > start && next - start > static_cast<std::size_t>(kMaxItems)) break;
      end = next;
    }
    const std::span<const Designator* const> piece(designators.data() + start, end - start);
    for (const auto& entry : ordered.Take(piece, true, minRun)) entries.push_back(entry.text);
    start = end;
  }
  return entries;
}

// The designators of every operand one after another, with the operand of
// each. Texts that occur more than once are found by ForEachRepeated:
// linear, with no table of every text.
struct Joined {
  std::vector<Designator> all;
  std::vector<std::uint32_t> operandOf;
};
Joined JoinOperands(std::span<const std::string_view> operands) {
  Joined joined;
  for (std::size_t k = 0; k < operands.size(); ++k) {
    std::vector<Designator> designators = Operand(operands[k], k + 1);
    joined.operandOf.insert(joined.operandOf.end(), designators.size(),
                            static_cast<std::uint32_t>(k));
    joined.all.insert(joined.all.end(), std::make_move_iterator(designators.begin()),
                      std::make_move_iterator(designators.end()));
  }
  return joined;
}

// A designator the engine reads and writes back as `prefix` and `number`.
Designator Numbered(std::string_view prefix, std::int16_t number) {
  Designator designator;
  AppendEntryText(designator.text, prefix, number, number);
  designator.prefixLength = prefix.size();
  designator.number = number;
  designator.foldable = true;
  return designator;
}

// The numbers each prefix uses, of the designators the engine writes back
// as written.
std::unordered_map<std::string_view, std::vector<std::int16_t>> NumbersByPrefix(
    const std::vector<Designator>& designators) {
  std::unordered_map<std::string_view, std::vector<std::int16_t>> numbers;
  for (const Designator& designator : designators)
    if (designator.foldable && designator.number >= 0)
      numbers[designator.prefix()].push_back(designator.number);
  for (auto& [prefix, used] : numbers) {
    std::sort(used.begin(), used.end());
    used.erase(std::unique(used.begin(), used.end()), used.end());
  }
  return numbers;
}

// One operand as a set: for each prefix, a bitmap of the numbers of its
// designators that the engine writes back as written (a range's items are
// never written as texts); the others by their text, once each.
constexpr std::size_t kNumberWords = (static_cast<std::size_t>(kLargestNumber) + 1) / 64;
struct NumberSet {
  std::unordered_map<std::string, std::vector<std::uint64_t>> numbers;
  std::vector<Designator> others;
};

class NumberSetReader final : public parts_detail::DesignatorVisitor {
 public:
  explicit NumberSetReader(NumberSet& set) : set_(set) {}
  void Single(Designator&& designator) override {
    if (designator.foldable && designator.number >= 0) {
      Item(designator.prefix(), designator.number);
    } else {
      set_.others.push_back(std::move(designator));
    }
  }
  void Item(std::string_view prefix, std::int16_t number) override {
    if (!bits_ || prefix != last_) {
      auto [found, added] = set_.numbers.try_emplace(std::string(prefix));
      if (added) found->second.assign(kNumberWords, 0);
      bits_ = &found->second;
      last_ = found->first;
    }
    (*bits_)[static_cast<std::size_t>(number) / 64] |= std::uint64_t{1} << (number % 64);
  }

 private:
  NumberSet& set_;
  std::vector<std::uint64_t>* bits_ = nullptr;
  std::string_view last_;
};

NumberSet NumberSetOf(std::string_view text, std::size_t number) {
  NumberSet set;
  NumberSetReader reader(set);
  parts_detail::DesignatorCellReader cells;
  std::size_t count = 0;
  ReadOperand(text, number, [&] { cells.Visit(text, {}, number, reader, count); });
  return set;
}

}  // namespace

std::vector<std::string> combine_designators(SetOperation operation,
                                             std::span<const std::string_view> operands,
                                             int min_run) {
  return WithMemoryErrorsNumbered([&] {
    CheckMinRun(min_run);
    std::vector<NumberSet> sets;
    for (std::size_t k = 0; k < operands.size(); ++k)
      sets.push_back(NumberSetOf(operands[k], k + 1));
    // Whether to keep a member of `count` operands, the first among them
    // or not.
    const auto keep = [&](std::size_t count, bool inFirst) {
      switch (operation) {
        case SetOperation::Union:
          return count > 0;
        case SetOperation::Intersect:
          return count == operands.size() && count > 0;
        case SetOperation::Subtract:
          return inFirst && count == 1;
        case SetOperation::Xor:
          break;
      }
      return count % 2 == 1;
    };
    // Numbered designators: each prefix's bitmaps combined word by word
    // (a count per bit is kept only where the operation needs it).
    std::vector<Designator> kept;
    // Each prefix's bitmap in each operand (none where it has no number).
    std::unordered_map<std::string_view, std::vector<const std::vector<std::uint64_t>*>> prefixes;
    for (std::size_t k = 0; k < sets.size(); ++k)
      for (const auto& [prefix, bits] : sets[k].numbers) {
        auto& slots = prefixes[prefix];
        slots.resize(sets.size(), nullptr);
        slots[k] = &bits;
      }
    for (const auto& [prefix, slots] : prefixes) {
      for (std::size_t word = 0; word < kNumberWords; ++word) {
        std::uint64_t any = 0, all = ~std::uint64_t{0}, odd = 0, first = 0, others = 0;
        for (std::size_t k = 0; k < slots.size(); ++k) {
          const std::uint64_t bits = slots[k] ? (*slots[k])[word] : 0;
          any |= bits;
          all &= bits;
          odd ^= bits;
          (k == 0 ? first : others) |= bits;
        }
        const std::uint64_t chosen = operation == SetOperation::Union       ? any
                                     : operation == SetOperation::Intersect ? all
                                     : operation == SetOperation::Subtract  ? first & ~others
                                                                            : odd;
        for (std::uint64_t rest = chosen; rest != 0; rest &= rest - 1)
          kept.push_back(
              Numbered(prefix, static_cast<std::int16_t>(word * 64 + std::countr_zero(rest))));
      }
    }
    // The others by their text, as many times as operands hold them.
    struct Membership {
      std::size_t count = 0, last = 0;
      const Designator* first = nullptr;
      bool inFirst = false;
    };
    std::unordered_map<std::string_view, Membership> members;
    for (std::size_t k = 0; k < sets.size(); ++k)
      for (const Designator& designator : sets[k].others) {
        Membership& member = members[designator.text];
        if (!member.first) member.first = &designator;
        if (member.count == 0 || member.last != k) {
          ++member.count;
          member.last = k;
          member.inFirst = member.inFirst || k == 0;
        }
      }
    std::vector<const Designator*> chosen;
    chosen.reserve(kept.size() + members.size());
    for (const Designator& designator : kept) chosen.push_back(&designator);
    for (const auto& [text, member] : members)
      if (keep(member.count, member.inFirst)) chosen.push_back(member.first);
    return Entries(std::move(chosen), min_run);
  });
}

std::vector<DesignatorCount> count_designators(std::span<const std::string_view> operands) {
  return WithMemoryErrorsNumbered([&] {
    std::vector<DesignatorCount> counts;
    for (std::size_t k = 0; k < operands.size(); ++k) {
      const std::vector<Designator> designators = Operand(operands[k], k + 1);
      DesignatorCount count;
      count.designators = designators.size();
      parts_detail::ForEachRepeated(designators, [&](std::span<const std::size_t> indices) {
        count.designators -= indices.size() - 1;
        ++count.repeated;
      });
      counts.push_back(count);
    }
    return counts;
  });
}

std::vector<bool> contains_designators(std::string_view list,
                                       std::span<const std::string_view> items) {
  return WithMemoryErrorsNumbered([&] {
    std::vector<std::string_view> operands = {list};
    operands.insert(operands.end(), items.begin(), items.end());
    const Joined joined = JoinOperands(operands);
    // An item's designator is in the list when its text is also the list's.
    std::vector<bool> member(joined.all.size(), false);
    parts_detail::ForEachRepeated(joined.all, [&](std::span<const std::size_t> indices) {
      if (joined.operandOf[indices.front()] == 0)
        for (const std::size_t k : indices) member[k] = true;
    });
    std::vector<bool> answers(items.size(), true);
    std::vector<bool> any(items.size(), false);
    for (std::size_t k = 0; k < joined.all.size(); ++k) {
      const std::uint32_t operand = joined.operandOf[k];
      if (operand == 0) continue;
      any[operand - 1] = true;
      answers[operand - 1] = answers[operand - 1] && member[k];
    }
    for (std::size_t k = 0; k < items.size(); ++k) answers[k] = answers[k] && any[k];
    return answers;
  });
}

std::vector<std::string> designator_gaps(std::string_view list, int min_run) {
  return WithMemoryErrorsNumbered([&] {
    CheckMinRun(min_run);
    const std::vector<Designator> designators = Operand(list, 1);
    std::vector<Designator> missing;
    for (const auto& [prefix, used] : NumbersByPrefix(designators))
      for (std::size_t k = 1; k < used.size(); ++k)
        for (std::int32_t number = used[k - 1] + 1; number < used[k]; ++number)
          missing.push_back(Numbered(prefix, static_cast<std::int16_t>(number)));
    std::vector<const Designator*> pointers;
    for (const Designator& designator : missing) pointers.push_back(&designator);
    return Entries(std::move(pointers), min_run);
  });
}

FreeDesignators free_designators(std::string_view list, std::string_view prefix, std::size_t count,
                                 int min_run) {
  return WithMemoryErrorsNumbered([&] {
    CheckMinRun(min_run);
    CheckUtf8(prefix);
    // The prefix must read back as itself before a number.
    const Designator probe = Numbered(prefix, 1);
    bool reads = false;
    try {
      const Utf8ItemSplit split = ReadItemSplit(probe.text);
      reads = split.strPrefix == prefix && split.intNumber == 1;
    } catch (const RuntimeError&) {
    }
    if (!reads)
      throw PartsError(Quoted(prefix) + " is no designator prefix: " + Quoted(probe.text) +
                       " does not read as it and a number");
    const std::vector<Designator> designators = Operand(list, 1);
    const auto numbers = NumbersByPrefix(designators);
    const auto found = numbers.find(prefix);
    const std::vector<std::int16_t> none;
    const std::vector<std::int16_t>& used = found == numbers.end() ? none : found->second;
    std::vector<Designator> free;
    std::size_t at = 0;
    for (std::int32_t number = 1; number <= kLargestNumber && free.size() < count; ++number) {
      while (at < used.size() && used[at] < number) ++at;
      if (at < used.size() && used[at] == number) continue;
      free.push_back(Numbered(prefix, static_cast<std::int16_t>(number)));
    }
    std::vector<const Designator*> pointers;
    for (const Designator& designator : free) pointers.push_back(&designator);
    FreeDesignators result;
    result.found = free.size();
    result.entries = Entries(std::move(pointers), min_run);
    return result;
  });
}

}  // namespace ztxgrp
