// `ztxgrp verify BOM [PLACEMENT...]`: a parts list checked against its
// placement files before they go to an assembler.
#include <string>
#include <utility>
#include <vector>

#include "bom.hpp"
#include "command.hpp"
#include "command_options.hpp"
#include "errors.hpp"
#include "platform.hpp"
#include "ztxgrp/parts_verify.hpp"

namespace ztxgrp::cli {
namespace {

constexpr const char* kVerifyFooter =
    R"text(BOM is any parts list bom reads (CSV or workbook, with bom's options).
PLACEMENT files are read as one set (a board's top and bottom files):
KiCad's .pos and CSV, an assembler's CPL (CSV or workbook), Altium's Pick
Place report, Eagle's mountsmd output (.mnt, .mnb) and tab-separated XYRS,
recognised by content or named with --placement-format.

Findings: designators in the parts list not placed; placed but not in the
parts list; the same but for letter case; a designator more than once; a
row whose quantity is not its designators' count; a quantity without
designators; do-not-place parts that are placed, and placed parts the
placement file marks not to populate; Value and Footprint cells that
disagree (a footprint by its name after the library); rows with more than
--max-per-row designators. Without PLACEMENT files the parts list's own
findings are made. --ignore leaves designators out of those on one side
only (fiducials, holes, test points).

Output: one line per finding and a summary ("the files agree"); --csv a
table (Finding, Designators, Count, File, Lines, Detail); --json; a workbook
with -o FILE.xlsx. Exit status: 0 no finding, 1 findings, 2 usage or input
error, 3 runtime error.

Examples:
  ztxgrp verify bom.csv top.pos bottom.pos
  ztxgrp verify --ignore 'FID*,H*,TP*' --max-per-row 100 bom.xlsx board-cpl.csv)text";

std::string DisplayName(const std::string& file) {
  return file.empty() || file == "-" ? "standard input" : file;
}

int RunVerify(const PartsListCommand& verify, InputBuffer& in, OutputWriter& out) {
  PartsOptions parts = verify.parts;
  parts.format = OutputFormOf(verify, "verify");
  std::vector<PlacementFile> placements;
  bool standardInput = verify.file.empty() || verify.file == "-";
  for (const std::string& name : verify.placements) {
    if (name.empty() || name == "-") {
      if (standardInput) throw UsageError("verify: standard input is read once");
      standardInput = true;
    }
    placements.push_back({DisplayName(name), ReadPartsFile(name, in)});
  }
  const VerifyResult result = verify_parts_files(
      ReadPartsFile(verify.file, in), DisplayName(verify.file), std::move(placements), parts);
  for (const std::string& note : result.notes) WriteMessage("ztxgrp: note: " + note);
  for (const PartsWarning& warning : result.warnings)
    WriteMessage("ztxgrp: warning: " + warning.message);
  WritePartsOutput(verify.output, write_verify_result(result, parts), out);
  return result.found() ? kListsDiffer : kSuccess;
}

class VerifyCommand final : public Command {
 public:
  explicit VerifyCommand(CLI::App& app) {
    app_ = app.add_subcommand(
        "verify",
        "check a parts list against its placement (pick-and-place) files before assembly");
    app_->footer(kVerifyFooter);
    app_->add_option("BOM", verify_.file, "the parts list (-: standard input)")->required();
    app_->add_option("PLACEMENT", verify_.placements, "the placement files (-: standard input)");
    AddPartsListOptions(app_, verify_, "", kOperationVerifyFiles);
    app_->add_flag("--csv", verify_.csv, "write the findings as a CSV table");
    app_->add_flag("--json", verify_.json, "write the findings as JSON");
  }
  void TakeWordsAfterOptions(std::vector<std::string> words) override {
    // After "--" the words left are the files: BOM first, if not given yet.
    auto word = words.begin();
    if (verify_.file.empty() && word != words.end()) verify_.file = std::move(*word++);
    for (; word != words.end(); ++word) verify_.placements.push_back(std::move(*word));
    if (verify_.file.empty()) throw UsageError("verify takes a parts list, BOM");
  }
  int Run(InputBuffer& in, OutputWriter& out) override { return RunVerify(verify_, in, out); }

 private:
  PartsListCommand verify_;
};

}  // namespace

std::unique_ptr<Command> MakeVerifyCommand(CLI::App& app) {
  return std::make_unique<VerifyCommand>(app);
}

}  // namespace ztxgrp::cli
