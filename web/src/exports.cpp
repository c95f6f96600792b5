// The WebAssembly module's boundary. JavaScript hands over a list of texts
// in one buffer (for the list operations its own UTF-16 units, for the
// parts-list calls UTF-8 bytes; each text's length in those units), calls
// one operation, and reads the
// result back the same way: one UTF-16 buffer with each result's length, and a few numbers
// (`meta`). One crossing per call, whatever the number of items.
//
// Every operation returns a status: 0 success; 1 a runtime error (the
// result: its message, its description and, when meta[1] is 1, the
// offending item; meta[0] its number, meta[2] the row or 0); 2 an argument that cannot be
// used (the result: the message; meta[0] the row or 0). No exception leaves
// this file.
#include <unistd.h>  // sbrk

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <new>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "ztxgrp/csv_file.hpp"
#include "ztxgrp/designator_sets.hpp"
#include "ztxgrp/element_text.hpp"
#include "ztxgrp/entry_text.hpp"
#include "ztxgrp/failure.hpp"
#include "ztxgrp/icls_group.hpp"
#include "ztxgrp/limits.hpp"
#include "ztxgrp/list_texts.hpp"
#include "ztxgrp/parts_diff.hpp"
#include "ztxgrp/parts_file.hpp"
#include "ztxgrp/parts_list.hpp"
#include "ztxgrp/parts_options.hpp"
#include "ztxgrp/parts_verify.hpp"
#include "ztxgrp/runtime_error.hpp"
#include "ztxgrp/utf.hpp"
#include "ztxgrp/value.hpp"
#include "ztxgrp/ztxgrp.hpp"

namespace {

using ztxgrp::GroupEntry;

enum Status : int { kSuccess = 0, kRuntimeError = 1, kArgumentError = 2 };

// The last call's result, read by JavaScript through the accessors below.
struct Result final : ztxgrp::ResultWriter {
  std::u16string text;
  std::vector<std::uint32_t> lengths;
  std::vector<std::uint32_t> meta;
  std::string bytes;  // a parts-list file's bytes

  void Clear() {
    text.clear();
    lengths.clear();
    meta.clear();
    bytes.clear();
  }
  void Add(std::u16string_view piece) {
    text += piece;
    lengths.push_back(static_cast<std::uint32_t>(piece.size()));
  }
  void AddUtf8(std::string_view piece) { Add(ztxgrp::Utf8ToUtf16(piece)); }

