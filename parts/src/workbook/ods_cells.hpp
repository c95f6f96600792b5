// OpenDocument spreadsheets (.ods): the sheet chosen among the tables of
// content.xml and its cells read as a workbook's are, so that the table
// built from them follows the same rules.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "sheet_cells.hpp"
#include "zip_entries.hpp"

namespace ztxgrp::workbook {

// Whether the archive is an OpenDocument document: a content.xml and no
// Office Open XML content types. PartsError when its mimetype names an
// OpenDocument kind other than a spreadsheet (a text, a drawing).
bool IsOpenDocument(ZipEntries& zip);

struct OdsSheet {
  std::vector<std::string> sheets;  // every sheet's name, in order
  std::string name;                 // the one read
  SheetCells cells;
};

// The sheet named (none: the first) of an OpenDocument spreadsheet, its
// cells in the sheet's order, texts in the cells' own block. PartsError as
// ReadSheetCells, and for a sheet the document does not have.
OdsSheet ReadOdsSheet(ZipEntries& zip, const std::optional<std::string>& sheet);

}  // namespace ztxgrp::workbook
