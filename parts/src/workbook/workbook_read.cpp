// Reading one worksheet of a workbook: the package's relationships lead
// from the archive to the workbook, its sheets, shared strings and styles;
// the sheet is read as a stream, its cells kept as texts in two blocks.
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>

#include "cell_text.hpp"
#include "xml_stream.hpp"
#include "zip_entries.hpp"
#include "ztxgrp/parts_list.hpp"
#include "ztxgrp/quoted.hpp"
#include "ztxgrp/workbook_file.hpp"

namespace ztxgrp {
namespace workbook {
namespace {

// Reads a part through `handler`; a missing part is an error only when
// `required`.
bool ParsePart(ZipEntries& zip, const std::string& name, XmlHandler& handler, bool required) {
  if (!required && !zip.Has(name)) return false;
  XmlStream stream(name, handler);
  zip.Read(name, [&](std::string_view piece) { stream.Feed(piece); });
  stream.Finish();
  return true;
}

// Relationships: their ids, types and targets resolved against the folder
// of the part they belong to.
struct Relationship {
  std::string id, type, target;
};

std::string Resolved(const std::string& folder, std::string_view target) {
  if (!target.empty() && target.front() == '/') return std::string(target.substr(1));
  std::string path = folder;
  while (!target.empty()) {
    const std::size_t slash = target.find('/');
    const std::string_view step = target.substr(0, slash);
    if (step == "..") {
      if (!path.empty()) path.pop_back();
      const std::size_t previous = path.rfind('/');
      path.erase(previous == std::string::npos ? 0 : previous + 1);
    } else if (step != "." && !step.empty()) {
      path.append(step);
      if (slash != std::string_view::npos) path += '/';
    }
    if (slash == std::string_view::npos) break;
    target.remove_prefix(slash + 1);
  }
  return path;
}

class RelationshipsReader final : public XmlHandler {
 public:
  explicit RelationshipsReader(std::string folder) : folder_(std::move(folder)) {}
  void Start(std::string_view name, const char** attributes) override {
    if (name != "Relationship") return;
    const char* id = Attribute(attributes, "Id");
    const char* type = Attribute(attributes, "Type");
    const char* target = Attribute(attributes, "Target");
    const char* mode = Attribute(attributes, "TargetMode");
    if (id == nullptr || type == nullptr || target == nullptr) return;
    if (mode != nullptr && std::string_view(mode) == "External") return;
    found.push_back({id, type, Resolved(folder_, target)});
  }

  const Relationship* OfType(std::string_view suffix) const {
    for (const Relationship& r : found)
      if (r.type.size() >= suffix.size() && r.type.ends_with(suffix)) return &r;
    return nullptr;
  }
  const Relationship* WithId(std::string_view id) const {
    for (const Relationship& r : found)
      if (r.id == id) return &r;
    return nullptr;
  }

  std::vector<Relationship> found;

 private:
  std::string folder_;
};

std::string FolderOf(const std::string& part) {
  const std::size_t slash = part.rfind('/');
  return slash == std::string::npos ? std::string() : part.substr(0, slash + 1);
}

std::string RelationshipsOf(const std::string& part) {
  const std::size_t slash = part.rfind('/');
  const std::size_t start = slash == std::string::npos ? 0 : slash + 1;
  return part.substr(0, start) + "_rels/" + part.substr(start) + ".rels";
}

struct SheetEntry {
  std::string name, relationship;
};

class WorkbookReader final : public XmlHandler {
 public:
  void Start(std::string_view name, const char** attributes) override {
    if (name == "sheet") {
      const char* sheet = Attribute(attributes, "name");
      const char* id = Attribute(attributes, "id");
      sheets.push_back({sheet != nullptr ? sheet : "", id != nullptr ? id : ""});
    } else if (name == "workbookPr") {
      const char* system = Attribute(attributes, "date1904");
      epoch1904 = system != nullptr &&
                  (std::string_view(system) == "1" || std::string_view(system) == "true");
    }
  }

  std::vector<SheetEntry> sheets;
  bool epoch1904 = false;
};

// A string item's text: its <t> elements, phonetic runs (<rPh>) left out.
class StringText {
 public:
  void Start(std::string_view name) {
    if (name == "rPh") ++phonetic_;
    if (name == "t" && phonetic_ == 0) inText_ = true;
  }
  void End(std::string_view name) {
    if (name == "rPh" && phonetic_ > 0) --phonetic_;
    if (name == "t") inText_ = false;
  }
  void Text(std::string_view text, std::string& into) const {
    if (inText_) into.append(text);
  }

