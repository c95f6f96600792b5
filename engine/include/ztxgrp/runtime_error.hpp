// Runtime errors of the item-list engine.
//
// Every failure of the engine is a numbered runtime error, as a script host
// would report it: the number is what callers test, the description is the
// host's standard text for that number, and the offending item (when one is
// known) names the text that could not be handled.
#pragma once

#include <exception>
#include <optional>
#include <string>
#include <string_view>

namespace ztxgrp {

enum class ErrorNumber : int {
  InvalidArgument = 5,      // a slice of negative length was asked for
  Overflow = 6,             // a 16-bit (or 32-bit) value left its range
  OutOfMemory = 7,          // an allocation failed
  SubscriptOutOfRange = 9,  // a list index or bound outside the list
  TypeMismatch = 13,        // a value could not be read as the type needed
  InvalidUseOfNull = 94,    // a null element was read as text
};

// The standard description of a runtime error number ("Overflow", ...).
std::string_view DescriptionOf(ErrorNumber number) noexcept;

class RuntimeError : public std::exception {
 public:
  explicit RuntimeError(ErrorNumber number, std::optional<std::u16string> item = std::nullopt);

  // The runtime error number (5, 6, 7, 9, 13, 94).
  int number() const noexcept { return static_cast<int>(number_); }
  std::string_view description() const noexcept { return DescriptionOf(number_); }
  // The text that the failing operation was reading, when there was one.
  const std::optional<std::u16string>& item() const noexcept { return item_; }

  const char* what() const noexcept override { return what_.c_str(); }

 private:
  ErrorNumber number_;
  std::optional<std::u16string> item_;
  std::string what_;
};

[[noreturn]] void Raise(ErrorNumber number);
[[noreturn]] void Raise(ErrorNumber number, std::u16string_view item);
// The same, naming a UTF-8 text (held as UTF-16, as every item is).
[[noreturn]] void Raise(ErrorNumber number, std::string_view item);
// The same error again, naming `item` (a range text, say, instead of its half).
[[noreturn]] void Reraise(const RuntimeError& error, std::u16string_view item);
[[noreturn]] void Reraise(const RuntimeError& error, std::string_view item);

}  // namespace ztxgrp
