// Speed of the public class against two references measured in the same
// run: the floor (reading every element as text and splitting it once,
// which any correct implementation must do) and the literal transcription
// of the loops (exchange sort, tail-by-tail scan).
#include <benchmark/benchmark.h>

#include <algorithm>

#include "board_data.hpp"
#include "reference.hpp"
#include "ztxgrp/element_text.hpp"
#include "ztxgrp/entry_text.hpp"
#include "ztxgrp/icls_group.hpp"
#include "ztxgrp/list_texts.hpp"
#include "ztxgrp/ztxgrp.hpp"

namespace ztxgrp::bench {
namespace {

using Generator = std::vector<std::u16string> (*)(std::size_t, std::uint32_t);

// Reads every element of a list as text and splits it once.
void ReadOnce(const Value& list, benchmark::State& state) {
  std::u16string scratch;
  for (const Value& element : list.list().elements) {
    const auto reading = ReadItemSplit(ElementText(element, scratch));
    benchmark::DoNotOptimize(reading);
  }
  state.SetItemsProcessed(state.items_processed() + list.list().elements.size());
}

template <Generator Make>
void Floor(benchmark::State& state) {
  const Value list = AsList(Make(state.range(0), 42));
  for (auto _ : state) ReadOnce(list, state);
}

template <Generator Make>
void Group(benchmark::State& state) {
  const Value list = AsList(Make(state.range(0), 42));
  IclsGroup component;
  for (auto _ : state) benchmark::DoNotOptimize(component.Group(list));
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Reading the ungrouped items once: the floor for ungrouping.
template <Generator Make>
void FloorOfResults(benchmark::State& state) {
  IclsGroup component;
  const Value items = component.Ungroup(component.Group(AsList(Make(state.range(0), 42))));
  for (auto _ : state) ReadOnce(items, state);
}

template <Generator Make>
void Ungroup(benchmark::State& state) {
  IclsGroup component;
  const Value grouped = component.Group(AsList(Make(state.range(0), 42)));
  for (auto _ : state) benchmark::DoNotOptimize(component.Ungroup(grouped));
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void IsValidRange(benchmark::State& state) {
  IclsGroup component;
  const Value grouped = component.Group(AsList(BoardDesignators(state.range(0), 42)));
  for (auto _ : state)
    for (const Value& text : grouped.list().elements)
      benchmark::DoNotOptimize(component.IsValidRange(text.text()));
  state.SetItemsProcessed(state.iterations() * grouped.list().elements.size());
}

void FloorOfRange(benchmark::State& state) {
  IclsGroup component;
  const Value items = component.UngroupItem(u"R0-R32766");
  for (auto _ : state) ReadOnce(items, state);
}

void UngroupItem(benchmark::State& state) {
  IclsGroup component;
  for (auto _ : state) benchmark::DoNotOptimize(component.UngroupItem(u"R0-R32766"));
  state.SetItemsProcessed(state.iterations() * 32767);
}

void ReferenceGroup(benchmark::State& state) {
  const Value list = AsList(BoardDesignators(state.range(0), 42));
  for (auto _ : state) benchmark::DoNotOptimize(reference::GroupItems(list));
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void ReferenceUngroup(benchmark::State& state) {
  IclsGroup component;
  const Value grouped = component.Group(AsList(BoardDesignators(state.range(0), 42)));
  for (auto _ : state) benchmark::DoNotOptimize(reference::UngroupItems(grouped));
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

// The UTF-8 API on std::string items: what a C++ caller (and the Python
// package) does.
template <Generator Make>
std::vector<std::string> Utf8Items(std::size_t count) {
  std::vector<std::string> items;
  for (const std::u16string& item : Make(count, 42)) items.push_back(Utf16ToUtf8(item));
  return items;
}

// The least any reading of a UTF-8 item does: find its trailing digits and
// parse them.
inline void ReadTrailingNumber(const std::string& item) {
  std::size_t digits = item.size();
  while (digits > 0 && item[digits - 1] >= '0' && item[digits - 1] <= '9') --digits;
  int number = 0;
  for (std::size_t k = digits; k < item.size(); ++k) number = number * 10 + (item[k] - '0');
  benchmark::DoNotOptimize(digits);
  benchmark::DoNotOptimize(number);
}

// The floor for the UTF-8 functions: each text read once and its trailing
// number parsed.
template <Generator Make>
void Utf8Floor(benchmark::State& state) {
  const std::vector<std::string> items = Utf8Items<Make>(state.range(0));
  for (auto _ : state)
    for (const std::string& item : items) ReadTrailingNumber(item);
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

// The floor for lists that are mostly output: each text read once, as
// Utf8Floor reads it, and a result string built for it.
template <Generator Make>
void Utf8FloorOfOutput(benchmark::State& state) {
  const std::vector<std::string> items = Utf8Items<Make>(state.range(0));
  for (auto _ : state) {
    std::vector<std::string> results;
    results.reserve(items.size());
    for (const std::string& item : items) {
      ReadTrailingNumber(item);
      results.emplace_back(item.data(), item.size());
    }
    benchmark::DoNotOptimize(results.data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

template <Generator Make>
void Utf8Group(benchmark::State& state) {
  const std::vector<std::string> items = Utf8Items<Make>(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(ztxgrp::group(items));
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Ungrouping the grouped list: its floor is Utf8Floor over the same items.
template <Generator Make>
void Utf8Ungroup(benchmark::State& state) {
  const std::vector<std::string> grouped = ztxgrp::group(Utf8Items<Make>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(ztxgrp::ungroup(grouped));
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

template <Generator Make>
std::vector<std::u16string> Utf16Items(std::size_t count) {
  return Make(count, 42);
}

// A comparison sort of the same texts (UTF-16 or UTF-8): what a ranking of
// distinct prefixes should beat.
template <auto Items>
void SortTexts(benchmark::State& state) {
  const auto texts = Items(state.range(0));
  using Text = typename decltype(texts)::value_type;
  std::vector<std::basic_string_view<typename Text::value_type>> views(texts.begin(), texts.end());
  for (auto _ : state) {
    state.PauseTiming();
    views.assign(texts.begin(), texts.end());
    state.ResumeTiming();
    std::sort(views.begin(), views.end());
    benchmark::DoNotOptimize(views.data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void Sizes(benchmark::internal::Benchmark* b) {
  for (int size : {1000, 4000, 16000, 30000, 32766}) b->Arg(size);
}

BENCHMARK(Floor<BoardDesignators>)->Name("Floor/board")->Apply(Sizes);
BENCHMARK(Group<BoardDesignators>)->Name("Group/board")->Apply(Sizes);
BENCHMARK(FloorOfResults<BoardDesignators>)->Name("FloorOfResults/board")->Apply(Sizes);
BENCHMARK(Ungroup<BoardDesignators>)->Name("Ungroup/board")->Apply(Sizes);
BENCHMARK(IsValidRange)->Name("IsValidRange/board")->Apply(Sizes);
BENCHMARK(Utf8Floor<BoardDesignators>)->Name("Utf8Floor/board")->Arg(1000)->Arg(4000)->Arg(30000);
BENCHMARK(Utf8Group<BoardDesignators>)->Name("Utf8Group/board")->Arg(1000)->Arg(4000)->Arg(30000);
BENCHMARK(Utf8Ungroup<BoardDesignators>)->Name("Utf8Ungroup/board")->Arg(30000);
BENCHMARK(Utf8FloorOfOutput<SparseSample>)->Name("Utf8FloorOfOutput/sparse")->Arg(1000)->Arg(4000);
BENCHMARK(Utf8Group<SparseSample>)->Name("Utf8Group/sparse")->Arg(1000)->Arg(4000);
BENCHMARK(Utf8Group<DistinctPrefixes>)->Name("Utf8Group/distinct-prefixes")->Arg(32766);
BENCHMARK(SortTexts<Utf8Items<DistinctPrefixes>>)
    ->Name("Utf8SortTexts/distinct-prefixes")
    ->Arg(32766);
BENCHMARK(Utf8Group<CollidingPrefixes>)->Name("Utf8Group/colliding-prefixes")->Arg(32766);
BENCHMARK(SortTexts<Utf8Items<CollidingPrefixes>>)
    ->Name("Utf8SortTexts/colliding-prefixes")
    ->Arg(32766);
BENCHMARK(Utf8Floor<LongPrefixes>)->Name("Utf8Floor/long-prefixes")->Arg(32760);
BENCHMARK(Utf8Ungroup<LongPrefixes>)->Name("Utf8Ungroup/long-prefixes")->Arg(32760);
BENCHMARK(Utf8FloorOfOutput<LongPrefixes>)->Name("Utf8FloorOfOutput/long-prefixes")->Arg(32760);

BENCHMARK(Floor<OnePrefix>)->Name("Floor/one-prefix")->Arg(32766);
BENCHMARK(Group<OnePrefix>)->Name("Group/one-prefix")->Arg(32766);
BENCHMARK(FloorOfResults<OnePrefix>)->Name("FloorOfResults/one-prefix")->Arg(32766);
BENCHMARK(Ungroup<OnePrefix>)->Name("Ungroup/one-prefix")->Arg(32766);
BENCHMARK(Floor<DistinctPrefixes>)->Name("Floor/distinct-prefixes")->Arg(32766);
BENCHMARK(Group<DistinctPrefixes>)->Name("Group/distinct-prefixes")->Arg(32766);
BENCHMARK(SortTexts<Utf16Items<DistinctPrefixes>>)->Name("SortTexts/distinct-prefixes")->Arg(32766);
BENCHMARK(Floor<CollidingPrefixes>)->Name("Floor/colliding-prefixes")->Arg(32766);
BENCHMARK(Group<CollidingPrefixes>)->Name("Group/colliding-prefixes")->Arg(32766);
BENCHMARK(SortTexts<Utf16Items<CollidingPrefixes>>)
    ->Name("SortTexts/colliding-prefixes")
    ->Arg(32766);
BENCHMARK(Floor<LongPrefixes>)->Name("Floor/long-prefixes")->Arg(32760);
BENCHMARK(Group<LongPrefixes>)->Name("Group/long-prefixes")->Arg(32760);
BENCHMARK(FloorOfResults<LongPrefixes>)->Name("FloorOfResults/long-prefixes")->Arg(32760);
BENCHMARK(Ungroup<LongPrefixes>)->Name("Ungroup/long-prefixes")->Arg(32760);
BENCHMARK(FloorOfRange)->Name("FloorOfResults/range")->Arg(32767);
BENCHMARK(UngroupItem)->Name("UngroupItem/range")->Arg(32767);

BENCHMARK(ReferenceGroup)
    ->Name("Reference-Group/board")
    ->Arg(1000)
    ->Arg(4000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK(ReferenceUngroup)
    ->Name("Reference-Ungroup/board")
    ->Arg(1000)
    ->Arg(4000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace
}  // namespace ztxgrp::bench

BENCHMARK_MAIN();
