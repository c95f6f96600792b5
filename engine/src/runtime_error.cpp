#include "ztxgrp/runtime_error.hpp"

#include <utility>

#include "ztxgrp/utf.hpp"

namespace ztxgrp {

std::string_view DescriptionOf(ErrorNumber number) noexcept {
  switch (number) {
    case ErrorNumber::InvalidArgument:
      return "Invalid procedure call or argument";
    case ErrorNumber::Overflow:
      return "Overflow";
    case ErrorNumber::OutOfMemory:
      return "Out of memory";
    case ErrorNumber::SubscriptOutOfRange:
      return "Subscript out of range";
    case ErrorNumber::TypeMismatch:
      return "Type mismatch";
    case ErrorNumber::InvalidUseOfNull:
      return "Invalid use of Null";
  }
  return "Application-defined or object-defined error";
}

RuntimeError::RuntimeError(ErrorNumber number, std::optional<std::u16string> item)
    : number_(number), item_(std::move(item)) {
  what_ = "runtime error " + std::to_string(static_cast<int>(number_)) + ": ";
  what_ += DescriptionOf(number_);
}

void Raise(ErrorNumber number) {
  throw RuntimeError(number);
}

void Raise(ErrorNumber number, std::u16string_view item) {
  throw RuntimeError(number, std::u16string(item));
}

void Raise(ErrorNumber number, std::string_view item) {
  throw RuntimeError(number, Utf8ToUtf16(item));
}

void Reraise(const RuntimeError& error, std::string_view item) {
  throw RuntimeError(static_cast<ErrorNumber>(error.number()), Utf8ToUtf16(item));
}

void Reraise(const RuntimeError& error, std::u16string_view item) {
  throw RuntimeError(static_cast<ErrorNumber>(error.number()), std::u16string(item));
}

}  // namespace ztxgrp
