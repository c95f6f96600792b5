// The component's door to values, for the front ends that pass hosts' data
// (the command, Python, the COM binding, WebAssembly): the value type and
// item lists, the runtime error type with its numbers, the limits, and how
// an element that is not a text reads as text. Front ends include this, not
// the engine's headers behind it (ztxgrp/engine/), which are the engine's
// own and may change with it.
#pragma once

#include "ztxgrp/engine/limits.hpp"
#include "ztxgrp/engine/runtime_error.hpp"
#include "ztxgrp/engine/text.hpp"
#include "ztxgrp/engine/value.hpp"
