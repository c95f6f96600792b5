// Converting UTF-8 into a buffer the caller holds, for lists converted side
// by side into one buffer.
#pragma once

#include <cstddef>
#include <string_view>

namespace ztxgrp::internal {

// Writes the conversion of `text` to `out`, which has room for text.size()
// units (never too few), and returns the number of units written. Invalid
// UTF-8 raises EncodingError, as Utf8ToUtf16 does.
std::size_t Utf8ToUtf16(std::string_view text, char16_t* out);

}  // namespace ztxgrp::internal
