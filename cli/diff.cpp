#include "diff.hpp"

#include <optional>
#include <string>

#include "bom.hpp"
#include "command.hpp"
#include "command_options.hpp"
#include "errors.hpp"
#include "output_file.hpp"
#include "platform.hpp"
#include "ztxgrp/failure.hpp"
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

// `names`: how messages name the lists; none: by their files.
PartsDiffFileResult Compare(const PartsOptions& parts, const std::string& oldFile,
                            const std::string& newFile, InputBuffer& in,
                            std::optional<PartsDiffNames> names = std::nullopt) {
  if (!names)
    names = PartsDiffNames{IsStandardInput(oldFile) ? "standard input" : oldFile,
                           IsStandardInput(newFile) ? "standard input" : newFile};
  std::string oldBytes = ListBytes(oldFile, in);
  std::string newBytes = ListBytes(newFile, in);
  PartsDiffFileResult result =
      diff_parts_files(std::move(oldBytes), std::move(newBytes), parts, *names);
  for (const std::string& note : result.diff.notes) WriteMessage("ztxgrp: note: " + note);
  for (const PartsWarning& warning : result.diff.warnings)
    WriteMessage("ztxgrp: warning: " + warning.message);
  return result;
}

}  // namespace

int RunDiff(const PartsListCommand& diff, InputBuffer& in, OutputWriter& out) {
  if (IsStandardInput(diff.file) && IsStandardInput(diff.newFile))
    throw UsageError("diff: at most one of OLD and NEW is standard input");
  PartsOptions parts = diff.parts;
  parts.format = OutputFormOf(diff, "diff");
  const PartsDiffFileResult result = Compare(parts, diff.file, diff.newFile, in);
  WritePartsOutput(diff.output, result.bytes, out);
  return result.diff.differ() ? kListsDiffer : kSuccess;
}

int RunGitDiff(const PartsListCommand& git, InputBuffer& in, OutputWriter& out) {
  const std::vector<std::string>& words = git.gitArguments;
  // An unmerged path: git passes the path alone.
  if (words.size() == 1) {
    out.Write("* Unmerged path " + words.front() + "\n");
    return kSuccess;
  }
  // Seven words, or nine for a renamed or copied path: then the new path
  // and git's lines that say so ("similarity index 90%", "rename from ...").
  if (words.size() != 7 && words.size() != 9)
    throw UsageError(
        "git-diff takes the seven words git gives an external diff driver: PATH OLD-FILE "
        "OLD-HEX OLD-MODE NEW-FILE NEW-HEX NEW-MODE, and for a renamed or copied path NEW-PATH "
        "and git's lines about it");
  const std::string oldPath = "a/" + words[0];
  const std::string newPath = "b/" + (words.size() == 9 ? words[7] : words[0]);
  std::string header = "ztxgrp diff " + oldPath + " " + newPath + "\n";
  if (words.size() == 9 && !words[8].empty())
    header += words[8] + (words[8].back() == '\n' ? "" : "\n");
  PartsOptions parts = git.parts;
  parts.format = OutputForm::Text;
  PartsDiffFileResult result;
  try {
    result = Compare(parts, words[1], words[4], in, PartsDiffNames{oldPath, newPath});
  } catch (...) {
    // A file that is no parts list (or one this command cannot compare)
    // must not stop git's diff of the other files: said under its path.
    // Failures of ours and a lack of memory still stop it.
    const Failure failure = describe_failure(std::current_exception());
    if (failure.kind == Failure::Kind::Internal ||
        (failure.kind == Failure::Kind::Runtime && failure.number == 7))
      throw;
    out.Write(header + "ztxgrp: not compared as parts lists: " + failure.message + "\n");
    return kSuccess;
  }
  out.Write(header + result.bytes);
  return kSuccess;  // git takes any other status for a failure
}

namespace {

constexpr const char* kDiffFooter =
    R"text(Each designator is compared with itself in the other list, matched by its
text as written: only in OLD is "removed", only in NEW "added", in both with
a compared cell or its quantity different "changed". Compared columns: --by,
else every column both lists have (but designators and quantity); a column in
one list only is noted. A designator's quantity is 1 on a row whose quantity
is its designators' number (times the boards the list is for), else the cell
as written (DNP; 2 for one designator bought twice). Rows without designators
are matched by their compared cells. Changes of one kind with the same cells
are one line, their designators grouped as bom groups them.

Output: one line per change, then a summary; --csv a table (Change, the
designator column, Count, then "C (old)" and "C (new)" for each compared
column and the quantity), in NEW's separator, line ends and encoding; --json
the changes as JSON; --html one self-contained HTML report to read and
share (no script, nothing fetched); a workbook (-o FILE.xlsx, --format xlsx)
the table, each kind of change in its own colour. With --parts the parts
table follows (a second CSV table after an empty line, a JSON member, a
second sheet). Exit status: 0 the lists agree, 1
they differ, 2 usage, input or output error, 3 runtime error.

Examples:
  ztxgrp diff rev-a.csv rev-b.csv
  ztxgrp diff --csv parts.csv placement.csv -o check.csv
  ztxgrp diff rev-a.xlsx rev-b.xlsx -o changes.xlsx)text";

