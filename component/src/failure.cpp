#include "ztxgrp/failure.hpp"

#include <new>
#include <stdexcept>

#include "ztxgrp/error_message.hpp"
#include "ztxgrp/located_errors.hpp"
#include "ztxgrp/utf.hpp"

namespace ztxgrp {

std::string located_at(std::string_view list, std::string_view noun, std::size_t row) {
  std::string where(list);
  if (row != 0)
    where += (where.empty() ? "" : ", ") + std::string(noun) + " " + std::to_string(row);
  return where;
}

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
    failure.list = row->list();
  }
  std::string where = located_at(failure.list, failure.noun, failure.row);
  if (const auto* option = dynamic_cast<const OptionValueError*>(&error)) {
    failure.option = option->option();
    where = failure.option;
  }
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
  } catch (const ArgumentError& error) {
    Failure failure;
    failure.kind = Failure::Kind::Argument;
    if (error.row() != 0) {
      failure.noun = error.noun();
      failure.row = error.row();
    }
    failure.list = error.list();
    failure.message = error.located();
    return failure;
  } catch (const EncodingError& error) {
    return {Failure::Kind::Encoding, 0, {}, std::nullopt, {}, 0, {}, {}, error.what()};
  } catch (const std::exception& error) {
    return {Failure::Kind::Internal, 0, {}, std::nullopt, {}, 0, {}, {}, error.what()};
  } catch (...) {
    return {Failure::Kind::Internal, 0, {}, std::nullopt, {}, 0, {}, {}, "an unknown failure"};
  }
}

}  // namespace ztxgrp
