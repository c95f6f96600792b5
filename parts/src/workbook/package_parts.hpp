// The package of a workbook: its parts read as XML from the archive, the
// relationships that lead from one part to the next (the workbook, its
// sheets, shared strings and styles), and the readers of those parts.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cell_text.hpp"
#include "xml_stream.hpp"
#include "zip_entries.hpp"
#include "ztxgrp/workbook_file.hpp"

namespace ztxgrp::workbook {

// Reads a part through `handler`; a missing part is an error only when
// `required`: false when it is missing.
bool ParsePart(ZipEntries& zip, const std::string& name, XmlHandler& handler, bool required);

// A relationship's target resolved against `folder`, the folder of the part
// it belongs to ("../" steps taken, "/" from the package's root).
std::string Resolved(const std::string& folder, std::string_view target);

// The folder of a part ("xl/"), and the part that holds its relationships
// ("xl/_rels/workbook.xml.rels").
std::string FolderOf(const std::string& part);
std::string RelationshipsOf(const std::string& part);

// Relationships: their ids, types and targets resolved against the folder
// of the part they belong to.
struct Relationship {
  std::string id, type, target;
};

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
  bool Taking() const noexcept { return inText_; }

 private:
  int phonetic_ = 0;
  bool inText_ = false;
};

// Text gathered from a part, in one block grown by doubling up to the most
// a part expands to and no further, so that a part at the limit never
// costs twice the limit (a std::string may round a reservation up to twice
// its size).
class TextBlock {
 public:
  void Append(std::string_view piece) {
    if (piece.size() > bytes_.capacity() - bytes_.size()) {
      // Past half the limit, straight to the limit: no block just short of
      // it is ever copied into one at it.
      constexpr std::size_t kMost = kMaxWorkbookPartBytes;
      const std::size_t doubled = 2 * bytes_.capacity() > kMost / 2 ? kMost : 2 * bytes_.capacity();
      bytes_.reserve(std::max(bytes_.size() + piece.size(), doubled));
    }
    bytes_.insert(bytes_.end(), piece.begin(), piece.end());
  }
  void Truncate(std::size_t size) { bytes_.resize(size); }
  std::size_t Size() const noexcept { return bytes_.size(); }
  std::string_view View() const noexcept { return {bytes_.data(), bytes_.size()}; }

 private:
  std::vector<char> bytes_;
};

class SharedStringsReader final : public XmlHandler {
 public:
  void Start(std::string_view name, const char**) override {
    if (name == "si") {
      inItem_ = true;
      itemStart_ = text.Size();
    } else if (inItem_) {
      text_.Start(name);
    }
  }
  void End(std::string_view name) override {
    if (name == "si" && inItem_) {
      inItem_ = false;
      // Each item's text goes into the block as it is read; escapes, where
      // it has any, are undone in a copy of it alone.
      const std::string_view item = text.View().substr(itemStart_);
      if (item.find("_x") != std::string_view::npos) {
        std::string undone(item);
        UndoEscapes(undone);
        text.Truncate(itemStart_);
        text.Append(undone);
      }
      spans.push_back({itemStart_, text.Size() - itemStart_});
    } else if (inItem_) {
      text_.End(name);
    }
  }
  void Text(std::string_view piece) override {
    if (inItem_ && text_.Taking()) text.Append(piece);
  }

  TextBlock text;
  std::vector<std::pair<std::size_t, std::size_t>> spans;

 private:
  bool inItem_ = false;
  std::size_t itemStart_ = 0;
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

}  // namespace ztxgrp::workbook
