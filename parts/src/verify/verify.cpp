// A parts list checked against its placement files: what one has and the
// other lacks, letter case, repeats, quantities, do-not-place marks and
// cells that disagree, each finding with its designators grouped and the
// lines where it was found.
#include <algorithm>
#include <cstring>
#include <deque>
#include <map>
#include <optional>
#include <tuple>
#include <unordered_map>
#include <utility>

#include "../duplicates.hpp"
#include "../list_file.hpp"
#include "../ordered.hpp"
#include "../parts_job.hpp"
#include "placement.hpp"
#include "ztxgrp/memory_errors.hpp"
#include "ztxgrp/parts_verify.hpp"
#include "ztxgrp/quoted.hpp"
#include "ztxgrp/utf.hpp"

namespace ztxgrp {
namespace {

using parts_detail::Designator;
using parts_detail::FirstNamed;
using parts_detail::Job;
using parts_detail::Lowered;
using parts_detail::Ordered;
using parts_detail::Placed;
using parts_detail::Placement;
using parts_detail::Quantity;
using parts_detail::Trimmed;

// A shell-style pattern: * any text, ? one character, [...] one of a set
// ([!...] none of it, a-z a span). Characters are bytes: designators'
// patterns are ASCII. Linear backtracking on the last *.
bool Matches(std::string_view pattern, std::string_view text) {
  std::size_t p = 0, t = 0, starP = std::string_view::npos, starT = 0;
  const auto oneMatches = [&](std::size_t& at, char c) {
    if (pattern[at] == '?') {
      ++at;
      return true;
    }
    if (pattern[at] == '[') {
      std::size_t k = at + 1;
      const bool negated = k < pattern.size() && (pattern[k] == '!' || pattern[k] == '^');
      if (negated) ++k;
      bool found = false;
      const std::size_t first = k;
      for (; k < pattern.size() && (pattern[k] != ']' || k == first); ++k) {
        if (k + 2 < pattern.size() && pattern[k + 1] == '-' && pattern[k + 2] != ']') {
          found = found || (c >= pattern[k] && c <= pattern[k + 2]);
          k += 2;
        } else {
          found = found || c == pattern[k];
        }
      }
      if (k >= pattern.size()) {  // no closing bracket: a plain '['
        if (c != '[') return false;
        ++at;
        return true;
      }
      at = k + 1;
      return found != negated;
    }
    if (pattern[at] != c) return false;
    ++at;
    return true;
  };
  while (t < text.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starT = t;
      continue;
    }
    std::size_t next = p;
    if (p < pattern.size() && oneMatches(next, text[t])) {
      p = next;
      ++t;
      continue;
    }
    if (starP == std::string_view::npos) return false;
    p = starP + 1;
    t = ++starT;
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

// A cell that says a part is not to be placed.
bool SaysDoNotPlace(std::string_view cell) {
  cell = Trimmed(cell);
  // Most cells are values: none of the words begins otherwise.
  if (cell.size() < 2 || cell.size() > 15 || !std::strchr("dDnN", cell.front())) return false;
  const std::string value = Lowered(cell);
  return value == "dnp" || value == "dnf" || value == "nf" || value == "do not fit" ||
         value == "do not place" || value == "do not populate" || value == "not fitted" ||
         value == "no fit" || value == "no pop";
}

// A footprint by its name after the library ("Lib:C_0805" is "C_0805"):
// KiCad's placement files leave the library out.
std::string_view FootprintName(std::string_view footprint) {
  const std::size_t colon = footprint.rfind(':');
  return colon == std::string_view::npos ? footprint : footprint.substr(colon + 1);
}

// A placement file's value as its program changed it: KiCad writes a blank
// of a value as '_'.
bool ValuesAgree(std::string_view listed, std::string_view placed, PlacementFormat format) {
  if (listed == placed) return true;
  if (format != PlacementFormat::KicadPos && format != PlacementFormat::KicadCsv) return false;
  if (listed.size() != placed.size()) return false;
  for (std::size_t k = 0; k < listed.size(); ++k)
    if (listed[k] != placed[k] && !(listed[k] == ' ' && placed[k] == '_')) return false;
  return true;
}

struct ListRow {
  std::size_t begin = 0, end = 0;  // its designators in `all`
  Quantity quantity;
  bool doNotPlace = false;
  std::size_t line = 0;
};

struct PlacedFile {
  std::string name;
  Placement placement;
  std::size_t first = 0;  // its rows' index among every placed designator
};

class Verifier {
 public:
  Verifier(const PartsTableView& view, std::string_view bomName, std::vector<PlacedFile> files,
           const PartsOptions& options)
      : options_(options),
        bomName_(bomName),
        columns_(choose_columns(view.header, options)),
        job_(view, columns_, false, nullptr),
        files_(std::move(files)) {
    ReadList(view);
    ReadPlaced();
  }

  VerifyResult Run(std::vector<PartsWarning> fileWarnings) && {
    RowFindings();
    RepeatFindings();
    MatchFindings();
    // By kind, then by first designator in the engine's order; findings
    // without designators after those of their kind.
    std::stable_sort(found_.begin(), found_.end(), [](const Found& a, const Found& b) {
      if (a.finding.kind != b.finding.kind) return a.finding.kind < b.finding.kind;
      if (!a.first || !b.first) return a.first && !b.first;
      if (a.first->prefix() != b.first->prefix())
        return Utf16OrderLess(a.first->prefix(), b.first->prefix());
      return a.first->number < b.first->number;
    });
    VerifyResult result;
    for (Found& found : found_) result.findings.push_back(std::move(found.finding));
    PartsResult read = std::move(job_).Result();
    result.notes = std::move(read.notes);
    result.notes.insert(result.notes.end(), notes_.begin(), notes_.end());
    result.warnings = std::move(fileWarnings);
    for (PartsWarning& warning : read.warnings)
      if (warning.kind != PartsWarning::Kind::DuplicateDesignator)
        result.warnings.push_back(std::move(warning));
    return result;
  }

 private:
  struct Found {
    VerifyFinding finding;
    const Designator* first = nullptr;
  };

  void ReadList(const PartsTableView& view) {
    const auto value = FirstNamed(view.header, {"value", "val", "comment"});
    const auto footprint = FirstNamed(view.header, {"footprint", "package"});
    listValue_ = value;
    listFootprint_ = footprint;
    if (value) listValueName_ = view.header[*value];
    if (footprint) listFootprintName_ = view.header[*footprint];
    const auto notPlaced = FirstNamed(
        view.header, {"dnp", "dnf", "donotplace", "donotpopulate", "donotfit", "notfitted", "nofit",
                      "nopop", "nopopulate", "exclude", "excluded"});
    const auto placed = FirstNamed(view.header, {"populate", "fitted", "fit", "place", "mount",
                                                 "mounted", "assemble", "assembled"});
    std::vector<std::pair<std::size_t, Quantity>> counted(job_.Rows());
    rows_.resize(job_.Rows());
    for (std::size_t r = 0; r < job_.Rows(); ++r) {
      ListRow& row = rows_[r];
      row.begin = all_.size();
      job_.Read(r, all_);
      row.end = all_.size();
      row.line = job_.RowNumber(r);
      row.quantity = job_.QuantityOf(r);
      counted[r] = {row.end - row.begin, row.quantity};
      const auto cell = [&](std::optional<std::size_t> column) {
        return column ? job_.Cell(r, *column) : std::string_view();
      };
      row.doNotPlace = (notPlaced && parts_detail::SaysYes(cell(notPlaced))) ||
                       (placed && parts_detail::SaysNo(cell(placed))) ||
                       SaysDoNotPlace(cell(value)) || SaysDoNotPlace(cell(columns_.qty)) ||
                       (row.quantity.kind == Quantity::Whole && row.quantity.value == 0);
    }
    boards_ = job_.Boards(counted, true);
  }

  // Every placed designator by its text; read as the engine reads it only
  // when a finding names it (Reading).
  void ReadPlaced() {
    for (PlacedFile& file : files_) {
      file.first = placed_.size();
      for (const Placed& row : file.placement.rows) {
        placed_.push_back({std::string(row.designator), 0, -1, false, row.line});
        placedRow_.push_back(&row);
        placedFile_.push_back(static_cast<std::size_t>(&file - files_.data()));
      }
    }
    placedRead_.assign(placed_.size(), false);
  }

  // Placed designator `k` read as a parts list's is, where the engine reads
  // it alone as written (so that it groups); else kept as its text.
  const Designator* Reading(std::size_t k) {
    Designator& designator = placed_[k];
    if (placedRead_[k]) return &designator;
    placedRead_[k] = true;
    read_.clear();
    try {
      reader_.Read(designator.text, {}, designator.row, read_);
    } catch (const std::bad_alloc&) {
      throw;
    } catch (const std::exception&) {
      read_.clear();
    }
    // The text stays where it is: views of it key the maps of MatchFindings.
    if (read_.size() == 1 && read_.front().text == designator.text) {
      designator.prefixLength = read_.front().prefixLength;
      designator.number = read_.front().number;
      designator.foldable = read_.front().foldable;
    }
    return &designator;
  }

  // The designators grouped as bom groups them.
  std::string Grouped(std::vector<const Designator*> designators) {
    try {
      return ordered_.Join(designators, options_.min_run, options_.join).text;
    } catch (const RuntimeError&) {
      // Designators the engine has read already group; this is a guard.
      std::string text;
      for (const Designator* designator : designators)
        text += (text.empty() ? "" : options_.join) + designator->text;
      return text;
    }
  }

  static const Designator* FirstOf(const std::vector<const Designator*>& designators) {
    std::vector<const Designator*> sorted = designators;
    parts_detail::InEngineOrder(sorted);
    return sorted.empty() ? nullptr : sorted.front();
  }

  // Places: the parts list's lines, then each placement file's.
  struct Where {
    std::vector<std::size_t> list;
    std::map<std::size_t, std::vector<std::size_t>> files;  // by file
  };
  std::vector<FindingPlace> Places(Where where) const {
    std::vector<FindingPlace> places;
    const auto add = [&](const std::string& file, std::string_view noun,
                         std::vector<std::size_t> lines) {
      if (lines.empty()) return;
      std::sort(lines.begin(), lines.end());
      lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
      places.push_back({file, std::string(noun), std::move(lines)});
    };
    add(std::string(bomName_), job_.Noun(), std::move(where.list));
    for (auto& [file, lines] : where.files)
      add(files_[file].name, files_[file].placement.noun, std::move(lines));
    return places;
  }

  void Add(VerifyFinding::Kind kind, std::vector<const Designator*> designators, std::string detail,
           Where where) {
    Found found;
    found.finding.kind = kind;
    found.finding.count = designators.size();
    found.first = FirstOf(designators);
    if (!designators.empty()) found.finding.designators = Grouped(std::move(designators));
    found.finding.detail = std::move(detail);
    found.finding.places = Places(std::move(where));
    found_.push_back(std::move(found));
  }

  std::vector<const Designator*> RowDesignators(const ListRow& row) const {
    std::vector<const Designator*> designators;
    for (std::size_t k = row.begin; k < row.end; ++k) designators.push_back(&all_[k]);
    return designators;
  }

  // Each row's own findings: too many designators, a quantity that is not
  // their count, a quantity without designators.
  void RowFindings() {
    for (std::size_t r = 0; r < rows_.size(); ++r) {
      const ListRow& row = rows_[r];
      const std::size_t count = row.end - row.begin;
      if (options_.max_per_row && count > *options_.max_per_row)
        Add(VerifyFinding::Kind::TooManyPerRow, RowDesignators(row),
            std::to_string(count) + " designators, at most " +
                std::to_string(*options_.max_per_row) + " a row",
            {{row.line}, {}});
      const std::string_view cell =
          columns_.qty ? Trimmed(job_.Cell(r, *columns_.qty)) : std::string_view();
      if (count > 0) {
        if (row.quantity.kind == Quantity::Whole && row.quantity.value != count &&
            row.quantity.value != boards_ * count && !row.doNotPlace)
          Add(VerifyFinding::Kind::Quantity, RowDesignators(row),
              "quantity " + std::string(cell) + ", " + std::to_string(count) +
                  (count == 1 ? " designator" : " designators"),
              {{row.line}, {}});
        else if (row.quantity.kind == Quantity::Other && !SaysDoNotPlace(cell))
          Add(VerifyFinding::Kind::Quantity, RowDesignators(row),
              "quantity " + Quoted(cell) + " is no whole number", {{row.line}, {}});
      } else if (row.quantity.kind == Quantity::Whole && row.quantity.value > 0) {
        std::string detail = "quantity " + std::string(cell);
        if (listValue_) {
          const std::string_view value = Trimmed(job_.Cell(r, *listValue_));
          if (!value.empty()) detail += ", " + listValueName_ + " " + Quoted(value);
        }
        if (files_.empty()) {
          notes_.push_back(std::string(job_.Noun()) + " " + std::to_string(row.line) +
                           " has a quantity but no designator (" + detail + ")");
        } else {
          Add(VerifyFinding::Kind::NoDesignator, {}, std::move(detail), {{row.line}, {}});
        }
      }
    }
  }

  // Designators more than once in the parts list, and more than once in
  // the placement files taken together.
  void RepeatFindings() {
    std::vector<const Designator*> designators;
    Where where;
    repeat_.assign(all_.size(), false);
    for (const std::vector<std::size_t>& indices : parts_detail::RepeatedDesignators(all_)) {
      for (std::size_t k = 1; k < indices.size(); ++k) repeat_[indices[k]] = true;
      designators.push_back(&all_[indices.front()]);
      for (const std::size_t k : indices) where.list.push_back(all_[k].row);
    }
    if (!designators.empty())
      Add(VerifyFinding::Kind::Repeated, std::move(designators), "in the parts list",
          std::move(where));
    designators.clear();
    where = {};
    for (const std::vector<std::size_t>& indices : parts_detail::RepeatedDesignators(placed_)) {
      designators.push_back(Reading(indices.front()));
      for (const std::size_t k : indices) where.files[placedFile_[k]].push_back(placed_[k].row);
    }
    if (!designators.empty())
      Add(VerifyFinding::Kind::Repeated, std::move(designators), "in the placement files",
          std::move(where));
  }

  bool Ignored(std::string_view designator) const {
    return std::any_of(options_.ignore.begin(), options_.ignore.end(),
                       [&](const std::string& pattern) { return Matches(pattern, designator); });
  }

  // What one side has and the other lacks, letter case, do-not-place and
  // cells that disagree.
  void MatchFindings() {
    // Each placed text's first place, the others chained after it.
    constexpr std::size_t kEnd = static_cast<std::size_t>(-1);
    std::unordered_map<std::string_view, std::size_t> placedBy;
    std::vector<std::size_t> nextPlace(placed_.size(), kEnd);
    placedBy.reserve(placed_.size());
    for (std::size_t k = placed_.size(); k-- > 0;) {
      auto [found, added] = placedBy.try_emplace(placed_[k].text, k);
      if (!added) {
        nextPlace[k] = found->second;
        found->second = k;
      }
    }
    std::unordered_map<std::string_view, std::size_t> listedBy;  // its first occurrence
    listedBy.reserve(all_.size());
    for (std::size_t k = 0; k < all_.size(); ++k) listedBy.try_emplace(all_[k].text, k);
    // Placed designators the list lacks, by their text in lower case: the
    // list's designators that differ from them in letter case alone.
    // Made when the first designator is found not placed: a board whose
    // files agree never needs it.
    std::optional<std::unordered_map<std::string, std::vector<std::size_t>>> unlistedByCase;
    const auto byCase = [&]() -> auto& {
      if (!unlistedByCase) {
        unlistedByCase.emplace();
        for (std::size_t k = 0; k < placed_.size(); ++k)
          if (!listedBy.contains(placed_[k].text))
            (*unlistedByCase)[Lowered(placed_[k].text)].push_back(k);
      }
      return *unlistedByCase;
    };

    std::vector<const Designator*> notPlaced, placedDespite, notPopulated;
    Where notPlacedAt, despiteAt, notPopulatedAt;
    std::vector<bool> caseMatched(placed_.size(), false);
    std::vector<std::size_t> places;
    struct CellGroup {
      std::vector<const Designator*> designators;
      Where where;
    };
    std::map<std::tuple<int, std::string, std::string, std::size_t>, CellGroup> differing;
    for (std::size_t r = 0; r < rows_.size(); ++r) {
      const ListRow& row = rows_[r];
      for (std::size_t k = row.begin; k < row.end; ++k) {
        const Designator& designator = all_[k];
        if (repeat_[k]) continue;  // a repeat: found once
        const auto found = placedBy.find(designator.text);
        if (found == placedBy.end()) {
          if (row.doNotPlace || files_.empty() || Ignored(designator.text)) continue;
          const auto cased = byCase().find(Lowered(designator.text));
          if (cased != byCase().end()) {
            std::string detail = Quoted(designator.text) + " in the parts list";
            Where where{{row.line}, {}};
            for (const std::size_t p : cased->second) {
              caseMatched[p] = true;
              detail += ", " + Quoted(placed_[p].text) + " in " + files_[placedFile_[p]].name;
              where.files[placedFile_[p]].push_back(placed_[p].row);
            }
            Add(VerifyFinding::Kind::LetterCase, {&designator}, std::move(detail),
                std::move(where));
            continue;
          }
          notPlaced.push_back(&designator);
          notPlacedAt.list.push_back(row.line);
          continue;
        }
        places.clear();
        for (std::size_t p = found->second; p != kEnd; p = nextPlace[p]) places.push_back(p);
        const bool anyPopulated = std::any_of(
            places.begin(), places.end(), [&](std::size_t p) { return placedRow_[p]->populate; });
        if (row.doNotPlace && anyPopulated) {
          placedDespite.push_back(&designator);
          despiteAt.list.push_back(row.line);
          for (const std::size_t p : places)
            if (placedRow_[p]->populate) despiteAt.files[placedFile_[p]].push_back(placed_[p].row);
        } else if (!row.doNotPlace && !anyPopulated) {
          notPopulated.push_back(&designator);
          notPopulatedAt.list.push_back(row.line);
          for (const std::size_t p : places)
            notPopulatedAt.files[placedFile_[p]].push_back(placed_[p].row);
        }
        CompareCells(r, designator, places, differing);
      }
    }
    if (!notPlaced.empty())
      Add(VerifyFinding::Kind::NotPlaced, std::move(notPlaced), {}, std::move(notPlacedAt));
    if (!placedDespite.empty())
      Add(VerifyFinding::Kind::DoNotPlace, std::move(placedDespite),
          "marked not to be placed in the parts list, placed in the placement files",
          std::move(despiteAt));
    if (!notPopulated.empty())
      Add(VerifyFinding::Kind::DoNotPlace, std::move(notPopulated),
          "fitted in the parts list, marked not to be populated in the placement files",
          std::move(notPopulatedAt));
    for (auto& [key, group] : differing) {
      const auto& [which, listed, placed, file] = key;
      const std::string& name = which == 0 ? listValueName_ : listFootprintName_;
      Add(VerifyFinding::Kind::CellsDiffer, std::move(group.designators),
          name + " " + Quoted(listed) + " in the parts list, " + Quoted(placed) + " in " +
              files_[file].name,
          std::move(group.where));
    }
    // Placed, not in the list: once each, none marked not to be populated.
    std::vector<const Designator*> unlisted;
    Where unlistedAt;
    std::unordered_map<std::string_view, bool> seen;
    for (std::size_t k = 0; k < placed_.size(); ++k) {
      const Designator& designator = placed_[k];
      if (listedBy.contains(designator.text) || caseMatched[k] || !placedRow_[k]->populate ||
          Ignored(designator.text))
        continue;
      unlistedAt.files[placedFile_[k]].push_back(designator.row);
      if (seen.emplace(designator.text, true).second) unlisted.push_back(Reading(k));
    }
    if (!unlisted.empty())
      Add(VerifyFinding::Kind::NotListed, std::move(unlisted), {}, std::move(unlistedAt));
  }

  template <typename Groups>
  void CompareCells(std::size_t r, const Designator& designator,
                    const std::vector<std::size_t>& places, Groups& differing) {
    for (const std::size_t p : places) {
      const Placed& placed = *placedRow_[p];
      const PlacedFile& file = files_[placedFile_[p]];
      if (listValue_ && !file.placement.value_name.empty()) {
        const std::string_view listed = Trimmed(job_.Cell(r, *listValue_));
        if (!listed.empty() && !placed.value.empty() &&
            !ValuesAgree(listed, placed.value, file.placement.format)) {
          auto& group =
              differing[{0, std::string(listed), std::string(placed.value), placedFile_[p]}];
          group.designators.push_back(&designator);
          group.where.list.push_back(rows_[r].line);
          group.where.files[placedFile_[p]].push_back(placed.line);
        }
      }
      if (listFootprint_ && !file.placement.footprint_name.empty()) {
        const std::string_view listed = Trimmed(job_.Cell(r, *listFootprint_));
        if (!listed.empty() && !placed.footprint.empty() &&
            FootprintName(listed) != FootprintName(placed.footprint)) {
          auto& group =
              differing[{1, std::string(listed), std::string(placed.footprint), placedFile_[p]}];
          group.designators.push_back(&designator);
          group.where.list.push_back(rows_[r].line);
          group.where.files[placedFile_[p]].push_back(placed.line);
        }
      }
    }
  }

  const PartsOptions& options_;
  std::string_view bomName_;
  PartsColumns columns_;
  Job job_;
  std::vector<PlacedFile> files_;
  std::vector<Designator> all_;  // the list's designators, in reading order
  std::vector<ListRow> rows_;
  std::uint64_t boards_ = 1;
  std::optional<std::size_t> listValue_, listFootprint_;
  std::string listValueName_, listFootprintName_;
  std::vector<Designator> placed_;  // every placed designator, file after file
  std::vector<const Placed*> placedRow_;
  std::vector<std::size_t> placedFile_;
  std::vector<bool> placedRead_;
  std::vector<bool> repeat_;  // the list's designators after their first occurrence
  parts_detail::DesignatorCellReader reader_;
  std::vector<Designator> read_;
  std::vector<Found> found_;
  std::vector<std::string> notes_;
  Ordered ordered_;
};

}  // namespace

VerifyResult verify_parts_files(std::string bom, std::string_view bom_name,
                                std::vector<PlacementFile> placements,
                                const PartsOptions& options) {
  return WithMemoryErrorsNumbered([&] {
    check_parts_options(options);
    std::vector<PlacedFile> files;
    for (PlacementFile& placement : placements)
      files.push_back({placement.name,
                       parts_detail::ReadPlacement(placement.bytes, placement.name,
                                                   options.placement_format, options),
                       0});
    const parts_detail::ListFile list(std::move(bom), options);
    VerifyResult result =
        Verifier(list.View(), bom_name, std::move(files), options).Run(list.Warnings());
    result.notes.insert(result.notes.begin(), list.Notes().begin(), list.Notes().end());
    return result;
  });
}

VerifyResult verify_parts_rows(const PartsTableView& bom, std::string_view bom_name,
                               const std::vector<PlacementTable>& placements,
                               const PartsOptions& options) {
  return WithMemoryErrorsNumbered([&] {
    check_parts_options(options);
    std::vector<PlacedFile> files;
    for (const PlacementTable& placement : placements)
      files.push_back(
          {placement.name,
           parts_detail::PlacementOfTable(placement.table, placement.name, PlacementFormat::Cpl),
           0});
    return Verifier(bom, bom_name, std::move(files), options).Run({});
  });
}

}  // namespace ztxgrp
