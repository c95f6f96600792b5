#include "diff.hpp"

#include <optional>
#include <string>

#include "bom.hpp"
#include "errors.hpp"
#include "output_file.hpp"
#include "platform.hpp"
#include "ztxgrp/parts_file.hpp"

namespace ztxgrp::cli {
namespace {

bool IsStandardInput(const std::string& name) {
  return name.empty() || name == "-";
}

// Both lists read and compared, the notes and warnings written.
// A compared list's bytes; git's "/dev/null" (which it passes on Windows
// too) is an empty list.
std::string ListBytes(const std::string& name, InputBuffer& in) {
  return name == "/dev/null" ? std::string() : ReadPartsFile(name, in);
}

PartsDiffFileResult Compare(const PartsOptions& parts, const std::string& oldFile,
                            const std::string& newFile, InputBuffer& in) {
  const std::string oldName = IsStandardInput(oldFile) ? "standard input" : oldFile;
  const std::string newName = IsStandardInput(newFile) ? "standard input" : newFile;
  std::string oldBytes = ListBytes(oldFile, in);
  std::string newBytes = ListBytes(newFile, in);
  PartsDiffFileResult result =
      diff_parts_files(std::move(oldBytes), std::move(newBytes), parts, {oldName, newName});
  for (const std::string& note : result.diff.notes) WriteMessage("ztxgrp: note: " + note);
  for (const PartsWarning& warning : result.diff.warnings)
    WriteMessage("ztxgrp: warning: " + warning.message);
  return result;
}

}  // namespace

int RunDiff(const Options& options, InputBuffer& in, OutputWriter& out) {
  const PartsListCommand& diff = options.partsList;
  if (IsStandardInput(diff.file) && IsStandardInput(diff.newFile))
    throw UsageError("diff: at most one of OLD and NEW is standard input");
  if (diff.csv && diff.json) throw UsageError("diff: --csv and --json cannot be combined");
  // --csv and --json name a form as --format does; the form asked for wins
  // over the output file's name.
  std::optional<OutputForm> asked = diff.parts.format;
  if (diff.csv || diff.json) {
    const OutputForm form = diff.csv ? OutputForm::Csv : OutputForm::Json;
    if (asked && *asked != form)
      throw UsageError(std::string("diff: ") + (diff.csv ? "--csv" : "--json") +
                       " cannot be combined with --format " + output_form_name(*asked));
    asked = form;
  }
  PartsOptions parts = diff.parts;
  parts.format = output_form(asked, diff.output.value_or(""));
  const PartsDiffFileResult result = Compare(parts, diff.file, diff.newFile, in);
  WritePartsOutput(diff.output, result.bytes, out);
  return result.diff.differ() ? kListsDiffer : kSuccess;
}

int RunGitDiff(const Options& options, InputBuffer& in, OutputWriter& out) {
  const std::vector<std::string>& words = options.partsList.gitArguments;
  // An unmerged path: git passes the path alone.
  if (words.size() == 1) {
    out.Write("* Unmerged path " + words.front() + "\n");
    return kSuccess;
  }
  if (words.size() != 7)
    throw UsageError(
        "git-diff takes the seven words git gives an external diff driver: PATH OLD-FILE "
        "OLD-HEX OLD-MODE NEW-FILE NEW-HEX NEW-MODE");
  const std::string& path = words[0];
  PartsOptions parts = options.partsList.parts;
  parts.format = OutputForm::Text;
  const PartsDiffFileResult result = Compare(parts, words[1], words[4], in);
  out.Write("ztxgrp diff a/" + path + " b/" + path + "\n" + result.bytes);
  return kSuccess;  // git takes any other status for a failure
}

}  // namespace ztxgrp::cli