 private:
  int phonetic_ = 0;
  bool inText_ = false;
};

class SharedStringsReader final : public XmlHandler {
 public:
  void Start(std::string_view name, const char**) override {
    if (name == "si") {
      inItem_ = true;
      current_.clear();
    } else if (inItem_) {
      text_.Start(name);
    }
  }
  void End(std::string_view name) override {
    if (name == "si" && inItem_) {
      inItem_ = false;
      UndoEscapes(current_);
      spans.push_back({text.size(), current_.size()});
      text += current_;
    } else if (inItem_) {
      text_.End(name);
    }
  }
  void Text(std::string_view piece) override {
    if (inItem_) text_.Text(piece, current_);
  }

  std::string text;
  std::vector<std::pair<std::size_t, std::size_t>> spans;

 private:
  bool inItem_ = false;
  std::string current_;
  StringText text_;
};

class StylesReader final : public XmlHandler {
 public:
  void Start(std::string_view name, const char** attributes) override {
    if (name == "numFmt") {
      const char* id = Attribute(attributes, "numFmtId");
      const char* code = Attribute(attributes, "formatCode");
      if (id != nullptr && code != nullptr) codes_.emplace_back(std::atoi(id), code);
    } else if (name == "cellXfs") {
      inCellFormats_ = true;
    } else if (name == "xf" && inCellFormats_) {
      const char* id = Attribute(attributes, "numFmtId");
      formatIds_.push_back(id != nullptr ? std::atoi(id) : 0);
    }
  }
  void End(std::string_view name) override {
    if (name == "cellXfs") inCellFormats_ = false;
  }

  // What each cell format (a cell's `s`) shows.
  std::vector<FormatKind> Kinds() const {
    std::vector<FormatKind> kinds;
    kinds.reserve(formatIds_.size());
    for (int id : formatIds_) {
      std::string_view code;
      for (const auto& [codeId, text] : codes_)
        if (codeId == id) code = text;
      kinds.push_back(KindOfFormat(id, code));
    }
    return kinds;
  }

 private:
  bool inCellFormats_ = false;
  std::vector<std::pair<int, std::string>> codes_;
  std::vector<int> formatIds_;
};

// A cell's place in the sheet, 1-based. False when the reference is no
// cell reference.
bool ParseReference(std::string_view reference, std::uint32_t& row, std::uint32_t& column) {
  std::size_t i = 0;
  std::uint64_t col = 0;
  while (i < reference.size() && i < 4 && reference[i] >= 'A' && reference[i] <= 'Z')
    col = col * 26 + static_cast<std::uint64_t>(reference[i++] - 'A' + 1);
  std::uint64_t number = 0;
  const std::size_t digits = i;
  while (i < reference.size() && i - digits < 8 && reference[i] >= '0' && reference[i] <= '9')
    number = number * 10 + static_cast<std::uint64_t>(reference[i++] - '0');
  if (col == 0 || i == digits || i != reference.size()) return false;
  row = static_cast<std::uint32_t>(std::min<std::uint64_t>(number, UINT32_MAX));
  column = static_cast<std::uint32_t>(col);
  return true;
}

std::string ColumnName(std::uint32_t column) {
  std::string name;
  for (; column > 0; column = (column - 1) / 26)
    name.insert(name.begin(), static_cast<char>('A' + (column - 1) % 26));
  return name;
}

// A cell as read: its place and where its text is.
struct CellRecord {
  std::uint32_t row, column;
  bool shared;        // text in the shared strings, else in the sheet's own block
  bool number;        // a number: its stored text follows its shown text
  std::size_t start;  // in its block
  std::size_t length;
  std::size_t storedLength;  // numbers: the stored text, after the shown one
};

class SheetReader final : public XmlHandler {
 public:
  SheetReader(const std::string& part, const SharedStringsReader& strings,
              std::vector<FormatKind> kinds, bool epoch1904)
      : part_(part), strings_(strings), kinds_(std::move(kinds)), epoch1904_(epoch1904) {}