constexpr const char* kGitDiffFooter =
    R"text(git runs an external diff driver with seven words: the path, then the old
file, its hash and mode, then the new file, its hash and mode (/dev/null
for a file added or deleted: an empty list); with nine for a renamed or
copied path (then the new path and git's lines about it, written under the
first line); or with the path alone for an unmerged path. The changes are
written for people, as by diff, under a line "ztxgrp diff a/PATH b/PATH".
A file that is no parts list (no designator column, not a table) is said
so in one line under its path and git goes on to the next file: the exit
status is 0 unless the files could not be read (git takes any other status
for a failure and stops).

Set-up, in a repository:
  echo '*.csv diff=ztxgrp' >> .gitattributes
  git config diff.ztxgrp.command 'ztxgrp git-diff'
Then git diff and git log -p --ext-diff compare parts lists by designator
(git show and git log use an external driver only with --ext-diff).
Options after git-diff in the command apply to every list.)text";

constexpr const char* kComparedColumns =
    "the compared columns, comma-separated, repeatable (default: every column both lists have "
    "but designators and quantity)";

class DiffCommand final : public Command {
 public:
  explicit DiffCommand(CLI::App& app) {
    app_ = app.add_subcommand("diff",
                              "compare two parts lists: what was added, removed or changed, "
                              "designators grouped");
    app_->footer(kDiffFooter);
    app_->add_option("OLD", diff_.file, "the old parts list (-: standard input)");
    app_->add_option("NEW", diff_.newFile, "the new parts list (-: standard input)");
    AddPartsListOptions(app_, diff_, kComparedColumns, kOperationDiffFiles);
    app_->add_flag("--all", diff_.parts.unchanged,
                   "also write the designators that did not change");
    app_->add_flag("--csv", diff_.csv, "write the changes as a CSV table");
    app_->add_flag("--json", diff_.json, "write the changes as JSON");
    app_->add_flag("--html", diff_.html,
                   "write the changes as one self-contained HTML report (-o FILE.html)");
  }
  void TakeWordsAfterOptions(std::vector<std::string> words) override {
    // After "--" the words left are the lists, OLD then NEW.
    std::vector<std::string*> files;
    if (diff_.file.empty()) files.push_back(&diff_.file);
    if (diff_.newFile.empty()) files.push_back(&diff_.newFile);
    if (words.size() > files.size()) throw UsageError("diff takes two files, OLD and NEW");
    for (std::size_t k = 0; k < words.size(); ++k) *files[k] = std::move(words[k]);
    if (diff_.newFile.empty()) throw UsageError("diff takes two files, OLD and NEW");
  }
  int Run(InputBuffer& in, OutputWriter& out) override { return RunDiff(diff_, in, out); }

 private:
  PartsListCommand diff_;
};

class GitDiffCommand final : public Command {
 public:
  explicit GitDiffCommand(CLI::App& app) {
    app_ = app.add_subcommand("git-diff", "compare two parts lists as git's external diff driver");
    app_->footer(kGitDiffFooter);
    app_->add_option("WORD", git_.gitArguments,
                     "PATH OLD-FILE OLD-HEX OLD-MODE NEW-FILE NEW-HEX NEW-MODE, as git gives them");
    AddPartsListOptions(app_, git_, kComparedColumns, kOperationDiffFiles, false);
  }
  void TakeWordsAfterOptions(std::vector<std::string> words) override {
    git_.gitArguments.insert(git_.gitArguments.end(), std::make_move_iterator(words.begin()),
                             std::make_move_iterator(words.end()));
  }
  int Run(InputBuffer& in, OutputWriter& out) override { return RunGitDiff(git_, in, out); }

 private:
  PartsListCommand git_;
};

}  // namespace

std::unique_ptr<Command> MakeDiffCommand(CLI::App& app) {
  return std::make_unique<DiffCommand>(app);
}

std::unique_ptr<Command> MakeGitDiffCommand(CLI::App& app) {
  return std::make_unique<GitDiffCommand>(app);
}

}  // namespace ztxgrp::cli
