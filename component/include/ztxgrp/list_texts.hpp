// The component's door to the list operations on texts that a front end
// holds in its own buffers (views, no list of values built): grouping and
// ungrouping into a result writer, the check of the shortest run, and the
// written form of items and ranges. Used by the WebAssembly module, the
// command and Python; the engine's headers behind it are not for them.
#pragma once

#include "ztxgrp/engine/entry_text.hpp"
#include "ztxgrp/engine/text_lists.hpp"
#include "ztxgrp/values.hpp"
