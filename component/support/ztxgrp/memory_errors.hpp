// Exhausted memory as runtime error 7, so that every failure of the
// component and the layers above it reaches its caller with a number.
#pragma once

#include <new>
#include <stdexcept>

#include "ztxgrp/runtime_error.hpp"

namespace ztxgrp {

// Runs `call`; bad_alloc and length_error become runtime error 7.
template <typename Call>
auto WithMemoryErrorsNumbered(Call&& call) -> decltype(call()) {
  try {
    return call();
  } catch (const std::bad_alloc&) {
    Raise(ErrorNumber::OutOfMemory);
  } catch (const std::length_error&) {
    Raise(ErrorNumber::OutOfMemory);
  }
}

}  // namespace ztxgrp
