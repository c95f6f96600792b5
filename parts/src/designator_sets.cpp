// Designator lists as sets, each operand read as a parts-list cell is.
//
// Each operand is read into per-prefix sets of numbers (of the designators
// the engine writes back as written; a range's items are never written as
// texts) and the designators kept whole, by their text. Results are written
// from the numbers in ascending order, runs folded into ranges as the
// engine groups them, without building a text per designator.
#include "ztxgrp/designator_sets.hpp"

#include <algorithm>
#include <bit>
#include <string>
#include <unordered_map>
#include <utility>

#include "designator_cell.hpp"
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

constexpr std::size_t kNumberWords = (static_cast<std::size_t>(kLargestNumber) + 1) / 64;
// A prefix's numbers are a list until the list would take the memory of
// the bitmap: memory stays within two bytes a designator, however many
// prefixes a list has.
constexpr std::size_t kMostListed = kNumberWords * sizeof(std::uint64_t) / sizeof(std::int16_t);

// The numbers (0 to kLargestNumber) one prefix uses in one operand, and
// how many of them were given more than once.
class PrefixNumbers {
 public:
  void Add(std::int16_t number) {
    if (bits_.empty()) {
      list_.push_back(number);
      if (list_.size() > kMostListed) Densify();
      return;
    }
    Set(number);
  }
  // After the last Add: the list sorted, each number once.
  void Finish() {
    if (dense()) return;
    std::sort(list_.begin(), list_.end());
    std::size_t kept = 0;
    for (std::size_t k = 0; k < list_.size();) {
      std::size_t next = k + 1;
      while (next < list_.size() && list_[next] == list_[k]) ++next;
      if (next - k > 1) ++repeated_;
      list_[kept++] = list_[k];
      k = next;
    }
    list_.resize(kept);
  }

  bool dense() const noexcept { return !bits_.empty(); }
  const std::vector<std::uint64_t>& bits() const noexcept { return bits_; }
  const std::vector<std::int16_t>& list() const noexcept { return list_; }
  std::size_t size() const noexcept {
    if (!dense()) return list_.size();
    std::size_t size = 0;
    for (const std::uint64_t word : bits_) size += static_cast<std::size_t>(std::popcount(word));
    return size;
  }
  std::size_t repeated() const noexcept {
    std::size_t repeated = repeated_;
    for (const std::uint64_t word : twice_)
      repeated += static_cast<std::size_t>(std::popcount(word));
    return repeated;
  }
  bool Has(std::int16_t number) const noexcept {
    if (dense()) return (bits_[static_cast<std::size_t>(number) / 64] >> (number % 64) & 1u) != 0;
    return std::binary_search(list_.begin(), list_.end(), number);
  }
  // `visit` for each number, ascending.
  template <typename Visit>
  void ForEach(Visit&& visit) const {
    if (!dense()) {
      for (const std::int16_t number : list_) visit(number);
      return;
    }
    for (std::size_t word = 0; word < kNumberWords; ++word)
      for (std::uint64_t rest = bits_[word]; rest != 0; rest &= rest - 1)
        visit(static_cast<std::int16_t>(word * 64 +
                                        static_cast<std::size_t>(std::countr_zero(rest))));
  }

 private:
  void Set(std::int16_t number) {
    const std::size_t word = static_cast<std::size_t>(number) / 64;
    const std::uint64_t mask = std::uint64_t{1} << (number % 64);
    if ((bits_[word] & mask) != 0) {
      if (twice_.empty()) twice_.assign(kNumberWords, 0);
      twice_[word] |= mask;
    }
    bits_[word] |= mask;
  }
  void Densify() {
    bits_.assign(kNumberWords, 0);
    for (const std::int16_t number : list_) Set(number);
    std::vector<std::int16_t>().swap(list_);
  }

  std::vector<std::int16_t> list_;
  std::vector<std::uint64_t> bits_, twice_;
  std::size_t repeated_ = 0;
};

// One operand as a set: each prefix's numbers, and the designators kept
// whole (R001, U1.1) in reading order, as often as written.
struct NumberSet {
  std::unordered_map<std::string, PrefixNumbers> numbers;
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
    if (!numbers_ || prefix != last_) {
      auto found = set_.numbers.try_emplace(std::string(prefix)).first;
      numbers_ = &found->second;
      last_ = found->first;
    }
    numbers_->Add(number);
  }

 private:
  NumberSet& set_;
  PrefixNumbers* numbers_ = nullptr;
  std::string_view last_;
};