  void Start(std::string_view name, const char** attributes) override {
    if (name == "row") {
      const char* r = Attribute(attributes, "r");
      std::uint32_t number = row_ + 1;
      if (r != nullptr) {
        std::uint64_t value = 0;
        const auto [end, error] = std::from_chars(r, r + std::strlen(r), value);
        if (error != std::errc() || *end != '\0' || value == 0) Damaged("a row number", r);
        number = static_cast<std::uint32_t>(std::min<std::uint64_t>(value, UINT32_MAX));
      }
      if (number > kMaxSheetRows) Beyond(std::to_string(number) + " rows");
      row_ = number;
      column_ = 0;
    } else if (name == "c") {
      inCell_ = true;
      const char* r = Attribute(attributes, "r");
      std::uint32_t row = row_ == 0 ? 1 : row_, column = column_ + 1;
      if (r != nullptr && !ParseReference(r, row, column)) Damaged("a cell reference", r);
      if (column > kMaxSheetColumns) Beyond("a cell in column " + std::to_string(column));
      if (row > kMaxSheetRows) Beyond(std::to_string(row) + " rows");
      cellRow_ = row;
      column_ = column;
      const char* type = Attribute(attributes, "t");
      type_ = type != nullptr ? type : "n";
      const char* style = Attribute(attributes, "s");
      style_ = style != nullptr ? static_cast<std::size_t>(std::strtoull(style, nullptr, 10)) : 0;
      value_.clear();
      hasValue_ = hasFormula_ = inValue_ = inInline_ = false;
    } else if (inCell_) {
      if (name == "v") {
        inValue_ = hasValue_ = true;
      } else if (name == "f") {
        hasFormula_ = true;
      } else if (name == "is") {
        inInline_ = hasValue_ = true;
      } else if (inInline_) {
        inline_.Start(name);
      }
    }
  }

  void End(std::string_view name) override {
    if (name == "c" && inCell_) {
      inCell_ = false;
      Keep();
    } else if (name == "v") {
      inValue_ = false;
    } else if (name == "is") {
      inInline_ = false;
    } else if (inInline_) {
      inline_.End(name);
    }
  }

  void Text(std::string_view text) override {
    if (inValue_) {
      value_.append(text);
    } else if (inInline_) {
      inline_.Text(text, value_);
    }
    if (value_.size() > kMaxWorkbookPartBytes) Beyond("a cell that long");
  }

  std::vector<CellRecord> cells;
  std::string text;  // the sheet's own texts
  std::vector<std::size_t> formulasWithoutValue;

 private:
  [[noreturn]] void Damaged(const char* what, std::string_view found) const {
    throw PartsError("the workbook's part " + part_ + " is damaged: " + what + " " + Quoted(found));
  }
  [[noreturn]] void Beyond(const std::string& what) const {
    throw PartsError("the sheet holds " + what + ", beyond the limits (" +
                     std::to_string(kMaxSheetRows) + " rows, " + std::to_string(kMaxSheetColumns) +
                     " columns, " + std::to_string(kMaxSheetCells) + " cells)");
  }

  void KeepOwn(std::string_view shown, std::string_view stored = {}, bool number = false) {
    cells.push_back({cellRow_, column_, false, number, text.size(), shown.size(), stored.size()});
    text.append(shown);
    text.append(stored);
  }

  void Keep() {
    if (cells.size() >= kMaxSheetCells) Beyond("more cells");
    // A formula's value as saved; a formula saved without one (an empty
    // value but for a formula of text) is read as an empty cell.
    if (!hasValue_ || (hasFormula_ && value_.empty() && type_ != "str")) {
      if (hasFormula_) formulasWithoutValue.push_back(cellRow_);
      return;  // an empty cell (formatting only)
    }
    if (type_ == "s") {
      std::uint64_t index = 0;
      const auto [end, error] =
          std::from_chars(value_.data(), value_.data() + value_.size(), index);
      if (error != std::errc() || end != value_.data() + value_.size() ||
          index >= strings_.spans.size())
        Damaged("a shared string's number", value_);
      const auto [start, length] = strings_.spans[static_cast<std::size_t>(index)];
      cells.push_back({cellRow_, column_, true, false, start, length, 0});
    } else if (type_ == "inlineStr") {
      UndoEscapes(value_);
      KeepOwn(value_);
    } else if (type_ == "b") {
      KeepOwn(value_ == "1" || value_ == "true" ? "TRUE" : "FALSE");
    } else if (type_ == "str" || type_ == "e" || type_ == "d") {
      if (type_ == "str") UndoEscapes(value_);
      KeepOwn(value_);
    } else {
      const FormatKind kind = style_ < kinds_.size() ? kinds_[style_] : FormatKind::Number;
      std::string shown =
          kind == FormatKind::Number ? std::string() : SerialDateText(value_, kind, epoch1904_);
      if (!shown.empty()) {
        KeepOwn(shown);
        return;
      }
      shown = GeneralNumber(value_);
      if (shown.empty()) {
        KeepOwn(value_);  // not a number after all: its text
      } else {
        KeepOwn(shown, value_, true);
      }
    }
  }

