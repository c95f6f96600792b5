#include "ztxgrp/failure.hpp"

#include <new>
#include <stdexcept>

#include "ztxgrp/error_message.hpp"
#include "ztxgrp/parts_list.hpp"
#include "ztxgrp/parts_options.hpp"
#include "ztxgrp/utf.hpp"

namespace ztxgrp {
namespace {

Failure RuntimeFailure(const RuntimeError& error) {
  Failure failure;
  failure.kind = Failure::Kind::Runtime;
  failure.number = error.number();
  failure.description = std::string(error.description());
  failure.item = error.item();
  if (const auto* row = dynamic_cast<const RowError*>(&error)) {
    failure.noun = row->noun();
    failure.row = row->row();
  }
  std::string where = failure.row != 0 ? failure.noun + " " + std::to_string(failure.row) : "";
  if (const auto* option = dynamic_cast<const OptionValueError*>(&error)) where = option->option();
  failure.message = RuntimeErrorMessage(error, where);
  return failure;
}

}  // namespace

Failure describe_failure(std::exception_ptr thrown) {
  try {
    try {
      std::rethrow_exception(thrown);
    } catch (const std::bad_alloc&) {
      Raise(ErrorNumber::OutOfMemory);
    } catch (const std::length_error&) {
      Raise(ErrorNumber::OutOfMemory);
    }
  } catch (const RuntimeError& error) {
    return RuntimeFailure(error);
  } catch (const PartsError& error) {
    Failure failure;
    failure.kind = Failure::Kind::Argument;
    if (error.row() != 0) {
      failure.noun = error.noun();
      failure.row = error.row();
    }
    failure.message = error.located();
    return failure;
  } catch (const EncodingError& error) {
    return {Failure::Kind::Encoding, 0, {}, std::nullopt, {}, 0, error.what()};
  } catch (const std::exception& error) {
    return {Failure::Kind::Internal, 0, {}, std::nullopt, {}, 0, error.what()};
  } catch (...) {
    return {Failure::Kind::Internal, 0, {}, std::nullopt, {}, 0, "an unknown failure"};
  }
}

}  // namespace ztxgrp