NumberSet NumberSetOf(std::string_view text, std::size_t number) {
  NumberSet set;
  NumberSetReader reader(set);
  parts_detail::DesignatorCellReader cells;
  std::size_t count = 0;
  ReadOperand(text, number, [&] { cells.Visit(text, {}, number, reader, count); });
  for (auto& [prefix, numbers] : set.numbers) numbers.Finish();
  return set;
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

// Group's entries, prefix by prefix in the engine's order: each prefix's
// numbers (given ascending) with runs of at least `minRun` folded into
// ranges, the designators kept whole of that prefix placed after the
// entries whose first number is not above theirs (where grouping places
// them).
class EntryWriter {
 public:
  EntryWriter(int minRun, std::vector<std::string>& out) : minRun_(minRun), out_(out) {
    CheckMinRun(minRun);
  }

  // `whole`: the prefix's designators kept whole, in reading order.
  void Begin(std::string_view prefix, std::vector<const Designator*> whole) {
    prefix_ = prefix;
    whole_ = std::move(whole);
    std::stable_sort(whole_.begin(), whole_.end(), [](const Designator* a, const Designator* b) {
      return a->number < b->number;
    });
    at_ = 0;
    running_ = false;
    count_ = 0;
  }
  void Add(std::int16_t number) {
    // One prefix takes as many items as one engine call: past it the
    // engine's own error.
    if (++count_ > static_cast<std::size_t>(kMaxItems)) Overflow();
    if (running_ && number == last_ + 1) {
      last_ = number;
      return;
    }
    Run();
    running_ = true;
    first_ = last_ = number;
  }
  void End() {
    Run();
    for (; at_ < whole_.size(); ++at_) out_.push_back(whole_[at_]->text);
  }

 private:
  void Run() {
    if (!running_) return;
    running_ = false;
    if (last_ - first_ + 1 >= minRun_) {
      Put(first_, last_);
      return;
    }
    for (std::int32_t number = first_; number <= last_; ++number)
      Put(static_cast<std::int16_t>(number), static_cast<std::int16_t>(number));
  }
  void Put(std::int16_t first, std::int16_t last) {
    for (; at_ < whole_.size() && whole_[at_]->number < first; ++at_)
      out_.push_back(whole_[at_]->text);
    std::string text;
    AppendEntryText(text, prefix_, first, last);
    out_.push_back(std::move(text));
  }
  // Grouping more items of one prefix than one call takes, through the
  // engine, for its error.
  [[noreturn]] void Overflow() {
    std::vector<Designator> all;
    for (std::int32_t number = 0; number <= kLargestNumber; ++number)
      all.push_back(Numbered(prefix_, static_cast<std::int16_t>(number)));
    std::vector<const Designator*> pointers;
    for (const Designator& designator : all) pointers.push_back(&designator);
    parts_detail::Ordered ordered;
    ordered.Take(pointers, true, minRun_);
    throw RuntimeError(ErrorNumber::Overflow, std::nullopt);
  }

  int minRun_;
  std::vector<std::string>& out_;
  std::string_view prefix_;
  std::vector<const Designator*> whole_;
  std::size_t at_ = 0, count_ = 0;
  bool running_ = false;
  std::int16_t first_ = 0, last_ = 0;
};

// The prefixes of `numbers` and of `whole` in the engine's order, each
// with its designators kept whole.
struct PrefixPlan {
  std::vector<std::string_view> prefixes;
  std::unordered_map<std::string_view, std::vector<const Designator*>> whole;
};
template <typename Numbers>
PrefixPlan PlanPrefixes(const Numbers& numbers, std::span<const Designator* const> whole) {
  PrefixPlan plan;
  for (const auto& entry : numbers) plan.prefixes.push_back(entry.first);
  for (const Designator* designator : whole) {
    auto& of = plan.whole[designator->prefix()];
    if (of.empty()) plan.prefixes.push_back(designator->prefix());
    of.push_back(designator);
  }
  std::sort(plan.prefixes.begin(), plan.prefixes.end(), Utf16OrderLess);
  plan.prefixes.erase(std::unique(plan.prefixes.begin(), plan.prefixes.end()), plan.prefixes.end());
  return plan;
}

std::vector<const Designator*> WholeOf(PrefixPlan& plan, std::string_view prefix) {
  const auto found = plan.whole.find(prefix);
  return found == plan.whole.end() ? std::vector<const Designator*>() : std::move(found->second);
}

// Whether a member of `count` operands, the first among them or not, is in
// the operation's result.
bool Keeps(SetOperation operation, std::size_t count, bool inFirst, std::size_t operands) {
  switch (operation) {
    case SetOperation::Union:
      return count > 0;
    case SetOperation::Intersect:
      return count == operands && count > 0;
    case SetOperation::Subtract:
      return inFirst && count == 1;
    case SetOperation::Xor:
      break;
  }
  return count % 2 == 1;
}

// One prefix's numbers in the operands that use it (`slots`, in operand
// order), combined, given ascending to `add`. Where every slot is a bitmap
// (each of at least kMostListed numbers) the bitmaps are combined word by
// word; otherwise the numbers are counted in order of number.
template <typename Add>
void CombinePrefix(SetOperation operation, std::size_t operands,
                   std::span<const std::pair<std::size_t, const PrefixNumbers*>> slots, Add&& add) {
  const bool dense = std::all_of(slots.begin(), slots.end(),
                                 [](const auto& slot) { return slot.second->dense(); });
  if (dense) {
    const bool all = slots.size() == operands;
    for (std::size_t word = 0; word < kNumberWords; ++word) {
      std::uint64_t any = 0, every = all ? ~std::uint64_t{0} : 0, odd = 0, first = 0, others = 0;
      for (const auto& [operand, numbers] : slots) {
        const std::uint64_t bits = numbers->bits()[word];
        any |= bits;
        every &= bits;
        odd ^= bits;
        (operand == 0 ? first : others) |= bits;
      }
      const std::uint64_t chosen = operation == SetOperation::Union       ? any
                                   : operation == SetOperation::Intersect ? every
                                   : operation == SetOperation::Subtract  ? first & ~others
                                                                          : odd;
      for (std::uint64_t rest = chosen; rest != 0; rest &= rest - 1)
        add(static_cast<std::int16_t>(word * 64 +
                                      static_cast<std::size_t>(std::countr_zero(rest))));
    }
    return;
  }
  // Each number with the operand it is in: operands in order, so that the
  // sort keeps a number's first operand first.
  std::vector<std::uint64_t> keyed;
  for (const auto& [operand, numbers] : slots)
    numbers->ForEach([&, operand = operand](std::int16_t number) {
      keyed.push_back(static_cast<std::uint64_t>(number) << 32 | operand);
    });
  std::sort(keyed.begin(), keyed.end());
  for (std::size_t k = 0; k < keyed.size();) {
    std::size_t next = k + 1;
    while (next < keyed.size() && keyed[next] >> 32 == keyed[k] >> 32) ++next;
    if (Keeps(operation, next - k, (keyed[k] & 0xFFFFFFFFu) == 0, operands))
      add(static_cast<std::int16_t>(keyed[k] >> 32));
    k = next;
  }
}

// The prefix's numbers of `set`, or none.
const PrefixNumbers& NumbersOf(const NumberSet& set, std::string_view prefix) {
  static const PrefixNumbers none;
  const auto found = set.numbers.find(std::string(prefix));
  return found == set.numbers.end() ? none : found->second;
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
    // Each prefix's numbers in the operands that use it.
    std::unordered_map<std::string_view, std::vector<std::pair<std::size_t, const PrefixNumbers*>>>
        prefixes;
    for (std::size_t k = 0; k < sets.size(); ++k)
      for (const auto& [prefix, numbers] : sets[k].numbers)
        prefixes[prefix].emplace_back(k, &numbers);
    // The designators kept whole by their text, as many operands as hold
    // them, in order of first reading.
    struct Membership {
      std::size_t count = 0, last = 0;
      bool inFirst = false;
    };
    std::unordered_map<std::string_view, Membership> members;
    std::vector<const Designator*> firsts;
    for (std::size_t k = 0; k < sets.size(); ++k)
      for (const Designator& designator : sets[k].others) {
        auto [found, added] = members.try_emplace(designator.text);
        Membership& member = found->second;
        if (added) firsts.push_back(&designator);
        if (member.count == 0 || member.last != k) {
          ++member.count;
          member.last = k;
          member.inFirst = member.inFirst || k == 0;
        }
      }
    std::vector<const Designator*> whole;
    for (const Designator* designator : firsts) {
      const Membership& member = members.at(designator->text);
      if (Keeps(operation, member.count, member.inFirst, operands.size()))
        whole.push_back(designator);
    }
    PrefixPlan plan = PlanPrefixes(prefixes, whole);
    std::vector<std::string> entries;
    EntryWriter writer(min_run, entries);
    for (const std::string_view prefix : plan.prefixes) {
      writer.Begin(prefix, WholeOf(plan, prefix));
      const auto found = prefixes.find(prefix);
      if (found != prefixes.end())
        CombinePrefix(operation, operands.size(), found->second,
                      [&](std::int16_t number) { writer.Add(number); });
      writer.End();
    }
    return entries;
  });
}

