// Writing a sheet as a workbook with libxlsxwriter. libxlsxwriter writes to
// a file: the workbook goes to a file of its own in the temporary folder,
// made exclusively, and is read back and removed. (The WebAssembly module
// has a file system of its own, in memory, for this.)
#include <xlsxwriter.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <system_error>

#include "sheet_writing.hpp"
#include "ztxgrp/memory_errors.hpp"
#include "ztxgrp/parts_list.hpp"
#include "ztxgrp/utf.hpp"
#include "ztxgrp/workbook_file.hpp"

namespace ztxgrp {
namespace {

using workbook::CheckSheetPlace;
using workbook::ColumnWidth;
using workbook::DateParts;
using workbook::DatePartsOf;
using workbook::SheetName;
using workbook::WidthOf;

// A text as a workbook stores it so that it reads back as written: a piece
// that looks like an escape (_x00B5_, which readers turn into the character
// it names) has its underscore escaped (_x005F_x00B5_).
std::string StoredText(std::string_view text) {
  const auto isHex = [](char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
  };
  std::string stored;
  stored.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '_' && i + 6 < text.size() && text[i + 1] == 'x' && isHex(text[i + 2]) &&
        isHex(text[i + 3]) && isHex(text[i + 4]) && isHex(text[i + 5]) && text[i + 6] == '_') {
      stored += "_x005F_";
      continue;
    }
    stored += text[i];
  }
  return stored;
}

// The most characters a cell of a workbook holds.
constexpr std::size_t kMaxCellCharacters = 32767;

// A file of our own in the temporary folder, removed when done.
class ScratchFile {
 public:
  ScratchFile() {
#ifdef __EMSCRIPTEN__
    // The WebAssembly module's files are its own, in its memory: its root
    // will do.
    const std::filesystem::path folder = "/";
#else
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::temp_directory_path(error);
    if (error) throw PartsError("no temporary folder to write the workbook in: " + error.message());
#endif
    std::random_device seed;
    std::mt19937_64 random((static_cast<std::uint64_t>(seed()) << 32) ^ seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
      path_ = folder / ("ztxgrp-" + std::to_string(random()) + ".xlsx");
      // "x": made here, never an existing file followed.
      if (std::FILE* file = std::fopen(path_.string().c_str(), "wbx")) {
        std::fclose(file);
        return;
      }
    }
    throw PartsError("cannot make a file in the temporary folder " + folder.string() +
                     " to write the workbook in");
  }
  ~ScratchFile() {
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
  }
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;

  std::string Name() const {
    return path_.string();
  }
  std::string Folder() const {
    return path_.parent_path().string();
  }
  std::string Bytes() const {
    std::ifstream in(path_, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.good() && !in.eof()) throw PartsError("cannot read back the workbook written");
    return bytes;
  }

 private:
  std::filesystem::path path_;
};

// libxlsxwriter's workbook, closed (and so freed) on every path.
class Book {
 public:
  // `folder`: where libxlsxwriter keeps its own scratch files.
  Book(const std::string& name, std::string folder) : folder_(std::move(folder)) {
    lxw_workbook_options options{};
    options.tmpdir = folder_.data();
    book_ = workbook_new_opt(name.c_str(), &options);
    if (book_ == nullptr) throw std::bad_alloc();
    // The same table gives the same bytes: the workbook's creation time is
    // fixed, as its archive's times are (1980-01-01, the archive's epoch).
    lxw_doc_properties properties{};
    properties.created = 315532800;
    if (workbook_set_properties(book_, &properties) != LXW_NO_ERROR) throw std::bad_alloc();
  }
  ~Book() {
    if (book_ != nullptr) workbook_close(book_);
  }
  Book(const Book&) = delete;
  Book& operator=(const Book&) = delete;
  lxw_workbook* get() const { return book_; }
  void Close() {
    lxw_workbook* book = std::exchange(book_, nullptr);
    const lxw_error error = workbook_close(book);
    if (error == LXW_ERROR_MEMORY_MALLOC_FAILED) throw std::bad_alloc();
    if (error != LXW_NO_ERROR)
      throw PartsError(std::string("cannot write the workbook: ") + lxw_strerror(error));
  }

 private:
  std::string folder_;
  lxw_workbook* book_ = nullptr;
};

void Check(lxw_error error, std::size_t row) {
  if (error == LXW_NO_ERROR) return;
  if (error == LXW_ERROR_MEMORY_MALLOC_FAILED) throw std::bad_alloc();
  throw PartsError(std::string("cannot write the workbook: ") + lxw_strerror(error), row, "row");
}