  void Reserve(std::size_t results) override { lengths.reserve(results); }
  void Entry(const GroupEntry& entry) override {
    const std::size_t before = text.size();
    ztxgrp::AppendEntryText(text, entry.prefix, entry.first, entry.last);
    lengths.push_back(static_cast<std::uint32_t>(text.size() - before));
  }
  void Text(std::u16string_view piece) override { Add(piece); }
  void EmptyElement() override { Add({}); }
};

Result result;

// The texts of the input buffer, JavaScript's own UTF-16 units side by side,
// text k from offsets[k] to offsets[k + 1]: no conversion and no list of
// views on the way in. The offsets come from the host: they must not
// decrease and must end where the buffer does.
ztxgrp::PackedTexts<char16_t> ReadTexts(const char16_t* units, std::size_t size,
                                        const std::uint32_t* offsets, std::size_t count) {
  const std::span<const std::uint32_t> cuts(offsets, count + 1);
  if (cuts.front() != 0 || cuts.back() != size)
    throw std::invalid_argument("text offsets do not span the text");
  return ztxgrp::PackedTexts<char16_t>(std::u16string_view(units, size), cuts);
}

// Runs `work` with the result cleared, and turns every failure into a
// status, as the library describes it: a runtime error (its message, its
// description and the item; meta: the number, whether there is an item, the
// row or 0), anything else an argument that cannot be used (its message;
// meta: the row or 0).
template <typename Work>
int Guarded(Work&& work) noexcept {
  std::exception_ptr thrown;
  try {
    result.Clear();
    work();
    return kSuccess;
  } catch (...) {
    thrown = std::current_exception();
  }
  try {
    const ztxgrp::Failure failure = ztxgrp::describe_failure(thrown);
    result.Clear();
    result.AddUtf8(failure.message);
    const auto row = static_cast<std::uint32_t>(failure.row);
    if (failure.kind != ztxgrp::Failure::Kind::Runtime) {
      result.meta = {row};
      return kArgumentError;
    }
    result.AddUtf8(failure.description);
    if (failure.item) result.Add(*failure.item);
    result.meta = {static_cast<std::uint32_t>(failure.number), failure.item ? 1u : 0u, row};
  } catch (...) {
    result.Clear();  // out of memory while reporting: the number alone
    result.meta = {static_cast<std::uint32_t>(ztxgrp::ErrorNumber::OutOfMemory), 0, 0};
  }
  return kRuntimeError;
}

// The parts-list call's texts as UTF-8 views into the caller's buffer, cut
// at byte lengths: no string is made per cell. The host's lengths must add up
// to the buffer and cut it between characters only.
std::vector<std::string_view> ReadUtf8Texts(const char* bytes, std::size_t size,
                                            const std::uint32_t* lengths, std::size_t count) {
  const std::string_view all(bytes, size);
  ztxgrp::CheckUtf8(all);
  std::vector<std::string_view> views;
  views.reserve(count);
  std::size_t at = 0;
  for (std::size_t k = 0; k < count; ++k) {
    if (lengths[k] > size - at) throw std::invalid_argument("text lengths exceed the text");
    if (at < size && (static_cast<unsigned char>(bytes[at]) & 0xC0) == 0x80)
      throw std::invalid_argument("text lengths cut a character");
    views.push_back(all.substr(at, lengths[k]));
    at += lengths[k];
  }
  if (at != size) throw std::invalid_argument("text lengths fall short of the text");
  return views;
}

// The options of every parts-list call, by their npm names, each translated
// by the library's option table. Numbers, from `next` on: whether rows are
// expanded, how many options follow, and each option's kind of value
// (OptionValue). Texts, from `at` on: each option's name and its value as
// text (a whole number in decimal digits, a flag "true" or "false", a list
// of names one option per name, a label the text that names the option in
// messages). `at` and `next` are left after them.
enum OptionValue : std::uint32_t {
  kOptionText = 0,
  kOptionWhole = 1,
  kOptionFlag = 2,
  kOptionName = 3,
  kOptionLabel = 4
};

// The numbers a host passed: their count first, then the numbers.
struct Numbers {
  std::span<const std::uint32_t> all;
  std::size_t next = 1;
  std::uint32_t Take() {
    if (next >= all.size()) throw std::invalid_argument("the call's numbers are too few");
    return all[next++];
  }
};
Numbers NumbersOf(const std::uint32_t* numbers) {
  if (numbers[0] == 0) throw std::invalid_argument("the call's numbers are too few");
  return {std::span<const std::uint32_t>(numbers, numbers[0])};
}

long long WholeOf(std::string_view text) {
  long long value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size())
    throw std::invalid_argument("an option's whole number is no decimal number");
  return value;
}

ztxgrp::PartsOptions ReadOptions(std::span<const std::string_view> texts, Numbers& numbers,
                                 std::size_t& at) {
  ztxgrp::PartsOptions options;
  options.style = ztxgrp::OptionStyle::JavaScript;
  options.expand = numbers.Take() != 0;
  const std::size_t count = numbers.Take();
  if (at > texts.size() || count > (texts.size() - at) / 2)
    throw std::invalid_argument("the options do not match their texts");
  for (std::size_t k = 0; k < count; ++k) {
    const std::string_view name = texts[at++], value = texts[at++];
    const auto table = ztxgrp::parts_option_table();
    const auto declared = std::find_if(table.begin(), table.end(),
                                       [&](const auto& row) { return name == row.javascript; });
    if (declared == table.end()) throw std::invalid_argument("an option the library does not know");
    switch (numbers.Take()) {
      case kOptionText:
        options.set_text(declared->option, value);
        break;
      case kOptionWhole:
        options.set_whole(declared->option, WholeOf(value));
        break;
      case kOptionFlag:
        options.set_flag(declared->option, value == "true");
        break;
      case kOptionName:
        options.add_name(declared->option, value);
        break;
      case kOptionLabel:
        options.labels.emplace_back(declared->option, value);
        break;
      default:
        throw std::invalid_argument("an option's kind of value is unknown");
    }
  }
  return options;
}