std::vector<DesignatorCount> count_designators(std::span<const std::string_view> operands) {
  return WithMemoryErrorsNumbered([&] {
    std::vector<DesignatorCount> counts;
    for (std::size_t k = 0; k < operands.size(); ++k) {
      const NumberSet set = NumberSetOf(operands[k], k + 1);
      DesignatorCount count;
      for (const auto& [prefix, numbers] : set.numbers) {
        count.designators += numbers.size();
        count.repeated += numbers.repeated();
      }
      std::unordered_map<std::string_view, std::size_t> written;
      for (const Designator& designator : set.others)
        if (++written[designator.text] == 2) ++count.repeated;
      count.designators += written.size();
      counts.push_back(count);
    }
    return counts;
  });
}

namespace {

// Whether every designator an item gives is in the list (and it gives one).
class MemberCheck final : public parts_detail::DesignatorVisitor {
 public:
  MemberCheck(const NumberSet& list, const std::unordered_map<std::string_view, bool>& whole)
      : list_(list), whole_(whole) {}
  void Single(Designator&& designator) override {
    if (designator.foldable && designator.number >= 0) {
      Item(designator.prefix(), designator.number);
      return;
    }
    any_ = true;
    all_ = all_ && whole_.count(designator.text) != 0;
  }
  void Item(std::string_view prefix, std::int16_t number) override {
    any_ = true;
    if (!numbers_ || prefix != last_) {
      numbers_ = &NumbersOf(list_, prefix);
      last_.assign(prefix);
    }
    all_ = all_ && numbers_->Has(number);
  }
  bool Answer() const noexcept { return any_ && all_; }

