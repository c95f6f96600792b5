// Turning failures into status codes at the binary interface. Every method
// body runs inside Guard, so no exception ever leaves the component: a
// runtime error N becomes the status 0x800A0000 + N with error information
// (description and source) for the calling thread.
#pragma once

#include <windows.h>

#include <new>

#include "ztxgrp/element_text.hpp"
#include "ztxgrp/limits.hpp"
#include "ztxgrp/runtime_error.hpp"
#include "ztxgrp/value.hpp"

namespace ztxgrp::com {

// Sets the thread's error information for runtime error `number` and
// returns its status. Allocates nothing on the C++ heap.
HRESULT ReportRuntimeError(ErrorNumber number) noexcept;

template <typename Body>
HRESULT Guard(Body&& body) noexcept {
  try {
    return body();
  } catch (const RuntimeError& error) {
    return ReportRuntimeError(static_cast<ErrorNumber>(error.number()));
  } catch (const std::bad_alloc&) {
    return ReportRuntimeError(ErrorNumber::OutOfMemory);
  } catch (...) {
    return E_UNEXPECTED;
  }
}

}  // namespace ztxgrp::com
