#include "ztxgrp/parts_file.hpp"

#include <algorithm>

#include "compared_tables.hpp"
#include "list_file.hpp"
#include "ztxgrp/memory_errors.hpp"
#include "ztxgrp/quoted.hpp"

namespace ztxgrp {

PartsFilePreview preview_parts_file(std::string bytes, const PartsOptions& options,
                                    std::size_t max_rows) {
  return WithMemoryErrorsNumbered([&] {
    const parts_detail::ListFile list(std::move(bytes), options);
    const PartsTableView view = list.View();
    PartsFilePreview preview;
    preview.header.assign(view.header.begin(), view.header.end());
    const std::size_t width = view.header.size();
    preview.row_count = width == 0 ? 0 : view.cells.size() / width;
    for (std::size_t r = 0; r < preview.row_count && r < max_rows; ++r) {
      const auto row = view.cells.subspan(r * width, width);
      preview.rows.emplace_back(row.begin(), row.end());
    }
    return preview;
  });
}

PartsFileResult process_parts_file(std::string bytes, const PartsOptions& options) {
  return WithMemoryErrorsNumbered([&] {
    check_parts_options(options);
    if (options.format == OutputForm::Text || options.format == OutputForm::Json ||
        options.format == OutputForm::Html)
      throw PartsError(options.name_of(PartsOption::Format) +
                       ": a parts list is written as csv, xlsx or ods, not " +
                       output_form_name(*options.format));
    const parts_detail::ListFile list(std::move(bytes), options);
    const PartsColumns columns = choose_columns(list.Header(), options);
    PartsResult result =
        options.expand ? expand_rows(list.View(), columns) : collapse_rows(list.View(), columns);
    std::vector<PartsWarning> warnings = list.Warnings();
    warnings.insert(warnings.end(), std::make_move_iterator(result.warnings.begin()),
                    std::make_move_iterator(result.warnings.end()));
    const std::string quantity = columns.qty ? list.Header()[*columns.qty] : columns.new_qty;
    std::vector<std::string> notes = list.Notes();
    notes.insert(notes.end(), std::make_move_iterator(result.notes.begin()),
                 std::make_move_iterator(result.notes.end()));
    return PartsFileResult{list.Write(result.table, options, quantity), std::move(notes),
                           std::move(warnings)};
  });
}

namespace {

// A compared list; an empty file (no bytes at all: git's /dev/null for a
// file added or deleted) is a list with no rows. Its errors name the list.
parts_detail::ListFile ReadNamed(std::string bytes, const PartsOptions& options,
                                 const std::string& label) {
  try {
    return parts_detail::ListFile(std::move(bytes), options, true);
  } catch (const PartsError& error) {
    throw PartsError(error.what(), error.row(), error.noun(), label);
  } catch (const RowError& error) {
    throw RowError(error, error.row(), error.noun(), label);
  }
}

// The colour of each kind of change, as the page shows them.
std::uint32_t FillOf(PartsChange::Kind kind) {
  switch (kind) {
    case PartsChange::Kind::Added:
      return 0xEAF7EE;
    case PartsChange::Kind::Removed:
      return 0xFBEAEA;
    case PartsChange::Kind::Changed:
      return 0xFDF5E3;
    case PartsChange::Kind::Moved:
      return 0xEAF0FB;
    case PartsChange::Kind::Unchanged:
      break;
  }
  return 0;
}

// A part's colour: as the designators' kind of change it is like.
std::uint32_t FillOf(PartQuantity::Kind kind) {
  switch (kind) {
    case PartQuantity::Kind::Added:
      return FillOf(PartsChange::Kind::Added);
    case PartQuantity::Kind::Removed:
      return FillOf(PartsChange::Kind::Removed);
    case PartQuantity::Kind::Changed:
      break;
  }
  return FillOf(PartsChange::Kind::Changed);
}

// A title row's cells as people read them ("Revision:" "B"), trailing
// empty cells left out; "(none)" for a row one list does not have.
std::string TitleText(const WorkbookTitleRow* row) {
  if (!row) return "(none)";
  std::size_t end = row->cells.size();
  while (end > 0 && row->cells[end - 1].text.empty()) --end;
  std::string text;
  for (std::size_t k = 0; k < end; ++k) {
    if (k > 0) text += ' ';
    text += QuotedWhole(row->cells[k].text);
  }
  return text;
}

// A note when the lists' title rows (a revision or a date above the
// header) differ, naming the first that differs; empty when they agree.
// Rows are compared in order, empty ones left out.
std::string TitleNote(const parts_detail::ListFile& older, const std::string& oldLabel,
                      const parts_detail::ListFile& newer, const std::string& newLabel) {
  const auto rowsOf = [](const parts_detail::ListFile& list) {
    std::vector<WorkbookTitleRow> rows;
    for (WorkbookTitleRow& row : list.TitleRows())
      if (std::any_of(row.cells.begin(), row.cells.end(),
                      [](const WorkbookCell& cell) { return !cell.text.empty(); }))
        rows.push_back(std::move(row));
    return rows;
  };
  const std::vector<WorkbookTitleRow> olds = rowsOf(older), news = rowsOf(newer);
  for (std::size_t k = 0; k < std::max(olds.size(), news.size()); ++k) {
    const WorkbookTitleRow* o = k < olds.size() ? &olds[k] : nullptr;
    const WorkbookTitleRow* n = k < news.size() ? &news[k] : nullptr;
    const std::string before = TitleText(o), after = TitleText(n);
    if (before == after) continue;
    const auto where = [](const std::string& label, const parts_detail::ListFile& list,
                          const WorkbookTitleRow* row) {
      std::string text = label;
      if (row) {
        text += ' ';
        text += list.View().row_noun;
        text += ' ';
        text += std::to_string(row->row);
      }
      return text;
    };
    return "the title rows above the header differ, first " + where(oldLabel, older, o) + ": " +
           before + " and " + where(newLabel, newer, n) + ": " + after +
           "; the parts are compared all the same";
  }
  return {};
}

}  // namespace

PartsDiffFileResult diff_parts_files(std::string old_bytes, std::string new_bytes,
                                     const PartsOptions& options, const PartsDiffNames& tables) {
  return WithMemoryErrorsNumbered([&] {
    check_parts_options(options);
    const std::string oldLabel = list_label(tables.old_name, true);
    const std::string newLabel = list_label(tables.new_name, false);
    const parts_detail::ListFile older = ReadNamed(std::move(old_bytes), options, oldLabel);
    const parts_detail::ListFile newer = ReadNamed(std::move(new_bytes), options, newLabel);
    PartsDiffFileResult result;
    result.diff = parts_detail::CompareTables(older.View(), newer.View(), options, tables);
    if (std::string note = TitleNote(older, oldLabel, newer, newLabel); !note.empty())
      result.diff.notes.push_back(std::move(note));
    for (const auto& [list, label] : {std::pair(&older, &oldLabel), std::pair(&newer, &newLabel)})
      for (const std::string& note : list->Notes())
        result.diff.notes.push_back(note + " of " + *label);
    for (const auto& [list, label] : {std::pair(&older, &oldLabel), std::pair(&newer, &newLabel)})
      for (PartsWarning& warning : list->Warnings()) {
        warning.message = *label + ": " + warning.message;
        result.diff.warnings.push_back(std::move(warning));
      }
    const OutputForm form = options.format.value_or(OutputForm::Text);
    if (form == OutputForm::Text) {
      result.bytes = diff_text(result.diff);
      return result;
    }
    if (form == OutputForm::Json) {
      result.bytes = diff_json(result.diff);
      return result;
    }
    if (form == OutputForm::Html) {
      result.bytes = diff_html(result.diff, tables);
      return result;
    }
    const PartsTable table = diff_table(result.diff);
    // In NEW's form, or OLD's when NEW is an empty file.
    const parts_detail::ListFile& written = newer.Empty() ? older : newer;
    std::vector<std::uint32_t> fills, partFills;
    for (const PartsChange& change : result.diff.changes) fills.push_back(FillOf(change.kind));
    for (const PartQuantity& part : result.diff.parts) partFills.push_back(FillOf(part.kind));
    result.bytes =
        written.WriteTable(table, options, fills, diff_parts_table(result.diff), partFills);
    return result;
  });
}

}  // namespace ztxgrp
