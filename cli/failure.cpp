#include "failure.hpp"

#include <cstdio>
#include <new>
#include <stdexcept>
#include <string>

#include "errors.hpp"
#include "options.hpp"
#include "platform.hpp"
#include "ztxgrp/element_text.hpp"
#include "ztxgrp/failure.hpp"
#include "ztxgrp/limits.hpp"
#include "ztxgrp/parts_list.hpp"
#include "ztxgrp/quoted.hpp"
#include "ztxgrp/runtime_error.hpp"
#include "ztxgrp/utf.hpp"
#include "ztxgrp/value.hpp"

namespace ztxgrp::cli {
namespace {

void Say(const std::string& message) noexcept {
  WriteMessage("ztxgrp: " + message);
}

// A runtime error on lines of its own: the head, the item, the row.
int RuntimeFailure(const Failure& failure) {
  Say("runtime error " + std::to_string(failure.number) + ": " + failure.description);
  if (failure.item) Say("offending item: " + Quoted(*failure.item));
  if (!failure.option.empty()) Say("given as " + failure.option);
  // A file's row starts on a line; the lists of the set commands are operands.
  if (failure.row != 0 && failure.noun == "operand")
    Say("in " + located_at(failure.list, failure.noun, failure.row));
  else if (failure.row != 0)
    Say("in the row that starts on " + located_at(failure.list, failure.noun, failure.row));
  else if (!failure.list.empty())
    Say("in " + failure.list);
  return kRuntimeError;
}

int OutOfMemory() noexcept {
  // Nothing may be allocated here.
  std::fputs("ztxgrp: runtime error 7: Out of memory\n", stderr);
  return kRuntimeError;
}

}  // namespace

int ReportFailure(std::exception_ptr failure) noexcept {
  try {
    try {
      std::rethrow_exception(failure);
    } catch (const CommandError& error) {
      Say(std::string(error.what()) + (error.hintHelp() ? "\nRun 'ztxgrp --help' for usage." : ""));
      return error.status();
    } catch (...) {
    }
    const Failure described = describe_failure(failure);
    switch (described.kind) {
      case Failure::Kind::Runtime:
        if (described.number == static_cast<int>(ErrorNumber::OutOfMemory)) return OutOfMemory();
        return RuntimeFailure(described);
      case Failure::Kind::Argument:
      case Failure::Kind::Encoding:
        Say(described.message);
        return kUsageError;
      case Failure::Kind::Internal:
        break;
    }
    Say("internal error: " + described.message);
    return kRuntimeError;
  } catch (...) {
    // Building a message ran out of memory.
    return OutOfMemory();
  }
}

}  // namespace ztxgrp::cli