 private:
  const NumberSet& list_;
  const std::unordered_map<std::string_view, bool>& whole_;
  const PrefixNumbers* numbers_ = nullptr;
  std::string last_;
  bool any_ = false, all_ = true;
};

}  // namespace

std::vector<bool> contains_designators(std::string_view list,
                                       std::span<const std::string_view> items) {
  return WithMemoryErrorsNumbered([&] {
    const NumberSet set = NumberSetOf(list, 1);
    std::unordered_map<std::string_view, bool> whole;
    for (const Designator& designator : set.others) whole.try_emplace(designator.text, true);
    std::vector<bool> answers;
    parts_detail::DesignatorCellReader cells;
    for (std::size_t k = 0; k < items.size(); ++k) {
      MemberCheck check(set, whole);
      std::size_t count = 0;
      ReadOperand(items[k], k + 2, [&] { cells.Visit(items[k], {}, k + 2, check, count); });
      answers.push_back(check.Answer());
    }
    return answers;
  });
}

std::vector<std::string> designator_gaps(std::string_view list, int min_run) {
  return WithMemoryErrorsNumbered([&] {
    CheckMinRun(min_run);
    const NumberSet set = NumberSetOf(list, 1);
    const PrefixPlan plan = PlanPrefixes(set.numbers, {});
    std::vector<std::string> entries;
    EntryWriter writer(min_run, entries);
    for (const std::string_view prefix : plan.prefixes) {
      writer.Begin(prefix, {});
      std::int32_t previous = -1;
      NumbersOf(set, prefix).ForEach([&](std::int16_t number) {
        if (previous >= 0)
          for (std::int32_t missing = previous + 1; missing < number; ++missing)
            writer.Add(static_cast<std::int16_t>(missing));
        previous = number;
      });
      writer.End();
    }
    return entries;
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
    const NumberSet set = NumberSetOf(list, 1);
    const PrefixNumbers& used = NumbersOf(set, prefix);
    FreeDesignators result;
    EntryWriter writer(min_run, result.entries);
    writer.Begin(prefix, {});
    for (std::int32_t number = 1; number <= kLargestNumber && result.found < count; ++number)
      if (!used.Has(static_cast<std::int16_t>(number))) {
        writer.Add(static_cast<std::int16_t>(number));
        ++result.found;
      }
    writer.End();
    return result;
  });
}

std::string free_shortfall(std::string_view prefix, std::size_t found, std::size_t wanted) {
  if (found >= wanted) return {};
  return "only " + std::to_string(found) + " numbers of " + std::string(prefix) +
         " are free up to " + std::to_string(kLargestNumber) + ", not " + std::to_string(wanted);
}

}  // namespace ztxgrp