// The sheets as an Office Open XML workbook (.xlsx).
std::string WriteOfficeOpenXml(std::span<const WorkbookSheet> sheets) {
  return WithMemoryErrorsNumbered([&] {
    ScratchFile file;
    Book book(file.Name(), file.Folder());
    lxw_format* bold = workbook_add_format(book.get());
    if (bold == nullptr) throw std::bad_alloc();
    format_set_bold(bold);
    // Dates, times and both, shown as the reader shows them.
    std::map<int, lxw_format*> dateFormats;
    auto dateFormat = [&](const DateParts& date) -> lxw_format* {
      const int which = (date.date ? 1 : 0) + (date.time ? 2 : 0);
      auto [at, added] = dateFormats.emplace(which, nullptr);
      if (added) {
        at->second = workbook_add_format(book.get());
        if (at->second == nullptr) throw std::bad_alloc();
        format_set_num_format(at->second, which == 1   ? "yyyy-mm-dd"
                                          : which == 2 ? "hh:mm:ss"
                                                       : "yyyy-mm-dd hh:mm:ss");
      }
      return at->second;
    };
    std::map<std::uint32_t, lxw_format*> fills;
    auto fillOf = [&](std::uint32_t colour) -> lxw_format* {
      if (colour == 0) return nullptr;
      auto [at, added] = fills.emplace(colour, nullptr);
      if (added) {
        at->second = workbook_add_format(book.get());
        if (at->second == nullptr) throw std::bad_alloc();
        format_set_pattern(at->second, LXW_PATTERN_SOLID);
        format_set_bg_color(at->second, colour);
      }
      return at->second;
    };
    for (const WorkbookSheet& sheet : sheets) {
      lxw_worksheet* out = workbook_add_worksheet(book.get(), SheetName(sheet.name).c_str());
      if (out == nullptr) throw PartsError("cannot write the workbook: the sheet cannot be made");

      std::vector<double> widths(sheet.header.size(), 0);
      auto write = [&](std::size_t row, std::size_t column, std::string_view text,
                       const std::optional<std::string>& number, lxw_format* format,
                       CellKind kind = CellKind::Text) {
        CheckSheetPlace(row, column);
        if (column < widths.size()) widths[column] = std::max(widths[column], WidthOf(text));
        const auto r = static_cast<lxw_row_t>(row);
        const auto c = static_cast<lxw_col_t>(column);
        const std::optional<DateParts> date =
            kind == CellKind::Date ? DatePartsOf(text) : std::nullopt;
        if (date) {
          lxw_datetime when{date->year, date->month,  date->day,
                            date->hour, date->minute, static_cast<double>(date->second)};
          if (!date->date) when.year = when.month = when.day = 0;
          Check(worksheet_write_datetime(out, r, c, &when, dateFormat(*date)), row + 1);
        } else if (kind == CellKind::Boolean && (text == "TRUE" || text == "FALSE")) {
          Check(worksheet_write_boolean(out, r, c, text == "TRUE", format), row + 1);
        } else if (number) {
          Check(worksheet_write_number(out, r, c, std::strtod(number->c_str(), nullptr), format),
                row + 1);
        } else if (!text.empty()) {
          if (Utf16Length(text) > kMaxCellCharacters)
            throw PartsError("a cell holds more than " + std::to_string(kMaxCellCharacters) +
                                 " characters, the most a workbook's cell holds; write CSV instead",
                             row + 1, "row");
          Check(worksheet_write_string(out, r, c, StoredText(text).c_str(), format), row + 1);
        } else if (format != nullptr) {
          Check(worksheet_write_blank(out, r, c, format), row + 1);
        }
      };

      // Rows kept as they came (above the header, below the table): row n
      // at `first` + n - 1.
      const auto writeKept = [&](const std::vector<WorkbookTitleRow>& rows, std::size_t first) {
        for (const WorkbookTitleRow& kept : rows)
          for (std::size_t c = 0; c < kept.cells.size(); ++c) {
            const WorkbookCell& cell = kept.cells[c];
            write(first + kept.row - 1, c, cell.text,
                  cell.number.empty() ? std::nullopt : std::optional<std::string>(cell.number),
                  nullptr, cell.kind);
          }
      };
      writeKept(sheet.title, 0);
      const std::size_t headerAt = sheet.header_row - 1;
      for (std::size_t c = 0; c < sheet.header.size(); ++c)
        write(headerAt, c, sheet.header[c], std::nullopt, bold);
      for (std::size_t r = 0; r < sheet.rows.size(); ++r) {
        lxw_format* fill = r < sheet.fills.size() ? fillOf(sheet.fills[r]) : nullptr;
        const std::vector<std::string>& row = sheet.rows[r];
        for (std::size_t c = 0; c < row.size(); ++c)
          write(headerAt + 1 + r, c, row[c],
                sheet.number ? sheet.number(r, c, row[c]) : std::nullopt, fill,
                sheet.kind ? sheet.kind(r, c, row[c]) : CellKind::Text);
      }
      writeKept(sheet.below, headerAt + sheet.rows.size() + 1);
      if (!sheet.header.empty()) {
        worksheet_freeze_panes(out, static_cast<lxw_row_t>(headerAt + 1), 0);
        Check(worksheet_autofilter(out, static_cast<lxw_row_t>(headerAt), 0,
                                   static_cast<lxw_row_t>(headerAt + sheet.rows.size()),
                                   static_cast<lxw_col_t>(sheet.header.size() - 1)),
              0);
      }
      for (std::size_t c = 0; c < widths.size(); ++c)
        Check(worksheet_set_column(out, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c),
                                   ColumnWidth(widths[c]), nullptr),
              0);
    }
    book.Close();
    return file.Bytes();
  });
}

}  // namespace

std::string write_workbook(const WorkbookSheet& sheet, SpreadsheetForm form) {
  return write_workbook(std::span<const WorkbookSheet>(&sheet, 1), form);
}

std::string write_workbook(std::span<const WorkbookSheet> sheets, SpreadsheetForm form) {
  if (form == SpreadsheetForm::OpenDocument)
    return WithMemoryErrorsNumbered([&] { return workbook::WriteOpenDocument(sheets); });
  return WriteOfficeOpenXml(sheets);
}

}  // namespace ztxgrp
