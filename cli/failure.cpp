#include "failure.hpp"

#include <cstdio>
#include <new>
#include <stdexcept>
#include <string>

#include "errors.hpp"
#include "options.hpp"
#include "platform.hpp"
#include "ztxgrp/error_message.hpp"
#include "ztxgrp/parts_list.hpp"
#include "ztxgrp/quoted.hpp"
#include "ztxgrp/utf.hpp"
#include "ztxgrp/values.hpp"

namespace ztxgrp::cli {
namespace {

void Say(const std::string& message) noexcept {
  WriteMessage("ztxgrp: " + message);
}

int RuntimeFailure(const RuntimeError& error) {
  Say(RuntimeErrorHead(error));
  if (error.item()) Say("offending item: " + Quoted(*error.item()));
  if (const auto* row = dynamic_cast<const RowError*>(&error))
    Say("in the row that starts on " + row->noun() + " " + std::to_string(row->row()));
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
    } catch (const RuntimeError& error) {
      return RuntimeFailure(error);
    } catch (const CommandError& error) {
      Say(std::string(error.what()) + (error.hintHelp() ? "\nRun 'ztxgrp --help' for usage." : ""));
      return error.status();
    } catch (const PartsError& error) {
      Say(error.located());
      return kUsageError;
    } catch (const EncodingError& error) {
      Say(error.what());
      return kUsageError;
    } catch (const std::bad_alloc&) {
      return OutOfMemory();
    } catch (const std::length_error&) {
      return OutOfMemory();
    } catch (const std::exception& error) {
      Say(std::string("internal error: ") + error.what());
      return kRuntimeError;
    } catch (...) {
      Say("internal error");
      return kRuntimeError;
    }
  } catch (...) {
    // Building a message ran out of memory.
    return OutOfMemory();
  }
}

}  // namespace ztxgrp::cli
