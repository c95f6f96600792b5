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
#include <cstdint>
#include <cstdlib>
#include <new>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "ztxgrp/csv_file.hpp"
#include "ztxgrp/error_message.hpp"
#include "ztxgrp/icls_group.hpp"
#include "ztxgrp/list_texts.hpp"
#include "ztxgrp/parts_diff.hpp"
#include "ztxgrp/parts_file.hpp"
#include "ztxgrp/parts_list.hpp"
#include "ztxgrp/utf.hpp"
#include "ztxgrp/values.hpp"
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

// Runs `work` with the result cleared, and turns every failure into a status.
template <typename Work>
int Guarded(Work&& work) noexcept {
  try {
    try {
      result.Clear();
      work();
      return kSuccess;
    } catch (const std::bad_alloc&) {
      ztxgrp::Raise(ztxgrp::ErrorNumber::OutOfMemory);
    } catch (const std::length_error&) {
      ztxgrp::Raise(ztxgrp::ErrorNumber::OutOfMemory);
    }
  } catch (const ztxgrp::RuntimeError& error) {
    try {
      result.Clear();
      const auto* row = dynamic_cast<const ztxgrp::RowError*>(&error);
      result.AddUtf8(ztxgrp::RuntimeErrorMessage(
          error, row ? row->noun() + " " + std::to_string(row->row()) : std::string()));
      result.AddUtf8(error.description());
      if (error.item()) result.Add(*error.item());
      result.meta = {static_cast<std::uint32_t>(error.number()), error.item() ? 1u : 0u,
                     row ? static_cast<std::uint32_t>(row->row()) : 0u};
    } catch (...) {
      result.Clear();  // out of memory while reporting: the number alone
      result.meta = {static_cast<std::uint32_t>(ztxgrp::ErrorNumber::OutOfMemory), 0, 0};
    }
    return kRuntimeError;
  } catch (const std::exception& error) {
    try {
      result.Clear();
      result.AddUtf8(error.what());
      const auto* parts = dynamic_cast<const ztxgrp::PartsError*>(&error);
      result.meta = {parts ? static_cast<std::uint32_t>(parts->row()) : 0u};
    } catch (...) {
      result.Clear();
    }
    return kArgumentError;
  } catch (...) {
    result.Clear();
    return kArgumentError;
  }
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

// The parts-list call's texts, in this order: refs, qty, join (each present
// when its flag is set), the `by` names, the header, the cells row by row.
struct PartsCall {
  std::vector<std::string> header;
  ztxgrp::PartsTableView table;
  ztxgrp::PartsColumns columns;
};
PartsCall ReadParts(const std::vector<std::string_view>& texts, const std::uint32_t* numbers) {
  // numbers: has refs, has qty, by count, columns, rows, min_run.
  const bool hasRefs = numbers[0] != 0, hasQty = numbers[1] != 0;
  const std::size_t byCount = numbers[2], width = numbers[3], rows = numbers[4];
  const std::size_t needed = (hasRefs ? 1 : 0) + (hasQty ? 1 : 0) + 1 + byCount + width;
  if (width == 0 || texts.size() < needed || (texts.size() - needed) / width != rows ||
      (texts.size() - needed) % width != 0)
    throw std::invalid_argument("the table's shape does not match its cells");
  std::size_t at = 0;
  ztxgrp::PartsColumnNames names;
  if (hasRefs) names.refs = std::string(texts[at++]);
  if (hasQty) names.qty = std::string(texts[at++]);
  names.join = std::string(texts[at++]);
  names.min_run = static_cast<int>(static_cast<std::int32_t>(numbers[5]));
  for (std::size_t k = 0; k < byCount; ++k) names.by.emplace_back(texts[at++]);
  PartsCall call;
  for (std::size_t k = 0; k < width; ++k) call.header.emplace_back(texts[at++]);
  call.table.header = call.header;
  call.table.cells = std::span<const std::string_view>(texts).subspan(at);
  call.columns = ztxgrp::choose_columns(call.header, names, {"refs", "qty", "by"});
  return call;
}

// The parts result: header, cells, then each warning's message; meta holds
// the width, the row count, the warning count and for each warning its
// kind, its number of rows and those rows.
void WriteWarnings(const std::vector<ztxgrp::PartsWarning>& warnings) {
  for (const ztxgrp::PartsWarning& warning : warnings) {
    result.AddUtf8(warning.message);
    result.meta.push_back(static_cast<std::uint32_t>(warning.kind));
    result.meta.push_back(static_cast<std::uint32_t>(warning.rows.size()));
    for (const std::size_t row : warning.rows)
      result.meta.push_back(static_cast<std::uint32_t>(row));
  }
}

void WriteParts(const ztxgrp::PartsResult& parts) {
  const ztxgrp::PartsTable& table = parts.table;
  result.meta = {static_cast<std::uint32_t>(table.header.size()),
                 static_cast<std::uint32_t>(table.rows.size()),
                 static_cast<std::uint32_t>(parts.warnings.size())};
  for (const std::string& name : table.header) result.AddUtf8(name);
  for (const auto& row : table.rows)
    for (const std::string& cell : row) result.AddUtf8(cell);
  WriteWarnings(parts.warnings);
}

// The options of a parts-list file call: texts refs, qty (each when its flag
// is set), join, the `by` names, the separator's name (when its flag is
// set); numbers: has refs, has qty, by count, min_run, has separator, expand.
ztxgrp::PartsFileOptions ReadFileOptions(const std::vector<std::string_view>& texts,
                                         const std::uint32_t* numbers) {
  const bool hasRefs = numbers[0] != 0, hasQty = numbers[1] != 0;
  const std::size_t byCount = numbers[2];
  const bool hasSeparator = numbers[4] != 0;
  if (texts.size() !=
      (hasRefs ? 1u : 0u) + (hasQty ? 1u : 0u) + 1 + byCount + (hasSeparator ? 1u : 0u))
    throw std::invalid_argument("the options do not match their texts");
  ztxgrp::PartsFileOptions options;
  std::size_t at = 0;
  if (hasRefs) options.names.refs = std::string(texts[at++]);
  if (hasQty) options.names.qty = std::string(texts[at++]);
  options.names.join = std::string(texts[at++]);
  for (std::size_t k = 0; k < byCount; ++k) options.names.by.emplace_back(texts[at++]);
  options.names.min_run = static_cast<int>(static_cast<std::int32_t>(numbers[3]));
  if (hasSeparator) options.separator = ztxgrp::separator_named(texts[at++]);
  options.expand = numbers[5] != 0;
  return options;
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
    ztxgrp::CheckMinRun(minRun);
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

int ztxgrp_parts(const char* bytes, std::size_t size, const std::uint32_t* lengths,
                 std::size_t count, const std::uint32_t* numbers, int expand) {
  return Guarded([&] {
    const std::vector<std::string_view> texts = ReadUtf8Texts(bytes, size, lengths, count);
    const PartsCall call = ReadParts(texts, numbers);
    WriteParts(expand ? ztxgrp::expand_rows(call.table, call.columns)
                      : ztxgrp::collapse_rows(call.table, call.columns));
  });
}

// A parts-list file (`bytes`, as read) collapsed or expanded: the result's
// bytes, and the warnings as for ztxgrp_parts (meta: 0, 0, their count...).
int ztxgrp_parts_file(const char* bytes, std::size_t size, const char* options,
                      std::size_t optionsSize, const std::uint32_t* lengths, std::size_t count,
                      const std::uint32_t* numbers) {
  return Guarded([&] {
    const ztxgrp::PartsFileOptions file =
        ReadFileOptions(ReadUtf8Texts(options, optionsSize, lengths, count), numbers);
    ztxgrp::PartsFileResult done =
        ztxgrp::process_parts_file(std::string(bytes, size), file, {"refs", "qty", "by"});
    result.meta = {0, 0, static_cast<std::uint32_t>(done.warnings.size())};
    WriteWarnings(done.warnings);
    result.bytes = std::move(done.bytes);
  });
}

// Two tables compared. Texts: refs, qty (each when its flag is set), join,
// the `by` names, then each table's header and cells; numbers: has refs,
// has qty, by count, min_run, unchanged, old width, old rows, new width, new
// rows. The result as ztxgrp_parts writes it (the table of changes, then the
// warnings and notes).
int ztxgrp_diff_rows(const char* bytes, std::size_t size, const std::uint32_t* lengths,
                     std::size_t count, const std::uint32_t* numbers) {
  return Guarded([&] {
    const std::vector<std::string_view> texts = ReadUtf8Texts(bytes, size, lengths, count);
    const std::size_t byCount = numbers[2];
    const std::size_t widths[2] = {numbers[5], numbers[7]}, rows[2] = {numbers[6], numbers[8]};
    std::size_t at = (numbers[0] ? 1 : 0) + (numbers[1] ? 1 : 0);
    std::size_t needed = at + 1 + byCount;
    for (int side = 0; side < 2; ++side) {
      if (rows[side] != 0 &&
          widths[side] > (texts.size() - std::min(needed, texts.size())) / rows[side])
        throw std::invalid_argument("the tables' shapes do not match their cells");
      needed += widths[side] * (rows[side] + 1);
    }
    if (needed != texts.size())
      throw std::invalid_argument("the tables' shapes do not match their cells");
    ztxgrp::PartsColumnNames names;
    at = 0;
    if (numbers[0]) names.refs = std::string(texts[at++]);
    if (numbers[1]) names.qty = std::string(texts[at++]);
    names.join = std::string(texts[at++]);
    for (std::size_t k = 0; k < byCount; ++k) names.by.emplace_back(texts[at++]);
    names.min_run = static_cast<int>(static_cast<std::int32_t>(numbers[3]));
    std::vector<std::string> headers[2];
    ztxgrp::PartsTableView views[2];
    const std::span<const std::string_view> all(texts);
    for (int side = 0; side < 2; ++side) {
      for (std::size_t k = 0; k < widths[side]; ++k) headers[side].emplace_back(texts[at++]);
      views[side] = {headers[side], all.subspan(at, widths[side] * rows[side]), {}, "row"};
      at += widths[side] * rows[side];
    }
    const ztxgrp::PartsDiff diff =
        ztxgrp::diff_tables(views[0], views[1], names, {"refs", "qty", "by"}, numbers[4] != 0);
    ztxgrp::PartsResult parts;
    parts.table = ztxgrp::diff_table(diff);
    for (const std::string& note : diff.notes)
      parts.warnings.push_back({ztxgrp::PartsWarning::Kind::DifferingCells, note, {}});
    parts.warnings.insert(parts.warnings.end(), diff.warnings.begin(), diff.warnings.end());
    WriteParts(parts);
  });
}

// Two parts-list files compared: the bytes of the table of changes, and
// the notes and warnings as for ztxgrp_parts_file. Options as there, the
// last number `unchanged` instead of expand.
int ztxgrp_diff_files(const char* oldBytes, std::size_t oldSize, const char* newBytes,
                      std::size_t newSize, const char* options, std::size_t optionsSize,
                      const std::uint32_t* lengths, std::size_t count,
                      const std::uint32_t* numbers) {
  return Guarded([&] {
    const ztxgrp::PartsFileOptions file =
        ReadFileOptions(ReadUtf8Texts(options, optionsSize, lengths, count), numbers);
    ztxgrp::PartsDiffFileResult done =
        ztxgrp::diff_parts_files(std::string(oldBytes, oldSize), std::string(newBytes, newSize),
                                 file, {"refs", "qty", "by"}, file.expand);
    std::vector<ztxgrp::PartsWarning> warnings;
    for (const std::string& note : done.diff.notes)
      warnings.push_back({ztxgrp::PartsWarning::Kind::DifferingCells, note, {}});
    warnings.insert(warnings.end(), done.diff.warnings.begin(), done.diff.warnings.end());
    result.meta = {0, 0, static_cast<std::uint32_t>(warnings.size())};
    WriteWarnings(warnings);
    result.bytes = std::move(done.bytes);
  });
}

// A CSV file read as the parts-list reader reads it, for showing: the
// header and the cells of the first `maxRows` rows as texts; meta: the
// width, the rows given, the rows in all. The separator is named by the
// UTF-8 text `separator` (none when `hasSeparator` is 0: from the header line).
int ztxgrp_read_csv(const char* bytes, std::size_t size, const char* separator,
                    std::size_t separatorSize, int hasSeparator, std::uint32_t maxRows) {
  return Guarded([&] {
    std::optional<char> chosen;
    if (hasSeparator != 0)
      chosen = ztxgrp::separator_named(std::string_view(separator, separatorSize));
    const ztxgrp::CsvTable table = ztxgrp::ReadCsv(std::string(bytes, size), chosen);
    const std::size_t rows = std::min<std::size_t>(table.RowCount(), maxRows);
    result.meta = {static_cast<std::uint32_t>(table.header.size()),
                   static_cast<std::uint32_t>(rows), static_cast<std::uint32_t>(table.RowCount())};
    for (const std::string& name : table.header) result.AddUtf8(name);
    for (std::size_t r = 0; r < rows; ++r)
      for (const std::string_view cell : table.Row(r)) result.AddUtf8(cell);
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
