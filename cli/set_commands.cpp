// union, intersect, subtract, xor, count, contains, gaps and free: designator
// lists as sets. Each operand is a text read as a parts-list cell is read;
// "-" is standard input and "@FILE" a file's text.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bom.hpp"
#include "command.hpp"
#include "command_options.hpp"
#include "errors.hpp"
#include "platform.hpp"
#include "ztxgrp/designator_sets.hpp"
#include "ztxgrp/parts_options.hpp"
#include "ztxgrp/utf.hpp"

namespace ztxgrp::cli {
namespace {

enum class SetKind { Union, Intersect, Subtract, Xor, Count, Contains, Gaps, Free };

struct SetCommandText {
  SetKind kind;
  const char* name;
  const char* summary;
  const char* operands;  // the positional words
  std::size_t least;     // how many operands at least
};

constexpr SetCommandText kSetCommands[] = {
    {SetKind::Union, "union", "every designator in any list", "A B [C...]", 2},
    {SetKind::Intersect, "intersect", "the designators in every list", "A B [C...]", 2},
    {SetKind::Subtract, "subtract", "the designators of A in none of the other lists", "A B [C...]",
     2},
    {SetKind::Xor, "xor", "the designators in an odd number of the lists (one of two)",
     "A B [C...]", 2},
    {SetKind::Count, "count", "the number of designators of each list, ranges expanded", "A [B...]",
     1},
    {SetKind::Contains, "contains", "true or false for each item: whether all of it is in A",
     "A ITEM...", 2},
    {SetKind::Gaps, "gaps", "the numbers missing between each prefix's lowest and highest", "A", 1},
    {SetKind::Free, "free", "the lowest numbers from 1 up that PREFIX does not use in A",
     "A PREFIX", 2},
};

constexpr const char* kSetFooter =
    R"text(Each list is one text read as bom reads a designator cell: separated by
commas, semicolons, blanks or line breaks, with ranges ("R1-R3, C2"; "C1 - C4"
is the range C1-C4). "-" is the text on standard input and "@FILE" the text
of a file. A designator is a member by its text as written (R001 and R1 are
two). Results are written as group writes them, one entry a line or joined
with -j. Errors as group's: an item the engine refuses is its runtime error
(exit 3), naming the operand.)text";

class SetCommand final : public Command {
 public:
  SetCommand(CLI::App& app, const SetCommandText& text) : text_(text) {
    app_ = app.add_subcommand(text.name, text.summary);
    app_->footer(kSetFooter);
    app_->add_option("LIST", words_,
                     std::string(text.operands) + " (-: standard input, @FILE: a file)");
    if (text.kind != SetKind::Count && text.kind != SetKind::Contains) AddMinRun(app_, minRun_);
    if (text.kind != SetKind::Count)
      app_->add_option("-j,--join", join_, "join the results on one line with SEP")
          ->option_text("SEP");
    if (text.kind == SetKind::Free)
      app_->add_option(option_name(PartsOption::FreeCount, OptionStyle::Command), count_,
                       "how many free numbers (default 1)")
          ->option_text("N");
  }
  void TakeWordsAfterOptions(std::vector<std::string> words) override {
    words_.insert(words_.end(), words.begin(), words.end());
  }
  int Run(InputBuffer& in, OutputWriter& out) override;

 private:
  // An operand's text: itself, standard input for "-", a file for "@FILE".
  std::string Text(const std::string& word, InputBuffer& in, bool& inputRead) const {
    if (word == "-") {
      if (inputRead) throw UsageError(std::string(text_.name) + ": standard input is read once");
      inputRead = true;
      return ReadPartsFile("-", in);
    }
    if (word.size() > 1 && word.front() == '@') return ReadPartsFile(word.substr(1), in);
    return word;
  }
  void Write(OutputWriter& out, const std::vector<std::string>& lines) const {
    const std::string separator = join_.value_or("\n");
    for (std::size_t k = 0; k < lines.size(); ++k) {
      if (k) out.Write(separator);
      out.Write(lines[k]);
    }
    if (!lines.empty()) out.Write("\n");
  }

  SetCommandText text_;
  std::vector<std::string> words_;
  int minRun_ = kSystemMinRun;
  std::optional<std::string> join_;
  long long count_ = 1;
};

int SetCommand::Run(InputBuffer& in, OutputWriter& out) {
  if (words_.size() < text_.least)
    throw UsageError(std::string(text_.name) + " takes " + text_.operands);
  if (text_.kind == SetKind::Gaps && words_.size() != 1) throw UsageError("gaps takes one list, A");
  if (text_.kind == SetKind::Free && words_.size() != 2)
    throw UsageError("free takes a list and a prefix, A PREFIX");
  if (join_) CheckUtf8(*join_);
  check_min_run(minRun_, OptionStyle::Command);
  bool inputRead = false;
  std::vector<std::string> texts;
  const std::size_t operands = text_.kind == SetKind::Free ? 1 : words_.size();
  for (std::size_t k = 0; k < operands; ++k) texts.push_back(Text(words_[k], in, inputRead));
  const std::vector<std::string_view> views(texts.begin(), texts.end());
  switch (text_.kind) {
    case SetKind::Union:
    case SetKind::Intersect:
    case SetKind::Subtract:
    case SetKind::Xor: {
      const SetOperation operation = text_.kind == SetKind::Union       ? SetOperation::Union
                                     : text_.kind == SetKind::Intersect ? SetOperation::Intersect
                                     : text_.kind == SetKind::Subtract  ? SetOperation::Subtract
                                                                        : SetOperation::Xor;
      Write(out, combine_designators(operation, views, minRun_));
      return kSuccess;
    }
    case SetKind::Count: {
      std::vector<std::string> lines;
      const std::vector<DesignatorCount> counts = count_designators(views);
      for (std::size_t k = 0; k < counts.size(); ++k) {
        lines.push_back(std::to_string(counts[k].designators));
        if (counts[k].repeated)
          WriteMessage("ztxgrp: note: list " + std::to_string(k + 1) + ": " +
                       std::to_string(counts[k].repeated) +
                       (counts[k].repeated == 1 ? " designator is" : " designators are") +
                       " written more than once, counted once");
      }
      Write(out, lines);
      return kSuccess;
    }
    case SetKind::Contains: {
      const std::vector<bool> answers =
          contains_designators(views.front(), std::span(views).subspan(1));
      std::vector<std::string> lines;
      for (const bool answer : answers) lines.push_back(answer ? "true" : "false");
      Write(out, lines);
      return std::find(answers.begin(), answers.end(), false) == answers.end() ? kSuccess
                                                                               : kInvalidRange;
    }
    case SetKind::Gaps:
      Write(out, designator_gaps(views.front(), minRun_));
      return kSuccess;
    case SetKind::Free: {
      check_free_count(count_, OptionStyle::Command);
      const std::size_t wanted = static_cast<std::size_t>(count_);
      const FreeDesignators free = free_designators(views.front(), words_[1], wanted, minRun_);
      const std::string shortfall = free_shortfall(words_[1], free.found, wanted);
      if (!shortfall.empty()) WriteMessage("ztxgrp: warning: " + shortfall);
      Write(out, free.entries);
      return kSuccess;
    }
  }
  return kSuccess;
}

}  // namespace

std::vector<std::unique_ptr<Command>> MakeSetCommands(CLI::App& app) {
  std::vector<std::unique_ptr<Command>> commands;
  for (const SetCommandText& text : kSetCommands)
    commands.push_back(std::make_unique<SetCommand>(app, text));
  return commands;
}

}  // namespace ztxgrp::cli
