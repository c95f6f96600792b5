// The outcome of one engine call, for comparing two implementations: the
// runtime error number it raised (0 for none) and the value it returned.
// Free of any test framework, so that the fuzz targets use it too.
#pragma once

#include "reference_failure.hpp"
#include "ztxgrp/runtime_error.hpp"
#include "ztxgrp/value.hpp"

namespace ztxgrp::testing {

// Runs `call` and returns the runtime error number it raised (the engine's or
// the transcription's), or 0.
template <typename Call>
int ErrorOf(Call&& call) {
  try {
    call();
  } catch (const RuntimeError& error) {
    return error.number();
  } catch (const reference::Failure& failure) {
    return failure.number;
  }
  return 0;
}

struct Outcome {
  int error = 0;
  Value value;  // empty when the call failed
  friend bool operator==(const Outcome&, const Outcome&) = default;
};

template <typename Call>
Outcome Capture(Call&& call) {
  Outcome outcome;
  outcome.error = ErrorOf([&] { outcome.value = call(); });
  if (outcome.error != 0) outcome.value = Value();
  return outcome;
}

}  // namespace ztxgrp::testing
