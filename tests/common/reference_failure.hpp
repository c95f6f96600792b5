// The error that the literal transcription raises: a runtime error number
// alone. A type of its own, so that the transcription needs nothing of the
// engine's error handling; the outcome helpers catch it beside the engine's.
#pragma once

namespace ztxgrp::reference {

struct Failure {
  int number = 0;
};

[[noreturn]] inline void Fail(int number) {
  throw Failure{number};
}

}  // namespace ztxgrp::reference
