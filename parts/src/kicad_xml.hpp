// KiCad's BOM data: the XML a schematic's components are exported as
// (`kicad-cli sch export python-bom`, the netlist's kicadxml form), read as
// a parts list of one row per component.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "ztxgrp/csv_file.hpp"

namespace ztxgrp::parts_detail {

// Whether the bytes are an XML document: after a byte order mark and white
// space, "<?xml" or "<export".
bool IsXmlDocument(std::string_view bytes) noexcept;

struct KicadBom {
  // Reference, Value, Footprint, Datasheet, then each other field by its
  // name in the order first used (Description when any component has one),
  // and DNP when any component is not to be placed. Each row's number is
  // its <comp> element's line.
  CsvTable table;
  std::size_t excluded = 0;  // components excluded from the BOM, left out
};

// PartsError for a document that is no KiCad export (naming its root), a
// document type, malformed XML (with its line) or a component without a
// reference (with its line).
KicadBom ReadKicadXml(std::string bytes);

// The note saying how many components excluded from the BOM were left out.
std::string ExcludedNote(std::size_t excluded);

}  // namespace ztxgrp::parts_detail
