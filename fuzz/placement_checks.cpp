// The property of placement files: a parts list checked against any bytes
// as a placement file fails only with the layer's own errors, and what it
// finds is well formed.
#include <string>

#include "checks.hpp"
#include "ztxgrp/parts_list.hpp"
#include "ztxgrp/parts_verify.hpp"
#include "ztxgrp/runtime_error.hpp"
#include "ztxgrp/utf.hpp"

namespace ztxgrp::fuzz {

std::string CheckPlacement(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return "";
  // Byte 0: the form named (0: recognised by content, 1..6 each form), bit
  // 3 a row limit of 2, bit 4 patterns ignored. The rest: the placement file.
  static constexpr const char* kForms[] = {"kicad-pos", "kicad-csv", "cpl",
                                           "altium",    "eagle",     "xyrs"};
  PartsOptions options;
  if (const unsigned form = data[0] % 8; form >= 1 && form <= 6)
    options.set_placement_format(kForms[form - 1]);
  if (data[0] & 8) options.max_per_row = 2;
  if (data[0] & 16) options.ignore = {"FID*", "T?[0-9]"};
  const std::string bom =
      "Reference,Value,Footprint,Qty\nR1,10k,Lib:R_0603,1\n\"C1, C2, C3\",100n,C_0402,3\nU1,,,1\n";
  std::vector<PlacementFile> placements = {
      {"placed.pos", std::string(reinterpret_cast<const char*>(data + 1), size - 1)}};
  VerifyResult result;
  try {
    result = verify_parts_files(bom, "bom.csv", std::move(placements), options);
  } catch (...) {
    return LayerFailure(std::current_exception());
  }
  for (const VerifyFinding& finding : result.findings) {
    if ((finding.count == 0) != finding.designators.empty())
      return std::string(finding_name(finding.kind)) + ": a count of " +
             std::to_string(finding.count) + " for \"" + finding.designators + "\"";
    if (finding.places.empty()) return std::string(finding_name(finding.kind)) + " is nowhere";
    for (const FindingPlace& place : finding.places)
      for (std::size_t k = 0; k < place.lines.size(); ++k)
        if (place.lines[k] == 0 || (k > 0 && place.lines[k] <= place.lines[k - 1]))
          return std::string(finding_name(finding.kind)) + ": lines out of order in " + place.file;
  }
  for (const OutputForm form : {OutputForm::Text, OutputForm::Csv, OutputForm::Json}) {
    options.format = form;
    const std::string written = write_verify_result(result, options);
    if (written.empty() || written.back() != '\n')
      return "a written result ends without a line end";
  }
  return "";
}

}  // namespace ztxgrp::fuzz
