// Turning failures into status codes at the binary interface. Every method
// body runs inside Guard, so no exception ever leaves the component: a
// runtime error N becomes the status 0x800A0000 + N with error information
// (description and source) for the calling thread.
#pragma once

#include <windows.h>

#include <exception>

#include "ztxgrp/element_text.hpp"
#include "ztxgrp/limits.hpp"
#include "ztxgrp/runtime_error.hpp"
#include "ztxgrp/value.hpp"

namespace ztxgrp::com {

// Sets the thread's error information for runtime error `number` and
// returns its status. Allocates nothing on the C++ heap.
HRESULT ReportRuntimeError(ErrorNumber number) noexcept;

// The status of any failure, as the library describes it for every front
// end (describe_failure): a runtime error (7 when memory ran out, however it
// showed) is its status with error information; anything else, which no
// method raises by design, is E_UNEXPECTED.
HRESULT ReportFailure(std::exception_ptr failure) noexcept;

template <typename Body>
HRESULT Guard(Body&& body) noexcept {
  try {
    return body();
  } catch (...) {
    return ReportFailure(std::current_exception());
  }
}

}  // namespace ztxgrp::com