// What every parts-list call reads first: its texts, where the texts after
// the options begin, its numbers and its options.
struct OptionsCall {
  std::vector<std::string_view> texts;
  std::size_t at = 0;
  Numbers given;
  ztxgrp::PartsOptions options;
};
OptionsCall StartCall(const char* bytes, std::size_t size, const std::uint32_t* lengths,
                      std::size_t count, const std::uint32_t* numbers) {
  OptionsCall call{ReadUtf8Texts(bytes, size, lengths, count), 0, NumbersOf(numbers), {}};
  call.options = ReadOptions(call.texts, call.given, call.at);
  return call;
}

// A table of the parts-list calls: `width` header names from `at` on, then
// `rows` rows of cells. `at` is left after them.
struct Table {
  std::vector<std::string> header;
  ztxgrp::PartsTableView view;
};
Table ReadTable(std::span<const std::string_view> texts, std::size_t width, std::size_t rows,
                std::size_t& at) {
  if (at > texts.size() || width > texts.size() - at ||
      (rows != 0 && width > (texts.size() - at - width) / rows))
    throw std::invalid_argument("the table's shape does not match its cells");
  Table table;
  for (std::size_t k = 0; k < width; ++k) table.header.emplace_back(texts[at++]);
  table.view.cells = texts.subspan(at, width * rows);
  table.view.row_noun = "row";
  at += width * rows;
  return table;
}

// The parts result: header, cells, then each warning's message; meta holds
// the width, the row count, the warning count and for each warning its
// kind, its number of rows and those rows.
// Notes have kinds of their own, after the warnings' kinds, and come first:
// a comparison's (a column not compared), and collapsing's and expanding's
// (a list for several boards).
// A workbook's formula without a saved value is a warning of kind 6.
constexpr std::uint32_t kComparisonNote = 4, kBoardsNote = 5, kFormulaWarning = 6;
void WriteWarnings(const std::vector<ztxgrp::PartsWarning>& warnings,
                   const std::vector<std::string>& notes = {},
                   std::uint32_t noteKind = kComparisonNote) {
  for (const std::string& note : notes) {
    result.AddUtf8(note);
    result.meta.push_back(noteKind);
    result.meta.push_back(0);
  }
  for (const ztxgrp::PartsWarning& warning : warnings) {
    result.AddUtf8(warning.message);
    result.meta.push_back(warning.kind == ztxgrp::PartsWarning::Kind::FormulaWithoutValue
                              ? kFormulaWarning
                              : static_cast<std::uint32_t>(warning.kind));
    result.meta.push_back(static_cast<std::uint32_t>(warning.rows.size()));
    for (const std::size_t row : warning.rows)
      result.meta.push_back(static_cast<std::uint32_t>(row));
  }
}

void WriteParts(const ztxgrp::PartsResult& parts, const std::vector<std::string>& notes,
                std::uint32_t noteKind) {
  const ztxgrp::PartsTable& table = parts.table;
  result.meta = {static_cast<std::uint32_t>(table.header.size()),
                 static_cast<std::uint32_t>(table.rows.size()),
                 static_cast<std::uint32_t>(notes.size() + parts.warnings.size())};
  for (const std::string& name : table.header) result.AddUtf8(name);
  for (const auto& row : table.rows)
    for (const std::string& cell : row) result.AddUtf8(cell);
  WriteWarnings(parts.warnings, notes, noteKind);
}

}  // namespace