  const std::string& part_;
  const SharedStringsReader& strings_;
  std::vector<FormatKind> kinds_;
  bool epoch1904_;
  std::uint32_t row_ = 0, column_ = 0, cellRow_ = 0;
  bool inCell_ = false, inValue_ = false, inInline_ = false, hasValue_ = false, hasFormula_ = false;
  std::string type_, value_;
  std::size_t style_ = 0;
  StringText inline_;
};

}  // namespace
}  // namespace workbook

std::string number_text(double value) {
  char stored[40];
  std::snprintf(stored, sizeof stored, "%.17g", value);
  return workbook::GeneralNumber(stored);
}

bool is_workbook(std::string_view bytes) noexcept {
  return bytes.size() >= 4 && bytes.substr(0, 4) == std::string_view("PK\x03\x04", 4);
}

const std::string_view* WorkbookTable::NumberOf(std::size_t column, std::string_view text) const {
  if (column >= numbers.size()) return nullptr;
  const auto found = numbers[column].find(text);
  return found == numbers[column].end() ? nullptr : &found->second;
}

WorkbookTable read_workbook(std::string_view bytes, const std::optional<std::string>& sheet,
                            const CsvHeaderChoice& header) {
  using namespace workbook;
  ZipEntries zip(bytes);
  std::string book = "xl/workbook.xml";
  {
    RelationshipsReader package("");
    if (ParsePart(zip, "_rels/.rels", package, false))
      if (const Relationship* office = package.OfType("/officeDocument")) book = office->target;
  }
  WorkbookReader contents;
  ParsePart(zip, book, contents, true);
  RelationshipsReader parts(FolderOf(book));
  ParsePart(zip, RelationshipsOf(book), parts, true);

  WorkbookTable table;
  for (const SheetEntry& entry : contents.sheets) table.sheets.push_back(entry.name);
  const SheetEntry* chosen = nullptr;
  for (const SheetEntry& entry : contents.sheets)
    if (!sheet || entry.name == *sheet) {
      chosen = &entry;
      break;
    }
  if (chosen == nullptr) {
    std::string names;
    for (const std::string& name : table.sheets)
      names += (names.empty() ? "" : ", ") + Quoted(name);
    if (!sheet) throw PartsError("the workbook has no worksheet");
    throw PartsError("the workbook has no sheet named " + Quoted(*sheet) + "; its sheets are " +
                     names);
  }
  table.sheet = chosen->name;
  const Relationship* target = parts.WithId(chosen->relationship);
  if (target == nullptr || !target->type.ends_with("/worksheet"))
    throw PartsError("the sheet " + Quoted(chosen->name) +
                     " is no worksheet (a chart sheet or a damaged workbook)");

  SharedStringsReader strings;
  if (const Relationship* r = parts.OfType("/sharedStrings"))
    ParsePart(zip, r->target, strings, true);
  StylesReader styles;
  if (const Relationship* r = parts.OfType("/styles")) ParsePart(zip, r->target, styles, true);
  SheetReader reader(target->target, strings, styles.Kinds(), contents.epoch1904);
  ParsePart(zip, target->target, reader, true);

  // Cells in the sheet's order; one place written twice is damage.
  std::vector<CellRecord>& cells = reader.cells;
  std::stable_sort(cells.begin(), cells.end(), [](const CellRecord& a, const CellRecord& b) {
    return a.row != b.row ? a.row < b.row : a.column < b.column;
  });
  for (std::size_t i = 1; i < cells.size(); ++i)
    if (cells[i].row == cells[i - 1].row && cells[i].column == cells[i - 1].column)
      throw PartsError("the workbook's part " + target->target + " is damaged: the cell " +
                       ColumnName(cells[i].column) + std::to_string(cells[i].row) +
                       " is written twice");
  table.formulas_without_value = std::move(reader.formulasWithoutValue);
  auto shared = std::make_unique<const std::string>(std::move(strings.text));
  auto own = std::make_unique<const std::string>(std::move(reader.text));
  auto shown = [&](const CellRecord& cell) {
    return std::string_view(cell.shared ? *shared : *own).substr(cell.start, cell.length);
  };
  auto stored = [&](const CellRecord& cell) {
    return std::string_view(*own).substr(cell.start + cell.length, cell.storedLength);
  };

  // The rows that hold text: [first cell, end) of each.
  struct RowSpan {
    std::uint32_t row;
    std::size_t begin, end;
  };
  std::vector<RowSpan> rows;
  for (std::size_t i = 0; i < cells.size();) {
    std::size_t end = i;
    bool any = false;
    while (end < cells.size() && cells[end].row == cells[i].row)
      any |= !shown(cells[end++]).empty();
    if (any) rows.push_back({cells[i].row, i, end});
    i = end;
  }
  auto texts = [&](const RowSpan& span) {
    std::vector<std::string> fields(cells[span.end - 1].column);
    for (std::size_t k = span.begin; k < span.end; ++k)
      fields[cells[k].column - 1] = std::string(shown(cells[k]));
    while (!fields.empty() && fields.back().empty()) fields.pop_back();
    return fields;
  };

  std::size_t headerAt = rows.size();
  if (header.record) {
    for (std::size_t r = 0; r < rows.size(); ++r)
      if (rows[r].row == *header.record) headerAt = r;
    if (headerAt == rows.size())
      throw PartsError("the header row " + std::to_string(*header.record) +
                       " is not in the sheet " + Quoted(table.sheet) +
                       "; it is empty or beyond its last row");
  } else {
    for (std::size_t r = 0; r < rows.size() && r <= kMaxTitleRows && headerAt == rows.size(); ++r)
      if (header.names && header.names(texts(rows[r]))) headerAt = r;
    if (headerAt == rows.size()) headerAt = 0;
  }
  if (rows.empty()) throw PartsError("the sheet " + Quoted(table.sheet) + " is empty");

  for (std::size_t r = 0; r < headerAt; ++r) {
    WorkbookTitleRow title{rows[r].row, {}};
    title.cells.resize(cells[rows[r].end - 1].column);
    for (std::size_t k = rows[r].begin; k < rows[r].end; ++k)
      title.cells[cells[k].column - 1] = {std::string(shown(cells[k])),
                                          cells[k].number ? std::string(stored(cells[k])) : ""};
    table.title.push_back(std::move(title));
  }
  table.header_row = rows[headerAt].row;
  table.header = texts(rows[headerAt]);
  const std::size_t width = table.header.size();
  const std::size_t bodyRows = rows.size() - headerAt - 1;
  if (width != 0 && bodyRows > kMaxSheetCells / width)
    throw PartsError("the sheet " + Quoted(table.sheet) + " holds " + std::to_string(bodyRows) +
                     " rows of " + std::to_string(width) + " columns, more than " +
                     std::to_string(kMaxSheetCells) + " cells");
  table.cells.reserve(bodyRows * width);
  table.rows.reserve(bodyRows);
  table.numbers.resize(width);
  for (std::size_t r = headerAt + 1; r < rows.size(); ++r) {
    const std::size_t start = table.cells.size();
    table.cells.resize(start + width);
    for (std::size_t k = rows[r].begin; k < rows[r].end; ++k) {
      const CellRecord& cell = cells[k];
      const std::string_view text = shown(cell);
      if (cell.column > width) {
        if (text.empty()) continue;
        throw PartsError("the cell " + ColumnName(cell.column) + std::to_string(cell.row) +
                             " is beyond the header's " + std::to_string(width) + " columns",
                         cell.row, "row");
      }
      table.cells[start + cell.column - 1] = text;
      if (cell.number) table.numbers[cell.column - 1].emplace(text, stored(cell));
    }
    table.rows.push_back(rows[r].row);
  }
  table.shared_text = std::move(shared);
  table.own_text = std::move(own);
  return table;
}

}  // namespace ztxgrp