extern "C" {

// Makes room for `bytes` more above the heap's top before a call, growing the
// memory at least to twice its size: the allocator alone grows it by exactly
// the pages that each request lacks, and a large call then grows it hundreds
// of times, each time at the cost of a copy. False when no room can be had.
int ztxgrp_reserve(std::size_t bytes) {
#if !defined(__wasm__)
  // Built natively (the fuzz target), the allocator's own growth is all.
  (void)bytes;
  return 1;
#else
  constexpr std::size_t kPage = 65536;
  const std::size_t top = reinterpret_cast<std::uintptr_t>(sbrk(0));
  const std::size_t size = __builtin_wasm_memory_size(0) * kPage;
  if (bytes > SIZE_MAX - top) return 0;
  if (top + bytes <= size) return 1;
  const std::size_t needed = (top + bytes - size + kPage - 1) / kPage;
  const std::size_t doubled = std::max(needed, size / kPage);
  if (__builtin_wasm_memory_grow(0, doubled) != SIZE_MAX) return 1;
  return __builtin_wasm_memory_grow(0, needed) != SIZE_MAX ? 1 : 0;
#endif
}

// The shortest run written as a range unless a caller says otherwise.
int ztxgrp_default_min_run() {
  return ztxgrp::kSystemMinRun;
}

// Memory for the caller's buffers.
void* ztxgrp_alloc(std::size_t size) {
  return std::malloc(size == 0 ? 1 : size);
}
void ztxgrp_free(void* pointer) {
  std::free(pointer);
}

// The list operations take `count` texts as UTF-16 units (`units`, `size`
// of them) with count + 1 offsets, and write UTF-16 results.
int ztxgrp_group(const char16_t* units, std::size_t size, const std::uint32_t* offsets,
                 std::size_t count, int minRun) {
  return Guarded([&] {
    ztxgrp::check_min_run(minRun, ztxgrp::OptionStyle::JavaScript);
    ztxgrp::GroupTextList(ReadTexts(units, size, offsets, count), minRun, result);
  });
}

int ztxgrp_ungroup(const char16_t* units, std::size_t size, const std::uint32_t* offsets,
                   std::size_t count) {
  return Guarded([&] { ztxgrp::UngroupTextList(ReadTexts(units, size, offsets, count), result); });
}

int ztxgrp_expand(const char16_t* units, std::size_t size) {
  return Guarded([&] {
    const ztxgrp::Value items = ztxgrp::IclsGroup().UngroupItem(std::u16string_view(units, size));
    for (const ztxgrp::Value& item : items.list().elements) result.Add(item.text());
  });
}

// Status 0 with meta[0] 1 (valid) or 0.
int ztxgrp_is_valid_range(const char16_t* units, std::size_t size) {
  return Guarded([&] {
    result.meta = {ztxgrp::IclsGroup().IsValidRange(std::u16string_view(units, size)) ? 1u : 0u};
  });
}

// Rows collapsed (or, with the option, expanded). Texts: the options, then
// the header and the cells row by row; numbers: the options', the width and
// the number of rows.
int ztxgrp_parts(const char* bytes, std::size_t size, const std::uint32_t* lengths,
                 std::size_t count, const std::uint32_t* numbers) {
  return Guarded([&] {
    OptionsCall call = StartCall(bytes, size, lengths, count, numbers);
    const std::size_t width = call.given.Take(), rows = call.given.Take();
    Table table = ReadTable(call.texts, width, rows, call.at);
    if (call.at != call.texts.size())
      throw std::invalid_argument("the table's shape does not match its cells");
    table.view.header = table.header;
    const ztxgrp::PartsResult parts = ztxgrp::process_parts_rows(table.view, call.options);
    WriteParts(parts, parts.notes, kBoardsNote);
  });
}

// A parts-list file (`bytes`, as read) collapsed or expanded: the result's
// bytes, and the warnings as for ztxgrp_parts (meta: 0, 0, their count...).
// Texts and numbers: the options alone.
int ztxgrp_parts_file(const char* bytes, std::size_t size, const char* options,
                      std::size_t optionsSize, const std::uint32_t* lengths, std::size_t count,
                      const std::uint32_t* numbers) {
  return Guarded([&] {
    OptionsCall call = StartCall(options, optionsSize, lengths, count, numbers);
    if (call.at != call.texts.size())
      throw std::invalid_argument("the options do not match their texts");
    ztxgrp::PartsFileResult done =
        ztxgrp::process_parts_file(std::string(bytes, size), call.options);
    result.meta = {0, 0, static_cast<std::uint32_t>(done.notes.size() + done.warnings.size())};
    WriteWarnings(done.warnings, done.notes, kBoardsNote);
    result.bytes = std::move(done.bytes);
  });
}

// Two tables compared. Texts: the options, then each table's header and
// cells; numbers: the options', old width, old rows, new width, new rows.
// The result as ztxgrp_parts writes it (the table of changes, then the
// notes and the warnings).
int ztxgrp_diff_rows(const char* bytes, std::size_t size, const std::uint32_t* lengths,
                     std::size_t count, const std::uint32_t* numbers) {
  return Guarded([&] {
    OptionsCall call = StartCall(bytes, size, lengths, count, numbers);
    const std::size_t oldWidth = call.given.Take(), oldRows = call.given.Take();
    Table older = ReadTable(call.texts, oldWidth, oldRows, call.at);
    const std::size_t newWidth = call.given.Take(), newRows = call.given.Take();
    Table newer = ReadTable(call.texts, newWidth, newRows, call.at);
    if (call.at != call.texts.size())
      throw std::invalid_argument("the tables' shapes do not match their cells");
    older.view.header = older.header;
    newer.view.header = newer.header;
    const ztxgrp::PartsDiff diff = ztxgrp::diff_tables(older.view, newer.view, call.options);
    ztxgrp::PartsResult parts;
    parts.table = ztxgrp::diff_table(diff);
    parts.warnings = diff.warnings;
    WriteParts(parts, diff.notes, kComparisonNote);
    // Comparing parts: the parts table after the warnings' texts, its width
    // and rows the last two numbers.
    if (!diff.part_columns.empty()) {
      const ztxgrp::PartsTable table = ztxgrp::diff_parts_table(diff);
      for (const std::string& name : table.header) result.AddUtf8(name);
      for (const auto& row : table.rows)
        for (const std::string& cell : row) result.AddUtf8(cell);
      result.meta.push_back(static_cast<std::uint32_t>(table.header.size()));
      result.meta.push_back(static_cast<std::uint32_t>(table.rows.size()));
    }
  });
}

// Two parts-list files compared: the bytes of the table of changes, and
// the notes and warnings as for ztxgrp_parts_file. Options as there, the
// last number `unchanged` instead of expand; after the options' texts, the
// lists' names when they are given (for messages and the HTML report).
int ztxgrp_diff_files(const char* oldBytes, std::size_t oldSize, const char* newBytes,
                      std::size_t newSize, const char* options, std::size_t optionsSize,
                      const std::uint32_t* lengths, std::size_t count,
                      const std::uint32_t* numbers) {
  return Guarded([&] {
    OptionsCall call = StartCall(options, optionsSize, lengths, count, numbers);
    ztxgrp::PartsDiffNames names;
    if (call.texts.size() == call.at + 2) {
      names = {std::string(call.texts[call.at]), std::string(call.texts[call.at + 1])};
      call.at += 2;
    }
    if (call.at != call.texts.size())
      throw std::invalid_argument("the options do not match their texts");
    ztxgrp::PartsDiffFileResult done = ztxgrp::diff_parts_files(
        std::string(oldBytes, oldSize), std::string(newBytes, newSize), call.options, names);
    result.meta = {0, 0,
                   static_cast<std::uint32_t>(done.diff.notes.size() + done.diff.warnings.size())};
    WriteWarnings(done.diff.warnings, done.diff.notes);
    result.bytes = std::move(done.bytes);
  });
}

// Designator lists as sets. Texts: the operands (UTF-8; for free the list
// and the prefix). Numbers: the operation (0 union, 1 intersect, 2
// subtract, 3 xor, 4 count, 5 contains: the first text the list, the others
// the items, 6 gaps, 7 free), the shortest run, and for free how many
// numbers. The result: the entries, or for count each number (meta: the
// designators written more than once, list by list), for contains "true" or
// "false" a text, for free the entries (meta: how many were found).
int ztxgrp_sets(const char* bytes, std::size_t size, const std::uint32_t* lengths,
                std::size_t count, const std::uint32_t* numbers) {
  return Guarded([&] {
    const std::vector<std::string_view> texts = ReadUtf8Texts(bytes, size, lengths, count);
    Numbers given = NumbersOf(numbers);
    const std::uint32_t operation = given.Take();
    const int minRun = static_cast<int>(static_cast<std::int32_t>(given.Take()));
    if (operation <= 3) {
      for (const std::string& entry :
           ztxgrp::combine_designators(static_cast<ztxgrp::SetOperation>(operation), texts, minRun))
        result.AddUtf8(entry);
      return;
    }
    if (operation == 4) {
      for (const ztxgrp::DesignatorCount& counted : ztxgrp::count_designators(texts)) {
        result.AddUtf8(std::to_string(counted.designators));
        result.meta.push_back(static_cast<std::uint32_t>(counted.repeated));
      }
      return;
    }
    if (texts.empty()) throw std::invalid_argument("the operation needs its list");
    if (operation == 5) {
      for (const bool answer :
           ztxgrp::contains_designators(texts.front(), std::span(texts).subspan(1)))
        result.AddUtf8(answer ? "true" : "false");
      return;
    }
    if (operation == 6) {
      for (const std::string& entry : ztxgrp::designator_gaps(texts.front(), minRun))
        result.AddUtf8(entry);
      return;
    }
    if (operation != 7 || texts.size() != 2)
      throw std::invalid_argument("an operation on sets the module does not know");
    const std::int32_t count = static_cast<std::int32_t>(given.Take());
    ztxgrp::check_free_count(count, ztxgrp::OptionStyle::JavaScript);
    const ztxgrp::FreeDesignators free =
        ztxgrp::free_designators(texts[0], texts[1], static_cast<std::size_t>(count), minRun);
    for (const std::string& entry : free.entries) result.AddUtf8(entry);
    result.meta.push_back(static_cast<std::uint32_t>(free.found));
  });
}

// A parts list checked against its placement files: the findings written in
// the form the options ask for, and the notes and warnings as for
// ztxgrp_parts_file. `files`: every file's bytes one after another, the
// parts list first. Texts: the options, then the parts list's name and each
// placement file's; numbers: the options', the number of placement files,
// then each file's size, the parts list first.
int ztxgrp_verify_files(const char* files, std::size_t filesSize, const char* bytes,
                        std::size_t size, const std::uint32_t* lengths, std::size_t count,
                        const std::uint32_t* numbers) {
  return Guarded([&] {
    OptionsCall call = StartCall(bytes, size, lengths, count, numbers);
    const std::size_t placementCount = call.given.Take();
    if (call.at > call.texts.size() || placementCount >= call.texts.size() - call.at)
      throw std::invalid_argument("the files do not match their names");
    const std::string_view all(files, filesSize);
    std::size_t from = 0;
    const auto take = [&] {
      const std::size_t length = call.given.Take();
      if (length > all.size() - from)
        throw std::invalid_argument("the files' sizes pass their bytes");
      from += length;
      return std::string(all.substr(from - length, length));
    };
    std::string bom = take();
    const std::string_view bomName = call.texts[call.at++];
    std::vector<ztxgrp::PlacementFile> placements;
    for (std::size_t k = 0; k < placementCount; ++k)
      placements.push_back({std::string(call.texts[call.at++]), take()});
    if (call.at != call.texts.size() || from != all.size())
      throw std::invalid_argument("the files do not match their names and bytes");
    const ztxgrp::VerifyResult done =
        ztxgrp::verify_parts_files(std::move(bom), bomName, std::move(placements), call.options);
    result.meta = {0, 0, static_cast<std::uint32_t>(done.notes.size() + done.warnings.size())};
    WriteWarnings(done.warnings, done.notes, kBoardsNote);
    result.bytes = ztxgrp::write_verify_result(done, call.options);
  });
}

// Rows checked against placement rows: the findings as JSON, then the notes
// and warnings as for ztxgrp_parts_file. Texts: the options, the parts
// list's name, header and cells, then each placement table's name, header
// and cells; numbers: the options', the parts list's width and rows, the
// number of placement tables and each one's width and rows.
int ztxgrp_verify_rows(const char* bytes, std::size_t size, const std::uint32_t* lengths,
                       std::size_t count, const std::uint32_t* numbers) {
  return Guarded([&] {
    OptionsCall call = StartCall(bytes, size, lengths, count, numbers);
    const auto named = [&] {
      if (call.at >= call.texts.size()) throw std::invalid_argument("a table has no name");
      return call.texts[call.at++];
    };
    const std::string_view bomName = named();
    const std::size_t width = call.given.Take(), rows = call.given.Take();
    Table bom = ReadTable(call.texts, width, rows, call.at);
    bom.view.header = bom.header;
    const std::size_t tables = call.given.Take();
    if (tables > call.texts.size())
      throw std::invalid_argument("the tables do not match their texts");
    std::vector<Table> placed;
    std::vector<std::string_view> names;
    for (std::size_t k = 0; k < tables; ++k) {
      names.push_back(named());
      const std::size_t w = call.given.Take(), r = call.given.Take();
      placed.push_back(ReadTable(call.texts, w, r, call.at));
    }
    if (call.at != call.texts.size())
      throw std::invalid_argument("the tables' shapes do not match their cells");
    std::vector<ztxgrp::PlacementTable> views;
    for (std::size_t k = 0; k < tables; ++k) {
      placed[k].view.header = placed[k].header;
      views.push_back({std::string(names[k]), placed[k].view});
    }
    const ztxgrp::VerifyResult done =
        ztxgrp::verify_parts_rows(bom.view, bomName, views, call.options);
    result.meta = {0, 0, static_cast<std::uint32_t>(done.notes.size() + done.warnings.size())};
    WriteWarnings(done.warnings, done.notes, kBoardsNote);
    result.bytes = ztxgrp::verify_json(done);
  });
}

// A parts-list file read as the parts-list calls read it, for showing: the
// header and the cells of the first `maxRows` rows as texts; meta: the
// width, the rows given, the rows in all. Texts and numbers: the options
// (their separator and header row, refs to find the header).
int ztxgrp_read_csv(const char* bytes, std::size_t size, const char* options,
                    std::size_t optionsSize, const std::uint32_t* lengths, std::size_t count,
                    const std::uint32_t* numbers, std::uint32_t maxRows) {
  return Guarded([&] {
    OptionsCall call = StartCall(options, optionsSize, lengths, count, numbers);
    if (call.at != call.texts.size())
      throw std::invalid_argument("the options do not match their texts");
    const ztxgrp::PartsFilePreview table =
        ztxgrp::preview_parts_file(std::string(bytes, size), call.options, maxRows);
    result.meta = {static_cast<std::uint32_t>(table.header.size()),
                   static_cast<std::uint32_t>(table.rows.size()),
                   static_cast<std::uint32_t>(table.row_count)};
    for (const std::string& name : table.header) result.AddUtf8(name);
    for (const std::vector<std::string>& row : table.rows)
      for (const std::string& cell : row) result.AddUtf8(cell);
  });
}

const char* ztxgrp_result_bytes() {
  return result.bytes.data();
}
std::size_t ztxgrp_result_byte_count() {
  return result.bytes.size();
}

const char16_t* ztxgrp_result_text() {
  return result.text.data();
}
std::size_t ztxgrp_result_units() {
  return result.text.size();
}
const std::uint32_t* ztxgrp_result_lengths() {
  return result.lengths.data();
}
std::size_t ztxgrp_result_count() {
  return result.lengths.size();
}
const std::uint32_t* ztxgrp_result_meta() {
  return result.meta.data();
}
std::size_t ztxgrp_result_meta_count() {
  return result.meta.size();
}

}  // extern "C"
